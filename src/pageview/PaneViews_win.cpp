// The page pane's views: the view mode, the columns and their widths, the
// font and colours, the image lists and the sort order of the list, and the
// gathered repaints of a list that fills while it is on screen.
#include "pageview/PaneWindow_win.h"

#include <algorithm>

#include <commctrl.h>

#include "common/Dpi.h"
#include "common/Swatch_win.h"
#include "common/WindowUtil_win.h"
#include "pageview/FilesText.h"
#include "pageview/Sort.h"
#include "resources/resource.h"
#include "settings/AppState_win.h"

namespace vc {
namespace pagepane {

constexpr int kOtherViewColumnWidth = 100;
// The images every list starts with: a blank and the two sort arrows; the
// icons of entry i follow from image kFixedImages on.
constexpr int kFixedImages = 3;
// The lists' icon sizes are the system's for the DPI the window is on: the
// small and the normal icon, and for the tile view the shell's larger list,
// half as large again as the normal icon.
static int SmallIconSize(UINT dpi) { return SystemMetricForDpi(SM_CXSMICON, dpi); }
static int NormalIconSize(UINT dpi) { return SystemMetricForDpi(SM_CXICON, dpi); }
static int LargeIconSize(UINT dpi) { return NormalIconSize(dpi) * 3 / 2; }
constexpr int kImageListGrowth = 16;

uint32_t PagePane::CurrentView() const { return page_ ? ViewOf(page_->ListType) : ViewIcon; }

static bool IsRightAligned(int column) { return column == 1 || column == 2; }  // date, size

// A high-contrast theme's colours stand above the page's: they are what the
// user can read.
COLORREF PagePane::TextColour() const {
    return HighContrast() || !page_ ? GetSysColor(COLOR_WINDOWTEXT) : COLORREF(page_->FontColor);
}
COLORREF PagePane::BackColour() const {
    return HighContrast() || !page_ ? GetSysColor(COLOR_WINDOW) : COLORREF(page_->FontColorBk);
}

void PagePane::ApplyFontAndColoursNow() {
    PageRecord* page = page_;
    if (!page) return;
    // The page keeps its size for 96 DPI; the list gets it for the window's.
    HFONT font = FontFromWindowFont(hwnd_, ScaleToDpi(page->FontSize, app_.rec.DpiY),
                                    (page->FontStyle & FontStyleBit::Bold) ? 700 : 400,
                                    (page->FontStyle & FontStyleBit::Italic) ? 1 : 0, 0, 0, page->FontName);
    // The dialog's own font is the dialog's to delete.
    if (font == reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0))) font = nullptr;
    if (font) {
        SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(notice_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        listFont_.reset(font);
    }
    noticeBrush_.reset(CreateSolidBrush(BackColour()));
    SendMessageW(list_, LVM_SETBKCOLOR, 0, BackColour());
    SendMessageW(list_, LVM_SETTEXTCOLOR, 0, TextColour());
    SendMessageW(list_, LVM_SETTEXTBKCOLOR, 0, BackColour());
    InvalidateRect(list_, nullptr, TRUE);
}

// Makes the header draw the columns' sort arrows. The list gives its header
// HDF_IMAGE for LVCFMT_IMAGE on Windows, but not every list-view
// implementation does, and each column change rebuilds the header's format.
void PagePane::ShowHeaderImages() {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
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
UINT PagePane::ListDpi() const { return WindowDpi(hwnd_, UINT(app_.rec.DpiX)); }

void PagePane::InsertColumns() {
    static const wchar_t* const kHeaders[kColumns] = {L"名前", L"更新日", L"サイズ", L"場所", L"種類", L""};
    for (int c = 0; c < kColumns; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        col.cx = c == kIndexColumn ? 0 : ScaleToDpi(kOtherViewColumnWidth, float(ListDpi()));
        col.pszText = const_cast<wchar_t*>(kHeaders[c]);
        col.iSubItem = c;
        if (c < kIndexColumn) {
            col.mask |= LVCF_IMAGE;
            col.iImage = SortArrowImage(c, page_ ? page_->PageListSort : 0);
            col.fmt = IsRightAligned(c) ? (LVCFMT_RIGHT | LVCFMT_IMAGE)
                                        : (LVCFMT_LEFT | LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
        }
        SendMessageW(list_, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    int order[kColumns] = {kIndexColumn, 0, 1, 2, 3, 4};
    SendMessageW(list_, LVM_SETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order));
    ShowHeaderImages();
}

static ImageListPtr NewImageList(int size, UINT colour) {
    return ImageListPtr(ImageList_Create(size, size, colour | ILC_MASK, 0, kImageListGrowth));
}

// A fixed image in the list's size. The pictures are drawn for 16 or 32
// pixels; other sizes get the picture centred on white (the list's
// transparent colour) instead of a blurred stretch.
static void AddFixed(HINSTANCE instance, HIMAGELIST images, int id, int size) {
    if (!images) return;
    BitmapPtr art(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
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

void PagePane::DestroyImageListsNow() {
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    smallImages_.reset();
    normalImages_.reset();
    largeImages_.reset();
    icons_.Reset(nullptr, nullptr, nullptr, 0);
}

void PagePane::CreateImageListsNow() {
    // Lists made before are taken off the list first, not left to it.
    DestroyImageListsNow();
    const bool old = app_.rec.WindowsVersion < kWindowsXP;
    const UINT colour = old ? ILC_COLOR4 : ILC_COLOR32;
    const UINT dpi = UINT(app_.rec.DpiX);
    const int smallSize = SmallIconSize(dpi), normalSize = NormalIconSize(dpi), largeSize = LargeIconSize(dpi);
    smallImages_ = NewImageList(smallSize, colour);
    normalImages_ = NewImageList(normalSize, colour);
    if (!old) largeImages_ = NewImageList(largeSize, colour);
    AddFixed(app_.instance, smallImages_.get(), IDB_BLANK16, smallSize);
    AddFixed(app_.instance, smallImages_.get(), IDB_SORTUP, smallSize);
    AddFixed(app_.instance, smallImages_.get(), IDB_SORTDOWN, smallSize);
    for (int i = 0; i < kFixedImages; ++i) {
        AddFixed(app_.instance, normalImages_.get(), IDB_BLANK32, normalSize);
        AddFixed(app_.instance, largeImages_.get(), IDB_BLANK32, largeSize);
    }
    icons_.Reset(smallImages_.get(), normalImages_.get(), largeImages_.get(),
                       app_.rec.WindowsVersion);
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_.get()));
    SendMessageW(hwnd_, WM_COMMAND, ApplyView, 0);
}

void PagePane::SetHeaderFormats(bool details) {
    for (int c = 0; c < kIndexColumn; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT;
        if (!SendMessageW(list_, LVM_GETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col))) continue;
        col.fmt &= ~(LVCFMT_JUSTIFYMASK | LVCFMT_BITMAP_ON_RIGHT | LVCFMT_FIXED_WIDTH);
        if (details && IsRightAligned(c)) col.fmt |= LVCFMT_RIGHT;
        else col.fmt |= LVCFMT_LEFT | LVCFMT_BITMAP_ON_RIGHT;
        if (!details) col.fmt |= LVCFMT_FIXED_WIDTH;
        SendMessageW(list_, LVM_SETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    ShowHeaderImages();
}

// The details widths on the list are the user's to keep: the page's, or
// what the user dragged them to since.
bool PagePane::UserWidthsShown() const { return shownView_ == ViewDetails && columns_ == ColumnWidths::Details; }

void PagePane::StoreColumnWidths() {
    if (!page_ || !UserWidthsShown()) return;
    const int dpi = int(ListDpi());
    for (int c = 0; c < kColumns; ++c) {
        const int w = int(SendMessageW(list_, LVM_GETCOLUMNWIDTH, WPARAM(c), 0));
        page_->PageColumnWidth[size_t(c)] = int32_t((w * kDesignDpi + dpi / 2) / dpi);
    }
}

void PagePane::SetColumnWidths(bool details) {
    if (app_.rec.WindowsVersion >= kWindowsVista) SetHeaderFormats(true);
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, kIndexColumn, 0);
    for (int c = 0; c < kIndexColumn; ++c) {
        int w = details && page_ ? (page_->PageColumnWidth[size_t(c)] & 0xFFFF) : kOtherViewColumnWidth;
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, WPARAM(c), MAKELPARAM(ScaleToDpi(w, float(ListDpi())), 0));
    }
    if (app_.rec.WindowsVersion >= kWindowsVista) SetHeaderFormats(details);
    columns_ = details ? ColumnWidths::Details : ColumnWidths::Other;
}

// The view is taken from what the list shows, not from the view command
// that came last: the page settings dialog changes the view without one.
void PagePane::ApplyViewNow() {
    const uint32_t view = CurrentView();
    // The page settings dialog hands back a copy of the page taken before
    // the user dragged the widths: they go into the page before anything
    // replaces them.
    StoreColumnWidths();
    // Leaving the details view, the columns take their other widths before
    // the view changes.
    if (view != ViewDetails && UserWidthsShown()) SetColumnWidths(false);
    if (app_.rec.WindowsVersion >= kWindowsXP) {
        static const DWORD kViews[kViewCount] = {LV_VIEW_TILE, LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_DETAILS};
        SendMessageW(list_, LVM_SETVIEW, kViews[view], 0);
    } else {
        static const LONG_PTR kStyles[kViewCount] = {LVS_ICON, LVS_ICON, LVS_LIST, LVS_REPORT};
        LONG_PTR st = GetWindowLongPtrW(list_, GWL_STYLE);
        SetWindowLongPtrW(list_, GWL_STYLE, (st & ~LONG_PTR(LVS_TYPEMASK)) | kStyles[view]);
    }
    shownView_ = view;
    if (view == ViewTile && largeImages_)
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_.get()));
    else if (view == ViewIcon)
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(normalImages_.get()));
    else
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_.get()));
    ResetImageBackgrounds();
    if (columns_ != (view == ViewDetails ? ColumnWidths::Details : ColumnWidths::Other)) Post(ApplyColumnWidths);
}

void PagePane::ApplyColumnWidthsNow() {
    const bool details = CurrentView() == ViewDetails;
    // Widths already set for this view (a new pane sets them itself).
    if (columns_ == (details ? ColumnWidths::Details : ColumnWidths::Other) && previousView_ != ViewDetails)
        return;
    SetColumnWidths(details);
    // Leaving the details view from the menu: the view follows the widths,
    // once; the next view change starts afresh.
    if (previousView_ == ViewDetails) {
        previousView_ = uint8_t(CurrentView());
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

static ListLook LookOf(HWND list) {
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
void PagePane::InvalidateWhatChanged(const ListLook& now) {
    const ListLook& before = painted_;
    if (!(now == before) || before.items == 0 || now.items < before.items) {
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    ValidateRect(list_, nullptr);
    // Items whose details or icons came in since the last paint.
    if (RECT changed; IntersectRect(&changed, &changed_, &now.client)) InvalidateRect(list_, &changed, TRUE);
    RECT added{};
    for (int i = before.items; i < now.items; ++i) {
        RECT r{LVIR_BOUNDS};
        if (SendMessageW(list_, LVM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) UnionRect(&added, &added, &r);
    }
    if (IntersectRect(&added, &added, &now.client)) InvalidateRect(list_, &added, TRUE);
    // The frame alone: the window's rectangle less its client area.
    RECT window;
    GetWindowRect(list_, &window);
    MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&window), 2);
    RegionPtr frame(CreateRectRgnIndirect(&window));
    RegionPtr inside(CreateRectRgnIndirect(&now.client));
    if (frame && inside && CombineRgn(frame.get(), frame.get(), inside.get(), RGN_DIFF) != ERROR)
        RedrawWindow(list_, nullptr, frame.get(), RDW_INVALIDATE | RDW_FRAME);
}

void PagePane::PaintNow() {
    paintPosted_ = false;
    const auto start = std::chrono::steady_clock::now();
    const ListLook now = LookOf(list_);
    InvalidateWhatChanged(now);
    painted_ = now;
    changed_ = RECT{};
    UpdateWindow(list_);
    if (IsWindowVisible(notice_)) UpdateWindow(notice_);
    const auto end = std::chrono::steady_clock::now();
    repaintTime_ += end - start;
    nextRepaint_ = std::max(end + kRepaintGap, loadStart_ + repaintTime_ * kLoadingPerRepaint);
}

void PagePane::SetSortArrows() {
    for (int c = 0; c < kIndexColumn; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_IMAGE;
        col.iImage = SortArrowImage(c, page_ ? page_->PageListSort : 0);
        SendMessageW(list_, LVM_SETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
    }
    ShowHeaderImages();
}

void PagePane::OnColumnClick(int column) {
    if (!page_ || column < 0 || column >= kIndexColumn) return;
    page_->PageListSort = NextSortKey(page_->PageListSort, column);
    SortItems();
    SetSortArrows();
}

void PagePane::ChangeView(uint32_t view) {
    if (!page_) return;
    previousView_ = uint8_t(ViewOf(page_->ListType));
    page_->ListType = view;
    if (previousView_ == ViewDetails) {
        StoreColumnWidths();
        Post(ApplyColumnWidths);
    } else {
        Post(ApplyView);
    }
}

void PagePane::ResetImageBackgrounds() {
    for (const ImageListPtr* images : {&smallImages_, &normalImages_, &largeImages_})
        if (*images) ImageList_SetBkColor(images->get(), CLR_NONE);
}

void PagePane::HoldRepaints() {
    // The one step between a release and its paint inserts with repaints on.
    if (repaintsHeld_ || paintPosted_) return;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    repaintsHeld_ = true;
}

// Lets the list repaint. Turning repaints on costs the list a layout of all
// its items and the paint costs as much again, so while loading the paint is
// a message of its own (kPaintMessage): a WM_PAINT would wait behind the
// posted loading steps until the end. Once loading is over, WM_PAINT comes.
void PagePane::ReleaseRepaints(bool paintSoon) {
    if (!repaintsHeld_) return;
    repaintsHeld_ = false;
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    if (!paintSoon) {
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        painted_ = ListLook{};
        changed_ = RECT{};
    }
    repaintTime_ += std::chrono::steady_clock::now() - start;
    if (paintSoon) paintPosted_ = PostMessageW(hwnd_, kPaintMessage, 0, 0);
}

void PagePane::StartRepaintClock() {
    loadStart_ = std::chrono::steady_clock::now();
    nextRepaint_ = loadStart_ + kRepaintGap;
    repaintTime_ = {};
    painted_ = ListLook{};
}

// Sorts the items by the page's order; each item's data is its entry.
void PagePane::SortItems(bool newestAmongEqual) {
    if (!page_) return;
    struct ItemOrder {
        int key;
        bool newestAmongEqual;
    } order{page_->PageListSort, newestAmongEqual};
    SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
                 reinterpret_cast<LPARAM>(+[](LPARAM a, LPARAM b, LPARAM o) -> int {
                     const auto* order = reinterpret_cast<const ItemOrder*>(o);
                     return CompareListed(reinterpret_cast<const FileEntry*>(a), reinterpret_cast<const FileEntry*>(b),
                                          order->key, order->newestAmongEqual);
                 }));
    SendMessageW(list_, LVM_SETSELECTEDCOLUMN, WPARAM(SortColumn(page_->PageListSort)), 0);
}

}  // namespace pagepane
}  // namespace vc
