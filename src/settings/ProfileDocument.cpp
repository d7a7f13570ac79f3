#include "settings/ProfileDocument.h"

#include <algorithm>

#include "common/U16.h"

namespace vc {

bool IsProfileSpace(char16_t c) {
    // ASCII white space and the old end-of-file mark only: a trailing
    // ideographic space in a Japanese label is part of the label.
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

namespace {

std::u16string_view Trim(std::u16string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsProfileSpace(s[b])) ++b;
    while (e > b && IsProfileSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Keeps a value on its own line: a line break inside it would start new lines
// (and could forge keys or sections), so each CR or LF becomes a blank, and a
// NUL ends it as it ends a C string.
// `buffer` holds the text only when it has to change: most values are put
// as they are, thousands of times for a large file.
std::u16string_view OneLine(std::u16string_view v, std::u16string& buffer) {
    v = UpToNul(v);
    if (v.find_first_of(u"\r\n") == std::u16string_view::npos) return v;
    buffer.assign(v);
    for (char16_t& c : buffer)
        if (c == u'\r' || c == u'\n') c = u' ';
    return buffer;
}

std::u16string OneLine(std::u16string_view v) {
    std::u16string buffer;
    return std::u16string(OneLine(v, buffer));
}

}  // namespace

void ProfileDocument::Classify(Line& l) {
    std::u16string_view t = l.text;
    size_t b = 0, e = t.size();
    while (b < e && IsProfileSpace(t[b])) ++b;
    while (e > b && IsProfileSpace(t[e - 1])) --e;
    l.nameBegin = l.nameLen = l.valueBegin = l.valueLen = 0;
    if (b == e) {
        l.kind = Kind::Blank;
        return;
    }
    if (t[b] == u'[') {
        size_t close = t.substr(0, e).rfind(u']');
        if (close != std::u16string_view::npos && close > b) {
            l.kind = Kind::Header;
            l.nameBegin = uint32_t(b + 1);
            l.nameLen = uint32_t(close - b - 1);
            return;
        }
    }
    size_t eq = t.substr(0, e).find(u'=', b);
    if (eq == std::u16string_view::npos) {
        l.kind = Kind::Bare;
        l.nameBegin = uint32_t(b);
        l.nameLen = uint32_t(e - b);
        return;
    }
    size_t ke = eq;
    while (ke > b && IsProfileSpace(t[ke - 1])) --ke;
    size_t vb = eq + 1;
    while (vb < e && IsProfileSpace(t[vb])) ++vb;
    l.kind = Kind::Key;
    l.nameBegin = uint32_t(b);
    l.nameLen = uint32_t(ke - b);
    l.valueBegin = uint32_t(vb);
    l.valueLen = uint32_t(e - vb);
}

void ProfileDocument::Parse(std::u16string_view text) {
    lines_.clear();
    lines_.reserve(size_t(std::count(text.begin(), text.end(), u'\n')) + 1);
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] != u'\r' && text[j] != u'\n') ++j;
        Line l;
        l.text.assign(text.substr(i, j - i));
        if (j == text.size()) {
            l.eol = Eol::None;
            i = j;
        } else if (text[j] == u'\r' && j + 1 < text.size() && text[j + 1] == u'\n') {
            l.eol = Eol::CrLf;
            i = j + 2;
        } else {
            l.eol = text[j] == u'\n' ? Eol::Lf : Eol::Cr;
            i = j + 1;
        }
        Classify(l);
        lines_.push_back(std::move(l));
    }
    IndexSections();
}

size_t ProfileDocument::NoCaseHash::operator()(std::u16string_view s) const {
    uint64_t h = 1469598103934665603ull;
    for (char16_t c : s) h = (h ^ FoldCase(c)) * 1099511628211ull;
    return size_t(h);
}

bool ProfileDocument::NoCaseEqual::operator()(std::u16string_view a, std::u16string_view b) const {
    return EqualsNoCase(a, b);
}

void ProfileDocument::IndexSections() {
    sections_.clear();
    sectionIndex_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Header) continue;
        if (!sections_.empty()) sections_.back().end = i;
        sectionIndex_.emplace(NameOf(lines_[i]), sections_.size());
        sections_.push_back({i, lines_.size(), nullptr});
    }
}

ProfileDocument ProfileDocument::FromText(std::u16string_view text, TextEncoding enc) {
    ProfileDocument d;
    d.encoding_ = enc;
    d.Parse(text);
    return d;
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::u16string_view name) const {
    name = Trim(name);
    if (name.empty()) return nullptr;
    auto it = sectionIndex_.find(name);
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

size_t ProfileDocument::FindKey(const Section& sec, std::u16string_view key) const {
    key = Trim(key);
    // A short section is searched line by line; an index pays off only for
    // the long ones (a page's entries).
    constexpr size_t kIndexedLines = 48;
    if (!sec.keys && sec.end - sec.header <= kIndexedLines) {
        for (size_t i = sec.header + 1; i < sec.end; ++i) {
            const Line& l = lines_[i];
            if ((l.kind == Kind::Key || l.kind == Kind::Bare) && EqualsNoCase(NameOf(l), key)) return i;
        }
        return std::u16string_view::npos;
    }
    if (!sec.keys) {
        sec.keys = std::make_shared<KeyMap>();
        for (size_t i = sec.header + 1; i < sec.end; ++i) {
            const Line& l = lines_[i];
            if (l.kind == Kind::Key || l.kind == Kind::Bare) sec.keys->emplace(NameOf(l), i - sec.header);
        }
    }
    auto it = sec.keys->find(key);
    return it == sec.keys->end() ? std::u16string_view::npos : sec.header + it->second;
}

std::optional<std::u16string_view> ProfileDocument::RawValue(std::u16string_view section,
                                                             std::u16string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    size_t i = FindKey(*s, key);
    if (i == std::u16string_view::npos || lines_[i].kind != Kind::Key) return std::nullopt;
    const Line& l = lines_[i];
    return std::u16string_view(l.text).substr(l.valueBegin, l.valueLen);
}

std::optional<std::u16string> ProfileDocument::Find(std::u16string_view section, std::u16string_view key,
                                                    size_t capacity) const {
    std::optional<std::u16string_view> raw = RawValue(section, key);
    if (!raw) return std::nullopt;
    std::u16string_view v = *raw;
    if (v.size() > 1 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    // The caller gets a C string: a NUL in the file ends the value.
    v = UpToNul(v);
    return std::u16string(CutTo(v, capacity == 0 ? 0 : capacity - 1));
}

std::u16string ProfileDocument::GetString(std::u16string_view section, std::u16string_view key,
                                          std::u16string_view def, size_t capacity) const {
    if (capacity == 0) return {};
    if (std::optional<std::u16string> found = Find(section, key, capacity)) return std::move(*found);
    std::u16string_view v = UpToNul(def);
    while (!v.empty() && v.back() == u' ') v.remove_suffix(1);
    return std::u16string(CutTo(v, capacity - 1));
}

int32_t ProfileDocument::GetInt(std::u16string_view section, std::u16string_view key, int32_t def) const {
    // The platform reads the value into a 30-unit buffer before converting it.
    std::u16string s = GetString(section, key, u"", 30);
    if (s.empty()) return def;
    size_t i = 0;
    while (i < s.size() && s[i] <= u' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) neg = s[i++] == u'-';
    unsigned base = 10;
    if (i + 1 < s.size() && s[i] == u'0') {
        if (s[i + 1] == u'x') base = 16;
        else if (s[i + 1] == u'o') base = 8;
        else if (s[i + 1] == u'b') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < s.size(); ++i) {
        char16_t c = s[i];
        unsigned d;
        if (c >= u'0' && c <= u'9') d = c - u'0';
        else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
        else break;
        if (d >= base) break;
        total = total * base + d;
    }
    return int32_t(neg ? 0u - total : total);
}

void ProfileDocument::InsertLine(size_t at, Line line) {
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), std::move(line));
    for (Section& s : sections_) {
        // The section's key index follows: a page section gets its keys one
        // by one, and indexing it anew after each would cost as many passes.
        if (s.header < at && at <= s.end && s.keys) {
            if (s.keys.use_count() > 1) s.keys = std::make_shared<KeyMap>(*s.keys);
            const size_t offset = at - s.header;
            for (auto& entry : *s.keys)
                if (entry.second >= offset) ++entry.second;
            const Line& added = lines_[at];
            if (added.kind == Kind::Key || added.kind == Kind::Bare) s.keys->emplace(NameOf(added), offset);
        }
        if (s.header >= at) ++s.header;
        if (s.end >= at) ++s.end;
    }
}

void ProfileDocument::EraseLines(size_t from, size_t to) {
    lines_.erase(lines_.begin() + std::ptrdiff_t(from), lines_.begin() + std::ptrdiff_t(to));
    IndexSections();
}

bool ProfileDocument::Put(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::u16string secBuffer, keyBuffer, valueBuffer;
    const std::u16string_view sec = OneLine(Trim(UpToNul(section)), secBuffer);
    const std::u16string_view k = OneLine(Trim(UpToNul(key)), keyBuffer);
    std::u16string_view v = OneLine(value, valueBuffer);
    while (!v.empty() && IsProfileSpace(v.front())) v.remove_prefix(1);
    if (sec.empty() || k.empty()) return false;

    auto keyLine = [](std::u16string_view name, std::u16string_view val) {
        Line l;
        l.text.assign(name);
        l.text += u'=';
        l.text += val;
        l.eol = Eol::CrLf;
        Classify(l);
        return l;
    };

    const Section* s = FindSection(sec);
    if (!s) {
        if (!lines_.empty() && lines_.back().eol == Eol::None) lines_.back().eol = Eol::CrLf;
        Line h;
        h.text = u"[" + std::u16string(sec) + u"]";
        Classify(h);
        changedUnits_ += h.text.size() + k.size() + v.size() + 5;
        // A page of a thousand is written section by section: the new one
        // joins the index instead of the whole text being indexed again.
        const size_t header = lines_.size();
        lines_.push_back(std::move(h));
        lines_.push_back(keyLine(k, v));
        if (!sections_.empty()) sections_.back().end = header;
        sectionIndex_.emplace(sec, sections_.size());
        sections_.push_back({header, lines_.size(), nullptr});
        modified_ = true;
        return true;
    }
    size_t i = FindKey(*s, k);
    if (i != std::u16string_view::npos) {
        Line& l = lines_[i];
        if (l.kind == Kind::Key && std::u16string_view(l.text).substr(l.valueBegin, l.valueLen) == v) return false;
        Line n = keyLine(NameOf(l), v);
        n.eol = l.eol;
        changedUnits_ += n.text.size() + 2;
        l = std::move(n);
        modified_ = true;
        return true;
    }
    size_t last = s->header;
    for (size_t j = s->end; j > s->header + 1; --j) {
        if (lines_[j - 1].kind != Kind::Blank) {
            last = j - 1;
            break;
        }
    }
    if (lines_[last].eol == Eol::None) lines_[last].eol = Eol::CrLf;
    InsertLine(last + 1, keyLine(k, v));
    changedUnits_ += k.size() + v.size() + 3;
    modified_ = true;
    return true;
}

bool ProfileDocument::DeleteKey(std::u16string_view section, std::u16string_view key) {
    const Section* s = FindSection(UpToNul(section));
    if (!s) return false;
    size_t i = FindKey(*s, UpToNul(key));
    if (i == std::u16string_view::npos) return false;
    changedUnits_ += lines_[i].text.size() + 2;
    // One line of one section goes: the sections keep their names, only
    // the lines behind it move up.
    lines_.erase(lines_.begin() + std::ptrdiff_t(i));
    for (Section& other : sections_) {
        if (other.header < i && i < other.end) other.keys.reset();
        if (other.header > i) --other.header;
        if (other.end > i) --other.end;
    }
    modified_ = true;
    return true;
}

bool ProfileDocument::DeleteSection(std::u16string_view section) {
    const Section* s = FindSection(UpToNul(section));
    if (!s) return false;
    for (size_t i = s->header; i < s->end; ++i) changedUnits_ += lines_[i].text.size() + 2;
    EraseLines(s->header, s->end);
    modified_ = true;
    return true;
}

bool ProfileDocument::RenameSection(std::u16string_view from, std::u16string_view to) {
    const Section* s = FindSection(UpToNul(from));
    std::u16string name = OneLine(Trim(UpToNul(to)));
    if (!s || name.empty() || FindSection(name)) return false;
    Line& h = lines_[s->header];
    Eol eol = h.eol;
    h.text = u"[" + name + u"]";
    h.eol = eol;
    Classify(h);
    changedUnits_ += h.text.size() + 2;
    IndexSections();
    modified_ = true;
    return true;
}

bool ProfileDocument::CopySectionAfter(std::u16string_view from, std::u16string_view to, std::u16string_view after) {
    const Section* src = FindSection(UpToNul(from));
    const Section* dst = FindSection(UpToNul(after));
    std::u16string name = OneLine(Trim(UpToNul(to)));
    if (!src || !dst || name.empty() || FindSection(name)) return false;
    std::vector<Line> copy(lines_.begin() + std::ptrdiff_t(src->header), lines_.begin() + std::ptrdiff_t(src->end));
    copy.front().text = u"[" + name + u"]";
    Classify(copy.front());
    if (copy.back().eol == Eol::None) copy.back().eol = Eol::CrLf;
    size_t at = dst->end;
    if (at > 0 && lines_[at - 1].eol == Eol::None) lines_[at - 1].eol = Eol::CrLf;
    for (const Line& l : copy) changedUnits_ += l.text.size() + 2;
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), copy.begin(), copy.end());
    IndexSections();
    modified_ = true;
    return true;
}

void ProfileDocument::AppendLines(std::u16string_view text) {
    if (text.empty()) return;
    if (!lines_.empty() && lines_.back().eol == Eol::None) lines_.back().eol = Eol::CrLf;
    ProfileDocument added = FromText(text, encoding_);
    for (Line& l : added.lines_) lines_.push_back(std::move(l));
    IndexSections();
    changedUnits_ += text.size();
    modified_ = true;
}

std::optional<size_t> ProfileDocument::KeyPosition(std::u16string_view section, std::u16string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    size_t i = FindKey(*s, key);
    if (i == std::u16string_view::npos) return std::nullopt;
    return i;
}

std::u16string ProfileDocument::SectionText(std::u16string_view section) const {
    const Section* s = FindSection(section);
    std::u16string t;
    if (!s) return t;
    for (size_t i = s->header; i < s->end; ++i) t += lines_[i].text + u"\r\n";
    return t;
}

std::vector<std::u16string_view> ProfileDocument::SectionNames() const {
    std::vector<std::u16string_view> names;
    for (size_t i = 0; i < sections_.size(); ++i) {
        std::u16string_view name = NameOf(lines_[sections_[i].header]);
        if (&sections_[i] == FindSection(name)) names.push_back(name);
    }
    return names;
}

std::vector<ProfileDocument::KeyLine> ProfileDocument::KeysOf(std::u16string_view section) const {
    std::vector<KeyLine> keys;
    const Section* s = FindSection(section);
    if (!s) return keys;
    for (size_t i = s->header + 1; i < s->end; ++i) {
        const Line& l = lines_[i];
        if (l.kind != Kind::Key && l.kind != Kind::Bare) continue;
        keys.push_back({NameOf(l), std::u16string_view(l.text).substr(l.valueBegin, l.valueLen), l.kind == Kind::Key});
    }
    return keys;
}

bool ProfileDocument::SameSection(std::u16string_view section, const ProfileDocument& other) const {
    const Section* mine = FindSection(section);
    const Section* theirs = other.FindSection(section);
    if (!mine || !theirs) return !mine && !theirs;
    if (mine->end - mine->header != theirs->end - theirs->header) return false;
    for (size_t i = 0; i < mine->end - mine->header; ++i)
        if (lines_[mine->header + i].text != other.lines_[theirs->header + i].text) return false;
    return true;
}

void ProfileDocument::TakeSection(std::u16string_view section, const ProfileDocument& from) {
    if (SameSection(section, from)) return;
    const Section* theirs = from.FindSection(section);
    std::vector<Line> lines;
    if (theirs) lines.assign(from.lines_.begin() + std::ptrdiff_t(theirs->header), from.lines_.begin() + std::ptrdiff_t(theirs->end));
    if (!lines.empty() && lines.back().eol == Eol::None) lines.back().eol = Eol::CrLf;
    size_t at = lines_.size();
    if (const Section* mine = FindSection(section)) {
        at = mine->header;
        lines_.erase(lines_.begin() + std::ptrdiff_t(mine->header), lines_.begin() + std::ptrdiff_t(mine->end));
    } else if (at > 0 && lines_.back().eol == Eol::None) {
        lines_.back().eol = Eol::CrLf;
    }
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), lines.begin(), lines.end());
    IndexSections();
    modified_ = true;
}

}  // namespace vc
