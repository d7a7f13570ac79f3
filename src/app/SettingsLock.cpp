#include "app/SettingsLock.h"

#include <charconv>

#include "common/U16.h"

namespace vc {

namespace {

constexpr std::string_view kFirstLine = "Vellumcraft settings lock";

template <class T>
bool Number(std::string_view text, T& out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string HolderText(const SettingsHolder& h) {
    return std::string(kFirstLine) + "\r\nmachine=" + ToUtf8(h.machine) + "\r\nsession=" + std::to_string(h.session) +
           "\r\nprocess=" + std::to_string(h.process) + "\r\nwindow=" + std::to_string(h.window) + "\r\n";
}

std::optional<SettingsHolder> ParseHolder(std::string_view text) {
    if (text.substr(0, kFirstLine.size()) != kFirstLine) return std::nullopt;
    SettingsHolder h;
    int fields = 0;
    for (size_t pos = kFirstLine.size(); pos < text.size();) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 2;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "machine") h.machine = FromUtf8(value), ++fields;
        else if (key == "session") fields += Number(value, h.session);
        else if (key == "process") fields += Number(value, h.process);
        else if (key == "window") fields += Number(value, h.window);
    }
    return fields == 4 ? std::optional<SettingsHolder>(h) : std::nullopt;
}

bool SameSeat(const SettingsHolder& h, std::u16string_view machine, uint32_t session) {
    return h.session == session && EqualsNoCase(h.machine, machine);
}

std::u16string LockPathFor(std::u16string_view settingsPath) { return std::u16string(settingsPath) + u".lock"; }

}  // namespace vc
