// Owned GDI and USER handles: each handle this program creates has exactly
// one owner, which releases it once. One template serves every kind of
// handle; what needs more than the handle to be undone (a DC from GetDC, a
// paint, an object selected into a DC) has a small type of its own.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace vc {

// A move-only owner of one handle, released with Close.
template <class H, auto Close>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& o) noexcept : h_(o.release()) {}
    Owned& operator=(Owned&& o) noexcept {
        reset(o.release());
        return *this;
    }
    ~Owned() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Hands the handle over (to a window that destroys it, say).
    H release() { return std::exchange(h_, nullptr); }
    // Releases the handle held, then holds `h`.
    void reset(H h = nullptr) {
        if (h_ && h_ != h) Close(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

namespace handles {
inline void DeleteGdi(HGDIOBJ h) { DeleteObject(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyImages(HIMAGELIST h) { ImageList_Destroy(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
inline void DeleteMemoryDC(HDC h) { DeleteDC(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
}  // namespace handles

using FontPtr = Owned<HFONT, handles::DeleteGdi>;
using BrushPtr = Owned<HBRUSH, handles::DeleteGdi>;
using BitmapPtr = Owned<HBITMAP, handles::DeleteGdi>;
using RegionPtr = Owned<HRGN, handles::DeleteGdi>;
using PenPtr = Owned<HPEN, handles::DeleteGdi>;
using IconPtr = Owned<HICON, handles::DestroyIconHandle>;
using ImageListPtr = Owned<HIMAGELIST, handles::DestroyImages>;
using MenuPtr = Owned<HMENU, handles::DestroyMenuHandle>;
using WindowPtr = Owned<HWND, handles::DestroyWindowHandle>;
using MemoryDCPtr = Owned<HDC, handles::DeleteMemoryDC>;  // from CreateCompatibleDC
// A file handle; CreateFileW's INVALID_HANDLE_VALUE is held as none.
using FilePtr = Owned<HANDLE, handles::CloseKernelHandle>;
inline FilePtr OwnedFile(HANDLE h) { return FilePtr(h == INVALID_HANDLE_VALUE ? nullptr : h); }

// A file search from FindFirstFile, closed with FindClose; its empty value is
// INVALID_HANDLE_VALUE, not null.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    FindHandle(FindHandle&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
    FindHandle& operator=(FindHandle&& o) noexcept {
        reset(std::exchange(o.h_, INVALID_HANDLE_VALUE));
        return *this;
    }
    ~FindHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (h_ != INVALID_HANDLE_VALUE && h_ != h) FindClose(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A paint from BeginPaint to EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a DC for a while; the DC's previous object goes
// back in at the end, so the object can then be deleted.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace vc
