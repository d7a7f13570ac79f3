// The page pane's loading chain: the steps it posts to itself, one entry
// each, so that the window goes on answering while a page loads. A user
// page parses its Files text; a folder page scans its folders (the recent
// page keeps the newest of its shortcuts, the start-up page resolves them),
// sorts by time and shows its entries, after the shell has warmed up.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
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

// One directory entry of scanFolderPath: step 0 opens the enumeration.
// Returns false at the end; `filled` says whether `entry` holds something
// the page lists (not hidden, not "." or "..", a path that fits).
bool ScanStep(int32_t r, FileEntry& entry, bool& filled) {
    filled = false;
    WIN32_FIND_DATAW fd;
    if (r == 0) {
        CloseScan();
        std::u16string pattern = g_pane.scanFolderPath + u"\\*.*";
        if (pattern.size() > kEntryPathMax) return false;
        g_pane.scan.reset(FindFirstFileW(AsW(pattern), &fd));
        if (!g_pane.scan) return false;
    } else if (!g_pane.scan || !FindNextFileW(g_pane.scan.get(), &fd)) {
        CloseScan();
        return false;
    }
    std::u16string name = U16(fd.cFileName);
    if (name == u"." || name == u".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) return true;
    std::u16string path = g_pane.scanFolderPath + u"\\" + name;
    if (path.size() > kEntryPathMax) return true;  // a path the entry cannot hold is left out
    const bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    entry = FileEntry{};
    entry.Path = path;
    entry.LastWriteTime = (uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
    entry.Size = folder ? 0 : int64_t((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    SetOffsets(entry, folder);
    filled = true;
    return true;
}

bool FoldersLookedUp() { return g_pane.foldersChain == g_pane.chain; }

// The well-known folders of the location column, once per chain.
void LookUpFolders() {
    g_pane.folders = CurrentKnownFolderPaths();
    g_pane.foldersChain = g_pane.chain;
}

// What is known of whether slot i is a folder: a folder scan tells at once,
// a registered path once its look-up is in.
FolderState SlotFolderState(int32_t i) {
    if (g_pane.userPage && size_t(i) < g_pane.folderStates.size()) return g_pane.folderStates[size_t(i)];
    return ThePane().EntryTable[size_t(i)].TypeOffset == -1 ? FolderState::Folder : FolderState::File;
}

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
std::u16string ShortcutTarget(const std::u16string& path) {
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
            SUCCEEDED(link->Resolve(TheApp().HostWindow, kResolveQuietly)) &&
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
    const int folderEntries =
        !g_pane.userPage && g_pane.page ? CountFolderContents(*g_pane.page, CountMode::All) : 0;
    const int capacity = EntryTableCapacity(g_pane.userPage, folderEntries);
    table.EntryTable.clear();
    try {
        table.EntryTable.assign(size_t(capacity), FileEntry{});
        table.EntryCapacity = capacity;
    } catch (const std::bad_alloc&) {
        // An empty page rather than a crash.
        table.EntryCapacity = 0;
    }
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
    g_pane.folderStates.assign(table.EntryTable.size(), FolderState::Pending);
    g_pane.shellIcons.assign(table.EntryTable.size(), {-2, -2});
    if (g_pane.finishWaiting) KillTimer(g_pane.hwnd, kFinishTimer);
    g_pane.finishWaiting = false;
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
    g_pane.scanFolderPath = SpecialFolderPath(g_pane.page->FolderId);
    // No folder (the computer page, or a folder the shell cannot name): the
    // page stays on its loading notice.
    if (g_pane.scanFolderPath.empty()) return;
    Post(IsRecentPage() ? ScanRecentStep : ScanFolderStep, 0);
}

void CloseScan() { g_pane.scan.reset(); }

// The time order of the pages listed as scanned is only the order among
// equal sort keys, which the sort at the end keeps; so their first items
// show long before a large folder is read to its end.
bool ListsAsScanned() { return g_pane.page && vc::ListsAsScanned(g_pane.userPage, g_pane.page->FolderId); }

void ScanFolderStepNow(int32_t r, bool common) {
    PaneState& table = ThePane();
    FileEntry entry;
    bool filled = false;
    bool more = ScanStep(r, entry, filled);
    if (filled && g_pane.loadStep < table.EntryCapacity) table.EntryTable[size_t(g_pane.loadStep++)] = entry;
    if (ListsAsScanned()) {
        // The items shown so far lead to their entries (status, menu, launch).
        table.EntryCount = g_pane.loadStep;
        ListPendingSlot();
    }
    if (more && g_pane.loadStep < table.EntryCapacity) {
        Post(common ? ScanCommonFolderStep : ScanFolderStep, r + 1);
        return;
    }
    CloseScan();
    table.EntryCount = g_pane.loadStep;
    if (!common && g_pane.page) {
        g_pane.scanFolderPath = SpecialFolderPath(g_pane.page->CommonFolderId);
        if (!g_pane.scanFolderPath.empty() && g_pane.loadStep < table.EntryCapacity) {
            Post(ScanCommonFolderStep, 0);
            return;
        }
    }
    FinishGathering();
}

// Every shortcut of the recent folder is looked at, one per step, and only
// the newest are kept: the folder is not read in time order (on NTFS it is
// name order), so stopping after some number of entries would lose new ones.
void ScanRecentStepNow(int32_t r) {
    PaneState& table = ThePane();
    FileEntry entry;
    bool filled = false;
    bool more = ScanStep(r, entry, filled);
    if (filled) KeepNewest(g_pane.recentNewest, std::move(entry), kRecentKept);
    if (more) {
        Post(ScanRecentStep, r + 1);
        return;
    }
    CloseScan();
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

void ResolveShortcutStepNow(int32_t r) {
    PaneState& table = ThePane();
    if (r < table.EntryCount && !table.EntryTable[size_t(r)].Path.empty()) {
        std::u16string target = ShortcutTarget(table.EntryTable[size_t(r)].Path);
        FileEntry resolved;
        if (!target.empty() && FillFromSearch(target, IsStartupPage(), resolved)) table.EntryTable[size_t(r)] = resolved;
    }
    g_pane.loadStep += 1;
    if (g_pane.loadStep < table.EntryCount) {
        Post(ResolveShortcutStep, r + 1);
        return;
    }
    table.EntryCount = g_pane.loadStep;
    Post(SortByTime);
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
    if (g_pane.finishWaiting && Lookups().Waiting(g_pane.load) == 0) FinishLoadingNow();
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
