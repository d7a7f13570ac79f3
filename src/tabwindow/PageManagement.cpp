#include "tabwindow/PageManagement.h"

#include <algorithm>

#include "settings/SettingsFile.h"

namespace vc {

namespace {
void WriteAllPages(Records& r, ProfileStore& store) {
    for (int32_t i = 0; i < int32_t(r.UserPages.size()); ++i) WritePage(r, store, i, WriteGroup::All);
}
}  // namespace

void RebuildUserPages(Records& r, ProfileStore& store, int32_t count) {
    ProfileBatch batch(store);
    count = std::clamp<int32_t>(count, 1, kMaxPageCount);
    r.GlobalSettings.PageCount = count;
    r.UserPages.assign(size_t(count), PageRecord{});
    for (int32_t i = 0; i < count; ++i) LoadPage(r, store, i);
}

void AddPage(Records& r, ProfileStore& store) {
    if (int32_t(r.UserPages.size()) >= kMaxPageCount) return;
    ProfileBatch batch(store);
    WriteAllPages(r, store);
    RebuildUserPages(r, store, int32_t(r.UserPages.size()) + 1);
}

void DuplicatePage(Records& r, ProfileStore& store, int32_t page) {
    const int32_t count = int32_t(r.UserPages.size());
    if (page < 0 || page >= count || count >= kMaxPageCount) return;
    ProfileBatch batch(store);
    WriteAllPages(r, store);
    RebuildUserPages(r, store, count + 1);
    for (int32_t i = count; i > page; --i) {
        r.UserPages[size_t(i)] = r.UserPages[size_t(i - 1)];
        WritePage(r, store, i, WriteGroup::All);
    }
}

void DeletePage(Records& r, ProfileStore& store, int32_t page) {
    const int32_t count = int32_t(r.UserPages.size());
    if (page < 0 || page >= count || count <= 1) return;
    ProfileBatch batch(store);
    for (int32_t i = page; i < count - 1; ++i) {
        r.UserPages[size_t(i)] = r.UserPages[size_t(i + 1)];
        WritePage(r, store, i, WriteGroup::All);
    }
    RebuildUserPages(r, store, count - 1);
    WriteGlobalSettings(r, store);
    DeletePageSection(store, count - 1);
}

int32_t UserTabCount(const Records& r) {
    if (r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu) return int32_t(r.UserPages.size());
    return int32_t(std::count_if(r.UserPages.begin(), r.UserPages.end(),
                                 [](const PageRecord& p) { return !(p.Flag & PageFlag::Unmarked); }));
}

}  // namespace vc
