// The message box's layout arithmetic: growth to the text, the button row
// under it, and the place over the owner.
#include <gtest/gtest.h>

#include "common/MessageBox.h"

namespace vc {
namespace {

// A box as the template makes it at 96 DPI, in round numbers: text control
// 242 x 43 at (80, 12), buttons 88 x 30 at y = 72, window 340 x 150.
MessageBoxLayout Fit(int textWidth, int textHeight) {
    MessageBoxMeasures m;
    m.textWidth = textWidth;
    m.textHeight = textHeight;
    m.text = {80, 12, 322, 55};
    m.button = {12, 72, 100, 102};
    m.windowWidth = 340;
    m.windowHeight = 150;
    return FitMessageBox(m);
}

struct Growth {
    const char* name;
    int textWidth, textHeight, dx, dy;
};
class MessageBoxGrowth : public ::testing::TestWithParam<Growth> {};

// Whatever the text, the box grows by exactly its excess (never shrinks) and
// the buttons follow: right-aligned under the text, 10 pixels apart and 10
// short of its right edge (which is 5 past the control's own).
TEST_P(MessageBoxGrowth, GrowsByTheExcessWithTheButtonsUnderTheTextsRightEdge) {
    const Growth g = GetParam();
    const MessageBoxLayout l = Fit(g.textWidth, g.textHeight);
    EXPECT_EQ(l.dx, g.dx);
    EXPECT_EQ(l.dy, g.dy);
    EXPECT_EQ(l.text.left, 80);
    EXPECT_EQ(l.text.top, 12);
    EXPECT_EQ(l.text.width(), 242 + g.dx + 5);
    EXPECT_EQ(l.text.height(), 43 + g.dy);
    EXPECT_EQ(l.first.left, 327 + g.dx - 2 * 88 - 20);
    EXPECT_EQ(l.second.left, 327 + g.dx - 88 - 10);
    EXPECT_EQ(l.first.top, 72 + g.dy);
    EXPECT_EQ(l.second.top, 72 + g.dy);
    EXPECT_EQ(l.second.width(), 88);
    EXPECT_EQ(l.first.height(), 30);
    EXPECT_EQ(l.windowWidth, 340 + g.dx);
    EXPECT_EQ(l.centringHeight, 150 + g.dy);
    EXPECT_EQ(l.windowHeight, 160 + g.dy);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageBoxGrowth,
    ::testing::Values(Growth{"ShortOneLine", 120, 18, 0, 0}, Growth{"ExactlyTheControl", 242, 43, 0, 0},
                      Growth{"OnePixelWider", 243, 43, 1, 0}, Growth{"WideOneLine", 512, 18, 270, 0},
                      Growth{"ThreeLinesNarrow", 200, 58, 0, 15}, Growth{"ThreeLinesWide", 530, 58, 288, 15},
                      Growth{"MeasureFailed", -5, -1, 0, 0},
                      // Beyond what window coordinates can hold: no overflow.
                      Growth{"Absurd", 2'000'000'000, 2'000'000'000, 0x7FFF - 242, 0x7FFF - 43}),
    [](const auto& info) { return std::string(info.param.name); });

struct Place {
    const char* name;
    Rect owner, work;
    int x, y;
    int textWidth = 120;  // 340 x 160, centred as 150 high
};
class MessageBoxPlace : public ::testing::TestWithParam<Place> {};

// Centred on the owner (the 10 pixels below the buttons left out), halves
// truncated each on its own; moved back into the work area only as far as
// needed, the left and top edges winning for a box larger than the area.
TEST_P(MessageBoxPlace, CentresOnTheOwnerInsideTheWorkArea) {
    const Place c = GetParam();
    const MessageBoxLayout l = Fit(c.textWidth, 18);
    const Point p = CentreMessageBox(c.owner, l, c.work);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
}

constexpr Rect kWork{0, 0, 1920, 1040};  // taskbar below 1040
INSTANTIATE_TEST_SUITE_P(
    Owners, MessageBoxPlace,
    ::testing::Values(Place{"Middle", {100, 100, 700, 500}, kWork, 230, 225},
                      Place{"OddOwnerSize", {100, 100, 701, 501}, kWork, 230, 225},
                      Place{"MonitorLeftOfAndAbovePrimary", {-1500, -900, -900, -500}, {-1920, -1080, 0, 0}, -1370, -775},
                      Place{"HalfOffTheLeft", {-295, 400, 305, 700}, kWork, 0, 475},
                      Place{"HalfOffTheRight", {1620, 400, 2220, 700}, kWork, 1580, 475},
                      Place{"SmallOwnerInTheTopLeftCorner", {5, 3, 205, 63}, kWork, 0, 0},
                      Place{"WouldCoverTheTaskbar", {800, 900, 1200, 1200}, kWork, 830, 880},
                      Place{"ExactlyInTheCornerIsLeftAlone", {1580, 880, 1920, 1030}, kWork, 1580, 880},
                      Place{"WiderThanTheMonitor", {400, 300, 1000, 700}, kWork, 0, 425, 30000},
                      Place{"NoWorkAreaKnown", {-3000, -3000, -2400, -2600}, {}, -2870, -2875}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vc
