// The context menu and the system menu's page items.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vc {

struct App;

// A built context menu and the pictures it holds while open.
struct ContextMenu {
    HMENU root = nullptr;   // menu 128 as loaded
    HMENU popup = nullptr;  // its first popup: the context menu
    std::vector<HBITMAP> bitmaps;
    ContextMenu() = default;
    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;
    ~ContextMenu();
};

// Builds the context menu for the current page; `entryName` is the display
// name of the selected entry, or nullptr without one.
void BuildContextMenu(App& app, const std::u16string* entryName, ContextMenu& menu);
// Builds the menu, tracks it at the screen point (commands go to the tab
// window) and destroys it.
void ShowContextMenu(App& app, POINT at, const std::u16string* entryName);
// Brings the system menu's page items up to date before it opens.
void UpdateSystemMenu(App& app);

// The tab strip's own messages: a right click on a tab opens the context
// menu, the wheel scrolls a one-row strip.
void SubclassTabStrip(HWND strip);
void UnsubclassTabStrip(HWND strip);

}  // namespace vc
