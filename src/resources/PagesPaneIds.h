// Controls of the PagesPane of the general settings dialog.
#pragma once
