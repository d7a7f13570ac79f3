// The settings store's file operations on POSIX systems, where the portable
// code is built and tested natively.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/U16.h"
#include "settings/FileSystem.h"

namespace vc {

namespace {

bool WriteAllTo(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// The bytes written and flushed to a temporary file beside `path`, named in
// `temp` (empty when none could be made); false on any failure.
bool WriteTemporary(const std::u16string& path, const std::string& bytes, std::string& temp) {
    const std::u16string temp16 = TempPathFor(path);
    temp = ToUtf8(temp16);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        temp.clear();
        return false;
    }
    bool ok = WriteAllTo(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok && (!GetBeforeReplaceHook() || GetBeforeReplaceHook()(temp16));
}

class PosixFileSystem final : public FileSystem {
public:
    ReadResult ReadAll(const std::u16string& path, std::string& bytes) override {
        bytes.clear();
        int fd = ::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Absent : ReadResult::Failed;
        char buf[65536];
        for (;;) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ::close(fd);
                bytes.clear();
                return ReadResult::Failed;
            }
            if (n == 0) break;
            bytes.append(buf, size_t(n));
        }
        ::close(fd);
        return ReadResult::Ok;
    }

    bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) override {
        std::string target = ToUtf8(path);
        struct stat st;
        // A read-only settings file stays as it is, as on Windows (root would
        // otherwise write over it).
        if (::stat(target.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return false;
        std::string temp;
        bool ok = WriteTemporary(path, bytes, temp);
        if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok && !temp.empty()) ::unlink(temp.c_str());
        return ok;
    }

    bool CreateAtomically(const std::u16string& path, const std::string& bytes) override {
        std::string temp;
        bool ok = WriteTemporary(path, bytes, temp);
        // A hard link is made only where no file is.
        if (ok) ok = ::link(temp.c_str(), ToUtf8(path).c_str()) == 0;
        if (!temp.empty()) ::unlink(temp.c_str());
        return ok;
    }

    bool CopyIfAbsent(const std::u16string& from, const std::u16string& to) override {
        std::string bytes;
        if (ReadAll(from, bytes) != ReadResult::Ok) return false;
        int fd = ::open(ToUtf8(to).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        bool ok = WriteAllTo(fd, bytes);
        return ::close(fd) == 0 && ok;
    }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace vc
