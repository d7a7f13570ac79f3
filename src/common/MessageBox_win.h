// The program's own message box: a small modal dialog (template
// IDD_MESSAGEBOX) that asks an OK/Cancel or Yes/No question, sized to its
// text and centred over its owner.
#pragma once

#include <windows.h>

#include <string>

#include "common/MessageBox.h"

namespace vc {

// The dialog procedure; WM_INITDIALOG's parameter is a MessageBoxRequest*.
// Usable directly with DialogBoxParamW and template IDD_MESSAGEBOX.
INT_PTR CALLBACK MessageBoxProc(HWND box, UINT msg, WPARAM wp, LPARAM lp);

// Runs the box modally over `owner` and returns kMessageBoxOk, Cancel, Yes or
// No. A box that cannot be shown answers Cancel, so no caller acts on it.
int ShowMessageBox(HWND owner, const MessageBoxRequest& request);

// The same with the program's caption: the form every confirmation uses.
int ShowMessageBox(HWND owner, int32_t buttons, const std::u16string& text);

// A choice between two actions named on the buttons ("再試行(&R)" and
// "終了(&X)"): true when the first was chosen.
bool AskBetween(HWND owner, const std::u16string& text, const char16_t* first, const char16_t* second);

// Puts a dialog over the middle of its owner, wholly on the owner's monitor,
// as the message box places itself.
void CentreOnOwner(HWND dialog);

}  // namespace vc
