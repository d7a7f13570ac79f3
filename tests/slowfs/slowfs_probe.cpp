// Shows by hand what the slow folder does (prints times; not a test):
//   LD_PRELOAD=.../libvcslowfs.so wine slowfs_probe.exe [MS]
// starts itself twice with a fresh temp folder made slow: once timing calls on
// a file in the folder, once on a file elsewhere. Meanwhile this process times
// the same slow file itself, to show that other processes are not held up.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/SlowFolder_win.h"
#include "support/TempDir_win.h"

using namespace vc;
using Clock = std::chrono::steady_clock;

static long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

template <class F>
static void Time(const char* what, const wchar_t* path, F call) {
    auto t = Clock::now();
    call(path);
    std::printf("  %-36s %6lld ms\n", what, MsSince(t));
    std::fflush(stdout);
}

static void Probe(const wchar_t* target, const wchar_t* other) {
    std::printf("child %ls:\n", target);
    Time("GetFileAttributesW", target, [](const wchar_t* p) { GetFileAttributesW(p); });
    Time("FindFirstFileW", target, [](const wchar_t* p) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(p, &fd);
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    });
    Time("CreateFileW", target, [](const wchar_t* p) {
        HANDLE h = CreateFileW(p, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    });
    Time("SHGetFileInfoW (icon, type)", target, [](const wchar_t* p) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(p, 0, &info, sizeof info, SHGFI_ICON | SHGFI_TYPENAME) && info.hIcon)
            DestroyIcon(info.hIcon);
    });
    // Another thread of the same process looks up `other` while this one waits on `target`.
    std::thread busy([&] { GetFileAttributesW(target); });
    Sleep(100);
    Time("other file, beside a waiting thread", other, [](const wchar_t* p) { GetFileAttributesW(p); });
    busy.join();
}

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 4 && lstrcmpW(argv[1], L"child") == 0) {
        Probe(argv[2], argv[3]);
        return 0;
    }
    if (!test::SlowFolderLibraryPreloaded()) {
        std::printf("libvcslowfs.so is not preloaded\n");
        return 2;
    }
    test::TempDir slow, local;
    std::u16string slowFile = slow.File(u"a.txt"), localFile = local.File(u"b.txt");
    for (const std::u16string& f : {slowFile, localFile}) {
        HANDLE h = CreateFileW(AsW(f), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    std::u16string env = test::SlowFolderEnvironment(slow.path(), argc > 1 ? unsigned(_wtoi(argv[1])) : 1500);
    std::printf("slow folder %ls -> %ls\n", AsW(slow.path()), AsW(test::UnixFileName(slow.path())));
    for (int run = 0; run < 2; ++run) {
        std::u16string target = run == 0 ? slowFile : localFile, other = run == 0 ? localFile : slowFile;
        std::u16string cmd = u"slowfs_probe child \"" + target + u"\" \"" + other + u"\"";
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(exe, reinterpret_cast<wchar_t*>(cmd.data()), nullptr, nullptr, FALSE,
                            CREATE_UNICODE_ENVIRONMENT, env.data(), nullptr, &si, &pi))
            return 3;
        long long longest = 0;
        while (WaitForSingleObject(pi.hProcess, 10) == WAIT_TIMEOUT) {
            auto t = Clock::now();
            GetFileAttributesW(AsW(slowFile));
            longest = std::max(longest, MsSince(t));
        }
        std::printf("  (meanwhile this process, slowest GetFileAttributesW on the slow file: %lld ms)\n", longest);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return 0;
}
