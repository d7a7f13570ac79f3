// The page pane: the child dialog that lists the shown page's entries.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "pageview/FileEntry.h"
#include "pageview/PaneRules.h"  // PaneCommand, the commands the pane takes
#include "pageview/PaneState.h"
#include "settings/Records.h"

namespace vc {

struct App;

// What the context menu offers for the selected entry: a folder can only be
// opened, only a program can be run as administrator.
enum class MenuEntryKind { Other, Folder, Program };

// What the pane asks for when the user right-clicks it: a context menu at a
// screen point, offering the entry commands for the entry named, if any.
struct ContextMenuRequest {
    POINT at{};                                 // screen point
    const std::u16string* entryName = nullptr;  // the selected entry's name, or none
    MenuEntryKind entryKind = MenuEntryKind::Other;  // what the selected entry is known to be
};

// What the pane asks of the window it lies in, by direct calls: nothing of
// this travels as a message that another program could send.
class PaneHost {
public:
    // Puts the pane over the display area of the tab strip.
    virtual void PlacePane(HWND pane) = 0;
    // Status bar part `part` (0: the count, 1: the entry's details).
    virtual void SetStatus(int part, const std::u16string& text) = 0;
    // The status bar's details part tells about `entry`; nullptr blanks it.
    virtual void ShowEntryDetails(const FileEntry* entry) = 0;
    // Tracks the context menu until the user chooses or cancels; returns the
    // command chosen, 0 for none.
    virtual int TrackContextMenu(const ContextMenuRequest& request) = 0;
    // An entry was handed to the shell to start.
    virtual void EntryStarted() {}
    // While an entry is dragged: the page whose tab is under the screen
    // point `at`, with that tab highlighted and no other; none, and no tab
    // highlighted, away from the tabs or once `at` is none.
    virtual std::optional<PageId> DragOverTabs(std::optional<POINT> at) {
        (void)at;
        return std::nullopt;
    }

protected:
    ~PaneHost() = default;
};

// Creates the pane for the page of the selected tab.
HWND CreatePagePane(App& app, HWND tabWindow, PaneHost& host);
// The pane that exists, or nullptr.
HWND CurrentPagePane();
// Whether the pane has finished loading its page.
bool PaneLoaded();
// Look-ups of the pane's current load still queued or running.
int PaneLookupsOutstanding();
// The entries of the pane that exists (none without one).
const PaneState& ThePane();
// Writes the pane's status parts again (the count or the filter, the
// selected entry's details); false without a pane.
bool ShowPaneStatus();
// Puts the pane's entries back into its user page's Files text, so that a
// dialog working on copies of the pages sees the registrations made since
// the page was shown. Does nothing before the page's text is in the table.
void StorePaneEntriesInPage();
// The closing pane leaves its page record as it is: the records have been
// renumbered under it.
void DiscardPaneChanges();

// Selects, focuses and scrolls into view the pane's entry in slot `index`
// whose path is `path` (found by its path alone when the slots have moved),
// with any type-to-find filter cleared first. A pane still loading gets the
// selection once its page is listed.
void SelectPaneEntry(int index, const std::u16string& path);
// Opens a path with the shell, in its own folder, on a worker as the pane's
// own launches are.
void LaunchPath(const std::u16string& path);

}  // namespace vc
