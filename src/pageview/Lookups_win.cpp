#include "pageview/Lookups_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>

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

int ShellIndex(const std::u16string& path, UINT flags) {
    SHFILEINFOW info = {};
    return shell::SHGetFileInfoW(AsW(path), 0, &info, sizeof info, SHGFI_SYSICONINDEX | flags) ? info.iIcon : -1;
}

}  // namespace

LookupQueue& Lookups() {
    static LookupQueue* queue = new LookupQueue(
        LookupQueue::Limits{},
        // The shell's look-ups want COM on the thread that asks.
        [] { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); },
        [] {
            if (HWND w = g_window.load()) PostMessageW(w, kLookupsReadyMessage, 0, 0);
        });
    return *queue;
}

void SetLookupWindow(HWND window) { g_window.store(window); }

void DrainLookups(HWND window) {
    if (Lookups().Drain(kDrainBudget) && window) PostMessageW(window, kLookupsReadyMessage, 0, 0);
}

void LookUpIcons(EntryDetails& details) {
    details.smallIcon = ShellIndex(details.entry.Path, 0);
    details.largeIcon = ShellIndex(details.entry.Path, SHGFI_OPENICON);
}

EntryDetails LookUpEntryDetails(const std::u16string& path) {
    EntryDetails d;
    if (!FillFromSearch(path, true, d.entry)) {
        d.entry = FileEntry{};
        d.entry.Path = std::u16string(CutTo(path, kPathCapacity - 1));
        FillFromFile(d.entry);
    }
    d.folderNow = IsFolderNow(d.entry.Path);
    LookUpIcons(d);
    return d;
}

}  // namespace vc
