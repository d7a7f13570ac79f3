// Templates and controls of the general settings dialog.
#pragma once

#define IDD_GENERALSETTINGS         134   // the frame: toolbar, pane, OK / cancel
#define IDD_GENERALPANE             141
#define IDD_PAGESPANE               142
#define IDD_FOLDERSPANE             143
#define IDD_LABELCOLOURSPANE        151

#define IDC_GENERAL_ICON            1035  // the program icon; a click animates it
