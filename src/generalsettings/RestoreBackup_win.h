// The list of the settings file's backups, from which the user picks one to
// restore.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/Records.h"

namespace vc {

// Shows the backups of the settings file over `owner`; the path of the copy
// the user chose to restore, or nothing.
std::optional<std::u16string> ChooseBackupToRestore(HWND owner, const Records& r);

}  // namespace vc
