#include "generalsettings/GeneralSettings_win.h"

namespace vc {

INT_PTR CALLBACK LabelColoursPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
