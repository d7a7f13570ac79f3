// The state of one menu item, for checks of its flags.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <source_location>

namespace vc::test {

// GetMenuState answers 0xFFFFFFFF for an item the menu lacks, which reads as
// every flag set: `state & MF_GRAYED` would hold, and `!(state & MF_CHECKED)`
// fail only by luck. A missing item fails the calling test instead, and gives
// no flags.
inline UINT MenuItemState(HMENU menu, UINT item, UINT by = MF_BYCOMMAND,
                          std::source_location at = std::source_location::current()) {
    const UINT state = GetMenuState(menu, item, by);
    if (state != UINT(-1)) return state;
    ADD_FAILURE_AT(at.file_name(), int(at.line()))
        << "no menu item " << item << ((by & MF_BYPOSITION) ? " (by position)" : " (by command)");
    return 0;
}

}  // namespace vc::test
