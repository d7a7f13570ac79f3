// The real Vellumcraft.exe answering the mouse: the context menu opened by a
// real right click on an entry or on a tab, the tabs' tips under the pointer,
// and the page list sorted by real clicks on its column header. Input goes through the X server (xdotool);
// everything is observed from outside the program: its windows, the items of
// its list read out of its memory, the settings file it leaves behind, and
// screenshots of the X display while a menu is open.
//
// Each case prepares its own settings file and entry files in a fresh folder
// and runs its own copy of the program on them; every wait has a deadline,
// and a program still running when its case ends is terminated.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "e2e/AppProcess_win.h"
#include "e2e/ProgramWindows_win.h"
#include "e2e/SettingsSections.h"
#include "resources/FindBoxIds.h"
#include "support/FirstStartFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::e2e {
namespace {

using test::kGlobalSection;
using test::Narrow;
using test::PageSection;

// How long a menu that should not come is given to come all the same.
constexpr Ms kNoMenu{600};

// ---- Entries on disk -------------------------------------------------------------

// Four files whose orders by registration, by name, by date and by size all
// differ, so that each order can only come from sorting by that column.
struct EntryFile {
    const char16_t* name;     // file name; the list shows it without extension
    const char* shown;
    int year;                 // last-write time
    size_t size;
};
constexpr EntryFile kEntries[] = {
    {u"delta.txt", "delta", 2002, 300},
    {u"alpha.txt", "alpha", 2004, 100},
    {u"charlie.txt", "charlie", 2001, 400},
    {u"bravo.txt", "bravo", 2003, 200},
};
using Names = std::vector<std::string>;
const Names kByDate{"charlie", "delta", "bravo", "alpha"};
const Names kByDateNewestFirst{"alpha", "bravo", "delta", "charlie"};
const Names kByName{"alpha", "bravo", "charlie", "delta"};
const Names kByNameDescending{"delta", "charlie", "bravo", "alpha"};

bool MakeEntryFile(const std::u16string& path, const EntryFile& e) {
    if (!test::WriteBytes(path, std::string(e.size, 'x'))) return false;
    HANDLE f = CreateFileW(AsW(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    SYSTEMTIME st{};
    st.wYear = WORD(e.year);
    st.wMonth = 6;
    st.wDay = 15;
    st.wHour = 12;
    FILETIME ft{};
    bool ok = SystemTimeToFileTime(&st, &ft) && SetFileTime(f, nullptr, nullptr, &ft);
    CloseHandle(f);
    return ok;
}

// ---- Reading the program's controls from outside ---------------------------------

// Column 0 of every list item, in list order.
Names ItemNames(HANDLE process, HWND list) {
    Names names;
    const int count = int(Ask(list, LVM_GETITEMCOUNT));
    constexpr size_t kChars = 260;
    RemoteBlock block(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!block) return {"(no memory in the program)"};
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof item));
        item.cchTextMax = int(kChars);
        wchar_t text[kChars] = {};
        if (!block.Put(&item, sizeof item) || Ask(list, LVM_GETITEMTEXTW, WPARAM(i), block.param()) < 0 ||
            !block.Get(text, sizeof text, sizeof item))
            return {"(item " + std::to_string(i) + " unreadable)"};
        text[kChars - 1] = 0;
        names.push_back(Narrow(U16(text)));
    }
    return names;
}

// A rectangle that a control gives in its client coordinates for a pointer
// argument, turned into screen coordinates.
bool ControlRect(HANDLE process, HWND control, UINT msg, WPARAM w, RECT& out, LONG firstField = 0) {
    RemoteBlock block(process, sizeof(RECT));
    RECT r{firstField, 0, 0, 0};
    if (!block || !block.Put(&r, sizeof r) || !Ask(control, msg, w, block.param()) || !block.Get(&r, sizeof r))
        return false;
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
    out = r;
    return r.right > r.left && r.bottom > r.top;
}

// The image a header item shows: 1 the up arrow, 2 the down arrow, 0 blank;
// -1 when the header would not draw its image at all.
int HeaderImage(HANDLE process, HWND header, int column) {
    RemoteBlock block(process, sizeof(HDITEMW));
    HDITEMW item{};
    item.mask = HDI_IMAGE | HDI_FORMAT;
    item.iImage = -7;
    if (!block || !block.Put(&item, sizeof item) || !Ask(header, HDM_GETITEMW, WPARAM(column), block.param()) ||
        !block.Get(&item, sizeof item))
        return -100;
    return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

HWND HeaderOf(HWND list) { return FindWindowExW(list, nullptr, WC_HEADERW, nullptr); }

// The visible popup menu windows of a process.
std::vector<HWND> OpenMenus(DWORD pid) {
    std::vector<HWND> menus;
    for (HWND h : TopLevelWindowsOf(pid))
        if (IsWindowVisible(h) && ClassOf(h) == u"#32768") menus.push_back(h);
    return menus;
}

// ---- Real input and pictures through the X server --------------------------------

bool XRightClickAt(POINT at) { return XClickAt(at, 1, 3); }

// The Linux path of a Windows path, as Wine maps it.
std::string LinuxPathOf(const std::u16string& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(AsW(windowsPath));
    if (!unix) return {};
    std::string path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

// A picture of the whole X display, saved in "screenshots" beside this test
// program (in the build tree); returns its Linux path, empty on failure.
std::string Screenshot(const std::string& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::u16string folder = U16(self);
    folder = folder.substr(0, folder.rfind(u'\\')) + u"\\screenshots";
    CreateDirectoryW(AsW(folder), nullptr);
    const std::string dir = LinuxPathOf(folder);
    if (dir.empty()) return {};
    const std::string file = dir + "/" + name + ".png";
    if (RunLinuxCommand("timeout 10 import -window root '" + file + "'") != 0) return {};
    return file;
}

// ---- The fixture ------------------------------------------------------------------

// One user page "Page1" in details view with the four entry files, and an
// empty second page so that the strip has a tab that is not selected.
class Mouse : public ::testing::Test {
protected:
    test::TempDir dir;
    AppProcess app;
    HWND tab = nullptr;

    void SetUp() override {
        ASSERT_GT(GetEnvironmentVariableW(L"DISPLAY", nullptr, 0), 0u)
            << "no X display: run under scripts/wine-session.sh";
        ASSERT_TRUE(CreateDirectoryW(AsW(dir.File(u"entries")), nullptr));
        for (const EntryFile& e : kEntries)
            ASSERT_TRUE(MakeEntryFile(dir.File(u"entries\\" + std::u16string(e.name)), e)) << Narrow(e.name);
    }

    // The file as the test writes it; after a close without changes the
    // program writes the same back.
    Sections StartFile() const {
        std::u16string files;
        int n = 0;
        for (const EntryFile& e : kEntries) {
            files += u"Files" + DecPadded(n, 3) + u"=" + dir.File(u"entries\\" + std::u16string(e.name)) + u"\r\n";
            ++n;
        }
        // The text ends in CR LF, so its last line is empty and counts too.
        files += u"Files" + DecPadded(n, 3) + u"=\r\nFiles=" + Dec(n + 1) + u"\r\n";
        std::u16string global = SectionsOf(kGlobalSection)[u"Vellumcraft"];
        global = WithKey(global, u"PageCount", u"2");
        global = WithKey(global, u"SpcialFolder", u"0");
        return Sections{{u"Vellumcraft", global},
                        {u"Page1", WithKey(SectionsOf(PageSection(1, files))[u"Page1"], u"ListType", u"3")},
                        {u"Page2", SectionsOf(PageSection(2))[u"Page2"]}};
    }

    std::u16string SettingsPath() const { return dir.File(name_ + u".vcset"); }
    std::string FileBytes() const { return test::ReadBytes(SettingsPath()); }
    Sections FileNow() const { return SectionsOf(test::TextOf(FileBytes())); }

    // Writes the settings file `name`.vcset, starts the program on it, waits
    // until the page has listed its entries and gives the window the X focus.
    void Start(const std::u16string& name) {
        name_ = name;
        ASSERT_TRUE(test::WriteBytes(SettingsPath(), test::Utf16LE(TextOfSections(StartFile()))));
        std::u16string quoted(1, u'"');
        quoted.append(SettingsPath()).push_back(u'"');
        ASSERT_TRUE(app.Start(AppExe(), quoted)) << "CreateProcess: " << GetLastError();
        tab = app.WaitVisibleDialog(CaptionFor(name), kStart);
        ASSERT_TRUE(tab) << "no window '" << Narrow(CaptionFor(name)) << "'";
        // Loaded means sorted and the stored cursor selected.
        ASSERT_TRUE(WaitUntil(
            [&] {
                HWND list = PageList(tab);
                return list && Ask(list, LVM_GETITEMCOUNT) == 4 &&
                       Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) == 0;
            },
            kEffect))
            << "the page did not finish loading";
        ASSERT_TRUE(XFocusWindow(Narrow(CaptionFor(name))));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == tab; }, kEffect)) << "no foreground";
    }

    void Close() {
        PostMessageW(app.HostWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(kExit), 0);
    }

    // Waits for the one context menu of the program, opened by a click at
    // `at`: it must belong to the program's thread, be owned by the tab
    // window and open with its corner at the click.
    HWND WaitMenuAt(POINT at) {
        std::vector<HWND> menus;
        WaitUntil([&] { return !(menus = OpenMenus(app.pid())).empty(); }, kEffect);
        if (menus.size() != 1) {
            ADD_FAILURE() << menus.size() << " menus open, expected 1";
            return nullptr;
        }
        HWND menu = menus[0];
        EXPECT_EQ(GetWindowThreadProcessId(menu, nullptr), GetWindowThreadProcessId(tab, nullptr));
        EXPECT_EQ(GetWindow(menu, GW_OWNER), tab) << "the menu's owner is not the tab window";
        RECT r{};
        GetWindowRect(menu, &r);
        EXPECT_LE(std::abs(r.left - at.x), 2) << "menu at " << r.left << "," << r.top << ", click at " << at.x << ","
                                              << at.y;
        EXPECT_LE(std::abs(r.top - at.y), 2) << "menu at " << r.left << "," << r.top << ", click at " << at.x << ","
                                             << at.y;
        // A context menu lists a dozen items: far taller than one line.
        EXPECT_GT(r.bottom - r.top, 150);
        EXPECT_GT(r.right - r.left, 80);
        return menu;
    }

    // Takes a picture of the display with the menu open and names it in the
    // output.
    void Picture(HWND menu, const std::string& name) {
        // The menu's thread answers from inside its menu loop, which paints
        // the menu before it waits for input; a moment more lets what Wine
        // drew reach the X server.
        Ask(menu, WM_NULL);
        Sleep(150);
        const std::string file = Screenshot(name);
        EXPECT_FALSE(file.empty()) << "no screenshot";
        std::cout << "screenshot: " << file << std::endl;
        RecordProperty(name, file);
    }

    // Escape closes the menu, and no other opens after it.
    void EscapeCloses() {
        ASSERT_TRUE(XPressKeys({"Escape"}));
        EXPECT_TRUE(WaitUntil([&] { return OpenMenus(app.pid()).empty(); }, kEffect)) << "Escape left the menu open";
        WaitUntil([&] { return !OpenMenus(app.pid()).empty(); }, kNoMenu);
        EXPECT_TRUE(OpenMenus(app.pid()).empty()) << "another menu opened after Escape";
        EXPECT_TRUE(app.Running());
        EXPECT_EQ(Ask(tab, WM_NULL), 0) << "the program does not answer";
    }

    // The dialog the tab window opened (a visible dialog it owns), once it
    // shows; nullptr when none comes.
    HWND WaitOwnedDialog() {
        HWND dialog = nullptr;
        WaitUntil(
            [&] {
                for (HWND h : TopLevelWindowsOf(app.pid()))
                    if (IsWindowVisible(h) && ClassOf(h) == u"#32770" && GetWindow(h, GW_OWNER) == tab) dialog = h;
                return dialog != nullptr;
            },
            kEffect);
        return dialog;
    }

private:
    std::u16string name_;
};

// ---- The context menu ------------------------------------------------------------

TEST_F(Mouse, RightClickOnAnEntryOpensTheContextMenuAndEscapeChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(Start(u"menuentry"));
    const std::string before = FileBytes();
    HWND list = PageList(tab);

    // The first row, already selected: the click changes nothing the file keeps.
    RECT row{};
    ASSERT_TRUE(ControlRect(app.handle(), list, LVM_GETITEMRECT, 0, row, LVIR_LABEL));
    const POINT at{row.left + 12, Middle(row).y};
    ASSERT_TRUE(XRightClickAt(at));
    HWND menu = WaitMenuAt(at);
    ASSERT_TRUE(menu);
    Picture(menu, "menus-context-menu-on-entry");

    EscapeCloses();
    EXPECT_EQ(FileBytes(), before) << "opening and closing the menu wrote the settings file";
    EXPECT_EQ(Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);

    Close();
    EXPECT_EQ(FileNow(), StartFile()) << Narrow(test::TextOf(FileBytes()));
}

// Letters typed on the keyboard narrow the list; Escape shows every entry
// again and closes nothing; the file never hears of it.
TEST_F(Mouse, TypedLettersFilterTheListAndEscapeClearsIt) {
    ASSERT_NO_FATAL_FAILURE(Start(u"typefind"));
    HWND list = PageList(tab);
    RECT row{};
    ASSERT_TRUE(ControlRect(app.handle(), list, LVM_GETITEMRECT, 0, row, LVIR_LABEL));
    ASSERT_TRUE(XClickAt({row.left + 12, Middle(row).y}, 1));  // the list takes the keys
    ASSERT_TRUE(RunLinuxCommand("timeout 10 xdotool type --delay 30 LTA") == 0);  // delta
    EXPECT_TRUE(WaitUntil([&] { return Ask(list, LVM_GETITEMCOUNT) == 1; }, kEffect));
    ASSERT_TRUE(XPressKeys({"BackSpace", "BackSpace", "BackSpace", "r"}));  // charlie and bravo
    EXPECT_TRUE(WaitUntil([&] { return Ask(list, LVM_GETITEMCOUNT) == 2; }, kEffect));
    ASSERT_TRUE(XPressKeys({"Escape"}));
    EXPECT_TRUE(WaitUntil([&] { return Ask(list, LVM_GETITEMCOUNT) == 4; }, kEffect));
    EXPECT_TRUE(IsWindowVisible(tab));
    Close();
    EXPECT_EQ(FileNow(), StartFile()) << Narrow(test::TextOf(FileBytes()));
}

// Ctrl+F on another page finds an entry by what is typed; Alt+Enter goes to
// the entry's page with the entry selected.
TEST_F(Mouse, CtrlFFindsAnEntryOnAnyPageAndAltEnterShowsIt) {
    ASSERT_NO_FATAL_FAILURE(Start(u"findall"));
    ASSERT_TRUE(XPressKeys({"ctrl+Tab"}));
    ASSERT_TRUE(WaitUntil([&] { return SelectedTab(tab) == 1; }, kEffect));
    ASSERT_TRUE(XPressKeys({"ctrl+f"}));
    HWND box = WaitOwnedDialog();
    ASSERT_TRUE(box) << "Ctrl+F opened no find box";
    ASSERT_TRUE(RunLinuxCommand("timeout 10 xdotool type --delay 30 LTA") == 0);  // delta
    HWND found = GetDlgItem(box, IDC_FIND_LIST);
    EXPECT_TRUE(WaitUntil([&] { return Ask(found, LVM_GETITEMCOUNT) == 1; }, kEffect));
    ASSERT_TRUE(XPressKeys({"alt+Return"}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && SelectedTab(tab) == 0; }, kEffect));
    HWND list = nullptr;
    int selected = -1;
    EXPECT_TRUE(WaitUntil(
        [&] {
            list = PageList(tab);
            selected = list ? int(Ask(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
            return selected >= 0 && ItemNames(app.handle(), list)[size_t(selected)] == "delta";
        },
        kEffect))
        << "selected item " << selected;
    Close();
    // Only the cursors moved: the entry found on the first page, none on the empty second.
    Sections expected = StartFile();
    expected[u"Page1"] = WithKey(expected[u"Page1"], u"Cursor", Dec(selected));
    expected[u"Page2"] = WithKey(expected[u"Page2"], u"Cursor", u"-1");
    EXPECT_EQ(FileNow(), expected) << Narrow(test::TextOf(FileBytes()));
}

TEST_F(Mouse, TheMenuOfATabIsItsPagesAndOpensByRightClickOrShiftF10ButNotBesideTheTabs) {
    ASSERT_NO_FATAL_FAILURE(Start(u"menutab"));
    HWND strip = TabStrip(tab);

    // The tab not selected: its page is shown first, for the page commands to act on.
    RECT second{};
    ASSERT_TRUE(ControlRect(app.handle(), strip, TCM_GETITEMRECT, 1, second));
    const POINT at = Middle(second);
    ASSERT_TRUE(XRightClickAt(at));
    HWND menu = WaitMenuAt(at);
    ASSERT_TRUE(menu);
    Picture(menu, "menus-context-menu-on-tab");
    EXPECT_EQ(SelectedTab(tab), 1) << "the menu is not the clicked tab's";
    EscapeCloses();

    // The empty part of the strip, right of the last tab, on the same row.
    RECT stripRect{};
    GetWindowRect(strip, &stripRect);
    const POINT beside{(second.right + stripRect.right) / 2, at.y};
    ASSERT_GT(stripRect.right - second.right, 40) << "no room beside the tabs";
    ASSERT_TRUE(XRightClickAt(beside));
    WaitUntil([&] { return !OpenMenus(app.pid()).empty(); }, kNoMenu);
    EXPECT_TRUE(OpenMenus(app.pid()).empty()) << "a right click beside the tabs opened a menu";
    if (!OpenMenus(app.pid()).empty()) XPressKeys({"Escape"});
    // The keyboard's way, with the focus on the strip: under the selected tab.
    SendMessageW(tab, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(strip), TRUE);
    ASSERT_TRUE(XPressKeys({"shift+F10"}));
    EXPECT_TRUE(WaitMenuAt({second.left, second.bottom})) << "Shift+F10 on the strip opened no menu";
    EscapeCloses();

    Close();
    Sections expected = StartFile();  // page 2 shown
    expected[u"Vellumcraft"] = WithKey(expected[u"Vellumcraft"], u"TabNumber", u"1");
    expected[u"Page2"] = WithKey(expected[u"Page2"], u"Cursor", u"-1");
    EXPECT_EQ(FileNow(), expected) << Narrow(test::TextOf(FileBytes()));
}

// The tab whose tip the program's tooltip shows, or -1 when none shows.
int ShownTabTip(const AppProcess& app) {
    for (HWND h : TopLevelWindowsOf(app.pid())) {
        RemoteBlock block(app.handle(), sizeof(TTTOOLINFOW));
        TTTOOLINFOW tool{sizeof tool};
        if (IsWindowVisible(h) && ClassOf(h) == u"tooltips_class32" && block && block.Put(&tool, sizeof tool) &&
            Ask(h, TTM_GETCURRENTTOOLW, 0, block.param()) && block.Get(&tool, sizeof tool))
            return int(tool.uId);
    }
    return -1;
}

TEST_F(Mouse, TheMouseOverATabShowsItsTipAndMovedOnTheNextTabs) {
    ASSERT_NO_FATAL_FAILURE(Start(u"tabtips"));
    RECT first{}, second{};
    ASSERT_TRUE(ControlRect(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 0, first));
    ASSERT_TRUE(ControlRect(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 1, second));
    for (auto [at, tip] : {std::pair{Middle(first), 0}, std::pair{Middle(second), 1}}) {
        ASSERT_EQ(RunLinuxCommand("timeout 10 xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y)), 0);
        EXPECT_TRUE(WaitUntil([&] { return ShownTabTip(app) == tip; }, kEffect)) << "no tip for tab " << tip;
    }
    Close();
}

// ---- Page settings from the tab strip ---------------------------------------------

TEST_F(Mouse, DoubleClickOnATabOpensThePageSettingsAndEscapeLeavesThePage) {
    ASSERT_NO_FATAL_FAILURE(Start(u"tabsettings"));
    RECT first{};
    ASSERT_TRUE(ControlRect(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 0, first));
    ASSERT_TRUE(XClickAt(Middle(first), 2));
    const std::u16string caption = u"Vellumcraft - ページ \"Page1\" の設定";
    HWND dialog = WaitOwnedDialog();
    ASSERT_TRUE(dialog) << "no page settings dialog";
    wchar_t text[128] = {};
    GetWindowTextW(dialog, text, 128);
    EXPECT_EQ(U16(text), caption);
    Ask(dialog, WM_NULL);
    Sleep(150);
    const std::string file = Screenshot("menus-page-settings");
    EXPECT_FALSE(file.empty()) << "no screenshot";
    std::cout << "screenshot: " << file << std::endl;

    ASSERT_TRUE(XPressKeys({"Escape"}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kEffect)) << "Escape left the dialog open";
    EXPECT_EQ(SelectedTab(tab), 0);
    Close();
    EXPECT_EQ(FileNow(), StartFile()) << Narrow(test::TextOf(FileBytes()));
}

// A control of the dialog's pane, found from outside the program.
HWND PaneControl(HWND dialog, int id) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (HWND control = GetDlgItem(c, id)) return control;
    return nullptr;
}

POINT CentreOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return Middle(r);
}

TEST_F(Mouse, ALabelTypedInThePageSettingsAndEnterRenameThePage) {
    ASSERT_NO_FATAL_FAILURE(Start(u"rename"));
    RECT first{};
    ASSERT_TRUE(ControlRect(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 0, first));
    ASSERT_TRUE(XClickAt(Middle(first), 2));
    HWND dialog = WaitOwnedDialog();
    ASSERT_TRUE(dialog) << "no page settings dialog";
    HWND label = nullptr;
    WaitUntil([&] { return (label = PaneControl(dialog, 1021)) != nullptr && IsWindowVisible(label); }, kEffect);
    ASSERT_TRUE(label) << "no label pane";
    ASSERT_TRUE(XClickAt(CentreOf(label), 1));
    Ask(label, EM_SETSEL, 0, -1);
    ASSERT_TRUE(RunLinuxCommand("timeout 10 xdotool type --delay 30 Renamed") == 0);
    ASSERT_TRUE(XPressKeys({"Return"}));  // OK is the default button
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kEffect)) << "Enter left the dialog open";
    EXPECT_TRUE(WaitUntil([&] { return ValueOf(FileNow()[u"Page1"], u"Label") == "Renamed"; }, kEffect))
        << "the page's look was not stored after OK: Label=" << ValueOf(FileNow()[u"Page1"], u"Label");
    Close();
}

// ---- General settings through the context menu -------------------------------------

TEST_F(Mouse, TabsMovedToTheBottomInTheGeneralSettingsStayThere) {
    ASSERT_NO_FATAL_FAILURE(Start(u"general"));
    RECT first{};
    ASSERT_TRUE(ControlRect(app.handle(), TabStrip(tab), TCM_GETITEMRECT, 0, first));
    ASSERT_TRUE(XRightClickAt(Middle(first)));
    ASSERT_TRUE(WaitMenuAt(Middle(first)));
    ASSERT_TRUE(XPressKeys({"t"}));  // 全般設定(&T)...
    HWND dialog = WaitOwnedDialog();
    ASSERT_TRUE(dialog) << "no general settings dialog";
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_EQ(U16(caption), u"Vellumcraft - 全般設定");
    HWND bottom = nullptr;
    WaitUntil([&] { return (bottom = PaneControl(dialog, 1501)) != nullptr && IsWindowVisible(bottom); }, kEffect);
    ASSERT_TRUE(bottom) << "no general pane";
    ASSERT_TRUE(XClickAt(CentreOf(bottom), 1));
    EXPECT_TRUE(WaitUntil([&] { return Ask(bottom, BM_GETCHECK) == BST_CHECKED; }, kEffect));
    ASSERT_TRUE(XClickAt(CentreOf(GetDlgItem(dialog, IDOK)), 1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kEffect)) << "OK left the dialog open";
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(TabStrip(tab), GWL_STYLE) & TCS_BOTTOM) != 0; }, kEffect))
        << "the tabs did not move to the bottom";
    Close();
    EXPECT_EQ(std::stoul(ValueOf(FileNow()[u"Vellumcraft"], u"TabStyle")) & 1u, 1u);
}

// ---- Sorting by the column header ------------------------------------------------

// Clicks column `column`'s header and waits for the list to show `order`.
::testing::AssertionResult ClickHeaderAndExpect(HANDLE process, HWND list, int column, const Names& order) {
    RECT r{};
    if (!ControlRect(process, HeaderOf(list), HDM_GETITEMRECT, WPARAM(column), r))
        return ::testing::AssertionFailure() << "no header item " << column;
    // Two clicks on one header in a row must not make a double click: each
    // lands a few pixels from the one before.
    static int serial = 0;
    POINT at = Middle(r);
    at.x += (++serial % 2) ? -6 : 6;
    if (!XClickAt(at, 1)) return ::testing::AssertionFailure() << "xdotool failed";
    Names now;
    if (WaitUntil([&] { return (now = ItemNames(process, list)) == order; }, kEffect))
        return ::testing::AssertionSuccess();
    std::string shown;
    for (const std::string& n : now) shown += " " + n;
    return ::testing::AssertionFailure() << "after a click on header " << column << " the list shows" << shown;
}

constexpr int kNameColumn = 0, kDateColumn = 1;

TEST_F(Mouse, ClickOnTheNameHeaderSortsByNameAndThePageKeepsIt) {
    ASSERT_NO_FATAL_FAILURE(Start(u"sortname"));
    HWND list = PageList(tab);
    HWND header = HeaderOf(list);
    ASSERT_TRUE(header);
    // Loaded as stored: oldest first, the up arrow on "更新日".
    EXPECT_EQ(ItemNames(app.handle(), list), kByDate);
    EXPECT_EQ(HeaderImage(app.handle(), header, kDateColumn), 1);
    EXPECT_EQ(HeaderImage(app.handle(), header, kNameColumn), 0);

    EXPECT_TRUE(ClickHeaderAndExpect(app.handle(), list, kNameColumn, kByName));
    EXPECT_EQ(HeaderImage(app.handle(), header, kNameColumn), 1);
    EXPECT_EQ(HeaderImage(app.handle(), header, kDateColumn), 0);

    Close();
    EXPECT_EQ(ValueOf(FileNow()[u"Page1"], u"PageListSort"), "0");
}

TEST_F(Mouse, EachFurtherClickOnTheSortedHeaderTurnsTheOrderAround) {
    ASSERT_NO_FATAL_FAILURE(Start(u"sortturn"));
    HWND list = PageList(tab);
    HWND header = HeaderOf(list);
    ASSERT_TRUE(header);

    // The page is sorted by date already: the first click turns it.
    EXPECT_TRUE(ClickHeaderAndExpect(app.handle(), list, kDateColumn, kByDateNewestFirst));
    EXPECT_EQ(HeaderImage(app.handle(), header, kDateColumn), 2);
    // Another column starts ascending, its second click descends.
    EXPECT_TRUE(ClickHeaderAndExpect(app.handle(), list, kNameColumn, kByName));
    EXPECT_TRUE(ClickHeaderAndExpect(app.handle(), list, kNameColumn, kByNameDescending));
    EXPECT_EQ(HeaderImage(app.handle(), header, kNameColumn), 2);
    EXPECT_EQ(HeaderImage(app.handle(), header, kDateColumn), 0);

    Close();
    EXPECT_EQ(ValueOf(FileNow()[u"Page1"], u"PageListSort"), "10");
}

}  // namespace
}  // namespace vc::e2e
