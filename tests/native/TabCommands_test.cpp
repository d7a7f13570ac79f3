// Where the selection goes when the tab window's commands change the tabs.
#include <gtest/gtest.h>

#include "tabwindow/TabCommands.h"

namespace vc {
namespace {

// Special pages `shown` (SpecialPages indexes, in tab order) before user
// pages whose flags are `flags`.
Records WithTabs(std::initializer_list<uint16_t> shown, std::initializer_list<uint32_t> flags) {
    Records r;
    for (uint16_t s : shown) r.ShownSpecialPages[r.ShownSpecialCount++] = s;
    for (uint32_t f : flags) {
        r.UserPages.emplace_back();
        r.UserPages.back().Flag = f;
    }
    r.GlobalSettings.PageCount = int32_t(r.UserPages.size());
    r.GlobalSettings.TabStyle = 0;
    return r;
}

TEST(TabAfterSpecialSetChange, AShownSpecialPageKeepsShowingOrGivesWayToTheFirstTab) {
    const Records r = WithTabs({1, 3, 6}, {0, 0});
    EXPECT_EQ(TabAfterSpecialSetChange(r, 3), 1);  // its place in the new set
    EXPECT_EQ(TabAfterSpecialSetChange(r, 6), 2);
    EXPECT_EQ(TabAfterSpecialSetChange(r, 2), 0);  // no longer shown
}

TEST(TabAfterSpecialSetChange, AUserPageFollowsTheNewNumberOfSpecialTabs) {
    Records r = WithTabs({0, 4}, {0, PageFlag::Unmarked, 0});
    r.CurrentPage = 2;
    EXPECT_EQ(TabAfterSpecialSetChange(r, -1), 3);  // two special tabs, one marked page before it
    r.CurrentPage = 1;                                // an unmarked page is no tab
    EXPECT_EQ(TabAfterSpecialSetChange(r, -1), 0);
}

TEST(SpecialPageOfTab, NamesSpecialTabsOnly) {
    const Records r = WithTabs({2, 5}, {0});
    EXPECT_EQ(SpecialPageOfTab(r, 1), 5);
    EXPECT_EQ(SpecialPageOfTab(r, 2), -1);  // the user page's tab
    EXPECT_EQ(SpecialPageOfTab(r, -1), -1);
}

TEST(AdjacentTab, WrapsAtBothEnds) {
    struct Case {
        int current, delta, count, want;
    };
    for (const Case& c : {Case{0, -1, 3, 2}, Case{2, +1, 3, 0}, Case{1, +1, 3, 2}, Case{0, +1, 1, 0}})
        EXPECT_EQ(AdjacentTab(c.current, c.delta, c.count), c.want) << c.current << " " << c.delta;
}

}  // namespace
}  // namespace vc
