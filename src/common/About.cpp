#include "common/About.h"

#include <cstdio>

#include "common/U16.h"

namespace vc {

std::u16string BuildLine(std::string_view date, std::string_view time) {
    return u"Build : " + FromUtf8(std::string(date)) + u", " + FromUtf8(std::string(time));
}

std::u16string BitnessWord(const Bitness& b) {
    if (b.is64BitProcess) return u"64bit";
    if (!b.wow64Known || !b.wow64) return u"32bit";
    constexpr uint16_t kAmd64 = 9, kIa64 = 6;
    if (b.nativeKnown && (b.nativeArchitecture == kAmd64 || b.nativeArchitecture == kIa64)) return u"64bit";
    return u"WOW64";
}

std::u16string WindowsLine(uint32_t major, uint32_t minor, std::u16string_view servicePack, uint32_t build,
                           uint32_t platform, std::u16string_view bitness) {
    return u"Windows Version : " + Dec(major) + u"." + Dec(minor) + u" " + std::u16string(servicePack) + u", " +
           Dec(build) + u", " + Dec(platform) + u", " + std::u16string(bitness) + u",";
}

std::u16string ToolChainLine(std::u16string_view name, std::string_view version) {
    // GCC's own version text may carry more after a space (a date, a vendor).
    version = version.substr(0, version.find(' '));
    return std::u16string(name) + u" " + FromUtf8(version);
}

}  // namespace vc
