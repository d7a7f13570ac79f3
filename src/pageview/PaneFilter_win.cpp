// Type to find: letters typed while the list has the focus narrow the shown
// page to the entries whose names contain them. Only the list's items come
// and go; the entry table, and so the registered order and Files, stay.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
#include <chrono>
#include <optional>
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

// One message's share of listing again: the window answers keys between.
constexpr auto kRefilterSlice = std::chrono::milliseconds(25);

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

// Applies the filter. Items the filter no longer finds go at once; those it
// finds again (a shorter filter) are listed a slice per message and the
// list sorted after the last, so that no key holds the window long.
void ApplyFilter() {
    const std::u16string folded = FoldForFind(g_pane.filter);
    // Each item that comes or goes would lay out the whole list again.
    SendMessageW(g_pane.list, WM_SETREDRAW, FALSE, 0);
    const int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<bool> listed(size_t(std::max(ThePane().EntryCount, 0)), false);
    for (int item = count - 1; item >= 0; --item) {
        if (!FindsName(ItemName(item), folded)) {
            SendMessageW(g_pane.list, LVM_DELETEITEM, WPARAM(item), 0);
            continue;
        }
        const int slot = EntryIndexOfItem(item);
        if (slot >= 0 && size_t(slot) < listed.size()) listed[size_t(slot)] = true;
    }
    g_pane.filterAdding.clear();
    g_pane.filterNext = 0;
    for (int32_t i = 0; i < int32_t(listed.size()); ++i) {
        if (listed[size_t(i)]) continue;
        std::optional<std::u16string> name = SlotDisplayName(i);
        if (name && FindsName(*name, folded)) g_pane.filterAdding.push_back(i);
    }
    if (!g_pane.filterAdding.empty()) {
        RefilterStep();
        return;
    }
    SendMessageW(g_pane.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_pane.list, nullptr, TRUE);
    FocusFirstFound();
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
    std::vector<int32_t>& adding = g_pane.filterAdding;
    if (g_pane.filterNext >= adding.size()) return;  // a key since has done with it
    const auto start = std::chrono::steady_clock::now();
    while (g_pane.filterNext < adding.size() && std::chrono::steady_clock::now() - start < kRefilterSlice) {
        const int32_t slot = adding[g_pane.filterNext++];
        if (std::optional<std::u16string> name = SlotDisplayName(slot)) ListSlotAgain(slot, *name);
    }
    if (g_pane.filterNext < adding.size()) {
        PostMessageW(g_pane.hwnd, kRefilterMessage, 0, 0);
        return;
    }
    adding.clear();
    g_pane.filterNext = 0;
    SortItems(ListsAsScanned());
    SendMessageW(g_pane.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_pane.list, nullptr, TRUE);
    FocusFirstFound();
}

}  // namespace pagepane
}  // namespace vc
