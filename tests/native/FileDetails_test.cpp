// The texts the page view shows for an entry: offsets, size, date, location,
// display name and type.
#include <gtest/gtest.h>

#include "pageview/FileDetails.h"

namespace vc {
namespace {

TEST(Offsets, NameAndTypeOfPathShapes) {
    const struct { const char16_t* path; bool folder; uint16_t name; int16_t type; } cases[] = {
        {u"C:\\Tools\\run.exe", false, 9, 13},
        {u"C:\\Tools\\archive.tar.gz", false, 9, 21},
        {u"C:\\Tools\\README", false, 9, 0},
        {u"C:\\Tools\\name.", false, 9, 0},
        {u"C:\\v1.2\\README", false, 8, 0},  // a folder's dot is no type
        {u"C:\\v1.2\\", false, 0, 0},        // nothing after the last "\"
        {u"C:\\x\\.profile", false, 5, 6},
        {u"README", false, 0, 0},
        {u"run.exe", false, 0, 4},
        {u"", false, 0, 0},
        {u"C:\\Tools\\my.dir", true, 9, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        FileEntry e;
        e.Path = c.path;
        SetOffsets(e, c.folder);
        EXPECT_EQ(e.NameOffset, c.name);
        EXPECT_EQ(e.TypeOffset, c.type);
        EXPECT_EQ(TypeText(e), c.folder ? u"---" : c.type ? e.Path.substr(size_t(c.type)) : u"");
    }
    FileEntry damaged;  // an offset past the text gives no type, not a fault
    damaged.Path = u"C:\\run.exe";
    damaged.TypeOffset = 200;
    EXPECT_EQ(TypeText(damaged), u"");
}

TEST(SizeText, UnitsStepByThousandFromTenThousand) {
    const struct { int64_t size; const char16_t* text; } cases[] = {
        {0, u"0 B"}, {9999, u"9999 B"}, {10000, u"10 kB"}, {12345, u"12 kB"},
        {9999999, u"9999 kB"}, {10000000, u"10 MB"}, {1234567890, u"1234 MB"},
        {9999999999999, u"9999 GB"}, {10000000000000, u"10 TB"}, {9999999999999999, u"9999 TB"},
        // Past the last unit the number grows instead of the text vanishing.
        {10000000000000000, u"10000 TB"}, {INT64_MAX, u"9223372 TB"}, {-123456, u"-123456 B"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.size, u"", kSizeColumnCapacity), c.text) << c.size;
    EXPECT_EQ(SizeText(12345, kSizePrefix, 64), u"サイズ : 12 kB");
    EXPECT_EQ(SizeText(12345, u"", 5), u"12 k");  // four units and the terminator
    EXPECT_EQ(SizeColumnText(true, 12345), u"---");
}

CalendarTime At(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute) {
    CalendarTime t;
    t.Year = year, t.Month = month, t.Day = day, t.Hour = hour, t.Minute = minute, t.Second = 59;
    return t;
}

TEST(DateText, UnknownTimesDashesKnownTimesDateBlankTime) {
    EXPECT_EQ(DateText(std::nullopt, true, 64), u"-----");
    // A time of 0 is 1601 in every zone: never known.
    EXPECT_EQ(DateText(At(1601, 12, 31, 23, 59), true, 64), u"-----");
    EXPECT_EQ(DateText(std::nullopt, false, 3), u"--");
    EXPECT_EQ(DateText(At(1602, 1, 1, 0, 0), false, 64), u"1602/01/01 0:00");
    EXPECT_EQ(DateText(At(2024, 12, 31, 23, 9), true, 64), u"更新日 : 2024/12/31 23:09");
    EXPECT_EQ(DateText(At(2024, 3, 5, 9, 7), true, 11), u"更新日 : 2024");
    DateTimeFormat other = {[](const CalendarTime&) { return std::u16string(u"D"); },
                            [](const CalendarTime&) { return std::u16string(u"T"); }};
    EXPECT_EQ(DateText(At(2024, 3, 5, 9, 7), false, 64, other), u"D T");
}

KnownFolderPaths Folders(std::initializer_list<std::pair<int, const char16_t*>> rows) {
    KnownFolderPaths f;
    for (const auto& [csidl, path] : rows)
        for (size_t r = 0; r < kKnownFolderCount; ++r)
            if (KnownFolderTable[r].Csidl == csidl) f[r] = path;
    return f;
}

TEST(Location, WellKnownFoldersAreBracketed) {
    const KnownFolderPaths machine = Folders({
        {5, u"C:\\Users\\me\\Documents"}, {46, u"C:\\Users\\Public\\Documents"},
        {38, u"C:\\Program Files"}, {43, u"C:\\Program Files\\Common Files"},
        {37, u"C:\\Windows\\system32"}, {36, u"C:\\Windows"},
    });
    const struct { const char16_t* location; const char16_t* text; } cases[] = {
        {u"C:\\Users\\me\\Documents\\Work", u"[Documents]  > Work"},
        {u"C:\\Users\\me\\Documents", u"[Documents] "},
        {u"D:\\Data\\2024", u"D: > Data > 2024"},
        {u"C:", u"C:"},
        {u"C:\\Users\\Public\\Documents\\a", u"[All Documents]  > a"},
        {u"C:\\Program Files\\Common Files\\x", u"[Program Files]  > Common Files > x"},  // row order
        {u"C:\\Windows\\system32\\drivers", u"[System]  > drivers"},
        {u"\\\\?\\C:\\Users\\me\\Documents\\a", u"[Documents]  > a"},  // found anywhere
        {u"c:\\users\\me\\documents", u"c: > users > me > documents"},  // case matters
        // Only whole folders: a sibling that merely begins alike is not one.
        {u"C:\\Users\\me\\Documents2\\a", u"C: > Users > me > Documents2 > a"},
        {u"C:\\Windows2", u"C: > Windows2"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocationText(c.location, machine), c.text) << (&c - cases);
    EXPECT_EQ(LocationText(u"C:\\Windows", KnownFolderPaths{}), u"C: > Windows");  // none known
    EXPECT_EQ(LocationText(u"\\\\server\\share\\作業", {}), u"\\\\server > share > 作業");
    // A documents folder moved to a drive root keeps its final "\".
    EXPECT_EQ(LocationText(u"D:\\Data", Folders({{5, u"D:\\"}})), u"[Documents] Data");
    EXPECT_EQ(ContainingFolder(u"C:\\Tools\\run.exe"), u"C:\\Tools");
    EXPECT_EQ(ContainingFolder(u"C:\\run.exe"), u"C:");
    EXPECT_EQ(ContainingFolder(u"run.exe"), u"");
}

TEST(Location, LongTextsAreCutAt259Units) {
    std::u16string deep = u"C:";
    for (int i = 0; i < 80; ++i) deep += u"\\ab";  // 242 units that grow to 402
    std::u16string text = LocationText(deep, {});
    EXPECT_EQ(text.size(), kLocationMax);
    EXPECT_EQ(text.substr(0, 13), u"C: > ab > ab ");
    // "C: > x" is even, so a surrogate pair lies across the cut: both go.
    std::u16string pairs = u"C:\\x";
    while (pairs.size() < 400) pairs += u"\U0001F600";
    text = LocationText(pairs, {});
    EXPECT_EQ(text.size(), kLocationMax - 1);
    EXPECT_EQ(text.back(), 0xDE00);
}

TEST(DisplayName, ExtensionsAndRecentShortcuts) {
    PageRecord hidden, shown, recent, recentShown, startupShown;
    shown.ListType = ListTypeBit::ShowExtensions | ViewDetails;
    recent.FolderId = kRecentFolderId;
    recentShown.FolderId = kRecentFolderId;
    recentShown.ListType = ListTypeBit::ShowExtensions;
    startupShown.FolderId = 7;
    startupShown.ListType = ListTypeBit::ShowExtensions;
    const struct { const PageRecord& page; const char16_t* name; bool folder; const char16_t* shown; } cases[] = {
        {hidden, u"report.final.docx", false, u"report.final"},
        {shown, u"report.final.docx", false, u"report.final.docx"},
        {hidden, u"README", false, u"README"},
        {hidden, u".profile", false, u".profile"},         // nothing would be left
        {hidden, u"Project v1.2", true, u"Project v1.2"},  // folders have no extension
        {recentShown, u"budget.xlsx.lnk", false, u"budget.xlsx"},
        {recentShown, u"Copy (2).txt", false, u"Copy"},
        {recentShown, u"a.lnk.b.lnk", false, u"a"},
        {recentShown, u"Budget.LNK", false, u"Budget.LNK"},
        {recent, u"budget.xlsx.lnk", false, u"budget.xlsx"},
        {startupShown, u"Copy (2).txt.lnk", false, u"Copy (2).txt.lnk"},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayName(c.name, c.page, c.folder), c.shown) << (&c - cases);
}

}  // namespace
}  // namespace vc
