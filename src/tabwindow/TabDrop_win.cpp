#include "tabwindow/TabDrop_win.h"

#include <commctrl.h>

namespace vc {

std::optional<PageId> TrackDropTab(const Records& r, HWND strip, std::optional<POINT> at) {
    static int highlighted = -1;
    int tab = -1;
    if (strip && at) {
        TCHITTESTINFO hit{*at, 0};
        ScreenToClient(strip, &hit.pt);
        tab = int(SendMessageW(strip, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    if (tab != highlighted && strip) {
        if (highlighted >= 0) SendMessageW(strip, TCM_HIGHLIGHTITEM, WPARAM(highlighted), MAKELPARAM(FALSE, 0));
        if (tab >= 0) SendMessageW(strip, TCM_HIGHLIGHTITEM, WPARAM(tab), MAKELPARAM(TRUE, 0));
        UpdateWindow(strip);
    }
    highlighted = tab;
    if (tab < 0) return std::nullopt;
    // Shown special pages come first, then the user pages as the tabs list them.
    if (tab < r.ShownSpecialCount) return SpecialPageId(r.ShownSpecialPages[size_t(tab)]);
    return PageOfTab(r, tab);
}

}  // namespace vc
