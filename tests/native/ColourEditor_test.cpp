#include "pagesettings/ColourEditor.h"

#include <gtest/gtest.h>

#include <vector>

namespace vc {
namespace {

ColourRecord Rgb(uint16_t r, uint16_t g, uint16_t b) {
    ColourRecord c;
    c.R = r, c.G = g, c.B = b;
    RgbToHsb(c);
    return c;
}

ColourRecord Hsb(uint16_t h, uint16_t s, uint16_t v) {
    ColourRecord c;
    c.H = h, c.S = s, c.V = v;
    HsbToRgb(c);
    return c;
}

std::vector<int> HsbOf(const ColourRecord& c) { return {c.H, c.S, c.V}; }
std::vector<int> RgbOf(const ColourRecord& c) { return {c.R, c.G, c.B}; }
#define EXPECT_HSB(c, h, s, v) EXPECT_EQ(HsbOf(c), (std::vector<int>{h, s, v})) << #c
#define EXPECT_RGB(c, r, g, b) EXPECT_EQ(RgbOf(c), (std::vector<int>{r, g, b})) << #c

TEST(ColourConversion, RgbToHsbAtTheEdges) {
    EXPECT_HSB(Rgb(255, 0, 0), 0, 100, 100);
    // A red a hair short of a full turn rounds up to 360, not back to 0.
    EXPECT_HSB(Rgb(255, 0, 1), 360, 100, 100);
    EXPECT_HSB(Rgb(0, 0, 0), 0, 0, 0);
    EXPECT_HSB(Rgb(128, 128, 128), 0, 0, 50);
    EXPECT_HSB(Rgb(255, 255, 255), 0, 0, 100);
    // Green and blue are tested after red, so a tie with red keeps red's hue.
    EXPECT_HSB(Rgb(255, 255, 0), 60, 100, 100);
    EXPECT_HSB(Rgb(0, 255, 0), 120, 100, 100);
    EXPECT_HSB(Rgb(0, 0, 255), 240, 100, 100);
    EXPECT_HSB(Rgb(255, 0, 255), 300, 100, 100);
}

TEST(ColourConversion, HsbToRgbWrapsTheHueAndGivesGreyWithoutSaturation) {
    EXPECT_RGB(Hsb(360, 100, 100), 255, 0, 0);
    EXPECT_RGB(Hsb(0, 100, 100), 255, 0, 0);
    EXPECT_RGB(Hsb(120, 100, 100), 0, 255, 0);
    EXPECT_RGB(Hsb(240, 100, 50), 0, 0, 128);
    for (uint16_t h : {0, 45, 180, 359, 360}) {
        EXPECT_RGB(Hsb(h, 0, 50), 128, 128, 128);
        EXPECT_RGB(Hsb(h, 0, 100), 255, 255, 255);
        EXPECT_RGB(Hsb(h, 0, 0), 0, 0, 0);
    }
    // Every hue sector lands on its own channels, with no channel past 255.
    for (uint16_t h = 0; h <= 360; ++h) {
        const ColourRecord c = Hsb(h, 100, 100);
        EXPECT_EQ(std::max({c.R, c.G, c.B}), 255) << h;
        EXPECT_EQ(std::min({c.R, c.G, c.B}), 0) << h;
    }
}

TEST(ColourConversion, ColourRefUsesTheLowByteOfEachChannel) {
    ColourRecord c;
    c.R = 0x112, c.G = 0x34, c.B = 0x1FF;
    EXPECT_EQ(ColourOf(c), 0xFF3412u);
    const ColourRecord back = RecordOf(0x00FF8000u);  // blue 255, green 128, red 0
    EXPECT_RGB(back, 0, 128, 255);
    EXPECT_HSB(back, 210, 100, 100);
    EXPECT_RGB(RecordOf(0xAB000000u), 0, 0, 0);  // the top byte is no colour
}

// The positions successive scrolls of one code visit from `from`.
std::vector<int> Walk(int code, int from, BarScale scale, int steps) {
    std::vector<int> seen;
    int cur = from;
    for (int i = 0; i < steps; ++i) seen.push_back(cur = ScrolledPosition(code, 0, cur, scale).value_or(-1));
    return seen;
}

TEST(ColourScroll, PagesLandOnRoundValuesAndStopAtTheEnds) {
    const BarScale channel = ScaleOfBar(kRgbMode, 2);
    EXPECT_EQ(Walk(kPageLeft, 255, channel, 4), (std::vector<int>{240, 224, 208, 192}));
    EXPECT_EQ(Walk(kPageLeft, 20, channel, 2), (std::vector<int>{4, 0}));
    std::vector<int> right;
    for (int p = 16; p <= 240; p += 16) right.push_back(p);
    right.push_back(255);
    right.push_back(255);
    EXPECT_EQ(Walk(kPageRight, 0, channel, 17), right);

    EXPECT_EQ(Walk(kPageRight, 0, ScaleOfBar(kHsbMode, 0), 2), (std::vector<int>{18, 36}));
    EXPECT_EQ(Walk(kPageLeft, 360, ScaleOfBar(kHsbMode, 0), 2), (std::vector<int>{343, 325}));
    EXPECT_EQ(Walk(kPageRight, 98, ScaleOfBar(kHsbMode, 1), 1), (std::vector<int>{100}));
    EXPECT_EQ(Walk(kPageLeft, 100, ScaleOfBar(kHsbMode, 2), 2), (std::vector<int>{96, 91}));

    EXPECT_EQ(Walk(kLineLeft, 1, channel, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(Walk(kLineRight, 99, ScaleOfBar(kHsbMode, 1), 2), (std::vector<int>{100, 100}));
    EXPECT_EQ(ScrolledPosition(kLeftEnd, 0, 77, ScaleOfBar(kHsbMode, 0)), 0);
    EXPECT_EQ(ScrolledPosition(kRightEnd, 0, 77, ScaleOfBar(kHsbMode, 0)), 360);
}

TEST(ColourScroll, TheThumbIsFollowedButKeptOnTheBar) {
    EXPECT_EQ(ScrolledPosition(kThumbTrack, 77, 3, ScaleOfBar(kRgbMode, 0)), 77);
    EXPECT_EQ(ScrolledPosition(kThumbPosition, 300, 3, ScaleOfBar(kHsbMode, 0)), 300);
    // A position from elsewhere that lies off the bar would wrap the
    // channels once converted: 400 % saturation is no colour.
    EXPECT_EQ(ScrolledPosition(kThumbTrack, 400, 3, ScaleOfBar(kHsbMode, 1)), 100);
    ColourRecord c = Rgb(10, 20, 30);
    ASSERT_TRUE(ScrollRecord(kHsbMode, 1, kThumbPosition, 65535, c.S, c));
    EXPECT_LE(std::max({c.R, c.G, c.B}), 255);
}

TEST(ColourScroll, TheEndOfADragChangesNothing) {
    ColourRecord c = Rgb(10, 20, 30);
    for (int code : {int(kEndScroll), 9, 42}) {
        EXPECT_FALSE(ScrolledPosition(code, 50, 10, ScaleOfBar(kRgbMode, 0))) << code;
        EXPECT_FALSE(ScrollRecord(kRgbMode, 0, code, 50, 10, c)) << code;
    }
    EXPECT_RGB(c, 10, 20, 30);
    EXPECT_HSB(c, 210, 67, 12);
}

TEST(ColourScroll, EachModeEditsItsHalfAndTheOtherHalfFollows) {
    ColourRecord c = Rgb(255, 255, 255);
    EXPECT_EQ(ScrollRecord(kRgbMode, 1, kPageLeft, 0, 255, c), 240);
    EXPECT_RGB(c, 255, 240, 255);
    EXPECT_HSB(c, 300, 6, 100);

    c = Rgb(255, 0, 0);
    EXPECT_EQ(ScrollRecord(kHsbMode, 0, kThumbTrack, 120, c.H, c), 120);
    EXPECT_RGB(c, 0, 255, 0);
    EXPECT_EQ(ScrollRecord(kHsbMode, 2, kLeftEnd, 0, c.V, c), 0);
    EXPECT_RGB(c, 0, 0, 0);
    EXPECT_HSB(c, 120, 100, 0);  // the bars keep the hue of a black made from them
}

TEST(ColourText, ValuesOfTheModeInTheirOrder) {
    const ColourRecord c = Rgb(255, 128, 0);
    EXPECT_EQ(ColourValueText(kRgbMode, c), u"赤:255、緑:128、青:0");
    EXPECT_EQ(ColourValueText(kHsbMode, c), u"色相:30、彩度:100、明度:100");
    EXPECT_EQ(ColourValueText(kHsbMode, Rgb(255, 0, 1)), u"色相:360、彩度:100、明度:100");
}

}  // namespace
}  // namespace vc
