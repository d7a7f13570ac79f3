#include "settings/ProfileStore.h"

#include <cstring>

namespace vc {

namespace {

// Line breaks of the file's text, counted on its bytes: LF and CR bytes,
// which for UTF-16 text may count a few characters more; the limit is far
// above anything the program writes, so that errs on the safe side.
size_t LineBreaksIn(const std::string& b) {
    size_t n = 0;
    for (char c : {'\n', '\r'}) {
        const char* end = b.data() + b.size();
        for (const char* p = b.data(); (p = static_cast<const char*>(std::memchr(p, c, size_t(end - p)))); ++p) ++n;
    }
    return n;
}

}  // namespace

void ProfileStore::Begin() {
    if (depth_++ > 0) return;
    original_.clear();
    readResult_ = fs_.ReadAll(path_, original_);
    const bool first = reads_++ == 0;
    if (readResult_ == ReadResult::Ok &&
        (original_.size() > kMaxSettingsFileBytes || LineBreaksIn(original_) > 2 * kMaxSettingsFileLines))
        readResult_ = ReadResult::Failed;
    if (readResult_ != ReadResult::Ok) original_.clear();
    // A file that turns up where this run found none (a drive plugged in
    // again, another program's file) was never read into the records:
    // writing to it would mix this run's pages into someone else's file.
    foreignBatch_ = false;
    if (readResult_ == ReadResult::Ok) {
        if (first) known_ = true;
        if (!known_) {
            foreignBatch_ = true;
            readOnly_ = true;
        }
    }
    hasMark_ = original_.size() >= 2 && static_cast<unsigned char>(original_[0]) == 0xFF &&
               static_cast<unsigned char>(original_[1]) == 0xFE;
    // A new file is written as UTF-16LE with its mark, like every file the
    // program makes.
    doc_ = original_.empty() ? ProfileDocument::FromText(u"", TextEncoding::Utf16LE)
                             : ProfileDocument::FromBytes(original_, fs_.Ansi());
    startedNew_ = false;
    blankLinePass_ = false;
    // A file of ours that has gone is made again whole, not from whatever
    // this batch happens to write.
    if (readResult_ == ReadResult::Absent && known_) outOfSync_ = true;
    if (outOfSync_ && resync_ && !readOnly_ && BatchReadable()) resync_(*this);
}

void ProfileStore::StartNewFile(std::u16string_view text) {
    doc_ = ProfileDocument::FromText(text, TextEncoding::Utf16LE);
    startedNew_ = true;
}

void ProfileStore::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    bool changed = startedNew_ || doc_.Modified();
    // The pass sees the file as units, the mark among them (every file is
    // written with one).
    std::u16string units;
    if (blankLinePass_) {
        units = u"\xFEFF" + doc_.Text();
        std::u16string spaced = InsertBlankLinesBeforeSections(units);
        if (spaced.size() != units.size()) {
            doc_ = ProfileDocument::FromText(std::u16string_view(spaced).substr(1), doc_.encoding());
            units = std::move(spaced);
            changed = true;
        }
    }
    if (!changed || readOnly_) return;
    // A file that could not be read is never replaced: whatever it holds is
    // still the user's.
    if (readResult_ == ReadResult::Failed) {
        outOfSync_ = true;
        return;
    }
    std::string bytes = units.empty() ? doc_.ToBytes() : doc_.Encode(std::u16string_view(units).substr(1));
    if (readResult_ == ReadResult::Ok && bytes == original_) return;
    lastWriteFailed_ = !fs_.ReplaceAtomically(path_, bytes);
    if (lastWriteFailed_) {
        outOfSync_ = true;
        return;
    }
    ++writes_;
    known_ = true;
    outOfSync_ = false;
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
