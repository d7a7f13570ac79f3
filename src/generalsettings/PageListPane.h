// The rules of the pages pane of the general settings dialog, on its copy of
// every page: the well-known folder pages first (`folderPages` of them, they
// keep their places), then the user pages, which move among themselves.
// Portable: no windows.h.
#pragma once

#include <string>
#include <vector>

#include "settings/Records.h"

namespace vc {

// Tree state images of a page's box. None: the boxes were not shown yet.
enum MarkState : int { MarkNone = 0, MarkOff = 1, MarkOn = 2 };

// Whether the page at `position` of `count` pages may move up / down.
bool CanMoveUp(int folderPages, int position, int count);
bool CanMoveDown(int folderPages, int position, int count);

// Swaps the page at `position` with the one above (delta -1) or below
// (delta +1) when the rules allow; returns the page's new position, or
// `position` when it stays.
int MovePage(std::vector<PageRecord>& pages, int folderPages, int position, int delta);

// The first page marked as main page; 0 when none is.
int MainPagePosition(const std::vector<PageRecord>& pages);
// Makes the page at `position` the only main page; nothing when there is no
// such page.
void MakeMainPage(std::vector<PageRecord>& pages, int position);

// A page's text in the tree: folder pages in brackets.
std::u16string PageItemText(const PageRecord& page, bool folderPage);
// The main page's name as the pane shows it: [label] for a folder page,
// "label" for a user page; empty when there is no such page.
std::u16string MainPageCaption(const std::vector<PageRecord>& pages, int folderPages, int position);

// The box a page shows.
MarkState MarkOf(const PageRecord& page);
// Writes the boxes into the pages (`marks[i]` for page i); a page whose box
// was never shown keeps its mark. True when any page's mark changed.
bool CommitMarks(std::vector<PageRecord>& pages, const std::vector<int>& marks);

}  // namespace vc
