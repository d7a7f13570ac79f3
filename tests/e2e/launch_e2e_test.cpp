// The real Vellumcraft.exe run from a folder where someone has planted DLLs
// named like system libraries it uses: none of them may ever be loaded. The
// planted DLL (planted_library.c) leaves "<its path>.loaded" when loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "resources/resource.h"
#include "support/SlowFolder_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

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

// Arguments typed for an entry reach the real program it starts, which
// (argument_recorder.cpp) leaves beside itself the command line it was given:
// even from a share that answers slowly, with the window closed right after
// OK. Commands other programs post, with values no pointer could hold, leave
// the window answering.
TEST(Launch, ArgumentsTypedForAnEntryReachTheProgramThoughTheWindowClosesAtOnce) {
    ASSERT_TRUE(test::SlowFolderLibraryPreloaded()) << "libvcslowfs.so must be in LD_PRELOAD";
    test::TempDir box;
    std::u16string share = u"S:\\vc-launch-";
    share += Ascii(std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(CreateDirectoryW(AsW(share), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::u16string recorder = share + u"\\rec order.exe", quoted = u"\"" + recorder + u"\"";
    ASSERT_TRUE(CopyFileW(AsW(WindowsPathOf(VC_ARGUMENT_RECORDER)), AsW(recorder), FALSE));
    ASSERT_TRUE(test::WriteBytes(box.File(u"run.vcset"), test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n"
                                 u"SpcialFolder=0\r\n[Page1]\r\nCursor=0\r\nFiles000=" + recorder + u"\r\nFiles=1\r\n")));
    AppProcess app;
    const std::u16string environment = test::SlowFolderEnvironment(share, 10), settings = box.File(u"run.vcset");
    ASSERT_TRUE(app.Start(AppExe(), u"\"" + settings + u"\"", u"", environment));
    HWND tab = app.WaitVisibleDialog(CaptionFor(u"run"), kStart), dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return Ask(PageList(tab), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) == 0; }, kEffect));
    for (UINT id = 1100; id < 1130; ++id) PostMessageW(tab, WM_COMMAND, id, LPARAM(0x5EED0000 + id));
    EXPECT_NE(Ask(tab, WM_NULL), -100) << "the window no longer answers";
    std::u16string line, want = quoted + u" -x \"a b\" 日本";  // read until whole: the recorder may be writing it
    auto recorded = [&] { return (line = test::TextOf(test::ReadBytes(recorder + u".args"))) == want; };
    PostMessageW(tab, WM_COMMAND, IDM_ENTRY_RUN_WITH_ARGUMENTS, 0);
    ASSERT_TRUE(dialog = app.WaitVisibleDialog(u"Vellumcraft - 引数を指定して実行", kEffect));
    SetDlgItemTextW(dialog, IDC_RUNARGS_EDIT, L"-x \"a b\" 日本");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    EXPECT_TRUE(WaitUntil(recorded, kEffect)) << ToUtf8(line);
    DeleteFileW(AsW(recorder + u".args"));
    DeleteFileW(AsW(recorder));
    RemoveDirectoryW(AsW(share));
}

}  // namespace
}  // namespace vc::e2e
