// Swatch pixels, the background tint and the texts of the tab window.
#include <gtest/gtest.h>

#include "common/Swatch.h"
#include "common/TabTexts.h"

namespace vc {
namespace {

constexpr uint32_t kFace = 0xF0F0F0, kMenu = 0xFAFAFA;

TEST(SwatchFrame, OnlyLightColoursGetOne) {
    EXPECT_FALSE(SwatchHasFrame(0x000000));
    EXPECT_FALSE(SwatchHasFrame(0x404040));
    EXPECT_TRUE(SwatchHasFrame(0xFFFFFF));
    EXPECT_TRUE(SwatchHasFrame(0x00FFFF));  // yellow
    EXPECT_TRUE(SwatchHasFrame(0xC0C0C0));
    EXPECT_FALSE(SwatchHasFrame(0x0000B3));  // largest component 179
    EXPECT_TRUE(SwatchHasFrame(0xB40000));   // 180, in blue
}

TEST(SwatchPixelsTest, HalfSwatchFillsTheLowerRowsWithItsFrame) {
    const int w = 8, h = 16;
    auto px = SwatchPixels(w, h, 0xFFFFFF, SwatchHalf, kFace, kMenu);
    ASSERT_EQ(px.size(), size_t(w * h));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(px[size_t(y * w + x)], kFace) << x << "," << y;
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(px[size_t(8 * w + x)], kBlack);   // frame top at row 8
        EXPECT_EQ(px[size_t(15 * w + x)], kBlack);  // frame bottom
    }
    EXPECT_EQ(px[size_t(10 * w + 0)], kBlack);
    EXPECT_EQ(px[size_t(10 * w + 3)], 0xFFFFFFu);
    // A dark colour has no frame: every lower pixel is the colour.
    auto dark = SwatchPixels(w, h, 0x202020, SwatchHalf, kFace, kMenu);
    for (int y = 8; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(dark[size_t(y * w + x)], 0x202020u);
}

TEST(SwatchPixelsTest, FullInsetAndOddSizes) {
    auto full = SwatchPixels(8, 16, 0x123456, SwatchFull, kFace, kMenu);
    for (uint32_t p : full) EXPECT_EQ(p, 0x123456u);
    auto inset = SwatchPixels(10, 6, 0x123456, SwatchInset, kFace, kMenu);
    EXPECT_EQ(inset[0], kMenu);
    EXPECT_EQ(inset[1], kMenu);
    EXPECT_EQ(inset[2], 0x123456u);
    auto other = SwatchPixels(4, 4, 0x000080, 7, kFace, kMenu);  // unknown mode: like full
    EXPECT_EQ(other[0], 0x000080u);
    EXPECT_EQ(SwatchPixels(8, 17, 0x404040, SwatchHalf, kFace, kMenu)[8 * 8], 0x404040u);  // 17 / 2 = 8
    EXPECT_TRUE(SwatchPixels(0, 5, 0, SwatchFull, kFace, kMenu).empty());
}

TEST(BackgroundTint, KeysFollowTheSystemColours) {
    const uint32_t f = 0xF0F0F0, s = 0xA0A0A0;
    EXPECT_EQ(TintPixel(0xFFFFFF, f, s), f);
    EXPECT_EQ(TintPixel(0xFF0000, f, s), 0xF5F5F5u);  // (2 * 240 + 255) / 3 = 245
    EXPECT_EQ(TintPixel(0x0000FF, f, s), 0xE0E0E0u);  // (160 + 4 * 240) / 5 = 224
    EXPECT_EQ(TintPixel(0x000000, f, s), 0xE4E4E4u);  // (160 + 6 * 240) / 7 = 228
    EXPECT_EQ(TintPixel(0xE5E5E5, f, s), 0xE5E5E5u);  // the shipped greys stay
    // Channels are tinted one by one.
    EXPECT_EQ(TintPixel(0xFFFFFF, 0x010203, s), 0x010203u);
    EXPECT_EQ(TintPixel(0x000000, 0x00FF00, 0x0000FF), uint32_t((255 / 7) | ((6 * 255 / 7) << 8)));
}

TEST(StatusTexts, SizeUnitsAndLimits) {
    EXPECT_EQ(EntryDetailsText(u"2026/12/07 10:00", 9999), u"更新日 : 2026/12/07 10:00、サイズ : 9999 B");
    EXPECT_EQ(EntryDetailsText(u"-----", 10000), u"更新日 : -----、サイズ : 10 kB");
    EXPECT_EQ(EntryDetailsText(u"d", 12345678), u"更新日 : d、サイズ : 12 MB");
    EXPECT_EQ(EntryDetailsText(u"d", 9999999999999999LL), u"更新日 : d、サイズ : 9999 TB");
    EXPECT_EQ(EntryDetailsText(u"d", 10000000000000000LL), u"更新日 : d、");
    EXPECT_EQ(EntryDetailsText(std::u16string(400, u'x'), 1).size(), 266u);
    EXPECT_EQ(FileCountText(3), u"ファイル数 : 3");
}

TEST(TabTooltip, CommentAndCount) {
    EXPECT_EQ(TabTooltipText(u"abc", 2), u"abc\nファイル数 : 2, ");
    EXPECT_EQ(TabTooltipText(u"abc", -1), u"abc\nファイル数 : -----, ");  // still being counted
    EXPECT_EQ(TabTooltipText(std::u16string(250, u'c'), 2).size(), 200u);
    EXPECT_EQ(CountEntries(u"C:\\a\r\nC:\\b\r\n"), 2);
    EXPECT_EQ(CountEntries(u""), 0);
}

TEST(TabTexts, AnAmpersandInALabelShowsAsItself) {
    EXPECT_EQ(TabItemText(u"Games & fun"), u"Games && fun");
    EXPECT_EQ(TabItemText(u"&&"), u"&&&&");
    EXPECT_EQ(TabItemText(u"ツール"), u"ツール");
}

}  // namespace
}  // namespace vc
