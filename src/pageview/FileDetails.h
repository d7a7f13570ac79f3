// What the page view shows about one file: the offsets of its name and type,
// the texts of the date, size, location and type columns, and the name shown
// for it. The platform look-ups that feed these (the file system, local time,
// the user's date formats, the well-known folder paths) are done by
// FileDetails_win.h; everything here works on values and is portable: no
// windows.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pageview/FileEntry.h"
#include "settings/Records.h"

namespace vc {

// ---- Offsets ----

// The index of the first unit after the last "\" of `path`; 0 when there is
// no "\" or nothing follows it (the name of "C:\Tools\" is not "").
uint16_t NameOffsetOf(std::u16string_view path);

// -1 for a folder. Otherwise the index of the first unit after the last "."
// of the file-name part; 0 when the name has no "." or ends in one. Only the
// name is searched, so that a dot in a folder name ("C:\v1.2\README") is not
// taken for the file's type.
int16_t TypeOffsetOf(std::u16string_view path, bool isFolder);

// Sets NameOffset and TypeOffset from the entry's Path.
void SetOffsets(FileEntry& entry, bool isFolder);

// ---- Date ----

// A time broken down into calendar fields, laid out as the platform's
// SYSTEMTIME so that it passes through unchanged.
struct CalendarTime {
    uint16_t Year = 0;
    uint16_t Month = 0;      // 1..12
    uint16_t DayOfWeek = 0;  // 0 = Sunday
    uint16_t Day = 0;        // 1..31
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint16_t Milliseconds = 0;
};

// How the date and the time of day are written: on Windows the user's short
// date and time-without-seconds formats, elsewhere any locale's.
struct DateTimeFormat {
    std::u16string (*ShortDate)(const CalendarTime&);
    std::u16string (*TimeNoSeconds)(const CalendarTime&);
};

// "2024/03/05" and "9:07", as a Japanese locale writes them by default.
extern const DateTimeFormat kNumericDateTime;

inline constexpr std::u16string_view kDatePrefix = u"更新日 : ";
inline constexpr std::u16string_view kNoDate = u"-----";
inline constexpr size_t kDateColumnCapacity = 64;

// The text of a last-write time. `local` is the time converted to local
// calendar time, nullopt when a conversion failed. A failed conversion or a
// year of 1601 or earlier (a time of 0: never known) gives "-----" without
// prefix; otherwise "更新日 : " when asked, the date, one blank and the time.
// The text holds at most capacity - 1 units.
std::u16string DateText(const std::optional<CalendarTime>& local, bool withPrefix, size_t capacity,
                        const DateTimeFormat& format = kNumericDateTime);

// ---- Size ----

inline constexpr size_t kSizeColumnCapacity = 64;
inline constexpr std::u16string_view kSizePrefix = u"サイズ : ";

// `prefix`, the size and its unit: the size divided by 1000 (truncating) until
// it is below 10000, in "B", "kB", "MB", "GB" or "TB"; 9999 B but 10 kB for
// 10000. Beyond 10000 TB the size stays in TB rather than having no text.
// Negative sizes (never from a file) are shown in bytes. At most capacity - 1
// units.
std::u16string SizeText(int64_t size, std::u16string_view prefix, size_t capacity);

// ---- Location ----

// Well-known folders shown by a bracketed name, searched in this order: a
// common program files folder lies under the program files folder and
// matches that row first, the system folder matches before the Windows
// folder.
struct KnownFolder {
    int Csidl;
    std::u16string_view Name;
};
inline constexpr size_t kKnownFolderCount = 17;
extern const std::array<KnownFolder, kKnownFolderCount> KnownFolderTable;

// The current path of each KnownFolderTable row; empty where it could not
// be had.
using KnownFolderPaths = std::array<std::u16string, kKnownFolderCount>;

inline constexpr size_t kLocationMax = 259;
inline constexpr std::u16string_view kNoValue = u"---";

// The folder part of a full path without its final "\": C:\Tools\run.exe
// gives C:\Tools, C:\run.exe gives C:, a bare name the empty text.
std::u16string ContainingFolder(std::u16string_view fullPath);

// A path as the user reads it. The first KnownFolderTable row whose folder
// occurs in `location`, ending there or at a "\", replaces everything up to
// the folder's end by "[" name "] "; then every "\" becomes " > ". So with
// documents in C:\Users\me\Documents, C:\Users\me\Documents\Work gives
// "[Documents]  > Work" and D:\Data gives "D: > Data". The search is
// case-sensitive. At most 259 units: the " > " can make a long path grow
// past any buffer.
std::u16string LocationText(std::u16string_view location, const KnownFolderPaths& folders);

// ---- Names and types ----

// The name listed for an entry, made from the file-name part of its full
// path. With extensions hidden (ListType bit ShowExtensions clear) the name
// is cut at its last "."; shown, the names on the recent-files page
// (FolderId 8) are cut at their first ".lnk" and then at their first " ("
// (the shell's copy numbering), elsewhere left whole. A folder has no
// extension to hide, and a cut that would leave nothing (".profile") is not
// made.
std::u16string DisplayName(std::u16string_view fileName, const PageRecord& page, bool isFolder);

// The recent-files page's folder (CSIDL_RECENT).
inline constexpr int16_t kRecentFolderId = 8;

// The type column: "---" for a folder, the empty text without extension,
// else the extension without its dot.
std::u16string TypeText(const FileEntry& entry);

// The size column: "---" for a folder, else the size text without prefix.
std::u16string SizeColumnText(bool isFolder, int64_t size);

}  // namespace vc
