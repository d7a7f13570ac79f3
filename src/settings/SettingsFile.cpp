#include "settings/SettingsFile.h"

#include <algorithm>
#include <vector>

#include "common/U16.h"
#include "settings/PortablePaths.h"

namespace vc {

namespace {

const std::u16string kGlobalSection = u"Vellumcraft";
constexpr size_t kTextReadCapacity = 260;
constexpr size_t kHexReadCapacity = 520;
constexpr size_t kColumnWidthCapacity = 28;
constexpr int32_t kAbsent = -555;

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

// Every line of a key, not only the first: a hand-edited section may hold a
// key twice, and a second companion or count key left behind would be the
// one read next time, or stand before the lines it counts.
void DeleteEvery(ProfileDocument& doc, std::u16string_view section, std::u16string_view key) {
    while (doc.DeleteKey(section, key)) {
    }
}

bool DriveRelative(uint32_t tabStyle) { return tabStyle & TabStyleBit::DriveRelativePaths; }

// A user page's entries, without the drive letter where the option asks
// for it; with the option off they go in exactly as they are.
void WriteFiles(ProfileDocument& doc, std::u16string_view section, const PageRecord& rec, uint32_t tabStyle,
                std::u16string_view settingsPath) {
    const std::u16string stored =
        DriveRelative(tabStyle) ? DriveRelativeLines(rec.Files, settingsPath) : rec.Files;
    WriteMultiLine(doc, section, u"Files", stored, kFilesMaxLines);
}

}  // namespace

std::u16string Storable(std::u16string_view v) {
    const bool edges = !v.empty() && (IsProfileSpace(v.front()) || IsProfileSpace(v.back()));
    const bool quoted = v.size() > 1 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0];
    if (!edges && !quoted) return std::u16string(v);
    return u"\"" + std::u16string(v) + u"\"";
}

std::u16string BackupPathOf(std::u16string_view path) {
    size_t nameStart = path.find_last_of(u"\\/");
    nameStart = nameStart == std::u16string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || dot < nameStart) dot = path.size();
    return std::u16string(path.substr(0, dot)) + u"_Backup.vcset";
}

std::u16string DecodeHex(std::u16string_view hex) {
    std::u16string out;
    for (size_t i = 0; i < hex.size() && hex[i] != u'\0'; i += 4) {
        unsigned unit = 0;
        for (size_t k = 0; k < 4; ++k) {
            char16_t c = i + k < hex.size() ? hex[i + k] : u'\0';
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

void LoadPage(Records& r, ProfileStore& store, PageId id) {
    PageRecord* rec = r.Page(id);
    if (!rec) return;
    ProfileBatch batch(store);
    const ProfileDocument& doc = store.Doc();
    const PageKind kind = KindOf(id);
    const std::u16string sec = SectionNameOf(id);
    // For the template itself, "the template" is its own built-in values.
    const PageRecord tpl = r.DefaultPage;
    const bool mark = store.FileHasMark();

    if (kind == PageKind::Special) {
        const SpecialFolderEntry& e = SpecialFolderTable[size_t(SpecialIndexOf(id))];
        rec->Label = FitField(e.Label, kLabelCapacity);
        rec->Comment = FitField(e.Comment, kCommentCapacity);
    } else {
        std::u16string label = mark ? doc.GetString(sec, u"Label", sec, kLabelReadCapacity)
                                    : ReadHexAware(doc, sec, u"Label", sec);
        rec->Label = FitField(label, kLabelReadCapacity);
        std::u16string defComment = u"Page" + Dec(int64_t(id) + 1) + u" コメント";
        rec->Comment = ReadMultiLine(doc, sec, u"Comment", defComment, kCommentReadCapacity, kCommentMaxLines, !mark);
        rec->Files = ReadMultiLine(doc, sec, u"Files", u"", kFilesCapacity, kFilesMaxLines, !mark);
        if (kind == PageKind::User && DriveRelative(r.GlobalSettings.TabStyle))
            rec->Files = ResolveDriveRelativeLines(rec->Files, store.path(), kFilesCapacity - 1);
    }
    rec->LabelColor = doc.GetInt(sec, u"LabelColor", tpl.LabelColor);
    rec->Flag = uint32_t(doc.GetInt(sec, u"Flag", int32_t(tpl.Flag)));
    rec->Cursor = doc.GetInt(sec, u"Cursor", 0);
    rec->ListType = uint32_t(doc.GetInt(sec, u"ListType", kind == PageKind::Default ? 0 : int32_t(tpl.ListType)));
    if (r.WindowsVersion <= 500) rec->ListType |= 1;
    rec->FontName = FitField(ReadHexAware(doc, sec, u"FontName", tpl.FontName), kFontNameCapacity);
    rec->FontSize = doc.GetInt(sec, u"FontSize", tpl.FontSize);
    rec->FontStyle = uint32_t(doc.GetInt(sec, u"FontStyle", int32_t(tpl.FontStyle)));
    rec->FontColor = uint32_t(doc.GetInt(sec, u"FontColor", int32_t(tpl.FontColor)));
    rec->FontColorBk = uint32_t(doc.GetInt(sec, u"FontColorBk", int32_t(tpl.FontColorBk)));
    std::u16string widths = doc.GetString(sec, u"PageColumnWidth", FormatColumnWidths(tpl.PageColumnWidth),
                                          kColumnWidthCapacity);
    // A width the text does not reach is the template's too: a width of 0
    // would be a column the user cannot see, and the next read would take
    // the template's width for it all the same.
    rec->PageColumnWidth = tpl.PageColumnWidth;
    ParseColumnWidths(widths, tpl.PageColumnWidth, rec->PageColumnWidth);
    rec->PageListSort = doc.GetInt(sec, u"PageListSort", tpl.PageListSort);
}

void LoadSettings(Records& r, ProfileStore& store) {
    ProfileBatch batch(store);
    // A file that exists but cannot be read (held open by another program,
    // no permission) is still the user's: run on defaults, never write it.
    if (store.FileUnreadable()) store.SetReadOnly(true);
    const ProfileDocument& doc = store.Doc();
    GlobalRecord& g = r.GlobalSettings;
    const std::u16string& sec = kGlobalSection;

    int32_t pageCount = doc.GetInt(sec, u"PageCount", kAbsent);
    if (pageCount == kAbsent) {
        // Without its count the file still has its pages: they are counted
        // rather than hidden behind five defaults and written over.
        int32_t sections = 0;
        while (sections < kMaxPageCount && doc.HasSection(SectionNameOf(sections))) ++sections;
        g.PageCount = sections > 0 ? sections : 5;
        g.TabNumber = 0;
    } else {
        g.PageCount = pageCount;
    }
    g.TabStyle = uint32_t(doc.GetInt(sec, u"TabStyle", int32_t(g.TabStyle)));
    g.TabNumber = doc.GetInt(sec, u"TabNumber", g.TabNumber);
    g.xPosi = doc.GetInt(sec, u"xPosi", g.xPosi);
    g.yPosi = doc.GetInt(sec, u"yPosi", g.yPosi);
    g.xSize = doc.GetInt(sec, u"xSize", g.xSize);
    g.ySize = doc.GetInt(sec, u"ySize", g.ySize);
    // Below 35 the window is all but invisible, and then the setting can only
    // be reached by editing the file.
    g.LayerWindowLevel = int16_t(std::clamp<int32_t>(doc.GetInt(sec, u"LayerWindowLevel", g.LayerWindowLevel),
                                                     kMinLayerWindowLevel, 255));
    g.TabFontName = FitField(ReadHexAware(doc, sec, u"TabFontName", u"ＭＳ Ｐゴシック"), kFontNameCapacity);
    g.TabFontSize = doc.GetInt(sec, u"TabFontSize", 12);
    for (int n = 1; n <= 5; ++n)
        g.LabelColorN(n) = uint32_t(doc.GetInt(sec, u"LabelColor" + Dec(n), int32_t(g.LabelColorN(n))));
    g.SpcialFolder = uint32_t(doc.GetInt(sec, u"SpcialFolder", int32_t(g.SpcialFolder)));
    g.SpcialRecentFileNum = uint16_t(doc.GetInt(sec, u"SpcialRecentFileNum", g.SpcialRecentFileNum));
    g.HotKey = uint16_t(doc.GetInt(sec, u"HotKey", kDefaultHotKey));

    for (int i = 0; i < kSpecialPageCount; ++i) {
        r.SpecialPages[size_t(i)] = PageRecord{};
        LoadPage(r, store, SpecialPageId(i));
        const SpecialFolderEntry& e = SpecialFolderTable[size_t(i)];
        r.SpecialPages[size_t(i)].FolderId = e.FolderId;
        r.SpecialPages[size_t(i)].CommonFolderId = e.CommonFolderId;
    }
    RecountShownSpecialPages(r);

    // At least one user page always exists (the program addresses page 0),
    // and a damaged count must not allocate without end.
    g.PageCount = std::clamp<int32_t>(g.PageCount, 1, kMaxPageCount);
    if (g.TabNumber < 0 || g.TabNumber >= int32_t(r.ShownSpecialCount) + g.PageCount) g.TabNumber = 0;

    r.UserPages.assign(size_t(g.PageCount), PageRecord{});
    for (int32_t i = 0; i < g.PageCount; ++i) LoadPage(r, store, i);

    if (g.TabStyle & TabStyleBit::StartOnMainPage) {
        bool found = false;
        for (int k = 0; k < r.ShownSpecialCount && !found; ++k) {
            if (r.SpecialPages[r.ShownSpecialPages[size_t(k)]].Flag & PageFlag::MainPage) {
                g.TabNumber = k;
                found = true;
            }
        }
        for (int32_t i = 0; i < g.PageCount && !found; ++i) {
            if (r.UserPages[size_t(i)].Flag & PageFlag::MainPage) {
                r.CurrentPage = i;
                g.TabNumber = TabOfPage(r, i);
                found = true;
            }
        }
        if (!found) g.TabNumber = 0;
    }
    r.CurrentPage = PageOfTab(r, g.TabNumber);

    store.SetResync([&r](ProfileStore& s) { StoreEverything(r, s); });
    if (store.FileHasMark()) return;

    // No file, or an older file without mark: keep a copy of the old one
    // (never replacing an earlier copy) and make the file anew. The template
    // and the special pages it had are part of the user's settings too.
    g.TabStyle |= TabStyleBit::StatusBar;
    if (!store.FileAbsent()) store.fs().CopyIfAbsent(store.path(), BackupPathOf(store.path()));
    // They come along whole, keys the program does not write included (the
    // template's column widths), and then get what the records hold.
    std::vector<PageId> kept;
    std::u16string keptText;
    for (PageId id = SpecialPageId(0); id <= SpecialPageId(kSpecialPageCount - 1); ++id)
        if (doc.HasSection(SectionNameOf(id))) kept.push_back(id);
    if (doc.HasSection(SectionNameOf(kDefaultPageId))) kept.push_back(kDefaultPageId);
    for (PageId id : kept) keptText += doc.SectionText(SectionNameOf(id));
    store.StartNewFile(u";Vellumcraft");
    WriteGlobalSettings(r, store);
    for (int32_t i = 0; i < g.PageCount; ++i) WritePage(r, store, i, WriteGroup::All);
    store.Doc().AppendLines(keptText);
    for (PageId id : kept) WritePage(r, store, id, WriteGroup::All);
}

void StoreEverything(Records& r, ProfileStore& store) {
    ProfileBatch batch(store);
    if (store.FileAbsent()) store.StartNewFile(u";Vellumcraft");
    const ProfileDocument& doc = store.Doc();
    WriteGlobalSettings(r, store);
    for (int32_t i = 0; i < int32_t(r.UserPages.size()); ++i) WritePage(r, store, i, WriteGroup::All);
    for (int i = 0; i < kSpecialPageCount; ++i) {
        const bool shown = std::find(r.ShownSpecialPages.begin(), r.ShownSpecialPages.begin() + r.ShownSpecialCount,
                                     i) != r.ShownSpecialPages.begin() + r.ShownSpecialCount;
        if (shown || doc.HasSection(SectionNameOf(SpecialPageId(i)))) WritePage(r, store, SpecialPageId(i), WriteGroup::All);
    }
    if (doc.HasSection(SectionNameOf(kDefaultPageId)) || !(r.DefaultPage == BuiltInDefaultPage()))
        WritePage(r, store, kDefaultPageId, WriteGroup::All);
    // Sections of pages the records no longer have, each name as often as it
    // stands there.
    for (int32_t i = int32_t(r.UserPages.size()); doc.HasSection(SectionNameOf(i)); ++i)
        while (store.Doc().DeleteSection(SectionNameOf(i))) {
        }
}

void WriteGlobalSettings(const Records& r, ProfileStore& store) {
    ProfileBatch batch(store);
    ProfileDocument& doc = store.Doc();
    const GlobalRecord& g = r.GlobalSettings;
    const std::u16string& sec = kGlobalSection;
    // The entries of every page follow the option in the same write as the
    // option itself: a file whose pages disagree with its TabStyle would put
    // the entries on the wrong drive when read.
    if (DriveRelative(uint32_t(doc.GetInt(sec, u"TabStyle", 0))) != DriveRelative(g.TabStyle)) {
        for (int32_t i = 0; i < int32_t(r.UserPages.size()); ++i)
            if (doc.HasSection(SectionNameOf(i)))
                WriteFiles(doc, SectionNameOf(i), r.UserPages[size_t(i)], g.TabStyle, store.path());
    }
    doc.Put(sec, u"xPosi", Dec(g.xPosi));
    doc.Put(sec, u"yPosi", Dec(g.yPosi));
    doc.Put(sec, u"xSize", Dec(g.xSize));
    doc.Put(sec, u"ySize", Dec(g.ySize));
    doc.Put(sec, u"TabStyle", Dec(int32_t(g.TabStyle)));
    doc.Put(sec, u"TabNumber", Dec(g.TabNumber));
    doc.Put(sec, u"PageCount", Dec(g.PageCount));
    doc.Put(sec, u"LayerWindowLevel", Dec(g.LayerWindowLevel));
    doc.Put(sec, u"TabFontName", Storable(g.TabFontName));
    DeleteEvery(doc, sec, u"TabFontNameHex");
    doc.Put(sec, u"TabFontSize", Dec(g.TabFontSize));
    for (int n = 1; n <= 5; ++n) doc.Put(sec, u"LabelColor" + Dec(n), Dec(int32_t(g.LabelColorN(n))));
    doc.Put(sec, u"SpcialFolder", Dec(int32_t(g.SpcialFolder)));
    doc.Put(sec, u"SpcialRecentFileNum", Dec(g.SpcialRecentFileNum));
    doc.Put(sec, u"HotKey", Dec(int32_t(g.HotKey)));
}

void WritePage(Records& r, ProfileStore& store, PageId id, int groups) {
    const PageRecord* rec = r.Page(id);
    if (!rec) return;
    ProfileBatch batch(store);
    ProfileDocument& doc = store.Doc();
    const PageKind kind = KindOf(id);
    const std::u16string sec = SectionNameOf(id);
    if (groups & WriteGroup::Look) {
        if (kind == PageKind::User) {
            doc.Put(sec, u"Label", Storable(CutTo(rec->Label, kLabelReadCapacity - 1)));
            DeleteEvery(doc, sec, u"LabelHex");
            WriteMultiLine(doc, sec, u"Comment", rec->Comment, kCommentMaxLines);
        }
        doc.Put(sec, u"LabelColor", Dec(rec->LabelColor));
        doc.Put(sec, u"Flag", Dec(int32_t(rec->Flag)));
        doc.Put(sec, u"FontName", Storable(rec->FontName));
        DeleteEvery(doc, sec, u"FontNameHex");
        doc.Put(sec, u"FontSize", Dec(rec->FontSize));
        doc.Put(sec, u"FontStyle", Dec(int32_t(rec->FontStyle)));
        doc.Put(sec, u"FontColor", Dec(int32_t(rec->FontColor)));
        doc.Put(sec, u"FontColorBk", Dec(int32_t(rec->FontColorBk)));
        if (kind == PageKind::Default) doc.Put(sec, u"ListType", Dec(int32_t(rec->ListType)));
    }
    if ((groups & WriteGroup::ViewState) && kind != PageKind::Default) {
        doc.Put(sec, u"Cursor", Dec(rec->Cursor));
        doc.Put(sec, u"ListType", Dec(int32_t(rec->ListType)));
        doc.Put(sec, u"PageColumnWidth", FormatColumnWidths(rec->PageColumnWidth));
        doc.Put(sec, u"PageListSort", Dec(rec->PageListSort));
    }
    if ((groups & WriteGroup::Entries) && kind == PageKind::User)
        WriteFiles(doc, sec, *rec, r.GlobalSettings.TabStyle, store.path());
    store.RequestBlankLinePass();
}

void DeletePageSection(ProfileStore& store, PageId id) {
    ProfileBatch batch(store);
    store.Doc().DeleteSection(SectionNameOf(id));
}

}  // namespace vc
