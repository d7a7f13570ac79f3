#include "common/Swatch.h"

#include <algorithm>

namespace vc {

namespace {
uint32_t R(uint32_t c) { return c & 0xFF; }
uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t B(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
}  // namespace

int Brightness(uint32_t color) {
    uint32_t m = std::max({R(color), G(color), B(color)});
    return int((m * 100 + 127) / 255);
}

SwatchRect SwatchColourRect(int width, int height, int mode) {
    SwatchRect r{0, 0, width, height};
    if (mode == SwatchHalf) r.top = height / 2;
    if (mode == SwatchInset) r.left = 2;
    return r;
}

std::vector<uint32_t> SwatchPixels(int width, int height, uint32_t color, int mode, uint32_t face, uint32_t menu) {
    if (width <= 0 || height <= 0) return {};
    std::vector<uint32_t> px(size_t(width) * size_t(height), kBlack);
    if (mode == SwatchHalf) std::fill(px.begin(), px.end(), face);
    if (mode == SwatchInset) std::fill(px.begin(), px.end(), menu);
    SwatchRect c = SwatchColourRect(width, height, mode);
    const bool frame = SwatchHasFrame(color);
    for (int y = c.top; y < c.bottom; ++y) {
        for (int x = c.left; x < c.right; ++x) {
            bool edge = x == c.left || x == c.right - 1 || y == c.top || y == c.bottom - 1;
            px[size_t(y) * size_t(width) + size_t(x)] = frame && edge ? kBlack : color;
        }
    }
    return px;
}

uint32_t TintPixel(uint32_t p, uint32_t f, uint32_t s) {
    auto mix = [&](uint32_t (*ch)(uint32_t), uint32_t num, uint32_t fWeight, uint32_t sWeight, uint32_t div) {
        return (ch(s) * sWeight + ch(f) * fWeight + num) / div;
    };
    switch (p) {
    case 0xFF0000:  // pure blue
        return Rgb(mix(R, 255, 2, 0, 3), mix(G, 255, 2, 0, 3), mix(B, 255, 2, 0, 3));
    case 0xFFFFFF: return f;  // white
    case 0x0000FF:            // pure red
        return Rgb(mix(R, 0, 4, 1, 5), mix(G, 0, 4, 1, 5), mix(B, 0, 4, 1, 5));
    case 0x000000:  // black
        return Rgb(mix(R, 0, 6, 1, 7), mix(G, 0, 6, 1, 7), mix(B, 0, 6, 1, 7));
    }
    return p;
}

}  // namespace vc
