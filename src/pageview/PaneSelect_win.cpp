// Showing one entry of the pane from outside it (the find box).
#include "pageview/PaneWindow_win.h"

namespace vc {
namespace pagepane {

// The item showing the wanted entry: its own slot when the path is still
// there, else the first slot holding that path; -1 for none.
int PagePane::ItemOfWanted() const {
    if (!wanted_) return -1;
    if (StillThere(*wanted_)) return ItemOfSlot(wanted_->slot);
    for (int32_t slot = 0; slot < entries_.EntryCount; ++slot)
        if (entries_.EntryTable[size_t(slot)].Path == wanted_->path) return ItemOfSlot(slot);
    return -1;
}

// Selects the wanted entry; false while the pane is not ready for it yet
// (the end of loading, or of a filter's slices, asks again).
bool PagePane::SelectWantedNow() {
    if (!wanted_ || !loaded_) return false;
    ClearFilter();
    // A cleared filter lists its entries again a slice at a time.
    if (refiltering_) return false;
    const int item = ItemOfWanted();
    wanted_.reset();
    if (item < 0) return true;  // gone from the page meanwhile
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, WPARAM(item), FALSE);
    SetFocus(list_);
    ShowSelectedDetails();
    return true;
}

void PagePane::SelectEntry(int index, const std::u16string& path) {
    wanted_ = ChosenEntry{index, path};
    SelectWantedNow();
}

}  // namespace pagepane
}  // namespace vc
