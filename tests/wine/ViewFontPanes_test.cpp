// The view and font panes of the page settings dialog on the program's real
// windows: what they show of the page, what reaches the working copy, the
// sample strip and the settings file, and the defaults for new pages.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

constexpr int kViewPane = 1, kFontPane = 2;
constexpr int kViewButton = 1012, kFontButton = 1013;

// The control `id` of the pane the dialog shows.
HWND Control(HWND dialog, int id) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (c != GetDlgItem(dialog, IDC_SETTINGS_TOOLBAR))
            if (HWND control = GetDlgItem(c, id)) return control;
    return nullptr;
}

void Click(HWND w) { SendMessageW(w, BM_CLICK, 0, 0); }
bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

LOGFONTW FontOf(HWND w) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

class ViewFontPanesTest : public test::AppFixture {
protected:
    App& StartOn(std::u16string_view page1) {
        App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\nTabNumber=0\r\n[Page1]\r\n"
                         u"Label=Tools\r\n" +
                         std::u16string(page1));
        for (int i = 0; i < 3000 && !PaneLoaded(); ++i) {
            Pump();
            Sleep(1);
        }
        return app;
    }

    // Opens the dialog on `pane` and runs `act` in it.
    void RunDialog(int pane, std::function<void(HWND)> act) {
        PageSettingsPaneIndex() = pane;
        test::RunSettingsDialog(IDM_PAGE_SETTINGS, std::move(act));
    }

    const PageRecord& Page() { return TheApp().rec.UserPages.at(0); }
};

TEST_F(ViewFontPanesTest, TheViewOutlivesPaneSwitchesAndTheExtensionBoxChangesOnlyItsBit) {
    StartOn(u"ListType=8193\r\n");  // 0x2001: icons without extensions, and a bit no control shows
    bool details = false, icons = true;
    RunDialog(kViewPane, [&](HWND dialog) {
        Click(Control(dialog, IDC_VIEW_DETAILS));
        Click(Control(dialog, IDC_VIEW_EXTENSIONS));
        SendMessageW(dialog, WM_COMMAND, kFontButton, 0);
        SendMessageW(dialog, WM_COMMAND, kViewButton, 0);
        details = Checked(Control(dialog, IDC_VIEW_DETAILS));
        icons = Checked(Control(dialog, IDC_VIEW_ICON));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(details);
    EXPECT_FALSE(icons);
    EXPECT_EQ(Page().ListType, 0x2103u);
    EXPECT_EQ(SendDlgItemMessageW(CurrentPagePane(), IDC_PAGELIST, LVM_GETVIEW, 0, 0), LRESULT(LV_VIEW_DETAILS));
    Close();  // the page pane stores the view state as it goes
    EXPECT_EQ(Reload().UserPages[0].ListType, 0x2103u);
}

TEST_F(ViewFontPanesTest, TilesAreOfferedFromXpOnButATilePageShowsItsViewOnEveryVersion) {
    App& app = StartOn(u"ListType=0\r\n");
    for (uint32_t version : {500u, 510u}) {
        app.rec.WindowsVersion = version;
        bool enabled = false, checked = false;
        RunDialog(kViewPane, [&](HWND dialog) {
            enabled = IsWindowEnabled(Control(dialog, IDC_VIEW_TILE));
            checked = Checked(Control(dialog, IDC_VIEW_TILE));
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(enabled, version >= 510) << version;
        EXPECT_TRUE(checked) << version;
    }
}

TEST_F(ViewFontPanesTest, TheViewBecomesTheDefaultWithTheExtensionBoxAsShownOnYesOnly) {
    App& app = StartOn(u"ListType=1\r\n");
    const PageRecord defaults = app.rec.DefaultPage;
    const std::string before = test::ReadBytes(path);
    bool untouchedAfterNo = false;
    RunDialog(kViewPane, [&](HWND dialog) {
        Click(Control(dialog, IDC_VIEW_DETAILS));
        Click(Control(dialog, IDC_VIEW_EXTENSIONS));
        test::AnswerNextBox(IDNO);
        Click(Control(dialog, IDC_VIEW_MAKEDEFAULT));
        untouchedAfterNo = app.rec.DefaultPage == defaults && test::ReadBytes(path) == before;
        test::AnswerNextBox(IDYES);
        Click(Control(dialog, IDC_VIEW_MAKEDEFAULT));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(untouchedAfterNo);
    PageRecord expected = defaults;
    expected.ListType = 0x103;
    EXPECT_EQ(app.rec.DefaultPage, expected);
    EXPECT_EQ(Reload().DefaultPage.ListType, 0x103u);
    EXPECT_EQ(Page().ListType, 1u);
}

TEST_F(ViewFontPanesTest, TheFontListHoldsEachFaceOnceAndShowsAFaceNotInstalledAsStored) {
    StartOn(u"FontName=Not Installed Anywhere\r\n");
    std::vector<std::u16string> items;
    std::u16string selected;
    RunDialog(kFontPane, [&](HWND dialog) {
        HWND combo = Control(dialog, IDC_FONT_FACE);
        for (int i = 0; i < int(SendMessageW(combo, CB_GETCOUNT, 0, 0)); ++i) {
            wchar_t text[LF_FACESIZE + 1] = {};
            SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            items.push_back(U16(text));
        }
        selected = WindowText(combo);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_FALSE(items.empty());
    // Most faces come in the Japanese and the Western set; sorted, a face
    // listed twice would sit next to itself.
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_FALSE(EqualsNoCase(items[i - 1], items[i])) << test::Narrow(items[i]);
    EXPECT_EQ(selected, u"Not Installed Anywhere");  // no face of the list, a vertical one least of all
    EXPECT_EQ(Reload().UserPages[0].FontName, selected);
}

class FontSizeTest : public ViewFontPanesTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(FontSizeTest, ASizeOutOfRangeShowsAndIsStoredAsTheNearestOffered) {
    const auto [stored, shown] = GetParam();
    StartOn(u"FontSize=" + Dec(stored) + u"\r\n");
    std::u16string text;
    RunDialog(kFontPane, [&](HWND dialog) {
        text = WindowText(Control(dialog, IDC_FONT_SIZE));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(text, Dec(shown));
    EXPECT_EQ(Page().FontSize, shown);
    EXPECT_EQ(Reload().UserPages[0].FontSize, shown);
}
INSTANTIATE_TEST_SUITE_P(Sizes, FontSizeTest, ::testing::Values(std::pair(40, 32), std::pair(5, 10)));

TEST_F(ViewFontPanesTest, EveryChangeReachesTheSampleAtOnceAndCancelDropsIt) {
    StartOn(u"FontName=Tahoma\r\nFontSize=13\r\nFontStyle=0\r\n");
    const PageRecord original = Page();
    int heights[3] = {}, weight = 0;
    std::u16string face, sampleFace;
    RunDialog(kFontPane, [&](HWND dialog) {
        HWND sample = GetDlgItem(dialog, IDC_SETTINGS_SAMPLE);
        heights[0] = FontOf(sample).lfHeight;
        // A click on the upper arrow, as the mouse makes it.
        HWND spin = Control(dialog, IDC_FONT_SIZESPIN);
        RECT r;
        GetClientRect(spin, &r);
        SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 4));
        SendMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 4));
        heights[1] = FontOf(sample).lfHeight;
        // Two presses of the down key in the size field.
        HWND edit = Control(dialog, IDC_FONT_SIZE);
        for (int i = 0; i < 2; ++i) {
            SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
            SendMessageW(edit, WM_KEYUP, VK_DOWN, 0);
        }
        heights[2] = FontOf(sample).lfHeight;
        HWND combo = Control(dialog, IDC_FONT_FACE);
        const int other = SendMessageW(combo, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
        SendMessageW(combo, CB_SETCURSEL, WPARAM(other), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_FONT_FACE, CBN_SELCHANGE), LPARAM(combo));
        face = WindowText(combo);
        sampleFace = U16(FontOf(sample).lfFaceName);
        Click(Control(dialog, IDC_FONT_BOLD));
        weight = FontOf(sample).lfWeight;
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(heights[0], 13);
    EXPECT_EQ(heights[1], 14);
    EXPECT_EQ(heights[2], 12);
    EXPECT_NE(face, u"Tahoma");
    EXPECT_EQ(sampleFace, face);
    EXPECT_EQ(weight, 700);
    EXPECT_EQ(Page(), original);
}

TEST_F(ViewFontPanesTest, HiddenUnderlineAndStrikeOutKeepTheirValuesAndEachBoxShowsItsEffect) {
    StartOn(u"FontStyle=61\r\n");  // 0x3D: bold, underline, strike-out and two bits no box has
    LOGFONTW box[4]{}, sample{};
    HFONT boxFonts[4] = {};
    bool hiddenAndChecked = false;
    RunDialog(kFontPane, [&](HWND dialog) {
        const int ids[4] = {IDC_FONT_BOLD, IDC_FONT_ITALIC, IDC_FONT_UNDERLINE, IDC_FONT_STRIKEOUT};
        for (int i = 0; i < 4; ++i) {
            box[i] = FontOf(Control(dialog, ids[i]));
            boxFonts[i] = reinterpret_cast<HFONT>(SendMessageW(Control(dialog, ids[i]), WM_GETFONT, 0, 0));
        }
        hiddenAndChecked = true;
        for (int id : {IDC_FONT_UNDERLINE, IDC_FONT_STRIKEOUT}) {
            HWND b = Control(dialog, id);
            hiddenAndChecked = hiddenAndChecked && !IsWindowVisible(b) && Checked(b);
        }
        sample = FontOf(GetDlgItem(dialog, IDC_SETTINGS_SAMPLE));
        Click(Control(dialog, IDC_FONT_BOLD));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(hiddenAndChecked);
    EXPECT_EQ(box[0].lfWeight, 700);
    EXPECT_TRUE(box[1].lfItalic && !box[1].lfUnderline && box[1].lfWeight < 700);
    EXPECT_TRUE(box[2].lfUnderline && !box[2].lfItalic);
    EXPECT_TRUE(box[3].lfStrikeOut && !box[3].lfUnderline);
    EXPECT_FALSE(sample.lfUnderline || sample.lfStrikeOut);
    EXPECT_EQ(Page().FontStyle, 0xCu);
    EXPECT_EQ(Reload().UserPages[0].FontStyle, 0xCu);
    for (HFONT font : boxFonts) EXPECT_EQ(GetObjectType(font), 0u) << "a style font outlived its pane";
}

TEST_F(ViewFontPanesTest, TheFontBecomesTheDefaultAsThePaneShowsIt) {
    App& app = StartOn(u"FontName=tahoma\r\nFontSize=40\r\nFontStyle=2\r\n");
    PageRecord expected = app.rec.DefaultPage;
    RunDialog(kFontPane, [&](HWND dialog) {
        test::AnswerNextBox(IDYES);
        Click(Control(dialog, IDC_FONT_MAKEDEFAULT));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    expected.FontName = u"Tahoma";  // spelled as the list spells it
    expected.FontSize = 32;
    expected.FontStyle = 2;
    EXPECT_EQ(app.rec.DefaultPage, expected);
    const Records stored = Reload();
    EXPECT_EQ(stored.DefaultPage.FontName, u"Tahoma");
    EXPECT_EQ(stored.DefaultPage.FontSize, 32);
    EXPECT_EQ(stored.DefaultPage.FontStyle, 2u);
    EXPECT_EQ(Page().FontSize, 40);
}

}  // namespace
}  // namespace vc
