// Pane 3 of the page settings dialog: the page's text and background
// colours, edited one at a time with the colour editor.
#include <windows.h>

#include "settings/AppState_win.h"
#include "pagesettings/ColourEditor.h"
#include "pagesettings/ColourEditor_win.h"
#include "pagesettings/PageSettingsPanes_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

constexpr int kTextRecord = 0;  // FontColor
constexpr int kBackRecord = 1;  // FontColorBk

// The choice of colour and of mode outlive the pane, for the life of the
// process: the pane reopens on what it showed last.
struct ColourPaneState {
    int selected = kBackRecord;
    int mode = kHsbMode;
    ColourRecord records[2];
};
ColourPaneState g_colour;

ColourRecord& Selected() { return g_colour.records[g_colour.selected]; }

void ShowSelected(HWND pane) {
    ShowColourMode(pane, g_colour.mode, Selected());
    ShowColourValue(pane, g_colour.mode, Selected());
}

void OnInit(HWND pane) {
    const PageRecord& page = PageSettingsWorkingCopy();
    g_colour.records[kTextRecord] = RecordOf(page.FontColor);
    g_colour.records[kBackRecord] = RecordOf(page.FontColorBk);
    ShowSelected(pane);
    CheckRadioButton(pane, IDC_COLOUR_MODE_RGB, IDC_COLOUR_MODE_HSB, IDC_COLOUR_MODE_RGB + g_colour.mode);
    CheckRadioButton(pane, IDC_COLOUR_SELECT_TEXT, IDC_COLOUR_SELECT_BACK, IDC_COLOUR_SELECT_TEXT + g_colour.selected);
    SetUpColourEditor(pane, IDC_COLOUR_SWATCH_TEXT, g_colour.records, 2);
    if (TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation)
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

// The records into the working copy, and the swatches after them.
void Commit(HWND pane) {
    PageRecord& page = PageSettingsWorkingCopy();
    page.FontColor = ColourOf(g_colour.records[kTextRecord]);
    page.FontColorBk = ColourOf(g_colour.records[kBackRecord]);
    SetSwatchColour(pane, IDC_COLOUR_SWATCH_TEXT, page.FontColor);
    SetSwatchColour(pane, IDC_COLOUR_SWATCH_BACK, page.FontColorBk);
}

void Select(HWND pane, int record) {
    // A pick belongs to the colour it started on: switching (from the
    // keyboard) in the middle of one ends it, or its cancel would put that
    // colour into the other record.
    CancelPicking(pane, g_colour.mode, Selected());
    g_colour.selected = record;
    CheckRadioButton(pane, IDC_COLOUR_SELECT_TEXT, IDC_COLOUR_SELECT_BACK, IDC_COLOUR_SELECT_TEXT + record);
    // In HSB mode the bars hold H, S and V: the colour is what they say.
    UpdateForMode(g_colour.mode, Selected());
    ShowSelected(pane);
}

void SetMode(HWND pane, int mode) {
    g_colour.mode = mode;
    CheckRadioButton(pane, IDC_COLOUR_MODE_RGB, IDC_COLOUR_MODE_HSB, IDC_COLOUR_MODE_RGB + mode);
    ShowSelected(pane);
    RepaintColourBars(pane);
}

void CopyColours(const PageRecord& from, PageRecord& to) {
    to.FontColor = from.FontColor;
    to.FontColorBk = from.FontColorBk;
}

void OnCommand(HWND pane, int id, int notification) {
    const bool clicked = notification == BN_CLICKED;
    switch (id) {
    case IDC_COLOUR_SELECT_TEXT:
    case IDC_COLOUR_SELECT_BACK:
        if (clicked) Select(pane, id - IDC_COLOUR_SELECT_TEXT);
        break;
    case IDC_COLOUR_MODE_RGB:
    case IDC_COLOUR_MODE_HSB:
        if (clicked) SetMode(pane, id - IDC_COLOUR_MODE_RGB);
        break;
    case IDC_COLOUR_PICK:
        if (clicked) StartPicking(pane, Selected());
        break;
    case IDC_COLOUR_DEFAULTS:
        if (clicked) OfferAsDefaults(pane, u"色", CopyColours);
        break;
    case IDM_COLOUR_COMMIT: Commit(pane); break;
    }
}

}  // namespace

INT_PTR CALLBACK ColourPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInit(pane);
        // The focus stays with the toolbar that brought the pane: a radio
        // button that gets the focus unchecked clicks itself, which would
        // change the colour being edited.
        return FALSE;
    case WM_COMMAND: OnCommand(pane, LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_HSCROLL:
        if (ScrollColourBar(pane, wp, reinterpret_cast<HWND>(lp), g_colour.mode, Selected())) {
            SendMessageW(pane, WM_COMMAND, IDM_COLOUR_COMMIT, 0);
            PostMessageW(GetParent(pane), WM_COMMAND, ApplyFontAndColours, 0);
        }
        return TRUE;
    case WM_DESTROY:
        AbandonPicking(pane, Selected());
        Commit(pane);
        TearDownColourEditor(pane);
        return FALSE;
    }
    INT_PTR result = FALSE;
    PickStep step = PickStep::None;
    if (ColourEditorMessage(pane, msg, wp, lp, g_colour.mode, Selected(), result, step)) {
        if (step == PickStep::Taken) SendMessageW(GetParent(pane), WM_COMMAND, ApplyFontAndColours, 0);
        return result;
    }
    return FALSE;
}

}  // namespace vc
