#include "tabwindow/FindBox_win.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pageview/FileDetails.h"
#include "pageview/FileDetails_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "settings/AppState_win.h"
#include "tabwindow/FindAll.h"
#include "tabwindow/TabWindow_win.h"

namespace vc {

namespace {

enum Column { NameColumn, PageColumn, LocationColumn };
// The share of the list's width each column starts with, in percent; the
// location takes what is left.
constexpr int kNameShare = 40;
constexpr int kPageShare = 20;

// What the box ends with.
enum class Outcome { None, Open, ShowPage };

struct FindBox {
    App* app = nullptr;
    HWND dialog = nullptr, edit = nullptr, list = nullptr;
    std::vector<FindEntry> entries;
    std::vector<int> found;  // positions in `entries`, in page order
    KnownFolderPaths folders;
    HIMAGELIST icons = nullptr;                 // the shell's small icons
    std::map<std::u16string, int> iconOfType;   // by extension, case folded
    Outcome outcome = Outcome::None;
    int chosen = -1;  // position in `entries`
};

// One box at a time: it is modal.
FindBox* g_box = nullptr;
WNDPROC g_editProc = nullptr;
WNDPROC g_listProc = nullptr;

// The icon of the entry's type, from its name alone: the file itself may be
// on a share that does not answer.
int TypeIcon(FindBox& box, const FindEntry& e) {
    if (!box.icons) return -1;
    const int16_t typeAt = TypeOffsetOf(e.path, false);
    std::u16string type = typeAt > 0 ? e.path.substr(size_t(typeAt) - 1) : std::u16string();
    for (char16_t& c : type) c = FoldCase(c);
    auto known = box.iconOfType.find(type);
    if (known != box.iconOfType.end()) return known->second;
    SHFILEINFOW info{};
    const std::u16string name = u"file" + type;
    const int image = shell::SHGetFileInfoW(AsW(name), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                            SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)
                          ? info.iIcon
                          : -1;
    box.iconOfType.emplace(type, image);
    return image;
}

void CopyText(LVITEMW& item, const std::u16string& text) {
    if (!item.pszText || item.cchTextMax <= 0) return;
    const std::u16string_view cut = CutTo(text, size_t(item.cchTextMax - 1));
    std::copy(cut.begin(), cut.end(), reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[cut.size()] = L'\0';
}

void FillItem(FindBox& box, LVITEMW& item) {
    if (item.iItem < 0 || size_t(item.iItem) >= box.found.size()) return;
    const FindEntry& e = box.entries[size_t(box.found[size_t(item.iItem)])];
    if (item.mask & LVIF_TEXT) {
        switch (item.iSubItem) {
        case NameColumn: CopyText(item, e.name); break;
        case PageColumn: CopyText(item, box.app->rec.UserPages[size_t(e.page)].Label); break;
        case LocationColumn: CopyText(item, LocationText(EntryFolder(e), box.folders)); break;
        default: break;
        }
    }
    if (item.mask & LVIF_IMAGE) item.iImage = TypeIcon(box, e);
}

// A page the tab strip does not show (unmarked while those are hidden) has
// nowhere to be shown: its entries can be opened, not shown.
bool HasTab(const Records& r, int page) { return PageOfTab(r, TabOfPage(r, page)) == page; }

int SelectedResult(const FindBox& box) {
    const int position = int(SendMessageW(box.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    return position >= 0 && size_t(position) < box.found.size() ? position : -1;
}

const FindEntry& ResultAt(const FindBox& box, int position) {
    return box.entries[size_t(box.found[size_t(position)])];
}

void OfferShowPage(const FindBox& box) {
    const int position = SelectedResult(box);
    EnableWindow(GetDlgItem(box.dialog, IDC_FIND_SHOWPAGE),
                 position >= 0 && HasTab(box.app->rec, ResultAt(box, position).page));
}

void SelectResult(FindBox& box, int position) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(box.list, LVM_SETITEMSTATE, WPARAM(position), reinterpret_cast<LPARAM>(&state));
    SendMessageW(box.list, LVM_ENSUREVISIBLE, WPARAM(position), FALSE);
}

// Finds anew for the edit's text: the list only takes the new count, and
// asks for the texts of the rows it shows.
void FindNow(FindBox& box) {
    const std::u16string typed = WindowText(box.edit);
    box.found = FindEntries(box.entries, typed);
    // The new count, selection and scroll position paint once, together.
    SendMessageW(box.list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box.list, LVM_SETITEMCOUNT, WPARAM(box.found.size()), 0);
    // The first one found is where Enter goes.
    if (!box.found.empty()) SelectResult(box, 0);
    SendMessageW(box.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box.list, nullptr, TRUE);
    SetDlgItemTextW(box.dialog, IDC_FIND_COUNT,
                    typed.empty() ? L"" : AsW(Dec(int64_t(box.found.size())) + u" 件"));
    OfferShowPage(box);
}

void Finish(FindBox& box, Outcome outcome) {
    int position = SelectedResult(box);
    if (position < 0 && !box.found.empty()) position = 0;
    if (position < 0) return;  // nothing to act on: the box stays
    if (outcome == Outcome::ShowPage && !HasTab(box.app->rec, ResultAt(box, position).page)) {
        MessageBeep(MB_OK);
        return;
    }
    box.chosen = box.found[size_t(position)];
    box.outcome = outcome;
    EndDialog(box.dialog, IDOK);
}

// Keys both the edit and the list take before the dialog manager: Alt+Enter
// (which the dialog manager leaves alone), and Down from the edit into the
// results.
LRESULT CALLBACK KeysProc(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
    const WNDPROC proc = control == (g_box ? g_box->edit : nullptr) ? g_editProc : g_listProc;
    if (g_box) {
        if (msg == WM_SYSKEYDOWN && wp == VK_RETURN) {
            Finish(*g_box, Outcome::ShowPage);
            return 0;
        }
        if (msg == WM_SYSCHAR && wp == L'\r') return 0;  // no beep for it
        if (msg == WM_KEYDOWN && wp == VK_DOWN && control == g_box->edit && !g_box->found.empty()) {
            SetFocus(g_box->list);
            if (SendMessageW(g_box->list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) < 0) SelectResult(*g_box, 0);
            return 0;
        }
    }
    return CallWindowProcW(proc, control, msg, wp, lp);
}

void SetUpList(FindBox& box) {
    SendMessageW(box.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SHFILEINFOW info{};
    box.icons = reinterpret_cast<HIMAGELIST>(shell::SHGetFileInfoW(
        L"file", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (box.icons) SendMessageW(box.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(box.icons));
    // Widths from the list's own size, which the template made for the DPI.
    RECT client{};
    GetClientRect(box.list, &client);
    const int width = client.right - SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(box.list, UINT(box.app->rec.DpiX)));
    const struct {
        const char16_t* title;
        int width;
    } columns[] = {
        {u"名前", width * kNameShare / 100},
        {u"ページ", width * kPageShare / 100},
        {u"場所", width - width * (kNameShare + kPageShare) / 100},
    };
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(AsW(columns[c].title));
        column.cx = columns[c].width;
        column.iSubItem = c;
        SendMessageW(box.list, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&column));
    }
}

void OnInitDialog(FindBox& box, HWND dialog) {
    box.dialog = dialog;
    box.edit = GetDlgItem(dialog, IDC_FIND_EDIT);
    box.list = GetDlgItem(dialog, IDC_FIND_LIST);
    SetUpList(box);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeysProc)));
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeysProc)));
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT tab{};
    if (owner) GetWindowRect(owner, &tab);
    PlaceDialogBesideTabWindow(dialog, owner, tab, box.app->rec.WindowsVersion);
    SetFocus(box.edit);
}

INT_PTR CALLBACK FindBoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        g_box = reinterpret_cast<FindBox*>(lp);
        OnInitDialog(*g_box, dialog);
        return FALSE;  // the focus is set
    }
    if (!g_box) return FALSE;
    FindBox& box = *g_box;
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_FIND_EDIT:
            if (HIWORD(wp) == EN_CHANGE) FindNow(box);
            return TRUE;
        case IDOK: Finish(box, Outcome::Open); return TRUE;
        case IDC_FIND_SHOWPAGE: Finish(box, Outcome::ShowPage); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lp);
        if (nm->hwndFrom != box.list) break;
        if (nm->code == LVN_GETDISPINFOW) {
            FillItem(box, reinterpret_cast<NMLVDISPINFOW*>(lp)->item);
            return TRUE;
        }
        if (nm->code == LVN_ITEMCHANGED && (reinterpret_cast<const NMLISTVIEW*>(lp)->uChanged & LVIF_STATE)) {
            OfferShowPage(box);
            return TRUE;
        }
        if (nm->code == NM_DBLCLK && reinterpret_cast<const NMITEMACTIVATE*>(lp)->iItem >= 0) {
            Finish(box, Outcome::Open);
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        SetWindowLongPtrW(box.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
        SetWindowLongPtrW(box.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
        break;
    }
    return FALSE;
}

// Shows the entry's page, when it has a tab, and selects the entry there.
void ShowEntryPage(App& app, const FindEntry& e) {
    Records& r = app.rec;
    if (e.page >= int(r.UserPages.size())) return;
    // The page shown keeps its pane: it is not loaded again.
    if (!CurrentPagePane() || PageOfTab(r, r.GlobalSettings.TabNumber) != e.page) {
        if (!HasTab(r, e.page)) return;
        SelectPageByNumber(app, r.ShownSpecialCount + e.page);
        if (PageOfTab(r, r.GlobalSettings.TabNumber) != e.page) return;
    }
    SelectPaneEntry(e.index, e.path);
}

}  // namespace

void RunFindBox(App& app, HWND tabWindow) {
    // Registrations made on the shown page since it loaded are found too.
    StorePaneEntriesInPage();
    FindBox box;
    box.app = &app;
    box.entries = IndexEntries(app.rec.UserPages, app.rec.SettingsFilePath);
    box.folders = CurrentKnownFolderPaths();
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FINDBOX), tabWindow, FindBoxProc,
                    reinterpret_cast<LPARAM>(&box));
    g_box = nullptr;
    if (box.chosen < 0) return;
    const FindEntry& e = box.entries[size_t(box.chosen)];
    if (box.outcome == Outcome::Open) LaunchPath(e.path);
    else if (box.outcome == Outcome::ShowPage) ShowEntryPage(app, e);
}

}  // namespace vc
