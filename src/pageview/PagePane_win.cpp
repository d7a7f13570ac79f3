// The page pane's window and its views: the dialog procedure, the layout,
// the view, column widths, font and colours, and the repaints of a list
// that fills while it is on screen.
#include "pageview/PagePane_win.h"

#include <algorithm>

#include <commctrl.h>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pageview/FilesText.h"
#include "pageview/Lookups_win.h"
#include "pageview/PaneRules.h"
#include "pageview/PaneState.h"
#include "pageview/PaneWindow_win.h"
#include "pageview/ShellWarmup_win.h"
#include "pageview/Sort.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "common/TabTexts.h"

namespace vc {
namespace pagepane {

PaneWindow g_pane;

namespace {

// WindowsVersion numbers from which the list offers what the code uses.
constexpr uint32_t kWindowsXP = 510;     // LVM_SETVIEW, tiles, 32-bit icons
constexpr uint32_t kWindowsVista = 600;  // headers in every view, column formats
constexpr int kOtherViewColumnWidth = 100;
constexpr DWORD kSlideMilliseconds = 75;
// The images every list starts with: a blank and the two sort arrows; the
// icons of entry i follow from image kFixedImages on.
constexpr int kFixedImages = 3;
// The lists' icon sizes are the system's for the DPI the window is on: the
// small and the normal icon, and for the tile view the shell's larger list,
// half as large again as the normal icon.
int SmallIconSize() { return SystemMetricForDpi(SM_CXSMICON, UINT(TheApp().rec.DpiX)); }
int NormalIconSize() { return SystemMetricForDpi(SM_CXICON, UINT(TheApp().rec.DpiX)); }
int LargeIconSize() { return NormalIconSize() * 3 / 2; }
constexpr int kImageListGrowth = 16;
constexpr size_t kStatusTextMax = 63;
constexpr LPARAM kAllocateFirst = 1;  // StartLoading's lParam: make the table first

uint32_t CurrentView() { return g_pane.page ? ViewOf(g_pane.page->ListType) : ViewIcon; }

bool IsRightAligned(int column) { return column == 1 || column == 2; }  // date, size

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

void ApplyFontAndColoursNow() {
    PageRecord* page = g_pane.page;
    if (!page) return;
    // The page keeps its size for 96 DPI; the list gets it for the window's.
    HFONT font = FontFromWindowFont(g_pane.hwnd, ScaleToDpi(page->FontSize, TheApp().rec.DpiY),
                                    (page->FontStyle & FontStyleBit::Bold) ? 700 : 400,
                                    (page->FontStyle & FontStyleBit::Italic) ? 1 : 0, 0, 0, page->FontName);
    // The dialog's own font is the dialog's to delete.
    if (font == reinterpret_cast<HFONT>(SendMessageW(g_pane.hwnd, WM_GETFONT, 0, 0))) font = nullptr;
    if (font) {
        SendMessageW(g_pane.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(g_pane.notice, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        g_pane.listFont.reset(font);
    }
    g_pane.noticeBrush.reset(CreateSolidBrush(page->FontColorBk));
    SendMessageW(g_pane.list, LVM_SETBKCOLOR, 0, page->FontColorBk);
    SendMessageW(g_pane.list, LVM_SETTEXTCOLOR, 0, page->FontColor);
    SendMessageW(g_pane.list, LVM_SETTEXTBKCOLOR, 0, page->FontColorBk);
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

// The list's DPI: column widths are kept as 96-DPI sizes, like every size
// in the settings file, so a page looks the same on any screen.
UINT ListDpi() { return WindowDpi(g_pane.hwnd, UINT(TheApp().rec.DpiX)); }

void InsertColumns() {
    static const wchar_t* const kHeaders[kColumns] = {L"名前", L"更新日", L"サイズ", L"場所", L"種類", L""};
    for (int c = 0; c < kColumns; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        col.cx = c == kIndexColumn ? 0 : ScaleToDpi(kOtherViewColumnWidth, float(ListDpi()));
        col.pszText = const_cast<wchar_t*>(kHeaders[c]);
        col.iSubItem = c;
        if (c < kIndexColumn) {
            col.mask |= LVCF_IMAGE;
            col.iImage = SortArrowImage(c, g_pane.page ? g_pane.page->PageListSort : 0);
            col.fmt = IsRightAligned(c) ? (LVCFMT_RIGHT | LVCFMT_IMAGE)
                                        : (LVCFMT_LEFT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
        }
        SendMessageW(g_pane.list, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    int order[kColumns] = {kIndexColumn, 0, 1, 2, 3, 4};
    SendMessageW(g_pane.list, LVM_SETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order));
    ShowHeaderImages();
}

ImageListPtr NewImageList(int size, UINT colour) {
    return ImageListPtr(ImageList_Create(size, size, colour | ILC_MASK, 0, kImageListGrowth));
}

// A fixed image in the list's size. The pictures are drawn for 16 or 32
// pixels; other sizes get the picture centred on white (the list's
// transparent colour) instead of a blurred stretch.
void AddFixed(HIMAGELIST images, int id, int size) {
    if (!images) return;
    BitmapPtr art(static_cast<HBITMAP>(LoadImageW(TheApp().instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                                  LR_DEFAULTCOLOR | LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!art || !GetObjectW(art.get(), sizeof info, &info)) return;
    if (info.bmWidth == size && info.bmHeight == size) {
        ImageList_AddMasked(images, art.get(), RGB(255, 255, 255));
        return;
    }
    WindowDC screen(nullptr);
    BitmapPtr bitmap(CreateCompatibleBitmap(screen.get(), size, size));
    MemoryDCPtr from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
    if (!bitmap || !from.get() || !to.get()) return;
    {
        Selection artIn(from.get(), art.get()), bitmapIn(to.get(), bitmap.get());
        RECT all{0, 0, size, size};
        FillRect(to.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        // Whole multiples of the art keep its pixels sharp; nearest pixels,
        // not blending, so the white around the picture stays transparent.
        const int k = std::max(1, std::min(size / int(info.bmWidth), size / int(info.bmHeight)));
        const int w = int(info.bmWidth) * k, h = int(info.bmHeight) * k;
        SetStretchBltMode(to.get(), COLORONCOLOR);
        StretchBlt(to.get(), (size - w) / 2, (size - h) / 2, w, h, from.get(), 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
    }
    ImageList_AddMasked(images, bitmap.get(), RGB(255, 255, 255));
}

void DestroyImageListsNow() {
    SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    g_pane.smallImages.reset();
    g_pane.normalImages.reset();
    g_pane.largeImages.reset();
    g_pane.icons.Reset(nullptr, nullptr, nullptr, 0);
}

void CreateImageListsNow(App& app) {
    // Lists made before are taken off the list first, not left to it.
    DestroyImageListsNow();
    const bool old = app.rec.WindowsVersion < kWindowsXP;
    const UINT colour = old ? ILC_COLOR4 : ILC_COLOR32;
    const int smallSize = SmallIconSize(), normalSize = NormalIconSize(), largeSize = LargeIconSize();
    g_pane.smallImages = NewImageList(smallSize, colour);
    g_pane.normalImages = NewImageList(normalSize, colour);
    if (!old) g_pane.largeImages = NewImageList(largeSize, colour);
    AddFixed(g_pane.smallImages.get(), IDB_BLANK16, smallSize);
    AddFixed(g_pane.smallImages.get(), IDB_SORTUP, smallSize);
    AddFixed(g_pane.smallImages.get(), IDB_SORTDOWN, smallSize);
    for (int i = 0; i < kFixedImages; ++i) {
        AddFixed(g_pane.normalImages.get(), IDB_BLANK32, normalSize);
        AddFixed(g_pane.largeImages.get(), IDB_BLANK32, largeSize);
    }
    g_pane.icons.Reset(g_pane.smallImages.get(), g_pane.normalImages.get(), g_pane.largeImages.get(),
                       app.rec.WindowsVersion);
    SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_pane.smallImages.get()));
    SendMessageW(g_pane.hwnd, WM_COMMAND, ApplyView, 0);
}

void SetHeaderFormats(bool details) {
    for (int c = 0; c < kIndexColumn; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT;
        if (!SendMessageW(g_pane.list, LVM_GETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col))) continue;
        col.fmt &= ~(LVCFMT_JUSTIFYMASK | LVCFMT_BITMAP_ON_RIGHT | LVCFMT_FIXED_WIDTH);
        if (details && IsRightAligned(c)) col.fmt |= LVCFMT_RIGHT;
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
    const int dpi = int(ListDpi());
    for (int c = 0; c < kColumns; ++c) {
        const int w = int(SendMessageW(g_pane.list, LVM_GETCOLUMNWIDTH, WPARAM(c), 0));
        g_pane.page->PageColumnWidth[size_t(c)] = int32_t((w * kDesignDpi + dpi / 2) / dpi);
    }
}

void SetColumnWidths(App& app, bool details) {
    if (app.rec.WindowsVersion >= kWindowsVista) SetHeaderFormats(true);
    SendMessageW(g_pane.list, LVM_SETCOLUMNWIDTH, kIndexColumn, 0);
    for (int c = 0; c < kIndexColumn; ++c) {
        int w = details && g_pane.page ? (g_pane.page->PageColumnWidth[size_t(c)] & 0xFFFF) : kOtherViewColumnWidth;
        SendMessageW(g_pane.list, LVM_SETCOLUMNWIDTH, WPARAM(c), MAKELPARAM(ScaleToDpi(w, float(ListDpi())), 0));
    }
    if (app.rec.WindowsVersion >= kWindowsVista) SetHeaderFormats(details);
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
    if (app.rec.WindowsVersion >= kWindowsXP) {
        static const DWORD kViews[kViewCount] = {LV_VIEW_TILE, LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_DETAILS};
        SendMessageW(g_pane.list, LVM_SETVIEW, kViews[view], 0);
    } else {
        static const LONG_PTR kStyles[kViewCount] = {LVS_ICON, LVS_ICON, LVS_LIST, LVS_REPORT};
        LONG_PTR st = GetWindowLongPtrW(g_pane.list, GWL_STYLE);
        SetWindowLongPtrW(g_pane.list, GWL_STYLE, (st & ~LONG_PTR(LVS_TYPEMASK)) | kStyles[view]);
    }
    g_pane.shownView = view;
    if (view == ViewTile && g_pane.largeImages)
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_pane.largeImages.get()));
    else if (view == ViewIcon)
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_pane.normalImages.get()));
    else
        SendMessageW(g_pane.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_pane.smallImages.get()));
    ResetImageBackgrounds();
    if (g_pane.columns != (view == ViewDetails ? ColumnWidths::Details : ColumnWidths::Other)) Post(ApplyColumnWidths);
}

void ApplyColumnWidthsNow(App& app) {
    const bool details = CurrentView() == ViewDetails;
    // Widths already set for this view (a new pane sets them itself).
    if (g_pane.columns == (details ? ColumnWidths::Details : ColumnWidths::Other) && g_pane.previousView != ViewDetails)
        return;
    SetColumnWidths(app, details);
    // Leaving the details view from the menu: the view follows the widths,
    // once; the next view change starts afresh.
    if (g_pane.previousView == ViewDetails) {
        g_pane.previousView = uint8_t(CurrentView());
        Post(ApplyView);
    }
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

ListLook LookOf(HWND list) {
    ListLook l;
    l.items = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    GetClientRect(list, &l.client);
    l.scrollX = GetScrollPos(list, SB_HORZ);
    l.scrollY = GetScrollPos(list, SB_VERT);
    l.focused = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    l.selected = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    l.hot = int(SendMessageW(list, LVM_GETHOTITEM, 0, 0));
    l.view = int(SendMessageW(list, LVM_GETVIEW, 0, 0));
    int order[kColumns] = {};
    SendMessageW(list, LVM_GETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order));
    for (int c = 0; c < kColumns; ++c)
        l.columns = l.columns * 1000003 + uint64_t(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(c), 0)) * 8 + uint64_t(order[c]);
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
    // Items whose details or icons came in since the last paint.
    if (RECT changed; IntersectRect(&changed, &g_pane.changed, &now.client)) InvalidateRect(g_pane.list, &changed, TRUE);
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
    RegionPtr frame(CreateRectRgnIndirect(&window));
    RegionPtr inside(CreateRectRgnIndirect(&now.client));
    if (frame && inside && CombineRgn(frame.get(), frame.get(), inside.get(), RGN_DIFF) != ERROR)
        RedrawWindow(g_pane.list, nullptr, frame.get(), RDW_INVALIDATE | RDW_FRAME);
}

void PaintNow() {
    g_pane.paintPosted = false;
    const auto start = std::chrono::steady_clock::now();
    const ListLook now = LookOf(g_pane.list);
    InvalidateWhatChanged(now);
    g_pane.painted = now;
    g_pane.changed = RECT{};
    UpdateWindow(g_pane.list);
    if (IsWindowVisible(g_pane.notice)) UpdateWindow(g_pane.notice);
    const auto end = std::chrono::steady_clock::now();
    g_pane.repaintTime += end - start;
    g_pane.nextRepaint = std::max(end + kRepaintGap, g_pane.loadStart + g_pane.repaintTime * kLoadingPerRepaint);
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

void ChangeView(uint32_t view) {
    if (!g_pane.page) return;
    g_pane.previousView = uint8_t(ViewOf(g_pane.page->ListType));
    g_pane.page->ListType = view;
    if (g_pane.previousView == ViewDetails) {
        StoreColumnWidths();
        Post(ApplyColumnWidths);
    } else {
        Post(ApplyView);
    }
}

void Layout(int w, int h) {
    MoveWindow(g_pane.list, 0, 0, w, h, TRUE);
    NoticeRect n = LoadingNoticeRect(w, h);
    MoveWindow(g_pane.notice, n.x, n.y, n.width, n.height, TRUE);
}

void OnInitDialog(App& app, HWND hwnd) {
    g_pane.hwnd = hwnd;
    SetLookupWindow(hwnd);
    g_pane.list = GetDlgItem(hwnd, IDC_PAGELIST);
    InstallFilterKeys();
    g_pane.notice = GetDlgItem(hwnd, IDC_LOADINGNOTICE);
    g_pane.previousView = ViewIcon;
    g_pane.loaded = false;
    SendMessageW(GetParent(hwnd), WM_COMMAND, IDM_PLACE_PAGE_PANE, 0);
    ChoosePage(app);
    ThePane().EntryTable.clear();
    ThePane().EntryCount = 0;

    LONG_PTR st = GetWindowLongPtrW(g_pane.list, GWL_STYLE);
    SetWindowLongPtrW(g_pane.list, GWL_STYLE, st | LVS_SINGLESEL | LVS_ALIGNTOP);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    if (app.rec.WindowsVersion >= kWindowsVista) ex |= LVS_EX_HEADERINALLVIEWS;
    SendMessageW(g_pane.list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SetControlTheme(g_pane.list, L"EXPLORER");
    ApplyFontAndColoursNow();
    // The notice stays readable over the items that show while loading.
    SetWindowLongPtrW(g_pane.list, GWL_STYLE, GetWindowLongPtrW(g_pane.list, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(g_pane.notice, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InsertColumns();
    SendMessageW(hwnd, WM_COMMAND, CreateImageLists, 0);
    // The widths go on in the page's view before the pane shows: on a
    // visible list each one scrolls and repaints the columns, a pause the
    // user would see.
    SetColumnWidths(app, CurrentView() == ViewDetails);
    SetStatus(kCountPart, u" ");
    SetStatus(kDetailsPart, u" ");
    RECT rc;
    GetClientRect(hwnd, &rc);
    Layout(rc.right, rc.bottom);
    const uint32_t style = app.rec.GlobalSettings.TabStyle;
    if (style & TabStyleBit::Animation)
        AnimateWindow(hwnd, kSlideMilliseconds,
                      AW_SLIDE | AW_ACTIVATE | ((style & TabStyleBit::Bottom) ? AW_VER_NEGATIVE : AW_VER_POSITIVE));
    else
        ShowWindow(hwnd, SW_SHOW);
    ShowNotice(true);
    // The table is made by the first posted step rather than here: sizing a
    // special page's table reads its folders, which can wait until the
    // window is on screen.
    g_pane.chain = NextChain(g_pane.chain);
    Post(StartLoading, kAllocateFirst);
    StartShellWarmup();
}

void OnDestroy(App& app) {
    PaneState& table = ThePane();
    // Widths the list never showed (the pane went before they were applied)
    // are not the user's, and neither is the selection of a list still
    // loading: the page keeps what it had.
    if (!table.PagesReorganised) StoreColumnWidths();
    int selected = int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (g_pane.page) {
        if (g_pane.userPage && !table.PagesReorganised) {
            // A page still loading has only part of its entries in the
            // table: its text stays as it was rather than lose the rest.
            if (g_pane.loaded) {
                g_pane.page->Files = PageFilesText();
                g_pane.page->Cursor = selected;
            }
            WritePage(app.rec, app.store, g_pane.pageId, WriteGroup::All);
        } else if (!g_pane.userPage && !table.SpecialSetChanged) {
            if (g_pane.loaded) g_pane.page->Cursor = selected;
            WritePage(app.rec, app.store, g_pane.pageId, WriteGroup::All);
        }
    }
    StopReading();
    // Look-ups still out for this page are dropped, never waited for.
    if (g_pane.load) Lookups().Abandon(g_pane.load);
    SetLookupWindow(nullptr);
    KillTimer(g_pane.hwnd, kFinishTimer);
    table.EntryTable.clear();
    table.EntryTable.shrink_to_fit();
    table.EntryCount = 0;
    table.EntryCapacity = 0;
    DestroyImageListsNow();
    // The font and brush go with the rest of the pane's state; the list
    // that used the font is destroyed right after.
    g_pane = PaneWindow{};
}

INT_PTR OnCommand(App& app, WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (IsStaleStep(id, HIWORD(wp), g_pane.chain)) return TRUE;
    switch (id) {
    case ApplyFontAndColours: ApplyFontAndColoursNow(); break;
    case ApplyView:
        ApplyViewNow(app);
        // From the page settings dialog (a command without chain number):
        // its OK promises the names in the form its extension box shows. A
        // view chosen from the context menu leaves the names as listed.
        if (HIWORD(wp) == 0) RenameItems();
        break;
    case ApplyColumnWidths: ApplyColumnWidthsNow(app); break;
    case FinishLoading: FinishLoadingNow(); break;
    case AllocateEntries: AllocateEntriesNow(); break;
    case StartLoading:
        if (lp == kAllocateFirst) AllocateEntriesNow();
        StartLoadingNow();
        break;
    case ParseNextEntry: ParseNextEntryNow(int32_t(lp)); break;
    case ShowNextEntry: ShowNextEntryNow(int32_t(lp)); break;
    case ScanFolderStep: ScanFolderStepNow(int32_t(lp)); break;
    case ScanRecentStep: ScanRecentStepNow(int32_t(lp)); break;
    case ResolveShortcutStep: ResolveShortcutStepNow(int32_t(lp)); break;
    case SortByTime: SortByTimeNow(); break;
    case CreateImageLists: CreateImageListsNow(app); break;
    case DestroyImageLists: DestroyImageListsNow(); break;
    case IDM_ENTRY_SHOW_LOCATION: ShowLocation(); break;
    case IDM_ENTRY_RUN_AS_ADMIN: RunAsAdministrator(); break;
    case IDM_ENTRY_RUN_WITH_ARGUMENTS: RunWithArguments(); break;
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
    case IDM_VIEW_DETAILS: ChangeView(uint32_t(id - IDM_VIEW_TILE)); break;
    default: return FALSE;
    }
    return TRUE;
}

// A missing target's item: grey text, and its tip says so.
const FileEntry* MissingEntryOf(LPARAM itemParam) {
    const auto* e = reinterpret_cast<const FileEntry*>(itemParam);
    return e && e->Missing ? e : nullptr;
}

INT_PTR OnNotify(const NMHDR& nm) {
    if (nm.hwndFrom != g_pane.list) return 0;
    if (nm.code == NM_CUSTOMDRAW) {
        auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(nm));
        LRESULT result = CDRF_DODEFAULT;
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) result = CDRF_NOTIFYITEMDRAW;
        else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && MissingEntryOf(draw.nmcd.lItemlParam))
            draw.clrText = GetSysColor(COLOR_GRAYTEXT);
        SetWindowLongPtrW(g_pane.hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (nm.code == LVN_GETINFOTIPW) {
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(nm));
        LVITEMW at{LVIF_PARAM, tip.iItem};
        SendMessageW(g_pane.list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&at));
        if (MissingEntryOf(at.lParam) && tip.pszText && tip.cchTextMax > 0) {
            std::u16string text = ItemName(tip.iItem) + u"\r\n(見つかりません)";
            text = std::u16string(CutTo(text, size_t(tip.cchTextMax - 1)));
            std::copy(text.begin(), text.end(), reinterpret_cast<char16_t*>(tip.pszText));
            tip.pszText[text.size()] = 0;
        }
        return 0;
    }
    if (nm.code == LVN_COLUMNCLICK) {
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(nm).iSubItem);
    } else if (nm.code == LVN_ITEMACTIVATE) {
        Launch(reinterpret_cast<const NMITEMACTIVATE&>(nm).iItem);
    } else if (nm.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(nm);
        if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
            ShowEntryDetails(EntryIndexOfItem(change.iItem));
        else if ((change.uOldState & LVIS_SELECTED) && !(change.uNewState & LVIS_SELECTED))
            ShowSelectedDetails();
    }
    return 0;
}

}  // namespace

void Post(int command, LPARAM lp) {
    PostMessageW(g_pane.hwnd, WM_COMMAND, MAKEWPARAM(command, g_pane.chain), lp);
}

void SetStatus(int part, const std::u16string& text) {
    if (HWND status = TheApp().TabWindow ? GetDlgItem(TheApp().TabWindow, IDC_STATUSBAR) : nullptr)
        SendMessageW(status, SB_SETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(AsW(text)));
}

void WriteFileCount() {
    const PaneState& table = ThePane();
    SetStatus(kCountPart,
              CutTo(FileCountText(CountRegistered(table.EntryTable, table.EntryCount)), kStatusTextMax).data());
}

void ResetImageBackgrounds() {
    for (const ImageListPtr* images : {&g_pane.smallImages, &g_pane.normalImages, &g_pane.largeImages})
        if (*images) ImageList_SetBkColor(images->get(), CLR_NONE);
}

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
        g_pane.changed = RECT{};
    }
    g_pane.repaintTime += std::chrono::steady_clock::now() - start;
    if (paintSoon) g_pane.paintPosted = PostMessageW(g_pane.hwnd, kPaintMessage, 0, 0);
}

void StartRepaintClock() {
    g_pane.loadStart = std::chrono::steady_clock::now();
    g_pane.nextRepaint = g_pane.loadStart + kRepaintGap;
    g_pane.repaintTime = {};
    g_pane.painted = ListLook{};
}

void ShowNotice(bool show) {
    ShowWindow(g_pane.notice, show ? SW_SHOW : SW_HIDE);
    if (show) UpdateWindow(g_pane.notice);
}

// Sorts the items by the page's order; each item's data is its entry.
void SortItems(bool newestAmongEqual) {
    if (!g_pane.page) return;
    struct ItemOrder {
        int key;
        bool newestAmongEqual;
    } order{g_pane.page->PageListSort, newestAmongEqual};
    SendMessageW(g_pane.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
                 reinterpret_cast<LPARAM>(+[](LPARAM a, LPARAM b, LPARAM o) -> int {
                     const auto* order = reinterpret_cast<const ItemOrder*>(o);
                     return CompareListed(reinterpret_cast<const FileEntry*>(a), reinterpret_cast<const FileEntry*>(b),
                                          order->key, order->newestAmongEqual);
                 }));
    SendMessageW(g_pane.list, LVM_SETSELECTEDCOLUMN, WPARAM(SortColumn(g_pane.page->PageListSort)), 0);
}

}  // namespace pagepane

using namespace pagepane;

HWND CurrentPagePane() { return g_pane.hwnd; }

void StorePaneEntriesInPage() {
    if (g_pane.hwnd && g_pane.userPage && g_pane.loaded && g_pane.page) g_pane.page->Files = PageFilesText();
}
bool PaneLoaded() { return g_pane.loaded; }
int PaneLookupsOutstanding() { return g_pane.load ? Lookups().Outstanding(g_pane.load) : 0; }

HWND CreatePagePane(App& app, HWND tabWindow) {
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_PAGEPANE), tabWindow, PagePaneProc, 0);
}

INT_PTR CALLBACK PagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(app, hwnd); return FALSE;
    case kShellReadyMessage: OnShellReady(); return TRUE;
    case kRepaintMessage:
        g_pane.repaintPosted = false;
        ReleaseRepaints(true);
        return TRUE;
    case kPaintMessage:
        if (g_pane.paintPosted) PaintNow();
        return TRUE;
    case kLookupsReadyMessage: DrainLookups(hwnd); return TRUE;
    case kResortMessage: Resort(); return TRUE;
    case kRefilterMessage: RefilterStep(); return TRUE;
    case WM_TIMER:
        if (wp == kFinishTimer) FinishWhenLookedUp();
        return TRUE;
    case WM_SIZE: Layout(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_COMMAND: return OnCommand(app, wp, lp);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lp));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == g_pane.notice && g_pane.page) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, g_pane.page->FontColor);
            SetBkColor(dc, g_pane.page->FontColorBk);
            return reinterpret_cast<INT_PTR>(g_pane.noticeBrush.get());
        }
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(lp);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(app);
        return 0;
    }
    return FALSE;
}

}  // namespace vc
