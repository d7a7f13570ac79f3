// The context menu and the system menu's page items.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/Handles_win.h"
#include "pageview/PagePane_win.h"

namespace vc {

struct App;

// Where the program's items go in the tab window's system menu.
constexpr UINT kSystemMenuAboutPosition = 0;
constexpr UINT kSystemMenuPagesPosition = 2;  // the current page's commands
constexpr UINT kSystemMenuNewPagePosition = 3;
constexpr UINT kSystemMenuGeneralPosition = 5;

// A built context menu and the pictures it holds while open. The pictures
// come first: they must outlast the menu that shows them.
struct ContextMenu {
    std::vector<BitmapPtr> bitmaps;
    MenuPtr root;           // menu 128 as loaded
    HMENU popup = nullptr;  // its first popup: the context menu, destroyed with root
};

// Builds the context menu for the current page; `entryName` is the display
// name of the selected entry, or nullptr without one; `entryKind` says what
// it can be given (a folder can only be opened).
void BuildContextMenu(App& app, const std::u16string* entryName, ContextMenu& menu,
                      MenuEntryKind entryKind = MenuEntryKind::Other);
// Fills `sub` with the page list the context menu offers first, each page
// with its colour; the pictures go into `swatches`, which must outlast it.
void FillTabPageList(App& app, HMENU sub, std::vector<BitmapPtr>& swatches);
// Builds the menu, tracks it at the screen point and destroys it; returns
// the command chosen (0 for none), for the caller to carry out.
int TrackContextMenu(App& app, POINT at, const std::u16string* entryName, MenuEntryKind entryKind);
// The pictures of the program's items in the tab window's system menu, at
// the window's DPI (again after it changed); released with the host window.
void SetSystemMenuPictures(App& app);
void ReleaseSystemMenuPictures();
// Brings the system menu's page items up to date before it opens.
void UpdateSystemMenu(App& app);

// The tab strip's own messages: a right click on a tab opens the context
// menu, the wheel scrolls a one-row strip.
void SubclassTabStrip(HWND strip);
void UnsubclassTabStrip(HWND strip);

}  // namespace vc
