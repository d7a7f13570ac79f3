#include "tabwindow/TabCommands.h"

#include "tabwindow/PageManagement.h"

namespace vc {

int32_t SpecialPageOfTab(const Records& r, int32_t tabNumber) {
    return tabNumber >= 0 && tabNumber < r.ShownSpecialCount ? r.ShownSpecialPages[size_t(tabNumber)] : -1;
}

int32_t TabAfterSpecialSetChange(const Records& r, int32_t shownSpecial) {
    int32_t tabNumber = 0;
    if (shownSpecial < 0) {
        tabNumber = TabOfPage(r, r.CurrentPage);
    } else {
        for (int k = 0; k < r.ShownSpecialCount; ++k)
            if (r.ShownSpecialPages[size_t(k)] == shownSpecial) tabNumber = k;
    }
    const int32_t tabs = int32_t(r.ShownSpecialCount) + UserTabCount(r);
    return tabNumber >= 0 && tabNumber < tabs ? tabNumber : 0;
}

int AdjacentTab(int current, int delta, int count) {
    int n = current + delta;
    if (n < 0) n = count - 1;
    if (n >= count) n = 0;
    return n;
}

}  // namespace vc
