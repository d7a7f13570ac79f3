#include "common/Placement.h"

namespace vc {

Point PlaceOnMonitor(int x, int y, int width, int height, const Rect& m) {
    if (x + width / 2 < m.left + 5) x = m.left + 5;
    if (y + height / 2 < m.top + 3) y = m.top + 3;
    if (x + width / 2 + 5 > m.right) x = m.right - width - 5;
    if (y + height / 2 + 3 > m.bottom) y = m.bottom - height - 3;
    return {x, y};
}

}  // namespace vc
