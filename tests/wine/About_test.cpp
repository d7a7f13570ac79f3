// The About dialog on the program's real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

std::u16string g_opened;

class AboutTest : public test::AppFixture {};

TEST_F(AboutTest, ShowsTheProgramItsFileAndItsPlatformAndNoLinkToNowhere) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\n");
    Pump();
    std::u16string title, file, windows, build, compiler, caption;
    RECT icon{};
    bool iconShown = false;
    g_opened.clear();
    shell::SetExecuteHook([](const wchar_t* f, const wchar_t*, const wchar_t*, const wchar_t*) { g_opened = U16(f); });
    test::RunSettingsDialog(IDM_ABOUT, [&](HWND dialog) {
        caption = WindowText(dialog);
        title = WindowText(GetDlgItem(dialog, IDC_ABOUT_TITLE));
        file = WindowText(GetDlgItem(dialog, IDC_ABOUT_FILE));
        windows = WindowText(GetDlgItem(dialog, IDC_ABOUT_WINDOWS));
        build = WindowText(GetDlgItem(dialog, IDC_ABOUT_BUILD));
        compiler = WindowText(GetDlgItem(dialog, IDC_ABOUT_COMPILER));
        HWND picture = GetDlgItem(dialog, IDC_ABOUT_ICON);
        iconShown = IsWindowVisible(picture);
        GetClientRect(picture, &icon);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ABOUT_LINK)));
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    shell::SetExecuteHook(nullptr);
    EXPECT_EQ(caption, u"Vellumcraft - バージョン情報");
    EXPECT_EQ(title, u"Vellumcraft ver.5.1.0");
    EXPECT_EQ(file, LocationTextOf(app.rec.SettingsFilePath));
    EXPECT_EQ(windows.rfind(u"Windows Version : ", 0), 0u) << test::Narrow(windows);
    EXPECT_EQ(windows.substr(windows.size() - 7), u" 64bit,") << test::Narrow(windows);
    EXPECT_EQ(build.rfind(u"Build : ", 0), 0u);
    EXPECT_EQ(compiler.rfind(u"MinGW-w64 GCC ", 0), 0u) << test::Narrow(compiler);
    EXPECT_TRUE(iconShown);
    EXPECT_EQ(icon.right, int(48 * app.rec.DpiX / 96));
    EXPECT_EQ(g_opened, u"") << "no notes beside the suite: no link to a place that is not there";
    // Nothing of the dialog is stored.
    EXPECT_FALSE(test::OpenSettingsDialog());
}

}  // namespace
}  // namespace vc
