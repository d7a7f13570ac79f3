// Controls of the label colours pane of the general settings dialog. The
// colour editor's controls keep the ids of ColourPaneIds.h.
#pragma once

#define IDC_LABELCOLOURS_FIRST      1072  // radios "カスタム1".."カスタム5": 1072 + colour
#define IDC_LABELCOLOURS_LAST       1076
#define IDC_LABELCOLOURS_SWATCH     1084  // swatches 1084 + colour
