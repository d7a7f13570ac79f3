#include "common/Shell_win.h"

#include "common/SystemLibrary_win.h"

namespace vc::shell {

HMODULE Library() {
    static HMODULE lib = LoadSystemLibrary(L"shell32.dll");
    return lib;
}

namespace {
template <class Fn>
Fn Resolve(const char* name) {
    HMODULE lib = Library();
    return lib ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name))) : nullptr;
}
}  // namespace

void DragAcceptFiles(HWND w, BOOL accept) {
    static auto fn = Resolve<void(WINAPI*)(HWND, BOOL)>("DragAcceptFiles");
    if (fn) fn(w, accept);
}

DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
    static auto fn = Resolve<DWORD_PTR(WINAPI*)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT)>("SHGetFileInfoW");
    return fn ? fn(path, attributes, info, size, flags) : 0;
}

HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path) {
    static auto fn = Resolve<HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR)>("SHGetFolderPathW");
    return fn ? fn(owner, csidl, token, flags, path) : E_FAIL;
}

BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create) {
    static auto fn = Resolve<BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL)>("SHGetSpecialFolderPathW");
    return fn ? fn(owner, path, csidl, create) : FALSE;
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size) {
    static auto fn = Resolve<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>("DragQueryFileW");
    return fn ? fn(drop, index, file, size) : 0;
}

void DragFinish(HDROP drop) {
    static auto fn = Resolve<void(WINAPI*)(HDROP)>("DragFinish");
    if (fn) fn(drop);
}

namespace {
ExecuteHook g_executeHook = nullptr;
}

void SetExecuteHook(ExecuteHook hook) { g_executeHook = hook; }

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    if (g_executeHook) {
        g_executeHook(file, parameters, folder, verb);
        return reinterpret_cast<HINSTANCE>(33);  // what success looks like
    }
    static auto fn = Resolve<HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)>("ShellExecuteW");
    return fn ? fn(owner, verb, file, parameters, folder, show) : nullptr;
}

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
    if (g_executeHook) {
        g_executeHook(info->lpFile, info->lpParameters, info->lpDirectory, info->lpVerb);
        return TRUE;
    }
    static auto fn = Resolve<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>("ShellExecuteExW");
    return fn ? fn(info) : FALSE;
}

HICON ExtractAssociatedIconW(HINSTANCE instance, LPWSTR path, WORD* index) {
    static auto fn = Resolve<HICON(WINAPI*)(HINSTANCE, LPWSTR, WORD*)>("ExtractAssociatedIconW");
    return fn ? fn(instance, path, index) : nullptr;
}

}  // namespace vc::shell
