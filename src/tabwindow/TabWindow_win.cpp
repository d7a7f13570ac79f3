#include "tabwindow/TabWindow_win.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/App_win.h"
#include "app/Startup.h"
#include "common/About_win.h"
#include "common/U16.h"
#include "common/WindowUtil_win.h"
#include "common/Wide_win.h"
#include "resources/resource.h"
#include "generalsettings/GeneralSettings_win.h"
#include "pagesettings/PageSettings.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "settings/SettingsFile.h"
#include "common/MessageBox_win.h"
#include "tabwindow/PageManagement.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/Swatch.h"
#include "tabwindow/Swatch_win.h"
#include "tabwindow/TabTexts.h"

namespace vc {

namespace {

// What the tab window owns; released when it closes.
struct TabWindowState {
    HWND strip = nullptr;
    HWND statusBar = nullptr;
    HFONT tabFont = nullptr;
    HFONT statusFont = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HIMAGELIST TabSwatchList = nullptr;
    std::u16string tipText;  // the tooltip text handed to the strip's tooltip

    void ReleaseResources() {
        if (strip && tabFont) SendMessageW(strip, WM_SETFONT, 0, FALSE);
        if (statusBar && statusFont) SendMessageW(statusBar, WM_SETFONT, 0, FALSE);
        if (tabFont) DeleteObject(tabFont);
        if (statusFont) DeleteObject(statusFont);
        tabFont = statusFont = nullptr;
        bigIcon = smallIcon = nullptr;
    }
    void ReleaseSwatches() {
        if (strip) SendMessageW(strip, TCM_SETIMAGELIST, 0, 0);
        if (TabSwatchList) ImageList_Destroy(TabSwatchList);
        TabSwatchList = nullptr;
    }
};
TabWindowState g_tab;

// Item parameter of a tab: k for the k-th shown special page, 8 + i for user
// page i, so a value below 8 always names a special page.
constexpr LPARAM kUserPageParamBase = 8;

constexpr int kFullSwatchOffset = kLabelColorCount;

// The swatch image of a page's tab: half, or full on the selected tab. A
// damaged colour index shows the first colour instead of no picture.
int SwatchImage(const PageRecord& page, bool selected) {
    int c = page.LabelColor >= 0 && page.LabelColor < kLabelColorCount ? page.LabelColor : 0;
    return selected ? c + kFullSwatchOffset : c;
}

// The page a tab item names through its parameter.
const PageRecord* PageOfParam(const Records& r, LPARAM p) {
    if (p < kUserPageParamBase) {
        return p >= 0 && p < r.ShownSpecialCount ? &r.SpecialPages[r.ShownSpecialPages[size_t(p)]] : nullptr;
    }
    size_t i = size_t(p - kUserPageParamBase);
    return i < r.UserPages.size() ? &r.UserPages[i] : nullptr;
}

void InsertTab(HWND strip, int pos, const PageRecord& page, LPARAM param, bool selected) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
    std::u16string text = TabItemText(page.Label);
    item.pszText = reinterpret_cast<wchar_t*>(text.data());
    item.lParam = param;
    item.iImage = SwatchImage(page, selected);
    SendMessageW(strip, TCM_INSERTITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item));
}

LPARAM TabParam(int pos) {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageW(g_tab.strip, TCM_GETITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item))) return -1;
    return item.lParam;
}

// Gives the tab at `pos` its half or full swatch.
void SetTabSwatch(App& app, int pos, bool selected) {
    const PageRecord* page = PageOfParam(app.rec, TabParam(pos));
    if (!page) return;
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = SwatchImage(*page, selected);
    SendMessageW(g_tab.strip, TCM_SETITEMW, WPARAM(pos), reinterpret_cast<LPARAM>(&item));
}

void BuildSwatchList(App& app, HWND tab) {
    g_tab.ReleaseSwatches();
    uint32_t colors[kLabelColorCount];
    for (int i = 0; i < kLabelColorCount; ++i) colors[i] = LabelColorTable(app.rec.GlobalSettings, i);
    g_tab.TabSwatchList =
        MakeSwatchList(tab, 8, app.rec.GlobalSettings.TabFontSize + 4, colors, kLabelColorCount, SwatchHalf);
    SendMessageW(g_tab.strip, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_tab.TabSwatchList));
}

void InsertUserPageTabs(App& app, HWND strip) {
    const Records& r = app.rec;
    const bool all = r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu;
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        if (!all && (r.UserPages[i].Flag & PageFlag::Unmarked)) continue;
        int count = int(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        InsertTab(strip, count, r.UserPages[i], kUserPageParamBase + LPARAM(i), int32_t(i) == r.CurrentPage);
    }
}

void InsertSpecialPageTabs(App& app, HWND strip) {
    const Records& r = app.rec;
    for (int k = 0; k < r.ShownSpecialCount; ++k)
        InsertTab(strip, k, r.SpecialPages[r.ShownSpecialPages[size_t(k)]], LPARAM(k),
                  k == r.GlobalSettings.TabNumber);
}

// A font like the tab window's, in the given height and face; nullptr when
// none could be made (the window's own font then comes back, which is not
// ours to keep or delete).
HFONT DerivedFont(HWND tab, int height, const std::u16string& face) {
    HFONT font = FontFromWindowFont(tab, height, 0, 0, 0, 0, face);
    return font == reinterpret_cast<HFONT>(SendMessageW(tab, WM_GETFONT, 0, 0)) ? nullptr : font;
}

// Gives `control` the new font and deletes the one it had from us.
void ReplaceFont(HWND control, HFONT& owned, HFONT font, BOOL redraw) {
    if (!font) return;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    if (owned) DeleteObject(owned);
    owned = font;
}

void ApplyTabFont(App& app, HWND tab) {
    const GlobalRecord& g = app.rec.GlobalSettings;
    ReplaceFont(g_tab.strip, g_tab.tabFont, DerivedFont(tab, g.TabFontSize, g.TabFontName), TRUE);
    BuildSwatchList(app, tab);
    LayoutTabWindow(app);
}

void ApplyStatusFont(App& app, HWND tab) {
    if (!g_tab.statusBar) return;
    const int sizes[] = {12, 13, 14, 15};
    int index = StatusBarFontSize(app.rec.GlobalSettings.TabStyle);
    HFONT font = DerivedFont(tab, sizes[index < 4 ? index : 3], app.rec.GlobalSettings.TabFontName);
    if (!font) return;
    ReplaceFont(g_tab.statusBar, g_tab.statusFont, font, TRUE);
    std::u16string count = FileCountText(ThePane().EntryCount);
    SendMessageW(g_tab.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(AsW(count)));
    ShowEntryDetails(app, 0, false);
}

void CreateStatusBar(App& app, HWND tab) {
    (void)app;
    g_tab.statusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, L" ", tab,
                                          IDC_STATUSBAR);
    if (!g_tab.statusBar) return;
    int parts[2] = {180, -1};
    SendMessageW(g_tab.statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void ToggleTransparency(App& app, HWND tab) {
    if (app.rec.WindowsVersion < 500) return;
    GlobalRecord& g = app.rec.GlobalSettings;
    g.TabStyle ^= TabStyleBit::Transparent;
    if (!IsWindow(tab)) return;
    LONG_PTR ex = GetWindowLongPtrW(tab, GWL_EXSTYLE);
    const bool on = g.TabStyle & TabStyleBit::Transparent;
    SetWindowLongPtrW(tab, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED)));
    if (on) SetLayeredWindowAttributes(tab, 0, BYTE(g.LayerWindowLevel & 0xFF), LWA_ALPHA);
}

void DestroyPane() {
    if (HWND pane = CurrentPagePane()) DestroyWindow(pane);
}

void HidePaneAnimated(App& app, DWORD direction) {
    HWND pane = CurrentPagePane();
    if (pane && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation))
        AnimateWindow(pane, 75, AW_SLIDE | AW_HIDE | direction);
}

void CreatePane(App& app) {
    if (!app.TabWindow) return;
    HWND pane = CreatePagePane(app, app.TabWindow);
    if (pane) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void SelectTab(App& app, int tabNumber) {
    Records& r = app.rec;
    HidePaneAnimated(app, AW_VER_NEGATIVE);
    DestroyPane();
    SetTabSwatch(app, r.GlobalSettings.TabNumber, false);
    r.GlobalSettings.TabNumber = tabNumber;
    SendMessageW(g_tab.strip, TCM_SETCURSEL, WPARAM(tabNumber), 0);
    r.CurrentPage = PageOfTab(r, tabNumber);
    SetTabSwatch(app, tabNumber, true);
    CreatePane(app);
}

void FocusPaneList() {
    if (HWND pane = CurrentPagePane()) SetFocus(GetDlgItem(pane, IDC_PAGELIST));
}

// Every tab again, after the pages were renumbered; only the selected tab
// shows its full swatch.
void RebuildTabs(App& app) {
    SendMessageW(g_tab.strip, TCM_DELETEALLITEMS, 0, 0);
    InsertUserPageTabs(app, g_tab.strip);
    InsertSpecialPageTabs(app, g_tab.strip);
    SendMessageW(g_tab.strip, TCM_SETCURSEL, WPARAM(app.rec.GlobalSettings.TabNumber), 0);
}

bool UserPageSelected(const App& app) {
    return app.rec.GlobalSettings.TabNumber >= app.rec.ShownSpecialCount && !app.rec.UserPages.empty();
}

void AddPageCommand(App& app) {
    Records& r = app.rec;
    // At the page limit the command changes nothing: not the file, not the
    // page shown.
    if (!RoomForAnotherPage(r)) return;
    // One command, one replacement of the file.
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    DestroyPane();
    AddPage(r, app.store);
    const PageRecord& added = r.UserPages.back();
    // A new page that is no tab (its defaults say unmarked) leaves the
    // selection where it was.
    if ((r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu) || !(added.Flag & PageFlag::Unmarked)) {
        r.GlobalSettings.TabNumber = int32_t(r.ShownSpecialCount) + UserTabCount(r) - 1;
        r.CurrentPage = PageOfTab(r, r.GlobalSettings.TabNumber);
    }
    RebuildTabs(app);
    CreatePane(app);
    WriteGlobalSettings(r, app.store);
}

// Page settings: the dialog edits the page in the current tab; after OK the
// page's look is stored.
void PageSettingsCommand(App& app, HWND tab) {
    UpdateWindow(tab);
    if (RunPageSettingsDialog(app, tab) != IDOK) return;
    const PageId id = PageIdOfCurrentTab(app.rec);
    if (id < 0) return;
    ProfileBatch batch(app.store);
    WritePage(app.rec, app.store, id, WriteGroup::Look);
}

// General settings: the dialog edits copies of every page and of the user
// label colours, and the special page set; after OK the window takes over
// what changed.
void GeneralSettingsCommand(App& app, HWND tab) {
    Records& r = app.rec;
    GlobalRecord& g = r.GlobalSettings;
    UpdateWindow(tab);
    // Registrations made since the page was shown belong in the copy.
    StorePaneEntriesInPage();
    GeneralSettingsSession session;
    for (int k = 0; k < r.ShownSpecialCount; ++k) session.pages.push_back(r.SpecialPages[r.ShownSpecialPages[size_t(k)]]);
    session.pages.insert(session.pages.end(), r.UserPages.begin(), r.UserPages.end());
    session.shownSpecialCount = r.ShownSpecialCount;
    for (int n = 1; n <= 5; ++n) session.labelColours[size_t(n - 1)] = g.LabelColorN(n);
    if (RunGeneralSettingsDialog(app, tab, session) != IDOK) return;

    // What the user changed is stored now, in one write, not at exit: a crash
    // or a log-off that goes wrong must not take it back.
    ProfileBatch batch(app.store);
    if (session.PagesReorganised) {
        // A user page shown stays shown where the pages pane moved it.
        const int32_t moved = session.shownPosition - r.ShownSpecialCount;
        if (g.TabNumber >= r.ShownSpecialCount && moved >= 0 && size_t(moved) < r.UserPages.size() &&
            app.store.BatchReadable())
            r.CurrentPage = moved;
        ApplyNewPageOrder(app, session.pages);
    }

    const bool wantStatus = g.TabStyle & TabStyleBit::StatusBar;
    if (!wantStatus && g_tab.statusBar) {
        if (g_tab.statusFont) SendMessageW(g_tab.statusBar, WM_SETFONT, 0, FALSE);
        DestroyWindow(g_tab.statusBar);
        g_tab.statusBar = nullptr;
        LayoutTabWindow(app);
    } else if (wantStatus && !g_tab.statusBar) {
        CreateStatusBar(app, tab);
        ApplyStatusFont(app, tab);
        if (g_tab.statusBar) {
            std::u16string count = FileCountText(ThePane().EntryCount);
            SendMessageW(g_tab.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(AsW(count)));
            RECT rc;
            GetClientRect(tab, &rc);
            SendMessageW(g_tab.statusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
        }
        LayoutTabWindow(app);
    }

    if (session.SpecialSetChanged) {
        // The page shown stays shown when it is still a tab; a special page
        // that went away gives way to the first tab.
        const int32_t shownFolder =
            g.TabNumber < r.ShownSpecialCount ? r.ShownSpecialPages[size_t(g.TabNumber)] : -1;
        DestroyPane();
        RecountShownSpecialPages(r);
        int32_t tabNumber = 0;
        if (shownFolder < 0) {
            tabNumber = TabOfPage(r, r.CurrentPage);
        } else {
            for (int k = 0; k < r.ShownSpecialCount; ++k)
                if (r.ShownSpecialPages[size_t(k)] == shownFolder) tabNumber = k;
        }
        const int32_t tabs = int32_t(r.ShownSpecialCount) + UserTabCount(r);
        g.TabNumber = tabNumber >= 0 && tabNumber < tabs ? tabNumber : 0;
        r.CurrentPage = PageOfTab(r, g.TabNumber);
        RebuildTabs(app);
        CreatePane(app);
    }

    if (session.LabelColoursChanged) {
        for (int n = 1; n <= 5; ++n) g.LabelColorN(n) = session.labelColours[size_t(n - 1)];
        BuildSwatchList(app, tab);
    }
    WriteGlobalSettings(r, app.store);
    RedrawWindow(g_tab.strip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (HWND pane = CurrentPagePane()) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DuplicatePageCommand(App& app) {
    if (!UserPageSelected(app) || !RoomForAnotherPage(app.rec)) return;
    Records& r = app.rec;
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    DestroyPane();
    DuplicatePage(r, app.store, r.CurrentPage);
    r.GlobalSettings.TabNumber += 1;
    r.CurrentPage = PageOfTab(r, r.GlobalSettings.TabNumber);
    RebuildTabs(app);
    CreatePane(app);
    WriteGlobalSettings(r, app.store);
}

void DeletePageCommand(App& app, HWND tab) {
    Records& r = app.rec;
    if (!UserPageSelected(app) || r.GlobalSettings.PageCount <= 1) return;
    const PageRecord& page = r.UserPages[size_t(r.CurrentPage)];
    // A locked page refuses its deletion however the command arrives, as it
    // refuses drops and removals.
    if (page.Flag & PageFlag::NoChanges) return;
    std::u16string question = u"ページ \"" + std::u16string(CutTo(page.Label, 32)) + u"\" を削除しますか？ ";
    if (ShowMessageBox(tab, kMessageBoxYesNoSecond, question) != kMessageBoxYes) return;
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    DestroyPane();
    DeletePage(r, app.store, r.CurrentPage);
    r.GlobalSettings.TabNumber = std::max(r.GlobalSettings.TabNumber - 1, 0);
    r.CurrentPage = PageOfTab(r, r.GlobalSettings.TabNumber);
    RebuildTabs(app);
    CreatePane(app);
    WriteGlobalSettings(r, app.store);
}

void ForwardToPane(UINT msg, WPARAM wp, LPARAM lp) {
    if (HWND pane = CurrentPagePane()) SendMessageW(pane, msg, wp, lp);
}

void RefreshPane() {
    HWND pane = CurrentPagePane();
    if (!pane) return;
    SendDlgItemMessageW(pane, IDC_PAGELIST, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(pane, WM_COMMAND, DestroyImageLists, 0);
    SendMessageW(pane, WM_COMMAND, CreateImageLists, 0);
    SendMessageW(pane, WM_COMMAND, AllocateEntries, 0);
    PostMessageW(pane, WM_COMMAND, StartLoading, 0);
}

// The tooltip of the tab that asks: the page's comment and entry count, in
// the page's own colours.
void OnTabTooltip(App& app, NMTTDISPINFOW* info) {
    int pos = int(info->hdr.idFrom);
    const PageRecord* page = PageOfParam(app.rec, TabParam(pos));
    if (!page) return;
    LPARAM param = TabParam(pos);
    // Drops and removals since the page was shown count too.
    StorePaneEntriesInPage();
    int count = param >= kUserPageParamBase ? CountEntries(page->Files) : CountSpecialFolderEntries(*page);
    g_tab.tipText = TabTooltipText(page->Comment, count);
    SendMessageW(info->hdr.hwndFrom, TTM_SETTIPTEXTCOLOR, page->FontColor, 0);
    SendMessageW(info->hdr.hwndFrom, TTM_SETTIPBKCOLOR, page->FontColorBk, 0);
    info->lpszText = reinterpret_cast<wchar_t*>(g_tab.tipText.data());
    info->hinst = nullptr;
}

// The closing sequence: store the global settings, release what the window
// holds, and end the program through the host window.
void CloseTabWindow(App& app, HWND tab) {
    {
        // The page and the global settings reach the file in one write.
        ProfileBatch batch(app.store);
        DestroyPane();
        if (app.HostWindow) ShowWindow(app.HostWindow, SW_HIDE);
        if (app.rec.WindowsVersion < 600 && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation))
            AnimateWindow(tab, 75, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
        WriteGlobalSettings(app.rec, app.store);
    }
    g_tab.ReleaseResources();
    CoUninitialize();
    UnsubclassTabStrip(g_tab.strip);
    DestroyWindow(tab);
    app.TabWindow = nullptr;
    if (app.HostWindow) PostMessageW(app.HostWindow, WM_CLOSE, 0, 0);
}

void OnInitDialog(App& app, HWND tab) {
    app.TabWindow = tab;
    Records& r = app.rec;
    GlobalRecord& g = r.GlobalSettings;
    std::u16string caption = TabWindowCaption(r.WindowName);
    SetWindowTextW(tab, AsW(caption));

    if (g.TabStyle & TabStyleBit::StatusBar) {
        CreateStatusBar(app, tab);
        ApplyStatusFont(app, tab);
    }

    PlaceTabWindow(tab, g.xPosi, g.yPosi, g.xSize, g.ySize);
    InstallBackground(tab);

    g_tab.strip = GetDlgItem(tab, IDC_TABSTRIP);
    HWND strip = g_tab.strip;
    LONG_PTR ts = GetWindowLongPtrW(strip, GWL_STYLE);
    ts = (g.TabStyle & TabStyleBit::Bottom) ? (ts | TCS_BOTTOM) : (ts & ~LONG_PTR(TCS_BOTTOM));
    ts = (g.TabStyle & TabStyleBit::MultiLine) ? (ts | TCS_MULTILINE) : (ts & ~LONG_PTR(TCS_MULTILINE));
    SetWindowLongPtrW(strip, GWL_STYLE, ts);

    ReplaceFont(strip, g_tab.tabFont, DerivedFont(tab, g.TabFontSize, g.TabFontName), FALSE);
    BuildSwatchList(app, tab);

    InsertUserPageTabs(app, strip);
    InsertSpecialPageTabs(app, strip);
    SendMessageW(strip, TCM_SETCURSEL, WPARAM(g.TabNumber), 0);
    SendMessageW(strip, TCM_SETMINTABWIDTH, 0, 16);
    SendMessageW(strip, TCM_SETPADDING, 0, MAKELPARAM(7, 4));
    SendMessageW(strip, TCM_SETEXTENDEDSTYLE, TCS_EX_REGISTERDROP, TCS_EX_REGISTERDROP);

    if (HWND tip = reinterpret_cast<HWND>(SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 255);
        RECT margin{3, 2, 3, 2};
        if (r.CommonControlsVersion >= 580) {
            LONG_PTR st = GetWindowLongPtrW(tip, GWL_STYLE);
            SetWindowLongPtrW(tip, GWL_STYLE, (st | TTS_BALLOON) & ~LONG_PTR(WS_BORDER));
            margin = {-2, -3, -2, -3};
        }
        SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }

    // Shared with the host window's class, which has loaded the large one
    // already; shared icons belong to the system and are not destroyed.
    g_tab.bigIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED));
    g_tab.smallIcon = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(tab, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_tab.bigIcon));
    SendMessageW(tab, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_tab.smallIcon));

    SubclassTabStrip(strip);
    // The page pane comes right after the window is on screen: the window
    // shows without waiting for the list, its columns and its image lists.
    PostMessageW(tab, WM_COMMAND, IDM_CREATE_FIRST_PANE, 0);
    LayoutTabWindow(app);
    PostMessageW(tab, WM_COMMAND, IDM_APPLY_TAB_FONT, 0);

    if (r.WindowsVersion < 600 && (g.TabStyle & TabStyleBit::Animation))
        AnimateWindow(tab, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

// Commands of the tab window, from menus and from the system menu alike.
using CommandFn = INT_PTR (*)(App&, HWND tab, WPARAM, LPARAM);
struct Command {
    int id;
    CommandFn fn;
};
const Command kCommands[] = {
    {IDM_TOGGLE_TRANSPARENCY, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { ToggleTransparency(a, t); return 0; }},
    {IDM_EXIT, [](App&, HWND t, WPARAM, LPARAM) -> INT_PTR { PostMessageW(t, WM_CLOSE, 0, 0); return TRUE; }},
    {IDM_APPLY_TAB_FONT, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { ApplyTabFont(a, t); return 0; }},
    {IDM_APPLY_STATUS_FONT, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { ApplyStatusFont(a, t); return 0; }},
    {IDM_REFRESH, [](App&, HWND, WPARAM, LPARAM) -> INT_PTR { RefreshPane(); return 0; }},
    {IDOK, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_CREATE_FIRST_PANE,
     [](App& a, HWND, WPARAM, LPARAM) -> INT_PTR {
         if (!CurrentPagePane()) {
             CreatePane(a);
             LayoutTabWindow(a);
         }
         return 0;
     }},
    {IDM_PAGE_ADD, [](App& a, HWND, WPARAM, LPARAM) -> INT_PTR { AddPageCommand(a); return 0; }},
    {IDM_ABOUT,
     [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR {
         UpdateWindow(t);
         RunAboutDialog(a, t);
         return 0;
     }},
    {IDM_GENERAL_SETTINGS, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { GeneralSettingsCommand(a, t); return 0; }},
    {IDM_PAGE_SETTINGS, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { PageSettingsCommand(a, t); return 0; }},
    {IDM_PAGE_DUPLICATE, [](App& a, HWND, WPARAM, LPARAM) -> INT_PTR { DuplicatePageCommand(a); return 0; }},
    {IDM_PAGE_DELETE, [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR { DeletePageCommand(a, t); return 0; }},
    {IDM_ENTRY_REMOVE, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_ENTRY_ADD, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_ENTRY_SHOW_LOCATION,
     [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_VIEW_TILE, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_VIEW_ICON, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_VIEW_SMALLICON,
     [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_VIEW_DETAILS, [](App&, HWND, WPARAM w, LPARAM l) -> INT_PTR { ForwardToPane(WM_COMMAND, w, l); return 0; }},
    {IDM_ALWAYS_ON_TOP,
     [](App& a, HWND t, WPARAM, LPARAM) -> INT_PTR {
         a.rec.GlobalSettings.TabStyle ^= TabStyleBit::TopMost;
         SetTopMost(t, a.rec.GlobalSettings.TabStyle & TabStyleBit::TopMost);
         return 0;
     }},
};

// Returns true (with the result) when `id` is one of the window's commands.
bool RunCommand(App& app, HWND tab, int id, WPARAM wp, LPARAM lp, INT_PTR& result) {
    if (id >= IDM_SELECT_PAGE_FIRST && id <= IDM_SELECT_PAGE_LAST) {
        SelectPageByNumber(app, id - IDM_SELECT_PAGE_FIRST);
        result = 0;
        return true;
    }
    for (const Command& c : kCommands) {
        if (c.id == id) {
            result = c.fn(app, tab, wp, lp);
            return true;
        }
    }
    return false;
}

void StorePlacement(App& app, HWND tab, bool size) {
    if (IsIconic(tab) || IsZoomed(tab)) return;
    RECT rc;
    if (!GetWindowRect(tab, &rc)) return;
    GlobalRecord& g = app.rec.GlobalSettings;
    if (size) {
        g.xSize = rc.right - rc.left;
        g.ySize = rc.bottom - rc.top;
    } else {
        g.xPosi = rc.left;
        g.yPosi = rc.top;
    }
}

}  // namespace

void ShowEntryDetails(App& app, int index, bool blank) {
    (void)app;
    if (!g_tab.statusBar) return;
    std::u16string text;
    const PaneState& pane = ThePane();
    if (blank) {
        text = u" ";
    } else if (index >= 0 && index < pane.EntryCount && size_t(index) < pane.EntryTable.size()) {
        const FileEntry& e = pane.EntryTable[size_t(index)];
        text = EntryDetailsText(EntryDateText(e.LastWriteTime), e.Size);
    }
    SendMessageW(g_tab.statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(AsW(text)));
}

HWND CreateTabWindow(App& app, HWND owner) {
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_TABWINDOW), owner, TabWindowProc, 0);
}

void LayoutTabWindow(App& app) {
    HWND tab = app.TabWindow;
    if (!tab || !g_tab.strip) return;
    RECT rc;
    GetClientRect(tab, &rc);
    int statusHeight = 0;
    RECT part{};
    int borders[3] = {};
    if (g_tab.statusBar && SendMessageW(g_tab.statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part)) &&
        SendMessageW(g_tab.statusBar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)))
        statusHeight = (part.bottom - part.top) + borders[1];
    MoveWindow(g_tab.strip, 2, 2, rc.right - 4, rc.bottom - statusHeight - 4, FALSE);
    PlacePagePane(app);
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ApplyNewPageOrder(App& app, const std::vector<PageRecord>& copy) {
    Records& r = app.rec;
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    // The closing pane must not write its page into a record that has moved.
    ThePane().PagesReorganised = true;
    DestroyPane();
    TakeOverPages(r, app.store, copy);
    // A well-known folder page keeps its tab: those pages do not move, and
    // CurrentPage (-1 for them) names no tab to go back to.
    if (r.GlobalSettings.TabNumber >= r.ShownSpecialCount)
        r.GlobalSettings.TabNumber = TabOfPage(r, r.CurrentPage);
    r.CurrentPage = PageOfTab(r, r.GlobalSettings.TabNumber);
    ThePane().PagesReorganised = false;
    RebuildTabs(app);
    CreatePane(app);
}

void StoreTabWindowState(App& app) {
    if (!app.TabWindow) return;
    Records& r = app.rec;
    // One write, as at close, but the pane and the window stay.
    ProfileBatch batch(app.store);
    StorePaneEntriesInPage();
    const PageId id = PageIdOfCurrentTab(r);
    if (CurrentPagePane() && id >= 0) WritePage(r, app.store, id, WriteGroup::All);
    WriteGlobalSettings(r, app.store);
}

void PlacePagePane(App& app) {
    (void)app;
    HWND pane = CurrentPagePane();
    if (!pane || !g_tab.strip) return;
    RECT rc;
    GetClientRect(g_tab.strip, &rc);
    SendMessageW(g_tab.strip, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    LONG_PTR st = GetWindowLongPtrW(g_tab.strip, GWL_STYLE);
    if (!(st & TCS_VERTICAL)) {
        if (st & TCS_BOTTOM) rc.bottom -= 2;
        else rc.top += 2;
    }
    // The strip sits at (2, 2) in the window: its display area moves with it.
    OffsetRect(&rc, 2, 2);
    MoveWindow(pane, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

void SelectAdjacentTab(App& app, int delta) {
    if (!g_tab.strip) return;
    int count = int(SendMessageW(g_tab.strip, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    int n = app.rec.GlobalSettings.TabNumber + delta;
    if (n < 0) n = count - 1;
    if (n >= count) n = 0;
    SelectTab(app, n);
}

void SelectMainPage(App& app) {
    Records& r = app.rec;
    for (int k = 0; k < r.ShownSpecialCount; ++k) {
        if (r.SpecialPages[r.ShownSpecialPages[size_t(k)]].Flag & PageFlag::MainPage) {
            SelectTab(app, k);
            FocusPaneList();
            return;
        }
    }
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        if (!(r.UserPages[i].Flag & PageFlag::MainPage)) continue;
        int tab = TabOfPage(r, int32_t(i));
        // A main page that is not a tab (hidden while unmarked) has nowhere to go.
        if (PageOfTab(r, tab) == int32_t(i)) {
            SelectTab(app, tab);
            FocusPaneList();
        }
        return;
    }
}

void SelectPageByNumber(App& app, int n) {
    Records& r = app.rec;
    if (n < r.ShownSpecialCount) {
        SelectTab(app, n);
        return;
    }
    int page = n - r.ShownSpecialCount;
    if (page >= int(r.UserPages.size())) return;
    int tab = TabOfPage(r, page);
    if (PageOfTab(r, tab) == page) SelectTab(app, tab);
}

INT_PTR CALLBACK TabWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    App& app = TheApp();
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(app, hwnd);
        // No focus yet: setting it would activate the hidden window once
        // more before it is shown. The dialog gives the strip the focus when
        // the window is activated on show.
        return FALSE;
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED || wp == SIZE_MAXIMIZED) return 0;
        if (g_tab.statusBar) SendMessageW(g_tab.statusBar, WM_SIZE, wp, lp);
        LayoutTabWindow(app);
        StorePlacement(app, hwnd, true);
        return 0;
    case WM_MOVE: StorePlacement(app, hwnd, false); return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {35, 35};
        return 0;
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == g_tab.strip && nm->code == TCN_SELCHANGING) {
            HidePaneAnimated(app, (app.rec.GlobalSettings.TabStyle & TabStyleBit::Bottom) ? AW_VER_POSITIVE
                                                                                          : AW_VER_NEGATIVE);
        } else if (nm->hwndFrom == g_tab.strip && nm->code == TCN_SELCHANGE) {
            SetTabSwatch(app, app.rec.GlobalSettings.TabNumber, false);
            DestroyPane();
            int sel = int(SendMessageW(g_tab.strip, TCM_GETCURSEL, 0, 0));
            app.rec.GlobalSettings.TabNumber = sel;
            app.rec.CurrentPage = PageOfTab(app.rec, sel);
            SetTabSwatch(app, sel, true);
            CreatePane(app);
        } else if (nm->code == TTN_GETDISPINFOW &&
                   nm->hwndFrom == reinterpret_cast<HWND>(SendMessageW(g_tab.strip, TCM_GETTOOLTIPS, 0, 0))) {
            OnTabTooltip(app, reinterpret_cast<NMTTDISPINFOW*>(lp));
        }
        return 0;
    }
    case WM_CTLCOLORDLG:
        // The textured background shows in the margins around the tab strip.
        if (BackgroundBrush()) return reinterpret_cast<INT_PTR>(BackgroundBrush());
        return 0;
    case WM_SYSCOLORCHANGE:
        InstallBackground(hwnd);
        // The half swatches stand on the face colour.
        BuildSwatchList(app, hwnd);
        InvalidateRect(g_tab.strip, nullptr, TRUE);
        return 0;
    case WM_DISPLAYCHANGE: {
        const GlobalRecord& g = app.rec.GlobalSettings;
        PlaceTabWindow(hwnd, g.xPosi, g.yPosi, g.xSize, g.ySize);
        return 0;
    }
    case WM_COMMAND: {
        INT_PTR result = 0;
        RunCommand(app, hwnd, LOWORD(wp), wp, lp, result);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return result;
    }
    case WM_NCRBUTTONDOWN:
        UpdateSystemMenu(app);
        return 0;
    case WM_INITMENUPOPUP:
        // The caption icon, the taskbar button and the keys all open the
        // system menu through here.
        if (HIWORD(lp) || reinterpret_cast<HMENU>(wp) == GetSystemMenu(hwnd, FALSE)) UpdateSystemMenu(app);
        return 0;
    case WM_SYSCOMMAND: {
        if ((wp & 0xFFF0) == SC_KEYMENU) {
            UpdateSystemMenu(app);
            return 0;
        }
        INT_PTR result = 0;
        if (RunCommand(app, hwnd, LOWORD(wp), wp, lp, result)) return TRUE;
        return 0;
    }
    case WM_CLOSE: CloseTabWindow(app, hwnd); return 0;
    case WM_DROPFILES: ForwardToPane(msg, wp, lp); return 0;
    case WM_DESTROY:
        g_tab.ReleaseSwatches();
        g_tab.strip = g_tab.statusBar = nullptr;
        return TRUE;
    }
    return FALSE;
}

}  // namespace vc
