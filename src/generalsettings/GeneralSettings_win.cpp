#include "generalsettings/GeneralSettings_win.h"

namespace vc {

GeneralSettingsSession& TheGeneralSettings() {
    static GeneralSettingsSession none;
    return none;
}

int& GeneralSettingsPaneIndex() {
    static int index = 0;
    return index;
}

INT_PTR RunGeneralSettingsDialog(App&, HWND, GeneralSettingsSession&) { return IDCANCEL; }

INT_PTR CALLBACK FoldersPaneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace vc
