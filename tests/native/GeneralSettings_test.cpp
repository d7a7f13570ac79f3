#include "generalsettings/GeneralSettings.h"

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

}  // namespace
}  // namespace vc
