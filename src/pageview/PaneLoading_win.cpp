// The page pane's loading chain: the steps it posts to itself, one entry
// each, so that the window goes on answering while a page loads. A user
// page parses its Files text; a folder page scans its folders (the recent
// page keeps the newest of its shortcuts, the start-up page resolves them),
// sorts by time and shows its entries, after the shell has warmed up.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "settings/AppState_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FilesText.h"
#include "pageview/FolderContents_win.h"
#include "pageview/Lookups_win.h"
#include "pageview/PaneRules.h"
#include "pageview/PaneState.h"
#include "pageview/ShellWarmup_win.h"
#include "pageview/Sort.h"

namespace vc {
namespace pagepane {

namespace {

// Resolving a shortcut while loading must neither ask the user nor go
// looking for a moved target, and must leave the shortcut as it is.
constexpr DWORD kResolveQuietly = DWORD(SLR_NO_UI) | DWORD(SLR_ANY_MATCH) | DWORD(SLR_NOUPDATE) |
                                  DWORD(SLR_NOSEARCH) | DWORD(SLR_NOTRACK) | DWORD(SLR_NOLINKINFO) |
                                  DWORD(SLR_NO_UI_WITH_MSG_PUMP);

bool IsRecentPage() { return g_pane.page && g_pane.page->FolderId == kRecentFolderId; }
bool IsStartupPage() { return g_pane.page && g_pane.page->FolderId == kStartupFolderId; }

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
bool ReadEntry(FolderReader& r, FileEntry& entry) {
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

void AskBatch(std::shared_ptr<FolderReader> reader, bool first, int folderId, int commonFolderId);

// An empty table of `capacity` slots, each pending its look-ups.
void SizeEntryTable(int capacity) {
    PaneState& table = ThePane();
    table.EntryTable.clear();
    try {
        table.EntryTable.assign(size_t(capacity), FileEntry{});
        table.EntryCapacity = capacity;
    } catch (const std::bad_alloc&) {
        // An empty page rather than a crash.
        table.EntryCapacity = 0;
    }
    g_pane.folderStates.assign(table.EntryTable.size(), FolderState::Pending);
    g_pane.shellIcons.assign(table.EntryTable.size(), {-2, -2});
}

// Takes a batch in: the first sizes the table; the waiting step goes on.
void BatchArrived(uint16_t chain, std::shared_ptr<FolderReader> reader, FolderBatch& b, int folderId,
                  int commonFolderId) {
    if (chain != g_pane.chain) return;
    FolderReading& f = g_pane.reading;
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

void AskBatch(std::shared_ptr<FolderReader> reader, bool first, int folderId, int commonFolderId) {
    const uint16_t chain = g_pane.chain;
    const bool recent = folderId == kRecentFolderId;
    Lookups().Submit(g_pane.load, first ? u"" : ShareOf(reader->folders[reader->current]),
                     [=]() mutable -> LookupQueue::Apply {
                         FolderBatch b;
                         b.first = first;
                         if (first) {
                             reader->folders[0] = SpecialFolderPath(folderId);
                             if (!recent) reader->folders[1] = SpecialFolderPath(commonFolderId);
                             b.noFolder = reader->folders[0].empty();
                             b.count = CountFolder(reader->folders[0], CountMode::All) +
                                       CountFolder(reader->folders[1], CountMode::All);
                         }
                         FileEntry entry;
                         const size_t most = first ? kFirstBatch : kBatch;
                         while (!b.noFolder && b.entries.size() < most && ReadEntry(*reader, entry))
                             b.entries.push_back(std::move(entry));
                         b.ended = b.noFolder || b.entries.size() < most;
                         return [=, b = std::move(b)]() mutable {
                             BatchArrived(chain, reader, b, folderId, commonFolderId);
                         };
                     });
}

// The next entry the reader gave. Wait: none yet, the step is posted again
// with the next batch.
enum class Scanned { Entry, Wait, End };
Scanned NextScanned(FileEntry& entry, int step, int32_t r) {
    FolderReading& f = g_pane.reading;
    if (f.next < f.entries.size()) {
        entry = std::move(f.entries[f.next++]);
        return Scanned::Entry;
    }
    if (f.ended) return Scanned::End;
    f.waitingStep = step;
    f.waitingAt = r;
    return Scanned::Wait;
}

bool FoldersLookedUp() { return g_pane.foldersChain == g_pane.chain; }

// The well-known folders of the location column, once per chain.
void LookUpFolders() {
    g_pane.folders = CurrentKnownFolderPaths();
    g_pane.foldersChain = g_pane.chain;
}

}  // namespace

FolderState SlotFolderState(int32_t i) {
    if (g_pane.userPage && size_t(i) < g_pane.folderStates.size()) return g_pane.folderStates[size_t(i)];
    return ThePane().EntryTable[size_t(i)].TypeOffset == -1 ? FolderState::Folder : FolderState::File;
}

namespace {

std::pair<int, int> SlotShellIcons(int32_t i) {
    return size_t(i) < g_pane.shellIcons.size() ? g_pane.shellIcons[size_t(i)] : std::pair<int, int>{-2, -2};
}

// The display name of slot i, or nothing for a path without a file-name
// part (such an entry gets no item).
std::optional<std::u16string> SlotName(int32_t i) {
    const FileEntry& e = ThePane().EntryTable[size_t(i)];
    std::optional<FullPath> full = e.Path.empty() ? std::nullopt : FullPathOf(e.Path);
    if (!full || full->NameStart >= full->Text.size()) return std::nullopt;
    return DisplayName(full->Name(), *g_pane.page, e.TypeOffset < 0);
}

// Creates the list item of slot i, among the gathered repaints of a filling
// list. Its icon is the one looked up, or a stand-in until it is.
void ListSlot(int32_t i) {
    const FileEntry& e = ThePane().EntryTable[size_t(i)];
    std::optional<std::u16string> name = SlotName(i);
    if (!name) return;
    HoldRepaints();
    const FolderState folder = SlotFolderState(i);
    const std::pair<int, int> icons = SlotShellIcons(i);
    int image;
    if (icons.first != -2) {
        image = g_pane.icons.AddKnown(e, icons.first, icons.second);
    } else {
        image = g_pane.icons.AddByName(e);
        // A pending registered path gets its icons with its details.
        if (folder != FolderState::Pending) AskIcons(i);
    }
    CreateItem(g_pane.list, i, e, image, *name, g_pane.folders, folder);
    if (!g_pane.repaintPosted && std::chrono::steady_clock::now() >= g_pane.nextRepaint)
        g_pane.repaintPosted = PostMessageW(g_pane.hwnd, kRepaintMessage, 0, 0);
}

}  // namespace

std::optional<std::u16string> SlotDisplayName(int32_t i) {
    return i >= 0 && i < std::min(g_pane.listed, ThePane().EntryCount) ? SlotName(i) : std::nullopt;
}

void ListSlotAgain(int32_t i, const std::u16string& name) {
    const FileEntry& e = ThePane().EntryTable[size_t(i)];
    const std::pair<int, int> icons = SlotShellIcons(i);
    const int image =
        icons.first != -2 ? g_pane.icons.AddKnown(e, icons.first, icons.second) : g_pane.icons.AddByName(e);
    CreateItem(g_pane.list, i, e, image, name, g_pane.folders, SlotFolderState(i));
}

namespace {

// Shows what came in for slot i on its item, if it has one yet.
void RefreshSlotItem(int32_t i) {
    if (i >= g_pane.listed) return;  // listed later with what is known then
    const FileEntry& e = ThePane().EntryTable[size_t(i)];
    std::optional<std::u16string> name = SlotName(i);
    if (!name) return;
    const std::pair<int, int> icons = SlotShellIcons(i);
    const int image = g_pane.icons.AddKnown(e, icons.first, icons.second);
    const int position = UpdateItem(g_pane.list, i, e, image, *name, g_pane.folders, SlotFolderState(i));
    if (position >= 0 && (g_pane.repaintsHeld || g_pane.paintPosted)) {
        // A held list repaints only what it is told changed.
        RECT r{LVIR_BOUNDS};
        if (SendMessageW(g_pane.list, LVM_GETITEMRECT, WPARAM(position), reinterpret_cast<LPARAM>(&r)))
            UnionRect(&g_pane.changed, &g_pane.changed, &r);
    }
}

// The details of a registered path are in.
void DetailsArrived(int32_t i, const EntryDetails& d) {
    PaneState& table = ThePane();
    if (size_t(i) >= table.EntryTable.size() || size_t(i) >= g_pane.folderStates.size()) return;
    FileEntry& slot = table.EntryTable[size_t(i)];
    if (slot.Path != d.entry.Path) return;  // removed meanwhile
    slot.LastWriteTime = d.entry.LastWriteTime;
    slot.Size = d.entry.Size;
    slot.NameOffset = d.entry.NameOffset;
    slot.TypeOffset = d.entry.TypeOffset;
    slot.Missing = d.entry.Missing;
    g_pane.folderStates[size_t(i)] = d.folderNow ? FolderState::Folder : FolderState::File;
    g_pane.shellIcons[size_t(i)] = {d.smallIcon, d.largeIcon};
    RefreshSlotItem(i);
    if (g_pane.loaded) {
        if (!g_pane.resortPosted) g_pane.resortPosted = PostMessageW(g_pane.hwnd, kResortMessage, 0, 0);
        ShowSelectedDetails();
    }
    FinishWhenLookedUp();
}

void ItemsListed() {
    ResetImageBackgrounds();
    Post(FinishLoading);
}

void EndLoading() {
    // The notice goes while the list is still held: one paint shows both.
    ShowNotice(false);
    ReleaseRepaints(false);
    g_pane.loaded = true;
}

// One slot read earlier gets its item, once the folders are looked up (a
// step of their own) and the shell is ready to give icons.
void ListPendingSlot() {
    if (g_pane.listed >= g_pane.loadStep) return;
    if (!FoldersLookedUp()) {
        LookUpFolders();
        return;
    }
    if (ShellWarmedUp()) ListSlot(g_pane.listed++);
}

void FinishGathering() {
    if (IsStartupPage()) {
        g_pane.loadStep = 0;
        Post(ResolveShortcutStep, 0);
        return;
    }
    if (ListsAsScanned()) {
        // The slots still waiting for their items, if any.
        if (g_pane.listed > 0 && g_pane.listed >= ThePane().EntryCount) ItemsListed();
        else Post(ShowNextEntry, g_pane.listed);
        return;
    }
    Post(SortByTime);
}

// The target of a shortcut file, or empty when it is none (or cannot be
// resolved).
std::u16string ShortcutTarget(const std::u16string& path, HWND owner) {
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

}  // namespace

void AllocateEntriesNow() {
    PaneState& table = ThePane();
    // Registrations made since this pane loaded must survive a refresh.
    if (g_pane.userPage && g_pane.loaded && g_pane.page) g_pane.page->Files = PageFilesText();
    // A folder page's table is sized by its first batch (the worker counts
    // the folders), and stays empty until then.
    SizeEntryTable(g_pane.userPage ? EntryTableCapacity(true, 0) : 0);
    table.EntryCount = 0;
    g_pane.recentNewest.clear();
    if (!g_pane.userPage && IsRecentPage()) g_pane.recentNewest.reserve(kRecentKept + 1);
    g_pane.loaded = false;
    g_pane.unloadedTail.clear();
    // Steps still queued from an earlier chain must not touch the new table,
    // nor look-ups asked for it.
    g_pane.chain = NextChain(g_pane.chain);
    if (g_pane.load) Lookups().Abandon(g_pane.load);
    g_pane.load = Lookups().NewLoad();
    if (g_pane.finishWaiting) KillTimer(g_pane.hwnd, kFinishTimer);
    g_pane.finishWaiting = false;
    g_pane.resolving = false;
    // The list is filled anew, with none of a filter's items or slices.
    g_pane.filter.clear();
    CancelRefilter();
    StopReading();
}

void StartLoadingNow() {
    // Drops are taken from here on; the shell library they need is loaded
    // after the window is on screen.
    shell::DragAcceptFiles(g_pane.hwnd, TRUE);
    ShowNotice(true);
    g_pane.loadStep = 0;
    g_pane.listed = 0;
    StartRepaintClock();
    if (!g_pane.page) return;
    if (g_pane.userPage) {
        g_pane.filesText = g_pane.page->Files;
        g_pane.cutPos = 0;
        Post(ParseNextEntry, 0);
        return;
    }
    // The first step waits for the first batch.
    g_pane.reading.waitingStep = IsRecentPage() ? ScanRecentStep : ScanFolderStep;
    g_pane.reading.waitingAt = 0;
    AskBatch(std::make_shared<FolderReader>(), true, g_pane.page->FolderId, g_pane.page->CommonFolderId);
}

// A batch still on its way is dropped with its chain; the reader's folder
// handle goes with the last job that holds it.
void StopReading() { g_pane.reading = FolderReading{}; }

// The time order of the pages listed as scanned is only the order among
// equal sort keys, which the sort at the end keeps; so their first items
// show long before a large folder is read to its end.
bool ListsAsScanned() { return g_pane.page && vc::ListsAsScanned(g_pane.userPage, g_pane.page->FolderId); }

void ScanFolderStepNow(int32_t r) {
    PaneState& table = ThePane();
    FileEntry entry;
    const Scanned got = NextScanned(entry, ScanFolderStep, r);
    if (got == Scanned::Wait) return;
    if (got == Scanned::Entry && g_pane.loadStep < table.EntryCapacity)
        table.EntryTable[size_t(g_pane.loadStep++)] = std::move(entry);
    if (ListsAsScanned()) {
        // The items shown so far lead to their entries (status, menu, launch).
        table.EntryCount = g_pane.loadStep;
        ListPendingSlot();
    }
    if (got == Scanned::Entry && g_pane.loadStep < table.EntryCapacity) {
        Post(ScanFolderStep, r + 1);
        return;
    }
    StopReading();
    table.EntryCount = g_pane.loadStep;
    FinishGathering();
}

// Every shortcut of the recent folder is looked at, one per step, and only
// the newest are kept: the folder is not read in time order (on NTFS it is
// name order), so stopping after some number of entries would lose new ones.
void ScanRecentStepNow(int32_t r) {
    PaneState& table = ThePane();
    FileEntry entry;
    const Scanned got = NextScanned(entry, ScanRecentStep, r);
    if (got == Scanned::Wait) return;
    if (got == Scanned::Entry) {
        KeepNewest(g_pane.recentNewest, std::move(entry), kRecentKept);
        Post(ScanRecentStep, r + 1);
        return;
    }
    StopReading();
    const RecentChoice choice = ChooseRecentFiles(g_pane.recentNewest.size(), table.EntryCapacity,
                                                  TheApp().rec.GlobalSettings.SpcialRecentFileNum);
    for (int i = 0; i < choice.kept; ++i) table.EntryTable[size_t(i)] = g_pane.recentNewest[size_t(i)];
    g_pane.loadStep = 0;
    table.EntryCount = choice.listed;
    g_pane.recentNewest.clear();
    if (table.EntryCount == 0) {
        Post(SortByTime);
        return;
    }
    Post(ResolveShortcutStep, 0);
}

// Every shortcut's target is looked up on a worker at once (a target may
// lie on a share that has gone away); the page goes on once they are in,
// or once only slow shares are left, whose shortcuts then stay as they are.
void ResolveShortcutStepNow(int32_t) {
    PaneState& table = ThePane();
    const HWND owner = TheApp().HostWindow;
    const bool foldersAllowed = IsStartupPage();
    g_pane.resolving = true;
    for (int32_t r = 0; r < table.EntryCount; ++r) {
        const std::u16string path = table.EntryTable[size_t(r)].Path;
        if (path.empty()) continue;
        Lookups().Submit(g_pane.load, ShareOf(path), [=]() -> LookupQueue::Apply {
            std::u16string target = ShortcutTarget(path, owner);
            FileEntry resolved;
            if (target.empty() || !FillFromSearch(target, foldersAllowed, resolved)) return nullptr;
            return [r, path, resolved = std::move(resolved)] {
                PaneState& t = ThePane();
                int32_t slot = r < t.EntryCount && t.EntryTable[size_t(r)].Path == path ? r : -1;
                // One that came in after the page went on (a share found slow
                // meanwhile) finds its shortcut wherever the sort put it.
                for (int32_t i = 0; slot < 0 && !g_pane.resolving && i < t.EntryCount; ++i)
                    if (t.EntryTable[size_t(i)].Path == path) slot = i;
                if (slot >= 0) {
                    t.EntryTable[size_t(slot)] = resolved;
                    if (!g_pane.resolving) {
                        RefreshSlotItem(slot);
                        if (g_pane.loaded && !g_pane.resortPosted)
                            g_pane.resortPosted = PostMessageW(g_pane.hwnd, kResortMessage, 0, 0);
                    }
                }
                FinishWhenLookedUp();
            };
        });
    }
    if (!g_pane.finishWaiting) SetTimer(g_pane.hwnd, kFinishTimer, 100, nullptr);
    g_pane.finishWaiting = true;
    FinishWhenLookedUp();
}

void SortByTimeNow() {
    PaneState& table = ThePane();
    SortNewestFirst(table.EntryTable, table.EntryCount);
    Post(ShowNextEntry, 0);
}

void FillSlot(FileEntry& slot, std::u16string_view text) {
    slot = FileEntry{};
    if (!FillFromSearch(std::u16string(text), true, slot)) {
        slot.Path = std::u16string(CutTo(text, kEntryPathMax));
        FillFromFile(slot);
    }
}

void ParseNextEntryNow(int32_t r) {
    PaneState& table = ThePane();
    std::u16string_view entry;
    if (r >= kMaxUserEntries || r >= table.EntryCapacity) {
        // A hand-edited page may hold more entries than the list shows; they
        // stay in the page's text rather than vanish when it is written.
        if (g_pane.cutPos < g_pane.filesText.size()) g_pane.unloadedTail = g_pane.filesText.substr(g_pane.cutPos);
        table.EntryCount = std::min<int32_t>(r, table.EntryCapacity);
        Post(ShowNextEntry, 0);
        return;
    }
    if (!CutNextEntry(g_pane.filesText, g_pane.cutPos, entry) && !CutLastEntry(g_pane.filesText, g_pane.cutPos, entry)) {
        table.EntryCount = std::min<int32_t>(r, table.EntryCapacity);
        Post(ShowNextEntry, 0);
        return;
    }
    // The entry is listed from its text at once; its details come from a
    // worker, which may wait on a share that has gone away.
    FileEntry& slot = table.EntryTable[size_t(r)];
    slot = FileEntry{};
    slot.Path = std::u16string(CutTo(entry, kEntryPathMax));
    SetOffsets(slot, false);
    AskDetails(r, std::u16string(entry));
    Post(ParseNextEntry, r + 1);
}

void ShowNextEntryNow(int32_t i) {
    const PaneState& table = ThePane();
    if (i >= table.EntryCount) {
        EndLoading();
        return;
    }
    if (!FoldersLookedUp()) {
        // The folders come in a step of their own, before the first item.
        LookUpFolders();
        Post(ShowNextEntry, i);
        return;
    }
    if (!ShellWarmedUp()) {
        // The first icon would block until the shell has built its image
        // lists; the pane goes on answering until the warm-up says so.
        StartShellWarmup();
        g_pane.waitingForShell = true;
        g_pane.shellWaitChain = g_pane.chain;
        g_pane.shellWaitIndex = i;
        PostWhenShellWarmedUp(g_pane.hwnd, kShellReadyMessage);
        return;
    }
    ListSlot(i);
    g_pane.listed = i + 1;
    if (i + 1 < table.EntryCount) {
        Post(ShowNextEntry, i + 1);
        return;
    }
    ItemsListed();
}

void OnShellReady() {
    // A chain replaced while it waited has its own first step coming.
    if (g_pane.waitingForShell && g_pane.shellWaitChain == g_pane.chain) Post(ShowNextEntry, g_pane.shellWaitIndex);
    g_pane.waitingForShell = false;
}

// The sort and the selection go in while repaints are still held, so that
// the list lays out and paints once.
void FinishLoadingNow() {
    if (!g_pane.page) {
        EndLoading();
        return;
    }
    if (Lookups().Waiting(g_pane.load) > 0) {
        // The sort wants the details; a slow share's are not waited for.
        if (!g_pane.finishWaiting) SetTimer(g_pane.hwnd, kFinishTimer, 100, nullptr);
        g_pane.finishWaiting = true;
        return;
    }
    if (g_pane.finishWaiting) KillTimer(g_pane.hwnd, kFinishTimer);
    g_pane.finishWaiting = false;
    HoldRepaints();
    SortItems(ListsAsScanned());
    int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    int cursor = g_pane.page->Cursor;
    if (cursor >= 0 && cursor < count) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(g_pane.list, LVM_SETITEMSTATE, WPARAM(cursor), reinterpret_cast<LPARAM>(&state));
        SendMessageW(g_pane.list, LVM_ENSUREVISIBLE, WPARAM(cursor), TRUE);
    }
    EndLoading();
    SetFocus(g_pane.list);
    WriteFileCount();
}

void AskDetails(int32_t slot, const std::u16string& path) {
    Lookups().Submit(g_pane.load, ShareOf(path), [slot, path]() -> LookupQueue::Apply {
        EntryDetails d = LookUpEntryDetails(path);
        return [slot, d = std::move(d)] { DetailsArrived(slot, d); };
    });
}

void AskIcons(int32_t slot) {
    EntryDetails d;
    d.entry = ThePane().EntryTable[size_t(slot)];
    Lookups().Submit(
        g_pane.load, ShareOf(d.entry.Path),
        [slot, d = std::move(d)]() mutable -> LookupQueue::Apply {
            LookUpIcons(d);
            return [slot, small = d.smallIcon, large = d.largeIcon, path = std::move(d.entry.Path)] {
                const PaneState& table = ThePane();
                if (size_t(slot) >= table.EntryTable.size() || size_t(slot) >= g_pane.shellIcons.size() ||
                    table.EntryTable[size_t(slot)].Path != path)
                    return;
                g_pane.shellIcons[size_t(slot)] = {small, large};
                RefreshSlotItem(slot);
            };
        },
        false);
}

void FinishWhenLookedUp() {
    if (!g_pane.finishWaiting || Lookups().Waiting(g_pane.load) > 0) return;
    if (g_pane.resolving) {
        // The shortcuts are done with; a target still out is dropped.
        g_pane.resolving = false;
        g_pane.finishWaiting = false;
        KillTimer(g_pane.hwnd, kFinishTimer);
        g_pane.loadStep = ThePane().EntryCount;
        Post(SortByTime);
        return;
    }
    FinishLoadingNow();
}

void Resort() {
    g_pane.resortPosted = false;
    if (!g_pane.loaded) return;
    SortItems(ListsAsScanned());
    const int focused = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (focused >= 0) SendMessageW(g_pane.list, LVM_ENSUREVISIBLE, WPARAM(focused), TRUE);
}

}  // namespace pagepane
}  // namespace vc
