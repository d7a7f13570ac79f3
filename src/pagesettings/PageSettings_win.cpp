#include "pagesettings/PageSettings_win.h"

#include <commctrl.h>

#include <cstdio>
#include <optional>
#include <utility>

#include "settings/AppState_win.h"
#include "common/Dpi.h"
#include "common/Handles_win.h"
#include "common/MessageBox_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pagesettings/PageSettings.h"
#include "pagesettings/SettingsFrame_win.h"
#include "pageview/FileDetails.h"
#include "pageview/FileDetails_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "pagesettings/PageSettingsPanes_win.h"
#include "common/Swatch_win.h"
#include "common/TabTexts.h"

namespace vc {
namespace {

HWND CreatePane(HWND frame, int index);

struct Dialog {
    PageRecord working;
    PageId page = -1;
    int sampleIndex = 0;
    FontPtr sampleFont;    // lent to the sample strip
    BrushPtr sampleBrush;  // its background
    std::optional<SettingsFrame> frame;
};
Dialog* g_dialog = nullptr;

bool Animated() { return TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation; }

void MakeSampleLook(HWND dialog) {
    Dialog& d = *g_dialog;
    HWND sample = GetDlgItem(dialog, IDC_SETTINGS_SAMPLE);
    // Underline and strike-out never reach the sample.
    const std::u16string face(CutTo(d.working.FontName, LF_FACESIZE - 1));
    const int weight = (d.working.FontStyle & FontStyleBit::Bold) ? FW_BOLD : FW_NORMAL;
    const BOOL italic = (d.working.FontStyle & FontStyleBit::Italic) ? TRUE : FALSE;
    // The page keeps its size for 96 DPI; the sample shows it as the list will.
    FontPtr font(CreateFontW(ScaleToDpi(d.working.FontSize, DialogDpi(dialog)), 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             AsW(face)));
    // The sample takes the new font before the old one goes; without a new
    // one it keeps the font it shows.
    if (font) {
        SendMessageW(sample, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        d.sampleFont = std::move(font);
    }
    d.sampleBrush.reset(CreateSolidBrush(d.working.FontColorBk));
}

// Shows the next entry's name on the sample strip.
void NextSample(HWND dialog) {
    Dialog& d = *g_dialog;
    const PaneState& p = ThePane();
    if (p.EntryCount <= 0) return;
    d.sampleIndex = NextSampleIndex(d.sampleIndex, p.EntryCount);
    std::u16string text;
    if (size_t(d.sampleIndex) < p.EntryTable.size()) {
        const std::u16string& path = p.EntryTable[size_t(d.sampleIndex)].Path;
        std::optional<FullPath> full = path.empty() ? std::nullopt : FullPathOf(path);
        if (full && full->NameStart < full->Text.size())
            text = SampleText(full->Name(), KindOf(d.page) == PageKind::Special && d.working.FolderId == kRecentFolderId);
    }
    SetDlgItemTextW(dialog, IDC_SETTINGS_SAMPLE, AsW(text));
}

void OnInitDialog(HWND dialog) {
    App& app = TheApp();
    Dialog& d = *g_dialog;
    PlaceDialogBesideTabWindow(dialog, app.TabWindow, StoredTabRect(app.rec.GlobalSettings), app.rec.WindowsVersion);
    d.page = PageIdOfCurrentTab(app.rec);
    if (const PageRecord* page = app.rec.Page(d.page)) d.working = *page;
    d.frame.emplace(PageSettingsPanes, kPageSettingsPaneCount, PageSettingsPaneIndex(), CreatePane);
    d.frame->Create(dialog, false);
    SetWindowTextW(dialog, AsW(PageSettingsCaption(d.working.Label)));
    MakeSampleLook(dialog);
    d.sampleIndex = ThePane().EntryCount;
    SendMessageW(dialog, WM_COMMAND, IDC_SETTINGS_SAMPLE, 0);
    SetCaptionIcon(dialog, app.instance, UINT(DialogDpi(dialog)));
    // The slide comes last, once the dialog holds everything it shows.
    if (app.rec.WindowsVersion < 600 && Animated()) {
        AnimateWindow(dialog, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        if (HWND pane = d.frame->pane()) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void EndWith(HWND dialog, int result) {
    App& app = TheApp();
    if (app.rec.WindowsVersion < 600 && Animated()) AnimateWindow(dialog, 75, AW_SLIDE | AW_HIDE | AW_VER_NEGATIVE);
    EndDialog(dialog, result);
    if (HWND pane = CurrentPagePane()) InvalidateRect(pane, nullptr, FALSE);
}

void OnOk(HWND dialog) {
    App& app = TheApp();
    Dialog& d = *g_dialog;
    d.frame->ClosePane();
    if (PageRecord* page = app.rec.Page(d.page)) {
        *page = d.working;
        if (HWND strip = app.TabWindow ? GetDlgItem(app.TabWindow, IDC_TABSTRIP) : nullptr) {
            std::u16string label = TabItemText(page->Label);
            TCITEMW item{};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = const_cast<wchar_t*>(AsW(label));
            item.iImage = page->LabelColor + kLabelColorCount;  // the selected tab's full swatch
            SendMessageW(strip, TCM_SETITEMW, WPARAM(app.rec.GlobalSettings.TabNumber),
                         reinterpret_cast<LPARAM>(&item));
        }
        if (HWND pane = CurrentPagePane()) {
            SendMessageW(pane, WM_COMMAND, ApplyFontAndColours, 0);
            SendMessageW(pane, WM_COMMAND, ApplyView, 0);
            InvalidateRect(pane, nullptr, FALSE);
        }
    }
    EndWith(dialog, IDOK);
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
            OnOk(dialog);
        } else if (id == IDCANCEL) {
            EndWith(dialog, IDCANCEL);
        } else if (int pane = PaneOfButton(PageSettingsPanes, kPageSettingsPaneCount, id); pane >= 0) {
            d->frame->SwitchTo(pane, Animated());
        } else if (id == ApplyFontAndColours) {
            MakeSampleLook(dialog);
            RedrawWindow(GetDlgItem(dialog, IDC_SETTINGS_SAMPLE), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        } else if (id == IDC_SETTINGS_SAMPLE && (HIWORD(wp) == STN_CLICKED || HIWORD(wp) == STN_DBLCLK)) {
            // A double click is a second click for someone going through the names.
            NextSample(dialog);
        }
        return TRUE;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == IDC_SETTINGS_SAMPLE) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, d->working.FontColor);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(d->sampleBrush.get());
        }
        break;
    case WM_DPICHANGED:
        if (!d->frame || !d->frame->FollowDpiChange(wp, lp)) return FALSE;
        MakeSampleLook(dialog);
        RedrawWindow(GetDlgItem(dialog, IDC_SETTINGS_SAMPLE), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        return TRUE;
    case WM_CLOSE: EndWith(dialog, IDCANCEL); return TRUE;  // the close box cancels, as キャンセル does
    case WM_DESTROY:
        if (d->frame) d->frame->Destroy();
        d->sampleFont.reset();
        d->sampleBrush.reset();
        return FALSE;
    }
    INT_PTR result = FALSE;
    if (d->frame && d->frame->HandleMessage(dialog, msg, wp, lp, result)) return result;
    return FALSE;
}

}  // namespace

// ---- File info pane: what the page holds ----

INT_PTR CALLBACK FileInfoPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        const float sx = DialogDpi(pane) / 96.0f;
        HWND list = GetDlgItem(pane, IDC_FILEINFO_LIST);
        const DWORD ex = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
        const wchar_t* headers[2] = {L"項目", L"内容"};
        const int widths[2] = {int(95 * sx), int(310 * sx)};
        for (int c = 0; c < 2; ++c) {
            LVCOLUMNW col{};
            col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            col.fmt = LVCFMT_LEFT;
            col.cx = widths[c];
            col.pszText = const_cast<wchar_t*>(headers[c]);
            col.iSubItem = c;
            SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&col));
        }
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"ファイル数");
        const int row = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        std::u16string count = Dec(ThePane().EntryCount);
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = const_cast<wchar_t*>(AsW(count));
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&sub));
        SetControlTheme(list, L"EXPLORER");
        if (Animated()) AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        return TRUE;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    }
    return FALSE;
}

namespace {

HWND CreatePane(HWND frame, int index) {
    static const struct {
        int templateId;
        DLGPROC proc;
    } kPanes[kPageSettingsPaneCount] = {
        {IDD_LABELPANE, LabelPaneProc},   {IDD_VIEWPANE, ViewPaneProc},         {IDD_FONTPANE, FontPaneProc},
        {IDD_COLOURPANE, ColourPaneProc}, {IDD_FILEINFOPANE, FileInfoPaneProc},
    };
    if (index < 0 || index >= kPageSettingsPaneCount) return nullptr;
    return CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(kPanes[index].templateId), frame, kPanes[index].proc,
                              0);
}

}  // namespace

PageRecord& PageSettingsWorkingCopy() {
    static PageRecord none;
    return g_dialog ? g_dialog->working : none;
}

bool OfferAsDefaults(HWND pane, const char16_t* paneName, void (*copy)(const PageRecord& from, PageRecord& to)) {
    if (ShowMessageBox(pane, kMessageBoxYesNo, MakeDefaultQuestion(paneName)) != kMessageBoxYes) return false;
    App& app = TheApp();
    copy(PageSettingsWorkingCopy(), app.rec.DefaultPage);
    ProfileBatch batch(app.store);
    WritePage(app.rec, app.store, kDefaultPageId, WriteGroup::All);
    return true;
}

int& PageSettingsPaneIndex() {
    static int index = 0;
    return index;
}

INT_PTR RunPageSettingsDialog(App& app, HWND owner) {
    if (g_dialog) return IDCANCEL;  // one at a time
    Dialog d;
    g_dialog = &d;
    INT_PTR result = DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_PAGESETTINGS), owner, FrameProc, 0);
    g_dialog = nullptr;
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace vc
