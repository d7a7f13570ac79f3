#include "generalsettings/RunAtLogon.h"

#include <vector>

#include "common/U16.h"

namespace vc {

std::u16string RunValueName(std::u16string_view windowName) {
    if (windowName.empty() || EqualsNoCase(windowName, u"Vellumcraft")) return u"Vellumcraft";
    return u"Vellumcraft (" + std::u16string(windowName) + u")";
}

std::u16string RunCommand(std::u16string_view exePath, std::u16string_view settingsPath) {
    std::u16string command;
    command.reserve(exePath.size() + settingsPath.size() + 5);
    command.append(u"\"").append(exePath).append(u"\" \"").append(settingsPath).append(u"\"");
    return command;
}

namespace {
// The words of a command line, quotes taken off.
std::vector<std::u16string> Words(std::u16string_view line) {
    std::vector<std::u16string> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == u' ') ++at;
        if (at == line.size()) break;
        std::u16string word;
        bool quoted = false;
        for (; at < line.size() && (quoted || line[at] != u' '); ++at) {
            if (line[at] == u'"') quoted = !quoted;
            else word += line[at];
        }
        words.push_back(word);
    }
    return words;
}
}  // namespace

bool RunCommandNamesThisCopy(std::u16string_view stored, std::u16string_view exePath,
                             std::u16string_view settingsPath) {
    const std::vector<std::u16string> words = Words(stored);
    return words.size() == 2 && EqualsNoCase(words[0], exePath) && EqualsNoCase(words[1], settingsPath);
}

}  // namespace vc
