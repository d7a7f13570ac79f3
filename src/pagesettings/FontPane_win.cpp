#include "pagesettings/PagePanes_win.h"

namespace vc {

INT_PTR CALLBACK FontPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
