// The tab window's commands that write a page to a file of its own and read
// one back as a new page (tabwindow/PageFile.h holds the file's format).
#pragma once

#include <windows.h>

#include <string>

namespace vc {

struct App;

// ページの書き出し...: the current user page, to a file the user names.
void ExportPageCommand(App& app, HWND tab);
// ページの読み込み...: a page file, as a new page right after the current one,
// which becomes the selected tab.
void ImportPageCommand(App& app, HWND tab);

// Stands in for the save and open dialogs: given the proposed name (saving)
// or nothing, it gives the file chosen, or false for none. Tests only.
using PageFileDialogHook = bool (*)(bool save, std::u16string& path);
void SetPageFileDialogHook(PageFileDialogHook hook);

}  // namespace vc
