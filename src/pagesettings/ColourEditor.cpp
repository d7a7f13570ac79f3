#include "pagesettings/ColourEditor.h"

#include <algorithm>
#include <cmath>

namespace vc {
namespace {
uint16_t Rounded(double v) { return uint16_t(std::trunc(v + 0.5)); }
}  // namespace

void RgbToHsb(ColourRecord& c) {
    const double r = c.R / 255.0, g = c.G / 255.0, b = c.B / 255.0;
    const double mx = std::max(b, std::max(r, g));
    const double mn = std::min(b, std::min(r, g));
    const double d = mx - mn;
    double h = 0, s = 0;
    if (mx != 0) {
        s = d / mx;
        if (s != 0) {
            const double dr = (mx - r) / d, dg = (mx - g) / d, db = (mx - b) / d;
            if (r == mx) h = db - dg;
            else if (g == mx) h = 2 + dr - db;
            else h = 4 + dg - dr;
            h /= 6;
            if (h < 0) h += 1;
        }
    }
    c.H = Rounded(h * 360);
    c.S = Rounded(s * 100);
    c.V = Rounded(mx * 100);
}

void HsbToRgb(ColourRecord& c) {
    const double s = c.S / 100.0, v = c.V / 100.0;
    if (s == 0) {
        c.R = c.G = c.B = Rounded(v * 255);
        return;
    }
    const double turns = c.H / 360.0;
    const double h = turns - std::floor(turns);
    const double x = h * 6;
    const int i = int(std::trunc(x)) % 6;
    const double f = x - std::floor(x);
    const double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    double r = 0, g = 0, b = 0;
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    c.R = Rounded(r * 255);
    c.G = Rounded(g * 255);
    c.B = Rounded(b * 255);
}

uint32_t ColourOf(const ColourRecord& c) {
    return uint32_t(c.R & 0xFF) | (uint32_t(c.G & 0xFF) << 8) | (uint32_t(c.B & 0xFF) << 16);
}

ColourRecord RecordOf(uint32_t colour) {
    ColourRecord c;
    c.R = uint16_t(colour & 0xFF);
    c.G = uint16_t((colour >> 8) & 0xFF);
    c.B = uint16_t((colour >> 16) & 0xFF);
    RgbToHsb(c);
    return c;
}

}  // namespace vc
