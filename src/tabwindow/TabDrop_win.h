// The tab strip as the place an entry dragged out of the page pane goes:
// the tab under the mouse is highlighted and names the page.
#pragma once

#include <windows.h>

#include <optional>

#include "settings/Records.h"

namespace vc {

// The page of the tab of `strip` under the screen point `at`, that tab
// highlighted and no other; none, and no highlight, elsewhere or for none.
std::optional<PageId> TrackDropTab(const Records& r, HWND strip, std::optional<POINT> at);

}  // namespace vc
