// The real message box, run modally in process: the owner hears WM_ENTERIDLE
// once the box is up, looks at it and ends it with a button, a key or a close.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "app/App_win.h"
#include "common/MessageBox_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

std::function<void(HWND)> g_onOpen;  // run once, the first time the box is idle
bool g_timedOut = false;

LRESULT CALLBACK OwnerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ENTERIDLE && wp == MSGF_DIALOGBOX && g_onOpen) std::exchange(g_onOpen, nullptr)(HWND(lp));
    if (msg == WM_TIMER) {  // a box nobody ended would hang the suite
        KillTimer(w, wp);
        g_timedOut = true;
        EndDialog(GetLastActivePopup(w), 0);
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// The questions the program asks, at their longest, and a short one.
const std::u16string kShort = u"はい";
const std::u16string kDeletePage =
    u"ページ \"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみ\" を削除しますか？ ";
const std::u16string kRemoveEntry = u"ページ \"&&&&\" の\n\"Tom & Jerry のテーマ曲.mp3\" の登録を削除しますか？ ";
const std::u16string kMakeDefault =
    u"\"表示\" の設定\n\n現在の設定を、初期値としますか?\n以後、ページを新規に追加したとき、この設定が使用されます。";

RECT ChildRect(HWND box, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(box, id), &r);
    MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

struct Seen {
    std::u16string caption, text;
    bool shown[8] = {};  // by button id
    RECT window{}, client{}, textRect{}, first{}, second{};
    SIZE measured{};  // the text as the box's font draws it
    LRESULT defId = 0;
    int focus = 0;  // the control that has the focus
    HFONT dialogFont = nullptr, font = nullptr, buttonFont = nullptr;
    HICON icon = nullptr;
};

Seen Look(HWND box) {
    Seen s;
    s.caption = WindowText(box);
    s.text = WindowText(GetDlgItem(box, IDC_MESSAGEBOX_TEXT));
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) s.shown[id] = IsWindowVisible(GetDlgItem(box, id));
    s.window = WindowRect(box);
    GetClientRect(box, &s.client);
    s.textRect = ChildRect(box, IDC_MESSAGEBOX_TEXT);
    s.first = ChildRect(box, s.shown[IDYES] ? IDYES : IDOK);
    s.second = ChildRect(box, s.shown[IDYES] ? IDNO : IDCANCEL);
    s.defId = SendMessageW(box, DM_GETDEFID, 0, 0);
    s.focus = GetDlgCtrlID(GetFocus());
    s.dialogFont = HFONT(SendMessageW(box, WM_GETFONT, 0, 0));
    s.font = HFONT(SendDlgItemMessageW(box, IDC_MESSAGEBOX_TEXT, WM_GETFONT, 0, 0));
    s.buttonFont = HFONT(SendDlgItemMessageW(box, IDNO, WM_GETFONT, 0, 0));
    s.icon = HICON(SendMessageW(box, WM_GETICON, ICON_BIG, 0));
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, s.font);
    RECT r{};
    DrawTextW(dc, AsW(s.text), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    s.measured = {r.right, r.bottom};
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    return s;
}

INT_PTR CALLBACK BareProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class MessageBoxTest : public ::testing::Test {
protected:
    HWND owner = nullptr;

    static void SetUpTestSuite() {
        TheApp().instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = TheApp().instance;
        wc.lpszClassName = L"VcMessageBoxTestOwner";
        RegisterClassW(&wc);
    }
    void SetUp() override {
        owner = CreateWindowExW(0, L"VcMessageBoxTestOwner", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150,
                                640, 400, nullptr, nullptr, TheApp().instance, nullptr);
        ASSERT_TRUE(owner);
        g_timedOut = false;
    }
    void TearDown() override { DestroyWindow(owner); }

    int Ask(int32_t buttons, const std::u16string& text, std::function<void(HWND)> inside, HWND over = nullptr) {
        g_onOpen = std::move(inside);
        SetTimer(owner, 1, 10000, nullptr);
        int r = ShowMessageBox(over ? over : owner, buttons, text);
        KillTimer(owner, 1);
        EXPECT_FALSE(g_timedOut) << "the box had to be ended by the watchdog";
        EXPECT_FALSE(g_onOpen) << "the box never went idle";
        return r;
    }
    Seen AskAndClose(int32_t buttons, const std::u16string& text, HWND over = nullptr) {
        Seen s;
        Ask(
            buttons, text,
            [&](HWND box) {
                s = Look(box);
                SendMessageW(box, WM_CLOSE, 0, 0);
            },
            over);
        return s;
    }
};

// ---- Results -------------------------------------------------------------------

enum class End { Click, Close, CloseButton, Key };
struct ResultCase {
    const char* name;
    int32_t buttons;
    End end;
    int what;  // button id or key
    int expected;
};
class MessageBoxResult : public MessageBoxTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(MessageBoxResult, EndsWithTheButtonsIdAndCancelOtherwise) {
    const ResultCase c = GetParam();
    int r = Ask(c.buttons, kDeletePage, [&](HWND box) {
        // Other commands leave the box up.
        for (int id : {0, 3, 5, IDC_MESSAGEBOX_TEXT, 40019}) SendMessageW(box, WM_COMMAND, id, 0);
        if (c.end == End::Click) SendDlgItemMessageW(box, c.what, BM_CLICK, 0, 0);
        if (c.end == End::Close) SendMessageW(box, WM_CLOSE, 0, 0);
        if (c.end == End::CloseButton) SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (c.end == End::Key) {
            HWND to = GetFocus() ? GetFocus() : box;
            PostMessageW(to, WM_KEYDOWN, c.what, 0);
            PostMessageW(to, WM_KEYUP, c.what, 0xC0000001);
        }
    });
    EXPECT_EQ(r, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, MessageBoxResult,
    ::testing::Values(ResultCase{"Ok", kMessageBoxOkCancel, End::Click, IDOK, 1},
                      ResultCase{"Cancel", kMessageBoxOkCancel, End::Click, IDCANCEL, 2},
                      ResultCase{"Yes", kMessageBoxYesNo, End::Click, IDYES, 6},
                      ResultCase{"No", kMessageBoxYesNo, End::Click, IDNO, 7},
                      ResultCase{"YesWithNoAsDefault", kMessageBoxYesNoSecond, End::Click, IDYES, 6},
                      ResultCase{"CloseOkCancel", kMessageBoxOkCancel, End::Close, 0, 2},
                      ResultCase{"CloseYesNo", kMessageBoxYesNoSecond, End::Close, 0, 2},
                      ResultCase{"CloseButton", kMessageBoxYesNo, End::CloseButton, 0, 2},
                      ResultCase{"EscapeOkCancel", kMessageBoxOkCancel, End::Key, VK_ESCAPE, 2},
                      ResultCase{"EscapeYesNo", kMessageBoxYesNo, End::Key, VK_ESCAPE, 2},
                      ResultCase{"EnterOkCancel", kMessageBoxOkCancel, End::Key, VK_RETURN, 1},
                      ResultCase{"EnterYesNo", kMessageBoxYesNo, End::Key, VK_RETURN, 6},
                      // A stray Enter must not confirm a deletion.
                      ResultCase{"EnterOnADeleteConfirmation", kMessageBoxYesNoSecond, End::Key, VK_RETURN, 7}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- What the box shows ----------------------------------------------------------

TEST_F(MessageBoxTest, EachFormShowsItsPairUnderTheTextAsGiven) {
    for (int32_t buttons : {kMessageBoxOkCancel, kMessageBoxYesNo, kMessageBoxYesNoSecond}) {
        SCOPED_TRACE(buttons);
        const Seen s = AskAndClose(buttons, kRemoveEntry);
        const bool yesNo = buttons != 0;
        EXPECT_EQ(s.caption, u"Vellumcraft");
        EXPECT_EQ(s.text, kRemoveEntry);
        EXPECT_EQ(s.shown[IDYES], yesNo);
        EXPECT_EQ(s.shown[IDNO], yesNo);
        EXPECT_EQ(s.shown[IDOK], !yesNo);
        EXPECT_EQ(s.shown[IDCANCEL], !yesNo);
        EXPECT_EQ(s.defId, MAKELRESULT(IDOK, DC_HASDEFID));  // the template's, even where OK is hidden
        EXPECT_EQ(s.focus, !yesNo ? IDOK : buttons == kMessageBoxYesNo ? IDYES : IDNO);
        // "&" is a character of a label or file name, drawn and measured as one.
        EXPECT_GE(Width(s.textRect), s.measured.cx);
    }
}

// Every question shows whole, the buttons apart under it inside the box, and
// the box never smaller than its template.
TEST_F(MessageBoxTest, GrowsToEachQuestionAndNeverShrinks) {
    HWND bare = CreateDialogParamW(TheApp().instance, MAKEINTRESOURCEW(IDD_MESSAGEBOX), nullptr, BareProc, 0);
    ASSERT_TRUE(bare);
    const RECT window = WindowRect(bare), button = ChildRect(bare, IDYES);
    DestroyWindow(bare);
    for (const std::u16string* q : {&kShort, &kDeletePage, &kRemoveEntry, &kMakeDefault}) {
        SCOPED_TRACE(ToUtf8(*q));
        const Seen s = AskAndClose(kMessageBoxYesNoSecond, *q);
        EXPECT_GE(Width(s.textRect), s.measured.cx);
        EXPECT_GE(Height(s.textRect), s.measured.cy);
        EXPECT_GE(Width(s.window), Width(window));
        EXPECT_GE(Height(s.window), Height(window));
        for (const RECT& r : {s.textRect, s.first, s.second}) {
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, s.client.right);
            EXPECT_LE(r.bottom, s.client.bottom);
        }
        for (const RECT& b : {s.first, s.second}) {
            EXPECT_EQ(Width(b), Width(button));
            EXPECT_GE(b.top, s.textRect.bottom);
        }
        EXPECT_LT(s.first.right, s.second.left);
    }
}

TEST_F(MessageBoxTest, FontAndIconAreTheBoxsOwnAndGoWithIt) {
    const Seen s = AskAndClose(kMessageBoxYesNo, kDeletePage);
    ASSERT_TRUE(s.font && s.icon);
    EXPECT_NE(s.font, s.dialogFont);
    EXPECT_EQ(s.buttonFont, s.font);
    EXPECT_EQ(GetObjectType(s.font), 0u);
    ICONINFO ii{};
    EXPECT_FALSE(GetIconInfo(s.icon, &ii));
}

// ---- Place ---------------------------------------------------------------------

TEST_F(MessageBoxTest, CentresOnItsOwnerAlsoWhenAChildWindowAsks) {
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, owner, nullptr,
                                 TheApp().instance, nullptr);
    const RECT o = WindowRect(owner);
    for (HWND over : {owner, child}) {
        const Seen s = AskAndClose(kMessageBoxYesNo, kRemoveEntry, over);
        // Centred, give or take the margin below the buttons.
        EXPECT_LE(std::abs(s.window.left + s.window.right - o.left - o.right), 1);
        EXPECT_LE(std::abs(s.window.top + s.window.bottom - o.top - o.bottom), 12);
    }
}

TEST_F(MessageBoxTest, StaysOnTheMonitorWhenTheOwnerIsOverAnEdgeOrMinimised) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT work = mi.rcWork;
    for (int place = 0; place < 3; ++place) {
        SCOPED_TRACE(place);
        if (place == 0) SetWindowPos(owner, nullptr, work.left - 500, work.top + 100, 640, 400, SWP_NOZORDER);
        if (place == 1) SetWindowPos(owner, nullptr, work.right - 150, work.bottom - 60, 640, 400, SWP_NOZORDER);
        if (place == 2) ShowWindow(owner, SW_MINIMIZE);
        const Seen s = AskAndClose(kMessageBoxOkCancel, kDeletePage);
        EXPECT_GE(s.window.left, work.left);
        EXPECT_GE(s.window.top, work.top);
        EXPECT_LE(s.window.right, work.right);
        EXPECT_LE(s.window.bottom, work.bottom);
        if (place == 2) {
            ASSERT_TRUE(IsIconic(owner));
            EXPECT_LE(std::abs(s.window.left + s.window.right - work.left - work.right), 1);
        }
    }
}

}  // namespace
}  // namespace vc
