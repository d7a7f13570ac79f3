// The glass of the settings dialogs' and the About box's bands, where the
// desktop composes windows.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vc {

// The glass bands' height at 96 DPI.
constexpr int kGlassHeight = 11;

// Extends the window frame's glass 11 pixels into the top and the bottom of
// the client area (where the desktop composes windows).
void ExtendGlassFrame(HWND dialog);

// Whether the desktop composes windows (glass can be drawn); false before
// Windows Vista and where the desktop window manager is missing.
bool GlassAvailable(uint32_t windowsVersion);

}  // namespace vc
