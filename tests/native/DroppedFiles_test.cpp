// What a drop of several files registers, and what it tells about the rest.
#include <gtest/gtest.h>

#include "pageview/DroppedFiles.h"

namespace vc {
namespace {

using F = DropFate;

TEST(DroppedFilesTest, ItemsGoInOrderUntilThePageIsFullAndDuplicatesStayOut) {
    const std::vector<std::u16string> onPage = {u"C:\\a.txt"};
    const std::vector<std::u16string> drop = {u"C:\\b.txt", u"c:\\A.TXT", u"C:\\c.txt", u"C:\\B.txt", u"C:\\d.txt"};
    EXPECT_EQ(PlanDrop(drop, onPage, {false, 2, 1000}),
              (std::vector<F>{F::Register, F::Duplicate, F::Register, F::Duplicate, F::NoRoom}));
    // Room in the text: "C:\b.txt" and its CR LF take 10 units.
    EXPECT_EQ(PlanDrop({u"C:\\b.txt", u"C:\\c.txt"}, {}, {false, 5, 19}), (std::vector<F>{F::Register, F::NoRoom}));
    EXPECT_EQ(DropRefusalText({F::Register, F::Duplicate, F::NoRoom, F::Duplicate}),
              u"3 個のファイルを登録できませんでした。\n（重複 2 個、空きなし 1 個）");
    EXPECT_EQ(DropRefusalText(PlanDrop(drop, {}, {true, 9, 1000})),
              u"5 個のファイルを登録できませんでした。\n（このページは変更禁止です）");
    EXPECT_EQ(DropRefusalText({F::Register}), u"");
}

}  // namespace
}  // namespace vc
