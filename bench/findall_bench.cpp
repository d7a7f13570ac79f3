// The find box over 100 pages of 200 entries: the time from each typed key
// to its results on screen, against a bare scan that folds and compares
// every entry's name once with no window at all.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/App_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FilesText.h"
#include "pageview/FindText.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/BenchReport.h"
#include "support/StartProgram_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"
#include "tabwindow/FindAll.h"

namespace vc {
namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kPages = 100;
constexpr int kEntries = 200;
// The first key finds every entry; the later ones narrow the results down.
constexpr char16_t kTyped[] = u"file-19";
constexpr int kRuns = 5;

void PumpAll(App& app) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
}

// Each entry's name folded and compared, straight from the records.
size_t BareScan(const Records& r, std::u16string_view typed) {
    const std::u16string folded = FoldForFind(typed);
    size_t found = 0;
    for (const PageRecord& page : r.UserPages) {
        size_t pos = 0;
        std::u16string_view line;
        while (CutNextEntry(page.Files, pos, line) || CutLastEntry(page.Files, pos, line)) {
            const size_t slash = line.rfind(u'\\');
            const std::u16string_view name = slash == std::u16string_view::npos ? line : line.substr(slash + 1);
            if (FoldForFind(name).find(folded) != std::u16string::npos) ++found;
        }
    }
    return found;
}

struct Typing {
    double openMs = 0, longestKeyMs = 0;
    size_t shownAtEnd = 0;
    bool ran = false;
};
Typing g_typing;
Clock::time_point g_commandAt;

// Runs inside the box's own loop: types each key into the edit and pumps
// until the results are painted.
void CALLBACK TypeInBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"検索");
    if (!box || !IsWindowVisible(box)) return;  // the keys' paints count
    KillTimer(nullptr, id);
    g_typing.openMs = Ms(Clock::now() - g_commandAt);
    HWND edit = GetDlgItem(box, IDC_FIND_EDIT), list = GetDlgItem(box, IDC_FIND_LIST);
    auto pump = [&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(box, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        UpdateWindow(list);
    };
    // The text is typed five times over (the box emptied between): the
    // median of their longest keys, as other work on the machine comes and goes.
    std::vector<double> longest;
    for (int run = 0; run < kRuns; ++run) {
        SetWindowTextW(edit, L"");
        pump();
        longest.push_back(0);
        for (const char16_t* c = kTyped; *c; ++c) {
            const auto a = Clock::now();
            SendMessageW(edit, WM_CHAR, *c, 1);
            const double found = Ms(Clock::now() - a);
            pump();
            const double took = Ms(Clock::now() - a);
            if (run == kRuns - 1)
                std::printf("key '%c': %.2f ms, %.2f of them until the list had its new count\n", char(*c), took, found);
            longest.back() = std::max(longest.back(), took);
        }
    }
    std::sort(longest.begin(), longest.end());
    g_typing.longestKeyMs = longest[longest.size() / 2];
    g_typing.shownAtEnd = size_t(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    g_typing.ran = true;
    EndDialog(box, IDCANCEL);
}

int Run() {
    test::TempDir dir;
    const std::u16string settings = dir.File(u"find.vcset");
    std::u16string text = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=" + Dec(kPages) + u"\r\nSpcialFolder=0\r\n";
    for (int p = 0; p < kPages; ++p) {
        text += u"[Page" + Dec(p + 1) + u"]\r\nLabel=Page" + Dec(p + 1) + u"\r\n";
        const std::u16string files = bench::HundredUnitEntries(p, kEntries);
        size_t pos = 0;
        std::u16string_view line;
        for (int k = 0; CutNextEntry(files, pos, line); ++k)
            text += u"Files" + DecPadded(k, 3) + u"=" + std::u16string(line) + u"\r\n";
        text += u"Files=" + Dec(kEntries) + u"\r\n";
    }
    test::WriteBytes(settings, test::Utf16LE(text));
    App& app = test::StartProgram(settings, u"Bench");
    while (!PaneLoaded()) {
        PumpAll(app);
        Sleep(1);
    }
    PumpAll(app);

    SetTimer(nullptr, 0, 10, TypeInBox);
    g_commandAt = Clock::now();
    SendMessageW(app.TabWindow, WM_COMMAND, IDM_FIND_ALL, 0);
    if (!g_typing.ran) {
        std::printf("the find box did not open\n");
        return 1;
    }
    const std::vector<FindEntry> index = IndexEntries(app.rec.UserPages, app.rec.SettingsFilePath);
    std::vector<double> searchMs;
    for (const char16_t* end = kTyped + 1; *(end - 1); ++end)
        searchMs.push_back(bench::MedianMs(5, [&] { FindEntries(index, std::u16string_view(kTyped, size_t(end - kTyped))); }));
    std::printf("search alone, per key:");
    for (double ms : searchMs) std::printf(" %.2f", ms);
    std::printf(" ms\n");
    const double longestSearch = *std::max_element(searchMs.begin(), searchMs.end());
    size_t bareFound = 0;
    const double bareMs = bench::MedianMs(5, [&] { bareFound = BareScan(app.rec, kTyped); });
    std::printf("find box: %d pages x %d entries, opened in %.1f ms (timer tick included), %zu found for \"file-19\"\n",
                kPages, kEntries, g_typing.openMs, g_typing.shownAtEnd);
    std::printf("longest key to results shown (median of %d runs): %.2f ms; bare scan of the records: %.2f ms (%zu found)\n",
                kRuns, g_typing.longestKeyMs, bareMs, bareFound);
    bool ok = true;
    ok &= bench::Verdict("find-all-longest-key", g_typing.longestKeyMs, "ms", "<=", 100);
    // The ratio to a bare scan is reported, not judged: most of a key is
    // the controls taking it and painting one screenful, which does not grow
    // with the records and swings with the machine's load. Folding anew at
    // each key would show in the search alone, which must stay well under
    // one bare scan.
    std::printf("longest key / bare scan of the records: %.2f x\n", g_typing.longestKeyMs / std::max(bareMs, 0.001));
    ok &= bench::Verdict("find-all-search-vs-bare-scan", longestSearch / std::max(bareMs, 0.001), "x", "<=", 0.5);
    SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
    PumpAll(app);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main() { return vc::Run(); }
