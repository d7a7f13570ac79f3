// The program's records: the global settings, the page records, the page
// identifiers, the built-in tables and the run-time values that many windows
// read. Field names are the settings-file key names, so that a field, its key
// and its meaning share one name. Portable: no windows.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vc {

// Capacities in UTF-16 units, terminator included (a field holds one less).
constexpr size_t kLabelCapacity = 33;      // 31 characters are ever stored or read
constexpr size_t kLabelReadCapacity = 32;  // Label is read with one unit less than the field
constexpr size_t kCommentCapacity = 101;   // 99 characters
constexpr size_t kCommentReadCapacity = 100;
constexpr size_t kFilesCapacity = 52400;   // 52399 characters
constexpr size_t kFontNameCapacity = 36;   // 35 characters
constexpr size_t kPathCapacity = 262;
constexpr int kCommentMaxLines = 5;
constexpr int kFilesMaxLines = 262;

// A damaged file could name any number of pages; the page array is allocated
// for that many records, so the number is kept within reason.
constexpr int32_t kMaxPageCount = 1000;

// ---- TabStyle bits ----
namespace TabStyleBit {
constexpr uint32_t Bottom = 0x1;
constexpr uint32_t MultiLine = 0x2;
constexpr uint32_t Animation = 0x100;
constexpr uint32_t NoTaskbar = 0x200;
constexpr uint32_t TopMost = 0x400;
constexpr uint32_t Transparent = 0x4000;
constexpr uint32_t StatusBar = 0x10000;
constexpr uint32_t MarkedPagesMenu = 0x100000;  // 1: every page is a tab, marked pages get a menu
constexpr uint32_t DriveRelativePaths = 0x200000;  // entries on the settings file's drive kept without the letter
constexpr uint32_t StartOnMainPage = 0x800000;
constexpr uint32_t StatusBarFontSizeMask = 0x0F000000;
constexpr int StatusBarFontSizeShift = 24;
}  // namespace TabStyleBit

inline int StatusBarFontSize(uint32_t tabStyle) {
    return int((tabStyle & TabStyleBit::StatusBarFontSizeMask) >> TabStyleBit::StatusBarFontSizeShift);
}

// ---- Page Flag bits ----
namespace PageFlag {
constexpr uint32_t NoChanges = 0x1;
constexpr uint32_t Unmarked = 0x2000;
constexpr uint32_t MainPage = 0x8000;
}  // namespace PageFlag

// ---- ListType ----
namespace ListTypeBit {
constexpr uint32_t ViewMask = 0xF;
constexpr uint32_t ShowExtensions = 0x100;
}  // namespace ListTypeBit
enum ListView : uint32_t { ViewTile = 0, ViewIcon = 1, ViewSmallIcon = 2, ViewDetails = 3 };
constexpr int kViewCount = 4;

// The view to use for a stored ListType; a damaged value falls back to tiles
// rather than indexing past the four views.
inline uint32_t ViewOf(uint32_t listType) {
    uint32_t v = listType & ListTypeBit::ViewMask;
    return v < kViewCount ? v : ViewTile;
}

// ---- FontStyle ----
namespace FontStyleBit {
constexpr uint32_t Bold = 0x1;
constexpr uint32_t Italic = 0x2;
constexpr uint32_t Underline = 0x4;
constexpr uint32_t StrikeOut = 0x8;
}  // namespace FontStyleBit

// The least opacity the window is given: below it the window can hardly be
// found again.
constexpr int32_t kMinLayerWindowLevel = 35;

constexpr int32_t kDefaultBackupGenerations = 5;
constexpr int32_t kMaxBackupGenerations = 99;

// Ctrl+Alt+Space: HOTKEYF_CONTROL | HOTKEYF_ALT over VK_SPACE.
constexpr uint16_t kDefaultHotKey = 0x0620;

struct GlobalRecord {
    int32_t xPosi = 230;
    int32_t yPosi = 178;
    int32_t xSize = 550;
    int32_t ySize = 350;
    // Whether the file holds the size; without it the window takes the
    // default size above, made for 96 DPI, scaled to the screen's DPI.
    bool SizeStored = true;
    uint32_t TabStyle = 0x00010100;
    int32_t TabNumber = 0;
    int32_t PageCount = 5;
    int16_t LayerWindowLevel = 192;  // kMinLayerWindowLevel..255
    std::u16string TabFontName = u"ＭＳ Ｐゴシック";
    int32_t TabFontSize = 12;
    uint32_t LabelColor1 = 0x808060;
    uint32_t LabelColor2 = 0x808060;
    uint32_t LabelColor3 = 0x808060;
    uint32_t LabelColor4 = 0x808060;
    uint32_t LabelColor5 = 0x808060;
    uint32_t SpcialFolder = 0x13;
    uint16_t SpcialRecentFileNum = 25;
    // The key that shows or hides the window from anywhere, as the hot-key
    // control gives it: virtual key in the low byte, HOTKEYF_* above; 0 = none.
    uint16_t HotKey = kDefaultHotKey;
    // The notification-area icon; on for a file that never said.
    bool NotifyIcon = true;
    // The window stays hidden at start (reached again from the icon, the
    // hotkey or a second start).
    bool StartHidden = false;
    // The window hides once an entry has been launched from it.
    bool HideAfterLaunch = false;
    // How many dated copies of the settings file are kept; 0 keeps none.
    int32_t BackupGenerations = kDefaultBackupGenerations;

    // LabelColor1..5 by number 1..5.
    uint32_t& LabelColorN(int n);
    uint32_t LabelColorN(int n) const;
};

constexpr int kColumnCount = 6;

struct PageRecord {
    std::u16string Label;    // kLabelCapacity
    std::u16string Comment;  // kCommentCapacity; lines separated by CR LF
    std::u16string Files;    // kFilesCapacity; each path followed by CR LF
    int32_t LabelColor = 0;
    uint32_t Flag = 0;
    int32_t Cursor = 0;
    uint32_t ListType = 0;
    int16_t FolderId = 0;
    int16_t CommonFolderId = 0;
    std::u16string FontName;  // kFontNameCapacity
    int32_t FontSize = 0;
    uint32_t FontStyle = 0;
    uint32_t FontColor = 0;
    uint32_t FontColorBk = 0;
    std::array<int32_t, kColumnCount> PageColumnWidth{};
    int32_t PageListSort = 0;

    bool operator==(const PageRecord&) const = default;
};

// ---- Page identifiers ----
using PageId = int32_t;
constexpr PageId kDefaultPageId = 0xFFFF;
constexpr PageId kSpecialPageBits = 0xF0000;

enum class PageKind { User, Special, Default };

inline PageKind KindOf(PageId id) {
    if (id == kDefaultPageId) return PageKind::Default;
    if (id & kSpecialPageBits) return PageKind::Special;
    return PageKind::User;
}
inline PageId SpecialPageId(int index) { return PageId(index) | kSpecialPageBits; }
inline int SpecialIndexOf(PageId id) { return int(id & ~kSpecialPageBits); }

// The settings-file section of a page: Page3, SpcialPage2, Page-Default.
std::u16string SectionNameOf(PageId id);

// ---- Built-in tables ----
constexpr int kSpecialPageCount = 8;

struct SpecialFolderEntry {
    int16_t FolderId;        // CSIDL number, -1 for none
    int16_t CommonFolderId;  // CSIDL number, -1 for none
    uint32_t Bit;            // SpcialFolder bit that shows the page
    const char16_t* Label;
    const char16_t* Comment;
};
extern const std::array<SpecialFolderEntry, kSpecialPageCount> SpecialFolderTable;

constexpr int kLabelColorCount = 19;
constexpr int kFirstCustomLabelColor = 14;
// Entry `index` of the label colour table. Entries 14..18 are the global
// LabelColor1..5 themselves, so a changed custom colour shows at once on every
// page that uses it. Out-of-range indexes (a damaged file) give entry 0.
uint32_t LabelColorTable(const GlobalRecord& g, int index);

// The template's built-in values, before [Page-Default] is read over them.
PageRecord BuiltInDefaultPage();

// ---- All records and the run-time values ----
struct Records {
    GlobalRecord GlobalSettings;
    PageRecord DefaultPage = BuiltInDefaultPage();
    std::array<PageRecord, kSpecialPageCount> SpecialPages{};
    std::vector<PageRecord> UserPages;  // empty: the array does not exist

    // Run-time values, never stored.
    std::u16string SettingsFilePath;
    std::u16string WindowName;
    uint32_t WindowsVersion = 1000;
    uint16_t CommonControlsVersion = 0;
    float DpiX = 96.0f;
    float DpiY = 96.0f;
    uint16_t ShownSpecialCount = 0;
    std::array<uint16_t, kSpecialPageCount> ShownSpecialPages{};
    int32_t CurrentPage = 0;
    // The most user pages this run has held: a section beyond them was
    // never loaded, so it is never this run's to remove.
    int32_t UserPagesHeld = 0;

    // The record a page identifier names, or nullptr when there is none.
    PageRecord* Page(PageId id);
};

// ShownSpecialCount and ShownSpecialPages from SpcialFolder: the pages of
// SpecialFolderTable whose bit is set, in table order.
void RecountShownSpecialPages(Records& r);

// Page of the selected tab: the UserPages index shown at tab position
// `tabNumber`, -1 for a special page.
int32_t PageOfTab(const Records& r, int32_t tabNumber);
// Tab of a page: the tab position of user page `page`.
int32_t TabOfPage(const Records& r, int32_t page);

}  // namespace vc
