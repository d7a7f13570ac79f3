// The find box over every page, opened with Ctrl+F through the program's
// accelerator table and driven with the keys a user types.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <mutex>

#include "common/Shell_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

std::mutex g_lock;
std::u16string g_opened;  // file|folder the shell was handed, on a worker

class FindBoxTest : public test::AppFixture {
protected:
    void TearDown() override { shell::SetExecuteHook(nullptr), Close(); }

    static HWND List() { return GetDlgItem(CurrentPagePane(), IDC_PAGELIST); }
    static void SetControl(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // Presses Ctrl+F in the page's list and runs `act` in the box it opens.
    static void CtrlF(std::function<void(HWND)> act) {
        test::DialogAction() = [act](HWND box) { SetControl(false), act(box); };
        SetTimer(nullptr, 0, 20, test::ActInSettingsDialog);
        const UINT_PTR stop = SetTimer(nullptr, 0, 10000, test::EndForgottenDialog);
        SetControl(true);
        MSG key{List(), WM_KEYDOWN, 'F', 1, 0, {}};
        DispatchOneMessage(TheApp(), key);
        SetControl(false);
        KillTimer(nullptr, stop);
        EXPECT_FALSE(test::DialogAction()) << "Ctrl+F opened no box";
    }
    static void Type(HWND w, std::u16string_view text) {
        for (char16_t c : text) SendMessageW(w, WM_CHAR, c, 1);
    }
    static std::u16string Cell(HWND list, int item, int column) {
        wchar_t text[300] = {};
        LVITEMW it{};
        it.iSubItem = column, it.pszText = text, it.cchTextMax = 300;
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
        return U16(text);
    }
    static int Selected(HWND list) { return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }
    static bool ShowsSelected(std::u16string_view name) {
        return CurrentPagePane() && PaneLoaded() && Selected(List()) >= 0 && Cell(List(), Selected(List()), 0) == name;
    }
};

TEST_F(FindBoxTest, FindsOverEveryPageEnterOpensAndAltEnterShowsTheEntryOnItsPage) {
    auto page = [&](int n, const char16_t* label, std::initializer_list<const char16_t*> names) {
        std::u16string s = u"[Page" + Dec(n) + u"]\r\nLabel=" + label + u"\r\n";
        int k = 0;
        for (const char16_t* name : names) s += u"Files" + DecPadded(k++, 3) + u"=" + dir.File(name) + u"\r\n";
        return s + u"Files=" + Dec(k) + u"\r\n";
    };
    Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=3\r\nSpcialFolder=0\r\n" + page(1, u"Home", {u"alpha.txt"}) +
          page(2, u"Second", {u"beta.txt", u"ｶﾞｲﾄﾞ.txt"}) + page(3, u"Third", {u"gamma.txt", u"ガイド表.doc", u"guide2.doc"}));
    ASSERT_TRUE(PumpUntil([] { return CurrentPagePane() && PaneLoaded(); }));

    // Half-width kana typed find full-width names; Down goes to the results,
    // Alt+Enter to the page of the one selected.
    std::vector<std::u16string> rows;
    std::u16string count, folder = dir.path().substr(dir.path().rfind(u'\\') + 1);
    bool focusMoved = false;
    CtrlF([&](HWND box) {
        HWND edit = GetDlgItem(box, IDC_FIND_EDIT), list = GetDlgItem(box, IDC_FIND_LIST);
        Type(edit, u"ｶﾞｲﾄﾞ");
        // The location ends in the entries' folder, however the folders above it read.
        const size_t where = Cell(list, 0, 2).size() - folder.size();
        for (int i = 0; i < int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++i)
            rows.push_back(Cell(list, i, 0) + u"|" + Cell(list, i, 1) + u"|" + Cell(list, i, 2).substr(where));
        count = WindowText(GetDlgItem(box, IDC_FIND_COUNT));
        SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 1);
        SendMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
        focusMoved = GetFocus() == list && Selected(list) == 1;
        PostMessageW(list, WM_SYSKEYDOWN, VK_RETURN, LPARAM(1) << 29);
    });
    EXPECT_EQ(rows, (std::vector<std::u16string>{u"ｶﾞｲﾄﾞ|Second|" + folder, u"ガイド表|Third|" + folder}));
    EXPECT_EQ(count, u"2 件");
    EXPECT_TRUE(focusMoved);
    ASSERT_TRUE(PumpUntil([] { return ShowsSelected(u"ガイド表"); }));
    EXPECT_EQ(TheApp().rec.GlobalSettings.TabNumber, 2);
    EXPECT_EQ(GetFocus(), List());

    // On the page shown, a type-to-find filter that hides the entry goes first.
    Type(List(), u"g");
    ASSERT_TRUE(PumpUntil([] { return SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0) == 2; }));
    CtrlF([&](HWND box) {
        Type(GetDlgItem(box, IDC_FIND_EDIT), u"ガイド表");
        SendDlgItemMessageW(box, IDC_FIND_SHOWPAGE, BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(PumpUntil([] { return SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0) == 3 && ShowsSelected(u"ガイド表"); }));

    // Enter opens the first one found, in its own folder, as the page opens it.
    shell::SetExecuteHook([](const wchar_t* f, const wchar_t*, const wchar_t* d, const wchar_t*) {
        std::lock_guard hold(g_lock);
        g_opened = U16(f) + u"|" + U16(d);
    });
    CtrlF([&](HWND box) {
        HWND edit = GetDlgItem(box, IDC_FIND_EDIT);
        Type(edit, u"ALPHA");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_TRUE(PumpUntil([] {
        std::lock_guard hold(g_lock);
        return !g_opened.empty();
    }));
    EXPECT_EQ(g_opened, u"\"" + dir.File(u"alpha.txt") + u"\"|" + dir.path());
}

}  // namespace
}  // namespace vc
