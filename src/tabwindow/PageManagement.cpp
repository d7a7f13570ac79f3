#include "tabwindow/PageManagement.h"

#include <algorithm>
#include <vector>

#include "settings/SettingsFile.h"

namespace vc {

namespace {
void WriteAllPages(Records& r, ProfileStore& store) {
    for (int32_t i = 0; i < int32_t(r.UserPages.size()); ++i) WritePage(r, store, i, WriteGroup::All);
}
}  // namespace

bool RebuildUserPages(Records& r, ProfileStore& store, int32_t count) {
    ProfileBatch batch(store);
    if (!store.BatchReadable()) return false;
    count = std::clamp<int32_t>(count, 1, kMaxPageCount);
    r.GlobalSettings.PageCount = count;
    r.UserPages.assign(size_t(count), PageRecord{});
    for (int32_t i = 0; i < count; ++i) LoadPage(r, store, i);
    return true;
}

bool RoomForAnotherPage(const Records& r) { return int32_t(r.UserPages.size()) < kMaxPageCount; }

bool AddPage(Records& r, ProfileStore& store) {
    if (!RoomForAnotherPage(r)) return false;
    ProfileBatch batch(store);
    if (!store.BatchReadable()) return false;
    WriteAllPages(r, store);
    RebuildUserPages(r, store, int32_t(r.UserPages.size()) + 1);
    WriteGlobalSettings(r, store);  // the page count goes with the pages
    return true;
}

namespace {
// Puts `added` in as user page `at`; the pages from there on move up one.
// Only their section headers change in the file, and the new page's section
// goes in right after the page before it: a copy of that page's section
// when it is a duplicate (keys this program does not know come along), else
// written from the record alone.
bool InsertPageAt(Records& r, ProfileStore& store, int32_t at, const PageRecord& added, bool copyOfPrevious) {
    const int32_t count = int32_t(r.UserPages.size());
    if (at < 0 || at > count || (copyOfPrevious && at == 0) || !RoomForAnotherPage(r)) return false;
    ProfileBatch batch(store);
    if (!store.BatchReadable()) return false;
    WriteAllPages(r, store);
    ProfileDocument& doc = store.Doc();
    for (int32_t i = count - 1; i >= at; --i) doc.RenameSection(SectionNameOf(i), SectionNameOf(i + 1));
    std::vector<PageRecord> after = r.UserPages;
    after.insert(after.begin() + at, added);
    if (copyOfPrevious) {
        doc.CopySectionAfter(SectionNameOf(at - 1), SectionNameOf(at), SectionNameOf(at - 1));
    } else {
        // A new section goes at the end of the file; it is moved to its place.
        r.UserPages = after;
        WritePage(r, store, at, WriteGroup::All);
        constexpr char16_t kMoving[] = u"Page-Moving";
        if (at > 0 && doc.RenameSection(SectionNameOf(at), kMoving)) {
            doc.CopySectionAfter(kMoving, SectionNameOf(at), SectionNameOf(at - 1));
            doc.DeleteSection(kMoving);
        }
    }
    RebuildUserPages(r, store, count + 1);
    // The records are the master copy of what was in memory: a section that
    // was missing or differed is written out in full.
    for (int32_t i = count; i >= at; --i) {
        r.UserPages[size_t(i)] = after[size_t(i)];
        WritePage(r, store, i, WriteGroup::All);
    }
    WriteGlobalSettings(r, store);
    return true;
}
}  // namespace

bool DuplicatePage(Records& r, ProfileStore& store, int32_t page) {
    if (page < 0 || size_t(page) >= r.UserPages.size()) return false;
    return InsertPageAt(r, store, page + 1, r.UserPages[size_t(page)], true);
}

bool InsertPage(Records& r, ProfileStore& store, int32_t at, const PageRecord& page) {
    return InsertPageAt(r, store, at, page, false);
}

bool DeletePage(Records& r, ProfileStore& store, int32_t page) {
    const int32_t count = int32_t(r.UserPages.size());
    if (page < 0 || page >= count || count <= 1) return false;
    ProfileBatch batch(store);
    if (!store.BatchReadable()) return false;
    // The page's section goes and the sections behind it move down one
    // number.
    ProfileDocument& doc = store.Doc();
    doc.DeleteSection(SectionNameOf(page));
    for (int32_t i = page + 1; i < count; ++i) doc.RenameSection(SectionNameOf(i), SectionNameOf(i - 1));
    std::vector<PageRecord> before = r.UserPages;
    before.erase(before.begin() + page);
    r.UserPages = before;
    for (int32_t i = page; i < count - 1; ++i) WritePage(r, store, i, WriteGroup::All);
    RebuildUserPages(r, store, count - 1);
    WriteGlobalSettings(r, store);
    DeletePageSection(store, count - 1);
    return true;
}

bool TakeOverPages(Records& r, ProfileStore& store, const std::vector<PageRecord>& copy) {
    const size_t special = r.ShownSpecialCount;
    // The dialog adds and removes no page: a copy of another size is not ours.
    if (copy.size() != special + r.UserPages.size()) return false;
    ProfileBatch batch(store);
    if (!store.BatchReadable()) return false;
    for (size_t k = 0; k < special; ++k) {
        int index = r.ShownSpecialPages[k];
        r.SpecialPages[size_t(index)] = copy[k];
        WritePage(r, store, SpecialPageId(index), WriteGroup::Look);
    }
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        r.UserPages[i] = copy[special + i];
        WritePage(r, store, int32_t(i), WriteGroup::All);
    }
    return true;
}

int32_t UserTabCount(const Records& r) {
    if (r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu) return int32_t(r.UserPages.size());
    return int32_t(std::count_if(r.UserPages.begin(), r.UserPages.end(),
                                 [](const PageRecord& p) { return !(p.Flag & PageFlag::Unmarked); }));
}

}  // namespace vc
