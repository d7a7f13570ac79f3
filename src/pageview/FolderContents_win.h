// The contents of the special pages' well-known folders.
#pragma once

#include <string>

#include "settings/Records.h"

namespace vc {

enum class CountMode { All, Listed };

// The folder a CSIDL number names, empty when there is none.
std::u16string SpecialFolderPath(int csidl);
// Directory entries of one folder: every entry (All, an upper bound), or
// only those a page lists (Listed: not hidden, not "." or "..").
int CountFolder(const std::u16string& folder, CountMode mode);
// What a look-up that asks a special folder waits behind, before the
// folder's own path is known: the other look-ups of the same folder.
std::u16string SpecialFolderKey(int csidl);
// The sum over a special page's folder and common folder.
int CountFolderContents(const PageRecord& page, CountMode mode);

}  // namespace vc
