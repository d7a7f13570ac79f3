// What the tab window's procedure and its command table share: the window
// parts the commands rebuild, and the table itself.
#pragma once

#include <windows.h>

namespace vc {

struct App;

// Runs one of the tab window's commands (from a menu, an accelerator or the
// system menu). Returns true, with the dialog result, when `id` is one.
bool RunTabCommand(App& app, HWND tab, int id, WPARAM wp, LPARAM lp, INT_PTR& result);

// The page pane of the selected tab, made anew or taken down.
void CreatePane(App& app);
void DestroyPane();
// Hands a message on to the page pane, when there is one.
void ForwardToPane(UINT msg, WPARAM wp, LPARAM lp);

// Every tab again, after the pages were renumbered; only the selected tab
// shows its full swatch.
void RebuildTabs(App& app);
// Puts up to `most` (0: every one) of the tabs that wait since the start at
// the strip's end; whether some still wait.
bool InsertWaitingTabs(App& app, int most);
// The tabs' swatches in the current label colours.
void BuildSwatchList(App& app, HWND tab);
// The tab strip's and the status bar's fonts from the global settings.
void ApplyTabFont(App& app, HWND tab);
void ApplyStatusFont(App& app, HWND tab);
// Adds or removes the status bar as TabStyle now asks.
void ShowStatusBarAsSet(App& app, HWND tab);
// Repaints the tab strip and the page pane after the settings changed.
void RedrawTabsAndPane();

}  // namespace vc
