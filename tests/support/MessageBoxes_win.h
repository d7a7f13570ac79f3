// The texts of the program's message boxes shown while `act` runs, each closed at once.
#pragma once

#include <windows.h>

#include <vector>

#include "common/Wide_win.h"
#include "resources/resource.h"

namespace vc::test {

inline std::vector<std::u16string> g_boxes;
template <class Act>
std::vector<std::u16string> BoxesDuring(Act act) {
    g_boxes.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND box = FindWindowW(L"#32770", L"Vellumcraft");
        wchar_t text[512] = {};
        if (!box || !IsWindowVisible(box) || !GetDlgItemTextW(box, IDC_MESSAGEBOX_TEXT, text, 512)) return;
        g_boxes.push_back(U16(text));
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    act();
    KillTimer(nullptr, timer);
    return g_boxes;
}

}  // namespace vc::test
