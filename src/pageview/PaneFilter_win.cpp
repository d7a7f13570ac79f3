// Type to find: letters typed while the list has the focus narrow the shown
// page to the entries whose names contain them. Only the list's items come
// and go; the entry table, and so the registered order and Files, stay.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FilesText.h"
#include "pageview/FindText.h"
#include "pageview/PaneState.h"

namespace vc {
namespace pagepane {


// The filter shows in the status bar and in a band over the list, where the
// user looks while typing, also when the status bar is off.
void PagePane::ShowFilterStatus() {
    if (filter_.empty()) {
        WriteFileCount();
        ShowWindow(band_, SW_HIDE);
        return;
    }
    const int shown = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    const std::u16string text = u"絞り込み : " + filter_ + u" (" + Dec(shown) + u"/" +
                                Dec(CountRegistered(entries_.EntryTable, entries_.EntryCount)) + u")";
    SetStatus(kCountPart, text);
    SetWindowTextW(band_, AsW(text + u"    Esc : 解除"));
    ShowWindow(band_, SW_SHOWNA);
    PlaceFilterBand();
}

void PagePane::ShowStatusAgain() {
    ShowFilterStatus();
    ShowSelectedDetails();
}

// A key's share of changing the list, counted from the key; further slices
// come in messages of their own, so that the window answers keys between.
// The finish (sorting what came back, then arranging and repainting the
// list) takes messages of its own, so no message does two of these.
constexpr auto kRefilterSlice = std::chrono::milliseconds(15);

// Turns repaints back on after items came and went. The items are arranged
// first, while repaints are still off: turned on with thousands of items out
// of place, the list invalidates each item it moves one by one (hundreds of
// milliseconds under Wine); arranged, it has nothing left to move and is
// repainted once.
void PagePane::RedrawFilteredList() {
    SendMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void PagePane::FocusFirstFound() {
    // The first one found is where Enter goes.
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, 0, FALSE);
    ShowFilterStatus();
    ShowSelectedDetails();
}

void PagePane::ResetRefilter() {
    refiltering_ = false;
    filterDropping_.clear();
    filterDropNext_ = 0;
    filterAdding_.clear();
    filterNext_ = 0;
    filterSorted_ = false;
}

// Makes the filter's changes until the slice that began at `start` is used
// up; the last slice sorts what came back and shows the list again.
void PagePane::Refilter(std::chrono::steady_clock::time_point start) {
    if (!refiltering_) return;  // a key since has done with it
    const auto sliceLeft = [start] { return std::chrono::steady_clock::now() - start < kRefilterSlice; };
    const std::vector<std::pair<int, int>>& dropping = filterDropping_;
    while (filterDropNext_ < dropping.size() && sliceLeft()) {
        const auto [item, slot] = dropping[filterDropNext_++];
        // Between slices the list may have been sorted or given an entry:
        // its items are then looked at afresh rather than the wrong one
        // taken out.
        if (EntryIndexOfItem(item) != slot) return ApplyFilter();
        SendMessageW(list_, LVM_DELETEITEM, WPARAM(item), 0);
    }
    const std::vector<int32_t>& adding = filterAdding_;
    while (filterDropNext_ == dropping.size() && filterNext_ < adding.size() && sliceLeft()) {
        const int32_t slot = adding[filterNext_++];
        if (std::optional<std::u16string> name = SlotDisplayName(slot)) ListSlotAgain(slot, *name);
    }
    if (filterDropNext_ < dropping.size() || filterNext_ < adding.size() || !sliceLeft()) {
        PostMessageW(hwnd_, kRefilterMessage, 0, 0);
        return;
    }
    // Sorting thousands of items that came back and arranging them are
    // each a message's work.
    if (!adding.empty() && !filterSorted_) {
        SortItems(ListsAsScanned());
        filterSorted_ = true;
        PostMessageW(hwnd_, kRefilterMessage, 0, 0);
        return;
    }
    ResetRefilter();
    RedrawFilteredList();
    FocusFirstFound();
    // The find box asked for an entry while the filter was cleared.
    if (wanted_) SelectWantedNow();
}

// Applies the filter: the items it no longer finds go, and the entries it
// finds again (a shorter filter) come back, a slice per message.
void PagePane::ApplyFilter() {
    const auto start = std::chrono::steady_clock::now();
    const std::u16string folded = FoldForFind(filter_);
    // Each item that comes or goes would lay out the whole list again.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ResetRefilter();
    const int count = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    std::vector<bool> listed(size_t(std::max(entries_.EntryCount, 0)), false);
    for (int item = count - 1; item >= 0; --item) {
        const int slot = EntryIndexOfItem(item);
        if (!FindsName(ItemName(item), folded)) {
            filterDropping_.emplace_back(item, slot);
            continue;
        }
        if (slot >= 0 && size_t(slot) < listed.size()) listed[size_t(slot)] = true;
    }
    for (int32_t i = 0; i < int32_t(listed.size()); ++i) {
        if (listed[size_t(i)]) continue;
        std::optional<std::u16string> name = SlotDisplayName(i);
        if (name && FindsName(*name, folded)) filterAdding_.push_back(i);
    }
    refiltering_ = true;
    Refilter(start);
}

LRESULT CALLBACK PagePane::FilterKeysProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    PagePane* pane = Of(GetParent(list));
    return pane ? pane->OnFilterKey(list, msg, wp, lp) : DefWindowProcW(list, msg, wp, lp);
}

LRESULT PagePane::OnFilterKey(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    const bool filtering = !filter_.empty();
    switch (msg) {
    case WM_GETDLGCODE:
        // Esc clears the filter rather than reach the dialog manager.
        if (filtering && lp && reinterpret_cast<const MSG*>(lp)->message == WM_KEYDOWN && wp == VK_ESCAPE)
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (filtering && wp == VK_ESCAPE) {
            ClearFilter();
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if ((wp == VK_UP || wp == VK_DOWN) && MoveSelectedBy(wp == VK_UP ? -1 : 1)) return 0;
        break;
    case WM_CHAR: {
        // Until the page has loaded the list keeps its own type-ahead.
        const char16_t c = char16_t(wp);
        if (!loaded_ || GetKeyState(VK_CONTROL) < 0) break;
        if (c == u'\b' || c == 0x1B) {
            if (!filtering) break;
            if (c == 0x1B) filter_.clear();
            else filter_.pop_back();
            ApplyFilter();
            return 0;
        }
        if (c < 0x20 || c == 0x7F || (c == u' ' && !filtering)) break;
        filter_ += c;
        ApplyFilter();
        return 0;
    }
    default: break;
    }
    return CallWindowProcW(listProc_, list, msg, wp, lp);
}


void PagePane::InstallFilterKeys() {
    listProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FilterKeysProc)));
}

void PagePane::ClearFilter() {
    if (filter_.empty()) return;
    filter_.clear();
    if (list_) ApplyFilter();
}

void PagePane::RefilterStep() {
    Refilter(std::chrono::steady_clock::now());
}

void PagePane::CancelRefilter() {
    if (refiltering_ && list_) RedrawFilteredList();
    ResetRefilter();
}

}  // namespace pagepane
}  // namespace vc
