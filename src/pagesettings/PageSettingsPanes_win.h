// The panes of the page settings dialog, each a child dialog procedure that
// works on the dialog's working copy (PageSettingsWorkingCopy).
#pragma once

#include <windows.h>

namespace vc {

INT_PTR CALLBACK LabelPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);     // label, comment, lock, colour
INT_PTR CALLBACK ViewPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);      // view mode, extensions
INT_PTR CALLBACK FontPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);      // face, size, style
INT_PTR CALLBACK ColourPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);    // text and background colours
INT_PTR CALLBACK FileInfoPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp);  // the page's entry count

}  // namespace vc
