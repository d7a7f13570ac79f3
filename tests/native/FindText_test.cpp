#include "pageview/FindText.h"

#include <gtest/gtest.h>

namespace vc {
namespace {

TEST(FindTextTest, WidthAndCaseDoNotMatter) {
    EXPECT_EQ(FoldForFind(u"ＡＢＣ　Def１"), u"abc def1");
    EXPECT_EQ(FoldForFind(u"ｶﾞｲﾄﾞﾌﾞｯｸ"), u"ガイドブック");
    EXPECT_EQ(FoldForFind(u"ﾊﾟﾝﾌﾚｯﾄ ｳﾞｧ"), u"パンフレット ヴァ");
    // A mark after a kana it does not join stays a mark of its own.
    EXPECT_EQ(FoldForFind(u"ｱﾞﾟ"), u"ア゛゜");
    EXPECT_EQ(FoldForFind(u"漢字かな"), u"漢字かな");

    const std::u16string filter = FoldForFind(u"ｶﾞｲﾄﾞ");
    EXPECT_TRUE(FindsName(u"操作ガイド.pdf", filter));
    EXPECT_FALSE(FindsName(u"操作カイト.pdf", filter));
    EXPECT_TRUE(FindsName(u"README.txt", FoldForFind(u"ｒｅａｄ")));
    EXPECT_TRUE(FindsName(u"anything", u""));
}

}  // namespace
}  // namespace vc
