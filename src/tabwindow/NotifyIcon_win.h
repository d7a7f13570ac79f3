// The program's icon in the notification area: the way back to a window
// that has no taskbar button or was hidden. The host window owns it, since
// it lives from the start to the end of the run.
#pragma once

#include <windows.h>

namespace vc {

struct App;

// The message the notification area sends the host window about the icon.
constexpr UINT kNotifyIconMessage = WM_APP + 0x31;

// Adds the icon when the settings want one and it is not there, brings its
// picture and tip up to date when it is, removes it when they want none.
void UpdateNotifyIcon(App& app);
// Takes the icon away (at the end of the run, also when the session ends).
void RemoveNotifyIcon(App& app);
// Whether the icon is in the notification area, as far as the program knows.
bool NotifyIconShown();

// The host window's messages about the icon: its callback, and the
// notification area made anew after Explorer restarted. False for others.
bool OnNotifyIconMessage(App& app, UINT msg, WPARAM wp, LPARAM lp);

// Shows the tab window and gives it the keyboard; `escapeHides`: it came
// from the hotkey or the icon, so Esc sends it back.
void ShowTabWindowOnRequest(App& app, bool escapeHides);
// Hides the tab window (not minimised: the next show puts it back as it was).
void HideTabWindow(App& app);

}  // namespace vc
