// The tab window's commands, one handler each, found through one table: the
// window procedure only looks a command up here.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "settings/AppState_win.h"
#include "common/About_win.h"
#include "pageview/FileDetails_win.h"
#include "common/MessageBox_win.h"
#include "common/U16.h"
#include "common/WindowUtil_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "generalsettings/GlobalHotKey_win.h"
#include "generalsettings/RunAtLogon_win.h"
#include "pagesettings/PageSettings.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "resources/resource.h"
#include "settings/Backups_win.h"
#include "settings/SettingsFile.h"
#include "tabwindow/FindBox_win.h"
#include "tabwindow/NotifyIcon_win.h"
#include "tabwindow/PageFile_win.h"
#include "tabwindow/PageManagement.h"
#include "tabwindow/PageMenus.h"
#include "tabwindow/PageMenus_win.h"
#include "tabwindow/TabCommands.h"
#include "tabwindow/TabWindowParts_win.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

namespace {

// The most of a page's label the deletion question quotes.
constexpr size_t kLabelInQuestion = 32;

bool UserPageSelected(const App& app) {
    return app.rec.GlobalSettings.TabNumber >= app.rec.ShownSpecialCount && !app.rec.UserPages.empty();
}

// The window is see-through as TabStyle says, at the opacity set.
void ApplyTransparency(App& app, HWND tab) {
    const GlobalRecord& g = app.rec.GlobalSettings;
    if (app.rec.WindowsVersion < 500 || !IsWindow(tab)) return;
    LONG_PTR ex = GetWindowLongPtrW(tab, GWL_EXSTYLE);
    const bool on = g.TabStyle & TabStyleBit::Transparent;
    SetWindowLongPtrW(tab, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED)));
    if (on) SetLayeredWindowAttributes(tab, 0, BYTE(g.LayerWindowLevel & 0xFF), LWA_ALPHA);
}

void ToggleTransparency(App& app, HWND tab) {
    if (app.rec.WindowsVersion < 500) return;
    app.rec.GlobalSettings.TabStyle ^= TabStyleBit::Transparent;
    ApplyTransparency(app, tab);
}

void ToggleTopMost(App& app, HWND tab) {
    app.rec.GlobalSettings.TabStyle ^= TabStyleBit::TopMost;
    SetTopMost(tab, app.rec.GlobalSettings.TabStyle & TabStyleBit::TopMost);
}

// The pane's own views and reloading, rebuilt from the file system.
void RefreshPane() {
    HWND pane = CurrentPagePane();
    if (!pane) return;
    SendDlgItemMessageW(pane, IDC_PAGELIST, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(pane, WM_COMMAND, DestroyImageLists, 0);
    SendMessageW(pane, WM_COMMAND, CreateImageLists, 0);
    SendMessageW(pane, WM_COMMAND, AllocateEntries, 0);
    PostMessageW(pane, WM_COMMAND, StartLoading, 0);
}

// A few more of the tabs past the shown ones at each turn of the message
// loop: each costs half a millisecond, and a message should take far less
// than the fifty that a user notices.
void InsertMoreWaitingTabs(App& app, HWND tab) {
    constexpr int kTabsPerMessage = 40;
    if (InsertWaitingTabs(app, kTabsPerMessage)) PostMessageW(tab, WM_COMMAND, IDM_INSERT_WAITING_TABS, 0);
}

// The first pane comes once the window is on screen (see OnInitDialog).
void CreateFirstPane(App& app) {
    if (CurrentPagePane()) return;
    CreatePane(app);
    LayoutTabWindow(app);
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

// A copy chosen in the start-up pane becomes the settings file. The shown
// page goes into the file first, the file as it is then stays as a copy (the
// user can go back to it), and every record is loaded from the restored file
// as a start loads it; the window keeps its place on the screen.
void RestoreChosenBackup(App& app, HWND tab, const std::u16string& copy) {
    Records& r = app.rec;
    if (app.store.ReadOnly()) {
        ShowMessageBox(tab, kMessageBoxOkCancel, u"設定ファイルを読み取り専用で開いているため、復元できません。");
        return;
    }
    // The day's copy still being made finishes first: its rotation must not
    // take the chosen copy away, nor the one kept now.
    WaitForDailyBackup(5000);
    const GlobalRecord before = r.GlobalSettings;
    DestroyPane();
    const RestoreResult result = RestoreBackupFile(app.store.fs(), r.SettingsFilePath, copy);
    const bool reloaded = result == RestoreResult::Restored && ReloadSettings(r, app.store);
    if (reloaded) {
        GlobalRecord& g = r.GlobalSettings;
        std::tie(g.xPosi, g.yPosi, g.xSize, g.ySize) = std::tie(before.xPosi, before.yPosi, before.xSize, before.ySize);
        if (g.HotKey != before.HotKey) RegisterGlobalHotKey(app.HostWindow, g.HotKey);
        SetTopMost(tab, g.TabStyle & TabStyleBit::TopMost);
        ApplyTransparency(app, tab);
        UpdateNotifyIcon(app);
    }
    PlaceTabStrip(app, before.TabStyle);
    ShowStatusBarAsSet(app, tab);
    ApplyTabFont(app, tab);
    RebuildTabs(app);
    CreatePane(app);
    RedrawTabsAndPane();
    if (!reloaded)
        ShowMessageBox(tab, kMessageBoxOkCancel,
                       result == RestoreResult::CopyDamaged ? u"このバックアップは読み込めないか壊れているため、復元できません。"
                       : result == RestoreResult::Restored  ? u"復元した設定ファイルを読み込めませんでした。"
                                                            : u"バックアップを復元できませんでした。\n設定ファイルは変更されていません。");
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
    for (int n = 1; n <= kUserLabelColourCount; ++n) session.labelColours[size_t(n - 1)] = g.LabelColorN(n);
    session.hotKey = g.HotKey;
    session.notifyIcon = g.NotifyIcon;
    session.startHidden = g.StartHidden;
    session.hideAfterLaunch = g.HideAfterLaunch;
    session.backupGenerations = g.BackupGenerations;
    session.runAtLogon = session.runAtLogonBefore = RunsAtLogon(r);
    if (RunGeneralSettingsDialog(app, tab, session) != IDOK) {
        if (!session.restoreBackup.empty()) RestoreChosenBackup(app, tab, session.restoreBackup);
        return;
    }
    // The dialog's OK registered it.
    g.HotKey = session.hotKey;
    g.NotifyIcon = session.notifyIcon;
    g.StartHidden = session.startHidden;
    g.HideAfterLaunch = session.hideAfterLaunch;
    g.BackupGenerations = session.backupGenerations;
    // The registry is written only for a change the user made: a copy that
    // never asked leaves no trace there.
    if (session.runAtLogon != session.runAtLogonBefore) SetRunAtLogon(r, session.runAtLogon);
    UpdateNotifyIcon(app);

    // What the user changed is stored now, in one write, not at exit: a crash
    // or a log-off that goes wrong must not take it back.
    PlaceTabStrip(app, session.tabStyleBefore);

    ProfileBatch batch(app.store);
    if (session.PagesReorganised) {
        // A user page shown stays shown where the pages pane moved it.
        const int32_t moved = session.shownPosition - r.ShownSpecialCount;
        if (g.TabNumber >= r.ShownSpecialCount && moved >= 0 && size_t(moved) < r.UserPages.size() &&
            app.store.BatchReadable())
            r.CurrentPage = moved;
        ApplyNewPageOrder(app, session.pages);
    }

    ShowStatusBarAsSet(app, tab);

    if (session.SpecialSetChanged) {
        const int32_t shownSpecial = SpecialPageOfTab(r, g.TabNumber);
        DestroyPane();
        RecountShownSpecialPages(r);
        g.TabNumber = TabAfterSpecialSetChange(r, shownSpecial);
        r.CurrentPage = PageOfTab(r, g.TabNumber);
        RebuildTabs(app);
        CreatePane(app);
    }

    if (session.LabelColoursChanged) {
        for (int n = 1; n <= kUserLabelColourCount; ++n) g.LabelColorN(n) = session.labelColours[size_t(n - 1)];
        BuildSwatchList(app, tab);
    }
    WriteGlobalSettings(r, app.store);
    RedrawTabsAndPane();
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
    // The page asked about, by its place and its label: while the box is
    // open another program may select a page or a reload renumber them.
    const int32_t chosen = r.CurrentPage;
    const std::u16string label = page.Label;
    std::u16string question = u"ページ \"" + std::u16string(CutTo(label, kLabelInQuestion)) + u"\" を削除しますか？ ";
    if (ShowMessageBox(tab, kMessageBoxYesNoSecond, question) != kMessageBoxYes) return;
    if (r.CurrentPage != chosen || !UserPageSelected(app) || r.UserPages[size_t(chosen)].Label != label ||
        r.GlobalSettings.PageCount <= 1 || (r.UserPages[size_t(chosen)].Flag & PageFlag::NoChanges))
        return;
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

// Every handler answers the dialog manager's WM_COMMAND with a result; only
// the exit asks for TRUE.
using CommandFn = INT_PTR (*)(App&, HWND tab, WPARAM, LPARAM);
struct Command {
    int id;
    CommandFn fn;
};

// The page pane's commands arrive here from the shared context menu.
INT_PTR PaneCommand(App&, HWND, WPARAM wp, LPARAM lp) {
    ForwardToPane(WM_COMMAND, wp, lp);
    return 0;
}

template <void (*Fn)(App&, HWND)>
INT_PTR WithWindow(App& app, HWND tab, WPARAM, LPARAM) {
    Fn(app, tab);
    return 0;
}

template <void (*Fn)(App&)>
INT_PTR WithApp(App& app, HWND, WPARAM, LPARAM) {
    Fn(app);
    return 0;
}

void ShowAbout(App& app, HWND tab) {
    UpdateWindow(tab);
    AboutContext about;
    about.instance = app.instance;
    about.windowsVersion = app.rec.WindowsVersion;
    about.dpiX = app.rec.DpiX;
    about.dpiY = app.rec.DpiY;
    about.animated = app.rec.WindowsVersion < 600 && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation);
    about.tabWindow = app.TabWindow;
    about.tabPlacement = StoredTabRect(app.rec.GlobalSettings);
    about.settingsFile = LocationTextOf(app.rec.SettingsFilePath);
    RunAboutDialog(about, tab);
}

const Command kCommands[] = {
    {IDM_TOGGLE_TRANSPARENCY, WithWindow<ToggleTransparency>},
    {IDM_EXIT, [](App&, HWND t, WPARAM, LPARAM) -> INT_PTR { PostMessageW(t, WM_CLOSE, 0, 0); return TRUE; }},
    {IDM_APPLY_TAB_FONT, WithWindow<ApplyTabFont>},
    {IDM_APPLY_STATUS_FONT, WithWindow<ApplyStatusFont>},
    {IDM_REFRESH, [](App&, HWND, WPARAM, LPARAM) -> INT_PTR { RefreshPane(); return 0; }},
    {IDOK, PaneCommand},
    {IDM_CREATE_FIRST_PANE, WithApp<CreateFirstPane>},
    {IDM_INSERT_WAITING_TABS, WithWindow<InsertMoreWaitingTabs>},
    {IDM_PAGE_ADD, WithApp<AddPageCommand>},
    {IDM_ABOUT, WithWindow<ShowAbout>},
    {IDM_GENERAL_SETTINGS, WithWindow<GeneralSettingsCommand>},
    {IDM_PAGE_SETTINGS, WithWindow<PageSettingsCommand>},
    {IDM_PAGE_DUPLICATE, WithApp<DuplicatePageCommand>},
    {IDM_PAGE_DELETE, WithWindow<DeletePageCommand>},
    {IDM_PAGE_EXPORT, WithWindow<ExportPageCommand>},
    {IDM_PAGE_IMPORT, WithWindow<ImportPageCommand>},
    {IDM_ENTRY_REMOVE, PaneCommand},
    {IDM_ENTRY_ADD, PaneCommand},
    {IDM_ENTRY_SHOW_LOCATION, PaneCommand},
    {IDM_ENTRY_RUN_AS_ADMIN, PaneCommand},
    {IDM_ENTRY_RUN_WITH_ARGUMENTS, PaneCommand},
    {IDM_VIEW_TILE, PaneCommand},
    {IDM_VIEW_ICON, PaneCommand},
    {IDM_VIEW_SMALLICON, PaneCommand},
    {IDM_VIEW_DETAILS, PaneCommand},
    {IDM_VIEW_REGISTERED_ORDER, PaneCommand},
    {IDM_ALWAYS_ON_TOP, WithWindow<ToggleTopMost>},
    {IDM_FIND_ALL, WithWindow<RunFindBox>},
};

}  // namespace

void ForwardToPane(UINT msg, WPARAM wp, LPARAM lp) {
    if (HWND pane = CurrentPagePane()) SendMessageW(pane, msg, wp, lp);
}

bool RunTabCommand(App& app, HWND tab, int id, WPARAM wp, LPARAM lp, INT_PTR& result) {
    if (id >= IDM_SELECT_PAGE_FIRST && id <= IDM_SELECT_PAGE_LAST) {
        SelectPageByNumber(app, id - IDM_SELECT_PAGE_FIRST);
        result = 0;
        return true;
    }
    // Sent by another program, never by a control (whose notifications
    // carry its window).
    if (lp == 0 && id >= kExternalFirstPageCommand && id < kExternalFirstPageCommand + kExternalPageCommandCount) {
        SelectPageByNumber(app, id - kExternalFirstPageCommand);
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

}  // namespace vc
