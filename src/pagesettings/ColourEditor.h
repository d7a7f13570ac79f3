// The colour editor's arithmetic: a colour as red, green and blue and as
// hue, saturation and brightness, the conversions between the two, and what
// the editor's three bars, their captions and its value text show of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vc {

struct ColourRecord {
    uint16_t R = 0, G = 0, B = 0;  // 0..255
    uint16_t H = 0;                // 0..360 degrees
    uint16_t S = 0, V = 0;         // 0..100 percent; V is the brightness
};

// Fills H, S and V from R, G and B.
void RgbToHsb(ColourRecord& c);
// Fills R, G and B from H, S and V.
void HsbToRgb(ColourRecord& c);

// A COLORREF value (0x00BBGGRR) from the low bytes of R, G and B.
uint32_t ColourOf(const ColourRecord& c);
// A record holding the COLORREF value, its H, S and V computed.
ColourRecord RecordOf(uint32_t colour);

// What the three bars edit.
enum ColourMode : int {
    kRgbMode = 0,  // red, green, blue
    kHsbMode = 1,  // hue, saturation, brightness
};
constexpr int kColourBarCount = 3;

// After the bars of `mode` changed their half of the record, brings the
// other half in line: H, S, V in RGB mode, R, G, B in HSB mode.
void UpdateForMode(int mode, ColourRecord& c);

// The value bar `bar` (0..2) shows in `mode`, and storing into it.
uint16_t BarValue(int mode, int bar, const ColourRecord& c);
void SetBarValue(int mode, int bar, uint16_t value, ColourRecord& c);

// A bar runs from 0 to `max`; a page moves it `step` + 1.
struct BarScale {
    int step;
    int max;
};
BarScale ScaleOfBar(int mode, int bar);

// The codes a horizontal scroll bar sends, numbered as the platform numbers
// them (SB_LINELEFT ... SB_ENDSCROLL).
enum ScrollCode : int {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kLeftEnd = 6,
    kRightEnd = 7,
    kEndScroll = 8,
};

// Where scroll code `code` moves a bar standing at `cur`; `thumb` is the
// dragged thumb's position. Nothing for codes that do not move it (the end
// of a drag). The result always lies on the bar.
std::optional<int> ScrolledPosition(int code, int thumb, int cur, BarScale scale);

// The whole scroll of bar `bar`: the new position stored into the record
// and the other half of the record brought in line. The new position, or
// nothing when the code changes nothing (the record is then untouched).
std::optional<int> ScrollRecord(int mode, int bar, int code, int thumb, int cur, ColourRecord& c);

// "赤:R、緑:G、青:B" or "色相:H、彩度:S、明度:V", at most 63 units.
std::u16string ColourValueText(int mode, const ColourRecord& c);

// The caption of bar `bar` in `mode`, with its keyboard mnemonic.
const char16_t* BarCaption(int mode, int bar);

// The colours (COLORREF values) that tell the three bars apart: the
// background of a bar and the text of its caption, both by mode.
uint32_t BarBackColour(int mode, int bar);
uint32_t BarCaptionColour(int mode, int bar);

}  // namespace vc
