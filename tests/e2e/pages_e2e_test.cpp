// The real Vellumcraft.exe managing its pages and launching entries, driven
// from outside: page commands posted to its tab window, the question box
// answered by its buttons, entries opened with real clicks and keys sent
// through the X server. What counts is what the user keeps: the settings
// file, section by section, and what a launched entry saw.
//
// Each case prepares its own settings file in a fresh folder and runs its own
// copy of the program on it; every wait has a deadline, and a program still
// running when its case ends is terminated.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "resources/resource.h"
#include "e2e/SettingsSections.h"
#include "support/FirstStartFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

using test::FirstStartText;
using test::kGlobalSection;
using test::Narrow;
using test::PageSection;

// A batch file starts a whole cmd.exe under Wine first.
constexpr Ms kLaunch{20000};

std::u16string GlobalKeys(int pageCount, int tabNumber, int specialFolders) {
    std::u16string g = SectionsOf(kGlobalSection)[u"Vellumcraft"];
    g = WithKey(g, u"PageCount", Dec(pageCount));
    g = WithKey(g, u"TabNumber", Dec(tabNumber));
    return WithKey(g, u"SpcialFolder", Dec(specialFolders));
}

// A user page as a new file writes it, told apart by its label, its comment
// and two entries of its own (stored as three line keys, the last empty).
std::u16string PageKeys(std::u16string_view label) {
    const std::u16string l(label);
    std::u16string keys = SectionsOf(PageSection(
        1, u"Files000=C:\\" + l + u"\\one.exe\r\nFiles001=C:\\" + l + u"\\two.txt\r\nFiles002=\r\nFiles=3\r\n"))[u"Page1"];
    keys = WithKey(keys, u"Label", l);
    return WithKey(keys, u"Comment000", l + u" のメモ");
}

// The sections a settings file should hold: the global ones and the user
// pages in order, as [Page1], [Page2], ...
Sections FileOf(const std::u16string& global, const std::vector<std::u16string>& pages) {
    Sections s{{u"Vellumcraft", global}};
    for (size_t i = 0; i < pages.size(); ++i) s[u"Page" + Dec(int64_t(i + 1))] = pages[i];
    return s;
}

// Equal, or every section that is missing, extra or different, with the
// first line where it parts.
::testing::AssertionResult SameSections(const Sections& expected, const Sections& actual) {
    std::string report;
    auto firstLine = [](std::u16string_view keys, size_t at) {
        size_t end = keys.find(u"\r\n", at);
        return at >= keys.size() ? std::string("(end)") : Narrow(keys.substr(at, end == keys.npos ? end : end - at));
    };
    for (const auto& [name, keys] : expected) {
        auto found = actual.find(name);
        if (found == actual.end()) {
            report += "\n  [" + Narrow(name) + "] missing";
        } else if (found->second != keys) {
            size_t i = 0;
            while (i < keys.size() && i < found->second.size() && keys[i] == found->second[i]) ++i;
            size_t line = keys.rfind(u'\n', i == 0 ? 0 : i - 1);
            line = line == std::u16string::npos ? 0 : line + 1;
            report += "\n  [" + Narrow(name) + "] expected \"" + firstLine(keys, line) + "\", found \"" +
                      firstLine(found->second, line) + "\"";
        }
    }
    for (const auto& [name, keys] : actual)
        if (!expected.count(name)) report += "\n  [" + Narrow(name) + "] should not be there";
    if (report.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "settings file differs:" << report;
}

// ---- Looking at and driving the program's windows ------------------------------

constexpr int kQuestionText = 1070;

int SelectedItem(HWND list) { return int(Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

// Waits until the shown page has listed its `entries` and selected the first.
// A pane left while still loading has nothing selected and stores Cursor -1,
// so the cases wait for this before they leave a page.
bool WaitLoaded(HWND tabWindow, int entries) {
    return WaitUntil(
        [&] {
            HWND list = PageList(tabWindow);
            return list && Ask(list, LVM_GETITEMCOUNT) == entries && SelectedItem(list) == 0;
        },
        kEffect);
}

class Pages : public ::testing::Test {
protected:
    test::TempDir dir;

    void SetUp() override {
        ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", nullptr, 0), 0u)
            << "no X display: run under scripts/wine-session.sh";
    }

    std::u16string SettingsPath() const { return dir.File(name_ + u".vcset"); }
    Sections FileNow() const { return SectionsOf(test::TextOf(test::ReadBytes(SettingsPath()))); }

    // Writes the settings file `name`.vcset, starts the program on it by its
    // full path and waits for the tab window.
    HWND StartOn(AppProcess& app, const std::u16string& name, const Sections& file,
                 const std::u16string& workDir = u"") {
        name_ = name;
        if (!test::WriteBytes(SettingsPath(), test::Utf16LE(TextOfSections(file)))) {
            ADD_FAILURE() << "cannot write " << Narrow(SettingsPath());
            return nullptr;
        }
        if (!app.Start(AppExe(), u"\"" + SettingsPath() + u"\"", workDir)) {
            ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
            return nullptr;
        }
        HWND tab = app.WaitVisibleDialog(CaptionFor(name), kStart);
        if (!tab) ADD_FAILURE() << "no window '" << Narrow(CaptionFor(name)) << "'";
        return tab;
    }

    // Posts a command as a menu would and waits until it has been handled.
    void Command(HWND tab, UINT id) {
        PostMessageW(tab, WM_COMMAND, id, 0);
        Ask(tab, WM_NULL);
    }

    void Select(HWND tab, int position) {
        PostMessageW(tab, WM_COMMAND, kSelectPage + position, 0);
        EXPECT_TRUE(WaitUntil([&] { return SelectedTab(tab) == position; }, kEffect))
            << "selected " << SelectedTab(tab) << ", expected " << position;
    }

    // Selects a user page and waits until its two entries are listed.
    void Show(HWND tab, int position) {
        Select(tab, position);
        EXPECT_TRUE(WaitLoaded(tab, 2)) << "tab " << position << " did not finish loading";
    }

    // The file as soon as it holds `expected`, else the last state seen.
    // Sections of special pages are left out: a special page left by the
    // case stores its view state, which depends on this machine's folders.
    ::testing::AssertionResult FileBecomes(const Sections& expected) {
        auto userPart = [this] {
            Sections s = FileNow();
            for (auto i = s.begin(); i != s.end();) i = i->first.rfind(u"SpcialPage", 0) == 0 ? s.erase(i) : ++i;
            return s;
        };
        WaitUntil([&] { return userPart() == expected; }, kEffect);
        return SameSections(expected, userPart());
    }

    // Asks for the deletion, checks the question names `label`, answers it
    // with `button` and waits until the box is gone and the command is over.
    void DeleteAnswering(AppProcess& app, HWND tab, std::u16string_view label, int button) {
        PostMessageW(tab, WM_COMMAND, kDeletePage, 0);
        HWND box = app.WaitVisibleDialog(u"Vellumcraft", kEffect);
        ASSERT_TRUE(box) << "no question box";
        EXPECT_EQ(Narrow(WindowText(GetDlgItem(box, kQuestionText))),
                  Narrow(u"ページ \"" + std::u16string(label) + u"\" を削除しますか？ "));
        PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kEffect)) << "the box stayed open";
        Ask(tab, WM_NULL);
    }

    void Close(AppProcess& app) {
        PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }

private:
    std::u16string name_;
};

// ---- Adding, duplicating, deleting ---------------------------------------------

TEST_F(Pages, AddingToFivePagesWritesTheCountButNoSectionForTheNewPage) {
    const std::vector<std::u16string> five{PageKeys(u"A"), PageKeys(u"B"), PageKeys(u"C"), PageKeys(u"D"),
                                           PageKeys(u"E")};
    AppProcess app;
    HWND tab = StartOn(app, u"pgadd", FileOf(GlobalKeys(5, 1, 0), five));
    ASSERT_TRUE(tab);
    ASSERT_EQ(SelectedTab(tab), 1);
    ASSERT_TRUE(WaitLoaded(tab, 2));

    Command(tab, kAddPage);
    EXPECT_TRUE(FileBecomes(FileOf(GlobalKeys(6, 5, 0), five)));
    EXPECT_EQ(TabCount(tab), 6);
    EXPECT_EQ(SelectedTab(tab), 5);  // the new page

    // Closing writes the shown page: the new one, with the defaults of a sixth
    // page; having no entries it has no selection to keep, once it has shown
    // that it has none.
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND list = PageList(tab);
            HWND notice = list ? GetDlgItem(GetParent(list), IDC_LOADINGNOTICE) : nullptr;
            return notice && !IsWindowVisible(notice);
        },
        kEffect));
    Close(app);
    Sections closed = FileOf(GlobalKeys(6, 5, 0), five);
    closed[u"Page6"] = WithKey(SectionsOf(PageSection(6))[u"Page6"], u"Cursor", u"-1");
    EXPECT_TRUE(SameSections(closed, FileNow()));
}

TEST_F(Pages, DuplicatingCopiesThePageBehindItAndMovesTheRestUp) {
    AppProcess app;
    HWND tab = StartOn(app, u"pgdup",
                       FileOf(GlobalKeys(4, 0, 0), {PageKeys(u"P"), PageKeys(u"Q"), PageKeys(u"R"), PageKeys(u"S")}));
    ASSERT_TRUE(tab);
    ASSERT_TRUE(WaitLoaded(tab, 2));
    Show(tab, 1);

    Command(tab, kDuplicatePage);
    const Sections expected =
        FileOf(GlobalKeys(5, 2, 0), {PageKeys(u"P"), PageKeys(u"Q"), PageKeys(u"Q"), PageKeys(u"R"), PageKeys(u"S")});
    EXPECT_TRUE(FileBecomes(expected));
    EXPECT_EQ(TabCount(tab), 5);
    EXPECT_EQ(SelectedTab(tab), 2);  // the copy
    EXPECT_TRUE(WaitLoaded(tab, 2));  // with Q's entries

    Close(app);
    EXPECT_TRUE(SameSections(expected, FileNow()));
}

TEST_F(Pages, DeletingAsksFirstAndOnlyYesRemovesThePage) {
    AppProcess app;
    HWND tab = StartOn(app, u"pgdel", FileOf(GlobalKeys(3, 0, 0), {PageKeys(u"P"), PageKeys(u"Q"), PageKeys(u"R")}));
    ASSERT_TRUE(tab);
    ASSERT_TRUE(WaitLoaded(tab, 2));
    Show(tab, 1);
    const std::string before = test::ReadBytes(SettingsPath());

    DeleteAnswering(app, tab, u"Q", kNo);
    EXPECT_EQ(test::ReadBytes(SettingsPath()), before) << "いいえ changed the file";
    EXPECT_EQ(TabCount(tab), 3);
    EXPECT_EQ(SelectedTab(tab), 1);

    DeleteAnswering(app, tab, u"Q", kYes);
    const Sections expected = FileOf(GlobalKeys(2, 0, 0), {PageKeys(u"P"), PageKeys(u"R")});
    EXPECT_TRUE(FileBecomes(expected));  // no [Page3] left behind
    EXPECT_EQ(TabCount(tab), 2);
    EXPECT_EQ(SelectedTab(tab), 0);  // the tab before the deleted one
    EXPECT_TRUE(WaitLoaded(tab, 2));  // with P's entries

    Close(app);
    EXPECT_TRUE(SameSections(expected, FileNow()));
}

TEST_F(Pages, DeletingTheFirstUserPageSelectsTheLastSpecialPage) {
    // A first-start file: desktop, recent files and documents, then Page1..Page5.
    Sections start = SectionsOf(FirstStartText());
    AppProcess app;
    HWND tab = StartOn(app, u"pgfirst", start);
    ASSERT_TRUE(tab);
    Select(tab, 3);

    DeleteAnswering(app, tab, u"Page1", kYes);
    Sections expected = start;
    for (int n = 1; n <= 4; ++n) expected[u"Page" + Dec(n)] = start[u"Page" + Dec(n + 1)];
    expected.erase(u"Page5");
    expected[u"Vellumcraft"] = GlobalKeys(4, 2, 19);
    EXPECT_TRUE(FileBecomes(expected));
    EXPECT_EQ(TabCount(tab), 7);
    EXPECT_EQ(SelectedTab(tab), 2);

    // Special pages cannot be deleted: the command asks nothing and does nothing.
    const std::string settled = test::ReadBytes(SettingsPath());
    Command(tab, kDeletePage);
    EXPECT_FALSE(app.VisibleDialog(u"Vellumcraft"));
    EXPECT_EQ(test::ReadBytes(SettingsPath()), settled);
    EXPECT_EQ(TabCount(tab), 7);

    Close(app);
}

// ---- Launching an entry ---------------------------------------------------------

// One entry, a batch file in a folder with a blank in its name that writes the
// folder it runs in to a marker file. Details view: the entry is the first
// row, right under the column header.
class Launching : public Pages {
protected:
    std::u16string folder, marker;

    void SetUp() override {
        Pages::SetUp();
        folder = dir.File(u"with blank");
        marker = dir.File(u"marker.txt");
        ASSERT_TRUE(CreateDirectoryW(AsW(folder), nullptr));
        ASSERT_TRUE(test::WriteBytes(folder + u"\\run.bat", "@cd > \"" + Narrow(marker) + "\"\r\n"));
    }

    Sections OneEntryFile() const {
        std::u16string page = SectionsOf(PageSection(1, u"Files000=" + folder + u"\\run.bat\r\nFiles001=\r\nFiles=2\r\n"))[u"Page1"];
        return FileOf(GlobalKeys(1, 0, 0), {WithKey(page, u"ListType", u"3")});
    }

    // Starts the program from another folder than the entry's, so that only a
    // working folder set by the launch can put the entry's folder in the marker.
    HWND StartWithEntry(AppProcess& app, const std::u16string& name) {
        HWND tab = StartOn(app, name, OneEntryFile(), dir.path());
        if (!tab) return nullptr;
        if (!WaitUntil([&] { return Ask(PageList(tab), LVM_GETITEMCOUNT) == 1; }, kEffect)) {
            ADD_FAILURE() << "the entry was not listed";
            return nullptr;
        }
        return tab;
    }

    // The middle of the entry's name in the first row of the list.
    static bool EntryPoint(HWND tab, POINT& at) {
        HWND list = PageList(tab);
        RECT header{}, listRect{};
        GetWindowRect(FindWindowExW(list, nullptr, WC_HEADERW, nullptr), &header);
        GetWindowRect(list, &listRect);
        at = POINT{listRect.left + 30, header.bottom + 8};
        return header.bottom > listRect.top;
    }

    bool Focus(HWND tab, const std::u16string& name) {
        return XFocusWindow(Narrow(CaptionFor(name))) &&
               WaitUntil([&] { return GetForegroundWindow() == tab; }, kEffect);
    }

    // The folder the batch file reported, once it has written a whole line.
    std::string ReportedFolder() {
        std::string text;
        WaitUntil(
            [&] {
                text = test::ReadBytes(marker);
                return text.size() > 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
            },
            kLaunch, Ms(50));
        return text.size() > 2 ? text.substr(0, text.size() - 2) : "(no marker written)";
    }

    static std::string Lower(std::string s) {
        for (char& c : s) c = char(tolower(static_cast<unsigned char>(c)));
        return s;
    }
};

TEST_F(Launching, ADoubleClickRunsTheEntryInItsOwnFolder) {
    AppProcess app;
    HWND tab = StartWithEntry(app, u"dblclick");
    ASSERT_TRUE(tab);
    ASSERT_TRUE(Focus(tab, u"dblclick"));

    POINT at{};
    ASSERT_TRUE(EntryPoint(tab, at)) << "no column header";
    ASSERT_TRUE(XClickAt(at, 2));

    EXPECT_EQ(Lower(ReportedFolder()), Lower(Narrow(folder)));
    Close(app);
}

// Enter reaches the window as the dialog's default command, not as a key of
// the list: it must still open the focused entry.
TEST_F(Launching, EnterOnTheFocusedEntryRunsItInItsOwnFolder) {
    AppProcess app;
    HWND tab = StartWithEntry(app, u"enterkey");
    ASSERT_TRUE(tab);
    ASSERT_TRUE(Focus(tab, u"enterkey"));
    // Activating the window may leave the keyboard focus on the tab strip; a
    // single click on the entry gives it to the list and only selects.
    POINT at{};
    ASSERT_TRUE(EntryPoint(tab, at)) << "no column header";
    ASSERT_TRUE(XClickAt(at, 1));
    const DWORD thread = GetWindowThreadProcessId(tab, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == PageList(tab);
        },
        kEffect))
        << "the list did not get the keyboard focus";
    ASSERT_TRUE(XPressKeys({"Home", "Return"}));

    EXPECT_EQ(Lower(ReportedFolder()), Lower(Narrow(folder)));
    EXPECT_TRUE(app.Running()) << "Enter closed the window";
    Close(app);
}

}  // namespace
}  // namespace vc::e2e
