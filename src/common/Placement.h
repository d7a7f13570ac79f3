// Where the tab window goes on its monitor. Portable: no windows.h.
#pragma once

namespace vc {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct Point {
    int x = 0, y = 0;
};

// The saved position, moved just enough that the window's centre lies at
// least 5 pixels (horizontally) and 3 pixels (vertically) inside monitor `m`.
Point PlaceOnMonitor(int x, int y, int width, int height, const Rect& m);

}  // namespace vc
