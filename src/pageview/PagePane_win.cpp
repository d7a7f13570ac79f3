// The page pane's window: its making and binding, its messages, its layout,
// and what it writes back to its page when it goes.
#include "pageview/PagePane_win.h"

#include <algorithm>

#include <commctrl.h>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Handles_win.h"
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

namespace {
// The pane window that exists: the tab window has one at a time.
HWND g_shownPane = nullptr;
}  // namespace

constexpr DWORD kSlideMilliseconds = 75;
constexpr size_t kStatusTextMax = 63;
constexpr LPARAM kAllocateFirst = 1;  // StartLoading's lParam: make the table first

void PagePane::ChoosePage() {
    Records& r = app_.rec;
    int32_t tab = r.GlobalSettings.TabNumber;
    if (tab < r.ShownSpecialCount) {
        int index = r.ShownSpecialPages[size_t(tab)];
        page_ = &r.SpecialPages[size_t(index)];
        pageId_ = SpecialPageId(index);
        userPage_ = false;
        return;
    }
    if (r.CurrentPage < 0) r.CurrentPage = 0;
    if (size_t(r.CurrentPage) >= r.UserPages.size()) r.CurrentPage = 0;
    page_ = r.UserPages.empty() ? nullptr : &r.UserPages[size_t(r.CurrentPage)];
    pageId_ = r.CurrentPage;
    userPage_ = true;
}

void PagePane::Layout(int w, int h) {
    MoveWindow(list_, 0, 0, w, h, TRUE);
    PlaceFilterBand();
    NoticeRect n = LoadingNoticeRect(w, h);
    MoveWindow(notice_, n.x, n.y, n.width, n.height, TRUE);
}

// The filter shows in a small band over the list's lower right corner, as
// large as its text: over the list rather than beside it, because a list of
// thousands of items would lay them all out again each time the band came
// or went.
void PagePane::PlaceFilterBand() {
    if (!Shows(band_)) return;
    RECT inside{};
    GetClientRect(list_, &inside);  // without the scroll bars
    MapWindowPoints(list_, hwnd_, reinterpret_cast<POINT*>(&inside), 2);
    const std::u16string text = WindowText(band_);
    WindowDC dc(band_);
    Selection font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(band_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), AsW(text), int(text.size()), &size);
    const int width = std::min(int(size.cx + size.cy * 3 / 2), int(inside.right - inside.left));
    const int height = std::min(int(size.cy + size.cy / 2), int(inside.bottom - inside.top));
    SetWindowPos(band_, HWND_TOP, inside.right - width, inside.bottom - height, width, height, SWP_NOACTIVATE);
}

void PagePane::OnInitDialog(HWND hwnd) {
    hwnd_ = hwnd;
    g_shownPane = hwnd;
    SetLookupWindow(hwnd);
    list_ = GetDlgItem(hwnd, IDC_PAGELIST);
    InstallFilterKeys();
    notice_ = GetDlgItem(hwnd, IDC_LOADINGNOTICE);
    band_ = GetDlgItem(hwnd, IDC_FILTERBAND);
    host_.PlacePane(hwnd);
    ChoosePage();

    LONG_PTR st = GetWindowLongPtrW(list_, GWL_STYLE);
    SetWindowLongPtrW(list_, GWL_STYLE, st | LVS_SINGLESEL | LVS_ALIGNTOP);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    if (app_.rec.WindowsVersion >= kWindowsVista) ex |= LVS_EX_HEADERINALLVIEWS;
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SetControlTheme(list_, L"EXPLORER");
    ApplyFontAndColoursNow();
    // The notice stays readable over the items that show while loading.
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(notice_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InsertColumns();
    SendMessageW(hwnd, WM_COMMAND, CreateImageLists, 0);
    // The widths go on in the page's view before the pane shows: on a
    // visible list each one scrolls and repaints the columns, a pause the
    // user would see.
    SetColumnWidths(CurrentView() == ViewDetails);
    SetStatus(kCountPart, u" ");
    SetStatus(kDetailsPart, u" ");
    RECT rc;
    GetClientRect(hwnd, &rc);
    Layout(rc.right, rc.bottom);
    const uint32_t style = app_.rec.GlobalSettings.TabStyle;
    if (style & TabStyleBit::Animation)
        AnimateWindow(hwnd, kSlideMilliseconds,
                      AW_SLIDE | AW_ACTIVATE | ((style & TabStyleBit::Bottom) ? AW_VER_NEGATIVE : AW_VER_POSITIVE));
    else
        ShowWindow(hwnd, SW_SHOW);
    ShowNotice(true);
    // The table is made by the first posted step rather than here: sizing a
    // special page's table reads its folders, which can wait until the
    // window is on screen.
    chain_ = NextChain(chain_);
    Post(StartLoading, kAllocateFirst);
    StartShellWarmup();
}

void PagePane::OnDestroy() {
    // Widths the list never showed (the pane went before they were applied)
    // are not the user's.
    if (writeBack_) StoreColumnWidths();
    if (page_ && (writeBack_ || !userPage_)) {
        // The table is the page's once its text is parsed, still loading or
        // not; before that the text stays as it was rather than lose the
        // entries not yet read.
        if (userPage_ && parsed_) page_->Files = PageFilesText();
        // The selection of a list still loading is the stored one unless the
        // user made one meanwhile.
        if (loaded_ || SelectedItem() >= 0) page_->Cursor = StoredCursor();
        WritePage(app_.rec, app_.store, pageId_, WriteGroup::All);
    }
    StopReading();
    // Look-ups still out for this page are dropped, never waited for.
    if (load_) Lookups().Abandon(load_);
    if (g_shownPane == hwnd_) {
        g_shownPane = nullptr;
        SetLookupWindow(nullptr);
    }
    KillTimer(hwnd_, kFinishTimer);
    DestroyImageListsNow();
}

// The cursor the page keeps: the selected entry's place in the page's own
// sorted list. A list narrowed by a filter shows fewer items than the page
// holds, so there the place is counted over every entry the page lists.
int32_t PagePane::StoredCursor() const {
    const int item = SelectedItem();
    if (item < 0 || filter_.empty() || !page_) return item;
    const int32_t slot = EntryIndexOfItem(item);
    if (slot < 0 || slot >= entries_.EntryCount) return item;
    const FileEntry* chosen = &entries_.EntryTable[size_t(slot)];
    int32_t before = 0;
    for (int32_t i = 0; i < std::min(listed_, entries_.EntryCount); ++i)
        if (i != slot && SlotName(i) &&
            CompareListed(&entries_.EntryTable[size_t(i)], chosen, page_->PageListSort, ListsAsScanned()) < 0)
            ++before;
    return before;
}

INT_PTR PagePane::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (IsStaleStep(id, HIWORD(wp), chain_)) return TRUE;
    switch (id) {
    case ApplyFontAndColours: ApplyFontAndColoursNow(); break;
    case ApplyView:
        ApplyViewNow();
        // From the page settings dialog (a command without chain number):
        // its OK promises the names in the form its extension box shows. A
        // view chosen from the context menu leaves the names as listed.
        if (HIWORD(wp) == 0) RenameItems();
        break;
    case ApplyColumnWidths: ApplyColumnWidthsNow(); break;
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
    case CreateImageLists: CreateImageListsNow(); break;
    case DestroyImageLists: DestroyImageListsNow(); break;
    case IDM_ENTRY_SHOW_LOCATION:
    case IDM_ENTRY_RUN_AS_ADMIN:
    case IDM_ENTRY_RUN_WITH_ARGUMENTS:
    case IDM_ENTRY_REMOVE: RunEntryCommand(id, ChosenOrSelected()); break;
    case IDOK:
        // The dialog manager turns Enter into IDOK before the list sees the
        // key: Enter on the focused entry launches it, as a double click does.
        if (GetFocus() == list_)
            Launch(int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)));
        break;
    case IDM_ENTRY_ADD: AddRegistration(); break;
    case IDM_VIEW_TILE:
    case IDM_VIEW_ICON:
    case IDM_VIEW_SMALLICON:
    case IDM_VIEW_DETAILS: ChangeView(uint32_t(id - IDM_VIEW_TILE)); break;
    case IDM_VIEW_REGISTERED_ORDER: ListInRegisteredOrder(); break;
    default: return FALSE;
    }
    return TRUE;
}

// A missing target's item: grey text, and its tip says so.
static const FileEntry* MissingEntryOf(LPARAM itemParam) {
    const auto* e = reinterpret_cast<const FileEntry*>(itemParam);
    return e && e->Missing ? e : nullptr;
}

INT_PTR PagePane::OnNotify(const NMHDR& nm) {
    if (nm.hwndFrom != list_) return 0;
    if (nm.code == NM_CUSTOMDRAW) {
        auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(nm));
        LRESULT result = CDRF_DODEFAULT;
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) result = CDRF_NOTIFYITEMDRAW;
        else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && int(draw.nmcd.dwItemSpec) == dropItem_)
            draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT), draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && MissingEntryOf(draw.nmcd.lItemlParam))
            draw.clrText = GetSysColor(COLOR_GRAYTEXT);
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (nm.code == LVN_GETINFOTIPW) {
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(nm));
        LVITEMW at{LVIF_PARAM, tip.iItem};
        SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&at));
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
    } else if (nm.code == LVN_BEGINDRAG) {
        DragEntry(reinterpret_cast<const NMLISTVIEW&>(nm).iItem);
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

void PagePane::Post(int command, LPARAM lp) {
    PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(command, chain_), lp);
}

void PagePane::SetStatus(int part, const std::u16string& text) { host_.SetStatus(part, text); }

void PagePane::WriteFileCount() {
    const PaneState& table = entries_;
    SetStatus(kCountPart,
              CutTo(FileCountText(CountRegistered(table.EntryTable, table.EntryCount)), kStatusTextMax).data());
}

void PagePane::ShowNotice(bool show) {
    ShowWindow(notice_, show ? SW_SHOW : SW_HIDE);
    if (show) UpdateWindow(notice_);
}

PagePane* PagePane::Of(HWND pane) {
    // Only a window of this procedure carries a pane in DWLP_USER.
    if (!pane || GetWindowLongPtrW(pane, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&PagePane::Proc)) return nullptr;
    return reinterpret_cast<PagePane*>(GetWindowLongPtrW(pane, DWLP_USER));
}

INT_PTR CALLBACK PagePane::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        // The window takes the pane over from CreatePagePane.
        auto* made = reinterpret_cast<std::unique_ptr<PagePane>*>(lp);
        PagePane* taken = made->release();
        taken->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(taken));
    }
    PagePane* pane = Of(hwnd);
    if (!pane) return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        // A modal loop of the pane still on the stack deletes it when it
        // returns (RunModal).
        if (pane->modalDepth_ > 0) pane->windowGone_ = true;
        else delete pane;
        return FALSE;
    }
    return pane->Handle(msg, wp, lp);
}

bool PagePane::RunModal(const std::function<void()>& loop) {
    ++modalDepth_;
    loop();
    --modalDepth_;
    if (!windowGone_) return true;
    if (modalDepth_ == 0) delete this;
    return false;
}

int PagePane::LookupsOutstanding() const { return load_ ? Lookups().Outstanding(load_) : 0; }

void PagePane::StoreEntriesInPage() {
    if (userPage_ && parsed_ && page_) page_->Files = PageFilesText();
}

INT_PTR PagePane::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(hwnd_); return FALSE;
    case kShellReadyMessage: OnShellReady(); return TRUE;
    case kRepaintMessage:
        repaintPosted_ = false;
        ReleaseRepaints(true);
        return TRUE;
    case kPaintMessage:
        if (paintPosted_) PaintNow();
        return TRUE;
    case kLookupsReadyMessage: DrainLookups(hwnd_); return TRUE;
    case kResortMessage: Resort(); return TRUE;
    case kRefilterMessage: RefilterStep(); return TRUE;
    case WM_TIMER:
        if (wp == kFinishTimer) FinishWhenLookedUp();
        return TRUE;
    case WM_SIZE: Layout(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_COMMAND: return OnCommand(wp, lp);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lp));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == band_) {
            // The colours of a tip, which every theme (high contrast too)
            // keeps readable.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            SetBkColor(dc, GetSysColor(COLOR_INFOBK));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_INFOBK));
        }
        if (reinterpret_cast<HWND>(lp) == notice_ && page_) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, TextColour());
            SetBkColor(dc, BackColour());
            return reinterpret_cast<INT_PTR>(noticeBrush_.get());
        }
        return 0;
    case WM_SYSCOLORCHANGE:
        // The list is a common control: it learns of new colours from its
        // parent, and the page's colours may now give way to a theme's.
        SendMessageW(list_, WM_SYSCOLORCHANGE, 0, 0);
        ApplyFontAndColoursNow();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(lp);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return FALSE;
}

}  // namespace pagepane

using namespace pagepane;

namespace {
PagePane* ShownPane() { return PagePane::Of(g_shownPane); }
const PaneState kNoEntries;
}  // namespace

HWND CurrentPagePane() { return g_shownPane; }

const PaneState& ThePane() {
    const PagePane* pane = ShownPane();
    return pane ? pane->Entries() : kNoEntries;
}

bool ShowPaneStatus() {
    PagePane* pane = ShownPane();
    if (pane) pane->ShowStatusAgain();
    return pane != nullptr;
}

void StorePaneEntriesInPage() {
    if (PagePane* pane = ShownPane()) pane->StoreEntriesInPage();
}

void DiscardPaneChanges() {
    if (PagePane* pane = ShownPane()) pane->DiscardChanges();
}

bool PaneLoaded() {
    const PagePane* pane = ShownPane();
    return pane && pane->Loaded();
}

int PaneLookupsOutstanding() {
    const PagePane* pane = ShownPane();
    return pane ? pane->LookupsOutstanding() : 0;
}

void SelectPaneEntry(int index, const std::u16string& path) {
    if (PagePane* pane = ShownPane()) pane->SelectEntry(index, path);
}

HWND CreatePagePane(App& app, HWND tabWindow, PaneHost& host) {
    auto pane = std::make_unique<PagePane>(app, host);
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_PAGEPANE), tabWindow, &PagePane::Proc,
                              reinterpret_cast<LPARAM>(&pane));
}

}  // namespace vc
