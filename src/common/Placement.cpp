#include "common/Placement.h"

namespace vc {

Point PlaceOnMonitor(int x, int y, int width, int height, const Rect& m) {
    if (x + width / 2 < m.left + 5) x = m.left + 5;
    if (y + height / 2 < m.top + 3) y = m.top + 3;
    if (x + width / 2 + 5 > m.right) x = m.right - width - 5;
    if (y + height / 2 + 3 > m.bottom) y = m.bottom - height - 3;
    return {x, y};
}

Point PlaceBeside(const Rect& m, const Rect& t, int dw, int dh, int mx, int my, bool modern) {
    const int mw = m.width(), mh = m.height(), th = t.height();
    int x = mw - mx > t.left + dw ? t.left + (modern ? 5 : 0) : t.right - dw - (modern ? 5 : 0);
    int y = mh / 2 > t.top + th / 2 ? t.bottom + my : t.top - dh - my;
    if (x + dw + mx > m.right) x = m.right - dw - mx;
    if (y + dh + my > m.bottom) y = m.bottom - dh - my;
    // A dialog larger than the monitor keeps its caption on it, where the
    // user can take hold of it; its far side is what goes off.
    if (x < m.left + mx) x = m.left + mx;
    if (y < m.top + my) y = m.top + my;
    return {x, y};
}

Point PatternOrigin(int cx, int cy, int bw, int bh) {
    int ox = 0, oy = 0;
    if (bw != 0 && bh != 0) {
        ox = bw - (cx % bw);
        oy = bh - (cy % bh);
    }
    return {ox + 12, oy + 16};
}

unsigned RandomAnimationFlags(unsigned r) {
    // Values of AW_HOR_POSITIVE 0x1, AW_HOR_NEGATIVE 0x2, AW_VER_POSITIVE 0x4,
    // AW_VER_NEGATIVE 0x8, AW_CENTER 0x10, AW_SLIDE 0x40000, AW_BLEND 0x80000.
    static const unsigned kFlags[10] = {
        0x40000 | 0x4, 0x40000 | 0x8, 0x40000 | 0x1, 0x40000 | 0x2, 0x40000 | 0x1 | 0x4,
        0x40000 | 0x1 | 0x8, 0x40000 | 0x2 | 0x4, 0x40000 | 0x2 | 0x8, 0x10, 0x80000,
    };
    return kFlags[r % 10];
}

}  // namespace vc
