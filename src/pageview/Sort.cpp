#include "pageview/Sort.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace vc {

namespace {

// Case-insensitive as the C locale has it: only A..Z fold onto a..z.
int CompareNoCase(std::u16string_view a, std::u16string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? char16_t(a[i] + 32) : a[i];
        char16_t y = b[i] >= u'A' && b[i] <= u'Z' ? char16_t(b[i] + 32) : b[i];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::u16string_view NameOf(const FileEntry& e) {
    return e.NameOffset <= e.Path.size() ? std::u16string_view(e.Path).substr(e.NameOffset) : std::u16string_view();
}
std::u16string_view FolderOf(const FileEntry& e) {
    return std::u16string_view(e.Path).substr(0, std::min<size_t>(e.NameOffset, e.Path.size()));
}
std::u16string_view TypeOf(const FileEntry& e) {
    if (e.TypeOffset <= 0 || size_t(e.TypeOffset) > e.Path.size()) return {};
    return std::u16string_view(e.Path).substr(size_t(e.TypeOffset));
}

template <class T>
int Order(T a, T b) {
    return a > b ? 1 : a < b ? -1 : 0;
}

// Texts compared, then empty ones moved to the end whatever the direction.
int CompareTexts(std::u16string_view a, std::u16string_view b, bool descending, bool aEmpty, bool bEmpty) {
    int r = CompareNoCase(a, b);
    if (descending) r = -r;
    if (aEmpty) r = 1;
    if (bEmpty) r = -1;
    return r;
}

}  // namespace

int SortColumn(int sortKey) {
    int column = sortKey % kDescendingSort;
    if (sortKey < 0 || sortKey >= 2 * kDescendingSort || column > 4) return -1;
    return column;
}

int CompareEntries(const FileEntry* a, const FileEntry* b, int sortKey) {
    if (!a || !b) return 0;
    const int column = SortColumn(sortKey);
    const bool descending = sortKey >= kDescendingSort;
    int r = 0;
    switch (column) {
    case 0: return CompareTexts(NameOf(*a), NameOf(*b), descending, NameOf(*a).empty(), NameOf(*b).empty());
    case 1: r = Order<int64_t>(int64_t(a->LastWriteTime), int64_t(b->LastWriteTime)); break;
    case 2: r = Order<int64_t>(a->Size, b->Size); break;
    case 3: return CompareTexts(FolderOf(*a), FolderOf(*b), descending, a->Path.empty(), b->Path.empty());
    case 4: return CompareTexts(TypeOf(*a), TypeOf(*b), descending, TypeOf(*a).empty(), TypeOf(*b).empty());
    default: return 0;
    }
    return descending ? -r : r;
}

}  // namespace vc

namespace vc {

void SortNewestFirst(std::vector<FileEntry>& entries, int count) {
    count = std::min<int>(count, int(entries.size()));
    if (count <= 1) return;
    std::stable_sort(entries.begin(), entries.begin() + count, [](const FileEntry& a, const FileEntry& b) {
        return int64_t(a.LastWriteTime) > int64_t(b.LastWriteTime);
    });
}

void KeepNewest(std::vector<FileEntry>& kept, FileEntry entry, size_t limit) {
    const auto newer = [](const FileEntry& a, const FileEntry& b) {
        return int64_t(a.LastWriteTime) > int64_t(b.LastWriteTime);
    };
    if (limit == 0 || (kept.size() >= limit && !newer(entry, kept.back()))) return;
    kept.insert(std::upper_bound(kept.begin(), kept.end(), entry, newer), std::move(entry));
    if (kept.size() > limit) kept.pop_back();
}

}  // namespace vc
