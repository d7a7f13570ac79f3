#include "common/About.h"

#include <gtest/gtest.h>

namespace vc {
namespace {

TEST(AboutLines, BitnessNamesHowTheProcessRuns) {
    Bitness b;
    EXPECT_EQ(BitnessWord(b), u"32bit");  // no WOW64 to ask about
    b.is64BitProcess = true;
    EXPECT_EQ(BitnessWord(b), u"64bit");  // a 64-bit program is never WOW64, yet runs 64-bit
    b = Bitness{false, true, false, true, 9};
    EXPECT_EQ(BitnessWord(b), u"32bit");  // 32-bit Windows
    b.wow64 = true;
    EXPECT_EQ(BitnessWord(b), u"64bit");
    b.nativeArchitecture = 6;
    EXPECT_EQ(BitnessWord(b), u"64bit");  // Itanium
    b.nativeArchitecture = 12;
    EXPECT_EQ(BitnessWord(b), u"WOW64");
    b.nativeKnown = false;
    EXPECT_EQ(BitnessWord(b), u"WOW64");
}

TEST(AboutLines, TheLinesReadAsTheyShould) {
    EXPECT_EQ(WindowsLine(10, 0, u"", 19045, 2, u"64bit"), u"Windows Version : 10.0 , 19045, 2, 64bit,");
    EXPECT_EQ(WindowsLine(6, 1, u"Service Pack 1", 7601, 2, u"WOW64"),
              u"Windows Version : 6.1 Service Pack 1, 7601, 2, WOW64,");
    EXPECT_EQ(ToolChainLine(u"MinGW-w64 GCC", "12.2.0 20220819 (release)"), u"MinGW-w64 GCC 12.2.0");
    EXPECT_EQ(BuildLine("Nov 10 2024", "20:01:09"), u"Build : Nov 10 2024, 20:01:09");
}

}  // namespace
}  // namespace vc
