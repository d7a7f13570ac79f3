// The building blocks of the settings file: hex companions, values stored
// as a count key and line keys, quoting, column widths. Portable: no
// windows.h.
#include <algorithm>
#include <vector>

#include "common/U16.h"
#include "settings/SettingsFile.h"

namespace vc {

namespace {

constexpr size_t kTextReadCapacity = 260;
constexpr size_t kHexReadCapacity = 520;

std::u16string LineKey(std::u16string_view base, int i) { return std::u16string(base) + DecPadded(i, 3); }

int32_t ParseLeadingInt(std::u16string_view s, size_t& pos) {
    while (pos < s.size() && (s[pos] == u' ' || (s[pos] >= 0x09 && s[pos] <= 0x0D))) ++pos;
    bool neg = false;
    if (pos < s.size() && (s[pos] == u'-' || s[pos] == u'+')) neg = s[pos++] == u'-';
    int64_t v = 0;
    while (pos < s.size() && s[pos] >= u'0' && s[pos] <= u'9') {
        v = std::min<int64_t>(v * 10 + (s[pos] - u'0'), int64_t(INT32_MAX) + 1);
        ++pos;
    }
    if (neg) v = -v;
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

// Every line of a key, not only the first: a hand-edited section may hold a
// key twice, and a second companion or count key left behind would be the
// one read next time, or stand before the lines it counts.
void DeleteEvery(ProfileDocument& doc, std::u16string_view section, std::u16string_view key) {
    while (doc.DeleteKey(section, key)) {
    }
}

std::u16string Storable(std::u16string_view v) {
    const bool edges = !v.empty() && (IsProfileSpace(v.front()) || IsProfileSpace(v.back()));
    const bool quoted = v.size() > 1 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0];
    if (!edges && !quoted) return std::u16string(v);
    std::u16string out(1, u'"');
    out.append(v);
    out += u'"';
    return out;
}

std::u16string DecodeHex(std::u16string_view hex) {
    std::u16string out;
    // A group cut short (a companion cut off with its line) names no
    // character: its digits would make one the writer never meant.
    for (size_t i = 0; i + 4 <= hex.size() && hex[i] != u'\0'; i += 4) {
        unsigned unit = 0;
        for (size_t k = 0; k < 4; ++k) {
            char16_t c = hex[i + k];
            unsigned d = 0;
            if (c >= u'0' && c <= u'9') d = c - u'0';
            else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
            unit = unit * 16 + d;
        }
        if (unit == 0) break;
        out.push_back(char16_t(unit));
    }
    return out;
}

namespace {
// The text of a non-empty companion, as one line: a line break written into
// it would turn into a blank, so it is one when read.
std::u16string DecodedLine(std::u16string_view hex) {
    std::u16string text = DecodeHex(hex);
    for (char16_t& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    return text;
}
}  // namespace

std::u16string ReadHexAware(const ProfileDocument& doc, std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) {
    std::u16string hex = doc.GetString(section, std::u16string(key) + u"Hex", u"", kHexReadCapacity);
    if (!hex.empty()) return DecodedLine(hex);
    return doc.GetString(section, key, def, kTextReadCapacity);
}

std::u16string ReadMultiLine(const ProfileDocument& doc, std::u16string_view section, std::u16string_view base,
                             std::u16string_view def, size_t capacity, int maxLines, bool hexLines) {
    size_t room = capacity == 0 ? 0 : capacity - 1;
    // The count key says how many line keys there are. It can be missing or
    // damaged while the lines are there (a write of an older version cut
    // short, a hand edit); the lines that are there are read all the same,
    // up to the first gap, so that no write drops keys that were never read.
    // A damaged count must not make the reader walk thousands of keys.
    const int32_t count = std::max<int32_t>(doc.GetInt(section, base, 0), 0);
    std::u16string out;
    int32_t lines = 0;
    for (int32_t i = 0; i < maxLines; ++i) {
        const std::u16string key = LineKey(base, i);
        std::optional<std::u16string> line;
        if (hexLines) {
            std::u16string hex = doc.GetString(section, key + u"Hex", u"", kHexReadCapacity);
            line = !hex.empty() ? std::optional(DecodedLine(hex)) : doc.Find(section, key, kTextReadCapacity);
        } else {
            line = doc.Find(section, key, kTextReadCapacity);
        }
        if (!line) {
            if (i >= count) break;
            line.emplace();
        }
        ++lines;
        size_t sep = i > 0 ? 2 : 0;
        if (out.size() + sep + line->size() > room) {
            if (i == 0) out = std::u16string(CutTo(*line, room));
            break;
        }
        if (i > 0) out += u"\r\n";
        out += *line;
    }
    if (lines == 0) return std::u16string(CutTo(def, room));
    return out;
}

namespace {

// The lines a multi-line value is stored as, at most `maxLines`.
std::vector<std::u16string_view> SplitLines(std::u16string_view text, int maxLines) {
    std::vector<std::u16string_view> lines;
    size_t pos = 0;
    while (int(lines.size()) < maxLines) {
        size_t brk = text.find(u"\r\n", pos);
        lines.push_back(text.substr(pos, brk == std::u16string_view::npos ? std::u16string_view::npos : brk - pos));
        if (brk == std::u16string_view::npos) break;
        pos = brk + 2;
    }
    return lines;
}

// Whether the section holds the value exactly as the writer would leave it:
// the same line keys with the same values, no companion or left-over line
// key, and the count key after the last line key. Writing it again would
// change nothing but the file's time, so it is skipped.
bool AlreadyStored(const ProfileDocument& doc, std::u16string_view section, std::u16string_view base,
                   const std::vector<std::u16string_view>& lines, int maxLines) {
    std::optional<std::u16string_view> count = doc.RawValue(section, base);
    if (!count || *count != Dec(int64_t(lines.size()))) return false;
    std::optional<size_t> last;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::u16string key = LineKey(base, int(i));
        std::u16string_view want = lines[i];
        std::optional<std::u16string_view> have = doc.RawValue(section, key);
        if (!have || *have != Storable(want) || want.find_first_of(u"\r\n") != std::u16string_view::npos)
            return false;
        if (doc.RawValue(section, key + u"Hex")) return false;
        last = doc.KeyPosition(section, key);
    }
    if (int(lines.size()) < maxLines && doc.KeyPosition(section, LineKey(base, int(lines.size())))) return false;
    std::optional<size_t> countAt = doc.KeyPosition(section, base);
    return countAt && last && *countAt > *last;
}

}  // namespace

void WriteMultiLine(ProfileDocument& doc, std::u16string_view section, std::u16string_view base,
                    std::u16string_view text, int maxLines) {
    const std::vector<std::u16string_view> lines = SplitLines(text, maxLines);
    if (AlreadyStored(doc, section, base, lines, maxLines)) return;
    DeleteEvery(doc, section, base);
    const int i = int(lines.size());
    for (int n = 0; n < i; ++n) {
        std::u16string key = LineKey(base, n);
        doc.Put(section, key, Storable(lines[size_t(n)]));
        DeleteEvery(doc, section, key + u"Hex");
    }
    // Remove the line keys of a longer earlier value.
    static const std::u16string kSentinel = u"@SmallWrite";
    for (int j = i; j < maxLines; ++j) {
        std::u16string key = LineKey(base, j);
        std::u16string old = doc.GetString(section, key, kSentinel, 13);
        DeleteEvery(doc, section, key);
        if (old == kSentinel) break;
    }
    doc.Put(section, base, Dec(i));
}

std::u16string FormatColumnWidths(const std::array<int32_t, kColumnCount>& w) {
    std::u16string s;
    for (int i = 0; i < 5; ++i) s += Dec(w[size_t(i)]) + u",";
    return s;
}

void ParseColumnWidths(std::u16string_view text, const std::array<int32_t, kColumnCount>& tpl,
                       std::array<int32_t, kColumnCount>& out) {
    size_t pos = 0;
    for (size_t k = 0; k < size_t(kColumnCount); ++k) {
        int32_t v = ParseLeadingInt(text, pos);
        out[k] = v != 0 ? v : tpl[k];
        size_t comma = text.find(u',', pos);
        if (comma == std::u16string_view::npos) break;
        pos = comma + 1;
    }
}

}  // namespace vc
