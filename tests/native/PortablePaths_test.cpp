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
    EXPECT_EQ(DriveRelativeLines(u"E:\\x", u"\\\\srv\\s\\v.vcset"), u"E:\\x");  // another drive: no change
    // A file on a share stands on the share as on a drive, also behind "\\?\UNC\": nothing is read on
    // whatever drive happens to be current, and nothing loses its place when the option goes.
    EXPECT_EQ(DriveRelativeLines(u"\\\\SRV\\s\\Tools\\a.exe\r\n\\\\srv\\st\\b.exe", u"\\\\srv\\S\\v.vcset"),
              u"\\Tools\\a.exe\r\n\\\\srv\\st\\b.exe");
    EXPECT_EQ(ResolveDriveRelativeLines(u"\\Tools\\a.exe", u"\\\\?\\UNC\\nas\\team\\v.vcset", 1000),
              u"\\\\nas\\team\\Tools\\a.exe");
}

}  // namespace
}  // namespace vc
