// Adding, duplicating and deleting pages: the records and the settings file
// keep one numbering, and each command is one write of the file.
#include <gtest/gtest.h>

#include "settings/SettingsFile.h"
#include "support/MemoryFileSystem.h"
#include "support/Utf16File.h"
#include "tabwindow/PageManagement.h"

namespace vc {
namespace {

const std::u16string kPath = u"C:\\vc\\Vellumcraft.vcset";

class PageManagementTest : public ::testing::Test {
public:
    test::MemoryFileSystem fs;
    ProfileStore store{fs, kPath};
    Records r;

    void Start(std::u16string_view labels) {
        std::u16string text = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=" + Dec(int64_t(labels.size())) + u"\r\n";
        for (size_t i = 0; i < labels.size(); ++i)
            text += u"[Page" + Dec(int64_t(i) + 1) + u"]\r\nLabel=" + std::u16string(1, labels[i]) + u"\r\nFiles=2\r\nFiles000=C:\\" +
                    std::u16string(1, labels[i]) + u".txt\r\nFiles001=\r\n";
        fs.files[kPath] = test::Utf16LE(text);
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
    }
    std::u16string Labels() const {
        std::u16string s;
        for (auto& p : r.UserPages) s += p.Label;
        return s;
    }
    Records Reload() {
        Records back;
        ProfileStore s(fs, kPath);
        LoadDefaultPage(back, s);
        LoadSettings(back, s);
        return back;
    }
    std::u16string Text() { return test::TextOf(fs.files[kPath]); }
};

TEST_F(PageManagementTest, AddingWritesTheExistingPagesButNoNewSection) {
    Start(u"ABCDE");
    int writes = fs.replaces;
    {
        ProfileBatch batch(store);
        AddPage(r, store);
        WriteGlobalSettings(r, store);
    }
    EXPECT_EQ(fs.replaces, writes + 1);  // one atomic replacement for the command
    EXPECT_EQ(r.GlobalSettings.PageCount, 6);
    EXPECT_EQ(r.UserPages[5].Label, u"Page6");
    EXPECT_EQ(r.UserPages[5].Comment, u"Page6 コメント");
    EXPECT_EQ(Text().find(u"[Page6]"), std::u16string::npos);
    EXPECT_EQ(Reload().GlobalSettings.PageCount, 6);
}

TEST_F(PageManagementTest, DuplicatingMovesTheFollowingPagesUp) {
    Start(u"PQRS");
    {
        ProfileBatch batch(store);
        DuplicatePage(r, store, 1);
        WriteGlobalSettings(r, store);
    }
    EXPECT_EQ(Labels(), u"PQQRS");
    EXPECT_EQ(r.UserPages[2].Files, u"C:\\Q.txt\r\n");  // entries are copied too
    Records back = Reload();
    EXPECT_EQ(back.GlobalSettings.PageCount, 5);
    EXPECT_EQ(back.UserPages[2].Label, u"Q");
    EXPECT_EQ(back.UserPages[3].Label, u"R");
    EXPECT_EQ(back.UserPages[4].Label, u"S");
    EXPECT_EQ(back.UserPages[4].Files, u"C:\\S.txt\r\n");
}

TEST_F(PageManagementTest, DeletingMovesTheFollowingPagesDownAndDropsTheLastSection) {
    Start(u"PQR");
    int writes = fs.replaces;
    DeletePage(r, store, 1);
    EXPECT_EQ(fs.replaces, writes + 1);
    EXPECT_EQ(Labels(), u"PR");
    std::u16string t = Text();
    EXPECT_EQ(t.find(u"[Page3]"), std::u16string::npos);
    Records back = Reload();
    EXPECT_EQ(back.GlobalSettings.PageCount, 2);
    EXPECT_EQ(back.UserPages[1].Label, u"R");
    EXPECT_EQ(back.UserPages[1].Files, u"C:\\R.txt\r\n");
    // The last page is never deleted.
    DeletePage(r, store, 0);
    DeletePage(r, store, 0);
    EXPECT_EQ(Labels(), u"R");
    DeletePage(r, store, 5);  // no such page
    EXPECT_EQ(Labels(), u"R");
}

TEST_F(PageManagementTest, AFailedWriteLeavesTheWholeOldFile) {
    Start(u"PQR");
    std::string before = fs.files[kPath];
    fs.readOnly.insert(kPath);
    DeletePage(r, store, 0);
    EXPECT_EQ(fs.files[kPath], before);  // never a PageCount that disagrees with the sections
}

TEST_F(PageManagementTest, RenumberingRewritesOnlyHeadersAndTheCopy) {
    Start(u"ABCDEFGHIJKLMNOPQRST");  // 20 pages
    {
        // The file as the program writes it, every key in place.
        ProfileBatch batch(store);
        for (int32_t i = 0; i < 20; ++i) WritePage(r, store, i, WriteGroup::All);
        WriteGlobalSettings(r, store);
    }
    {
        ProfileBatch batch(store);
        DuplicatePage(r, store, 9);
        WriteGlobalSettings(r, store);
        size_t changed = store.Doc().ChangedUnits();
        size_t section = store.Doc().SectionText(u"Page10").size();
        // Ten headers and one copied section, far from ten pages rewritten.
        EXPECT_LT(changed, 2 * section + 200);
        EXPECT_LT(changed * 4, 10 * section);
    }
    EXPECT_EQ(Labels(), u"ABCDEFGHIJJKLMNOPQRST");
    Records back = Reload();
    EXPECT_EQ(back.UserPages[10].Label, u"J");
    EXPECT_EQ(back.UserPages[20].Files, u"C:\\T.txt\r\n");
    {
        ProfileBatch batch(store);
        DeletePage(r, store, 3);
        EXPECT_LT(store.Doc().ChangedUnits() * 4, 16 * store.Doc().SectionText(u"Page4").size());
    }
    EXPECT_EQ(Labels(), u"ABCEFGHIJJKLMNOPQRST");
    EXPECT_EQ(Reload().UserPages[3].Files, u"C:\\E.txt\r\n");
}

TEST_F(PageManagementTest, PagesWithoutSectionsStillRenumber) {
    // Page2 has no section of its own: it runs on the template's values.
    fs.files[kPath] = test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\n[Page1]\r\nLabel=P\r\n"
                                    u"[Page3]\r\nLabel=R\r\n");
    LoadDefaultPage(r, store);
    LoadSettings(r, store);
    DuplicatePage(r, store, 1);
    EXPECT_EQ(Labels(), u"PPage2Page2R");
    Records back = Reload();
    EXPECT_EQ(back.UserPages[2].Label, u"Page2");  // the copy, written under its own number
    EXPECT_EQ(back.UserPages[3].Label, u"R");
    DeletePage(r, store, 0);
    back = Reload();
    EXPECT_EQ(back.UserPages[0].Label, u"Page2");  // its label moves with it
    EXPECT_EQ(back.UserPages[2].Label, u"R");
}

TEST_F(PageManagementTest, ANewOrderIsWrittenUnderTheNewNumbers) {
    Start(u"PQR");
    std::vector<PageRecord> copy;
    for (int k = 0; k < r.ShownSpecialCount; ++k) copy.push_back(r.SpecialPages[r.ShownSpecialPages[size_t(k)]]);
    copy.push_back(r.UserPages[2]);  // R moved to the front
    copy.push_back(r.UserPages[0]);
    copy.push_back(r.UserPages[1]);
    copy[0].Flag |= PageFlag::MainPage;  // the first shown special page becomes the main page
    copy.back().Flag |= PageFlag::Unmarked;
    int writes = fs.replaces;
    TakeOverPages(r, store, copy);
    EXPECT_EQ(fs.replaces, writes + 1);
    EXPECT_EQ(Labels(), u"RPQ");
    Records back = Reload();
    EXPECT_EQ(back.UserPages[0].Label, u"R");
    EXPECT_EQ(back.UserPages[0].Files, u"C:\\R.txt\r\n");
    EXPECT_TRUE(back.UserPages[2].Flag & PageFlag::Unmarked);
    EXPECT_TRUE(back.SpecialPages[back.ShownSpecialPages[0]].Flag & PageFlag::MainPage);
    copy.pop_back();  // a copy with a page missing is refused
    TakeOverPages(r, store, copy);
    EXPECT_EQ(Labels(), u"RPQ");
}

TEST_F(PageManagementTest, TabsCountMarkedPagesOnly) {
    Start(u"PQR");
    r.UserPages[1].Flag |= PageFlag::Unmarked;
    EXPECT_EQ(UserTabCount(r), 2);
    r.GlobalSettings.TabStyle |= TabStyleBit::MarkedPagesMenu;
    EXPECT_EQ(UserTabCount(r), 3);
}

// A read or a write that fails in the middle of a run, at each step of each
// operation: a failed read changes nothing; after a failed write the next
// batch that can write stores everything, so the file ends up holding the
// records, every page and entry in its place.
TEST_F(PageManagementTest, FailedReadsAndWritesNeverMixOldAndNewSections) {
    using Operation = bool (*)(Records&, ProfileStore&);
    const Operation ops[] = {
        [](Records& r, ProfileStore& s) { return AddPage(r, s); },
        [](Records& r, ProfileStore& s) { return DuplicatePage(r, s, 1); },
        [](Records& r, ProfileStore& s) { return DeletePage(r, s, 1); },
        [](Records& r, ProfileStore& s) {
            std::vector<PageRecord> copy;
            for (int k = 0; k < r.ShownSpecialCount; ++k) copy.push_back(r.SpecialPages[r.ShownSpecialPages[size_t(k)]]);
            copy.insert(copy.end(), r.UserPages.rbegin(), r.UserPages.rend());
            return TakeOverPages(r, s, copy);
        },
    };
    struct Fresh : PageManagementTest {
        void TestBody() override {}
    };
    for (size_t op = 0; op < std::size(ops); ++op) {
        for (bool failRead : {true, false}) {
            SCOPED_TRACE(testing::Message() << "operation " << op << (failRead ? ", read fails" : ", write fails"));
            Fresh t;
            t.Start(u"ABCD");
            const std::vector<PageRecord> before = t.r.UserPages;
            const std::string fileBefore = t.fs.files[kPath];
            (failRead ? t.fs.failReadsAfter : t.fs.failWritesAfter) = failRead ? t.fs.reads : t.fs.replaces;
            const bool done = ops[op](t.r, t.store);
            EXPECT_EQ(t.fs.files[kPath], fileBefore);
            if (failRead) {
                EXPECT_FALSE(done);
                EXPECT_EQ(t.r.UserPages, before);
            }
            t.fs.failReadsAfter = t.fs.failWritesAfter = -1;
            // The page pane closes and writes the page it showed.
            t.r.UserPages[0].Files += u"C:\\new.txt\r\n";
            WritePage(t.r, t.store, 0, WriteGroup::All);
            Records back = t.Reload();
            EXPECT_EQ(back.UserPages, t.r.UserPages);
            EXPECT_EQ(back.GlobalSettings.PageCount, int32_t(t.r.UserPages.size()));
        }
    }
}

}  // namespace
}  // namespace vc
