// Which settings file a command line names, the caption that identifies a
// running instance, the version numbers, and where the window is placed.
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "common/Placement.h"
#include "common/U16.h"

namespace vc {
namespace {

const std::u16string kDir = u"C:\\Apps\\Vellumcraft\\";

struct Case {
    const char16_t* argument;
    const char16_t* path;
    const char16_t* name;
};

TEST(SettingsFileChoice, FromTheWholeArgument) {
    const Case cases[] = {
        {u"", u"C:\\Apps\\Vellumcraft\\Vellumcraft.vcset", u"Vellumcraft"},
        {u"work", u"C:\\Apps\\Vellumcraft\\work.vcset", u"work"},
        {u"D:\\cfg\\home.vcset", u"D:\\cfg\\home.vcset", u"home"},
        {u"\"D:\\cfg\\home.vcset\"", u"D:\\cfg\\home.vcset", u"home"},
        {u"notes.vcset.old", u"C:\\Apps\\Vellumcraft\\notes.vcset.old", u"notes.vcset"},
        {u"my tabs.ini", u"C:\\Apps\\Vellumcraft\\my tabs.ini.vcset", u"my tabs"},
        {u"D:\\cfg\\Home.VCSET", u"D:\\cfg\\Home.VCSET", u"Home"},  // names are compared without case
        // Quotes without ".vcset" inside them: the extension goes after the name, not after the quote.
        {u"\"D:\\cfg\\home\"", u"D:\\cfg\\home.vcset", u"home"},
        {u"\"work\"", u"C:\\Apps\\Vellumcraft\\work.vcset", u"work"},
    };
    for (const Case& c : cases) {
        auto got = ChooseSettingsFile(c.argument, kDir);
        ASSERT_TRUE(got) << ToUtf8(c.argument);
        EXPECT_EQ(ToUtf8(got->path), ToUtf8(c.path)) << ToUtf8(c.argument);
        EXPECT_EQ(ToUtf8(got->windowName), ToUtf8(c.name)) << ToUtf8(c.argument);
    }
}

// What follows the program name and the blanks after it, cut as the C
// runtime cuts WinMain's 8-bit command line, but kept in UTF-16.
TEST(SettingsFileChoice, ArgumentFollowsTheProgramName) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"\"C:\\Program Files\\V\\V.exe\" 設定.vcset", u"設定.vcset"},
        {u"V.exe\t \"D:\\my tabs\\café 한.vcset\"", u"\"D:\\my tabs\\café 한.vcset\""},
        {u"\"C:\\V\\V.exe\"work", u""},           // the name goes on after its closing quote
        {u"C:\\\"Program Files\"\\V.exe a", u"a"},  // quotes inside the name
        {u"\"C:\\V\\V.exe", u""}, {u"V.exe   ", u""}, {u"", u""},
    };
    for (const auto& [line, argument] : cases) EXPECT_EQ(ToUtf8(ArgumentText(line)), ToUtf8(argument)) << ToUtf8(line);
}

TEST(SettingsFileChoice, NamesThatDoNotFitAreRefused) {
    std::u16string longArg(259, u'a');
    EXPECT_FALSE(ChooseSettingsFile(longArg, kDir));                     // argument buffer
    EXPECT_FALSE(ChooseSettingsFile(std::u16string(240, u'a'), kDir));  // folder + name + ".vcset"
    std::u16string fits(261 - kDir.size() - 6, u'b');
    auto ok = ChooseSettingsFile(fits, kDir);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->path.size(), 261u);
    EXPECT_FALSE(ChooseSettingsFile(fits + u"b", kDir));
    std::u16string absolute = u"D:\\" + std::u16string(252, u'c');  // 255 + ".vcset" = 261
    EXPECT_TRUE(ChooseSettingsFile(absolute, kDir));
    EXPECT_FALSE(ChooseSettingsFile(absolute + u"c", kDir));
}

TEST(Caption, NameIsCutTo64Units) {
    EXPECT_EQ(TabWindowCaption(u"Work"), u"Work - Vellumcraft");
    std::u16string longName(70, u'n');
    EXPECT_EQ(TabWindowCaption(longName), std::u16string(64, u'n') + u" - Vellumcraft");
    // The caption of "Tabs" is found inside the caption of "MyTabs".
    EXPECT_NE(TabWindowCaption(u"MyTabs").find(TabWindowCaption(u"Tabs")), std::u16string::npos);
}

TEST(Versions, FirstAcceptedStepWins) {
    auto upTo = [](uint32_t maj, uint32_t min) {
        return [=](uint32_t a, uint32_t b) { return a < maj || (a == maj && b <= min); };
    };
    EXPECT_EQ(WindowsVersionFrom(RtlVersion{10, 0, 22631}, upTo(10, 0)), 1100u);
    EXPECT_EQ(WindowsVersionFrom(RtlVersion{10, 0, 19045}, upTo(10, 0)), 1000u);
    EXPECT_EQ(WindowsVersionFrom(std::nullopt, upTo(6, 1)), 610u);
    EXPECT_EQ(WindowsVersionFrom(RtlVersion{6, 1, 7601}, upTo(6, 1)), 610u);
    EXPECT_EQ(WindowsVersionFrom(std::nullopt, upTo(5, 2)), 510u);
    EXPECT_EQ(WindowsVersionFrom(std::nullopt, upTo(5, 0)), 500u);
    EXPECT_EQ(CommonControlsVersionFrom(6, 10), 610);
    EXPECT_EQ(CommonControlsVersionFrom(5, 82), 582);
    EXPECT_EQ(CommonControlsVersionFrom(6, 16), 616);
}

TEST(Placement, CentreStaysOnTheMonitor) {
    Rect m{0, 0, 1920, 1080};
    EXPECT_EQ(PlaceOnMonitor(5000, 100, 550, 350, m).x, 1920 - 550 - 5);
    Point p = PlaceOnMonitor(-550 / 2 + 6, 100, 550, 350, m);
    EXPECT_EQ(p.x, -269);  // centre just inside: kept, overlapping the left edge
    EXPECT_EQ(PlaceOnMonitor(-550 / 2 + 4, 100, 550, 350, m).x, 5);
    EXPECT_EQ(PlaceOnMonitor(100, -1000, 550, 351, m).y, 3);
    EXPECT_EQ(PlaceOnMonitor(100, 5000, 550, 350, m).y, 1080 - 350 - 3);
    Rect second{1920, 0, 3840, 1200};
    EXPECT_EQ(PlaceOnMonitor(2000, 100, 550, 350, second).x, 2000);
    EXPECT_EQ(PlaceOnMonitor(100, 100, 550, 350, second).x, 1925);
}

TEST(Placement, DialogBesideTheTabWindow) {
    Rect m{0, 0, 1920, 1080};
    // Tab window in the upper half: the dialog opens below it, left-aligned.
    Point below = PlaceBeside(m, Rect{100, 100, 650, 450}, 400, 300, 10, 5, false);
    EXPECT_EQ(below.x, 100);
    EXPECT_EQ(below.y, 455);
    // In the lower half: above it; on Vista and later 5 pixels further in.
    Point above = PlaceBeside(m, Rect{100, 600, 650, 950}, 400, 300, 15, 10, true);
    EXPECT_EQ(above.x, 105);
    EXPECT_EQ(above.y, 600 - 300 - 10);
    // No room to the right: right-aligned with the tab window.
    Point right = PlaceBeside(m, Rect{1700, 100, 1900, 300}, 400, 300, 10, 5, false);
    EXPECT_EQ(right.x, 1900 - 400);
    // Clamped into the monitor, also on a second monitor whose left is not 0:
    // the fit test compares against the width, not the right edge.
    Rect second{1920, 0, 3840, 1080};
    Point far = PlaceBeside(second, Rect{3700, 900, 3830, 1070}, 400, 300, 10, 5, false);
    EXPECT_EQ(far.x, 3840 - 400 - 10);
    EXPECT_EQ(far.y, 900 - 300 - 5);
    Point top = PlaceBeside(m, Rect{100, -500, 600, 100}, 400, 300, 10, 5, false);
    EXPECT_GE(top.y, 5);
    // Taller and wider than the monitor (a large DPI on a small screen): the
    // caption stays on it.
    Point huge = PlaceBeside(Rect{0, 0, 1280, 800}, Rect{100, 100, 600, 400}, 1400, 900, 10, 5, false);
    EXPECT_EQ(huge.x, 10);
    EXPECT_EQ(huge.y, 5);
}

TEST(Placement, PatternOriginAndAnimations) {
    EXPECT_EQ(PatternOrigin(10, 20, 48, 48).x, 48 - 10 + 12);
    EXPECT_EQ(PatternOrigin(10, 20, 48, 48).y, 48 - 20 + 16);
    EXPECT_EQ(PatternOrigin(96, 0, 48, 48).x, 48 + 12);
    EXPECT_EQ(PatternOrigin(10, 20, 0, 0).x, 12);  // unknown tile size
    EXPECT_EQ(RandomAnimationFlags(8), 0x10u);     // centre
    EXPECT_EQ(RandomAnimationFlags(9), 0x80000u);  // blend
    EXPECT_EQ(RandomAnimationFlags(13), 0x40000u | 0x2u);
}

}  // namespace
}  // namespace vc
