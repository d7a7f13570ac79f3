// The page pane: the child dialog that lists the shown page's entries.
#pragma once

#include <windows.h>

#include <string>

#include "pageview/PaneRules.h"  // PaneCommand, the commands the pane takes

namespace vc {

struct App;

// Creates the pane for the page of the selected tab.
HWND CreatePagePane(App& app, HWND tabWindow);
INT_PTR CALLBACK PagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The pane that exists, or nullptr.
HWND CurrentPagePane();
// Whether the pane has finished loading its page.
bool PaneLoaded();
// Look-ups of the pane's current load still queued or running.
int PaneLookupsOutstanding();
// Puts the pane's entries back into its user page's Files text, so that a
// dialog working on copies of the pages sees the registrations made since
// the page was shown. Does nothing while the page is still loading.
void StorePaneEntriesInPage();

// What the pane asks of the tab window, which owns the menus, with
// IDM_SHOW_CONTEXT_MENU (lParam points at it for the length of the call).
struct ContextMenuRequest {
    POINT at{};                                // screen point
    const std::u16string* entryName = nullptr;  // the selected entry's name, or none
    bool entryIsFolder = false;                 // the selected entry is known to be a folder
};

// Selects, focuses and scrolls into view the pane's entry in slot `index`
// whose path is `path` (found by its path alone when the slots have moved),
// with any type-to-find filter cleared first. A pane still loading gets the
// selection once its page is listed.
void SelectPaneEntry(int index, const std::u16string& path);
// Opens a path with the shell, in its own folder, on a worker as the pane's
// own launches are.
void LaunchPath(const std::u16string& path);

}  // namespace vc
