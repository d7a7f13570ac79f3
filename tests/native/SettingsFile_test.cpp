// Loading and writing the records: what a user's settings file looks like
// after each operation, and what the program reads back from it.
#include <gtest/gtest.h>

#include "settings/SettingsFile.h"
#include "support/MemoryFileSystem.h"
#include "support/Cp932.h"
#include "support/FirstStartFile.h"
#include "support/Utf16File.h"
#include "tabwindow/PageManagement.h"

namespace vc {
namespace {

using test::TextOf;
using test::Utf16LE;
using test::FirstStartText;
using test::kGlobalSection;

const std::u16string kPath = u"C:\\vc\\Vellumcraft.vcset";
const std::u16string kBackup = u"C:\\vc\\Vellumcraft_Backup.vcset";

class SettingsFileTest : public ::testing::Test {
protected:
    test::MemoryFileSystem fs;
    ProfileStore store{fs, kPath};
    Records r;

    void Load() {
        r = Records{};
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
    }
    std::u16string Text() { return TextOf(fs.files[kPath]); }
    void Put(std::u16string_view text) { fs.files[kPath] = Utf16LE(text); }
};

TEST_F(SettingsFileTest, FirstStartCreatesTheWholeFileInOneWrite) {
    Load();
    EXPECT_EQ(fs.replaces, 1);
    EXPECT_EQ(fs.files[kPath].substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Text(), FirstStartText());
    EXPECT_FALSE(fs.files.count(kBackup));  // nothing to back up
    EXPECT_EQ(r.UserPages.size(), 5u);
    EXPECT_EQ(r.UserPages[2].Label, u"Page3");
    EXPECT_EQ(r.UserPages[2].Comment, u"Page3 コメント");
    EXPECT_EQ(r.ShownSpecialCount, 3);  // desktop, recent files and documents
    EXPECT_EQ(r.ShownSpecialPages[1], 1);
    EXPECT_EQ(r.ShownSpecialPages[2], 4);
}

TEST_F(SettingsFileTest, SecondLoadReadsOnceAndWritesNothing) {
    Load();
    std::string before = fs.files[kPath];
    int reads = store.ReadCount();
    Load();
    EXPECT_EQ(fs.replaces, 1);
    EXPECT_EQ(fs.files[kPath], before);
    EXPECT_EQ(store.ReadCount(), reads + 2);  // template, then everything else in one read
}

TEST_F(SettingsFileTest, EntriesAreStoredAsLineKeysAndShrinkAndGrow) {
    Load();
    PageRecord& p = r.UserPages[0];
    p.Files = u"C:\\a.txt\r\nC:\\b.exe\r\n";
    WritePage(r, store, 0, WriteGroup::Entries);
    EXPECT_NE(Text().find(u"Files000=C:\\a.txt\r\nFiles001=C:\\b.exe\r\nFiles002=\r\nFiles=3\r\n\r\n[Page2]"),
              std::u16string::npos);

    p.Files = u"1\r\n2\r\n3\r\n4\r\n";
    WritePage(r, store, 0, WriteGroup::Entries);
    p.Files = u"x\r\ny\r\n";
    WritePage(r, store, 0, WriteGroup::Entries);
    std::u16string t = Text();
    EXPECT_NE(t.find(u"Files000=x\r\nFiles001=y\r\nFiles002=\r\nFiles=3\r\n\r\n[Page2]"), std::u16string::npos) << test::Narrow(t);
    EXPECT_EQ(t.find(u"Files003"), std::u16string::npos);
    EXPECT_EQ(t.find(u"Files004"), std::u16string::npos);

    Load();
    EXPECT_EQ(r.UserPages[0].Files, u"x\r\ny\r\n");
    EXPECT_EQ(r.UserPages[1].Files, u"");
}

TEST_F(SettingsFileTest, CommentKeepsFiveLinesAndLabelIsCut) {
    Load();
    r.UserPages[1].Comment = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7";
    r.UserPages[1].Label = std::u16string(40, u'L');
    WritePage(r, store, 1, WriteGroup::Look);
    Load();
    EXPECT_EQ(r.UserPages[1].Comment, u"1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_EQ(r.UserPages[1].Label, std::u16string(31, u'L'));
    EXPECT_EQ(Text().find(u"Comment005"), std::u16string::npos);
}

TEST_F(SettingsFileTest, WriteGroupsTouchOnlyTheirKeys) {
    Load();
    PageRecord& p = r.UserPages[0];
    p.Cursor = 7;
    p.FontSize = 20;
    p.Files = u"C:\\x\r\n";
    WritePage(r, store, 0, WriteGroup::ViewState);
    Load();
    EXPECT_EQ(r.UserPages[0].Cursor, 7);
    EXPECT_EQ(r.UserPages[0].FontSize, 13);
    EXPECT_EQ(r.UserPages[0].Files, u"");
    // The template stores its view mode with the look, never a cursor.
    r.DefaultPage.ListType = 3;
    r.DefaultPage.Cursor = 9;
    WritePage(r, store, kDefaultPageId, WriteGroup::All);
    std::u16string t = Text();
    size_t def = t.find(u"[Page-Default]\r\n");
    ASSERT_NE(def, std::u16string::npos);
    EXPECT_NE(t.find(u"ListType=3", def), std::u16string::npos);
    EXPECT_EQ(t.find(u"Cursor", def), std::u16string::npos);
    EXPECT_EQ(t.find(u"\r\nLabel=", def), std::u16string::npos);
    // 0xFF means every group.
    r.UserPages[2].Files = u"C:\\y\r\n";
    WritePage(r, store, 2, 0xFF);
    Load();
    EXPECT_EQ(r.UserPages[2].Files, u"C:\\y\r\n");
    EXPECT_EQ(r.DefaultPage.ListType, 3u);
}

TEST_F(SettingsFileTest, MissingPageDefaultGivesBuiltInTemplate) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\n[Page2]\r\nLabel=Two\r\n");
    Load();
    const PageRecord& p = r.UserPages[0];
    EXPECT_EQ(p.Label, u"Page1");
    EXPECT_EQ(p.LabelColor, 6);
    EXPECT_EQ(p.FontName, u"MS UI Gothic");
    EXPECT_EQ(p.FontSize, 13);
    EXPECT_EQ(p.FontColor, 0x002020u);
    EXPECT_EQ(p.FontColorBk, 0xE8E8E8u);
    EXPECT_EQ(p.PageColumnWidth, (std::array<int32_t, 6>{190, 160, 75, 95, 75, 0}));
    EXPECT_EQ(p.PageListSort, 1);
    EXPECT_EQ(r.UserPages[1].Label, u"Two");
    EXPECT_EQ(fs.replaces, 0);
}

TEST_F(SettingsFileTest, PageDefaultSuppliesNewPages) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n[Page-Default]\r\nLabelColor=9\r\nFontSize=20\r\n"
        u"ListType=2\r\nPageColumnWidth=10,20,30,40,50,\r\n");
    Load();
    EXPECT_EQ(r.DefaultPage.LabelColor, 9);
    EXPECT_EQ(r.DefaultPage.Label, u"Page-Default");
    EXPECT_EQ(r.DefaultPage.Comment, u"Page65536 コメント");
    EXPECT_EQ(r.UserPages[0].LabelColor, 9);
    EXPECT_EQ(r.UserPages[0].FontSize, 20);
    EXPECT_EQ(r.UserPages[0].ListType, 2u);
    EXPECT_EQ(r.UserPages[0].PageColumnWidth, (std::array<int32_t, 6>{10, 20, 30, 40, 50, 0}));
}

TEST_F(SettingsFileTest, ColumnWidthsFallBackPerPosition) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\n[Page1]\r\nPageColumnWidth=0,0,0,0,0,\r\n"
        u"[Page2]\r\nPageColumnWidth=200\r\n[Page3]\r\nPageColumnWidth= -5 ,x,7,,8,9,10\r\n");
    Load();
    EXPECT_EQ(r.UserPages[0].PageColumnWidth, (std::array<int32_t, 6>{190, 160, 75, 95, 75, 0}));
    EXPECT_EQ(r.UserPages[1].PageColumnWidth, (std::array<int32_t, 6>{200, 160, 75, 95, 75, 0}));  // never 0 wide
    EXPECT_EQ(r.UserPages[2].PageColumnWidth, (std::array<int32_t, 6>{-5, 160, 7, 95, 8, 9}));
    std::array<int32_t, 6> w{1, 2, 3, 4, 5, 6};
    ParseColumnWidths(u"200", BuiltInDefaultPage().PageColumnWidth, w);
    EXPECT_EQ(w, (std::array<int32_t, 6>{200, 2, 3, 4, 5, 6}));
}

TEST_F(SettingsFileTest, HexCompanions) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nTabFontNameHex=30e130a4\r\n"
        u"[Page1]\r\nFontNameHex=004D0053\r\n"
        u"[Page2]\r\nFontName=Arial\r\nFontNameHex=004d0053\r\n"
        u"[Page3]\r\nFontNameHex=" + std::u16string(520, u'0') + u"\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.TabFontName, u"メイ");
    EXPECT_EQ(r.UserPages[0].FontName, u"MS");
    EXPECT_EQ(r.UserPages[1].FontName, u"MS");  // the companion wins
    EXPECT_EQ(r.UserPages[2].FontName, u"");  // a companion of zeros names no font
    EXPECT_EQ(DecodeHex(u"00410zz2004"), u"A\x0002");  // a group cut short names no character
    EXPECT_EQ(DecodeHex(u"0041000000420043"), u"A");
    std::u16string longHex;
    for (int i = 0; i < 130; ++i) longHex += u"0058";
    EXPECT_EQ(DecodeHex(longHex).size(), 130u);
}

TEST_F(SettingsFileTest, FileWithoutMarkIsConvertedOnceWithBackup) {
    // Shift_JIS, as a Japanese system reads it: 仕事, 写真, ＭＳ Ｐゴシック.
    fs.ansi = test::DecodeCp932;
    std::string old = "[Vellumcraft]\r\nPageCount=2\r\nTabStyle=256\r\nTabFontName=\x82\x6c\x82\x72 \x82\x6f"
                      "\x83\x53\x83\x56\x83\x62\x83\x4e\r\n[Page1]\r\nLabelHex=30da30fc30b8\r\n"
                      "Label=ignored\r\nComment=1\r\nComment000Hex=0041\r\nFiles=2\r\nFiles000=C:\\\x8e\xca\x90\x5e\\a.jpg\r\n"
                      "Files001=\r\n[Page2]\r\nLabel=\x8e\x64\x8e\x96\r\n"
                      "[SpcialPage1]\r\nFontSize=30\r\n[Page-Default]\r\nFontSize=14\r\n";
    fs.files[kPath] = old;
    Load();
    EXPECT_EQ(fs.files[kBackup], old);
    EXPECT_EQ(fs.files[kPath].substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(r.GlobalSettings.TabStyle, 256u | 0x10000u);
    EXPECT_EQ(r.GlobalSettings.TabFontName, u"ＭＳ Ｐゴシック");
    EXPECT_EQ(r.UserPages[0].Label, u"ページ");
    EXPECT_EQ(r.UserPages[0].Comment, u"A");
    EXPECT_EQ(r.UserPages[0].Files, u"C:\\写真\\a.jpg\r\n");
    EXPECT_EQ(r.UserPages[1].Label, u"仕事");
    EXPECT_EQ(r.UserPages[1].FontSize, 14);
    // The special page and the template come along with what was read.
    Records again;
    LoadDefaultPage(again, store);
    LoadSettings(again, store);
    EXPECT_EQ(again.SpecialPages[0].FontSize, 30);
    EXPECT_EQ(again.DefaultPage.FontSize, 14);
    EXPECT_EQ(again.UserPages, r.UserPages);
    EXPECT_EQ(again.GlobalSettings.TabFontName, u"ＭＳ Ｐゴシック");

    // A second conversion (the file lost its mark again) keeps the first backup.
    fs.files[kPath] = "[Vellumcraft]\r\nPageCount=1\r\n";
    Load();
    EXPECT_EQ(fs.files[kBackup], old);
}

TEST_F(SettingsFileTest, DamagedCountsAreKeptWithinReason) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=0\r\nTabNumber=-3\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.PageCount, 5);  // as without a count: no sections, five pages
    EXPECT_EQ(r.UserPages.size(), 5u);
    EXPECT_EQ(r.GlobalSettings.TabNumber, 0);
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2000000000\r\nTabNumber=5\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.PageCount, kMaxPageCount);
    EXPECT_EQ(r.GlobalSettings.TabNumber, 5);
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=-7\r\nTabNumber=5\r\nSpcialFolder=0\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.PageCount, 5);
    EXPECT_EQ(r.GlobalSettings.TabNumber, 0);  // 5 is past the five pages
    // A count not a number or smaller than the sections hides none of them;
    // storing everything later removes the section this run removed, not
    // the second one of that name it never loaded.
    for (std::u16string count : {u"x", u"1"}) {
        Put(u";V\r\n[Vellumcraft]\r\nPageCount=" + count + u"\r\n[Page1]\r\n[Page2]\r\n[Page3]\r\nLabel=C\r\n[Page3]\r\n");
        Load();
        ASSERT_EQ(r.UserPages.size(), 3u);
        EXPECT_EQ(r.UserPages[2].Label, u"C");
    }
    fs.failWritesAfter = fs.replaces;
    DeletePage(r, store, 0);
    fs.failWritesAfter = -1;
    WriteGlobalSettings(r, store);
    EXPECT_EQ(Text().find(u"[Page3]"), Text().rfind(u"[Page3]"));
    EXPECT_NE(Text().find(u"[Page3]"), std::u16string::npos);
}

TEST_F(SettingsFileTest, LineCountsLargerThanTheFieldAreBounded) {
    std::u16string files = u"[Page1]\r\nFiles=100000\r\nComment=9\r\n";
    for (int i = 0; i < 7; ++i) files += u"Comment00" + Dec(i) + u"=c" + Dec(i) + u"\r\n";
    for (int i = 0; i < 300; ++i) files += u"Files" + DecPadded(i, 3) + u"=" + std::u16string(250, u'p') + u"\r\n";
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n" + files);
    Load();
    EXPECT_EQ(r.UserPages[0].Comment, u"c0\r\nc1\r\nc2\r\nc3\r\nc4");
    // Whole lines only: 207 lines of 250 units and their separators fit
    // within 52399 units, the 208th would not.
    EXPECT_EQ(r.UserPages[0].Files.size(), 207u * 250u + 206u * 2u);
    std::u16string longComment = u"[Page1]\r\nComment=2\r\nComment000=" + std::u16string(150, u'a') +
                                 u"\r\nComment001=b\r\n";
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n" + longComment);
    Load();
    EXPECT_EQ(r.UserPages[0].Comment, std::u16string(99, u'a'));
}

TEST_F(SettingsFileTest, StartOnMainPage) {
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=4\r\nTabStyle=8388608\r\nSpcialFolder=3\r\n"
        u"[Page1]\r\nFlag=8192\r\n[Page3]\r\nFlag=32768\r\n");
    Load();
    EXPECT_EQ(r.CurrentPage, 2);
    EXPECT_EQ(r.GlobalSettings.TabNumber, 2 + 1);  // two special tabs, page 1 hidden
    EXPECT_EQ(r.GlobalSettings.HotKey, 0x0620);    // none in the file: Ctrl+Alt+Space
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=4\r\nTabStyle=8388608\r\nSpcialFolder=3\r\nTabNumber=4\r\n"
        u"[SpcialPage2]\r\nFlag=32768\r\n[Page3]\r\nFlag=32768\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.TabNumber, 1);
    EXPECT_EQ(r.CurrentPage, -1);
}

TEST_F(SettingsFileTest, DeletingASectionAndWritingGlobals) {
    Load();
    r.GlobalSettings.LayerWindowLevel = -1;
    r.GlobalSettings.SpcialRecentFileNum = 65535;
    r.GlobalSettings.TabStyle = 0x80000000u;
    r.GlobalSettings.HotKey = 0;  // none, which must not read back as the default
    WriteGlobalSettings(r, store);
    DeletePageSection(store, 4);
    std::u16string t = Text();
    EXPECT_NE(t.find(u"LayerWindowLevel=-1\r\n"), std::u16string::npos);
    EXPECT_NE(t.find(u"SpcialRecentFileNum=65535\r\n"), std::u16string::npos);
    EXPECT_NE(t.find(u"TabStyle=-2147483648\r\n"), std::u16string::npos);
    EXPECT_EQ(t.find(u"[Page5]"), std::u16string::npos);
    Load();
    EXPECT_EQ(r.GlobalSettings.TabStyle, 0x80000000u);
    EXPECT_EQ(r.GlobalSettings.HotKey, 0);
    EXPECT_EQ(r.UserPages[4].Label, u"Page5");  // the section is gone, defaults remain
}

TEST_F(SettingsFileTest, BatchesReadOnceAndWriteOnce) {
    Load();
    int reads = store.ReadCount(), writes = fs.replaces;
    {
        ProfileBatch batch(store);
        for (int i = 0; i < 5; ++i) {
            r.UserPages[size_t(i)].Cursor = i + 1;
            WritePage(r, store, i, WriteGroup::All);
        }
        WriteGlobalSettings(r, store);
    }
    EXPECT_EQ(store.ReadCount(), reads + 1);
    EXPECT_EQ(fs.replaces, writes + 1);
}

TEST_F(SettingsFileTest, UnwritableOrUnreadableFilesStayIntact) {
    Load();
    std::string before = fs.files[kPath];
    fs.readOnly.insert(kPath);
    r.UserPages[0].Files = u"C:\\new\r\n";
    WritePage(r, store, 0, WriteGroup::All);
    EXPECT_EQ(fs.files[kPath], before);
    EXPECT_TRUE(store.LastWriteFailed());
    EXPECT_EQ(r.UserPages[0].Files, u"C:\\new\r\n");  // the records are kept
    fs.readOnly.clear();

    // Held open by another program at start-up: run on defaults, never write
    // them over the user's file, not even once it can be read again.
    fs.locked.insert(kPath);
    Load();
    EXPECT_EQ(r.UserPages.size(), 5u);
    fs.locked.clear();
    WriteGlobalSettings(r, store);
    WritePage(r, store, 0, WriteGroup::All);
    EXPECT_EQ(fs.files[kPath], before);
    EXPECT_FALSE(fs.files.count(kBackup));
}

TEST_F(SettingsFileTest, HandEditsAndDamageHideNothing) {
    // Counts missing, damaged or too small: the line keys that are there are
    // read, and written back without losing one.
    std::u16string page1 = u"[Page1]\r\nComment=x\r\nComment000=a\r\nComment001=b\r\n"
                           u"Files000=C:\\1\r\nFiles001=C:\\2\r\nFiles002=C:\\3\r\n";
    Put(u";Vellumcraft\r\n[Vellumcraft]\r\nLayerWindowLevel=0\r\nTabFontNameHex=0041\r\n" + page1 +
        u"FontNameHex=0042\r\n[Page2]\r\nFiles=1\r\nFiles000=C:\\4\r\nFiles001=C:\\5\r\n[Page3]\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.PageCount, 3);  // counted from the sections
    EXPECT_EQ(r.GlobalSettings.LayerWindowLevel, kMinLayerWindowLevel);
    EXPECT_EQ(r.UserPages[0].Comment, u"a\r\nb");
    EXPECT_EQ(r.UserPages[0].Files, u"C:\\1\r\nC:\\2\r\nC:\\3");
    EXPECT_EQ(r.UserPages[1].Files, u"C:\\4\r\nC:\\5");
    EXPECT_EQ(r.UserPages[0].FontName, u"B");
    WritePage(r, store, 0, WriteGroup::All);
    WritePage(r, store, 1, WriteGroup::All);
    WriteGlobalSettings(r, store);
    const std::u16string t = Text();
    EXPECT_EQ(t.find(u"Hex="), std::u16string::npos);  // companions go when their key is written
    Records back = r;
    Load();
    EXPECT_EQ(r.UserPages, back.UserPages);
    EXPECT_EQ(r.GlobalSettings.TabFontName, u"A");

    // A file larger than any the program writes, or of millions of lines,
    // is unreadable: the run goes on with defaults and never replaces it.
    for (std::string huge : {std::string(kMaxSettingsFileBytes + 2, ' '), Utf16LE(std::u16string(3000000, u'\n'))}) {
        fs.files[kPath] = huge;
        Load();
        WriteGlobalSettings(r, store);
        EXPECT_EQ(fs.files[kPath].size(), huge.size());
        EXPECT_EQ(r.UserPages.size(), 5u);
    }
    Put(u"[Vellumcraft]\r\nLayerWindowLevel=4000\r\n");
    Load();
    EXPECT_EQ(r.GlobalSettings.LayerWindowLevel, 255);
    // Line breaks are counted in the text, not in bytes: U+0A00 is none.
    Put(u"[Vellumcraft]\r\nTabFontName=" + std::u16string(2100000, u'\x0A00') + u"\r\n");
    Load();
    EXPECT_FALSE(store.ReadOnly());
}

// The folder of the file is missing at start-up (a drive not plugged in):
// the run goes on with defaults, and a file that turns up there later, never
// read by this run, is not written over.
TEST_F(SettingsFileTest, AFileThatTurnsUpLaterIsNotWrittenOver) {
    fs.readOnly.insert(kPath);  // the create fails
    Load();
    EXPECT_FALSE(fs.files.count(kPath));
    fs.readOnly.clear();
    const std::string theirs = Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n");
    fs.files[kPath] = theirs;
    r.UserPages[0].Files = u"C:\\mine\r\n";
    WritePage(r, store, 0, WriteGroup::All);
    WriteGlobalSettings(r, store);
    EXPECT_EQ(fs.files[kPath], theirs);
    EXPECT_FALSE(AddPage(r, store));
    // Nor is one that turns up while a batch that found none is open.
    ProfileStore other(fs, u"C:\\vc\\Other.vcset");
    {
        ProfileBatch batch(other);
        other.StartNewFile(u";Vellumcraft");
        fs.files[other.path()] = theirs;
    }
    EXPECT_EQ(fs.files[other.path()], theirs);
}

TEST_F(SettingsFileTest, InterruptedReplaceLeavesTheOldFile) {
    Load();
    std::string before = fs.files[kPath];
    SetBeforeReplaceHook([](const std::u16string&) { return false; });
    r.GlobalSettings.xPosi = 1;
    WriteGlobalSettings(r, store);
    SetBeforeReplaceHook(nullptr);
    EXPECT_EQ(fs.files[kPath], before);
    EXPECT_NE(TextOf(store.UnwrittenBytes()).find(u"xPosi=1\r\n"), std::u16string::npos);  // to offer at close
    WriteGlobalSettings(r, store);
    EXPECT_NE(fs.files[kPath], before);
    EXPECT_EQ(store.UnwrittenBytes(), "");
}

// Another program writes the file while this one runs: what it wrote
// survives, the pages not shown take it in place, and what this run
// changed (the shown page, a key changed on both sides) reaches the file.
TEST_F(SettingsFileTest, AnotherProgramsChangesSurvive) {
    Put(u";V\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=0\r\n[Page1]\r\nLabel=A\r\n[Page2]\r\nLabel=B\r\n"
        u"[Page3]\r\nFiles=1\r\nFiles000=C:\\1\r\n");
    Load();
    StoreEverything(r, store);
    const PageRecord* shown = &r.UserPages[0];
    ProfileDocument theirs = ProfileDocument::FromBytes(fs.files[kPath]);
    theirs.Put(u"Page1", u"Label", u"A outside");
    theirs.Put(u"Page2", u"Label", u"B outside");
    theirs.Put(u"Page3", u"Files001", u"C:\\2");
    theirs.Put(u"Page3", u"Files", u"2");
    for (const char16_t* key : {u"xPosi", u"yPosi"}) theirs.Put(u"Vellumcraft", key, u"7");
    fs.files[kPath] = theirs.ToBytes();
    const int writes = fs.replaces;
    StoreEverything(r, store);
    EXPECT_EQ(fs.replaces, writes);  // nothing this run changed differs from the file
    EXPECT_EQ(&r.UserPages[0], shown);
    EXPECT_EQ(r.UserPages[0].Label, u"A");
    EXPECT_EQ(r.UserPages[1].Label, u"B outside");
    EXPECT_EQ(r.UserPages[2].Files, u"C:\\1\r\nC:\\2");
    r.UserPages[0].Comment = u"mine";
    r.GlobalSettings.xPosi = 3;
    WritePage(r, store, 0, WriteGroup::All);
    WriteGlobalSettings(r, store);
    Records back;
    ProfileStore fresh(fs, kPath);
    LoadDefaultPage(back, fresh);
    LoadSettings(back, fresh);
    EXPECT_EQ(back.UserPages[0].Label, u"A outside");
    EXPECT_EQ(back.UserPages[0].Comment, u"mine");
    EXPECT_EQ(back.UserPages[1].Label, u"B outside");
    EXPECT_EQ(back.UserPages[2].Files, u"C:\\1\r\nC:\\2");
    EXPECT_EQ(back.GlobalSettings.xPosi, 3);
    EXPECT_EQ(back.GlobalSettings.yPosi, 7);
}

// A file that reads empty, cut short or without its [Vellumcraft] section,
// where a whole one was read, is left as it is; once whole again, this
// run's change goes in.
TEST_F(SettingsFileTest, ADamagedReadWritesNothing) {
    Load();
    const std::string whole = fs.files[kPath];
    std::u16string renamed = Text();
    renamed.replace(renamed.find(u"[Vellumcraft]"), 13, u"[Other]");
    const std::string damaged[] = {"", Utf16LE(u"\r\n"), whole.substr(0, whole.size() - 4), whole.substr(0, whole.size() - 1),
                                   whole.substr(0, whole.find(Utf16LE(u"[Page4]", false))), Utf16LE(renamed)};
    r.UserPages[0].Files = u"C:\\new\r\n";
    for (const std::string& bytes : damaged) {
        fs.files[kPath] = bytes;
        WritePage(r, store, 0, WriteGroup::All);
        EXPECT_EQ(fs.files[kPath], bytes);
    }
    fs.files[kPath] = whole;
    WriteGlobalSettings(r, store);
    EXPECT_NE(Text().find(u"Files000=C:\\new\r\n"), std::u16string::npos);
}

// UTF-8 and UTF-16 without a mark read as what they are; each conversion
// keeps the bytes it replaces under a backup name of its own, mid-run too,
// and a file with nothing in it takes none.
TEST_F(SettingsFileTest, FilesWithoutMarkAreReadAndKept) {
    fs.files[kPath] = "";
    Load();
    EXPECT_FALSE(fs.files.count(kBackup));
    const std::string utf8 = ToUtf8(u"[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\nLabel=仕事\r\n");
    const std::string utf16 = Utf16LE(u";V\r\n[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\nLabel=写真\r\n", false);
    const std::string ansi = "[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\nLabel=x\r\n";
    fs.files[kPath] = utf8;
    Load();
    EXPECT_EQ(r.UserPages[0].Label, u"仕事");
    fs.files[kPath] = utf16;
    Load();
    EXPECT_EQ(r.UserPages[0].Label, u"写真");
    fs.files[kPath] = ansi;
    r.GlobalSettings.xPosi = 1;
    WriteGlobalSettings(r, store);
    EXPECT_EQ(fs.files[kBackup], utf8);
    EXPECT_EQ(fs.files[u"C:\\vc\\Vellumcraft_Backup2.vcset"], utf16);
    EXPECT_EQ(fs.files[u"C:\\vc\\Vellumcraft_Backup3.vcset"], ansi);
    EXPECT_NE(Text().find(u"xPosi=1\r\n"), std::u16string::npos);
}

// Read-only because its file could not be read at start, a store reads it
// no more, until the program asks for the settings again.
TEST_F(SettingsFileTest, AStoreThatWillNotWriteReadsNoMoreUntilReloaded) {
    Put(u";V\r\n[Vellumcraft]\r\nPageCount=2\r\n[Page2]\r\nLabel=Mine\r\n");
    fs.locked.insert(kPath);
    Load();
    fs.locked.clear();
    const int reads = store.ReadCount();
    WriteGlobalSettings(r, store);
    EXPECT_EQ(store.ReadCount(), reads);
    EXPECT_TRUE(ReloadSettings(r, store));
    EXPECT_EQ(r.UserPages[1].Label, u"Mine");
    r.GlobalSettings.xPosi = 1;
    WriteGlobalSettings(r, store);
    EXPECT_NE(Text().find(u"xPosi=1\r\n"), std::u16string::npos);
    EXPECT_NE(Text().find(u"Label=Mine\r\n"), std::u16string::npos);
}

TEST(BlankLinePass, OneBlankLineBeforeEachLaterSection) {
    EXPECT_EQ(InsertBlankLinesBeforeSections(u"\xFEFF;V\r\n[a]\r\nx=1\r\n[b]\r\n"),
              u"\xFEFF;V\r\n\r\n[a]\r\nx=1\r\n\r\n[b]\r\n");
    EXPECT_EQ(InsertBlankLinesBeforeSections(u"\xFEFF;V\r\n\r\n[a]\r\nx=1\r\n\r\n[b]\r\n"),
              u"\xFEFF;V\r\n\r\n[a]\r\nx=1\r\n\r\n[b]\r\n");
    EXPECT_EQ(InsertBlankLinesBeforeSections(u"x\n\r\n[a]"), u"x\n\r\n[a]");
    EXPECT_EQ(InsertBlankLinesBeforeSections(u"[a]\r\n[b]\r\n[c]"), u"[a]\r\n\r\n[b]\r\n\r\n[c]");
}

TEST(BackupPath, ExtensionOfTheFileNameIsReplaced) {
    EXPECT_EQ(BackupPathOf(u"C:\\x\\Vellumcraft.vcset"), u"C:\\x\\Vellumcraft_Backup.vcset");
    EXPECT_EQ(BackupPathOf(u"C:\\my.dir\\Tabs"), u"C:\\my.dir\\Tabs_Backup.vcset");
    EXPECT_EQ(BackupPathOf(u"C:\\a\\b.c.ini"), u"C:\\a\\b.c_Backup.vcset");
}

}  // namespace
}  // namespace vc
