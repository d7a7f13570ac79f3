#include "tabwindow/PageFile_win.h"

#include <commdlg.h>

#include <iterator>

#include "common/CommonDialogs_win.h"
#include "common/MessageBox_win.h"
#include "common/SystemLibrary_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/PagePane_win.h"
#include "settings/AppState_win.h"
#include "settings/SettingsFile.h"
#include "tabwindow/PageFile.h"
#include "tabwindow/PageManagement.h"
#include "tabwindow/TabWindowParts_win.h"

namespace vc {

namespace {

PageFileDialogHook g_dialogHook = nullptr;

constexpr wchar_t kFilter[] = L"Vellumcraft ページ (*.vcpage)\0*.vcpage\0";

// Looked up on first use, as the other common dialogs are.
BOOL SaveFileDialog(OPENFILENAMEW* ofn) {
    static HMODULE lib = LoadSystemLibrary(L"comdlg32.dll");
    static auto fn = lib ? reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEW*)>(
                               reinterpret_cast<void*>(GetProcAddress(lib, "GetSaveFileNameW")))
                         : nullptr;
    return fn ? fn(ofn) : FALSE;
}

// The file the user picks: a name for a new file (`path` proposes one), or
// an existing one to read.
bool ChoosePageFile(HWND owner, bool save, std::u16string& path) {
    if (g_dialogHook) return g_dialogHook(save, path);
    wchar_t file[MAX_PATH] = {};
    path.copy(reinterpret_cast<char16_t*>(file), std::size(file) - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = DWORD(std::size(file));
    ofn.lpstrTitle = save ? L"ページの書き出し" : L"ページの読み込み";
    ofn.lpstrDefExt = L"vcpage";
    // The current folder is the program's: a relative settings path depends
    // on it.
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? SaveFileDialog(&ofn) : dialogs::GetOpenFileNameW(&ofn))) return false;
    path = U16(file);
    return true;
}

// The user page the command acts on, as it was when the command started:
// another program may change the file and a page may go while a dialog is
// open, so it is found again by its place and its label.
struct ChosenPage {
    int32_t page = -1;  // -1: a special page is shown
    std::u16string label;
    bool StillThere(const Records& r) const {
        if (page < 0) return r.GlobalSettings.TabNumber < r.ShownSpecialCount;
        return r.GlobalSettings.TabNumber >= r.ShownSpecialCount && r.CurrentPage == page &&
               size_t(page) < r.UserPages.size() && r.UserPages[size_t(page)].Label == label;
    }
};

ChosenPage PageShown(const Records& r) {
    if (r.GlobalSettings.TabNumber < r.ShownSpecialCount || r.CurrentPage < 0 ||
        size_t(r.CurrentPage) >= r.UserPages.size())
        return {};
    return {r.CurrentPage, r.UserPages[size_t(r.CurrentPage)].Label};
}

void Tell(HWND tab, const std::u16string& text) { ShowMessageBox(tab, kMessageBoxOkCancel, text); }

bool RefusedAtTheCap(const Records& r, HWND tab) {
    if (RoomForAnotherPage(r)) return false;
    Tell(tab, u"ページは " + Dec(kMaxPageCount) + u" 個までです。これ以上ページを追加できません。");
    return true;
}

}  // namespace

void SetPageFileDialogHook(PageFileDialogHook hook) { g_dialogHook = hook; }

void ExportPageCommand(App& app, HWND tab) {
    const ChosenPage chosen = PageShown(app.rec);
    // A special page lists a folder of the system: nothing of it would mean
    // the same to another copy.
    if (chosen.page < 0) return;
    std::u16string path = PageFileNameOf(chosen.label);
    if (!ChoosePageFile(tab, true, path) || !chosen.StillThere(app.rec)) return;
    // Registrations made since the page was shown go along.
    StorePaneEntriesInPage();
    if (!WritePageFile(app.rec, chosen.page, PlatformFileSystem(), path))
        Tell(tab, u"ページを書き出せませんでした。\n" + path);
}

void ImportPageCommand(App& app, HWND tab) {
    Records& r = app.rec;
    if (RefusedAtTheCap(r, tab)) return;
    const ChosenPage chosen = PageShown(r);
    std::u16string path;
    if (!ChoosePageFile(tab, false, path)) return;
    PageRecord page;
    const PageFileProblem problem = ReadPageFile(r, PlatformFileSystem(), path, page);
    if (problem != PageFileProblem::None) {
        Tell(tab, PageFileProblemText(problem));
        return;
    }
    if (!chosen.StillThere(r) || RefusedAtTheCap(r, tab)) return;
    // One command, one replacement of the file. On a special page the new
    // page is the first user page, the tab right after the special ones.
    ProfileBatch batch(app.store);
    if (!app.store.BatchReadable()) return;
    const int32_t at = chosen.page + 1;
    DestroyPane();
    if (InsertPage(r, app.store, at, page)) {
        r.CurrentPage = at;
        r.GlobalSettings.TabNumber = TabOfPage(r, at);
    }
    RebuildTabs(app);
    CreatePane(app);
    WriteGlobalSettings(r, app.store);
}

}  // namespace vc
