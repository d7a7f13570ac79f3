#include "generalsettings/RestoreBackup_win.h"

#include <commctrl.h>

#include <vector>

#include "common/MessageBox_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "common/WindowUtil_win.h"
#include "pageview/FileDetails.h"
#include "resources/resource.h"
#include "settings/Backups_win.h"

namespace vc {

namespace {

struct Copy {
    std::u16string path;
    BackupTime time;
    BackupContents contents;
    std::optional<int64_t> size;  // none when it could not be read
};

struct RestoreChoice {
    const std::u16string* settingsPath = nullptr;
    UINT systemDpi = 96;  // where the system tells no DPI per window
    std::vector<Copy> copies;
    std::u16string chosen;
    bool scaling = false;  // the dialog manager scales for a new DPI
};

// Each copy read once and judged as a start judges the settings file: the
// list says of a copy what a restore would find.
std::vector<Copy> ReadCopies(const std::u16string& settingsPath) {
    std::vector<Copy> copies;
    const std::u16string folder = BackupFolderOf(settingsPath);
    for (const std::u16string& name : ListBackups(settingsPath)) {
        Copy c{folder + u"\\" + name, BackupTimeOf(settingsPath, name).value_or(BackupTime{}), {}, std::nullopt};
        std::string bytes;
        if (PlatformFileSystem().ReadAll(c.path, bytes) == ReadResult::Ok) {
            c.contents = ExamineBackup(bytes);
            c.size = int64_t(bytes.size());
        }
        copies.push_back(std::move(c));
    }
    return copies;
}

// The columns share the list's width, which the template made for the DPI.
void SizeColumns(HWND list, UINT systemDpi) {
    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(list, systemDpi));
    const int widths[] = {width * 46 / 100, width * 27 / 100, width - width * 73 / 100};
    for (int c = 0; c < 3; ++c) SendMessageW(list, LVM_SETCOLUMNWIDTH, WPARAM(c), widths[c]);
}

void SetText(HWND list, int item, int column, const std::u16string& text) {
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = const_cast<wchar_t*>(AsW(text));
    SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
}

void Fill(HWND dialog, RestoreChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    // Copies of a large file take a moment each to read.
    const HCURSOR was = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    choice.copies = ReadCopies(*choice.settingsPath);
    SetCursor(was);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < int(choice.copies.size()); ++i) {
        const Copy& c = choice.copies[size_t(i)];
        const std::u16string when = BackupTimeText(c.time);
        LVITEMW it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = const_cast<wchar_t*>(AsW(when));
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
        SetText(list, i, 1, c.contents.whole ? Dec(c.contents.pageCount) : u"壊れています");
        SetText(list, i, 2, c.size ? SizeText(*c.size, u"", kSizeColumnCapacity) : std::u16string(kNoValue));
    }
    SetDlgItemTextW(dialog, IDC_RESTORE_NOTE,
                    AsW(choice.copies.empty() ? u"バックアップはまだありません。"
                                              : u"保存先 : " + BackupFolderOf(*choice.settingsPath)));
    LVITEMW selected{};
    selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
}

// The copy selected, or none.
const Copy* Selected(HWND dialog, const RestoreChoice& choice) {
    const LRESULT item = SendDlgItemMessageW(dialog, IDC_RESTORE_LIST, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    return item >= 0 && size_t(item) < choice.copies.size() ? &choice.copies[size_t(item)] : nullptr;
}

// A damaged copy cannot be restored: the program would refuse it as its file.
void EnableRestore(HWND dialog, const RestoreChoice& choice) {
    const Copy* c = Selected(dialog, choice);
    EnableWindow(GetDlgItem(dialog, IDOK), c && c->contents.whole);
}

void OnInitDialog(HWND dialog, RestoreChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char16_t* titles[] = {u"日時", u"ページ数", u"サイズ"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.pszText = const_cast<wchar_t*>(AsW(titles[c]));
        column.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&column));
    }
    SizeColumns(list, choice.systemDpi);
    SetCaptionIcon(dialog, GetModuleHandleW(nullptr), WindowDpi(dialog, choice.systemDpi));
    Fill(dialog, choice);
    EnableRestore(dialog, choice);
    CentreOnOwner(dialog);
    SetFocus(list);
}

// The copy is asked about by its time, and taken by its path only if it is
// still there after the question.
void OnRestore(HWND dialog, RestoreChoice& choice) {
    const Copy* c = Selected(dialog, choice);
    if (!c || !c->contents.whole) return;
    const std::u16string path = c->path;
    const std::u16string question = u"設定を " + BackupTimeText(c->time) +
                                    u" のバックアップに戻しますか？\n(今の設定はバックアップとして残ります)";
    if (ShowMessageBox(dialog, kMessageBoxYesNo, question) != kMessageBoxYes) return;
    if (GetFileAttributesW(AsW(path)) == INVALID_FILE_ATTRIBUTES) {
        Fill(dialog, choice);
        EnableRestore(dialog, choice);
        return;
    }
    choice.chosen = path;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK RestoreBackupProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lp);
    auto* choice = reinterpret_cast<RestoreChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!choice) return FALSE;
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(dialog, *choice); return FALSE;  // the focus is set
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) OnRestore(dialog, *choice);
        if (LOWORD(wp) == IDCANCEL) EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMHDR*>(lp);
        if (n->idFrom != IDC_RESTORE_LIST) return FALSE;
        if (n->code == LVN_ITEMCHANGED) EnableRestore(dialog, *choice);
        if (n->code == NM_DBLCLK) OnRestore(dialog, *choice);
        return FALSE;
    }
    case WM_DPICHANGED:
        if (!ScaleDialogForDpi(dialog, wp, lp, choice->scaling)) return FALSE;
        SizeColumns(GetDlgItem(dialog, IDC_RESTORE_LIST), choice->systemDpi);
        SetCaptionIcon(dialog, GetModuleHandleW(nullptr), LOWORD(wp));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

std::optional<std::u16string> ChooseBackupToRestore(HWND owner, const Records& r) {
    RestoreChoice choice;
    choice.settingsPath = &r.SettingsFilePath;
    choice.systemDpi = UINT(r.DpiX);
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RESTOREBACKUP), owner, RestoreBackupProc,
                        reinterpret_cast<LPARAM>(&choice)) != IDOK)
        return std::nullopt;
    return choice.chosen;
}

}  // namespace vc
