// The message box's layout: whatever the text, it shows whole, the buttons
// stand apart under it inside the box, and the box lands over its owner and
// whole on the work area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/MessageBox.h"

namespace vc {
namespace {

// A box as the template makes it at 96 DPI, in round numbers: text control
// 242 x 43 at (80, 12), buttons 88 x 30 at y = 72, window 340 x 150.
MessageBoxMeasures Template(int textWidth, int textHeight) {
    MessageBoxMeasures m;
    m.textWidth = textWidth;
    m.textHeight = textHeight;
    m.text = {80, 12, 322, 55};
    m.button = {12, 72, 100, 102};
    m.windowWidth = 340;
    m.windowHeight = 150;
    return m;
}

TEST(MessageBoxLayout, ShowsEveryTextWholeWithTheButtonsApartUnderItInsideTheBox) {
    const MessageBoxLayout plain = FitMessageBox(Template(120, 18));
    const int texts[][2] = {{120, 18}, {242, 43}, {243, 43}, {512, 18}, {200, 58}, {530, 58}, {-5, -1},
                            {2'000'000'000, 2'000'000'000}};  // beyond window coordinates: no overflow
    for (const auto& [w, h] : texts) {
        SCOPED_TRACE(::testing::Message() << w << " x " << h);
        const MessageBoxMeasures m = Template(w, h);
        const MessageBoxLayout l = FitMessageBox(m);
        EXPECT_GE(l.text.width(), std::clamp(w, m.text.width(), 0x7FFF));
        EXPECT_GE(l.text.height(), std::clamp(h, m.text.height(), 0x7FFF));
        EXPECT_EQ(l.text.left, m.text.left);  // beside the icon
        EXPECT_EQ(l.text.top, m.text.top);
        for (const Rect& b : {l.first, l.second}) {
            EXPECT_EQ(b.width(), m.button.width());
            EXPECT_EQ(b.height(), m.button.height());
            EXPECT_GE(b.top, l.text.bottom);
            EXPECT_GE(b.left, 0);
        }
        EXPECT_EQ(l.first.top, l.second.top);
        EXPECT_LT(l.first.right, l.second.left);
        EXPECT_LE(l.second.right, l.text.right);
        // The box grows with its contents: the margins a short text leaves
        // right of the text and below the buttons stay.
        EXPECT_EQ(l.windowWidth - l.text.right, plain.windowWidth - plain.text.right);
        EXPECT_EQ(l.windowHeight - l.second.bottom, plain.windowHeight - plain.second.bottom);
        EXPECT_GE(l.centringHeight, m.windowHeight);
    }
}

TEST(MessageBoxPlace, CentresOnTheOwnerAndMovesOnlyAsFarAsTheWorkAreaNeeds) {
    constexpr Rect kWork{0, 0, 1920, 1040};  // taskbar below 1040
    const struct {
        Rect owner, work;
        int textWidth = 120;
    } cases[] = {{{100, 100, 700, 500}, kWork},          {{100, 100, 701, 501}, kWork},
                 {{-295, 400, 305, 700}, kWork},         {{1620, 400, 2220, 700}, kWork},
                 {{5, 3, 205, 63}, kWork},               {{800, 900, 1200, 1200}, kWork},
                 {{1580, 880, 1920, 1030}, kWork},       {{400, 300, 1000, 700}, kWork, 30000},
                 {{-1500, -900, -900, -500}, {-1920, -1080, 0, 0}}};  // a monitor left of and above the primary
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.owner.left << "," << c.owner.top);
        const MessageBoxLayout box = FitMessageBox(Template(c.textWidth, 18));
        // With no work area known the box is centred, the margin below the buttons left out.
        const Point free = CentreMessageBox(c.owner, box, {});
        EXPECT_LE(std::abs(2 * free.x + box.windowWidth - c.owner.left - c.owner.right), 1);
        EXPECT_LE(std::abs(2 * free.y + box.centringHeight - c.owner.top - c.owner.bottom), 1);
        const Point p = CentreMessageBox(c.owner, box, c.work);
        const int size[2] = {box.windowWidth, box.windowHeight}, at[2] = {p.x, p.y}, was[2] = {free.x, free.y};
        const int low[2] = {c.work.left, c.work.top}, high[2] = {c.work.right, c.work.bottom};
        for (int axis : {0, 1}) {
            if (size[axis] > high[axis] - low[axis]) {  // larger than the area: the caption stays reachable
                EXPECT_EQ(at[axis], low[axis]);
                continue;
            }
            EXPECT_GE(at[axis], low[axis]);
            EXPECT_LE(at[axis] + size[axis], high[axis]);
            if (was[axis] >= low[axis] && was[axis] + size[axis] <= high[axis]) EXPECT_EQ(at[axis], was[axis]);
            else EXPECT_TRUE(at[axis] == low[axis] || at[axis] + size[axis] == high[axis]);
        }
    }
}

}  // namespace
}  // namespace vc
