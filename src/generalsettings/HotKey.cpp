#include "generalsettings/HotKey.h"

namespace vc {

namespace {
// The hot-key control's modifier bits: HOTKEYF_SHIFT, HOTKEYF_CONTROL,
// HOTKEYF_ALT. HOTKEYF_EXT (8) only tells the extended keyboard apart and
// has no counterpart in the registration.
constexpr uint32_t kControlShift = 0x1;
constexpr uint32_t kControlControl = 0x2;
constexpr uint32_t kControlAlt = 0x4;
constexpr int kFirstVersionWithNoRepeat = 601;

uint32_t Flags(uint16_t word) { return word >> 8; }
}  // namespace

uint16_t UsableHotKey(uint16_t word) {
    return (word & 0xFFu) && (Flags(word) & (kControlControl | kControlAlt)) ? word : 0;
}

uint16_t RuledHotKey(uint16_t word) {
    if (!(word & 0xFFu) || (Flags(word) & (kControlControl | kControlAlt))) return word;
    return uint16_t(((kControlControl | kControlAlt) << 8) | (word & 0xFFu));
}

uint16_t HotKeyWord(uint32_t modifiers, uint32_t virtualKey) {
    uint32_t flags = 0;
    if (modifiers & HotKeyMod::Shift) flags |= kControlShift;
    if (modifiers & HotKeyMod::Control) flags |= kControlControl;
    if (modifiers & HotKeyMod::Alt) flags |= kControlAlt;
    return uint16_t((flags << 8) | (virtualKey & 0xFFu));
}

HotKeyParts HotKeyRegistration(uint16_t word, int windowsVersion) {
    HotKeyParts parts;
    if (!UsableHotKey(word)) return parts;
    const uint32_t flags = Flags(word);
    parts.virtualKey = word & 0xFFu;
    if (windowsVersion >= kFirstVersionWithNoRepeat) parts.modifiers = HotKeyMod::NoRepeat;
    if (flags & kControlShift) parts.modifiers |= HotKeyMod::Shift;
    if (flags & kControlControl) parts.modifiers |= HotKeyMod::Control;
    if (flags & kControlAlt) parts.modifiers |= HotKeyMod::Alt;
    return parts;
}

}  // namespace vc
