// The real Vellumcraft.exe run from a folder where someone has planted DLLs
// named like system libraries it uses: none of them may ever be loaded. The
// planted DLL (planted_library.c) leaves "<its path>.loaded" when loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/AppProcess_win.h"
#include "resources/resource.h"
#include "support/TempDir_win.h"

namespace vc::e2e {
namespace {

// The common controls load uxtheme.dll as the program starts; the page
// settings load dwmapi.dll for their glass frame.
TEST(Launch, LibrariesPlantedBesideTheProgramAreNeverLoaded) {
    // Else Wine takes its builtin library for any such file (CTest sets it).
    wchar_t overrides[512] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
    ASSERT_NE(U16(overrides).find(u"uxtheme,dwmapi=n,b"), std::u16string::npos);
    test::TempDir box;
    const std::u16string exe = box.File(u"Vellumcraft.exe"), planted = WindowsPathOf(VC_PLANTED_LIBRARY);
    ASSERT_TRUE(CopyFileW(AsW(AppExe()), AsW(exe), FALSE));
    for (const char16_t* name : {u"uxtheme.dll", u"dwmapi.dll", u"probe.dll"})
        ASSERT_TRUE(CopyFileW(AsW(planted), AsW(box.File(name)), FALSE));
    FreeLibrary(LoadLibraryW(AsW(box.File(u"probe.dll"))));
    ASSERT_TRUE(test::FileExists(box.File(u"probe.dll.loaded"))) << "the planted library leaves no mark";

    AppProcess app;
    ASSERT_TRUE(app.Start(exe, u"planted"));
    HWND tab = app.WaitVisibleDialog(u"planted - Vellumcraft", kStart);
    if (tab) {
        PostMessageW(tab, WM_COMMAND, IDM_PAGE_SETTINGS, 0);
        auto shown = [&](HWND h) { return IsWindowVisible(h) && GetWindow(h, GW_OWNER) == tab; };
        EXPECT_TRUE(WaitUntil([&] { return std::ranges::any_of(TopLevelWindowsOf(app.pid()), shown); }, kEffect));
    }
    for (const char16_t* name : {u"uxtheme.dll", u"dwmapi.dll"})
        EXPECT_FALSE(test::FileExists(box.File(name) + u".loaded")) << ToUtf8(name) << " was loaded";
    EXPECT_TRUE(tab) << "the program did not come up";
}

}  // namespace
}  // namespace vc::e2e
