// Label-colour swatches as bitmaps and image lists, and the program's
// tinted background brush.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "common/Handles_win.h"

namespace vc {

// A swatch bitmap drawn for window `w`'s screen.
BitmapPtr MakeSwatch(HWND w, int width, int height, uint32_t color, int mode);
// An image list of one swatch per colour; in half mode followed by the full
// swatches, so that image i + count is the full swatch of image i.
ImageListPtr MakeSwatchList(HWND w, int width, int height, const uint32_t* colors, int count, int mode);

// Whether the user reads the screen in a high-contrast theme: the program
// then draws with the theme's colours only, no texture and no page colours.
bool HighContrast();
// Tests stand in for the system's setting, which Wine does not keep.
void PretendHighContrast(bool on);

// Builds the tinted background brush and makes it `w`'s class background;
// in high contrast the class takes the theme's face colour instead.
void InstallBackground(HWND w, HINSTANCE instance);
// The current background brush (nullptr before the first install and in
// high contrast, where the controls keep their own colours).
HBRUSH BackgroundBrush();
// Size of the background tile, 0 x 0 when unknown.
SIZE BackgroundTileSize();

}  // namespace vc
