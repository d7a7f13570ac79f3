// Code page 932 (Japanese Shift_JIS) for native tests, through the C
// library's converter: what a Japanese Windows reads a file without mark as.
#pragma once

#include <errno.h>
#include <iconv.h>

#include <string>
#include <string_view>

namespace vc::test {

inline std::u16string DecodeCp932(std::string_view bytes) {
    // Opened once: opening loads the converter, far slower than a use.
    static iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == iconv_t(-1)) return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 2 + 2, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size(), outLeft = out.size();
    char* o = out.data();
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1)) {
        // A byte that is no character reads as the code page's default
        // character, as Windows reads it.
        if (errno != EILSEQ && errno != EINVAL) break;
        if (outLeft < 2) break;
        *o++ = '\xFB';  // U+30FB "・", low byte first
        *o++ = '\x30';
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    std::u16string text;
    for (size_t i = 0; i + 1 < out.size() - outLeft; i += 2)
        text.push_back(char16_t(static_cast<unsigned char>(out[i]) | static_cast<unsigned char>(out[i + 1]) << 8));
    return text;
}

}  // namespace vc::test
