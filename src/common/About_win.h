// The About dialog: name, version, the settings file in use, the build, the
// Windows version and the tool chain, with a link to the home page.
#pragma once

#include <windows.h>

namespace vc {

struct App;

// Runs the dialog modally over `owner`; returns 1.
INT_PTR RunAboutDialog(App& app, HWND owner);

}  // namespace vc
