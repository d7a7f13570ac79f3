#include "pageview/ShellWarmup_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>

#include "common/Shell_win.h"
#include "pageview/FileDetails_win.h"

namespace vc {
namespace {

std::atomic<bool> g_started{false};
std::atomic<bool> g_ready{false};
// The window waiting for the word and its message; the lock makes handing
// them over and telling them one step, so no waiter is missed or told twice.
SRWLOCK g_lock = SRWLOCK_INIT;
HWND g_waiter = nullptr;
UINT g_message = 0;

void TellWaiter() {
    AcquireSRWLockExclusive(&g_lock);
    HWND w = g_waiter;
    UINT m = g_message;
    g_waiter = nullptr;
    ReleaseSRWLockExclusive(&g_lock);
    if (w) PostMessageW(w, m, 0, 0);
}

DWORD WINAPI Warm(void*) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Any path will do: the attributes alone name a folder, and the first
    // question builds the shell's lists of every size.
    SHFILEINFOW info = {};
    shell::SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                          SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    shell::SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                          SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON);
    // A real folder's open form too, which the large icons show: the first
    // asks for it cost the most.
    wchar_t windows[MAX_PATH] = L"";
    if (GetWindowsDirectoryW(windows, MAX_PATH))
        shell::SHGetFileInfoW(windows, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_OPENICON);
    OpenSystemImageLists();
    if (SUCCEEDED(com)) CoUninitialize();
    AcquireSRWLockExclusive(&g_lock);
    g_ready = true;
    ReleaseSRWLockExclusive(&g_lock);
    TellWaiter();
    return 0;
}

}  // namespace

void StartShellWarmup() {
    if (g_started.exchange(true)) return;
    HANDLE thread = CreateThread(nullptr, 0, Warm, nullptr, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    g_ready = true;
}

bool ShellWarmedUp() { return g_ready; }

void PostWhenShellWarmedUp(HWND window, UINT message) {
    AcquireSRWLockExclusive(&g_lock);
    const bool ready = g_ready;
    if (!ready) {
        g_waiter = window;
        g_message = message;
    }
    ReleaseSRWLockExclusive(&g_lock);
    if (ready) PostMessageW(window, message, 0, 0);
}

}  // namespace vc
