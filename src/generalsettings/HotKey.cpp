#include "generalsettings/HotKey.h"

namespace vc {

namespace {
// The hot-key control's modifier bits: HOTKEYF_SHIFT, HOTKEYF_CONTROL,
// HOTKEYF_ALT. HOTKEYF_EXT (8) only tells the extended keyboard apart and
// has no counterpart in the registration.
constexpr uint32_t kControlShift = 0x1;
constexpr uint32_t kControlControl = 0x2;
constexpr uint32_t kControlAlt = 0x4;
}  // namespace

HotKeyParts HotKeyRegistration(uint16_t word) {
    const uint32_t flags = word >> 8;
    HotKeyParts parts;
    parts.virtualKey = word & 0xFFu;
    parts.modifiers = HotKeyMod::NoRepeat;
    if (flags & kControlShift) parts.modifiers |= HotKeyMod::Shift;
    if (flags & kControlControl) parts.modifiers |= HotKeyMod::Control;
    if (flags & kControlAlt) parts.modifiers |= HotKeyMod::Alt;
    return parts;
}

}  // namespace vc
