// Template and controls of the font pane of the page settings dialog.
#pragma once

#define IDC_FONT_FACE               1031  // installed TrueType faces, sorted
#define IDC_FONT_SIZE               1032  // read only: the up-down sets it
#define IDC_FONT_SIZESPIN           1033  // up-down, 10..32
// The style boxes in FontStyle bit order: 0x1, 0x2, 0x4, 0x8. Underline and
// strike-out are hidden; they keep the values the page was loaded with.
#define IDC_FONT_BOLD               1034
#define IDC_FONT_ITALIC             1035
#define IDC_FONT_UNDERLINE          1036
#define IDC_FONT_STRIKEOUT          1037
#define IDC_FONT_MAKEDEFAULT        3     // "初期値設定...": the font of new pages
