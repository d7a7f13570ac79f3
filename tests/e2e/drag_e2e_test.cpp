// Entries of the real Vellumcraft.exe dragged by the real mouse (xdotool through
// the X server) within a page and onto tabs; what counts is the settings file.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "e2e/SettingsSections.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

std::u16string FilesKey(size_t i) { return u"Files" + Dec(int64_t(1000 + i)).substr(1); }

// Page `label` in the details view and registered order, holding
// C:\<label>\<name> for each name; the program takes the rest from its template.
std::u16string PageKeys(const std::u16string& label, const std::vector<std::u16string>& names, int flag = 0) {
    std::u16string keys = u"Label=" + label + u"\r\nFlag=" + Dec(flag) + u"\r\nListType=3\r\nPageListSort=-1\r\n";
    for (size_t i = 0; i < names.size(); ++i) keys += FilesKey(i) + u"=C:\\" + label + u"\\" + names[i] + u"\r\n";
    return keys + u"Files=" + Dec(int64_t(names.size())) + u"\r\n";
}

// The entries of user page n as the file holds them.
std::vector<std::string> EntriesOf(const Sections& file, int n) {
    const std::u16string keys = file.count(u"Page" + Dec(n)) ? file.at(u"Page" + Dec(n)) : u"";
    std::vector<std::string> out;
    for (int i = 0; i < std::atoi(ValueOf(keys, u"Files").c_str()); ++i)
        if (std::string v = ValueOf(keys, FilesKey(size_t(i))); !v.empty()) out.push_back(v);
    return out;
}

// The middle of a rectangle a control gives for `index` through `msg`, on the screen.
POINT MiddleOf(HANDLE process, HWND control, UINT msg, int index) {
    RemoteBlock block(process, sizeof(RECT));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    const bool got = block && block.Put(&r, sizeof r) && Ask(control, msg, WPARAM(index), block.param()) &&
                     block.Get(&r, sizeof r);
    POINT at{got ? (r.left + r.right) / 2 : -1, got ? (r.top + r.bottom) / 2 : -1};
    ClientToScreen(control, &at);
    return at;
}

// Presses the left button at `from`, goes to `to` in small steps and lets
// go; with `ctrl`, Ctrl is held from halfway until after the release.
bool XDrag(POINT from, POINT to, bool ctrl = false) {
    auto xy = [](POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
    std::string cmd = "timeout 20 xdotool mousemove " + xy(from) + " sleep 0.2 mousedown 1 sleep 0.2";
    for (int step = 1; step <= 8; ++step)
        cmd += " mousemove " + xy({from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8}) +
               (ctrl && step == 4 ? " keydown ctrl" : "") + " sleep 0.08";
    return RunLinuxCommand(cmd + " sleep 0.2 mouseup 1 sleep 0.1" + (ctrl ? " keyup ctrl" : ""), Ms(25000)) == 0;
}

TEST(Dragging, MovesWithinThePageAndOntoTabsCopiesWithCtrlAndALockedPageRefuses) {
    ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", nullptr, 0), 0u) << "no X display: run under scripts/wine-session.sh";
    test::TempDir dir;
    Sections start{{u"Vellumcraft", u"PageCount=4\r\nSpcialFolder=0\r\n"},
                   {u"Page1", PageKeys(u"A", {u"one.exe", u"two.txt", u"three.txt"})},
                   {u"Page2", PageKeys(u"B", {u"x.txt"})},
                   {u"Page3", PageKeys(u"C", {u"y.txt"})},
                   {u"Page4", PageKeys(u"D", {u"z.txt"}, 1)}};
    const std::u16string path = dir.File(u"drag.vcset");
    ASSERT_TRUE(test::WriteBytes(path, test::Utf16LE(TextOfSections(start))));
    auto file = [&] { return SectionsOf(test::TextOf(test::ReadBytes(path))); };
    AppProcess app;
    ASSERT_TRUE(app.Start(AppExe(), u"\"" + path + u"\""));
    HWND tab = app.WaitVisibleDialog(CaptionFor(u"drag"), kStart);
    ASSERT_TRUE(tab);
    ASSERT_TRUE(WaitUntil([&] { return PageList(tab) && Ask(PageList(tab), LVM_GETITEMCOUNT) == 3; }, kEffect));
    ASSERT_TRUE(XFocusWindow(test::Narrow(CaptionFor(u"drag"))));
    HWND list = PageList(tab);
    auto row = [&](int i) { return MiddleOf(app.handle(), list, LVM_GETITEMRECT, i); };
    auto tabAt = [&](int i) { return MiddleOf(app.handle(), TabStrip(tab), TCM_GETITEMRECT, i); };
    auto name = [&](int i) { return test::Narrow(ItemText(app.handle(), list, i, 0).value_or(u"?")); };

    // The first entry dropped on the third takes its place; Alt+Up takes
    // it, still selected, one place back.
    ASSERT_TRUE(XDrag(row(0), row(2)));
    EXPECT_TRUE(WaitUntil([&] { return name(2) == "one"; }, kEffect)) << name(0) << " " << name(1) << " " << name(2);
    ASSERT_TRUE(XPressKeys({"alt+Up"}));
    EXPECT_TRUE(WaitUntil([&] { return name(1) == "one"; }, kEffect)) << name(0) << " " << name(1) << " " << name(2);

    // The locked page D takes nothing; B takes the entry dropped on its tab
    // and A loses it, both in the file at once, A in its new order.
    ASSERT_TRUE(XDrag(row(0), tabAt(3)));
    ASSERT_TRUE(XDrag(row(0), tabAt(1)));
    const std::vector<std::string> a{"C:\\A\\one.exe", "C:\\A\\three.txt"};
    EXPECT_TRUE(WaitUntil([&] { return EntriesOf(file(), 2).size() == 2; }, kEffect));
    EXPECT_EQ(EntriesOf(file(), 1), a);
    EXPECT_EQ(EntriesOf(file(), 2), (std::vector<std::string>{"C:\\B\\x.txt", "C:\\A\\two.txt"}));
    EXPECT_EQ(EntriesOf(file(), 4), std::vector<std::string>{"C:\\D\\z.txt"});

    // With Ctrl the entry is copied: A keeps it.
    ASSERT_TRUE(XDrag(row(0), tabAt(2), true));
    EXPECT_TRUE(WaitUntil([&] { return EntriesOf(file(), 3).size() == 2; }, kEffect));
    EXPECT_EQ(EntriesOf(file(), 3), (std::vector<std::string>{"C:\\C\\y.txt", "C:\\A\\one.exe"}));
    EXPECT_EQ(EntriesOf(file(), 1), a);
}

}  // namespace
}  // namespace vc::e2e
