// Reads and closes the program's message boxes as they show, so that a
// command that tells the user something runs through in a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/Wide_win.h"
#include "resources/resource.h"

namespace vc::test {

inline std::vector<std::u16string>& ShownBoxes() {
    static std::vector<std::u16string> texts;
    return texts;
}
inline void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Vellumcraft");
    if (!box || !IsWindowVisible(box)) return;
    wchar_t text[512] = {};
    GetDlgItemTextW(box, IDC_MESSAGEBOX_TEXT, text, 512);
    ShownBoxes().push_back(U16(text));
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}
// The texts of the boxes shown while `act` ran, each closed with OK.
template <class Act>
std::vector<std::u16string> BoxesDuring(Act act) {
    ShownBoxes().clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseBox);
    act();
    KillTimer(nullptr, timer);
    return ShownBoxes();
}

}  // namespace vc::test
