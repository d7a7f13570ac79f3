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

// Where a settings dialog of size dw x dh goes beside the tab window `t` on
// monitor `m`: below the tab window when its centre is in the upper half,
// above otherwise; left-aligned with it when it fits, else right-aligned;
// kept mx, my inside the monitor. `modern` (Vista and later) adds the 5
// pixels that the wider window frames need.
Point PlaceBeside(const Rect& m, const Rect& t, int dw, int dh, int mx, int my, bool modern);

// Brush origin that lines a background pattern of bw x bh up under a
// control whose client area sits at (cx, cy) in the dialog's client area.
Point PatternOrigin(int cx, int cy, int bw, int bh);

// The AnimateWindow direction flags for a random draw r (0..9).
unsigned RandomAnimationFlags(unsigned r);

}  // namespace vc
