// Dated copies of the settings file: where they go, what they are called,
// when a start makes one and which go when there are too many, whether a
// copy is a whole settings file, and putting one back. Portable: no
// windows.h; the folder work is in Backups_win.
//
// "C:\Tools\Vellumcraft.vcset" keeps its copies in
// "C:\Tools\Vellumcraft_Backups\Vellumcraft-20261208-134510.vcset", named by
// the local time they were made, so the names sort by age.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/FileSystem.h"

namespace vc {

struct BackupTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The folder of the copies, beside the settings file (no "\" at its end).
std::u16string BackupFolderOf(std::u16string_view settingsPath);
// The file name of the copy made at `t`.
std::u16string BackupFileName(std::u16string_view settingsPath, const BackupTime& t);
// When the copy of that file name was made; nothing for a name that is not
// one of the copies (another file in the folder, a temporary file).
std::optional<BackupTime> BackupTimeOf(std::u16string_view settingsPath, std::u16string_view fileName);
// "2026/12/08 13:45:10".
std::u16string BackupTimeText(const BackupTime& t);

// The copies among the file names of the folder, newest first.
std::vector<std::u16string> BackupsNewestFirst(std::u16string_view settingsPath, std::vector<std::u16string> names);
// Whether a start at `now` makes a copy: copies are kept, and none of them
// is from today.
bool BackupDue(std::u16string_view settingsPath, const std::vector<std::u16string>& names, const BackupTime& now,
               int generations);
// The copies beyond the newest `generations`, to be deleted. None with 0:
// a user who keeps no copies may still have some of earlier days, and they
// are theirs.
std::vector<std::u16string> BackupsBeyond(std::u16string_view settingsPath, const std::vector<std::u16string>& names,
                                          int generations);

// What a copy holds, judged as a start judges the settings file: UTF-16LE
// with its mark and whole units, the program's ";Vellumcraft" first line and
// its [Vellumcraft] section, the last line ended, and page sections up to
// its page count (a file cut short loses its last pages). `pageCount` is the
// count a start would take from it.
struct BackupContents {
    bool whole = false;
    int32_t pageCount = 0;
};
BackupContents ExamineBackup(std::string_view bytes);

// Keeps `bytes` as the copy made at `now` in the backups folder, which must
// exist; true also when that copy is there already with the same bytes.
bool KeepBackup(FileSystem& fs, std::u16string_view settingsPath, const std::string& bytes, const BackupTime& now);

enum class RestoreResult {
    Restored,
    CopyDamaged,   // the chosen copy cannot be read or is not whole
    NotKept,       // the settings file as it is could not be kept first
    NotWritten,    // the settings file could not be replaced
};
// Puts the copy at `copyPath` in place of the settings file, atomically.
// The file as it is goes first into a copy made at `now`, so the user can go
// back; when that fails nothing is replaced.
RestoreResult RestoreBackup(FileSystem& fs, std::u16string_view settingsPath, const std::u16string& copyPath,
                            const BackupTime& now);

}  // namespace vc
