#include "common/SystemLibrary_win.h"

#include <string>

#include "common/Wide_win.h"

namespace vc {

void RestrictDllSearchToSystem() {
    // Looked up rather than imported: Windows 7 and Vista have it only with
    // update KB2533623, and the program must still start without it.
    using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto fn = kernel ? reinterpret_cast<SetDirectoriesFn>(
                           reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                     : nullptr;
    if (fn) fn(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    // The search flag keeps the side-by-side redirection of the common
    // controls (version 6 from the manifest), which a full path would bypass.
    HMODULE lib = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (lib || GetLastError() != ERROR_INVALID_PARAMETER) return lib;
    // A system that does not know the flag: name the file in the system folder.
    wchar_t folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::u16string path = U16(folder) + u"\\" + U16(name);
    return LoadLibraryW(AsW(path));
}

}  // namespace vc
