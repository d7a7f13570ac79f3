// The state of the one page pane, shared with the tab window (status bar,
// tooltips). Portable: no windows.h.
#pragma once

#include <cstdint>
#include <vector>

#include "pageview/FileEntry.h"

namespace vc {

struct PaneState {
    std::vector<FileEntry> EntryTable;  // slot i is entry i
    int32_t EntryCapacity = 0;
    int32_t EntryCount = 0;
    // Results of the general settings dialog: while set, a closing pane
    // keeps its page out of records that have moved or gone.
    bool PagesReorganised = false;
    bool SpecialSetChanged = false;
};

// The pane state of the running program.
PaneState& ThePane();

}  // namespace vc
