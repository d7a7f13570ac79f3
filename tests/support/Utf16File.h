// Builds and reads UTF-16LE settings-file bytes in tests.
#pragma once

#include <string>
#include <string_view>

#include "common/U16.h"

namespace vc::test {

inline std::string Utf16LE(std::u16string_view text, bool mark = true) {
    std::string out = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t c : text) {
        out.push_back(char(c & 0xFF));
        out.push_back(char(c >> 8));
    }
    return out;
}

// The text of UTF-16LE bytes, without the mark.
inline std::u16string TextOf(const std::string& bytes) {
    std::u16string t;
    size_t start = bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE ? 2 : 0;
    for (size_t i = start; i + 1 < bytes.size(); i += 2)
        t.push_back(char16_t((unsigned char)bytes[i] | ((unsigned char)bytes[i + 1] << 8)));
    return t;
}

inline std::string Narrow(std::u16string_view s) { return ToUtf8(s); }

}  // namespace vc::test
