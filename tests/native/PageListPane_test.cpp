// The rules of the pages pane on its copy of the pages.
#include <gtest/gtest.h>

#include "generalsettings/PageListPane.h"

namespace vc {
namespace {

PageRecord Page(std::u16string label, uint32_t flag = 0) {
    PageRecord p;
    p.Label = std::move(label);
    p.Flag = flag;
    return p;
}

TEST(PageListPaneRules, OnlyUserPagesMoveAndOnlyAmongThemselves) {
    // One folder page "D", then three user pages.
    std::vector<PageRecord> pages{Page(u"D"), Page(u"a"), Page(u"b", PageFlag::MainPage | PageFlag::Unmarked), Page(u"c")};
    EXPECT_EQ(MovePage(pages, 1, 1, -1), 1);  // onto the folder page
    EXPECT_EQ(MovePage(pages, 1, 0, 1), 0);   // the folder page itself
    EXPECT_EQ(MovePage(pages, 1, 3, 1), 3);   // past the end
    EXPECT_EQ(MovePage(pages, 1, 1, 2), 1);   // more than one step
    EXPECT_EQ(MovePage(pages, 9, 2, -1), 2);  // more folder pages than pages
    EXPECT_EQ(MovePage(pages, 1, 2, -1), 1);
    EXPECT_EQ(pages[1].Label + pages[2].Label, u"ba");
    EXPECT_EQ(pages[1].Flag, PageFlag::MainPage | PageFlag::Unmarked);  // the whole record moved
    EXPECT_EQ(MovePage(pages, 1, 2, 1), 3);
    EXPECT_EQ(pages[3].Label, u"a");
    EXPECT_FALSE(CanMoveUp(0, 0, 1) || CanMoveDown(0, 0, 1) || CanMoveDown(-3, -1, 4) || CanMoveUp(1, 4, 4));
}

TEST(PageListPaneRules, TheMainPageAndItsName) {
    std::vector<PageRecord> pages{Page(u"a"), Page(u"b"), Page(u"x", PageFlag::MainPage)};
    MakeMainPage(pages, 3);  // no such page: nothing changes
    EXPECT_EQ(MainPagePosition(pages), 2);
    EXPECT_EQ(MainPageCaption({}, 0, 0), u"");  // no pages: no page 0 to name
    // Cut to 35 units, never between the halves of a surrogate pair.
    EXPECT_EQ(MainPageCaption({Page(std::u16string(40, u'x'))}, 0, 0), u"\"" + std::u16string(34, u'x'));
    EXPECT_EQ(MainPageCaption({Page(std::u16string(33, u'y') + u"\xD83D\xDE00")}, 1, 0), u"[" + std::u16string(33, u'y'));
    EXPECT_EQ(PageItemText(Page(std::u16string(40, u'x')), true), u"[" + std::u16string(34, u'x'));
}

TEST(PageListPaneRules, BoxesReachTheCopyButBoxesNeverShownLeaveTheMarksAlone) {
    const uint32_t keep = PageFlag::MainPage | PageFlag::NoChanges;
    std::vector<PageRecord> pages{Page(u"a", keep), Page(u"b", keep | PageFlag::Unmarked), Page(u"c"),
                                  Page(u"d", PageFlag::Unmarked)};
    EXPECT_FALSE(CommitMarks(pages, {MarkNone, MarkNone, MarkNone, MarkNone}));
    EXPECT_FALSE(CommitMarks(pages, {MarkOn, MarkOff, MarkOn, MarkOff}));
    EXPECT_TRUE(CommitMarks(pages, {MarkOff, MarkOn, MarkNone}));  // fewer boxes than pages
    EXPECT_EQ(pages[0].Flag, keep | PageFlag::Unmarked);
    EXPECT_EQ(pages[1].Flag, keep);
    EXPECT_EQ(pages[2].Flag, 0u);
    EXPECT_EQ(pages[3].Flag, PageFlag::Unmarked);
}

}  // namespace
}  // namespace vc
