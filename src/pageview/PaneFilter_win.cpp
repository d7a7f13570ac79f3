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

namespace {

WNDPROC g_listProc = nullptr;

void ShowFilterStatus() {
    if (g_pane.filter.empty()) {
        WriteFileCount();
        return;
    }
    const int shown = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    SetStatus(kCountPart, u"絞り込み : " + g_pane.filter + u" (" + Dec(shown) + u"/" +
                              Dec(CountRegistered(ThePane().EntryTable, ThePane().EntryCount)) + u")");
}

// A key's share of changing the list, counted from the key; further slices
// come in messages of their own, so that the window answers keys between.
constexpr auto kRefilterSlice = std::chrono::milliseconds(25);

// Turns repaints back on after items came and went. The items are arranged
// first, while repaints are still off: turned on with thousands of items out
// of place, the list invalidates each item it moves one by one (hundreds of
// milliseconds under Wine); arranged, it has nothing left to move and is
// repainted once.
void RedrawFilteredList() {
    SendMessageW(g_pane.list, LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessageW(g_pane.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_pane.list, nullptr, TRUE);
}

void FocusFirstFound() {
    // The first one found is where Enter goes.
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_pane.list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    SendMessageW(g_pane.list, LVM_ENSUREVISIBLE, 0, FALSE);
    ShowFilterStatus();
    ShowSelectedDetails();
}

void ApplyFilter();

void ResetRefilter() {
    g_pane.refiltering = false;
    g_pane.filterDropping.clear();
    g_pane.filterDropNext = 0;
    g_pane.filterAdding.clear();
    g_pane.filterNext = 0;
}

// Makes the filter's changes until the slice that began at `start` is used
// up; the last slice sorts what came back and shows the list again.
void Refilter(std::chrono::steady_clock::time_point start) {
    if (!g_pane.refiltering) return;  // a key since has done with it
    const auto sliceLeft = [start] { return std::chrono::steady_clock::now() - start < kRefilterSlice; };
    const std::vector<std::pair<int, int>>& dropping = g_pane.filterDropping;
    while (g_pane.filterDropNext < dropping.size() && sliceLeft()) {
        const auto [item, slot] = dropping[g_pane.filterDropNext++];
        // Between slices the list may have been sorted or given an entry:
        // its items are then looked at afresh rather than the wrong one
        // taken out.
        if (EntryIndexOfItem(item) != slot) return ApplyFilter();
        SendMessageW(g_pane.list, LVM_DELETEITEM, WPARAM(item), 0);
    }
    const std::vector<int32_t>& adding = g_pane.filterAdding;
    while (g_pane.filterDropNext == dropping.size() && g_pane.filterNext < adding.size() && sliceLeft()) {
        const int32_t slot = adding[g_pane.filterNext++];
        if (std::optional<std::u16string> name = SlotDisplayName(slot)) ListSlotAgain(slot, *name);
    }
    if (g_pane.filterDropNext < dropping.size() || g_pane.filterNext < adding.size()) {
        PostMessageW(g_pane.hwnd, kRefilterMessage, 0, 0);
        return;
    }
    const bool added = !adding.empty();
    ResetRefilter();
    if (added) SortItems(ListsAsScanned());
    RedrawFilteredList();
    FocusFirstFound();
}

// Applies the filter: the items it no longer finds go, and the entries it
// finds again (a shorter filter) come back, a slice per message.
void ApplyFilter() {
    const auto start = std::chrono::steady_clock::now();
    const std::u16string folded = FoldForFind(g_pane.filter);
    // Each item that comes or goes would lay out the whole list again.
    SendMessageW(g_pane.list, WM_SETREDRAW, FALSE, 0);
    ResetRefilter();
    const int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<bool> listed(size_t(std::max(ThePane().EntryCount, 0)), false);
    for (int item = count - 1; item >= 0; --item) {
        const int slot = EntryIndexOfItem(item);
        if (!FindsName(ItemName(item), folded)) {
            g_pane.filterDropping.emplace_back(item, slot);
            continue;
        }
        if (slot >= 0 && size_t(slot) < listed.size()) listed[size_t(slot)] = true;
    }
    for (int32_t i = 0; i < int32_t(listed.size()); ++i) {
        if (listed[size_t(i)]) continue;
        std::optional<std::u16string> name = SlotDisplayName(i);
        if (name && FindsName(*name, folded)) g_pane.filterAdding.push_back(i);
    }
    g_pane.refiltering = true;
    Refilter(start);
}

LRESULT CALLBACK FilterKeysProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    const bool filtering = !g_pane.filter.empty();
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
    case WM_CHAR: {
        // Until the page has loaded the list keeps its own type-ahead.
        const char16_t c = char16_t(wp);
        if (!g_pane.loaded || GetKeyState(VK_CONTROL) < 0) break;
        if (c == u'\b' || c == 0x1B) {
            if (!filtering) break;
            if (c == 0x1B) g_pane.filter.clear();
            else g_pane.filter.pop_back();
            ApplyFilter();
            return 0;
        }
        if (c < 0x20 || c == 0x7F || (c == u' ' && !filtering)) break;
        g_pane.filter += c;
        ApplyFilter();
        return 0;
    }
    default: break;
    }
    return CallWindowProcW(g_listProc, list, msg, wp, lp);
}

}  // namespace

void InstallFilterKeys() {
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(g_pane.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FilterKeysProc)));
}

void ClearFilter() {
    if (g_pane.filter.empty()) return;
    g_pane.filter.clear();
    if (g_pane.list) ApplyFilter();
}

void RefilterStep() {
    Refilter(std::chrono::steady_clock::now());
}

bool Refiltering() {
    return g_pane.refiltering;
}

void CancelRefilter() {
    if (g_pane.refiltering && g_pane.list) RedrawFilteredList();
    ResetRefilter();
}

}  // namespace pagepane
}  // namespace vc
