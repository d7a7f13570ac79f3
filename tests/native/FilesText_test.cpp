// A user page's Files text cut into entries and rebuilt, and the pane's
// layout numbers.
#include <gtest/gtest.h>

#include "pageview/FilesText.h"

namespace vc {
namespace {

std::vector<std::u16string> Cut(std::u16string_view text) {
    std::vector<std::u16string> out;
    size_t pos = 0;
    std::u16string_view e;
    while (CutNextEntry(text, pos, e)) out.emplace_back(e);
    return out;
}

TEST(FilesTextCut, EntriesEndWithCrLf) {
    EXPECT_EQ(Cut(u"C:\\a.txt\r\nC:\\b.txt\r\n"), (std::vector<std::u16string>{u"C:\\a.txt", u"C:\\b.txt"}));
    EXPECT_TRUE(Cut(u"").empty());
    EXPECT_EQ(Cut(u"C:\\a\r\ntrailing"), (std::vector<std::u16string>{u"C:\\a"}));  // no CR LF: not an entry
    EXPECT_EQ(Cut(u"\r\n\r\nC:\\x\r\n"), (std::vector<std::u16string>{u"", u"", u"C:\\x"}));
    EXPECT_EQ(Cut(u"a\nb\r\n"), (std::vector<std::u16string>{u"a\nb"}));  // a lone LF is part of the path
}

TEST(FilesTextCut, TrailingTextIsOneMoreEntry) {
    std::u16string_view text = u"C:\\a\r\nC:\\hand-edited";
    size_t pos = 0;
    std::u16string_view e;
    ASSERT_TRUE(CutNextEntry(text, pos, e));
    EXPECT_FALSE(CutNextEntry(text, pos, e));
    ASSERT_TRUE(CutLastEntry(text, pos, e));
    EXPECT_EQ(e, u"C:\\hand-edited");
    EXPECT_FALSE(CutLastEntry(text, pos, e));
    std::vector<FileEntry> slots{FileEntry{u"C:\\a"}, FileEntry{std::u16string(e)}};
    EXPECT_EQ(RebuildFiles(slots, 2), u"C:\\a\r\nC:\\hand-edited\r\n");  // written back whole
}

TEST(FilesTextRebuild, SlotOrderWithoutRemovedEntries) {
    std::vector<FileEntry> t(5);
    t[0].Path = u"C:\\a.txt";
    t[1].Path = u"";  // removed
    t[2].Path = u"C:\\c.txt";
    t[3].Path = u"C:\\beyond.txt";  // past the count
    EXPECT_EQ(RebuildFiles(t, 3), u"C:\\a.txt\r\nC:\\c.txt\r\n");
    EXPECT_EQ(CountRegistered(t, 3), 2);
    EXPECT_EQ(RebuildFiles(t, 0), u"");
    EXPECT_EQ(RebuildFiles(t, 99), u"C:\\a.txt\r\nC:\\c.txt\r\nC:\\beyond.txt\r\n");  // count beyond the table
    // Cut and rebuilt unchanged, a text gives itself back.
    std::u16string files = u"C:\\a.txt\r\nC:\\b.txt\r\n";
    std::vector<FileEntry> slots;
    for (auto& p : Cut(files)) slots.push_back(FileEntry{p});
    EXPECT_EQ(RebuildFiles(slots, int(slots.size())), files);
}

TEST(PaneLayout, NoticeAndSortArrows) {
    NoticeRect n = LoadingNoticeRect(10, 100);
    EXPECT_EQ(n.x, 3);
    EXPECT_EQ(n.width, 5);
    EXPECT_EQ(n.y, 38);
    EXPECT_EQ(n.height, 24);
    NoticeRect z = LoadingNoticeRect(0, 0);
    EXPECT_EQ(z.y, -12);
    EXPECT_EQ(SortArrowImage(1, 1), 1);
    EXPECT_EQ(SortArrowImage(1, 11), 2);
    EXPECT_EQ(SortArrowImage(0, 10), 2);
    EXPECT_EQ(SortArrowImage(0, 1), 0);
    EXPECT_EQ(SortArrowImage(4, 14), 2);
}

TEST(LaunchFolders, WorkingAndContainingFolders) {
    std::u16string tools = u"C:\\Tools\\run.exe";
    EXPECT_EQ(WorkingFolderOf(tools, 9), u"C:\\Tools");
    EXPECT_EQ(ContainingFolderOf(tools, 9), u"C:\\Tools\\");
    std::u16string root = u"C:\\run.exe";
    EXPECT_EQ(WorkingFolderOf(root, 3), u"C:");  // a drive root leaves the drive alone
    EXPECT_EQ(ContainingFolderOf(root, 3), u"C:\\");
    std::u16string folder = u"D:\\Work\\Notes";
    EXPECT_EQ(ContainingFolderOf(folder, 8), u"D:\\Work\\");  // a folder opens its parent
    EXPECT_EQ(WorkingFolderOf(u"run.exe", 0), u"");
}

TEST(RegistrationTexts, NamesAreCutTo32) {
    EXPECT_EQ(RemoveQuestion(u"仕事", u"notepad"), u"ページ \"仕事\" の\n\"notepad\" の登録を削除しますか？ ");
    std::u16string q = RemoveQuestion(std::u16string(40, u'L'), std::u16string(40, u'n'));
    EXPECT_NE(q.find(std::u16string(32, u'L') + u"\""), std::u16string::npos);
    EXPECT_EQ(q.find(std::u16string(33, u'n')), std::u16string::npos);
    EXPECT_EQ(AddDialogTitle(u"Vellumcraft", u"Page1"), u"Vellumcraft - \"Page1\" - ファイルの追加");
}

// Only a name that ends in ".vcset", in any case, opens another instance.
TEST(RegistrationTexts, SettingsFileNames) {
    for (const char16_t* name : {u"D:\\x\\a.vcset", u"a.VCSET", u"Work.VcSet"}) EXPECT_TRUE(IsSettingsFileName(name));
    for (const char16_t* name : {u"D:\\x\\notes.vcset.txt", u"D:\\app.vcsettings\\a", u"vcset", u"a.ｖｃｓｅｔ"})
        EXPECT_FALSE(IsSettingsFileName(name)) << ToUtf8(name);
}

TEST(LaunchFolders, IndexColumnTexts) {
    EXPECT_EQ(ParseEntryIndex(u"0"), 0);
    EXPECT_EQ(ParseEntryIndex(u"199"), 199);
    EXPECT_EQ(ParseEntryIndex(u""), -1);
    EXPECT_EQ(ParseEntryIndex(u"-1"), -1);
    EXPECT_EQ(ParseEntryIndex(u"12x"), -1);
    EXPECT_EQ(ParseEntryIndex(u"99999999999"), -1);
}

}  // namespace
}  // namespace vc
