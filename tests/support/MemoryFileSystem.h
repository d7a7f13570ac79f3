// A file system in memory, for unit tests and the fuzzer.
#pragma once

#include <map>
#include <set>
#include <string>

#include "settings/FileSystem.h"

namespace vc::test {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::u16string, std::string> files;
    std::set<std::u16string> locked;    // exist but cannot be read or replaced
    std::set<std::u16string> readOnly;  // can be read, not replaced
    int replaces = 0;
    AnsiDecoder ansi = DecodeLatin1;  // the system's ANSI code page
    int failReadsAfter = -1;          // >= 0: reads after that many succeed fail
    int failWritesAfter = -1;         // >= 0: replacements after that many succeed fail
    int reads = 0;

    ReadResult ReadAll(const std::u16string& path, std::string& bytes) override {
        bytes.clear();
        if (locked.count(path) || (failReadsAfter >= 0 && reads >= failReadsAfter)) return ReadResult::Failed;
        ++reads;
        auto it = files.find(path);
        if (it == files.end()) return ReadResult::Absent;
        bytes = it->second;
        return ReadResult::Ok;
    }
    bool ReplaceAtomically(const std::u16string& path, const std::string& bytes) override {
        if (locked.count(path) || readOnly.count(path)) return false;
        if (failWritesAfter >= 0 && replaces >= failWritesAfter) return false;
        if (GetBeforeReplaceHook() && !GetBeforeReplaceHook()(TempPathFor(path))) return false;
        files[path] = bytes;
        ++replaces;
        return true;
    }
    bool CreateAtomically(const std::u16string& path, const std::string& bytes) override {
        return !files.count(path) && ReplaceAtomically(path, bytes);
    }
    bool CopyIfAbsent(const std::u16string& from, const std::u16string& to) override {
        auto it = files.find(from);
        if (it == files.end() || locked.count(from) || files.count(to)) return false;
        files[to] = it->second;
        return true;
    }
    AnsiDecoder Ansi() const override { return ansi; }
};

}  // namespace vc::test
