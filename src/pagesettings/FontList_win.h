// The list of installed TrueType faces that the font combo boxes offer.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// Adds the installed TrueType faces to combo box `comboId` of `dialog`,
// each face once whatever the case of its spelling (a name the combo holds
// already is not added again), and selects `face`; when that is not
// installed "ＭＳ Ｐゴシック", and failing that the first face. The combo
// sorts the names itself (CBS_SORT).
void FillFontList(HWND dialog, int comboId, const std::u16string& face);

}  // namespace vc
