// The general settings dialog on the program's real windows: its frame,
// the special folders pane, and what the tab window takes over after OK.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/Keys_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

class GeneralSettingsTest : public test::AppFixture {
protected:
    void SetUp() override { GeneralSettingsPaneIndex() = 1; }

    App& StartWith(std::u16string_view global) {
        App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\n" + std::u16string(global) +
                         u"[Page1]\r\nLabel=One\r\n[Page2]\r\nLabel=Two\r\n");
        Pump();
        return app;
    }
    static void Run(std::function<void(HWND dialog, HWND pane)> act) {
        test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_FOLDERS_DESKTOP);
            act(dialog, pane);
        });
    }
    static void Click(HWND pane, int id) { SendDlgItemMessageW(pane, id, BM_CLICK, 0, 0); }
    static int TabCount() {
        return int(SendDlgItemMessageW(TheApp().TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0));
    }
};

TEST_F(GeneralSettingsTest, APaneMadeAnewForAnotherDpiKeepsWhatItShowed) {
    StartWith(u"");
    Run([](HWND dialog, HWND pane) {
        Click(pane, IDC_FOLDERS_RECENT);
        RECT r{0, 0, 900, 700};
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&r));
        HWND again = test::PaneHolding(dialog, IDC_FOLDERS_DESKTOP);
        EXPECT_NE(again, pane);  // made from its template at the new DPI
        EXPECT_EQ(IsDlgButtonChecked(again, IDC_FOLDERS_RECENT), BST_UNCHECKED);
        ICONINFO info{};  // the program's icon anew, at the large size for 144 DPI
        ASSERT_TRUE(GetIconInfo(HICON(SendDlgItemMessageW(dialog, IDC_GENERAL_ICON, STM_GETICON, 0, 0)), &info));
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 48);
        DeleteObject(info.hbmMask), DeleteObject(info.hbmColor);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(GeneralSettingsTest, TheDefaultFoldersShowAndTheCountFollowsTheRecentFilesBox) {
    StartWith(u"");  // SpcialFolder 0x13, 25 recent files
    Run([](HWND dialog, HWND pane) {
        ASSERT_TRUE(pane);
        EXPECT_EQ(IsDlgButtonChecked(pane, IDC_FOLDERS_DESKTOP), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(pane, IDC_FOLDERS_RECENT), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(pane, IDC_FOLDERS_DOCUMENTS), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(pane, IDC_FOLDERS_STARTUP), BST_UNCHECKED);
        EXPECT_EQ(WindowText(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)), u"25");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)));
        Click(pane, IDC_FOLDERS_RECENT);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pane, IDC_FOLDERS_RECENT_ARROWS)));
        Click(pane, IDC_FOLDERS_RECENT);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)));
        EXPECT_EQ(WindowText(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)), u"25");
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(GeneralSettingsTest, ACountOutOfRangeIsShownClampedAndStoredClampedOnlyThroughTheArrows) {
    App& app = StartWith(u"SpcialRecentFileNum=150\r\nSpcialFolder=22\r\n");  // hidden computer bit 0x4 set
    Run([](HWND dialog, HWND pane) {
        ASSERT_TRUE(pane);
        EXPECT_EQ(WindowText(GetDlgItem(pane, IDC_FOLDERS_RECENT_COUNT)), u"100");
        Click(pane, IDC_FOLDERS_DESKTOP);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.SpcialRecentFileNum, 150);
    EXPECT_EQ(app.rec.GlobalSettings.SpcialFolder, 0x17u);  // the hidden computer box kept its bit
    Run([](HWND dialog, HWND pane) {
        HWND arrows = GetDlgItem(pane, IDC_FOLDERS_RECENT_ARROWS);
        SendMessageW(pane, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), reinterpret_cast<LPARAM>(arrows));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.SpcialRecentFileNum, 100);
}

TEST_F(GeneralSettingsTest, OkTakesTheNewFolderSetAndKeepsThePageShown) {
    App& app = StartWith(u"SpcialFolder=4128787\r\nTabNumber=3\r\n");  // 0x3F0013: high bits, desktop, recent, documents
    ASSERT_EQ(app.rec.ShownSpecialCount, 3);
    ASSERT_EQ(app.rec.CurrentPage, 0);
    Run([](HWND dialog, HWND pane) {
        ASSERT_TRUE(pane);
        Click(pane, IDC_FOLDERS_RECENT);
        Click(pane, IDC_FOLDERS_MUSIC);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const GlobalRecord& g = app.rec.GlobalSettings;
    EXPECT_EQ(g.SpcialFolder, 0x3F0051u);  // high bits kept
    EXPECT_EQ(app.rec.ShownSpecialCount, 3);
    EXPECT_EQ(TabCount(), 3 + 2);
    EXPECT_EQ(g.TabNumber, 3);  // still the first user page
    EXPECT_EQ(app.rec.CurrentPage, 0);
    EXPECT_EQ(Reload().GlobalSettings.SpcialFolder, 0x3F0051u);  // stored at once, not at exit
}

TEST_F(GeneralSettingsTest, AWellKnownFolderPageThatGoesGivesWayToTheFirstTab) {
    App& app = StartWith(u"SpcialFolder=19\r\nTabNumber=2\r\n");  // the documents page shown
    Run([](HWND dialog, HWND pane) {
        ASSERT_TRUE(pane);
        Click(pane, IDC_FOLDERS_DOCUMENTS);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.rec.ShownSpecialCount, 2);
    EXPECT_EQ(app.rec.GlobalSettings.TabNumber, 0);
    EXPECT_EQ(TabCount(), 2 + 2);
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(GeneralSettingsTest, CancelPutsBackWhatChangedLiveAndDropsTheFolders) {
    App& app = StartWith(u"TabStyle=81920\r\nLayerWindowLevel=200\r\n");  // status bar, transparent
    GlobalRecord& g = app.rec.GlobalSettings;
    const GlobalRecord before = g;
    ASSERT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    Run([&](HWND dialog, HWND pane) {
        Click(pane, IDC_FOLDERS_DESKTOP);
        // What the general pane does while the dialog is open.
        g.TabStyle &= ~TabStyleBit::Transparent;
        g.LayerWindowLevel = 120;
        g.TabFontSize = 20;
        SetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE,
                          GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED));
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box, which cancels
    });
    EXPECT_EQ(g.TabStyle, before.TabStyle);
    EXPECT_EQ(g.LayerWindowLevel, before.LayerWindowLevel);
    EXPECT_EQ(g.TabFontSize, before.TabFontSize);
    EXPECT_EQ(g.SpcialFolder, before.SpcialFolder);
    EXPECT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(TabCount(), 3 + 2);
}

TEST_F(GeneralSettingsTest, OkWithoutTheStatusBarBitTakesTheBarAwayAndThePaneIsRemembered) {
    App& app = StartWith(u"TabStyle=65536\r\n");
    ASSERT_TRUE(GetDlgItem(app.TabWindow, IDC_STATUSBAR));
    Run([&](HWND dialog, HWND) {
        SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_TOOLBAR), TB_CHECKBUTTON, 1104, TRUE);
        SendMessageW(dialog, WM_COMMAND, 1104, 0);
        app.rec.GlobalSettings.TabStyle &= ~TabStyleBit::StatusBar;
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(GetDlgItem(app.TabWindow, IDC_STATUSBAR));
    EXPECT_EQ(GeneralSettingsPaneIndex(), 3);
    bool checked = false;
    test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
        checked = SendDlgItemMessageW(dialog, IDC_SETTINGS_TOOLBAR, TB_ISBUTTONCHECKED, 1104, 0) != 0;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(checked);
}

// ---- The general pane ----

class GeneralPaneTest : public GeneralSettingsTest {
protected:
    void SetUp() override { GeneralSettingsPaneIndex() = 0; }
    static void RunPane(std::function<void(HWND dialog, HWND pane)> act) {
        test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_GENERAL_OPACITY);
            EXPECT_TRUE(pane) << "no general pane";
            if (pane) act(dialog, pane);
        });
    }
    static BYTE Alpha(HWND w) {
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(w, nullptr, &alpha, &flags);
        return alpha;
    }
};

// The session ends while the slider shows an opacity not confirmed yet: the
// file gets the one from before the dialog, the window keeps showing the new.
TEST_F(GeneralPaneTest, ALogOffUnderTheDialogStoresOnlyWhatWasConfirmed) {
    App& app = StartWith(u"TabStyle=16384\r\nLayerWindowLevel=200\r\n");
    RunPane([&](HWND dialog, HWND pane) {
        HWND slider = GetDlgItem(pane, IDC_GENERAL_OPACITY);
        SendMessageW(slider, TBM_SETPOS, TRUE, 120);
        SendMessageW(pane, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 120), reinterpret_cast<LPARAM>(slider));
        SendMessageW(app.HostWindow, WM_QUERYENDSESSION, 0, 0);
        EXPECT_EQ(Reload().GlobalSettings.LayerWindowLevel, 200);
        EXPECT_EQ(Alpha(app.TabWindow), 120);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(GeneralPaneTest, TheOpacityFollowsTheSliderLiveNeverBelowItsFloorAndCancelTakesItBack) {
    App& app = StartWith(u"TabStyle=16384\r\nLayerWindowLevel=200\r\n");  // transparent
    ASSERT_EQ(Alpha(app.TabWindow), 200);
    RunPane([&](HWND dialog, HWND pane) {
        HWND slider = GetDlgItem(pane, IDC_GENERAL_OPACITY);
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 200);
        SendMessageW(slider, TBM_SETPOS, TRUE, 120);
        SendMessageW(pane, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 120), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(app.rec.GlobalSettings.LayerWindowLevel, 120);
        EXPECT_EQ(Alpha(app.TabWindow), 120);
        SendMessageW(slider, TBM_SETPOS, TRUE, 0);
        SendMessageW(pane, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 0), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(app.rec.GlobalSettings.LayerWindowLevel, 35);
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 35);
        Click(pane, IDC_GENERAL_TRANSPARENT);  // off: the window is opaque at once
        EXPECT_FALSE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.LayerWindowLevel, 200);
    EXPECT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(Alpha(app.TabWindow), 200);
}

TEST_F(GeneralPaneTest, StatusBarBoxGreysItsSizeAtOnceAndTheBarGoesOnlyWithOk) {
    App& app = StartWith(u"TabStyle=66560\r\n");  // status bar, and the hidden always-on-top bit
    RunPane([&](HWND dialog, HWND pane) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_GENERAL_STATUSSIZE)));
        Click(pane, IDC_GENERAL_STATUSBAR);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pane, IDC_GENERAL_STATUSSIZE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(pane, IDC_GENERAL_STATUSSIZE_LABEL)));
        EXPECT_TRUE(GetDlgItem(app.TabWindow, IDC_STATUSBAR)) << "the bar went before OK";
        Click(pane, IDC_GENERAL_BOTTOM);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(GetDlgItem(app.TabWindow, IDC_STATUSBAR));
    EXPECT_TRUE(app.rec.GlobalSettings.TabStyle & TabStyleBit::TopMost);  // kept as loaded
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(app.TabWindow, IDC_TABSTRIP), GWL_STYLE) & TCS_BOTTOM);
}

TEST_F(GeneralPaneTest, TheTabFontChangesWhileTheDialogIsOpenAndItsSizeIsClampedOnlyByTheArrows) {
    App& app = StartWith(u"TabFontSize=80\r\n");
    HWND strip = GetDlgItem(app.TabWindow, IDC_TABSTRIP);
    RunPane([&](HWND dialog, HWND pane) {
        EXPECT_EQ(WindowText(GetDlgItem(pane, IDC_GENERAL_TABSIZE)), u"64");
        EXPECT_EQ(app.rec.GlobalSettings.TabFontSize, 80);
        HWND arrows = GetDlgItem(pane, IDC_GENERAL_TABSIZE_ARROWS);
        SendMessageW(arrows, UDM_SETPOS32, 0, 20);
        SendMessageW(pane, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), reinterpret_cast<LPARAM>(arrows));
        EXPECT_EQ(app.rec.GlobalSettings.TabFontSize, 20);
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(strip, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_EQ(std::abs(lf.lfHeight), 20);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.TabFontSize, 20);
}

TEST_F(GeneralPaneTest, AFaceNotInstalledStaysUntilPickedAndEscTakesThePickBack) {
    App& app = StartWith(u"TabFontName=Not Installed\r\n");
    RunPane([&](HWND, HWND pane) {
        HWND combo = GetDlgItem(pane, IDC_GENERAL_TABFONT);
        EXPECT_EQ(WindowText(combo), u"Not Installed");
        SendMessageW(combo, CB_SETCURSEL, SendMessageW(combo, CB_GETCURSEL, 0, 0) ? 0 : 1, 0);
        SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_GENERAL_TABFONT, CBN_SELCHANGE), LPARAM(combo));
        EXPECT_NE(app.rec.GlobalSettings.TabFontName, u"Not Installed");
        SetFocus(combo);
        PostMessageW(combo, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Close();
    EXPECT_EQ(Reload().GlobalSettings.TabFontName, u"Not Installed");
}

// ---- The global hotkey, with keys pressed for real: Windows decides who gets them ----
using test::Keys;
using test::Press;
// Runs the dialog's messages as its own loop does, until the box shows `word`.
bool Shows(HWND box, LRESULT word) {
    for (int i = 0; i < 50 && SendMessageW(box, HKM_GETHOTKEY, 0, 0) != word; ++i, Sleep(20)) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageW(GetAncestor(box, GA_ROOT), &m)) TranslateMessage(&m), DispatchMessageW(&m);
    }
    return SendMessageW(box, HKM_GETHOTKEY, 0, 0) == word;
}
bool Typed(HWND box, std::initializer_list<BYTE> keys, LRESULT word) { return Press(keys), Shows(box, word); }

TEST_F(GeneralPaneTest, TheHotKeyBoxWantsCtrlOrAltTakesSpaceAndATakenKeyKeepsTheOldOneAndTheDialogOnTheBox) {
    App& app = StartWith(u"");  // Ctrl+Alt+Space
    HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    RunPane([&](HWND dialog, HWND pane) {
        HWND box = GetDlgItem(pane, IDC_GENERAL_HOTKEY);
        SetFocus(box);
        EXPECT_TRUE(Typed(box, {VK_F5}, 0x0674));  // Ctrl+Alt put in
        EXPECT_TRUE(Typed(box, {VK_SHIFT, 'K'}, 0x064B));
        EXPECT_TRUE(Typed(box, {VK_CONTROL, VK_SHIFT, VK_SPACE}, 0x0320));
        ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_SHIFT, VK_SPACE));  // another program starts
        SendMessageW(dialog, WM_COMMAND, 1102, 0);                                 // the folders pane
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        pane = test::PaneHolding(dialog, IDC_GENERAL_HOTKEY);
        ASSERT_TRUE(IsWindowVisible(dialog) && pane && IsWindowVisible(GetDlgItem(pane, IDC_GENERAL_HOTKEY_TAKEN)));
        box = GetDlgItem(pane, IDC_GENERAL_HOTKEY);
        EXPECT_TRUE(GetFocus() == box && Shows(box, 0x0320));
        Keys({VK_CONTROL, VK_MENU});  // the old key still comes to the program, which types it into the box
        Shows(box, 0);
        EXPECT_TRUE(Typed(box, {VK_SPACE}, 0x0620));
        Keys({VK_CONTROL, VK_MENU}, KEYEVENTF_KEYUP);
        UnregisterHotKey(other, 1);
        EXPECT_TRUE(Typed(box, {VK_CONTROL, VK_SHIFT, VK_SPACE}, 0x0320));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    EXPECT_EQ(Reload().GlobalSettings.HotKey, 0x0320);
    EXPECT_TRUE(RegisterHotKey(other, 2, MOD_CONTROL | MOD_ALT, VK_SPACE));  // the old key let go
    DestroyWindow(other);
    Press({VK_CONTROL, VK_SHIFT, VK_SPACE});
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(app.TabWindow); }));
}

// ---- The label colours pane ----

class LabelColoursPaneTest : public GeneralSettingsTest {
protected:
    void SetUp() override { GeneralSettingsPaneIndex() = 3; }
    static void RunPane(std::function<void(HWND dialog, HWND pane)> act) {
        test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_LABELCOLOURS_FIRST);
            EXPECT_TRUE(pane) << "no label colours pane";
            if (pane) act(dialog, pane);
        });
    }
    // Moves bar `bar` (0..2) one page to the right, as a click beside its thumb does.
    static void PageRight(HWND pane, int bar) {
        HWND b = GetDlgItem(pane, IDC_COLOUR_BAR_FIRST + bar);
        SendMessageW(pane, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(b));
    }
};

TEST_F(LabelColoursPaneTest, OkTakesTheEditedColourCancelDoesNot) {
    App& app = StartWith(u"LabelColor3=8421472\r\n");  // 0x808060
    RunPane([](HWND dialog, HWND pane) {
        SendDlgItemMessageW(pane, IDC_LABELCOLOURS_FIRST + 2, BM_CLICK, 0, 0);
        PageRight(pane, 2);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.LabelColor3, 0x808060u);

    uint32_t edited = 0;
    RunPane([&](HWND dialog, HWND pane) {
        SendDlgItemMessageW(pane, IDC_LABELCOLOURS_FIRST + 2, BM_CLICK, 0, 0);
        PageRight(pane, 2);
        edited = TheGeneralSettings().labelColours[2];
        EXPECT_TRUE(TheGeneralSettings().LabelColoursChanged);
        EXPECT_EQ(TheGeneralSettings().labelColours[1], app.rec.GlobalSettings.LabelColor2);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_NE(edited, 0x808060u);
    EXPECT_EQ(app.rec.GlobalSettings.LabelColor3, edited);
    EXPECT_EQ(app.rec.GlobalSettings.LabelColor1, 0x808060u);
}

TEST_F(LabelColoursPaneTest, ACancelledPickChangesNothing) {
    App& app = StartWith(u"");
    RunPane([&](HWND dialog, HWND pane) {
        SendDlgItemMessageW(pane, IDC_LABELCOLOURS_FIRST, BM_CLICK, 0, 0);
        SendDlgItemMessageW(pane, IDC_COLOUR_PICK, BM_CLICK, 0, 0);
        SendMessageW(pane, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        SendMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_FALSE(TheGeneralSettings().LabelColoursChanged);
        EXPECT_EQ(TheGeneralSettings().labelColours[0], app.rec.GlobalSettings.LabelColor1);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pane, IDC_COLOUR_PICK)));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.rec.GlobalSettings.LabelColor1, 0x808060u);
}

}  // namespace
}  // namespace vc
