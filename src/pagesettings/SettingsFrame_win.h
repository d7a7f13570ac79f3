// The frame shared by the page settings and general settings dialogs: the
// side toolbar whose buttons pick the pane, one pane at a time, the glass
// strips at the top and bottom, and the colouring of the controls on the
// tinted background.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "common/Glass_win.h"
#include "common/Handles_win.h"
#include "pagesettings/PageSettings.h"

namespace vc {

// Creates a settings pane (a child dialog) of the frame; nullptr when the
// pane does not exist.
using SettingsPaneFactory = HWND (*)(HWND frame, int index);

// The DPI of the monitor a settings dialog (or one of its panes) is on, as
// WM_DPICHANGED last told it: the dialog is laid out and its fonts and
// pictures are made for it.
float DialogDpi(HWND dialog);

class SettingsFrame {
public:
    SettingsFrame(const SettingsPaneInfo* panes, int count, int& paneIndex, SettingsPaneFactory create)
        : panes_(panes), count_(count), paneIndex_(paneIndex), create_(create) {}

    // The general settings dialog has a shorter toolbar whose tooltips get
    // narrower margins; set before Create.
    void SetToolbarLook(int height, bool narrowTipMargins) {
        toolbarHeight_ = height;
        narrowTipMargins_ = narrowTipMargins;
    }

    // The toolbar with the current pane's button checked, the current pane,
    // the glass strips. `animate` slides the dialog in where there is no
    // glass (before Windows Vista).
    void Create(HWND dialog, bool animate);
    // Shows pane `index` instead of the current one; nothing when it is
    // shown already. The old pane writes its fields back as it goes.
    void SwitchTo(int index, bool animate);
    // Closes the current pane, so that it writes its fields back.
    void ClosePane();
    // Releases the toolbar, its font and the pane.
    void Destroy();
    // WM_DPICHANGED (`wp`, `lp`) of the dialog: the dialog takes the
    // suggested rectangle and the DPI it is told, and the toolbar (its
    // pictures and buttons) and the pane are made anew for it. False when
    // the message came back through the dialog manager's default handling,
    // which the dialog procedure then leaves to it (returns FALSE).
    bool FollowDpiChange(WPARAM wp, LPARAM lp);

    // The messages every settings dialog handles alike: the toolbar's
    // tooltips, the colouring of the controls and the glass. True when
    // `msg` was one of them, with the dialog procedure's result.
    bool HandleMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) const;

    // The tooltip of a toolbar button.
    void OnTooltip(NMTTDISPINFOW* info) const;
    // WM_CTLCOLOR* of a control on the frame or on a pane: transparent text
    // on the background pattern, and glass on the strips.
    INT_PTR ColourControl(HWND dialog, HDC dc, HWND control) const;

    HWND pane() const { return pane_; }
    HWND toolbar() const { return toolbar_; }

private:
    void CreateToolbar();
    void CreatePane();
    void PlaceGlass() const;

    const SettingsPaneInfo* panes_;
    int count_;
    int& paneIndex_;
    SettingsPaneFactory create_;
    HWND dialog_ = nullptr;
    FontPtr toolbarFont_;  // lent to the toolbar, so it comes before it
    HWND toolbar_ = nullptr;
    HWND pane_ = nullptr;
    int toolbarHeight_ = 260;
    bool narrowTipMargins_ = false;
    bool followingDpi_ = false;
};

// Colours a control of a settings pane like the frame's own controls; edits
// keep the system colours (FALSE).
INT_PTR ColourPaneControl(HWND pane, HDC dc, HWND control);

// The new position of up-down `arrowsId` when a pane's WM_VSCROLL (`lp`)
// came from it, with its value field `editId` selected as the arrows leave
// it; -1 for a scroll from anything else.
int ArrowsPosition(HWND pane, LPARAM lp, int arrowsId, int editId);


}  // namespace vc
