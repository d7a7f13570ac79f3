#include "common/MessageBox_win.h"

#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "resources/resource.h"

namespace vc {

namespace {

// Every control that shows text in the box's own font.
constexpr int kTextControls[] = {IDC_MESSAGEBOX_TEXT, IDOK, IDCANCEL, IDYES, IDNO};

const wchar_t* TextOrEmpty(const char16_t* s) { return s ? reinterpret_cast<const wchar_t*>(s) : L""; }

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A child's rectangle in the box's client coordinates.
Rect ChildRect(HWND box, int id) {
    RECT r{};
    HWND child = GetDlgItem(box, id);
    if (child && GetWindowRect(child, &r)) MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&r), 2);
    return ToRect(r);
}

void MoveChild(HWND box, int id, const Rect& r) {
    SetWindowPos(GetDlgItem(box, id), nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowChild(HWND box, int id, bool show) { ShowWindow(GetDlgItem(box, id), show ? SW_SHOW : SW_HIDE); }

// Flags as the static draws its text, so that what is measured is what shows.
SIZE MeasureText(HWND box, HFONT font, const wchar_t* text) {
    RECT r{0, 0, 0, 0};
    WindowDC dc(box);
    if (!dc.get()) return {0, 0};
    Selection selected(dc.get(), font);
    DrawTextW(dc.get(), text, -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    return {r.right - r.left, r.bottom - r.top};
}

// The rectangle to centre on, and the work area the box has to stay in. A
// minimised owner has no useful rectangle: the box then centres on the
// owner's monitor.
void OwnerAndWorkArea(HWND box, Rect& owner, Rect& work) {
    HWND o = GetWindow(box, GW_OWNER);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    work = {};
    if (GetMonitorInfoW(MonitorFromWindow(o ? o : box, MONITOR_DEFAULTTONEAREST), &mi)) work = ToRect(mi.rcWork);
    RECT r{};
    if (o && !IsIconic(o) && GetWindowRect(o, &r)) owner = ToRect(r);
    else owner = work;
}

void Initialise(HWND box, const MessageBoxRequest& req) {
    const wchar_t* text = TextOrEmpty(req.text);
    SetWindowTextW(box, TextOrEmpty(req.title));
    SetDlgItemTextW(box, IDC_MESSAGEBOX_TEXT, text);

    // The template font at normal weight, when it can be copied.
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    FontPtr made(FontFromWindowFont(box, 0, FW_NORMAL, FALSE, FALSE, FALSE, u""));

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(box, GWLP_HINSTANCE));
    if (!instance) instance = GetModuleHandleW(nullptr);
    // The box keeps the icon and the font until Release takes them back.
    const int iconSize = ScaleToDpi(16, float(WindowDpi(box, kDesignDpi)));
    if (HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, iconSize, iconSize, 0)))
        SendMessageW(box, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    const SIZE t = MeasureText(box, made ? made.get() : own, text);
    if (made) {
        const WPARAM font = reinterpret_cast<WPARAM>(made.release());
        for (int id : kTextControls) SendDlgItemMessageW(box, id, WM_SETFONT, font, FALSE);
    }

    RECT w{};
    GetWindowRect(box, &w);
    MessageBoxMeasures m;
    m.textWidth = t.cx;
    m.textHeight = t.cy;
    m.text = ChildRect(box, IDC_MESSAGEBOX_TEXT);
    m.button = ChildRect(box, IDYES);
    m.windowWidth = w.right - w.left;
    m.windowHeight = w.bottom - w.top;
    const MessageBoxLayout l = FitMessageBox(m);

    MoveChild(box, IDC_MESSAGEBOX_TEXT, l.text);
    const bool yesNo = ShowsYesNo(req);
    ShowChild(box, IDYES, yesNo);
    ShowChild(box, IDNO, yesNo);
    ShowChild(box, IDOK, !yesNo);
    ShowChild(box, IDCANCEL, !yesNo);
    MoveChild(box, yesNo ? IDYES : IDOK, l.first);
    MoveChild(box, yesNo ? IDNO : IDCANCEL, l.second);
    if (req.firstCaption) SetDlgItemTextW(box, yesNo ? IDYES : IDOK, TextOrEmpty(req.firstCaption));
    if (req.secondCaption) SetDlgItemTextW(box, yesNo ? IDNO : IDCANCEL, TextOrEmpty(req.secondCaption));

    Rect owner, work;
    OwnerAndWorkArea(box, owner, work);
    const Point p = CentreMessageBox(owner, l, work);
    SetWindowPos(box, nullptr, p.x, p.y, l.windowWidth, l.windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    // Left to itself the dialog manager gives the focus, and with it Enter,
    // to whatever button comes first, or to none: the box's default button
    // starts with both.
    const int start = !yesNo ? IDOK : StartsOnNo(req) ? IDNO : IDYES;
    SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(box, start)), TRUE);
}

// The box's font is the one its text control holds, when that is not the
// dialog's own; the controls get the dialog's font back before it goes.
void Release(HWND box) {
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    FontPtr made(reinterpret_cast<HFONT>(SendDlgItemMessageW(box, IDC_MESSAGEBOX_TEXT, WM_GETFONT, 0, 0)));
    if (made.get() == own) made.release();
    if (made)
        for (int id : kTextControls) SendDlgItemMessageW(box, id, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    IconPtr icon(reinterpret_cast<HICON>(SendMessageW(box, WM_SETICON, ICON_BIG, 0)));
}

}  // namespace

INT_PTR CALLBACK MessageBoxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        static const MessageBoxRequest kNothing{};
        const auto* req = reinterpret_cast<const MessageBoxRequest*>(lp);
        Initialise(box, req ? *req : kNothing);
        return FALSE;  // the dialog manager is not to move the focus
    }
    case WM_COMMAND:
        if (IsMessageBoxResult(LOWORD(wp))) {
            EndDialog(box, LOWORD(wp));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(box, kMessageBoxCancel);
        return TRUE;
    case WM_DESTROY:
        Release(box);
        break;
    }
    return FALSE;
}

int ShowMessageBox(HWND owner, const MessageBoxRequest& request) {
    // The box's template is among the executable's own resources.
    HINSTANCE instance = GetModuleHandleW(nullptr);
    INT_PTR r = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MESSAGEBOX), owner, MessageBoxProc,
                                reinterpret_cast<LPARAM>(&request));
    return IsMessageBoxResult(int(r)) ? int(r) : kMessageBoxCancel;
}

bool AskBetween(HWND owner, const std::u16string& text, const char16_t* first, const char16_t* second) {
    MessageBoxRequest request;
    request.buttons = kMessageBoxYesNo;
    request.title = kMessageBoxTitle;
    request.text = text.c_str();
    request.firstCaption = first;
    request.secondCaption = second;
    return ShowMessageBox(owner, request) == kMessageBoxYes;
}

int ShowMessageBox(HWND owner, int32_t buttons, const std::u16string& text) {
    MessageBoxRequest request;
    request.buttons = buttons;
    request.title = kMessageBoxTitle;
    request.text = text.c_str();
    return ShowMessageBox(owner, request);
}

// Over the middle of the owner, and wholly on the owner's monitor.
void CentreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT mine{}, theirs{};
    GetWindowRect(dialog, &mine);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    Rect work;
    if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &mi))
        work = ToRect(mi.rcWork);
    const Rect around = owner && !IsIconic(owner) && GetWindowRect(owner, &theirs) ? ToRect(theirs) : work;
    MessageBoxLayout size;
    size.windowWidth = mine.right - mine.left;
    size.windowHeight = size.centringHeight = mine.bottom - mine.top;
    const Point at = CentreMessageBox(around, size, work);
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vc
