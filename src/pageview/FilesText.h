// A user page's Files text and the pane's layout numbers. Portable: no
// windows.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/U16.h"
#include "pageview/FileEntry.h"

namespace vc {

constexpr int kMaxUserEntries = 200;

// The entry that starts at `pos`: the text up to the next CR LF. Moves `pos`
// past the CR LF. Returns false when no CR LF follows (text after the last
// one is not an entry).
bool CutNextEntry(std::u16string_view text, size_t& pos, std::u16string_view& entry);

// Text after the last CR LF (only a hand-edited file has it): taken as one
// more entry, so that it is not lost when the page is next written.
bool CutLastEntry(std::u16string_view text, size_t& pos, std::u16string_view& entry);

// The Files text of the first `count` slots: each non-empty path and CR LF,
// in slot order.
std::u16string RebuildFiles(const std::vector<FileEntry>& table, int count);

// Slots below `count` that hold a path.
int CountRegistered(const std::vector<FileEntry>& table, int count);

struct NoticeRect {
    int x, y, width, height;
};
// Where the loading notice sits in a pane of the given client size.
NoticeRect LoadingNoticeRect(int width, int height);

// Sort arrow of a column: 1 (ascending) when PageListSort names it, 2
// (descending) when PageListSort is it plus 10, else 0 (none).
int SortArrowImage(int column, int pageListSort);

}  // namespace vc

namespace vc {

// The folder a launched entry starts in: its full path cut before the "\"
// that precedes the file-name part (C:\Tools\run.exe -> C:\Tools; a file in
// a drive root, C:\run.exe -> C:). `nameStart` is where the file name starts.
std::u16string WorkingFolderOf(std::u16string_view fullPath, size_t nameStart);
// The folder that holds an entry, with its final "\" (C:\Tools\run.exe ->
// C:\Tools\, a registered folder D:\Work\Notes -> D:\Work\).
std::u16string ContainingFolderOf(std::u16string_view fullPath, size_t nameStart);
// A dropped name that names a settings file: it ends in ".vcset", in any
// case, as Windows compares names. Such a file opens in another instance
// rather than being registered; "notes.vcset.txt" or a file in a folder
// "D:\app.vcsettings\" is an ordinary file and must not be taken for one.
inline bool IsSettingsFileName(std::u16string_view name) {
    constexpr std::u16string_view kExtension = u".vcset";
    return name.size() >= kExtension.size() && EqualsNoCase(name.substr(name.size() - kExtension.size()), kExtension);
}

// The question before a registration is removed.
std::u16string RemoveQuestion(std::u16string_view pageLabel, std::u16string_view displayName);
// The title of the open-file dialog that adds a registration.
std::u16string AddDialogTitle(std::u16string_view windowName, std::u16string_view pageLabel);

// The entry index an item's index column names, or -1 when the text is not
// a plain decimal number.
int ParseEntryIndex(std::u16string_view text);

}  // namespace vc
