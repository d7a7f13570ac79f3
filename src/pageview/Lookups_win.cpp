#include "pageview/Lookups_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <chrono>

#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails.h"
#include "pageview/FileDetails_win.h"

namespace vc {

namespace {

std::atomic<HWND> g_window{nullptr};

// One message's share of the results: the window answers input between.
constexpr auto kDrainBudget = std::chrono::milliseconds(12);

// Long enough for a launch to get its program started, short enough that a
// launch stuck on a dead share does not keep the program from ending.
constexpr auto kLaunchesAtEnd = std::chrono::seconds(3);

int ShellIndex(const std::u16string& path, DWORD attributes, UINT flags) {
    SHFILEINFOW info = {};
    return shell::SHGetFileInfoW(AsW(path), attributes, &info, sizeof info, SHGFI_SYSICONINDEX | flags) ? info.iIcon
                                                                                                        : -1;
}

}  // namespace

LookupQueue& Lookups() {
    static LookupQueue* queue = new LookupQueue(
        LookupQueue::Limits{},
        // The shell's look-ups want COM on the thread that asks.
        [] { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); },
        [] {
            HWND w = g_window.load();
            return w && PostMessageW(w, kLookupsReadyMessage, 0, 0);
        });
    return *queue;
}

void SetLookupWindow(HWND window) {
    g_window.store(window);
    if (window) Lookups().Renotify();
}

void WaitForLaunches() { Lookups().WaitIdle(0, kLaunchesAtEnd); }

void DrainLookups(HWND window) {
    if (Lookups().Drain(kDrainBudget) && window) PostMessageW(window, kLookupsReadyMessage, 0, 0);
}

void LookUpIcons(EntryDetails& details) {
    details.smallIcon = ShellIndex(details.entry.Path, 0, 0);
    details.largeIcon = ShellIndex(details.entry.Path, 0, SHGFI_OPENICON);
}

EntryDetails LookUpEntryDetails(const std::u16string& path) {
    const auto start = std::chrono::steady_clock::now();
    EntryDetails d;
    if (!FillFromSearch(path, true, d.entry)) {
        d.entry = FileEntry{};
        d.entry.Path = std::u16string(CutTo(path, kPathCapacity - 1));
        FillFromFile(d.entry);
    }
    const DWORD attributes = GetFileAttributesW(AsW(d.entry.Path));
    d.folderNow = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Not there at all: if that took long, the share has timed out.
    d.entry.Missing = attributes == INVALID_FILE_ATTRIBUTES;
    if (d.entry.Missing) LookupQueue::Unanswered();
    if (std::chrono::steady_clock::now() - start < LookupQueue::Limits{}.slow) {
        LookUpIcons(d);
    } else {
        // A share this slow gets the icon of the file's type: the file's own
        // means reading it, and the shell holds locks of the whole process
        // while it reads (the folders' desktop.ini), so every other look-up,
        // local ones too, would wait behind the share.
        const DWORD byType = d.folderNow ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        d.smallIcon = ShellIndex(d.entry.Path, byType, SHGFI_USEFILEATTRIBUTES);
        d.largeIcon = ShellIndex(d.entry.Path, byType, SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
    }
    return d;
}

}  // namespace vc
