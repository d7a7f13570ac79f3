#include "tabwindow/NotifyIcon_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "settings/AppState_win.h"
#include "common/Handles_win.h"
#include "common/MenuUtil_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "resources/resource.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {
namespace {

constexpr UINT kIconId = 1;

// What the program last gave the notification area: whether the icon is
// there, and whether it speaks the newer protocol (NIN_SELECT, keyboard).
struct IconState {
    bool shown = false;
    bool version4 = false;
};
IconState g_icon;

// Commands of the icon's menu, returned by TrackPopupMenu; the page list
// keeps the tab window's numbering.
constexpr UINT kShowCommand = 1;
constexpr UINT kGeneralCommand = 2;
constexpr UINT kExitCommand = 3;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

NOTIFYICONDATAW IconData(const App& app) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = app.HostWindow;
    data.uID = kIconId;
    return data;
}

// "Vellumcraft - <the settings file's name>", cut to what the tip holds.
void FillIconLook(const App& app, NOTIFYICONDATAW& data) {
    data.uFlags |= NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_SHOWTIP;
    data.uCallbackMessage = kNotifyIconMessage;
    // The notification area sits on the main monitor, at the system's DPI.
    data.hIcon = AppIcon(app.instance, SystemMetricForDpi(SM_CXSMICON, UINT(app.rec.DpiY)));
    const std::u16string& path = app.rec.SettingsFilePath;
    const std::u16string tip = u"Vellumcraft - " + path.substr(path.find_last_of(u"\\/") + 1);
    const std::u16string_view cut = CutTo(tip, std::size(data.szTip) - 1);
    cut.copy(reinterpret_cast<char16_t*>(data.szTip), cut.size());
}

void AddIcon(App& app) {
    NOTIFYICONDATAW data = IconData(app);
    FillIconLook(app, data);
    if (!Shell_NotifyIconW(NIM_ADD, &data)) return;
    g_icon.shown = true;
    data.uVersion = NOTIFYICON_VERSION_4;
    g_icon.version4 = Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void Toggle(App& app) {
    HWND tab = app.TabWindow;
    if (!tab) return;
    // A dialog of the program keeps the window: the dialog comes forward.
    if (!IsWindowEnabled(tab)) {
        SetForegroundWindow(GetLastActivePopup(tab));
        return;
    }
    if (IsWindowVisible(tab) && !IsIconic(tab))
        HideTabWindow(app);
    else
        ShowTabWindowOnRequest(app, true);
}

void InsertText(HMENU menu, UINT id, const wchar_t* text, HMENU sub = nullptr) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_ID | (sub ? MIIM_SUBMENU : 0);
    mii.wID = id;
    mii.dwTypeData = const_cast<wchar_t*>(text);
    mii.hSubMenu = sub;
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
}

void InsertSeparator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

void RunChosen(App& app, UINT command) {
    HWND tab = app.TabWindow;
    if (!command || !tab) return;
    if (command == kExitCommand) {
        // The same way out as the window's close box, with its saving.
        PostMessageW(tab, WM_COMMAND, IDM_EXIT, 0);
        return;
    }
    ShowTabWindowOnRequest(app, true);
    if (command == kGeneralCommand)
        PostMessageW(tab, WM_COMMAND, IDM_GENERAL_SETTINGS, 0);
    else if (command >= IDM_SELECT_PAGE_FIRST && command <= IDM_SELECT_PAGE_LAST)
        SelectPageByNumber(app, int(command - IDM_SELECT_PAGE_FIRST));
}

void OpenMenu(App& app, POINT at) {
    HWND tab = app.TabWindow;
    if (!tab) return;
    MenuPtr menu(CreatePopupMenu());
    MenuPtr pages(CreatePopupMenu());
    if (!menu || !pages) return;
    std::vector<BitmapPtr> swatches;
    FillTabPageList(app, pages.get(), swatches);
    InsertText(menu.get(), kShowCommand, L"表示(&S)");
    InsertSeparator(menu.get());
    InsertText(menu.get(), 0, L"ページ(&P)", pages.release());
    InsertSeparator(menu.get());
    InsertText(menu.get(), kGeneralCommand, L"全般設定(&T)...");
    InsertSeparator(menu.get());
    InsertText(menu.get(), kExitCommand, L"終了(&X)");
    SetMenuDefaultItem(menu.get(), kShowCommand, FALSE);
    // While a dialog of the program is open only 表示 (which brings the
    // dialog forward) has a meaning.
    if (!IsWindowEnabled(tab)) {
        for (UINT position = 1; position < UINT(GetMenuItemCount(menu.get())); ++position)
            EnableMenuItem(menu.get(), position, MF_BYPOSITION | MF_GRAYED);
    }
    // The menu closes when the user clicks elsewhere only if its owner is
    // the foreground window.
    SetForegroundWindow(app.HostWindow);
    const UINT command = UINT(TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                               at.y, app.HostWindow, nullptr));
    PostMessageW(app.HostWindow, WM_NULL, 0, 0);
    menu.reset();
    if (command == kShowCommand) {
        if (IsWindowEnabled(tab))
            ShowTabWindowOnRequest(app, true);
        else
            SetForegroundWindow(GetLastActivePopup(tab));
        return;
    }
    if (IsWindowEnabled(tab)) RunChosen(app, command);
}

POINT MenuPoint(WPARAM wp, bool version4) {
    POINT at{};
    if (version4) {
        at.x = short(LOWORD(wp));
        at.y = short(HIWORD(wp));
    } else {
        GetCursorPos(&at);
    }
    return at;
}

}  // namespace

void UpdateNotifyIcon(App& app) {
    if (!app.HostWindow) return;
    if (!app.rec.GlobalSettings.NotifyIcon) {
        RemoveNotifyIcon(app);
        return;
    }
    if (!g_icon.shown) {
        AddIcon(app);
        return;
    }
    NOTIFYICONDATAW data = IconData(app);
    FillIconLook(app, data);
    if (!Shell_NotifyIconW(NIM_MODIFY, &data)) {
        g_icon.shown = false;
        AddIcon(app);
    }
}

void RemoveNotifyIcon(App& app) {
    if (!g_icon.shown) return;
    NOTIFYICONDATAW data = IconData(app);
    Shell_NotifyIconW(NIM_DELETE, &data);
    g_icon = {};
}

bool NotifyIconShown() { return g_icon.shown; }

bool OnNotifyIconMessage(App& app, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TaskbarCreatedMessage() && msg != 0) {
        // Explorer started again with an empty notification area.
        g_icon.shown = false;
        UpdateNotifyIcon(app);
        return true;
    }
    if (msg != kNotifyIconMessage) return false;
    switch (LOWORD(lp)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (g_icon.version4) Toggle(app);
        break;
    case WM_LBUTTONUP:
        if (!g_icon.version4) Toggle(app);
        break;
    case WM_CONTEXTMENU:
        if (g_icon.version4) OpenMenu(app, MenuPoint(wp, true));
        break;
    case WM_RBUTTONUP:
        if (!g_icon.version4) OpenMenu(app, MenuPoint(wp, false));
        break;
    }
    return true;
}

void ShowTabWindowOnRequest(App& app, bool escapeHides) {
    HWND tab = app.TabWindow;
    if (!tab) return;
    ShowWindow(tab, IsIconic(tab) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(tab);
    app.escapeHides = escapeHides;
}

void HideTabWindow(App& app) {
    if (app.TabWindow) ShowWindow(app.TabWindow, SW_HIDE);
}

}  // namespace vc
