#include "common/MessageBox.h"

#include <algorithm>

namespace vc {

namespace {

// Window coordinates beyond this are not kept by the window manager; a text
// measured wider or taller than that could only overflow the sums below.
constexpr int kMaxExtent = 0x7FFF;

constexpr int kTextSlack = 5;       // extra width of the text control
constexpr int kButtonGap = 10;      // between the buttons, and after the second one
constexpr int kBottomMargin = 10;   // added below the buttons

Rect At(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

}  // namespace

MessageBoxLayout FitMessageBox(const MessageBoxMeasures& m) {
    MessageBoxLayout l;
    const int tw = std::clamp(m.textWidth, 0, kMaxExtent);
    const int th = std::clamp(m.textHeight, 0, kMaxExtent);
    const int sw = m.text.width(), sh = m.text.height();
    l.dx = std::max(0, tw - sw);
    l.dy = std::max(0, th - sh);
    l.text = At(m.text.left, m.text.top, sw + l.dx + kTextSlack, sh + l.dy);

    const int right = l.text.right;
    const int bw = m.button.width(), bh = m.button.height();
    const int by = m.button.top + l.dy;
    l.first = At(right - 2 * bw - 2 * kButtonGap, by, bw, bh);
    l.second = At(right - bw - kButtonGap, by, bw, bh);

    l.windowWidth = m.windowWidth + l.dx;
    l.centringHeight = m.windowHeight + l.dy;
    l.windowHeight = l.centringHeight + kBottomMargin;
    return l;
}

Point CentreMessageBox(const Rect& owner, const MessageBoxLayout& box, const Rect& workArea) {
    Point p{owner.left + owner.width() / 2 - box.windowWidth / 2,
            owner.top + owner.height() / 2 - box.centringHeight / 2};
    if (workArea.width() <= 0 || workArea.height() <= 0) return p;
    // An owner hanging over a monitor edge, or a box larger than its owner
    // near one, would put part of the box (or its caption) out of reach.
    if (p.x + box.windowWidth > workArea.right) p.x = workArea.right - box.windowWidth;
    if (p.y + box.windowHeight > workArea.bottom) p.y = workArea.bottom - box.windowHeight;
    p.x = std::max(p.x, workArea.left);
    p.y = std::max(p.y, workArea.top);
    return p;
}

}  // namespace vc
