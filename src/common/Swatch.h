// Label-colour swatches and the background tint, as pixels. Portable: no
// windows.h; colours are COLORREF values (red in the low byte).
#pragma once

#include <cstdint>
#include <vector>

namespace vc {

enum SwatchMode : int { SwatchHalf = 0, SwatchFull = 1, SwatchInset = 2 };
constexpr uint32_t kBlack = 0x000000;

// Brightness as the colour editor shows it: max(R, G, B) * 100 / 255, rounded.
int Brightness(uint32_t color);
// Light colours get a black frame so that they stand out on light tabs.
inline bool SwatchHasFrame(uint32_t color) { return Brightness(color) > 70; }

struct SwatchRect {
    int left, top, right, bottom;
};
// The coloured part of a swatch of the given size.
SwatchRect SwatchColourRect(int width, int height, int mode);

// Row-major pixels of a swatch: `face` behind a half swatch, `menu` behind
// an inset one.
std::vector<uint32_t> SwatchPixels(int width, int height, uint32_t color, int mode, uint32_t face, uint32_t menu);

// The background texture's colour keys, tinted to the system colours
// (`face` = button face, `shadow` = button shadow); other colours unchanged.
uint32_t TintPixel(uint32_t pixel, uint32_t face, uint32_t shadow);

}  // namespace vc
