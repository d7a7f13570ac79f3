// The file system, locale and shell look-ups behind an entry's details.
#include "pageview/FileDetails_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <commoncontrols.h>

#include "common/Handles_win.h"
#include "common/Shell_win.h"
#include "common/SystemLibrary_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"

namespace vc {

namespace {

uint64_t FromFileTime(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The last part of a path: what FindFirstFileExW looks for.
std::u16string_view LastPart(std::u16string_view path) {
    size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

// A pattern would find some other item; "." and ".." name a folder by a
// detour that the search itself resolves, so the found name cannot tell.
bool NamesNoSingleItem(std::u16string_view path) {
    std::u16string_view name = LastPart(path);
    return name == u"." || name == u".." || name.find_first_of(u"*?<>\"") != std::u16string_view::npos;
}

}  // namespace

// ---- Filling an entry ----

bool FillFromSearch(const std::u16string& path, bool foldersAllowed, FileEntry& entry) {
    // A path longer than Path holds would be stored cut, naming another file
    // (or none) with this one's details.
    if (path.empty() || path.size() >= kPathCapacity || NamesNoSingleItem(path)) return false;
    WIN32_FIND_DATAW found;
    if (!FindHandle(FindFirstFileExW(AsW(path), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0)))
        return false;

    std::u16string name = U16(found.cFileName);
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) || name == u"." || name == u"..") return false;
    if (folder && !foldersAllowed) return false;

    entry.Path = path;
    entry.LastWriteTime = FromFileTime(found.ftLastWriteTime);
    entry.Size = folder ? 0 : int64_t((uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
    SetOffsets(entry, folder);
    return true;
}

void FillFromFile(FileEntry& entry) {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    bool folder = GetFileAttributesExW(AsW(entry.Path), GetFileExInfoStandard, &attributes) &&
                  (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    entry.LastWriteTime = 0;
    entry.Size = 0;
    HANDLE file = CreateFileW(AsW(entry.Path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME written;
        if (GetFileTime(file, nullptr, nullptr, &written)) entry.LastWriteTime = FromFileTime(written);
        LARGE_INTEGER size;
        if (!folder && GetFileSizeEx(file, &size)) entry.Size = size.QuadPart;
        CloseHandle(file);
    }
    SetOffsets(entry, folder);
}

bool IsFolderNow(const std::u16string& path) {
    DWORD a = GetFileAttributesW(AsW(path));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- Texts ----

namespace {

SYSTEMTIME ToSystemTime(const CalendarTime& t) {
    SYSTEMTIME s;
    s.wYear = t.Year;
    s.wMonth = t.Month;
    s.wDayOfWeek = t.DayOfWeek;
    s.wDay = t.Day;
    s.wHour = t.Hour;
    s.wMinute = t.Minute;
    s.wSecond = t.Second;
    s.wMilliseconds = t.Milliseconds;
    return s;
}

std::u16string UserShortDate(const CalendarTime& t) {
    SYSTEMTIME s = ToSystemTime(t);
    wchar_t text[80];
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s, nullptr, text, int(std::size(text)))) return {};
    return U16(text);
}

std::u16string UserTimeNoSeconds(const CalendarTime& t) {
    SYSTEMTIME s = ToSystemTime(t);
    wchar_t text[60];
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &s, nullptr, text, int(std::size(text)))) return {};
    return U16(text);
}

}  // namespace

const DateTimeFormat kUserDateTime = {UserShortDate, UserTimeNoSeconds};

std::optional<CalendarTime> LocalCalendarTime(uint64_t fileTime) {
    FILETIME utc = {DWORD(fileTime), DWORD(fileTime >> 32)};
    FILETIME local;
    SYSTEMTIME s;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &s)) return std::nullopt;
    CalendarTime t;
    t.Year = s.wYear;
    t.Month = s.wMonth;
    t.DayOfWeek = s.wDayOfWeek;
    t.Day = s.wDay;
    t.Hour = s.wHour;
    t.Minute = s.wMinute;
    t.Second = s.wSecond;
    t.Milliseconds = s.wMilliseconds;
    return t;
}

std::u16string DateTextOf(uint64_t fileTime, bool withPrefix, size_t capacity) {
    return DateText(LocalCalendarTime(fileTime), withPrefix, capacity, kUserDateTime);
}

KnownFolderPaths CurrentKnownFolderPaths() {
    KnownFolderPaths paths;
    for (size_t row = 0; row < kKnownFolderCount; ++row) {
        wchar_t path[MAX_PATH] = L"";
        // Only the path's text is wanted: checking that the folder is there
        // would reach the server of a folder redirected to a share, from
        // the window's thread, at every page load.
        if (SUCCEEDED(shell::SHGetFolderPathW(nullptr, KnownFolderTable[row].Csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                              SHGFP_TYPE_CURRENT, path)))
            paths[row] = U16(path);
    }
    return paths;
}

std::u16string LocationTextOf(std::u16string_view location) {
    return LocationText(location, CurrentKnownFolderPaths());
}

std::optional<FullPath> FullPathOf(const std::u16string& path) {
    wchar_t text[260];
    wchar_t* name = nullptr;
    DWORD n = GetFullPathNameW(AsW(path), DWORD(std::size(text)), text, &name);
    if (n == 0 || n >= std::size(text)) return std::nullopt;
    FullPath full;
    full.Text.assign(AsU16(text), n);
    full.NameStart = name ? size_t(name - text) : full.Text.size();
    if (full.NameStart > full.Text.size()) full.NameStart = full.Text.size();
    return full;
}

// ---- List items ----

std::array<std::u16string, kColumnCount> ColumnTexts(const FileEntry& entry, int index,
                                                     std::u16string_view displayName,
                                                     const KnownFolderPaths& folders, FolderState folder) {
    std::optional<FullPath> full = FullPathOf(entry.Path);
    const bool pending = folder == FolderState::Pending;
    const bool isFolder = folder == FolderState::AskNow ? IsFolderNow(entry.Path) : folder == FolderState::Folder;
    return {
        std::u16string(displayName),
        pending ? std::u16string(kNoDate) : DateTextOf(entry.LastWriteTime, false, kDateColumnCapacity),
        pending ? std::u16string(kNoDate) : SizeColumnText(isFolder, entry.Size),
        full ? LocationText(ContainingFolder(full->Text), folders) : std::u16string(kNoValue),
        TypeText(entry),
        Dec(index),
    };
}

namespace {

void SetSubItems(HWND list, int position, std::array<std::u16string, kColumnCount>& texts, int first, int last) {
    for (int column = first; column <= last; ++column) {
        LVITEMW sub = {};
        sub.iSubItem = column;
        sub.pszText = reinterpret_cast<wchar_t*>(texts[size_t(column)].data());
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(position), reinterpret_cast<LPARAM>(&sub));
    }
}

}  // namespace

int UpdateItem(HWND list, int index, const FileEntry& entry, int image, std::u16string_view displayName,
               const KnownFolderPaths& folders, FolderState folder) {
    // Until the list is sorted, an entry's item is mostly at its own index:
    // looking there first saves a search through every item.
    LVITEMW at = {};
    at.mask = LVIF_PARAM;
    at.iItem = index;
    int position = index;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&at)) ||
        at.lParam != reinterpret_cast<LPARAM>(&entry)) {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(&entry);
        position = int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
    }
    if (position < 0) return -1;
    std::array<std::u16string, kColumnCount> texts = ColumnTexts(entry, index, displayName, folders, folder);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = position;
    item.pszText = reinterpret_cast<wchar_t*>(texts[0].data());
    item.iImage = image;
    item.stateMask = LVIS_CUT;
    item.state = entry.Missing ? LVIS_CUT : 0;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetSubItems(list, position, texts, 1, kColumnCount - 2);  // the index stays
    return position;
}

int CreateItem(HWND list, int index, const FileEntry& entry, int image, std::u16string_view displayName,
               const KnownFolderPaths& folders, FolderState folder) {
    if (index < 0) return -1;
    std::array<std::u16string, kColumnCount> texts = ColumnTexts(entry, index, displayName, folders, folder);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = reinterpret_cast<wchar_t*>(texts[0].data());
    item.iImage = image;
    // A target that is not there shows ghosted, as Explorer shows a cut file.
    item.stateMask = LVIS_CUT;
    item.state = entry.Missing ? LVIS_CUT : 0;
    item.lParam = reinterpret_cast<LPARAM>(&entry);
    int position = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (position < 0) return -1;
    SetSubItems(list, position, texts, 1, kColumnCount - 1);
    return position;
}

// ---- Icons ----

namespace {

// From Windows XP (WindowsVersion 510) on, icons come from the shell's
// system image lists.
constexpr uint32_t kSystemImageListsVersion = 510;
// Windows XP exports SHGetImageList by this ordinal only.
constexpr WORD kGetImageListOrdinal = 727;

using GetImageListFn = HRESULT(WINAPI*)(int, REFIID, void**);

GetImageListFn ImageListGetter() {
    static GetImageListFn fn = [] {
        HMODULE shell = GetModuleHandleW(L"shell32.dll");
        if (!shell) shell = LoadSystemLibrary(L"shell32.dll");
        FARPROC p = shell ? GetProcAddress(shell, MAKEINTRESOURCEA(kGetImageListOrdinal)) : nullptr;
        return reinterpret_cast<GetImageListFn>(reinterpret_cast<void (*)()>(p));
    }();
    return fn;
}

// The icon at `index` of the system image list of that size, or none.
IconPtr SystemListIcon(IconSize size, int index) {
    GetImageListFn getList = ImageListGetter();
    if (!getList) return IconPtr();
    int which = size == IconSize::Small ? SHIL_SMALL : size == IconSize::Normal ? SHIL_LARGE : SHIL_EXTRALARGE;
    IImageList* images = nullptr;
    if (FAILED(getList(which, __uuidof(IImageList), reinterpret_cast<void**>(&images))) || !images) return IconPtr();
    HICON icon = nullptr;
    if (FAILED(images->GetIcon(index, ILD_TRANSPARENT, &icon))) icon = nullptr;
    images->Release();
    return IconPtr(icon);
}

}  // namespace

void OpenSystemImageLists() {
    GetImageListFn getList = ImageListGetter();
    if (!getList) return;
    for (int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE}) {
        IImageList* images = nullptr;
        if (SUCCEEDED(getList(which, __uuidof(IImageList), reinterpret_cast<void**>(&images))) && images)
            images->Release();
    }
}

namespace {

// The shell's system image list index of the path's icon (its open form for
// the large size), or -1 when the shell does not know the path.
int ShellIconIndex(const FileEntry& entry, IconSize size) {
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX;
    if (size == IconSize::Large) flags |= SHGFI_OPENICON;
    return shell::SHGetFileInfoW(AsW(entry.Path), 0, &info, sizeof info, flags) ? info.iIcon : -1;
}

// Appends one icon of the entry to `images`: from the system image list at
// `shellIndex` (from Windows XP on), else the shell's own icon of the path,
// else the associated icon, else a stand-in.
bool AppendIcon(const FileEntry& entry, IconSize size, HIMAGELIST images, uint32_t windowsVersion, int shellIndex) {
    if (!images) return false;
    IconPtr icon;
    if (windowsVersion >= kSystemImageListsVersion) {
        icon = SystemListIcon(size, shellIndex < 0 ? 0 : shellIndex);
    } else {
        UINT flags = SHGFI_ICON | SHGFI_SHELLICONSIZE;
        if (size == IconSize::Small) flags |= SHGFI_SMALLICON;
        if (size == IconSize::Large) flags |= SHGFI_OPENICON;
        SHFILEINFOW info = {};
        if (shell::SHGetFileInfoW(AsW(entry.Path), 0, &info, sizeof info, flags)) icon = IconPtr(info.hIcon);
    }
    if (!icon) {
        // The call may write the icon's source file into the buffer.
        wchar_t path[kPathCapacity] = L"";
        std::u16string_view cut = CutTo(entry.Path, kPathCapacity - 1);
        std::copy(cut.begin(), cut.end(), path);
        WORD iconIndex = 0;
        icon = IconPtr(shell::ExtractAssociatedIconW(GetModuleHandleW(nullptr), path, &iconIndex));
    }
    // Every call must add exactly one image, or the lists would no longer
    // hold an entry's icons at the same position.
    if (!icon && ImageList_GetImageCount(images) > 0) icon = IconPtr(ImageList_GetIcon(images, 0, ILD_NORMAL));
    // The stock icon is shared by every program: used, never destroyed.
    HICON shown = icon ? icon.get() : LoadIconW(nullptr, IDI_APPLICATION);
    return shown && ImageList_ReplaceIcon(images, -1, shown) >= 0;
}

}  // namespace

bool FetchIcon(const FileEntry& entry, IconSize size, HIMAGELIST images, uint32_t windowsVersion) {
    if (!images) return false;
    return AppendIcon(entry, size, images, windowsVersion,
                      windowsVersion >= kSystemImageListsVersion ? ShellIconIndex(entry, size) : -1);
}

int SharedIcons::Add(const FileEntry& entry) {
    if (windowsVersion_ < kSystemImageListsVersion) return AddKnown(entry, -1, -1);
    return AddKnown(entry, ShellIconIndex(entry, IconSize::Small), ShellIconIndex(entry, IconSize::Large));
}

int SharedIcons::AddByName(const FileEntry& entry) {
    if (windowsVersion_ < kSystemImageListsVersion) return small_ ? 0 : -1;
    std::u16string_view name = std::u16string_view(entry.Path).substr(entry.NameOffset);
    std::u16string text(name.empty() ? std::u16string_view(u"file") : name);
    SHFILEINFOW small = {}, large = {};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES;
    if (!shell::SHGetFileInfoW(AsW(text), FILE_ATTRIBUTE_NORMAL, &small, sizeof small, flags) ||
        !shell::SHGetFileInfoW(AsW(text), FILE_ATTRIBUTE_NORMAL, &large, sizeof large, flags | SHGFI_OPENICON))
        return small_ ? 0 : -1;
    return AddKnown(entry, small.iIcon, large.iIcon);
}

int SharedIcons::AddKnown(const FileEntry& entry, int smallIndex, int largeIndex) {
    const int image = small_ ? ImageList_GetImageCount(small_) : -1;
    std::pair<int, int> key{-1, -1};
    if (windowsVersion_ >= kSystemImageListsVersion) {
        key = {smallIndex, largeIndex};
        if (key.first >= 0 && key.second >= 0) {
            auto found = byShellIndex_.find(key);
            if (found != byShellIndex_.end()) return found->second;
        }
    }
    AppendIcon(entry, IconSize::Large, large_, windowsVersion_, key.second);
    AppendIcon(entry, IconSize::Normal, normal_, windowsVersion_, key.first);
    AppendIcon(entry, IconSize::Small, small_, windowsVersion_, key.first);
    if (key.first >= 0 && key.second >= 0 && image >= 0) byShellIndex_.emplace(key, image);
    return image;
}

void FetchIcons(const FileEntry& entry, HIMAGELIST smallImages, HIMAGELIST normalImages, HIMAGELIST largeImages,
                uint32_t windowsVersion) {
    FetchIcon(entry, IconSize::Large, largeImages, windowsVersion);
    FetchIcon(entry, IconSize::Normal, normalImages, windowsVersion);
    FetchIcon(entry, IconSize::Small, smallImages, windowsVersion);
}

}  // namespace vc
