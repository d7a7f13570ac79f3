// The settings file as the profile functions see it, with the cost kept to
// one read and at most one write per operation: a batch reads the file once
// when it opens, every profile call works on that text, and the batch writes
// the file once, atomically, when it closes and only if something changed.
// Batches nest; the outermost one reads and writes. Portable: no windows.h.
//
// Another program may write the file while this one runs (a text editor, a
// sync client, a backup put back). The store keeps what this run last read
// or wrote, its "base": the hash of the file's bytes and the document the
// records stand for. A batch that finds other bytes takes the records of the
// pages not shown from the file, and writes into the file as it now is only
// the values this run changed since the base; a file that reads damaged
// where a whole one was read is not written at all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/FileSystem.h"
#include "settings/ProfileDocument.h"

namespace vc {

class ProfileStore {
public:
    ProfileStore(FileSystem& fs, std::u16string path) : fs_(fs), path_(std::move(path)) {}

    const std::u16string& path() const { return path_; }
    // Another file: nothing this run read from the old one holds for it.
    void SetPath(std::u16string path) {
        path_ = std::move(path);
        Retry();
    }

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

    // A store that must not write: the program opened the file only to look
    // at it, or the store is shut out of it (below).
    void SetReadOnly(bool ro) { readOnly_ = ro; }
    bool ReadOnly() const { return readOnly_ || shutOut_; }
    // The file existed but could not be read when the records were loaded
    // (or the store found one it never read): writing would put defaults
    // over what the user has. The store neither writes nor reads it any
    // more, since a file that stays locked would make every batch wait for
    // the read's retries, for nothing.
    void MarkUnreadable() { shutOut_ = true; }
    bool ShutOut() const { return shutOut_; }
    // Forgets what this run read from the file, and that it could not read
    // it: the next batch reads the file as the first one did, and the store
    // may write again unless the program made it read-only. Only for
    // loading the records anew from the file (ReloadSettings), never before
    // writing records not loaded from it.
    void Retry();

    // What puts every record into the open batch's document. After a batch
    // whose changes did not reach the file (its read or its write failed),
    // the file and the records differ; the next batch that can write starts
    // by storing everything, so that a later write of one page cannot land
    // in a file whose other sections are still in their old places.
    void SetResync(std::function<void(ProfileStore&)> resync) { resync_ = std::move(resync); }
    bool OutOfSync() const { return outOfSync_; }
    // What takes the records of the pages not shown from the file another
    // program changed, given the sections that differ from the base; it
    // gives the sections it took, which the base then holds as the file does.
    using Reload = std::function<std::vector<std::u16string>(ProfileStore&, const ProfileDocument& file,
                                                             const std::vector<std::u16string>& changed)>;
    void SetReload(Reload reload) { reload_ = std::move(reload); }
    // Whether a file read where `base` was read before is damaged (cut
    // short, a section of its own gone), beyond what the store itself sees:
    // a file that reads empty, whose last line is cut, or of an odd number
    // of UTF-16 bytes.
    using DamageCheck = std::function<bool(const ProfileDocument& base, const ProfileDocument& now)>;
    void SetDamageCheck(DamageCheck check) { damageCheck_ = std::move(check); }

    // The bytes a batch could not write (the write failed, or the file read
    // damaged), kept until a later write succeeds, so that the program can
    // offer them to the user.
    const std::string& UnwrittenBytes() const { return unwritten_; }
    // Batches that found the file changed by another program and took it in.
    int OutsideChanges() const { return outsideChanges_; }

    FileSystem& fs() { return fs_; }

    // Counters for tests and benchmarks.
    int ReadCount() const { return reads_; }
    int WriteCount() const { return writes_; }
    bool LastWriteFailed() const { return lastWriteFailed_; }

private:
    struct Base {
        bool present = false;
        uint64_t hash = 0;
        size_t size = 0;
        ProfileDocument doc;     // what the records stand for
        bool docIsFile = false;  // and the file holds no other value
    };
    void ReadFile();
    void OpenOverBase();
    bool Damaged(const ProfileDocument& now) const;
    bool ApplyBlankLinePass(ProfileDocument& doc, std::u16string& units);
    void EndOverChangedFile();
    bool Write(const std::string& bytes);
    void TakeAsBase(const std::string& bytes, bool read, bool docIsFile);

    FileSystem& fs_;
    std::u16string path_;
    int depth_ = 0;
    ProfileDocument doc_;
    ProfileDocument theirs_;  // the file another program changed
    std::string original_;
    uint64_t fileHash_ = 0;
    Base base_;
    ReadResult readResult_ = ReadResult::Absent;
    bool hasMark_ = false;
    bool startedNew_ = false;
    bool blankLinePass_ = false;
    bool readOnly_ = false;
    bool shutOut_ = false;
    bool firstRead_ = true;
    bool known_ = false;         // the file was read or written by this store
    bool foreignBatch_ = false;  // the batch found a file it never read
    bool merging_ = false;       // the batch writes its changes into theirs_
    bool outOfSync_ = false;
    std::function<void(ProfileStore&)> resync_;
    Reload reload_;
    DamageCheck damageCheck_;
    std::string unwritten_;
    bool lastWriteFailed_ = false;
    int outsideChanges_ = 0;
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

// A hash of a file's bytes, quick enough to tell at every batch whether the
// file is still what this run last read or wrote.
uint64_t HashBytes(std::string_view bytes);

// Where the bytes a conversion replaces are kept: "Vellumcraft.vcset" ->
// "Vellumcraft_Backup.vcset" beside it for n = 1, "..._Backup2.vcset" for 2.
std::u16string BackupPathOf(std::u16string_view settingsPath, int n = 1);
// A file beside the settings file named after it: "Vellumcraft.vcset" and
// "_Unsaved" give "Vellumcraft_Unsaved.vcset".
std::u16string CompanionPathOf(std::u16string_view settingsPath, std::u16string_view suffix);
// Keeps `bytes` under the first backup name beside the settings file that is
// free or holds them already; false when none could be had.
bool KeepBackupOf(FileSystem& fs, std::u16string_view settingsPath, const std::string& bytes);

// Writes into `file` the values `mine` changed since `base`, taking a count
// key and its line keys ("Files", "Files000", ...), or a key and its "Hex"
// companion, as one value; a section `mine` removed goes if `file` holds it
// as `base` does. Gives the number of values and sections written.
size_t WriteChanges(const ProfileDocument& base, const ProfileDocument& mine, ProfileDocument& file);
// Gives `doc` the values of `mine` wherever the two differ in a section
// `mine` holds; the number of values it changed.
size_t AdoptValues(ProfileDocument& doc, const ProfileDocument& mine);

}  // namespace vc
