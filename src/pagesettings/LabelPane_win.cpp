#include "pagesettings/PagePanes_win.h"

namespace vc {

INT_PTR CALLBACK LabelPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
