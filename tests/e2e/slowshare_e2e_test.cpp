// A page whose entries lie partly on a share that answers late (drive S:,
// made slow by tests/slowfs for the program alone): the window answers
// throughout, the local entries are complete before any on the share, and
// closing during the load ends the program at once without touching the page.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "support/SlowFolder_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

constexpr int kDateColumn = 1;

TEST(SlowShareTest, TheWindowAnswersLocalEntriesComeFirstAndClosingIsPrompt) {
    ASSERT_TRUE(test::SlowFolderLibraryPreloaded()) << "libvcslowfs.so must be in LD_PRELOAD";
    test::TempDir dir;
    const std::u16string share = u"S:\\vc-e2e-" + Ascii(std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(CreateDirectoryW(AsW(share), nullptr));
    std::u16string keys;
    std::vector<bool> local;
    for (int i = 0; i < 24; ++i) {
        const bool onShare = i % 6 == 2;
        const std::u16string path = (onShare ? share : dir.path()) + u"\\e" + Ascii(std::to_string(i)) + u".txt";
        ASSERT_TRUE(test::WriteBytes(path, "x"));
        keys += u"Files" + Ascii((i < 10 ? "00" : "0") + std::to_string(i)) + u"=" + path + u"\r\n";
        local.push_back(!onShare);
    }
    keys += u"Files=24\r\n";
    const std::u16string settings = dir.File(u"slow.vcset");
    const std::string page = "[Page1]\r\nListType=3\r\n";
    const std::u16string text = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\nTabStyle=65536\r\n" +
                                Ascii(page) + keys;
    ASSERT_TRUE(test::WriteBytes(settings, test::Utf16LE(text)));

    // Each file call on the share waits half a second, several per look-up.
    AppProcess app;
    ASSERT_TRUE(app.Start(AppExe(), u"\"" + settings + u"\"", u"", test::SlowFolderEnvironment(share, 500)));
    HWND tab = app.WaitVisibleDialog(CaptionFor(u"slow"), Ms(20000));
    ASSERT_TRUE(tab);

    // A look-up on the window's thread would hold it for seconds; a second
    // allows for a busy machine.
    auto answers = [&] {
        const auto start = std::chrono::steady_clock::now();
        DWORD_PTR r = 0;
        return SendMessageTimeoutW(tab, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r) &&
               std::chrono::steady_clock::now() - start < Ms(1000);
    };
    // Until every local entry shows its date, none on the share does: each
    // of those needs seconds.
    bool shareFirst = false, alwaysAnswered = true;
    ASSERT_TRUE(WaitUntil(
        [&] {
            alwaysAnswered &= answers();
            HWND list = PageList(tab);
            if (!list || Ask(list, LVM_GETITEMCOUNT) != 24) return false;
            int localDone = 0;
            for (int item = 0; item < 24; ++item) {
                std::optional<std::u16string> index = ItemText(app.handle(), list, item, 5);
                std::optional<std::u16string> date = ItemText(app.handle(), list, item, kDateColumn);
                if (!index || !date) return false;
                const bool known = *date != u"-----";
                if (local[size_t(std::stoi(std::string(index->begin(), index->end())))]) localDone += known;
                else shareFirst |= known;
            }
            return localDone == 20;
        },
        Ms(20000), Ms(20)));
    EXPECT_FALSE(shareFirst);
    EXPECT_TRUE(alwaysAnswered);

    // The close box while look-ups on the share are still out: the program
    // ends without waiting for them, and every entry is kept in its place.
    PostMessageW(tab, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.WaitExit(Ms(5000)), 0);
    const std::u16string after = test::TextOf(test::ReadBytes(settings));
    size_t from = 0;
    for (size_t brk; (brk = keys.find(u"\r\nFiles", from)) != std::u16string::npos; from = brk + 2)
        EXPECT_NE(after.find(keys.substr(from, brk - from)), std::u16string::npos) << test::Narrow(keys.substr(from, brk - from));
    for (int i = 0; i < 24; ++i) DeleteFileW(AsW(share + u"\\e" + Ascii(std::to_string(i)) + u".txt"));
    RemoveDirectoryW(AsW(share));
}

}  // namespace
}  // namespace vc::e2e
