// Starts the program's real windows inside the calling process, on a given
// settings file: for in-process tests and benchmarks.
#pragma once

#include <windows.h>

#include <utility>

#include "app/App_win.h"

namespace vc::test {

// The program's own start-up steps on fresh records, from the settings of
// `path` to the host window (with the tab window it creates).
inline App& StartProgram(const std::u16string& path, const std::u16string& windowName) {
    static bool firstStart = true;
    App& app = TheApp();
    app.rec = Records{};
    app.store.SetReadOnly(false);
    app.instance = GetModuleHandleW(nullptr);
    MeasurePlatform(app.rec);
    OpenSettingsFile(app, {path, windowName});
    CreateProgramWindows(app, std::exchange(firstStart, false));
    return app;
}

}  // namespace vc::test
