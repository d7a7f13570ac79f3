// Template, controls and pictures of the page pane.
#pragma once

#define IDD_PAGEPANE                131   // child dialog over the tab strip's display area
#define IDC_PAGELIST                1044  // SysListView32
#define IDC_LOADINGNOTICE           1056  // "読み込み中です・・・"
#define IDC_FILTERBAND              1057  // the type-to-find filter, over the list while it narrows it

// Fixed images at the start of the three image lists (white is transparent).
#define IDB_BLANK16                 160
#define IDB_SORTUP                  161
#define IDB_SORTDOWN                162
#define IDB_BLANK32                 163   // also loaded at 48 x 48
