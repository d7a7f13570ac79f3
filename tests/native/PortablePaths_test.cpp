// Entry paths kept without the settings file's drive letter, read back on its new drive.
#include <gtest/gtest.h>

#include "settings/PortablePaths.h"

namespace vc {
namespace {

TEST(PortablePaths, OnlyFullPathsOnTheSettingsDriveLoseTheLetterAndTakeTheNewDriveWhenRead) {
    const std::u16string stored = DriveRelativeLines(
        u"E:\\Tools\\run.exe\r\ne:\\x.txt\r\nD:\\y.exe\r\n\\\\srv\\s\\z.exe\r\n\\kept.exe\r\nE:rel\r\n\r\n",
        u"e:\\Stick\\v.vcset");
    EXPECT_EQ(stored, u"\\Tools\\run.exe\r\n\\x.txt\r\nD:\\y.exe\r\n\\\\srv\\s\\z.exe\r\n\\kept.exe\r\nE:rel\r\n\r\n");
    EXPECT_EQ(ResolveDriveRelativeLines(stored, u"\\\\?\\f:\\v.vcset", 1000),
              u"F:\\Tools\\run.exe\r\nF:\\x.txt\r\nD:\\y.exe\r\n\\\\srv\\s\\z.exe\r\nF:\\kept.exe\r\nE:rel\r\n\r\n");
    // Past the room for letters the lines stay as stored: none is lost.
    EXPECT_EQ(ResolveDriveRelativeLines(u"\\a\r\n\\b", u"F:\\v.vcset", 8), u"F:\\a\r\n\\b");
    EXPECT_EQ(DriveRelativeLines(u"E:\\x", u"\\\\srv\\s\\v.vcset"), u"E:\\x");  // no drive letter: no change
}

}  // namespace
}  // namespace vc
