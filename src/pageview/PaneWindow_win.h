// What the parts of the page pane share inside pageview: the state of the
// one living pane window, and the functions one part calls in another. The
// window and its views are in PagePane_win.cpp, the posted loading steps in
// PaneLoading_win.cpp, registering and launching in PaneEntries_win.cpp.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Handles_win.h"
#include "pageview/FileDetails_win.h"
#include "settings/Records.h"

namespace vc {

struct App;

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
    int waitingStep = 0;    // the step to post when the next batch comes in
    int32_t waitingAt = 0;  // and its lParam
};

// Everything the one living pane window holds besides the entry table
// (ThePane()).
struct PaneWindow {
    HWND hwnd = nullptr;
    HWND list = nullptr;
    HWND notice = nullptr;
    PageRecord* page = nullptr;
    PageId pageId = 0;
    bool userPage = true;
    // Set on the list, which is made without LVS_SHAREIMAGELISTS and so
    // destroys the lists still set on it when it goes: the pane takes them
    // off the list before releasing them.
    ImageListPtr smallImages;
    ImageListPtr normalImages;
    ImageListPtr largeImages;
    SharedIcons icons;  // which image of the lists shows which entry's icon
    FontPtr listFont;        // the page's font, on the list and the notice
    BrushPtr noticeBrush;    // the page's background behind the notice
    uint8_t previousView = ViewIcon;
    int32_t loadStep = 0;
    std::u16string filesText;  // the user page's Files text being parsed
    size_t cutPos = 0;
    std::u16string unloadedTail;  // entries past the list's limit, kept as text
    FolderReading reading;  // the folder page's entries as they are read
    std::vector<FileEntry> recentNewest;  // the newest recent files so far, newest first
    KnownFolderPaths folders;     // looked up once per load for the location column
    uint16_t chain = 0;
    int32_t foldersChain = -1;     // the chain `folders` were looked up for
    bool waitingForShell = false;  // ShowNextEntry `shellWaitIndex` of `shellWaitChain` waits for the shell's icons
    uint16_t shellWaitChain = 0;
    int32_t shellWaitIndex = 0;
    int32_t listed = 0;          // slots below this have had their turn to be listed
    bool repaintsHeld = false;   // the list is filling with its repaints held
    bool repaintPosted = false;  // kRepaintMessage is on its way
    bool paintPosted = false;    // kPaintMessage is on its way
    ListLook painted;            // what the filling list looked like at its last paint
    std::chrono::steady_clock::time_point loadStart, nextRepaint;  // of the list while it fills
    std::chrono::steady_clock::duration repaintTime{};             // spent on them so far
    bool loaded = false;         // loading has ended
    // Look-ups that may block go to workers (Lookups()): those of this load,
    // what is known of each slot meanwhile, and where their icons are in the
    // shell's system image lists (-2: not looked up yet).
    uint32_t load = 0;
    std::vector<FolderState> folderStates;
    std::vector<std::pair<int, int>> shellIcons;
    RECT changed{};             // items of a filling list changed since its last paint
    bool finishWaiting = false;  // loading ends once the look-ups it waits for are in
    bool resolving = false;      // the shortcuts' targets are being looked up
    bool resortPosted = false;   // kResortMessage is on its way
    uint32_t shownView = ViewIcon;  // the view on the list: it starts in icon style
    ColumnWidths columns = ColumnWidths::Initial;
    std::u16string filter;  // typed to find: only entries whose names hold it are listed
    // A filter's changes to the list, made a slice per message with repaints
    // off: the items it no longer finds with their slots (last first, so
    // that taking one out leaves the others' numbers) and the slots it finds
    // again.
    bool refiltering = false;
    std::vector<std::pair<int, int>> filterDropping;
    size_t filterDropNext = 0;
    std::vector<int32_t> filterAdding;
    size_t filterNext = 0;
};
extern PaneWindow g_pane;

constexpr UINT kShellReadyMessage = WM_APP + 1;
constexpr UINT kRepaintMessage = WM_APP + 2;  // a repaint of the filling list, a step of its own
constexpr UINT kPaintMessage = WM_APP + 3;    // and its paint, the next step
// WM_APP + 4 is kLookupsReadyMessage (Lookups_win.h).
constexpr UINT kResortMessage = WM_APP + 5;   // details came in after loading: sort again
constexpr UINT kRefilterMessage = WM_APP + 6; // the next slice of a filter's changes to the list
constexpr UINT_PTR kFinishTimer = 1;          // loading waits for its look-ups

// The list's columns; the last, hidden one holds each item's entry index.
constexpr int kColumns = 6;
constexpr int kIndexColumn = 5;
// The longest path an entry holds, and the buffers its texts pass through.
constexpr size_t kEntryPathMax = kPathCapacity - 1;
constexpr int kPathBuffer = 260;
// Status bar parts: the file count, the selected entry's details.
constexpr int kCountPart = 0;
constexpr int kDetailsPart = 1;

// ---- PagePane_win.cpp: the window and its views ----

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

void AllocateEntriesNow();
void StartLoadingNow();
void ParseNextEntryNow(int32_t r);
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
bool ListsAsScanned();
// Fills a slot from a path given as text: a file the search finds, else as
// much as the file itself tells.
void FillSlot(FileEntry& slot, std::u16string_view text);

// What is known of whether slot i is a folder: a folder scan tells at once,
// a registered path once its look-up is in.
FolderState SlotFolderState(int32_t i);
// The name slot i's item shows, once it has been listed (none before, or
// for a path without a name).
std::optional<std::u16string> SlotDisplayName(int32_t i);
// Gives slot i an item again (the filter took it away), at the list's end.
void ListSlotAgain(int32_t i, const std::u16string& name);

// ---- PaneFilter_win.cpp: type to find ----

// Takes the keys typed into the list (made once per pane).
void InstallFilterKeys();
// Lists the whole page again, if a filter narrows it.
void ClearFilter();
// Makes the next slice of a filter's changes to the list.
void RefilterStep();
// Whether a filter's changes are still being made.
bool Refiltering();
// Drops a filter's changes still to be made, with repaints back on (the
// list is about to be filled anew).
void CancelRefilter();

// ---- PaneEntries_win.cpp: registering and launching ----

// The page's Files text from the entries, within the field's capacity.
std::u16string PageFilesText();
int EntryIndexOfItem(int item);
// An item's display name (column 0), at most kPathBuffer - 1 units.
std::u16string ItemName(int item);
void Launch(int item);
void OnDropFiles(HDROP drop);
void AddRegistration(App& app);
void RemoveRegistration();
void ShowSelectedDetails();
void ShowEntryDetails(int index);
void OnContextMenu(LPARAM lp);
void ShowLocation();
// The selected entry started elevated, or with arguments the user gives.
void RunAsAdministrator();
void RunWithArguments();
void RenameItems();

}  // namespace pagepane
}  // namespace vc
