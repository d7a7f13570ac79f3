// Start-up and shut-down of Vellumcraft.exe against minimal_dialog.exe, an
// empty dialog program, under the same Wine in one run: the time from
// CreateProcess until the main dialog is visible, which carries the target,
// and the time from posting WM_CLOSE until the process has ended. The close
// is timed twice: posted the moment the window shows (Vellumcraft is still
// bringing in its page then, and ends only after it) and posted once the
// program waits idle for input. Runs alternate between the two programs so
// that a slow phase of the machine weighs on both alike. Vellumcraft runs on
// a settings file that already exists: the warm-up run creates it.
// One more figure shows how much of Vellumcraft's start is the process
// itself: a second start that stops at the single-instance check. All of it
// is measured at 96 DPI and again at 144 DPI (the prefix's LogPixels, put
// back afterwards), where the program makes its fonts, swatches and image
// lists larger.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "BenchPages.h"
#include "support/BenchReport.h"
#include "settings/Records.h"
#include "support/TempDir_win.h"

namespace vc {
namespace {

using e2e::AppProcess;
using e2e::Clock;
using e2e::Ms;

constexpr int kRuns = 15;
constexpr Ms kDeadline{20000};

struct Program {
    const char* label;
    std::u16string exe;
    std::u16string argument;
    std::u16string caption;
    std::vector<double> visibleMs, exitMs, idleExitMs;
};

double Since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

double Median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One start and close; false when a deadline passed or the exit code was not 0.
// With `whenIdle` the close waits until the program waits for input.
bool RunOnce(Program& p, bool record, bool whenIdle = false) {
    AppProcess app;
    const auto started = Clock::now();
    if (!app.Start(p.exe, p.argument)) {
        std::printf("startup: %s: CreateProcess failed (%lu)\n", p.label, GetLastError());
        return false;
    }
    HWND dialog = app.WaitVisibleDialog(p.caption, kDeadline, Ms(1));
    const double visible = Since(started);
    if (!dialog) {
        std::printf("startup: %s: no visible window \"%s\" within %lld ms\n", p.label,
                    ToUtf8(p.caption).c_str(), static_cast<long long>(kDeadline.count()));
        return false;
    }
    if (whenIdle) WaitForInputIdle(app.handle(), DWORD(kDeadline.count()));
    const auto closing = Clock::now();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(app.handle(), DWORD(kDeadline.count())) == WAIT_OBJECT_0;
    const double exit = Since(closing);
    DWORD code = 1;
    if (ended) GetExitCodeProcess(app.handle(), &code);
    if (!ended || code != 0) {
        std::printf("startup: %s: %s after WM_CLOSE\n", p.label, ended ? "non-zero exit code" : "still running");
        return false;
    }
    if (record) {
        if (!whenIdle) p.visibleMs.push_back(visible);
        (whenIdle ? p.idleExitMs : p.exitMs).push_back(exit);
    }
    return true;
}

// For the reader of a MISS: how long a start takes that ends at the
// single-instance check, before settings and windows, while `p` runs.
double SecondStartMs(const Program& p) {
    AppProcess first;
    if (!first.Start(p.exe, p.argument) || !first.WaitVisibleDialog(p.caption, kDeadline)) {
        std::printf("startup: %s did not show its window for the second-start runs\n", p.label);
        return NAN;
    }
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        AppProcess second;
        const auto started = Clock::now();
        if (!second.Start(p.exe, p.argument) || second.WaitExit(kDeadline) != 0) {
            std::printf("startup: second start %d of %s did not end with 0 within %lld ms (visible windows: %s)\n",
                        i + 1, p.label, static_cast<long long>(kDeadline.count()),
                        second.VisibleDialog(p.caption) ? "its own" : "none of its own");
            return NAN;
        }
        times.push_back(Since(started));
    }
    PostMessageW(first.VisibleDialog(p.caption), WM_CLOSE, 0, 0);
    WaitForSingleObject(first.handle(), DWORD(kDeadline.count()));
    return Median(times);
}

// The prefix's DPI for a while; the value before goes back at the end.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof before_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&before_), &size) == 0;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~PrefixDpi() {
        if (had_) RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_), sizeof before_);
        else RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }
    PrefixDpi(const PrefixDpi&) = delete;
    PrefixDpi& operator=(const PrefixDpi&) = delete;

private:
    HKEY key_ = nullptr;
    DWORD before_ = 0;
    bool had_ = false;
};

// The start-up ratio at `dpi`; the second-start figure only at 96 DPI.
double Measure(DWORD dpi) {
    PrefixDpi prefixDpi(dpi);
    std::printf("startup: at %lu DPI\n", dpi);
#if defined(VC_APP_EXE) && defined(VC_MINIMAL_DIALOG_EXE)
    test::TempDir dir;
    Program app{"Vellumcraft", e2e::WindowsPathOf(VC_APP_EXE), u"\"" + dir.File(u"bench.vcset") + u"\"",
                e2e::CaptionFor(u"bench"), {}, {}};
    Program minimal{"minimal dialog", e2e::WindowsPathOf(VC_MINIMAL_DIALOG_EXE), u"",
                    u"Minimal - Vellumcraft Bench", {}, {}};

    bool ok = RunOnce(app, false) && RunOnce(minimal, false);
    if (ok && !test::FileExists(dir.File(u"bench.vcset"))) {
        std::printf("startup: the warm-up run wrote no settings file\n");
        ok = false;
    }
    for (int i = 0; ok && i < kRuns; ++i) ok = RunOnce(app, true) && RunOnce(minimal, true);
    for (int i = 0; ok && i < kRuns; ++i) ok = RunOnce(app, true, true) && RunOnce(minimal, true, true);

    for (const Program* p : {&app, &minimal})
        std::printf("startup: %-14s visible after %7.1f ms; ended %6.1f ms after a WM_CLOSE posted at once, "
                    "%6.1f ms after one posted when idle (medians of %zu runs)\n",
                    p->label, Median(p->visibleMs), Median(p->exitMs), Median(p->idleExitMs), p->visibleMs.size());
    if (ok && dpi == 96)
        std::printf("startup: Vellumcraft second start, ended by the running one, %.1f ms (median of %d runs)\n",
                    SecondStartMs(app), kRuns);
    const double visibleRatio = ok ? Median(app.visibleMs) / Median(minimal.visibleMs) : NAN;
    if (ok)
        std::printf("startup: exit ratios (no target; Vellumcraft stores its settings on the way out): "
                    "%.2f x at once, %.2f x when idle\n",
                    Median(app.exitMs) / Median(minimal.exitMs), Median(app.idleExitMs) / Median(minimal.idleExitMs));
#else
    std::printf("startup: Vellumcraft.exe is not part of this build\n");
    const double visibleRatio = NAN;
#endif
    return visibleRatio;
}

// The window's start on settings files of more pages against its start on
// a file of one page: the window shows one page whatever the file holds.
// Returns the ratios for 100 empty pages and for the largest file.
std::pair<double, double> MeasurePageCounts() {
#if defined(VC_APP_EXE)
    PrefixDpi prefixDpi(96);
    test::TempDir dir;
    constexpr int kPageCountRuns = 9;
    struct Case {
        const char16_t* name;
        int pages, entries;
    };
    const Case cases[] = {{u"one", 1, 0}, {u"hundred", 100, 0}, {u"largest", kMaxPageCount, 200}};
    std::vector<Program> programs;
    for (const Case& c : cases) {
        const std::u16string file = dir.File(std::u16string(c.name) + u".vcset");
        test::WriteBytes(file, test::Utf16LE(test::ManyPagesText(c.pages, c.entries, 50, u"SpcialFolder=0\r\n")));
        programs.push_back(Program{"", e2e::WindowsPathOf(VC_APP_EXE), u"\"" + file + u"\"", e2e::CaptionFor(c.name),
                                   {}, {}, {}});
        std::printf("startup: %s: %d pages of %d entries, %.1f MB\n", ToUtf8(c.name).c_str(), c.pages, c.entries,
                    double(test::ReadBytes(file).size()) / 1e6);
    }
    programs[0].label = "one page", programs[1].label = "100 pages", programs[2].label = "largest file";
    bool ok = true;
    for (Program& p : programs) ok = ok && RunOnce(p, false);  // the first start of the day makes its backup
    for (int i = 0; ok && i < kPageCountRuns; ++i)
        for (Program& p : programs) ok = ok && RunOnce(p, true);
    if (!ok) return {NAN, NAN};
    for (const Program& p : programs)
        std::printf("startup: %-14s visible after %7.1f ms, ended %6.1f ms after a WM_CLOSE (medians of %zu runs)\n",
                    p.label, Median(p.visibleMs), Median(p.exitMs), p.visibleMs.size());
    const double one = Median(programs[0].visibleMs);
    return {Median(programs[1].visibleMs) / one, Median(programs[2].visibleMs) / one};
#else
    return {NAN, NAN};
#endif
}

// "pages" as the argument measures the page counts alone.
int Run(bool pagesOnly) {
    if (pagesOnly) {
        const auto [hundred, largest] = MeasurePageCounts();
        std::printf("startup: %.2f x with 100 pages, %.2f x with the largest file\n", hundred, largest);
        return 0;
    }
    const double at96 = Measure(96), at144 = Measure(144);
    const auto [hundred, largest] = MeasurePageCounts();
    const bool ok96 = bench::Verdict("startup-visible-ratio", at96, "x", "<=", 1.15);
    const bool ok144 = bench::Verdict("startup-visible-ratio-144dpi", at144, "x", "<=", 1.15);
    const bool okHundred = bench::Verdict("many-pages-startup-ratio", hundred, "x", "<=", 1.1);
    const bool okLargest = bench::Verdict("largest-file-startup-ratio", largest, "x", "<=", 1.2);
    return ok96 && ok144 && okHundred && okLargest ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main(int argc, char** argv) { return vc::Run(argc > 1 && std::string(argv[1]) == "pages"); }
