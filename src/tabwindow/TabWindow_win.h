// The tab window: the program's visible main dialog with its tab strip.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pageview/FileEntry.h"
#include "settings/Records.h"

namespace vc {

struct App;

// Creates the tab window as a modeless dialog owned by `owner` (or none).
HWND CreateTabWindow(App& app, HWND owner);
INT_PTR CALLBACK TabWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// What the window needs only once it is on screen: COM for the page pane
// and the tabs' tooltip.
void FinishShownTabWindow(App& app, HWND tab);
// The tab strip's mouse messages for the tooltip: it follows the tab under
// the mouse.
void TrackTabTooltip(HWND strip, UINT msg, WPARAM wp, LPARAM lp);

// Shows the page of tab `tabNumber`, as a click on the tab does.
void SelectTab(App& app, int tabNumber);
// Ctrl+Tab / Ctrl+Shift+Tab: the next (+1) or previous (-1) tab, wrapping.
void SelectAdjacentTab(App& app, int delta);
// Alt+M: the main page's tab; the selection stays when no page is the main
// page or the main page has no tab.
void SelectMainPage(App& app);
// The page at menu position n (shown special pages first, then user pages).
void SelectPageByNumber(App& app, int n);

// Places the tab strip over the client area.
void LayoutTabWindow(App& app);

// Takes over a new order, new marks or a new main page from the general
// settings dialog's working copy of the pages (shown special pages first,
// then every user page), then shows the tabs anew.
void ApplyNewPageOrder(App& app, const std::vector<PageRecord>& copy);

// Stores what a close would store (the shown page's entries and the global
// settings) while the window stays: the session may end, or the end may
// still be cancelled.
void StoreTabWindowState(App& app);

// The tab strip takes the placement of TabStyle; it slides out and in only
// when the placement differs from `styleBefore`'s.
void PlaceTabStrip(App& app, uint32_t styleBefore);

// Moves the page pane over the tab strip's display area.
void PlacePagePane(App& app);

// Status bar part 1: the date and size of `entry`, or a blank for none.
void ShowEntryDetails(const FileEntry* entry);

// The date of an entry as the status bar shows it.
std::u16string EntryDateText(uint64_t lastWriteTime);
// Entries in a special page's folders, for its tab's tooltip: the last count
// known (-1 before the first). The folders may be redirected to a share, so
// they are counted on a worker, and `tooltip` is updated when a new count
// comes in.
int SpecialFolderEntryCount(const PageRecord& page, HWND tooltip);

}  // namespace vc
