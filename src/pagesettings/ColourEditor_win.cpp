#include "pagesettings/ColourEditor_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "common/Handles_win.h"
#include "common/SystemLibrary_win.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

static_assert(SB_LINELEFT == kLineLeft && SB_LINERIGHT == kLineRight && SB_PAGELEFT == kPageLeft &&
                  SB_PAGERIGHT == kPageRight && SB_THUMBPOSITION == kThumbPosition &&
                  SB_THUMBTRACK == kThumbTrack && SB_LEFT == kLeftEnd && SB_RIGHT == kRightEnd &&
                  SB_ENDSCROLL == kEndScroll,
              "scroll codes numbered as the platform numbers them");

// What the editor made for one pane, kept as a property of the pane so that
// two panes could edit colours at once.
struct EditorKit {
    BrushPtr bars[2][kColourBarCount];  // by mode, then bar
    FontPtr bold;                       // captions
    WindowPtr tip;                      // of the picking button
};
constexpr wchar_t kKitProperty[] = L"Vellumcraft.ColourEditor";

EditorKit* KitOf(HWND pane) { return static_cast<EditorKit*>(GetPropW(pane, kKitProperty)); }

int ModeIndex(int mode) { return mode == kHsbMode ? 1 : 0; }

// The editor's bar that `control` is (0..2), or -1.
int BarOf(HWND pane, HWND control) {
    if (!control) return -1;
    const int bar = GetDlgCtrlID(control) - IDC_COLOUR_BAR_FIRST;
    return bar >= 0 && bar < kColourBarCount && GetDlgItem(pane, IDC_COLOUR_BAR_FIRST + bar) == control ? bar : -1;
}

HINSTANCE ModuleOf(HWND pane) { return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(pane, GWLP_HINSTANCE)); }

// A progress bar drawn with visual styles shows the theme's colour instead
// of its own; a theme of a name no theme has turns the styles off.
void TurnOffVisualStyles(HWND w) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const SetWindowThemeFn fn = [] {
        HMODULE lib = LoadSystemLibrary(L"uxtheme.dll");
        return lib ? reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(GetProcAddress(lib, "SetWindowTheme")))
                   : nullptr;
    }();
    if (fn) fn(w, L" ", L" ");
}

// ---- the picker: one for the process ----

constexpr LONG kNoPoint = 0x7FFFFFFF;  // no screen point is ever this

struct Picker {
    HWND target = nullptr;    // the picking pane
    HHOOK hook = nullptr;     // nullptr also when installing it failed
    POINT last{kNoPoint, kNoPoint};
    wchar_t caption[32] = {};  // of the picking button before the pick
    ColourRecord before;      // the colour before the pick
};
Picker g_picker;

// Runs on the GUI thread while it pumps messages. It only hands the events
// to the pane, which does the colour work in its own message handling.
LRESULT CALLBACK PickerHook(int code, WPARAM wp, LPARAM lp) {
    if (!g_picker.target) return 0;
    if (code < 0) return CallNextHookEx(g_picker.hook, code, wp, lp);
    switch (wp) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
        POINT pt = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->pt;
        ScreenToClient(g_picker.target, &pt);
        PostMessageW(g_picker.target, UINT(wp), 0, MAKELPARAM(pt.x, pt.y));
        // The clicks belong to the pick and reach no window; the pointer
        // itself goes on moving.
        if (wp != WM_MOUSEMOVE) return 1;
        break;
    }
    }
    return CallNextHookEx(g_picker.hook, code, wp, lp);
}

HCURSOR PickingCursor(HWND pane) {
    return static_cast<HCURSOR>(
        LoadImageW(ModuleOf(pane), MAKEINTRESOURCEW(IDCUR_PICKER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

// The hook goes and the picking button is back as it was.
void EndPick(HWND pane) {
    if (g_picker.hook) UnhookWindowsHookEx(g_picker.hook);
    g_picker.hook = nullptr;
    g_picker.target = nullptr;
    if (HWND button = GetDlgItem(pane, IDC_COLOUR_PICK)) {
        EnableWindow(button, TRUE);
        SetWindowTextW(button, g_picker.caption);
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void ShowAndCommit(HWND pane, int mode, const ColourRecord& c) {
    ShowColourMode(pane, mode, c);
    ShowColourValue(pane, mode, c);
    SendMessageW(pane, WM_COMMAND, IDM_COLOUR_COMMIT, 0);
}

// Loads the pixel up and left of screen point `at` into `c`: the cursor's
// hot spot lies just below and right of its tip. A point whose pixel cannot
// be read (off every screen) leaves the colour as it is.
void Sample(HWND pane, POINT at, int mode, ColourRecord& c) {
    COLORREF pixel = CLR_INVALID;
    WindowDC screen(nullptr);
    if (screen.get()) pixel = GetPixel(screen.get(), at.x - 1, at.y - 1);
    if (pixel != CLR_INVALID) c = RecordOf(pixel);
    ShowAndCommit(pane, mode, c);
}

}  // namespace

void SetUpColourEditor(HWND pane, int firstSwatch, const ColourRecord* records, int count) {
    TearDownColourEditor(pane);
    auto kit = std::make_unique<EditorKit>();
    for (int mode = 0; mode < 2; ++mode)
        for (int bar = 0; bar < kColourBarCount; ++bar)
            kit->bars[mode][bar].reset(CreateSolidBrush(BarBackColour(mode, bar)));

    kit->bold.reset(FontFromWindowFont(pane, 0, FW_BOLD, 0, 0, 0, u""));
    if (HFONT bold = kit->bold.get())
        for (int bar = 0; bar < kColourBarCount; ++bar)
            SendDlgItemMessageW(pane, IDC_COLOUR_CAPTION_FIRST + bar, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);

    for (int i = 0; i < count; ++i) {
        HWND swatch = GetDlgItem(pane, firstSwatch + i);
        if (!swatch) continue;
        // A full bar on black: the whole swatch shows the colour.
        SendMessageW(swatch, PBM_SETRANGE32, 0, 100);
        SendMessageW(swatch, PBM_SETSTEP, 1, 0);
        SendMessageW(swatch, PBM_SETPOS, 100, 0);
        SendMessageW(swatch, PBM_SETBARCOLOR, 0, LPARAM(ColourOf(records[i])));
        SendMessageW(swatch, PBM_SETBKCOLOR, 0, 0);
        TurnOffVisualStyles(swatch);
    }

    static const ControlTip kTip{IDC_COLOUR_PICK, L"マウスの左クリックで、\n画面上の色を拾います。"};
    kit->tip.reset(TooltipsForControls(ModuleOf(pane), pane, &kTip, 1));
    SetPropW(pane, kKitProperty, kit.release());
}

void TearDownColourEditor(HWND pane) {
    std::unique_ptr<EditorKit> kit(static_cast<EditorKit*>(RemovePropW(pane, kKitProperty)));
    if (!kit) return;
    // The tooltip, owned by the pane, may have gone with it already; the
    // kit releases the rest.
    if (kit->tip && !IsWindow(kit->tip.get())) kit->tip.release();
}

void ShowColourMode(HWND pane, int mode, const ColourRecord& c) {
    for (int bar = 0; bar < kColourBarCount; ++bar) {
        SetDlgItemTextW(pane, IDC_COLOUR_CAPTION_FIRST + bar, AsW(BarCaption(mode, bar)));
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_POS;
        si.nMin = 0;
        si.nMax = ScaleOfBar(mode, bar).max;
        si.nPos = BarValue(mode, bar, c);
        SetScrollInfo(GetDlgItem(pane, IDC_COLOUR_BAR_FIRST + bar), SB_CTL, &si, TRUE);
    }
}

void ShowColourValue(HWND pane, int mode, const ColourRecord& c) {
    SetDlgItemTextW(pane, IDC_COLOUR_VALUE, AsW(ColourValueText(mode, c)));
}

void RepaintColourBars(HWND pane) {
    for (int bar = 0; bar < kColourBarCount; ++bar)
        InvalidateRect(GetDlgItem(pane, IDC_COLOUR_BAR_FIRST + bar), nullptr, FALSE);
}

void SetSwatchColour(HWND pane, int swatchId, uint32_t colour) {
    SendDlgItemMessageW(pane, swatchId, PBM_SETBARCOLOR, 0, LPARAM(colour));
}

bool ScrollColourBar(HWND pane, WPARAM wp, HWND bar, int mode, ColourRecord& c) {
    const int index = BarOf(pane, bar);
    if (index < 0) return false;
    const std::optional<int> p = ScrollRecord(mode, index, LOWORD(wp), HIWORD(wp), GetScrollPos(bar, SB_CTL), c);
    if (!p) return false;
    SetScrollPos(bar, SB_CTL, *p, TRUE);
    ShowColourValue(pane, mode, c);
    return true;
}

INT_PTR ColourEditorControl(HWND pane, HDC dc, HWND control, int mode) {
    const EditorKit* kit = KitOf(pane);
    if (int bar = BarOf(pane, control); bar >= 0 && kit && kit->bars[ModeIndex(mode)][bar])
        return reinterpret_cast<INT_PTR>(kit->bars[ModeIndex(mode)][bar].get());
    const int caption = GetDlgCtrlID(control) - IDC_COLOUR_CAPTION_FIRST;
    if (caption >= 0 && caption < kColourBarCount) SetTextColor(dc, BarCaptionColour(mode, caption));
    return ColourPaneControl(pane, dc, control);
}

bool StartPicking(HWND pane, const ColourRecord& c) {
    if (g_picker.target == pane) return false;  // the saved caption would be the picking one
    if (g_picker.target) EndPick(g_picker.target);
    g_picker.last = {kNoPoint, kNoPoint};
    g_picker.target = pane;
    g_picker.before = c;
    g_picker.hook = SetWindowsHookExW(WH_MOUSE_LL, PickerHook, ModuleOf(pane), 0);
    if (HCURSOR cursor = PickingCursor(pane)) SetCursor(cursor);
    HWND button = GetDlgItem(pane, IDC_COLOUR_PICK);
    g_picker.caption[0] = L'\0';
    GetWindowTextW(button, g_picker.caption, 30);
    SetWindowTextW(button, L"●左クリックで取り込み...。(右クリックで中断)");
    // A disabled button cannot keep the keyboard focus; the first bar takes it.
    if (button && GetFocus() == button)
        SendMessageW(GetAncestor(pane, GA_ROOT), WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(pane, IDC_COLOUR_BAR_FIRST)), TRUE);
    EnableWindow(button, FALSE);
    return true;
}

bool IsPicking(HWND pane) { return pane && g_picker.target == pane; }

bool KeepPickingCursor(HWND pane) {
    if (!IsPicking(pane)) return false;
    SetCursor(PickingCursor(pane));
    return true;
}

PickStep PickMessage(HWND pane, UINT msg, LPARAM lp, int mode, ColourRecord& c) {
    if (!IsPicking(pane)) return PickStep::None;
    // Points left of or above the pane are negative: the words are signed.
    POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(pane, &at);
    switch (msg) {
    case WM_MOUSEMOVE:
        // Tracking follows every move of the pointer; a repeated point has
        // nothing new to show.
        if (at.x == g_picker.last.x && at.y == g_picker.last.y) return PickStep::None;
        g_picker.last = at;
        Sample(pane, at, mode, c);
        return PickStep::Tracked;
    case WM_LBUTTONDOWN:
        EndPick(pane);
        Sample(pane, at, mode, c);
        return PickStep::Taken;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: CancelPicking(pane, mode, c); return PickStep::Cancelled;
    }
    return PickStep::None;
}

bool CancelPicking(HWND pane, int mode, ColourRecord& c) {
    if (!IsPicking(pane)) return false;
    EndPick(pane);
    c = g_picker.before;
    ShowAndCommit(pane, mode, c);
    return true;
}

bool AbandonPicking(HWND pane, ColourRecord& c) {
    if (!IsPicking(pane)) return false;
    if (g_picker.hook) UnhookWindowsHookEx(g_picker.hook);
    g_picker.hook = nullptr;
    g_picker.target = nullptr;
    // Only a left click takes a colour: a pane closed from the keyboard
    // in the middle of a pick keeps the colour it had before.
    c = g_picker.before;
    return true;
}

bool ColourEditorMessage(HWND pane, UINT msg, WPARAM wp, LPARAM lp, int mode, ColourRecord& c, INT_PTR& result,
                         PickStep& step) {
    step = PickStep::None;
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        step = PickMessage(pane, msg, lp, mode, c);
        result = step != PickStep::None;
        return true;
    case WM_SETCURSOR:
        result = KeepPickingCursor(pane);
        if (result) SetWindowLongPtrW(pane, DWLP_MSGRESULT, TRUE);
        return true;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = ColourEditorControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), mode);
        return true;
    }
    return false;
}

}  // namespace vc
