// The special folders pane: which folder pages exist and how many recent
// files the recent-files page lists. It edits the dialog's copies; OK
// commits them.
#include <windows.h>

#include <commctrl.h>

#include "settings/AppState_win.h"
#include "generalsettings/GeneralSettings.h"
#include "generalsettings/GeneralSettings_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

struct FolderBox {
    uint32_t bit;
    int id;
};
constexpr FolderBox kBoxes[] = {
    {0x1, IDC_FOLDERS_DESKTOP},  {0x2, IDC_FOLDERS_RECENT},    {0x4, IDC_FOLDERS_COMPUTER},
    {0x8, IDC_FOLDERS_STARTUP},  {0x10, IDC_FOLDERS_DOCUMENTS}, {0x20, IDC_FOLDERS_PICTURES},
    {0x40, IDC_FOLDERS_MUSIC},   {0x80, IDC_FOLDERS_VIDEO},
};
constexpr uint32_t kRecentBit = 0x2;

bool IsFolderBox(int id) {
    for (const FolderBox& b : kBoxes)
        if (b.id == id) return true;
    return false;
}

// The count belongs to the recent-files page: it can be set only while that
// page is chosen.
void EnableCount(HWND pane, bool on) {
    for (int id : {IDC_FOLDERS_RECENT_LABEL, IDC_FOLDERS_RECENT_COUNT, IDC_FOLDERS_RECENT_ARROWS})
        EnableWindow(GetDlgItem(pane, id), on);
}

void OnInitDialog(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    for (const FolderBox& b : kBoxes) CheckDlgButton(pane, b.id, (s.spcialFolder & b.bit) ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(pane, IDC_FOLDERS_RECENT_COUNT, EM_LIMITTEXT, 3, 0);
    HWND arrows = GetDlgItem(pane, IDC_FOLDERS_RECENT_ARROWS);
    SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)), 0);
    SendMessageW(arrows, UDM_SETRANGE32, 10, 100);
    SendMessageW(arrows, UDM_SETPOS32, 0, s.spcialRecentFileNum);
    EnableCount(pane, s.spcialFolder & kRecentBit);
    if (TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation) {
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void TakeBoxes(HWND pane) {
    GeneralSettingsSession& s = TheGeneralSettings();
    uint32_t boxes = 0;
    for (const FolderBox& b : kBoxes)
        if (IsDlgButtonChecked(pane, b.id) == BST_CHECKED) boxes |= b.bit;
    s.spcialFolder = FoldersFromBoxes(s.spcialFolder, boxes);
    EnableCount(pane, s.spcialFolder & kRecentBit);
}

}  // namespace

INT_PTR CALLBACK FoldersPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND:
        if (IsFolderBox(LOWORD(wp))) {
            TakeBoxes(pane);
            return TRUE;
        }
        return FALSE;
    case WM_VSCROLL:
        if (const int count = ArrowsPosition(pane, lp, IDC_FOLDERS_RECENT_ARROWS, IDC_FOLDERS_RECENT_COUNT); count >= 0) {
            TheGeneralSettings().spcialRecentFileNum = uint16_t(count);
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
