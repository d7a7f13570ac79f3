#include "pagesettings/SettingsFrame_win.h"

#include <commctrl.h>

#include <iterator>
#include <vector>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Glass_win.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "resources/resource.h"
#include "common/Swatch_win.h"

namespace vc {


namespace {

// The toolbar strips drawn, by the size of one picture, and their bitmaps.
constexpr int kToolbarPictureSizes[] = {24, 36, 48};
constexpr int kToolbarBitmaps[] = {IDB_TOOLBAR, IDB_TOOLBAR36, IDB_TOOLBAR48};

// The DPI a dialog was last told by WM_DPICHANGED. The system's own answer
// may lag behind the message (and some systems never change it), while the
// message is what the dialog's new size was worked out from.
constexpr wchar_t kToldDpiProperty[] = L"VellumcraftDialogDpi";

}  // namespace

float DialogDpi(HWND dialog) {
    HWND root = GetAncestor(dialog, GA_ROOT);
    if (const auto told = reinterpret_cast<UINT_PTR>(GetPropW(root, kToldDpiProperty))) return float(told);
    return float(WindowDpi(root, UINT(TheApp().rec.DpiY)));
}


void SettingsFrame::Create(HWND dialog, bool animate) {
    dialog_ = dialog;
    const App& app = TheApp();
    CreateToolbar();
    CreatePane();
    PlaceGlass();
    if (app.rec.WindowsVersion >= 600) {
        if (GlassAvailable(app.rec.WindowsVersion)) ExtendGlassFrame(dialog);
    } else if (animate) {
        AnimateWindow(dialog, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        if (pane_) RedrawWindow(pane_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void SettingsFrame::PlaceGlass() const {
    RECT rc;
    GetClientRect(dialog_, &rc);
    MoveWindow(GetDlgItem(dialog_, IDC_GLASS_TOP), 0, 0, rc.right, kGlassHeight, TRUE);
    MoveWindow(GetDlgItem(dialog_, IDC_GLASS_BOTTOM), 0, rc.bottom - kGlassHeight, rc.right, kGlassHeight, TRUE);
}

void SettingsFrame::CreateToolbar() {
    HWND dialog = dialog_;
    const App& app = TheApp();
    const float dpi = DialogDpi(dialog);
    const float sx = dpi / 96.0f, sy = dpi / 96.0f;
    // The pictures drawn for the DPI, or the next smaller ones: never a
    // small picture stretched into a blur.
    const int picture = PictureSizeFor(ScaleToDpi(24, dpi), kToolbarPictureSizes, int(std::size(kToolbarPictureSizes)));
    int bitmap = kToolbarBitmaps[0];
    for (size_t i = 0; i < std::size(kToolbarPictureSizes); ++i)
        if (kToolbarPictureSizes[i] == picture) bitmap = kToolbarBitmaps[i];
    if (paneIndex_ < 0 || paneIndex_ >= count_) paneIndex_ = 0;

    std::vector<TBBUTTON> buttons(static_cast<size_t>(count_));
    for (int i = 0; i < count_; ++i) {
        TBBUTTON& b = buttons[size_t(i)];
        b.iBitmap = panes_[i].image;
        b.idCommand = panes_[i].buttonId;
        b.fsState = BYTE(TBSTATE_ENABLED | (i == paneIndex_ ? TBSTATE_CHECKED : 0));
        b.fsStyle = BYTE(BTNS_CHECKGROUP | BTNS_SHOWTEXT);
    }
    toolbar_ = CreateToolbarEx(dialog,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE |
                                   TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                                   CCS_NORESIZE,
                               IDC_SETTINGS_TOOLBAR, count_, app.instance, UINT_PTR(bitmap), buttons.data(), count_,
                               0, 0, picture, picture, sizeof(TBBUTTON));
    if (toolbar_) {
        for (int i = 0; i < count_; ++i) {
            TBBUTTONINFOW info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_TEXT;
            info.pszText = const_cast<wchar_t*>(AsW(panes_[i].text));
            SendMessageW(toolbar_, TB_SETBUTTONINFOW, WPARAM(panes_[i].buttonId), reinterpret_cast<LPARAM>(&info));
        }
        const int w = int(86 * sx), h = int(60 * sy);
        SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(w, h));
        // Every button as wide as the strip: a limit below the width would
        // cut the longer button texts ("特別フォルダ").
        SendMessageW(toolbar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(w, w > h ? w : h));
        if (int(88 * sx) && int(toolbarHeight_ * sy))
            MoveWindow(toolbar_, int(5 * sx), int(16 * sy), int(88 * sx), int(toolbarHeight_ * sy), FALSE);
        toolbarFont_.reset(FontFromWindowFont(dialog, 0, 0, 0, 0, 0, u""));
        if (toolbarFont_) SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(toolbarFont_.get()), FALSE);
        if (HWND tip = reinterpret_cast<HWND>(SendMessageW(toolbar_, TB_GETTOOLTIPS, 0, 0))) {
            if (narrowTipMargins_) {
                RECT margin{-3, -3, -4, -4};
                SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
            }
            // The width lets the line break in a tooltip text take effect.
            SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, int(480 * sx));
            LONG_PTR st = GetWindowLongPtrW(tip, GWL_STYLE);
            SetWindowLongPtrW(tip, GWL_STYLE, (st | TTS_BALLOON) & ~LONG_PTR(WS_BORDER));
        }
    }
}

bool SettingsFrame::FollowDpiChange(WPARAM wp, LPARAM lp) {
    // What this frame made from a DPI is made after the dialog manager's
    // scaling, so that nothing of it is scaled twice.
    if (!ScaleDialogForDpi(dialog_, wp, lp, followingDpi_)) return false;
    if (const UINT dpi = HIWORD(wp)) SetPropW(dialog_, kToldDpiProperty, reinterpret_cast<HANDLE>(UINT_PTR(dpi)));
    const bool focusHere = IsChild(dialog_, GetFocus());
    // The pane goes first (it writes its fields back as it goes) and comes
    // back after the toolbar, in the order of the first opening.
    ClosePane();
    if (toolbar_) DestroyWindow(toolbar_);
    toolbar_ = nullptr;
    CreateToolbar();
    CreatePane();
    PlaceGlass();
    if (focusHere && !IsChild(dialog_, GetFocus()) && toolbar_) SetFocus(toolbar_);
    // A caption that shows the program's icon shows it at the new size.
    if (SendMessageW(dialog_, WM_GETICON, ICON_BIG, 0))
        SetCaptionIcon(dialog_, TheApp().instance, UINT(DialogDpi(dialog_)));
    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
    return true;
}

void SettingsFrame::CreatePane() {
    pane_ = paneIndex_ >= 0 && paneIndex_ < count_ && create_ ? create_(dialog_, paneIndex_) : nullptr;
}

void SettingsFrame::SwitchTo(int index, bool animate) {
    if (index < 0 || index >= count_ || index == paneIndex_) return;
    if (pane_) {
        if (animate) AnimateWindow(pane_, 75, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
        DestroyWindow(pane_);
        pane_ = nullptr;
    }
    paneIndex_ = index;
    CreatePane();
    if (pane_) RedrawWindow(pane_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SettingsFrame::ClosePane() {
    if (pane_) DestroyWindow(pane_);
    pane_ = nullptr;
}

void SettingsFrame::Destroy() {
    ClosePane();
    if (dialog_) RemovePropW(dialog_, kToldDpiProperty);
    if (toolbar_) DestroyWindow(toolbar_);
    toolbar_ = nullptr;
    toolbarFont_.reset();
}

bool SettingsFrame::HandleMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) const {
    switch (msg) {
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lp)->code == TTN_GETDISPINFOW) OnTooltip(reinterpret_cast<NMTTDISPINFOW*>(lp));
        result = FALSE;
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        result = ColourControl(dialog, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        return true;
    case WM_DWMCOMPOSITIONCHANGED:
        if (GlassAvailable(TheApp().rec.WindowsVersion)) ExtendGlassFrame(dialog);
        result = FALSE;
        return true;
    }
    return false;
}

void SettingsFrame::OnTooltip(NMTTDISPINFOW* info) const {
    const int i = PaneOfButton(panes_, count_, int(info->hdr.idFrom));
    if (i < 0) return;
    info->hinst = TheApp().instance;
    info->lpszText = const_cast<wchar_t*>(AsW(panes_[i].tip));
}

INT_PTR SettingsFrame::ColourControl(HWND dialog, HDC dc, HWND control) const {
    if (!BackgroundBrush()) return FALSE;  // high contrast: the theme's colours
    SetBkMode(dc, TRANSPARENT);
    AlignBackgroundBrush(dialog, control, dc);
    const int id = GetDlgCtrlID(control);
    if ((id == IDC_GLASS_TOP || id == IDC_GLASS_BOTTOM) && GlassAvailable(TheApp().rec.WindowsVersion))
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));  // drawn as glass
    return reinterpret_cast<INT_PTR>(BackgroundBrush());
}

int ArrowsPosition(HWND pane, LPARAM lp, int arrowsId, int editId) {
    HWND arrows = reinterpret_cast<HWND>(lp);
    if (!arrows || arrows != GetDlgItem(pane, arrowsId)) return -1;
    SendDlgItemMessageW(pane, editId, EM_SETSEL, 0, -1);
    return int(SendMessageW(arrows, UDM_GETPOS32, 0, 0));
}

INT_PTR ColourPaneControl(HWND pane, HDC dc, HWND control) {
    // Edits keep the system's colours, read-only ones too (they ask as
    // statics): a value field on the pattern would be hard to read.
    wchar_t name[8] = {};
    GetClassNameW(control, name, 8);
    if (lstrcmpiW(name, L"Edit") == 0 || !BackgroundBrush()) return FALSE;
    SetBkMode(dc, TRANSPARENT);
    AlignBackgroundBrush(pane, control, dc);
    return reinterpret_cast<INT_PTR>(BackgroundBrush());
}

}  // namespace vc
