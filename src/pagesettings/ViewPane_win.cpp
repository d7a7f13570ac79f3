#include "pagesettings/PagePanes_win.h"

namespace vc {

INT_PTR CALLBACK ViewPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
