// The entries of a page pane. Portable: no windows.h.
#pragma once

#include <cstdint>
#include <vector>

#include "pageview/FileEntry.h"

namespace vc {

struct PaneState {
    std::vector<FileEntry> EntryTable;  // slot i is entry i
    int32_t EntryCapacity = 0;
    int32_t EntryCount = 0;
};

}  // namespace vc
