// The general settings dialog: program-wide settings, the special pages,
// the order, marks and main page of all pages, and the user label colours.
// The general pane changes GlobalSettings at once and Cancel puts the saved
// values back; the pages and the label colours are edited on copies the tab
// window prepares and commits after OK.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/Records.h"

namespace vc {

struct App;

// The label colours the user sets: LabelColor1..5.
constexpr int kUserLabelColourCount = 5;

// What the open dialog works on; the panes reach it through
// TheGeneralSettings().
struct GeneralSettingsSession {
    // The shown special pages in tab order, then every user page in order.
    std::vector<PageRecord> pages;
    int32_t shownSpecialCount = 0;        // how many of `pages` are special pages
    std::array<uint32_t, kUserLabelColourCount> labelColours{};  // LabelColor1..5
    // Edited copies of the special page set, committed on OK.
    uint32_t spcialFolder = 0;
    int32_t spcialRecentFileNum = 0;
    // The edited global hotkey, registered anew on OK.
    uint16_t hotKey = 0;
    // Edited copies of the start-up pane's settings, committed on OK.
    bool notifyIcon = true;
    bool startHidden = false;
    bool hideAfterLaunch = false;
    int32_t backupGenerations = 0;
    // Whether the user's Run key names this copy: what the registry held
    // when the dialog opened, and what the box says.
    bool runAtLogonBefore = false;
    bool runAtLogon = false;
    // A backup the user chose to restore: the dialog closes without its
    // other changes and the tab window takes the copy as the file.
    std::u16string restoreBackup;
    // The page selected in the pages pane: an index into `pages`.
    int32_t selectedPosition = 0;
    // The page the tab window shows: an index into `pages` that moves with
    // the page, so that the window can keep showing it after OK.
    int32_t shownPosition = 0;
    // What changed, for the tab window after OK. The tab strip's placement
    // is the tab window's to apply: TabStyle as it was when the dialog opened.
    uint32_t tabStyleBefore = 0;
    bool PagesReorganised = false;
    bool SpecialSetChanged = false;
    bool LabelColoursChanged = false;
};

// Runs the dialog modally over `owner` on `session` (pages and colours
// filled by the caller); 1 after OK, 2 otherwise.
INT_PTR RunGeneralSettingsDialog(App& app, HWND owner, GeneralSettingsSession& session);

// While the dialog is open the general pane shows its values on the window
// at once, in the global record: these puts the values from before the
// dialog into `g`, for a write that must store only what the user confirmed
// (the session ends meanwhile). False, changing nothing, when it is closed.
bool ConfirmedGlobalSettings(GlobalRecord& g);

// The session of the open dialog (an empty one when none is open).
GeneralSettingsSession& TheGeneralSettings();

// The pane shown when the dialog opens next: the one shown when it last
// closed, for the life of the process.
int& GeneralSettingsPaneIndex();

// The panes, child dialog procedures of the frame.
INT_PTR CALLBACK GeneralPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);       // template 141
INT_PTR CALLBACK FoldersPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);       // template 143
INT_PTR CALLBACK PageListPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);         // template 142
INT_PTR CALLBACK LabelColoursPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);  // template 151
INT_PTR CALLBACK StartupPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);       // template 154

// Shows on the general pane that the hotkey in its box could not be had,
// and puts the keyboard in the box.
void ShowRefusedHotKey(HWND pane);

// Commands between the frame and the pages pane.
constexpr int kCommitMarks = 5001;  // lParam 1: write the marks into the copy; else drop them
constexpr int kShowMarks = 5002;

}  // namespace vc
