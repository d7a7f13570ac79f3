// The label pane of the page settings dialog on the program's real windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pagesettings/PageSettings_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

class LabelPaneTest : public test::AppFixture {
protected:
    void SetUp() override { PageSettingsPaneIndex() = 0; }

    App& StartWith(std::u16string_view page1, std::u16string_view global = u"SpcialFolder=0\r\nTabNumber=0\r\n") {
        App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n" + std::u16string(global) + u"[Page1]\r\n" +
                         std::u16string(page1));
        Pump();
        return app;
    }
    static void Run(std::function<void(HWND pane)> act, int end = IDOK) {
        test::RunSettingsDialog(IDM_PAGE_SETTINGS, [&](HWND dialog) {
            HWND pane = test::PaneHolding(dialog, IDC_LABEL_TEXT);
            EXPECT_TRUE(pane) << "no label pane";
            if (pane) act(pane);
            SendMessageW(dialog, WM_COMMAND, end, 0);
        });
    }
    static bool ReadOnly(HWND pane, int id) { return GetWindowLongPtrW(GetDlgItem(pane, id), GWL_STYLE) & ES_READONLY; }
};

TEST_F(LabelPaneTest, TheLongestLabelAndCommentSurviveAndTheEditsTakeNoMore) {
    StartWith(u"Label=Old\r\nComment=Before\r\n");
    const std::u16string label(31, u'ラ'), comment = std::u16string(50, u'c') + u"\r\n" + std::u16string(47, u'd');
    LRESULT labelLimit = 0, commentLimit = 0;
    bool readOnly = true;
    Run([&](HWND pane) {
        labelLimit = SendDlgItemMessageW(pane, IDC_LABEL_TEXT, EM_GETLIMITTEXT, 0, 0);
        commentLimit = SendDlgItemMessageW(pane, IDC_LABEL_COMMENT, EM_GETLIMITTEXT, 0, 0);
        readOnly = ReadOnly(pane, IDC_LABEL_TEXT) || ReadOnly(pane, IDC_LABEL_COMMENT);
        SetDlgItemTextW(pane, IDC_LABEL_TEXT, AsW(label));
        SetDlgItemTextW(pane, IDC_LABEL_COMMENT, AsW(comment));
    });
    EXPECT_EQ(labelLimit, 31);
    EXPECT_EQ(commentLimit, 99);
    EXPECT_FALSE(readOnly);
    const Records stored = Reload();
    EXPECT_EQ(stored.UserPages[0].Label, label);
    EXPECT_EQ(stored.UserPages[0].Comment, comment);
    wchar_t tab[64] = {};
    TCITEMW item{TCIF_TEXT};
    item.pszText = tab;
    item.cchTextMax = 64;
    SendDlgItemMessageW(TheApp().TabWindow, IDC_TABSTRIP, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(U16(tab), label);
}

TEST_F(LabelPaneTest, TheCommentTakesNoLineTheFileWouldDrop) {
    StartWith(u"Comment000=a\r\nComment001=b\r\nComment002=c\r\nComment003=d\r\nComment004=e\r\nComment=5\r\n");
    Run([](HWND pane) {
        HWND edit = GetDlgItem(pane, IDC_LABEL_COMMENT);
        SendMessageW(edit, EM_SETSEL, 1, 1);
        SendMessageW(edit, WM_CHAR, '\r', 0);  // Enter after "a"
        SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(L"x\r\ny"));  // as a paste lands
        SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(L"z"));
    });
    EXPECT_EQ(Reload().UserPages[0].Comment, u"az\r\nb\r\nc\r\nd\r\ne");
}

// However it got there, the page keeps what the file keeps; Esc in the box cancels.
TEST_F(LabelPaneTest, ACommentSetFromOutsideKeepsFiveLinesAndEscInItCancels) {
    StartWith(u"Label=Old\r\n");
    Run([](HWND pane) { SetDlgItemTextW(pane, IDC_LABEL_COMMENT, L"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7"); });
    std::u16string shown;
    test::RunSettingsDialog(IDM_PAGE_SETTINGS, [&](HWND dialog) {
        HWND pane = test::PaneHolding(dialog, IDC_LABEL_COMMENT), edit = GetDlgItem(pane, IDC_LABEL_COMMENT);
        shown = WindowText(edit), SetDlgItemTextW(pane, IDC_LABEL_TEXT, L"New");
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // reached only if Esc left the dialog open
    });
    EXPECT_EQ(shown, u"1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_EQ(Reload().UserPages[0].Comment + Reload().UserPages[0].Label, shown + u"Old");
}

TEST_F(LabelPaneTest, TheLockTakesItsBitsAloneAndCancelForgetsIt) {
    // 0x8000 (main page) and 0x2000 stay; 0x10 and 0x20 go with the lock box.
    StartWith(u"Flag=41008\r\n");  // 0xA030
    Run([](HWND pane) {
        EXPECT_EQ(IsDlgButtonChecked(pane, IDC_LABEL_LOCK), BST_UNCHECKED);
        SendDlgItemMessageW(pane, IDC_LABEL_LOCK, BM_CLICK, 0, 0);
    }, IDCANCEL);
    EXPECT_EQ(TheApp().rec.UserPages[0].Flag, 0xA030u);

    Run([](HWND pane) {
        SendDlgItemMessageW(pane, IDC_LABEL_LOCK, BM_CLICK, 0, 0);
        EXPECT_EQ(PageSettingsWorkingCopy().Flag, 0xA001u);  // at once, for the sample
    });
    EXPECT_EQ(TheApp().rec.UserPages[0].Flag, 0xA001u);
    EXPECT_EQ(Reload().UserPages[0].Flag, 0xA001u);
}

TEST_F(LabelPaneTest, AWellKnownFolderPageKeepsItsTextsButTakesLockAndColour) {
    App& app = StartWith(u"", u"SpcialFolder=1\r\nTabNumber=0\r\n");
    ASSERT_EQ(app.rec.ShownSpecialCount, 1);
    const std::u16string label = app.rec.SpecialPages[0].Label;
    Run([&](HWND pane) {
        EXPECT_TRUE(ReadOnly(pane, IDC_LABEL_TEXT));
        EXPECT_TRUE(ReadOnly(pane, IDC_LABEL_COMMENT));
        EXPECT_EQ(WindowText(GetDlgItem(pane, IDC_LABEL_TEXT)), label);
        SendDlgItemMessageW(pane, IDC_LABEL_LOCK, BM_CLICK, 0, 0);
        SendDlgItemMessageW(pane, IDC_LABEL_COLOUR, CB_SETCURSEL, 9, 0);
    });
    EXPECT_EQ(app.rec.SpecialPages[0].Label, label);
    EXPECT_EQ(app.rec.SpecialPages[0].LabelColor, 9);
    EXPECT_TRUE(app.rec.SpecialPages[0].Flag & PageFlag::NoChanges);
    EXPECT_EQ(Reload().SpecialPages[0].LabelColor, 9);
}

TEST_F(LabelPaneTest, TheColourListOffersEveryColourSixRowsAtATime) {
    StartWith(u"LabelColor=16\r\n");
    Run([](HWND pane) {
        HWND combo = GetDlgItem(pane, IDC_LABEL_COLOUR);
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 19);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 16);
        EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 18, 0), 18);
        wchar_t name[32] = {};  // what a screen reader says of the row: the name it draws
        SendMessageW(combo, CB_GETLBTEXT, 14, reinterpret_cast<LPARAM>(name));
        EXPECT_EQ(U16(name), u"カスタム1");
        const LRESULT row = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
        ASSERT_GT(row, 4);
        RECT dropped{}, window{};
        SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        GetWindowRect(combo, &window);
        EXPECT_EQ(((dropped.bottom - dropped.top) - (window.bottom - window.top)) / row, 6);

        // A custom colour's row: the colour, and its name in white on the
        // default dark grey-green.
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, int(row));
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        DRAWITEMSTRUCT item{ODT_COMBOBOX, IDC_LABEL_COLOUR, 14, ODA_DRAWENTIRE, 0, combo, dc, {0, 0, 120, int(row)}, 14};
        SendMessageW(pane, WM_DRAWITEM, IDC_LABEL_COLOUR, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(GetPixel(dc, 3, 3), RGB(96, 128, 128));
        int white = 0;
        for (int x = 8; x < 110; ++x)
            for (int y = 3; y < int(row) - 3; ++y) white += GetPixel(dc, x, y) == RGB(255, 255, 255);
        EXPECT_GT(white, 10) << "no white text on the custom colour";
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }, IDCANCEL);
}

TEST_F(LabelPaneTest, ADamagedColourBecomesOneThatExists) {
    StartWith(u"LabelColor=25\r\n");
    Run([](HWND pane) { EXPECT_EQ(SendDlgItemMessageW(pane, IDC_LABEL_COLOUR, CB_GETCURSEL, 0, 0), CB_ERR); });
    const int32_t stored = Reload().UserPages[0].LabelColor;
    EXPECT_GE(stored, 0);
    EXPECT_LT(stored, 19);
}

}  // namespace
}  // namespace vc
