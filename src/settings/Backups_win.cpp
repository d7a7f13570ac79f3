#include "settings/Backups_win.h"

#include <cstdlib>
#include <memory>

#include "common/Handles_win.h"
#include "common/Wide_win.h"

namespace vc {

namespace {

// A copy cut short by a crash or by the end of the program is left under
// its temporary name, which no list shows; after an hour it belongs to no
// write still going on.
bool AbandonedTemporaryFile(const WIN32_FIND_DATAW& found, uint64_t now) {
    const std::u16string_view name = AsU16(found.cFileName);
    const uint64_t written = (uint64_t(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
    return name.ends_with(u".saving") && written + 36000000000ull < now;
}

std::vector<std::u16string> FolderNames(const std::u16string& folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(AsW(folder + u"\\*"), &found));
    if (!find) return names;
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const uint64_t now = (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (AbandonedTemporaryFile(found, now)) DeleteFileW(AsW(folder + u"\\" + U16(found.cFileName)));
        else names.push_back(U16(found.cFileName));
    } while (FindNextFileW(find.get(), &found));
    return names;
}

bool MakeFolder(const std::u16string& folder) {
    return CreateDirectoryW(AsW(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

struct BackupJob {
    std::u16string path;
    int generations;
};

HANDLE g_worker = nullptr;

DWORD WINAPI BackupThread(void* param) {
    std::unique_ptr<BackupJob> job(static_cast<BackupJob*>(param));
    // Lower priority for its processor time and for its reads and writes:
    // the launches and look-ups of the moment go first.
    if (!SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN))
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    MakeDailyBackup(job->path, job->generations);
    return 0;
}

// The program's statics (its file system among them) go after this has run,
// so a copy still being written finishes first; a disk that hangs is not
// waited for long.
void WaitAtExit() { WaitForDailyBackup(5000); }

}  // namespace

BackupTime LocalBackupTime() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::vector<std::u16string> ListBackups(const std::u16string& settingsPath) {
    return BackupsNewestFirst(settingsPath, FolderNames(BackupFolderOf(settingsPath)));
}

void MakeDailyBackup(const std::u16string& settingsPath, int generations) {
    if (generations <= 0) return;
    const std::u16string folder = BackupFolderOf(settingsPath);
    std::vector<std::u16string> names = FolderNames(folder);
    const BackupTime now = LocalBackupTime();
    if (BackupDue(settingsPath, names, now, generations)) {
        FileSystem& fs = PlatformFileSystem();
        // One read through one handle: the program replaces the file whole,
        // so the bytes are one version of it. A file that reads damaged
        // would push a good copy out.
        std::string bytes;
        if (fs.ReadAll(settingsPath, bytes) != ReadResult::Ok || !ExamineBackup(bytes).whole || !MakeFolder(folder) ||
            !KeepBackup(fs, settingsPath, bytes, now))
            return;
        names.push_back(BackupFileName(settingsPath, now));
    }
    for (const std::u16string& name : BackupsBeyond(settingsPath, names, generations))
        DeleteFileW(AsW(folder + u"\\" + name));
}

void StartDailyBackup(const std::u16string& settingsPath, int generations) {
    if (generations <= 0) return;
    static const bool waitsAtExit = std::atexit(WaitAtExit) == 0;
    (void)waitsAtExit;
    // Only a second start in one process (the tests) finds one still running.
    WaitForDailyBackup(INFINITE);
    auto* job = new BackupJob{settingsPath, generations};
    g_worker = CreateThread(nullptr, 0, BackupThread, job, 0, nullptr);
    if (!g_worker) delete job;
}

bool WaitForDailyBackup(DWORD ms) {
    if (!g_worker) return true;
    if (WaitForSingleObject(g_worker, ms) != WAIT_OBJECT_0) return false;
    CloseHandle(g_worker);
    g_worker = nullptr;
    return true;
}

RestoreResult RestoreBackupFile(FileSystem& fs, const std::u16string& settingsPath, const std::u16string& copyPath) {
    MakeFolder(BackupFolderOf(settingsPath));
    return RestoreBackup(fs, settingsPath, copyPath, LocalBackupTime());
}

}  // namespace vc
