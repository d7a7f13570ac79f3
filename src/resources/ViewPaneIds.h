// Template and controls of the view pane of the page settings dialog.
#pragma once

// The four view buttons in view order: IDC_VIEW_TILE + (ListType & 0xF).
#define IDC_VIEW_TILE               1046  // "並べて表示", offered from Windows XP on
#define IDC_VIEW_ICON               1047  // "アイコン表示"
#define IDC_VIEW_SMALLICON          1048  // "小さいアイコン表示"
#define IDC_VIEW_DETAILS            1049  // "詳細表示"
#define IDC_VIEW_EXTENSIONS         1051  // "拡張子を表示する": ListType bit 0x100
#define IDC_VIEW_MAKEDEFAULT        3     // "初期値設定...": the view of new pages
