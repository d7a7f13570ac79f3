// What the page menus show: the page lists, the current page's caption and
// the entry captions. Portable: no windows.h.
#pragma once

#include <string>
#include <vector>

#include "settings/Records.h"

namespace vc {

// Page list items are numbered from here, the shown special pages first:
// room for every special page and every page a file may hold.
constexpr int kFirstPageCommand = 10000;
constexpr int kPageCommandCount = kSpecialPageCount + kMaxPageCount;

// The numbering other programs and scripts send to select a page: the
// first 201 pages, counted the same way, from 2000.
constexpr int kExternalFirstPageCommand = 2000;
constexpr int kExternalPageCommandCount = 201;

struct PageMenuItem {
    bool separator = false;
    int id = 0;             // kFirstPageCommand + page number (special pages first)
    std::u16string text;    // "[label]" for a special page, the label for a user page, "&" doubled
    int colorIndex = 0;     // LabelColorTable entry of its swatch (range-checked)
    bool mainPage = false;  // shown bold
};

// The items of a page list, top to bottom: the shown special pages, a
// separator, then the user pages (all of them, or only the marked ones).
// At most one item is the main page: the first special page that has it,
// else the first listed user page.
std::vector<PageMenuItem> PageListItems(const Records& r, bool all);

// Menu item texts: a label's or name's own "&" is doubled, so that the menu
// shows it rather than underline the next character.
// "ページ "label"" for a user page, "ページ [label]" for a special page.
std::u16string PageCaption(const PageRecord& page, bool special);
// "\"name\" の場所表示(&S)..." and "\"name\" の登録削除(&F)...".
std::u16string LocationCaption(std::u16string_view entryName);
std::u16string RemoveCaption(std::u16string_view entryName);

}  // namespace vc
