// The process-wide state of the running program: its records, its settings
// file and its two top-level windows. Every window of the program reads it,
// so it sits beside the records it extends, below the windows.
#pragma once

#include <windows.h>

#include "settings/ProfileStore.h"
#include "settings/Records.h"

namespace vc {

struct App {
    Records rec;                                     // every record and run-time value
    ProfileStore store{PlatformFileSystem(), u""};  // the settings file
    HINSTANCE instance = nullptr;
    HWND HostWindow = nullptr;
    HWND TabWindow = nullptr;
    HWND TabTooltip = nullptr;  // the tabs' tooltip, made once the tab window shows
    HACCEL accelerators = nullptr;
    bool sessionEnding = false;
    // The window was shown by the hotkey or the notification-area icon: Esc
    // hides it again. Any hiding clears it.
    bool escapeHides = false;  // the session ends: nothing may wait for the user
};

// The one instance every window of the program shares.
App& TheApp();

// Where the settings put the tab window.
inline RECT StoredTabRect(const GlobalRecord& g) { return RECT{g.xPosi, g.yPosi, g.xPosi + g.xSize, g.yPosi + g.ySize}; }

}  // namespace vc
