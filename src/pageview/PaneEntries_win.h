// What the pane needs to know about one entry: filling it from the file
// system, its list item and its icons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "pageview/FileEntry.h"

namespace vc {

// Fills `e` from a search for `path` (folders allowed); false when nothing
// was found.
bool FillEntryFromSearch(FileEntry& e, const std::u16string& path);
// Fills size and time of `e.Path` from the file itself (0 when it cannot be
// opened) and its name and type offsets.
void FillEntryFromFile(FileEntry& e);
// Inserts the list item of entry `index` at `position` with its six column
// texts and image 3 + index. Returns the item's position or -1.
int InsertEntryItem(HWND list, int position, int index, const FileEntry& e, uint32_t listType);
// Appends the entry's icon to the three image lists.
void FetchEntryIcon(const FileEntry& e, HIMAGELIST small, HIMAGELIST normal, HIMAGELIST large);

}  // namespace vc
