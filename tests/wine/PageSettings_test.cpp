// The page settings dialog on the program's real windows: what it shows of
// the page, its panes, and what OK and Cancel leave behind.
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
#include "pageview/PaneState.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

std::u16string Text(HWND w) { return WindowText(w); }

class PageSettingsTest : public test::AppFixture {
protected:
    std::u16string entries;

    void SetUp() override {
        for (const char16_t* name : {u"first.tar.gz", u"second.txt", u"third"})
            test::WriteBytes(dir.File(name), "x");
        entries = u"Files000=" + dir.File(u"first.tar.gz") + u"\r\nFiles001=" + dir.File(u"second.txt") +
                  u"\r\nFiles002=" + dir.File(u"third") + u"\r\nFiles=3\r\n";
        PageSettingsPaneIndex() = 0;
    }

    App& StartOn(std::u16string_view page1) {
        App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nSpcialFolder=0\r\nTabNumber=0\r\n[Page1]\r\n"
                         u"Label=Tools\r\nLabelColor=2\r\n" +
                         std::u16string(page1) + u"[Page2]\r\nLabel=Other\r\n");
        for (int i = 0; i < 3000 && !PaneLoaded(); ++i) {
            Pump();
            Sleep(1);
        }
        return app;
    }

    static void RunDialog(std::function<void(HWND)> act) { test::RunSettingsDialog(IDM_PAGE_SETTINGS, std::move(act)); }

    static std::u16string TabText(int tab, int* image = nullptr) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 64;
        SendDlgItemMessageW(TheApp().TabWindow, IDC_TABSTRIP, TCM_GETITEMW, WPARAM(tab), reinterpret_cast<LPARAM>(&item));
        if (image) *image = item.iImage;
        return U16(text);
    }
};

TEST_F(PageSettingsTest, ShowsThePageAndGoesThroughItsEntryNames) {
    StartOn(entries);
    ASSERT_EQ(ThePane().EntryCount, 3);
    std::u16string caption, sample[4];
    int buttons = 0;
    bool checked = false;
    RunDialog([&](HWND dialog) {
        caption = Text(dialog);
        HWND strip = GetDlgItem(dialog, IDC_SETTINGS_SAMPLE);
        sample[0] = Text(strip);
        for (int i = 1; i < 4; ++i) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SAMPLE, STN_CLICKED), LPARAM(strip));
            sample[i] = Text(strip);
        }
        HWND toolbar = GetDlgItem(dialog, IDC_SETTINGS_TOOLBAR);
        buttons = int(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        checked = SendMessageW(toolbar, TB_ISBUTTONCHECKED, 1011, 0) != 0;
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(caption, u"Vellumcraft - ページ \"Tools\" の設定");
    // Each name up to its first dot, from the first entry round again.
    EXPECT_EQ(sample[0], u"first");
    EXPECT_EQ(sample[1], u"second");
    EXPECT_EQ(sample[2], u"third");
    EXPECT_EQ(sample[3], u"first");
    EXPECT_EQ(buttons, 5);
    EXPECT_TRUE(checked);
}

TEST_F(PageSettingsTest, MovedToAMonitorOfAnotherDpiTheDialogTakesTheRectangleAndRemakesItsPictures) {
    StartOn(entries);
    RECT taken{}, wanted{};
    int before = 0, after = 0;
    LONG fontBefore = 0, fontAfter = 0;
    std::vector<LONG> iconWidths;
    RunDialog([&](HWND dialog) {
        auto pictureAndFont = [&](int& picture, LONG& height) {
            HIMAGELIST list = reinterpret_cast<HIMAGELIST>(
                SendDlgItemMessageW(dialog, IDC_SETTINGS_TOOLBAR, TB_GETIMAGELIST, 0, 0));
            int cy = 0;
            ImageList_GetIconSize(list, &picture, &cy);
            LOGFONTW lf{};
            GetObjectW(HFONT(SendDlgItemMessageW(dialog, IDC_SETTINGS_SAMPLE, WM_GETFONT, 0, 0)), sizeof lf, &lf);
            height = lf.lfHeight;
            ICONINFO info{};  // and the caption's icon
            BITMAP icon{};
            GetIconInfo(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)), &info);
            GetObjectW(info.hbmColor, sizeof icon, &icon);
            iconWidths.push_back(icon.bmWidth);
            DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
        };
        pictureAndFont(before, fontBefore);
        GetWindowRect(dialog, &taken);  // the place at 96 DPI, for now
        wanted = {taken.left + 10, taken.top + 10, taken.left + 10 + (taken.right - taken.left) * 3 / 2,
                  taken.top + 10 + (taken.bottom - taken.top) * 3 / 2};
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&wanted));
        GetWindowRect(dialog, &taken);
        pictureAndFont(after, fontAfter);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(EqualRect(&taken, &wanted));
    EXPECT_EQ(before, 24);
    EXPECT_EQ(after, 36);
    EXPECT_EQ(fontAfter, fontBefore * 3 / 2);
    EXPECT_EQ(iconWidths, (std::vector<LONG>{16, 24}));
}

TEST_F(PageSettingsTest, APageWithoutEntriesKeepsTheSampleText) {
    StartOn(u"");
    std::u16string before, after;
    RunDialog([&](HWND dialog) {
        HWND strip = GetDlgItem(dialog, IDC_SETTINGS_SAMPLE);
        before = Text(strip);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SAMPLE, STN_CLICKED), LPARAM(strip));
        after = Text(strip);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(before, u"Quernhall");
    EXPECT_EQ(after, u"Quernhall");
}

TEST_F(PageSettingsTest, ThePaneShownLastIsShownAgainAndAClickOnItsButtonKeepsIt) {
    StartOn(entries);
    HWND shown = nullptr, again = nullptr;
    std::u16string row, count;
    RunDialog([&](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_TOOLBAR), TB_CHECKBUTTON, 1015, TRUE);
        SendMessageW(dialog, WM_COMMAND, 1015, 0);
        HWND list = FindWindowExW(dialog, nullptr, WC_LISTVIEWW, nullptr);
        if (!list) {
            for (HWND c = GetWindow(dialog, GW_CHILD); c && !list; c = GetWindow(c, GW_HWNDNEXT))
                list = GetDlgItem(c, IDC_FILEINFO_LIST);
        }
        shown = list ? GetParent(list) : nullptr;
        wchar_t text[64] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        row = U16(text);
        item.iSubItem = 1;
        SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        count = U16(text);
        SendMessageW(dialog, WM_COMMAND, 1015, 0);  // already shown: the same pane stays
        again = GetParent(GetDlgItem(shown, IDC_FILEINFO_LIST));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(again, shown);
    EXPECT_EQ(row, u"ファイル数");
    EXPECT_EQ(count, u"3");
    EXPECT_EQ(PageSettingsPaneIndex(), 4);

    bool checked = false, paneThere = false;
    RunDialog([&](HWND dialog) {
        checked = SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_TOOLBAR), TB_ISBUTTONCHECKED, 1015, 0) != 0;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            paneThere = paneThere || GetDlgItem(c, IDC_FILEINFO_LIST);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(paneThere);
}

TEST_F(PageSettingsTest, OkPutsTheWorkingCopyBackAndStoresThePageButCancelDoesNot) {
    StartOn(entries);
    PageSettingsPaneIndex() = 4;  // a pane that writes nothing back
    const std::string before = test::ReadBytes(path);
    const PageRecord original = TheApp().rec.UserPages[0];
    RunDialog([&](HWND dialog) {
        PageSettingsWorkingCopy().Label = u"Renamed";
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(TheApp().rec.UserPages[0], original);
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_EQ(TabText(0), u"Tools");

    RunDialog([&](HWND dialog) {
        PageSettingsWorkingCopy().Label = u"Renamed";
        PageSettingsWorkingCopy().LabelColor = 5;
        PageSettingsWorkingCopy().FontColorBk = RGB(1, 2, 3);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const PageRecord& page = TheApp().rec.UserPages[0];
    EXPECT_EQ(page.Label, u"Renamed");
    EXPECT_EQ(page.Files, original.Files);
    int image = -1;
    EXPECT_EQ(TabText(0, &image), u"Renamed");
    EXPECT_EQ(image, 5 + 19);  // the selected tab's full swatch
    EXPECT_EQ(SendDlgItemMessageW(CurrentPagePane(), IDC_PAGELIST, LVM_GETBKCOLOR, 0, 0), LRESULT(RGB(1, 2, 3)));
    const Records stored = Reload();
    EXPECT_EQ(stored.UserPages[0].Label, u"Renamed");
    EXPECT_EQ(stored.UserPages[0].LabelColor, 5);
    EXPECT_EQ(stored.UserPages[1].Label, u"Other");
}

TEST_F(PageSettingsTest, AWellKnownFolderPageIsEditedInItsOwnRecord) {
    App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=1\r\nTabNumber=0\r\n");
    Pump();
    ASSERT_EQ(app.rec.ShownSpecialCount, 1);
    PageSettingsPaneIndex() = 4;
    std::u16string caption;
    RunDialog([&](HWND dialog) {
        caption = Text(dialog);
        PageSettingsWorkingCopy().LabelColor = 4;
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(caption, u"Vellumcraft - ページ \"" + app.rec.SpecialPages[0].Label + u"\" の設定");
    EXPECT_EQ(app.rec.SpecialPages[0].LabelColor, 4);
    EXPECT_EQ(Reload().SpecialPages[0].LabelColor, 4);
}

}  // namespace
}  // namespace vc
