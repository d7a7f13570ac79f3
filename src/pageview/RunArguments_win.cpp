#include "pageview/RunArguments_win.h"

#include <map>

#include "common/MessageBox_win.h"
#include "common/Wide_win.h"
#include "resources/resource.h"

namespace vc {

namespace {

// Room for a long command line, well inside what a process may be given.
constexpr int kArgumentsMax = 2047;

struct ArgumentsRequest {
    const std::u16string* path = nullptr;
    std::u16string arguments;
};

// Kept for the run only: arguments often name a document of the moment, and
// the settings file is no place for what was typed once.
std::map<std::u16string, std::u16string>& Remembered() {
    static std::map<std::u16string, std::u16string> byPath;
    return byPath;
}

INT_PTR CALLBACK RunArgumentsProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lp);
    auto* request = reinterpret_cast<ArgumentsRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!request) return FALSE;
    switch (msg) {
    case WM_INITDIALOG: {
        SetDlgItemTextW(dialog, IDC_RUNARGS_TARGET, AsW(*request->path));
        HWND edit = GetDlgItem(dialog, IDC_RUNARGS_EDIT);
        SendMessageW(edit, EM_LIMITTEXT, kArgumentsMax, 0);
        SetWindowTextW(edit, AsW(request->arguments));
        // Selected whole, so that typing replaces what was offered.
        SendMessageW(edit, EM_SETSEL, 0, -1);
        CentreOnOwner(dialog);
        SetFocus(edit);
        return FALSE;  // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) request->arguments = WindowText(GetDlgItem(dialog, IDC_RUNARGS_EDIT));
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::u16string> AskRunArguments(HWND owner, const std::u16string& path) {
    ArgumentsRequest request;
    request.path = &path;
    if (auto known = Remembered().find(path); known != Remembered().end()) request.arguments = known->second;
    // The template is among the executable's own resources.
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RUNARGUMENTS), owner, RunArgumentsProc,
                        reinterpret_cast<LPARAM>(&request)) != IDOK)
        return std::nullopt;
    Remembered()[path] = request.arguments;
    return request.arguments;
}

}  // namespace vc
