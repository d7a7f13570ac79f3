// Templates and controls of the page settings dialog and its panes.
#pragma once

#define IDD_PAGESETTINGS            135   // the frame: toolbar, pane, sample, OK / cancel
#define IDD_LABELPANE               136
#define IDD_COLOURPANE              137
#define IDD_FONTPANE                138
#define IDD_VIEWPANE                139
#define IDD_FILEINFOPANE            140

#define IDC_SETTINGS_TOOLBAR        1001  // created at run time
#define IDC_SETTINGS_SAMPLE         1045  // the page's look on one of its entry names
#define IDC_GLASS_TOP               1068  // glass strips from Windows Vista on
#define IDC_GLASS_BOTTOM            1069
#define IDC_FILEINFO_LIST           1005
