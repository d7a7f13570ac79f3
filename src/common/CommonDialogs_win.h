// The common dialogs (open file, colour, font), looked up on first use: the
// library pulls in the shell and the printing libraries, none of which the
// main window needs to come up.
#pragma once

#include <windows.h>

#include <commdlg.h>

namespace vc::dialogs {

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn);
BOOL ChooseColorW(CHOOSECOLORW* cc);
BOOL ChooseFontW(CHOOSEFONTW* cf);

}  // namespace vc::dialogs
