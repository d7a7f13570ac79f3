#include "pageview/EntryOrder.h"

#include "common/U16.h"
#include "pageview/FilesText.h"
#include "pageview/Sort.h"
#include "settings/Records.h"

namespace vc {

int32_t SlotAfterMove(int32_t slot, int32_t from, int32_t to) {
    if (slot == from) return to;
    if (from < to && slot > from && slot <= to) return slot - 1;
    if (to < from && slot >= to && slot < from) return slot + 1;
    return slot;
}

bool MovesWithinPage(bool userPage, uint32_t pageFlags, int sortKey, bool filtered) {
    return userPage && !(pageFlags & PageFlag::NoChanges) && SortColumn(sortKey) < 0 && !filtered;
}

TabDrop TabDropOf(bool sourceUser, uint32_t sourceFlags, bool targetUser, uint32_t targetFlags, bool copy) {
    if (!sourceUser || !targetUser || (targetFlags & PageFlag::NoChanges)) return TabDrop::None;
    if (copy) return TabDrop::Copy;
    return (sourceFlags & PageFlag::NoChanges) ? TabDrop::None : TabDrop::Move;
}

std::optional<std::u16string> WithEntryAppended(std::u16string_view files, std::u16string_view path) {
    if (path.empty()) return std::nullopt;
    int count = 0;
    size_t pos = 0;
    std::u16string_view entry;
    // Text after the last CR LF is an entry too (the pane reads it as one).
    while (CutNextEntry(files, pos, entry) || CutLastEntry(files, pos, entry)) {
        if (EqualsNoCase(entry, path)) return std::nullopt;
        ++count;
    }
    if (count >= kMaxUserEntries) return std::nullopt;
    std::u16string text(files);
    if (!text.empty() && (text.size() < 2 || text.compare(text.size() - 2, 2, u"\r\n") != 0)) text += u"\r\n";
    text.append(path).append(u"\r\n");
    if (text.size() >= kFilesCapacity) return std::nullopt;
    return text;
}

}  // namespace vc
