// The list of installed TrueType faces that the font combo boxes offer.
#pragma once

#include <windows.h>

#include <string>

namespace vc {

// Adds the installed TrueType faces to combo box `comboId` of `dialog`,
// each face once whatever the case of its spelling (a name the combo holds
// already is not added again), and selects `face`. A face that is not
// installed is shown all the same (for no face, the dialog's own face), as
// an item that stands for the stored face: PickedFace does not report it, so
// the stored face changes only when the user picks another. The combo sorts
// the names itself (CBS_SORT).
void FillFontList(HWND dialog, int comboId, const std::u16string& face);

// The face selected in a combo filled by FillFontList; false when nothing
// is selected or the item standing for the stored face is.
bool PickedFace(HWND combo, std::u16string& face);

}  // namespace vc
