#include "generalsettings/PageListPane.h"

#include <algorithm>
#include <utility>

#include "common/U16.h"

namespace vc {
namespace {

// A count of folder pages larger than the copy (or negative) would let user
// page rules reach past either end.
int FolderPagesWithin(int folderPages, int count) { return std::clamp(folderPages, 0, std::max(count, 0)); }

// Both texts come from 36-unit buffers: 35 characters at most.
constexpr size_t kItemTextMax = 35;

}  // namespace

bool CanMoveUp(int folderPages, int position, int count) {
    return FolderPagesWithin(folderPages, count) < position && position < count;
}

bool CanMoveDown(int folderPages, int position, int count) {
    return FolderPagesWithin(folderPages, count) <= position && position < count - 1;
}

int MovePage(std::vector<PageRecord>& pages, int folderPages, int position, int delta) {
    const int count = int(pages.size());
    const bool allowed = (delta == -1 && CanMoveUp(folderPages, position, count)) ||
                         (delta == 1 && CanMoveDown(folderPages, position, count));
    if (!allowed) return position;
    std::swap(pages[size_t(position)], pages[size_t(position + delta)]);
    return position + delta;
}

int MainPagePosition(const std::vector<PageRecord>& pages) {
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].Flag & PageFlag::MainPage) return int(i);
    return 0;
}

void MakeMainPage(std::vector<PageRecord>& pages, int position) {
    if (position < 0 || position >= int(pages.size())) return;
    for (PageRecord& p : pages) p.Flag &= ~PageFlag::MainPage;
    pages[size_t(position)].Flag |= PageFlag::MainPage;
}

std::u16string PageItemText(const PageRecord& page, bool folderPage) {
    if (!folderPage) return page.Label;
    return std::u16string(CutTo(u"[" + page.Label + u"]", kItemTextMax));
}

std::u16string MainPageCaption(const std::vector<PageRecord>& pages, int folderPages, int position) {
    if (position < 0 || position >= int(pages.size())) return {};
    const bool folder = position < FolderPagesWithin(folderPages, int(pages.size()));
    const char16_t* open = folder ? u"[" : u"\"";
    const char16_t* close = folder ? u"]" : u"\"";
    return std::u16string(CutTo(open + pages[size_t(position)].Label + close, kItemTextMax));
}

MarkState MarkOf(const PageRecord& page) { return (page.Flag & PageFlag::Unmarked) ? MarkOff : MarkOn; }

bool CommitMarks(std::vector<PageRecord>& pages, const std::vector<int>& marks) {
    bool changed = false;
    const size_t n = std::min(pages.size(), marks.size());
    for (size_t i = 0; i < n; ++i) {
        // Until the boxes are shown (they come a moment after the tree) the
        // tree holds no marks at all: reading those as "checked" would mark
        // every page.
        if (marks[i] != MarkOff && marks[i] != MarkOn) continue;
        const uint32_t before = pages[i].Flag;
        if (marks[i] == MarkOff) pages[i].Flag |= PageFlag::Unmarked;
        else pages[i].Flag &= ~PageFlag::Unmarked;
        changed = changed || pages[i].Flag != before;
    }
    return changed;
}

}  // namespace vc
