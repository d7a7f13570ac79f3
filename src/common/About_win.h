// The About dialog: name, version, the settings file in use, the build, the
// Windows version and the tool chain, with a link to the home page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vc {

// What the About box shows and where, from its owner.
struct AboutContext {
    HINSTANCE instance = nullptr;
    uint32_t windowsVersion = 0;
    int dpiX = 96, dpiY = 96;
    bool animated = false;         // it slides in and out
    HWND tabWindow = nullptr;      // it opens beside this window,
    RECT tabPlacement{};           // on the monitor of this rectangle
    std::u16string settingsFile;  // the settings file, as a location text
};

// Runs the dialog modally over `owner`; returns 1.
INT_PTR RunAboutDialog(const AboutContext& about, HWND owner);

}  // namespace vc
