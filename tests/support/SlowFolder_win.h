// Starts a program that finds one folder slow, as if the folder lay on a share
// behind a poor network: libvcslowfs.so (tests/slowfs), preloaded into every
// Wine process of the test (LD_PRELOAD in the test's environment), holds each
// file-system call on a path under the folder for a given time, but only in a
// program whose Windows environment names the folder. Every other process,
// the caller included, sees the folder as usual. No network is involved.
#pragma once

#include <windows.h>

#include <string>

#include "common/Wide_win.h"

namespace vc::test {

// The Unix name Wine gives a Windows path; empty when not under Wine.
inline std::u16string UnixFileName(const std::u16string& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = fn ? fn(AsW(path)) : nullptr;
    if (!name) return {};
    std::u16string wide(size_t(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, reinterpret_cast<wchar_t*>(wide.data()), int(wide.size()));
    HeapFree(GetProcessHeap(), 0, name);
    if (!wide.empty()) wide.pop_back();
    return wide;
}

// Whether libvcslowfs.so is preloaded into this process (and so into the
// programs it starts): LD_PRELOAD names it and it exists. Without it a slow
// folder is as fast as any other, and a test relying on one proves nothing.
inline bool SlowFolderLibraryPreloaded() {
    wchar_t preload[4096];
    DWORD n = GetEnvironmentVariableW(L"LD_PRELOAD", preload, 4096);
    if (n == 0 || n >= 4096) return false;
    std::u16string list = U16(preload) + u" ";
    for (size_t start = 0, end; (end = list.find_first_of(u": ", start)) != std::u16string::npos; start = end + 1) {
        std::u16string path = list.substr(start, end - start);
        if (path.size() < 15 || path.compare(path.size() - 15, 15, u"/libvcslowfs.so") != 0) continue;
        for (char16_t& c : path)
            if (c == u'/') c = u'\\';
        if (GetFileAttributesW(AsW(u"Z:" + path)) != INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
}

// The environment block for CreateProcessW (pass CREATE_UNICODE_ENVIRONMENT):
// the caller's own environment, with every file-system call under `folder`
// taking `ms` milliseconds longer. Empty when `folder` has no Unix name (not
// under Wine).
inline std::u16string SlowFolderEnvironment(const std::u16string& folder, unsigned ms) {
    std::u16string unixFolder = UnixFileName(folder);
    if (unixFolder.empty()) return {};
    auto named = [](const char16_t* entry, std::u16string_view name) {
        for (char16_t c : name) {
            char16_t e = *entry++;
            if (e >= u'a' && e <= u'z') e = char16_t(e - u'a' + u'A');
            if (e != c) return false;
        }
        return *entry == u'=';
    };
    std::u16string block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const char16_t* e = AsU16(own); *e; e += std::char_traits<char16_t>::length(e) + 1) {
        if (named(e, u"VC_SLOWFS_DIR") || named(e, u"VC_SLOWFS_MS")) continue;
        block += e;
        block += u'\0';
    }
    FreeEnvironmentStringsW(own);
    std::u16string delay;
    for (unsigned v = ms;; v /= 10) {
        delay.insert(delay.begin(), char16_t(u'0' + v % 10));
        if (v < 10) break;
    }
    for (const std::u16string& entry :
         {u"VC_SLOWFS_DIR=" + unixFolder, u"VC_SLOWFS_MS=" + delay}) {
        block += entry;
        block += u'\0';
    }
    block += u'\0';
    return block;
}

}  // namespace vc::test
