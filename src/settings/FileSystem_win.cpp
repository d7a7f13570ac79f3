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

// Another program that has the file open at that moment (a virus scanner, an
// indexer, a backup or sync tool, an editor) makes a read or a replacement
// fail for a moment. `attempt` is tried again for about a second before the
// failure counts; it returns whether it succeeded and leaves the error.
template <class Attempt>
bool WithRetry(Attempt attempt) {
    for (DWORD wait = 10;; wait *= 2) {
        if (attempt()) return true;
        const DWORD e = GetLastError();
        const bool passing = e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
        if (!passing || wait > 640) return false;
        Sleep(wait);
        SetLastError(e);
    }
}

// The path in the form that is not held to MAX_PATH, so that a settings file
// named with up to 260 characters can be read, and its temporary file beside
// it, a few characters longer, can be written.
std::u16string Unlimited(const std::u16string& path) {
    if (path.rfind(u"\\\\?\\", 0) == 0 || path.rfind(u"\\\\.\\", 0) == 0) return path;
    DWORD need = GetFullPathNameW(AsW(path), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::u16string full(need, u'\0');
    DWORD got = GetFullPathNameW(AsW(path), need, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    if (full.rfind(u"\\\\", 0) == 0) return u"\\\\?\\UNC\\" + full.substr(2);
    return u"\\\\?\\" + full;
}

// The file a settings path stands for: the target of a symbolic link (or of
// a link on the Linux side under Wine, which shows no reparse point), so
// that the replacement puts the new file there instead of over the link.
std::u16string FinalPath(const std::u16string& path) {
    const std::u16string unlimited = Unlimited(path);
    Handle f(CreateFileW(AsW(unlimited), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return unlimited;
    wchar_t buf[1024];
    DWORD n = GetFinalPathNameByHandleW(f.get(), buf, DWORD(std::size(buf)), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= std::size(buf)) return unlimited;
    return Unlimited(U16(buf));
}

std::u16string DecodeAnsiCodePage(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::u16string text(size_t(std::max(n, 0)), u'\0');
    if (n <= 0 ||
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t*>(text.data()), n) != n)
        return DecodeLatin1(bytes);
    return text;
}

class Win32FileSystem final : public FileSystem {
public:
    // The file is opened the way the platform's profile functions open it,
    // sharing reading, writing and deletion, so a file another program holds
    // open for writing is still read.
    ReadResult ReadAll(const std::u16string& path, std::string& bytes) override {
        bytes.clear();
        const std::u16string name = Unlimited(path);
        ReadResult result = ReadResult::Failed;
        WithRetry([&] {
            bytes.clear();
            Handle f(CreateFileW(AsW(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (!f.valid()) {
                DWORD e = GetLastError();
                result = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? ReadResult::Absent : ReadResult::Failed;
                return result == ReadResult::Absent;
            }
            result = ReadResult::Failed;
            LARGE_INTEGER size;
            if (!GetFileSizeEx(f.get(), &size)) return false;
            if (size.QuadPart > LONGLONG(kMaxSettingsFileBytes)) {
                SetLastError(ERROR_FILE_TOO_LARGE);
                return false;
            }
            bytes.resize(size_t(size.QuadPart));
            size_t done = 0;
            while (done < bytes.size()) {
                DWORD got = 0;
                DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
                if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) return false;
                if (got == 0) break;
                done += got;
            }
            bytes.resize(done);
            result = ReadResult::Ok;
            return true;
        });
        if (result != ReadResult::Ok) bytes.clear();
        return result;
    }

    bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) override {
        const std::u16string target = FinalPath(path);
        DWORD attrs = GetFileAttributesW(AsW(target));
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return false;
        // A hidden or system file stays one: the new file is made with the
        // old one's attributes.
        const DWORD keep = attrs == INVALID_FILE_ATTRIBUTES
                               ? 0
                               : attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        const std::u16string temp = TempPathFor(target);
        bool ok = false;
        {
            Handle f(CreateFileW(AsW(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 keep ? keep : FILE_ATTRIBUTE_NORMAL, nullptr));
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
        if (ok)
            ok = WithRetry([&] {
                return MoveFileExW(AsW(temp), AsW(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
            });
        if (!ok) DeleteFileW(AsW(temp));
        return ok;
    }

    bool CreateAtomically(const std::u16string& path, const std::string& bytes) override {
        const std::u16string target = Unlimited(path);
        const std::u16string temp = TempPathFor(target);
        bool ok = false;
        {
            Handle f(CreateFileW(AsW(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!f.valid()) return false;
            DWORD put = 0;
            ok = bytes.size() <= MAXDWORD && WriteFile(f.get(), bytes.data(), DWORD(bytes.size()), &put, nullptr) &&
                 put == bytes.size() && FlushFileBuffers(f.get());
            ok = f.Close() && ok;
        }
        if (ok && GetBeforeReplaceHook()) ok = GetBeforeReplaceHook()(temp);
        // Without MOVEFILE_REPLACE_EXISTING the move fails where a file is.
        if (ok) ok = MoveFileExW(AsW(temp), AsW(target), MOVEFILE_WRITE_THROUGH) != FALSE;
        if (!ok) DeleteFileW(AsW(temp));
        return ok;
    }

    bool CopyIfAbsent(const std::u16string& from, const std::u16string& to) override {
        return CopyFileW(AsW(Unlimited(from)), AsW(Unlimited(to)), TRUE) != FALSE;
    }

    AnsiDecoder Ansi() const override { return DecodeAnsiCodePage; }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

}  // namespace vc
