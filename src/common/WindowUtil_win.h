// Small window utilities that several windows share.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// A new font like the window's own, with the given height and weight (0
// keeps them), italic, underline and strike-out, and face (empty keeps it).
// Returns nullptr when the window has no font or it cannot be read, so that
// the caller owns (and deletes) every font it gets.
HFONT FontFromWindowFont(HWND w, int height, int weight, BYTE italic, BYTE underline, BYTE strikeOut,
                         const std::u16string& face);

// Moves the tab window to its saved place, kept on the nearest monitor.
void PlaceTabWindow(HWND tab, int x, int y, int width, int height);

// Places a settings dialog beside the tab window (`tabWindow`, or where the
// settings put it, `tabPlacement`, when it has none), a little apart and on
// the monitor of `tabPlacement`.
void PlaceDialogBesideTabWindow(HWND dialog, HWND tabWindow, const RECT& tabPlacement, uint32_t windowsVersion);
// Shows or hides `w` with a randomly chosen 75 ms animation.
void RandomAnimation(HWND w, DWORD baseFlags);
// Frames an owner-drawn combo-box item: black when selected.
void ItemSelectionFrame(const DRAWITEMSTRUCT& item);
// Aligns the background pattern under a transparent control.
void AlignBackgroundBrush(HWND dialog, HWND control, HDC dc);
// A tooltip window for the dialog's controls; the caller destroys it.
struct ControlTip {
    WORD id;
    const wchar_t* text;
};
HWND TooltipsForControls(HINSTANCE instance, HWND dialog, const ControlTip* tips, int count);

// SetWindowTheme, looked up on first use (the theme library may be absent).
void SetControlTheme(HWND w, const wchar_t* appName);

// Puts a top-level window into the always-on-top band or takes it out.
void SetTopMost(HWND w, bool on);

// The DPI of the monitor `w` is on, where the system tells it per window
// (Windows 10 1607 on); `fallback` (the system DPI) elsewhere.
UINT WindowDpi(HWND w, UINT fallback);
// A system metric for `dpi`, where the system has one per DPI; else the
// metric of the system DPI, the only one older systems know.
int SystemMetricForDpi(int index, UINT dpi);

// The program's icon drawn at `size` pixels, made once and kept for the whole
// run. Loading it shared would not do: the system's shared images are found
// by name alone, so every size would get whichever was loaded first.
HICON AppIcon(HINSTANCE instance, int size);
// A dialog's first part of WM_DPICHANGED: the dialog manager scales the
// template and the dialog's font (its default handling, which calls the
// dialog procedure again: `busy` is set meanwhile, and the procedure must
// then leave the message to it), then the dialog takes the suggested place.
// False for that inner call.
bool ScaleDialogForDpi(HWND dialog, WPARAM wp, LPARAM lp, bool& busy);
// WM_DPICHANGED's suggested rectangle, taken.
void TakeSuggestedRect(HWND w, const RECT* suggested);
// Gives a dialog's caption the program's icon at the small icon size for `dpi`.
void SetCaptionIcon(HWND dialog, HINSTANCE instance, UINT dpi);

}  // namespace vc
