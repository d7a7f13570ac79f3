// Controls of the LabelColoursPane of the general settings dialog.
#pragma once
