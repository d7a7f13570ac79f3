// Template and controls of the dialog that asks for an entry's arguments.
#pragma once

#define IDD_RUNARGUMENTS            152
#define IDC_RUNARGS_TARGET          1401  // the entry's path, cut in its middle when long
#define IDC_RUNARGS_EDIT            1402  // the arguments, as the program is to get them
