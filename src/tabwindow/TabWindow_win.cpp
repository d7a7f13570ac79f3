#include "tabwindow/TabWindow_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/MessageBox_win.h"
#include "common/U16.h"
#include "common/WindowUtil_win.h"
#include "common/Wide_win.h"
#include "resources/resource.h"
#include "generalsettings/GeneralSettings_win.h"
#include "pagesettings/PageSettings.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "settings/Backups_win.h"
#include "settings/SettingsFile.h"
#include "tabwindow/PageManagement.h"
#include "tabwindow/NotifyIcon_win.h"
#include "tabwindow/PageMenus_win.h"
#include "common/Swatch.h"
#include "common/Swatch_win.h"
#include "tabwindow/TabCommands.h"
#include "tabwindow/TabDrop_win.h"
#include "common/TabTexts.h"
#include "tabwindow/TabWindowParts_win.h"

namespace vc {

namespace {

// What the tab window owns; released when it closes. The fonts and the
// swatches come first: they go after the windows that use them.
struct TabWindowState {
    FontPtr tabFont;
    FontPtr statusFont;
    ImageListPtr swatches;  // a tab strip never destroys its image list
    HWND strip = nullptr;      // the dialog's own child
    HWND statusBar = nullptr;  // destroyed with the dialog
    std::u16string tipText;    // the text handed to the tooltip
    int outsideChanges = 0;    // the store's count of changes other programs made, as the tabs show them
    bool placingStored = false;  // the window is being put where the file says, at the size it says
    // The user page whose tab comes next at the strip's end while the tabs
    // past the shown ones wait for the window to be on screen; none when
    // every tab is in.
    std::optional<size_t> nextTabPage;

    void ReleaseFonts() {
        // WM_SETFONT lent the fonts: the controls let go of them first.
        if (strip && tabFont) SendMessageW(strip, WM_SETFONT, 0, FALSE);
        if (statusBar && statusFont) SendMessageW(statusBar, WM_SETFONT, 0, FALSE);
        tabFont.reset();
        statusFont.reset();
    }
    void ReleaseSwatches() {
        if (strip) SendMessageW(strip, TCM_SETIMAGELIST, 0, 0);
        swatches.reset();
    }
};
TabWindowState g_tab;

// The strip sits this far inside the window's client area on every side.
constexpr int kStripMargin = 2;
// A horizontal strip's display area gives the pane this much more room on
// the side of the tabs.
constexpr int kPaneTabGap = 2;
// Tab swatch width; its height follows the tab font.
constexpr int kTabSwatchWidth = 8;
constexpr int kTabSwatchExtraHeight = 4;
// Status bar part 0 (the entry count) is this wide; part 1 fills the rest.
constexpr int kStatusCountWidth = 180;
// Status bar font heights by StatusBarFontSize.
constexpr int kStatusFontHeights[] = {12, 13, 14, 15};
constexpr int kMinTabWidth = 16;
constexpr SIZE kTabPadding{7, 4};
constexpr int kMaxTipWidth = 255;  // tooltips of longer comments break into lines
constexpr POINT kMinWindowSize{35, 35};
// How long the pane and the window slide.
constexpr DWORD kSlideMilliseconds = 75;

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

// A size designed for 96 DPI, for the DPI the window is on now.
int ScaledX(const App& app, int v) { return ScaleToDpi(v, app.rec.DpiX); }
int ScaledY(const App& app, int v) { return ScaleToDpi(v, app.rec.DpiY); }
void SetTabSpacing(const App& app);
void CreateStatusBarParts(const App& app);
void SetWindowIcons(const App& app, HWND tab);

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

// Puts the tabs of user pages from `from` on at the strip's end until
// `enough` holds; the page whose tab would come next, if any is left.
template <class Enough>
std::optional<size_t> AppendUserPageTabs(App& app, HWND strip, size_t from, Enough enough) {
    const Records& r = app.rec;
    const bool all = r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu;
    for (size_t i = from; i < r.UserPages.size(); ++i) {
        if (!all && (r.UserPages[i].Flag & PageFlag::Unmarked)) continue;
        if (enough()) return i;
        int count = int(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        InsertTab(strip, count, r.UserPages[i], kUserPageParamBase + LPARAM(i), int32_t(i) == r.CurrentPage);
    }
    return std::nullopt;
}

void InsertUserPageTabs(App& app, HWND strip) {
    g_tab.nextTabPage.reset();
    AppendUserPageTabs(app, strip, 0, [] { return false; });
}

void InsertSpecialPageTabs(App& app, HWND strip) {
    const Records& r = app.rec;
    for (int k = 0; k < r.ShownSpecialCount; ++k)
        InsertTab(strip, k, r.SpecialPages[r.ShownSpecialPages[size_t(k)]], LPARAM(k),
                  k == r.GlobalSettings.TabNumber);
}

// Each tab costs the strip about half a millisecond: with hundreds of pages
// the window would wait for tabs nobody sees yet. It starts with the tabs up
// to the selected one and those beside it that fit in its width; the rest
// follow once it shows, a few at a time so that the window keeps answering.
// A strip of several rows shows every tab, so it gets them all at once.
void InsertStartingTabs(App& app, HWND strip, HWND tab) {
    const Records& r = app.rec;
    if (r.GlobalSettings.TabStyle & TabStyleBit::MultiLine) {
        InsertUserPageTabs(app, strip);
        InsertSpecialPageTabs(app, strip);
        return;
    }
    InsertSpecialPageTabs(app, strip);
    RECT client{};
    GetClientRect(tab, &client);
    const auto pastTheWidth = [&] {
        const int count = int(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        RECT last{};
        // One tab beyond the width: the strip's scroll arrows come with it.
        return count > r.GlobalSettings.TabNumber &&
               (!SendMessageW(strip, TCM_GETITEMRECT, WPARAM(count - 1), reinterpret_cast<LPARAM>(&last)) ||
                last.left >= client.right);
    };
    g_tab.nextTabPage = AppendUserPageTabs(app, strip, 0, pastTheWidth);
}

// A font like the tab window's, in the given height and face; empty when
// none could be made.
FontPtr DerivedFont(HWND tab, int height, const std::u16string& face) {
    return FontPtr(FontFromWindowFont(tab, height, 0, 0, 0, 0, face));
}

// Gives `control` the new font and deletes the one it had from us.
void ReplaceFont(HWND control, FontPtr& owned, FontPtr font, BOOL redraw) {
    if (!font) return;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), redraw);
    owned = std::move(font);
}

void CreateStatusBar(HWND tab) {
    g_tab.statusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, L" ", tab,
                                          IDC_STATUSBAR);
    if (!g_tab.statusBar) return;
    CreateStatusBarParts(TheApp());
}

void ShowFileCount() {
    std::u16string count = FileCountText(ThePane().EntryCount);
    SendMessageW(g_tab.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(AsW(count)));
}

void HidePaneAnimated(App& app, DWORD direction) {
    HWND pane = CurrentPagePane();
    if (pane && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation))
        AnimateWindow(pane, kSlideMilliseconds, AW_SLIDE | AW_HIDE | direction);
}

}  // namespace

void SelectTab(App& app, int tabNumber) {
    Records& r = app.rec;
    if (tabNumber >= int(SendMessageW(g_tab.strip, TCM_GETITEMCOUNT, 0, 0))) InsertWaitingTabs(app, 0);
    HidePaneAnimated(app, AW_VER_NEGATIVE);
    DestroyPane();
    SetTabSwatch(app, r.GlobalSettings.TabNumber, false);
    r.GlobalSettings.TabNumber = tabNumber;
    SendMessageW(g_tab.strip, TCM_SETCURSEL, WPARAM(tabNumber), 0);
    r.CurrentPage = PageOfTab(r, tabNumber);
    SetTabSwatch(app, tabNumber, true);
    CreatePane(app);
}

namespace {

void FocusPaneList() {
    if (HWND pane = CurrentPagePane()) SetFocus(GetDlgItem(pane, IDC_PAGELIST));
}

// The tooltip of the tab that asks (its tool is the tab's position): the
// page's comment and entry count, in the page's own colours.
void OnTabTooltip(App& app, NMTTDISPINFOW* info) {
    info->szText[0] = L'\0';
    info->lpszText = info->szText;
    int pos = int(info->hdr.idFrom);
    const PageRecord* page = PageOfParam(app.rec, TabParam(pos));
    if (!page) return;
    LPARAM param = TabParam(pos);
    // Drops and removals since the page was shown count too.
    StorePaneEntriesInPage();
    int count = param >= kUserPageParamBase ? CountEntries(page->Files) : SpecialFolderEntryCount(*page, info->hdr.hwndFrom);
    g_tab.tipText = TabTooltipText(page->Comment, count);
    SendMessageW(info->hdr.hwndFrom, TTM_SETTIPTEXTCOLOR, page->FontColor, 0);
    SendMessageW(info->hdr.hwndFrom, TTM_SETTIPBKCOLOR, page->FontColorBk, 0);
    info->lpszText = reinterpret_cast<wchar_t*>(g_tab.tipText.data());
    info->hinst = nullptr;
}

// The last changes never go without a word. A write at close that failed
// is tried again while the user asks for it; what still could not be
// written is kept beside the file, and the next start offers it. When the
// session ends nothing may wait for the user: it is kept at once.
void KeepUnwrittenChanges(App& app, HWND tab) {
    // A file the user has marked read-only is meant to stay as it is.
    const DWORD attributes = GetFileAttributesW(AsW(app.store.path()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
    while (!app.store.ReadOnly() && !app.store.UnwrittenBytes().empty()) {
        const std::u16string unsaved = CompanionPathOf(app.store.path(), u"_Unsaved");
        if (!app.sessionEnding) {
            const std::u16string text = u"変更を設定ファイル \"" + app.store.path() +
                                        u"\" に保存できませんでした。\n再試行しない場合、変更は \"" + unsaved +
                                        u"\" に残し、次の起動時に戻せるようにします。";
            if (AskBetween(tab, text, u"再試行(&R)", u"残して終了(&K)")) {
                // A store out of step with the file stores everything again.
                ProfileBatch retry(app.store);
                continue;
            }
        }
        app.store.fs().ReplaceAtomically(unsaved, app.store.UnwrittenBytes());
        return;
    }
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
            AnimateWindow(tab, kSlideMilliseconds, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
        // A session that ends under the general settings keeps what the user
        // had confirmed, not what the dialog shows.
        ConfirmedGlobalSettings(app.rec.GlobalSettings);
        WriteGlobalSettings(app.rec, app.store);
    }
    KeepUnwrittenChanges(app, tab);
    g_tab.ReleaseFonts();
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
    // A run that will not write says so where the user looks, for as long
    // as it runs.
    if (app.store.ReadOnly()) caption += u" (読み取り専用)";
    SetWindowTextW(tab, AsW(caption));

    if (g.TabStyle & TabStyleBit::StatusBar) {
        CreateStatusBar(tab);
        ApplyStatusFont(app, tab);
    }

    if (!g.SizeStored) {
        g.xSize = ScaledX(app, GlobalRecord{}.xSize);
        g.ySize = ScaledY(app, GlobalRecord{}.ySize);
        g.SizeStored = true;
    }
    g_tab.placingStored = true;
    PlaceTabWindow(tab, g.xPosi, g.yPosi, g.xSize, g.ySize);
    g_tab.placingStored = false;
    // Placed on a monitor whose DPI is not the system's, the window takes
    // that monitor's DPI for everything it makes from here on.
    if (const UINT dpi = WindowDpi(tab, UINT(r.DpiY)); float(dpi) != r.DpiY) {
        r.DpiX = r.DpiY = float(dpi);
        if (g_tab.statusBar) CreateStatusBarParts(app), ApplyStatusFont(app, tab);
    }
    InstallBackground(tab, app.instance);

    g_tab.strip = GetDlgItem(tab, IDC_TABSTRIP);
    HWND strip = g_tab.strip;
    LONG_PTR ts = GetWindowLongPtrW(strip, GWL_STYLE);
    ts = (g.TabStyle & TabStyleBit::Bottom) ? (ts | TCS_BOTTOM) : (ts & ~LONG_PTR(TCS_BOTTOM));
    ts = (g.TabStyle & TabStyleBit::MultiLine) ? (ts | TCS_MULTILINE) : (ts & ~LONG_PTR(TCS_MULTILINE));
    SetWindowLongPtrW(strip, GWL_STYLE, ts);

    ReplaceFont(strip, g_tab.tabFont, DerivedFont(tab, ScaledY(app, g.TabFontSize), g.TabFontName), FALSE);
    BuildSwatchList(app, tab);

    InsertStartingTabs(app, strip, tab);
    SendMessageW(strip, TCM_SETCURSEL, WPARAM(g.TabNumber), 0);
    SetTabSpacing(app);

    SetWindowIcons(app, tab);

    SubclassTabStrip(strip);
    // The page pane comes right after the window is on screen: the window
    // shows without waiting for the list, its columns and its image lists.
    PostMessageW(tab, WM_COMMAND, IDM_CREATE_FIRST_PANE, 0);
    LayoutTabWindow(app);
    PostMessageW(tab, WM_COMMAND, IDM_APPLY_TAB_FONT, 0);

    if (r.WindowsVersion < 600 && (g.TabStyle & TabStyleBit::Animation))
        AnimateWindow(tab, kSlideMilliseconds, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

// The entry count's part at its width for the DPI; the details fill the rest.
void CreateStatusBarParts(const App& app) {
    int parts[2] = {ScaledX(app, kStatusCountWidth), -1};
    SendMessageW(g_tab.statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void SetTabSpacing(const App& app) {
    SendMessageW(g_tab.strip, TCM_SETMINTABWIDTH, 0, ScaledX(app, kMinTabWidth));
    SendMessageW(g_tab.strip, TCM_SETPADDING, 0, MAKELPARAM(ScaledX(app, kTabPadding.cx), ScaledY(app, kTabPadding.cy)));
}

// The tabs' tooltip, with a tool over each tab (TrackTabTooltip). Made once
// the window is on screen: a tooltip is a window of its own, and no one
// hovers a tab before that.
void CreateTabTooltip(App& app, HWND tab) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tab, nullptr,
                                app.instance, nullptr);
    app.TabTooltip = tip;
    if (!tip) return;
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, ScaledX(app, kMaxTipWidth));
    RECT margin{3, 2, 3, 2};
    if (app.rec.CommonControlsVersion >= 580) {
        LONG_PTR st = GetWindowLongPtrW(tip, GWL_STYLE);
        SetWindowLongPtrW(tip, GWL_STYLE, (st | TTS_BALLOON) & ~LONG_PTR(WS_BORDER));
        margin = {-2, -3, -2, -3};
    }
    SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
}

// The caption and taskbar icons at the system's sizes for the window's DPI.
// Shared with the host window's class; kept for the whole run.
void SetWindowIcons(const App& app, HWND tab) {
    const UINT dpi = UINT(app.rec.DpiX);
    for (auto [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = SystemMetricForDpi(metric, dpi);
        SendMessageW(tab, WM_SETICON, which, reinterpret_cast<LPARAM>(AppIcon(app.instance, size)));
    }
}

// The window has moved to a monitor of another DPI: everything made from a
// size for 96 DPI is made again for the new one, and the window takes the
// place the system suggests. The pane is made anew as well, which gives
// its list the font, the image lists and the icons for the new DPI.
void OnDpiChanged(App& app, HWND tab, UINT dpiX, UINT dpiY, const RECT* suggested) {
    if (!dpiX || !dpiY) return;
    app.rec.DpiX = float(dpiX);
    app.rec.DpiY = float(dpiY);
    SetWindowIcons(app, tab);
    SetTabSpacing(app);
    if (app.TabTooltip) SendMessageW(app.TabTooltip, TTM_SETMAXTIPWIDTH, 0, ScaledX(app, kMaxTipWidth));
    // Placed at start the window has no items of its own in the menu yet.
    if (!g_tab.placingStored) SetSystemMenuPictures(app);
    if (g_tab.statusBar) CreateStatusBarParts(app), ApplyStatusFont(app, tab);
    ApplyTabFont(app, tab);
    // The stored size was measured on the monitor the window goes back to,
    // at its DPI: scaled again by the suggestion it would grow each start.
    if (!g_tab.placingStored) TakeSuggestedRect(tab, suggested);
    if (CurrentPagePane()) {
        DestroyPane();
        CreatePane(app);
    }
    LayoutTabWindow(app);
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

void BuildSwatchList(App& app, HWND tab) {
    g_tab.ReleaseSwatches();
    uint32_t colors[kLabelColorCount];
    for (int i = 0; i < kLabelColorCount; ++i) colors[i] = LabelColorTable(app.rec.GlobalSettings, i);
    g_tab.swatches = MakeSwatchList(tab, ScaledX(app, kTabSwatchWidth),
                                    ScaledY(app, app.rec.GlobalSettings.TabFontSize + kTabSwatchExtraHeight), colors,
                                    kLabelColorCount, SwatchHalf);
    SendMessageW(g_tab.strip, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_tab.swatches.get()));
}

void ApplyTabFont(App& app, HWND tab) {
    const GlobalRecord& g = app.rec.GlobalSettings;
    ReplaceFont(g_tab.strip, g_tab.tabFont, DerivedFont(tab, ScaledY(app, g.TabFontSize), g.TabFontName), TRUE);
    BuildSwatchList(app, tab);
    LayoutTabWindow(app);
}

void ApplyStatusFont(App& app, HWND tab) {
    if (!g_tab.statusBar) return;
    const int index = std::min(int(StatusBarFontSize(app.rec.GlobalSettings.TabStyle)),
                               int(std::size(kStatusFontHeights)) - 1);
    FontPtr font = DerivedFont(tab, ScaledY(app, kStatusFontHeights[index]), app.rec.GlobalSettings.TabFontName);
    if (!font) return;
    ReplaceFont(g_tab.statusBar, g_tab.statusFont, std::move(font), TRUE);
    // The pane knows what its parts show: a filter, the selected entry.
    if (!ShowPaneStatus()) ShowFileCount();
}

void ShowStatusBarAsSet(App& app, HWND tab) {
    const bool wantStatus = app.rec.GlobalSettings.TabStyle & TabStyleBit::StatusBar;
    if (!wantStatus && g_tab.statusBar) {
        if (g_tab.statusFont) SendMessageW(g_tab.statusBar, WM_SETFONT, 0, FALSE);
        DestroyWindow(g_tab.statusBar);
        g_tab.statusBar = nullptr;
        LayoutTabWindow(app);
    } else if (wantStatus && !g_tab.statusBar) {
        CreateStatusBar(tab);
        ApplyStatusFont(app, tab);
        if (g_tab.statusBar) {
            ShowFileCount();
            RECT rc;
            GetClientRect(tab, &rc);
            SendMessageW(g_tab.statusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
        }
        LayoutTabWindow(app);
    }
}

void RedrawTabsAndPane() {
    RedrawWindow(g_tab.strip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (HWND pane = CurrentPagePane()) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DestroyPane() {
    if (HWND pane = CurrentPagePane()) DestroyWindow(pane);
}

namespace {

// What the page pane asks of the tab window, by direct calls.
class TabPaneHost final : public PaneHost {
public:
    explicit TabPaneHost(App& app) : app_(app) {}
    void PlacePane(HWND) override { PlacePagePane(app_); }
    void SetStatus(int part, const std::u16string& text) override {
        if (g_tab.statusBar) SendMessageW(g_tab.statusBar, SB_SETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(AsW(text)));
    }
    void ShowEntryDetails(const FileEntry* entry) override { vc::ShowEntryDetails(entry); }
    int TrackContextMenu(const ContextMenuRequest& request) override {
        return vc::TrackContextMenu(app_, request.at, request.entryName, request.entryKind);
    }
    void EntryStarted() override {
        HWND tab = app_.TabWindow;
        if (app_.rec.GlobalSettings.HideAfterLaunch && tab && IsWindowEnabled(tab)) HideTabWindow(app_);
    }
    std::optional<PageId> DragOverTabs(std::optional<POINT> at) override {
        return TrackDropTab(app_.rec, g_tab.strip, at);
    }

private:
    App& app_;
};

}  // namespace

void CreatePane(App& app) {
    if (!app.TabWindow) return;
    // The pane before went with a write, which may have taken in what
    // another program wrote into the file: the tabs show those pages anew.
    if (app.store.OutsideChanges() != g_tab.outsideChanges) {
        g_tab.outsideChanges = app.store.OutsideChanges();
        RebuildTabs(app);
    }
    static TabPaneHost host(app);
    HWND pane = CreatePagePane(app, app.TabWindow, host);
    if (pane) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool InsertWaitingTabs(App& app, int most) {
    if (!g_tab.nextTabPage || !g_tab.strip) return false;
    int inserted = 0;
    g_tab.nextTabPage =
        AppendUserPageTabs(app, g_tab.strip, *g_tab.nextTabPage, [&] { return most > 0 && inserted++ >= most; });
    return g_tab.nextTabPage.has_value();
}

void RebuildTabs(App& app) {
    SendMessageW(g_tab.strip, TCM_DELETEALLITEMS, 0, 0);
    InsertUserPageTabs(app, g_tab.strip);
    InsertSpecialPageTabs(app, g_tab.strip);
    SendMessageW(g_tab.strip, TCM_SETCURSEL, WPARAM(app.rec.GlobalSettings.TabNumber), 0);
}

void ShowEntryDetails(const FileEntry* entry) {
    if (!g_tab.statusBar) return;
    std::u16string text = u" ";
    if (entry) {
        text = EntryDetailsText(EntryDateText(entry->LastWriteTime), entry->Size);
        if (entry->Missing) text += u" (見つかりません)";
    }
    SendMessageW(g_tab.statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(AsW(text)));
}

HWND CreateTabWindow(App& app, HWND owner) {
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_TABWINDOW), owner, TabWindowProc, 0);
}

void FinishShownTabWindow(App& app, HWND tab) {
    // The apartment's hidden window is another window to make, and nothing
    // before the page pane needs COM.
    CoInitialize(nullptr);
    if (g_tab.strip) SendMessageW(g_tab.strip, TCM_SETEXTENDEDSTYLE, TCS_EX_REGISTERDROP, TCS_EX_REGISTERDROP);
    CreateTabTooltip(app, tab);
    if (g_tab.nextTabPage) PostMessageW(tab, WM_COMMAND, IDM_INSERT_WAITING_TABS, 0);
    // A run that only looks at the file leaves its copies to the run that holds it.
    StartDailyBackup(app.rec.SettingsFilePath, app.store.ReadOnly() ? 0 : app.rec.GlobalSettings.BackupGenerations);
}

namespace {

// One tool for each tab, over the tab's place on the strip; tool n is tab n.
void PlaceTabTools(HWND strip, HWND tip) {
    const int tabs = int(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
    int tools = int(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = strip;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    for (; tools < tabs; ++tools) {
        tool.uId = UINT_PTR(tools);
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (; tools > tabs; --tools) {
        tool.uId = UINT_PTR(tools - 1);
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (int i = 0; i < tabs; ++i) {
        tool.uId = UINT_PTR(i);
        // A tab scrolled out of sight has no place.
        if (!SendMessageW(strip, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&tool.rect))) tool.rect = {};
        SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

void TrackTabTooltip(HWND strip, UINT msg, WPARAM wp, LPARAM lp) {
    HWND tip = TheApp().TabTooltip;
    if (!tip) return;
    if (msg == WM_MOUSEMOVE) {
        TCHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const int tab = int(SendMessageW(strip, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        // The tabs move with every page added, renamed or removed, with the
        // font and with scrolling: their tools are placed anew whenever the
        // mouse is over a tab whose tool is not there.
        TTHITTESTINFOW at{strip, hit.pt, {}};
        at.ti.cbSize = sizeof at.ti;
        if (tab >= 0 && !(SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&at)) && int(at.ti.uId) == tab))
            PlaceTabTools(strip, tip);
    }
    const DWORD pos = GetMessagePos();
    MSG relayed{strip, msg, wp, lp, DWORD(GetMessageTime()), {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
    SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
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
    MoveWindow(g_tab.strip, kStripMargin, kStripMargin, rc.right - 2 * kStripMargin,
               rc.bottom - statusHeight - 2 * kStripMargin, FALSE);
    PlacePagePane(app);
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ApplyNewPageOrder(App& app, const std::vector<PageRecord>& copy) {
    Records& r = app.rec;
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    // The closing pane must not write its page into a record that has moved.
    DiscardPaneChanges();
    DestroyPane();
    TakeOverPages(r, app.store, copy);
    // A well-known folder page keeps its tab: those pages do not move, and
    // CurrentPage (-1 for them) names no tab to go back to.
    if (r.GlobalSettings.TabNumber >= r.ShownSpecialCount)
        r.GlobalSettings.TabNumber = TabOfPage(r, r.CurrentPage);
    r.CurrentPage = PageOfTab(r, r.GlobalSettings.TabNumber);
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
    // The general settings may be open on values the user has not confirmed.
    const GlobalRecord shown = r.GlobalSettings;
    const bool unconfirmed = ConfirmedGlobalSettings(r.GlobalSettings);
    WriteGlobalSettings(r, app.store);
    if (unconfirmed) r.GlobalSettings = shown;
}

// The smallest the window may be dragged to: still the tabs and one row of
// entries. What the tabs, the status bar and the margins take of the client
// area is measured as the window is laid out now (a font, a DPI or rows of
// tabs change it); one row is an item of the list, under its header in the
// details view.
POINT MinimumTrackSize(App& app, HWND tab) {
    POINT least{ScaledX(app, kMinWindowSize.x), ScaledY(app, kMinWindowSize.y)};
    HWND pane = CurrentPagePane();
    HWND list = pane ? GetDlgItem(pane, IDC_PAGELIST) : nullptr;
    if (!list || IsIconic(tab)) return least;
    RECT window, client, paneClient, listWindow, listClient;
    GetWindowRect(tab, &window);
    GetClientRect(tab, &client);
    GetClientRect(pane, &paneClient);
    GetWindowRect(list, &listWindow);
    GetClientRect(list, &listClient);
    RECT item{LVIR_BOUNDS};
    // An empty list: a row of large icons, the tallest a view shows.
    int row = SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) ? item.bottom - item.top
                                                                                     : ScaledY(app, 32);
    if (SendMessageW(list, LVM_GETVIEW, 0, 0) == LV_VIEW_DETAILS) {
        RECT header{};
        if (HWND h = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); h && IsWindowVisible(h))
            GetWindowRect(h, &header);
        row += header.bottom - header.top;
    }
    const int frame = (window.bottom - window.top) - client.bottom;
    const int around = client.bottom - paneClient.bottom;  // tabs, status bar, margins
    // Less than the row's width across shows a scroll bar under it.
    const bool barShown = GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL;
    const int listEdges = (listWindow.bottom - listWindow.top) - listClient.bottom +
                          (barShown ? 0 : SystemMetricForDpi(SM_CYHSCROLL, UINT(app.rec.DpiY)));
    least.y = std::max<LONG>(least.y, frame + around + listEdges + row);
    return least;
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
        if (st & TCS_BOTTOM) rc.bottom -= kPaneTabGap;
        else rc.top += kPaneTabGap;
    }
    // The strip sits inside the window's margin: its display area moves with it.
    OffsetRect(&rc, kStripMargin, kStripMargin);
    MoveWindow(pane, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

void PlaceTabStrip(App& app, uint32_t styleBefore) {
    HWND strip = g_tab.strip;
    if (!strip) return;
    const uint32_t style = app.rec.GlobalSettings.TabStyle;
    const uint32_t placementBits = TabStyleBit::Bottom | TabStyleBit::MultiLine;
    const bool moved = (style ^ styleBefore) & placementBits;
    if (moved) AnimateWindow(strip, 75, AW_SLIDE | AW_HIDE | AW_VER_POSITIVE);
    LONG_PTR ts = GetWindowLongPtrW(strip, GWL_STYLE);
    ts = (style & TabStyleBit::Bottom) ? (ts | TCS_BOTTOM) : (ts & ~LONG_PTR(TCS_BOTTOM));
    ts = (style & TabStyleBit::MultiLine) ? (ts | TCS_MULTILINE) : (ts & ~LONG_PTR(TCS_MULTILINE));
    SetWindowLongPtrW(strip, GWL_STYLE, ts);
    PlacePagePane(app);
    if (moved) AnimateWindow(strip, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

void SelectAdjacentTab(App& app, int delta) {
    if (!g_tab.strip) return;
    InsertWaitingTabs(app, 0);  // the last tab is where a step back from the first goes
    int count = int(SendMessageW(g_tab.strip, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    SelectTab(app, AdjacentTab(app.rec.GlobalSettings.TabNumber, delta, count));
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
    case WM_GETMINMAXINFO: reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = MinimumTrackSize(app, hwnd); return 0;
    case WM_DPICHANGED:
        OnDpiChanged(app, hwnd, LOWORD(wp), HIWORD(wp), reinterpret_cast<const RECT*>(lp));
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
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
        } else if (nm->code == TTN_GETDISPINFOW && app.TabTooltip && nm->hwndFrom == app.TabTooltip) {
            OnTabTooltip(app, reinterpret_cast<NMTTDISPINFOW*>(lp));
        }
        return 0;
    }
    case WM_CTLCOLORDLG:
        // The textured background shows in the margins around the tab strip.
        if (BackgroundBrush()) return reinterpret_cast<INT_PTR>(BackgroundBrush());
        return 0;
    case WM_SYSCOLORCHANGE:
        InstallBackground(hwnd, app.instance);
        // The half swatches stand on the face colour.
        BuildSwatchList(app, hwnd);
        // Common controls hear of new colours only from their parent.
        for (HWND child : {g_tab.strip, g_tab.statusBar, CurrentPagePane()})
            if (child) SendMessageW(child, WM_SYSCOLORCHANGE, wp, lp);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_DISPLAYCHANGE: {
        const GlobalRecord& g = app.rec.GlobalSettings;
        PlaceTabWindow(hwnd, g.xPosi, g.yPosi, g.xSize, g.ySize);
        return 0;
    }
    case WM_COMMAND: {
        // Esc reaches the window as the dialog's cancel, once the pane has
        // had it (a filter takes it first).
        if (LOWORD(wp) == IDCANCEL) {
            if (app.escapeHides) HideTabWindow(app);
            return TRUE;
        }
        INT_PTR result = 0;
        RunTabCommand(app, hwnd, LOWORD(wp), wp, lp, result);
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
        if (RunTabCommand(app, hwnd, LOWORD(wp), wp, lp, result)) return TRUE;
        return 0;
    }
    case WM_SHOWWINDOW:
        if (!wp) app.escapeHides = false;
        return 0;
    case WM_CLOSE: CloseTabWindow(app, hwnd); return 0;
    case WM_DROPFILES: ForwardToPane(msg, wp, lp); return 0;
    case WM_DESTROY:
        g_tab.ReleaseSwatches();
        g_tab.strip = g_tab.statusBar = app.TabTooltip = nullptr;
        return TRUE;
    }
    return FALSE;
}

}  // namespace vc