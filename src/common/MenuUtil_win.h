// Menu item helpers shared by the system menu and the context menu.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// A 16 x 16 menu picture from the resources, its grey background mapped to
// the menu's colour. The caller deletes it.
HBITMAP LoadMenuPicture(HINSTANCE instance, int id);
// Puts `bmp` (when there is one) beside an item.
void SetMenuItemPicture(HMENU menu, UINT item, BOOL byPosition, HBITMAP bmp);
void SetMenuItemText(HMENU menu, UINT item, BOOL byPosition, const std::u16string& text);

}  // namespace vc
