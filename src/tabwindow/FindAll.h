// Finding entries over every user page at once (Ctrl+F): the names come from
// the pages' stored paths alone, never from the disk, since an entry may lie
// on a share that answers slowly or not at all. Names are compared the way
// the page's own type-to-find compares them. Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/Records.h"

namespace vc {

// One entry of a user page as the find box lists it.
struct FindEntry {
    int page = 0;           // UserPages index
    int index = 0;          // the entry's slot in its page, as the page numbers them when it loads
    std::u16string name;    // as the page lists it
    std::u16string path;    // as the page opens it (a drive-relative line on the settings file's drive)
    std::u16string folded;  // the name folded for finding, once
};

// Every named entry of every user page: the slots the page would give an
// item, in page order.
std::vector<FindEntry> IndexEntries(const std::vector<PageRecord>& pages, std::u16string_view settingsPath);

// The positions in `entries` of those whose names contain `typed`. An empty
// text finds nothing: a list of every entry of every page helps nobody.
std::vector<int> FindEntries(const std::vector<FindEntry>& entries, std::u16string_view typed);

// The folder part of an entry's path, as the page's location column takes it.
std::u16string EntryFolder(const FindEntry& entry);

}  // namespace vc
