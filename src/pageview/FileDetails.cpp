#include "pageview/FileDetails.h"

#include "common/U16.h"

namespace vc {

// ---- Offsets ----

uint16_t NameOffsetOf(std::u16string_view path) {
    size_t slash = path.rfind(u'\\');
    if (slash == std::u16string_view::npos || slash + 1 >= path.size()) return 0;
    return uint16_t(slash + 1);
}

int16_t TypeOffsetOf(std::u16string_view path, bool isFolder) {
    if (isFolder) return -1;
    size_t slash = path.rfind(u'\\');
    size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || dot < nameStart || dot + 1 >= path.size()) return 0;
    // Paths are held in 262 units; a longer one from elsewhere gets no type
    // rather than an offset that wraps.
    if (dot + 1 > size_t(INT16_MAX)) return 0;
    return int16_t(dot + 1);
}

void SetOffsets(FileEntry& entry, bool isFolder) {
    entry.NameOffset = NameOffsetOf(entry.Path);
    entry.TypeOffset = TypeOffsetOf(entry.Path, isFolder);
}

// ---- Date ----

namespace {

std::u16string NumericShortDate(const CalendarTime& t) {
    return DecPadded(t.Year, 4) + u"/" + DecPadded(t.Month, 2) + u"/" + DecPadded(t.Day, 2);
}

std::u16string NumericTime(const CalendarTime& t) { return Dec(t.Hour) + u":" + DecPadded(t.Minute, 2); }

}  // namespace

const DateTimeFormat kNumericDateTime = {NumericShortDate, NumericTime};

std::u16string DateText(const std::optional<CalendarTime>& local, bool withPrefix, size_t capacity,
                        const DateTimeFormat& format) {
    if (!local || local->Year <= 1601) return FitField(kNoDate, capacity);
    std::u16string s;
    if (withPrefix) s += kDatePrefix;
    s += format.ShortDate(*local);
    s += u' ';
    s += format.TimeNoSeconds(*local);
    return FitField(s, capacity);
}

// ---- Size ----

std::u16string SizeText(int64_t size, std::u16string_view prefix, size_t capacity) {
    static constexpr std::u16string_view kUnits[] = {u"B", u"kB", u"MB", u"GB", u"TB"};
    constexpr size_t kLastUnit = std::size(kUnits) - 1;
    size_t unit = 0;
    while (size >= 10000 && unit < kLastUnit) {
        size /= 1000;
        ++unit;
    }
    std::u16string s(prefix);
    s += Dec(size);
    s += u' ';
    s += kUnits[unit];
    return FitField(s, capacity);
}

// ---- Location ----

const std::array<KnownFolder, kKnownFolderCount> KnownFolderTable = {{
    {5, u"Documents"},
    {46, u"All Documents"},
    {39, u"Pictures"},
    {54, u"All Pictures"},
    {0, u"Desktop"},
    {25, u"All Dsektop"},
    {13, u"Music"},
    {53, u"All Music"},
    {14, u"Video"},
    {55, u"All Video"},
    {38, u"Program Files"},
    {43, u"Program Files Common"},
    {26, u"App. Data"},
    {28, u"App. Data Local"},
    {35, u"App. Data Common"},
    {37, u"System"},
    {36, u"Windows"},
}};

std::u16string ContainingFolder(std::u16string_view fullPath) {
    size_t slash = fullPath.rfind(u'\\');
    if (slash == std::u16string_view::npos) return {};
    return std::u16string(fullPath.substr(0, slash));
}

namespace {

// Where `folder` occurs in `location` as a whole folder: C:\Users\me\Documents
// must not be found in C:\Users\me\Documents2. npos when it does not.
size_t FindFolder(std::u16string_view location, std::u16string_view folder) {
    if (folder.empty()) return std::u16string_view::npos;
    bool endsInSlash = folder.back() == u'\\';
    for (size_t at = location.find(folder); at != std::u16string_view::npos; at = location.find(folder, at + 1)) {
        size_t end = at + folder.size();
        if (endsInSlash || end == location.size() || location[end] == u'\\') return at;
    }
    return std::u16string_view::npos;
}

}  // namespace

std::u16string LocationText(std::u16string_view location, const KnownFolderPaths& folders) {
    std::u16string_view rest = location;
    std::u16string s;
    for (size_t row = 0; row < kKnownFolderCount; ++row) {
        size_t at = FindFolder(location, folders[row]);
        if (at == std::u16string_view::npos) continue;
        s.append(u"[").append(KnownFolderTable[row].Name).append(u"] ");
        rest = location.substr(at + folders[row].size());
        break;
    }
    // A share's name keeps its leading \\: made " >  > server" it reads as
    // two folders with no names.
    if (s.empty() && rest.substr(0, 2) == u"\\\\") {
        s = u"\\\\";
        rest.remove_prefix(2);
    }
    for (char16_t c : rest) {
        if (c == u'\\') s += u" > ";
        else s += c;
        // Stop early: a long path of short folders would otherwise triple.
        if (s.size() > kLocationMax + 2) break;
    }
    return std::u16string(CutTo(s, kLocationMax));
}

// ---- Names and types ----

namespace {

// `name` up to `at`, unless that leaves nothing to show.
void CutAt(std::u16string& name, size_t at) {
    if (at != std::u16string::npos && at > 0) name.resize(at);
}

}  // namespace

std::u16string DisplayName(std::u16string_view fileName, const PageRecord& page, bool isFolder) {
    std::u16string name(fileName);
    if (!(page.ListType & ListTypeBit::ShowExtensions)) {
        if (!isFolder) CutAt(name, name.rfind(u'.'));
    } else if (page.FolderId == kRecentFolderId) {
        CutAt(name, name.find(u".lnk"));
        CutAt(name, name.find(u" ("));
    }
    return name;
}

std::u16string TypeText(const FileEntry& entry) {
    if (entry.TypeOffset == -1) return std::u16string(kNoValue);
    if (entry.TypeOffset <= 0 || size_t(entry.TypeOffset) >= entry.Path.size()) return {};
    return entry.Path.substr(size_t(entry.TypeOffset));
}

std::u16string SizeColumnText(bool isFolder, int64_t size) {
    if (isFolder) return std::u16string(kNoValue);
    return SizeText(size, u"", kSizeColumnCapacity);
}

}  // namespace vc
