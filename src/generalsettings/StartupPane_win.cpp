// The start-up pane: the notification-area icon, whether the window starts
// hidden or hides after a launch, starting with Windows, and the backups of
// the settings file. It edits the dialog's copies; OK commits them.
#include <windows.h>

#include <commctrl.h>

#include "settings/AppState_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "generalsettings/HotKey.h"
#include "generalsettings/RestoreBackup_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

void Check(HWND pane, int id, bool on) { CheckDlgButton(pane, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND pane, int id) { return IsDlgButtonChecked(pane, id) == BST_CHECKED; }

// A window that starts hidden must have a way back: the icon or the hotkey.
void EnableStartHidden(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    EnableWindow(GetDlgItem(pane, IDC_STARTUP_STARTHIDDEN), s.notifyIcon || UsableHotKey(s.hotKey) != 0);
}

void OnInitDialog(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    Check(pane, IDC_STARTUP_NOTIFYICON, s.notifyIcon);
    Check(pane, IDC_STARTUP_STARTHIDDEN, s.startHidden);
    Check(pane, IDC_STARTUP_HIDEAFTERLAUNCH, s.hideAfterLaunch);
    Check(pane, IDC_STARTUP_RUNATLOGON, s.runAtLogon);
    EnableStartHidden(pane);
    SendDlgItemMessageW(pane, IDC_STARTUP_GENERATIONS, EM_LIMITTEXT, 2, 0);
    HWND arrows = GetDlgItem(pane, IDC_STARTUP_GENERATIONS_ARROWS);
    SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(pane, IDC_STARTUP_GENERATIONS)), 0);
    SendMessageW(arrows, UDM_SETRANGE32, 0, kMaxBackupGenerations);
    SendMessageW(arrows, UDM_SETPOS32, 0, s.backupGenerations);
    if (TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation) {
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void TakeBoxes(HWND pane) {
    GeneralSettingsSession& s = TheGeneralSettings();
    s.notifyIcon = Checked(pane, IDC_STARTUP_NOTIFYICON);
    s.startHidden = Checked(pane, IDC_STARTUP_STARTHIDDEN);
    s.hideAfterLaunch = Checked(pane, IDC_STARTUP_HIDEAFTERLAUNCH);
    s.runAtLogon = Checked(pane, IDC_STARTUP_RUNATLOGON);
    EnableStartHidden(pane);
}

// A restored copy replaces every setting, so the dialog closes without the
// other changes made in it and the tab window takes the copy.
void Restore(HWND pane) {
    const App& app = TheApp();
    std::optional<std::u16string> chosen = ChooseBackupToRestore(GetAncestor(pane, GA_ROOT), app.rec);
    if (!chosen) return;
    TheGeneralSettings().restoreBackup = *chosen;
    PostMessageW(GetAncestor(pane, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

INT_PTR CALLBACK StartupPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_STARTUP_NOTIFYICON:
        case IDC_STARTUP_STARTHIDDEN:
        case IDC_STARTUP_HIDEAFTERLAUNCH:
        case IDC_STARTUP_RUNATLOGON: TakeBoxes(pane); return TRUE;
        case IDC_STARTUP_RESTORE: Restore(pane); return TRUE;
        }
        return FALSE;
    case WM_VSCROLL:
        if (const int n = ArrowsPosition(pane, lp, IDC_STARTUP_GENERATIONS_ARROWS, IDC_STARTUP_GENERATIONS); n >= 0) {
            TheGeneralSettings().backupGenerations = n;
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    }
    return FALSE;
}

}  // namespace vc
