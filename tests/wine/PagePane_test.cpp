// The page pane on real files: loading, list items, views and column widths,
// and what a page keeps when the pane goes away.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/FilesText.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "pageview/PaneWindow_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/Drop_win.h"
#include "support/MessageBoxes_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

class PagePaneTest : public test::AppFixture {
protected:
    std::u16string files;  // the Files text of Page1: real files, a folder, a missing file

    void SetUp() override {
        test::WriteBytes(dir.File(u"alpha.txt"), "hello");
        test::WriteBytes(dir.File(u"beta.ini"), std::string(12345, 'x'));
        CreateDirectoryW(AsW(dir.File(u"folder")), nullptr);
        files = dir.File(u"alpha.txt") + u"\r\n" + dir.File(u"beta.ini") + u"\r\n" + dir.File(u"folder") + u"\r\n" +
                dir.File(u"missing.doc") + u"\r\n";
    }

    static std::u16string Settings(std::u16string_view page1, std::u16string_view extra = u"") {
        return u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n[Page1]\r\n" + std::u16string(page1) +
               u"\r\n" + std::u16string(extra);
    }

    static std::u16string FilesKeys(std::u16string_view text) {
        std::u16string keys;
        size_t pos = 0;
        int n = 0;
        while (true) {
            size_t brk = text.find(u"\r\n", pos);
            keys += u"Files" + DecPadded(n++, 3) + u"=" +
                    std::u16string(text.substr(pos, brk == std::u16string_view::npos ? std::u16string_view::npos : brk - pos)) +
                    u"\r\n";
            if (brk == std::u16string_view::npos) break;
            pos = brk + 2;
        }
        return keys + u"Files=" + Dec(n);
    }

    // Pumps until the pane has finished loading and its look-ups are in
    // (bounded).
    static void Load() {
        auto done = [] { return PaneLoaded() && PaneLookupsOutstanding() == 0; };
        for (int i = 0; i < 2000 && !done(); ++i) {
            Pump();
            if (!done()) Sleep(1);
        }
        Pump();
    }

    static HWND List() { return GetDlgItem(CurrentPagePane(), IDC_PAGELIST); }
    static std::u16string ItemText(int item, int column) {
        wchar_t text[300] = {};
        LVITEMW sub{};
        sub.iSubItem = column;
        sub.pszText = text;
        sub.cchTextMax = 300;
        SendMessageW(List(), LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
        return U16(text);
    }
    static std::u16string Status(int part) {
        wchar_t text[300] = {};
        SendDlgItemMessageW(TheApp().TabWindow, IDC_STATUSBAR, SB_GETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(text));
        return U16(text);
    }
    // Clicks the view pane's controls `ids` in the page settings and presses OK.
    static void ViewSettingsOk(std::initializer_list<int> ids) {
        PageSettingsPaneIndex() = 1;  // the view pane
        test::RunSettingsDialog(IDM_PAGE_SETTINGS, [&](HWND dialog) {
            for (int id : ids) SendMessageW(GetDlgItem(test::PaneHolding(dialog, id), id), BM_CLICK, 0, 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        Pump();
    }
};

TEST_F(PagePaneTest, LoadsEveryEntryWithItsIndexAndSelectsTheCursor) {
    // PageListSort 7 orders by no column: the list keeps the entries' order.
    Start(Settings(FilesKeys(files) + u"\r\nListType=3\r\nCursor=1\r\nPageListSort=7"));
    Load();
    ASSERT_TRUE(CurrentPagePane());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(CurrentPagePane(), IDC_LOADINGNOTICE)));
    ASSERT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(ThePane().EntryCount, 4);
    EXPECT_EQ(ItemText(0, 0), u"alpha");  // extensions hidden
    EXPECT_EQ(ItemText(2, 0), u"folder");
    EXPECT_EQ(ItemText(3, 0), u"missing");  // a missing file still loads
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ItemText(i, 5), Dec(i));
    EXPECT_EQ(ThePane().EntryTable[1].Size, 12345);
    EXPECT_EQ(ThePane().EntryTable[2].TypeOffset, -1);
    EXPECT_EQ(ThePane().EntryTable[3].LastWriteTime, 0u);
    EXPECT_EQ(SendMessageW(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(Status(0), u"ファイル数 : 4");
    // The missing file stays listed, ghosted, and the status says it is missing.
    EXPECT_TRUE(ThePane().EntryTable[3].Missing);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMSTATE, 3, LVIS_CUT), LRESULT(LVIS_CUT));
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMSTATE, 0, LVIS_CUT), 0);
    EXPECT_EQ(Status(1).find(u"(見つかりません)"), std::u16string::npos);
    LVITEMW select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
    EXPECT_NE(Status(1).find(u"(見つかりません)"), std::u16string::npos);
    // After three fixed images, the lists hold one image per distinct icon;
    // each item shows one of them, and the folder's differs from the file's.
    HIMAGELIST small = reinterpret_cast<HIMAGELIST>(SendMessageW(List(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    const int images = ImageList_GetImageCount(small);
    EXPECT_GE(images, 3 + 2);
    EXPECT_LE(images, 3 + 4);
    int image[4] = {};
    for (int i = 0; i < 4; ++i) {
        LVITEMW it{LVIF_IMAGE, i};
        SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        image[i] = it.iImage;
        EXPECT_GE(it.iImage, 3);
        EXPECT_LT(it.iImage, images);
    }
    EXPECT_NE(image[2], image[0]);
}

// Letters typed into the list narrow it to the names that hold them, in any
// width or case; Backspace and Esc widen it again. Only the list changes.
TEST_F(PagePaneTest, TypingFiltersTheListButNotThePage) {
    Start(Settings(FilesKeys(files) + u"\r\nListType=3\r\nPageListSort=7"));
    Load();
    auto pageText = [] {
        StorePaneEntriesInPage();
        return TheApp().rec.UserPages[0].Files;
    };
    const std::u16string before = pageText();
    auto type = [](std::u16string_view keys) {
        for (char16_t c : keys) SendMessageW(List(), WM_CHAR, WPARAM(c), 0);
        Pump();  // a wider filter lists again in slices
    };
    auto count = [] { return int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); };
    type(u"ＥＴ");  // full-width: only beta
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(ItemText(0, 0), u"beta");
    EXPECT_EQ(Status(0), u"絞り込み : ＥＴ (1/4)");
    // Also over the list, where the user looks, and kept by a new status font.
    HWND band = GetDlgItem(CurrentPagePane(), IDC_FILTERBAND);
    EXPECT_NE(WindowText(band).find(u"絞り込み : ＥＴ (1/4)"), std::u16string::npos);
    EXPECT_TRUE(IsWindowVisible(band));
    SendMessageW(TheApp().TabWindow, WM_COMMAND, IDM_APPLY_STATUS_FONT, 0);
    EXPECT_EQ(Status(0), u"絞り込み : ＥＴ (1/4)");
    type(u"\b");  // "Ｅ": beta and folder
    EXPECT_EQ(count(), 2);
    SendMessageW(List(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(Status(0), u"ファイル数 : 4");
    EXPECT_FALSE(IsWindowVisible(band));
    type(u"zz");
    EXPECT_EQ(count(), 0);
    type(u"\b\b");
    ASSERT_EQ(count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ItemText(i, 5), Dec(i));  // each item leads to its own entry
    EXPECT_EQ(pageText(), before);
}

TEST_F(PagePaneTest, ViewChangesKeepTheDetailWidths) {
    App& app = Start(Settings(FilesKeys(files) + u"\r\nListType=259\r\nPageColumnWidth=150,120,70,90,60,\r\nPageListSort=7"));
    Load();
    HWND list = List();
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 150);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 5, 0), 0);  // the index column never shows
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, 250);                // the user widens a column
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_VIEW_ICON, 0);
    Pump();
    EXPECT_EQ(app.rec.UserPages[0].ListType, 1u);  // the whole word: extensions off too
    EXPECT_EQ(app.rec.UserPages[0].PageColumnWidth[0], 250);
    // (Wine reports no column widths outside the details view, so the
    // non-detail widths are not checked here.)
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_VIEW_DETAILS, 0);
    Pump();
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 250);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_EQ(ItemText(0, 0), u"alpha.txt");  // names keep the form they were listed in

    // Leaving the page stores the widths and the view; coming back restores them.
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    Load();
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_PREV_TAB, 0);
    Load();
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0), 250);
    Close();
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].ListType, 3u);
    EXPECT_EQ(back.UserPages[0].PageColumnWidth[0], 250);
}

TEST_F(PagePaneTest, PageSettingsKeepTheUserWidthsAndShowTheNamesAtOnce) {
    App& app = Start(Settings(FilesKeys(files) + u"\r\nListType=3\r\nPageColumnWidth=150,120,70,90,60,\r\nPageListSort=7"));
    Load();
    SendMessageW(List(), LVM_SETCOLUMNWIDTH, 0, 250);  // the user widens a column
    ViewSettingsOk({IDC_VIEW_EXTENSIONS});
    EXPECT_EQ(ItemText(0, 0), u"alpha.txt");  // at once, not at the next load
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0), 250);
    // Icons from the menu, details from the dialog: the user's widths, resizable.
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_VIEW_ICON, 0);
    Pump();
    ViewSettingsOk({IDC_VIEW_DETAILS});
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0), 250);
    LVCOLUMNW col{LVCF_FMT};
    SendMessageW(List(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    EXPECT_FALSE(col.fmt & LVCFMT_FIXED_WIDTH);
    // Icons from the dialog, details from the menu: what was dragged before stays.
    SendMessageW(List(), LVM_SETCOLUMNWIDTH, 1, 140);
    ViewSettingsOk({IDC_VIEW_ICON});
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_VIEW_DETAILS, 0);
    Pump();
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 1, 0), 140);
    Close();
    EXPECT_EQ(Reload().UserPages[0].PageColumnWidth[1], 140);
}

TEST_F(PagePaneTest, LeavingThePageWritesCursorAndEntries) {
    App& app = Start(Settings(FilesKeys(files)));
    Load();
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].Cursor, 2);
    EXPECT_EQ(back.UserPages[0].Files, files);
}

TEST_F(PagePaneTest, EntriesReachThePageBeforeDialogsCopyIt) {
    App& app = Start(Settings(FilesKeys(files)));
    StorePaneEntriesInPage();  // still loading: the text stays whole
    EXPECT_EQ(app.rec.UserPages[0].Files, files);
    Load();
    app.rec.UserPages[0].Files.clear();  // as if the text were stale
    StorePaneEntriesInPage();
    EXPECT_EQ(app.rec.UserPages[0].Files, files);
}

// Launching runs a registered batch file in its own folder; the folder name
// has a blank, which only the quoted path survives.
TEST_F(PagePaneTest, ActivatingAnEntryLaunchesItInItsFolder) {
    std::u16string folder = dir.File(u"with blank");
    CreateDirectoryW(AsW(folder), nullptr);
    std::u16string marker = dir.File(u"marker.txt");
    std::u16string script = folder + u"\\mark.bat";
    test::WriteBytes(script, "@cd > \"" + ToUtf8(marker) + "\"\r\n");
    Start(Settings(FilesKeys(script + u"\r\n")));
    Load();
    ASSERT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 1);
    NMITEMACTIVATE act{};
    act.hdr.hwndFrom = List();
    act.hdr.idFrom = IDC_PAGELIST;
    act.hdr.code = LVN_ITEMACTIVATE;
    act.iItem = 0;
    SendMessageW(CurrentPagePane(), WM_NOTIFY, IDC_PAGELIST, reinterpret_cast<LPARAM>(&act));
    std::string written;
    for (int i = 0; i < 200 && written.empty(); ++i) {
        Sleep(50);
        written = test::ReadBytes(marker);
    }
    while (!written.empty() && (written.back() == '\n' || written.back() == '\r' || written.back() == ' '))
        written.pop_back();
    EXPECT_EQ(written, ToUtf8(folder));
}

TEST_F(PagePaneTest, DropsRegisterEveryNewItemInOrderAndTellOnceAboutTheRest) {
    App& app = Start(Settings(FilesKeys(files)));
    Load();
    auto drop = [](HWND to, const std::vector<std::u16string>& names) {
        return test::BoxesDuring([&] {
            SendMessageW(to, WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop(names)), 0);
            Load();  // the dropped items are looked at on a worker
        });
    };
    const std::u16string c = dir.File(u"c.txt"), d = dir.File(u"d.txt"), e = dir.File(u"e.txt");
    EXPECT_TRUE(drop(CurrentPagePane(), {d, c, e}).empty());
    EXPECT_EQ(ItemText(5, 0), u"c");
    EXPECT_EQ(Reload().UserPages[0].Files, files + d + u"\r\n" + c + u"\r\n" + e + u"\r\n");  // at once
    // Drops on the tab window reach the pane too; the same file twice is one entry.
    EXPECT_EQ(drop(app.TabWindow, {dir.File(u"ALPHA.txt"), dir.File(u"folder2"), dir.File(u"folder2")}),
              std::vector<std::u16string>{u"2 個のファイルを登録できませんでした。\n（重複 2 個）"});
    EXPECT_EQ(ThePane().EntryCount, 8);
    Close();

    Start(Settings(FilesKeys(files) + u"\r\nFlag=1"));
    Load();
    EXPECT_EQ(drop(CurrentPagePane(), {c}),
              std::vector<std::u16string>{u"1 個のファイルを登録できませんでした。\n（このページは変更禁止です）"});
    EXPECT_EQ(ThePane().EntryCount, 4);
}

// Answers the program's question box with `button` as soon as it shows.
struct Opened {
    std::u16string file, parameters, folder;
};
std::vector<Opened> g_opened;
std::mutex g_openedLock;  // launches run on workers
std::atomic<int> g_openedCount;

TEST_F(PagePaneTest, OnlyADroppedSettingsFileOpensAnotherInstance) {
    Start(Settings(FilesKeys(files)));
    Load();
    ASSERT_TRUE(CreateDirectoryW(AsW(dir.File(u"kept.vcset")), nullptr));
    g_opened.clear();
    g_openedCount = 0;
    shell::SetExecuteHook([](const wchar_t* f, const wchar_t* p, const wchar_t* d, const wchar_t*) {
        std::lock_guard<std::mutex> hold(g_openedLock);
        g_opened.push_back({U16(f), U16(p), U16(d)});
        ++g_openedCount;
    });
    SendMessageW(CurrentPagePane(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(test::MakeDrop({u"D:\\x\\other.vcset", u"D:\\x\\b.txt"})), 0);
    SendMessageW(CurrentPagePane(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({u"D:\\x\\A.VCSET"})), 0);
    // Registered like any other file: ".vcset" not at the end, a folder.
    for (const std::u16string& other : {std::u16string(u"D:\\x\\a.vcset.txt"), dir.File(u"kept.vcset")})
        SendMessageW(CurrentPagePane(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({other})), 0);
    // Each drop is looked at on a worker; settings files open whatever the page does meanwhile.
    for (int i = 0; i < 2000 && (g_openedCount < 2 || ThePane().EntryCount < 7); ++i) {
        Pump();
        Sleep(1);
    }
    shell::SetExecuteHook(nullptr);
    ASSERT_EQ(g_opened.size(), 2u);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    // Two workers may open them in either order.
    std::sort(g_opened.begin(), g_opened.end(), [](const Opened& a, const Opened& b) { return a.parameters < b.parameters; });
    EXPECT_EQ(g_opened[1].file, U16(exe));
    EXPECT_EQ(g_opened[1].parameters, u"D:\\x\\other.vcset");  // as dropped, not quoted
    EXPECT_EQ(g_opened[1].folder, ExecutableFolder());
    EXPECT_EQ(g_opened[0].parameters, u"D:\\x\\A.VCSET");
    EXPECT_EQ(ThePane().EntryCount, 4 + 3);  // b.txt of the first drop too
}

TEST_F(PagePaneTest, ShowLocationOpensTheFolderThatHoldsTheEntry) {
    App& app = Start(Settings(FilesKeys(files)));
    Load();
    g_opened.clear();
    g_openedCount = 0;
    shell::SetExecuteHook([](const wchar_t* f, const wchar_t* p, const wchar_t* d, const wchar_t*) {
        static std::mutex m;
        std::lock_guard<std::mutex> lock(m);
        g_opened.push_back({U16(f), p ? U16(p) : u"", d ? U16(d) : u""});
        ++g_openedCount;
    });
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));  // a file
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_ENTRY_SHOW_LOCATION, 0);
    SendMessageW(List(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));  // a folder
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_ENTRY_SHOW_LOCATION, 0);
    // The shell is asked on a worker, so that a share gone away holds up
    // no window; the hook runs there.
    for (int i = 0; i < 400 && g_openedCount < 2; ++i) Sleep(5);
    shell::SetExecuteHook(nullptr);
    ASSERT_EQ(g_opened.size(), 2u);
    EXPECT_EQ(g_opened[0].file, dir.path() + u"\\");
    EXPECT_EQ(g_opened[0].folder, u"");
    EXPECT_EQ(g_opened[1].file, dir.path() + u"\\");  // a folder opens its parent
}

// The list paints entries while the page loads, not only once all are in.
WNDPROC g_listProc;
bool g_paintedWhileLoading;
LRESULT CALLBACK WatchListPaints(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && !PaneLoaded() && IsWindowVisible(list) && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0)
        g_paintedWhileLoading = true;
    return CallWindowProcW(g_listProc, list, msg, wp, lp);
}

TEST_F(PagePaneTest, AFullPageShowsEntriesWhileLoadingAndRefusesDrops) {
    std::u16string many;
    for (int i = 0; i < 200; ++i) many += u"C:\\nowhere\\f" + Dec(i) + u".txt\r\n";
    App& app = Start(Settings(FilesKeys(many) + u"\r\nListType=3"));
    MSG msg;
    while (!CurrentPagePane() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
    g_paintedWhileLoading = false;
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchListPaints)));
    Load();
    EXPECT_TRUE(g_paintedWhileLoading);
    ASSERT_EQ(ThePane().EntryCount, 200);
    EXPECT_EQ(test::BoxesDuring([&] {
                  SendMessageW(CurrentPagePane(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({dir.File(u"alpha.txt")})), 0);
              }),
              std::vector<std::u16string>{u"1 個のファイルを登録できませんでした。\n（空きなし 1 個）"});
    EXPECT_EQ(ThePane().EntryCount, 200);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 200);
}

TEST_F(PagePaneTest, RemovalAsksFirstAndKeepsTheSlot) {
    App& app = Start(Settings(FilesKeys(files) + u"\r\nPageListSort=7"));  // in entry order
    Load();
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_NE(Status(1), u" ");  // the selected entry's details
    test::AnswerNextBox(IDNO);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_ENTRY_REMOVE, 0);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 4);
    test::AnswerNextBox(IDYES);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_ENTRY_REMOVE, 0);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ThePane().EntryCount, 4);  // the slot stays, emptied
    EXPECT_TRUE(ThePane().EntryTable[1].Path.empty());
    EXPECT_EQ(Status(0), u"ファイル数 : 3");
    EXPECT_EQ(Status(1), u" ");  // nothing selected: no details of a removed entry
    EXPECT_EQ(ItemText(1, 5), u"2");  // entries keep their numbers
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(Reload().UserPages[0].Files,
              dir.File(u"alpha.txt") + u"\r\n" + dir.File(u"folder") + u"\r\n" + dir.File(u"missing.doc") + u"\r\n");
}

int HeaderImage(HWND list, int column) {
    LVCOLUMNW col{};
    col.mask = LVCF_IMAGE;
    SendMessageW(list, LVM_GETCOLUMNW, WPARAM(column), reinterpret_cast<LPARAM>(&col));
    return col.iImage;
}

TEST_F(PagePaneTest, HeaderClicksSortAndThePageRemembersTheOrder) {
    // Sizes: alpha 5, beta 12345, folder 0, missing 0.
    App& app = Start(Settings(FilesKeys(files) + u"\r\nListType=3\r\nPageListSort=12"));
    Load();
    EXPECT_EQ(ItemText(0, 0), u"beta");  // largest first
    EXPECT_EQ(ItemText(1, 0), u"alpha");
    EXPECT_EQ(HeaderImage(List(), 2), 2);
    auto click = [&](int column) {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = List();
        nm.hdr.idFrom = IDC_PAGELIST;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = column;
        SendMessageW(CurrentPagePane(), WM_NOTIFY, IDC_PAGELIST, reinterpret_cast<LPARAM>(&nm));
    };
    click(0);  // another column: ascending by name
    EXPECT_EQ(app.rec.UserPages[0].PageListSort, 0);
    EXPECT_EQ(ItemText(0, 0), u"alpha");
    EXPECT_EQ(ItemText(3, 0), u"missing");
    EXPECT_EQ(HeaderImage(List(), 0), 1);
    EXPECT_EQ(HeaderImage(List(), 2), 0);
    click(0);  // the same column again: descending
    EXPECT_EQ(app.rec.UserPages[0].PageListSort, 10);
    EXPECT_EQ(ItemText(0, 0), u"missing");
    EXPECT_EQ(HeaderImage(List(), 0), 2);
    // Sorting moves items only: each still leads to its own entry.
    for (int i = 0; i < 4; ++i) {
        int entry = ParseEntryIndex(ItemText(i, 5));
        ASSERT_GE(entry, 0);
        EXPECT_NE(ThePane().EntryTable[size_t(entry)].Path.find(ItemText(i, 0)), std::u16string::npos);
    }
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(Reload().UserPages[0].PageListSort, 10);
}

// Saves a shortcut file at `lnk` pointing to `target`.
bool SaveShortcut(const std::u16string& lnk, const std::u16string& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(AsW(target));
    IPersistFile* file = nullptr;
    bool saved = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(AsW(lnk), TRUE));
    if (file) file->Release();
    link->Release();
    return saved;
}

// The desktop page lists the user's desktop folder, hidden files left out.
TEST_F(PagePaneTest, TheDesktopPageListsItsFolder) {
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
    std::u16string folder = U16(desktop);
    std::u16string shown = folder + u"\\vc-desk-" + Dec(GetCurrentProcessId()) + u".txt";
    std::u16string hidden = folder + u"\\vc-hidden-" + Dec(GetCurrentProcessId()) + u".txt";
    test::WriteBytes(shown, "on the desktop");
    test::WriteBytes(hidden, "not listed");
    SetFileAttributesW(AsW(hidden), FILE_ATTRIBUTE_HIDDEN);
    FILETIME later{0, 36555000};  // in 2098
    HANDLE h = CreateFileW(AsW(shown), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &later);
    CloseHandle(h);
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=1\r\nTabNumber=0\r\n"
          u"[SpcialPage1]\r\nListType=3\r\nPageListSort=7\r\n");
    Load();
    bool sawShown = false, sawHidden = false;
    int items = int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < items; ++i) {
        const FileEntry& e = ThePane().EntryTable[size_t(ParseEntryIndex(ItemText(i, 5)))];
        sawShown |= e.Path == shown;
        sawHidden |= e.Path == hidden;
    }
    // Without a sort column the newest entry comes first.
    EXPECT_EQ(ThePane().EntryTable[size_t(ParseEntryIndex(ItemText(0, 5)))].Path, shown);
    SetFileAttributesW(AsW(hidden), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(AsW(hidden));
    DeleteFileW(AsW(shown));
    EXPECT_TRUE(sawShown);
    EXPECT_FALSE(sawHidden);
    EXPECT_EQ(ThePane().EntryTable[0].Path.empty(), false);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(CurrentPagePane(), IDC_LOADINGNOTICE)));
}

// The recent-files page shows shortcuts to files as their targets.
TEST_F(PagePaneTest, RecentShortcutsShowTheirTargets) {
    wchar_t recent[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, recent, CSIDL_RECENT, TRUE));
    std::u16string lnk = U16(recent) + u"\\vc-recent-" + Dec(GetCurrentProcessId()) + u".lnk";
    std::u16string target = dir.File(u"beta.ini");
    CoInitialize(nullptr);
    ASSERT_TRUE(SaveShortcut(lnk, target));
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=2\r\nTabNumber=0\r\n"
          u"SpcialRecentFileNum=100\r\n");
    Load();
    bool sawTarget = false, sawShortcut = false;
    for (int i = 0; i < ThePane().EntryCount; ++i) {
        sawTarget |= ThePane().EntryTable[size_t(i)].Path == target;
        sawShortcut |= ThePane().EntryTable[size_t(i)].Path == lnk;
    }
    DeleteFileW(AsW(lnk));
    EXPECT_TRUE(sawTarget);
    EXPECT_FALSE(sawShortcut);
}

// The all-users desktop follows the user's, and a start-up shortcut to a
// folder shows as that folder.
TEST_F(PagePaneTest, CommonFoldersAppendAndStartupShortcutsToFoldersResolve) {
    wchar_t common[MAX_PATH] = {}, startup[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, common, CSIDL_COMMON_DESKTOPDIRECTORY, TRUE));
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, startup, CSIDL_STARTUP, TRUE));
    std::u16string shared = U16(common) + u"\\vc-common-" + Dec(GetCurrentProcessId()) + u".txt";
    test::WriteBytes(shared, "for everyone");
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=1\r\nTabNumber=0\r\n");
    Load();
    bool sawShared = false;
    for (int i = 0; i < ThePane().EntryCount; ++i) sawShared |= ThePane().EntryTable[size_t(i)].Path == shared;
    DeleteFileW(AsW(shared));
    EXPECT_TRUE(sawShared);
    Close();

    std::u16string lnk = U16(startup) + u"\\vc-start-" + Dec(GetCurrentProcessId()) + u".lnk";
    std::u16string target = dir.File(u"folder");
    CoInitialize(nullptr);
    ASSERT_TRUE(SaveShortcut(lnk, target));
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=8\r\nTabNumber=0\r\n");
    Load();
    bool sawFolder = false;
    for (int i = 0; i < ThePane().EntryCount; ++i) {
        const FileEntry& e = ThePane().EntryTable[size_t(i)];
        sawFolder |= e.Path == target && e.TypeOffset == -1;
    }
    DeleteFileW(AsW(lnk));
    EXPECT_TRUE(sawFolder);
}

// 300 recent shortcuts listed after 5000 older files (the folder is read in
// name order), with a recent-file count of 100: the 100 newest shortcut files
// are listed, as their targets.
TEST_F(PagePaneTest, TheRecentPageKeepsTheNewestShortcuts) {
    wchar_t recent[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, recent, CSIDL_RECENT, TRUE));
    CoInitialize(nullptr);
    std::vector<std::u16string> links;
    for (int i = 0; i < 5000; ++i) {
        links.push_back(U16(recent) + u"\\vc-aaa-" + Dec(GetCurrentProcessId()) + u"-" + Dec(i) + u".txt");
        test::WriteBytes(links.back(), "");
    }
    const uint64_t base = 157000000000000000ULL;  // some time in 2098, after the files made now
    for (int i = 0; i < 300; ++i) {
        std::u16string target = dir.File(u"t" + Dec(i) + u".txt");
        test::WriteBytes(target, "x");
        std::u16string lnk = U16(recent) + u"\\vc-many-" + Dec(GetCurrentProcessId()) + u"-" + Dec(i) + u".lnk";
        ASSERT_TRUE(SaveShortcut(lnk, target));
        // Shortcut i is i minutes newer than the first; the newest are 200..299.
        uint64_t t = base + uint64_t(i) * 600000000ULL;
        FILETIME ft{DWORD(t & 0xFFFFFFFF), DWORD(t >> 32)};
        HANDLE h = CreateFileW(AsW(lnk), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
        links.push_back(lnk);
    }
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=2\r\nTabNumber=0\r\n"
          u"SpcialRecentFileNum=100\r\n");
    Load();
    int kept = 0;
    bool onlyNewest = true;
    for (int i = 0; i < ThePane().EntryCount; ++i) {
        const std::u16string& path = ThePane().EntryTable[size_t(i)].Path;
        for (int k = 0; k < 300; ++k) {
            if (path != dir.File(u"t" + Dec(k) + u".txt")) continue;
            ++kept;
            onlyNewest &= k >= 200;
        }
    }
    for (auto& l : links) DeleteFileW(AsW(l));
    EXPECT_EQ(ThePane().EntryCount, 100);
    EXPECT_EQ(kept, 100);
    EXPECT_TRUE(onlyNewest);
}

TEST_F(PagePaneTest, AnUnfinishedLoadLosesNoEntries) {
    App& app = Start(Settings(FilesKeys(files) + u"\r\nCursor=3\r\nListType=3\r\nPageColumnWidth=222,120,70,90,60,"));
    // Let the pane appear, then switch away before its loading chain has
    // run: entries, cursor and widths stay as they were.
    MSG msg;
    while (!CurrentPagePane() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
    ASSERT_TRUE(CurrentPagePane());
    ASSERT_FALSE(PaneLoaded());
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    Pump();
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].Files, files);
    EXPECT_EQ(back.UserPages[0].Cursor, 3);
    EXPECT_EQ(back.UserPages[0].PageColumnWidth[0], 222);
}

TEST_F(PagePaneTest, RefreshWhileLoadingStartsOneCleanChain) {
    App& app = Start(Settings(FilesKeys(files)));
    Pump();  // a few steps have run, more are queued
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_REFRESH, 0);
    Load();
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(ThePane().EntryCount, 4);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_REFRESH, 0);
    Load();
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 4);
}

TEST_F(PagePaneTest, EntriesBeyondTheListLimitStayInThePage) {
    std::u16string many;
    for (int i = 0; i < 205; ++i) many += u"C:\\nowhere\\file" + Dec(i) + u".txt\r\n";
    App& app = Start(Settings(FilesKeys(many)));
    Load();
    EXPECT_EQ(ThePane().EntryCount, 200);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 200);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(Reload().UserPages[0].Files, many);
}

}  // namespace
}  // namespace vc
