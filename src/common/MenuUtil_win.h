// Menu item helpers shared by the system menu and the context menu.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// A menu picture from the resources, its grey background mapped to the
// menu's colour: drawn at 16, 24 or 32 pixels, the largest that fits the
// menu at `dpi` (0: the screen's). The caller deletes it.
HBITMAP LoadMenuPicture(HINSTANCE instance, int id, UINT dpi = 0);
// Puts `bmp` (when there is one) beside an item.
void SetMenuItemPicture(HMENU menu, UINT item, BOOL byPosition, HBITMAP bmp);
void SetMenuItemText(HMENU menu, UINT item, BOOL byPosition, const std::u16string& text);

}  // namespace vc
