// Template and controls of the About dialog.
#pragma once

#define IDD_ABOUT                   132
#define IDC_ABOUT_TITLE             1041  // name and version
#define IDC_ABOUT_ICON              1035  // the large program icon; a click animates it
#define IDC_ABOUT_LINK              1073  // the home page
#define IDC_ABOUT_BUILD             1101
#define IDC_ABOUT_FILE              1102  // the settings file in use
#define IDC_ABOUT_WINDOWS           1103
#define IDC_ABOUT_COMPILER          1104
#define IDC_ABOUT_BAND_TOP          1068
#define IDC_ABOUT_BAND_BOTTOM       1069
