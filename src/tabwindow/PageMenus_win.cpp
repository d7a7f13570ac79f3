#include "tabwindow/PageMenus_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/MenuUtil_win.h"
#include "common/Wide_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "pageview/Sort.h"
#include "resources/resource.h"
#include "tabwindow/PageMenus.h"
#include "tabwindow/TabWindow_win.h"
#include "common/Swatch.h"
#include "common/Swatch_win.h"

namespace vc {

static_assert(kFirstPageCommand == IDM_SELECT_PAGE_FIRST, "the page lists and the tab window share one numbering");
static_assert(IDM_SELECT_PAGE_LAST - IDM_SELECT_PAGE_FIRST + 1 == kPageCommandCount, "every page can be listed");

namespace {

// Positions in the context menu (the first popup of menu 128).
constexpr int kOpenPosition = 0;  // the default item, with the program's picture
constexpr int kPageListPosition = 2;
constexpr int kAllPagesPosition = 3;
constexpr int kCurrentPagePosition = 4;
constexpr int kContextPopupPosition = 0;  // in menu 128 as loaded
constexpr int kMenuSwatchWidth = 8;
constexpr int kMenuSwatchHeight = 16;

bool CurrentIsSpecial(const App& app) { return app.rec.GlobalSettings.TabNumber < app.rec.ShownSpecialCount; }

const PageRecord* CurrentPage(const App& app) {
    const Records& r = app.rec;
    if (CurrentIsSpecial(app))
        return &r.SpecialPages[r.ShownSpecialPages[size_t(std::max(r.GlobalSettings.TabNumber, 0))]];
    if (r.CurrentPage < 0 || size_t(r.CurrentPage) >= r.UserPages.size()) return nullptr;
    return &r.UserPages[size_t(r.CurrentPage)];
}

void SetPageCaption(HMENU menu, int position, const App& app) {
    if (const PageRecord* page = CurrentPage(app)) SetMenuItemText(menu, UINT(position), TRUE, PageCaption(*page, CurrentIsSpecial(app)));
}

// A picture in each label colour, kept in `owned`; indexed by colour.
std::vector<HBITMAP> MakeMenuSwatches(const App& app, std::vector<BitmapPtr>& owned) {
    const Records& r = app.rec;
    std::vector<HBITMAP> swatches(kLabelColorCount);
    for (int i = 0; i < kLabelColorCount; ++i) {
        owned.push_back(MakeSwatch(app.TabWindow, ScaleToDpi(kMenuSwatchWidth, r.DpiX),
                                   ScaleToDpi(kMenuSwatchHeight, r.DpiY), LabelColorTable(r.GlobalSettings, i),
                                   SwatchFull));
        swatches[size_t(i)] = owned.back().get();
    }
    return swatches;
}

void FillPageList(HMENU sub, const App& app, const std::vector<HBITMAP>& swatches, bool all) {
    if (!sub) return;
    int pos = 1;  // after the placeholder, which goes at the end
    int defaultPos = -1, index = 0;
    for (const PageMenuItem& item : PageListItems(app.rec, all)) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        if (item.separator) {
            mii.fMask = MIIM_FTYPE;
            mii.fType = MFT_SEPARATOR;
        } else {
            mii.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
            mii.wID = UINT(item.id);
            mii.dwTypeData = const_cast<wchar_t*>(AsW(item.text));
            mii.hbmpItem = swatches[size_t(item.colorIndex)];
        }
        if (item.mainPage) defaultPos = index;
        InsertMenuItemW(sub, UINT(pos++), TRUE, &mii);
        ++index;
    }
    DeleteMenu(sub, IDM_PAGELIST_PLACEHOLDER, MF_BYCOMMAND);
    if (defaultPos >= 0) SetMenuDefaultItem(sub, UINT(defaultPos), TRUE);
}

// The strip's own procedure, kept on the strip itself for as long as it is
// subclassed.
constexpr wchar_t kStripProcProperty[] = L"Vellumcraft.StripProc";

WNDPROC OriginalStripProc(HWND strip) { return reinterpret_cast<WNDPROC>(GetPropW(strip, kStripProcProperty)); }

// Opens the page pane's context menu at `at`, a point of the strip.
void OpenMenuAt(HWND strip, POINT at, WPARAM wp) {
    ClientToScreen(strip, &at);
    if (HWND pane = CurrentPagePane()) SendMessageW(pane, WM_CONTEXTMENU, wp, MAKELPARAM(at.x, at.y));
}

LRESULT CALLBACK TabStripProc(HWND strip, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    if (msg == WM_MOUSEMOVE || (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK)) TrackTabTooltip(strip, msg, wp, lp);
    switch (msg) {
    case WM_NOTIFY:
        // The tabs' tooltip asks the strip, whose tools they are, for its
        // texts; the tab window answers.
        if (app.TabTooltip && reinterpret_cast<NMHDR*>(lp)->hwndFrom == app.TabTooltip)
            return SendMessageW(app.TabWindow, WM_NOTIFY, wp, lp);
        break;
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        TCHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const int tab = int(SendMessageW(strip, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (hit.flags != TCHT_ONITEMLABEL && hit.flags != TCHT_ONITEM) break;
        if (msg == WM_LBUTTONDBLCLK) {
            SendMessageW(app.TabWindow, WM_COMMAND, IDM_PAGE_SETTINGS, 0);
            if (HWND pane = CurrentPagePane()) InvalidateRect(GetDlgItem(pane, IDC_PAGELIST), nullptr, FALSE);
            return 0;
        }
        // The menu is the clicked tab's: its page becomes the current one
        // first, as in every tabbed program, so that ページ削除 and the
        // rest act on the page the user pointed at.
        if (tab >= 0 && tab != int(SendMessageW(strip, TCM_GETCURSEL, 0, 0))) SelectTab(app, tab);
        OpenMenuAt(strip, hit.pt, wp);
        return 1;
    }
    case WM_CONTEXTMENU: {
        // Shift+F10 or the menu key while the strip has the focus: the menu
        // opens under the selected tab. A mouse's menu was opened on the
        // button's press.
        if (lp != -1) return 0;
        RECT rc{};
        const int tab = int(SendMessageW(strip, TCM_GETCURSEL, 0, 0));
        if (tab < 0 || !SendMessageW(strip, TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&rc))) GetClientRect(strip, &rc);
        OpenMenuAt(strip, POINT{rc.left, rc.bottom}, wp);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        HWND updown = FindWindowExW(strip, nullptr, L"msctls_updown32", nullptr);
        if (SendMessageW(strip, TCM_GETROWCOUNT, 0, 0) == 1 && updown) {
            int position = LOWORD(SendMessageW(updown, UDM_GETPOS, 0, 0));
            LRESULT range = SendMessageW(updown, UDM_GETRANGE, 0, 0);
            int maximum = LOWORD(range), minimum = HIWORD(range);
            short delta = GET_WHEEL_DELTA_WPARAM(wp);
            if (delta < 0 && position < maximum) ++position;
            else if (delta > 0 && position > minimum) --position;
            SendMessageW(strip, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(updown));
        }
        break;
    }
    }
    WNDPROC original = OriginalStripProc(strip);
    // A strip destroyed with its window still subclassed takes its
    // property along.
    if (msg == WM_NCDESTROY) UnsubclassTabStrip(strip);
    return original ? CallWindowProcW(original, strip, msg, wp, lp) : DefWindowProcW(strip, msg, wp, lp);
}

}  // namespace

void FillTabPageList(App& app, HMENU sub, std::vector<BitmapPtr>& swatches) {
    AppendMenuW(sub, MF_STRING, IDM_PAGELIST_PLACEHOLDER, L"");
    FillPageList(sub, app, MakeMenuSwatches(app, swatches), false);
}

void BuildContextMenu(App& app, const std::u16string* entryName, ContextMenu& menu, MenuEntryKind entryKind) {
    const Records& r = app.rec;
    menu.root.reset(LoadMenuW(app.instance, MAKEINTRESOURCEW(IDR_CONTEXTMENU)));
    menu.popup = menu.root ? GetSubMenu(menu.root.get(), kContextPopupPosition) : nullptr;
    HMENU m = menu.popup;
    if (!m) return;
    const bool special = CurrentIsSpecial(app);
    SetPageCaption(m, kCurrentPagePosition, app);

    const std::vector<HBITMAP> swatches = MakeMenuSwatches(app, menu.bitmaps);
    int currentPagePosition = kCurrentPagePosition;
    if (!(r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu)) {
        FillPageList(GetSubMenu(m, kPageListPosition), app, swatches, false);
        DeleteMenu(m, kAllPagesPosition, MF_BYPOSITION);
        currentPagePosition = kAllPagesPosition;
    } else {
        SetMenuItemText(m, kPageListPosition, TRUE, u"マークページから選択");
        FillPageList(GetSubMenu(m, kPageListPosition), app, swatches, false);
        FillPageList(GetSubMenu(m, kAllPagesPosition), app, swatches, true);
    }

    if (entryName) {
        SetMenuItemText(m, IDM_ENTRY_SHOW_LOCATION, FALSE, LocationCaption(*entryName));
        if (special) {
            for (int id : {IDM_ENTRY_ADD, IDM_ENTRY_REMOVE, IDM_PAGE_DUPLICATE, IDM_PAGE_DELETE})
                DeleteMenu(m, UINT(id), MF_BYCOMMAND);
        } else {
            SetMenuItemText(m, IDM_ENTRY_REMOVE, FALSE, RemoveCaption(*entryName));
        }
    } else {
        EnableMenuItem(m, IDM_ENTRY_REMOVE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(m, IDM_ENTRY_SHOW_LOCATION, MF_BYCOMMAND | MF_GRAYED);
    }
    if (!entryName || entryKind != MenuEntryKind::Program) EnableMenuItem(m, IDM_ENTRY_RUN_AS_ADMIN, MF_BYCOMMAND | MF_GRAYED);
    if (!entryName || entryKind == MenuEntryKind::Folder)
        EnableMenuItem(m, IDM_ENTRY_RUN_WITH_ARGUMENTS, MF_BYCOMMAND | MF_GRAYED);
    const PageRecord* page = CurrentPage(app);
    const uint32_t view = page ? ViewOf(page->ListType) : ViewIcon;
    CheckMenuRadioItem(m, IDM_VIEW_TILE, IDM_VIEW_DETAILS, UINT(IDM_VIEW_TILE + view), MF_BYCOMMAND);
    if (r.WindowsVersion < 510) EnableMenuItem(m, IDM_VIEW_TILE, MF_BYCOMMAND | MF_GRAYED);
    if (page && SortColumn(page->PageListSort) < 0) CheckMenuItem(m, IDM_VIEW_REGISTERED_ORDER, MF_BYCOMMAND | MF_CHECKED);
    EnableMenuItem(m, IDM_PAGE_DELETE, MF_BYCOMMAND | (r.GlobalSettings.PageCount > 1 ? MF_ENABLED : MF_GRAYED));
    // A special page is the system's folder: it is neither copied nor written to a file.
    if (special)
        for (int id : {IDM_PAGE_DUPLICATE, IDM_PAGE_EXPORT}) EnableMenuItem(m, UINT(id), MF_BYCOMMAND | MF_GRAYED);
    if (special || (page && (page->Flag & PageFlag::NoChanges)))
        EnableMenuItem(m, IDM_PAGE_DELETE, MF_BYCOMMAND | MF_GRAYED);
    SetMenuDefaultItem(m, kOpenPosition, TRUE);
    if (r.WindowsVersion >= 600) {
        auto picture = [&](int id) {
            menu.bitmaps.emplace_back(LoadMenuPicture(app.instance, id, UINT(app.rec.DpiY)));
            return menu.bitmaps.back().get();
        };
        SetMenuItemPicture(m, kOpenPosition, TRUE, picture(IDB_MENU_APP));
        SetMenuItemPicture(m, kPageListPosition, TRUE, picture(IDB_MENU_PAGELIST));
        if (currentPagePosition == kCurrentPagePosition) SetMenuItemPicture(m, kAllPagesPosition, TRUE, picture(IDB_MENU_ALLPAGES));
        SetMenuItemPicture(m, UINT(currentPagePosition), TRUE, picture(IDB_MENU_CURRENTPAGE));
        SetMenuItemPicture(m, IDM_PAGE_ADD, FALSE, picture(IDB_MENU_NEWPAGE));
        SetMenuItemPicture(m, IDM_PAGE_SETTINGS, FALSE, picture(IDB_MENU_PAGESETTINGS));
        SetMenuItemPicture(m, IDM_GENERAL_SETTINGS, FALSE, picture(IDB_MENU_GENERAL));
    }
    if (r.GlobalSettings.TabStyle & TabStyleBit::TopMost) CheckMenuItem(m, IDM_ALWAYS_ON_TOP, MF_BYCOMMAND | MF_CHECKED);
}

int TrackContextMenu(App& app, POINT at, const std::u16string* entryName, MenuEntryKind entryKind) {
    ContextMenu menu;
    BuildContextMenu(app, entryName, menu, entryKind);
    if (!menu.popup) return 0;
    DrawMenuBar(app.TabWindow);
    return int(TrackPopupMenu(menu.popup, TPM_RETURNCMD, at.x, at.y, 0, app.TabWindow, nullptr));
}

namespace {
struct MenuPicture {
    UINT item;
    BOOL byPosition;
    int bitmap;
};
const MenuPicture kSystemMenuPictures[] = {
    {kSystemMenuAboutPosition, TRUE, IDB_MENU_APP},
    {kSystemMenuPagesPosition, TRUE, IDB_MENU_CURRENTPAGE},
    {IDM_PAGE_SETTINGS, FALSE, IDB_MENU_PAGESETTINGS},  // in the pages submenu
    {kSystemMenuNewPagePosition, TRUE, IDB_MENU_NEWPAGE},
    {kSystemMenuGeneralPosition, TRUE, IDB_MENU_GENERAL},
};
BitmapPtr g_systemMenuPictures[std::size(kSystemMenuPictures)];
}  // namespace

void SetSystemMenuPictures(App& app) {
    HMENU sys = app.TabWindow ? GetSystemMenu(app.TabWindow, FALSE) : nullptr;
    if (!sys || app.rec.WindowsVersion < 600) return;
    HMENU pages = GetSubMenu(sys, kSystemMenuPagesPosition);
    for (size_t i = 0; i < std::size(kSystemMenuPictures); ++i) {
        const MenuPicture& p = kSystemMenuPictures[i];
        HMENU menu = p.byPosition ? sys : pages;
        if (!menu) continue;
        // The menu lets go of the old picture before it is deleted.
        BitmapPtr picture(LoadMenuPicture(app.instance, p.bitmap, UINT(app.rec.DpiY)));
        SetMenuItemPicture(menu, p.item, p.byPosition, picture.get());
        g_systemMenuPictures[i] = std::move(picture);
    }
}

void ReleaseSystemMenuPictures() {
    for (BitmapPtr& b : g_systemMenuPictures) b.reset();
}

void UpdateSystemMenu(App& app) {
    HMENU sys = app.TabWindow ? GetSystemMenu(app.TabWindow, FALSE) : nullptr;
    if (!sys) return;
    SetPageCaption(sys, kSystemMenuPagesPosition, app);
    HMENU pages = GetSubMenu(sys, kSystemMenuPagesPosition);
    if (!pages) return;
    const Records& r = app.rec;
    if (CurrentIsSpecial(app)) {
        EnableMenuItem(pages, IDM_PAGE_DUPLICATE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(pages, IDM_PAGE_DELETE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(pages, IDM_PAGE_EXPORT, MF_BYCOMMAND | MF_GRAYED);
        return;
    }
    const PageRecord* page = CurrentPage(app);
    EnableMenuItem(pages, IDM_PAGE_DUPLICATE, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(pages, IDM_PAGE_EXPORT, MF_BYCOMMAND | MF_ENABLED);
    bool deletable = page && !(page->Flag & PageFlag::NoChanges) && r.GlobalSettings.PageCount > 1;
    EnableMenuItem(pages, IDM_PAGE_DELETE, MF_BYCOMMAND | (deletable ? MF_ENABLED : MF_GRAYED));
}

void SubclassTabStrip(HWND strip) {
    if (!strip || OriginalStripProc(strip)) return;
    auto original = GetWindowLongPtrW(strip, GWLP_WNDPROC);
    if (!SetPropW(strip, kStripProcProperty, reinterpret_cast<HANDLE>(original))) return;
    SetWindowLongPtrW(strip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabStripProc));
}

void UnsubclassTabStrip(HWND strip) {
    WNDPROC original = strip ? OriginalStripProc(strip) : nullptr;
    if (!original) return;
    SetWindowLongPtrW(strip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(strip, kStripProcProperty);
}

}  // namespace vc
