// Starting an entry elevated or with arguments: what reaches the shell, and
// what the arguments dialog offers again.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <mutex>

#include "common/Shell_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

std::mutex g_lock;
std::vector<std::u16string> g_started;  // verb|parameters|file|folder, as a worker hands them on

class RunEntryTest : public test::AppFixture {
protected:
    void TearDown() override { shell::SetExecuteHook(nullptr), Close(); }
};

TEST_F(RunEntryTest, ElevationAndArgumentsReachTheShellAndArgumentsAreOfferedAgain) {
    test::WriteBytes(dir.File(u"tool.exe"), "MZ");
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\n[Page1]\r\nFiles000=" +
          dir.File(u"tool.exe") + u"\r\nFiles=1\r\n");
    while (!PaneLoaded() && !Pump()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    HWND list = GetDlgItem(CurrentPagePane(), IDC_PAGELIST);
    auto started = [](size_t n) {  // waits for the n-th start
        for (int i = 0; i < 400; ++i, Sleep(5))
            if (std::lock_guard hold(g_lock); n < g_started.size()) return g_started[n];
        return std::u16string(u"(none)");
    };
    auto arguments = [](const wchar_t* type, UINT button) {  // what the dialog offered
        std::u16string offered;
        test::RunSettingsDialog(IDM_ENTRY_RUN_WITH_ARGUMENTS, [&](HWND dialog) {
            offered = WindowText(GetDlgItem(dialog, IDC_RUNARGS_EDIT));
            SetDlgItemTextW(dialog, IDC_RUNARGS_EDIT, type), SendMessageW(dialog, WM_COMMAND, button, 0);
        });
        return offered;
    };
    shell::SetExecuteHook([](const wchar_t* f, const wchar_t* p, const wchar_t* d, const wchar_t* v) {
        std::lock_guard hold(g_lock);
        g_started.push_back(U16(v) + u"|" + U16(p) + u"|" + U16(f) + u"|" + U16(d));
    });
    const std::u16string tool = u"|\"" + dir.File(u"tool.exe") + u"\"|" + dir.path();
    LVFINDINFOW find{LVFI_STRING | LVFI_PARTIAL, L"tool"};
    LVITEMW state{0, 0, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED};
    SendMessageW(list, LVM_SETITEMSTATE, SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), LPARAM(&find)), LPARAM(&state));
    SendMessageW(TheApp().TabWindow, WM_COMMAND, IDM_ENTRY_RUN_AS_ADMIN, 0);
    EXPECT_EQ(started(0), u"runas|" + tool);
    EXPECT_EQ(arguments(L"-x \"a b\"", IDOK), u"");
    EXPECT_EQ(started(1), u"|-x \"a b\"" + tool);
    EXPECT_EQ(arguments(L"other", IDCANCEL), u"-x \"a b\"");  // starts nothing, keeps nothing
    EXPECT_EQ(arguments(L"-y", IDOK), u"-x \"a b\"");
    EXPECT_EQ(started(2), u"|-y" + tool);
}

TEST_F(RunEntryTest, WithHideAfterLaunchTheWindowGoesOnceTheEntryIsStarted) {
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\nHideAfterLaunch=1\r\n[Page1]\r\n"
          u"Files000=" + dir.path() + u"\r\nFiles=1\r\n");
    shell::SetExecuteHook([](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) {});
    ASSERT_TRUE(PumpUntil([] { return PaneLoaded(); }));
    HWND list = GetDlgItem(CurrentPagePane(), IDC_PAGELIST);
    EXPECT_TRUE(IsWindowVisible(TheApp().TabWindow));
    NMITEMACTIVATE activate{{list, IDC_PAGELIST, UINT(LVN_ITEMACTIVATE)}, 0};
    SendMessageW(CurrentPagePane(), WM_NOTIFY, IDC_PAGELIST, LPARAM(&activate));
    EXPECT_FALSE(IsWindowVisible(TheApp().TabWindow));
}

}  // namespace
}  // namespace vc
