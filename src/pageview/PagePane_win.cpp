#include "pageview/PagePane_win.h"

#include <algorithm>
#include <chrono>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/App_win.h"
#include "common/CommonDialogs_win.h"
#include "common/MessageBox_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pageview/FilesText.h"
#include "pageview/FileDetails_win.h"
#include "pageview/PaneState.h"
#include "pageview/ShellWarmup_win.h"
#include "pageview/Sort.h"
#include "pageview/FolderContents_win.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/TabTexts.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

namespace {

constexpr int kColumns = 6;
constexpr int kIndexColumn = 5;
constexpr int kFixedImages = 3;
constexpr LPARAM kAllocateFirst = 1;
constexpr int kRecentFolder = 8;            // CSIDL_RECENT
constexpr int kStartupFolder = 7;           // CSIDL_STARTUP
constexpr size_t kRecentKept = 200;  // recent files retained, the newest of the whole folder

// Which widths the columns carry: as inserted, those of the views other than
// details (fixed), or the details widths (the page's, or the user's since).
enum class ColumnWidths { Initial, Other, Details };

// Everything the one living pane holds besides the entries themselves.
// What a list shows apart from its items: while it only grows at its end,
// a repaint need not redraw what is on screen already.
struct ListLook {
    int items = 0;
    RECT client{};
    int scrollX = 0, scrollY = 0;
    int focused = -1, selected = -1, hot = -1;
    bool operator==(const ListLook& o) const {
        return EqualRect(&client, &o.client) && scrollX == o.scrollX && scrollY == o.scrollY &&
               focused == o.focused && selected == o.selected && hot == o.hot;
    }
};

struct PaneWindow {
    HWND hwnd = nullptr;
    HWND list = nullptr;
    HWND notice = nullptr;
    PageRecord* page = nullptr;
    PageId pageId = 0;
    bool userPage = true;
    HIMAGELIST SmallImages = nullptr;
    SharedIcons icons;  // which image of the lists shows which entry's icon
    HIMAGELIST NormalImages = nullptr;
    HIMAGELIST LargeImages = nullptr;
    HFONT PaneFont = nullptr;
    HBRUSH PaneBrush = nullptr;
    uint8_t PreviousView = 1;
    int32_t LoadStep = 0;
    std::u16string FilesWorkText;
    size_t cutPos = 0;
    std::u16string unloadedTail;  // entries past the list's limit, kept as text
    HANDLE scan = INVALID_HANDLE_VALUE;  // the folder enumeration in progress
    std::vector<FileEntry> RecentScratch;  // the newest recent files so far, newest first
    KnownFolderPaths folders;     // looked up once per load for the location column
    std::u16string ScanFolderPath;
    uint16_t chain = 0;
    int32_t foldersChain = -1;     // the chain `folders` were looked up for
    bool waitingForShell = false;  // ShowNextEntry `shellWaitIndex` of `shellWaitChain` waits for the shell's icons
    uint16_t shellWaitChain = 0;
    int32_t shellWaitIndex = 0;
    int32_t listed = 0;          // slots below this have had their turn to be listed
    bool repaintsHeld = false;   // the list is filling with its repaints held
    bool repaintPosted = false;  // kRepaintMessage is on its way
    bool paintPosted = false;    // kPaintMessage is on its way
    ListLook painted;            // what the filling list looked like at its last paint
    std::chrono::steady_clock::time_point loadStart, nextRepaint;  // of the list while it fills
    std::chrono::steady_clock::duration repaintTime{};             // spent on them so far
    bool entriesLoaded = false;  // EntryTable holds this pane's page
    bool loaded = false;         // loading has ended
    uint32_t shownView = ViewIcon;  // the view on the list: it starts in icon style
    ColumnWidths columns = ColumnWidths::Initial;
};
PaneWindow g_pane;

constexpr UINT kShellReadyMessage = WM_APP + 1;
constexpr UINT kRepaintMessage = WM_APP + 2;  // a repaint of the filling list, a step of its own
constexpr UINT kPaintMessage = WM_APP + 3;    // and its paint, the next step

uint32_t CurrentView() { return g_pane.page ? ViewOf(g_pane.page->ListType) : ViewIcon; }

void Post(int command, LPARAM lp = 0) {
    PostMessageW(g_pane.hwnd, WM_COMMAND, MAKEWPARAM(command, g_pane.chain), lp);
}

void SetStatus(int part, const std::u16string& text) {
    if (HWND status = TheApp().TabWindow ? GetDlgItem(TheApp().TabWindow, IDC_STATUSBAR) : nullptr)
        SendMessageW(status, SB_SETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(AsW(text)));
}

void WriteFileCount() {
    const PaneState& p = ThePane();
    SetStatus(0, CutTo(FileCountText(CountRegistered(p.EntryTable, p.EntryCount)), 63).data());
}

void ChoosePage(App& app) {
    Records& r = app.rec;
    int32_t tab = r.GlobalSettings.TabNumber;
    if (tab < r.ShownSpecialCount) {
        int index = r.ShownSpecialPages[size_t(tab)];
        g_pane.page = &r.SpecialPages[size_t(index)];
        g_pane.pageId = SpecialPageId(index);
        g_pane.userPage = false;
        return;
    }
    if (r.CurrentPage < 0) r.CurrentPage = 0;
    if (size_t(r.CurrentPage) >= r.UserPages.size()) r.CurrentPage = 0;
    g_pane.page = r.UserPages.empty() ? nullptr : &r.UserPages[size_t(r.CurrentPage)];
    g_pane.pageId = r.CurrentPage;
    g_pane.userPage = true;
}

void ApplyFontAndColoursNow(App& app) {
    PageRecord* page = g_pane.page;
    if (!page) return;
    HFONT font = FontFromWindowFont(g_pane.hwnd, page->FontSize, (page->FontStyle & FontStyleBit::Bold) ? 700 : 400,
                                    (page->FontStyle & FontStyleBit::Italic) ? 1 : 0, 0, 0, page->FontName);
    if (font == reinterpret_cast<HFONT>(SendMessageW(g_pane.hwnd, WM_GETFONT, 0, 0))) font = nullptr;
    if (font) {
        SendMessageW(g_pane.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(g_pane.notice, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (g_pane.PaneFont) DeleteObject(g_pane.PaneFont);
        g_pane.PaneFont = font;
    }
    if (g_pane.PaneBrush) DeleteObject(g_pane.PaneBrush);
    g_pane.PaneBrush = CreateSolidBrush(page->FontColorBk);
    SendMessageW(g_pane.list, LVM_SETBKCOLOR, 0, page->FontColorBk);
    SendMessageW(g_pane.list, LVM_SETTEXTCOLOR, 0, page->FontColor);
    SendMessageW(g_pane.list, LVM_SETTEXTBKCOLOR, 0, page->FontColorBk);
    (void)app;
    InvalidateRect(g_pane.list, nullptr, TRUE);
}

// Makes the header draw the columns' sort arrows. The list gives its header
// HDF_IMAGE for LVCFMT_IMAGE on Windows, but not every list-view
// implementation does, and each column change rebuilds the header's format.
void ShowHeaderImages() {
    HWND header = reinterpret_cast<HWND>(SendMessageW(g_pane.list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    for (int c = 0; c < kIndexColumn; ++c) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, WPARAM(c), reinterpret_cast<LPARAM>(&item))) continue;
        if (item.fmt & HDF_IMAGE) continue;
        item.fmt |= HDF_IMAGE;
        SendMessageW(header, HDM_SETITEMW, WPARAM(c), reinterpret_cast<LPARAM>(&item));
    }
}

void InsertColumns() {
    static const wchar_t* const kHeaders[kColumns] = {L"名前", L"更新日", L"サイズ", L"場所", L"種類", L""};
    for (int c = 0; c < kColumns; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        col.cx = c == kIndexColumn ? 0 : 100;
        col.pszText = const_cast<wchar_t*>(kHeaders[c]);
        col.iSubItem = c;
        if (c < kIndexColumn) {
            col.mask |= LVCF_IMAGE;
            col.iImage = SortArrowImage(c, g_pane.page ? g_pane.page->PageListSort : 0);
            col.fmt = (c == 1 || c == 2) ? (LVCFMT_RIGHT | LVCFMT_IMAGE)
                                         : (LVCFMT_LEFT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
        }
        SendMessageW(g_pane.list, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    int order[kColumns] = {kIndexColumn, 0, 1, 2, 3, 4};
    SendMessageW(g_pane.list, LVM_SETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order));
    ShowHeaderImages();
}

HIMAGELIST NewImageList(int size, UINT colour) {
    return ImageList_Create(size, size, colour | ILC_MASK, 0, 16);
}

void AddFixed(HIMAGELIST list, int id, int size) {
    if (!list) return;
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageW(TheApp().instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, size, size, LR_DEFAULTCOLOR));
    ImageList_AddMasked(list, b, RGB(255, 255, 255));
    if (b) DeleteObject(b);
}

void DestroyImageListsNow() {
    SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    for (HIMAGELIST* l : {&g_pane.SmallImages, &g_pane.NormalImages, &g_pane.LargeImages}) {
        if (*l) ImageList_Destroy(*l);
        *l = nullptr;
    }
    g_pane.icons.Reset(nullptr, nullptr, nullptr, 0);
}

void SetHeaderFormats(bool details) {
    for (int c = 0; c < kIndexColumn; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT;
        if (!SendMessageW(g_pane.list, LVM_GETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col))) continue;
        col.fmt &= ~(LVCFMT_JUSTIFYMASK | LVCFMT_BITMAP_ON_RIGHT | LVCFMT_FIXED_WIDTH);
        if (details && (c == 1 || c == 2)) col.fmt |= LVCFMT_RIGHT;
        else col.fmt |= LVCFMT_LEFT | LVCFMT_BITMAP_ON_RIGHT;
        if (!details) col.fmt |= LVCFMT_FIXED_WIDTH;
        SendMessageW(g_pane.list, LVM_SETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    ShowHeaderImages();
}

// The details widths on the list are the user's to keep: the page's, or
// what the user dragged them to since.
bool UserWidthsShown() { return g_pane.shownView == ViewDetails && g_pane.columns == ColumnWidths::Details; }

void StoreColumnWidths() {
    if (!g_pane.page || !UserWidthsShown()) return;
    for (int c = 0; c < kColumns; ++c)
        g_pane.page->PageColumnWidth[size_t(c)] = int32_t(SendMessageW(g_pane.list, LVM_GETCOLUMNWIDTH, WPARAM(c), 0));
}

void SetColumnWidths(App& app, bool details) {
    if (app.rec.WindowsVersion >= 600) SetHeaderFormats(true);
    SendMessageW(g_pane.list, LVM_SETCOLUMNWIDTH, kIndexColumn, 0);
    for (int c = 0; c < kIndexColumn; ++c) {
        int w = details && g_pane.page ? (g_pane.page->PageColumnWidth[size_t(c)] & 0xFFFF) : 100;
        SendMessageW(g_pane.list, LVM_SETCOLUMNWIDTH, WPARAM(c), MAKELPARAM(w, 0));
    }
    if (app.rec.WindowsVersion >= 600) SetHeaderFormats(details);
    g_pane.columns = details ? ColumnWidths::Details : ColumnWidths::Other;
}

// The view is taken from what the list shows, not from the view command
// that came last: the page settings dialog changes the view without one.
void ApplyViewNow(App& app) {
    const uint32_t view = CurrentView();
    // The page settings dialog hands back a copy of the page taken before
    // the user dragged the widths: they go into the page before anything
    // replaces them.
    StoreColumnWidths();
    // Leaving the details view, the columns take their other widths before
    // the view changes.
    if (view != ViewDetails && UserWidthsShown()) SetColumnWidths(app, false);
    if (app.rec.WindowsVersion >= 510) {
        static const DWORD kViews[kViewCount] = {LV_VIEW_TILE, LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_DETAILS};
        SendMessageW(g_pane.list, LVM_SETVIEW, kViews[view], 0);
    } else {
        static const LONG_PTR kStyles[kViewCount] = {LVS_ICON, LVS_ICON, LVS_LIST, LVS_REPORT};
        LONG_PTR st = GetWindowLongPtrW(g_pane.list, GWL_STYLE);
        SetWindowLongPtrW(g_pane.list, GWL_STYLE, (st & ~LONG_PTR(LVS_TYPEMASK)) | kStyles[view]);
    }
    g_pane.shownView = view;
    if (view == ViewTile && g_pane.LargeImages)
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_pane.LargeImages));
    else if (view == ViewIcon)
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_pane.NormalImages));
    else
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_pane.SmallImages));
    for (HIMAGELIST l : {g_pane.SmallImages, g_pane.NormalImages, g_pane.LargeImages})
        if (l) ImageList_SetBkColor(l, CLR_NONE);
    if (g_pane.columns != (view == ViewDetails ? ColumnWidths::Details : ColumnWidths::Other)) Post(ApplyColumnWidths);
}

void ApplyColumnWidthsNow(App& app) {
    const bool details = CurrentView() == ViewDetails;
    // Widths already set for this view (a new pane sets them itself).
    if (g_pane.columns == (details ? ColumnWidths::Details : ColumnWidths::Other) && g_pane.PreviousView != ViewDetails)
        return;
    SetColumnWidths(app, details);
    // Leaving the details view from the menu: the view follows the widths,
    // once; the next view change starts afresh.
    if (g_pane.PreviousView == ViewDetails) {
        g_pane.PreviousView = uint8_t(CurrentView());
        Post(ApplyView);
    }
}

// The page's Files text from the entries, within the field's capacity.
std::u16string PageFilesText() {
    const PaneState& p = ThePane();
    std::u16string text = RebuildFiles(p.EntryTable, p.EntryCount) + g_pane.unloadedTail;
    if (text.size() > kFilesCapacity - 1) {
        size_t cut = text.rfind(u"\r\n", kFilesCapacity - 3);
        text.resize(cut == std::u16string::npos ? 0 : cut + 2);
    }
    return text;
}

void AllocateEntriesNow(App& app) {
    PaneState& p = ThePane();
    // Registrations made since this pane loaded must survive a refresh.
    if (g_pane.userPage && g_pane.loaded && g_pane.page) g_pane.page->Files = PageFilesText();
    int capacity = kMaxUserEntries;
    if (!g_pane.userPage && g_pane.page) {
        int n = CountFolderContents(*g_pane.page, CountMode::All);
        if (n > 0) capacity = n;
    }
    p.EntryTable.clear();
    try {
        p.EntryTable.assign(size_t(capacity), FileEntry{});
        p.EntryCapacity = capacity;
    } catch (const std::bad_alloc&) {
        // An empty page rather than a crash.
        p.EntryCapacity = 0;
    }
    p.EntryCount = 0;
    g_pane.RecentScratch.clear();
    if (!g_pane.userPage && g_pane.page && g_pane.page->FolderId == kRecentFolder)
        g_pane.RecentScratch.reserve(kRecentKept + 1);
    g_pane.entriesLoaded = true;
    g_pane.loaded = false;
    g_pane.unloadedTail.clear();
    // Steps still queued from an earlier chain must not touch the new table.
    ++g_pane.chain;
    (void)app;
}

// A list repaints itself at every insertion, which under some list-view
// implementations costs far more than the insertion itself; hiding it until
// the end would leave the user staring at the notice. So the repaints of a
// filling list are gathered: it shows its items kRepaintGap after loading
// starts, and then as often as repainting takes no more than a fifth of the
// loading time (never twice within kRepaintGap): often while there is little
// to see, less often as a large list grows.
constexpr std::chrono::milliseconds kRepaintGap{30};
constexpr int kLoadingPerRepaint = 5;

void HoldRepaints() {
    // The one step between a release and its paint inserts with repaints on.
    if (g_pane.repaintsHeld || g_pane.paintPosted) return;
    SendMessageW(g_pane.list, WM_SETREDRAW, FALSE, 0);
    g_pane.repaintsHeld = true;
}

// Lets the list repaint. Turning repaints on costs the list a layout of all
// its items and the paint costs as much again, so while loading the paint is
// a message of its own (kPaintMessage): a WM_PAINT would wait behind the
// posted loading steps until the end. Once loading is over, WM_PAINT comes.
void ReleaseRepaints(bool paintSoon) {
    if (!g_pane.repaintsHeld) return;
    g_pane.repaintsHeld = false;
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(g_pane.list, WM_SETREDRAW, TRUE, 0);
    if (!paintSoon) {
        RedrawWindow(g_pane.list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        g_pane.painted = ListLook{};
    }
    g_pane.repaintTime += std::chrono::steady_clock::now() - start;
    if (paintSoon) g_pane.paintPosted = PostMessageW(g_pane.hwnd, kPaintMessage, 0, 0);
}

ListLook LookOf(HWND list) {
    ListLook l;
    l.items = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    GetClientRect(list, &l.client);
    l.scrollX = GetScrollPos(list, SB_HORZ);
    l.scrollY = GetScrollPos(list, SB_VERT);
    l.focused = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    l.selected = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    l.hot = int(SendMessageW(list, LVM_GETHOTITEM, 0, 0));
    return l;
}

// Marks for painting the items added since the last paint and the frame
// (the scroll bars follow the count), when nothing else on the list has
// changed; everything otherwise. Drawing only the new items costs a third
// of a whole list.
void InvalidateWhatChanged(const ListLook& now) {
    const ListLook& before = g_pane.painted;
    if (!(now == before) || before.items == 0 || now.items < before.items) {
        RedrawWindow(g_pane.list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    ValidateRect(g_pane.list, nullptr);
    RECT added{};
    for (int i = before.items; i < now.items; ++i) {
        RECT r{LVIR_BOUNDS};
        if (SendMessageW(g_pane.list, LVM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) UnionRect(&added, &added, &r);
    }
    if (IntersectRect(&added, &added, &now.client)) InvalidateRect(g_pane.list, &added, TRUE);
    // The frame alone: the window's rectangle less its client area.
    RECT window;
    GetWindowRect(g_pane.list, &window);
    MapWindowPoints(nullptr, g_pane.list, reinterpret_cast<POINT*>(&window), 2);
    HRGN frame = CreateRectRgnIndirect(&window);
    HRGN inside = CreateRectRgnIndirect(&now.client);
    if (frame && inside && CombineRgn(frame, frame, inside, RGN_DIFF) != ERROR)
        RedrawWindow(g_pane.list, nullptr, frame, RDW_INVALIDATE | RDW_FRAME);
    if (inside) DeleteObject(inside);
    if (frame) DeleteObject(frame);
}

void PaintNow() {
    g_pane.paintPosted = false;
    const auto start = std::chrono::steady_clock::now();
    const ListLook now = LookOf(g_pane.list);
    InvalidateWhatChanged(now);
    g_pane.painted = now;
    UpdateWindow(g_pane.list);
    if (IsWindowVisible(g_pane.notice)) UpdateWindow(g_pane.notice);
    const auto end = std::chrono::steady_clock::now();
    g_pane.repaintTime += end - start;
    g_pane.nextRepaint = std::max(end + kRepaintGap, g_pane.loadStart + g_pane.repaintTime * kLoadingPerRepaint);
}

void ShowNotice(bool show) {
    ShowWindow(g_pane.notice, show ? SW_SHOW : SW_HIDE);
    if (show) UpdateWindow(g_pane.notice);
}

void StartLoadingNow() {
    // Drops are taken from here on; the shell library they need is loaded
    // after the window is on screen.
    shell::DragAcceptFiles(g_pane.hwnd, TRUE);
    ShowNotice(true);
    g_pane.LoadStep = 0;
    g_pane.listed = 0;
    g_pane.loadStart = std::chrono::steady_clock::now();
    g_pane.nextRepaint = g_pane.loadStart + kRepaintGap;
    g_pane.repaintTime = {};
    g_pane.painted = ListLook{};
    if (!g_pane.page) return;
    if (g_pane.userPage) {
        g_pane.FilesWorkText = g_pane.page->Files;
        g_pane.cutPos = 0;
        Post(ParseNextEntry, 0);
        return;
    }
    g_pane.ScanFolderPath = SpecialFolderPath(g_pane.page->FolderId);
    // No folder (the computer page, or a folder the shell cannot name): the
    // page stays on its loading notice.
    if (g_pane.ScanFolderPath.empty()) return;
    Post(g_pane.page->FolderId == kRecentFolder ? ScanRecentStep : ScanFolderStep, 0);
}

void CloseScan() {
    if (g_pane.scan != INVALID_HANDLE_VALUE) FindClose(g_pane.scan);
    g_pane.scan = INVALID_HANDLE_VALUE;
}

// One directory entry of ScanFolderPath: step 0 opens the enumeration.
// Returns false at the end; `filled` says whether `entry` holds something
// the page lists (not hidden, not "." or "..", a path that fits).
bool ScanStep(int32_t r, FileEntry& entry, bool& filled) {
    filled = false;
    WIN32_FIND_DATAW fd;
    if (r == 0) {
        CloseScan();
        std::u16string pattern = g_pane.ScanFolderPath + u"\\*.*";
        if (pattern.size() > 261) return false;
        g_pane.scan = FindFirstFileW(AsW(pattern), &fd);
        if (g_pane.scan == INVALID_HANDLE_VALUE) return false;
    } else if (g_pane.scan == INVALID_HANDLE_VALUE || !FindNextFileW(g_pane.scan, &fd)) {
        CloseScan();
        return false;
    }
    std::u16string name = U16(fd.cFileName);
    if (name == u"." || name == u".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) return true;
    std::u16string path = g_pane.ScanFolderPath + u"\\" + name;
    if (path.size() > 261) return true;  // a path the entry cannot hold is left out
    const bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    entry = FileEntry{};
    entry.Path = path;
    entry.LastWriteTime = (uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
    entry.Size = folder ? 0 : int64_t((uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    SetOffsets(entry, folder);
    filled = true;
    return true;
}

// Folder pages other than the recent-files and start-up pages list each
// directory entry as it is read (their gathering keeps every entry and
// changes none), so that the first items show long before a large folder is
// read to its end; the time order of the others is only the order among
// equal sort keys, which the sort at the end keeps.
bool ListsAsScanned() {
    return !g_pane.userPage && g_pane.page && g_pane.page->FolderId != kRecentFolder &&
           g_pane.page->FolderId != kStartupFolder;
}

bool FoldersLookedUp() { return g_pane.foldersChain == g_pane.chain; }

// The well-known folders of the location column, once per chain.
void LookUpFolders() {
    g_pane.folders = CurrentKnownFolderPaths();
    g_pane.foldersChain = g_pane.chain;
}

// Creates the list item of slot i with its icons, among the gathered
// repaints of a filling list.
void ListSlot(int32_t i) {
    const FileEntry& e = ThePane().EntryTable[size_t(i)];
    std::optional<FullPath> full = e.Path.empty() ? std::nullopt : FullPathOf(e.Path);
    if (!full || full->NameStart >= full->Text.size()) return;
    HoldRepaints();
    CreateItem(g_pane.list, i, e, g_pane.icons.Add(e), DisplayName(full->Name(), *g_pane.page, e.TypeOffset < 0),
               g_pane.folders);
    if (!g_pane.repaintPosted && std::chrono::steady_clock::now() >= g_pane.nextRepaint)
        g_pane.repaintPosted = PostMessageW(g_pane.hwnd, kRepaintMessage, 0, 0);
}

void ItemsListed() {
    for (HIMAGELIST l : {g_pane.SmallImages, g_pane.NormalImages, g_pane.LargeImages})
        if (l) ImageList_SetBkColor(l, CLR_NONE);
    Post(FinishLoading);
}

void EndLoading() {
    // The notice goes while the list is still held: one paint shows both.
    ShowNotice(false);
    ReleaseRepaints(false);
    g_pane.loaded = true;
}

// One slot read earlier gets its item, once the folders are looked up (a
// step of their own) and the shell is ready to give icons.
void ListPendingSlot() {
    if (g_pane.listed >= g_pane.LoadStep) return;
    if (!FoldersLookedUp()) {
        LookUpFolders();
        return;
    }
    if (ShellWarmedUp()) ListSlot(g_pane.listed++);
}

void FinishGathering() {
    if (g_pane.page && g_pane.page->FolderId == kStartupFolder) {
        g_pane.LoadStep = 0;
        Post(ResolveShortcutStep, 0);
        return;
    }
    if (ListsAsScanned()) {
        // The slots still waiting for their items, if any.
        if (g_pane.listed > 0 && g_pane.listed >= ThePane().EntryCount) ItemsListed();
        else Post(ShowNextEntry, g_pane.listed);
        return;
    }
    Post(SortByTime);
}

void ScanFolderStepNow(int32_t r, bool common) {
    PaneState& p = ThePane();
    FileEntry entry;
    bool filled = false;
    bool more = ScanStep(r, entry, filled);
    if (filled && g_pane.LoadStep < p.EntryCapacity) p.EntryTable[size_t(g_pane.LoadStep++)] = entry;
    if (ListsAsScanned()) {
        // The items shown so far lead to their entries (status, menu, launch).
        p.EntryCount = g_pane.LoadStep;
        ListPendingSlot();
    }
    if (more && g_pane.LoadStep < p.EntryCapacity) {
        Post(common ? ScanCommonFolderStep : ScanFolderStep, r + 1);
        return;
    }
    CloseScan();
    p.EntryCount = g_pane.LoadStep;
    if (!common && g_pane.page) {
        g_pane.ScanFolderPath = SpecialFolderPath(g_pane.page->CommonFolderId);
        if (!g_pane.ScanFolderPath.empty() && g_pane.LoadStep < p.EntryCapacity) {
            Post(ScanCommonFolderStep, 0);
            return;
        }
    }
    FinishGathering();
}

// Every shortcut of the recent folder is looked at, one per step, and only
// the newest are kept: the folder is not read in time order (on NTFS it is
// name order), so stopping after some number of entries would lose new ones.
void ScanRecentStepNow(int32_t r) {
    PaneState& p = ThePane();
    FileEntry entry;
    bool filled = false;
    bool more = ScanStep(r, entry, filled);
    if (filled) KeepNewest(g_pane.RecentScratch, std::move(entry), kRecentKept);
    if (more) {
        Post(ScanRecentStep, r + 1);
        return;
    }
    CloseScan();
    int kept = std::min<int>(int(g_pane.RecentScratch.size()), p.EntryCapacity);
    for (int i = 0; i < kept; ++i) p.EntryTable[size_t(i)] = g_pane.RecentScratch[size_t(i)];
    g_pane.LoadStep = 0;
    p.EntryCount = std::min<int32_t>(kept, int32_t(TheApp().rec.GlobalSettings.SpcialRecentFileNum));
    g_pane.RecentScratch.clear();
    if (p.EntryCount == 0) {
        Post(SortByTime);
        return;
    }
    Post(ResolveShortcutStep, 0);
}

// The target of a shortcut file, or empty when it is none (or cannot be
// resolved).
std::u16string ShortcutTarget(const std::u16string& path) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return {};
    std::u16string target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t buf[260] = {};
        WIN32_FIND_DATAW fd{};
        if (SUCCEEDED(file->Load(AsW(path), STGM_READ)) &&
            SUCCEEDED(link->Resolve(TheApp().HostWindow, 0x17B)) &&
            link->GetPath(buf, int(std::size(buf)), &fd, 0) == S_OK)
            target = U16(buf);
        file->Release();
    }
    link->Release();
    return target;
}

void ResolveShortcutStepNow(int32_t r) {
    PaneState& p = ThePane();
    if (r < p.EntryCount && !p.EntryTable[size_t(r)].Path.empty()) {
        std::u16string target = ShortcutTarget(p.EntryTable[size_t(r)].Path);
        const bool foldersAllowed = g_pane.page && g_pane.page->FolderId == kStartupFolder;
        FileEntry resolved;
        if (!target.empty() && FillFromSearch(target, foldersAllowed, resolved)) p.EntryTable[size_t(r)] = resolved;
    }
    g_pane.LoadStep += 1;
    if (g_pane.LoadStep < p.EntryCount) {
        Post(ResolveShortcutStep, r + 1);
        return;
    }
    p.EntryCount = g_pane.LoadStep;
    Post(SortByTime);
}

void SortByTimeNow() {
    PaneState& p = ThePane();
    SortNewestFirst(p.EntryTable, p.EntryCount);
    Post(ShowNextEntry, 0);
}

void FillSlot(FileEntry& slot, std::u16string_view text) {
    slot = FileEntry{};
    if (!FillFromSearch(std::u16string(text), true, slot)) {
        slot.Path = std::u16string(CutTo(text, 261));
        FillFromFile(slot);
    }
}

void ParseNextEntryNow(int32_t r) {
    PaneState& p = ThePane();
    std::u16string_view entry;
    if (r >= kMaxUserEntries || r >= p.EntryCapacity) {
        // A hand-edited page may hold more entries than the list shows; they
        // stay in the page's text rather than vanish when it is written.
        if (g_pane.cutPos < g_pane.FilesWorkText.size()) g_pane.unloadedTail = g_pane.FilesWorkText.substr(g_pane.cutPos);
        p.EntryCount = std::min<int32_t>(r, p.EntryCapacity);
        Post(ShowNextEntry, 0);
        return;
    }
    if (!CutNextEntry(g_pane.FilesWorkText, g_pane.cutPos, entry) &&
        !CutLastEntry(g_pane.FilesWorkText, g_pane.cutPos, entry)) {
        p.EntryCount = std::min<int32_t>(r, p.EntryCapacity);
        Post(ShowNextEntry, 0);
        return;
    }
    FillSlot(p.EntryTable[size_t(r)], entry);
    Post(ParseNextEntry, r + 1);
}

void ShowNextEntryNow(int32_t i) {
    PaneState& p = ThePane();
    if (i >= p.EntryCount) {
        EndLoading();
        return;
    }
    if (!FoldersLookedUp()) {
        // The folders come in a step of their own, before the first item.
        LookUpFolders();
        Post(ShowNextEntry, i);
        return;
    }
    if (!ShellWarmedUp()) {
        // The first icon would block until the shell has built its image
        // lists; the pane goes on answering until the warm-up says so.
        StartShellWarmup();
        g_pane.waitingForShell = true;
        g_pane.shellWaitChain = g_pane.chain;
        g_pane.shellWaitIndex = i;
        PostWhenShellWarmedUp(g_pane.hwnd, kShellReadyMessage);
        return;
    }
    ListSlot(i);
    g_pane.listed = i + 1;
    if (i + 1 < p.EntryCount) {
        Post(ShowNextEntry, i + 1);
        return;
    }
    ItemsListed();
}

// Sorts the items by the page's order; each item's data is its entry. With
// `newestAmongEqual`, items of equal keys go newest first, the order a
// special page was gathered in.
struct ItemOrder {
    int key;
    bool newestAmongEqual;
};

void SortItems(bool newestAmongEqual = false) {
    if (!g_pane.page) return;
    ItemOrder order{g_pane.page->PageListSort, newestAmongEqual};
    SendMessageW(g_pane.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
                 reinterpret_cast<LPARAM>(+[](LPARAM a, LPARAM b, LPARAM o) -> int {
                     auto* x = reinterpret_cast<const FileEntry*>(a);
                     auto* y = reinterpret_cast<const FileEntry*>(b);
                     const auto* order = reinterpret_cast<const ItemOrder*>(o);
                     int r = CompareEntries(x, y, order->key);
                     if (r != 0 || !order->newestAmongEqual || !x || !y) return r;
                     const int64_t tx = int64_t(x->LastWriteTime), ty = int64_t(y->LastWriteTime);
                     return tx > ty ? -1 : tx < ty ? 1 : 0;
                 }));
    SendMessageW(g_pane.list, LVM_SETSELECTEDCOLUMN, WPARAM(SortColumn(g_pane.page->PageListSort)), 0);
}

void SetSortArrows() {
    for (int c = 0; c < kIndexColumn; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_IMAGE;
        col.iImage = SortArrowImage(c, g_pane.page ? g_pane.page->PageListSort : 0);
        SendMessageW(g_pane.list, LVM_SETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    ShowHeaderImages();
}

void OnColumnClick(int column) {
    if (!g_pane.page || column < 0 || column >= kIndexColumn) return;
    g_pane.page->PageListSort = NextSortKey(g_pane.page->PageListSort, column);
    SortItems();
    SetSortArrows();
}

// The sort and the selection go in while repaints are still held, so that
// the list lays out and paints once.
void FinishLoadingNow() {
    if (!g_pane.page) {
        EndLoading();
        return;
    }
    HoldRepaints();
    SortItems(ListsAsScanned());
    int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    int cursor = g_pane.page->Cursor;
    if (cursor >= 0 && cursor < count) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(g_pane.list, LVM_SETITEMSTATE, WPARAM(cursor), reinterpret_cast<LPARAM>(&state));
        SendMessageW(g_pane.list, LVM_ENSUREVISIBLE, WPARAM(cursor), TRUE);
    }
    EndLoading();
    SetFocus(g_pane.list);
    WriteFileCount();
}

int EntryIndexOfItem(int item) {
    wchar_t text[16] = {};
    LVITEMW sub{};
    sub.iSubItem = kIndexColumn;
    sub.pszText = text;
    sub.cchTextMax = 16;
    SendMessageW(g_pane.list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
    return ParseEntryIndex(AsU16(text));
}

// The entry an item shows, or nullptr.
const FileEntry* EntryOfItem(int item) {
    const PaneState& p = ThePane();
    int e = item < 0 ? -1 : EntryIndexOfItem(item);
    if (e < 0 || e >= p.EntryCount || size_t(e) >= p.EntryTable.size()) return nullptr;
    const FileEntry& entry = p.EntryTable[size_t(e)];
    return entry.Path.empty() ? nullptr : &entry;
}

// Opens an entry with the shell, in its own folder; the quoted path keeps
// blanks in it working.
void Launch(int item) {
    const FileEntry* e = EntryOfItem(item);
    if (!e) return;
    std::u16string file = u"\"" + e->Path + u"\"";
    std::optional<FullPath> full = FullPathOf(e->Path);
    std::u16string folder = full ? WorkingFolderOf(full->Text, full->NameStart) : std::u16string();
    shell::ShellExecuteW(nullptr, nullptr, AsW(file), nullptr, folder.empty() ? nullptr : AsW(folder), SW_SHOWNORMAL);
}

// Lists slot `slot` (filled already) as the newest entry: its item goes last,
// its icons at the end of the image lists. False when the path has no
// file-name part (a drive root): then the slot is not counted.
bool ListNewEntry(int slot) {
    PaneState& p = ThePane();
    const FileEntry& e = p.EntryTable[size_t(slot)];
    std::optional<FullPath> full = FullPathOf(e.Path);
    if (!full || full->NameStart >= full->Text.size()) return false;
    std::u16string name = DisplayName(full->Name(), *g_pane.page, e.TypeOffset < 0);
    if (g_pane.folders[0].empty()) g_pane.folders = CurrentKnownFolderPaths();
    CreateItem(g_pane.list, slot, e, g_pane.icons.Add(e), name, g_pane.folders);
    p.EntryCount = slot + 1;
    WriteFileCount();
    return true;
}

// Registers the first dropped item; a dropped settings file opens in a new
// instance instead.
void OnDropFiles(HDROP drop) {
    wchar_t name[261] = {};
    UINT n = shell::DragQueryFileW(drop, 0, name, UINT(std::size(name)));
    shell::DragFinish(drop);
    if (n == 0) return;
    std::u16string dropped = U16(name);
    // A folder is registered whatever its name says.
    DWORD attributes = GetFileAttributesW(name);
    bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (IsSettingsFileName(dropped) && !isFolder) {
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::u16string folder = ExecutableFolder();
        shell::ShellExecuteW(nullptr, nullptr, exe, AsW(dropped), AsW(folder), SW_SHOWNORMAL);
        return;
    }
    PaneState& p = ThePane();
    // Refused without a word: special pages, locked pages, full pages, and
    // pages still loading (their slots are not final yet).
    if (!g_pane.userPage || !g_pane.page || !g_pane.loaded) return;
    if (p.EntryCount >= kMaxUserEntries || p.EntryCount >= p.EntryCapacity) return;
    if (g_pane.page->Flag & PageFlag::NoChanges) return;
    FillSlot(p.EntryTable[size_t(p.EntryCount)], dropped);
    ListNewEntry(p.EntryCount);
}

void AddRegistration(App& app) {
    PaneState& p = ThePane();
    if (!g_pane.page || !g_pane.loaded || p.EntryCount >= p.EntryCapacity) return;
    std::u16string title = AddDialogTitle(app.rec.WindowName, g_pane.page->Label);
    wchar_t file[260] = {}, fileTitle[260] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_pane.hwnd;
    ofn.lpstrFilter = L"ファイル\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = DWORD(std::size(file));
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = DWORD(std::size(fileTitle));
    ofn.lpstrTitle = AsW(title);
    ofn.lpstrDefExt = L"*.*";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!dialogs::GetOpenFileNameW(&ofn)) return;
    FileEntry& slot = p.EntryTable[size_t(p.EntryCount)];
    slot = FileEntry{};
    if (!FillFromSearch(U16(file), true, slot)) return;
    if (!ListNewEntry(p.EntryCount)) WriteFileCount();
}

// An item's display name (column 0), at most 259 units.
std::u16string ItemName(int item) {
    wchar_t text[260] = {};
    LVITEMW it{};
    it.iSubItem = 0;
    it.pszText = text;
    it.cchTextMax = 260;
    SendMessageW(g_pane.list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    return U16(text);
}

// Status part 1 tells about the selected entry, and about none once nothing
// is selected: details of an entry that is gone would be a lie.
void ShowSelectedDetails() {
    int item = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    ShowEntryDetails(TheApp(), item < 0 ? 0 : EntryIndexOfItem(item), item < 0);
}

void RemoveRegistration() {
    int item = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (item < 0 || !g_pane.page) return;
    std::u16string question = RemoveQuestion(g_pane.page->Label, ItemName(item));
    if (ShowMessageBox(g_pane.hwnd, kMessageBoxYesNoSecond, question) != kMessageBoxYes) return;
    int e = EntryIndexOfItem(item);
    SendMessageW(g_pane.list, LVM_DELETEITEM, WPARAM(item), 0);
    PaneState& p = ThePane();
    // The slot stays, emptied: entry numbers and icons keep their places.
    if (e >= 0 && e < p.EntryCount) p.EntryTable[size_t(e)].Path.clear();
    WriteFileCount();
    ShowSelectedDetails();
}

// The context menu at the point of a right click, or for the keyboard
// ((-1, -1)) at the selected item or the list's corner.
void OnContextMenu(App& app, LPARAM lp) {
    POINT at{short(LOWORD(lp)), short(HIWORD(lp))};
    int item = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (at.x == -1 && at.y == -1) {
        RECT rc{};
        rc.left = LVIR_ICON;
        if (item < 0 || !SendMessageW(g_pane.list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rc)))
            rc = RECT{0, 0, 0, 0};
        at = {rc.left, rc.bottom};
        ClientToScreen(g_pane.list, &at);
    }
    std::u16string name;
    bool hasEntry = false;
    int entry = item < 0 ? -1 : EntryIndexOfItem(item);
    if (entry >= 0 && entry < ThePane().EntryCount) {
        name = ItemName(item);
        hasEntry = true;
    }
    ShowContextMenu(app, at, hasEntry ? &name : nullptr);
}

void ShowLocation() {
    int item = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    const FileEntry* e = EntryOfItem(item);
    if (!e) return;
    std::optional<FullPath> full = FullPathOf(e->Path);
    if (!full) return;
    std::u16string folder = ContainingFolderOf(full->Text, full->NameStart);
    if (!folder.empty()) shell::ShellExecuteW(nullptr, nullptr, AsW(folder), nullptr, nullptr, SW_SHOWNORMAL);
}

// Every listed name in the form the page asks for now, with or without its
// extension.
void RenameItems() {
    if (!g_pane.page) return;
    const int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    const bool held = g_pane.repaintsHeld;  // a list still filling keeps its pace
    HoldRepaints();
    for (int item = 0; item < count; ++item) {
        const FileEntry* e = EntryOfItem(item);
        std::optional<FullPath> full = e ? FullPathOf(e->Path) : std::nullopt;
        if (!full || full->NameStart >= full->Text.size()) continue;
        std::u16string name = DisplayName(full->Name(), *g_pane.page, e->TypeOffset < 0);
        LVITEMW it{};
        it.iSubItem = 0;
        it.pszText = const_cast<wchar_t*>(AsW(name));
        SendMessageW(g_pane.list, LVM_SETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    }
    if (!held) ReleaseRepaints(false);
}

void ChangeView(App& app, uint32_t view) {
    if (!g_pane.page) return;
    g_pane.PreviousView = uint8_t(ViewOf(g_pane.page->ListType));
    g_pane.page->ListType = view;
    if (g_pane.PreviousView == ViewDetails) {
        StoreColumnWidths();
        Post(ApplyColumnWidths);
    } else {
        Post(ApplyView);
    }
    (void)app;
}

void Layout(int w, int h) {
    MoveWindow(g_pane.list, 0, 0, w, h, TRUE);
    NoticeRect n = LoadingNoticeRect(w, h);
    MoveWindow(g_pane.notice, n.x, n.y, n.width, n.height, TRUE);
}

void OnInitDialog(App& app, HWND hwnd) {
    g_pane.hwnd = hwnd;
    g_pane.list = GetDlgItem(hwnd, IDC_PAGELIST);
    g_pane.notice = GetDlgItem(hwnd, IDC_LOADINGNOTICE);
    g_pane.PreviousView = 1;
    g_pane.entriesLoaded = false;
    g_pane.loaded = false;
    PlacePagePane(app);
    ChoosePage(app);
    ThePane().EntryTable.clear();
    ThePane().EntryCount = 0;

    LONG_PTR st = GetWindowLongPtrW(g_pane.list, GWL_STYLE);
    SetWindowLongPtrW(g_pane.list, GWL_STYLE, st | LVS_SINGLESEL | LVS_ALIGNTOP);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    if (app.rec.WindowsVersion >= 600) ex |= LVS_EX_HEADERINALLVIEWS;
    SendMessageW(g_pane.list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SetControlTheme(g_pane.list, L"EXPLORER");
    ApplyFontAndColoursNow(app);
    g_pane.PreviousView = 1;
    // The notice stays readable over the items that show while loading.
    SetWindowLongPtrW(g_pane.list, GWL_STYLE, GetWindowLongPtrW(g_pane.list, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(g_pane.notice, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InsertColumns();
    SendMessageW(hwnd, WM_COMMAND, CreateImageLists, 0);
    // The widths go on in the page's view before the pane shows: on a
    // visible list each one scrolls and repaints the columns, a pause the
    // user would see.
    SetColumnWidths(app, CurrentView() == ViewDetails);
    SetStatus(0, u" ");
    SetStatus(1, u" ");
    RECT rc;
    GetClientRect(hwnd, &rc);
    Layout(rc.right, rc.bottom);
    const uint32_t style = app.rec.GlobalSettings.TabStyle;
    if (style & TabStyleBit::Animation)
        AnimateWindow(hwnd, 75, AW_SLIDE | AW_ACTIVATE | ((style & TabStyleBit::Bottom) ? AW_VER_NEGATIVE : AW_VER_POSITIVE));
    else
        ShowWindow(hwnd, SW_SHOW);
    ShowNotice(true);
    // The table is made by the first posted step rather than here: sizing a
    // special page's table reads its folders, which can wait until the
    // window is on screen.
    ++g_pane.chain;
    Post(StartLoading, kAllocateFirst);
    StartShellWarmup();
}

void OnDestroy(App& app) {
    PaneState& p = ThePane();
    // Widths the list never showed (the pane went before they were applied)
    // are not the user's, and neither is the selection of a list still
    // loading: the page keeps what it had.
    if (!p.PagesReorganised) StoreColumnWidths();
    int selected = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (g_pane.page) {
        if (g_pane.userPage && !p.PagesReorganised) {
            // A page still loading has only part of its entries in the
            // table: its text stays as it was rather than lose the rest.
            if (g_pane.loaded) {
                g_pane.page->Files = PageFilesText();
                g_pane.page->Cursor = selected;
            }
            WritePage(app.rec, app.store, g_pane.pageId, WriteGroup::All);
        } else if (!g_pane.userPage && !p.SpecialSetChanged) {
            if (g_pane.loaded) g_pane.page->Cursor = selected;
            WritePage(app.rec, app.store, g_pane.pageId, WriteGroup::All);
        }
    }
    CloseScan();
    p.EntryTable.clear();
    p.EntryTable.shrink_to_fit();
    p.EntryCount = 0;
    p.EntryCapacity = 0;
    DestroyImageListsNow();
    if (g_pane.PaneFont) DeleteObject(g_pane.PaneFont);
    if (g_pane.PaneBrush) DeleteObject(g_pane.PaneBrush);
    g_pane = PaneWindow{};
}

bool IsChainStep(int id) {
    return id == FinishLoading || (id >= ParseNextEntry && id <= ShowNextEntry);
}

// A step of a chain that a refresh has replaced. Commands from other windows
// carry no chain number (0) and always count.
bool IsStale(WPARAM wp) {
    const int id = LOWORD(wp);
    if (IsChainStep(id)) return HIWORD(wp) != g_pane.chain;
    return id == StartLoading && HIWORD(wp) != 0 && HIWORD(wp) != g_pane.chain;
}

INT_PTR OnCommand(App& app, HWND hwnd, WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (IsStale(wp)) return TRUE;
    switch (id) {
    case ApplyFontAndColours: ApplyFontAndColoursNow(app); break;
    case ApplyView:
        ApplyViewNow(app);
        // From the page settings dialog (a command without chain number):
        // its OK promises the names in the form its extension box shows. A
        // view chosen from the context menu leaves the names as listed.
        if (HIWORD(wp) == 0) RenameItems();
        break;
    case ApplyColumnWidths: ApplyColumnWidthsNow(app); break;
    case FinishLoading: FinishLoadingNow(); break;
    case AllocateEntries: AllocateEntriesNow(app); break;
    case StartLoading:
        if (lp == kAllocateFirst) AllocateEntriesNow(app);
        StartLoadingNow();
        break;
    case ParseNextEntry: ParseNextEntryNow(int32_t(lp)); break;
    case ShowNextEntry: ShowNextEntryNow(int32_t(lp)); break;
    case ScanFolderStep: ScanFolderStepNow(int32_t(lp), false); break;
    case ScanCommonFolderStep: ScanFolderStepNow(int32_t(lp), true); break;
    case ScanRecentStep: ScanRecentStepNow(int32_t(lp)); break;
    case ResolveShortcutStep: ResolveShortcutStepNow(int32_t(lp)); break;
    case SortByTime: SortByTimeNow(); break;
    case CreateImageLists: {
        const bool old = app.rec.WindowsVersion < 510;
        UINT colour = old ? ILC_COLOR4 : ILC_COLOR32;
        g_pane.SmallImages = NewImageList(16, colour);
        g_pane.NormalImages = NewImageList(32, colour);
        g_pane.LargeImages = old ? nullptr : NewImageList(48, colour);
        AddFixed(g_pane.SmallImages, IDB_BLANK16, 16);
        AddFixed(g_pane.SmallImages, IDB_SORTUP, 16);
        AddFixed(g_pane.SmallImages, IDB_SORTDOWN, 16);
        for (int i = 0; i < kFixedImages; ++i) {
            AddFixed(g_pane.NormalImages, IDB_BLANK32, 32);
            AddFixed(g_pane.LargeImages, IDB_BLANK32, 48);
        }
        g_pane.icons.Reset(g_pane.SmallImages, g_pane.NormalImages, g_pane.LargeImages, app.rec.WindowsVersion);
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_pane.SmallImages));
        SendMessageW(hwnd, WM_COMMAND, ApplyView, 0);
        break;
    }
    case DestroyImageLists: DestroyImageListsNow(); break;
    case IDM_ENTRY_SHOW_LOCATION: ShowLocation(); break;
    case IDOK:
        // The dialog manager turns Enter into IDOK before the list sees the
        // key: Enter on the focused entry launches it, as a double click does.
        if (GetFocus() == g_pane.list)
            Launch(int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)));
        break;
    case IDM_ENTRY_ADD: AddRegistration(app); break;
    case IDM_ENTRY_REMOVE: RemoveRegistration(); break;
    case IDM_VIEW_TILE:
    case IDM_VIEW_ICON:
    case IDM_VIEW_SMALLICON:
    case IDM_VIEW_DETAILS: ChangeView(app, uint32_t(id - IDM_VIEW_TILE)); break;
    default: return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND CurrentPagePane() { return g_pane.hwnd; }

void StorePaneEntriesInPage() {
    if (g_pane.hwnd && g_pane.userPage && g_pane.loaded && g_pane.page) g_pane.page->Files = PageFilesText();
}
bool PaneLoaded() { return g_pane.loaded; }

HWND CreatePagePane(App& app, HWND tabWindow) {
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_PAGEPANE), tabWindow, PagePaneProc, 0);
}

INT_PTR CALLBACK PagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(app, hwnd); return FALSE;
    case kShellReadyMessage:
        // A chain replaced while it waited has its own first step coming.
        if (g_pane.waitingForShell && g_pane.shellWaitChain == g_pane.chain) Post(ShowNextEntry, g_pane.shellWaitIndex);
        g_pane.waitingForShell = false;
        return TRUE;
    case kRepaintMessage:
        g_pane.repaintPosted = false;
        ReleaseRepaints(true);
        return TRUE;
    case kPaintMessage:
        if (g_pane.paintPosted) PaintNow();
        return TRUE;
    case WM_SIZE: Layout(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_COMMAND: return OnCommand(app, hwnd, wp, lp);
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == g_pane.list && nm->code == LVN_COLUMNCLICK) {
            OnColumnClick(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
        } else if (nm->hwndFrom == g_pane.list && nm->code == LVN_ITEMACTIVATE) {
            Launch(reinterpret_cast<NMITEMACTIVATE*>(lp)->iItem);
        } else if (nm->hwndFrom == g_pane.list && nm->code == LVN_ITEMCHANGED) {
            auto* change = reinterpret_cast<NMLISTVIEW*>(lp);
            if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
                ShowEntryDetails(app, EntryIndexOfItem(change->iItem), false);
            else if ((change->uOldState & LVIS_SELECTED) && !(change->uNewState & LVIS_SELECTED))
                ShowSelectedDetails();
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == g_pane.notice && g_pane.page) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, g_pane.page->FontColor);
            SetBkColor(dc, g_pane.page->FontColorBk);
            return reinterpret_cast<INT_PTR>(g_pane.PaneBrush);
        }
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(app, lp);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(app);
        return 0;
    }
    return FALSE;
}

}  // namespace vc
