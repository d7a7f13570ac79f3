// The pages pane of the general settings dialog: on its own under a plain
// window over the program's real windows, then inside the real dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Wide_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

PageRecord Page(std::u16string label, uint32_t flag = 0, int32_t colour = 0) {
    PageRecord p;
    p.Label = std::move(label);
    p.Flag = flag;
    p.LabelColor = colour;
    return p;
}

HTREEITEM ItemOf(HWND pane, int i) {
    HWND tree = GetDlgItem(pane, IDC_PAGES_TREE);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item && i-- > 0) item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
    return item;
}
UINT StateOf(HWND pane, int i, UINT mask) {
    return UINT(SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_GETITEMSTATE, WPARAM(ItemOf(pane, i)), mask));
}
int MarkOf(HWND pane, int i) { return int(StateOf(pane, i, TVIS_STATEIMAGEMASK) >> 12); }
void SetMarkOf(HWND pane, int i, int mark) {
    TVITEMW tv{TVIF_STATE, ItemOf(pane, i), UINT(INDEXTOSTATEIMAGEMASK(mark)), TVIS_STATEIMAGEMASK};
    SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}
void Click(HWND pane, int id) { SendDlgItemMessageW(pane, id, BM_CLICK, 0, 0); }

class PageListPaneTest : public test::AppFixture {
protected:
    HWND host = nullptr;
    HWND pane = nullptr;

    void SetUp() override {
        Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=65536\r\nPageCount=1\r\n[Page1]\r\n");  // no animation
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PageListPaneTestHost";
        RegisterClassW(&wc);
        host = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 320, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(host);
    }
    void TearDown() override {
        Close();
        DestroyWindow(host);
        TheGeneralSettings() = GeneralSettingsSession{};
        AppFixture::TearDown();
    }

    // The pane on a fresh copy; `show` lets the posted kShowMarks arrive.
    void Open(std::vector<PageRecord> pages, int folderPages, int selected, bool show = true) {
        GeneralSettingsSession& s = TheGeneralSettings();
        s = GeneralSettingsSession{};
        s.pages = std::move(pages);
        s.shownSpecialCount = folderPages;
        s.selectedPosition = selected;
        pane = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PAGESPANE), host, PageListPaneProc, 0);
        ASSERT_TRUE(pane);
        if (show) Pump();
    }
    void Close() {
        if (pane) DestroyWindow(pane);
        pane = nullptr;
    }

    int Mark(int i) const { return MarkOf(pane, i); }
    bool Bold(int i) const { return StateOf(pane, i, TVIS_BOLD) != 0; }
    bool Selected(int i) const { return StateOf(pane, i, TVIS_SELECTED) != 0; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(pane, id)) != FALSE; }
    std::u16string MainName() const { return WindowText(GetDlgItem(pane, IDC_PAGES_MAIN_NAME)); }
    // "text:swatch" of item i.
    std::u16string Item(int i) const {
        wchar_t text[64] = {};
        TVITEMW tv{TVIF_TEXT | TVIF_IMAGE, ItemOf(pane, i)};
        tv.pszText = text;
        tv.cchTextMax = 64;
        SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        return U16(text) + u":" + U16(std::to_wstring(tv.iImage).c_str());
    }
    static std::u16string Labels() {
        std::u16string s;
        for (const PageRecord& p : TheGeneralSettings().pages) s += p.Label;
        return s;
    }
};

TEST_F(PageListPaneTest, NamesTheMainPageAndMovesUserPagesWithTheirLooks) {
    // A folder page, then three user pages; none is the main page.
    Open({Page(u"デスクトップ", 0, 4), Page(u"a", 0, 3), Page(u"b", PageFlag::Unmarked, 5), Page(u"c", 0, 99)}, 1, 0);
    EXPECT_EQ(Item(0), u"[デスクトップ]:4");
    EXPECT_EQ(Item(3), u"c:0");  // a damaged colour shows the first swatch
    EXPECT_EQ(Mark(1), 2);
    EXPECT_EQ(Mark(2), 1);
    EXPECT_TRUE(Bold(0));
    EXPECT_FALSE(Bold(1) || Bold(2) || Bold(3));
    EXPECT_EQ(MainName(), u"[デスクトップ]");

    const bool up[4] = {false, false, true, true}, down[4] = {false, true, true, false};
    for (int i = 3; i >= 0; --i) {
        SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_SELECTITEM, TVGN_CARET, LPARAM(ItemOf(pane, i)));
        EXPECT_EQ(TheGeneralSettings().selectedPosition, i);
        EXPECT_EQ(Enabled(IDC_PAGES_UP), up[i]) << i;
        EXPECT_EQ(Enabled(IDC_PAGES_DOWN), down[i]) << i;
    }

    SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_SELECTITEM, TVGN_CARET, LPARAM(ItemOf(pane, 2)));
    Click(pane, IDC_PAGES_SET_MAIN);
    EXPECT_EQ(MainName(), u"\"b\"");
    EXPECT_FALSE(Bold(0));
    TheGeneralSettings().PagesReorganised = false;
    Click(pane, IDC_PAGES_UP);
    EXPECT_EQ(Labels(), u"デスクトップbac");
    EXPECT_EQ(TheGeneralSettings().pages[1].Flag, PageFlag::MainPage | PageFlag::Unmarked);
    EXPECT_EQ(Item(1), u"b:5");
    EXPECT_EQ(Item(2), u"a:3");
    EXPECT_EQ(Mark(1), 1);
    EXPECT_EQ(Mark(2), 2);
    EXPECT_TRUE(Bold(1));
    EXPECT_FALSE(Bold(2));
    EXPECT_TRUE(Selected(1));
    EXPECT_EQ(GetFocus(), GetDlgItem(pane, IDC_PAGES_TREE));
    EXPECT_TRUE(TheGeneralSettings().PagesReorganised);
    EXPECT_FALSE(Enabled(IDC_PAGES_UP));  // the first user page now
    SendMessageW(pane, WM_COMMAND, IDC_PAGES_UP, 0);  // a command past the disabled button
    EXPECT_EQ(Labels(), u"デスクトップbac");
}

TEST_F(PageListPaneTest, MarksOutliveThePaneUnlessDropped) {
    Open({Page(u"a"), Page(u"b"), Page(u"c", PageFlag::Unmarked)}, 0, 0);
    TheGeneralSettings().PagesReorganised = false;
    SetMarkOf(pane, 1, 1);
    Close();  // as a switch to another pane does
    const std::vector<PageRecord>& pages = TheGeneralSettings().pages;
    EXPECT_EQ(pages[1].Flag, PageFlag::Unmarked);
    EXPECT_TRUE(TheGeneralSettings().PagesReorganised);  // a box alone is a change to take over
    pane = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PAGESPANE), host, PageListPaneProc, 0);
    Pump();
    EXPECT_EQ(Mark(0), 2);
    EXPECT_EQ(Mark(1), 1);
    EXPECT_EQ(Mark(2), 1);

    // Marked all, then Cancel: the copy keeps its marks.
    Click(pane, IDC_PAGES_MARK_ALL);
    EXPECT_EQ(Mark(1), 2);
    SendMessageW(pane, WM_COMMAND, kCommitMarks, 0);
    Close();
    EXPECT_EQ(pages[1].Flag, PageFlag::Unmarked);
    EXPECT_EQ(pages[2].Flag, PageFlag::Unmarked);

    // Closed before the boxes showed the marks: nothing to take from them.
    Open({Page(u"a", PageFlag::Unmarked), Page(u"b")}, 0, 0, false);
    auto* boxes = reinterpret_cast<IUnknown*>(SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_GETIMAGELIST, TVSIL_STATE, 0));
    boxes->AddRef();  // an image list is a COM object
    Close();
    EXPECT_EQ(boxes->Release(), 0u) << "the pane left the boxes' images behind";
    EXPECT_EQ(TheGeneralSettings().pages[0].Flag, PageFlag::Unmarked);
    EXPECT_EQ(TheGeneralSettings().pages[1].Flag, 0u);

    // No pages at all: nothing to name, move or mark.
    Open({}, 0, 0);
    EXPECT_EQ(MainName(), u"");
    EXPECT_FALSE(Enabled(IDC_PAGES_UP) || Enabled(IDC_PAGES_DOWN));
    SendMessageW(pane, WM_COMMAND, IDC_PAGES_SET_MAIN, 0);
    SendMessageW(pane, WM_COMMAND, kCommitMarks, 1);
}

// Through the real dialog: the tab window takes over the copy after OK, and
// nothing after Cancel.
class PageListPaneDialogTest : public test::AppFixture {
protected:
    void SetUp() override { GeneralSettingsPaneIndex() = 2; }
    static void Run(std::function<void(HWND dialog, HWND pane)> act) {
        test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_PAGES_TREE);
            ASSERT_TRUE(pane);
            Pump();
            act(dialog, pane);
        });
    }
};

TEST_F(PageListPaneDialogTest, OkTakesTheNewOrderMarksAndMainPageAndCancelTakesNothing) {
    // A desktop page, then three user pages, every page a tab; "One" shown.
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=1114112\r\nPageCount=3\r\nSpcialFolder=1\r\n"
                     u"TabNumber=1\r\n[Page1]\r\nLabel=One\r\n[Page2]\r\nLabel=Two\r\nFlag=8192\r\n[Page3]\r\n"
                     u"Label=Three\r\nLabelColor=6\r\n");
    Pump();
    ASSERT_EQ(app.rec.ShownSpecialCount, 1);
    Run([](HWND dialog, HWND pane) {
        EXPECT_EQ(TheGeneralSettings().selectedPosition, 1);
        Click(pane, IDC_PAGES_MARK_ALL);
        SendMessageW(dialog, WM_COMMAND, 1101, 0);  // away to the general pane and back
        SendMessageW(dialog, WM_COMMAND, 1103, 0);
        pane = test::PaneHolding(dialog, IDC_PAGES_TREE);
        Pump();
        EXPECT_EQ(MarkOf(pane, 2), 2);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(app.rec.UserPages[1].Flag, PageFlag::Unmarked);

    Run([](HWND dialog, HWND pane) {
        SendDlgItemMessageW(pane, IDC_PAGES_TREE, TVM_SELECTITEM, TVGN_CARET, LPARAM(ItemOf(pane, 3)));
        Click(pane, IDC_PAGES_UP);
        Click(pane, IDC_PAGES_SET_MAIN);
        SetMarkOf(pane, 1, 1);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    for (const Records& r : {app.rec, Reload()}) {
        ASSERT_EQ(r.UserPages.size(), 3u);
        EXPECT_EQ(r.UserPages[0].Label + r.UserPages[1].Label + r.UserPages[2].Label, u"OneThreeTwo");
        EXPECT_EQ(r.UserPages[0].Flag, PageFlag::Unmarked);
        EXPECT_EQ(r.UserPages[1].Flag, PageFlag::MainPage);
        EXPECT_EQ(r.UserPages[1].LabelColor, 6);
        EXPECT_EQ(r.UserPages[2].Flag, PageFlag::Unmarked);
    }
}

TEST_F(PageListPaneDialogTest, OkKeepsThePageShownWhereverItMoves) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=65536\r\nPageCount=2\r\nSpcialFolder=19\r\n"
                     u"TabNumber=2\r\n[Page1]\r\nLabel=One\r\n[Page2]\r\nLabel=Two\r\n");  // documents, the third tab
    Pump();  // only looking at the pages: the page shown keeps its pane, widths and selection
    const HWND shown = CurrentPagePane();
    Run([](HWND dialog, HWND) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(CurrentPagePane(), shown);
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0), 2);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);  // on to "One", which then moves down
    Run([](HWND dialog, HWND pane) { Click(pane, IDC_PAGES_DOWN); SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(app.rec.UserPages.at(size_t(app.rec.CurrentPage)).Label, u"One");
}

}  // namespace
}  // namespace vc
