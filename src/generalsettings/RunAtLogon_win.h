// The value under HKCU\Software\Microsoft\Windows\CurrentVersion\Run that
// starts this copy of the program at logon.
#pragma once

#include "settings/Records.h"

namespace vc {

// Whether the Run key holds a value that starts this copy on its file.
bool RunsAtLogon(const Records& r);

// Adds the value (true) or removes it (false); a value that names another
// copy is left alone. False when the registry refused.
bool SetRunAtLogon(const Records& r, bool on);

}  // namespace vc
