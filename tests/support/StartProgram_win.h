// Starts the program's real windows inside the calling process, on a given
// settings file: for in-process tests and benchmarks.
#pragma once

#include <windows.h>

#include <objbase.h>

#include "app/App_win.h"
#include "app/HostWindow_win.h"

namespace vc::test {

// Fresh records with the platform's measurements, the settings of `path`
// loaded, and the host window (with the tab window it creates).
inline App& StartProgram(const std::u16string& path, const std::u16string& windowName) {
    static bool registered = false;
    App& app = TheApp();
    app.instance = GetModuleHandleW(nullptr);
    if (!registered) registered = RegisterHostClass(app.instance);
    static const uint32_t version = DetermineWindowsVersion();
    static const uint16_t controls = DetermineCommonControlsVersion();
    app.rec = Records{};
    app.rec.WindowsVersion = version;
    app.rec.CommonControlsVersion = controls;
    app.rec.SettingsFilePath = path;
    app.rec.WindowName = windowName;
    app.store.SetPath(path);
    app.store.SetReadOnly(false);
    CoInitialize(nullptr);
    LoadAllSettings(app);
    app.HostWindow = CreateHostWindow(app);
    return app;
}

}  // namespace vc::test
