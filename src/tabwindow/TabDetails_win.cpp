// What the tab window shows about entries and special pages.
#include <windows.h>

#include "common/U16.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FolderContents_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

std::u16string EntryDateText(uint64_t lastWriteTime) {
    return DateTextOf(lastWriteTime, false, kDateColumnCapacity);
}

int CountSpecialFolderEntries(const PageRecord& page) { return CountFolderContents(page, CountMode::Listed); }

}  // namespace vc
