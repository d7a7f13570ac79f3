// The order of a page's list. Portable: no windows.h.
#pragma once

#include "pageview/FileEntry.h"

namespace vc {

// PageListSort: column 0..4 ascending, 10..14 descending; anything else
// keeps every item where it is.
constexpr int kDescendingSort = 10;

// Negative when `a` goes before `b` under `sortKey`. Empty names, folders
// and types go after all others in both directions.
int CompareEntries(const FileEntry* a, const FileEntry* b, int sortKey);

// The order after a click on column `column`: ascending first, then
// descending on a second click of the same column.
inline int NextSortKey(int current, int column) { return current == column ? column + kDescendingSort : column; }

// The column a sort key orders by, or -1 when it orders by none.
int SortColumn(int sortKey);

}  // namespace vc

#include <vector>

namespace vc {

// Orders the first `count` entries newest first; equal times keep their
// order. The recent-files page keeps the newest, every special page is
// gathered in this order before the list sorts it.
void SortNewestFirst(std::vector<FileEntry>& entries, int count);

// Takes `entry` into `kept`, which holds at most `limit` entries newest
// first: it goes after every kept entry at least as new, and the oldest falls
// out beyond the limit. Given a whole folder one entry at a time, `kept` ends
// as its `limit` newest entries, equal times in the order they came, however
// large the folder and in whatever order it is read.
void KeepNewest(std::vector<FileEntry>& kept, FileEntry entry, size_t limit);

}  // namespace vc
