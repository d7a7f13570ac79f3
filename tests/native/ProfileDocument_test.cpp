// The profile engine's reading and editing rules: these are the fine points
// where a settings file written by another tool, or edited by hand, must read
// and change exactly as the platform's own profile functions would.
#include <gtest/gtest.h>

#include "settings/ProfileDocument.h"
#include "support/Utf16File.h"

using vc::ProfileDocument;
using vc::test::Utf16LE;

namespace {

ProfileDocument Doc(std::u16string_view text) { return ProfileDocument::FromText(text); }

TEST(ProfileRead, NamesIgnoreCaseAndBlanksAroundEquals) {
    auto d = Doc(u"[Page1]\r\n  Label =  Hello  \r\nfontSIZE=13\r\n");
    EXPECT_EQ(d.GetString(u"page1", u"LABEL", u"x", 260), u"Hello");
    EXPECT_EQ(d.GetInt(u"PAGE1", u"FontSize", 0), 13);
    EXPECT_EQ(d.GetString(u" Page1 ", u" Label ", u"", 260), u"Hello");
}

TEST(ProfileRead, QuotesAreStrippedOnlyWhenTheyMatch) {
    auto d = Doc(u"[s]\r\na=\"quoted\"\r\nb='single'\r\nc=\"open\r\nd=\"\r\ne=\"mixed'\r\n");
    EXPECT_EQ(d.GetString(u"s", u"a", u"", 260), u"quoted");
    EXPECT_EQ(d.GetString(u"s", u"b", u"", 260), u"single");
    EXPECT_EQ(d.GetString(u"s", u"c", u"", 260), u"\"open");
    EXPECT_EQ(d.GetString(u"s", u"d", u"", 260), u"\"");
    EXPECT_EQ(d.GetString(u"s", u"e", u"", 260), u"\"mixed'");
}

TEST(ProfileRead, FirstSectionAndFirstKeyWin) {
    auto d = Doc(u"[s]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\nonly=4\r\n");
    EXPECT_EQ(d.GetInt(u"s", u"k", 0), 1);
    EXPECT_EQ(d.GetInt(u"s", u"only", -1), -1);
}

TEST(ProfileRead, DefaultsAndCapacity) {
    auto d = Doc(u"[s]\r\nlong=abcdefgh\r\nbare\r\n");
    EXPECT_EQ(d.GetString(u"s", u"missing", u"def  ", 260), u"def");
    EXPECT_EQ(d.GetString(u"nosec", u"k", u"d", 260), u"d");
    EXPECT_EQ(d.GetString(u"s", u"long", u"", 4), u"abc");
    EXPECT_EQ(d.GetString(u"s", u"long", u"", 1), u"");
    EXPECT_EQ(d.GetString(u"s", u"bare", u"dflt", 260), u"dflt");  // a line without "=" has no value
}

TEST(ProfileRead, IntegersAsThePlatformParsesThem) {
    auto d = Doc(u"[n]\r\na=42\r\nb=-17\r\nc=55zz\r\nd=zz\r\ne=\r\nf=0x10\r\ng=\"12\"\r\nh=+8\r\n"
                 u"i=4294967295\r\nj=-2147483648\r\nk=0b101\r\n");
    EXPECT_EQ(d.GetInt(u"n", u"a", 9), 42);
    EXPECT_EQ(d.GetInt(u"n", u"b", 9), -17);
    EXPECT_EQ(d.GetInt(u"n", u"c", 9), 55);
    EXPECT_EQ(d.GetInt(u"n", u"d", 9), 0);
    EXPECT_EQ(d.GetInt(u"n", u"e", 9), 9);  // empty value: the default
    EXPECT_EQ(d.GetInt(u"n", u"f", 9), 16);
    EXPECT_EQ(d.GetInt(u"n", u"g", 9), 12);
    EXPECT_EQ(d.GetInt(u"n", u"h", 9), 8);
    EXPECT_EQ(d.GetInt(u"n", u"i", 9), -1);
    EXPECT_EQ(d.GetInt(u"n", u"j", 9), INT32_MIN);
    EXPECT_EQ(d.GetInt(u"n", u"k", 9), 5);
    EXPECT_EQ(d.GetInt(u"n", u"missing", 9), 9);
}

TEST(ProfileWrite, ReplacingAValueLeavesEveryOtherByteAlone) {
    std::u16string before = u";comment\r\n[s]\r\n  key = old  \r\n\r\n; note\r\nOther = x\r\n\r\n\r\n[t]\nz=1\n";
    auto d = Doc(before);
    EXPECT_TRUE(d.Put(u"S", u"KEY", u"new"));
    EXPECT_EQ(d.Text(), u";comment\r\n[s]\r\nkey=new\r\n\r\n; note\r\nOther = x\r\n\r\n\r\n[t]\nz=1\n");
    EXPECT_FALSE(d.Put(u"s", u"other", u"x"));  // same value: nothing changes
    EXPECT_EQ(d.Text(), u";comment\r\n[s]\r\nkey=new\r\n\r\n; note\r\nOther = x\r\n\r\n\r\n[t]\nz=1\n");
}

TEST(ProfileWrite, NewKeyGoesAfterTheSectionsLastLineNotAfterItsBlankLines) {
    auto d = Doc(u"[a]\r\nx=1\r\n\r\n[b]\r\ny=2");
    d.Put(u"a", u"n", u"3");
    d.Put(u"b", u"m", u"4");
    EXPECT_EQ(d.Text(), u"[a]\r\nx=1\r\nn=3\r\n\r\n[b]\r\ny=2\r\nm=4\r\n");
}

TEST(ProfileWrite, NewSectionGoesAtTheEndOnItsOwnLine) {
    auto d = Doc(u";Vellumcraft");
    d.Put(u"Vellumcraft", u"xPosi", u"230");
    d.Put(u"Page1", u"Label", u"Page1");
    EXPECT_EQ(d.Text(), u";Vellumcraft\r\n[Vellumcraft]\r\nxPosi=230\r\n[Page1]\r\nLabel=Page1\r\n");
    auto empty = Doc(u"");
    empty.Put(u"s", u"k", u"");
    EXPECT_EQ(empty.Text(), u"[s]\r\nk=\r\n");
}

TEST(ProfileWrite, DeleteKeyAndSection) {
    auto d = Doc(u"[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\nz=3\r\n; c\r\n\r\n[c]\r\nw=4\r\n");
    EXPECT_TRUE(d.DeleteKey(u"A", u"X"));
    EXPECT_FALSE(d.DeleteKey(u"a", u"x"));
    EXPECT_FALSE(d.DeleteKey(u"nosuch", u"x"));
    EXPECT_TRUE(d.DeleteSection(u"b"));
    EXPECT_FALSE(d.DeleteSection(u"b"));
    EXPECT_EQ(d.Text(), u"[a]\r\ny=2\r\n\r\n[c]\r\nw=4\r\n");
    EXPECT_EQ(d.GetInt(u"c", u"w", 0), 4);
    EXPECT_TRUE(d.Put(u"b", u"z", u"5"));  // a deleted section comes back at the end
    EXPECT_EQ(d.Text(), u"[a]\r\ny=2\r\n\r\n[c]\r\nw=4\r\n[b]\r\nz=5\r\n");
}

TEST(ProfileWrite, ValuesCannotForgeLinesOrSections) {
    auto d = Doc(u"[Page1]\r\n");
    d.Put(u"Page1", u"Label", u"evil\r\n[Vellumcraft]\r\nPageCount=99999");
    EXPECT_EQ(d.GetString(u"Vellumcraft", u"PageCount", u"none", 260), u"none");
    EXPECT_EQ(d.GetString(u"Page1", u"Label", u"", 260), u"evil  [Vellumcraft]  PageCount=99999");
    d.Put(u"Page1", u"Cut", std::u16string(u"ab\0cd", 5));
    EXPECT_EQ(d.GetString(u"Page1", u"Cut", u"", 260), u"ab");
}

TEST(ProfileWrite, LeadingBlanksOfAValueAreDropped) {
    auto d = Doc(u"");
    d.Put(u"s", u"k", u"   v  w");
    EXPECT_EQ(d.Text(), u"[s]\r\nk=v  w\r\n");
}

TEST(ProfileBytes, Utf16LeRoundTripsExactly) {
    std::u16string text = u";Vellumcraft\r\n[Page1]\r\nLabel=ページ 😀\r\n";
    std::string bytes = Utf16LE(text);
    auto d = ProfileDocument::FromBytes(bytes);
    EXPECT_EQ(d.encoding(), vc::TextEncoding::Utf16LE);
    EXPECT_EQ(d.ToBytes(), bytes);
    EXPECT_EQ(d.GetString(u"page1", u"label", u"", 260), u"ページ 😀");
}

TEST(ProfileBytes, FilesWithoutMarkAreReadInTheCodePageAndWrittenAsUtf16) {
    // A stand-in for code page 932: 0x82 0xA0 is "あ".
    auto sjis = [](std::string_view b) {
        std::u16string t;
        for (size_t i = 0; i < b.size(); ++i)
            t += (b[i] == '\x82' && i + 1 < b.size() && b[i + 1] == '\xA0') ? (++i, u'あ') : char16_t(b[i]);
        return t;
    };
    auto d = ProfileDocument::FromBytes("[s]\r\nk=\x82\xA0\r\n", +sjis);
    EXPECT_EQ(d.encoding(), vc::TextEncoding::Ansi);
    EXPECT_EQ(d.GetString(u"s", u"k", u"", 260), u"あ");
    d.Put(u"s", u"j", u"漢字");
    EXPECT_EQ(d.ToBytes(), Utf16LE(u"[s]\r\nk=あ\r\nj=漢字\r\n"));
    std::string be("\xFE\xFF\0[\0s\0]", 8);
    EXPECT_EQ(ProfileDocument::FromBytes(be).ToBytes(), be);
    // A character cut short ends where the line does.
    auto cut = ProfileDocument::FromBytes("\xEF\xBB\xBF[s]\r\na=\xE3\r\nb=2\r\n");
    EXPECT_EQ(cut.GetString(u"s", u"a", u"", 260), u"\xFFFD");
    EXPECT_EQ(cut.GetString(u"s", u"b", u"", 260), u"2");
}

}  // namespace
