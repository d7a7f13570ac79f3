// Adding, duplicating and deleting user pages in the records and the
// settings file. The file is the master copy: the pages are written, then
// the page array is read back from it, so that memory and file keep one
// numbering. Each operation runs in the caller's batch (or its own), so a
// whole command reaches the file in one atomic replacement. Portable: no
// windows.h.
#pragma once

#include <vector>

#include "settings/ProfileStore.h"
#include "settings/Records.h"

namespace vc {

// Reads UserPages back from the file for `count` pages.
bool RebuildUserPages(Records& r, ProfileStore& store, int32_t count);

// Each operation also writes the global settings, so that the page count in
// the file always agrees with its sections. An operation whose batch could
// not read the file does nothing and returns false: rebuilding the pages
// from a file that was not read would put defaults in their place.

// Whether a page can still be added or duplicated (kMaxPageCount).
bool RoomForAnotherPage(const Records& r);

// A new last page with the template's values (its section does not exist yet).
bool AddPage(Records& r, ProfileStore& store);
// A copy of user page `page` right after it; the pages behind move up one.
bool DuplicatePage(Records& r, ProfileStore& store, int32_t page);
// A new user page `at` (0 .. the page count) holding `page`; the pages from
// there on move up one.
bool InsertPage(Records& r, ProfileStore& store, int32_t at, const PageRecord& page);
// Removes user page `page` (never the last remaining one); the pages behind
// move down one and the section no longer used is deleted.
bool DeletePage(Records& r, ProfileStore& store, int32_t page);

// Takes over the pages as the general settings dialog left its working copy
// (`copy`: the shown special pages in ShownSpecialPages order, then every
// user page in its new order, with new marks and main page): every user
// page is written under its new number, the special pages with their look.
bool TakeOverPages(Records& r, ProfileStore& store, const std::vector<PageRecord>& copy);

// The number of user pages that are tabs.
int32_t UserTabCount(const Records& r);

}  // namespace vc
