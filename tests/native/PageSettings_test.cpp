#include "pagesettings/PageSettings.h"

#include <gtest/gtest.h>

namespace vc {
namespace {

TEST(PageSettingsTexts, CaptionCutsTheLabelAndSampleCutsTheName) {
    EXPECT_EQ(PageSettingsCaption(u"Tools"), u"Vellumcraft - ページ \"Tools\" の設定");
    const std::u16string longLabel(40, u'あ');
    EXPECT_EQ(PageSettingsCaption(longLabel), u"Vellumcraft - ページ \"" + std::u16string(32, u'あ') + u"\" の設定");

    EXPECT_EQ(SampleText(u"archive.tar.gz", false), u"archive");
    EXPECT_EQ(SampleText(u"README", false), u"README");
    EXPECT_EQ(SampleText(u".profile", false), u"");
    // Only the recent-files page drops the " (" part Windows adds to the
    // names of its shortcuts.
    EXPECT_EQ(SampleText(u"Report (2).lnk", false), u"Report (2)");
    EXPECT_EQ(SampleText(u"Report (2).lnk", true), u"Report");
}

TEST(PageSettingsSample, GoesRoundTheEntriesFromTheFirst) {
    // The dialog starts at the entry count, so the first step shows entry 0.
    int i = 3;
    std::vector<int> seen;
    for (int n = 0; n < 4; ++n) seen.push_back(i = NextSampleIndex(i, 3));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(NextSampleIndex(0, 1), 0);
    EXPECT_EQ(NextSampleIndex(5, 0), 5);  // no entries: the strip stays as it is
    EXPECT_EQ(NextSampleIndex(-7, 3), 0);
}

TEST(PageSettingsPage, TheCurrentTabNamesAWellKnownFolderPageOrAUserPage) {
    Records r;
    r.UserPages.resize(3);
    r.ShownSpecialCount = 2;
    r.ShownSpecialPages[0] = 5;
    r.ShownSpecialPages[1] = 1;
    r.GlobalSettings.TabNumber = 1;
    EXPECT_EQ(PageIdOfCurrentTab(r), SpecialPageId(1));
    r.GlobalSettings.TabNumber = 3;
    r.CurrentPage = 1;
    EXPECT_EQ(PageIdOfCurrentTab(r), 1);
    r.CurrentPage = 3;  // past the pages: nothing to edit
    EXPECT_EQ(PageIdOfCurrentTab(r), -1);

    EXPECT_EQ(PaneOfButton(PageSettingsPanes, kPageSettingsPaneCount, 1015), 4);
    EXPECT_EQ(PaneOfButton(PageSettingsPanes, kPageSettingsPaneCount, 1016), -1);
}

}  // namespace
}  // namespace vc
