// Controls of the pages pane of the general settings dialog.
#pragma once

#define IDC_PAGES_TREE              1301  // every page, with its box and swatch
#define IDC_PAGES_UP                1311  // moves the selected user page up one
#define IDC_PAGES_DOWN              1312  // moves it down one
#define IDC_PAGES_MAIN_NAME         1067  // the main page's name, bold
#define IDC_PAGES_SET_MAIN          1065  // "設定": the selected page becomes the main page
#define IDC_PAGES_SHOW_AT_START     1098  // "起動時に表示"
#define IDC_PAGES_HIDE_UNMARKED     1069  // radio: unmarked pages are no tabs
#define IDC_PAGES_SEPARATE_MENU     1070  // radio: every page a tab, marked ones in a menu
#define IDC_PAGES_PICTURE_LIST      1060  // picture of the marked-page list
#define IDC_PAGES_PICTURE_MENU      1061  // picture of the separate menu
#define IDC_PAGES_MARK_ALL          1102  // "全てマークする"
#define IDC_PAGES_MAIN_FRAME_LABEL  1302  // " メインページ", sized to its text at run time
#define IDC_PAGES_MARKS_FRAME_LABEL 1303  // " マークしたページの扱い", likewise
