#include "common/MenuUtil_win.h"

#include <iterator>

#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/Wide_win.h"
#include "resources/resource.h"

namespace vc {

HBITMAP LoadMenuPicture(HINSTANCE instance, int id, UINT dpi) {
    if (!dpi) {
        WindowDC screen(nullptr);
        dpi = screen.get() ? UINT(GetDeviceCaps(screen.get(), LOGPIXELSY)) : UINT(kDesignDpi);
    }
    constexpr int sizes[] = {16, 24, 32};
    const int size = PictureSizeFor(ScaleToDpi(16, float(dpi)), sizes, int(std::size(sizes)));
    const int drawn = size == 32 ? id + IDB_MENU_OFFSET_32 : size == 24 ? id + IDB_MENU_OFFSET_24 : id;
    const UINT flags = LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE | LR_LOADTRANSPARENT;
    if (HBITMAP b = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(drawn), IMAGE_BITMAP, 0, 0, flags)))
        return b;
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags));
}

void SetMenuItemPicture(HMENU menu, UINT item, BOOL byPosition, HBITMAP bmp) {
    if (!bmp) return;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_BITMAP;
    mii.hbmpItem = bmp;
    SetMenuItemInfoW(menu, item, byPosition, &mii);
}

void SetMenuItemText(HMENU menu, UINT item, BOOL byPosition, const std::u16string& text) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<wchar_t*>(AsW(text));
    SetMenuItemInfoW(menu, item, byPosition, &mii);
}

}  // namespace vc
