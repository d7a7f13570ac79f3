// What the lock of a settings file says about the program that holds it:
// where it runs and which window to bring forward. Portable: no windows.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vc {

struct SettingsHolder {
    std::u16string machine;  // the computer's name
    uint32_t session = 0;    // its log-on session there
    uint32_t process = 0;
    uint64_t window = 0;     // the tab window, 0 until it exists
};

// The lock's text, and the holder read back from it (nullopt for a text that
// is not one, such as a lock its holder has not written yet).
std::string HolderText(const SettingsHolder& h);
std::optional<SettingsHolder> ParseHolder(std::string_view text);

// Whether the holder runs where this program could bring its window forward:
// the same computer (names compared without regard to case) and session.
bool SameSeat(const SettingsHolder& h, std::u16string_view machine, uint32_t session);

// The lock beside a settings file: its final path and ".lock".
std::u16string LockPathFor(std::u16string_view settingsPath);

}  // namespace vc
