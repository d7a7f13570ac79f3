// The start-up sequence of the program and its message loop.
#pragma once

#include <windows.h>

#include "app/Startup.h"
#include "common/ExecutableFolder_win.h"
#include "settings/AppState_win.h"

namespace vc {

// Measurements of the platform.
uint32_t DetermineWindowsVersion();
uint16_t DetermineCommonControlsVersion();


// A running instance whose window caption contains `caption`, or nullptr.
HWND FindRunningInstance(const std::u16string& caption);
// Restores a minimised window, or brings it to the front.
void ActivateRunningInstance(HWND w);

// Fills DefaultPage and loads the settings.
void LoadAllSettings(App& app);

// The start-up steps, in the order RunApplication takes them; the in-process
// tests start the program's windows with the same steps.
// The Windows and common-controls versions, and the DPI awareness that must
// come before anything measures the screen.
void MeasurePlatform(Records& r);
// The screen's DPI, COM for the shell calls, and every record of the chosen
// settings file.
void OpenSettingsFile(App& app, const SettingsFileChoice& choice);
// The host window, whose creation creates and shows the tab window, and the
// keyboard accelerators. The window class is registered once per process.
void CreateProgramWindows(App& app, bool registerClass);
// Until the quit message; returns its exit code.
int RunMessageLoop(App& app);

// The whole program: start-up, message loop, release. The settings file is
// named by the process's own UTF-16 command line. Returns the exit code.
int RunApplication(HINSTANCE instance, HINSTANCE previous);

// One message through the accelerators, the tab window's dialog navigation
// or the window procedures.
void DispatchOneMessage(App& app, MSG& msg);

}  // namespace vc
