// The global hotkey as the settings file keeps it (the hot-key control's
// word) and as RegisterHotKey wants it.
#pragma once

#include <cstdint>

namespace vc {

// RegisterHotKey's modifiers: MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_NOREPEAT.
namespace HotKeyMod {
constexpr uint32_t Alt = 0x1;
constexpr uint32_t Control = 0x2;
constexpr uint32_t Shift = 0x4;
constexpr uint32_t NoRepeat = 0x4000;
}  // namespace HotKeyMod

struct HotKeyParts {
    uint32_t modifiers = 0;  // HotKeyMod bits
    uint32_t virtualKey = 0;
    bool operator==(const HotKeyParts&) const = default;
};

// A key held without Ctrl or Alt would take a plain key, or a capital
// typed with Shift, away from every other program: such a word counts as
// none (0), as does a word without a key.
uint16_t UsableHotKey(uint16_t word);

// The word the hotkey box records for a key typed with `word`'s modifiers:
// a key without Ctrl or Alt gets Ctrl+Alt instead, as the box's own rules do.
uint16_t RuledHotKey(uint16_t word);

// RegisterHotKey's modifiers and key (as WM_HOTKEY reports them) back in the
// hot-key control's word.
uint16_t HotKeyWord(uint32_t modifiers, uint32_t virtualKey);

// Splits the hot-key control's word (virtual key in the low byte, HOTKEYF_*
// in the high byte) into what RegisterHotKey takes; no key for a word that
// counts as none. A held key would toggle the window on every repeat, so
// repeats are left out, where Windows knows how (from Windows 7, 601):
// before it RegisterHotKey refuses the flag.
HotKeyParts HotKeyRegistration(uint16_t word, int windowsVersion);

}  // namespace vc
