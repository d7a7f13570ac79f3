// A page written to a file of its own and read back as a new page.
#include <gtest/gtest.h>

#include "settings/SettingsFile.h"
#include "support/MemoryFileSystem.h"
#include "support/Utf16File.h"
#include "tabwindow/PageFile.h"
#include "tabwindow/PageManagement.h"

namespace vc {
namespace {

const std::u16string kPath = u"C:\\vc\\Vellumcraft.vcset";
const std::u16string kPage = u"D:\\out\\Tools.vcpage";

struct PageFileTest : ::testing::Test {
    test::MemoryFileSystem fs;
    ProfileStore store{fs, kPath};
    Records r;
    void SetUp() override {
        // Entries on the settings file's drive are stored without the letter.
        fs.files[kPath] = test::Utf16LE(
            u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nTabStyle=2162944\r\n[Page1]\r\nLabel=A\r\n"
            u"[Page2]\r\nLabel=\" Tools \"\r\nComment=2\r\nComment000=one\r\nComment001=two\r\nFiles000=\\bin\\a.exe\r\n"
            u"Files001=E:\\b.txt\r\nFiles=2\r\nLabelColor=7\r\nFlag=17\r\nCursor=1\r\nListType=259\r\n"
            u"FontName=Meiryo\r\nFontSize=11\r\nFontStyle=3\r\nFontColor=255\r\nFontColorBk=65280\r\n"
            u"PageColumnWidth=90,80,70,60,50,\r\nPageListSort=12\r\n");
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
    }
};

TEST_F(PageFileTest, AnExportedPageComesBackWhole) {
    ASSERT_TRUE(WritePageFile(r, 1, fs, kPage));
    const std::u16string text = test::TextOf(fs.files[kPage]);
    EXPECT_EQ(fs.files[kPage].substr(0, 2), "\xFF\xFE");
    EXPECT_NE(text.find(u"Files000=C:\\bin\\a.exe"), std::u16string::npos);  // whole paths
    PageRecord back;
    ASSERT_EQ(ReadPageFile(r, fs, kPage, back), PageFileProblem::None);
    EXPECT_EQ(back, r.UserPages[1]);
    EXPECT_EQ(back.Files, u"C:\\bin\\a.exe\r\nE:\\b.txt");

    // In as the page after the first, before the one it came from.
    ASSERT_TRUE(InsertPage(r, store, 1, back));
    Records again;
    ProfileStore s(fs, kPath);
    LoadDefaultPage(again, s);
    LoadSettings(again, s);
    ASSERT_EQ(again.UserPages.size(), 3u);
    EXPECT_EQ(again.UserPages[1], back);
    EXPECT_EQ(again.UserPages[2], back);
    const std::u16string settings = test::TextOf(fs.files[kPath]);
    EXPECT_LT(settings.find(u"[Page2]"), settings.find(u"[Page3]"));
}

TEST_F(PageFileTest, OnlyAWholePageFileIsTaken) {
    ASSERT_TRUE(WritePageFile(r, 0, fs, kPage));
    const std::string whole = fs.files[kPage];
    PageRecord page;
    auto read = [&](std::string bytes) {
        fs.files[kPage] = std::move(bytes);
        return ReadPageFile(r, fs, kPage, page);
    };
    EXPECT_EQ(read(test::Narrow(test::TextOf(whole))), PageFileProblem::NotUtf16);
    EXPECT_EQ(read(fs.files[kPath]), PageFileProblem::NoPageSection);  // a settings file
    EXPECT_EQ(read(whole.substr(0, whole.size() - 40)), PageFileProblem::Damaged);
    fs.files.erase(kPage);
    EXPECT_EQ(ReadPageFile(r, fs, kPage, page), PageFileProblem::Unreadable);
    EXPECT_EQ(PageFileNameOf(u"a/b: c?. "), u"a_b_ c_");
}

TEST_F(PageFileTest, NoPageGoesInPastTheLimit) {
    r.UserPages.resize(size_t(kMaxPageCount));
    const std::string before = fs.files[kPath];
    EXPECT_FALSE(InsertPage(r, store, 1, r.UserPages[0]));
    EXPECT_EQ(fs.files[kPath], before);
}

}  // namespace
}  // namespace vc
