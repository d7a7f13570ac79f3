// The general pane: the tab strip's placement, the window's opacity,
// animation, taskbar and status bar, the tab font, whether entry paths
// are stored without the settings file's drive letter, and the global
// hotkey. Every change goes into the global settings at once and the dialog
// puts them back on Cancel; the hotkey alone waits for OK, which registers it.
#include <windows.h>

#include <commctrl.h>

#include "settings/AppState_win.h"
#include "common/Wide_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "generalsettings/GlobalHotKey_win.h"
#include "pagesettings/FontList_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

struct StyleBox {
    int id;
    uint32_t bit;
};
constexpr StyleBox kBoxes[] = {
    {IDC_GENERAL_BOTTOM, TabStyleBit::Bottom},        {IDC_GENERAL_MULTILINE, TabStyleBit::MultiLine},
    {IDC_GENERAL_ANIMATION, TabStyleBit::Animation},  {IDC_GENERAL_NOTASKBAR, TabStyleBit::NoTaskbar},
    {IDC_GENERAL_TOPMOST, TabStyleBit::TopMost},      {IDC_GENERAL_TRANSPARENT, TabStyleBit::Transparent},
    {IDC_GENERAL_STATUSBAR, TabStyleBit::StatusBar},  {IDC_GENERAL_DRIVERELATIVE, TabStyleBit::DriveRelativePaths},
};
constexpr int kMinOpacity = kMinLayerWindowLevel;
int g_lastStatusSize = 0;

GlobalRecord& Global() { return TheApp().rec.GlobalSettings; }

void TellTabWindow(int command) {
    if (HWND tab = TheApp().TabWindow) SendMessageW(tab, WM_COMMAND, command, 0);
}

void EnableStatusSize(HWND pane) {
    const bool on = Global().TabStyle & TabStyleBit::StatusBar;
    EnableWindow(GetDlgItem(pane, IDC_GENERAL_STATUSSIZE_LABEL), on);
    EnableWindow(GetDlgItem(pane, IDC_GENERAL_STATUSSIZE), on);
}

void ApplyOpacity() {
    if (HWND tab = TheApp().TabWindow) SetLayeredWindowAttributes(tab, 0, BYTE(Global().LayerWindowLevel & 0xFF), LWA_ALPHA);
}

// The note stands for the key in the box when it was refused: at the start,
// or by the last OK. A newly typed key is tried only on OK.
void ShowHotKeyTaken(HWND pane) {
    const bool taken = GlobalHotKeyTaken(TheGeneralSettings().hotKey);
    ShowWindow(GetDlgItem(pane, IDC_GENERAL_HOTKEY_TAKEN), taken ? SW_SHOWNA : SW_HIDE);
}

void OnInitDialog(HWND pane) {
    const GlobalRecord& g = Global();
    FillFontList(pane, IDC_GENERAL_TABFONT, g.TabFontName);
    SendDlgItemMessageW(pane, IDC_GENERAL_TABSIZE, EM_LIMITTEXT, 3, 0);
    HWND arrows = GetDlgItem(pane, IDC_GENERAL_TABSIZE_ARROWS);
    SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(pane, IDC_GENERAL_TABSIZE)), 0);
    SendMessageW(arrows, UDM_SETRANGE32, 10, 64);
    SendMessageW(arrows, UDM_SETPOS32, 0, g.TabFontSize);
    for (const StyleBox& b : kBoxes) CheckDlgButton(pane, b.id, (g.TabStyle & b.bit) ? BST_CHECKED : BST_UNCHECKED);
    HWND sizes = GetDlgItem(pane, IDC_GENERAL_STATUSSIZE);
    for (const wchar_t* name : {L"小", L"中", L"大", L"特大"})
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    g_lastStatusSize = StatusBarFontSize(g.TabStyle);
    SendMessageW(sizes, CB_SETCURSEL, WPARAM(g_lastStatusSize), 0);
    HWND opacity = GetDlgItem(pane, IDC_GENERAL_OPACITY);
    SendMessageW(opacity, TBM_SETRANGE, TRUE, MAKELPARAM(kMinOpacity, 255));
    SendMessageW(opacity, TBM_SETPOS, TRUE, g.LayerWindowLevel);
    EnableStatusSize(pane);
    PrepareHotKeyBox(GetDlgItem(pane, IDC_GENERAL_HOTKEY), TheGeneralSettings().hotKey);
    ShowHotKeyTaken(pane);
    if (g.TabStyle & TabStyleBit::Animation) AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

void TakeBoxes(HWND pane) {
    GlobalRecord& g = Global();
    for (const StyleBox& b : kBoxes) g.TabStyle &= ~b.bit;
    for (const StyleBox& b : kBoxes)
        if (IsDlgButtonChecked(pane, b.id) == BST_CHECKED) g.TabStyle |= b.bit;
    EnableStatusSize(pane);
}

void ToggleTransparency() {
    GlobalRecord& g = Global();
    g.TabStyle ^= TabStyleBit::Transparent;
    HWND tab = TheApp().TabWindow;
    if (!tab) return;
    const bool on = g.TabStyle & TabStyleBit::Transparent;
    const LONG_PTR ex = GetWindowLongPtrW(tab, GWL_EXSTYLE);
    SetWindowLongPtrW(tab, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED)));
    if (on) ApplyOpacity();
}

INT_PTR OnCommand(HWND pane, WPARAM wp) {
    switch (LOWORD(wp)) {
    case IDC_GENERAL_BOTTOM:
    case IDC_GENERAL_MULTILINE:
    case IDC_GENERAL_ANIMATION:
    case IDC_GENERAL_TOPMOST:
    case IDC_GENERAL_NOTASKBAR:
    case IDC_GENERAL_STATUSBAR:
    // Only the bit: the entries of every page are stored anew with the
    // global settings after OK, in the same write.
    case IDC_GENERAL_DRIVERELATIVE: TakeBoxes(pane); return TRUE;
    case IDC_GENERAL_TRANSPARENT: ToggleTransparency(); return TRUE;
    case IDC_GENERAL_HOTKEY:
        if (HIWORD(wp) != EN_CHANGE) return TRUE;
        TheGeneralSettings().hotKey = LOWORD(SendDlgItemMessageW(pane, IDC_GENERAL_HOTKEY, HKM_GETHOTKEY, 0, 0));
        ShowHotKeyTaken(pane);
        return TRUE;
    case IDC_GENERAL_STATUSSIZE: {
        const int size = int(SendDlgItemMessageW(pane, IDC_GENERAL_STATUSSIZE, CB_GETCURSEL, 0, 0));
        if (size >= 0 && size != g_lastStatusSize) {
            GlobalRecord& g = Global();
            g.TabStyle = (uint32_t(size) << TabStyleBit::StatusBarFontSizeShift) |
                         (g.TabStyle & ~TabStyleBit::StatusBarFontSizeMask);
            TellTabWindow(IDM_APPLY_STATUS_FONT);
        }
        if (size >= 0) g_lastStatusSize = size;
        return TRUE;
    }
    case IDC_GENERAL_TABFONT: {
        // Only a pick changes the face: the combo also reports losing the
        // focus, which comes after Cancel has put the old face back.
        if (HIWORD(wp) != CBN_SELCHANGE) return TRUE;
        std::u16string face;
        if (PickedFace(GetDlgItem(pane, IDC_GENERAL_TABFONT), face)) Global().TabFontName = face.substr(0, 36);
        TellTabWindow(IDM_APPLY_TAB_FONT);
        TellTabWindow(IDM_APPLY_STATUS_FONT);
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

void ShowRefusedHotKey(HWND pane) {
    ShowHotKeyTaken(pane);
    SendMessageW(GetAncestor(pane, GA_ROOT), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(pane, IDC_GENERAL_HOTKEY)),
                 TRUE);
}

INT_PTR CALLBACK GeneralPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND: return OnCommand(pane, wp);
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(pane, IDC_GENERAL_OPACITY)) {
            HWND opacity = reinterpret_cast<HWND>(lp);
            int level = int(SendMessageW(opacity, TBM_GETPOS, 0, 0));
            if (level < kMinOpacity) {
                level = kMinOpacity;
                SendMessageW(opacity, TBM_SETPOS, TRUE, level);
            }
            Global().LayerWindowLevel = int16_t(level);
            ApplyOpacity();
            return TRUE;
        }
        return FALSE;
    case WM_VSCROLL:
        if (const int size = ArrowsPosition(pane, lp, IDC_GENERAL_TABSIZE_ARROWS, IDC_GENERAL_TABSIZE); size >= 0) {
            Global().TabFontSize = size;
            TellTabWindow(IDM_APPLY_TAB_FONT);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    }
    return FALSE;
}

}  // namespace vc
