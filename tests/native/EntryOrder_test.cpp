// Entries arranged by dragging: the order within a page, which drops a page
// takes, and the text of the page an entry is dropped on.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pageview/EntryOrder.h"
#include "settings/Records.h"

namespace vc {
namespace {

TEST(EntryOrder, AMovedEntryTakesItsPlaceAndTheOthersCloseUpAsTheirSlotsSay) {
    for (auto [from, to, expected] : {std::tuple{1, 3, std::vector<int>{0, 2, 3, 1, 4}},
                                      std::tuple{3, 0, std::vector<int>{3, 0, 1, 2, 4}}}) {
        std::vector<int> v{0, 1, 2, 3, 4};
        MoveElement(v, size_t(from), size_t(to));
        EXPECT_EQ(v, expected);
        for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(v[size_t(SlotAfterMove(slot, from, to))], slot);
    }
}

TEST(EntryOrder, OnlyAnUnlockedWholeUserPageInRegisteredOrderIsArrangedAndFolderPagesNeitherGiveNorTake) {
    const uint32_t locked = PageFlag::NoChanges;
    EXPECT_TRUE(MovesWithinPage(true, 0, kRegisteredOrder, false));
    EXPECT_FALSE(MovesWithinPage(true, 0, 12, false) || MovesWithinPage(true, locked, kRegisteredOrder, false) ||
                 MovesWithinPage(true, 0, kRegisteredOrder, true) || MovesWithinPage(false, 0, kRegisteredOrder, false));
    EXPECT_EQ(TabDropOf(true, 0, true, 0, false), TabDrop::Move);
    EXPECT_EQ(TabDropOf(true, locked, true, 0, true), TabDrop::Copy);
    for (auto [sourceUser, sourceFlags, targetUser, targetFlags] :
         {std::tuple{true, locked, true, 0u}, {true, 0u, true, locked}, {true, 0u, false, 0u}, {false, 0u, true, 0u}})
        EXPECT_EQ(TabDropOf(sourceUser, sourceFlags, targetUser, targetFlags, targetFlags != 0), TabDrop::None);
}

TEST(EntryOrder, ADroppedEntryGoesLastUnlessThePageHoldsItOrIsFull) {
    EXPECT_EQ(WithEntryAppended(u"", u"C:\\b.txt"), u"C:\\b.txt\r\n");
    // A hand-edited last line without its CR LF stays an entry of its own.
    EXPECT_EQ(WithEntryAppended(u"C:\\a.exe", u"C:\\b.txt"), u"C:\\a.exe\r\nC:\\b.txt\r\n");
    for (auto held : {u"c:\\A.EXE", u"d:\\X"}) EXPECT_EQ(WithEntryAppended(u"C:\\a.exe\r\nD:\\x", held), std::nullopt);
    std::u16string full;
    for (int i = 0; i < 200; ++i) full += u"C:\\x\r\n";
    EXPECT_EQ(WithEntryAppended(full, u"C:\\new"), std::nullopt);
}

}  // namespace
}  // namespace vc
