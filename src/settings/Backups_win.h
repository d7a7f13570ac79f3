// The dated copies of the settings file on Windows: the day's copy, made on
// a thread of its own once the window shows, the list of the copies, and
// putting one back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/Backups.h"

namespace vc {

// The local time as the copies are named by it.
BackupTime LocalBackupTime();
// The file names of the copies in the backups folder, newest first.
std::vector<std::u16string> ListBackups(const std::u16string& settingsPath);

// On the calling thread: a copy of the settings file when none is from
// today, then the copies beyond the newest `generations` deleted. Nothing
// with 0. A folder that cannot be made or written, or a full disk, leaves
// everything as it was and says nothing.
void MakeDailyBackup(const std::u16string& settingsPath, int generations);
// The same on a thread of its own, at low priority: the window's thread
// never waits for the file's bytes. The thread touches no window.
void StartDailyBackup(const std::u16string& settingsPath, int generations);
// Waits at most `ms` for the thread StartDailyBackup started; true when it
// has ended or none runs. The end of the program waits a moment for it.
bool WaitForDailyBackup(DWORD ms);

// RestoreBackup with the local time, the backups folder made if need be.
RestoreResult RestoreBackupFile(FileSystem& fs, const std::u16string& settingsPath, const std::u16string& copyPath);

}  // namespace vc
