// One registered file, folder or shortcut of the shown page (also what a
// special folder contains). Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>

namespace vc {

struct FileEntry {
    std::u16string Path;         // full path, at most 261 units; empty marks a removed entry
    uint64_t LastWriteTime = 0;  // FILETIME: 100-ns units since 1601-01-01 UTC; 0 when unknown
    int64_t Size = 0;            // bytes; 0 for folders and when unknown
    uint16_t NameOffset = 0;     // first unit after the last "\"; 0 when none or it is last
    int16_t TypeOffset = 0;      // first unit after the last "."; -1 for a folder; 0 when none or last
    bool Missing = false;        // not there when last looked up; it stays registered all the same
};

}  // namespace vc
