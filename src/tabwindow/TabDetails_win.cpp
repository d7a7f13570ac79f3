// What the tab window shows about entries and special pages.
#include <windows.h>

#include "common/U16.h"
#include "pageview/SpecialFolders_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

std::u16string EntryDateText(uint64_t lastWriteTime) {
    if (lastWriteTime == 0) return u"-----";
    FILETIME utc{DWORD(lastWriteTime & 0xFFFFFFFF), DWORD(lastWriteTime >> 32)}, local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return u"-----";
    return Dec(st.wYear) + u"/" + DecPadded(st.wMonth, 2) + u"/" + DecPadded(st.wDay, 2) + u" " +
           DecPadded(st.wHour, 2) + u":" + DecPadded(st.wMinute, 2);
}

int CountSpecialFolderEntries(const PageRecord& page) { return CountFolderContents(page, CountMode::Listed); }

}  // namespace vc
