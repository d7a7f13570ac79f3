// Small window utilities that several windows share.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// A new font like the window's own, with the given height and weight (0
// keeps them), italic, underline and strike-out, and face (empty keeps it).
// Returns nullptr when the window has no font. The caller owns the font.
HFONT FontFromWindowFont(HWND w, int height, int weight, BYTE italic, BYTE underline, BYTE strikeOut,
                         const std::u16string& face);

// Moves the tab window to its saved place, kept on the nearest monitor.
void PlaceTabWindow(HWND tab, int x, int y, int width, int height);

// SetWindowTheme, looked up on first use (the theme library may be absent).
void SetControlTheme(HWND w, const wchar_t* appName);

// Puts a top-level window into the always-on-top band or takes it out.
void SetTopMost(HWND w, bool on);

}  // namespace vc
