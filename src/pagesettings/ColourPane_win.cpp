#include "pagesettings/PagePanes_win.h"

namespace vc {

INT_PTR CALLBACK ColourPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
