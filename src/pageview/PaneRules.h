// The decisions of the page pane that need no window: which posted loading
// steps still count, what a page's Files text is cut to, which recent files
// the recent page lists, when a registration is taken. Portable: no
// windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pageview/FileEntry.h"

namespace vc {

// Private commands of the pane. The loading steps carry the number of their
// loading chain in the high word of wParam, so that the steps of a chain
// replaced by a refresh are recognised and dropped.
enum PaneCommand : int {
    ApplyFontAndColours = 1030,
    ApplyView = 2001,
    FinishLoading = 2003,
    ApplyColumnWidths = 2004,
    AllocateEntries = 2011,
    StartLoading = 2012,
    ParseNextEntry = 2013,
    ScanRecentStep = 2014,
    ScanFolderStep = 2015,
    ResolveShortcutStep = 2017,
    SortByTime = 2018,
    ShowNextEntry = 2019,
    CreateImageLists = 2101,
    DestroyImageLists = 2102,
};

// Whether `path` names something Windows runs as a program, and so can run
// as administrator: by its type, as the shell decides; a shortcut counts,
// as it mostly stands for a program in a launcher.
bool IsProgramPath(std::u16string_view path);

// ---- Loading chains ----

// Commands sent by other windows carry chain number 0, so no chain of the
// pane's own is ever numbered 0: the number after 0xFFFF is 1.
uint16_t NextChain(uint16_t chain);

// A step posted by a chain that a refresh has replaced since: the chain
// steps of any chain but `currentChain`, and a StartLoading that names an
// earlier chain. A StartLoading without chain number (another window asks
// for a reload) always counts, and so does every other command.
bool IsStaleStep(int command, uint16_t stepChain, uint16_t currentChain);

// ---- A user page's Files text ----

// `text` cut to fit a field of `capacity` units (its last unit the
// terminator): a text that fits is kept whole, a longer one loses whole
// entries from its end, never part of one. `capacity` is at least 3.
std::u16string CapFilesText(std::u16string text, size_t capacity);

// How many slots the entry table of a page gets: a user page the most it
// lists; a folder page as many as its folders hold (`folderEntries`), or as
// many as a user page when that count is not known (0 or less).
int EntryTableCapacity(bool userPage, int folderEntries);

// Whether a dropped or added file is registered: only on a user page that
// has finished loading (its slots are final), is not locked against changes
// and has a free slot.
bool TakesRegistration(bool userPage, bool loaded, uint32_t pageFlags, int entryCount, int entryCapacity);

// ---- Folder pages ----

// The recent files kept while the recent folder is read: the newest of the
// whole folder, however many it holds.
inline constexpr size_t kRecentKept = 200;

// Of the `gathered` newest recent files, those that go into a table of
// `capacity` slots (`kept`), and of them those the page lists (`listed`,
// at most the `wanted` of the general settings).
struct RecentChoice {
    int kept;
    int listed;
};
RecentChoice ChooseRecentFiles(size_t gathered, int capacity, uint16_t wanted);

// The start-up page's folder (CSIDL_STARTUP); kRecentFolderId names the
// recent page's.
inline constexpr int16_t kStartupFolderId = 7;

// Folder pages other than the recent-files and start-up pages list each
// directory entry as it is read: their gathering keeps every entry and
// changes none.
bool ListsAsScanned(bool userPage, int folderId);

// The order of two listed entries under sort key `key` (see CompareEntries).
// With `newestAmongEqual`, entries of equal keys go newest first: the order
// a folder page was gathered in.
int CompareListed(const FileEntry* a, const FileEntry* b, int key, bool newestAmongEqual);

}  // namespace vc
