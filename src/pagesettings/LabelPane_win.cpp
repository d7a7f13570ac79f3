// The label pane: the page's label, comment, lock and label colour.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "settings/AppState_win.h"
#include "common/Handles_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pagesettings/ColourEditor.h"
#include "pagesettings/PageSettings.h"
#include "pagesettings/PageSettingsPanes_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

// The lock box sets bit 0x1 and clears bits 0x10 and 0x20 with it, lock
// bits that no box shows any more.
constexpr uint32_t kLockBits = PageFlag::NoChanges | 0x10 | 0x20;

std::u16string EditText(HWND pane, int id, size_t capacity) {
    return std::u16string(CutTo(WindowText(GetDlgItem(pane, id)), capacity));
}

// The comment as the edit last held it with no more lines than the file
// keeps; one label pane exists at a time.
std::u16string g_keptComment;

// A line the file would drop would still show in the tab's tooltip until
// the next start: the edit refuses it, as it refuses a hundredth character.
void KeepCommentLines(HWND edit) {
    const std::u16string text = WindowText(edit);
    if (CommentFitsFile(text) || !CommentFitsFile(g_keptComment)) {
        g_keptComment = text;
        return;
    }
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The caret goes back to where the refused text went in.
    const size_t grown = text.size() > g_keptComment.size() ? text.size() - g_keptComment.size() : 0;
    const size_t caret = std::min(end > grown ? end - grown : 0, g_keptComment.size());
    SetWindowTextW(edit, AsW(g_keptComment));
    SendMessageW(edit, EM_SETSEL, caret, caret);
    MessageBeep(MB_OK);
}

// A multi-line edit takes every key, Esc too, and then only closes its own
// pane: Esc is left to the dialog, which cancels as it does everywhere else.
LRESULT CALLBACK CommentProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    LRESULT r = CallWindowProcW(original, edit, msg, wp, lp);
    if (msg == WM_GETDLGCODE && lp) {
        const MSG& m = *reinterpret_cast<const MSG*>(lp);
        if ((m.message == WM_KEYDOWN || m.message == WM_CHAR) && m.wParam == VK_ESCAPE)
            r &= ~LRESULT(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    }
    return r;
}

void TakeLock(HWND pane) {
    PageRecord& page = PageSettingsWorkingCopy();
    page.Flag = (page.Flag & ~kLockBits) |
                (IsDlgButtonChecked(pane, IDC_LABEL_LOCK) == BST_CHECKED ? PageFlag::NoChanges : 0);
}

std::u16string ColourName(int index) {
    return index >= kFirstCustomLabelColor ? u"カスタム" + Dec(index - kFirstCustomLabelColor + 1) : u"色 " + Dec(index + 1);
}

void FillColourList(HWND combo) {
    RECT dropped{}, window{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    GetWindowRect(combo, &window);
    // Six rows in the open list.
    const int16_t h = int16_t(int16_t((dropped.bottom - dropped.top) - (window.bottom - window.top)) / 6);
    SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), h);
    // Each colour has a name as well as its swatch: it is what a screen
    // reader says of it.
    for (int i = 0; i < kLabelColorCount; ++i) {
        const int item = int(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsW(ColourName(i)))));
        SendMessageW(combo, CB_SETITEMDATA, WPARAM(item), i);
        SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(item), h);
    }
}

void DrawColourItem(const DRAWITEMSTRUCT& item) {
    if (item.itemAction == ODA_SELECT) {
        ItemSelectionFrame(item);
        return;
    }
    if (item.itemAction != ODA_DRAWENTIRE) return;
    const int index = int(item.itemData);
    if (int(item.itemID) >= 0 && index >= 0 && index < kLabelColorCount) {
        const uint32_t colour = LabelColorTable(TheApp().rec.GlobalSettings, index);
        RECT r = item.rcItem;
        InflateRect(&r, -2, -2);
        BrushPtr brush(CreateSolidBrush(colour));
        FillRect(item.hDC, &r, brush.get());
        if (index >= kFirstCustomLabelColor) {
            const std::u16string text = ColourName(index);
            SetBkMode(item.hDC, TRANSPARENT);
            SetTextColor(item.hDC, RecordOf(colour).V <= 70 ? RGB(255, 255, 255) : RGB(0, 0, 0));
            TextOutW(item.hDC, 8, r.top + 2, AsW(text), int(text.size()));
        }
    }
    ItemSelectionFrame(item);
}

void OnInitDialog(HWND pane) {
    const App& app = TheApp();
    const PageRecord& page = PageSettingsWorkingCopy();
    HWND label = GetDlgItem(pane, IDC_LABEL_TEXT);
    HWND comment = GetDlgItem(pane, IDC_LABEL_COMMENT);
    SetWindowTextW(label, AsW(page.Label));
    SendMessageW(label, EM_LIMITTEXT, kLabelCapacity - 2, 0);
    g_keptComment = page.Comment;
    SetWindowTextW(comment, AsW(page.Comment));
    SendMessageW(comment, EM_LIMITTEXT, kCommentCapacity - 2, 0);
    SetWindowLongPtrW(comment, GWLP_USERDATA, GetWindowLongPtrW(comment, GWLP_WNDPROC));
    SetWindowLongPtrW(comment, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CommentProc));
    // A well-known folder page takes its label and comment from the program.
    if (KindOf(PageIdOfCurrentTab(app.rec)) == PageKind::Special) {
        SendMessageW(label, EM_SETREADONLY, TRUE, 0);
        SendMessageW(comment, EM_SETREADONLY, TRUE, 0);
    }
    // Tooltips without a width limit show one line: the comment is one line too.
    HWND tip = app.TabTooltip;
    if (!tip || SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0) == 0) {
        const LONG_PTR st = GetWindowLongPtrW(comment, GWL_STYLE);
        SetWindowLongPtrW(comment, GWL_STYLE, st & ~LONG_PTR(ES_MULTILINE | ES_WANTRETURN));
    }
    HWND combo = GetDlgItem(pane, IDC_LABEL_COLOUR);
    FillColourList(combo);
    SendMessageW(combo, CB_SETCURSEL, WPARAM(page.LabelColor), 0);
    CheckDlgButton(pane, IDC_LABEL_LOCK, (page.Flag & PageFlag::NoChanges) ? BST_CHECKED : BST_UNCHECKED);
    if (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation)
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

void WriteBack(HWND pane) {
    PageRecord& page = PageSettingsWorkingCopy();
    page.Label = EditText(pane, IDC_LABEL_TEXT, kLabelCapacity - 2);
    // Text set by a paste or by another program may hold more lines than
    // the typing rule lets through; the page keeps what the file will.
    page.Comment = CommentAsKept(EditText(pane, IDC_LABEL_COMMENT, kCommentCapacity - 2));
    TakeLock(pane);
    const int colour = int(SendDlgItemMessageW(pane, IDC_LABEL_COLOUR, CB_GETCURSEL, 0, 0));
    // No selection (a damaged stored colour): the first colour, so that the
    // page keeps a colour that exists.
    if (colour >= 0 && colour < kLabelColorCount) page.LabelColor = colour;
    else if (page.LabelColor < 0 || page.LabelColor >= kLabelColorCount) page.LabelColor = 0;
}

}  // namespace

INT_PTR CALLBACK LabelPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_LABEL_LOCK:
        case 1023:
        case 1025:
            TakeLock(pane);
            SendMessageW(GetParent(pane), WM_COMMAND, 1030, 0);
            return TRUE;
        case IDC_LABEL_COMMENT:
            if (HIWORD(wp) == EN_CHANGE) KeepCommentLines(reinterpret_cast<HWND>(lp));
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wp == IDC_LABEL_COLOUR) {
            DrawColourItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DESTROY: WriteBack(pane); return FALSE;
    }
    return FALSE;
}

}  // namespace vc
