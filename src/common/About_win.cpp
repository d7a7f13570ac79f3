#include "common/About_win.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <utility>

#include "common/About.h"
#include "common/ExecutableFolder_win.h"
#include "common/Glass_win.h"
#include "common/Handles_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "resources/resource.h"
#include "common/Swatch_win.h"

namespace vc {
namespace {

// The program's own notes, shipped beside it; the link is left out where
// they are not.
constexpr char16_t kReadmeName[] = u"README.txt";
constexpr int kBandHeight = 11;
constexpr COLORREF kTitleColour = 0x408040;
constexpr COLORREF kLinkColour = 0xE82020;

constexpr int kSmallestTitleHeight = 12;

// What the dialog owns; the fonts and the icon are lent to its controls.
struct AboutState {
    FontPtr titleFont;
    FontPtr linkFont;
    IconPtr largeIcon;
    WindowPtr tooltip;
    std::u16string fileText;  // the settings file as a location, also its tooltip
    std::u16string readme;    // the notes beside the program, or empty
};
AboutState g_about;
const AboutContext* g_context = nullptr;  // while the box is open

std::u16string WindowsLineNow() {
    RTL_OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"))
        if (auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
            if (fn(&v) != 0) v = RTL_OSVERSIONINFOEXW{};
    Bitness b;
    b.is64BitProcess = sizeof(void*) == 8;
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
    using NativeInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    if (auto isWow64 = reinterpret_cast<IsWow64Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))) {
        BOOL wow = FALSE;
        b.wow64Known = isWow64(GetCurrentProcess(), &wow) != FALSE;
        b.wow64 = wow != FALSE;
    }
    if (auto native =
            reinterpret_cast<NativeInfoFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))) {
        SYSTEM_INFO si{};
        native(&si);
        b.nativeKnown = true;
        b.nativeArchitecture = si.wProcessorArchitecture;
    }
    return WindowsLine(v.dwMajorVersion, v.dwMinorVersion, U16(v.szCSDVersion), v.dwBuildNumber, v.dwPlatformId,
                       BitnessWord(b));
}

std::u16string ToolChainLineNow() {
#if defined(__MINGW64_VERSION_MAJOR)
    return ToolChainLine(u"MinGW-w64 GCC", __VERSION__);
#elif defined(_MSC_FULL_VER)
    return ToolChainLine(u"MSVC", std::to_string(_MSC_FULL_VER));
#else
    return ToolChainLine(u"GCC", __VERSION__);
#endif
}

std::u16string ReadmeBesideProgram() {
    const std::u16string folder = ExecutableFolder();
    if (folder.empty()) return {};
    std::u16string path = folder + kReadmeName;
    const DWORD attributes = GetFileAttributesW(AsW(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? path : std::u16string();
}

// The heavy title font, as large as the name and version allow: where the
// dialog's font is small the full height would push the version out of its
// line.
FontPtr TitleFont(HWND dialog, int height) {
    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    const std::u16string text = WindowText(title);
    RECT room{};
    GetClientRect(title, &room);
    WindowDC dc(title);
    FontPtr font;
    for (int h = height; h >= kSmallestTitleHeight; h -= 1) {
        font.reset(FontFromWindowFont(dialog, h, FW_HEAVY, 0, 0, 0, u""));
        if (!font) break;
        Selection selected(dc.get(), font.get());
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), AsW(text), int(text.size()), &size);
        if (size.cx <= room.right) break;
    }
    return font;
}

bool Animated() { return g_context->animated; }

// The icon, the title and link fonts and the bands, made for the DPI the box
// is shown at.
void MakeForDpi(HWND dialog, float dpiX, float dpiY) {
    const float sx = dpiX / 96.0f, sy = dpiY / 96.0f;
    HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
    // Made at the size it is shown at, from the nearest larger picture of
    // the icon (48 or 256 pixels), so the static never stretches it.
    const int iconWidth = int(48 * sx), iconHeight = int(48 * sy);
    // Each new icon or font reaches its control before the old one goes.
    if (IconPtr large{static_cast<HICON>(LoadImageW(g_context->instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                    iconWidth, iconHeight, 0))}) {
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(large.get()), 0);
        g_about.largeIcon = std::move(large);
    }
    RECT place{};
    GetWindowRect(icon, &place);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&place), 1);
    SetWindowPos(icon, nullptr, place.left, place.top, iconWidth, iconHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    if (FontPtr title = TitleFont(dialog, int(35 * sx))) {
        const WPARAM font = reinterpret_cast<WPARAM>(title.get());
        SendDlgItemMessageW(dialog, IDC_ABOUT_TITLE, WM_SETFONT, font, FALSE);
        SendDlgItemMessageW(dialog, IDOK, WM_SETFONT, font, FALSE);
        g_about.titleFont = std::move(title);
    }
    HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
    if (FontPtr linkFont{FontFromWindowFont(dialog, int(18 * sx), 0, 0, 1, 0, u"")}) {
        SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont.get()), FALSE);
        g_about.linkFont = std::move(linkFont);
        // The link is exactly as large as its text, so that only the text is
        // a place to click.
        SIZE size{};
        {
            WindowDC dc(link);
            Selection selected(dc.get(), g_about.linkFont.get());
            const std::u16string text = WindowText(link);
            GetTextExtentPoint32W(dc.get(), AsW(text), int(text.size()), &size);
        }
        SetWindowPos(link, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RECT rc;
    GetClientRect(dialog, &rc);
    MoveWindow(GetDlgItem(dialog, IDC_ABOUT_BAND_TOP), 0, 0, rc.right, kBandHeight, TRUE);
    MoveWindow(GetDlgItem(dialog, IDC_ABOUT_BAND_BOTTOM), 0, rc.bottom - kBandHeight, rc.right, kBandHeight, TRUE);
}

void OnInitDialog(HWND dialog) {
    const AboutContext& about = *g_context;
    PlaceDialogBesideTabWindow(dialog, about.tabWindow, about.tabPlacement, about.windowsVersion);

    SetDlgItemTextW(dialog, IDC_ABOUT_BUILD, AsW(BuildLine(__DATE__, __TIME__)));
    g_about.fileText = about.settingsFile;
    SetDlgItemTextW(dialog, IDC_ABOUT_FILE, AsW(g_about.fileText));
    g_about.readme = ReadmeBesideProgram();
    SetDlgItemTextW(dialog, IDC_ABOUT_LINK, AsW(kReadmeName));
    if (g_about.readme.empty()) ShowWindow(GetDlgItem(dialog, IDC_ABOUT_LINK), SW_HIDE);
    SetDlgItemTextW(dialog, IDC_ABOUT_WINDOWS, AsW(WindowsLineNow()));
    SetDlgItemTextW(dialog, IDC_ABOUT_COMPILER, AsW(ToolChainLineNow()));

    SetCaptionIcon(dialog, about.instance, UINT(about.dpiX));
    HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
    MakeForDpi(dialog, float(about.dpiX), float(about.dpiY));
    if (GlassAvailable(about.windowsVersion)) ExtendGlassFrame(dialog);

    const ControlTip tips[] = {{IDC_ABOUT_LINK, L"説明書を開く"},
                               {IDC_ABOUT_FILE, AsW(g_about.fileText)}};
    g_about.tooltip.reset(TooltipsForControls(about.instance, dialog, tips, int(std::size(tips))));

    if (Animated()) {
        AnimateWindow(dialog, 75, AW_ACTIVATE | AW_SLIDE | AW_VER_POSITIVE);
        RandomAnimation(icon, AW_ACTIVATE);
    }
    ShowWindow(icon, SW_SHOW);
}

void OnDestroy() { g_about = AboutState{}; }

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL:  // Escape, as in every dialog
            if (Animated()) AnimateWindow(dialog, 75, AW_HIDE | AW_SLIDE | AW_VER_NEGATIVE);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDC_ABOUT_ICON:
            if (HIWORD(wp) == STN_CLICKED) {
                HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
                RandomAnimation(icon, AW_HIDE);
                RandomAnimation(icon, AW_ACTIVATE);
            }
            return TRUE;
        case IDC_ABOUT_LINK:
            if (HIWORD(wp) == STN_CLICKED && !g_about.readme.empty())
                shell::ShellExecuteW(dialog, nullptr, AsW(g_about.readme), nullptr, L"", SW_SHOW);
            return TRUE;
        }
        return FALSE;
    case WM_SETCURSOR:
        // The hand over the link only: giving the static class a hand cursor
        // would give it to every static of the program.
        if (reinterpret_cast<HWND>(wp) == GetDlgItem(dialog, IDC_ABOUT_LINK)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
        // High contrast: the theme's colours, the title's and the link's too.
        if (!BackgroundBrush()) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wp);
        HWND control = reinterpret_cast<HWND>(lp);
        const int id = GetDlgCtrlID(control);
        if (id == IDC_ABOUT_TITLE) SetTextColor(dc, kTitleColour);
        if (id == IDC_ABOUT_LINK) SetTextColor(dc, kLinkColour);
        SetBkMode(dc, TRANSPARENT);
        AlignBackgroundBrush(dialog, control, dc);
        if ((id == IDC_ABOUT_BAND_TOP || id == IDC_ABOUT_BAND_BOTTOM) && GlassAvailable(g_context->windowsVersion))
            return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
        return reinterpret_cast<INT_PTR>(BackgroundBrush());
    }
    case WM_DWMCOMPOSITIONCHANGED:
        if (GlassAvailable(g_context->windowsVersion)) ExtendGlassFrame(dialog);
        return FALSE;
    case WM_DPICHANGED: {
        // What the box made for a DPI is made after the dialog manager's
        // scaling, so that nothing of it is scaled twice.
        static bool scaling = false;
        if (!ScaleDialogForDpi(dialog, wp, lp, scaling)) return FALSE;
        if (LOWORD(wp) && HIWORD(wp)) {
            MakeForDpi(dialog, float(LOWORD(wp)), float(HIWORD(wp)));
            SetCaptionIcon(dialog, HINSTANCE(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), LOWORD(wp));
        }
        InvalidateRect(dialog, nullptr, TRUE);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_CLOSE: EndDialog(dialog, IDOK); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR RunAboutDialog(const AboutContext& about, HWND owner) {
    g_context = &about;
    DialogBoxParamW(about.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0);
    g_context = nullptr;
    return IDOK;
}

}  // namespace vc
