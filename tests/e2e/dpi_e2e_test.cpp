// The real Vellumcraft.exe at 96, 144 and 192 DPI (the prefix's LogPixels for one case) and after WM_DPICHANGED:
// text in its controls against the same font made here at the scaled size, its icon sizes, and screenshots.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iostream>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "e2e/SettingsSections.h"
#include "support/FirstStartFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

const std::u16string kLabel = u"表示の確認ページ", kSample = u"Vellumcraft 文字の幅";
int At(int v, int dpi) { return v * dpi / 96; }

struct PrefixDpi {  // the value before goes back after the case
    HKEY key = nullptr;
    DWORD before = 0, size = sizeof before, had = 0;
    void Set(DWORD v) { RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v); }
    explicit PrefixDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, 0);
        had = RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&before), &size) == 0;
        Set(dpi);
    }
    ~PrefixDpi() { had ? Set(before) : void(RegDeleteValueW(key, L"LogPixels")), RegCloseKey(key); }
};

int TextWidth(const wchar_t* face, int height, const std::u16string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPoint32W(dc, AsW(text), int(text.size()), &s);
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc);
    return s.cx;
}

// A message with a pointer (to `inOut`, or to `text` whose result goes to `inOut`) into the program's memory.
template <typename T>
bool AskRemote(HANDLE process, HWND w, UINT msg, WPARAM wp, T& inOut, const std::u16string& text = u"") {
    char* at = static_cast<char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    bool ok = at && WriteProcessMemory(process, at, &inOut, sizeof(T), nullptr) &&
              WriteProcessMemory(process, at + sizeof(T), text.c_str(), (text.size() + 1) * 2, nullptr);
    LRESULT r = ok ? Ask(w, msg, wp, LPARAM(text.empty() ? at : at + sizeof(T))) : 0;
    ok = ok && (r > 0 || msg == WM_DPICHANGED) && ReadProcessMemory(process, at, &inOut, sizeof(T), nullptr);
    if (text.size()) inOut = T(r);
    return at && VirtualFreeEx(process, at, 0, MEM_RELEASE) && ok;
}

class Dpi : public ::testing::TestWithParam<int> {
protected:
    test::TempDir dir;
    AppProcess app;
    HWND tab = nullptr;

    void Start(const std::u16string& name) {  // one page in details view with one entry, the status bar on, no size
        ASSERT_TRUE(test::WriteBytes(dir.File(u"entry.txt"), "x"));
        const std::u16string files = u"Files000=" + dir.File(u"entry.txt") + u"\r\nFiles=1\r\n";
        const std::u16string page = SectionsOf(test::PageSection(1, files))[u"Page1"];
        std::u16string global = WithKey(SectionsOf(test::kGlobalSection)[u"Vellumcraft"], u"PageCount", u"1");
        global = WithKey(WithKey(global, u"TabStyle", u"65536"), u"SpcialFolder", u"0");
        for (std::u16string_view size : {u"xSize=550\r\n", u"ySize=350\r\n"}) global.erase(global.find(size), size.size());
        const Sections s{{u"Vellumcraft", global},
                         {u"Page1", WithKey(WithKey(page, u"ListType", u"3"), u"Label", kLabel)}};
        ASSERT_TRUE(test::WriteBytes(dir.File(name + u".vcset"), test::Utf16LE(TextOfSections(s))));
        ASSERT_TRUE(app.Start(AppExe(), u"\"" + dir.File(name + u".vcset") + u"\""));
        ASSERT_TRUE(tab = app.WaitVisibleDialog(CaptionFor(name), kStart));
        ASSERT_TRUE(WaitUntil([&] { return Ask(PageList(tab), LVM_GETITEMCOUNT) == 1; }, kEffect));
    }

    // The list and tab texts in the fonts for `dpi`, none cut; the list's icons at the sizes for `dpi`.
    void ExpectLookAt(int dpi) {
        int width = 0;
        RECT item{}, icon{LVIR_ICON};
        ASSERT_TRUE(AskRemote(app.handle(), PageList(tab), LVM_GETSTRINGWIDTHW, 0, width, kSample));
        EXPECT_EQ(width, TextWidth(L"MS UI Gothic", At(13, dpi), kSample)) << "list font at " << dpi;
        ASSERT_TRUE(AskRemote(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 0, item));
        const int text = TextWidth(L"ＭＳ Ｐゴシック", At(12, dpi), kLabel);  // swatch 8, padding 7 each side
        EXPECT_GE(item.right - item.left, text + At(8 + 2 * 7, dpi)) << "tab text cut at " << dpi;
        EXPECT_LE(item.right - item.left, text + At(8 + 2 * 7 + 16, dpi)) << "tab font too large at " << dpi;
        ASSERT_TRUE(AskRemote(app.handle(), PageList(tab), LVM_GETITEMRECT, 0, icon));
        EXPECT_EQ(icon.right - icon.left, At(16, dpi)) << "small icons at " << dpi;
        Ask(tab, WM_COMMAND, 40028);  // the icon view; the pane applies it in steps of its own
        WaitUntil([&] {
            icon = RECT{LVIR_ICON};
            return AskRemote(app.handle(), PageList(tab), LVM_GETITEMRECT, 0, icon) && icon.right == icon.left + At(32, dpi);
        }, kEffect);
        EXPECT_EQ(icon.right - icon.left, At(32, dpi)) << "icons at " << dpi;
    }

    void Picture(const std::string& name) {  // the X display, in the build folder beside the program
        const std::string exe = VC_APP_EXE, folder = exe.substr(0, exe.rfind('/')) + "/screenshots";
        const std::string path = folder + "/" + name + ".png";
        EXPECT_EQ(RunLinuxCommand("mkdir -p '" + folder + "' && timeout 10 import -window root '" + path + "'"), 0);
        std::cout << "screenshot: " << path << std::endl;
    }
};

TEST_P(Dpi, FontsIconsAndDialogsFollowThePrefixDpi) {
    PrefixDpi dpi{DWORD(GetParam())};
    ASSERT_NO_FATAL_FAILURE(Start(u"dpi" + Dec(GetParam())));
    RECT window{};  // no size stored: the default's, for the DPI
    GetWindowRect(tab, &window);
    EXPECT_TRUE(window.right - window.left == At(550, GetParam()) && window.bottom - window.top == At(350, GetParam()));
    ASSERT_NO_FATAL_FAILURE(ExpectLookAt(GetParam()));
    Picture("dpi-" + std::to_string(GetParam()) + "-main");
    const std::pair<int, const char*> dialogs[] = {
        {1051, "page-settings"}, {1071, "general-settings"}, {1003, "about"}, {40043, "find"}};
    for (auto [command, name] : dialogs) {  // each dialog of the tab window, pictured and closed again
        PostMessageW(tab, WM_COMMAND, WPARAM(command), 0);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND h : TopLevelWindowsOf(app.pid()))
                if (IsWindowVisible(h) && h != tab && ClassOf(h) == u"#32770") dialog = h;
            return dialog != nullptr;
        }, kEffect)) << name;
        Ask(dialog, WM_NULL);
        RECT work{}, placed{};  // the whole dialog on the screen, its buttons too
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(dialog, &placed);
        EXPECT_TRUE(placed.left >= work.left && placed.top >= work.top && placed.right <= work.right &&
                    placed.bottom <= work.bottom)
            << name << " at " << placed.left << "," << placed.top << "-" << placed.right << "," << placed.bottom;
        // What is still to be painted, painted now: the picture shows the whole dialog.
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Picture("dpi-" + std::to_string(GetParam()) + "-" + name);
        PostMessageW(dialog, WM_COMMAND, command == 1003 ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kEffect)) << name;
    }
}
INSTANTIATE_TEST_SUITE_P(At, Dpi, ::testing::Values(96, 144, 192));

TEST_F(Dpi, MovedToAMonitorOf144DpiTheWindowTakesTheSuggestedPlaceAndScales) {
    ASSERT_NO_FATAL_FAILURE(Start(u"dpichange"));
    HWND before = PageList(tab);
    RECT suggested{100, 80, 100 + 825, 80 + 525}, now{};
    ASSERT_TRUE(AskRemote(app.handle(), tab, WM_DPICHANGED, MAKEWPARAM(144, 144), suggested));
    ASSERT_TRUE(WaitUntil([&] { return PageList(tab) != before && Ask(PageList(tab), LVM_GETITEMCOUNT) == 1; },
                          kEffect));
    GetWindowRect(tab, &now);
    EXPECT_EQ(now.right - now.left, 825);
    EXPECT_EQ(now.bottom - now.top, 525);
    ASSERT_NO_FATAL_FAILURE(ExpectLookAt(144));
    Picture("dpi-96-to-144-main");
}

}  // namespace
}  // namespace vc::e2e
