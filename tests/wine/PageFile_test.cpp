// The tab window's commands that write a page to a file and read it back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "tabwindow/PageFile_win.h"

namespace vc {

std::u16string g_proposed, g_chosen;  // the name the save dialog was offered, the file chosen

struct PageFileCommandTest : test::AppFixture {};

TEST_F(PageFileCommandTest, AnExportedPageComesBackAsTheTabAfterTheCurrentOne) {
    g_chosen = dir.File(u"page.vcpage");
    SetPageFileDialogHook([](bool save, std::u16string& p) {
        if (save) g_proposed = p;
        p = g_chosen;
        return true;
    });
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n[Page1]\r\nLabel=A\r\n"
                     u"[Page2]\r\nLabel=B:C\r\nComment=1\r\nComment000=x\r\nFiles=1\r\nFiles000=C:\\t.exe\r\n");
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 1, 0);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_EXPORT, 0);
    const PageRecord exported = app.rec.UserPages[1];
    EXPECT_EQ(g_proposed, u"B_C");
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 0, 0);
    SendMessageW(app.TabWindow, WM_SYSCOMMAND, IDM_PAGE_IMPORT, 0);  // from the system menu
    SetPageFileDialogHook(nullptr);
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0), 1);
    Records back = Reload();
    ASSERT_EQ(back.UserPages.size(), 3u);
    EXPECT_EQ(back.UserPages[1], exported);
    EXPECT_EQ(back.UserPages[2].Label, u"B:C");
}

}  // namespace vc
