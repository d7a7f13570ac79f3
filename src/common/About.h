// The lines of the About dialog, from values the platform supplies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vc {

// "Build : Nov 10 2024, 20:01:09" from the compiler's __DATE__ and __TIME__.
std::u16string BuildLine(std::string_view date, std::string_view time);

// How the process runs: "64bit" for a 64-bit program, or a 32-bit program
// on 64-bit Windows (WOW64 on an x64 or Itanium processor); "WOW64" for a
// 32-bit program on WOW64 whose processor is not known; "32bit" otherwise.
struct Bitness {
    bool is64BitProcess = false;
    bool wow64Known = false;   // IsWow64Process exists and answered
    bool wow64 = false;
    bool nativeKnown = false;  // GetNativeSystemInfo exists
    uint16_t nativeArchitecture = 0;
};
std::u16string BitnessWord(const Bitness& b);

// "Windows Version : 10.0 , 19045, 2, 64bit,"
std::u16string WindowsLine(uint32_t major, uint32_t minor, std::u16string_view servicePack, uint32_t build,
                           uint32_t platform, std::u16string_view bitness);

// "MinGW-w64 GCC 12.2.0": the tool chain and its version as the compiler
// names it (`version` as __VERSION__ gives it, for example "12.2.0" or
// "12-posix").
std::u16string ToolChainLine(std::u16string_view name, std::string_view version);

}  // namespace vc
