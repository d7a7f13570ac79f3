// Settings file and entries moved to the test prefix's drive S: after "ドライブ文字を保存しない".
#include "generalsettings/GeneralSettings_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

struct PortablePathsTest : test::AppFixture {
    const std::u16string folder = u"\\vc-portable-" + Dec(int64_t(GetCurrentProcessId())),
                         entry = folder + u"\\run.exe", settings = folder + u"\\H.vcset";
    ~PortablePathsTest() override {  // both folders go, whatever failed
        for (std::u16string d : {u"C:", u"S:"})
            DeleteFileW(AsW(d + entry)), DeleteFileW(AsW(d + settings)), RemoveDirectoryW(AsW(d + folder));
    }
};

TEST_F(PortablePathsTest, TickedEntriesAreStoredInOneWriteAndFoundOnTheNewDrive) {
    ASSERT_TRUE(CreateDirectoryW(AsW(u"C:" + folder), nullptr) && CreateDirectoryW(AsW(u"S:" + folder), nullptr));
    ASSERT_TRUE(test::WriteBytes(u"C:" + entry, "MZ"));
    ASSERT_TRUE(test::WriteBytes(u"C:" + settings, test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\n"
        u"[Page1]\r\nFiles000=C:" + entry + u"\r\nFiles001=D:\\y.exe\r\nFiles=2\r\n")));
    App& app = test::StartProgram(u"C:" + settings, u"Host");
    GeneralSettingsPaneIndex() = 0;
    int writes = 0;
    test::RunSettingsDialog(IDM_GENERAL_SETTINGS, [&](HWND dialog) {
        SendDlgItemMessageW(test::PaneHolding(dialog, IDC_GENERAL_DRIVERELATIVE), IDC_GENERAL_DRIVERELATIVE, BM_CLICK, 0, 0);
        writes = app.store.WriteCount();
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(app.store.WriteCount(), writes + 1);  // the option and every page's entries together
    const std::u16string stored = u"Files000=" + entry + u"\r\nFiles001=D:\\y.exe\r\n";
    EXPECT_NE(test::TextOf(test::ReadBytes(u"C:" + settings)).find(stored), std::u16string::npos);
    Close();
    for (const std::u16string& f : {settings, entry})
        ASSERT_TRUE(MoveFileExW(AsW(u"C:" + f), AsW(u"S:" + f), MOVEFILE_COPY_ALLOWED));
    App& moved = test::StartProgram(u"S:" + settings, u"Host");
    EXPECT_EQ(moved.rec.UserPages[0].Files, u"S:" + entry + u"\r\nD:\\y.exe");
    Close();  // the pane stores its page again, still without the letter
    EXPECT_NE(test::TextOf(test::ReadBytes(u"S:" + settings)).find(stored), std::u16string::npos);
}

}  // namespace
}  // namespace vc
