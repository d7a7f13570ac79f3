#include "tabwindow/FindAll.h"

#include <gtest/gtest.h>

#include "pageview/FilesText.h"

namespace vc {
namespace {

PageRecord Page(std::u16string label, std::u16string files, uint32_t listType = 0) {
    PageRecord p;
    p.Label = std::move(label);
    p.Files = std::move(files);
    p.ListType = listType;
    return p;
}

std::vector<std::u16string> Names(const std::vector<FindEntry>& entries, std::u16string_view typed) {
    std::vector<std::u16string> names;
    for (int i : FindEntries(entries, typed)) names.push_back(entries[size_t(i)].name);
    return names;
}

TEST(FindAllTest, FindsOverEveryPageAsThePagesNameAndNumberTheirEntries) {
    const std::vector<PageRecord> pages = {
        Page(u"Tools", u"C:\\Tools\\ｶﾞｲﾄﾞ.pdf\r\n\r\nC:\\Tools\\Run.EXE\r\nD:\\\r\n"),
        // Extensions shown on this page; a text after the last CR LF is an entry too.
        Page(u"Docs", u"D:\\Docs\\ガイドブック.txt\r\nD:\\Docs\\readme", ListTypeBit::ShowExtensions),
    };
    const std::vector<FindEntry> entries = IndexEntries(pages, u"C:\\vc\\a.vcset");
    // A drive root has no name and gets no item.
    ASSERT_EQ(entries.size(), 4u);
    // Width, case and voiced marks do not matter; names hide extensions as their pages do.
    EXPECT_EQ(Names(entries, u"ガイド"), (std::vector<std::u16string>{u"ｶﾞｲﾄﾞ", u"ガイドブック.txt"}));
    EXPECT_EQ(Names(entries, u"ＲＵＮ"), (std::vector<std::u16string>{u"Run"}));
    EXPECT_TRUE(Names(entries, u".exe").empty());
    // The empty line keeps its slot, as the page numbers its entries.
    EXPECT_EQ(entries[1].index, 2);
    EXPECT_EQ(entries[3].page, 1);
    EXPECT_EQ(entries[3].index, 1);
    EXPECT_EQ(EntryFolder(entries[1]), u"C:\\Tools");
    // An empty text finds nothing rather than every entry of every page.
    EXPECT_TRUE(FindEntries(entries, u"").empty());
}

TEST(FindAllTest, DriveRelativeLinesTakeTheSettingsFilesDriveAndLongPagesStopWhereThePageDoes) {
    std::u16string many;
    for (int i = 0; i < kMaxUserEntries + 5; ++i) many += u"\\Apps\\tool.exe\r\n";
    const std::vector<FindEntry> entries = IndexEntries({Page(u"P", many)}, u"E:\\stick\\a.vcset");
    ASSERT_EQ(entries.size(), size_t(kMaxUserEntries));
    EXPECT_EQ(entries[0].path, u"E:\\Apps\\tool.exe");
    EXPECT_EQ(EntryFolder(entries[0]), u"E:\\Apps");
    // A UNC path is no drive-relative line.
    EXPECT_EQ(IndexEntries({Page(u"P", u"\\\\srv\\share\\x.exe\r\n")}, u"E:\\a.vcset")[0].path, u"\\\\srv\\share\\x.exe");
}

}  // namespace
}  // namespace vc
