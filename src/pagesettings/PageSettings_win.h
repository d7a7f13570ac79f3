// The page settings dialog: edits the look of the page in the current tab on
// a working copy, which OK puts back over the page.
#pragma once

#include <windows.h>

#include "settings/Records.h"

namespace vc {

struct App;

// Runs the dialog modally over `owner`; 1 after OK (the page record, its tab
// and the page pane are updated; the caller writes the file), 2 otherwise.
INT_PTR RunPageSettingsDialog(App& app, HWND owner);

// The page record the open dialog edits, for its panes.
PageRecord& PageSettingsWorkingCopy();

// "初期値設定..." of a pane: asks (owned by the pane) whether the pane's
// settings become the defaults for new pages; on Yes, `copy` takes the
// pane's fields from the working copy into the default page, which is then
// written to the settings file. True after Yes.
bool OfferAsDefaults(HWND pane, const char16_t* paneName, void (*copy)(const PageRecord& from, PageRecord& to));

// The pane the dialog shows when it opens next: the one shown when it was
// last closed, for the life of the process.
int& PageSettingsPaneIndex();

}  // namespace vc
