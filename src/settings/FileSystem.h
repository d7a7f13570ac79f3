// The few file operations the settings store needs, behind an interface so
// that the store runs on Windows, natively in tests and in memory for the
// fuzzer. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <string>

#include "settings/ProfileDocument.h"

namespace vc {

// Nothing the program writes comes near these: a thousand pages of two
// hundred long paths each is about 110 MB in some 300,000 lines. A larger
// file is not a settings file the program can hold, and reading it whole
// would exhaust memory, so it counts as unreadable (and is never replaced).
constexpr size_t kMaxSettingsFileBytes = size_t(150) << 20;
constexpr size_t kMaxSettingsFileLines = 1000000;

enum class ReadResult {
    Ok,      // the bytes were read
    Absent,  // no such file
    Failed,  // the file exists (or may exist) but could not be read
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual ReadResult ReadAll(const std::u16string& path, std::string& bytes) = 0;
    // Replaces the file's content as a whole: the new bytes go to a temporary
    // file beside it, are flushed, and then take its place. On failure the old
    // file is left as it was and false is returned.
    virtual bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) = 0;
    // Writes a new file the same way, but only where there is none: a file
    // that appeared meanwhile (another program's, a share that came back) is
    // never replaced. False, leaving everything as it was, otherwise.
    virtual bool CreateAtomically(const std::u16string& path, const std::string& bytes) = 0;
    // Copies `from` to `to` unless `to` exists already.
    virtual bool CopyIfAbsent(const std::u16string& from, const std::u16string& to) = 0;
    // How this system reads 8-bit text: its ANSI code page.
    virtual AnsiDecoder Ansi() const { return DecodeLatin1; }
};

// The file system of the platform the program runs on.
FileSystem& PlatformFileSystem();

// Tests stop a replacement between writing the temporary file and putting it
// in place, as a crash or a full disk would: a hook that returns false makes
// the replacement fail there.
using BeforeReplaceHook = bool (*)(const std::u16string& tempPath);
void SetBeforeReplaceHook(BeforeReplaceHook hook);
BeforeReplaceHook GetBeforeReplaceHook();

// A temporary name beside `path` for one write: each call gives a name of its
// own, so that two writers of one file never share a temporary file.
std::u16string TempPathFor(const std::u16string& path);

}  // namespace vc
