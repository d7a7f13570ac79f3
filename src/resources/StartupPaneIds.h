// Controls of the start-up pane of the general settings dialog, and of the
// dialog that restores a backup from it.
#pragma once

#define IDD_STARTUPPANE             154
#define IDC_STARTUP_NOTIFYICON      1461  // the notification-area icon
#define IDC_STARTUP_STARTHIDDEN     1462  // the window stays hidden at start
#define IDC_STARTUP_HIDDEN_NOTE     1463  // why start hidden may be greyed
#define IDC_STARTUP_HIDEAFTERLAUNCH 1464  // the window hides after a launch
#define IDC_STARTUP_RUNATLOGON      1465  // a value under the user's Run key
#define IDC_STARTUP_GENERATIONS     1466  // how many backups are kept
#define IDC_STARTUP_GENERATIONS_ARROWS 1467
#define IDC_STARTUP_RESTORE         1468  // opens the list of backups

#define IDD_RESTOREBACKUP           155
// 1471..1479: controls of the restore dialog.
#define IDC_RESTORE_LABEL           1471  // names the list for the keyboard
#define IDC_RESTORE_LIST            1472  // the copies, newest first
#define IDC_RESTORE_NOTE            1473  // the copies' folder, or that there are none
