// The global hotkey that shows or hides the tab window from anywhere. It is
// registered on the host window, which lives for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vc {

// The id the hotkey is registered under; WM_HOTKEY carries it.
constexpr int kGlobalHotKeyId = 1;

// Registers `word` (the hot-key control's word; 0 = none) on `owner`, first
// giving up the key registered before. Returns false when another program
// holds the key; the program then runs without one.
bool RegisterGlobalHotKey(HWND owner, uint16_t word);
void UnregisterGlobalHotKey(HWND owner);

// Whether the last registration was refused because the key is taken.
bool GlobalHotKeyTaken();

// Shows the tab window in front, or hides it when it is the active window.
void ToggleTabWindow(HWND tab);

}  // namespace vc
