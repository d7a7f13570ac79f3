#include "app/HostWindow_win.h"

#include <commctrl.h>

#include <iterator>

#include "app/App_win.h"
#include "common/Handles_win.h"
#include "common/MenuUtil_win.h"
#include "common/WindowUtil_win.h"
#include "generalsettings/GlobalHotKey_win.h"
#include "generalsettings/HotKey.h"
#include "resources/resource.h"
#include "tabwindow/NotifyIcon_win.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

namespace {

bool InsertItem(HMENU menu, UINT pos, UINT id, const wchar_t* text, HMENU sub = nullptr) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    if (!text) {
        mii.fMask = MIIM_FTYPE;
        mii.fType = MFT_SEPARATOR;
    } else {
        mii.fMask = MIIM_STRING | MIIM_ID | (sub ? MIIM_SUBMENU : 0);
        mii.wID = id;
        mii.dwTypeData = const_cast<wchar_t*>(text);
        mii.hSubMenu = sub;
    }
    return InsertMenuItemW(menu, pos, TRUE, &mii);
}

// Closes the tab window (which stores its state) before the host goes.
void CloseTabWindow(App& app) {
    app.HostWindow = nullptr;
    if (app.TabWindow && IsWindow(app.TabWindow)) SendMessageW(app.TabWindow, WM_CLOSE, 0, 0);
}

// Ends the program: the tab window first, then the host and the loop.
void CloseHost(App& app, HWND host) {
    CloseTabWindow(app);
    DestroyWindow(host);
    PostQuitMessage(0);
}

// The page commands of menu 129, taken out of the loaded menu so that the
// system menu alone owns them and destroys them with the tab window.
MenuPtr LoadPageCommands(HINSTANCE instance) {
    MenuPtr root(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_PAGEMENU)));
    if (!root) return {};
    constexpr int kPagesPopupPosition = 0;
    MenuPtr pages(GetSubMenu(root.get(), kPagesPopupPosition));
    if (pages) RemoveMenu(root.get(), kPagesPopupPosition, MF_BYPOSITION);
    return pages;
}

}  // namespace

bool RegisterHostClass(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = 0;
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.hIcon = AppIcon(instance, 32);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClassName;
    return RegisterClassW(&wc) != 0;
}

HWND CreateHostWindow(App& app) {
    const GlobalRecord& g = app.rec.GlobalSettings;
    std::u16string title = app.rec.WindowName;
    HWND host = CreateWindowExW(0, kHostClassName, reinterpret_cast<const wchar_t*>(title.c_str()),
                                WS_POPUP | WS_SYSMENU, g.xPosi, g.yPosi + 18, 32, 32, nullptr, nullptr, app.instance,
                                &app);
    if (host) UpdateWindow(host);
    return host;
}

void ExtendSystemMenu(App& app, HWND tab) {
    HMENU sys = GetSystemMenu(tab, FALSE);
    if (!sys) return;
    DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    ModifyMenuW(sys, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, L"閉じる(&C)");

    MenuPtr pages = LoadPageCommands(app.instance);
    // Once inserted, the submenu is the system menu's, destroyed with it.
    InsertItem(sys, kSystemMenuAboutPosition, IDM_ABOUT, L"Vellumcraft");
    InsertItem(sys, kSystemMenuAboutPosition + 1, 0, nullptr);
    if (pages && InsertItem(sys, kSystemMenuPagesPosition, 0, L"ページ", pages.get())) pages.release();
    InsertItem(sys, kSystemMenuNewPagePosition, IDM_PAGE_ADD, L"新規ページ追加(&A)");
    InsertItem(sys, kSystemMenuNewPagePosition + 1, 0, nullptr);
    InsertItem(sys, kSystemMenuGeneralPosition, IDM_GENERAL_SETTINGS, L"全般設定(&T)...");
    InsertItem(sys, kSystemMenuGeneralPosition + 1, 0, nullptr);

    SetSystemMenuPictures(app);
    SetMenuDefaultItem(sys, kSystemMenuAboutPosition, TRUE);
}

void ApplyWindowOptions(App& app, HWND tab) {
    if (!IsWindow(tab)) return;
    const uint32_t style = app.rec.GlobalSettings.TabStyle;
    if (app.rec.WindowsVersion >= 500 && (style & TabStyleBit::Transparent)) {
        SetWindowLongPtrW(tab, GWL_EXSTYLE, GetWindowLongPtrW(tab, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(tab, 0, BYTE(app.rec.GlobalSettings.LayerWindowLevel & 0xFF), LWA_ALPHA);
    }
    // Each change costs the window a frame recalculation, so only what
    // differs from the window as created is changed.
    const LONG_PTR was = GetWindowLongPtrW(tab, GWL_STYLE);
    const LONG_PTR ws = (style & TabStyleBit::NoTaskbar) ? (was & ~LONG_PTR(WS_MINIMIZEBOX)) : (was | WS_MINIMIZEBOX);
    if (ws != was) SetWindowLongPtrW(tab, GWL_STYLE, ws);
    const bool topMost = style & TabStyleBit::TopMost;
    if (ws != was || topMost != bool(GetWindowLongPtrW(tab, GWL_EXSTYLE) & WS_EX_TOPMOST)) SetTopMost(tab, topMost);
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    if (OnNotifyIconMessage(app, msg, wp, lp)) return 0;
    switch (msg) {
    case WM_CREATE: {
        INITCOMMONCONTROLSEX icc{sizeof icc, 0x1FF};
        InitCommonControlsEx(&icc);
        app.HostWindow = hwnd;
        HWND owner = (app.rec.GlobalSettings.TabStyle & TabStyleBit::NoTaskbar) ? hwnd : nullptr;
        HWND tab = CreateTabWindow(app, owner);
        const GlobalRecord& g = app.rec.GlobalSettings;
        // A window that starts hidden needs a way back: the icon, or the
        // hotkey if Windows gives it. Without either it shows after all.
        const bool hidden = g.StartHidden && (g.NotifyIcon || (RegisterGlobalHotKey(hwnd, g.HotKey) ==
                                                                    HotKeyOutcome::Registered &&
                                                                UsableHotKey(g.HotKey)));
        if (tab && IsWindow(tab)) {
            ApplyWindowOptions(app, tab);
            if (!hidden) {
                ShowWindow(tab, SW_SHOW);
                UpdateWindow(tab);
                // Started by the user, so it takes the keyboard at once.
                SetForegroundWindow(tab);
            }
            FinishShownTabWindow(app, tab);
            // Nobody sees the system menu before it is opened, so it is
            // extended once the window is on screen.
            ExtendSystemMenu(app, tab);
            DrawMenuBar(tab);
        }
        // A key another program holds is shown in the general pane; the
        // program runs on without it.
        RegisterGlobalHotKey(hwnd, g.HotKey);
        UpdateNotifyIcon(app);
        return 1;
    }
    case WM_PAINT: {
        PaintDC paint(hwnd);  // nothing to draw: the window stays hidden
        return 0;
    }
    case WM_CLOSE:
        CloseHost(app, hwnd);
        return 1;
    case WM_QUERYENDSESSION:
        // Another program may still cancel the end of the session: what the
        // user did is stored now, and the windows stay until it really ends.
        StoreTabWindowState(app);
        return TRUE;
    case WM_ENDSESSION:
        app.sessionEnding = wp != 0;
        if (wp) CloseHost(app, hwnd);
        return 0;
    case WM_DESTROY:
        RemoveNotifyIcon(app);
        UnregisterGlobalHotKey(hwnd);
        ReleaseSystemMenuPictures();
        break;
    case WM_HOTKEY:
        OnGlobalHotKey(app.TabWindow, wp, lp);
        return 0;
    case WM_SYSCOMMAND:
        switch (LOWORD(wp) & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_RESTORE: return 1;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDM_NEXT_TAB: SelectAdjacentTab(app, +1); return 1;
        case IDM_PREV_TAB: SelectAdjacentTab(app, -1); return 1;
        case IDM_MAIN_PAGE: SelectMainPage(app); return 1;
        // The find box is the tab window's own command.
        case IDM_FIND_ALL: SendMessageW(app.TabWindow, WM_COMMAND, IDM_FIND_ALL, 0); return 1;
        }
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace vc
