// Starting Vellumcraft.exe (or any GUI program) as a separate process and
// watching it from outside: its windows, its exit code, its end. Shared by the
// end-to-end tests and the start-up benchmark.
//
// Every wait polls with a deadline and pumps this thread's messages, so a
// window of the calling process stays responsive while another process
// activates or queries it. A started process that is still running when its
// AppProcess goes away is terminated, so a failing check never leaves a
// program behind to hang the run.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/TabTexts.h"
#include "common/U16.h"
#include "common/Wide_win.h"

namespace vc::e2e {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// A path handed over by the build, which runs on Linux: under Wine drive Z:
// maps the Linux root, so /a/b.exe is Z:\a\b.exe.
inline std::u16string WindowsPathOf(std::string_view buildPath) {
    std::u16string p = Ascii(buildPath);
    for (char16_t& c : p)
        if (c == u'/') c = u'\\';
    if (!p.empty() && p[0] == u'\\') p = u"Z:" + p;
    return p;
}

// Deadlines of the end-to-end cases. A Wine process's first start in a
// session can take seconds; later ones take a fraction of that. They only
// bound a failing case.
constexpr Ms kStart{20000};
constexpr Ms kExit{10000};
constexpr Ms kEffect{5000};

#ifdef VC_APP_EXE
// The program under test, as a Windows path.
inline const std::u16string& AppExe() {
    static const std::u16string path = WindowsPathOf(VC_APP_EXE);
    return path;
}
#endif

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Polls `done` every `interval` until it holds or `timeout` has passed; the
// last evaluation decides, so a condition met just at the deadline counts.
template <class Pred>
bool WaitUntil(Pred&& done, Ms timeout, Ms interval = Ms(10)) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (Clock::now() >= deadline) {
            PumpMessages();
            return done();
        }
        // MsgWaitForMultipleObjects wakes early for our own window messages.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(interval.count()), QS_ALLINPUT);
    }
}

inline std::u16string ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return U16(buf);
}

inline DWORD ProcessOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

// Top-level windows of one process, in z-order.
inline std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    struct Ctx {
        DWORD pid;
        std::vector<HWND> found;
    } ctx{pid, {}};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(p);
            if (ProcessOf(h) == c->pid) c->found.push_back(h);
            return TRUE;
        },
        LPARAM(&ctx));
    return ctx.found;
}

// The caption the program gives its main window for a settings name.
inline std::u16string CaptionFor(std::u16string_view windowName) { return TabWindowCaption(windowName); }

// Says on the error output, and in the file VC_WINE_RETRY_LOG names (the
// Linux path scripts/test.sh sums up), that a start was tried twice.
inline void NoteRetry(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    if (const char* log = std::getenv("VC_WINE_RETRY_LOG"); log && *log) {
        if (std::FILE* f = _wfopen(AsW(WindowsPathOf(log)), L"a")) std::fprintf(f, "%s\n", line.c_str()), std::fclose(f);
    }
}

class AppProcess {
public:
    AppProcess() = default;
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;
    ~AppProcess() { Kill(); }

    // Runs `exe` with `argument` as the whole argument text (nothing added
    // when it is empty) in `workDir`, or in the exe's folder when that is empty.
    // `environment`: a whole environment block (CREATE_UNICODE_ENVIRONMENT),
    // or empty for the caller's own.
    bool Start(const std::u16string& exe, const std::u16string& argument, const std::u16string& workDir = u"",
               const std::u16string& environment = u"") {
        Kill();
        std::u16string cmd = u"\"" + exe + u"\"";
        if (!argument.empty()) cmd += u" " + argument;
        std::u16string dir = workDir;
        if (dir.empty()) dir = exe.substr(0, exe.rfind(u'\\'));
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        for (int attempt = 1;; ++attempt) {
            std::u16string mutableCmd = cmd;
            std::u16string block = environment;
            if (CreateProcessW(AsW(exe), reinterpret_cast<wchar_t*>(mutableCmd.data()), nullptr, nullptr, FALSE,
                               block.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT, block.empty() ? nullptr : block.data(),
                               AsW(dir), &si, &pi))
                break;
            // Wine has once failed a start this way for no reason of the
            // program's; any other failure, or this one twice, is a failure.
            if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 2) return false;
            NoteRetry("CreateProcess of " + ToUtf8(exe) + " failed with ERROR_INTERNAL_ERROR; starting it once more");
        }
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        return true;
    }

    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }
    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    // The exit code once the process has ended within `timeout`; -1 otherwise.
    long long WaitExit(Ms timeout) {
        if (!process_) return -1;
        if (!WaitUntil([&] { return !Running(); }, timeout, Ms(5))) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    // The process's visible dialog whose caption is `caption`, or null.
    HWND VisibleDialog(const std::u16string& caption) const {
        for (HWND h : TopLevelWindowsOf(pid_))
            if (IsWindowVisible(h) && ClassOf(h) == u"#32770" && WindowText(h) == caption) return h;
        return nullptr;
    }

    // Waits for that dialog to be visible; gives up early when the process ends.
    HWND WaitVisibleDialog(const std::u16string& caption, Ms timeout, Ms interval = Ms(5)) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                found = VisibleDialog(caption);
                return found != nullptr || !Running();
            },
            timeout, interval);
        return found;
    }

    // The hidden host window: class "Vellumcraft".
    HWND HostWindow() const {
        for (HWND h : TopLevelWindowsOf(pid_))
            if (ClassOf(h) == u"Vellumcraft") return h;
        return nullptr;
    }

    void Kill() {
        if (!process_) return;
        if (Running()) {
            TerminateProcess(process_, 0xDEAD);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
        process_ = nullptr;
        pid_ = 0;
    }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// ---- Real input through the X server ----------------------------------------
// Wine draws every window inside one virtual desktop at 0,0 of the X screen,
// so a Windows screen point is the same X screen point for xdotool.

// Runs a shell command on the Linux side. Wine starts Linux programs but hands
// back no process to wait on, so the command leaves its exit status in a file
// that we wait for. Returns that status, or -1 when it did not come in time.
inline int RunLinuxCommand(const std::string& command, Ms timeout = Ms(15000)) {
    static int serial = 0;
    const std::string status =
        "/tmp/vc-e2e-x-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::u16string statusWin = WindowsPathOf(status);
    std::u16string cmd = Ascii("Z:\\bin\\sh -c \"" + command + " >/dev/null 2>&1; echo $? >" + status +
                               ".part; mv " + status + ".part " + status + "\"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(cmd.data()), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return -1;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (!WaitUntil([&] { return GetFileAttributesW(AsW(statusWin)) != INVALID_FILE_ATTRIBUTES; }, timeout, Ms(5)))
        return -1;
    char text[16] = {};
    DWORD got = 0;
    HANDLE f = CreateFileW(AsW(statusWin), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        ReadFile(f, text, sizeof text - 1, &got, nullptr);
        CloseHandle(f);
    }
    DeleteFileW(AsW(statusWin));
    return got == 0 ? -1 : std::atoi(text);
}

// Gives the X input focus to the visible window whose caption is exactly
// `caption` (plain ASCII), so that real keys and clicks reach it.
inline bool XFocusWindow(const std::string& caption) {
    return RunLinuxCommand("timeout 10 xdotool search --sync --onlyvisible --name '^" + caption +
                           "$' windowfocus --sync") == 0;
}

// Presses the keys one after another, each down and up, e.g. {"Home", "Return"}.
inline bool XPressKeys(const std::vector<std::string>& keys) {
    std::string args;
    for (const std::string& k : keys) args += " key " + k;
    return RunLinuxCommand("timeout 10 xdotool" + args) == 0;
}

// Moves the pointer to the screen point and clicks `button` (X's numbers:
// 1 left, 3 right) `clicks` times, close enough together to count as one
// double-click. (No --sync on the move: it waits for a motion that never
// comes when the pointer is already there. The events go out in order all
// the same.)
inline bool XClickAt(POINT at, int clicks, int button = 1) {
    return RunLinuxCommand("timeout 10 xdotool mousemove " + std::to_string(at.x) + " " +
                           std::to_string(at.y) + " click --repeat " + std::to_string(clicks) +
                           " --delay 80 " + std::to_string(button)) == 0;
}

}  // namespace vc::e2e
