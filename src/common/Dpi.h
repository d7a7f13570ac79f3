// Sizes designed for 96 DPI, made for the DPI a window is shown at.
#pragma once

namespace vc {

constexpr int kDesignDpi = 96;

// `v` pixels at 96 DPI for `dpi`, truncated toward zero (a negative font
// height stays a character height).
inline int ScaleToDpi(int v, float dpi) { return int(float(v) * dpi / float(kDesignDpi)); }

// The picture size to use of those drawn (`sizes`, ascending): the largest
// that is not larger than `wanted`, so that nothing is ever stretched up;
// the smallest when every one is larger.
inline int PictureSizeFor(int wanted, const int* sizes, int count) {
    int best = sizes[0];
    for (int i = 0; i < count; ++i)
        if (sizes[i] <= wanted) best = sizes[i];
    return best;
}

}  // namespace vc
