#include "generalsettings/GlobalHotKey_win.h"

#include <commctrl.h>

#include <utility>

#include "settings/AppState_win.h"
#include "generalsettings/HotKey.h"

namespace vc {

namespace {
// The key is registered under two ids in turn: a new key is had under the
// id the old one does not use before the old one is given up.
constexpr int kFirstId = 1;
constexpr int kSecondId = 2;
int g_id = 0;            // the id the key is registered under; 0: none
HotKeyParts g_held;      // the key registered
HotKeyParts g_taken;     // the key last refused because another program holds it
WNDPROC g_boxProc = nullptr;
HHOOK g_menuHook = nullptr;
bool g_altInMenu = false;  // Alt went down in a menu of the program since the last hotkey
DWORD g_altInMenuAt = 0;
// Alt goes down before the rest of the hotkey, well within this.
constexpr DWORD kKeyPressMs = 1000;

HotKeyParts Parts(uint16_t word) { return HotKeyRegistration(word, TheApp().rec.WindowsVersion); }

// Shows `word` in the box and tells the pane, as a key typed there does.
void SetBoxKey(HWND box, uint16_t word) {
    SendMessageW(box, HKM_SETHOTKEY, word, 0);
    SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), EN_CHANGE), reinterpret_cast<LPARAM>(box));
}

// The control lets Space through, as it does Enter and Tab, so the default
// key could not be typed back: Space is recorded here with the keys held.
LRESULT CALLBACK HotKeyBoxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wp != VK_SPACE) break;
        {
            uint32_t held = 0;
            if (GetKeyState(VK_SHIFT) < 0) held |= HotKeyMod::Shift;
            if (GetKeyState(VK_CONTROL) < 0) held |= HotKeyMod::Control;
            if (GetKeyState(VK_MENU) < 0) held |= HotKeyMod::Alt;
            SetBoxKey(box, RuledHotKey(HotKeyWord(held, VK_SPACE)));
        }
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        // The character of the Space just recorded (' ', or 0 with Ctrl):
        // the control would take it for a new key and empty the box, and
        // Alt+Space would open the dialog's system menu.
        if (((lp >> 16) & 0xFF) == LPARAM(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC))) return 0;
        break;
    }
    return CallWindowProcW(g_boxProc, box, msg, wp, lp);
}

// Windows hands the program's own hotkey to the program, never to the box
// that has the keyboard: pressed there, it is typed into the box.
bool TypedIntoBox(LPARAM keys) {
    HWND focus = GetFocus();
    if (!focus || GetWindowLongPtrW(focus, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&HotKeyBoxProc) ||
        GetForegroundWindow() != GetAncestor(focus, GA_ROOT))
        return false;
    SetBoxKey(focus, HotKeyWord(LOWORD(keys), HIWORD(keys)));
    return true;
}

// Windows closes a menu as soon as Alt goes down, so a hotkey with Alt
// pressed over a menu reaches the program after the menu has gone.
LRESULT CALLBACK MenuKeysHook(int code, WPARAM wp, LPARAM lp) {
    if (code == MSGF_MENU) {
        const MSG& m = *reinterpret_cast<const MSG*>(lp);
        if ((m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) && m.wParam == VK_MENU)
            g_altInMenu = true, g_altInMenuAt = GetTickCount();
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Whether the key was pressed over a menu of the program: one open now, or
// one its Alt has just closed.
bool PressedOverMenu(HWND tab, LPARAM keys) {
    const bool altInMenu = std::exchange(g_altInMenu, false);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(tab, nullptr), &gui) &&
        (gui.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)))
        return true;
    return altInMenu && (LOWORD(keys) & MOD_ALT) && GetTickCount() - g_altInMenuAt < kKeyPressMs;
}

// Shows the tab window in front, or hides it when it is the active window.
void ToggleTabWindow(HWND tab, LPARAM keys) {
    if (!tab || !IsWindow(tab)) return;
    // A menu of the program is what the user is looking at: it closes and
    // its window comes forward, rather than vanishing from under the menu.
    const bool menu = PressedOverMenu(tab, keys);
    if (menu) EndMenu();
    // While a dialog of the program is open it is the one to come forward;
    // hiding the window under it would leave the dialog without its owner.
    if (!IsWindowEnabled(tab)) {
        SetForegroundWindow(GetLastActivePopup(tab));
        return;
    }
    if (!menu && IsWindowVisible(tab) && !IsIconic(tab) && GetForegroundWindow() == tab) {
        // Hidden, not minimised: the next show puts it back where it was,
        // on the same page.
        ShowWindow(tab, SW_HIDE);
        return;
    }
    ShowWindow(tab, IsIconic(tab) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(tab);
    // Shown for a moment's use: Esc puts it away again.
    TheApp().escapeHides = true;
}

void GiveUp(HWND owner) {
    if (g_id) UnregisterHotKey(owner, g_id);
    g_id = 0;
    g_held = {};
}
}  // namespace

HotKeyOutcome RegisterGlobalHotKey(HWND owner, uint16_t word) {
    const HotKeyParts parts = Parts(word);
    if (!owner) return HotKeyOutcome::Registered;
    // Held already: registering it again would clash with itself.
    if (g_id && parts == g_held) return HotKeyOutcome::Registered;
    if (!parts.virtualKey) {
        GiveUp(owner);
        return HotKeyOutcome::Registered;
    }
    if (!g_menuHook) g_menuHook = SetWindowsHookExW(WH_MSGFILTER, &MenuKeysHook, nullptr, GetCurrentThreadId());
    const int id = g_id == kFirstId ? kSecondId : kFirstId;
    if (!RegisterHotKey(owner, id, parts.modifiers, parts.virtualKey)) {
        if (GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED) return HotKeyOutcome::Failed;
        g_taken = parts;
        return HotKeyOutcome::Taken;
    }
    GiveUp(owner);
    g_id = id;
    g_held = parts;
    g_taken = {};
    return HotKeyOutcome::Registered;
}

void UnregisterGlobalHotKey(HWND owner) {
    GiveUp(owner);
    if (g_menuHook) UnhookWindowsHookEx(g_menuHook);
    g_menuHook = nullptr;
}

bool GlobalHotKeyTaken(uint16_t word) {
    const HotKeyParts parts = Parts(word);
    return parts.virtualKey && parts == g_taken;
}

void PrepareHotKeyBox(HWND box, uint16_t word) {
    SendMessageW(box, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendMessageW(box, HKM_SETHOTKEY, UsableHotKey(word), 0);
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotKeyBoxProc)));
    if (!g_boxProc) g_boxProc = original;
}

bool OnGlobalHotKey(HWND tab, WPARAM id, LPARAM keys) {
    if (id != kFirstId && id != kSecondId) return false;
    if (!TypedIntoBox(keys)) ToggleTabWindow(tab, keys);
    return true;
}

}  // namespace vc
