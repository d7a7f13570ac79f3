// The host window and the tab window it creates, driven with messages in
// process: the system menu, the window options from TabStyle, the keyboard
// commands and the closing sequence.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <cwctype>
#include <vector>

#include "app/App_win.h"
#include "app/HostWindow_win.h"
#include "app/Startup.h"
#include "e2e/AppProcess_win.h"
#include "pageview/PagePane_win.h"
#include "common/Dpi.h"
#include "common/Swatch_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "support/AppFixture_win.h"
#include "support/MenuState_win.h"
#include "tabwindow/PageMenus.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {
namespace {

class HostWindowTest : public test::AppFixture {
protected:
    static int Selected() {
        return int(SendDlgItemMessageW(TheApp().TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0));
    }
};

std::u16string MenuText(HMENU m, int pos) {
    wchar_t buf[100] = {};
    GetMenuStringW(m, UINT(pos), buf, int(std::size(buf)), MF_BYPOSITION);
    return U16(buf);
}

// A relative settings path is made absolute at start: a later change of the
// current folder (a file dialog may make one) moves no write elsewhere.
TEST_F(HostWindowTest, ARelativeSettingsPathKeepsItsFolder) {
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(AsW(dir.path()));
    App& app = test::StartProgram(u"rel.vcset", u"rel");
    test::TempDir elsewhere;
    SetCurrentDirectoryW(AsW(elsewhere.path()));
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    Close();
    SetCurrentDirectoryW(before);
    EXPECT_TRUE(test::FileExists(dir.File(u"rel.vcset")));
    EXPECT_FALSE(test::FileExists(elsewhere.File(u"rel.vcset")));
}

TEST_F(HostWindowTest, TabWindowShowsWithCaptionTabsAndExtendedSystemMenu) {
    App& app = Start();
    ASSERT_TRUE(IsWindow(app.TabWindow));
    EXPECT_TRUE(IsWindowVisible(app.TabWindow));
    EXPECT_FALSE(IsWindowVisible(app.HostWindow));
    EXPECT_EQ(WindowText(app.TabWindow), u"Host - Vellumcraft");
    EXPECT_EQ(WindowText(app.HostWindow), u"Host");
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 3 + 5);

    HMENU sys = GetSystemMenu(app.TabWindow, FALSE);
    ASSERT_TRUE(sys);
    EXPECT_EQ(GetMenuItemID(sys, 0), UINT(IDM_ABOUT));
    EXPECT_EQ(test::MenuItemState(sys, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    HMENU pages = GetSubMenu(sys, 2);
    ASSERT_TRUE(pages);
    EXPECT_EQ(GetMenuItemCount(pages), 5);
    EXPECT_EQ(GetMenuItemID(pages, 0), UINT(IDM_PAGE_SETTINGS));
    EXPECT_EQ(GetMenuItemID(pages, 1), UINT(IDM_PAGE_DUPLICATE));
    EXPECT_EQ(GetMenuItemID(pages, 2), UINT(IDM_PAGE_DELETE));
    EXPECT_EQ(GetMenuItemID(sys, 3), UINT(IDM_PAGE_ADD));
    EXPECT_EQ(GetMenuItemID(sys, 5), UINT(IDM_GENERAL_SETTINGS));
    EXPECT_EQ(test::MenuItemState(sys, 6, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuDefaultItem(sys, TRUE, 0), 0u);
    EXPECT_EQ(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), UINT(-1));
    EXPECT_NE(GetMenuState(sys, SC_MOVE, MF_BYCOMMAND), UINT(-1));
    EXPECT_FALSE(test::MenuItemState(sys, SC_CLOSE) & MF_GRAYED);
    if (app.rec.WindowsVersion >= 600) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_BITMAP;
        GetMenuItemInfoW(sys, 0, TRUE, &mii);
        EXPECT_NE(mii.hbmpItem, nullptr);
    }
    // The caption's and the task bar's icons each at their own size.
    for (auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
        ICONINFO info{};
        BITMAP picture{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(app.TabWindow, WM_GETICON, which, 0)), &info));
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof picture, &picture);
        EXPECT_EQ(picture.bmWidth, GetSystemMetrics(metric)) << which;
        DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
    }
}

TEST_F(HostWindowTest, TaskbarOwnershipTopMostAndTransparencyFollowTabStyle) {
    App& plain = Start();
    EXPECT_EQ(GetWindow(plain.TabWindow, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(plain.TabWindow, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_FALSE(GetWindowLongPtrW(plain.TabWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrW(plain.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    SendMessageW(plain.HostWindow, WM_CLOSE, 0, 0);
    Pump();

    App& topOnly = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=" + Dec(0x10100 | 0x400) + u"\r\n");
    EXPECT_TRUE(GetWindowLongPtrW(topOnly.TabWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(topOnly.TabWindow, GWL_STYLE) & WS_MINIMIZEBOX);
    SendMessageW(topOnly.HostWindow, WM_CLOSE, 0, 0);
    Pump();

    // 0x200 no taskbar button, 0x400 on top, 0x4000 transparent.
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=" + Dec(0x10100 | 0x200 | 0x400 | 0x4000) +
                     u"\r\nLayerWindowLevel=128\r\n");
    EXPECT_EQ(GetWindow(app.TabWindow, GW_OWNER), app.HostWindow);
    EXPECT_FALSE(GetWindowLongPtrW(app.TabWindow, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(app.TabWindow, nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));

    SendMessageW(app.TabWindow, WM_COMMAND, IDM_TOGGLE_TRANSPARENCY, 0);
    EXPECT_FALSE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
    EXPECT_FALSE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(app.rec.GlobalSettings.TabStyle & 0x4400u, 0u);
    SendMessageW(app.TabWindow, WM_SYSCOMMAND, IDM_ALWAYS_ON_TOP, 0);  // the system menu's way
    EXPECT_TRUE(GetWindowLongPtrW(app.TabWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(app.TabWindow, GW_OWNER), app.HostWindow);
    ASSERT_TRUE(app.TabTooltip);
    EXPECT_EQ(GetWindow(app.TabTooltip, GW_OWNER), app.TabWindow);
}

TEST_F(HostWindowTest, KeyboardCommandsSwitchTabsAndWrap) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=1\r\n[Page3]\r\nFlag=32768\r\n");
    ASSERT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(Selected(), 0);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_PREV_TAB, 0);  // before the first comes the last
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(app.rec.CurrentPage, 2);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);  // after the last comes the first
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(app.rec.CurrentPage, -1);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(app.rec.GlobalSettings.TabNumber, 1);
    EXPECT_EQ(app.rec.CurrentPage, 0);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_MAIN_PAGE, 0);
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(app.rec.CurrentPage, 2);
    // Other programs select pages by 2000 + n; a control's notification does not.
    SendMessageW(app.TabWindow, WM_COMMAND, 2000 + 2, 0);
    SendMessageW(app.TabWindow, WM_COMMAND, 2000 + 0, reinterpret_cast<LPARAM>(app.TabWindow));
    EXPECT_EQ(app.rec.CurrentPage, 1);
    // Moving and sizing the host is refused: it stays a hidden 32 x 32 window.
    EXPECT_EQ(SendMessageW(app.HostWindow, WM_SYSCOMMAND, SC_MOVE, 0), 1);
    EXPECT_EQ(SendMessageW(app.HostWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0), 1);
}

// With many pages the tabs nobody sees yet come after the window shows.
TEST_F(HostWindowTest, WithManyPagesAStepBackReachesTheLastPageAndEveryTabComesInOrder) {
    const std::u16string pages = u"[Page151]\r\nLabel=Mid\r\n[Page300]\r\nLabel=Last\r\n";
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=300\r\nSpcialFolder=1\r\n" + pages);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_PREV_TAB, 0);  // before anything is pumped
    EXPECT_EQ(Selected(), 300);
    EXPECT_EQ(app.rec.UserPages[size_t(app.rec.CurrentPage)].Label, u"Last");
    Close();
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=300\r\nSpcialFolder=1\r\nTabNumber=151\r\n" + pages);
    HWND strip = GetDlgItem(TheApp().TabWindow, IDC_TABSTRIP);
    const auto param = [&](int pos) {
        TCITEMW item{TCIF_PARAM};
        return SendMessageW(strip, TCM_GETITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item)) ? item.lParam : -1;
    };
    EXPECT_EQ(param(Selected()), 8 + 150);  // the page named Mid
    Pump();
    ASSERT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 301);
    for (int pos = 1; pos <= 300; ++pos) ASSERT_EQ(param(pos), 8 + pos - 1) << "tab " << pos;
}

TEST_F(HostWindowTest, MainPageKeyKeepsTheSelectionWithoutAMainPage) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=0\r\nTabNumber=1\r\n"
                     u"[Page3]\r\nFlag=" + Dec(0x8000 | 0x2000) + u"\r\n");
    EXPECT_EQ(Selected(), 1);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_MAIN_PAGE, 0);  // the main page is hidden
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(app.rec.CurrentPage, 1);
}

TEST_F(HostWindowTest, ClosingTheHostStoresPlacementAndQuits) {
    App& app = Start();
    Pump();
    MoveWindow(app.TabWindow, 123, 98, 600, 400, TRUE);
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Pump());
    EXPECT_EQ(app.HostWindow, nullptr);
    EXPECT_EQ(app.TabWindow, nullptr);
    Records back = Reload();
    EXPECT_EQ(back.GlobalSettings.xPosi, 123);
    EXPECT_EQ(back.GlobalSettings.yPosi, 98);
    EXPECT_EQ(back.GlobalSettings.xSize, 600);
    EXPECT_EQ(back.GlobalSettings.ySize, 400);
    EXPECT_EQ(back.GlobalSettings.TabNumber, 1);
}

TEST_F(HostWindowTest, ExitCommandAndMinimisedMovesStoreNothingWrong) {
    App& app = Start();
    Pump();
    MoveWindow(app.TabWindow, 140, 120, 500, 300, TRUE);
    ShowWindow(app.TabWindow, SW_MINIMIZE);
    ShowWindow(app.TabWindow, SW_RESTORE);
    EXPECT_EQ(app.rec.GlobalSettings.xPosi, 140);
    EXPECT_EQ(app.rec.GlobalSettings.xSize, 500);
    // 999 posts the close, as the menu item does; the loop then ends.
    EXPECT_EQ(SendMessageW(app.TabWindow, WM_COMMAND, IDM_EXIT, 0), 0);
    EXPECT_TRUE(Pump());
    EXPECT_EQ(app.TabWindow, nullptr);
    std::u16string text = test::TextOf(test::ReadBytes(path));
    EXPECT_NE(text.find(u"xPosi=140\r\n"), std::u16string::npos);
}

// Dragged to its smallest, the window still shows the tabs and a whole row
// of the list.
TEST_F(HostWindowTest, TheSmallestWindowShowsTheTabsAndOneRow) {
    App& app = Start();
    Pump();
    MINMAXINFO mmi{};
    SendMessageW(app.TabWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 35);
    RECT w;
    GetWindowRect(app.TabWindow, &w);
    MoveWindow(app.TabWindow, w.left, w.top, 400, mmi.ptMinTrackSize.y, TRUE);
    Pump();
    HWND strip = GetDlgItem(app.TabWindow, IDC_TABSTRIP);
    RECT tab{}, list{};
    ASSERT_TRUE(SendMessageW(strip, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab)));
    GetClientRect(GetDlgItem(CurrentPagePane(), IDC_PAGELIST), &list);
    EXPECT_GT(tab.bottom, tab.top);
    EXPECT_GE(list.bottom, ScaleToDpi(32, app.rec.DpiY));
}

struct TabItem {
    std::u16string text;
    int image;
    LPARAM param;
};

TabItem ItemAt(HWND tab, int pos) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 64;
    SendDlgItemMessageW(tab, IDC_TABSTRIP, TCM_GETITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item));
    return {U16(text), item.iImage, item.lParam};
}

// A label another program writes into the file while the program runs is
// taken in at the next write (a tab switch) and shown on its tab; the file
// keeps it.
TEST_F(HostWindowTest, ALabelWrittenByAnotherProgramShowsOnItsTab) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n[Page1]\r\nLabel=One\r\n"
                     u"[Page2]\r\nLabel=Two\r\n");
    Pump();  // the first page shows
    std::u16string text = test::TextOf(test::ReadBytes(path));
    text.replace(text.find(u"Label=Two"), 9, u"Label=Outside");
    ASSERT_TRUE(test::WriteBytes(path, test::Utf16LE(text)));
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(ItemAt(app.TabWindow, 1).text, u"Outside");
    Close();
    EXPECT_EQ(Reload().UserPages[1].Label, u"Outside");
}

TEST_F(HostWindowTest, TabItemsCarryLabelSwatchAndPage) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=4\r\nSpcialFolder=17\r\nTabNumber=2\r\n"
                     u"[Page1]\r\nLabel=最初\r\nLabelColor=9\r\n[Page2]\r\nFlag=8192\r\n"
                     u"[Page4]\r\nLabelColor=99\r\n");
    HWND tab = app.TabWindow;
    Pump();  // the tab font and swatches are applied by a posted command
    ASSERT_EQ(SendDlgItemMessageW(tab, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 5);
    TabItem expected[] = {{u"デスクトップ", 6, 0}, {u"ドキュメント", 6, 1}, {u"最初", 9 + 19, 8},
                          {u"Page3", 6, 10}, {u"Page4", 0, 11}};
    for (int i = 0; i < 5; ++i) {
        TabItem got = ItemAt(tab, i);
        EXPECT_EQ(got.text, expected[i].text) << i;
        EXPECT_EQ(got.image, expected[i].image) << i;
        EXPECT_EQ(got.param, expected[i].param) << i;
    }
    EXPECT_EQ(app.rec.CurrentPage, 0);
    HIMAGELIST swatches =
        reinterpret_cast<HIMAGELIST>(SendDlgItemMessageW(tab, IDC_TABSTRIP, TCM_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(swatches);
    EXPECT_EQ(ImageList_GetImageCount(swatches), 38);
    int w = 0, h = 0;
    ImageList_GetIconSize(swatches, &w, &h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 16);

    // Only the selected tab shows its full swatch.
    SendMessageW(app.HostWindow, WM_COMMAND, IDM_NEXT_TAB, 0);
    EXPECT_EQ(ItemAt(tab, 2).image, 9);
    EXPECT_EQ(ItemAt(tab, 3).image, 6 + 19);
    EXPECT_EQ(app.rec.CurrentPage, 2);  // the hidden Page2 is skipped
    SendMessageW(tab, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 1, 0);  // documents, from a page list
    EXPECT_EQ(ItemAt(tab, 3).image, 6);
    EXPECT_EQ(ItemAt(tab, 1).image, 6 + 19);
    EXPECT_EQ(app.rec.CurrentPage, -1);
}

TEST_F(HostWindowTest, StatusBarAndTooltips) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n"
                     u"[Page2]\r\nComment=1\r\nComment000=abc\r\nFiles=3\r\nFiles000=C:\\a\r\n"
                     u"Files001=C:\\b\r\nFiles002=\r\nFontColor=255\r\n");
    Pump();  // the page pane follows the window
    HWND status = GetDlgItem(app.TabWindow, IDC_STATUSBAR);
    ASSERT_TRUE(status);
    wchar_t text[100] = {};
    SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(U16(text), u" ");  // an empty page leaves the count blank
    RECT client, strip;
    GetClientRect(app.TabWindow, &client);
    GetWindowRect(GetDlgItem(app.TabWindow, IDC_TABSTRIP), &strip);
    EXPECT_LT(strip.bottom - strip.top, client.bottom - 4);  // the status bar takes its share

    HWND tip = app.TabTooltip;
    ASSERT_TRUE(tip);
    // The tooltip asks the strip, the tools' window (e2e.menus shows the tips under the pointer).
    NMTTDISPINFOW info{};
    info.hdr = {tip, 1, TTN_GETDISPINFOW};
    SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_TRUE(info.lpszText);
    EXPECT_EQ(U16(info.lpszText), u"abc\nファイル数 : 2, ");
    EXPECT_EQ(SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0), 255);
    SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
    Pump();

    // A special page's folders are counted on a worker: the tip says so
    // until the count is in.
    App& special = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=1\r\n");
    Pump();
    info = NMTTDISPINFOW{};
    info.hdr = {special.TabTooltip, 0, TTN_GETDISPINFOW};
    SendMessageW(special.TabWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(U16(info.lpszText).find(u"ファイル数 : -----, "), std::u16string::npos);
    auto counted = [&] {
        SendMessageW(special.TabWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return U16(info.lpszText).find(u"-----") == std::u16string::npos;
    };
    for (int i = 0; i < 500 && !counted(); ++i) Pump(), Sleep(10);
    EXPECT_TRUE(counted());
    SendMessageW(special.HostWindow, WM_CLOSE, 0, 0);
    Pump();

    // Without the status bar the strip reaches 2 pixels above the bottom.
    App& bare = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nTabStyle=256\r\n");
    EXPECT_EQ(GetDlgItem(bare.TabWindow, IDC_STATUSBAR), nullptr);
    GetClientRect(bare.TabWindow, &client);
    GetWindowRect(GetDlgItem(bare.TabWindow, IDC_TABSTRIP), &strip);
    EXPECT_EQ(strip.bottom - strip.top, client.bottom - 4);
    SendMessageW(bare.TabWindow, WM_COMMAND, IDM_APPLY_STATUS_FONT, 0);  // nothing to apply: no crash
}

TEST_F(HostWindowTest, AddingAndDuplicatingPagesSelectTheNewTab) {
    App& app = Start();
    Pump();
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 4, 0);  // Page2
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_ADD, 0);
    Pump();
    ASSERT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 9);
    EXPECT_EQ(Selected(), 8);
    EXPECT_EQ(app.rec.CurrentPage, 5);
    EXPECT_EQ(ItemAt(app.TabWindow, 8).text, u"Page6");
    EXPECT_EQ(ItemAt(app.TabWindow, 8).image, 6 + 19);
    EXPECT_EQ(ItemAt(app.TabWindow, 4).image, 6);  // the old tab is back to its half swatch
    EXPECT_EQ(Reload().GlobalSettings.PageCount, 6);

    app.rec.UserPages[1].Label = u"二番";  // as if renamed
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 4, 0);
    SendMessageW(app.TabWindow, WM_SYSCOMMAND, IDM_PAGE_DUPLICATE, 0);  // from the system menu
    Pump();
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 10);
    EXPECT_EQ(Selected(), 5);
    EXPECT_EQ(app.rec.CurrentPage, 2);
    EXPECT_EQ(ItemAt(app.TabWindow, 4).text, u"二番");
    EXPECT_EQ(ItemAt(app.TabWindow, 5).text, u"二番");
    EXPECT_EQ(ItemAt(app.TabWindow, 6).text, u"Page3");
    EXPECT_EQ(ItemAt(app.TabWindow, 6).param, 8 + 3);
    Records back = Reload();
    EXPECT_EQ(back.GlobalSettings.PageCount, 7);
    EXPECT_EQ(back.UserPages[2].Label, u"二番");
    EXPECT_EQ(back.UserPages[6].Label, u"Page6");
}

TEST_F(HostWindowTest, DeletingTheFirstUserPageSelectsTheLastSpecialPage) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=3\r\nTabNumber=2\r\n"
                     u"[Page1]\r\nLabel=P\r\n[Page2]\r\nLabel=Q\r\n[Page3]\r\nLabel=R\r\n");
    Pump();
    test::AnswerNextBox(IDNO);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_DELETE, 0);
    EXPECT_EQ(app.rec.GlobalSettings.PageCount, 3);
    test::AnswerNextBox(IDYES);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_DELETE, 0);
    Pump();
    EXPECT_EQ(app.rec.GlobalSettings.PageCount, 2);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(app.rec.CurrentPage, -1);
    EXPECT_EQ(ItemAt(app.TabWindow, 2).text, u"Q");
    EXPECT_EQ(ItemAt(app.TabWindow, 1).image, 6 + 19);
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].Label, u"Q");
    EXPECT_EQ(back.UserPages[1].Label, u"R");
    EXPECT_EQ(test::TextOf(test::ReadBytes(path)).find(u"[Page3]"), std::u16string::npos);
    // A special page is never deleted, nor the last user page.
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_DELETE, 0);
    EXPECT_EQ(app.rec.GlobalSettings.PageCount, 2);
}

TEST_F(HostWindowTest, DeletingAmongUnmarkedPagesRemovesTheShownPage) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=0\r\nTabNumber=1\r\n"
                     u"[Page1]\r\nLabel=P\r\n[Page2]\r\nLabel=Q\r\nFlag=8192\r\n[Page3]\r\nLabel=R\r\n");
    Pump();
    ASSERT_EQ(app.rec.CurrentPage, 2);  // tab 1 shows R: Q has no tab
    test::AnswerNextBox(IDYES);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_DELETE, 0);
    Pump();
    Records back = Reload();
    ASSERT_EQ(back.GlobalSettings.PageCount, 2);
    EXPECT_EQ(back.UserPages[0].Label, u"P");
    EXPECT_EQ(back.UserPages[1].Label, u"Q");
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(app.rec.CurrentPage, 0);
}

TEST_F(HostWindowTest, ANewPageOrderRebuildsTheTabs) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=0\r\nTabNumber=0\r\n"
                     u"[Page1]\r\nLabel=P\r\n[Page2]\r\nLabel=Q\r\n[Page3]\r\nLabel=R\r\n");
    Pump();
    std::vector<PageRecord> copy = {app.rec.UserPages[2], app.rec.UserPages[0], app.rec.UserPages[1]};
    copy[1].Flag |= PageFlag::Unmarked;  // P loses its mark: no tab while bit 20 is clear
    ApplyNewPageOrder(app, copy);
    Pump();
    ASSERT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ItemAt(app.TabWindow, 0).text, u"R");
    EXPECT_EQ(ItemAt(app.TabWindow, 1).text, u"Q");
    EXPECT_EQ(ItemAt(app.TabWindow, 1).param, 8 + 2);
    EXPECT_EQ(app.rec.CurrentPage, 0);  // the same index, now holding R
    EXPECT_EQ(Selected(), 0);
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].Label, u"R");
    EXPECT_TRUE(back.UserPages[1].Flag & PageFlag::Unmarked);
}

std::vector<UINT> MenuIds(HMENU m) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(m); ++i) ids.push_back(GetMenuItemID(m, i));
    return ids;
}

TEST_F(HostWindowTest, ContextMenuListsMarkedPagesAndCaptionsTheEntry) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=17\r\nTabNumber=2\r\n"
                     u"[Page1]\r\nLabel=A\r\n[Page2]\r\nLabel=B\r\nFlag=8192\r\n");
    Pump();
    std::u16string name = u"notepad";
    {
        ContextMenu menu;
        BuildContextMenu(app, &name, menu);
        ASSERT_TRUE(menu.popup);
        HMENU list = GetSubMenu(menu.popup, 2);
        EXPECT_EQ(MenuIds(list), (std::vector<UINT>{10000, 10001, 0, 10002}));
        EXPECT_EQ(MenuText(list, 0), u"[デスクトップ]");
        EXPECT_EQ(MenuText(menu.popup, 3), PageCaption(app.rec.UserPages[0], false));  // no all-pages list: bit 20 clear
        HMENU page = GetSubMenu(menu.popup, 3);
        wchar_t text[80] = {};
        GetMenuStringW(page, IDM_ENTRY_REMOVE, text, 80, MF_BYCOMMAND);
        EXPECT_EQ(U16(text), RemoveCaption(name));
        EXPECT_TRUE(test::MenuItemState(menu.popup, IDM_VIEW_TILE) & MF_CHECKED);  // ListType 0
        EXPECT_FALSE(test::MenuItemState(menu.popup, IDM_VIEW_ICON) & MF_CHECKED);
        EXPECT_FALSE(test::MenuItemState(menu.popup, IDM_PAGE_DELETE) & MF_GRAYED);
    }
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 0, 0);  // a special page
    {
        ContextMenu menu;
        BuildContextMenu(app, &name, menu);
        HMENU page = GetSubMenu(menu.popup, 3);
        EXPECT_EQ(GetMenuState(page, IDM_ENTRY_ADD, MF_BYCOMMAND), UINT(-1));  // removed
        EXPECT_EQ(GetMenuState(page, IDM_PAGE_DELETE, MF_BYCOMMAND), UINT(-1));
        EXPECT_EQ(MenuText(menu.popup, 3), PageCaption(app.rec.SpecialPages[0], true));
    }
    {
        ContextMenu menu;
        BuildContextMenu(app, nullptr, menu);  // no entry selected
        EXPECT_TRUE(test::MenuItemState(menu.popup, IDM_ENTRY_REMOVE) & MF_GRAYED);
        EXPECT_TRUE(test::MenuItemState(menu.popup, IDM_PAGE_DUPLICATE) & MF_GRAYED);
        EXPECT_FALSE(test::MenuItemState(menu.popup, IDM_ENTRY_ADD) & MF_GRAYED);
    }
    UpdateSystemMenu(app);
    HMENU sys = GetSystemMenu(app.TabWindow, FALSE);
    EXPECT_EQ(MenuText(sys, 2), PageCaption(app.rec.SpecialPages[0], true));
    EXPECT_TRUE(test::MenuItemState(GetSubMenu(sys, 2), IDM_PAGE_DELETE) & MF_GRAYED);
    EXPECT_TRUE(test::MenuItemState(GetSubMenu(sys, 2), IDM_PAGE_EXPORT) & MF_GRAYED);  // a special page
}

TEST_F(HostWindowTest, AllPagesListWithBit20AndOnePageCannotBeDeleted) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\nTabStyle=" +
                     Dec(0x10100 | 0x100000) + u"\r\n[Page1]\r\nLabel=A\r\nFlag=40960\r\n");
    Pump();
    ContextMenu menu;
    BuildContextMenu(app, nullptr, menu);
    EXPECT_EQ(MenuIds(GetSubMenu(menu.popup, 2)), (std::vector<UINT>{0}));  // A is unmarked
    EXPECT_EQ(MenuIds(GetSubMenu(menu.popup, 3)), (std::vector<UINT>{0, 10000}));
    EXPECT_EQ(GetMenuDefaultItem(GetSubMenu(menu.popup, 3), TRUE, 0), 1u);  // the main page, bold
    EXPECT_TRUE(test::MenuItemState(menu.popup, IDM_PAGE_DELETE) & MF_GRAYED);
    UpdateSystemMenu(app);
    EXPECT_TRUE(test::MenuItemState(GetSubMenu(GetSystemMenu(app.TabWindow, FALSE), 2), IDM_PAGE_DELETE) & MF_GRAYED);
}

TEST_F(HostWindowTest, TheLastOfAThousandPagesStaysTrueInMenusTipsSwatchesAndACancelledLogOff) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1000\r\nSpcialFolder=0\r\n[Page1000]\r\n"
                     u"Label=A&B\r\nFlag=1\r\nFiles=2\r\nFiles000=C:\\a\r\nFiles001=\r\n");
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 999, 0);  // from a page list
    while (!PaneLoaded() && !Pump()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    const std::string file = test::ReadBytes(path);
    for (UINT id : {IDM_PAGE_ADD, IDM_PAGE_DUPLICATE, IDM_PAGE_DELETE, IDM_ENTRY_REMOVE})
        test::AnswerNextBox(IDYES), SendMessageW(app.TabWindow, WM_COMMAND, id, 0);
    EXPECT_EQ(test::ReadBytes(path), file);  // at the page limit and locked: nothing added, copied or deleted
    NMTTDISPINFOW tip{{app.TabTooltip, 999, TTN_GETDISPINFOW}};
    SendMessageW(app.TabWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_NE(U16(tip.lpszText).find(u"ファイル数 : 0, "), std::u16string::npos);  // the entry removed
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) { KillTimer(nullptr, id), EndMenu(); });
    SendMessageW(app.TabWindow, 0x0313 /* WM_POPUPSYSTEMMENU: the taskbar button's menu */, 0, 0);
    EXPECT_EQ(MenuText(GetSystemMenu(app.TabWindow, FALSE), 2), PageCaption(app.rec.UserPages[999], false));
    EXPECT_TRUE(test::MenuItemState(GetSubMenu(GetSystemMenu(app.TabWindow, FALSE), 2), IDM_PAGE_DELETE) & MF_GRAYED);
    INT face = COLOR_BTNFACE;  // the half swatches stand on the face colour of the moment
    const COLORREF was = GetSysColor(face), green = RGB(0, 200, 0);
    SetSysColors(1, &face, &green);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(8, 16, 1, 32, nullptr));
    ImageList_Draw(HIMAGELIST(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETIMAGELIST, 0, 0)), 0, dc, 0, 0, 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), green);
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc), SetSysColors(1, &face, &was);
    EXPECT_TRUE(SendMessageW(app.HostWindow, WM_QUERYENDSESSION, 0, 0));
    SendMessageW(app.HostWindow, WM_ENDSESSION, FALSE, 0);  // another program cancelled the log-off
    EXPECT_EQ(Reload().GlobalSettings.TabNumber, 999);
    EXPECT_TRUE(IsWindowVisible(app.TabWindow) && CurrentPagePane() && !Pump());
    EXPECT_TRUE(!SendMessageW(app.HostWindow, WM_ENDSESSION, TRUE, 0) && Pump() && !app.TabWindow);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetSystemMenu(Start().TabWindow, FALSE), 2)), 5);  // its own page commands
}

// Fails on a letter that follows a single "&" in two of `texts`.
void ExpectUniqueKeys(const std::vector<std::u16string>& texts, const std::string& where) {
    std::u16string seen;
    for (const std::u16string& t : texts) {
        size_t at = 0;
        while ((at = t.find(u'&', at)) != std::u16string::npos && at + 1 < t.size() && t[at + 1] == u'&') at += 2;
        if (at == std::u16string::npos || at + 1 >= t.size()) continue;
        const char16_t key = char16_t(towupper(wchar_t(t[at + 1])));
        EXPECT_EQ(seen.find(key), std::u16string::npos) << where << ": " << ToUtf8(t);
        seen += key;
    }
}

// Every level of a menu on its own; Wine's own system-menu items left out.
void ExpectUniqueMenuKeys(HMENU m, const std::string& where) {
    std::vector<std::u16string> texts;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
        const UINT id = GetMenuItemID(m, i);
        if (id < 0xF000 || id == UINT(-1) || id == SC_MOVE || id == SC_SIZE || id == SC_MINIMIZE || id == SC_CLOSE)
            texts.push_back(MenuText(m, i));
        if (HMENU sub = GetSubMenu(m, i)) ExpectUniqueMenuKeys(sub, where + " > " + std::to_string(i));
    }
    ExpectUniqueKeys(texts, where);
}

// The texts a key reaches in the dialog of template `id` (buttons, labels),
// failing on a control that takes the keyboard without a name a screen
// reader can say: its own text (not an edit's, combo box's or list box's,
// which is content), or the label just before it.
std::vector<std::u16string> KeyTextsOfNamedControls(HWND host, int id) {
    HWND d = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(id), host, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
    std::vector<std::u16string> texts;
    std::u16string label;
    for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kind[32] = {};
        GetClassNameW(c, kind, 32);
        const std::u16string text = WindowText(c), k = U16(kind);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        if (k == u"Button" || (k == u"Static" && !(style & SS_NOPREFIX))) texts.push_back(text);
        if (k == u"Static" && !text.empty()) label = text;
        if (k == u"Static" || !(style & WS_TABSTOP) || k == u"msctls_updown32") continue;
        EXPECT_FALSE((k == u"Edit" || k == u"ComboBox" || k == u"ListBox" || text.empty()) && label.empty())
            << "template " << id << ": control " << GetDlgCtrlID(c);
        label.clear();
    }
    DestroyWindow(d);
    return texts;
}

TEST_F(HostWindowTest, NoMenuLevelAndNoDialogRepeatsAnAccessKeyAndEveryControlHasAName) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\n[Page1]\r\n");  // every item
    std::u16string name = u"notepad.exe";
    ContextMenu menu;
    BuildContextMenu(app, &name, menu, MenuEntryKind::Program);
    ExpectUniqueMenuKeys(menu.popup, "context menu");
    ExpectUniqueMenuKeys(GetSystemMenu(app.TabWindow, FALSE), "system menu");
    for (int id : {IDD_MESSAGEBOX, IDD_ABOUT, IDD_RUNARGUMENTS, IDD_FINDBOX, IDD_PAGEPANE})
        ExpectUniqueKeys(KeyTextsOfNamedControls(app.TabWindow, id), std::to_string(id));
    // A settings frame's keys work together with its pane's.
    for (int pane : {IDD_LABELPANE, IDD_VIEWPANE, IDD_FONTPANE, IDD_COLOURPANE, IDD_GENERALPANE, IDD_FOLDERSPANE,
                     IDD_PAGESPANE, IDD_LABELCOLOURSPANE}) {
        std::vector<std::u16string> both = KeyTextsOfNamedControls(
            app.TabWindow, pane <= IDD_FILEINFOPANE ? IDD_PAGESETTINGS : IDD_GENERALSETTINGS);
        for (const std::u16string& t : KeyTextsOfNamedControls(app.TabWindow, pane)) both.push_back(t);
        ExpectUniqueKeys(both, "pane " + std::to_string(pane));
    }
}

// A high-contrast theme's colours stand above the page's and the texture;
// they reach the list through the tab window. A picture is left to look at.
TEST_F(HostWindowTest, InAHighContrastThemeTheWindowTakesTheThemesColours) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\n[Page1]\r\n"
                     u"FontColor=255\r\nFontColorBk=65535\r\n");  // red on yellow
    Pump();
    const int indices[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF theme[] = {0, 0xFFFFFF, 0, 0xFFFFFF};
    COLORREF before[4];
    for (int i = 0; i < 4; ++i) before[i] = GetSysColor(indices[i]);
    for (bool on : {true, false}) {
        PretendHighContrast(on), SetSysColors(4, indices, on ? theme : before);
        SendMessageW(app.TabWindow, WM_SYSCOLORCHANGE, 0, 0);
        HWND list = GetDlgItem(CurrentPagePane(), IDC_PAGELIST);
        EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0) + SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0),
                  on ? 0xFFFFFF : 65535 + 255);
        EXPECT_EQ(BackgroundBrush() == nullptr, on);
        if (on) EXPECT_EQ(e2e::RunLinuxCommand("import -window root /tmp/vellumcraft-high-contrast.png"), 0);
    }
}

TEST(Platform, VersionsUnderThisSystem) {
    uint32_t v = DetermineWindowsVersion();
    EXPECT_TRUE(v == 500 || v == 510 || v == 600 || v == 610 || v == 620 || v == 630 || v == 1000 || v == 1100);
    // The manifest asks for common controls 6: balloon tips and the rest need at least 5.80.
    EXPECT_GE(DetermineCommonControlsVersion(), 580);
}

}  // namespace
}  // namespace vc
