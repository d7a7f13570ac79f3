#include "generalsettings/GeneralSettings_win.h"

namespace vc {

INT_PTR CALLBACK PagesPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
