// The settings file engine against the platform's key-by-key profile calls:
// writing one page of 200 entries into a file of 50 such pages, and loading
// that file, plus the cost of writing the whole file once and of the check
// each batch makes that no other program changed the file.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "settings/SettingsFile.h"
#include "support/BenchReport.h"
#include "support/TempDir_win.h"

namespace vc {
namespace {

constexpr int kPages = 50;
constexpr int kEntries = 200;

std::u16string Entries(int page, int variant) { return bench::HundredUnitEntries(page, kEntries, variant); }

// ---- The same calls, key by key, through the platform's profile functions ----
struct Win32Profile {
    std::u16string file;
    void Put(const std::u16string& s, const std::u16string& k, const std::u16string& v) {
        WritePrivateProfileStringW(AsW(s), AsW(k), AsW(v), AsW(file));
    }
    void Del(const std::u16string& s, const std::u16string& k) {
        WritePrivateProfileStringW(AsW(s), AsW(k), nullptr, AsW(file));
    }
    std::u16string Get(const std::u16string& s, const std::u16string& k, const std::u16string& def, int cap) {
        std::u16string buf(size_t(cap), u'\0');
        DWORD n = GetPrivateProfileStringW(AsW(s), AsW(k), AsW(def), reinterpret_cast<wchar_t*>(buf.data()),
                                           DWORD(cap), AsW(file));
        buf.resize(n);
        return buf;
    }
    int GetInt(const std::u16string& s, const std::u16string& k, int def) {
        return int(GetPrivateProfileIntW(AsW(s), AsW(k), def, AsW(file)));
    }

    void WriteMultiLine(const std::u16string& s, const std::u16string& base, const std::u16string& text, int m) {
        Del(s, base);
        int i = 0;
        size_t pos = 0;
        while (i < m) {
            size_t brk = text.find(u"\r\n", pos);
            std::u16string key = base + DecPadded(i, 3);
            Put(s, key, text.substr(pos, brk == std::u16string::npos ? std::u16string::npos : brk - pos));
            Del(s, key + u"Hex");
            ++i;
            if (brk == std::u16string::npos) break;
            pos = brk + 2;
        }
        for (int j = i; j < m; ++j) {
            std::u16string key = base + DecPadded(j, 3);
            std::u16string old = Get(s, key, u"@SmallWrite", 13);
            Del(s, key);
            if (old == u"@SmallWrite") break;
        }
        Put(s, base, Dec(i));
    }
    void WritePage(const PageRecord& p, int id) {
        std::u16string s = SectionNameOf(id);
        Put(s, u"Label", p.Label);
        Del(s, u"LabelHex");
        WriteMultiLine(s, u"Comment", p.Comment, kCommentMaxLines);
        Put(s, u"LabelColor", Dec(p.LabelColor));
        Put(s, u"Flag", Dec(int32_t(p.Flag)));
        Put(s, u"FontName", p.FontName);
        Put(s, u"FontSize", Dec(p.FontSize));
        Put(s, u"FontStyle", Dec(int32_t(p.FontStyle)));
        Put(s, u"FontColor", Dec(int32_t(p.FontColor)));
        Put(s, u"FontColorBk", Dec(int32_t(p.FontColorBk)));
        Put(s, u"Cursor", Dec(p.Cursor));
        Put(s, u"ListType", Dec(int32_t(p.ListType)));
        Put(s, u"PageColumnWidth", FormatColumnWidths(p.PageColumnWidth));
        Put(s, u"PageListSort", Dec(p.PageListSort));
        WriteMultiLine(s, u"Files", p.Files, kFilesMaxLines);
    }
    std::u16string ReadMultiLine(const std::u16string& s, const std::u16string& base) {
        int n = GetInt(s, base, 0);
        std::u16string out;
        for (int i = 0; i < n; ++i) {
            out += Get(s, base + DecPadded(i, 3), u"", 260);
            if (i + 1 < n) out += u"\r\n";
        }
        return out;
    }
    void LoadPage(int id) {
        std::u16string s = SectionNameOf(id);
        Get(s, u"Label", s, 32);
        ReadMultiLine(s, u"Comment");
        ReadMultiLine(s, u"Files");
        for (const char16_t* k : {u"LabelColor", u"Flag", u"Cursor", u"ListType"}) GetInt(s, k, 0);
        if (Get(s, u"FontNameHex", u"", 520).empty()) Get(s, u"FontName", u"MS UI Gothic", 260);
        for (const char16_t* k : {u"FontSize", u"FontStyle", u"FontColor", u"FontColorBk"}) GetInt(s, k, 0);
        Get(s, u"PageColumnWidth", u"190,160,75,95,75,", 28);
        GetInt(s, u"PageListSort", 1);
    }
    void LoadAll() {
        const std::u16string g = u"Vellumcraft";
        for (const char16_t* k : {u"PageCount", u"TabStyle", u"TabNumber", u"xPosi", u"yPosi", u"xSize", u"ySize",
                                  u"LayerWindowLevel"})
            GetInt(g, k, 0);
        if (Get(g, u"TabFontNameHex", u"", 520).empty()) Get(g, u"TabFontName", u"", 260);
        GetInt(g, u"TabFontSize", 12);
        for (int n = 1; n <= 5; ++n) GetInt(g, u"LabelColor" + Dec(n), 0);
        GetInt(g, u"SpcialFolder", 0);
        GetInt(g, u"SpcialRecentFileNum", 0);
        for (int i = 0; i < kSpecialPageCount; ++i) LoadPage(SpecialPageId(i));
        for (int i = 0; i < kPages; ++i) LoadPage(i);
    }
};

int Run() {
    test::TempDir dir;
    const std::u16string engineFile = dir.File(u"engine.vcset");
    const std::u16string platformFile = dir.File(u"platform.vcset");

    // A 50-page file, made by the engine.
    ProfileStore store(PlatformFileSystem(), engineFile);
    Records r;
    {
        ProfileBatch batch(store);
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
        r.GlobalSettings.PageCount = kPages;
        r.UserPages.resize(kPages, r.UserPages[0]);
        WriteGlobalSettings(r, store);
        for (int i = 0; i < kPages; ++i) {
            r.UserPages[size_t(i)].Label = u"Page" + Dec(i + 1);
            r.UserPages[size_t(i)].Files = Entries(i, 0);
            WritePage(r, store, i, WriteGroup::All);
        }
    }
    std::string bytes = test::ReadBytes(engineFile);
    std::printf("settings file: %d pages of %d entries, %zu bytes\n", kPages, kEntries, bytes.size());

    int variant = 0;
    // (a) one page write, every entry changed.
    double enginePage = bench::MedianMs(15, [&] {
        r.UserPages[10].Files = Entries(10, ++variant);
        WritePage(r, store, 10, WriteGroup::All);
    });
    test::WriteBytes(platformFile, bytes);
    Win32Profile win{platformFile};
    double platformPage = bench::MedianMs(3, [&] {
        r.UserPages[10].Files = Entries(10, ++variant);
        win.WritePage(r.UserPages[10], 10);
    });
    // The whole file written once, for scale.
    double wholeFile = bench::MedianMs(15, [&] {
        ProfileDocument d = ProfileDocument::FromBytes(bytes);
        PlatformFileSystem().ReplaceAtomically(engineFile, d.ToBytes());
    });
    // (b) loading the file.
    double engineLoad = bench::MedianMs(15, [&] {
        Records fresh;
        LoadDefaultPage(fresh, store);
        LoadSettings(fresh, store);
    });
    double platformLoad = bench::MedianMs(3, [&] { win.LoadAll(); });
    // (c) what every batch adds to tell whether another program changed the
    // file since this run last read or wrote it: a hash of its bytes.
    volatile uint64_t sink = 0;
    double unchangedCheck = bench::MedianMs(15, [&] { sink = sink + HashBytes(bytes); });

    std::printf("page write: engine %.2f ms, key by key %.2f ms\n", enginePage, platformPage);
    std::printf("load: engine %.2f ms, key by key %.2f ms\n", engineLoad, platformLoad);
    std::printf("whole-file write: %.2f ms\n", wholeFile);
    std::printf("unchanged-file check: %.3f ms\n", unchangedCheck);
    bool ok = true;
    ok &= bench::Verdict("page-write-speedup", platformPage / enginePage, "x", ">=", 50);
    ok &= bench::Verdict("load-speedup", platformLoad / engineLoad, "x", ">=", 50);
    ok &= bench::Verdict("page-write-vs-whole-file", enginePage / wholeFile, "x", "<=", 3);
    ok &= bench::Verdict("unchanged-check-share", unchangedCheck / enginePage, "x", "<=", 0.05);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main() { return vc::Run(); }
