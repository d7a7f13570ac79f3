// The real Vellumcraft.exe, started under Wine on the X display and checked
// from outside, as a user or a second copy of the program would meet it: the
// settings file it leaves, its windows, its exit code, and its answer to real
// key presses (sent through the X server by xdotool).
//
// Each case runs its own copy of the exe in a fresh folder, so each has its
// own settings file. Every wait has a deadline; a program still running when
// its case ends is terminated.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "common/Handles_win.h"
#include "e2e/ProgramWindows_win.h"
#include "resources/resource.h"
#include "support/FirstStartFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

using test::TextOf;
using test::Utf16LE;
using test::FirstStartText;
using test::kGlobalSection;
using test::PageSection;

// ---- Settings file texts --------------------------------------------------

std::u16string Header(std::u16string_view section) { return std::u16string(u"[").append(section).append(u"]"); }

// `text` with the value of `key` in `section` replaced; the key must exist.
std::u16string With(std::u16string text, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
    size_t sec = text.find(Header(section) + u"\r\n");
    size_t at = sec == std::u16string::npos ? sec : text.find(std::u16string(u"\r\n").append(key).append(u"="), sec);
    size_t next = sec == std::u16string::npos ? sec : text.find(u"\r\n[", sec + 1);
    if (at == std::u16string::npos || (next != std::u16string::npos && at > next)) {
        ADD_FAILURE() << "no key " << test::Narrow(key) << " in [" << test::Narrow(section) << "]";
        return text;
    }
    size_t from = at + 2 + key.size() + 1;
    text.replace(from, text.find(u"\r\n", from) - from, value);
    return text;
}

std::u16string WithGlobal(std::u16string text, std::u16string_view key, int64_t value) {
    return With(std::move(text), u"Vellumcraft", key, Dec(value));
}

std::vector<std::u16string> Lines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    for (size_t from = 0;;) {
        size_t end = text.find(u"\r\n", from);
        lines.emplace_back(text.substr(from, end == std::u16string_view::npos ? std::u16string_view::npos : end - from));
        if (end == std::u16string_view::npos) break;
        from = end + 2;
    }
    return lines;
}

// One section of a settings text: its header and keys, without the blank
// lines that separate it from the next. Empty when it is absent.
std::u16string Section(std::u16string_view text, std::u16string_view name) {
    std::vector<std::u16string> lines = Lines(text);
    const std::u16string header = Header(name);
    auto at = std::find(lines.begin(), lines.end(), header);
    if (at == lines.end()) return {};
    auto end = std::find_if(at + 1, lines.end(), [](const std::u16string& l) { return !l.empty() && l[0] == u'['; });
    while (end > at + 1 && (end - 1)->empty()) --end;
    std::u16string out;
    for (auto l = at; l != end; ++l) out += *l + u"\r\n";
    return out;
}

// Equal texts, or the first line where they part, which reads better than
// two whole files side by side.
::testing::AssertionResult SameText(std::u16string_view expected, std::u16string_view actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::vector<std::u16string> e = Lines(expected), a = Lines(actual);
    size_t i = 0;
    while (i < e.size() && i < a.size() && e[i] == a[i]) ++i;
    auto line = [](const std::vector<std::u16string>& v, size_t n) {
        return n < v.size() ? std::string("\"").append(test::Narrow(v[n])).append("\"") : std::string("(end of text)");
    };
    return ::testing::AssertionFailure() << "texts part at line " << i + 1 << ": expected " << line(e, i)
                                         << ", found " << line(a, i) << " (" << e.size() << " lines expected, "
                                         << a.size() << " found)";
}

// ---- One folder per case with its own copy of the program --------------------

class Sandbox {
public:
    Sandbox() { copied_ = CopyFileW(AsW(AppExe()), AsW(exe()), FALSE) != FALSE; }
    bool ready() const { return copied_; }
    std::u16string exe() const { return dir_.File(u"Vellumcraft.exe"); }
    std::u16string File(std::u16string_view name) const { return dir_.File(name); }
    const std::u16string& path() const { return dir_.path(); }

    // Every name in the folder, sorted; shows stray temporary files too.
    // The folder of the settings file's dated copies is left out: a worker
    // makes it at a moment of its own once the window shows.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(AsW(dir_.path() + u"\\*"), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            std::u16string n = U16(fd.cFileName);
            if (n != u"." && n != u".." && !n.ends_with(u"_Backups")) names.push_back(test::Narrow(n));
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    test::TempDir dir_;
    bool copied_ = false;
};

using Names = std::vector<std::string>;

uint64_t LastWriteTime(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExW(AsW(path), GetFileExInfoStandard, &a)) return 0;
    return (uint64_t(a.ftLastWriteTime.dwHighDateTime) << 32) | a.ftLastWriteTime.dwLowDateTime;
}

// ---- Looking at the program's windows -------------------------------------

int VisibleWindowsOf(DWORD pid) {
    int n = 0;
    for (HWND h : TopLevelWindowsOf(pid)) n += IsWindowVisible(h) ? 1 : 0;
    return n;
}

RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

// Moves and sizes another process's window and waits until it has done so.
bool Place(HWND h, int x, int y, int w, int ht) {
    SetWindowPos(h, nullptr, x, y, w, ht, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    return WaitUntil(
        [&] {
            RECT r = WindowRect(h);
            return r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == ht;
        },
        kEffect);
}

// A plain window of the test process, to take the foreground away from the
// program and see whether a second start gives it back.
class Decoy {
public:
    Decoy() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VcE2eDecoy";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, L"VcE2eDecoy", L"decoy", WS_OVERLAPPEDWINDOW, 700, 500, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(hwnd_, SW_SHOW);
    }
    ~Decoy() { DestroyWindow(hwnd_); }
    Decoy(const Decoy&) = delete;
    Decoy& operator=(const Decoy&) = delete;
    bool TakeForeground() {
        return WaitUntil(
            [&] {
                SetForegroundWindow(hwnd_);
                return GetForegroundWindow() == hwnd_;
            },
            kEffect, Ms(50));
    }

private:
    HWND hwnd_ = nullptr;
};

// ---- Real key presses through the X server --------------------------------

// Gives the X input focus to the window with this caption, so that key
// presses reach it, and waits until Windows sees it as the foreground.
bool FocusForKeys(HWND tabWindow, const std::u16string& caption) {
    std::string name = test::Narrow(caption);
    if (!XFocusWindow(name)) {
        ADD_FAILURE() << "xdotool could not focus '" << name << "'";
        return false;
    }
    return WaitUntil([&] { return GetForegroundWindow() == tabWindow; }, kEffect);
}

// Presses a chord such as "ctrl+shift+Tab" the way a hand does: modifiers
// down, key down and up, modifiers up in reverse order. (xdotool's own
// "key alt+m" lets go of Alt first, which Wine takes for a lone Alt press
// and answers by entering menu mode.)
bool PressKeys(const std::string& chord) {
    std::vector<std::string> keys;
    for (size_t from = 0;;) {
        size_t plus = chord.find('+', from);
        keys.push_back(chord.substr(from, plus == std::string::npos ? std::string::npos : plus - from));
        if (plus == std::string::npos) break;
        from = plus + 1;
    }
    std::string args;
    for (const std::string& k : keys) args += " keydown " + k;
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) args += " keyup " + *k;
    return RunLinuxCommand("timeout 10 xdotool" + args) == 0;
}

// ---- The fixture ----------------------------------------------------------

class E2E : public ::testing::Test {
protected:
    Sandbox box;

    void SetUp() override {
        // Wine takes the X display from the Linux environment.
        ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", nullptr, 0), 0u)
            << "no X display: run under scripts/wine-session.sh";
        ASSERT_TRUE(box.ready()) << "cannot copy " << test::Narrow(AppExe());
    }

    // Starts the sandbox's program and waits for its tab window.
    HWND StartShown(AppProcess& app, const std::u16string& argument, const std::u16string& windowName) {
        if (!app.Start(box.exe(), argument)) {
            ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
            return nullptr;
        }
        HWND tab = app.WaitVisibleDialog(CaptionFor(windowName), kStart);
        if (!tab)
            ADD_FAILURE() << "no visible window '" << test::Narrow(CaptionFor(windowName)) << "'"
                          << (app.Running() ? " (still running)" : " (process ended)");
        return tab;
    }

    // Starts the program and expects it to end on its own with exit code 0,
    // without ever showing a window; returns false otherwise.
    bool StartExpectingQuietExit(AppProcess& app, const std::u16string& argument) {
        if (!app.Start(box.exe(), argument)) return false;
        bool shown = false;
        WaitUntil(
            [&] {
                shown = VisibleWindowsOf(app.pid()) > 0;
                return shown || !app.Running();
            },
            kStart, Ms(5));
        EXPECT_FALSE(shown) << "the program showed a window";
        return app.WaitExit(shown ? Ms(0) : kExit) == 0;
    }

    std::string Bytes(std::u16string_view name) const { return test::ReadBytes(box.File(name)); }
    std::u16string Text(std::u16string_view name) const { return TextOf(Bytes(name)); }
    void Put(std::u16string_view name, const std::u16string& text) {
        ASSERT_TRUE(test::WriteBytes(box.File(name), Utf16LE(text)));
    }
};

// ---- The settings file at start ---------------------------------------------

TEST_F(E2E, FirstStartWritesTheDefaultFileAndOpensAllTabs) {
    AppProcess app;
    HWND tab = StartShown(app, u"", u"Vellumcraft");
    ASSERT_TRUE(tab);

    std::string bytes = Bytes(u"Vellumcraft.vcset");
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_TRUE(SameText(FirstStartText(), TextOf(bytes)));
    // No backup, no temporary file; the run's lock, which goes with it.
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "Vellumcraft.vcset", "Vellumcraft.vcset.lock"}));

    EXPECT_EQ(TabCount(tab), 8);  // desktop, recent files, documents, Page1..Page5
    EXPECT_EQ(SelectedTab(tab), 0);
    HWND host = app.HostWindow();
    ASSERT_TRUE(host);
    EXPECT_EQ(test::Narrow(WindowText(host)), "Vellumcraft");
    EXPECT_FALSE(IsWindowVisible(host));

    // Closing without changes writes the same global section back.
    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    EXPECT_TRUE(SameText(kGlobalSection, Section(Text(u"Vellumcraft.vcset"), u"Vellumcraft")));
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "Vellumcraft.vcset"}));
}

// An older 8-bit file: pure ASCII, with one label given only as hex units.
const std::string kEightBitFile =
    ";old settings\r\n[Vellumcraft]\r\nxPosi=300\r\nyPosi=200\r\nxSize=500\r\nySize=320\r\nTabStyle=256\r\n"
    "TabNumber=4\r\nPageCount=2\r\n[Page1]\r\nLabel=Tools\r\nComment000=first\r\nComment=1\r\nFlag=0\r\n"
    "[Page2]\r\nLabel=ignored\r\nLabelHex=30B230FC30E0\r\nFiles000=C:\\games\\a.exe\r\nFiles=1\r\n"
    "[Obsolete]\r\nKey=1\r\n";

// The same settings as the program rewrites them: UTF-16, the status bar bit
// added, the missing keys with their defaults, unknown sections dropped.
std::u16string EightBitFileConverted() {
    std::u16string t = u";Vellumcraft\r\n\r\n" + kGlobalSection;
    t = WithGlobal(t, u"xPosi", 300);
    t = WithGlobal(t, u"yPosi", 200);
    t = WithGlobal(t, u"xSize", 500);
    t = WithGlobal(t, u"ySize", 320);
    t = WithGlobal(t, u"TabStyle", 0x10100);
    t = WithGlobal(t, u"TabNumber", 4);
    t = WithGlobal(t, u"PageCount", 2);
    t += u"\r\n" + With(With(PageSection(1), u"Page1", u"Label", u"Tools"), u"Page1", u"Comment000", u"first");
    t += u"\r\n" + With(With(PageSection(2), u"Page2", u"Label", u"ゲーム"), u"Page2", u"Files000", u"C:\\games\\a.exe");
    return t;
}

TEST_F(E2E, FileWithoutMarkIsRewrittenAsUtf16AndBackedUpOnce) {
    ASSERT_TRUE(test::WriteBytes(box.File(u"old.vcset"), kEightBitFile));
    {
        AppProcess app;
        HWND tab = StartShown(app, u"old", u"old");
        ASSERT_TRUE(tab);
        std::string bytes = Bytes(u"old.vcset");
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        EXPECT_TRUE(SameText(EightBitFileConverted(), TextOf(bytes)));
        EXPECT_EQ(Bytes(u"old_Backup.vcset"), kEightBitFile);
        EXPECT_EQ(TabCount(tab), 5);  // three special pages, two user pages
        EXPECT_EQ(SelectedTab(tab), 4);
        PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "old.vcset", "old_Backup.vcset"}));

    // A second 8-bit file of the same name meets the existing backup: the
    // backup keeps the first one.
    const std::string newer = ";newer\r\n[Vellumcraft]\r\nPageCount=1\r\n";
    ASSERT_TRUE(test::WriteBytes(box.File(u"old.vcset"), newer));
    AppProcess again;
    HWND tab = StartShown(again, u"old", u"old");
    ASSERT_TRUE(tab);
    EXPECT_EQ(Bytes(u"old_Backup.vcset"), kEightBitFile);
    std::u16string converted = Text(u"old.vcset");
    EXPECT_EQ(converted.rfind(u";Vellumcraft\r\n\r\n[Vellumcraft]\r\n", 0), 0u) << test::Narrow(converted);
    EXPECT_NE(converted.find(u"\r\nPageCount=1\r\n"), std::u16string::npos);
    EXPECT_EQ(TabCount(tab), 4);
}

std::u16string Quoted(std::u16string_view s) { return std::u16string(u"\"").append(s).append(u"\""); }

TEST_F(E2E, TheArgumentNamesTheFileAndTheWindow) {
    ASSERT_TRUE(CreateDirectoryW(AsW(box.File(u"cfg")), nullptr));
    struct Case {
        std::u16string argument;
        std::u16string file;        // relative to the sandbox
        std::u16string windowName;
    } cases[] = {
        {Quoted(box.File(u"cfg\\home.vcset")), u"cfg\\home.vcset", u"home"},  // quotes removed
        {u"plain", u"plain.vcset", u"plain"},
        {u"notes.vcset.old", u"notes.vcset.old", u"notes.vcset"},  // contains ".vcset": nothing added
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Narrow(c.argument));
        AppProcess app;
        HWND tab = StartShown(app, c.argument, c.windowName);
        ASSERT_TRUE(tab);
        EXPECT_TRUE(SameText(FirstStartText(), Text(c.file)));
        EXPECT_EQ(test::Narrow(WindowText(app.HostWindow())), test::Narrow(c.windowName));
        PostMessageW(tab, WM_COMMAND, 999, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "cfg", "notes.vcset.old", "plain.vcset"}));
    EXPECT_FALSE(test::FileExists(box.File(u"cfg\\home.vcset.vcset")));
}

// ---- One instance per settings file -----------------------------------------

TEST_F(E2E, SecondStartWithTheSameFileActivatesTheFirstAndExits) {
    AppProcess first;
    HWND tab = StartShown(first, u"same", u"same");
    ASSERT_TRUE(tab);
    const std::string before = Bytes(u"same.vcset");
    const uint64_t written = LastWriteTime(box.File(u"same.vcset"));

    // In the background: the second start brings it to the front.
    Decoy decoy;
    ASSERT_TRUE(decoy.TakeForeground());
    {
        AppProcess second;
        EXPECT_TRUE(StartExpectingQuietExit(second, u"same"));
    }
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == tab; }, kEffect))
        << "foreground is '" << test::Narrow(WindowText(GetForegroundWindow())) << "'";

    // Minimised: a start that names the file in other letters, whose caption
    // would differ, restores it all the same.
    ShowWindowAsync(tab, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(tab) != FALSE; }, kEffect));
    {
        AppProcess third;
        EXPECT_TRUE(StartExpectingQuietExit(third, u"SAME"));
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(tab) && IsWindowVisible(tab); }, kEffect));

    EXPECT_EQ(Bytes(u"same.vcset"), before);
    EXPECT_EQ(LastWriteTime(box.File(u"same.vcset")), written);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(VisibleWindowsOf(first.pid()), 1);  // still its one tab window
    PostMessageW(first.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(kExit), 0);
}

// A file held by a run in another session or on another computer (its lock
// says so): the start asks, opens it only to look at when told to, and
// never writes it.
TEST_F(E2E, AFileHeldElsewhereOpensOnlyToLookAt) {
    Put(u"held.vcset", FirstStartText());
    const std::string before = Bytes(u"held.vcset");
    FilePtr lock = OwnedFile(CreateFileW(AsW(box.File(u"held.vcset.lock")), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                         FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    const std::string holder = "Vellumcraft settings lock\r\nmachine=FAR-AWAY\r\nsession=7\r\nprocess=4\r\nwindow=0\r\n";
    DWORD put = 0;
    ASSERT_TRUE(WriteFile(lock.get(), holder.data(), DWORD(holder.size()), &put, nullptr));
    for (const UINT answer : {IDCANCEL, IDOK}) {
        AppProcess app;
        ASSERT_TRUE(app.Start(box.exe(), u"held"));
        HWND question = app.WaitVisibleDialog(u"Vellumcraft", kStart);
        ASSERT_TRUE(question) << "no question";
        PostMessageW(question, WM_COMMAND, answer, 0);
        if (answer == IDCANCEL) {
            EXPECT_EQ(app.WaitExit(kExit), 0);
            continue;
        }
        HWND tab = app.WaitVisibleDialog(CaptionFor(u"held") + u" (読み取り専用)", kStart);
        ASSERT_TRUE(tab);
        PostMessageW(tab, WM_COMMAND, IDM_PAGE_ADD, 0);
        PostMessageW(tab, WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }
    EXPECT_EQ(Bytes(u"held.vcset"), before);
}

// A file another program holds shut: the start says so and tries again when
// asked; a close that cannot write keeps the changes beside the file, and
// the next start offers them back, keeping the file it replaces.
TEST_F(E2E, AFileHeldShutIsAskedForAgainAndChangesNotWrittenComeBack) {
    Put(u"shut.vcset", FirstStartText());
    auto shut = [&] {
        return OwnedFile(CreateFileW(AsW(box.File(u"shut.vcset")), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    auto answer = [](AppProcess& app, UINT button) {  // and waits for the box to go
        HWND question = app.WaitVisibleDialog(u"Vellumcraft", kStart);
        if (question) PostMessageW(question, WM_COMMAND, button, 0);
        return question && WaitUntil([&] { return !IsWindow(question); }, kEffect);
    };
    {
        FilePtr held = shut();
        AppProcess app;
        ASSERT_TRUE(app.Start(box.exe(), u"shut"));
        ASSERT_TRUE(answer(app, IDYES)) << "no question";  // 再試行, still held: asked again
        ASSERT_TRUE(answer(app, IDNO)) << "not asked again";  // 終了
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }
    AppProcess app;
    FilePtr held = shut();
    ASSERT_TRUE(app.Start(box.exe(), u"shut"));
    ASSERT_TRUE(answer(app, IDYES));
    ASSERT_TRUE(app.WaitVisibleDialog(u"Vellumcraft", kStart));  // asked again while held
    held.reset();
    ASSERT_TRUE(answer(app, IDYES));
    HWND tab = app.WaitVisibleDialog(CaptionFor(u"shut"), kStart);
    ASSERT_TRUE(tab);
    ASSERT_TRUE(Place(tab, 150, 150, 500, 300));
    held = shut();
    PostMessageW(tab, WM_CLOSE, 0, 0);
    ASSERT_TRUE(answer(app, IDNO));  // 残して終了
    EXPECT_EQ(app.WaitExit(kExit), 0);
    held.reset();
    EXPECT_NE(Text(u"shut_Unsaved.vcset").find(u"xPosi=150"), std::u16string::npos);

    AppProcess again;
    ASSERT_TRUE(again.Start(box.exe(), u"shut"));
    ASSERT_TRUE(answer(again, IDYES));  // 戻す
    ASSERT_TRUE(again.WaitVisibleDialog(CaptionFor(u"shut"), kStart));
    PostMessageW(again.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitExit(kExit), 0);
    EXPECT_NE(Text(u"shut.vcset").find(u"xPosi=150"), std::u16string::npos);
    EXPECT_TRUE(SameText(FirstStartText(), Text(u"shut_Backup.vcset")));
    EXPECT_FALSE(test::FileExists(box.File(u"shut_Unsaved.vcset")));
}

TEST_F(E2E, ANameInsideARunningCaptionCountsAsRunning) {
    AppProcess myTabs;
    ASSERT_TRUE(StartShown(myTabs, u"MyTabs", u"MyTabs"));
    // "Tabs - Vellumcraft" is part of "MyTabs - Vellumcraft".
    AppProcess tabs;
    EXPECT_TRUE(StartExpectingQuietExit(tabs, u"Tabs"));
    EXPECT_FALSE(test::FileExists(box.File(u"Tabs.vcset")));

    // The other way round the caption is not contained: a window of its own.
    PostMessageW(myTabs.HostWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(myTabs.WaitExit(kExit), 0);
    AppProcess tabsFirst, myTabsSecond;
    ASSERT_TRUE(StartShown(tabsFirst, u"Tabs", u"Tabs"));
    EXPECT_TRUE(StartShown(myTabsSecond, u"MyTabs", u"MyTabs"));
}

TEST_F(E2E, LongNamesAreComparedByTheirFirst64Characters) {
    const std::u16string stem(64, u'L');
    AppProcess first;
    // The caption carries only the first 64 characters of the name.
    ASSERT_TRUE(StartShown(first, stem + u"first", stem));
    AppProcess second;
    EXPECT_TRUE(StartExpectingQuietExit(second, stem + u"second"));
    EXPECT_FALSE(test::FileExists(box.File(stem + u"second.vcset")));
}

TEST_F(E2E, DifferentSettingsFilesRunSideBySide) {
    AppProcess plain, work;
    HWND plainTab = StartShown(plain, u"", u"Vellumcraft");
    ASSERT_TRUE(plainTab);
    HWND workTab = StartShown(work, u"work", u"work");
    ASSERT_TRUE(workTab);
    EXPECT_NE(plain.pid(), work.pid());
    EXPECT_TRUE(plain.Running());
    EXPECT_TRUE(SameText(FirstStartText(), Text(u"work.vcset")));
    EXPECT_EQ(box.Names(),
              (Names{"Vellumcraft.exe", "Vellumcraft.vcset", "Vellumcraft.vcset.lock", "work.vcset", "work.vcset.lock"}));

    PostMessageW(workTab, WM_COMMAND, 999, 0);
    EXPECT_EQ(work.WaitExit(kExit), 0);
    EXPECT_TRUE(plain.Running());  // closing one leaves the other
    PostMessageW(plain.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(plain.WaitExit(kExit), 0);
}

// ---- Closing --------------------------------------------------------------

enum class CloseRoute { HostWmClose, Command999, TabWindowWmClose };

struct Placement {
    int x, y, width, height;
};

struct CloseCase {
    const char* name;
    CloseRoute route;
    Placement placement;
};

class Closing : public E2E, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, EndsWithExitCodeZeroAndStoresThePlacement) {
    const CloseCase& c = GetParam();
    const Placement& p = c.placement;
    AppProcess app;
    HWND tab = StartShown(app, u"close", u"close");
    ASSERT_TRUE(tab);
    ASSERT_TRUE(Place(tab, p.x, p.y, p.width, p.height));

    switch (c.route) {
        case CloseRoute::HostWmClose: PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0); break;
        case CloseRoute::Command999: PostMessageW(tab, WM_COMMAND, 999, 0); break;
        case CloseRoute::TabWindowWmClose: PostMessageW(tab, WM_CLOSE, 0, 0); break;
    }
    EXPECT_EQ(app.WaitExit(kExit), 0);

    std::u16string expected = kGlobalSection;
    expected = WithGlobal(expected, u"xPosi", p.x);
    expected = WithGlobal(expected, u"yPosi", p.y);
    expected = WithGlobal(expected, u"xSize", p.width);
    expected = WithGlobal(expected, u"ySize", p.height);
    EXPECT_TRUE(SameText(expected, Section(Text(u"close.vcset"), u"Vellumcraft")));
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "close.vcset"}));
}

INSTANTIATE_TEST_SUITE_P(Routes, Closing,
                         ::testing::Values(CloseCase{"HostWmClose", CloseRoute::HostWmClose, {100, 120, 600, 400}},
                                           CloseCase{"Command999", CloseRoute::Command999, {140, 90, 480, 300}},
                                           CloseCase{"TabWindowWmClose", CloseRoute::TabWindowWmClose,
                                                     {60, 210, 700, 420}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Window options from TabStyle -----------------------------------------

struct StyleCase {
    const char* name;
    uint32_t tabStyle;
    bool ownedByHost;  // bit 9: no taskbar button
    bool minimiseBox;
    bool topmost;      // bit 10
    bool layered;      // bit 14
};

class WindowOptions : public E2E, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(WindowOptions, FollowTabStyle) {
    const StyleCase& c = GetParam();
    std::u16string text = WithGlobal(FirstStartText(), u"TabStyle", c.tabStyle);
    text = WithGlobal(text, u"LayerWindowLevel", 160);
    Put(u"style.vcset", text);

    AppProcess app;
    HWND tab = StartShown(app, u"style", u"style");
    ASSERT_TRUE(tab);
    HWND host = app.HostWindow();
    ASSERT_TRUE(host);
    EXPECT_FALSE(IsWindowVisible(host));
    EXPECT_EQ(GetWindow(tab, GW_OWNER), c.ownedByHost ? host : nullptr);
    const LONG style = GetWindowLongW(tab, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(tab, GWL_EXSTYLE);
    EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, c.minimiseBox);
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, c.topmost);
    EXPECT_EQ((exStyle & WS_EX_LAYERED) != 0, c.layered);
    if (c.layered) {
        BYTE alpha = 0;
        DWORD flags = 0;
        EXPECT_TRUE(GetLayeredWindowAttributes(tab, nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, 160);
        EXPECT_TRUE(flags & LWA_ALPHA);
    }

    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    // The options come back unchanged in the file.
    EXPECT_TRUE(SameText(Section(text, u"Vellumcraft"), Section(Text(u"style.vcset"), u"Vellumcraft")));
}

INSTANTIATE_TEST_SUITE_P(
    Bits, WindowOptions,
    ::testing::Values(StyleCase{"Default", 0x10100, false, true, false, false},
                      StyleCase{"OffTaskbarAndOnTop", 0x10100 | 0x200 | 0x400, true, false, true, false},
                      StyleCase{"Transparent", 0x10100 | 0x4000, false, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Keyboard ---------------------------------------------------------------

TEST_F(E2E, CtrlTabWrapsBothWaysAndAltMGoesToTheMainPage) {
    // Page3 is the main page: tab 5, after the three special tabs.
    Put(u"keys.vcset", With(FirstStartText(), u"Page3", u"Flag", u"32768"));
    AppProcess app;
    HWND tab = StartShown(app, u"keys", u"keys");
    ASSERT_TRUE(tab);
    ASSERT_EQ(SelectedTab(tab), 0);
    ASSERT_TRUE(FocusForKeys(tab, CaptionFor(u"keys")));

    struct Step {
        const char* keys;
        int selected;
    } steps[] = {
        {"ctrl+Tab", 1}, {"ctrl+shift+Tab", 0}, {"ctrl+shift+Tab", 7},  // before the first comes the last
        {"ctrl+Tab", 0},                                                 // after the last comes the first
        {"alt+m", 5},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(PressKeys(s.keys)) << s.keys;
        EXPECT_TRUE(WaitUntil([&] { return SelectedTab(tab) == s.selected; }, kEffect))
            << s.keys << ": selected " << SelectedTab(tab) << ", expected " << s.selected;
    }

    PostMessageW(tab, WM_COMMAND, 999, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    EXPECT_TRUE(SameText(WithGlobal(kGlobalSection, u"TabNumber", 5), Section(Text(u"keys.vcset"), u"Vellumcraft")));
}

TEST_F(E2E, AltMWithoutAMainPageKeepsTheSelection) {
    AppProcess app;
    HWND tab = StartShown(app, u"nomain", u"nomain");
    ASSERT_TRUE(tab);
    ASSERT_TRUE(FocusForKeys(tab, CaptionFor(u"nomain")));
    ASSERT_TRUE(PressKeys("ctrl+Tab"));
    ASSERT_TRUE(WaitUntil([&] { return SelectedTab(tab) == 1; }, kEffect));
    // Keys arrive in order: once the Ctrl+Tab after Alt+M has shown, Alt+M
    // has been handled too.
    ASSERT_TRUE(PressKeys("alt+m"));
    ASSERT_TRUE(PressKeys("ctrl+Tab"));
    EXPECT_TRUE(WaitUntil([&] { return SelectedTab(tab) == 2; }, kEffect)) << "selected " << SelectedTab(tab);

    PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    EXPECT_TRUE(SameText(WithGlobal(kGlobalSection, u"TabNumber", 2), Section(Text(u"nomain.vcset"), u"Vellumcraft")));
}

TEST_F(E2E, HotKeyHeldElsewhereIsNotedThenTakenOnOkAndHidesAndShowsTheWindowAsItWas) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_SPACE));
    AppProcess app;
    HWND tab = StartShown(app, u"hotkey", u"hotkey");
    ASSERT_TRUE(tab);
    EXPECT_EQ(VisibleWindowsOf(app.pid()), 1) << "a message box at start";
    PostMessageW(tab, WM_COMMAND, 1071, 0);
    HWND dialog = app.WaitVisibleDialog(u"Vellumcraft - 全般設定", kEffect);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(FindWindowExW(dialog, nullptr, L"#32770", nullptr), 1608)));
    UnregisterHotKey(nullptr, 1);  // the other program lets go: OK takes the key
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kEffect));

    ASSERT_TRUE(FocusForKeys(tab, CaptionFor(u"hotkey")));
    ASSERT_TRUE(PressKeys("ctrl+Tab"));
    ASSERT_TRUE(WaitUntil([&] { return SelectedTab(tab) == 1; }, kEffect));
    const RECT before = WindowRect(tab);
    ASSERT_TRUE(PressKeys("ctrl+alt+space"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tab); }, kEffect)) << "the active window stayed";
    Decoy other;  // from behind another window it comes to the front
    ASSERT_TRUE(other.TakeForeground());
    ASSERT_TRUE(PressKeys("ctrl+alt+space"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tab) && GetForegroundWindow() == tab; }, kEffect));
    const RECT after = WindowRect(tab);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(SelectedTab(tab), 1);
    PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
}

// ---- Bad input and a file that cannot be written --------------------------------

TEST_F(E2E, OverlongArgumentsEndTheProgramWithoutTouchingAnything) {
    AppProcess app;
    EXPECT_TRUE(StartExpectingQuietExit(app, std::u16string(300, u'a')));
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe"}));

    // Short enough as an argument, too long once joined to the folder.
    const size_t folder = box.path().size() + 1;
    ASSERT_LT(folder, 200u);
    AppProcess joined;
    EXPECT_TRUE(StartExpectingQuietExit(joined, std::u16string(262 - folder + 4, u'b')));
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe"}));
}

TEST_F(E2E, ReadOnlySettingsFileIsUsedButNeverWritten) {
    // With mark: read, shown, closed after a move, and left as it was.
    const std::u16string text = WithGlobal(FirstStartText(), u"xPosi", 321);
    Put(u"ro.vcset", text);
    ASSERT_TRUE(SetFileAttributesW(AsW(box.File(u"ro.vcset")), FILE_ATTRIBUTE_READONLY));
    const std::string before = Bytes(u"ro.vcset");
    {
        AppProcess app;
        HWND tab = StartShown(app, u"ro", u"ro");
        ASSERT_TRUE(tab);
        EXPECT_EQ(WindowRect(tab).left, 321);
        ASSERT_TRUE(Place(tab, 150, 150, 500, 300));
        PostMessageW(tab, WM_COMMAND, 999, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }
    EXPECT_EQ(Bytes(u"ro.vcset"), before);
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe", "ro.vcset"}));

    // Without mark: it cannot be converted, so it stays the 8-bit original.
    ASSERT_TRUE(test::WriteBytes(box.File(u"ro8.vcset"), kEightBitFile));
    ASSERT_TRUE(SetFileAttributesW(AsW(box.File(u"ro8.vcset")), FILE_ATTRIBUTE_READONLY));
    AppProcess app8;
    HWND tab8 = StartShown(app8, u"ro8", u"ro8");
    ASSERT_TRUE(tab8);
    EXPECT_EQ(WindowRect(tab8).left, 300);  // its values were read all the same
    PostMessageW(app8.HostWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app8.WaitExit(kExit), 0);
    EXPECT_EQ(Bytes(u"ro8.vcset"), kEightBitFile);
}

TEST_F(E2E, SettingsFileInAMissingFolderStillStartsAndEnds) {
    const std::u16string file = box.File(u"missing\\deeper\\away.vcset");
    AppProcess app;
    HWND tab = StartShown(app, file, u"away");
    ASSERT_TRUE(tab);
    EXPECT_EQ(TabCount(tab), 8);  // defaults
    // Nothing can be written there: the close says so, and ends when told to.
    PostMessageW(tab, WM_CLOSE, 0, 0);
    HWND question = app.WaitVisibleDialog(u"Vellumcraft", kStart);
    ASSERT_TRUE(question) << "the close said nothing of the changes it could not write";
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(app.WaitExit(kExit), 0);
    EXPECT_EQ(box.Names(), (Names{"Vellumcraft.exe"}));
}

}  // namespace
}  // namespace vc::e2e
