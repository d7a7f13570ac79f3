// Small helpers for UTF-16 text held in std::u16string. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vc {

// At most `max` units of `s`, never splitting a surrogate pair.
inline std::u16string_view CutTo(std::u16string_view s, size_t max) {
    if (s.size() <= max) return s;
    if (max > 0 && (s[max - 1] & 0xFC00) == 0xD800) --max;
    return s.substr(0, max);
}

// A fixed-capacity field holds capacity - 1 units plus its terminator.
inline std::u16string FitField(std::u16string_view s, size_t capacity) {
    return std::u16string(CutTo(s, capacity == 0 ? 0 : capacity - 1));
}

// The text up to its first NUL unit, as a C string would see it.
inline std::u16string_view UpToNul(std::u16string_view s) {
    size_t n = s.find(u'\0');
    return n == std::u16string_view::npos ? s : s.substr(0, n);
}

inline char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c - 0x20);
    // Latin-1 letters fold the same way (÷ and ÿ excepted).
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 0x20);
    // Full-width Latin letters, common in Japanese text.
    if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 0x20);
    return c;
}

inline bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

inline std::u16string Dec(int64_t v) {
    std::u16string s;
    bool neg = v < 0;
    uint64_t u = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    do {
        s.insert(s.begin(), char16_t(u'0' + u % 10));
        u /= 10;
    } while (u);
    if (neg) s.insert(s.begin(), u'-');
    return s;
}

// "%03d"-style: at least `width` digits, zero padded (non-negative values).
inline std::u16string DecPadded(int v, int width) {
    std::u16string s = Dec(v);
    while (int(s.size()) < width) s.insert(s.begin(), u'0');
    return s;
}

// ASCII text to UTF-16 (for names built in code).
inline std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

// UTF-8 <-> UTF-16 for the native file layer and for tests.
std::u16string FromUtf8(std::string_view s);
std::string ToUtf8(std::u16string_view s);

}  // namespace vc
