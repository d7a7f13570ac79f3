// The windows of the program under test, looked at and driven from another
// process: the end-to-end suites share these rather than each keep a copy.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace vc::e2e {

// The program's control and command ids. Written out rather than taken from
// its headers: the suites see the program only from outside, as a user's
// tools would.
constexpr int kTabStripId = 1002, kPageListId = 1044;
constexpr UINT kAddPage = 1061, kDuplicatePage = 1062, kDeletePage = 1063, kSelectPage = 10000;
constexpr int kYes = 6, kNo = 7;

// A message to another process's window that cannot hang the test. A sent
// message also waits for every message posted before it to that thread, so
// once it returns the commands posted earlier have run to their end.
inline LRESULT Ask(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, 2000, &result)) return -100;
    return LRESULT(result);
}

inline HWND TabStrip(HWND tabWindow) { return GetDlgItem(tabWindow, kTabStripId); }
inline int SelectedTab(HWND tabWindow) { return int(Ask(TabStrip(tabWindow), TCM_GETCURSEL)); }
inline int TabCount(HWND tabWindow) { return int(Ask(TabStrip(tabWindow), TCM_GETITEMCOUNT)); }

// The list of the page pane that is shown now, or null between panes.
inline HWND PageList(HWND tabWindow) {
    for (HWND child = FindWindowExW(tabWindow, nullptr, L"#32770", nullptr); child;
         child = FindWindowExW(tabWindow, child, L"#32770", nullptr))
        if (HWND list = GetDlgItem(child, kPageListId)) return list;
    return nullptr;
}

}  // namespace vc::e2e
