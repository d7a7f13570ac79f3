// The view pane: how the page's list shows its entries (tiles, icons, small
// icons, details) and whether it shows file-name extensions.
#include <windows.h>

#include "settings/AppState_win.h"
#include "pagesettings/PageSettingsPanes_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

// The view reaches the working copy at each click; the extension box only
// when the pane closes (or its values become the defaults).
void TakeExtensions(HWND pane) {
    PageRecord& page = PageSettingsWorkingCopy();
    page.ListType = (page.ListType & ~ListTypeBit::ShowExtensions) |
                    (IsDlgButtonChecked(pane, IDC_VIEW_EXTENSIONS) == BST_CHECKED ? ListTypeBit::ShowExtensions : 0);
}

void CopyView(const PageRecord& from, PageRecord& to) { to.ListType = from.ListType; }

void OnInitDialog(HWND pane) {
    const App& app = TheApp();
    const uint32_t listType = PageSettingsWorkingCopy().ListType;
    // A stored view beyond the four leaves every button unchecked.
    CheckRadioButton(pane, IDC_VIEW_TILE, IDC_VIEW_DETAILS, int(IDC_VIEW_TILE + (listType & ListTypeBit::ViewMask)));
    // List views have tiles from Windows XP on; a page already in tile view
    // still shows where it stands.
    if (app.rec.WindowsVersion < 510) EnableWindow(GetDlgItem(pane, IDC_VIEW_TILE), FALSE);
    CheckDlgButton(pane, IDC_VIEW_EXTENSIONS, (listType & ListTypeBit::ShowExtensions) ? BST_CHECKED : BST_UNCHECKED);
    if (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation)
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

}  // namespace

INT_PTR CALLBACK ViewPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (id >= IDC_VIEW_TILE && id <= IDC_VIEW_DETAILS && HIWORD(wp) == BN_CLICKED) {
            PageRecord& page = PageSettingsWorkingCopy();
            page.ListType = (page.ListType & ~ListTypeBit::ViewMask) | uint32_t(id - IDC_VIEW_TILE);
            return TRUE;
        }
        if (id == IDC_VIEW_MAKEDEFAULT && HIWORD(wp) == BN_CLICKED) {
            TakeExtensions(pane);
            OfferAsDefaults(pane, u"表示", CopyView);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DESTROY: TakeExtensions(pane); return FALSE;
    }
    return FALSE;
}

}  // namespace vc
