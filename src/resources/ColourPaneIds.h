// Template and controls of the ColourPane. The colour editor's controls
// (captions, bars, value text, mode buttons, picking button) keep these ids
// on every pane that edits colours, so the editor finds them by id.
#pragma once

// The colour editor, shared by the panes that edit colours.
#define IDC_COLOUR_CAPTION_FIRST    1101  // captions of the three bars:
#define IDC_COLOUR_CAPTION_2        1102  // 1101 + bar
#define IDC_COLOUR_CAPTION_3        1103
#define IDC_COLOUR_BAR_FIRST        1111  // horizontal scroll bars: 1111 + bar
#define IDC_COLOUR_BAR_2            1112
#define IDC_COLOUR_BAR_3            1113
#define IDC_COLOUR_VALUE            1125  // the values as text
#define IDC_COLOUR_MODE_RGB         1153  // mode radios: 1153 + mode
#define IDC_COLOUR_MODE_HSB         1154
#define IDC_COLOUR_PICK             1191  // "色を拾ってくる(&P)"
#define IDM_COLOUR_COMMIT           3001  // a pane sends itself: store the
                                          // edited colours, repaint swatches

// The colour pane of the page settings dialog (IDD_COLOURPANE).
#define IDC_COLOUR_SWATCH_TEXT      1057  // swatch of the text colour
#define IDC_COLOUR_SWATCH_BACK      1058  // swatch of the background colour
#define IDC_COLOUR_SELECT_TEXT      1151  // selection radios: 1151 + record
#define IDC_COLOUR_SELECT_BACK      1152
#define IDC_COLOUR_DEFAULTS         3     // "初期値設定..."
