#include "tabwindow/TabWindow_win.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/App_win.h"
#include "app/Startup.h"
#include "common/WindowUtil_win.h"
#include "common/Wide_win.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

namespace vc {

namespace {

// What the tab window owns; released when it closes.
struct TabWindowState {
    HWND strip = nullptr;
    HFONT tabFont = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    void ReleaseResources() {
        if (strip && tabFont) SendMessageW(strip, WM_SETFONT, 0, FALSE);
        if (tabFont) DeleteObject(tabFont);
        if (bigIcon) DestroyIcon(bigIcon);
        if (smallIcon) DestroyIcon(smallIcon);
        tabFont = nullptr;
        bigIcon = smallIcon = nullptr;
    }
};
TabWindowState g_tab;

// Item parameter of a tab: k for the k-th shown special page, 8 + i for user
// page i, so a value below 8 always names a special page.
constexpr LPARAM kUserPageParamBase = 8;

void InsertTab(HWND strip, int pos, const std::u16string& label, LPARAM param) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    std::u16string text = label;
    item.pszText = reinterpret_cast<wchar_t*>(text.data());
    item.lParam = param;
    SendMessageW(strip, TCM_INSERTITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item));
}

void InsertUserPageTabs(App& app, HWND strip) {
    const Records& r = app.rec;
    const bool all = r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu;
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        if (!all && (r.UserPages[i].Flag & PageFlag::Unmarked)) continue;
        int count = int(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        InsertTab(strip, count, r.UserPages[i].Label, kUserPageParamBase + LPARAM(i));
    }
}

void InsertSpecialPageTabs(App& app, HWND strip) {
    const Records& r = app.rec;
    for (int k = 0; k < r.ShownSpecialCount; ++k)
        InsertTab(strip, k, r.SpecialPages[r.ShownSpecialPages[size_t(k)]].Label, LPARAM(k));
}

void ApplyTabFont(App& app, HWND tab) {
    HFONT font = FontFromWindowFont(tab, app.rec.GlobalSettings.TabFontSize, 0, 0, 0, 0,
                                    app.rec.GlobalSettings.TabFontName);
    // The window's own font comes back when no copy could be made; it is not ours.
    if (font && font == reinterpret_cast<HFONT>(SendMessageW(tab, WM_GETFONT, 0, 0))) font = nullptr;
    if (font) {
        SendMessageW(g_tab.strip, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (g_tab.tabFont) DeleteObject(g_tab.tabFont);
        g_tab.tabFont = font;
    }
    LayoutTabWindow(app);
}

void ToggleTransparency(App& app, HWND tab) {
    if (app.rec.WindowsVersion < 500) return;
    GlobalRecord& g = app.rec.GlobalSettings;
    g.TabStyle ^= TabStyleBit::Transparent;
    if (!IsWindow(tab)) return;
    LONG_PTR ex = GetWindowLongPtrW(tab, GWL_EXSTYLE);
    const bool on = g.TabStyle & TabStyleBit::Transparent;
    SetWindowLongPtrW(tab, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED)));
    if (on) SetLayeredWindowAttributes(tab, 0, BYTE(g.LayerWindowLevel & 0xFF), LWA_ALPHA);
}

void SelectTab(App& app, int tabNumber) {
    Records& r = app.rec;
    r.GlobalSettings.TabNumber = tabNumber;
    SendMessageW(g_tab.strip, TCM_SETCURSEL, WPARAM(tabNumber), 0);
    r.CurrentPage = PageOfTab(r, tabNumber);
}

// The closing sequence: store the global settings, release what the window
// holds, and end the program through the host window.
void CloseTabWindow(App& app, HWND tab) {
    if (app.HostWindow) ShowWindow(app.HostWindow, SW_HIDE);
    if (app.rec.WindowsVersion < 600 && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation))
        AnimateWindow(tab, 75, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
    WriteGlobalSettings(app.rec, app.store);
    g_tab.ReleaseResources();
    CoUninitialize();
    DestroyWindow(tab);
    app.TabWindow = nullptr;
    if (app.HostWindow) PostMessageW(app.HostWindow, WM_CLOSE, 0, 0);
}

void OnInitDialog(App& app, HWND tab) {
    app.TabWindow = tab;
    Records& r = app.rec;
    GlobalRecord& g = r.GlobalSettings;
    std::u16string caption = TabWindowCaption(r.WindowName);
    SetWindowTextW(tab, AsW(caption));

    PlaceTabWindow(tab, g.xPosi, g.yPosi, g.xSize, g.ySize);

    g_tab.strip = GetDlgItem(tab, IDC_TABSTRIP);
    HWND strip = g_tab.strip;
    LONG_PTR ts = GetWindowLongPtrW(strip, GWL_STYLE);
    ts = (g.TabStyle & TabStyleBit::Bottom) ? (ts | TCS_BOTTOM) : (ts & ~LONG_PTR(TCS_BOTTOM));
    ts = (g.TabStyle & TabStyleBit::MultiLine) ? (ts | TCS_MULTILINE) : (ts & ~LONG_PTR(TCS_MULTILINE));
    SetWindowLongPtrW(strip, GWL_STYLE, ts);

    InsertUserPageTabs(app, strip);
    InsertSpecialPageTabs(app, strip);
    SendMessageW(strip, TCM_SETCURSEL, WPARAM(g.TabNumber), 0);
    SendMessageW(strip, TCM_SETMINTABWIDTH, 0, 16);
    SendMessageW(strip, TCM_SETPADDING, 0, MAKELPARAM(7, 4));
    SendMessageW(strip, TCM_SETEXTENDEDSTYLE, TCS_EX_REGISTERDROP, TCS_EX_REGISTERDROP);

    if (HWND tip = reinterpret_cast<HWND>(SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 255);
        RECT margin{3, 2, 3, 2};
        if (r.CommonControlsVersion >= 580) {
            LONG_PTR st = GetWindowLongPtrW(tip, GWL_STYLE);
            SetWindowLongPtrW(tip, GWL_STYLE, (st | TTS_BALLOON) & ~LONG_PTR(WS_BORDER));
            margin = {-2, -3, -2, -3};
        }
        SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }

    g_tab.bigIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, 0));
    g_tab.smallIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
    SendMessageW(tab, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_tab.bigIcon));
    SendMessageW(tab, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_tab.smallIcon));

    LayoutTabWindow(app);
    PostMessageW(tab, WM_COMMAND, IDM_APPLY_TAB_FONT, 0);

    if (r.WindowsVersion < 600 && (g.TabStyle & TabStyleBit::Animation))
        AnimateWindow(tab, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

// Commands of the tab window, from menus and from the system menu alike.
using CommandFn = INT_PTR (*)(App&, HWND tab, WPARAM, LPARAM);
struct Command {
    int id;
    CommandFn fn;
};
const Command kCommands[] = {
    {IDM_TOGGLE_TRANSPARENCY, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { ToggleTransparency(a, t); return 0; }},
    {IDM_EXIT, [](App&, HWND t, WPARAM, LPARAM) -> INT_PTR { PostMessageW(t, WM_CLOSE, 0, 0); return TRUE; }},
    {IDM_APPLY_TAB_FONT, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { ApplyTabFont(a, t); return 0; }},
    {IDM_ALWAYS_ON_TOP,
     [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR {
         a.rec.GlobalSettings.TabStyle ^= TabStyleBit::TopMost;
         SetTopMost(t, a.rec.GlobalSettings.TabStyle & TabStyleBit::TopMost);
         return 0;
     }},
};

// Returns true (with the result) when `id` is one of the window's commands.
bool RunCommand(App& app, HWND tab, int id, WPARAM wp, LPARAM lp, INT_PTR& result) {
    if (id >= IDM_SELECT_PAGE_FIRST && id <= IDM_SELECT_PAGE_LAST) {
        SelectPageByNumber(app, id - IDM_SELECT_PAGE_FIRST);
        result = 0;
        return true;
    }
    for (const Command& c : kCommands) {
        if (c.id == id) {
            result = c.fn(app, tab, wp, lp);
            return true;
        }
    }
    return false;
}

void StorePlacement(App& app, HWND tab, bool size) {
    if (IsIconic(tab) || IsZoomed(tab)) return;
    RECT rc;
    if (!GetWindowRect(tab, &rc)) return;
    GlobalRecord& g = app.rec.GlobalSettings;
    if (size) {
        g.xSize = rc.right - rc.left;
        g.ySize = rc.bottom - rc.top;
    } else {
        g.xPosi = rc.left;
        g.yPosi = rc.top;
    }
}

}  // namespace

HWND CreateTabWindow(App& app, HWND owner) {
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_TABWINDOW), owner, TabWindowProc, 0);
}

void LayoutTabWindow(App& app) {
    HWND tab = app.TabWindow;
    if (!tab || !g_tab.strip) return;
    RECT rc;
    GetClientRect(tab, &rc);
    int statusHeight = 0;
    MoveWindow(g_tab.strip, 2, 2, rc.right - 4, rc.bottom - statusHeight - 4, FALSE);
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SelectAdjacentTab(App& app, int delta) {
    if (!g_tab.strip) return;
    int count = int(SendMessageW(g_tab.strip, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    int n = app.rec.GlobalSettings.TabNumber + delta;
    if (n < 0) n = count - 1;
    if (n >= count) n = 0;
    SelectTab(app, n);
}

void SelectMainPage(App& app) {
    Records& r = app.rec;
    for (int k = 0; k < r.ShownSpecialCount; ++k) {
        if (r.SpecialPages[r.ShownSpecialPages[size_t(k)]].Flag & PageFlag::MainPage) {
            SelectTab(app, k);
            return;
        }
    }
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        if (!(r.UserPages[i].Flag & PageFlag::MainPage)) continue;
        int tab = TabOfPage(r, int32_t(i));
        // A main page that is not a tab (hidden while unmarked) has nowhere to go.
        if (PageOfTab(r, tab) == int32_t(i)) SelectTab(app, tab);
        return;
    }
}

void SelectPageByNumber(App& app, int n) {
    Records& r = app.rec;
    if (n < r.ShownSpecialCount) {
        SelectTab(app, n);
        return;
    }
    int page = n - r.ShownSpecialCount;
    if (page >= int(r.UserPages.size())) return;
    int tab = TabOfPage(r, page);
    if (PageOfTab(r, tab) == page) SelectTab(app, tab);
}

INT_PTR CALLBACK TabWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(app, hwnd); return TRUE;
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED || wp == SIZE_MAXIMIZED) return 0;
        LayoutTabWindow(app);
        StorePlacement(app, hwnd, true);
        return 0;
    case WM_MOVE: StorePlacement(app, hwnd, false); return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {35, 35};
        return 0;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == g_tab.strip && nm->code == TCN_SELCHANGE) {
            int sel = int(SendMessageW(g_tab.strip, TCM_GETCURSEL, 0, 0));
            app.rec.GlobalSettings.TabNumber = sel;
            app.rec.CurrentPage = PageOfTab(app.rec, sel);
        }
        return 0;
    }
    case WM_COMMAND: {
        INT_PTR result = 0;
        RunCommand(app, hwnd, LOWORD(wp), wp, lp, result);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return result;
    }
    case WM_SYSCOMMAND: {
        if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
        INT_PTR result = 0;
        if (RunCommand(app, hwnd, LOWORD(wp), wp, lp, result)) return TRUE;
        return 0;
    }
    case WM_CLOSE: CloseTabWindow(app, hwnd); return 0;
    case WM_DESTROY: return TRUE;
    }
    return FALSE;
}

}  // namespace vc
