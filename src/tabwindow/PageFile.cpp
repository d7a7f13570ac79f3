#include "tabwindow/PageFile.h"

#include "common/U16.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsFile.h"

namespace vc {

namespace {

// The first line of every page file, before its section: what a person
// opening it finds.
constexpr char16_t kPageFileHeader[] = u";Vellumcraft page";

// Every key the writer puts in a page's section. A file without one of them
// was cut short or edited by hand past what can be trusted.
constexpr std::u16string_view kPageKeys[] = {u"Label",     u"Comment",     u"Files",           u"LabelColor",
                                             u"Flag",      u"Cursor",      u"ListType",        u"FontName",
                                             u"FontSize",  u"FontStyle",   u"FontColor",       u"FontColorBk",
                                             u"PageColumnWidth", u"PageListSort"};
// The keys stored as a count and one key per line.
constexpr std::u16string_view kLineKeys[] = {u"Comment", u"Files"};

// A record set holding nothing but the page: written and read with the
// settings file's own code, under the settings of `r` that shape a page,
// and with whole paths.
Records OnePageRecords(const Records& r) {
    Records one;
    one.DefaultPage = r.DefaultPage;
    one.WindowsVersion = r.WindowsVersion;
    one.GlobalSettings.TabStyle = r.GlobalSettings.TabStyle & ~TabStyleBit::DriveRelativePaths;
    one.UserPages.assign(1, PageRecord{});
    return one;
}

bool Whole(const ProfileDocument& doc, std::u16string_view section) {
    if (!doc.EndsWithLineBreak()) return false;
    for (std::u16string_view key : kPageKeys)
        if (!doc.RawValue(section, key)) return false;
    for (std::u16string_view base : kLineKeys) {
        const int32_t lines = doc.GetInt(section, base, -1);
        if (lines < 0) return false;
        for (int i = 0; i < lines; ++i)
            if (!doc.RawValue(section, std::u16string(base) + DecPadded(i, 3))) return false;
    }
    return true;
}

}  // namespace

bool WritePageFile(const Records& r, int32_t page, FileSystem& fs, const std::u16string& path) {
    if (page < 0 || size_t(page) >= r.UserPages.size()) return false;
    Records one = OnePageRecords(r);
    one.UserPages[0] = r.UserPages[size_t(page)];
    ProfileStore store(fs, path);
    {
        ProfileBatch batch(store);
        // A file chosen to be replaced that cannot be read (locked) is not
        // written over: the store leaves such a file alone.
        store.StartNewFile(kPageFileHeader);
        WritePage(one, store, 0, WriteGroup::All);
    }
    return !store.FileUnreadable() && !store.LastWriteFailed();
}

PageFileProblem ReadPageFile(const Records& r, FileSystem& fs, const std::u16string& path, PageRecord& page) {
    ProfileStore store(fs, path);
    store.SetReadOnly(true);
    ProfileBatch batch(store);
    if (store.FileAbsent() || store.FileUnreadable()) return PageFileProblem::Unreadable;
    if (!store.FileHasMark()) return PageFileProblem::NotUtf16;
    const ProfileDocument& doc = store.Doc();
    const std::u16string section = SectionNameOf(0);
    const auto names = doc.SectionNames();
    if (names.size() != 1 || !EqualsNoCase(names[0], section)) return PageFileProblem::NoPageSection;
    if (!Whole(doc, section)) return PageFileProblem::Damaged;
    Records one = OnePageRecords(r);
    LoadPage(one, store, 0);
    page = one.UserPages[0];
    page.Flag &= ~(PageFlag::MainPage | PageFlag::Unmarked);
    return PageFileProblem::None;
}

std::u16string PageFileProblemText(PageFileProblem problem) {
    switch (problem) {
    case PageFileProblem::None: return u"";
    case PageFileProblem::Unreadable: return u"ファイルを読み込めませんでした。";
    case PageFileProblem::NotUtf16:
        return u"Vellumcraft のページファイルではありません。\n（文字コードが UTF-16 ではありません）";
    case PageFileProblem::NoPageSection:
        return u"Vellumcraft のページファイルではありません。\n（ページの内容が見つかりません）";
    case PageFileProblem::Damaged:
        return u"ページファイルが壊れているため、読み込めませんでした。";
    }
    return u"";
}

std::u16string PageFileNameOf(std::u16string_view label) {
    std::u16string name(label);
    for (char16_t& c : name)
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) c = u'_';
    // Windows drops blanks and dots at a name's end.
    while (!name.empty() && (name.back() == u' ' || name.back() == u'.')) name.pop_back();
    return name.empty() ? u"Page" : name;
}

}  // namespace vc
