// Arranging a page's entries by dragging: within the page's own order, and
// onto another page's Files text. Portable: no windows.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// The PageListSort of a page shown in registered order: no column sorts it.
constexpr int kRegisteredOrder = -1;

// Moves element `from` of `v` to index `to`; those between close up.
template <class T>
void MoveElement(std::vector<T>& v, size_t from, size_t to) {
    if (from >= v.size() || to >= v.size() || from == to) return;
    if (from < to) std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

// Where the element at `slot` is after MoveElement(from, to).
int32_t SlotAfterMove(int32_t slot, int32_t from, int32_t to);

// Whether a dragged entry may move within its page: a user page shown in
// registered order, whole (no type-to-find filter) and not locked.
bool MovesWithinPage(bool userPage, uint32_t pageFlags, int sortKey, bool filtered);

// What dropping an entry of one page on another page's tab does. Folder
// pages neither give nor take; a locked target takes nothing, a locked
// source lets an entry be copied out but not moved.
enum class TabDrop { None, Move, Copy };
TabDrop TabDropOf(bool sourceUser, uint32_t sourceFlags, bool targetUser, uint32_t targetFlags, bool copy);

// `files` with `path` registered at its end, or none when the page holds
// the path already (in any case, as Windows compares paths), is full, or the
// text would not fit in the field.
std::optional<std::u16string> WithEntryAppended(std::u16string_view files, std::u16string_view path);

}  // namespace vc
