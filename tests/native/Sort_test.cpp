// The order of a page's list by each column, both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/U16.h"
#include "pageview/Sort.h"

namespace vc {
namespace {

FileEntry Entry(std::u16string path, uint64_t time = 0, int64_t size = 0, bool folder = false) {
    FileEntry e;
    e.Path = std::move(path);
    size_t slash = e.Path.rfind(u'\\');
    e.NameOffset = slash == std::u16string::npos ? 0 : uint16_t(slash + 1);
    size_t dot = e.Path.rfind(u'.');
    e.TypeOffset = folder ? -1 : (dot == std::u16string::npos || dot < e.NameOffset ? 0 : int16_t(dot + 1));
    e.LastWriteTime = time;
    e.Size = size;
    return e;
}

std::vector<std::u16string> Sorted(std::vector<FileEntry> entries, int key) {
    std::vector<const FileEntry*> order;
    for (auto& e : entries) order.push_back(&e);
    std::stable_sort(order.begin(), order.end(),
                     [&](const FileEntry* a, const FileEntry* b) { return CompareEntries(a, b, key) < 0; });
    std::vector<std::u16string> names;
    for (auto* e : order) names.push_back(e->Path);
    return names;
}

TEST(SortOrder, ByDateAndSize) {
    std::vector<FileEntry> e = {Entry(u"C:\\b.txt", 300, 5), Entry(u"C:\\a.txt", 100, 50), Entry(u"C:\\c.txt", 200, 1)};
    EXPECT_EQ(Sorted(e, 1), (std::vector<std::u16string>{u"C:\\a.txt", u"C:\\c.txt", u"C:\\b.txt"}));  // oldest first
    EXPECT_EQ(Sorted(e, 11), (std::vector<std::u16string>{u"C:\\b.txt", u"C:\\c.txt", u"C:\\a.txt"}));
    EXPECT_EQ(Sorted(e, 2), (std::vector<std::u16string>{u"C:\\c.txt", u"C:\\b.txt", u"C:\\a.txt"}));
    // A time past 2^63 reads as negative, as the signed comparison has it.
    std::vector<FileEntry> odd = {Entry(u"C:\\x", 1), Entry(u"C:\\y", uint64_t(1) << 63)};
    EXPECT_EQ(Sorted(odd, 1).front(), u"C:\\y");
}

TEST(SortOrder, NamesFoldOnlyAsciiLettersAndEmptyNamesGoLast) {
    std::vector<FileEntry> e = {Entry(u"C:\\beta"), Entry(u"C:\\Alpha"), Entry(u"D:\\"), Entry(u"C:\\alpha2")};
    EXPECT_EQ(Sorted(e, 0), (std::vector<std::u16string>{u"C:\\Alpha", u"C:\\alpha2", u"C:\\beta", u"D:\\"}));
    EXPECT_EQ(Sorted(e, 10), (std::vector<std::u16string>{u"C:\\beta", u"C:\\alpha2", u"C:\\Alpha", u"D:\\"}));
    EXPECT_NE(CompareEntries(&e[0], &e[1], 0), 0);
    FileEntry wideA = Entry(u"C:\\Ａ"), wideB = Entry(u"C:\\ａ");  // full-width letters do not fold
    EXPECT_NE(CompareEntries(&wideA, &wideB, 0), 0);
}

TEST(SortOrder, LocationsAndTypes) {
    FileEntry upper = Entry(u"C:\\A\\x.txt"), lower = Entry(u"C:\\a\\y.txt"), b = Entry(u"C:\\b\\z.txt");
    EXPECT_EQ(CompareEntries(&upper, &lower, 3), 0);
    EXPECT_LT(CompareEntries(&lower, &b, 3), 0);
    std::vector<FileEntry> e = {Entry(u"C:\\folder", 0, 0, true), Entry(u"C:\\b.txt"), Entry(u"C:\\noext"),
                                Entry(u"C:\\a.exe")};
    auto asc = Sorted(e, 4), desc = Sorted(e, 14);
    EXPECT_EQ(asc[0], u"C:\\a.exe");
    EXPECT_EQ(asc[1], u"C:\\b.txt");
    EXPECT_EQ(desc[0], u"C:\\b.txt");
    EXPECT_EQ(desc[1], u"C:\\a.exe");
    // Folders and files without extension come after typed files both ways.
    for (auto* order : {&asc, &desc}) {
        EXPECT_TRUE((*order)[2] == u"C:\\folder" || (*order)[2] == u"C:\\noext");
        EXPECT_TRUE((*order)[3] == u"C:\\folder" || (*order)[3] == u"C:\\noext");
    }
}

TEST(SortOrder, KeysOutsideTheColumnsKeepTheOrder) {
    FileEntry a = Entry(u"C:\\b", 2), b = Entry(u"C:\\a", 1);
    for (int key : {5, 7, 15, 20, -1, 99}) {
        EXPECT_EQ(CompareEntries(&a, &b, key), 0) << key;
        EXPECT_EQ(SortColumn(key), -1) << key;
    }
    EXPECT_EQ(CompareEntries(nullptr, &b, 1), 0);
    EXPECT_EQ(NextSortKey(1, 1), 11);
    EXPECT_EQ(NextSortKey(11, 1), 1);
    EXPECT_EQ(NextSortKey(11, 0), 0);
    EXPECT_EQ(SortColumn(13), 3);
}

TEST(SortOrder, NewestFirstKeepsTiesAndLeavesTheRest) {
    std::vector<FileEntry> e = {Entry(u"a", 1), Entry(u"b", 3), Entry(u"c", 2), Entry(u"d", 3), Entry(u"z", 9)};
    SortNewestFirst(e, 4);  // the fifth is past the count
    std::vector<std::u16string> order;
    for (auto& x : e) order.push_back(x.Path);
    EXPECT_EQ(order, (std::vector<std::u16string>{u"b", u"d", u"c", u"a", u"z"}));
    SortNewestFirst(e, 99);
    EXPECT_EQ(e.front().Path, u"z");
}

// A folder of any size read in any order keeps its newest, ties in the order they came.
TEST(SortOrder, KeepingTheNewestOfAFolderMatchesSortingItAll) {
    std::vector<FileEntry> all, kept;
    for (int i = 0; i < 6000; ++i) all.push_back(Entry(u"f" + Dec(i), uint64_t(i * 7919 % 1000)));
    for (const FileEntry& e : all) KeepNewest(kept, e, 200);
    SortNewestFirst(all, int(all.size()));
    for (size_t i = 0; i < 201; ++i) EXPECT_EQ(i < kept.size() ? kept[i].Path : u"", i < 200 ? all[i].Path : u"") << i;
}

}  // namespace
}  // namespace vc
