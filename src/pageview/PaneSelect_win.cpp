// Showing one entry of the pane from outside it (the find box).
#include "pageview/PaneWindow_win.h"

#include "pageview/PagePane_win.h"
#include "pageview/FilesText.h"
#include "pageview/PaneState.h"

namespace vc {

namespace {

using pagepane::g_pane;

// Polls, on the message loop, for the pane to have listed its page.
constexpr UINT_PTR kSelectTimer = 0x5E1;
constexpr UINT kSelectPollMs = 20;

struct WantedEntry {
    int index = -1;
    std::u16string path;
};
WantedEntry g_wanted;

// The item showing the wanted entry: its own slot when the path is still
// there, else the first slot holding that path; -1 for none.
int ItemOfWanted() {
    const PaneState& table = ThePane();
    const int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    int byPath = -1;
    for (int item = 0; item < count; ++item) {
        const int slot = pagepane::EntryIndexOfItem(item);
        if (slot < 0 || slot >= table.EntryCount || table.EntryTable[size_t(slot)].Path != g_wanted.path) continue;
        if (slot == g_wanted.index) return item;
        if (byPath < 0) byPath = item;
    }
    return byPath;
}

// Selects the wanted entry; false while the pane is not ready for it yet.
bool SelectWantedNow() {
    if (!g_pane.list || !g_pane.loaded) return false;
    pagepane::ClearFilter();
    // A cleared filter lists its entries again a slice at a time.
    if (pagepane::Refiltering()) return false;
    const int item = ItemOfWanted();
    if (item < 0) return true;  // gone from the page meanwhile
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_pane.list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_pane.list, LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(g_pane.list, LVM_ENSUREVISIBLE, WPARAM(item), FALSE);
    SetFocus(g_pane.list);
    pagepane::ShowSelectedDetails();
    return true;
}

void CALLBACK SelectWhenListed(HWND pane, UINT, UINT_PTR id, DWORD) {
    if (SelectWantedNow()) KillTimer(pane, id);
}

}  // namespace

void SelectPaneEntry(int index, const std::u16string& path) {
    g_wanted = {index, path};
    if (!g_pane.hwnd || SelectWantedNow()) return;
    // The timer goes with the pane, should another page be shown meanwhile.
    SetTimer(g_pane.hwnd, kSelectTimer, kSelectPollMs, SelectWhenListed);
}

}  // namespace vc
