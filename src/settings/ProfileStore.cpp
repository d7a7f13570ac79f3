#include "settings/ProfileStore.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "common/U16.h"

namespace vc {

namespace {

bool IsUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE || e == TextEncoding::Utf16LENoMark;
}

bool HasUtf16LEMark(std::string_view b) {
    return b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xFE;
}

// Line breaks of the file's text as the document splits it: CR LF, a lone
// CR and a lone LF count one each. In UTF-16 only the units that are one
// count: a character such as U+0A0D holds those bytes too.
size_t LineBreaksIn(std::string_view b, TextEncoding enc) {
    const bool wide = IsUtf16(enc);
    const size_t unit = wide ? 2 : 1;
    const size_t start = enc == TextEncoding::Utf16LENoMark ? 0 : wide ? 2 : 0;
    const size_t low = enc == TextEncoding::Utf16BE ? 1 : 0;  // where a unit's low byte is
    auto isBreak = [&](size_t at, char c) {
        return at + unit <= b.size() && b[at + low] == c && (!wide || b[at + 1 - low] == 0);
    };
    size_t n = 0;
    const char* end = b.data() + b.size();
    for (char c : {'\n', '\r'}) {
        for (const char* p = b.data() + start; (p = static_cast<const char*>(std::memchr(p, c, size_t(end - p)))); ++p) {
            const size_t pos = size_t(p - b.data());
            if (wide && (pos - start) % 2 != low) continue;
            const size_t at = pos - low;
            if (isBreak(at, c) && !(c == '\r' && isBreak(at + unit, '\n'))) ++n;
        }
    }
    return n;
}

// Backups of files converted again and again stop somewhere.
constexpr int kMaxBackups = 99;

using KeyLines = std::vector<ProfileDocument::KeyLine>;
using Values = std::vector<std::pair<std::u16string, KeyLines>>;

// The value a key belongs to, without case: a "...Hex" companion belongs to
// its key, a line key ("Files012") to its count key ("Files").
std::u16string ValueOf(std::u16string_view name) {
    std::u16string v;
    v.reserve(name.size());
    for (char16_t c : name) v.push_back(FoldCase(c));
    if (v.size() > 3 && v.compare(v.size() - 3, 3, u"HEX") == 0) v.resize(v.size() - 3);
    if (v.size() > 3 && std::all_of(v.end() - 3, v.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        v.resize(v.size() - 3);
    return v;
}

// The key lines of a section by the value they belong to, in order.
Values ValuesIn(const KeyLines& keys) {
    Values values;
    std::unordered_map<std::u16string, size_t> at;
    for (const ProfileDocument::KeyLine& k : keys) {
        if (!k.hasValue) continue;
        auto [it, added] = at.emplace(ValueOf(k.name), values.size());
        if (added) values.emplace_back(it->first, KeyLines{});
        values[it->second].second.push_back(k);
    }
    return values;
}

// Whether two sets of lines hold one value: the same keys with the same
// values, in whatever order (a count key read before or after its lines
// says the same), the first of two lines of one key still first.
bool SameLines(KeyLines a, KeyLines b) {
    if (a.size() != b.size()) return false;
    auto byName = [](const ProfileDocument::KeyLine& x, const ProfileDocument::KeyLine& y) {
        return std::lexicographical_compare(x.name.begin(), x.name.end(), y.name.begin(), y.name.end(),
                                            [](char16_t c, char16_t d) { return FoldCase(c) < FoldCase(d); });
    };
    std::stable_sort(a.begin(), a.end(), byName);
    std::stable_sort(b.begin(), b.end(), byName);
    return std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
        return x.value == y.value && EqualsNoCase(x.name, y.name);
    });
}

// The values of a section that `to` holds otherwise than `from`, with their
// lines in `to` (none for a value `to` does not hold).
Values Differing(const ProfileDocument& from, const ProfileDocument& to, std::u16string_view section) {
    if (from.SameSection(section, to)) return {};
    const KeyLines a = from.KeysOf(section), b = to.KeysOf(section);
    if (a == b) return {};
    Values before = ValuesIn(a), after = ValuesIn(b), out;
    std::unordered_map<std::u16string_view, const KeyLines*> left;
    for (const auto& [value, lines] : before) left.emplace(value, &lines);
    for (auto& [value, lines] : after) {
        auto it = left.find(value);
        if (it == left.end() || !SameLines(*it->second, lines)) out.emplace_back(value, lines);
        if (it != left.end()) left.erase(it);
    }
    for (const auto& [value, lines] : before)
        if (left.count(value)) out.emplace_back(value, KeyLines{});
    return out;
}

// Makes a value of a section in `doc` the given lines: its keys the lines
// do not name go, and each key they name takes its value where it stands
// (a second line of one key, which no reader sees, stays as it is).
void PutValue(ProfileDocument& doc, std::u16string_view section, std::u16string_view value, const KeyLines& lines) {
    auto named = [&](std::u16string_view name) {
        return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return EqualsNoCase(l.name, name); });
    };
    std::vector<std::u16string> gone;
    for (const ProfileDocument::KeyLine& k : doc.KeysOf(section))
        if (k.hasValue && ValueOf(k.name) == value && !named(k.name)) gone.emplace_back(k.name);
    for (const std::u16string& name : gone)
        while (doc.DeleteKey(section, name)) {
        }
    for (size_t i = 0; i < lines.size(); ++i) {
        auto first = [&](const auto& l) { return EqualsNoCase(l.name, lines[i].name); };
        if (std::find_if(lines.begin(), lines.end(), first) - lines.begin() == std::ptrdiff_t(i))
            doc.Put(section, lines[i].name, lines[i].value);
    }
}

}  // namespace

size_t WriteChanges(const ProfileDocument& base, const ProfileDocument& mine, ProfileDocument& file) {
    size_t n = 0;
    for (std::u16string_view section : mine.SectionNames())
        for (const auto& [value, lines] : Differing(base, mine, section)) {
            PutValue(file, section, value, lines);
            ++n;
        }
    for (std::u16string_view section : base.SectionNames()) {
        // A section edited meanwhile by another program stays.
        if (mine.HasSection(section) || !file.HasSection(section) || file.KeysOf(section) != base.KeysOf(section))
            continue;
        file.DeleteSection(section);
        ++n;
    }
    return n;
}

size_t AdoptValues(ProfileDocument& doc, const ProfileDocument& mine) {
    size_t n = 0;
    for (std::u16string_view section : mine.SectionNames()) {
        if (!doc.HasSection(section)) {
            doc.TakeSection(section, mine);
            ++n;
            continue;
        }
        for (const auto& [value, lines] : Differing(doc, mine, section)) {
            PutValue(doc, section, value, lines);
            ++n;
        }
    }
    return n;
}

uint64_t HashBytes(std::string_view b) {
    // Four independent lanes of one multiply each keep the processor busy;
    // a change in any one word of the input always changes its lane.
    constexpr uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t lane[4] = {k, k ^ 1, k ^ 2, k ^ 3};
    size_t i = 0;
    for (; i + 32 <= b.size(); i += 32) {
        for (size_t j = 0; j < 4; ++j) {
            uint64_t w;
            std::memcpy(&w, b.data() + i + 8 * j, 8);
            lane[j] = (lane[j] ^ w) * k;
            lane[j] ^= lane[j] >> 29;
        }
    }
    uint64_t h = b.size();
    for (; i < b.size(); ++i) h = (h ^ static_cast<unsigned char>(b[i])) * k;
    for (uint64_t x : lane) {
        h = (h ^ x) * k;
        h ^= h >> 31;
    }
    return h;
}

std::u16string CompanionPathOf(std::u16string_view path, std::u16string_view suffix) {
    size_t nameStart = path.find_last_of(u"\\/");
    nameStart = nameStart == std::u16string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || dot < nameStart) dot = path.size();
    return std::u16string(path.substr(0, dot)) + std::u16string(suffix) + u".vcset";
}

std::u16string BackupPathOf(std::u16string_view path, int n) {
    return CompanionPathOf(path, n > 1 ? u"_Backup" + Dec(n) : std::u16string(u"_Backup"));
}

void ProfileStore::Retry() {
    if (depth_ > 0) return;
    shutOut_ = false;
    firstRead_ = true;
    known_ = false;
    outOfSync_ = false;
    base_ = Base{};
}

void ProfileStore::ReadFile() {
    readResult_ = fs_.ReadAll(path_, original_);
    ++reads_;
    const bool first = std::exchange(firstRead_, false);
    if (readResult_ == ReadResult::Ok &&
        (original_.size() > kMaxSettingsFileBytes ||
         LineBreaksIn(original_, DetectEncoding(original_)) > 2 * kMaxSettingsFileLines))
        readResult_ = ReadResult::Failed;
    if (readResult_ != ReadResult::Ok) original_.clear();
    // A file that turns up where this run found none (a drive plugged in
    // again, another program's file) was never read into the records:
    // writing to it would mix this run's pages into someone else's file.
    if (readResult_ == ReadResult::Ok) {
        if (first) known_ = true;
        if (!known_) {
            foreignBatch_ = true;
            shutOut_ = true;
        }
        fileHash_ = HashBytes(original_);
    }
    hasMark_ = HasUtf16LEMark(original_);
}

void ProfileStore::Begin() {
    if (depth_++ > 0) return;
    startedNew_ = blankLinePass_ = merging_ = foreignBatch_ = false;
    original_.clear();
    if (shutOut_) {
        readResult_ = ReadResult::Failed;
        hasMark_ = false;
        doc_ = ProfileDocument();
        return;
    }
    ReadFile();
    if (readResult_ == ReadResult::Ok && !foreignBatch_ && base_.present) {
        OpenOverBase();
    } else if (readResult_ == ReadResult::Failed && base_.present) {
        // Never written, but what the batch changes can be offered whole.
        doc_ = base_.doc;
        doc_.MarkUnmodified();
    } else {
        // A new file is written as UTF-16LE with its mark, like every file
        // the program makes.
        doc_ = original_.empty() ? ProfileDocument::FromText(u"", TextEncoding::Utf16LE)
                                 : ProfileDocument::FromBytes(original_, fs_.Ansi());
    }
    // A file of ours that has gone is made again whole, not from whatever
    // this batch happens to write.
    if (readResult_ == ReadResult::Absent && known_) outOfSync_ = true;
    if (outOfSync_ && resync_ && !ReadOnly() && BatchReadable()) resync_(*this);
}

void ProfileStore::OpenOverBase() {
    const bool same = fileHash_ == base_.hash && original_.size() == base_.size;
    if (!same || !base_.docIsFile) {
        theirs_ = ProfileDocument::FromBytes(original_, fs_.Ansi());
        if (!same && Damaged(theirs_)) {
            // Neither replaced nor taken in: a later batch that finds it
            // whole again goes on.
            readResult_ = ReadResult::Failed;
            theirs_ = ProfileDocument();
        } else {
            if (!same) ++outsideChanges_;
            merging_ = true;
            // After a batch whose changes did not reach the file, the
            // records hold this run's changes: they are stored, not lost.
            if (reload_ && !outOfSync_) {
                std::vector<std::u16string> changed;
                for (std::u16string_view section : theirs_.SectionNames())
                    if (!base_.doc.SameSection(section, theirs_)) changed.emplace_back(section);
                for (std::u16string_view section : base_.doc.SectionNames())
                    if (!theirs_.HasSection(section)) changed.emplace_back(section);
                for (const std::u16string& section : reload_(*this, theirs_, changed))
                    base_.doc.TakeSection(section, theirs_);
            }
        }
    }
    doc_ = base_.doc;
    doc_.MarkUnmodified();
}

bool ProfileStore::Damaged(const ProfileDocument& now) const {
    const ProfileDocument& base = base_.doc;
    if (!base.SectionNames().empty() && now.SectionNames().empty()) return true;  // reads as empty
    if (hasMark_ && original_.size() % 2) return true;                          // a unit cut in two
    if (base.EndsWithLineBreak() && !now.EndsWithLineBreak()) return true;      // its last line cut
    return damageCheck_ && damageCheck_(base, now);
}

void ProfileStore::StartNewFile(std::u16string_view text) {
    doc_ = ProfileDocument::FromText(text, TextEncoding::Utf16LE);
    startedNew_ = true;
}

bool ProfileStore::ApplyBlankLinePass(ProfileDocument& doc, std::u16string& units) {
    if (!blankLinePass_) return false;
    // The pass sees the file as units, the mark among them (every file is
    // written with one).
    units.assign(1, u'\xFEFF');
    units += doc.Text();
    std::u16string spaced = InsertBlankLinesBeforeSections(units);
    if (spaced.size() == units.size()) return false;
    doc = ProfileDocument::FromText(std::u16string_view(spaced).substr(1), doc.encoding());
    units = std::move(spaced);
    return true;
}

void ProfileStore::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    if (merging_) return EndOverChangedFile();
    std::u16string units;
    const bool changed = ApplyBlankLinePass(doc_, units) || startedNew_ || doc_.Modified();
    if (shutOut_) return;
    std::string bytes;
    if (changed) bytes = units.empty() ? doc_.ToBytes() : doc_.Encode(std::u16string_view(units).substr(1));
    // A file that could not be read is never replaced: whatever it holds is
    // still the user's.
    if (readResult_ == ReadResult::Failed) {
        if (!changed || readOnly_) return;
        outOfSync_ = true;
        if (base_.present) unwritten_ = std::move(bytes);
        return;
    }
    const bool read = readResult_ == ReadResult::Ok;
    const bool same = !changed || (read && bytes == original_);
    if (same || readOnly_) {
        if (read) TakeAsBase(original_, true, same);
        return;
    }
    if (Write(bytes)) TakeAsBase(bytes, false, true);
}

void ProfileStore::EndOverChangedFile() {
    merging_ = false;
    ProfileDocument file = std::move(theirs_);
    theirs_ = ProfileDocument();
    std::string bytes;
    bool write = !readOnly_ && doc_.Modified() && WriteChanges(base_.doc, doc_, file) > 0;
    if (write) {
        std::u16string units;
        ApplyBlankLinePass(file, units);
        bytes = units.empty() ? file.ToBytes() : file.Encode(std::u16string_view(units).substr(1));
        write = bytes != original_;
    }
    if (write && !Write(bytes)) return;
    // The file becomes the base, but where it holds a value the records do
    // not (another program's, in a section not taken from the file), the
    // base keeps the records' own: writing that unchanged later changes
    // nothing in the file.
    base_.docIsFile = AdoptValues(file, doc_) == 0;
    base_.doc = std::move(file);
    base_.hash = write ? HashBytes(bytes) : fileHash_;
    base_.size = write ? bytes.size() : original_.size();
    doc_ = ProfileDocument();
}

void ProfileStore::TakeAsBase(const std::string& bytes, bool read, bool docIsFile) {
    const bool unchanged = base_.present && base_.docIsFile && base_.hash == fileHash_ && base_.size == bytes.size();
    if (read && docIsFile && unchanged) return;
    base_.present = true;
    base_.hash = read ? fileHash_ : HashBytes(bytes);
    base_.size = bytes.size();
    base_.doc = std::move(doc_);
    base_.docIsFile = docIsFile;
    doc_ = ProfileDocument();
}

bool ProfileStore::Write(const std::string& bytes) {
    // Every conversion keeps the bytes it replaces.
    const bool converting = readResult_ == ReadResult::Ok && !original_.empty() && !hasMark_ && HasUtf16LEMark(bytes);
    const bool ok = (!converting || KeepBackupOf(fs_, path_, original_)) && (readResult_ == ReadResult::Absent
                                                         ? fs_.CreateAtomically(path_, bytes)
                                                         : fs_.ReplaceAtomically(path_, bytes));
    lastWriteFailed_ = !ok;
    if (!ok) {
        outOfSync_ = true;
        unwritten_ = bytes;
        return false;
    }
    ++writes_;
    known_ = true;
    outOfSync_ = false;
    std::string().swap(unwritten_);
    return true;
}

bool KeepBackupOf(FileSystem& fs, std::u16string_view settingsPath, const std::string& bytes) {
    for (int n = 1; n <= kMaxBackups; ++n) {
        const std::u16string name = BackupPathOf(settingsPath, n);
        if (fs.CreateAtomically(name, bytes)) return true;
        std::string there;
        const ReadResult taken = fs.ReadAll(name, there);
        if (taken == ReadResult::Ok && there == bytes) return true;  // kept by an earlier try
        if (taken == ReadResult::Absent) return false;                    // no file can be made there
    }
    return false;
}

std::u16string InsertBlankLinesBeforeSections(std::u16string_view t) {
    std::u16string out;
    out.reserve(t.size() + t.size() / 16);
    size_t copied = 0;
    size_t lastInsert = 0;
    bool inserted = false;
    for (size_t i = 2; i + 2 < t.size(); ++i) {
        if (t[i] != u'\r' || t[i + 1] != u'\n' || t[i + 2] != u'[') continue;
        if (t[i - 1] == u'\n' || t[i - 2] == u'\r') continue;
        if (inserted && i - lastInsert < 2) continue;
        out.append(t.substr(copied, i - copied));
        out += u"\r\n";
        copied = i;
        lastInsert = i;
        inserted = true;
    }
    out.append(t.substr(copied));
    return out;
}

}  // namespace vc
