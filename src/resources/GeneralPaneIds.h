// Controls of the general pane of the general settings dialog.
#pragma once

#define IDC_GENERAL_BOTTOM          1501  // tabs at the bottom
#define IDC_GENERAL_MULTILINE       1502  // tabs on several rows
#define IDC_GENERAL_TRANSPARENT     1503
#define IDC_GENERAL_OPACITY         1039  // trackbar, 35..255
#define IDC_GENERAL_ANIMATION       1601
#define IDC_GENERAL_TOPMOST         1603  // hidden: keeps its bit as loaded
#define IDC_GENERAL_NOTASKBAR       1604
#define IDC_GENERAL_STATUSBAR       1605
#define IDC_GENERAL_DRIVERELATIVE   1606  // entries on the settings file's drive kept without the letter
#define IDC_GENERAL_HOTKEY          1607  // the hot-key control for the global hotkey
#define IDC_GENERAL_HOTKEY_TAKEN    1608  // shown when another program holds the key
#define IDC_GENERAL_STATUSSIZE      1071  // 小, 中, 大, 特大
#define IDC_GENERAL_STATUSSIZE_LABEL 1072
#define IDC_GENERAL_TABFONT         1044
#define IDC_GENERAL_TABSIZE         1045  // read-only, set through the arrows
#define IDC_GENERAL_TABSIZE_ARROWS  1046
