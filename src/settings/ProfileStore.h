// The settings file as the profile functions see it, with the cost kept to
// one read and at most one write per operation: a batch reads the file once
// when it opens, every profile call works on that text, and the batch writes
// the file once, atomically, when it closes and only if something changed.
// Batches nest; the outermost one reads and writes. Portable: no windows.h.
#pragma once

#include <functional>
#include <string>

#include "settings/FileSystem.h"
#include "settings/ProfileDocument.h"

namespace vc {

class ProfileStore {
public:
    ProfileStore(FileSystem& fs, std::u16string path) : fs_(fs), path_(std::move(path)) {}

    const std::u16string& path() const { return path_; }
    void SetPath(std::u16string path) { path_ = std::move(path); }

    void Begin();
    void End();
    bool InBatch() const { return depth_ > 0; }

    // The document of the open batch.
    ProfileDocument& Doc() { return doc_; }
    const ProfileDocument& Doc() const { return doc_; }

    // What the batch found when it opened.
    bool FileHasMark() const { return hasMark_; }
    bool FileAbsent() const { return readResult_ == ReadResult::Absent; }
    bool FileUnreadable() const { return readResult_ == ReadResult::Failed; }
    // Whether the open batch knows what the file holds: it read the file, or
    // there is no file. An operation that rebuilds records from the file must
    // do nothing in a batch that does not, or it would put defaults (or
    // another program's file) in place of the user's pages.
    bool BatchReadable() const { return depth_ > 0 && readResult_ != ReadResult::Failed && !foreignBatch_; }

    // Starts the file anew as UTF-16LE holding `text` (the old content is
    // replaced when the batch closes).
    void StartNewFile(std::u16string_view text);
    // Asks for the blank-line pass to run on the text before it is written.
    void RequestBlankLinePass() { blankLinePass_ = true; }

    // A store that must not write (its file existed but could not be read,
    // so writing would overwrite what the user has with defaults).
    void SetReadOnly(bool ro) { readOnly_ = ro; }
    bool ReadOnly() const { return readOnly_; }

    // What puts every record into the open batch's document. After a batch
    // whose changes did not reach the file (its read or its write failed),
    // the file and the records differ; the next batch that can write starts
    // by storing everything, so that a later write of one page cannot land
    // in a file whose other sections are still in their old places.
    void SetResync(std::function<void(ProfileStore&)> resync) { resync_ = std::move(resync); }
    bool OutOfSync() const { return outOfSync_; }

    FileSystem& fs() { return fs_; }

    // Counters for tests and benchmarks.
    int ReadCount() const { return reads_; }
    int WriteCount() const { return writes_; }
    bool LastWriteFailed() const { return lastWriteFailed_; }

private:
    FileSystem& fs_;
    std::u16string path_;
    int depth_ = 0;
    ProfileDocument doc_;
    std::string original_;
    ReadResult readResult_ = ReadResult::Absent;
    bool hasMark_ = false;
    bool startedNew_ = false;
    bool blankLinePass_ = false;
    bool readOnly_ = false;
    bool known_ = false;         // the file was read or written by this store
    bool foreignBatch_ = false;  // the batch found a file it never read
    bool outOfSync_ = false;
    std::function<void(ProfileStore&)> resync_;
    bool lastWriteFailed_ = false;
    int reads_ = 0;
    int writes_ = 0;
};

// Opens a batch for its scope.
class ProfileBatch {
public:
    explicit ProfileBatch(ProfileStore& s) : s_(s) { s_.Begin(); }
    ~ProfileBatch() { s_.End(); }
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;

private:
    ProfileStore& s_;
};

// The cosmetic pass that puts one blank line before each section header:
// wherever CR, LF, "[" follow a unit that is not LF whose predecessor is not
// CR, and at least two units have passed since the last insertion, one CR LF
// is inserted in front of that CR LF.
std::u16string InsertBlankLinesBeforeSections(std::u16string_view text);

}  // namespace vc
