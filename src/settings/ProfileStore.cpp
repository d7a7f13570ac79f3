#include "settings/ProfileStore.h"

namespace vc {

void ProfileStore::Begin() {
    if (depth_++ > 0) return;
    original_.clear();
    readResult_ = fs_.ReadAll(path_, original_);
    ++reads_;
    if (readResult_ != ReadResult::Ok) original_.clear();
    hasMark_ = original_.size() >= 2 && static_cast<unsigned char>(original_[0]) == 0xFF &&
               static_cast<unsigned char>(original_[1]) == 0xFE;
    // A new file is written as UTF-16LE with its mark, like every file the
    // program makes.
    doc_ = original_.empty() ? ProfileDocument::FromText(u"", TextEncoding::Utf16LE)
                             : ProfileDocument::FromBytes(original_);
    startedNew_ = false;
    blankLinePass_ = false;
}

void ProfileStore::StartNewFile(std::u16string_view text) {
    doc_ = ProfileDocument::FromText(text, TextEncoding::Utf16LE);
    startedNew_ = true;
}

void ProfileStore::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    bool changed = startedNew_ || doc_.Modified();
    if (blankLinePass_) {
        // The pass sees the file as units, the mark among them.
        const bool mark = doc_.encoding() == TextEncoding::Utf16LE;
        std::u16string units = (mark ? std::u16string(1, u'\xFEFF') : std::u16string()) + doc_.Text();
        std::u16string spaced = InsertBlankLinesBeforeSections(units);
        if (spaced.size() != units.size()) {
            doc_ = ProfileDocument::FromText(std::u16string_view(spaced).substr(mark ? 1 : 0), doc_.encoding());
            changed = true;
        }
    }
    // A file that could not be read is never replaced: whatever it holds is
    // still the user's.
    if (!changed || readOnly_ || readResult_ == ReadResult::Failed) return;
    std::string bytes = doc_.ToBytes();
    if (readResult_ == ReadResult::Ok && bytes == original_) return;
    lastWriteFailed_ = !fs_.ReplaceAtomically(path_, bytes);
    if (!lastWriteFailed_) ++writes_;
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
