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


bool PagePane::IsRecentPage() const { return page_ && page_->FolderId == kRecentFolderId; }
bool PagePane::IsStartupPage() const { return page_ && page_->FolderId == kStartupFolderId; }

// An empty table of `capacity` slots, each pending its look-ups.
void PagePane::SizeEntryTable(int capacity) {
    PaneState& table = entries_;
    table.EntryTable.clear();
    try {
        table.EntryTable.assign(size_t(capacity), FileEntry{});
        table.EntryCapacity = capacity;
    } catch (const std::bad_alloc&) {
        // An empty page rather than a crash.
        table.EntryCapacity = 0;
    }
    folderStates_.assign(table.EntryTable.size(), FolderState::Pending);
    shellIcons_.assign(table.EntryTable.size(), {-2, -2});
}

bool PagePane::FoldersLookedUp() const { return foldersChain_ == chain_; }

// The well-known folders of the location column, once per chain.
void PagePane::LookUpFolders() {
    folders_ = CurrentKnownFolderPaths();
    foldersChain_ = chain_;
}


FolderState PagePane::SlotFolderState(int32_t i) const {
    if (userPage_ && size_t(i) < folderStates_.size()) return folderStates_[size_t(i)];
    return entries_.EntryTable[size_t(i)].TypeOffset == -1 ? FolderState::Folder : FolderState::File;
}


std::pair<int, int> PagePane::SlotShellIcons(int32_t i) const {
    return size_t(i) < shellIcons_.size() ? shellIcons_[size_t(i)] : std::pair<int, int>{-2, -2};
}

// The display name of slot i, or nothing for a path without a file-name
// part (such an entry gets no item).
std::optional<std::u16string> PagePane::SlotName(int32_t i) const {
    const FileEntry& e = entries_.EntryTable[size_t(i)];
    std::optional<FullPath> full = e.Path.empty() ? std::nullopt : FullPathOf(e.Path);
    if (!full || full->NameStart >= full->Text.size()) return std::nullopt;
    return DisplayName(full->Name(), *page_, e.TypeOffset < 0);
}

// Creates the list item of slot i, among the gathered repaints of a filling
// list. Its icon is the one looked up, or a stand-in until it is.
void PagePane::ListSlot(int32_t i) {
    const FileEntry& e = entries_.EntryTable[size_t(i)];
    std::optional<std::u16string> name = SlotName(i);
    if (!name) return;
    HoldRepaints();
    const FolderState folder = SlotFolderState(i);
    const std::pair<int, int> icons = SlotShellIcons(i);
    int image;
    if (icons.first != -2) {
        image = icons_.AddKnown(e, icons.first, icons.second);
    } else {
        image = icons_.AddByName(e);
        // A pending registered path gets its icons with its details.
        if (folder != FolderState::Pending) AskIcons(i);
    }
    CreateItem(list_, i, e, image, *name, folders_, folder);
    if (!repaintPosted_ && std::chrono::steady_clock::now() >= nextRepaint_)
        repaintPosted_ = PostMessageW(hwnd_, kRepaintMessage, 0, 0);
}


std::optional<std::u16string> PagePane::SlotDisplayName(int32_t i) const {
    return i >= 0 && i < std::min(listed_, entries_.EntryCount) ? SlotName(i) : std::nullopt;
}

void PagePane::ListSlotAgain(int32_t i, const std::u16string& name) {
    const FileEntry& e = entries_.EntryTable[size_t(i)];
    const std::pair<int, int> icons = SlotShellIcons(i);
    const int image =
        icons.first != -2 ? icons_.AddKnown(e, icons.first, icons.second) : icons_.AddByName(e);
    CreateItem(list_, i, e, image, name, folders_, SlotFolderState(i));
}


// Shows what came in for slot i on its item, if it has one yet.
void PagePane::RefreshSlotItem(int32_t i) {
    if (i >= listed_) return;  // listed later with what is known then
    const FileEntry& e = entries_.EntryTable[size_t(i)];
    std::optional<std::u16string> name = SlotName(i);
    if (!name) return;
    const std::pair<int, int> icons = SlotShellIcons(i);
    const int image = icons_.AddKnown(e, icons.first, icons.second);
    const int position = UpdateItem(list_, i, e, image, *name, folders_, SlotFolderState(i));
    if (position >= 0 && (repaintsHeld_ || paintPosted_)) {
        // A held list repaints only what it is told changed.
        RECT r{LVIR_BOUNDS};
        if (SendMessageW(list_, LVM_GETITEMRECT, WPARAM(position), reinterpret_cast<LPARAM>(&r)))
            UnionRect(&changed_, &changed_, &r);
    }
}

// The details of a registered path are in.
void PagePane::DetailsArrived(int32_t i, const EntryDetails& d) {
    PaneState& table = entries_;
    if (size_t(i) >= table.EntryTable.size() || size_t(i) >= folderStates_.size()) return;
    FileEntry& slot = table.EntryTable[size_t(i)];
    if (slot.Path != d.entry.Path) return;  // removed meanwhile
    slot.LastWriteTime = d.entry.LastWriteTime;
    slot.Size = d.entry.Size;
    slot.NameOffset = d.entry.NameOffset;
    slot.TypeOffset = d.entry.TypeOffset;
    slot.Missing = d.entry.Missing;
    folderStates_[size_t(i)] = d.folderNow ? FolderState::Folder : FolderState::File;
    shellIcons_[size_t(i)] = {d.smallIcon, d.largeIcon};
    RefreshSlotItem(i);
    if (loaded_) {
        // A registration stays last until the user sorts again.
        if (!resortPosted_ && i < firstRegistered_) resortPosted_ = PostMessageW(hwnd_, kResortMessage, 0, 0);
        ShowSelectedDetails();
    }
    FinishWhenLookedUp();
}

void PagePane::ItemsListed() {
    ResetImageBackgrounds();
    Post(FinishLoading);
}

void PagePane::EndLoading() {
    // The notice goes while the list is still held: one paint shows both.
    ShowNotice(false);
    ReleaseRepaints(false);
    loaded_ = true;
}

void PagePane::AllocateEntriesNow() {
    PaneState& table = entries_;
    // Registrations and removals made since this pane read the page must
    // survive a refresh.
    if (userPage_ && parsed_ && page_) page_->Files = PageFilesText();
    parsed_ = false;
    firstRegistered_ = INT32_MAX;
    // A folder page's table is sized by its first batch (the worker counts
    // the folders), and stays empty until then.
    SizeEntryTable(userPage_ ? EntryTableCapacity(true, 0) : 0);
    table.EntryCount = 0;
    recentNewest_.clear();
    if (!userPage_ && IsRecentPage()) recentNewest_.reserve(kRecentKept + 1);
    loaded_ = false;
    unloadedTail_.clear();
    // Steps still queued from an earlier chain must not touch the new table,
    // nor look-ups asked for it.
    chain_ = NextChain(chain_);
    if (load_) Lookups().Abandon(load_);
    load_ = Lookups().NewLoad();
    if (finishWaiting_) KillTimer(hwnd_, kFinishTimer);
    finishWaiting_ = false;
    resolving_ = false;
    // The list is filled anew, with none of a filter's items or slices.
    filter_.clear();
    CancelRefilter();
    StopReading();
}

void PagePane::StartLoadingNow() {
    // Drops are taken from here on; the shell library they need is loaded
    // after the window is on screen.
    shell::DragAcceptFiles(hwnd_, TRUE);
    ShowNotice(true);
    loadStep_ = 0;
    listed_ = 0;
    StartRepaintClock();
    if (!page_) return;
    if (userPage_) {
        filesText_ = page_->Files;
        cutPos_ = 0;
        Post(ParseNextEntry, 0);
        return;
    }
    StartReadingFolders();
}

void PagePane::ParseNextEntryNow(int32_t r) {
    // Steps come as messages, which any program could post with any value.
    if (r < 0) return;
    PaneState& table = entries_;
    std::u16string_view entry;
    if (r >= kMaxUserEntries || r >= table.EntryCapacity) {
        // A hand-edited page may hold more entries than the list shows; they
        // stay in the page's text rather than vanish when it is written.
        if (cutPos_ < filesText_.size()) unloadedTail_ = filesText_.substr(cutPos_);
        EndParsing(r);
        return;
    }
    if (!CutNextEntry(filesText_, cutPos_, entry) && !CutLastEntry(filesText_, cutPos_, entry)) {
        EndParsing(r);
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

// The whole text is in the table: from now on the table is what the page
// holds, and what the user changes in it is kept.
void PagePane::EndParsing(int32_t r) {
    entries_.EntryCount = std::min<int32_t>(r, entries_.EntryCapacity);
    filesText_.clear();
    parsed_ = true;
    Post(ShowNextEntry, 0);
}

void PagePane::ShowNextEntryNow(int32_t i) {
    if (i < 0) return;
    const PaneState& table = entries_;
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
        waitingForShell_ = true;
        shellWaitChain_ = chain_;
        shellWaitIndex_ = i;
        PostWhenShellWarmedUp(hwnd_, kShellReadyMessage);
        return;
    }
    ListSlot(i);
    listed_ = i + 1;
    if (i + 1 < table.EntryCount) {
        Post(ShowNextEntry, i + 1);
        return;
    }
    ItemsListed();
}

void PagePane::OnShellReady() {
    // A chain replaced while it waited has its own first step coming.
    if (waitingForShell_ && shellWaitChain_ == chain_) Post(ShowNextEntry, shellWaitIndex_);
    waitingForShell_ = false;
}

// The sort and the selection go in while repaints are still held, so that
// the list lays out and paints once.
void PagePane::FinishLoadingNow() {
    if (!page_) {
        EndLoading();
        return;
    }
    if (Lookups().Waiting(load_) > 0) {
        // The sort wants the details; a slow share's are not waited for.
        if (!finishWaiting_) SetTimer(hwnd_, kFinishTimer, 100, nullptr);
        finishWaiting_ = true;
        return;
    }
    if (finishWaiting_) KillTimer(hwnd_, kFinishTimer);
    finishWaiting_ = false;
    HoldRepaints();
    SortItems(ListsAsScanned());
    const int count = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    const int cursor = page_->Cursor;
    // A selection the user made while the list filled stays where it is.
    if (cursor >= 0 && cursor < count && SelectedItem() < 0) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list_, LVM_SETITEMSTATE, WPARAM(cursor), reinterpret_cast<LPARAM>(&state));
        SendMessageW(list_, LVM_ENSUREVISIBLE, WPARAM(cursor), TRUE);
    }
    EndLoading();
    SetFocus(list_);
    WriteFileCount();
    if (wanted_) SelectWantedNow();
}

void PagePane::AskDetails(int32_t slot, const std::u16string& path) {
    Lookups().Submit(load_, ShareOf(path), [this, slot, path]() -> LookupQueue::Apply {
        EntryDetails d = LookUpEntryDetails(path);
        // Runs only while this load lives, so the pane is still there.
        return [this, slot, d = std::move(d)] { DetailsArrived(slot, d); };
    });
}

void PagePane::AskIcons(int32_t slot) {
    EntryDetails d;
    d.entry = entries_.EntryTable[size_t(slot)];
    Lookups().Submit(
        load_, ShareOf(d.entry.Path),
        [this, slot, d = std::move(d)]() mutable -> LookupQueue::Apply {
            LookUpIcons(d);
            return [this, slot, small = d.smallIcon, large = d.largeIcon, path = std::move(d.entry.Path)] {
                const PaneState& table = entries_;
                if (size_t(slot) >= table.EntryTable.size() || size_t(slot) >= shellIcons_.size() ||
                    table.EntryTable[size_t(slot)].Path != path)
                    return;
                shellIcons_[size_t(slot)] = {small, large};
                RefreshSlotItem(slot);
            };
        },
        false);
}

void PagePane::FinishWhenLookedUp() {
    if (!finishWaiting_ || Lookups().Waiting(load_) > 0) return;
    if (resolving_) {
        // The shortcuts are done with; a target still out is dropped.
        resolving_ = false;
        finishWaiting_ = false;
        KillTimer(hwnd_, kFinishTimer);
        loadStep_ = entries_.EntryCount;
        Post(SortByTime);
        return;
    }
    FinishLoadingNow();
}

void PagePane::Resort() {
    resortPosted_ = false;
    if (!loaded_) return;
    SortItems(ListsAsScanned());
    const int focused = int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (focused >= 0) SendMessageW(list_, LVM_ENSUREVISIBLE, WPARAM(focused), TRUE);
}

}  // namespace pagepane
}  // namespace vc
