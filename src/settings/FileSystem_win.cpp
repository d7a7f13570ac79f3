// The settings store's file operations on Windows.
#include <windows.h>

#include <algorithm>

#include "common/Wide_win.h"
#include "settings/FileSystem.h"

namespace vc {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    bool Close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != FALSE;
    }

private:
    HANDLE h_;
};

class Win32FileSystem final : public FileSystem {
public:
    ReadResult ReadAll(const std::u16string& path, std::string& bytes) override {
        bytes.clear();
        Handle f(CreateFileW(AsW(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!f.valid()) {
            DWORD e = GetLastError();
            return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? ReadResult::Absent : ReadResult::Failed;
        }
        LARGE_INTEGER size;
        if (!GetFileSizeEx(f.get(), &size) || size.QuadPart > (LONGLONG(1) << 30)) return ReadResult::Failed;
        bytes.resize(size_t(size.QuadPart));
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
            if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) {
                bytes.clear();
                return ReadResult::Failed;
            }
            if (got == 0) break;
            done += got;
        }
        bytes.resize(done);
        return ReadResult::Ok;
    }

    // Another program that has the file open at that moment (a virus
    // scanner, an indexer, a backup or sync tool, an editor) makes the
    // replacement fail for a moment. It is tried again for about a second
    // before the write counts as failed; the old file stays whole meanwhile.
    static bool ReplaceWith(const std::u16string& temp, const std::u16string& path) {
        for (DWORD wait = 10;; wait *= 2) {
            if (MoveFileExW(AsW(temp), AsW(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
            const DWORD e = GetLastError();
            const bool passing = e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
            if (!passing || wait > 640) return false;
            Sleep(wait);
        }
    }

    bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) override {
        DWORD attrs = GetFileAttributesW(AsW(path));
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return false;
        std::u16string temp = TempPathFor(path);
        bool ok = false;
        {
            Handle f(CreateFileW(AsW(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!f.valid()) return false;
            size_t done = 0;
            ok = true;
            while (ok && done < bytes.size()) {
                DWORD put = 0;
                DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
                ok = WriteFile(f.get(), bytes.data() + done, want, &put, nullptr) && put == want;
                done += put;
            }
            ok = ok && FlushFileBuffers(f.get());
            ok = f.Close() && ok;
        }
        if (ok && GetBeforeReplaceHook()) ok = GetBeforeReplaceHook()(temp);
        if (ok) ok = ReplaceWith(temp, path);
        if (!ok) DeleteFileW(AsW(temp));
        return ok;
    }

    bool CopyIfAbsent(const std::u16string& from, const std::u16string& to) override {
        return CopyFileW(AsW(from), AsW(to), TRUE) != FALSE;
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

}  // namespace vc
