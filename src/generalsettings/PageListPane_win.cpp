// The pages pane of the general settings dialog: every page in a tree with
// its box (marked or not) and its label colour, the order of the user pages,
// the main page, and how unmarked pages are offered. It edits the session's
// copy of the pages; the tab window takes the copy over after OK.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <iterator>
#include <vector>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "generalsettings/PageListPane.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"
#include "common/Swatch.h"
#include "common/Swatch_win.h"

namespace vc {
namespace {

// One pages pane exists at a time (it is a pane of a modal dialog).
struct PageListPaneState {
    std::vector<HTREEITEM> items;  // item i shows page i of the copy
    bool marksPending = false;     // the boxes are not yet written into the copy
    bool marksShown = false;       // the boxes show the marks (kShowMarks came)
    // Lent to the tree, the buttons and the name label, which let go of
    // them before the pane ends.
    ImageListPtr swatches;
    FontPtr boldFont;
    IconPtr upIcon;
    IconPtr downIcon;
    WindowPtr tips;
};
PageListPaneState g_pages;

constexpr int kButtonIconSize = 16;
// Tree rows at 96 dpi, and the swatch beside each label within a row.
constexpr float kRowHeightAt96Dpi = 19.0f;
constexpr int kTreeSwatchWidth = 10;
constexpr int kTreeSwatchMargin = 4;

HWND Tree(HWND pane) { return GetDlgItem(pane, IDC_PAGES_TREE); }

int PageCount() { return int(TheGeneralSettings().pages.size()); }

HTREEITEM ItemAt(int position) {
    return position >= 0 && size_t(position) < g_pages.items.size() ? g_pages.items[size_t(position)] : nullptr;
}

// A damaged stored colour would name no swatch: show the first one, as the
// colour table gives the first colour for it.
int SwatchOf(const PageRecord& page) {
    return page.LabelColor >= 0 && page.LabelColor < kLabelColorCount ? page.LabelColor : 0;
}

void EnableMoveButtons(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    EnableWindow(GetDlgItem(pane, IDC_PAGES_UP), CanMoveUp(s.shownSpecialCount, s.selectedPosition, PageCount()));
    EnableWindow(GetDlgItem(pane, IDC_PAGES_DOWN), CanMoveDown(s.shownSpecialCount, s.selectedPosition, PageCount()));
}

void ShowMainPageName(HWND pane, int position) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    SetDlgItemTextW(pane, IDC_PAGES_MAIN_NAME, AsW(MainPageCaption(s.pages, s.shownSpecialCount, position)));
}

void SetItemState(HWND tree, HTREEITEM item, UINT state, UINT mask) {
    TVITEMW tv{};
    tv.mask = TVIF_STATE;
    tv.hItem = item;
    tv.state = state;
    tv.stateMask = mask;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

UINT ItemState(HWND tree, HTREEITEM item, UINT mask) {
    return UINT(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
}

void SetItemMark(HWND tree, HTREEITEM item, MarkState mark) {
    SetItemState(tree, item, INDEXTOSTATEIMAGEMASK(mark), TVIS_STATEIMAGEMASK);
}

void ShowPicturesFor(HWND pane, bool separateMenu) {
    if (TheApp().rec.WindowsVersion < 600) return;
    ShowWindow(GetDlgItem(pane, IDC_PAGES_PICTURE_LIST), SW_SHOW);
    ShowWindow(GetDlgItem(pane, IDC_PAGES_PICTURE_MENU), separateMenu ? SW_SHOW : SW_HIDE);
}

// The frame labels stop the frame lines around their text: as wide as the
// text and one space more, in whatever font the dialog really got.
void FitFrameLabel(HWND pane, int id) {
    HWND label = GetDlgItem(pane, id);
    if (!label) return;
    const std::u16string text = WindowText(label) + u" ";
    SIZE size{};
    BOOL measured = FALSE;
    {
        WindowDC dc(label);
        Selection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        measured = GetTextExtentPoint32W(dc.get(), AsW(text), int(text.size()), &size);
    }
    RECT r{};
    GetClientRect(label, &r);
    if (measured && size.cx > 0)
        SetWindowPos(label, nullptr, 0, 0, size.cx, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FillTree(HWND tree) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    const int count = PageCount();
    const int main = MainPagePosition(s.pages);
    // The check boxes come now, before the tree holds items: the tree makes
    // their images at once and leaves the items alone afterwards. (A tree
    // that has them from its template makes them at its first paint and
    // then unchecks every item, wiping the marks shown before.) Those images
    // are the pane's to release.
    SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | TVS_CHECKBOXES);
    g_pages.items.assign(size_t(count), nullptr);
    for (int i = 0; i < count; ++i) {
        const PageRecord& page = s.pages[size_t(i)];
        const std::u16string text = PageItemText(page, i < s.shownSpecialCount);
        TVINSERTSTRUCTW ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
        ins.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD | TVIS_SELECTED;
        // No box yet: kShowMarks gives every item its box once the pane is up.
        ins.item.state = (i == s.selectedPosition ? TVIS_SELECTED : 0) | (i == main ? TVIS_BOLD : 0);
        ins.item.pszText = const_cast<wchar_t*>(AsW(text));
        ins.item.iImage = ins.item.iSelectedImage = SwatchOf(page);
        ins.item.lParam = i;
        g_pages.items[size_t(i)] =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    }

    const float dpi = DialogDpi(tree);
    const int itemHeight = int(kRowHeightAt96Dpi * dpi / 96.0f);
    SendMessageW(tree, TVM_SETITEMHEIGHT, WPARAM(itemHeight), 0);
    if (HTREEITEM selected = ItemAt(s.selectedPosition)) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
        SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected));
    }

    std::array<uint32_t, kLabelColorCount> colours{};
    for (int i = 0; i < kLabelColorCount; ++i) colours[size_t(i)] = LabelColorTable(TheApp().rec.GlobalSettings, i);
    g_pages.swatches = MakeSwatchList(tree, ScaleToDpi(kTreeSwatchWidth, dpi),
                                      itemHeight - ScaleToDpi(kTreeSwatchMargin, dpi), colours.data(),
                                      kLabelColorCount, SwatchInset);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(g_pages.swatches.get()));
    SetControlTheme(tree, L"EXPLORER");
    SetFocus(tree);
}

void OnInitDialog(HWND pane) {
    const App& app = TheApp();
    GeneralSettingsSession& s = TheGeneralSettings();
    if (s.selectedPosition < 0) s.selectedPosition = 0;
    HWND tree = Tree(pane);
    FillTree(tree);
    EnableMoveButtons(pane);
    ShowMainPageName(pane, MainPagePosition(s.pages));

    const uint32_t style = app.rec.GlobalSettings.TabStyle;
    CheckDlgButton(pane, IDC_PAGES_SHOW_AT_START, (style & TabStyleBit::StartOnMainPage) ? BST_CHECKED : BST_UNCHECKED);
    const bool separateMenu = (style & TabStyleBit::MarkedPagesMenu) != 0;
    CheckRadioButton(pane, IDC_PAGES_HIDE_UNMARKED, IDC_PAGES_SEPARATE_MENU,
                     separateMenu ? IDC_PAGES_SEPARATE_MENU : IDC_PAGES_HIDE_UNMARKED);
    ShowPicturesFor(pane, separateMenu);

    g_pages.marksPending = true;
    g_pages.boldFont.reset(FontFromWindowFont(pane, 0, FW_BOLD, 0, 0, 0, u""));
    if (g_pages.boldFont)
        SendDlgItemMessageW(pane, IDC_PAGES_MAIN_NAME, WM_SETFONT, WPARAM(g_pages.boldFont.get()), FALSE);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(pane, GWLP_HINSTANCE));
    const int iconSize = ScaleToDpi(kButtonIconSize, float(WindowDpi(pane, kDesignDpi)));
    auto buttonIcon = [&](int id) {
        return IconPtr(static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, iconSize, iconSize, 0)));
    };
    g_pages.upIcon = buttonIcon(IDI_UP);
    g_pages.downIcon = buttonIcon(IDI_DOWN);
    SendDlgItemMessageW(pane, IDC_PAGES_UP, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(g_pages.upIcon.get()));
    SendDlgItemMessageW(pane, IDC_PAGES_DOWN, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(g_pages.downIcon.get()));
    static const ControlTip tips[] = {
        {IDC_PAGES_UP, L"一つ上に移動"},
        {IDC_PAGES_DOWN, L"一つ下に移動"},
        {IDC_PAGES_SET_MAIN, L"選択されているページをメインページに設定"},
    };
    g_pages.tips.reset(TooltipsForControls(instance, pane, tips, int(std::size(tips))));
    FitFrameLabel(pane, IDC_PAGES_MAIN_FRAME_LABEL);
    FitFrameLabel(pane, IDC_PAGES_MARKS_FRAME_LABEL);

    PostMessageW(pane, WM_COMMAND, kShowMarks, 0);
    if (style & TabStyleBit::Animation) {
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void ShowMarks(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    HWND tree = Tree(pane);
    for (size_t i = 0; i < g_pages.items.size() && i < s.pages.size(); ++i)
        SetItemMark(tree, g_pages.items[i], MarkOf(s.pages[i]));
    g_pages.marksShown = true;
}

// Writes the boxes into the copy (commit) or forgets them; either way they
// are settled, so closing the pane later leaves the copy alone.
void SettleMarks(HWND pane, bool commit) {
    g_pages.marksPending = false;
    // Boxes that never showed the marks say nothing about them: the pane
    // closed before kShowMarks arrived.
    if (!commit || !g_pages.marksShown) return;
    GeneralSettingsSession& s = TheGeneralSettings();
    HWND tree = Tree(pane);
    std::vector<int> marks(g_pages.items.size());
    for (size_t i = 0; i < marks.size(); ++i)
        marks[i] = int(ItemState(tree, g_pages.items[i], TVIS_STATEIMAGEMASK) >> 12);
    // A changed box must reach the tab window even when nothing else did.
    if (CommitMarks(s.pages, marks)) s.PagesReorganised = true;
}

void OnSelectionChanged(HWND pane, const NMTREEVIEWW& nm) {
    // While the tree is torn down it may report a selection of no item.
    if (!nm.itemNew.hItem) return;
    const LPARAM p = nm.itemNew.lParam;
    if (p < 0 || p >= LPARAM(g_pages.items.size()) || p >= PageCount()) return;
    GeneralSettingsSession& s = TheGeneralSettings();
    // Only where the selection is: the pages themselves are as they were,
    // and the tab window need not rebuild its tabs and page for it.
    s.selectedPosition = int(p);
    EnableMoveButtons(pane);
}

void SelectItemUnderCursor(HWND tree) {
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(tree, &hit.pt);
    if (HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))))
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void SetMainPage(HWND pane) {
    GeneralSettingsSession& s = TheGeneralSettings();
    const int selected = s.selectedPosition;
    if (!ItemAt(selected) || selected >= PageCount()) return;
    MakeMainPage(s.pages, selected);
    HWND tree = Tree(pane);
    for (size_t i = 0; i < g_pages.items.size(); ++i)
        SetItemState(tree, g_pages.items[i], int(i) == selected ? TVIS_BOLD : 0, TVIS_BOLD);
    ShowMainPageName(pane, selected);
    s.PagesReorganised = true;
}

void ShowRecord(HWND tree, HTREEITEM item, const PageRecord& page) {
    const std::u16string text = PageItemText(page, false);
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.pszText = const_cast<wchar_t*>(AsW(text));
    tv.iImage = tv.iSelectedImage = SwatchOf(page);
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

void MoveSelected(HWND pane, int delta) {
    GeneralSettingsSession& s = TheGeneralSettings();
    const int from = s.selectedPosition;
    HTREEITEM a = ItemAt(from), b = ItemAt(from + delta);
    if (!a || !b) return;
    const int to = MovePage(s.pages, s.shownSpecialCount, from, delta);
    if (to == from) return;
    s.PagesReorganised = true;
    // The items keep their places; what they show changes places, the box
    // and the main page's bold type with the record.
    HWND tree = Tree(pane);
    constexpr UINT kCarried = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    const UINT stateA = ItemState(tree, a, kCarried), stateB = ItemState(tree, b, kCarried);
    SetItemState(tree, a, stateB, kCarried);
    SetItemState(tree, b, stateA, kCarried);
    ShowRecord(tree, a, s.pages[size_t(from)]);
    ShowRecord(tree, b, s.pages[size_t(to)]);
    s.selectedPosition = to;
    if (s.shownPosition == from || s.shownPosition == to) s.shownPosition = from + to - s.shownPosition;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b));
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(b));
    SetFocus(tree);
    EnableMoveButtons(pane);
}

void MarkAll(HWND pane) {
    HWND tree = Tree(pane);
    for (HTREEITEM item : g_pages.items) SetItemMark(tree, item, MarkOn);
    g_pages.marksShown = true;
    TheGeneralSettings().PagesReorganised = true;
}

void ChooseUnmarkedHandling(HWND pane, int id) {
    uint32_t& style = TheApp().rec.GlobalSettings.TabStyle;
    const bool separateMenu = id == IDC_PAGES_SEPARATE_MENU;
    style = separateMenu ? (style | TabStyleBit::MarkedPagesMenu) : (style & ~TabStyleBit::MarkedPagesMenu);
    ShowPicturesFor(pane, separateMenu);
    TheGeneralSettings().PagesReorganised = true;
}

void OnDestroy(HWND pane) {
    // The controls let go of what they were lent; the state then releases it.
    SendDlgItemMessageW(pane, IDC_PAGES_UP, BM_SETIMAGE, IMAGE_ICON, 0);
    SendDlgItemMessageW(pane, IDC_PAGES_DOWN, BM_SETIMAGE, IMAGE_ICON, 0);
    HWND tree = Tree(pane);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    SendDlgItemMessageW(pane, IDC_PAGES_MAIN_NAME, WM_SETFONT, WPARAM(SendMessageW(pane, WM_GETFONT, 0, 0)), FALSE);
    // Closed by a switch to another pane: the boxes go into the copy.
    if (g_pages.marksPending) SettleMarks(pane, true);
    // A tree does not release the images of its check boxes itself.
    ImageListPtr boxes(reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_STATE, 0)));
    g_pages = PageListPaneState{};
}

INT_PTR OnCommand(HWND pane, WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    switch (id) {
    case kCommitMarks: SettleMarks(pane, lp == 1); return TRUE;
    case kShowMarks: ShowMarks(pane); return TRUE;
    case IDC_PAGES_UP: MoveSelected(pane, -1); return TRUE;
    case IDC_PAGES_DOWN: MoveSelected(pane, 1); return TRUE;
    case IDC_PAGES_SET_MAIN: SetMainPage(pane); return TRUE;
    case IDC_PAGES_MARK_ALL: MarkAll(pane); return TRUE;
    case IDC_PAGES_HIDE_UNMARKED:
    case IDC_PAGES_SEPARATE_MENU:
        if (HIWORD(wp) == BN_CLICKED) ChooseUnmarkedHandling(pane, id);
        return TRUE;
    case IDC_PAGES_SHOW_AT_START:
        if (HIWORD(wp) == BN_CLICKED) {
            // From the box itself, so that bit and box cannot drift apart.
            uint32_t& style = TheApp().rec.GlobalSettings.TabStyle;
            if (IsDlgButtonChecked(pane, IDC_PAGES_SHOW_AT_START) == BST_CHECKED) style |= TabStyleBit::StartOnMainPage;
            else style &= ~TabStyleBit::StartOnMainPage;
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnNotify(HWND pane, const NMHDR& nm) {
    if (nm.idFrom != IDC_PAGES_TREE) return FALSE;
    switch (nm.code) {
    case TVN_SELCHANGEDW: OnSelectionChanged(pane, reinterpret_cast<const NMTREEVIEWW&>(nm)); return TRUE;
    case NM_RCLICK: SelectItemUnderCursor(nm.hwndFrom); return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK PageListPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return FALSE;  // the tree has the focus
    case WM_COMMAND: return OnCommand(pane, wp, lp);
    case WM_NOTIFY: return OnNotify(pane, *reinterpret_cast<const NMHDR*>(lp));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DESTROY: OnDestroy(pane); return FALSE;
    }
    return FALSE;
}

}  // namespace vc
