#include "pageview/PaneRules.h"

#include <algorithm>
#include <iterator>

#include "pageview/FileDetails.h"
#include "pageview/FilesText.h"
#include "pageview/Sort.h"
#include "common/U16.h"

namespace vc {

namespace {

bool IsChainStep(int command) {
    return command == FinishLoading || (command >= ParseNextEntry && command <= ShowNextEntry);
}

}  // namespace

uint16_t NextChain(uint16_t chain) { return chain == 0xFFFF ? 1 : uint16_t(chain + 1); }

bool IsStaleStep(int command, uint16_t stepChain, uint16_t currentChain) {
    if (IsChainStep(command)) return stepChain != currentChain;
    return command == StartLoading && stepChain != 0 && stepChain != currentChain;
}

std::u16string CapFilesText(std::u16string text, size_t capacity) {
    if (text.size() <= capacity - 1) return text;
    // The last CR LF that still ends within capacity - 1 units.
    const size_t cut = text.rfind(u"\r\n", capacity - 3);
    text.resize(cut == std::u16string::npos ? 0 : cut + 2);
    return text;
}

int EntryTableCapacity(bool userPage, int folderEntries) {
    return !userPage && folderEntries > 0 ? folderEntries : kMaxUserEntries;
}

bool TakesRegistration(bool userPage, bool loaded, uint32_t pageFlags, int entryCount, int entryCapacity) {
    return userPage && loaded && entryCount < kMaxUserEntries && entryCount < entryCapacity &&
           !(pageFlags & PageFlag::NoChanges);
}

RecentChoice ChooseRecentFiles(size_t gathered, int capacity, uint16_t wanted) {
    const int kept = int(std::min<size_t>(gathered, size_t(std::max(capacity, 0))));
    return {kept, std::min<int>(kept, wanted)};
}

bool ListsAsScanned(bool userPage, int folderId) {
    return !userPage && folderId != kRecentFolderId && folderId != kStartupFolderId;
}

int CompareListed(const FileEntry* a, const FileEntry* b, int key, bool newestAmongEqual) {
    const int r = CompareEntries(a, b, key);
    if (r != 0 || !newestAmongEqual || !a || !b) return r;
    const int64_t ta = int64_t(a->LastWriteTime), tb = int64_t(b->LastWriteTime);
    return ta > tb ? -1 : ta < tb ? 1 : 0;
}

bool IsProgramPath(std::u16string_view path) {
    static constexpr std::u16string_view kTypes[] = {u".exe", u".com", u".bat", u".cmd", u".msi", u".msc", u".lnk"};
    const size_t dot = path.find_last_of(u".\\/");
    if (dot == std::u16string_view::npos || path[dot] != u'.') return false;
    const std::u16string_view type = path.substr(dot);
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](std::u16string_view t) { return EqualsNoCase(type, t); });
}

}  // namespace vc
