// The global hotkey that shows or hides the tab window from anywhere. It is
// registered on the host window, which lives for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vc {

enum class HotKeyOutcome { Registered, Taken, Failed };

// Registers `word` (the hot-key control's word; 0, or a key without Ctrl or
// Alt: none) on `owner`. The new key is had before the old one is given up,
// so that a key that cannot be had leaves the old one working: Taken when
// another program holds it, Failed when Windows refused it otherwise.
HotKeyOutcome RegisterGlobalHotKey(HWND owner, uint16_t word);
void UnregisterGlobalHotKey(HWND owner);

// Whether `word` was refused the last time it was tried because another
// program holds it.
bool GlobalHotKeyTaken(uint16_t word);

// Readies the general pane's hotkey box and shows `word` in it.
void PrepareHotKeyBox(HWND box, uint16_t word);

// WM_HOTKEY of `owner` (`id`, `keys`): false when it is not the program's.
bool OnGlobalHotKey(HWND tab, WPARAM id, LPARAM keys);

}  // namespace vc
