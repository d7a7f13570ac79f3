// The yardstick for Vellumcraft's start-up time: about the least a Win32
// program does to put a dialog on the screen. One empty modeless dialog from
// a template built in memory, a message loop, and an end with exit code 0
// when the dialog gets WM_CLOSE. It carries the program's manifest (Common
// Controls 6), as every modern Win32 program does.
#include <windows.h>

#include <cstring>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_CLOSE: DestroyWindow(dialog); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return TRUE;
        default: return FALSE;
    }
}

// DLGTEMPLATE, then the menu, class and title arrays; the template must start
// on a DWORD boundary.
alignas(4) WORD g_template[64];

const DLGTEMPLATE* BuildTemplate() {
    auto* head = reinterpret_cast<DLGTEMPLATE*>(g_template);
    // Same frame and size as the program's main dialog.
    head->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_VISIBLE;
    head->dwExtendedStyle = 0;
    head->cdit = 0;
    head->x = 10;
    head->y = 10;
    head->cx = 320;
    head->cy = 190;
    WORD* p = g_template + sizeof(DLGTEMPLATE) / sizeof(WORD);
    *p++ = 0;  // no menu
    *p++ = 0;  // the predefined dialog class
    const wchar_t title[] = L"Minimal - Vellumcraft Bench";
    std::memcpy(p, title, sizeof title);
    return head;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND dialog = CreateDialogIndirectParamW(instance, BuildTemplate(), nullptr, DialogProc, 0);
    if (!dialog) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}
