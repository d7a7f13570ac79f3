// How a copy of the program names itself under the user's Run key, so that
// Windows starts it at logon on its own settings file. Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>

namespace vc {

// The value's name: "Vellumcraft" for the usual settings file, else with the
// file's name, so that two copies on two files keep two values.
std::u16string RunValueName(std::u16string_view windowName);

// The command Windows runs: the quoted program and the quoted settings file.
std::u16string RunCommand(std::u16string_view exePath, std::u16string_view settingsPath);

// Whether a stored command starts this copy on this file. Windows compares
// paths without case, and a user may have edited the quotes or the blanks.
bool RunCommandNamesThisCopy(std::u16string_view stored, std::u16string_view exePath,
                             std::u16string_view settingsPath);

}  // namespace vc
