#include "app/Startup.h"

#include "common/U16.h"

namespace vc {

namespace {
bool ContainsNoCase(std::u16string_view s, std::u16string_view part) {
    for (size_t i = 0; i + part.size() <= s.size(); ++i)
        if (EqualsNoCase(s.substr(i, part.size()), part)) return true;
    return false;
}
}  // namespace

std::u16string_view ArgumentText(std::u16string_view commandLine) {
    std::u16string_view line = UpToNul(commandLine);
    // Blanks are spaces and every control character, as for the C runtime.
    size_t at = 0;
    bool quoted = false;
    for (; at < line.size() && (line[at] > u' ' || quoted); ++at)
        if (line[at] == u'"') quoted = !quoted;
    while (at < line.size() && line[at] <= u' ') ++at;
    return line.substr(at);
}

std::optional<SettingsFileChoice> ChooseSettingsFile(std::u16string_view argument, std::u16string_view exeDir) {
    std::u16string_view arg = UpToNul(argument);
    if (arg.size() >= kArgumentCapacity) return std::nullopt;
    // A quoted argument names the file inside the quotes. Taking the quotes
    // off first keeps ".vcset" from landing inside them.
    if (arg.size() >= 2 && arg.front() == u'"' && arg.back() == u'"') arg = arg.substr(1, arg.size() - 2);

    SettingsFileChoice c;
    if (arg.empty()) {
        c.path = std::u16string(exeDir) + u"Vellumcraft.vcset";
        c.windowName = u"Vellumcraft.vcset";
    } else if (arg.find(u'\\') != std::u16string_view::npos) {
        c.path = std::u16string(arg);
        c.windowName = std::u16string(arg.substr(arg.rfind(u'\\') + 1));
    } else {
        c.path = std::u16string(exeDir) + std::u16string(arg);
        c.windowName = std::u16string(arg);
    }
    // Windows compares names without case: "A.VCSET" names a settings file.
    if (!ContainsNoCase(c.path, u".vcset")) c.path += u".vcset";
    size_t dot = c.windowName.rfind(u'.');
    if (dot != std::u16string::npos) c.windowName.resize(dot);
    if (c.path.size() >= kPathBufferCapacity || c.windowName.size() >= kPathBufferCapacity) return std::nullopt;
    return c;
}

uint32_t WindowsVersionFrom(std::optional<RtlVersion> rtl,
                            const std::function<bool(uint32_t, uint32_t)>& atLeast) {
    if (rtl && rtl->major == 10 && rtl->build >= 22000) return 1100;
    static const struct {
        uint32_t major, minor, value;
    } kSteps[] = {{10, 0, 1000}, {6, 3, 630}, {6, 2, 620}, {6, 1, 610}, {6, 0, 600}, {5, 1, 510}};
    for (const auto& s : kSteps)
        if (atLeast(s.major, s.minor)) return s.value;
    return 500;
}

}  // namespace vc
