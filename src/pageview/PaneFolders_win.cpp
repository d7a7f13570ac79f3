// The page pane's folder pages: their folders read on a worker a batch at a
// time, the recent page keeping the newest of its shortcuts, the start-up
// page resolving them, and the items listed as the entries come in.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FolderContents_win.h"
#include "pageview/Lookups_win.h"
#include "pageview/PaneRules.h"
#include "pageview/ShellWarmup_win.h"
#include "pageview/Sort.h"
#include "settings/AppState_win.h"

namespace vc {
namespace pagepane {

// Resolving a shortcut while loading must neither ask the user nor go
// looking for a moved target, and must leave the shortcut as it is.
constexpr DWORD kResolveQuietly = DWORD(SLR_NO_UI) | DWORD(SLR_ANY_MATCH) | DWORD(SLR_NOUPDATE) |
                                  DWORD(SLR_NOSEARCH) | DWORD(SLR_NOTRACK) | DWORD(SLR_NOLINKINFO) |
                                  DWORD(SLR_NO_UI_WITH_MSG_PUMP);

// A folder page's folders, read on a worker: the page's folder, then its
// common folder (not for the recent page). One batch at a time, each asked
// for once the one before is in, so one reader is never on two threads.
struct FolderReader {
    std::u16string folders[2];
    int current = 0;
    FindHandle search;
};

struct FolderBatch {
    bool first = false;
    bool noFolder = false;  // the page's folder has no path (the computer page)
    int count = 0;          // first batch: every directory entry, the table's size
    std::vector<FileEntry> entries;
    bool ended = false;
};

// The next listed entry of the reader's folders, or false at their end.
// Hidden entries, "." and ".." and paths an entry cannot hold are passed over.
static bool ReadEntry(FolderReader& r, FileEntry& entry) {
    WIN32_FIND_DATAW fd;
    for (;;) {
        if (!r.search) {
            while (r.current < 2 && r.folders[r.current].empty()) ++r.current;
            if (r.current >= 2) return false;
            const std::u16string pattern = r.folders[r.current] + u"\\*.*";
            if (pattern.size() <= kEntryPathMax) r.search.reset(FindFirstFileW(AsW(pattern), &fd));
            if (!r.search) {
                ++r.current;
                continue;
            }
        } else if (!FindNextFileW(r.search.get(), &fd)) {
            r.search.reset();
            ++r.current;
            continue;
        }
        std::u16string name = U16(fd.cFileName);
        if (name == u"." || name == u".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        std::u16string path = r.folders[r.current] + u"\\" + name;
        if (path.size() > kEntryPathMax) continue;
        const bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        entry = FileEntry{};
        entry.Path = std::move(path);
        entry.LastWriteTime = (uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
        entry.Size = folder ? 0 : int64_t((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
        SetOffsets(entry, folder);
        return true;
    }
}

// The first batch is small, so that the first items show early; later ones
// are larger, so that a large folder takes few round trips.
constexpr size_t kFirstBatch = 50;
constexpr size_t kBatch = 500;

// Takes a batch in: the first sizes the table; the waiting step goes on.
void PagePane::BatchArrived(uint16_t chain, std::shared_ptr<FolderReader> reader, FolderBatch& b, int folderId,
                            int commonFolderId) {
    // A full table or a page gathered to its end reads no further.
    if (chain != chain_ || reading_.stopped) return;
    FolderReading& f = reading_;
    if (b.first) {
        // Nothing is in the table before the first batch: it is sized now.
        SizeEntryTable(EntryTableCapacity(false, b.count));
        // No folder: the page stays on its loading notice.
        if (b.noFolder) return;
    }
    f.entries.erase(f.entries.begin(), f.entries.begin() + ptrdiff_t(f.next));
    f.next = 0;
    std::move(b.entries.begin(), b.entries.end(), std::back_inserter(f.entries));
    f.ended = b.ended;
    if (!f.ended) AskBatch(std::move(reader), false, folderId, commonFolderId);
    if (f.waitingStep) {
        Post(f.waitingStep, f.waitingAt);
        f.waitingStep = 0;
    }
}

void PagePane::AskBatch(std::shared_ptr<FolderReader> reader, bool first, int folderId, int commonFolderId) {
    const uint16_t chain = chain_;
    const bool recent = folderId == kRecentFolderId;
    // Before the first batch the folders' paths are not known: it waits
    // behind what else asks the page's folder, not behind other folders.
    const std::u16string share = first ? SpecialFolderKey(folderId) : ShareOf(reader->folders[reader->current]);
    Lookups().Submit(load_, share, [this, chain, reader, first, recent, folderId, commonFolderId]() -> LookupQueue::Apply {
        FolderBatch b;
        b.first = first;
        if (first) {
            reader->folders[0] = SpecialFolderPath(folderId);
            if (!recent) reader->folders[1] = SpecialFolderPath(commonFolderId);
            b.noFolder = reader->folders[0].empty();
            b.count = CountFolder(reader->folders[0], CountMode::All) + CountFolder(reader->folders[1], CountMode::All);
        }
        FileEntry entry;
        const size_t most = first ? kFirstBatch : kBatch;
        while (!b.noFolder && b.entries.size() < most && ReadEntry(*reader, entry)) b.entries.push_back(std::move(entry));
        b.ended = b.noFolder || b.entries.size() < most;
        // Runs only while this load lives, so the pane is still there.
        return [this, chain, reader, folderId, commonFolderId, b = std::move(b)]() mutable {
            BatchArrived(chain, reader, b, folderId, commonFolderId);
        };
    });
}

// The next entry the reader gave. Wait: none yet, the step is posted again
// with the next batch.
PagePane::Scanned PagePane::NextScanned(FileEntry& entry, int step, int32_t r) {
    FolderReading& f = reading_;
    if (f.next < f.entries.size()) {
        entry = std::move(f.entries[f.next++]);
        return Scanned::Entry;
    }
    if (f.ended) return Scanned::End;
    f.waitingStep = step;
    f.waitingAt = r;
    return Scanned::Wait;
}

// One slot read earlier gets its item, once the folders are looked up (a
// step of their own) and the shell is ready to give icons.
void PagePane::ListPendingSlot() {
    if (listed_ >= loadStep_) return;
    if (!FoldersLookedUp()) {
        LookUpFolders();
        return;
    }
    if (ShellWarmedUp()) ListSlot(listed_++);
}

void PagePane::FinishGathering() {
    if (IsStartupPage()) {
        loadStep_ = 0;
        Post(ResolveShortcutStep, 0);
        return;
    }
    if (ListsAsScanned()) {
        // The slots still waiting for their items, if any.
        if (listed_ > 0 && listed_ >= entries_.EntryCount) ItemsListed();
        else Post(ShowNextEntry, listed_);
        return;
    }
    Post(SortByTime);
}

// The target of a shortcut file, or empty when it is none (or cannot be
// resolved).
static std::u16string ShortcutTarget(const std::u16string& path, HWND owner) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return {};
    std::u16string target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t buf[kPathBuffer] = {};
        WIN32_FIND_DATAW fd{};
        if (SUCCEEDED(file->Load(AsW(path), STGM_READ)) &&
            SUCCEEDED(link->Resolve(owner, kResolveQuietly)) &&
            link->GetPath(buf, int(std::size(buf)), &fd, 0) == S_OK)
            target = U16(buf);
        file->Release();
    }
    link->Release();
    return target;
}


// The first step waits for the first batch.
void PagePane::StartReadingFolders() {
    reading_ = FolderReading{};
    reading_.waitingStep = IsRecentPage() ? ScanRecentStep : ScanFolderStep;
    reading_.waitingAt = 0;
    AskBatch(std::make_shared<FolderReader>(), true, page_->FolderId, page_->CommonFolderId);
}

// A batch still on its way is dropped with its chain; the reader's folder
// handle goes with the last job that holds it.
void PagePane::StopReading() {
    reading_ = FolderReading{};
    reading_.stopped = true;
}

// The time order of the pages listed as scanned is only the order among
// equal sort keys, which the sort at the end keeps; so their first items
// show long before a large folder is read to its end.
bool PagePane::ListsAsScanned() const { return page_ && vc::ListsAsScanned(userPage_, page_->FolderId); }

void PagePane::ScanFolderStepNow(int32_t r) {
    PaneState& table = entries_;
    FileEntry entry;
    const Scanned got = NextScanned(entry, ScanFolderStep, r);
    if (got == Scanned::Wait) return;
    if (got == Scanned::Entry && loadStep_ < table.EntryCapacity)
        table.EntryTable[size_t(loadStep_++)] = std::move(entry);
    if (ListsAsScanned()) {
        // The items shown so far lead to their entries (status, menu, launch).
        table.EntryCount = loadStep_;
        ListPendingSlot();
    }
    if (got == Scanned::Entry && loadStep_ < table.EntryCapacity) {
        Post(ScanFolderStep, r + 1);
        return;
    }
    StopReading();
    table.EntryCount = loadStep_;
    FinishGathering();
}

// Every shortcut of the recent folder is looked at, one per step, and only
// the newest are kept: the folder is not read in time order (on NTFS it is
// name order), so stopping after some number of entries would lose new ones.
void PagePane::ScanRecentStepNow(int32_t r) {
    PaneState& table = entries_;
    FileEntry entry;
    const Scanned got = NextScanned(entry, ScanRecentStep, r);
    if (got == Scanned::Wait) return;
    if (got == Scanned::Entry) {
        KeepNewest(recentNewest_, std::move(entry), kRecentKept);
        Post(ScanRecentStep, r + 1);
        return;
    }
    StopReading();
    const RecentChoice choice = ChooseRecentFiles(recentNewest_.size(), table.EntryCapacity,
                                                  app_.rec.GlobalSettings.SpcialRecentFileNum);
    for (int i = 0; i < choice.kept; ++i) table.EntryTable[size_t(i)] = recentNewest_[size_t(i)];
    loadStep_ = 0;
    table.EntryCount = choice.listed;
    recentNewest_.clear();
    if (table.EntryCount == 0) {
        Post(SortByTime);
        return;
    }
    Post(ResolveShortcutStep, 0);
}

// Every shortcut's target is looked up on a worker at once (a target may
// lie on a share that has gone away); the page goes on once they are in,
// or once only slow shares are left, whose shortcuts then stay as they are.
void PagePane::ResolveShortcutStepNow(int32_t) {
    PaneState& table = entries_;
    const HWND owner = app_.HostWindow;
    const bool foldersAllowed = IsStartupPage();
    resolving_ = true;
    for (int32_t r = 0; r < table.EntryCount; ++r) {
        const std::u16string path = table.EntryTable[size_t(r)].Path;
        if (path.empty()) continue;
        Lookups().Submit(load_, ShareOf(path), [this, r, path, owner, foldersAllowed]() -> LookupQueue::Apply {
            std::u16string target = ShortcutTarget(path, owner);
            FileEntry resolved;
            if (target.empty() || !FillFromSearch(target, foldersAllowed, resolved)) return nullptr;
            return [this, r, path, resolved = std::move(resolved)] {
                PaneState& t = entries_;
                int32_t slot = r < t.EntryCount && t.EntryTable[size_t(r)].Path == path ? r : -1;
                // One that came in after the page went on (a share found slow
                // meanwhile) finds its shortcut wherever the sort put it.
                for (int32_t i = 0; slot < 0 && !resolving_ && i < t.EntryCount; ++i)
                    if (t.EntryTable[size_t(i)].Path == path) slot = i;
                if (slot >= 0) {
                    t.EntryTable[size_t(slot)] = resolved;
                    if (!resolving_) {
                        RefreshSlotItem(slot);
                        if (loaded_ && !resortPosted_)
                            resortPosted_ = PostMessageW(hwnd_, kResortMessage, 0, 0);
                    }
                }
                FinishWhenLookedUp();
            };
        });
    }
    if (!finishWaiting_) SetTimer(hwnd_, kFinishTimer, 100, nullptr);
    finishWaiting_ = true;
    FinishWhenLookedUp();
}

void PagePane::SortByTimeNow() {
    PaneState& table = entries_;
    SortNewestFirst(table.EntryTable, table.EntryCount);
    Post(ShowNextEntry, 0);
}

}  // namespace pagepane
}  // namespace vc
