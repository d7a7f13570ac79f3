// The document as bytes: which encoding a file's bytes are in, reading them
// as text, and writing the text back. Portable: no windows.h.
#include "settings/ProfileDocument.h"

#include "common/U16.h"

namespace vc {

namespace {

unsigned char Byte(std::string_view b, size_t i) { return static_cast<unsigned char>(b[i]); }

void PushCodePoint(std::u16string& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(char16_t(cp));
    }
}

// Even-sized bytes whose first unit is an ASCII character other than NUL
// and whose surrogates come in pairs.
bool LooksLikeUtf16LE(std::string_view b) {
    if (b.size() < 2 || b.size() % 2 || Byte(b, 0) == 0 || Byte(b, 0) >= 0x80 || Byte(b, 1) != 0) return false;
    for (size_t i = 0; i < b.size(); i += 2) {
        const unsigned hi = Byte(b, i + 1);
        if ((hi & 0xF8) != 0xD8) continue;
        if (hi >= 0xDC || i + 3 >= b.size() || (Byte(b, i + 3) & 0xFC) != 0xDC) return false;
        i += 2;
    }
    return true;
}

// The length of the UTF-8 sequence at `i`, or 0 when it is broken: a lead
// byte without its continuation bytes, an overlong form, a surrogate or a
// code point beyond U+10FFFF. Its code point goes to `cp`.
size_t Utf8Sequence(std::string_view b, size_t i, uint32_t& cp) {
    const unsigned c = Byte(b, i);
    size_t need = 0;
    uint32_t least = 0;
    if (c >= 0xC2 && c <= 0xDF) need = 1, cp = c & 0x1F, least = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) need = 2, cp = c & 0x0F, least = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) need = 3, cp = c & 0x07, least = 0x10000;
    else return 0;
    for (size_t k = 1; k <= need; ++k) {
        if (i + k >= b.size() || (Byte(b, i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (Byte(b, i + k) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return need + 1;
}

// Valid UTF-8 with at least one character beyond ASCII.
bool LooksLikeUtf8(std::string_view b) {
    bool wide = false;
    for (size_t i = 0; i < b.size();) {
        uint32_t cp = 0;
        const size_t n = Byte(b, i) < 0x80 ? 1 : Utf8Sequence(b, i, cp);
        if (n == 0) return false;
        wide |= n > 1;
        i += n;
    }
    return wide;
}

std::u16string Utf16Units(std::string_view b, size_t from, bool littleEndian) {
    std::u16string text((b.size() - from) / 2, u'\0');
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned first = Byte(b, from + 2 * k), second = Byte(b, from + 2 * k + 1);
        text[k] = char16_t(littleEndian ? first | (second << 8) : (first << 8) | second);
    }
    return text;
}

}  // namespace

std::u16string DecodeUtf8(std::string_view b) {
    std::u16string out;
    out.reserve(b.size());
    size_t i = 0;
    while (i < b.size()) {
        const unsigned c = Byte(b, i);
        if (c < 0x80) {
            out.push_back(char16_t(c));
            ++i;
            continue;
        }
        uint32_t cp = 0;
        if (const size_t n = Utf8Sequence(b, i, cp)) {
            PushCodePoint(out, cp);
            i += n;
            continue;
        }
        // The broken sequence ends at the first byte that is not a
        // continuation byte.
        out.push_back(u'\xFFFD');
        const size_t need = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        ++i;
        for (size_t k = 0; k < need && i < b.size() && (Byte(b, i) & 0xC0) == 0x80; ++k) ++i;
    }
    return out;
}

TextEncoding DetectEncoding(std::string_view b) {
    if (b.size() >= 2 && Byte(b, 0) == 0xFF && Byte(b, 1) == 0xFE) return TextEncoding::Utf16LE;
    if (b.size() >= 2 && Byte(b, 0) == 0xFE && Byte(b, 1) == 0xFF) return TextEncoding::Utf16BE;
    if (b.size() >= 3 && Byte(b, 0) == 0xEF && Byte(b, 1) == 0xBB && Byte(b, 2) == 0xBF) return TextEncoding::Utf8Bom;
    if (LooksLikeUtf16LE(b)) return TextEncoding::Utf16LENoMark;
    if (LooksLikeUtf8(b)) return TextEncoding::Utf8;
    return TextEncoding::Ansi;
}

std::u16string DecodeLatin1(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) text[i] = char16_t(static_cast<unsigned char>(bytes[i]));
    return text;
}

ProfileDocument ProfileDocument::FromBytes(std::string_view b, AnsiDecoder ansi) {
    const TextEncoding enc = DetectEncoding(b);
    switch (enc) {
    case TextEncoding::Utf16LE: return FromText(Utf16Units(b, 2, true), enc);
    case TextEncoding::Utf16BE: return FromText(Utf16Units(b, 2, false), enc);
    case TextEncoding::Utf16LENoMark: return FromText(Utf16Units(b, 0, true), enc);
    case TextEncoding::Utf8Bom: return FromText(DecodeUtf8(b.substr(3)), enc);
    case TextEncoding::Utf8: return FromText(DecodeUtf8(b), enc);
    case TextEncoding::Ansi: break;
    }
    return FromText((ansi ? ansi : DecodeLatin1)(b), enc);
}

std::u16string ProfileDocument::Text() const {
    std::u16string s;
    size_t total = 0;
    for (const Line& l : lines_) total += l.text.size() + 2;
    s.reserve(total);
    for (const Line& l : lines_) {
        s += l.text;
        switch (l.eol) {
        case Eol::None: break;
        case Eol::CrLf: s += u"\r\n"; break;
        case Eol::Lf: s += u'\n'; break;
        case Eol::Cr: s += u'\r'; break;
        }
    }
    return s;
}

std::string ProfileDocument::ToBytes() const { return Encode(Text()); }

std::string ProfileDocument::Encode(std::u16string_view t) const {
    if (encoding_ == TextEncoding::Utf8Bom) return "\xEF\xBB\xBF" + ToUtf8(t);
    // Text read without a mark is written as UTF-16LE with one.
    const bool le = encoding_ != TextEncoding::Utf16BE;
    std::string out(2 + t.size() * 2, '\0');
    out[0] = char(le ? 0xFF : 0xFE);
    out[1] = char(le ? 0xFE : 0xFF);
    for (size_t i = 0; i < t.size(); ++i) {
        const char lo = char(t[i] & 0xFF), hi = char(t[i] >> 8);
        out[2 + 2 * i] = le ? lo : hi;
        out[3 + 2 * i] = le ? hi : lo;
    }
    return out;
}

}  // namespace vc
