// The real Vellumcraft.exe killed at a random moment while it stores a page
// command or a page switch, as a crash, a log-off gone wrong or the task
// manager would end it. The settings file is the user's only data: whatever
// the moment, the file left behind must load with every page and entry it
// had, either as it was before the command or as the command leaves it,
// never a mixture of the two or a file cut short.
//
// Many rounds from one seed: each round writes its own settings file with
// pages of its own, starts the program on it, asks for one operation and
// kills the program after a random delay. Every failure names the seed and
// the round; VC_FAULT_SEED and VC_FAULT_ROUNDS choose others.
#include <windows.h>

#include <gtest/gtest.h>

#include <type_traits>
#include <cwchar>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "e2e/SettingsSections.h"
#include "settings/SettingsFile.h"
#include "support/FirstStartFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

using test::Narrow;

constexpr uint32_t kDefaultSeed = 20250611;
constexpr uint32_t kDefaultRounds = 60;
// Covers the moment the program stores the command, which under Wine comes
// some milliseconds after the command was posted.
constexpr int kMaxKillDelayMs = 150;

uint32_t FromEnvironment(const wchar_t* name, uint32_t fallback) {
    wchar_t text[32] = {};
    const DWORD n = GetEnvironmentVariableW(name, text, 32);
    if (n == 0 || n >= 32) return fallback;
    return uint32_t(wcstoul(text, nullptr, 10));
}

// What the user would miss: a page's label, comment and entries. A page that
// the command adds comes with the defaults, so only its label and its empty
// entry list are known.
struct Page {
    std::u16string label;
    std::optional<std::u16string> comment;
    std::u16string files;  // each path followed by CR LF
};

std::vector<std::u16string> LinesOf(const std::u16string& files) {
    std::vector<std::u16string> lines;
    for (size_t from = 0, end; (end = files.find(u"\r\n", from)) != std::u16string::npos; from = end + 2)
        lines.push_back(files.substr(from, end - from));
    return lines;
}

bool Same(const std::vector<Page>& expected, const std::vector<PageRecord>& found) {
    if (expected.size() != found.size()) return false;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Page& e = expected[i];
        if (e.label != found[i].Label || e.files != found[i].Files) return false;
        if (e.comment && *e.comment != found[i].Comment) return false;
    }
    return true;
}

// "label (n entries), ..." of either kind of page list.
template <class Pages>
std::string Summary(const Pages& pages) {
    std::string s;
    for (const auto& p : pages) {
        if constexpr (std::is_same_v<typename Pages::value_type, Page>)
            s += Narrow(p.label) + " (" + std::to_string(LinesOf(p.files).size()) + "), ";
        else
            s += Narrow(p.Label) + " (" + std::to_string(LinesOf(p.Files).size()) + "), ";
    }
    return s;
}

enum class Operation { Switch, Add, Duplicate, Delete };

// One round: the pages the file starts with, the page shown, what is asked
// and when the program is killed.
struct Round {
    std::vector<Page> pages;
    int shown = 0;
    Operation op = Operation::Switch;
    int target = 0;  // the page a switch selects
    int killAfterMs = 0;

    std::string What() const {
        const std::string page = "page " + std::to_string(shown + 1) + " of " + std::to_string(pages.size());
        switch (op) {
        case Operation::Switch: return "switch from " + page + " to page " + std::to_string(target + 1);
        case Operation::Add: return "add a page on " + page;
        case Operation::Duplicate: return "duplicate " + page;
        case Operation::Delete: return "delete " + page;
        }
        return {};
    }

    // The pages once the operation has run to its end.
    std::vector<Page> After() const {
        std::vector<Page> after = pages;
        switch (op) {
        case Operation::Switch: break;
        case Operation::Add:
            after.push_back({u"Page" + Dec(int64_t(pages.size() + 1)), std::nullopt, u""});
            break;
        case Operation::Duplicate: after.insert(after.begin() + shown + 1, pages[size_t(shown)]); break;
        case Operation::Delete: after.erase(after.begin() + shown); break;
        }
        return after;
    }
};

class Faults : public ::testing::Test {
protected:
    test::TempDir dir;
    uint32_t seed = FromEnvironment(L"VC_FAULT_SEED", kDefaultSeed);
    uint32_t rounds = FromEnvironment(L"VC_FAULT_ROUNDS", kDefaultRounds);
    // Small files of the user's that some entries point at; other entries
    // name paths that do not exist, which load all the same.
    std::vector<std::u16string> realFiles;

    void SetUp() override {
        ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", nullptr, 0), 0u)
            << "no X display: run under scripts/wine-session.sh";
        for (int k = 0; k < 6; ++k) {
            std::u16string path = dir.File(u"メモ " + Dec(k) + u".txt");
            ASSERT_TRUE(test::WriteBytes(path, "note " + std::to_string(k) + "\r\n"));
            realFiles.push_back(path);
        }
    }

    Round Draw(std::mt19937& rng, uint32_t round) const {
        auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Round r;
        const int count = pick(3, 7);
        r.shown = pick(0, count - 1);
        for (int i = 0; i < count; ++i) {
            Page p;
            const std::u16string tag = Dec(int64_t(round)) + u"-" + Dec(i + 1);
            p.label = u"頁 " + tag;
            p.comment = u"メモ " + tag;
            // Pages as full as a user's, so that a write takes its time; the
            // page shown loads its entries one by one before the program is
            // idle, so it stays short.
            const int entries = i == r.shown ? pick(0, 8) : pick(0, kFilesMaxLines - 1);
            for (int k = 0; k < entries; ++k) {
                std::u16string path = realFiles[size_t(pick(0, int(realFiles.size()) - 1))];
                if (pick(0, 3) > 0) {
                    path = u"C:\\無い\\" + tag;
                    for (int depth = pick(1, 10); depth > 0; --depth) path += u"\\長い名前のフォルダー";
                    path += u"\\項目 " + Dec(k) + u".exe";
                }
                p.files += path + u"\r\n";
            }
            r.pages.push_back(p);
        }
        r.op = Operation(pick(0, 3));
        r.target = (r.shown + pick(1, count - 1)) % count;
        r.killAfterMs = pick(0, kMaxKillDelayMs);
        return r;
    }

    // The file as the user last left it: the global section, then each page
    // with its label, comment and entries. The pages hold no more than that,
    // so any page the program stores gains its other keys and the file
    // changes with every operation, a page switch included.
    static std::u16string FileText(const Round& r) {
        std::u16string global = SectionsOf(test::kGlobalSection)[u"Vellumcraft"];
        global = WithKey(global, u"PageCount", Dec(int64_t(r.pages.size())));
        global = WithKey(global, u"TabNumber", Dec(r.shown));
        global = WithKey(global, u"SpcialFolder", u"0");
        std::u16string text = u";Vellumcraft\r\n\r\n[Vellumcraft]\r\n" + global;
        for (size_t i = 0; i < r.pages.size(); ++i) {
            const Page& p = r.pages[i];
            text += u"\r\n[Page" + Dec(int64_t(i + 1)) + u"]\r\nLabel=" + p.label + u"\r\nComment000=" + *p.comment +
                    u"\r\nComment=1\r\n";
            int line = 0;
            for (const std::u16string& entry : LinesOf(p.files))
                text += u"Files" + DecPadded(line++, 3) + u"=" + entry + u"\r\n";
            text += u"Files" + DecPadded(line, 3) + u"=\r\nFiles=" + Dec(line + 1) + u"\r\n";
        }
        return text;
    }

    // Starts the program on the round's file, asks for the operation and
    // kills the program when the round's delay has passed. `rewritten` says
    // whether the program got to store anything before it died.
    ::testing::AssertionResult Run(const Round& r, uint32_t round, bool& rewritten) {
        const std::u16string name = u"round" + Dec(int64_t(round));
        const std::u16string path = dir.File(name + u".vcset");
        const std::string start = test::Utf16LE(FileText(r));
        if (!test::WriteBytes(path, start)) return ::testing::AssertionFailure() << "cannot write " << Narrow(path);
        AppProcess app;
        if (!app.Start(AppExe(), u"\"" + path + u"\""))
            return ::testing::AssertionFailure() << "CreateProcess failed: " << GetLastError();
        HWND tab = app.WaitVisibleDialog(CaptionFor(name), kStart);
        if (!tab) return ::testing::AssertionFailure() << "no window '" << Narrow(CaptionFor(name)) << "'";
        // Once the shown page has loaded the program waits for input, and the
        // command's write comes within tens of milliseconds of the command.
        if (WaitForInputIdle(app.handle(), DWORD(kStart.count())) != 0)
            return ::testing::AssertionFailure() << "the program never became idle";

        switch (r.op) {
        case Operation::Switch: PostMessageW(tab, WM_COMMAND, kSelectPage + UINT(r.target), 0); break;
        case Operation::Add: PostMessageW(tab, WM_COMMAND, kAddPage, 0); break;
        case Operation::Duplicate: PostMessageW(tab, WM_COMMAND, kDuplicatePage, 0); break;
        case Operation::Delete: {
            // The deletion asks first; the delay runs from the answer.
            PostMessageW(tab, WM_COMMAND, kDeletePage, 0);
            HWND box = app.WaitVisibleDialog(u"Vellumcraft", kEffect);
            if (!box) return ::testing::AssertionFailure() << "no question box";
            PostMessageW(GetDlgItem(box, kYes), BM_CLICK, 0, 0);
            break;
        }
        }
        // The one deliberate sleep: the kill comes at a moment of the round's
        // choosing, before, during or after the command's write.
        Sleep(DWORD(r.killAfterMs));
        if (!app.Running()) return ::testing::AssertionFailure() << "the program ended before it was killed";
        app.Kill();

        const std::string bytes = test::ReadBytes(path);
        rewritten = bytes != start;
        return Check(r, path, bytes);
    }

    // The file left behind, read as the next start of the program reads it.
    static ::testing::AssertionResult Check(const Round& r, const std::u16string& path, const std::string& bytes) {
        if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' || bytes.size() % 2 != 0)
            return ::testing::AssertionFailure() << "the file is gone, cut short or has lost its mark ("
                                                 << bytes.size() << " bytes)";
        Records back;
        ProfileStore store(PlatformFileSystem(), path);
        LoadDefaultPage(back, store);
        LoadSettings(back, store);
        if (store.FileUnreadable()) return ::testing::AssertionFailure() << "the file cannot be read";

        const std::vector<Page> after = r.After();
        if (!Same(r.pages, back.UserPages) && !Same(after, back.UserPages))
            return ::testing::AssertionFailure() << "the file holds the pages " << Summary(back.UserPages)
                                                 << "\n  before: " << Summary(r.pages) << "\n  after:  " << Summary(after);
        // A page section beyond the count would come back in place of the
        // defaults of the next page added.
        const int32_t beyond = back.GlobalSettings.PageCount;
        if (ProfileDocument::FromBytes(bytes).HasSection(SectionNameOf(beyond)))
            return ::testing::AssertionFailure() << "[" << Narrow(SectionNameOf(beyond)) << "] is left beyond PageCount="
                                                 << beyond;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(Faults, AKilledProgramLeavesEveryPageAndEntryOfBeforeOrAfter) {
    std::mt19937 rng(seed);
    int rewritten = 0;
    for (uint32_t round = 0; round < rounds; ++round) {
        const Round r = Draw(rng, round);
        bool changed = false;
        EXPECT_TRUE(Run(r, round, changed))
            << "seed " << seed << ", round " << round << ": " << r.What() << ", killed after " << r.killAfterMs
            << " ms (replay: VC_FAULT_SEED=" << seed << " VC_FAULT_ROUNDS=" << round + 1 << ")";
        rewritten += changed ? 1 : 0;
    }
    std::cout << "seed " << seed << ": " << rounds << " rounds, " << rewritten
              << " of them killed after the program had written the file\n";
    // Delays that never reach the write would leave nothing to test.
    if (rounds >= 10) {
        EXPECT_GT(rewritten, 0) << "seed " << seed << ": no round got as far as a write";
    }
}

}  // namespace
}  // namespace vc::e2e
