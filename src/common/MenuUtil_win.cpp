#include "common/MenuUtil_win.h"

#include "common/Wide_win.h"

namespace vc {

HBITMAP LoadMenuPicture(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                           LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE | LR_LOADTRANSPARENT));
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
