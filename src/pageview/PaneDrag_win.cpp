// Entries arranged by dragging: within the shown page while it is in
// registered order, and onto another page's tab (moved, or copied with Ctrl
// held). The drag is a loop of its own that holds the mouse; nothing of it
// reaches the page or the file before the drop.
#include "pageview/PaneWindow_win.h"

#include <algorithm>
#include <string>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/EntryOrder.h"
#include "pageview/Sort.h"
#include "settings/AppState_win.h"
#include "settings/SettingsFile.h"

namespace vc {
namespace pagepane {

namespace {

// The arrow with a small sheet beside its point, and a plus on the sheet
// for a copy: what the shell shows for a move and a copy. Made once, at the
// system's cursor size; the arrow alone when it cannot be made.
HCURSOR MakeDragCursor(bool copy) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO arrowInfo{};
    if (!GetIconInfo(arrow, &arrowInfo)) return arrow;
    if (arrowInfo.hbmMask) DeleteObject(arrowInfo.hbmMask);
    if (arrowInfo.hbmColor) DeleteObject(arrowInfo.hbmColor);
    const int w = GetSystemMetrics(SM_CXCURSOR), h = GetSystemMetrics(SM_CYCURSOR);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, w, h);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HCURSOR made = nullptr;
    if (dc && colour && mask) {
        const RECT sheet{w * 7 / 16, h * 9 / 16, w * 7 / 16 + w * 5 / 16, h * 9 / 16 + h * 5 / 16};
        // The mask: white lets the screen through, black shows the colour.
        HGDIOBJ before = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        DrawIconEx(dc, 0, 0, arrow, w, h, 0, nullptr, DI_MASK);
        FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SelectObject(dc, colour);
        PatBlt(dc, 0, 0, w, h, BLACKNESS);
        DrawIconEx(dc, 0, 0, arrow, w, h, 0, nullptr, DI_IMAGE);
        FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT inside = sheet;
        InflateRect(&inside, -1, -1);
        FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (copy) {
            const int cx = (sheet.left + sheet.right) / 2, cy = (sheet.top + sheet.bottom) / 2;
            const int arm = std::max(2, int(sheet.right - sheet.left) / 3);
            const RECT across{cx - arm, cy, cx + arm + 1, cy + 1}, down{cx, cy - arm, cx + 1, cy + arm + 1};
            FillRect(dc, &across, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            FillRect(dc, &down, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        SelectObject(dc, before);
        ICONINFO info{FALSE, arrowInfo.xHotspot, arrowInfo.yHotspot, mask, colour};
        made = reinterpret_cast<HCURSOR>(CreateIconIndirect(&info));
    }
    if (dc) DeleteDC(dc);
    if (colour) DeleteObject(colour);
    if (mask) DeleteObject(mask);
    return made ? made : arrow;
}

HCURSOR DragCursor(const DragAim& aim) {
    static const HCURSOR move = MakeDragCursor(false), copy = MakeDragCursor(true);
    if (aim.toSlot >= 0 || aim.drop == TabDrop::Move) return move;
    if (aim.drop == TabDrop::Copy) return copy;
    return LoadCursorW(nullptr, IDC_NO);
}

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

void PagePane::DragEntry(int item) {
    const FileEntry* e = EntryOfItem(item);
    // Folder pages neither give nor take; a page still loading has no final
    // slots to move between.
    if (!e || !page_ || !userPage_ || !loaded_) return;
    const ChosenEntry dragged{int32_t(e - entries_.EntryTable.data()), e->Path};
    // Within the page the items stand as the entries do in the table.
    if (MovesWithinPage(userPage_, page_->Flag, page_->PageListSort, !filter_.empty())) SortBySlots();
    DragAim shown;
    bool dropped = false;
    POINT last{};
    GetCursorPos(&last);
    // The host outlives a pane that goes during the drag.
    PaneHost& host = host_;
    SetCapture(list_);
    const bool stays = RunModal([&] {
        auto follow = [&](POINT at) {
            last = at;
            const DragAim aim = AimDrag(dragged, at, CtrlHeld());
            ShowAim(aim, shown);
            shown = aim;
            SetCursor(DragCursor(aim));
        };
        follow(last);
        // The loop ends when the list loses the mouse: a release, Esc, a
        // right click, or another window taking it.
        while (GetCapture() == list_) {
            MSG msg;
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) PostQuitMessage(int(msg.wParam));
                break;
            }
            switch (msg.message) {
            case WM_MOUSEMOVE: follow(msg.pt); continue;
            case WM_LBUTTONUP:
                dropped = true;
                last = msg.pt;
                ReleaseCapture();
                continue;
            case WM_RBUTTONDOWN: ReleaseCapture(); continue;
            case WM_KEYDOWN:
            case WM_KEYUP:
                if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ReleaseCapture();
                // Ctrl turns a move into a copy and back.
                else if (msg.wParam == VK_CONTROL) follow(last);
                continue;
            case WM_SYSKEYDOWN:
            case WM_SYSKEYUP:
            case WM_CHAR:
                continue;
            default: break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    });
    host.DragOverTabs(std::nullopt);
    if (!stays) return;
    if (GetCapture() == list_) ReleaseCapture();
    ShowAim(DragAim{}, shown);
    if (!dropped || !StillThere(dragged)) return;
    // Judged again where it was let go, with the keys as they are then.
    const DragAim aim = AimDrag(dragged, last, CtrlHeld());
    host_.DragOverTabs(std::nullopt);
    if (aim.page && aim.drop != TabDrop::None) DropOnPage(dragged, *aim.page, aim.drop == TabDrop::Copy);
    else if (aim.toSlot >= 0) MoveEntry(dragged.slot, aim.toSlot);
}

DragAim PagePane::AimDrag(const ChosenEntry& dragged, POINT screen, bool copy) {
    DragAim aim;
    if (!page_) return aim;
    aim.page = host_.DragOverTabs(screen);
    if (aim.page) {
        const PageRecord* target = *aim.page == pageId_ ? nullptr : app_.rec.Page(*aim.page);
        if (target)
            aim.drop = TabDropOf(userPage_, page_->Flag, KindOf(*aim.page) == PageKind::User, target->Flag, copy);
        // A page that holds the entry already, or is full, takes no other.
        if (aim.drop != TabDrop::None && !WithEntryAppended(target->Files, dragged.path)) aim.drop = TabDrop::None;
        return aim;
    }
    if (!MovesWithinPage(userPage_, page_->Flag, page_->PageListSort, !filter_.empty())) return aim;
    POINT at = screen;
    ScreenToClient(list_, &at);
    RECT client{};
    GetClientRect(list_, &client);
    if (!PtInRect(&client, at)) return aim;
    LVHITTESTINFO hit{};
    hit.pt = at;
    int item = int(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item < 0 || !(hit.flags & LVHT_ONITEM)) {
        // Past the last item the entry goes to the end.
        const int lastItem = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)) - 1;
        RECT r{LVIR_BOUNDS};
        if (lastItem < 0 || !SendMessageW(list_, LVM_GETITEMRECT, WPARAM(lastItem), reinterpret_cast<LPARAM>(&r)))
            return aim;
        if (!(at.y > r.bottom || (at.y >= r.top && at.x > r.right))) return aim;
        item = lastItem;
    }
    const int32_t to = EntryIndexOfItem(item);
    if (to < 0 || to >= entries_.EntryCount || to == dragged.slot) return aim;
    aim.toSlot = to;
    aim.item = item;
    aim.after = to > dragged.slot;
    return aim;
}

void PagePane::ShowAim(const DragAim& aim, const DragAim& shown) {
    if (aim.item == shown.item && aim.after == shown.after) return;
    // The item whose place the entry takes is drawn highlighted (custom
    // draw: not every list draws LVIS_DROPHILITED), and an insert mark,
    // where the list draws one, shows the side the entry goes in on.
    dropItem_ = aim.item;
    for (int item : {shown.item, aim.item})
        if (item >= 0) SendMessageW(list_, LVM_REDRAWITEMS, WPARAM(item), LPARAM(item));
    LVINSERTMARK mark{sizeof mark, aim.after ? DWORD(LVIM_AFTER) : 0, aim.item, 0};
    SendMessageW(list_, LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    UpdateWindow(list_);
}

void PagePane::MoveEntry(int32_t from, int32_t to) {
    if (from == to || std::max(from, to) >= entries_.EntryCount) return;
    MoveElement(entries_.EntryTable, size_t(from), size_t(to));
    MoveElement(folderStates_, size_t(from), size_t(to));
    MoveElement(shellIcons_, size_t(from), size_t(to));
    // Each item follows its entry: its data is the entry's place in the
    // table, its index column the slot.
    const int count = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        const int32_t slot = EntryIndexOfItem(item);
        const int32_t now = slot < 0 ? slot : SlotAfterMove(slot, from, to);
        if (now == slot) continue;
        LVITEMW it{};
        it.mask = LVIF_PARAM;
        it.iItem = item;
        it.lParam = reinterpret_cast<LPARAM>(&entries_.EntryTable[size_t(now)]);
        SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        const std::u16string index = Dec(now);
        LVITEMW sub{};
        sub.iSubItem = kIndexColumn;
        sub.pszText = const_cast<wchar_t*>(AsW(index));
        SendMessageW(list_, LVM_SETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
    }
    // Details still being looked up come back for the slot they were asked
    // for, and are dropped there as another entry's: they are asked again.
    for (int32_t s = std::min(from, to); s <= std::max(from, to); ++s)
        if (folderStates_[size_t(s)] == FolderState::Pending && !entries_.EntryTable[size_t(s)].Path.empty())
            AskDetails(s, entries_.EntryTable[size_t(s)].Path);
    SortBySlots();
    SyncFilesToPage();
    if (const int item = ItemOfSlot(to); item >= 0) SendMessageW(list_, LVM_ENSUREVISIBLE, WPARAM(item), FALSE);
}

void PagePane::DropOnPage(const ChosenEntry& dragged, PageId id, bool copy) {
    // The batch takes in first what another program wrote: the target page
    // is judged as the file holds it now.
    ProfileBatch batch(app_.store);
    if (!app_.store.BatchReadable() || !page_ || !StillThere(dragged)) return;
    PageRecord* target = app_.rec.Page(id);
    if (!target || target == page_) return;
    const TabDrop drop = TabDropOf(userPage_, page_->Flag, KindOf(id) == PageKind::User, target->Flag, copy);
    std::optional<std::u16string> files =
        drop == TabDrop::None ? std::nullopt : WithEntryAppended(target->Files, dragged.path);
    if (!files) return;
    target->Files = std::move(*files);
    WritePage(app_.rec, app_.store, id, WriteGroup::Entries);
    if (drop != TabDrop::Move) return;
    if (const int item = ItemOfSlot(dragged.slot); item >= 0) SendMessageW(list_, LVM_DELETEITEM, WPARAM(item), 0);
    // The slot stays, emptied, as a removal leaves it.
    entries_.EntryTable[size_t(dragged.slot)].Path.clear();
    SyncFilesToPage();
    WritePage(app_.rec, app_.store, pageId_, WriteGroup::Entries);
    WriteFileCount();
    ShowSelectedDetails();
}

bool PagePane::MoveSelectedBy(int delta) {
    if (!page_ || !loaded_ || !MovesWithinPage(userPage_, page_->Flag, page_->PageListSort, !filter_.empty()))
        return false;
    const std::optional<ChosenEntry> chosen = ChosenOrSelected();
    if (!chosen) return false;
    // The next entry that way; removed slots are passed over.
    int32_t to = chosen->slot + delta;
    while (to >= 0 && to < entries_.EntryCount && entries_.EntryTable[size_t(to)].Path.empty()) to += delta;
    if (to >= 0 && to < entries_.EntryCount) MoveEntry(chosen->slot, to);
    return true;
}

void PagePane::ListInRegisteredOrder() {
    if (!page_ || SortColumn(page_->PageListSort) < 0) return;
    page_->PageListSort = kRegisteredOrder;
    SortBySlots();
    SetSortArrows();
}

void PagePane::SortBySlots() {
    SendMessageW(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(+[](LPARAM a, LPARAM b, LPARAM) -> int {
                     return a < b ? -1 : a > b ? 1 : 0;
                 }));
    SendMessageW(list_, LVM_SETSELECTEDCOLUMN, WPARAM(-1), 0);
}

}  // namespace pagepane
}  // namespace vc
