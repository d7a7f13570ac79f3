// The dated copies of the settings file: their names, when a start makes
// one, which go, which count as whole, and a restore.
#include <gtest/gtest.h>

#include "settings/Backups.h"
#include "support/MemoryFileSystem.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

const std::u16string kPath = u"C:\\vc\\Tabs.vcset";
const std::u16string kFolder = u"C:\\vc\\Tabs_Backups";
const std::u16string kWhole = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=2\r\n[Page1]\r\nLabel=a\r\n[Page2]\r\nLabel=b\r\n";

TEST(Backups, NamesSortAndRotateByTheirTime) {
    const BackupTime t{2026, 12, 8, 9, 5, 7};
    EXPECT_EQ(BackupFolderOf(kPath), kFolder);
    EXPECT_EQ(BackupFileName(kPath, t), u"Tabs-20261208-090507.vcset");
    EXPECT_EQ(BackupTimeText(*BackupTimeOf(kPath, u"TABS-20261208-090507.VCSET")), u"2026/12/08 09:05:07");
    // Other files of the folder, temporary ones included, are never copies.
    const std::vector<std::u16string> names = {u"Tabs-20261206-235959.vcset", u"notes.txt",
                                               u"Tabs-20261208-080000.vcset", u"Tabs-20261207-120000.vcset",
                                               u"Tabs-20261208-090000.vcset.12-1.saving", u"Other-20261209-000000.vcset"};
    EXPECT_EQ(BackupsNewestFirst(kPath, names), (std::vector<std::u16string>{u"Tabs-20261208-080000.vcset",
                                                                              u"Tabs-20261207-120000.vcset",
                                                                              u"Tabs-20261206-235959.vcset"}));
    EXPECT_EQ(BackupsBeyond(kPath, names, 2), std::vector<std::u16string>{u"Tabs-20261206-235959.vcset"});
    EXPECT_TRUE(BackupsBeyond(kPath, names, 0).empty());
    // Once a day: today's copy is there at 9:05, none yet the next day.
    EXPECT_FALSE(BackupDue(kPath, names, t, 5));
    EXPECT_TRUE(BackupDue(kPath, names, {2026, 12, 9, 0, 0, 1}, 5));
    EXPECT_TRUE(BackupDue(kPath, {}, t, 1));
    EXPECT_FALSE(BackupDue(kPath, {}, t, 0));
}

TEST(Backups, OnlyAWholeFileOfTheProgramIsACopy) {
    const std::string whole = test::Utf16LE(kWhole);
    EXPECT_TRUE(ExamineBackup(whole).whole);
    EXPECT_EQ(ExamineBackup(whole).pageCount, 2);
    // More page sections than the count: the sections count, as at a start.
    EXPECT_EQ(ExamineBackup(test::Utf16LE(kWhole + u"[Page3]\r\n")).pageCount, 3);
    for (const std::string& damaged :
         {whole.substr(0, whole.size() - 1), whole.substr(0, whole.size() - 4), test::Utf16LE(kWhole, false),
          test::Utf16LE(kWhole.substr(0, kWhole.find(u"[Page2]"))), test::Utf16LE(kWhole.substr(14)), std::string()})
        EXPECT_FALSE(ExamineBackup(damaged).whole) << test::Narrow(test::TextOf(damaged));
}

TEST(Backups, RestoreKeepsTheFileAsItIsFirst) {
    test::MemoryFileSystem fs;
    const BackupTime now{2026, 12, 8, 10, 0, 0};
    const std::u16string copy = kFolder + u"\\Tabs-20261207-120000.vcset";
    const std::u16string kept = kFolder + u"\\Tabs-20261208-100000.vcset";
    fs.files[copy] = test::Utf16LE(kWhole);
    fs.files[kPath] = test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\n");
    const std::string current = fs.files[kPath];
    fs.readOnly.insert(kept);
    EXPECT_EQ(RestoreBackup(fs, kPath, copy, now), RestoreResult::NotKept);
    EXPECT_EQ(fs.files[kPath], current);
    // The second's name taken by other bytes: the next second's.
    fs.readOnly.clear();
    fs.files[kept] = "other";
    EXPECT_EQ(RestoreBackup(fs, kPath, copy, now), RestoreResult::Restored);
    EXPECT_EQ(fs.files[kPath], fs.files[copy]);
    EXPECT_EQ(fs.files[kFolder + u"\\Tabs-20261208-100001.vcset"], current);
    fs.files[copy].pop_back();
    EXPECT_EQ(RestoreBackup(fs, kPath, copy, now), RestoreResult::CopyDamaged);
}

}  // namespace
}  // namespace vc
