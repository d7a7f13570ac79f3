// Four shares that never answer, each with look-ups of the shown page on it:
// a double click on a local entry of that page must still reach the shell at
// once (`dead-shares-local-launch`, the time from the activation to the
// shell being asked), and switching to a page of local files must cost
// about what it costs without them (`dead-shares-page-switch`, from the tab
// switch to the end of loading, against the same switch before any share
// was asked).
//
// The shares are \\vcdead-PID\a to \\vcdead-PID\d. Wine finds a UNC path
// \\SERVER\SHARE in the prefix's dosdevices\unc\SERVER\SHARE folder, so all
// four lie under one folder, dosdevices\unc\vcdead-PID, which libvcslowfs.so
// makes slow for a child process alone: every file call there takes longer
// than the whole bench, and each look-up makes several. No network is asked.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/App_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FilesText.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "resources/resource.h"
#include "BenchPages.h"
#include "support/BenchReport.h"
#include "support/SlowFolder_win.h"
#include "support/StartProgram_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Each file call on the dead shares: far longer than the bench's own run, so
// that no look-up there ever answers while it runs.
constexpr unsigned kDeadCallMs = 30000;
constexpr char16_t kShareNames[] = u"abcd";
constexpr int kShares = 4;
constexpr int kDeadPageSlots = 48;  // every sixth local (8), the rest on the four shares (10 each)
constexpr int kLocalPageFiles = 200;
constexpr int kRuns = 7;
constexpr int kIndexColumn = 5;  // the pane's hidden column of entry indexes

bool LocalSlot(int slot) { return slot % 6 == 0; }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What the shell was last asked to open, and when (steady clock ticks; 0:
// not yet). The hook runs on the worker that launches.
std::mutex g_lock;
std::u16string g_handedFile;
std::atomic<Clock::rep> g_handedAt{0};

void WatchShell(const wchar_t* file, const wchar_t*, const wchar_t*, const wchar_t*) {
    const Clock::rep at = Clock::now().time_since_epoch().count();
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_handedFile = file ? U16(file) : std::u16string();
    }
    g_handedAt.store(at);
}

// Pumps until `done` holds or `most` has passed: whether it held.
bool PumpUntil(App& app, const std::function<bool()>& done, Clock::duration most) {
    const auto until = Clock::now() + most;
    MSG msg;
    while (!done()) {
        if (Clock::now() >= until) return false;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchOneMessage(app, msg);
        else Sleep(0);
    }
    return true;
}

// Pumps until the pane has loaded: the time from `start`. A local page that
// has not loaded in 20 s is said, and counts as that long.
double PumpUntilLoaded(App& app, Clock::time_point start) {
    if (!PumpUntil(app, [] { return PaneLoaded(); }, std::chrono::seconds(20)))
        std::printf("dead shares: a page of local files did not load within 20 s\n");
    return Ms(Clock::now() - start);
}

void ShowPage(App& app, int page) { SendMessageW(app.TabWindow, WM_COMMAND, IDM_SELECT_PAGE_FIRST + page - 1, 0); }

// The list item that shows entry `slot`, or -1.
int ItemOfSlot(HWND list, int slot) {
    const int items = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < items; ++item) {
        wchar_t text[16] = {};
        LVITEMW sub{};
        sub.iSubItem = kIndexColumn;
        sub.pszText = text;
        sub.cchTextMax = 16;
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
        if (ParseEntryIndex(AsU16(text)) == slot) return item;
    }
    return -1;
}

// Double-clicks the item of entry `slot` as the mouse does (the list makes
// LVN_ITEMACTIVATE of it for the pane) and pumps until the shell is asked:
// the time from the click to the asking, or -1 when it never came.
double LaunchBySlot(App& app, int slot, const std::u16string& path) {
    HWND list = GetDlgItem(CurrentPagePane(), IDC_PAGELIST);
    const int item = ItemOfSlot(list, slot);
    if (item < 0) {
        std::printf("dead shares: entry %d is not listed\n", slot);
        return -1;
    }
    SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(item), FALSE);
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&label));
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    g_handedAt.store(0);
    const auto start = Clock::now();
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    if (!PumpUntil(app, [] { return g_handedAt.load() != 0; }, std::chrono::seconds(5))) {
        std::printf("dead shares: the double click asked the shell nothing within 5 s\n");
        return -1;
    }
    const double took = Ms(Clock::duration(g_handedAt.load()) - start.time_since_epoch());
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_handedFile.find(path) == std::u16string::npos) {
        std::printf("dead shares: the shell was asked for %s instead of %s\n", ToUtf8(g_handedFile).c_str(),
                    ToUtf8(path).c_str());
        return -1;
    }
    return took;
}

// Dead-page entries that have their details: none should, as no look-up on
// the shares answers.
int DeadEntriesAnswered() {
    const PaneState& t = ThePane();
    int n = 0;
    for (size_t i = 0; i < t.EntryTable.size() && i < size_t(kDeadPageSlots); ++i)
        n += !LocalSlot(int(i)) && t.EntryTable[i].LastWriteTime != 0;
    return n;
}

struct DeadPageFigures {
    double loaded = -1;  // ms from the switch to the end of loading; -1: not within kHeld
    int localDone = 0;   // local entries with their details
    int outstanding = 0; // look-ups of the page queued or running
};

// How long the page with the shares is shown before the double click: its
// entries are listed by then, and the look-ups on the shares have hung past
// the point where the queue judges a share slow (0.7 s).
constexpr auto kHeld = std::chrono::milliseconds(1000);

// Shows the page with the shares (Page3) for kHeld. Whether it ends loading
// meanwhile is noted, not waited for.
DeadPageFigures ShowDeadPage(App& app) {
    DeadPageFigures f;
    const auto start = Clock::now();
    ShowPage(app, 3);
    PumpUntil(
        app,
        [&] {
            if (f.loaded < 0 && PaneLoaded()) f.loaded = Ms(Clock::now() - start);
            return false;
        },
        kHeld);
    const PaneState& t = ThePane();
    for (size_t i = 0; i < t.EntryTable.size() && i < size_t(kDeadPageSlots); ++i)
        f.localDone += LocalSlot(int(i)) && t.EntryTable[i].LastWriteTime != 0;
    f.outstanding = PaneLookupsOutstanding();
    return f;
}

// Run in a process of its own, which alone finds the shares of `server`
// (\\vcdead-PID) slow.
int RunDeadShares(const std::u16string& server) {
    test::TempDir dir;
    std::vector<std::u16string> localPage, deadPage, nearPage;
    for (int i = 0; i < kLocalPageFiles; ++i) {
        localPage.push_back(dir.File(u"file" + Dec(i) + u".txt"));
        test::WriteBytes(localPage.back(), std::string(size_t(100 + i), 'x'));
    }
    // The dead page and its yardstick, the same page with local files where
    // the dead page has the shares': the switch away from either tears down
    // a list of the same size.
    for (int slot = 0, remote = 0; slot < kDeadPageSlots; ++slot) {
        if (LocalSlot(slot)) {
            deadPage.push_back(dir.File(u"near" + Dec(slot) + u".txt"));
            nearPage.push_back(deadPage.back());
            test::WriteBytes(deadPage.back(), "near");
        } else {
            const char16_t share = kShareNames[remote % kShares];
            deadPage.push_back(server + u"\\" + std::u16string(1, share) + u"\\remote" + Dec(remote / kShares) + u".txt");
            nearPage.push_back(dir.File(u"far" + Dec(slot) + u".txt"));
            test::WriteBytes(nearPage.back(), "far");
            ++remote;
        }
    }
    const std::u16string settings = dir.File(u"dead.vcset");
    test::WritePagesSettings(settings, {localPage, deadPage, nearPage});  // Page2, Page3, Page4
    App& app = test::StartProgram(settings, u"BenchDeadShares");
    PumpUntilLoaded(app, Clock::now());
    shell::SetExecuteHook(WatchShell);

    // The yardstick, before any share is asked: Page4 to the local Page2.
    // The first switch fills the caches and is left out.
    std::vector<double> alone;
    for (int i = 0; i <= kRuns; ++i) {
        ShowPage(app, 4);
        PumpUntilLoaded(app, Clock::now());
        const auto start = Clock::now();
        ShowPage(app, 2);
        const double took = PumpUntilLoaded(app, start);
        if (i > 0) alone.push_back(took);
    }

    // The dead page is shown and held for a moment, its look-ups on the four
    // shares hanging or queued behind those that hang. Then its first entry,
    // a local file, is double-clicked, and the tab switches to the local page.
    std::vector<double> launches, switches;
    int answered = 0;
    bool ok = true;
    for (int i = 0; i < kRuns; ++i) {
        const DeadPageFigures dead = ShowDeadPage(app);
        const double launch = LaunchBySlot(app, 0, deadPage[0]);
        answered = std::max(answered, DeadEntriesAnswered());
        const auto start = Clock::now();
        ShowPage(app, 2);
        const double took = PumpUntilLoaded(app, start);
        char loaded[32] = "not";
        if (dead.loaded >= 0) std::snprintf(loaded, sizeof loaded, "%.0f ms", dead.loaded);
        std::printf("dead shares run: page with the shares: %d look-ups out, %d of %d local entries looked up, "
                    "loading ended %s; launch %.1f ms; switch to the local page %.1f ms (alone %.1f ms)\n",
                    dead.outstanding, dead.localDone, kDeadPageSlots / 6, loaded, launch, took,
                    alone[size_t(i) % alone.size()]);
        if (launch < 0 || dead.outstanding == 0) ok = false;
        launches.push_back(launch < 0 ? 1e9 : launch);
        switches.push_back(took);
    }
    shell::SetExecuteHook(nullptr);
    SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
    if (answered > 0) {
        std::printf("dead shares: %d look-ups on the shares answered; they were not dead\n", answered);
        ok = false;
    }
    std::printf("four dead shares: local entry handed to the shell in %.1f ms; switch to a page of %d local files "
                "%.1f ms (alone %.1f ms)\n",
                Median(launches), kLocalPageFiles, Median(switches), Median(alone));
    ok &= bench::Verdict("dead-shares-local-launch", Median(launches), "ms", "<=", 100);
    ok &= bench::Verdict("dead-shares-page-switch", Median(switches) / Median(alone), "x", "<=", 1.5);
    std::fflush(stdout);
    return ok ? 0 : 1;
}

// The prefix's dosdevices folder as a Windows path through Z: (the root of
// the Unix file system), or empty.
std::u16string DosDevicesFolder() {
    std::u16string c = test::UnixFileName(u"C:\\");
    const size_t at = c.find(u"/dosdevices/");
    if (at == std::u16string::npos) return {};
    std::u16string folder = u"Z:" + c.substr(0, at + 11);
    std::replace(folder.begin(), folder.end(), u'/', u'\\');
    return folder;
}

// Runs this bench again as a process that finds the four shares dead, and
// passes its verdicts on; the shares are made here and removed afterwards.
bool DeadSharesInChild() {
    if (!test::SlowFolderLibraryPreloaded()) {
        std::printf("dead shares: libvcslowfs.so is not preloaded (LD_PRELOAD); case skipped\n");
        return false;
    }
    const std::u16string devices = DosDevicesFolder();
    if (devices.empty()) {
        std::printf("dead shares: the Wine prefix's dosdevices folder was not found; case skipped\n");
        return false;
    }
    const std::u16string name = u"vcdead-" + Dec(int(GetCurrentProcessId()));
    const std::u16string unc = devices + u"\\unc", folder = unc + u"\\" + name, server = u"\\\\" + name;
    CreateDirectoryW(AsW(unc), nullptr);
    CreateDirectoryW(AsW(folder), nullptr);
    std::vector<std::u16string> made;
    bool reachable = true;
    for (int s = 0; s < kShares; ++s) {
        const std::u16string share = std::u16string(1, kShareNames[s]);
        CreateDirectoryW(AsW(folder + u"\\" + share), nullptr);
        for (int i = 0; i < kDeadPageSlots / kShares; ++i) {
            // Written through the share's own UNC path: the shares exist for
            // Wine as they are named on the pages.
            const std::u16string file = u"\\remote" + Dec(i) + u".txt";
            reachable &= test::WriteBytes(server + u"\\" + share + file, "remote");
            made.push_back(folder + u"\\" + share + file);
        }
    }
    DWORD code = 1;
    if (!reachable) {
        std::printf("dead shares: %s is not reached as \\\\%s; case skipped\n", ToUtf8(folder).c_str(),
                    ToUtf8(name).c_str());
    } else {
        std::u16string environment = test::SlowFolderEnvironment(folder, kDeadCallMs);
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::u16string command = u"\"" + U16(exe) + u"\" --dead-shares \"" + server + u"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!environment.empty() &&
            CreateProcessW(exe, const_cast<wchar_t*>(AsW(command)), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                           const_cast<char16_t*>(environment.data()), nullptr, &si, &pi)) {
            // The child's look-ups hang for good: it must end without them.
            if (WaitForSingleObject(pi.hProcess, 90000) != WAIT_OBJECT_0) {
                std::printf("dead shares: the bench did not end within 90 s; stopped\n");
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
            } else {
                GetExitCodeProcess(pi.hProcess, &code);
            }
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    for (const std::u16string& file : made) DeleteFileW(AsW(file));
    for (int s = 0; s < kShares; ++s) RemoveDirectoryW(AsW(folder + u"\\" + std::u16string(1, kShareNames[s])));
    RemoveDirectoryW(AsW(folder));
    RemoveDirectoryW(AsW(unc));  // only when no other run's shares are in it
    return code == 0;
}

}  // namespace
}  // namespace vc

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--dead-shares") return vc::RunDeadShares(vc::FromUtf8(argv[2]));
    return vc::DeadSharesInChild() ? 0 : 1;
}
