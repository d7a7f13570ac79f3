// Control and template ids of the program's message box. Plain #defines:
// windres reads this file too. The buttons use the standard ids (IDOK 1,
// IDCANCEL 2, IDYES 6, IDNO 7), which are also the box's results.
#pragma once

#define IDD_MESSAGEBOX              150   // dialog template
#define IDC_MESSAGEBOX_TEXT         1070  // static holding the message
#define IDC_MESSAGEBOX_ICON         -1    // the program icon; never addressed
