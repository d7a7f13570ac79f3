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
};

// Splits the hot-key control's word (virtual key in the low byte, HOTKEYF_*
// in the high byte) into what RegisterHotKey takes. A held key would toggle
// the window on every repeat, so repeats are always left out.
HotKeyParts HotKeyRegistration(uint16_t word);

}  // namespace vc
