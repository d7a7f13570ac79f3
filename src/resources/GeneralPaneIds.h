// Controls of the GeneralPane of the general settings dialog.
#pragma once
