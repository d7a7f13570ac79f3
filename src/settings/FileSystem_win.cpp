// The settings store's file operations on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "common/U16.h"
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

// Wine names itself by an export of its ntdll.
bool OnWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// Whether the call that just failed with access denied met a file that
// another program is deleting or replacing at that instant, which Windows
// reports the same way as a denial.
bool DeletePending() {
    using LastStatus = LONG(WINAPI*)();
    static const auto lastStatus = reinterpret_cast<LastStatus>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetLastNtStatus")));
    return lastStatus && ULONG(lastStatus()) == 0xC0000056;  // STATUS_DELETE_PENDING
}

// Another program that has the file open at that moment (a virus scanner, an
// indexer, a backup or sync tool, an editor) makes a read or a replacement
// fail for a moment. `attempt` is tried again for about a second before the
// failure counts; it returns whether it succeeded and leaves the error. A
// denial does not pass by itself and fails at once; only a file on its way
// out is given one short moment.
template <class Attempt>
bool WithRetry(Attempt attempt) {
    bool pendingSeen = false;
    for (DWORD wait = 10;; wait *= 2) {
        if (attempt()) return true;
        const DWORD e = GetLastError();
        const bool held = e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
        const bool pending = e == ERROR_ACCESS_DENIED && !pendingSeen && DeletePending();
        if (!(held || pending) || wait > 640) return false;
        pendingSeen = pendingSeen || pending;
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

bool Exists(const std::u16string& name) { return GetFileAttributesW(AsW(name)) != INVALID_FILE_ATTRIBUTES; }

// Whether `name`, found by no open, is a symbolic link whose target is away
// (a USB stick or a share that is not there): the file it stands for exists
// but cannot be reached now. Windows shows the link itself; a link of the
// Linux side under Wine shows only to a call that would make a file there,
// which fails where anything has the name.
bool LinkWithoutTarget(const std::u16string& name) {
    if (Exists(name)) return true;
    if (!OnWine()) return false;
    Handle probe(CreateFileW(AsW(name), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return !probe.valid() && GetLastError() == ERROR_FILE_EXISTS;
}

// The file whole from the start, or false with the error.
bool ReadWhole(HANDLE f, std::string& bytes) {
    bytes.clear();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f, &size)) return false;
    if (size.QuadPart > LONGLONG(kMaxSettingsFileBytes)) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(f, bytes.data() + done, want, &got, nullptr)) return false;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteWhole(HANDLE f, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(f, bytes.data() + done, want, &put, nullptr) || put != want) return false;
        done += put;
    }
    return true;
}

// A new file of the given bytes, flushed, where no file is; false with the
// error otherwise, leaving nothing behind.
bool WriteNewFile(const std::u16string& name, const std::string& bytes, DWORD attributes) {
    Handle f(CreateFileW(AsW(name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return false;
    bool ok = WriteWhole(f.get(), bytes) && FlushFileBuffers(f.get());
    const DWORD e = GetLastError();
    ok = f.Close() && ok;
    if (!ok) {
        DeleteFileW(AsW(name));
        SetLastError(e);
    }
    return ok;
}

// The file held for this program alone, so that no reader sees it half
// written and no other writer comes between.
HANDLE OpenAlone(const std::u16string& name) {
    HANDLE h = INVALID_HANDLE_VALUE;
    WithRetry([&] {
        h = CreateFileW(AsW(name), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
        return h != INVALID_HANDLE_VALUE;
    });
    return h;
}

bool Overwrite(HANDLE f, const std::string& bytes) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(f, start, nullptr, FILE_BEGIN) && WriteWhole(f, bytes) && SetEndOfFile(f) &&
           FlushFileBuffers(f);
}

// Where a write in place keeps what the file held: the user's temp folder,
// under the file's name and a number drawn from its whole path, so that
// files of one name in two folders keep apart.
std::u16string KeptCopyOf(const std::u16string& target) {
    wchar_t dir[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
    if (n == 0 || n > MAX_PATH) return {};
    std::u16string folded = target;
    CharUpperBuffW(reinterpret_cast<wchar_t*>(folded.data()), DWORD(folded.size()));
    uint64_t h = 14695981039346656037ull;
    for (char16_t c : folded) h = (h ^ c) * 1099511628211ull;
    return Unlimited(U16(dir)) + target.substr(target.rfind(u'\\') + 1) + u"." + Dec(int64_t(h >> 1)) + u".kept";
}

// Where no file can be made beside the settings file (a folder the user may
// not create files in, with a grant on the file alone), it is written in
// place. What it held is kept first in a copy where files can be made; a
// failure puts that back, and so does the next read after a crash cut the
// write short (SettleInterruptedWrite). The copy goes while the file is
// still held, so no reader ever finds a finished write with its copy.
bool WriteInPlace(const std::u16string& target, const std::string& bytes) {
    Handle f(OpenAlone(target));
    const std::u16string copy = KeptCopyOf(target);
    std::string old;
    if (!f.valid() || copy.empty() || !ReadWhole(f.get(), old) || !WriteNewFile(copy, old, 0)) return false;
    bool ok = Overwrite(f.get(), bytes);
    if (ok && GetBeforeReplaceHook()) ok = GetBeforeReplaceHook()(copy);
    if (ok && DeleteFileW(AsW(copy))) return f.Close();
    if (Overwrite(f.get(), old)) DeleteFileW(AsW(copy));
    return false;
}

// A write in place that a crash or a kill cut short has left its copy of the
// file: the copy goes back before the file is read, which is then whole as
// it was before that write. False when that cannot be done now, so that the
// file counts as unreadable and is not written over.
bool SettleInterruptedWrite(const std::u16string& path) {
    const std::u16string target = FinalPath(path);
    const std::u16string copy = KeptCopyOf(target);
    if (copy.empty() || !Exists(copy)) return true;
    std::string old;
    Handle c(CreateFileW(AsW(copy), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!c.valid() || !ReadWhole(c.get(), old)) return false;
    c.Close();
    Handle f(OpenAlone(target));
    if (!f.valid()) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        // The file itself has gone meanwhile: the copy is all there is of it.
        return WriteNewFile(target, old, 0) && DeleteFileW(AsW(copy));
    }
    // A writer that was still at work has finished and taken its copy away.
    if (!Exists(copy)) return true;
    return Overwrite(f.get(), old) && DeleteFileW(AsW(copy));
}

// A rename over a file fails with access denied while another program has
// the file open (under Wine whatever it shares); opening it for deletion
// tells that apart from a denial, which does not pass by itself.
bool InUseElsewhere(const std::u16string& target) {
    Handle probe(CreateFileW(AsW(target), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    return probe.valid() || GetLastError() == ERROR_SHARING_VIOLATION;
}

// The flushed temporary file takes the place of `target`. An existing file
// is replaced with ReplaceFileW, which keeps what the file carried (its
// security, encryption, compression, creation time and attributes). Wine's
// ReplaceFileW removes the old file before it moves the new one in, so a
// crash there would lose it, and keeps none of that; there a rename, which
// is atomic, takes its place.
bool PutInPlace(const std::u16string& temp, const std::u16string& target, bool replace) {
    if (!replace) {
        // A move without MOVEFILE_REPLACE_EXISTING fails where a file is;
        // Wine's would take the place of a link whose target is away.
        if (LinkWithoutTarget(target)) {
            SetLastError(ERROR_FILE_EXISTS);
            return false;
        }
        return MoveFileExW(AsW(temp), AsW(target), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    return WithRetry([&] {
        bool done = false;
        if (OnWine()) {
            done = MoveFileExW(AsW(temp), AsW(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        } else if (!Exists(target)) {
            // ReplaceFileW took the old file away and failed to move the new
            // one in: the new one, whole and flushed, goes there now.
            return MoveFileExW(AsW(temp), AsW(target), MOVEFILE_WRITE_THROUGH) != FALSE;
        } else {
            done = ReplaceFileW(AsW(target), AsW(temp), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
            if (!done && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) SetLastError(ERROR_SHARING_VIOLATION);
        }
        if (!done && GetLastError() == ERROR_ACCESS_DENIED && InUseElsewhere(target))
            SetLastError(ERROR_SHARING_VIOLATION);
        return done;
    });
}

// Temporary files of writes that a crash cut short would gather beside the
// file; one that nothing has written to for an hour belongs to no write
// still going on, on this computer or another one sharing the folder.
void RemoveAbandonedTemporaryFiles(const std::u16string& target) {
    const std::u16string folder = target.substr(0, target.rfind(u'\\') + 1);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(AsW(target + u"*.saving"), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const uint64_t hour = 36000000000ull;
    do {
        if (ticks(found.ftLastWriteTime) + hour < ticks(now)) DeleteFileW(AsW(folder + U16(found.cFileName)));
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// The new bytes go to a temporary file of their own beside `target`, are
// flushed, and that file then takes the place of the old one (`replace`) or
// of none. On failure the old file is as it was.
bool WriteBeside(const std::u16string& target, const std::string& bytes, bool replace, DWORD attributes) {
    // A hidden or system file stays one, also where a rename takes the
    // old file's place.
    const DWORD keep = replace ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
                               : 0;
    std::u16string temp;
    bool written = false;
    // A name that a file of an earlier run with the same process id holds is
    // passed over.
    for (int tries = 0; tries < 4 && !written; ++tries) {
        temp = TempPathFor(target);
        written = WriteNewFile(temp, bytes, keep);
        if (!written && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!written) return replace && GetLastError() == ERROR_ACCESS_DENIED && WriteInPlace(target, bytes);
    bool ok = !GetBeforeReplaceHook() || GetBeforeReplaceHook()(temp);
    ok = ok && PutInPlace(temp, target, replace);
    if (ok) RemoveAbandonedTemporaryFiles(target);
    // A replacement that took the old file away without putting the new one
    // there leaves the new one, whole, under its temporary name: it stays.
    else if (!replace || Exists(target)) DeleteFileW(AsW(temp));
    return ok;
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
        if (!SettleInterruptedWrite(name)) return ReadResult::Failed;
        ReadResult result = ReadResult::Failed;
        WithRetry([&] {
            Handle f(CreateFileW(AsW(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (!f.valid()) {
                DWORD e = GetLastError();
                result = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? ReadResult::Absent : ReadResult::Failed;
                return result == ReadResult::Absent;
            }
            result = ReadWhole(f.get(), bytes) ? ReadResult::Ok : ReadResult::Failed;
            return result == ReadResult::Ok;
        });
        // A link whose target is away names a file that is there but cannot
        // be read now: a new file must not take the link's place.
        if (result == ReadResult::Absent && LinkWithoutTarget(name)) result = ReadResult::Failed;
        if (result != ReadResult::Ok) bytes.clear();
        return result;
    }

    bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) override {
        const std::u16string target = FinalPath(path);
        const DWORD attributes = GetFileAttributesW(AsW(target));
        const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
        if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
        return WriteBeside(target, bytes, exists, exists ? attributes : 0);
    }

    bool CreateAtomically(const std::u16string& path, const std::string& bytes) override {
        return WriteBeside(Unlimited(path), bytes, false, 0);
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
