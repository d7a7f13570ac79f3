// The label colours pane: the five custom label colours, edited one at a
// time with the colour editor on the dialog's copy of them.
#include <windows.h>

#include "settings/AppState_win.h"
#include "generalsettings/GeneralSettings_win.h"
#include "pagesettings/ColourEditor.h"
#include "pagesettings/ColourEditor_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

constexpr int kColours = kUserLabelColourCount;

// The colour chosen and the mode last for the life of the process, apart
// from the page colour pane's own.
struct LabelColoursState {
    int selected = 0;
    int mode = kHsbMode;
    ColourRecord records[kColours];
};
LabelColoursState g_labels;

ColourRecord& Selected() { return g_labels.records[g_labels.selected]; }

void ShowSelected(HWND pane) {
    ShowColourMode(pane, g_labels.mode, Selected());
    ShowColourValue(pane, g_labels.mode, Selected());
}

void OnInit(HWND pane) {
    const GeneralSettingsSession& s = TheGeneralSettings();
    for (int i = 0; i < kColours; ++i) g_labels.records[i] = RecordOf(s.labelColours[size_t(i)]);
    ShowSelected(pane);
    CheckRadioButton(pane, IDC_COLOUR_MODE_RGB, IDC_COLOUR_MODE_HSB, IDC_COLOUR_MODE_RGB + g_labels.mode);
    CheckRadioButton(pane, IDC_LABELCOLOURS_FIRST, IDC_LABELCOLOURS_LAST, IDC_LABELCOLOURS_FIRST + g_labels.selected);
    SetUpColourEditor(pane, IDC_LABELCOLOURS_SWATCH, g_labels.records, kColours);
    if (TheApp().rec.GlobalSettings.TabStyle & TabStyleBit::Animation) {
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
        RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

// The selected colour into the copy, and its swatch after it.
void Commit(HWND pane) {
    const uint32_t colour = ColourOf(Selected());
    TheGeneralSettings().labelColours[size_t(g_labels.selected)] = colour;
    SetSwatchColour(pane, IDC_LABELCOLOURS_SWATCH + g_labels.selected, colour);
}

void Select(HWND pane, int colour) {
    // A pick belongs to the colour it started on.
    CancelPicking(pane, g_labels.mode, Selected());
    g_labels.selected = colour;
    CheckRadioButton(pane, IDC_LABELCOLOURS_FIRST, IDC_LABELCOLOURS_LAST, IDC_LABELCOLOURS_FIRST + colour);
    UpdateForMode(g_labels.mode, Selected());
    ShowSelected(pane);
}

void OnCommand(HWND pane, int id, int notification) {
    const bool clicked = notification == BN_CLICKED;
    if (id >= IDC_LABELCOLOURS_FIRST && id <= IDC_LABELCOLOURS_LAST) {
        if (clicked) Select(pane, id - IDC_LABELCOLOURS_FIRST);
    } else if (id == IDC_COLOUR_MODE_RGB || id == IDC_COLOUR_MODE_HSB) {
        if (clicked) {
            g_labels.mode = id - IDC_COLOUR_MODE_RGB;
            CheckRadioButton(pane, IDC_COLOUR_MODE_RGB, IDC_COLOUR_MODE_HSB, id);
            ShowSelected(pane);
            RepaintColourBars(pane);
        }
    } else if (id == IDC_COLOUR_PICK) {
        if (clicked) StartPicking(pane, Selected());
    } else if (id == IDM_COLOUR_COMMIT) {
        Commit(pane);
    }
}

}  // namespace

INT_PTR CALLBACK LabelColoursPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInit(pane);
        // The focus stays with the toolbar: a radio button that gets the
        // focus unchecked clicks itself and would change the colour edited.
        return FALSE;
    case WM_COMMAND: OnCommand(pane, LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_HSCROLL:
        if (ScrollColourBar(pane, wp, reinterpret_cast<HWND>(lp), g_labels.mode, Selected())) {
            SendMessageW(pane, WM_COMMAND, IDM_COLOUR_COMMIT, 0);
            TheGeneralSettings().LabelColoursChanged = true;
        }
        return TRUE;
    case WM_DESTROY: {
        AbandonPicking(pane, Selected());
        GeneralSettingsSession& s = TheGeneralSettings();
        for (int i = 0; i < kColours; ++i) s.labelColours[size_t(i)] = ColourOf(g_labels.records[i]);
        TearDownColourEditor(pane);
        return FALSE;
    }
    }
    INT_PTR result = FALSE;
    PickStep step = PickStep::None;
    if (ColourEditorMessage(pane, msg, wp, lp, g_labels.mode, Selected(), result, step)) {
        if (step == PickStep::Taken) TheGeneralSettings().LabelColoursChanged = true;
        return result;
    }
    return FALSE;
}

}  // namespace vc
