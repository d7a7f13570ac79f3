// The colour editor on a pane: three coloured scroll bars with bold
// captions, the values as text, a swatch per colour the pane edits, and a
// picker that takes a colour from anywhere on the screen. The panes that
// edit colours (the page's text and background, the label colours) keep the
// editor's controls under the ids of ColourPaneIds.h and hold their own
// records, selection and mode; the editor works on what they pass.
#pragma once

#include <windows.h>

#include "pagesettings/ColourEditor.h"

namespace vc {

// Creates the editor's brushes, bold caption font and the picking button's
// tooltip for `pane`, and colours the `count` swatches (ids `firstSwatch`
// onwards) after `records`.
void SetUpColourEditor(HWND pane, int firstSwatch, const ColourRecord* records, int count);
// Releases what SetUpColourEditor made for `pane`.
void TearDownColourEditor(HWND pane);

// The captions, ranges and positions of the bars for `mode`, showing `c`.
void ShowColourMode(HWND pane, int mode, const ColourRecord& c);
// The values of `c` as text in the value static.
void ShowColourValue(HWND pane, int mode, const ColourRecord& c);
// Repaints the bars in the colours of the current mode.
void RepaintColourBars(HWND pane);
// A swatch shows `colour` (a COLORREF).
void SetSwatchColour(HWND pane, int swatchId, uint32_t colour);

// WM_HSCROLL from bar `bar`: moves it and edits `c`. False when the scroll
// changed nothing (the end of a drag, or not one of the editor's bars).
bool ScrollColourBar(HWND pane, WPARAM wp, HWND bar, int mode, ColourRecord& c);

// WM_CTLCOLOR* of a control on the pane: a bar gets its tint, a caption its
// text colour, and everything lies transparent on the background pattern.
INT_PTR ColourEditorControl(HWND pane, HDC dc, HWND control, int mode);

// Picking a colour from the screen. While a pick runs, the mouse events of
// the whole desktop come to the pane as its own mouse messages; moving
// shows the colour under the pointer live, a left click takes it, a right
// or middle button release gives the colour from before back. One pick at a
// time in the process.
//
// Starts a pick on `pane` for the colour `c`; false when `pane` picks
// already.
bool StartPicking(HWND pane, const ColourRecord& c);
// Whether `pane` is picking.
bool IsPicking(HWND pane);
// WM_SETCURSOR of a picking pane: keeps the picking cursor over the pane.
// False when the pane does not pick (the default cursor applies).
bool KeepPickingCursor(HWND pane);

// What a pane's mouse message did to the pick.
enum class PickStep {
    None,       // not picking, or a message the pick ignores
    Tracked,    // the record shows the colour under the pointer
    Taken,      // the pick ended with the colour under the pointer
    Cancelled,  // the pick ended with the colour from before it
};
// Feeds a mouse message of the pane to its pick; `c` is the record picked.
// The record's change has been shown and committed (IDM_COLOUR_COMMIT sent
// to the pane) when this returns.
PickStep PickMessage(HWND pane, UINT msg, LPARAM lp, int mode, ColourRecord& c);
// The messages every colour-editing pane handles alike: the picking mouse
// messages, the picking cursor and the colouring of the controls. True when
// `msg` was one of them, with the dialog procedure's result in `result` and
// what it did to a pick in `step`.
bool ColourEditorMessage(HWND pane, UINT msg, WPARAM wp, LPARAM lp, int mode, ColourRecord& c, INT_PTR& result,
                         PickStep& step);
// Ends the pick of `pane` and gives `c` back the colour from before it,
// shown and committed. False when the pane was not picking.
bool CancelPicking(HWND pane, int mode, ColourRecord& c);
// The pane goes away while it picks: the pick ends and `c` gets back the
// colour from before it. False when the pane was not picking.
bool AbandonPicking(HWND pane, ColourRecord& c);

}  // namespace vc
