// Where the selection goes when a command of the tab window changes the
// tabs. Portable: no windows.h.
#pragma once

#include <cstdint>

#include "settings/Records.h"

namespace vc {

// The SpecialPages index shown at tab `tabNumber`, or -1 when the tab shows
// a user page.
int32_t SpecialPageOfTab(const Records& r, int32_t tabNumber);

// The tab to select once the shown special pages were counted anew.
// `shownSpecial` is the special page shown before (SpecialPageOfTab), -1 for
// a user page: the page shown stays shown when it is still a tab, and a
// special page that went away gives way to the first tab.
int32_t TabAfterSpecialSetChange(const Records& r, int32_t shownSpecial);

// Ctrl+Tab and Ctrl+Shift+Tab: the tab `delta` away from `current` among
// `count` tabs, wrapping at both ends.
int AdjacentTab(int current, int delta, int count);

}  // namespace vc
