#include "generalsettings/GeneralSettings.h"
#include "generalsettings/RunAtLogon.h"

#include <gtest/gtest.h>

namespace vc {
namespace {

TEST(GeneralSettingsFolders, BoxesRewriteTheLowByteClearTheNextAndKeepTheRest) {
    EXPECT_EQ(FoldersFromBoxes(0xABCD1213u, 0x55), 0xABCD0055u);
    EXPECT_EQ(FoldersFromBoxes(0x13, 0x13), 0x13u);

    Records r;
    r.GlobalSettings.SpcialFolder = 0xFF0000A5u;  // desktop, computer, pictures, video
    RecountShownSpecialPages(r);
    ASSERT_EQ(r.ShownSpecialCount, 4);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(r.GlobalSettings.SpcialFolder & SpecialFolderTable[r.ShownSpecialPages[size_t(k)]].Bit);
    EXPECT_LT(r.ShownSpecialPages[0], r.ShownSpecialPages[3]);  // in table order
}

TEST(GeneralSettingsFolders, ThePageListPaneStartsOnThePageShown) {
    Records r;
    r.ShownSpecialCount = 2;
    r.GlobalSettings.TabNumber = 1;
    EXPECT_EQ(SelectedPagePosition(r), 1);
    r.GlobalSettings.TabNumber = 4;
    r.CurrentPage = 2;
    EXPECT_EQ(SelectedPagePosition(r), 4);
    r.ShownSpecialCount = 0;
    r.GlobalSettings.TabNumber = 0;
    r.CurrentPage = -1;  // a damaged selection
    EXPECT_EQ(SelectedPagePosition(r), 0);
}

TEST(RunAtLogon, AValueStartsThisCopyOnlyWithItsProgramAndItsFileWhateverTheCaseAndQuotes) {
    const std::u16string exe = u"C:\\Tools\\Vellum craft\\Vellumcraft.exe", file = u"D:\\設定\\仕事.vcset";
    EXPECT_TRUE(RunCommandNamesThisCopy(RunCommand(exe, file), exe, file));
    EXPECT_TRUE(RunCommandNamesThisCopy(u"\"c:\\tools\\vellum craft\\VELLUMCRAFT.EXE\"  D:\\設定\\仕事.vcset", exe, file));
    EXPECT_FALSE(RunCommandNamesThisCopy(RunCommand(u"E:\\Vellumcraft.exe", file), exe, file));  // a moved copy
    EXPECT_FALSE(RunCommandNamesThisCopy(RunCommand(exe, u"D:\\設定\\他.vcset"), exe, file));
    EXPECT_FALSE(RunCommandNamesThisCopy(RunCommand(exe, file) + u" /x", exe, file));
    EXPECT_EQ(RunValueName(u"vellumcraft"), u"Vellumcraft");
    EXPECT_EQ(RunValueName(u"仕事"), u"Vellumcraft (仕事)");
}

}  // namespace
}  // namespace vc
