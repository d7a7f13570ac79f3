#include "pagesettings/ColourEditor.h"

#include <algorithm>
#include <cmath>

#include "common/U16.h"

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

namespace vc {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

bool Hsb(int mode) { return mode == kHsbMode; }
int BarIndex(int bar) { return bar < 0 ? 0 : bar >= kColourBarCount ? kColourBarCount - 1 : bar; }

}  // namespace

void UpdateForMode(int mode, ColourRecord& c) {
    if (Hsb(mode)) HsbToRgb(c);
    else RgbToHsb(c);
}

uint16_t BarValue(int mode, int bar, const ColourRecord& c) {
    const uint16_t rgb[kColourBarCount] = {c.R, c.G, c.B};
    const uint16_t hsb[kColourBarCount] = {c.H, c.S, c.V};
    return (Hsb(mode) ? hsb : rgb)[BarIndex(bar)];
}

void SetBarValue(int mode, int bar, uint16_t value, ColourRecord& c) {
    uint16_t* rgb[kColourBarCount] = {&c.R, &c.G, &c.B};
    uint16_t* hsb[kColourBarCount] = {&c.H, &c.S, &c.V};
    *(Hsb(mode) ? hsb : rgb)[BarIndex(bar)] = value;
}

BarScale ScaleOfBar(int mode, int bar) {
    // A page moves about a sixteenth of the bar: 16 on a colour channel,
    // 18 degrees of hue, 5 percent of saturation or brightness.
    if (!Hsb(mode)) return {15, 255};
    return BarIndex(bar) == 0 ? BarScale{17, 360} : BarScale{4, 100};
}

std::optional<int> ScrolledPosition(int code, int thumb, int cur, BarScale scale) {
    const int max = scale.max, step = scale.step;
    int p;
    switch (code) {
    case kLineLeft: p = cur - 1; break;
    case kLineRight: p = cur + 1; break;
    // From the right end the first page lands on a round value (240 on a
    // channel), and every further page on the next one down.
    case kPageLeft: p = cur == max ? max - step : cur - step - 1; break;
    case kPageRight: p = cur + step + 1; break;
    case kThumbPosition:
    case kThumbTrack: p = thumb; break;
    case kLeftEnd: p = 0; break;
    case kRightEnd: p = max; break;
    default: return std::nullopt;
    }
    // A position off the bar (a thumb position sent from elsewhere) would
    // put a saturation of 400 into the record and wrap its channels.
    return std::clamp(p, 0, max);
}

std::optional<int> ScrollRecord(int mode, int bar, int code, int thumb, int cur, ColourRecord& c) {
    std::optional<int> p = ScrolledPosition(code, thumb, cur, ScaleOfBar(mode, bar));
    if (!p) return std::nullopt;
    SetBarValue(mode, bar, uint16_t(*p), c);
    UpdateForMode(mode, c);
    return p;
}

std::u16string ColourValueText(int mode, const ColourRecord& c) {
    static const char16_t* const kRgbNames[kColourBarCount] = {u"赤:", u"、緑:", u"、青:"};
    static const char16_t* const kHsbNames[kColourBarCount] = {u"色相:", u"、彩度:", u"、明度:"};
    const char16_t* const* names = Hsb(mode) ? kHsbNames : kRgbNames;
    std::u16string text;
    for (int bar = 0; bar < kColourBarCount; ++bar) {
        text += names[bar];
        text += Dec(BarValue(mode, bar, c));
    }
    return std::u16string(CutTo(text, 63));
}

const char16_t* BarCaption(int mode, int bar) {
    static const char16_t* const kRgb[kColourBarCount] = {u"赤(&R)", u"緑(&G)", u"青(&B)"};
    static const char16_t* const kHsb[kColourBarCount] = {u"色相(&H)", u"彩度(&S)", u"明度(&B)"};
    return (Hsb(mode) ? kHsb : kRgb)[BarIndex(bar)];
}

uint32_t BarBackColour(int mode, int bar) {
    static const uint32_t kRgb[kColourBarCount] = {Rgb(232, 192, 192), Rgb(192, 232, 192), Rgb(192, 192, 232)};
    static const uint32_t kHsb[kColourBarCount] = {Rgb(232, 232, 192), Rgb(192, 232, 232), Rgb(192, 192, 192)};
    return (Hsb(mode) ? kHsb : kRgb)[BarIndex(bar)];
}

uint32_t BarCaptionColour(int mode, int bar) {
    static const uint32_t kRgb[kColourBarCount] = {Rgb(192, 0, 0), Rgb(0, 192, 0), Rgb(0, 0, 192)};
    static const uint32_t kHsb[kColourBarCount] = {Rgb(128, 128, 0), Rgb(0, 128, 128), Rgb(96, 96, 96)};
    return (Hsb(mode) ? kHsb : kRgb)[BarIndex(bar)];
}

}  // namespace vc
