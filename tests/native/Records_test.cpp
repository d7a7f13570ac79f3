// Page numbering between tab positions and user pages, and the label colours.
#include <gtest/gtest.h>

#include "settings/Records.h"

namespace vc {
namespace {

Records WithPages(int count, std::initializer_list<int> unmarked, uint16_t shownSpecial) {
    Records r;
    r.GlobalSettings.PageCount = count;
    r.UserPages.assign(size_t(count), BuiltInDefaultPage());
    for (int i : unmarked) r.UserPages[size_t(i)].Flag |= PageFlag::Unmarked;
    r.ShownSpecialCount = shownSpecial;
    return r;
}

TEST(TabPositions, UnmarkedPagesAreSkippedUnlessEveryPageIsATab) {
    Records r = WithPages(4, {0, 2}, 3);
    EXPECT_EQ(TabOfPage(r, 1), 3);
    EXPECT_EQ(TabOfPage(r, 3), 4);
    EXPECT_EQ(PageOfTab(r, 4), 3);
    EXPECT_EQ(PageOfTab(r, 3), 1);
    EXPECT_EQ(PageOfTab(r, 2), -1);  // a special page
    EXPECT_EQ(PageOfTab(r, 5), 0);   // no such tab
    EXPECT_EQ(TabOfPage(r, 0), 0);   // hidden page
    EXPECT_EQ(TabOfPage(r, 4), 0);   // past the last page
    EXPECT_EQ(TabOfPage(r, -1), 0);

    r.GlobalSettings.TabStyle |= TabStyleBit::MarkedPagesMenu;
    EXPECT_EQ(TabOfPage(r, 0), 3);
    EXPECT_EQ(TabOfPage(r, 2), 5);
    EXPECT_EQ(PageOfTab(r, 5), 2);
}

TEST(TabPositions, NoSpecialPagesAndNoArray) {
    Records r = WithPages(2, {}, 0);
    EXPECT_EQ(PageOfTab(r, 0), 0);
    EXPECT_EQ(TabOfPage(r, 1), 1);
    Records none;
    none.ShownSpecialCount = 1;
    EXPECT_EQ(PageOfTab(none, 3), 0);
    EXPECT_EQ(TabOfPage(none, 1), 0);
}

TEST(LabelColors, CustomEntriesFollowTheGlobalColours) {
    GlobalRecord g;
    EXPECT_EQ(LabelColorTable(g, 6), 0x80C000u);
    EXPECT_EQ(LabelColorTable(g, 14), 0x808060u);
    g.LabelColor1 = 0x123456;
    g.LabelColor5 = 0xABCDEF;
    EXPECT_EQ(LabelColorTable(g, 14), 0x123456u);
    EXPECT_EQ(LabelColorTable(g, 18), 0xABCDEFu);
    EXPECT_EQ(LabelColorTable(g, 19), 0u);   // damaged index
    EXPECT_EQ(LabelColorTable(g, -1), 0u);
}

TEST(PageIds, SectionsAndRecords) {
    EXPECT_EQ(SectionNameOf(0), u"Page1");
    EXPECT_EQ(SectionNameOf(41), u"Page42");
    EXPECT_EQ(SectionNameOf(SpecialPageId(7)), u"SpcialPage8");
    EXPECT_EQ(SectionNameOf(kDefaultPageId), u"Page-Default");
    Records r;
    r.UserPages.resize(2);
    EXPECT_EQ(r.Page(1), &r.UserPages[1]);
    EXPECT_EQ(r.Page(2), nullptr);
    EXPECT_EQ(r.Page(SpecialPageId(3)), &r.SpecialPages[3]);
    EXPECT_EQ(r.Page(SpecialPageId(9)), nullptr);
    EXPECT_EQ(ViewOf(0x103), 3u);
    EXPECT_EQ(ViewOf(0xE), 0u);
}

}  // namespace
}  // namespace vc
