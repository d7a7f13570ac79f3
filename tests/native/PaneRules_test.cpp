// The page pane's window-free decisions: stale loading steps, the Files
// text cap, the recent files listed, when a registration is taken.
#include <gtest/gtest.h>

#include "pageview/DroppedFiles.h"
#include "pageview/FileDetails.h"
#include "pageview/FilesText.h"
#include "pageview/PaneRules.h"
#include "pageview/Sort.h"
#include "settings/Records.h"

namespace vc {
namespace {

TEST(PaneChain, StepsOfAReplacedChainAreDropped) {
    EXPECT_FALSE(IsStaleStep(ParseNextEntry, 7, 7));
    EXPECT_TRUE(IsStaleStep(ParseNextEntry, 6, 7));
    EXPECT_TRUE(IsStaleStep(ShowNextEntry, 6, 7));
    EXPECT_TRUE(IsStaleStep(FinishLoading, 6, 7));
    // A reload asked by another window carries no chain; an old one's does.
    EXPECT_FALSE(IsStaleStep(StartLoading, 0, 7));
    EXPECT_TRUE(IsStaleStep(StartLoading, 6, 7));
    // Commands that are not loading steps always count.
    EXPECT_FALSE(IsStaleStep(ApplyView, 6, 7));
    EXPECT_FALSE(IsStaleStep(CreateImageLists, 6, 7));
}

TEST(PaneChain, WrapsPastZero) {
    EXPECT_EQ(NextChain(1), 2);
    const uint16_t wrapped = NextChain(0xFFFF);
    EXPECT_EQ(wrapped, 1);  // 0 stays the number of commands from other windows
    EXPECT_TRUE(IsStaleStep(ShowNextEntry, 0xFFFF, wrapped));
    EXPECT_TRUE(IsStaleStep(StartLoading, 0xFFFF, wrapped));
    EXPECT_FALSE(IsStaleStep(ShowNextEntry, wrapped, wrapped));
}

TEST(PaneFilesCap, CutsOnAnEntryBoundary) {
    const std::u16string two = u"C:\\a\r\nC:\\bb\r\n";  // 13 units
    EXPECT_EQ(CapFilesText(two, 14), two);              // exactly capacity - 1: whole
    EXPECT_EQ(CapFilesText(two, 13), u"C:\\a\r\n");     // one unit over: the last entry goes
    EXPECT_EQ(CapFilesText(two, 6), u"");               // the first entry alone does not fit
    EXPECT_EQ(CapFilesText(two, 7), u"C:\\a\r\n");
    EXPECT_EQ(CapFilesText(std::u16string(40, u'x') + u"\r\n", 20), u"");  // an entry longer than the field
    // The page field at its real size: the result always fits.
    std::u16string full;
    while (full.size() < kFilesCapacity) full += u"C:\\Some Folder\\file.txt\r\n";
    const std::u16string capped = CapFilesText(full, kFilesCapacity);
    EXPECT_LE(capped.size(), kFilesCapacity - 1);
    EXPECT_GT(capped.size(), kFilesCapacity - 30);
    EXPECT_EQ(capped.substr(capped.size() - 2), u"\r\n");
}

TEST(PaneRegistration, TakenOnlyWhereTheSlotIsFinalAndFree) {
    EXPECT_TRUE(TakesRegistration(true, true, 0, 3, kMaxUserEntries));
    EXPECT_FALSE(TakesRegistration(false, true, 0, 3, kMaxUserEntries));  // folder page
    EXPECT_FALSE(TakesRegistration(true, false, 0, 3, kMaxUserEntries));  // still loading
    EXPECT_FALSE(TakesRegistration(true, true, PageFlag::NoChanges, 3, kMaxUserEntries));
    EXPECT_FALSE(TakesRegistration(true, true, 0, 3, 3));                            // table full
    EXPECT_FALSE(TakesRegistration(true, true, 0, kMaxUserEntries, kMaxUserEntries + 5));
    EXPECT_EQ(EntryTableCapacity(true, 5000), kMaxUserEntries);
    EXPECT_EQ(EntryTableCapacity(false, 5000), 5000);
    EXPECT_EQ(EntryTableCapacity(false, 0), kMaxUserEntries);  // folder count unknown
}

TEST(PaneRegistration, ADropGoesInOrderWhileThereIsRoomAndLeavesDuplicatesOut) {
    using F = DropFate;
    // Two slots; "C:\b.txt" and its CR LF take 10 units of the text.
    const std::vector<std::u16string> drop = {u"C:\\b.txt", u"c:\\A.TXT", u"C:\\c.txt", u"C:\\B.txt", u"C:\\d.txt"};
    const std::vector<F> fates = PlanDrop(drop, {u"C:\\a.txt"}, {false, 2, 1000});
    EXPECT_EQ(fates, (std::vector<F>{F::Register, F::Duplicate, F::Register, F::Duplicate, F::NoRoom}));
    EXPECT_EQ(PlanDrop({u"C:\\b.txt", u"C:\\c.txt"}, {}, {false, 5, 19}), (std::vector<F>{F::Register, F::NoRoom}));
    EXPECT_EQ(DropRefusalText(fates), u"3 個のファイルを登録できませんでした。\n（重複 2 個、空きなし 1 個）");
    EXPECT_EQ(DropRefusalText({F::Register}), u"");
}

TEST(PaneFolderPages, RecentChoiceAndScannedListing) {
    const RecentChoice some = ChooseRecentFiles(120, 200, 30);
    EXPECT_EQ(some.kept, 120);
    EXPECT_EQ(some.listed, 30);
    const RecentChoice cramped = ChooseRecentFiles(kRecentKept, 50, 100);  // a table that could not grow
    EXPECT_EQ(cramped.kept, 50);
    EXPECT_EQ(cramped.listed, 50);
    EXPECT_EQ(ChooseRecentFiles(10, 0, 30).listed, 0);  // no table at all
    EXPECT_TRUE(ListsAsScanned(false, 5));
    EXPECT_FALSE(ListsAsScanned(false, kRecentFolderId));
    EXPECT_FALSE(ListsAsScanned(false, kStartupFolderId));
    EXPECT_FALSE(ListsAsScanned(true, 5));
}

TEST(PaneItemOrder, NewestFirstAmongEqualKeysOnlyWhenAsked) {
    FileEntry older{u"C:\\x\\same.txt"}, newer{u"C:\\y\\same.txt"};
    older.NameOffset = newer.NameOffset = 5;
    older.LastWriteTime = 100;
    newer.LastWriteTime = 200;
    ASSERT_EQ(CompareEntries(&older, &newer, 0), 0);  // equal names
    EXPECT_EQ(CompareListed(&older, &newer, 0, false), 0);
    EXPECT_GT(CompareListed(&older, &newer, 0, true), 0);
    EXPECT_LT(CompareListed(&newer, &older, 0, true), 0);
    EXPECT_LT(CompareListed(&older, &newer, 1, true), 0);  // by date, the key decides
}

}  // namespace
}  // namespace vc
