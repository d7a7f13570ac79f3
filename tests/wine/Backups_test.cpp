// The dated copies of the settings file on the program's real windows: the
// copy a start makes on its worker and the rotation, and a restore through
// the start-up pane that keeps the file as it was.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "generalsettings/GeneralSettings_win.h"
#include "resources/resource.h"
#include "settings/Backups_win.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

std::u16string Settings(std::u16string_view label) {
    return u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\nLabel=" + std::u16string(label) + u"\r\n";
}

std::u16string ItemText(HWND list, int item, int column) {
    wchar_t text[64] = {};
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = text;
    it.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    return U16(text);
}

void Select(HWND list, int item) {
    LVITEMW it{};
    it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&it));
}

class BackupsTest : public test::AppFixture {};

TEST_F(BackupsTest, AStartKeepsFiveAndARestoreReloadsThePageAndKeepsTheFileAsItWas) {
    const std::u16string folder = BackupFolderOf(path);
    ASSERT_TRUE(CreateDirectoryW(AsW(folder), nullptr));
    for (int day = 1; day <= 6; ++day)
        test::WriteBytes(folder + u"\\" + BackupFileName(path, {2020, 1, day, 12, 0, 0}),
                         test::Utf16LE(Settings(day == 6 ? u"Then" : u"Old")).substr(0, day == 5 ? 20 : std::string::npos));
    App& app = Start(Settings(u"Now"));
    ASSERT_TRUE(WaitForDailyBackup(10000));
    std::vector<std::u16string> copies = ListBackups(path);
    ASSERT_EQ(copies.size(), 5u);
    EXPECT_NE(test::TextOf(test::ReadBytes(folder + u"\\" + copies[0])).find(u"Label=Now"), std::u16string::npos);
    EXPECT_EQ(copies[4], BackupFileName(path, {2020, 1, 3, 12, 0, 0}));

    GeneralSettingsPaneIndex() = 4;
    test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [](HWND dialog) {
        SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND box = FindWindowW(L"#32770", L"Vellumcraft - バックアップから復元");
            if (!box || !IsWindowVisible(box)) return;
            KillTimer(nullptr, id);
            HWND list = GetDlgItem(box, IDC_RESTORE_LIST);
            if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != 5) {
                ADD_FAILURE() << "the list does not show the five copies";
                SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            EXPECT_EQ(ItemText(list, 1, 0), u"2020/01/06 12:00:00");
            EXPECT_EQ(ItemText(list, 1, 1), u"1");
            EXPECT_EQ(ItemText(list, 2, 1), u"壊れています");
            Select(list, 2);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(box, IDOK)));
            Select(list, 1);
            test::AnswerNextBox(IDYES);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(test::PaneHolding(dialog, IDC_STARTUP_RESTORE), WM_COMMAND, IDC_STARTUP_RESTORE, 0);
    });
    EXPECT_EQ(app.rec.UserPages[0].Label, u"Then");
    EXPECT_NE(test::TextOf(test::ReadBytes(path)).find(u"Label=Then"), std::u16string::npos);
    copies = ListBackups(path);
    ASSERT_FALSE(copies.empty());
    // The file as it was, the shown page written into it first, is the newest copy.
    EXPECT_NE(test::TextOf(test::ReadBytes(folder + u"\\" + copies[0])).find(u"Label=Now"), std::u16string::npos);
    wchar_t tab[16] = {};
    TCITEMW item{TCIF_TEXT, 0, 0, tab, 16, 0, 0};
    SendDlgItemMessageW(app.TabWindow, IDC_TABSTRIP, TCM_GETITEMW, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(U16(tab), u"Then");
}

}  // namespace
}  // namespace vc
