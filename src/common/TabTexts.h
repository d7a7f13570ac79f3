// Texts the tab window shows in its status bar and tab tooltips.
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>

namespace vc {

// Status bar part 0: "ファイル数 : %d".
std::u16string FileCountText(int count);

// Status bar part 1 for an entry: "更新日 : " and the date text, "、", then
// "サイズ : " with the size in B, kB, MB, GB or TB (divided by 1000 while it
// is 10000 or more); sizes of 10000 TB or more show no size. At most 266 units.
std::u16string EntryDetailsText(std::u16string_view dateText, int64_t size);

// A tab's tooltip: the page's comment, then "\nファイル数 : %d, ", within
// 200 units; a count below 0 (not known yet) shows as "-----".
std::u16string TabTooltipText(std::u16string_view comment, int count);

// A label or file name as a tab or a menu item shows it: both take "&" for
// a mnemonic mark, so its own "&" is doubled to show as itself ("Games & fun").
std::u16string TabItemText(std::u16string_view label);

// Entries of a user page: its Files text ends every entry with a line feed.
int CountEntries(std::u16string_view files);

// The tab window's caption, "%0.64s - %0.15s" of the window name and
// "Vellumcraft"; a second start finds the running one by it.
std::u16string TabWindowCaption(std::u16string_view windowName);

}  // namespace vc
