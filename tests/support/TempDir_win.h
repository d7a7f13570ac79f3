// A fresh folder under the Wine (or Windows) temp folder for one test.
#pragma once

#include <windows.h>

#include <string>

#include "common/U16.h"
#include "common/Wide_win.h"

namespace vc::test {

class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        path_ = U16(base) + u"vc-test-" + Dec(int64_t(GetCurrentProcessId())) + u"-" + Dec(++serial);
        CreateDirectoryW(AsW(path_), nullptr);
    }
    ~TempDir() { RemoveAll(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::u16string& path() const { return path_; }
    std::u16string File(std::u16string_view name) const { return path_ + u"\\" + std::u16string(name); }

private:
    static void RemoveAll(const std::u16string& dir) {
        WIN32_FIND_DATAW fd;
        std::u16string pattern = dir + u"\\*";
        HANDLE h = FindFirstFileW(AsW(pattern), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::u16string name = U16(fd.cFileName);
                if (name == u"." || name == u"..") continue;
                std::u16string full = dir + u"\\" + name;
                SetFileAttributesW(AsW(full), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveAll(full);
                else DeleteFileW(AsW(full));
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(AsW(dir));
    }
    std::u16string path_;
};

inline std::string ReadBytes(const std::u16string& path) {
    std::string bytes;
    HANDLE f = CreateFileW(AsW(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

inline bool WriteBytes(const std::u16string& path, const std::string& bytes) {
    HANDLE f = CreateFileW(AsW(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    return ok;
}

inline bool FileExists(const std::u16string& path) {
    return GetFileAttributesW(AsW(path)) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vc::test
