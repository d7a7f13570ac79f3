#include "pageview/PaneEntries_win.h"

#include <shellapi.h>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "tabwindow/TabTexts.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

namespace {
void SetOffsets(FileEntry& e, bool folder) {
    size_t slash = e.Path.rfind(u'\\');
    e.NameOffset = slash == std::u16string::npos || slash + 1 >= e.Path.size() ? 0 : uint16_t(slash + 1);
    if (folder) {
        e.TypeOffset = -1;
        return;
    }
    size_t dot = e.Path.rfind(u'.');
    e.TypeOffset = dot == std::u16string::npos || dot + 1 >= e.Path.size() ? 0 : int16_t(dot + 1);
}
}  // namespace

bool FillEntryFromSearch(FileEntry& e, const std::u16string& path) {
    if (path.empty()) return false;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(AsW(path), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    e.Path = std::u16string(CutTo(path, 261));
    bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    e.LastWriteTime = (uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
    e.Size = folder ? 0 : int64_t((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    SetOffsets(e, folder);
    return true;
}

void FillEntryFromFile(FileEntry& e) {
    e.LastWriteTime = 0;
    e.Size = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool folder = false;
    if (GetFileAttributesExW(AsW(e.Path), GetFileExInfoStandard, &data)) {
        folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        e.LastWriteTime = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        e.Size = folder ? 0 : int64_t((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    }
    SetOffsets(e, folder);
}

int InsertEntryItem(HWND list, int position, int index, const FileEntry& e, uint32_t listType) {
    std::u16string name = e.Path.substr(e.NameOffset);
    if (!(listType & 0x100) && e.TypeOffset > 0 && size_t(e.TypeOffset) > e.NameOffset)
        name = e.Path.substr(e.NameOffset, size_t(e.TypeOffset) - 1 - e.NameOffset);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = position;
    item.pszText = reinterpret_cast<wchar_t*>(name.data());
    item.iImage = 3 + index;
    int pos = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (pos < 0) return -1;
    std::u16string texts[5] = {
        EntryDateText(e.LastWriteTime), Dec(e.Size),
        e.NameOffset ? e.Path.substr(0, e.NameOffset) : std::u16string(),
        e.TypeOffset > 0 ? e.Path.substr(size_t(e.TypeOffset)) : std::u16string(), Dec(index)};
    for (int c = 1; c <= 5; ++c) {
        LVITEMW sub{};
        sub.iSubItem = c;
        sub.pszText = reinterpret_cast<wchar_t*>(texts[c - 1].data());
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(pos), reinterpret_cast<LPARAM>(&sub));
    }
    return pos;
}

namespace {
// Every entry adds exactly one image to each list, so that entry i keeps
// image 3 + i; a missing icon adds a copy of the blank image 0.
void AddOrBlank(HIMAGELIST list, HICON icon) {
    if (!list) return;
    if (icon && ImageList_AddIcon(list, icon) >= 0) return;
    HICON blank = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ImageList_AddIcon(list, blank);
    if (blank) DestroyIcon(blank);
}
}  // namespace

void FetchEntryIcon(const FileEntry& e, HIMAGELIST small, HIMAGELIST normal, HIMAGELIST large) {
    SHFILEINFOW sfi{};
    HICON smallIcon = nullptr, bigIcon = nullptr;
    if (SHGetFileInfoW(AsW(e.Path), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON)) smallIcon = sfi.hIcon;
    if (SHGetFileInfoW(AsW(e.Path), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_LARGEICON)) bigIcon = sfi.hIcon;
    AddOrBlank(small, smallIcon);
    AddOrBlank(normal, bigIcon);
    AddOrBlank(large, bigIcon);
    if (smallIcon) DestroyIcon(smallIcon);
    if (bigIcon) DestroyIcon(bigIcon);
}

}  // namespace vc
