#include "tabwindow/FindAll.h"

#include "common/U16.h"
#include "pageview/FileDetails.h"
#include "pageview/FilesText.h"
#include "pageview/FindText.h"
#include "settings/PortablePaths.h"

namespace vc {

namespace {

// The longest path a page's slot keeps.
constexpr size_t kSlotPathMax = kPathCapacity - 1;

// Where the file-name part starts, as the page's full-path look-up finds it
// without asking the disk: after the last separator, else after a drive
// ("C:run.exe"); the path's end when nothing follows (a drive root, a path
// ending in "\"), which gives no item.
size_t NameStartOf(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) return slash + 1;
    if (path.size() >= 2 && path[1] == u':') return 2;
    return 0;
}

}  // namespace

std::vector<FindEntry> IndexEntries(const std::vector<PageRecord>& pages, std::u16string_view settingsPath) {
    std::vector<FindEntry> entries;
    entries.reserve(pages.size() * 32);
    for (size_t p = 0; p < pages.size(); ++p) {
        // A line the reading could not resolve (no room left in the field)
        // still names the settings file's drive.
        const std::u16string files = ResolveDriveRelativeLines(pages[p].Files, settingsPath, std::u16string::npos);
        size_t pos = 0;
        std::u16string_view line;
        // Numbered as the page loads them: every line takes a slot, an empty
        // one too, and lines past the page's limit are never listed.
        for (int slot = 0; slot < kMaxUserEntries; ++slot) {
            if (!CutNextEntry(files, pos, line) && !CutLastEntry(files, pos, line)) break;
            const std::u16string_view path = CutTo(line, kSlotPathMax);
            const size_t nameStart = NameStartOf(path);
            if (path.empty() || nameStart >= path.size()) continue;
            FindEntry e;
            e.page = int(p);
            e.index = slot;
            // Whether it is a folder is only known from the disk: named as a
            // file, as the page names it until its look-up is in.
            e.name = DisplayName(path.substr(nameStart), pages[p], false);
            e.path = std::u16string(path);
            e.folded = FoldForFind(e.name);
            entries.push_back(std::move(e));
        }
    }
    return entries;
}

std::vector<int> FindEntries(const std::vector<FindEntry>& entries, std::u16string_view typed) {
    std::vector<int> found;
    const std::u16string folded = FoldForFind(typed);
    if (folded.empty()) return found;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].folded.find(folded) != std::u16string::npos) found.push_back(int(i));
    return found;
}

std::u16string EntryFolder(const FindEntry& entry) {
    return ContainingFolder(entry.path);
}

}  // namespace vc
