// The page pane: the child dialog that lists the shown page's entries.
#pragma once

#include <windows.h>

namespace vc {

struct App;

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
    ScanCommonFolderStep = 2016,
    ResolveShortcutStep = 2017,
    SortByTime = 2018,
    ShowNextEntry = 2019,
    CreateImageLists = 2101,
    DestroyImageLists = 2102,
};

// Creates the pane for the page of the selected tab.
HWND CreatePagePane(App& app, HWND tabWindow);
INT_PTR CALLBACK PagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The pane that exists, or nullptr.
HWND CurrentPagePane();
// Whether the pane has finished loading its page.
bool PaneLoaded();
// Puts the pane's entries back into its user page's Files text, so that a
// dialog working on copies of the pages sees the registrations made since
// the page was shown. Does nothing while the page is still loading.
void StorePaneEntriesInPage();

}  // namespace vc
