// What the tab window shows about entries and special pages.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <map>

#include "common/U16.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FolderContents_win.h"
#include "pageview/Lookups_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

std::u16string EntryDateText(uint64_t lastWriteTime) {
    return DateTextOf(lastWriteTime, false, kDateColumnCapacity);
}

namespace {

struct FolderCount {
    int count = -1;
    bool asked = false;
    std::chrono::steady_clock::time_point at;
};
std::map<int, FolderCount> g_counts;  // by FolderId; the window's thread only

// A count this fresh answers the tooltip again without a new count.
constexpr auto kCountKept = std::chrono::seconds(2);

}  // namespace

int SpecialFolderEntryCount(const PageRecord& page, HWND tooltip) {
    FolderCount& known = g_counts[page.FolderId];
    if (!known.asked && (known.count < 0 || std::chrono::steady_clock::now() - known.at > kCountKept)) {
        known.asked = true;
        PageRecord folders;
        folders.FolderId = page.FolderId;
        folders.CommonFolderId = page.CommonFolderId;
        Lookups().Submit(
            0, SpecialFolderKey(page.FolderId),
            [folders, tooltip]() -> LookupQueue::Apply {
                const int n = CountFolderContents(folders, CountMode::Listed);
                return [id = folders.FolderId, n, tooltip] {
                    FolderCount& c = g_counts[id];
                    c = FolderCount{n, false, std::chrono::steady_clock::now()};
                    if (IsWindowVisible(tooltip)) SendMessageW(tooltip, TTM_UPDATE, 0, 0);
                };
            },
            false);
    }
    return known.count;
}

}  // namespace vc
