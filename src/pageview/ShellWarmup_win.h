// The shell builds its system image list on the first icon anybody asks it
// for, which takes longer than the program may keep its window waiting
// (about a tenth of a second under some shells). A thread of its own asks
// first, while the window goes on answering; a page that wants its first
// icon before then waits for the thread's word instead of blocking.
#pragma once

#include <windows.h>

namespace vc {

// Starts the thread once per process; later calls do nothing.
void StartShellWarmup();

// True once the shell's image lists are ready (or the thread could not be
// started, in which case the first fetch simply takes its time).
bool ShellWarmedUp();

// Posts `message` (wParam and lParam 0) to `window` when the shell is ready;
// at once when it already is. Only the latest window asked is told.
void PostWhenShellWarmedUp(HWND window, UINT message);

}  // namespace vc
