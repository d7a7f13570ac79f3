// The colour editor's arithmetic: a colour as red, green and blue and as
// hue, saturation and brightness, and the conversions between the two.
#pragma once

#include <cstdint>

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

}  // namespace vc
