// The profile engine against the platform's own profile functions: the same
// operations on the same file must read the same values and leave the same
// bytes. Wine's functions are the reference here, with two known differences
// from Windows, where the engine follows Windows:
//  - when Wine changes a file it rewrites every line from its parsed form:
//    blank lines are dropped and "key = value" becomes "key=value". Windows
//    (and the engine) change only the affected line. Files with such lines
//    are compared in that canonical form; files as the program writes them
//    are compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "settings/ProfileStore.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

using test::TextOf;
using test::Utf16LE;

struct Op {
    enum Kind { Get, GetInt, Put, DelKey, DelSection } kind;
    std::u16string section, key, value;  // value: the default for Get
    int number = 260;                    // capacity for Get, default for GetInt
};

Op Get(std::u16string s, std::u16string k, std::u16string def = u"<def>", int cap = 260) {
    return {Op::Get, std::move(s), std::move(k), std::move(def), cap};
}
Op GetInt(std::u16string s, std::u16string k, int def = -99) { return {Op::GetInt, std::move(s), std::move(k), u"", def}; }
Op Put(std::u16string s, std::u16string k, std::u16string v) { return {Op::Put, std::move(s), std::move(k), std::move(v)}; }
Op DelKey(std::u16string s, std::u16string k) { return {Op::DelKey, std::move(s), std::move(k), u""}; }
Op DelSection(std::u16string s) { return {Op::DelSection, std::move(s), u"", u""}; }

struct Outcome {
    std::vector<std::u16string> reads;
    std::string bytes;
};

Outcome ThroughPlatform(const std::u16string& path, const std::string& initial, const std::vector<Op>& ops) {
    if (!initial.empty()) test::WriteBytes(path, initial);
    Outcome o;
    const wchar_t* file = AsW(path);
    for (const Op& op : ops) {
        switch (op.kind) {
        case Op::Get: {
            std::vector<wchar_t> buf(size_t(op.number) + 1, L'\0');
            DWORD n = GetPrivateProfileStringW(AsW(op.section), AsW(op.key), AsW(op.value), buf.data(),
                                               DWORD(op.number), file);
            o.reads.push_back(std::u16string(AsU16(buf.data()), n));
            break;
        }
        case Op::GetInt:
            o.reads.push_back(Dec(int32_t(GetPrivateProfileIntW(AsW(op.section), AsW(op.key), op.number, file))));
            break;
        case Op::Put: WritePrivateProfileStringW(AsW(op.section), AsW(op.key), AsW(op.value), file); break;
        case Op::DelKey: WritePrivateProfileStringW(AsW(op.section), AsW(op.key), nullptr, file); break;
        case Op::DelSection: WritePrivateProfileStringW(AsW(op.section), nullptr, nullptr, file); break;
        }
    }
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file);  // flush the platform's cache
    o.bytes = test::ReadBytes(path);
    return o;
}

// Each operation in its own batch, as a program calling profile functions
// one by one would see it: one read and at most one write each.
Outcome ThroughEngine(const std::u16string& path, const std::string& initial, const std::vector<Op>& ops) {
    if (!initial.empty()) test::WriteBytes(path, initial);
    ProfileStore store(PlatformFileSystem(), path);
    Outcome o;
    for (const Op& op : ops) {
        ProfileBatch batch(store);
        ProfileDocument& d = store.Doc();
        switch (op.kind) {
        case Op::Get: o.reads.push_back(d.GetString(op.section, op.key, op.value, size_t(op.number))); break;
        case Op::GetInt: o.reads.push_back(Dec(d.GetInt(op.section, op.key, op.number))); break;
        case Op::Put: d.Put(op.section, op.key, op.value); break;
        case Op::DelKey: d.DeleteKey(op.section, op.key); break;
        case Op::DelSection: d.DeleteSection(op.section); break;
        }
    }
    o.bytes = test::ReadBytes(path);
    return o;
}

// Lines as Wine writes them back: trimmed, blank lines gone, "key=value".
std::u16string Canonical(const std::string& bytes) {
    std::u16string t = TextOf(bytes), out;
    size_t i = 0;
    while (i <= t.size()) {
        size_t j = t.find_first_of(u"\r\n", i);
        if (j == std::u16string::npos) j = t.size();
        std::u16string_view line = std::u16string_view(t).substr(i, j - i);
        while (!line.empty() && IsProfileSpace(line.front())) line.remove_prefix(1);
        while (!line.empty() && IsProfileSpace(line.back())) line.remove_suffix(1);
        if (!line.empty()) {
            size_t eq = line.find(u'=');
            if (line[0] != u'[' && eq != std::u16string_view::npos) {
                std::u16string_view k = line.substr(0, eq), v = line.substr(eq + 1);
                while (!k.empty() && IsProfileSpace(k.back())) k.remove_suffix(1);
                while (!v.empty() && IsProfileSpace(v.front())) v.remove_prefix(1);
                out += std::u16string(k) + u"=" + std::u16string(v);
            } else {
                out += line;
            }
            out += u"\r\n";
        }
        i = j + 1;
        if (j < t.size() && t[j] == u'\r' && j + 1 < t.size() && t[j + 1] == u'\n') ++i;
    }
    return out;
}

struct Scenario {
    const char* name;
    std::u16string initial;  // file text after the mark; empty: no file
    std::vector<Op> ops;
    bool exactBytes = true;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class ProfileContract : public ::testing::TestWithParam<Scenario> {};

TEST_P(ProfileContract, EngineMatchesPlatform) {
    const Scenario& s = GetParam();
    test::TempDir dir;
    std::string initial = s.initial.empty() ? std::string() : Utf16LE(s.initial);
    Outcome platform = ThroughPlatform(dir.File(u"platform.ini"), initial, s.ops);
    Outcome engine = ThroughEngine(dir.File(u"engine.ini"), initial, s.ops);
    ASSERT_EQ(platform.reads.size(), engine.reads.size());
    for (size_t i = 0; i < platform.reads.size(); ++i)
        EXPECT_EQ(test::Narrow(engine.reads[i]), test::Narrow(platform.reads[i])) << "read #" << i;
    if (s.exactBytes) {
        EXPECT_EQ(test::Narrow(TextOf(engine.bytes)), test::Narrow(TextOf(platform.bytes)));
        EXPECT_EQ(engine.bytes.substr(0, 2), platform.bytes.substr(0, 2));
    } else {
        EXPECT_EQ(test::Narrow(Canonical(engine.bytes)), test::Narrow(Canonical(platform.bytes)));
    }
}

const std::u16string kOdd =
    u";head\r\n[Alpha]\r\n  Name = Value  \r\nquoted=\"q v\"\r\nsingle='s'\r\nhalf=\"h\r\ndup=first\r\ndup=second\r\n"
    u"num = 42abc \r\nneg=-17\r\nhex=0x1F\r\nempty=\r\nbare line\r\n[beta]\r\nk=1\r\n[ALPHA]\r\nonlyhere=x\r\n"
    u"[Gamma]\r\nwide=ページ　\r\nnbsp=\u00A0a\u00A0\r\ntab=\tb\t\r\neof=\x1A c\r\n";

std::vector<Scenario> Scenarios() {
    std::vector<Scenario> v;
    v.push_back({"ProgramLikeFile",
                 u";Vellumcraft",
                 {Put(u"Vellumcraft", u"xPosi", u"230"), Put(u"Vellumcraft", u"TabFontName", u"ＭＳ Ｐゴシック"),
                  Put(u"Page1", u"Label", u"Page1"), Put(u"Page1", u"Comment000", u"Page1 コメント"),
                  Put(u"Page1", u"Comment", u"1"), Put(u"Vellumcraft", u"yPosi", u"178"),
                  Put(u"Page1", u"Files000", u""), Put(u"Page2", u"Files000", u"C:\\a b\\c.txt"),
                  Put(u"Page1", u"Label", u"Renamed"), DelKey(u"Page1", u"Comment000"),
                  Put(u"page1", u"LABEL", u"Case"), Get(u"PAGE1", u"label"), GetInt(u"vellumcraft", u"XPOSI"),
                  Get(u"Page2", u"Files000"), Get(u"Page1", u"Files000", u"x"), Get(u"Page9", u"x", u"dflt  ")}});
    v.push_back({"Reads",
                 kOdd,
                 {Get(u"alpha", u"name"), Get(u"Alpha", u"quoted"), Get(u"Alpha", u"single"), Get(u"Alpha", u"half"),
                  Get(u"Alpha", u"dup"), Get(u"Alpha", u"onlyhere"), Get(u"beta", u"K"), Get(u"Alpha", u"empty"),
                  Get(u"Alpha", u"bare line"), Get(u"Alpha", u"name", u"", 3), Get(u"Alpha", u"quoted", u"", 3),
                  Get(u"Gamma", u"wide"), Get(u"Gamma", u"nbsp"), Get(u"Gamma", u"tab"), Get(u"Gamma", u"eof"), Get(u" Alpha ", u" Name "), Get(u"Alpha", u"missing", u"a b  ")}});
    v.push_back({"Integers",
                 kOdd,
                 {GetInt(u"Alpha", u"num"), GetInt(u"Alpha", u"neg"), GetInt(u"Alpha", u"hex"),
                  GetInt(u"Alpha", u"empty", 7), GetInt(u"Alpha", u"name", 7), GetInt(u"Alpha", u"quoted", 7),
                  GetInt(u"Alpha", u"missing", 7), GetInt(u"beta", u"k")}});
    v.push_back({"IntegerForms",
                 u"[n]\r\na=+8\r\nb=0X10\r\nc=0b101\r\nd=0o17\r\ne=4294967295\r\nf=-2147483648\r\ng=99999999999\r\n"
                 u"h=\"12\"\r\ni= 7\r\nj=1 2\r\nk=-\r\nl=0x\r\nm=00012\r\n",
                 {GetInt(u"n", u"a"), GetInt(u"n", u"b"), GetInt(u"n", u"c"), GetInt(u"n", u"d"), GetInt(u"n", u"e"),
                  GetInt(u"n", u"f"), GetInt(u"n", u"g"), GetInt(u"n", u"h"), GetInt(u"n", u"i"), GetInt(u"n", u"j"),
                  GetInt(u"n", u"k"), GetInt(u"n", u"l"), GetInt(u"n", u"m")}});
    v.push_back({"EditsOfAnOddFile",
                 kOdd,
                 {Put(u"alpha", u"NAME", u"new"), Put(u"Alpha", u"added", u"1"), Put(u"beta", u"k2", u"2"),
                  DelKey(u"Alpha", u"dup"), Get(u"Alpha", u"dup"), DelSection(u"beta"), Put(u"Delta", u"d", u"4"),
                  Put(u"Alpha", u"lead", u"   spaced"), Get(u"Alpha", u"lead"), DelSection(u"alpha"),
                  Get(u"Alpha", u"onlyhere")},
                 false});
    v.push_back({"UnchangedValueLeavesTheFileAlone",
                 u"[s]\r\n k = v \r\n\r\n[t]\r\nx=1\r\n",
                 {Put(u"s", u"k", u"v"), Put(u"t", u"x", u"1"), DelKey(u"s", u"absent"), DelSection(u"absent")}});
    v.push_back({"KeysAppendedToAMiddleSection",
                 u"[a]\r\nx=1\r\n[b]\r\ny=2\r\n[c]\r\nz=3",
                 {Put(u"b", u"n1", u"v1"), Put(u"b", u"n2", u"v2"), Put(u"c", u"n3", u"v3"), Put(u"a", u"x", u"9"),
                  DelKey(u"c", u"z"), Put(u"d", u"w", u"")}});
    v.push_back({"NoFileYet", u"", {Get(u"s", u"k"), GetInt(u"s", u"k", 5), DelKey(u"s", u"k"), DelSection(u"s")}});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileContract, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& i) { return std::string(i.param.name); });

// A file without mark is 8-bit text in the system's code page: Shift_JIS on
// a Japanese system (make test runs this suite once under ja_JP). The engine
// reads what the platform reads; where the platform writes such a file back
// as 8-bit text, losing what the code page cannot hold, the engine writes it
// as UTF-16 with every value unchanged.
TEST(ProfileContractAnsi, FilesWithoutMarkReadInTheSystemCodePage) {
    const bool japanese = GetACP() == 932;
    const std::u16string text =
        japanese ? u"[Vellumcraft]\r\nTabFontName=ＭＳ Ｐゴシック\r\n[Page1]\r\nLabel=仕事\r\nComment000=表示－ソ\r\n"
                   u"Files000=C:\\写真\\a.jpg\r\n[ページ]\r\nキー=値\r\n"
                 : u"[Vellumcraft]\r\nTabFontName=Tahoma\r\n[Page1]\r\nLabel=café\r\nComment000=naïve\r\n"
                   u"Files000=C:\\Ünï\\a.jpg\r\n[Seite]\r\nSchlüssel=Wert\r\n";
    const int n = WideCharToMultiByte(CP_ACP, 0, AsW(text), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(n), '\0');
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, AsW(text), int(text.size()), bytes.data(), n, nullptr, &lossy);
    ASSERT_FALSE(lossy) << "code page " << GetACP();
    const std::vector<Op> reads = {
        Get(u"Vellumcraft", u"TabFontName"), Get(u"Page1", u"Label"), Get(u"Page1", u"Comment000"),
        Get(u"Page1", u"Files000"), Get(text.substr(text.rfind(u'[') + 1, japanese ? 4 : 5),
                                        japanese ? u"キー" : u"Schlüssel")};
    test::TempDir dir;
    Outcome platform = ThroughPlatform(dir.File(u"p.ini"), bytes, reads);
    std::vector<Op> withWrite = reads;
    withWrite.push_back(Put(u"Page1", u"Label", text.substr(text.find(u"Label=") + 6, japanese ? 2 : 4) + u"2"));
    withWrite.insert(withWrite.end(), reads.begin(), reads.end());
    Outcome engine = ThroughEngine(dir.File(u"e.ini"), bytes, withWrite);
    ASSERT_EQ(engine.reads.size(), 2 * platform.reads.size());
    for (size_t i = 0; i < platform.reads.size(); ++i) {
        EXPECT_EQ(test::Narrow(engine.reads[i]), test::Narrow(platform.reads[i])) << "read #" << i;
        const std::u16string after = platform.reads[i] + (i == 1 ? u"2" : u"");
        EXPECT_EQ(test::Narrow(engine.reads[reads.size() + i]), test::Narrow(after)) << "after the write, #" << i;
    }
    EXPECT_EQ(engine.bytes.substr(0, 2), "\xFF\xFE");
}

// Long random sequences over a file in the program's own form (no blank
// lines, "key=value"), where the bytes must match after every step.
TEST(ProfileContractRandom, ManyOperationsKeepTheSameBytes) {
    test::TempDir dir;
    std::mt19937 rng(20261207);
    const std::u16string sections[] = {u"Vellumcraft", u"Page1", u"page2", u"PAGE3", u"Page-Default"};
    const std::u16string keys[] = {u"Label", u"files000", u"Files001", u"FILES", u"Comment", u"x"};
    const std::u16string values[] = {u"", u"1", u"-5", u"C:\\Program Files\\a.exe", u"ページ", u"a=b", u"[x]"};
    std::vector<Op> ops;
    for (int i = 0; i < 300; ++i) {
        const std::u16string& s = sections[rng() % 5];
        const std::u16string& k = keys[rng() % 6];
        switch (rng() % 10) {
        case 0: ops.push_back(DelKey(s, k)); break;
        case 1: if (rng() % 4 == 0) ops.push_back(DelSection(s)); break;
        case 2: ops.push_back(Get(s, k)); break;
        case 3: ops.push_back(GetInt(s, k)); break;
        default: ops.push_back(Put(s, k, values[rng() % 7])); break;
        }
    }
    std::string initial = Utf16LE(u";Vellumcraft");
    Outcome platform = ThroughPlatform(dir.File(u"p.ini"), initial, ops);
    Outcome engine = ThroughEngine(dir.File(u"e.ini"), initial, ops);
    EXPECT_EQ(engine.reads, platform.reads);
    EXPECT_EQ(test::Narrow(TextOf(engine.bytes)), test::Narrow(TextOf(platform.bytes)));
}

}  // namespace
}  // namespace vc
