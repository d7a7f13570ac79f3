// The notification-area icon, starting hidden, Esc and starting with Windows,
// driven as the notification area and the user drive them.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include "common/Wide_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/Keys_win.h"
#include "support/SettingsDialog_win.h"
#include "tabwindow/NotifyIcon_win.h"

namespace vc {
namespace {

using test::Press;

class NotifyIconTest : public test::AppFixture {
protected:
    // Whether the notification area holds the program's icon: it lets only
    // an icon it has be changed.
    static bool IconThere() {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = TheApp().HostWindow;
        data.uID = 1;
        return Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    // A left click as the notification area reports it under either protocol.
    static void Click() {
        for (UINT event : {UINT(WM_LBUTTONUP), UINT(NIN_SELECT)})
            SendMessageW(TheApp().HostWindow, kNotifyIconMessage, 0, MAKELPARAM(event, 1));
    }
    // Opens the icon's menu and types `keys` into it.
    static void ChooseFromMenu(std::initializer_list<WPARAM> keys) {
        static std::vector<WPARAM> pending;
        pending.assign(keys);
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            for (WPARAM k : pending)
                PostMessageW(TheApp().HostWindow, k < 'A' ? WM_KEYDOWN : WM_CHAR, k, 0);
        });
        for (UINT event : {UINT(WM_RBUTTONUP), UINT(WM_CONTEXTMENU)})
            SendMessageW(TheApp().HostWindow, kNotifyIconMessage, 0, MAKELPARAM(event, 1));
    }
    bool Shown() { return PumpUntil([] { return IsWindowVisible(TheApp().TabWindow); }); }
    bool Hidden() { return PumpUntil([] { return !IsWindowVisible(TheApp().TabWindow); }); }
};

TEST_F(NotifyIconTest, TheIconHidesAndShowsTheWindowChoosesAPageComesBackWithExplorerAndLeavesWithTheProgram) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nSpcialFolder=1\r\nPageCount=3\r\n");
    Pump();
    ASSERT_TRUE(IconThere());
    Click();
    EXPECT_TRUE(Hidden());
    Click();
    EXPECT_TRUE(Shown());
    Press({VK_ESCAPE});  // shown by the icon: Esc puts it away
    EXPECT_TRUE(Hidden());

    // Shown by a second start, the window stays on Esc.
    ShowWindow(app.TabWindow, SW_SHOW);
    SetForegroundWindow(app.TabWindow);
    Press({VK_ESCAPE});
    PumpUntil([] { return false; });
    EXPECT_TRUE(IsWindowVisible(app.TabWindow));

    Click();
    ASSERT_TRUE(Hidden());
    ChooseFromMenu({'p', VK_UP, VK_RETURN});  // the last page of the list
    EXPECT_TRUE(Shown());
    EXPECT_EQ(app.rec.GlobalSettings.TabNumber, 3);

    NOTIFYICONDATAW gone{sizeof gone, app.HostWindow, 1};
    Shell_NotifyIconW(NIM_DELETE, &gone);  // Explorer ends and comes back
    SendMessageW(app.HostWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconThere());

    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 1, 0);
    ChooseFromMenu({'x'});
    EXPECT_TRUE(PumpUntil([] { return !TheApp().TabWindow; }));
    EXPECT_FALSE(IconThere());
    EXPECT_EQ(Reload().GlobalSettings.TabNumber, 1);  // stored as the close box stores it
}

TEST_F(NotifyIconTest, AWindowStartedHiddenComesWithTheHotKeyAndTheRunValueFollowsTheBox) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nStartHidden=1\r\nNotifyIcon=0\r\n");
    Pump();
    EXPECT_FALSE(IsWindowVisible(app.TabWindow));
    EXPECT_FALSE(IconThere());
    Press({VK_CONTROL, VK_MENU, VK_SPACE});
    ASSERT_TRUE(Shown());
    Press({VK_ESCAPE});
    EXPECT_TRUE(Hidden());

    const auto runValue = [] {
        wchar_t value[1024] = {};
        DWORD bytes = sizeof value;
        const bool there = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                        L"Vellumcraft (Host)", RRF_RT_REG_SZ, nullptr, value, &bytes) == ERROR_SUCCESS;
        return there ? U16(value) : u"(none)";
    };
    const auto tickRunBox = [] {
        GeneralSettingsPaneIndex() = 4;
        test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_STARTUP_RUNATLOGON);
            ASSERT_TRUE(pane);
            SendDlgItemMessageW(pane, IDC_STARTUP_RUNATLOGON, BM_CLICK, 0, 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    };
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    tickRunBox();
    EXPECT_EQ(runValue(), u"\"" + U16(exe) + u"\" \"" + path + u"\"");
    tickRunBox();
    EXPECT_EQ(runValue(), u"(none)");
}

}  // namespace
}  // namespace vc
