// Resource, command and control identifiers of Vellumcraft.
//
// Shared by the C++ sources and by Vellumcraft.rc, so this header holds plain
// #defines only (no enums, no casts, no includes): windres reads it too.
//
// Numbering:
//   1              application manifest (CREATEPROCESS_MANIFEST_RESOURCE_ID)
//   116            private command: toggle transparency (no menu offers it)
//   121..151       resources (icons, bitmaps, cursor, dialog templates,
//                  menus, accelerators); numbers are shared across types
//                  where the types differ (bitmap 121 and icon 121 coexist)
//   999..1112      menu commands and internal commands of the tab window
//   1002..1021     controls of the tab window
//   1201..1202     keyboard commands: next / previous tab
//   10000..11007   page-list items of the menus: page n = id - 10000
//   40006..40042   menu and keyboard commands in the 40000 block
#pragma once

// ---------------------------------------------------------------------------
// Icons
#define IDI_APP                     121   // program icon: 16, 32, 48, 256 px
#define IDI_UP                      126   // "move up" button of the pages pane
#define IDI_DOWN                    127   // "move down" button of the pages pane

// ---------------------------------------------------------------------------
// Bitmaps
#define IDB_BACKGROUND              121   // 48 x 48 light-grey texture, tiled
                                          // as the windows' background brush
#define IDB_TOOLBAR                 122   // settings-dialog toolbar strip:
                                          // ten 24 x 26 cells on the key grey
                                          // (192,192,192), each picture in the
                                          // top 24 rows, since the toolbar is
                                          // given 24 x 24 images at 96 DPI
#define IDB_TOOLBAR36               123   // the same pictures drawn at 36 and
#define IDB_TOOLBAR48               124   // 48 pixels (144 and 192 DPI), in
                                          // square cells

// 16 x 16 menu item pictures. Palette bitmaps whose background is the
// light grey (192,192,192) in the bottom-left pixel, so that
// LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT turn it into the menu colour.
#define IDB_MENU_APP                125   // "Vellumcraft" (About) item
#define IDB_MENU_PAGELIST           131   // first page list (marked pages);
                                          // also pictures the "hide unmarked
                                          // pages" choice of the pages pane
#define IDB_MENU_ALLPAGES           132   // page list of every page; also
                                          // pictures the "separate menu" choice
#define IDB_MENU_NEWPAGE            133   // "新規ページ追加(&A)"
#define IDB_MENU_GENERAL            149   // "全般設定(&T)..."
#define IDB_MENU_CURRENTPAGE        150   // current-page submenu
#define IDB_MENU_PAGESETTINGS       151   // "ページ設定(&P)..."
// Each menu picture drawn again at 24 and 32 pixels, under its id plus
// these offsets, for 144 and 192 DPI.
#define IDB_MENU_OFFSET_24          1000
#define IDB_MENU_OFFSET_32          2000

// Images of IDB_TOOLBAR, left to right. 0..3 belong to the general settings
// dialog, 4..8 to the page settings dialog, 9 to the general settings again.
#define TBIMG_GENERAL               0     // 全般: gear
#define TBIMG_SPECIALFOLDERS        1     // 特別フォルダ: folder with a star
#define TBIMG_PAGES                 2     // ページ: checked page list
#define TBIMG_LABELS                3     // ラベル: colour tag
#define TBIMG_EDIT                  4     // 編集: card and pencil
#define TBIMG_VIEW                  5     // 表示: icon grid
#define TBIMG_FONT                  6     // 文字: letters
#define TBIMG_COLOR                 7     // 色: palette
#define TBIMG_FILEINFO              8     // 情報: information sign
#define TBIMG_STARTUP               9     // 起動: power button (general settings)
#define TBIMG_COUNT                 10
#define TBIMG_WIDTH                 24
#define TBIMG_HEIGHT                26

// ---------------------------------------------------------------------------
// Cursor
#define IDCUR_PICKER                144   // eyedropper shown while a colour is
                                          // picked from the screen; its hot spot
                                          // sits one pixel below and right of the
                                          // tip, because the picker samples the
                                          // pixel up and left of the hot spot

// ---------------------------------------------------------------------------
// Dialog templates
#define IDD_TABWINDOW               133   // main window: tab strip + page pane

// ---------------------------------------------------------------------------
// Menus and accelerators
#define IDR_CONTEXTMENU             128   // popup 0: the context menu
#define IDR_PAGEMENU                129   // popup 0: page commands of the
                                          // system menu
#define IDR_ACCEL                   149   // translated for the host window

// ---------------------------------------------------------------------------
// Controls of the tab window (IDD_TABWINDOW)
#define IDC_TABSTRIP                1002  // SysTabControl32
#define IDC_STATUSBAR               1021  // created at run time when enabled

// ---------------------------------------------------------------------------
// Commands of the tab window. They arrive as WM_COMMAND from the context menu
// and as WM_SYSCOMMAND (same low word) from the system menu.
#define IDM_TOGGLE_TRANSPARENCY     116   // no menu item
#define IDM_EXIT                    999   // "終了(&X)"
#define IDM_ABOUT                   1003  // "Vellumcraft"
#define IDM_PAGE_SETTINGS           1051  // "ページ設定(&P)..."
#define IDM_PAGE_ADD                1061  // "新規ページ追加(&A)"
#define IDM_PAGE_DUPLICATE          1062  // "ページ複製(&C)"
#define IDM_PAGE_DELETE             1063  // "ページ削除(&D)..."
#define IDM_PAGE_EXPORT             1064  // "ページの書き出し..."
#define IDM_PAGE_IMPORT             1065  // "ページの読み込み..."
#define IDM_GENERAL_SETTINGS        1071  // "全般設定(&T)..."
#define IDM_APPLY_TAB_FONT          1111  // internal: rebuild the tab font
#define IDM_APPLY_STATUS_FONT       1112  // internal: rebuild the status font
#define IDM_CREATE_FIRST_PANE       1120  // internal: the first page pane, once the window shows
#define IDM_INSERT_WAITING_TABS     1121  // internal: more of the tabs not shown at the start

// Page lists: item id = IDM_SELECT_PAGE_FIRST + n, n counting the shown
// special pages first, then every user page: room for the eight special
// pages and the 1000 pages a file may hold, in a block no other window's
// commands use (the page pane's own steps are numbered from 2001).
#define IDM_SELECT_PAGE_FIRST       10000
#define IDM_SELECT_PAGE_LAST        11007

#define IDM_ALWAYS_ON_TOP           40006 // "常に手前に表示(&W)"
#define IDM_PAGELIST_PLACEHOLDER    40017 // "Page1" / "Page2", removed when a
                                          // page list is filled
#define IDM_ENTRY_REMOVE            40019 // "ファイル登録削除(&F)"
#define IDM_ENTRY_ADD               40021 // "ファイル登録追加(&A)..."
#define IDM_ENTRY_SHOW_LOCATION     40022 // "ファイル場所表示(&S)"
#define IDM_ENTRY_RUN_AS_ADMIN      40023 // "管理者として実行(&R)"
#define IDM_ENTRY_RUN_WITH_ARGUMENTS 40024 // "引数を指定して実行(&G)..."

// View commands: IDM_VIEW_TILE + (ListType & 0xF) is the checked one.
#define IDM_VIEW_TILE               40027 // "並べて表示"
#define IDM_VIEW_ICON               40028 // "アイコン表示"
#define IDM_VIEW_SMALLICON          40029 // "小さいアイコン表示"
#define IDM_VIEW_DETAILS            40030 // "詳細表示"
#define IDM_VIEW_REGISTERED_ORDER   40031 // "登録順(&O)": the page unsorted
#define IDM_REFRESH                 40038 // "表示更新(&U)"

// ---------------------------------------------------------------------------
// Keyboard commands (IDR_ACCEL)
#define IDM_NEXT_TAB                1201  // Ctrl+Tab
#define IDM_PREV_TAB                1202  // Ctrl+Shift+Tab
#define IDM_SWALLOW_TAB             40010 // Tab, Shift+Tab: no window acts on it,
                                          // so the key never moves the focus
#define IDM_MAIN_PAGE               40042 // Alt+M
#define IDM_FIND_ALL                40043 // Ctrl+F: the find box over every page

// ---------------------------------------------------------------------------
// Ids of the windows that keep their own lists.
#include "MessageBoxIds.h"
#include "PagePaneIds.h"
#include "PageSettingsIds.h"
#include "LabelPaneIds.h"
#include "ViewPaneIds.h"
#include "FontPaneIds.h"
#include "ColourPaneIds.h"
#include "AboutIds.h"
#include "GeneralSettingsIds.h"
#include "GeneralPaneIds.h"
#include "FoldersPaneIds.h"
#include "PageListPaneIds.h"
#include "LabelColoursPaneIds.h"
#include "RunArgumentsIds.h"
#include "FindBoxIds.h"
#include "StartupPaneIds.h"
