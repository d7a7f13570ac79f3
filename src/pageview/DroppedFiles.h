// What becomes of each item of a drop on a user page: registered in the
// order dropped while the page has room, or refused with its reason, told
// to the user once for the whole drop. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vc {

enum class DropFate { Register, Duplicate, NoRoom, Locked };

// The room a page has for a drop.
struct DropRoom {
    bool locked = false;  // PageFlag::NoChanges
    int slots = 0;        // free entry slots
    size_t units = 0;     // free units of the page's Files text
};

// The fate of each of `dropped` (whole paths, as each would be registered)
// on a page holding `onPage`: an item already there, or earlier in the same
// drop, is a duplicate (names compared as Windows compares them); each
// registration takes a slot and its path and CR LF of the text.
std::vector<DropFate> PlanDrop(const std::vector<std::u16string>& dropped, const std::vector<std::u16string>& onPage,
                               DropRoom room);

// The one message about the refused items of a drop, or "" when every item
// was registered.
std::u16string DropRefusalText(const std::vector<DropFate>& fates);

}  // namespace vc
