#include "common/WindowUtil_win.h"

#include <map>
#include <random>
#include <vector>

#include <commctrl.h>

#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/Placement.h"
#include "common/SystemLibrary_win.h"
#include "common/U16.h"
#include "common/Swatch_win.h"
#include "resources/resource.h"

namespace vc {

HFONT FontFromWindowFont(HWND w, int height, int weight, BYTE italic, BYTE underline, BYTE strikeOut,
                         const std::u16string& face) {
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
    if (!own) return nullptr;
    LOGFONTW lf{};
    // A font that cannot be read gives no copy; handing out the window's
    // own instead would have the caller delete a font still in use.
    if (!GetObjectW(own, sizeof lf, &lf)) return nullptr;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfEscapement = 0;
    if (height) lf.lfHeight = height;
    if (weight) lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    wchar_t ownFace[LF_FACESIZE];
    lstrcpynW(ownFace, lf.lfFaceName, 36 < LF_FACESIZE ? 36 : LF_FACESIZE);
    if (!face.empty()) {
        std::u16string f(CutTo(face, 31));
        lstrcpynW(lf.lfFaceName, reinterpret_cast<const wchar_t*>(f.c_str()), LF_FACESIZE);
    }
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) {
        lstrcpynW(lf.lfFaceName, ownFace, LF_FACESIZE);
        font = CreateFontIndirectW(&lf);
    }
    return font;
}

void PlaceTabWindow(HWND tab, int x, int y, int width, int height) {
    RECT want{x, y, x + width, y + height};
    Rect m{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (HMONITOR mon = MonitorFromRect(&want, MONITOR_DEFAULTTONEAREST); mon && GetMonitorInfoW(mon, &mi))
        m = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
    Point p = PlaceOnMonitor(x, y, width, height, m);
    MoveWindow(tab, p.x, p.y, width, height, FALSE);
}

namespace {
struct OwnedPopups {
    HWND owner;
    std::vector<HWND> windows;
};
BOOL CALLBACK CollectOwned(HWND w, LPARAM lp) {
    auto* o = reinterpret_cast<OwnedPopups*>(lp);
    if (GetWindow(w, GW_OWNER) == o->owner) o->windows.push_back(w);
    return TRUE;
}
}  // namespace

namespace {
Rect MonitorOf(const RECT& r) {
    Rect m{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (HMONITOR mon = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST); mon && GetMonitorInfoW(mon, &mi))
        m = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
    return m;
}

unsigned Random() {
    static std::mt19937 rng{std::random_device{}()};
    return unsigned(rng());
}
}  // namespace

void PlaceDialogBesideTabWindow(HWND dialog, HWND tabWindow, const RECT& tabPlacement, uint32_t windowsVersion) {
    const bool modern = windowsVersion >= 600;
    int mx = 8 + int(Random() % 6), my = 3 + int(Random() % 6);
    if (modern) {
        mx += 5;
        my += 5;
    }
    Rect m = MonitorOf(tabPlacement);
    RECT d, t{};
    GetWindowRect(dialog, &d);
    if (tabWindow) GetWindowRect(tabWindow, &t);
    Point p = PlaceBeside(m, Rect{t.left, t.top, t.right, t.bottom}, d.right - d.left, d.bottom - d.top, mx, my,
                         modern);
    SetWindowPos(dialog, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void RandomAnimation(HWND w, DWORD baseFlags) { AnimateWindow(w, 75, baseFlags | RandomAnimationFlags(Random())); }

void ItemSelectionFrame(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    InflateRect(&r, -1, -1);
    if (item.itemState & ODS_SELECTED) {
        FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    BrushPtr b(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    FrameRect(item.hDC, &r, b.get());
}

void AlignBackgroundBrush(HWND dialog, HWND control, HDC dc) {
    POINT d{0, 0}, c{0, 0};
    ClientToScreen(dialog, &d);
    ClientToScreen(control, &c);
    SIZE tile = BackgroundTileSize();
    Point o = PatternOrigin(c.x - d.x, c.y - d.y, tile.cx, tile.cy);
    SetBrushOrgEx(dc, o.x, o.y, nullptr);
}

HWND TooltipsForControls(HINSTANCE instance, HWND dialog, const ControlTip* tips, int count) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (!tip) return nullptr;
    SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(480, float(WindowDpi(dialog, kDesignDpi))));
    for (int i = 0; i < count; ++i) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = dialog;
        ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tips[i].id));
        ti.hinst = instance;
        ti.lpszText = const_cast<wchar_t*>(tips[i].text);
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    return tip;
}

void SetControlTheme(HWND w, const wchar_t* appName) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static SetWindowThemeFn fn = [] {
        HMODULE lib = LoadSystemLibrary(L"uxtheme.dll");
        return lib ? reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(GetProcAddress(lib, "SetWindowTheme")))
                   : nullptr;
    }();
    if (fn) fn(w, appName, nullptr);
}

void SetTopMost(HWND w, bool on) {
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED;
    SetWindowPos(w, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (bool(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) == on) return;
    // Wine moves a window's owned popups (such as the tab strip's tooltip)
    // first and then places the window after them, on the wrong side of the
    // topmost band, and keeps an owned window next to its owner. The window
    // and its popups are set free for the move and owned again afterwards; on
    // Windows the first call has already done it.
    OwnedPopups owned{w, {}};
    EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&owned));
    HWND owner = GetWindow(w, GW_OWNER);
    for (HWND p : owned.windows) SetWindowLongPtrW(p, GWLP_HWNDPARENT, 0);
    if (owner) SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    SetWindowPos(w, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (owner) SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    for (HWND p : owned.windows) SetWindowLongPtrW(p, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(w));
}

namespace {

// user32's per-DPI calls, looked up once: older systems do not have them.
template <typename Fn>
Fn User32Call(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

UINT WindowDpi(HWND w, UINT fallback) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn dpiForWindow = User32Call<Fn>("GetDpiForWindow");
    const UINT dpi = dpiForWindow && w ? dpiForWindow(w) : 0;
    return dpi ? dpi : fallback;
}

int SystemMetricForDpi(int index, UINT dpi) {
    using Fn = int(WINAPI*)(int, UINT);
    static const Fn metricForDpi = User32Call<Fn>("GetSystemMetricsForDpi");
    return metricForDpi ? metricForDpi(index, dpi) : GetSystemMetrics(index);
}

HICON AppIcon(HINSTANCE instance, int size) {
    static std::map<int, HICON> made;  // the window's thread only
    HICON& icon = made[size];
    if (!icon) icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    return icon;
}

void SetCaptionIcon(HWND dialog, HINSTANCE instance, UINT dpi) {
    SendMessageW(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(AppIcon(instance, SystemMetricForDpi(SM_CXSMICON, dpi))));
}

bool ScaleDialogForDpi(HWND dialog, WPARAM wp, LPARAM lp, bool& busy) {
    if (busy) return false;
    busy = true;
    DefDlgProcW(dialog, WM_DPICHANGED, wp, lp);
    busy = false;
    TakeSuggestedRect(dialog, reinterpret_cast<const RECT*>(lp));
    return true;
}

void TakeSuggestedRect(HWND w, const RECT* suggested) {
    if (suggested)
        SetWindowPos(w, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vc
