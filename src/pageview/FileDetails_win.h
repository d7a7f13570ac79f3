// Where the details of an entry come from on Windows: the file system, the
// user's local time and date formats, the well-known folder paths, the
// shell's icons; and the list item that shows them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "pageview/FileDetails.h"
#include "pageview/FileEntry.h"
#include "settings/Records.h"

namespace vc {

// ---- Filling an entry ----

// Looks the path itself up in its folder. False, with `entry` untouched, when
// nothing is found, when the item is hidden, is "." or "..", is a folder and
// `foldersAllowed` is false, when the path ends in a wildcard (which would
// find some other file), in "." or "..", or is longer than a Path holds. Otherwise sets Path to
// `path`, the last-write time, the size (0 for a folder) and the offsets, and
// returns true. Registration, loading and shortcut targets go through here.
bool FillFromSearch(const std::u16string& path, bool foldersAllowed, FileEntry& entry);

// For an entry whose Path is set but could not be searched (hidden, missing):
// time and size as far as the file can be opened for reading, else 0; the
// offsets from the text, a folder being one whose attributes say so. A folder
// cannot be opened that way, so its time stays 0.
void FillFromFile(FileEntry& entry);

// Whether the path is a folder now; a path whose attributes cannot be read
// counts as a file.
bool IsFolderNow(const std::u16string& path);

// ---- Texts ----

// The FILETIME in local calendar time; nullopt when a conversion fails.
std::optional<CalendarTime> LocalCalendarTime(uint64_t fileTime);

// The user's short date and time without seconds (GetDateFormatW and
// GetTimeFormatW, user default locale).
extern const DateTimeFormat kUserDateTime;

// The date text of a last-write time in the user's formats: "-----" when it
// is unknown, else the date and time, after "更新日 : " when `withPrefix`.
// At most capacity - 1 units. The status bar asks for the prefix, the date
// column (kDateColumnCapacity) does not.
std::u16string DateTextOf(uint64_t fileTime, bool withPrefix, size_t capacity);

// The current paths of the KnownFolderTable folders, looked up afresh; a
// folder the shell cannot name is left empty. Looking them up once per page
// load and passing them on saves 17 shell calls per entry.
KnownFolderPaths CurrentKnownFolderPaths();

// LocationText with the current well-known folder paths, for a single text
// (the settings file in the About dialog).
std::u16string LocationTextOf(std::u16string_view location);

// The full path of `path` (GetFullPathNameW, 260 units) and where its
// file-name part starts; nullopt when it cannot be made. NameStart equals the
// length when the path has no file-name part (a drive root, a trailing "\"):
// such an entry gets no list item.
struct FullPath {
    std::u16string Text;
    size_t NameStart = 0;
    std::u16string_view Name() const { return std::u16string_view(Text).substr(NameStart); }
};
std::optional<FullPath> FullPathOf(const std::u16string& path);

// ---- List items ----

// What is known of whether an entry's path is a folder now: asked of the
// file system on the spot, looked up already, or still being looked up (its
// date and size then show "-----" until it is in).
enum class FolderState { AskNow, File, Folder, Pending };

// The six column texts of entry `index`: the display name as given, the date
// text, the size ("---" for a folder), the location of its full path ("---"
// when none can be made), the type, and the index in decimal (the column
// that leads from an item back to its entry).
std::array<std::u16string, kColumnCount> ColumnTexts(const FileEntry& entry, int index,
                                                     std::u16string_view displayName,
                                                     const KnownFolderPaths& folders,
                                                     FolderState folder = FolderState::AskNow);

// Inserts the list item of entry `index` at position `index` (at the end
// when the list has fewer items) with its six column texts, image `image`
// and the entry's address as item data, so `entry` must not move while the
// item exists. Returns the item's position, or -1 when it could not be
// inserted.
int CreateItem(HWND list, int index, const FileEntry& entry, int image, std::u16string_view displayName,
               const KnownFolderPaths& folders, FolderState folder = FolderState::AskNow);

// Gives the item that shows entry `index` (found by its item data) the
// texts and image of the entry as it is now. Returns the item's position, or
// -1 when no item shows it.
int UpdateItem(HWND list, int index, const FileEntry& entry, int image, std::u16string_view displayName,
                const KnownFolderPaths& folders, FolderState folder);

// ---- Icons ----

enum class IconSize { Small, Normal, Large };  // 16, 32 and 48 pixels

// Appends the entry's icon to `images`, whose icons are `size`: the shell's
// icon of the path, from the system image list from Windows XP
// (`windowsVersion` >= 510) on, else the associated icon. When none can be
// had, the list's first image (or the stock application icon) stands in, so
// that the icon of entry i stays image 3 + i. Returns false when nothing
// could be appended.
bool FetchIcon(const FileEntry& entry, IconSize size, HIMAGELIST images, uint32_t windowsVersion);

// Has the shell build its system image lists of every size the page uses
// (it builds each on first asking, the extra-large one too), so that the
// first icon of a page does not wait for them.
void OpenSystemImageLists();

// One icon for the entry in each list; a null list (no large list before
// Windows XP) is passed over.
void FetchIcons(const FileEntry& entry, HIMAGELIST smallImages, HIMAGELIST normalImages, HIMAGELIST largeImages,
                uint32_t windowsVersion);

// The icons of a page's entries in its three image lists, where entries
// whose icons are the same pictures share one image. A folder of thousands
// of files of a handful of types then holds a handful of images instead of
// three per file, which would take some 14 KB of memory per entry. The
// shell's system image list index tells which pictures are the same; an
// entry the shell does not know gets images of its own. The three lists
// always hold the same number of images, so one image index serves every
// view.
class SharedIcons {
public:
    // Starts over on these lists (a null large list before Windows XP).
    void Reset(HIMAGELIST smallImages, HIMAGELIST normalImages, HIMAGELIST largeImages, uint32_t windowsVersion) {
        small_ = smallImages;
        normal_ = normalImages;
        large_ = largeImages;
        windowsVersion_ = windowsVersion;
        byShellIndex_.clear();
    }
    // The image index of the entry's icons, appending them when no earlier
    // entry has the same; -1 without lists.
    int Add(const FileEntry& entry);
    // The same with the places of its icons in the shell's system image lists
    // looked up already (off the window's thread), -1 for unknown.
    int AddKnown(const FileEntry& entry, int smallIndex, int largeIndex);
    // A stand-in until the entry's own icons are looked up: the icon of its
    // name's type, which the shell gives without asking the file (image 0, a
    // blank, before Windows XP or when the shell gives none).
    int AddByName(const FileEntry& entry);

private:
    HIMAGELIST small_ = nullptr, normal_ = nullptr, large_ = nullptr;
    uint32_t windowsVersion_ = 0;
    std::map<std::pair<int, int>, int> byShellIndex_;  // (closed, open) shell index to image
};

}  // namespace vc
