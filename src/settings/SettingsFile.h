// The settings file operations: loading the records from the file, and
// writing the global settings and the pages back, group by group.
// Portable: no windows.h.
#pragma once

#include <string>

#include "settings/ProfileStore.h"
#include "settings/Records.h"

namespace vc {

// Field groups of *write page*.
namespace WriteGroup {
constexpr int ViewState = 0x1;  // Cursor, ListType, PageColumnWidth, PageListSort
constexpr int Look = 0x2;       // Label, Comment, colours, font, flags
constexpr int Entries = 0x4;    // Files
constexpr int All = 15;
}  // namespace WriteGroup

// Fills GlobalSettings, SpecialPages, ShownSpecialCount, ShownSpecialPages,
// UserPages, TabNumber and CurrentPage; converts a file without byte-order
// mark (the store keeps a backup of it) or creates a missing one. From then
// on the store takes the pages not shown from the file when another program
// changes it. A load that opens its own batch (not inside one) starts the
// store afresh, as a new run would (ProfileStore::Retry).
void LoadSettings(Records& r, ProfileStore& store);
// Fills one page record from its section.
void LoadPage(Records& r, ProfileStore& store, PageId id);
// Reads [Page-Default] over the built-in template; afresh, as LoadSettings.
void LoadDefaultPage(Records& r, ProfileStore& store);
// After a start on defaults because the file could not be read: reads it
// again and, if it now reads, loads every record from it (the template
// included) and lets the store write again. False, changing nothing, while
// it still cannot be read. The caller lets go of every pointer into the
// records first (the page pane) and rebuilds what shows them afterwards.
bool ReloadSettings(Records& r, ProfileStore& store);
// The page the window shows: the page pane holds its record and edits it,
// so it is never taken from the file behind the pane's back.
PageId ShownPageOf(const Records& r);
void WriteGlobalSettings(const Records& r, ProfileStore& store);
void WritePage(Records& r, ProfileStore& store, PageId id, int groups);
// Puts every record in the file: the global settings, every page, the
// special pages and the template that have sections, and no section of a
// page beyond the last that this run held (a section it never loaded stays).
void StoreEverything(Records& r, ProfileStore& store);
// Removes a page's whole section.
void DeletePageSection(ProfileStore& store, PageId id);

// ---- Building blocks ----
// The highest N of the [PageN] sections there are (within the page limit),
// gaps or not: 0 when there is none.
int32_t LastPageSection(const ProfileDocument& doc);
// The page count a start takes from the file's text, before it is held to
// 1..kMaxPageCount.
int32_t PageCountOf(const ProfileDocument& doc);
// Removes every line of a key, not only the first.
void DeleteEvery(ProfileDocument& doc, std::u16string_view section, std::u16string_view key);
// Four hex digits per unit, most significant first; any other character
// counts as 0; ends at a NUL, at a decoded NUL and before a last group of
// fewer than four digits.
std::u16string DecodeHex(std::u16string_view hex);
// K + "Hex" when that is non-empty, else K (with `def`), up to 259 units.
std::u16string ReadHexAware(const ProfileDocument& doc, std::u16string_view section, std::u16string_view key,
                            std::u16string_view def);
// A value stored as a count key and one key per line, joined with CR LF.
// Reads at most `maxLines` line keys and at most capacity - 1 units; a line
// that does not fit whole is left out (only a first line is cut).
std::u16string ReadMultiLine(const ProfileDocument& doc, std::u16string_view section, std::u16string_view base,
                             std::u16string_view def, size_t capacity, int maxLines, bool hexLines);
void WriteMultiLine(ProfileDocument& doc, std::u16string_view section, std::u16string_view base,
                    std::u16string_view text, int maxLines);
// A text value as it is put in the file, so that it reads back unchanged:
// in quotes when it has blanks at either end or quotes of its own around it,
// which the reader would otherwise take off.
std::u16string Storable(std::u16string_view value);
// "%d,%d,%d,%d,%d," of the first five widths.
std::u16string FormatColumnWidths(const std::array<int32_t, kColumnCount>& w);
// Reads up to six widths from `text`; a zero or missing number takes the
// template's width; positions the text does not reach keep their value.
void ParseColumnWidths(std::u16string_view text, const std::array<int32_t, kColumnCount>& tpl,
                       std::array<int32_t, kColumnCount>& out);

}  // namespace vc
