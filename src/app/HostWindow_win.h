// The hidden host window: it creates the tab window, owns it when the
// program stays off the taskbar, receives the keyboard accelerators and ends
// the message loop when it closes.
#pragma once

#include <windows.h>

namespace vc {

struct App;

constexpr wchar_t kHostClassName[] = L"Vellumcraft";

bool RegisterHostClass(HINSTANCE instance);
// Creates the host window, whose creation creates and shows the tab window.
HWND CreateHostWindow(App& app);
LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Adds the program's commands to the tab window's system menu.
void ExtendSystemMenu(App& app, HWND tabWindow);
// Taskbar ownership, transparency and always-on-top from TabStyle.
void ApplyWindowOptions(App& app, HWND tabWindow);

}  // namespace vc
