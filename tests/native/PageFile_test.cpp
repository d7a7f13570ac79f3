// A page written to a file of its own and read back as a new page.
#include <gtest/gtest.h>

#include "settings/SettingsFile.h"
#include "support/MemoryFileSystem.h"
#include "support/Utf16File.h"
#include "tabwindow/PageFile.h"
#include "tabwindow/PageManagement.h"

namespace vc {

TEST(PageFileTest, AnExportedPageComesBackWholeAfterThePageChosen) {
    const std::u16string path = u"C:\\vc\\Vellumcraft.vcset", file = u"D:\\Tools.vcpage";
    test::MemoryFileSystem fs;
    // Entries on the settings file's drive are stored without the letter (TabStyle 0x210100).
    fs.files[path] = test::Utf16LE(
        u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\nTabStyle=2162944\r\n[Page1]\r\nLabel=A\r\n[Page2]\r\n"
        u"Label=\" Tools \"\r\nComment=2\r\nComment000=one\r\nComment001=two\r\nFiles000=\\bin\\a.exe\r\nFiles001=E:\\b\r\n"
        u"Files=2\r\nLabelColor=7\r\nFlag=17\r\nCursor=1\r\nListType=259\r\nFontName=Meiryo\r\nFontSize=11\r\n"
        u"FontStyle=3\r\nFontColor=255\r\nFontColorBk=65280\r\nPageColumnWidth=90,80,70,60,50,\r\nPageListSort=12\r\n");
    Records r, again;
    ProfileStore store(fs, path), other(fs, path);
    LoadSettings(r, store);
    ASSERT_TRUE(WritePageFile(r, 1, fs, file));
    EXPECT_NE(test::TextOf(fs.files[file]).find(u"Files000=C:\\bin\\a.exe"), std::u16string::npos);  // whole paths
    PageRecord back;
    ASSERT_EQ(ReadPageFile(r, fs, file, back), PageFileProblem::None);
    EXPECT_EQ(back, r.UserPages[1]);
    ASSERT_TRUE(InsertPage(r, store, 1, back));
    LoadSettings(again, other);
    ASSERT_EQ(again.UserPages.size(), 3u);
    EXPECT_EQ(again.UserPages[1], back);
    EXPECT_EQ(again.UserPages[2], back);
    const std::u16string settings = test::TextOf(fs.files[path]);
    EXPECT_LT(settings.find(u"[Page2]"), settings.find(u"[Page3]"));

    // Only a whole page file is taken.
    const std::string whole = fs.files[file];
    for (auto [bytes, problem] : {std::pair{test::Narrow(test::TextOf(whole)), PageFileProblem::NotUtf16},
                                  std::pair{fs.files[path], PageFileProblem::NoPageSection},
                                  std::pair{whole.substr(0, whole.size() - 40), PageFileProblem::Damaged}}) {
        fs.files[file] = bytes;
        EXPECT_EQ(ReadPageFile(r, fs, file, back), problem);
    }

    // No page goes in past the limit.
    r.UserPages.resize(size_t(kMaxPageCount));
    EXPECT_FALSE(InsertPage(r, store, 1, back));
}

}  // namespace vc
