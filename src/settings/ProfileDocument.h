// An INI text held in memory, read and edited the way Windows' profile
// functions read and edit a file: case-insensitive section and key names,
// white space around "=", quoted values, first match wins, new keys at the end
// of their section, new sections at the end of the text. An edit changes only
// the lines it concerns; every other byte of the text stays as it was.
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// How the bytes of a file map to text. A byte-order mark says UTF-16
// (either order) or UTF-8, as for the platform's profile functions. A file
// without one is UTF-16LE when it plainly is (its first unit an ASCII
// character: the NUL byte after it rules out any 8-bit text, and its
// surrogates pair up), UTF-8 when it is valid UTF-8 with characters beyond
// ASCII (which 8-bit text of a code page, Shift_JIS included, hardly ever
// is), and else 8-bit text in the system ANSI code page. The program writes
// every file it read without a mark as UTF-16LE with one.
enum class TextEncoding { Utf16LE, Utf16BE, Utf8Bom, Ansi, Utf8, Utf16LENoMark };

// What a file's bytes hold, by the rules above.
TextEncoding DetectEncoding(std::string_view bytes);
// UTF-8 to UTF-16. A broken sequence becomes U+FFFD and ends at the first
// byte that is not a continuation byte, which is read afresh: a line break
// after a cut character stays a line break.
std::u16string DecodeUtf8(std::string_view bytes);

// Turns 8-bit text of the system ANSI code page into UTF-16.
using AnsiDecoder = std::u16string (*)(std::string_view bytes);
// Each byte as the unit of the same value: code page 1252's letters and
// digits, and what the native build and the fuzzer use.
std::u16string DecodeLatin1(std::string_view bytes);

class ProfileDocument {
public:
    ProfileDocument() = default;

    // Decodes file bytes. A UTF-16LE file keeps its units exactly, the mark
    // included in `Text()` only through `encoding()`.
    static ProfileDocument FromBytes(std::string_view bytes, AnsiDecoder ansi = DecodeLatin1);
    // A new UTF-16LE document holding `text`.
    static ProfileDocument FromText(std::u16string_view text, TextEncoding enc = TextEncoding::Utf16LE);

    // The bytes of the document with its mark. 8-bit text is never written
    // back: a character outside the code page would turn into "?", so such a
    // document is written as UTF-16LE.
    std::string ToBytes() const;
    // The bytes of `text` as this document writes its own.
    std::string Encode(std::u16string_view text) const;
    // The text without the mark.
    std::u16string Text() const;
    TextEncoding encoding() const { return encoding_; }

    // The value of a key, white space trimmed and quotes kept; nullopt when
    // the section or key is absent or the key line has no "=".
    std::optional<std::u16string_view> RawValue(std::u16string_view section, std::u16string_view key) const;

    // GetPrivateProfileString: the value without enclosing quotes, cut to
    // capacity - 1 units; `def` (trailing blanks removed) when absent.
    std::u16string GetString(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                             size_t capacity) const;
    // The value GetString gives for a key that is there; nullopt when the
    // key (or its section) is not.
    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key, size_t capacity) const;
    // GetPrivateProfileInt: the number at the start of the value (sign, "0x"
    // hex, "0o" octal and "0b" binary prefixes understood, wrapping to 32
    // bits); `def` when the key is absent or its value empty.
    int32_t GetInt(std::u16string_view section, std::u16string_view key, int32_t def) const;

    // WritePrivateProfileString with a value. Returns whether the text changed.
    bool Put(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    // WritePrivateProfileString with no value: removes the key's line.
    bool DeleteKey(std::u16string_view section, std::u16string_view key);
    // WritePrivateProfileString with no key: removes the header and every
    // line up to the next section header.
    bool DeleteSection(std::u16string_view section);

    // Gives the first section named `from` the name `to`, keeping its place
    // and its lines. False when there is no such section or `to` exists.
    bool RenameSection(std::u16string_view from, std::u16string_view to);
    // Inserts a copy of the lines of section `from` under the name `to`
    // right after section `after`. False when either is missing or `to`
    // exists.
    bool CopySectionAfter(std::u16string_view from, std::u16string_view to, std::u16string_view after);

    bool HasSection(std::u16string_view section) const { return FindSection(section) != nullptr; }

    // Appends whole lines at the end (sections taken from another document).
    void AppendLines(std::u16string_view text);

    // A line of a section that names a key.
    struct KeyLine {
        std::u16string_view name;
        std::u16string_view value;  // white space trimmed, quotes kept
        bool hasValue;              // false for a line without "="
        bool operator==(const KeyLine&) const = default;
    };
    // The name of each section as it first stands, in order (the one the
    // profile functions read; a later one of the same name is not).
    std::vector<std::u16string_view> SectionNames() const;
    // The key lines of a section, in order; empty when it is absent.
    std::vector<KeyLine> KeysOf(std::u16string_view section) const;
    // Whether a section holds the same lines here and in `other` (or is
    // absent from both).
    bool SameSection(std::u16string_view section, const ProfileDocument& other) const;
    // Makes a section hold what it holds in `from`: its lines take the
    // place of this one's, or are appended; absent there, it goes here.
    void TakeSection(std::u16string_view section, const ProfileDocument& from);
    bool EndsWithLineBreak() const { return !lines_.empty() && lines_.back().eol != Eol::None; }
    // Starts counting edits anew (a copy kept between batches).
    void MarkUnmodified() {
        modified_ = false;
        changedUnits_ = 0;
    }

    // Where a key's line stands in the text (for order checks), or nullopt.
    std::optional<size_t> KeyPosition(std::u16string_view section, std::u16string_view key) const;

    // Text units of the lines that edits have added, replaced or removed
    // since the document was made: what a write changes in the file.
    size_t ChangedUnits() const { return changedUnits_; }
    // The text of one section, header included (empty when absent).
    std::u16string SectionText(std::u16string_view section) const;

    size_t LineCount() const { return lines_.size(); }
    // Whether an edit changed the text since the document was made.
    bool Modified() const { return modified_; }

private:
    enum class Eol : uint8_t { None, CrLf, Lf, Cr };
    enum class Kind : uint8_t { Blank, Header, Key, Bare };
    struct Line {
        std::u16string text;
        Eol eol = Eol::CrLf;
        Kind kind = Kind::Blank;
        uint32_t nameBegin = 0, nameLen = 0;    // section or key name within text
        uint32_t valueBegin = 0, valueLen = 0;  // value within text (Key only)
    };
    // Names compared without case, looked up without making a folded copy
    // of each name asked for.
    struct NoCaseHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view s) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::u16string_view a, std::u16string_view b) const;
    };
    // Key name -> line offset from the header, built on first use: a page
    // section holds hundreds of line keys that are looked up one by one.
    using KeyMap = std::unordered_map<std::u16string, size_t, NoCaseHash, NoCaseEqual>;
    struct Section {
        size_t header;  // index of the header line
        size_t end;     // one past the last line of the section
        // Shared with the copies of the document until one of them inserts
        // a line into the section (InsertLine copies it first).
        mutable std::shared_ptr<KeyMap> keys;
    };

    static void Classify(Line& line);
    void Parse(std::u16string_view text);
    void IndexSections();
    std::u16string_view NameOf(const Line& l) const {
        return std::u16string_view(l.text).substr(l.nameBegin, l.nameLen);
    }
    const Section* FindSection(std::u16string_view name) const;
    // Index of the first line of `sec` holding `key` (Key or Bare), or npos.
    size_t FindKey(const Section& sec, std::u16string_view key) const;
    void InsertLine(size_t at, Line line);
    void EraseLines(size_t from, size_t to);

    TextEncoding encoding_ = TextEncoding::Utf16LE;
    bool modified_ = false;
    size_t changedUnits_ = 0;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    // Section name -> index of its first section in sections_.
    std::unordered_map<std::u16string, size_t, NoCaseHash, NoCaseEqual> sectionIndex_;
};

bool IsProfileSpace(char16_t c);

}  // namespace vc
