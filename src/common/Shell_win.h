// The few shell functions the program calls, looked up on first use: the
// shell library is large, and the main window can be on screen before any
// of them is needed.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

namespace vc::shell {

void DragAcceptFiles(HWND w, BOOL accept);
DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags);
HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path);
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create);
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size);
void DragFinish(HDROP drop);
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show);
// For a verb such as "runas", whose refusal must be told apart from a start.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info);
HICON ExtractAssociatedIconW(HINSTANCE instance, LPWSTR path, WORD* index);

// Tests watch what would be opened instead of opening it: while a hook is
// set, ShellExecuteW and ShellExecuteExW hand their file, parameters, folder
// and verb (nullptr: the default one) to the hook.
using ExecuteHook = void (*)(const wchar_t* file, const wchar_t* parameters, const wchar_t* folder, const wchar_t* verb);
void SetExecuteHook(ExecuteHook hook);

// The shell library itself (loaded on first call), or nullptr.
HMODULE Library();

}  // namespace vc::shell
