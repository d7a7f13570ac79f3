#include "generalsettings/GlobalHotKey_win.h"

#include "generalsettings/HotKey.h"

namespace vc {

namespace {
bool g_registered = false;
bool g_taken = false;
}  // namespace

bool RegisterGlobalHotKey(HWND owner, uint16_t word) {
    UnregisterGlobalHotKey(owner);
    g_taken = false;
    const HotKeyParts parts = HotKeyRegistration(word);
    if (!owner || parts.virtualKey == 0) return true;
    g_registered = RegisterHotKey(owner, kGlobalHotKeyId, parts.modifiers, parts.virtualKey);
    g_taken = !g_registered;
    return g_registered;
}

void UnregisterGlobalHotKey(HWND owner) {
    if (g_registered) UnregisterHotKey(owner, kGlobalHotKeyId);
    g_registered = false;
}

bool GlobalHotKeyTaken() { return g_taken; }

void ToggleTabWindow(HWND tab) {
    if (!tab || !IsWindow(tab)) return;
    // While a dialog of the program is open it is the one to come forward;
    // hiding the window under it would leave the dialog without its owner.
    if (!IsWindowEnabled(tab)) {
        SetForegroundWindow(GetLastActivePopup(tab));
        return;
    }
    if (IsWindowVisible(tab) && !IsIconic(tab) && GetForegroundWindow() == tab) {
        // Hidden, not minimised: the next show puts it back where it was,
        // on the same page.
        ShowWindow(tab, SW_HIDE);
        return;
    }
    ShowWindow(tab, IsIconic(tab) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(tab);
}

}  // namespace vc
