#include "generalsettings/RestoreBackup_win.h"

namespace vc {

std::optional<std::u16string> ChooseBackupToRestore(HWND, const Records&) { return std::nullopt; }

}  // namespace vc
