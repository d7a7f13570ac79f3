// Start-up decisions that need no window: which settings file, under which
// name, the caption that identifies a running instance, and the version
// numbers other windows test. Portable: no windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/TabTexts.h"  // TabWindowCaption, which names a running instance too

namespace vc {

constexpr size_t kArgumentCapacity = 260;
constexpr size_t kPathBufferCapacity = 262;

struct SettingsFileChoice {
    std::u16string path;        // SettingsFilePath
    std::u16string windowName;  // WindowName
};

// The argument text of a whole command line (GetCommandLineW): what follows
// the program name and the blanks after it, cut where the C runtime cuts
// WinMain's command line. The program name ends at the first blank outside
// double quotes, so a quoted name may hold blanks.
std::u16string_view ArgumentText(std::u16string_view commandLine);

// The settings file named by the whole command-line text, with `exeDir` the
// executable's folder ending in a backslash. An argument or a path that does
// not fit its buffer gives nullopt: the program must not start on a file
// other than the one named.
std::optional<SettingsFileChoice> ChooseSettingsFile(std::u16string_view argument, std::u16string_view exeDir);

// WindowsVersion: 1100 when RtlGetVersion reports 10.x with build >= 22000;
// otherwise the first of 10.0, 6.3, 6.2, 6.1, 6.0, 5.1 that `atLeast` accepts;
// 500 when none does. `rtl` holds major, minor and build when available.
struct RtlVersion {
    uint32_t major, minor, build;
};
uint32_t WindowsVersionFrom(std::optional<RtlVersion> rtl,
                            const std::function<bool(uint32_t major, uint32_t minor)>& atLeast);

// CommonControlsVersion: major * 100 + minor mod 100.
inline uint16_t CommonControlsVersionFrom(uint32_t major, uint32_t minor) {
    return uint16_t(major * 100 + minor % 100);
}

}  // namespace vc
