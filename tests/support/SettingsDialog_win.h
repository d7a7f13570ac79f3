// Drives the program's modal settings dialogs in process: the test opens one
// with the tab window's command, and a timer runs the test's checks inside
// the dialog's own message loop once the dialog is up.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "app/App_win.h"
#include "common/Wide_win.h"

namespace vc::test {

// The open settings dialog of this thread: a visible dialog owned by the tab
// window, or nullptr.
inline HWND OpenSettingsDialog() {
    struct Search {
        HWND owner, found;
    } s{TheApp().TabWindow, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t name[16] = {};
            GetClassNameW(w, name, 16);
            if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == s->owner && lstrcmpW(name, L"#32770") == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline std::function<void(HWND)>& DialogAction() {
    static std::function<void(HWND)> action;
    return action;
}

inline void CALLBACK ActInSettingsDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = OpenSettingsDialog();
    if (!dialog || !DialogAction()) return;
    KillTimer(nullptr, id);
    std::exchange(DialogAction(), nullptr)(dialog);
}

// A dialog nobody ended would hang the suite.
inline void CALLBACK EndForgottenDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dialog = OpenSettingsDialog()) EndDialog(dialog, IDCANCEL);
}

// Sends the tab window `command` (which opens a modal dialog) and runs `act`
// inside the dialog; `act` must end the dialog (OK, Cancel, WM_CLOSE).
inline void RunSettingsDialog(UINT command, std::function<void(HWND)> act);

// Does `open` (which opens a modal dialog or box of the tab window) and runs
// `act` inside it.
inline void RunDialogOpenedBy(const std::function<void()>& open, std::function<void(HWND)> act) {
    DialogAction() = std::move(act);
    SetTimer(nullptr, 0, 20, ActInSettingsDialog);
    const UINT_PTR stop = SetTimer(nullptr, 0, 10000, EndForgottenDialog);
    open();
    KillTimer(nullptr, stop);
    EXPECT_FALSE(DialogAction()) << "the dialog did not open";
    DialogAction() = nullptr;
}

inline void RunSettingsDialog(UINT command, std::function<void(HWND)> act) {
    RunDialogOpenedBy([command] { SendMessageW(TheApp().TabWindow, WM_COMMAND, command, 0); }, std::move(act));
}

// The pane of the settings dialog that holds control `id`, or nullptr.
inline HWND PaneHolding(HWND dialog, int id) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgItem(c, id)) return c;
    return nullptr;
}

}  // namespace vc::test
