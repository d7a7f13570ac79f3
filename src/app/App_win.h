// The process-wide state of the running program and its start-up sequence.
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
    HACCEL accelerators = nullptr;
};

// The one instance every window of the program shares.
App& TheApp();

// Measurements of the platform.
uint32_t DetermineWindowsVersion();
uint16_t DetermineCommonControlsVersion();

// The executable's folder with its trailing backslash.
std::u16string ExecutableFolder();

// A running instance whose window caption contains `caption`, or nullptr.
HWND FindRunningInstance(const std::u16string& caption);
// Restores a minimised window, or brings it to the front.
void ActivateRunningInstance(HWND w);

// Fills DefaultPage and loads the settings.
void LoadAllSettings(App& app);

// The whole program: start-up, message loop, release. The settings file is
// named by the process's own UTF-16 command line. Returns the exit code.
int RunApplication(HINSTANCE instance, HINSTANCE previous);

// One message through the accelerators, the tab window's dialog navigation
// or the window procedures.
void DispatchOneMessage(App& app, MSG& msg);

}  // namespace vc
