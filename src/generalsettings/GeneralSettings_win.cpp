#include "generalsettings/GeneralSettings_win.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "settings/AppState_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "generalsettings/GeneralSettings.h"
#include "generalsettings/GlobalHotKey_win.h"
#include "generalsettings/HotKey.h"
#include "pagesettings/SettingsFrame_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

// What Cancel puts back: the general pane changes these at once.
struct Saved {
    uint32_t TabStyle = 0;
    int32_t LayerWindowLevel = 0;
    int32_t TabFontSize = 0;
    std::u16string TabFontName;
};

struct Dialog {
    GeneralSettingsSession* session = nullptr;
    Saved saved;
    std::optional<SettingsFrame> frame;
};
Dialog* g_dialog = nullptr;

HWND CreatePane(HWND frame, int index) {
    static const struct {
        int templateId;
        DLGPROC proc;
    } kPanes[kGeneralSettingsPaneCount] = {
        {IDD_GENERALPANE, GeneralPaneProc},
        {IDD_FOLDERSPANE, FoldersPaneProc},
        {IDD_PAGESPANE, PageListPaneProc},
        {IDD_LABELCOLOURSPANE, LabelColoursPaneProc},
        {IDD_STARTUPPANE, StartupPaneProc},
    };
    if (index < 0 || index >= kGeneralSettingsPaneCount) return nullptr;
    return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(kPanes[index].templateId), frame,
                              kPanes[index].proc, 0);
}

bool SlidesWindows() {
    const App& app = TheApp();
    return app.rec.WindowsVersion < 600 && (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation);
}

// The program's icon at the large icon size of the dialog's DPI: the
// template's is the system's size, which another monitor may not share.
void ShowProgramIcon(HWND dialog) {
    const int size = SystemMetricForDpi(SM_CXICON, UINT(DialogDpi(dialog)));
    SendDlgItemMessageW(dialog, IDC_GENERAL_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(AppIcon(TheApp().instance, size)), 0);
}

void OnInitDialog(HWND dialog) {
    App& app = TheApp();
    Dialog& d = *g_dialog;
    GeneralSettingsSession& s = *d.session;
    const GlobalRecord& g = app.rec.GlobalSettings;
    PlaceDialogBesideTabWindow(dialog, app.TabWindow, StoredTabRect(app.rec.GlobalSettings), app.rec.WindowsVersion);
    d.saved = Saved{g.TabStyle, g.LayerWindowLevel, g.TabFontSize, std::u16string(CutTo(g.TabFontName, 36))};
    s.spcialFolder = g.SpcialFolder;
    s.spcialRecentFileNum = g.SpcialRecentFileNum;
    s.PagesReorganised = s.SpecialSetChanged = s.LabelColoursChanged = false;
    s.selectedPosition = s.shownPosition = SelectedPagePosition(app.rec);

    d.frame.emplace(GeneralSettingsPanes, kGeneralSettingsPaneCount, GeneralSettingsPaneIndex(), CreatePane);
    d.frame->SetToolbarLook(300, true);
    d.frame->Create(dialog, false);
    if (SlidesWindows()) {
        AnimateWindow(dialog, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        if (HWND pane = d.frame->pane()) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    ShowProgramIcon(dialog);
    ShowWindow(GetDlgItem(dialog, IDC_GENERAL_ICON), SW_SHOW);
}

void SetLayered(HWND tab, bool on, int32_t level) {
    const LONG_PTR ex = GetWindowLongPtrW(tab, GWL_EXSTYLE);
    SetWindowLongPtrW(tab, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED)));
    if (on) SetLayeredWindowAttributes(tab, 0, BYTE(level & 0xFF), LWA_ALPHA);
}

}  // namespace

bool ConfirmedGlobalSettings(GlobalRecord& g) {
    if (!g_dialog) return false;
    const Saved& saved = g_dialog->saved;
    g.TabStyle = saved.TabStyle;
    g.LayerWindowLevel = int16_t(saved.LayerWindowLevel);
    g.TabFontSize = saved.TabFontSize;
    g.TabFontName = saved.TabFontName;
    return true;
}

namespace {

// Puts back what the general pane changed while the dialog was open.
void Restore() {
    App& app = TheApp();
    GlobalRecord& g = app.rec.GlobalSettings;
    const Saved& saved = g_dialog->saved;
    if (app.rec.WindowsVersion >= 500 &&
        (g.LayerWindowLevel != saved.LayerWindowLevel ||
         ((g.TabStyle ^ saved.TabStyle) & TabStyleBit::Transparent))) {
        g.TabStyle = saved.TabStyle;
        g.LayerWindowLevel = int16_t(saved.LayerWindowLevel);
        if (app.TabWindow && IsWindow(app.TabWindow))
            SetLayered(app.TabWindow, saved.TabStyle & TabStyleBit::Transparent, saved.LayerWindowLevel);
    }
    g.TabStyle = saved.TabStyle;
    g.TabFontSize = saved.TabFontSize;
    g.TabFontName = saved.TabFontName;
    if (app.TabWindow) {
        SendMessageW(app.TabWindow, WM_COMMAND, IDM_APPLY_TAB_FONT, 0);
        SendMessageW(app.TabWindow, WM_COMMAND, IDM_APPLY_STATUS_FONT, 0);
    }
}

void End(HWND dialog, int id) {
    App& app = TheApp();
    Dialog& d = *g_dialog;
    GeneralSettingsSession& s = *d.session;
    if (HWND pane = d.frame->pane(); pane && GeneralSettingsPaneIndex() == 2)
        SendMessageW(pane, WM_COMMAND, kCommitMarks, id == IDOK ? 1 : 0);
    if (id == IDOK) {
        GlobalRecord& g = app.rec.GlobalSettings;
        if (g.SpcialFolder != s.spcialFolder || g.SpcialRecentFileNum != s.spcialRecentFileNum)
            s.SpecialSetChanged = true;
        g.SpcialFolder = s.spcialFolder;
        g.SpcialRecentFileNum = uint16_t(s.spcialRecentFileNum);
        s.tabStyleBefore = d.saved.TabStyle;
    }
    if (app.TabWindow)
        SetWindowPos(app.TabWindow,
                     (app.rec.GlobalSettings.TabStyle & TabStyleBit::TopMost) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                     0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (SlidesWindows()) AnimateWindow(dialog, 75, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
    EndDialog(dialog, id);
}

// The hotkey is had before the dialog closes, so that a key Windows will
// not give keeps the dialog open on the general pane's box with the old key
// working. The key the program started the dialog with closes it as before,
// had or not.
bool TookHotKey() {
    App& app = TheApp();
    const uint16_t word = g_dialog->session->hotKey;
    if (RegisterGlobalHotKey(app.HostWindow, word) == HotKeyOutcome::Registered ||
        UsableHotKey(word) == UsableHotKey(app.rec.GlobalSettings.HotKey))
        return true;
    SettingsFrame& frame = *g_dialog->frame;
    SendMessageW(frame.toolbar(), TB_CHECKBUTTON, WPARAM(GeneralSettingsPanes[0].buttonId), TRUE);
    frame.SwitchTo(0, false);
    if (HWND pane = frame.pane()) ShowRefusedHotKey(pane);
    return false;
}

void Cancel(HWND dialog) {
    Restore();
    GeneralSettingsSession& s = *g_dialog->session;
    s.PagesReorganised = s.SpecialSetChanged = s.LabelColoursChanged = false;
    End(dialog, IDCANCEL);
}

INT_PTR CALLBACK FrameProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* d = g_dialog;
    if (!d) return FALSE;
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        // A pane that took the focus (the pages tree) keeps it.
        return GetFocus() && IsChild(dialog, GetFocus()) ? FALSE : TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (id == IDOK) {
            if (TookHotKey()) End(dialog, IDOK);
        } else if (id == IDCANCEL) {
            Cancel(dialog);
        } else if (int pane = PaneOfButton(GeneralSettingsPanes, kGeneralSettingsPaneCount, id); pane >= 0) {
            d->frame->SwitchTo(pane, TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation);
        } else if (id == IDC_GENERAL_ICON && HIWORD(wp) == STN_CLICKED) {
            HWND icon = GetDlgItem(dialog, IDC_GENERAL_ICON);
            RandomAnimation(icon, AW_HIDE);
            RandomAnimation(icon, AW_ACTIVATE);
            RedrawWindow(icon, nullptr, nullptr, RDW_INVALIDATE);
        }
        return TRUE;
    }
    case WM_CLOSE:
        // The close box is a way to cancel: what the panes changed while the
        // dialog was open goes back, or the tabs would disagree with the
        // settings.
        Cancel(dialog);
        return TRUE;
    case WM_DPICHANGED:
        if (!d->frame || !d->frame->FollowDpiChange(wp, lp)) return FALSE;
        ShowProgramIcon(dialog);
        return TRUE;
    case WM_DESTROY:
        if (d->frame) d->frame->Destroy();
        return FALSE;
    }
    INT_PTR result = FALSE;
    if (d->frame && d->frame->HandleMessage(dialog, msg, wp, lp, result)) return result;
    return FALSE;
}

}  // namespace

GeneralSettingsSession& TheGeneralSettings() {
    static GeneralSettingsSession none;
    return g_dialog ? *g_dialog->session : none;
}

int& GeneralSettingsPaneIndex() {
    static int index = 0;
    return index;
}

INT_PTR RunGeneralSettingsDialog(App& app, HWND owner, GeneralSettingsSession& session) {
    if (g_dialog) return IDCANCEL;  // one at a time
    Dialog d;
    d.session = &session;
    g_dialog = &d;
    const INT_PTR result =
        DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_GENERALSETTINGS), owner, FrameProc, 0);
    g_dialog = nullptr;
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace vc
