#include "settings/SettingsFile.h"

#include <algorithm>
#include <vector>

#include "common/U16.h"
#include "settings/PortablePaths.h"

namespace vc {

namespace {

const std::u16string kGlobalSection = u"Vellumcraft";
constexpr size_t kColumnWidthCapacity = 28;

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

namespace {

// One page record from its section of `doc` (read with or without a mark).
void LoadPageFrom(Records& r, const ProfileDocument& doc, bool mark, const std::u16string& path, PageId id) {
    PageRecord* rec = r.Page(id);
    if (!rec) return;
    const PageKind kind = KindOf(id);
    const std::u16string sec = SectionNameOf(id);
    // For the template itself, "the template" is its own built-in values.
    const PageRecord tpl = r.DefaultPage;
    if (kind == PageKind::User) r.UserPagesHeld = std::max(r.UserPagesHeld, id + 1);

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
            rec->Files = ResolveDriveRelativeLines(rec->Files, path, kFilesCapacity - 1);
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

}  // namespace

// The highest N of the [PageN] sections there are (within the page limit),
// gaps or not: 0 when there is none.
int32_t LastPageSection(const ProfileDocument& doc) {
    int32_t last = 0;
    for (std::u16string_view name : doc.SectionNames()) {
        if (name.size() < 5 || name.size() > 8 || !EqualsNoCase(name.substr(0, 4), u"Page")) continue;
        const std::u16string_view digits = name.substr(4);
        if (digits[0] == u'0' || !std::all_of(digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            continue;
        int32_t n = 0;
        for (char16_t c : digits) n = n * 10 + (c - u'0');
        if (n > last && n <= kMaxPageCount && doc.HasSection(SectionNameOf(n - 1))) last = n;
    }
    return last;
}

namespace {

// A file another program wrote while this one ran, judged against the one
// this run read before: cut short when its page sections stop before both
// its own PageCount and the last one it had (a truncated copy loses the
// pages at its end while its count, at the top, says more), or when it lost
// its [Vellumcraft] section.
bool CutShort(const ProfileDocument& before, const ProfileDocument& now) {
    if (before.HasSection(kGlobalSection) && !now.HasSection(kGlobalSection)) return true;
    const int32_t last = LastPageSection(now);
    return last < now.GetInt(kGlobalSection, u"PageCount", 0) && last < LastPageSection(before);
}

// The records of the pages the window does not show, taken from the file as
// another program left it, in place: the page pane keeps a pointer to the
// shown page's record, and the page count stays as it is for this run.
std::vector<std::u16string> TakePagesNotShown(Records& r, ProfileStore& store, const ProfileDocument& file,
                                              const std::vector<std::u16string>& changed) {
    std::vector<std::u16string> taken;
    const PageId shown = ShownPageOf(r);
    auto take = [&](PageId id) {
        const std::u16string section = SectionNameOf(id);
        auto same = [&](const std::u16string& c) { return EqualsNoCase(c, section); };
        if (id == shown || std::none_of(changed.begin(), changed.end(), same)) return;
        LoadPageFrom(r, file, store.FileHasMark(), store.path(), id);
        taken.push_back(section);
    };
    for (int32_t i = 0; i < int32_t(r.UserPages.size()); ++i) take(i);
    for (int i = 0; i < kSpecialPageCount; ++i) take(SpecialPageId(i));
    return taken;
}

}  // namespace

// A count present but 0 or not a number, or missing, or smaller than the
// page sections there are: the sections are counted rather than hidden
// behind it, up to the last even past a gap (the pages of the gap, without
// sections, are new ones), so that no write makes a hidden page appear.
int32_t PageCountOf(const ProfileDocument& doc) {
    const int32_t count = doc.GetInt(kGlobalSection, u"PageCount", 0);
    const int32_t sections = LastPageSection(doc);
    if (count <= 0) return sections > 0 ? sections : 5;
    return std::max(count, sections);
}

namespace {

void ReadGlobalSettings(GlobalRecord& g, const ProfileDocument& doc) {
    const std::u16string& sec = kGlobalSection;
    g.PageCount = PageCountOf(doc);
    g.TabStyle = uint32_t(doc.GetInt(sec, u"TabStyle", int32_t(g.TabStyle)));
    g.TabNumber = doc.GetInt(sec, u"TabNumber", g.TabNumber);
    g.xPosi = doc.GetInt(sec, u"xPosi", g.xPosi);
    g.yPosi = doc.GetInt(sec, u"yPosi", g.yPosi);
    g.xSize = doc.GetInt(sec, u"xSize", g.xSize);
    g.ySize = doc.GetInt(sec, u"ySize", g.ySize);
    g.SizeStored = doc.RawValue(sec, u"xSize") && doc.RawValue(sec, u"ySize");
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
    g.NotifyIcon = doc.GetInt(sec, u"NotifyIcon", 1) != 0;
    g.StartHidden = doc.GetInt(sec, u"StartHidden", 0) != 0;
    g.HideAfterLaunch = doc.GetInt(sec, u"HideAfterLaunch", 0) != 0;
    g.BackupGenerations =
        std::clamp<int32_t>(doc.GetInt(sec, u"BackupGenerations", kDefaultBackupGenerations), 0, kMaxBackupGenerations);
}

void GoToMainPage(Records& r) {
    GlobalRecord& g = r.GlobalSettings;
    for (int k = 0; k < r.ShownSpecialCount; ++k) {
        if (r.SpecialPages[r.ShownSpecialPages[size_t(k)]].Flag & PageFlag::MainPage) {
            g.TabNumber = k;
            return;
        }
    }
    for (int32_t i = 0; i < g.PageCount; ++i) {
        if (r.UserPages[size_t(i)].Flag & PageFlag::MainPage) {
            r.CurrentPage = i;
            g.TabNumber = TabOfPage(r, i);
            return;
        }
    }
    g.TabNumber = 0;
}

// No file, or an older file without mark: the file is made anew (the store
// keeps a backup of the old one). The template and the special pages it had
// are part of the user's settings too: they come along whole, keys the
// program does not write included (the template's column widths), and then
// get what the records hold.
void MakeFileAnew(Records& r, ProfileStore& store) {
    const ProfileDocument& doc = store.Doc();
    r.GlobalSettings.TabStyle |= TabStyleBit::StatusBar;
    std::vector<PageId> kept;
    std::u16string keptText;
    for (PageId id = SpecialPageId(0); id <= SpecialPageId(kSpecialPageCount - 1); ++id)
        if (doc.HasSection(SectionNameOf(id))) kept.push_back(id);
    if (doc.HasSection(SectionNameOf(kDefaultPageId))) kept.push_back(kDefaultPageId);
    for (PageId id : kept) keptText += doc.SectionText(SectionNameOf(id));
    store.StartNewFile(u";Vellumcraft");
    WriteGlobalSettings(r, store);
    for (int32_t i = 0; i < r.GlobalSettings.PageCount; ++i) WritePage(r, store, i, WriteGroup::All);
    store.Doc().AppendLines(keptText);
    for (PageId id : kept) WritePage(r, store, id, WriteGroup::All);
}

// What the store does with the records when it stores everything, and when
// another program changed the file.
void AttachRecords(Records& r, ProfileStore& store) {
    store.SetResync([&r](ProfileStore& s) { StoreEverything(r, s); });
    store.SetReload([&r](ProfileStore& s, const ProfileDocument& file, const std::vector<std::u16string>& changed) {
        return TakePagesNotShown(r, s, file, changed);
    });
    store.SetDamageCheck(CutShort);
}

}  // namespace

PageId ShownPageOf(const Records& r) {
    const int32_t tab = r.GlobalSettings.TabNumber;
    if (tab >= 0 && tab < r.ShownSpecialCount) return SpecialPageId(r.ShownSpecialPages[size_t(tab)]);
    return r.CurrentPage >= 0 && size_t(r.CurrentPage) < r.UserPages.size() ? r.CurrentPage : 0;
}

void LoadPage(Records& r, ProfileStore& store, PageId id) {
    ProfileBatch batch(store);
    LoadPageFrom(r, store.Doc(), store.FileHasMark(), store.path(), id);
}

void LoadDefaultPage(Records& r, ProfileStore& store) {
    if (!store.InBatch()) store.Retry();
    LoadPage(r, store, kDefaultPageId);
}

void LoadSettings(Records& r, ProfileStore& store) {
    if (!store.InBatch()) store.Retry();
    ProfileBatch batch(store);
    // A file that exists but cannot be read (held open by another program,
    // no permission) is still the user's: run on defaults, never write it.
    if (store.FileUnreadable()) store.MarkUnreadable();
    GlobalRecord& g = r.GlobalSettings;
    ReadGlobalSettings(g, store.Doc());
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
    if (g.TabStyle & TabStyleBit::StartOnMainPage) GoToMainPage(r);
    r.CurrentPage = PageOfTab(r, g.TabNumber);

    AttachRecords(r, store);
    if (!store.FileHasMark()) MakeFileAnew(r, store);
}

bool ReloadSettings(Records& r, ProfileStore& store) {
    if (store.InBatch()) return false;
    Records fresh = r;
    fresh.DefaultPage = BuiltInDefaultPage();
    fresh.GlobalSettings = GlobalRecord{};
    fresh.UserPagesHeld = 0;
    store.Retry();
    {
        ProfileBatch batch(store);
        LoadPage(fresh, store, kDefaultPageId);
        LoadSettings(fresh, store);
    }
    const bool reads = !store.ShutOut();
    if (reads) r = std::move(fresh);
    AttachRecords(r, store);
    return reads;
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
    // Sections of pages this run had and no longer has. A section it never
    // loaded (a second section of one name) is not its to remove.
    for (int32_t i = int32_t(r.UserPages.size()); i < r.UserPagesHeld; ++i)
        store.Doc().DeleteSection(SectionNameOf(i));
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
    // Keys added later are written last, where older copies of the program
    // pass over them.
    doc.Put(sec, u"NotifyIcon", Dec(g.NotifyIcon ? 1 : 0));
    doc.Put(sec, u"StartHidden", Dec(g.StartHidden ? 1 : 0));
    doc.Put(sec, u"HideAfterLaunch", Dec(g.HideAfterLaunch ? 1 : 0));
    doc.Put(sec, u"BackupGenerations", Dec(g.BackupGenerations));
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
