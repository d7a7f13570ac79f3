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

// Builds the tinted background brush and makes it `w`'s class background.
void InstallBackground(HWND w, HINSTANCE instance);
// The current background brush (nullptr before the first install).
HBRUSH BackgroundBrush();
// Size of the background tile, 0 x 0 when unknown.
SIZE BackgroundTileSize();

}  // namespace vc
