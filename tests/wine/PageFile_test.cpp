// The tab window's commands that write a page to a file and read it back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/MessageBoxes_win.h"
#include "tabwindow/PageFile.h"
#include "tabwindow/PageFile_win.h"

namespace vc {
namespace {

std::u16string g_chosen, g_proposed;  // what the dialogs give, and the name they were offered
int g_dialogs = 0;

class PageFileCommandTest : public test::AppFixture {
protected:
    void SetUp() override {
        g_chosen = dir.File(u"page.vcpage");
        g_dialogs = 0;
        SetPageFileDialogHook([](bool save, std::u16string& p) {
            ++g_dialogs;
            if (save) g_proposed = p;
            p = g_chosen;
            return true;
        });
    }
    void TearDown() override {
        SetPageFileDialogHook(nullptr);
        AppFixture::TearDown();
    }
    std::vector<std::u16string> Import(App& app) {
        return test::BoxesDuring([&] { SendMessageW(app.TabWindow, WM_SYSCOMMAND, IDM_PAGE_IMPORT, 0); });
    }
};

TEST_F(PageFileCommandTest, AnExportedPageComesBackAsTheTabAfterTheCurrentOne) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\n[Page1]\r\nLabel=A\r\n"
                     u"[Page2]\r\nLabel=B:C\r\nComment=2\r\nComment000=x\r\nComment001=y\r\nFiles=1\r\n"
                     u"Files000=C:\\t.exe\r\nFontColor=255\r\nPageColumnWidth=9,8,7,6,5,\r\n");
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 1, 0);
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_EXPORT, 0);
    const PageRecord exported = app.rec.UserPages[1];
    EXPECT_EQ(g_proposed, u"B_C");
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + 0, 0);
    EXPECT_TRUE(Import(app).empty());
    Pump();
    EXPECT_EQ(app.rec.CurrentPage, 1);
    EXPECT_EQ(SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETCURSEL, 0, 0), 1);
    Records back = Reload();
    ASSERT_EQ(back.UserPages.size(), 3u);
    EXPECT_EQ(back.UserPages[1], exported);
    EXPECT_EQ(back.UserPages[2].Label, u"B:C");

    // A file that is no page file: told once, nothing added.
    test::WriteBytes(g_chosen, "[Page1]\r\nLabel=x\r\n");
    EXPECT_EQ(Import(app), std::vector<std::u16string>{PageFileProblemText(PageFileProblem::NotUtf16)});
    EXPECT_EQ(Reload().UserPages.size(), 3u);
    Close();

    // At the page limit the command says so before any dialog.
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1000\r\nSpcialFolder=0\r\n");
    g_dialogs = 0;
    EXPECT_EQ(Import(TheApp()), std::vector<std::u16string>{u"ページは 1000 個までです。これ以上ページを追加できません。"});
    EXPECT_EQ(g_dialogs, 0);
}

}  // namespace
}  // namespace vc
