// The page pane as an object: made with its window (bound to it through
// DWLP_USER) and gone with it. Its parts live in several files: the window
// and its views in PagePane_win.cpp, the posted loading steps in
// PaneLoading_win.cpp, registering and launching in PaneEntries_win.cpp,
// type to find in PaneFilter_win.cpp, showing one entry from outside in
// PaneSelect_win.cpp, and arranging entries by dragging in PaneDrag_win.cpp.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Handles_win.h"
#include "pageview/EntryOrder.h"
#include "pageview/FileDetails_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "settings/Records.h"

namespace vc {

struct App;
struct EntryDetails;

namespace pagepane {

// Which widths the columns carry: as inserted, those of the views other than
// details (fixed), or the details widths (the page's, or the user's since).
enum class ColumnWidths { Initial, Other, Details };

// What a list shows apart from its items: while it only grows at its end,
// a repaint need not redraw what is on screen already.
struct ListLook {
    int items = 0;
    RECT client{};
    int scrollX = 0, scrollY = 0;
    int view = -1;
    uint64_t columns = 0;  // the columns' widths and order, folded into one number
    int focused = -1, selected = -1, hot = -1;
    bool operator==(const ListLook& o) const {
        return EqualRect(&client, &o.client) && scrollX == o.scrollX && scrollY == o.scrollY &&
               focused == o.focused && selected == o.selected && hot == o.hot && view == o.view &&
               columns == o.columns;
    }
};

// A folder page's folders as a worker reads them, a batch at a time (the
// folder may be one redirected to a share): the scan steps take their
// entries from here, and a step that finds none while the worker reads on
// waits for the next batch, which posts it again.
struct FolderReading {
    std::vector<FileEntry> entries;
    size_t next = 0;        // the first entry no step has taken
    bool ended = false;     // the worker has read the folders to their end
    bool stopped = false;   // the table is full or gathering is over: no more batches
    int waitingStep = 0;    // the step to post when the next batch comes in
    int32_t waitingAt = 0;  // and its lParam
};

// The entry a command was given for: its slot and the path it held then. A
// command that runs later (after a menu or a dialog) finds it by both, so a
// list sorted or reloaded meanwhile never makes it act on another entry.
struct ChosenEntry {
    int32_t slot = -1;
    std::u16string path;
};

constexpr UINT kShellReadyMessage = WM_APP + 1;
constexpr UINT kRepaintMessage = WM_APP + 2;  // a repaint of the filling list, a step of its own
constexpr UINT kPaintMessage = WM_APP + 3;    // and its paint, the next step
// WM_APP + 4 is kLookupsReadyMessage (Lookups_win.h).
constexpr UINT kResortMessage = WM_APP + 5;   // details came in after loading: sort again
constexpr UINT kRefilterMessage = WM_APP + 6; // the next slice of a filter's changes to the list
constexpr UINT_PTR kFinishTimer = 1;          // loading waits for its look-ups

// WindowsVersion numbers from which the list offers what the code uses.
constexpr uint32_t kWindowsXP = 510;     // LVM_SETVIEW, tiles, 32-bit icons
constexpr uint32_t kWindowsVista = 600;  // headers in every view, column formats

// The list's columns; the last, hidden one holds each item's entry index.
constexpr int kColumns = 6;
constexpr int kIndexColumn = 5;
// The longest path an entry holds, and the buffers its texts pass through.
constexpr size_t kEntryPathMax = kPathCapacity - 1;
constexpr int kPathBuffer = 260;
// Status bar parts: the file count, the selected entry's details.
constexpr int kCountPart = 0;
constexpr int kDetailsPart = 1;

// Where a dragged entry would land if dropped now: in another slot of its
// page (shown by an item's highlight and an insert mark), or on another
// page's tab.
struct DragAim {
    int32_t toSlot = -1;  // the slot it takes within the page, -1 for none
    int item = -1;        // the item whose place that is
    bool after = false;   // it goes after that item (it came from before it)
    std::optional<PageId> page;  // the page of the tab under the mouse
    TabDrop drop = TabDrop::None;
};

// A folder page's folders as a worker reads them, and one batch it read
// (PaneLoading_win.cpp).
struct FolderReader;
struct FolderBatch;

class PagePane {
public:
    PagePane(App& app, PaneHost& host) : app_(app), host_(host) {}
    PagePane(const PagePane&) = delete;
    PagePane& operator=(const PagePane&) = delete;

    // The pane bound to a pane window, or nullptr.
    static PagePane* Of(HWND pane);
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // ---- For the functions of PagePane_win.h ----
    bool Loaded() const { return loaded_; }
    int LookupsOutstanding() const;
    const PaneState& Entries() const { return entries_; }
    void StoreEntriesInPage();
    void DiscardChanges() { writeBack_ = false; }
    void SelectEntry(int index, const std::u16string& path);
    // Rewrites the status parts the pane owns (after the bar was made anew).
    void ShowStatusAgain();

private:
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);

    // A modal loop run for this pane (a box, a dialog). False when the pane
    // went meanwhile: the caller returns at once, touching nothing of it.
    bool RunModal(const std::function<void()>& loop);

    // ---- PagePane_win.cpp: the window and its views ----
    uint32_t CurrentView() const;
    void ChoosePage();
    void ApplyFontAndColoursNow();
    void ShowHeaderImages();
    UINT ListDpi() const;
    void InsertColumns();
    void DestroyImageListsNow();
    void CreateImageListsNow();
    void SetHeaderFormats(bool details);
    bool UserWidthsShown() const;
    void StoreColumnWidths();
    void SetColumnWidths(bool details);
    void ApplyViewNow();
    void ApplyColumnWidthsNow();
    void InvalidateWhatChanged(const ListLook& now);
    void PaintNow();
    void SetSortArrows();
    void OnColumnClick(int column);
    void ChangeView(uint32_t view);
    void Layout(int w, int h);
    void PlaceFilterBand();
    COLORREF TextColour() const;
    COLORREF BackColour() const;
    void OnInitDialog(HWND hwnd);
    void OnDestroy();
    int32_t StoredCursor() const;
    INT_PTR OnCommand(WPARAM wp, LPARAM lp);
    INT_PTR OnNotify(const NMHDR& nm);
    // Posts a command of the current chain to the pane.
    void Post(int command, LPARAM lp = 0);
    void SetStatus(int part, const std::u16string& text);
    void WriteFileCount();
    void HoldRepaints();
    void ReleaseRepaints(bool paintSoon);
    // Starts the gathered repaints of a list that begins to fill.
    void StartRepaintClock();
    void ShowNotice(bool show);
    void SortItems(bool newestAmongEqual = false);
    void ResetImageBackgrounds();

    // ---- PaneLoading_win.cpp: the loading chain ----
    enum class Scanned { Entry, Wait, End };
    bool IsRecentPage() const;
    bool IsStartupPage() const;
    void SizeEntryTable(int capacity);
    void StartReadingFolders();
    void AskBatch(std::shared_ptr<FolderReader> reader, bool first, int folderId, int commonFolderId);
    void BatchArrived(uint16_t chain, std::shared_ptr<FolderReader> reader, FolderBatch& b, int folderId,
                      int commonFolderId);
    Scanned NextScanned(FileEntry& entry, int step, int32_t r);
    bool FoldersLookedUp() const;
    void LookUpFolders();
    std::pair<int, int> SlotShellIcons(int32_t i) const;
    std::optional<std::u16string> SlotName(int32_t i) const;
    void ListSlot(int32_t i);
    void RefreshSlotItem(int32_t i);
    void DetailsArrived(int32_t i, const EntryDetails& d);
    void ItemsListed();
    void EndLoading();
    void ListPendingSlot();
    void FinishGathering();
    void AllocateEntriesNow();
    void StartLoadingNow();
    void ParseNextEntryNow(int32_t r);
    void EndParsing(int32_t r);
    void ScanFolderStepNow(int32_t r);
    void ScanRecentStepNow(int32_t r);
    void ResolveShortcutStepNow(int32_t r);
    void SortByTimeNow();
    void ShowNextEntryNow(int32_t i);
    void FinishLoadingNow();
    void OnShellReady();
    // Results of look-ups for the slots of this load.
    void AskDetails(int32_t slot, const std::u16string& path);
    void AskIcons(int32_t slot);
    // Ends loading once nothing it waits for is out (a slow share's look-ups
    // are not waited for); called again by kFinishTimer.
    void FinishWhenLookedUp();
    void Resort();
    void StopReading();
    bool ListsAsScanned() const;
    // What is known of whether slot i is a folder: a folder scan tells at once,
    // a registered path once its look-up is in.
    FolderState SlotFolderState(int32_t i) const;
    // The name slot i's item shows, once it has been listed (none before, or
    // for a path without a name).
    std::optional<std::u16string> SlotDisplayName(int32_t i) const;
    // Gives slot i an item again (the filter took it away), at the list's end.
    void ListSlotAgain(int32_t i, const std::u16string& name);

    // ---- PaneEntries_win.cpp: registering and launching ----
    // The table holds what the page holds: a user page's text is read, a
    // folder page is listed.
    bool TableFinal() const { return userPage_ ? parsed_ : loaded_; }
    int SelectedItem() const;
    // The entry an item shows, or nullptr.
    const FileEntry* EntryOfItem(int item) const;
    // The entry the user means now: the one captured when the menu opened,
    // else the selected one; none when that entry is gone.
    std::optional<ChosenEntry> ChosenOrSelected() const;
    // Whether `chosen` still holds its path, and the item that shows it (-1
    // for none: filtered out, or no longer listed).
    bool StillThere(const ChosenEntry& chosen) const;
    int ItemOfSlot(int32_t slot) const;
    // Registers `path` in the next slot at once, listed from its text, its
    // details looked up on a worker; false when the page takes none.
    bool Register(const std::u16string& path);
    // The page's Files text from the entries, within the field's capacity.
    std::u16string PageFilesText() const;
    // Keeps the page's Files the same as the table, once the table is final.
    void SyncFilesToPage();
    int EntryIndexOfItem(int item) const;
    // An item's display name (column 0), at most kPathBuffer - 1 units.
    std::u16string ItemName(int item) const;
    void Start(const ChosenEntry& chosen, const wchar_t* verb, const std::u16string& arguments);
    void Launch(int item);
    void OnDropFiles(HDROP drop);
    void AddRegistration();
    void RemoveRegistration(const ChosenEntry& chosen);
    void ShowSelectedDetails();
    void ShowEntryDetails(int index);
    void OnContextMenu(LPARAM lp);
    void RunEntryCommand(int id, const std::optional<ChosenEntry>& chosen);
    void ShowLocation(const ChosenEntry& chosen);
    void RunWithArguments(const ChosenEntry& chosen);
    void RenameItems();

    // ---- PaneDrag_win.cpp: entries arranged by dragging ----
    // LVN_BEGINDRAG on `item`: follows the mouse until the drop, Esc or a
    // right click.
    void DragEntry(int item);
    DragAim AimDrag(const ChosenEntry& dragged, POINT screen, bool copy);
    void ShowAim(const DragAim& aim, const DragAim& shown);
    // Gives the entry in slot `from` slot `to`, those between closing up.
    void MoveEntry(int32_t from, int32_t to);
    // Registers the dragged entry on page `id` and, for a move, takes it off
    // this one: both pages reach the file in one write.
    void DropOnPage(const ChosenEntry& dragged, PageId id, bool copy);
    // Alt+Up / Alt+Down: the selected entry one place up or down; false
    // when the page is not one to arrange.
    bool MoveSelectedBy(int delta);
    void ListInRegisteredOrder();
    // Orders the items as their entries are in the table.
    void SortBySlots();

    // ---- PaneFilter_win.cpp: type to find ----
    static LRESULT CALLBACK FilterKeysProc(HWND list, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnFilterKey(HWND list, UINT msg, WPARAM wp, LPARAM lp);
    // Takes the keys typed into the list (made once per pane).
    void InstallFilterKeys();
    void ShowFilterStatus();
    void RedrawFilteredList();
    void FocusFirstFound();
    void ResetRefilter();
    void Refilter(std::chrono::steady_clock::time_point start);
    void ApplyFilter();
    // Lists the whole page again, if a filter narrows it.
    void ClearFilter();
    // Makes the next slice of a filter's changes to the list.
    void RefilterStep();
    // Drops a filter's changes still to be made, with repaints back on (the
    // list is about to be filled anew).
    void CancelRefilter();

    // ---- PaneSelect_win.cpp: an entry shown from outside ----
    int ItemOfWanted() const;
    bool SelectWantedNow();

    App& app_;
    PaneHost& host_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HWND notice_ = nullptr;
    HWND band_ = nullptr;  // the filter, shown while it narrows the list
    // Whether a control of the pane is shown, also while the pane is hidden.
    static bool Shows(HWND control) { return GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE; }
    WNDPROC listProc_ = nullptr;
    PageRecord* page_ = nullptr;
    PageId pageId_ = 0;
    bool userPage_ = true;
    PaneState entries_;  // slot i is entry i
    // Set on the list, which is made without LVS_SHAREIMAGELISTS and so
    // destroys the lists still set on it when it goes: the pane takes them
    // off the list before releasing them.
    ImageListPtr smallImages_;
    ImageListPtr normalImages_;
    ImageListPtr largeImages_;
    SharedIcons icons_;      // which image of the lists shows which entry's icon
    FontPtr listFont_;       // the page's font, on the list and the notice
    BrushPtr noticeBrush_;   // the page's background behind the notice
    uint8_t previousView_ = ViewIcon;
    int32_t loadStep_ = 0;
    std::u16string filesText_;  // the user page's Files text being parsed
    size_t cutPos_ = 0;
    std::u16string unloadedTail_;  // entries past the list's limit, kept as text
    FolderReading reading_;  // the folder page's entries as they are read
    std::vector<FileEntry> recentNewest_;  // the newest recent files so far, newest first
    KnownFolderPaths folders_;     // looked up once per load for the location column
    uint16_t chain_ = 0;
    int32_t foldersChain_ = -1;     // the chain `folders_` were looked up for
    bool waitingForShell_ = false;  // ShowNextEntry `shellWaitIndex_` of `shellWaitChain_` waits for the shell's icons
    uint16_t shellWaitChain_ = 0;
    int32_t shellWaitIndex_ = 0;
    int32_t listed_ = 0;          // slots below this have had their turn to be listed
    int32_t firstRegistered_ = INT32_MAX;  // slots from here on were registered since the page was read
    bool repaintsHeld_ = false;   // the list is filling with its repaints held
    bool repaintPosted_ = false;  // kRepaintMessage is on its way
    bool paintPosted_ = false;    // kPaintMessage is on its way
    ListLook painted_;            // what the filling list looked like at its last paint
    std::chrono::steady_clock::time_point loadStart_, nextRepaint_;  // of the list while it fills
    std::chrono::steady_clock::duration repaintTime_{};              // spent on them so far
    bool parsed_ = false;         // a user page's text is in the table: the table is the page's
    bool loaded_ = false;         // loading has ended
    bool writeBack_ = true;       // the page is written when the pane goes
    // Look-ups that may block go to workers (Lookups()): those of this load,
    // what is known of each slot meanwhile, and where their icons are in the
    // shell's system image lists (-2: not looked up yet).
    uint32_t load_ = 0;
    std::vector<FolderState> folderStates_;
    std::vector<std::pair<int, int>> shellIcons_;
    RECT changed_{};              // items of a filling list changed since its last paint
    bool finishWaiting_ = false;  // loading ends once the look-ups it waits for are in
    bool resolving_ = false;      // the shortcuts' targets are being looked up
    bool resortPosted_ = false;   // kResortMessage is on its way
    uint32_t shownView_ = ViewIcon;  // the view on the list: it starts in icon style
    ColumnWidths columns_ = ColumnWidths::Initial;
    std::u16string filter_;  // typed to find: only entries whose names hold it are listed
    // A filter's changes to the list, made a slice per message with repaints
    // off: the items it no longer finds with their slots (last first, so
    // that taking one out leaves the others' numbers) and the slots it finds
    // again.
    bool refiltering_ = false;
    std::vector<std::pair<int, int>> filterDropping_;
    size_t filterDropNext_ = 0;
    std::vector<int32_t> filterAdding_;
    size_t filterNext_ = 0;
    bool filterSorted_ = false;  // what came back is sorted; the list is arranged next
    // The entry the find box asked to show, once the page is listed.
    std::optional<ChosenEntry> wanted_;
    int dropItem_ = -1;   // the item a dragged entry would take the place of, drawn highlighted
    int modalDepth_ = 0;  // modal loops of this pane running
    bool windowGone_ = false;  // the window went during one of them
};

}  // namespace pagepane
}  // namespace vc
