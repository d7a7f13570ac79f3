// The program's one queue of look-ups that may block, with its workers, and
// the look-ups the page pane hands it.
#pragma once

#include <windows.h>

#include <string>

#include "pageview/FileEntry.h"
#include "pageview/LookupQueue.h"

namespace vc {

// Posted to the window set below when results of look-ups wait; it answers
// with DrainLookups.
constexpr UINT kLookupsReadyMessage = WM_APP + 4;

// The queue. Made on first use and never destroyed: a worker stuck in a
// network time-out must not keep the program from ending.
LookupQueue& Lookups();
// The window told when results wait (the page pane), or none. A new window
// is told at once of results already waiting: the notice may have gone to
// one that was destroyed before it came to them.
void SetLookupWindow(HWND window);
// At the program's end: waits a few seconds at most for launches and the
// other look-ups of no load still starting, which would be cut off.
void WaitForLaunches();
// Runs waiting results for about one message's worth of time, and asks for
// another turn when some are left.
void DrainLookups(HWND window);

// What the file system and the shell tell about a path, looked up on a
// worker: the entry as loading fills it (time, size, offsets), whether it
// is a folder now, and its icons' places in the shell's system image lists
// (-1 when the shell does not know it).
struct EntryDetails {
    FileEntry entry;
    bool folderNow = false;
    int smallIcon = -1, largeIcon = -1;
};
// A registered path's details: the search finds it, else as much as the
// file tells (a hidden or missing file).
EntryDetails LookUpEntryDetails(const std::u16string& path);
// The icons only, for an entry whose details a folder scan gave.
void LookUpIcons(EntryDetails& details);

}  // namespace vc
