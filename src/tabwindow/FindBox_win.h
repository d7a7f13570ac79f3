// The find box (Ctrl+F): the entries of every user page whose names contain
// the typed text, found anew at each key.
#pragma once

#include <windows.h>

namespace vc {

struct App;

// Runs the box, modal over the tab window. Enter or a double click opens
// the entry found; Alt+Enter shows its page with the entry selected.
void RunFindBox(App& app, HWND tabWindow);

}  // namespace vc
