// Entry paths that follow the settings file from drive to drive: a path on
// the settings file's own drive is kept without its letter ("\Tools\run.exe"
// for "E:\Tools\run.exe"), and such a line is read back on whatever drive the
// settings file is on now. Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>

namespace vc {

// The upper-case drive letter a full path starts with ("e:\x" -> 'E', also
// behind a "\\?\" prefix), or 0 for a UNC or relative path.
char16_t DriveLetterOf(std::u16string_view path);

// The entry lines (CR LF between them) as they are stored: each "X:\..." on
// the drive of `settingsPath` loses its "X:"; every other line is kept.
std::u16string DriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath);

// The entry lines as they are read: each line starting with one backslash
// (not two) gets the drive of `settingsPath` in front, as long as the text
// stays within `room` units; lines past that stay as they are, never lost.
std::u16string ResolveDriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath, size_t room);

}  // namespace vc
