// What the page pane does with what the user chose while look-ups are still
// out. The share of the page's files is held in the look-up queue, so the
// page is caught between listing its entries and learning their details;
// meanwhile the test acts as a user would: a menu, a box, a dialog, a drop,
// a tab switch.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include "common/Shell_win.h"
#include "pageview/Lookups_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/Drop_win.h"
#include "support/SettingsDialog_win.h"
#include "tabwindow/TabWindowParts_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {
namespace {

std::mutex g_lock;
std::vector<std::u16string> g_started;  // "file|parameters" as workers hand them to the shell

// The tab window's context menu, stood in for: `choose` is what the user
// does while the menu is open, and returns the command chosen.
class MenuStandIn final : public PaneHost {
public:
    std::function<int()> choose;
    void PlacePane(HWND) override { PlacePagePane(TheApp()); }
    void SetStatus(int part, const std::u16string& text) override {
        SendDlgItemMessageW(TheApp().TabWindow, IDC_STATUSBAR, SB_SETTEXTW, WPARAM(part), LPARAM(AsW(text)));
    }
    void ShowEntryDetails(const FileEntry* entry) override { vc::ShowEntryDetails(entry); }
    int TrackContextMenu(const ContextMenuRequest&) override { return choose(); }
};

class PaneChoicesTest : public test::AppFixture {
protected:
    std::u16string share;
    MenuStandIn menu;

    void SetUp() override {
        // Sorted by size, the list turns round once the details come in.
        test::WriteBytes(dir.File(u"a.exe"), "MZ..");
        test::WriteBytes(dir.File(u"setup.exe"), "MZ.");
        test::WriteBytes(dir.File(u"z.exe"), "MZ");
        share = ShareOf(dir.path());
        Lookups().Hold(share);
        g_started.clear();
        shell::SetExecuteHook([](const wchar_t* f, const wchar_t* p, const wchar_t*, const wchar_t*) {
            std::lock_guard hold(g_lock);
            g_started.push_back(U16(f) + u"|" + U16(p));
        });
    }
    void TearDown() override {
        Lookups().Release(share);
        shell::SetExecuteHook(nullptr);
        Close();
    }

    std::u16string Line(const char16_t* name) { return dir.File(name) + u"\r\n"; }
    // Page1 holds a, setup and z in that order, sorted by size once loaded,
    // with a stored cursor on the first; Page2 holds `second`. Returns once
    // Page1 is listed from its text, its details held.
    void StartPages(std::u16string_view second = u"") {
        Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n[Page1]\r\nPageListSort=2\r\nCursor=0\r\n"
              u"Files000=" + dir.File(u"a.exe") + u"\r\nFiles001=" + dir.File(u"setup.exe") + u"\r\nFiles002=" +
              dir.File(u"z.exe") + u"\r\nFiles=3\r\n[Page2]\r\n" + std::u16string(second));
        ASSERT_TRUE(PumpUntil([] { return Count() == 3; }));
        ASSERT_FALSE(PaneLoaded());
    }
    // Lets the details come and waits for the page to end loading.
    void ReleaseDetails() {
        Lookups().Release(share);
        EXPECT_TRUE(PumpUntil(PaneLoaded));
    }
    static HWND List() { return GetDlgItem(CurrentPagePane(), IDC_PAGELIST); }
    static int Count() { return int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    static int ItemNamed(const wchar_t* name) {
        LVFINDINFOW find{LVFI_STRING, name};
        return int(SendMessageW(List(), LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
    }
    static void Select(int item) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(), LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&state));
    }
    static int Selected() { return int(SendMessageW(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }
    static void NextTab() { SendMessageW(TheApp().HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0); }
    // What was started, once the launches asked for have reached the shell.
    static std::vector<std::u16string> Started() {
        Lookups().WaitIdle(0, std::chrono::seconds(5));
        std::lock_guard hold(g_lock);
        return g_started;
    }
};

// The menu opens on "setup" while the page loads; loading ends while it is
// open, which sorts the list round and would select the stored cursor: the
// command still runs "setup", and the user's selection stays.
TEST_F(PaneChoicesTest, AMenuCommandRunsTheEntryItWasOpenedFor) {
    ASSERT_NO_FATAL_FAILURE(StartPages());
    DestroyPane();
    CreatePagePane(TheApp(), TheApp().TabWindow, menu);
    ASSERT_TRUE(PumpUntil([] { return Count() == 3; }));
    Select(ItemNamed(L"setup"));
    menu.choose = [&] {
        ReleaseDetails();
        return IDM_ENTRY_RUN_WITH_ARGUMENTS;
    };
    test::RunDialogOpenedBy([] { SendMessageW(CurrentPagePane(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); },
                            [](HWND dialog) {
                                SetDlgItemTextW(dialog, IDC_RUNARGS_EDIT, L"-q");
                                SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                            });
    EXPECT_EQ(Started(), std::vector<std::u16string>{u"\"" + dir.File(u"setup.exe") + u"\"|-q"});
    EXPECT_EQ(Selected(), ItemNamed(L"setup"));
}

// The box asks about "a", the first item; while it is open the details come
// and the sort puts "z" first. はい removes "a", and the page keeps that.
TEST_F(PaneChoicesTest, ARemovalRemovesTheEntryItsBoxNamed) {
    ASSERT_NO_FATAL_FAILURE(StartPages());
    Select(ItemNamed(L"a"));
    test::RunSettingsDialog(IDM_ENTRY_REMOVE, [&](HWND box) {
        ReleaseDetails();
        EXPECT_EQ(ItemNamed(L"z"), 0);
        SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(ItemNamed(L"a"), -1);
    NextTab();
    EXPECT_EQ(Reload().UserPages[0].Files, Line(u"setup.exe") + Line(u"z.exe"));
}

// While the page still waits for its details: a removal and two drops, then
// the page is left. All stick, the drops in the order dropped; back on the
// page, a drop while a filter hides its name waits unlisted for the filter
// to go, and a refresh keeps it. The cursor kept under a filter is the
// entry's place among all the page's entries.
TEST_F(PaneChoicesTest, ChangesMadeWhileThePageLoadsAreKept) {
    for (const char16_t* name : {u"d1.txt", u"d2.txt", u"d3.txt"}) test::WriteBytes(dir.File(name), "x");
    ASSERT_NO_FATAL_FAILURE(StartPages());
    Select(ItemNamed(L"setup"));
    test::AnswerNextBox(IDYES);
    SendMessageW(TheApp().TabWindow, WM_COMMAND, IDM_ENTRY_REMOVE, 0);
    for (const char16_t* name : {u"d1.txt", u"d2.txt"})
        SendMessageW(CurrentPagePane(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({dir.File(name)})), 0);
    const std::u16string kept = Line(u"a.exe") + Line(u"z.exe") + Line(u"d1.txt") + Line(u"d2.txt");
    NextTab();
    EXPECT_EQ(Reload().UserPages[0].Files, kept);

    NextTab();
    ReleaseDetails();
    SendMessageW(List(), WM_CHAR, u'z', 0);
    ASSERT_TRUE(PumpUntil([] { return Count() == 1; }));
    SendMessageW(CurrentPagePane(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({dir.File(u"d3.txt")})), 0);
    EXPECT_EQ(Count(), 1);
    SendMessageW(List(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([] { return Count() == 5 && ItemNamed(L"d3") >= 0; }));
    SendMessageW(TheApp().TabWindow, WM_COMMAND, IDM_REFRESH, 0);
    EXPECT_TRUE(PumpUntil([] { return PaneLoaded() && Count() == 5; }));
    SendMessageW(List(), WM_CHAR, u'z', 0);
    ASSERT_TRUE(PumpUntil([] { return Count() == 1 && Selected() == 0; }));
    NextTab();
    EXPECT_EQ(Reload().UserPages[0].Files, kept + Line(u"d3.txt"));
    EXPECT_EQ(Reload().UserPages[0].Cursor, 3);  // after the three one-byte files
}

// The arguments dialog is open when the pane is made anew for another DPI;
// the new pane loads and selects its stored cursor. OK starts nothing: the
// entry the dialog was for is not the new pane's to start.
TEST_F(PaneChoicesTest, APaneRebuiltUnderItsDialogStartsNothing) {
    ASSERT_NO_FATAL_FAILURE(StartPages());
    Select(ItemNamed(L"setup"));
    test::RunSettingsDialog(IDM_ENTRY_RUN_WITH_ARGUMENTS, [&](HWND dialog) {
        RECT place{};
        GetWindowRect(TheApp().TabWindow, &place);
        SendMessageW(TheApp().TabWindow, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&place));
        ReleaseDetails();
        EXPECT_GE(Selected(), 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Started().empty());
}

// The details come back just as their page is left: the notice that they
// wait dies with the pane. The next page's details still reach it.
TEST_F(PaneChoicesTest, DetailsReachThePaneShownAfterANoticeWasLost) {
    ASSERT_NO_FATAL_FAILURE(StartPages(u"Files000=" + dir.File(u"z.exe") + u"\r\nFiles=1\r\n"));
    Lookups().Release(share);
    for (int i = 0; i < 500 && PaneLookupsOutstanding() > 0; ++i) Sleep(10);  // no pumping: the notice stays queued
    NextTab();
    EXPECT_TRUE(PumpUntil([] {
        wchar_t date[64] = {};
        LVITEMW cell{};
        cell.iSubItem = 1, cell.pszText = date, cell.cchTextMax = 64;
        SendMessageW(List(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&cell));
        return PaneLoaded() && Count() == 1 && U16(date) != u"-----";
    }));
}

}  // namespace
}  // namespace vc
