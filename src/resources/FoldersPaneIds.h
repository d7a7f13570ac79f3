// Controls of the special folders pane of the general settings dialog.
#pragma once

#define IDC_FOLDERS_DESKTOP         1047
#define IDC_FOLDERS_DOCUMENTS       1048
#define IDC_FOLDERS_PICTURES        1049
#define IDC_FOLDERS_MUSIC           1050
#define IDC_FOLDERS_VIDEO           1051
#define IDC_FOLDERS_RECENT          1052
#define IDC_FOLDERS_RECENT_COUNT    1053  // read-only, set through the arrows
#define IDC_FOLDERS_RECENT_ARROWS   1054
#define IDC_FOLDERS_RECENT_LABEL    1055
#define IDC_FOLDERS_COMPUTER        1056  // hidden: the computer page keeps its bit
#define IDC_FOLDERS_STARTUP         1057
