// Finding entries by what the user types: names and the typed text are
// compared folded, so that case and the half-width/full-width forms of ASCII
// and katakana do not matter (ｶﾞｲﾄﾞ finds ガイド, ＡＢＣ finds abc).
// Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>

namespace vc {

// The text as it is compared: full-width ASCII and the ideographic space
// made half-width, ASCII letters lower case, half-width katakana made
// full-width (a following voiced or semi-voiced mark joined to its kana).
std::u16string FoldForFind(std::u16string_view text);

// Whether `name` contains `foldedFilter` (already folded); an empty filter
// finds every name.
bool FindsName(std::u16string_view name, std::u16string_view foldedFilter);

}  // namespace vc
