// The day's copy of the largest settings file the program holds (1000 pages
// of 200 entries), made while the tab window runs: the longest message the
// window's thread handles meanwhile, and how late a message posted to the
// window every few milliseconds is handled, against the copy's own time.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/App_win.h"
#include "common/U16.h"
#include "pageview/PagePane_win.h"
#include "settings/Backups_win.h"
#include "BenchPages.h"
#include "support/BenchReport.h"
#include "support/StartProgram_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kPages = kMaxPageCount;
constexpr int kEntries = 200;
constexpr UINT kProbe = WM_APP + 77;  // no window of the program handles it

int Run() {
    test::TempDir dir;
    const std::u16string settings = dir.File(u"backup.vcset");
    // No copy at the start: the one measured is started by hand below, once
    // the window has shown its page and is idle.
    const std::u16string text =
        test::ManyPagesText(kPages, kEntries, 100, u"SpcialFolder=0\r\nBackupGenerations=0\r\n");
    const std::string bytes = test::Utf16LE(text);
    test::WriteBytes(settings, bytes);
    std::printf("settings file: %d pages of %d entries, %.1f MB\n", kPages, kEntries, double(bytes.size()) / 1e6);

    App& app = test::StartProgram(settings, u"Bench");
    MSG msg;
    for (auto idle = Clock::now() + std::chrono::milliseconds(500); !PaneLoaded() || Clock::now() < idle;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
        Sleep(1);
    }

    double longest = 0, latest = 0;
    int handled = 0;
    Clock::time_point posted{};
    const auto start = Clock::now();
    StartDailyBackup(settings, 5);
    while (!WaitForDailyBackup(0)) {
        if (posted == Clock::time_point{} && PostMessageW(app.TabWindow, kProbe, 0, 0)) posted = Clock::now();
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
            continue;
        }
        const auto a = Clock::now();
        if (msg.message == kProbe) {
            latest = std::max(latest, Ms(a - posted));
            posted = {};
        }
        DispatchOneMessage(app, msg);
        longest = std::max(longest, Ms(Clock::now() - a));
        ++handled;
    }
    const double copyMs = Ms(Clock::now() - start);
    const std::vector<std::u16string> copies = ListBackups(settings);
    const bool copied = copies.size() == 1 &&
                        test::ReadBytes(BackupFolderOf(settings) + u"\\" + copies[0]) == test::ReadBytes(settings);
    std::printf("copy made on the worker in %.1f ms (%s); %d messages handled meanwhile, the latest probe %.2f ms late\n",
                copyMs, copied ? "byte for byte" : "NOT MADE", handled, latest);
    SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
    const bool ok = bench::Verdict("backup-copy-time", longest, "ms", "<=", 50);
    return ok && copied ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main() { return vc::Run(); }
