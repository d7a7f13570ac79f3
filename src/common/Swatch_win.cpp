#include "common/Swatch_win.h"

#include <utility>
#include <vector>

#include "resources/resource.h"
#include "common/Swatch.h"

namespace vc {

namespace {
// The brush first: it is made from the bitmap.
BitmapPtr g_backgroundBitmap;
BrushPtr g_backgroundBrush;
SIZE g_tileSize{0, 0};
}  // namespace

BitmapPtr MakeSwatch(HWND w, int width, int height, uint32_t color, int mode) {
    if (width <= 0 || height <= 0) return {};
    WindowDC dc(w);
    BitmapPtr bmp(CreateCompatibleBitmap(dc.get(), width, height));
    if (bmp) {
        std::vector<uint32_t> px =
            SwatchPixels(width, height, color, mode, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_MENU));
        // COLORREF is 0x00BBGGRR; a 32-bit DIB wants 0x00RRGGBB.
        for (uint32_t& p : px) p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;  // top-down, like the pixel rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBits(dc.get(), bmp.get(), 0, UINT(height), px.data(), &bi, DIB_RGB_COLORS);
    }
    return bmp;
}

ImageListPtr MakeSwatchList(HWND w, int width, int height, const uint32_t* colors, int count, int mode) {
    if (width <= 0 || height <= 0 || count <= 0) return {};
    const int sets = mode == SwatchHalf ? 2 : 1;
    ImageListPtr list(ImageList_Create(width, height, ILC_COLOR24, 0, count * sets));
    if (!list) return {};
    // All swatches side by side in one bitmap: the image list cuts the strip
    // into images, which costs one transfer instead of one per swatch.
    const int stripWidth = width * count * sets;
    std::vector<uint32_t> strip(size_t(stripWidth) * size_t(height));
    const COLORREF face = GetSysColor(COLOR_BTNFACE), menu = GetSysColor(COLOR_MENU);
    for (int set = 0; set < sets; ++set) {
        for (int i = 0; i < count; ++i) {
            std::vector<uint32_t> px = SwatchPixels(width, height, colors[i], set == 0 ? mode : SwatchFull, face, menu);
            const int left = (set * count + i) * width;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    uint32_t p = px[size_t(y) * size_t(width) + size_t(x)];
                    strip[size_t(y) * size_t(stripWidth) + size_t(left + x)] =
                        ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
                }
        }
    }
    WindowDC dc(w);
    BitmapPtr bmp(CreateCompatibleBitmap(dc.get(), stripWidth, height));
    if (bmp) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = stripWidth;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBits(dc.get(), bmp.get(), 0, UINT(height), strip.data(), &bi, DIB_RGB_COLORS);
        // The list copies the pictures; the strip goes at the end.
        ImageList_Add(list.get(), bmp.get(), nullptr);
    }
    return list;
}

namespace {
bool g_pretendHighContrast = false;
}  // namespace

bool HighContrast() {
    if (g_pretendHighContrast) return true;
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void PretendHighContrast(bool on) { g_pretendHighContrast = on; }

void InstallBackground(HWND w, HINSTANCE instance) {
    if (HighContrast()) {
        // A system colour index, which is nobody's to delete.
        SetClassLongPtrW(w, GCLP_HBRBACKGROUND, LONG_PTR(COLOR_BTNFACE + 1));
        g_backgroundBrush.reset();
        g_backgroundBitmap.reset();
        g_tileSize = {0, 0};
        return;
    }
    BitmapPtr bmp(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE)));
    BITMAP info{};
    g_tileSize = {0, 0};
    if (bmp && GetObjectW(bmp.get(), sizeof info, &info)) g_tileSize = {info.bmWidth, info.bmHeight};
    if (bmp && g_tileSize.cx > 0 && g_tileSize.cy > 0) {
        // The whole tile at once: one read and one write instead of two
        // calls per pixel.
        const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = g_tileSize.cx;
        bi.bmiHeader.biHeight = -g_tileSize.cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> px(size_t(g_tileSize.cx) * size_t(g_tileSize.cy));
        WindowDC screen(nullptr);
        if (GetDIBits(screen.get(), bmp.get(), 0, UINT(g_tileSize.cy), px.data(), &bi, DIB_RGB_COLORS)) {
            bool changed = false;
            for (uint32_t& p : px) {
                // DIB pixels are 0x00RRGGBB, COLORREF 0x00BBGGRR.
                uint32_t c = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
                uint32_t t = TintPixel(c, face, shadow);
                if (t == c) continue;
                p = ((t & 0xFF) << 16) | (t & 0xFF00) | ((t >> 16) & 0xFF);
                changed = true;
            }
            if (changed) SetDIBits(screen.get(), bmp.get(), 0, UINT(g_tileSize.cy), px.data(), &bi, DIB_RGB_COLORS);
        }
    }
    BrushPtr brush(bmp ? CreatePatternBrush(bmp.get()) : nullptr);
    // The class brush before the first install is a system colour index or
    // a stock brush, which is not ours: only our own old brush is deleted,
    // once the class holds the new one.
    SetClassLongPtrW(w, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush.get()));
    g_backgroundBrush = std::move(brush);
    g_backgroundBitmap = std::move(bmp);
}

HBRUSH BackgroundBrush() { return g_backgroundBrush.get(); }
SIZE BackgroundTileSize() { return g_tileSize; }

}  // namespace vc
