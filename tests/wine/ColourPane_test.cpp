// The colour pane of the page settings dialog on the program's real
// windows: its bars, texts and swatches, the screen picker, and what OK,
// Cancel and "初期値設定..." leave behind.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pagesettings/PageSettings.h"
#include "pagesettings/PageSettings_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneState.h"
#include "resources/resource.h"
#include "support/AppFixture_win.h"
#include "support/SettingsDialog_win.h"

namespace vc {
namespace {

constexpr COLORREF kText = RGB(255, 0, 0);
constexpr COLORREF kBack = RGB(232, 232, 232);
constexpr COLORREF kPatchColour = RGB(30, 160, 90);

// ---- running the modal dialog from inside ----

HWND ColourPane(HWND dialog) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgItem(c, IDC_COLOUR_BAR_FIRST)) return c;
    return nullptr;
}

// Lets the pane handle what was posted to it (hook events, the frame's 1030)
// until `done` holds or `ms` have passed; answers `done`.
template <class Pred>
bool PumpUntil(Pred&& done, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (LONG(end - GetTickCount()) <= 0) return false;
        Sleep(1);
    }
}

// Pumps for a fixed time, where nothing seen from here marks the moment; 0
// runs just what is queued now.
void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// The colour the screen shows at `at`, read as the picker reads it.
COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// ---- looking at the pane ----

HWND Bar(HWND pane, int bar) { return GetDlgItem(pane, IDC_COLOUR_BAR_FIRST + bar); }
int Pos(HWND pane, int bar) { return GetScrollPos(Bar(pane, bar), SB_CTL); }
int Max(HWND pane, int bar) {
    int lo = 0, hi = 0;
    GetScrollRange(Bar(pane, bar), SB_CTL, &lo, &hi);
    return hi;
}
std::u16string Item(HWND pane, int id) { return WindowText(GetDlgItem(pane, id)); }
std::u16string ValueText(HWND pane) { return Item(pane, IDC_COLOUR_VALUE); }
COLORREF Swatch(HWND pane, int id) { return COLORREF(SendDlgItemMessageW(pane, id, PBM_GETBARCOLOR, 0, 0)); }
bool Checked(HWND pane, int id) { return IsDlgButtonChecked(pane, id) == BST_CHECKED; }

void Scroll(HWND pane, int bar, int code, int thumb = 0) {
    SendMessageW(pane, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(Bar(pane, bar)));
}
void Click(HWND pane, int id) { SendDlgItemMessageW(pane, id, BM_CLICK, 0, 0); }

// A mouse message as the picker hook hands it to the pane: the screen point
// in the pane's client coordinates.
void MouseAt(HWND pane, UINT msg, POINT screen) {
    ScreenToClient(pane, &screen);
    SendMessageW(pane, msg, 0, MAKELPARAM(screen.x, screen.y));
}

// A plain coloured window on top of everything, to pick its colour. It
// notes which left-button messages reach it.
class ColourPatch {
public:
    static inline bool gotDown = false, gotUp = false;

    ColourPatch(int x, int y, int size, COLORREF colour) : brush_(CreateSolidBrush(colour)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_LBUTTONDOWN) gotDown = true;
            if (m == WM_LBUTTONUP) gotUp = true;
            return DefWindowProcW(w, m, wp, lp);
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VcColourPatch";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"VcColourPatch", L"",
                                  WS_POPUP | WS_VISIBLE, x, y, size, size, nullptr, nullptr, wc.hInstance, nullptr);
        SetClassLongPtrW(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_));
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        center_ = {x + size / 2, y + size / 2};
        // The picker reads the screen: the patch counts once it shows there.
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(center_) == colour; }, 5000)) << "the patch never showed";
        gotDown = gotUp = false;
    }
    ~ColourPatch() {
        DestroyWindow(window_);
        DeleteObject(brush_);
    }
    // Where the picker must be held to read the patch's middle: it reads
    // the pixel up and left of the pointer.
    POINT Aim() const { return {center_.x + 1, center_.y + 1}; }

private:
    HBRUSH brush_;
    HWND window_ = nullptr;
    POINT center_{};
};

class ColourPaneTest : public test::AppFixture {
protected:
    void SetUp() override { PageSettingsPaneIndex() = 3; }

    App& StartPage() {
        App& app = Start(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=1\r\nSpcialFolder=0\r\nTabNumber=0\r\n[Page1]\r\n"
                         u"Label=Tools\r\nFontColor=" +
                         Dec(kText) + u"\r\nFontColorBk=" + Dec(kBack) + u"\r\n");
        for (int i = 0; i < 3000 && !PaneLoaded(); ++i) {
            Pump();
            Sleep(1);
        }
        return app;
    }

    // Opens the dialog with the tab window's command and runs `act` on its
    // colour pane.
    void RunOnPane(std::function<void(HWND dialog, HWND pane)> act) {
        test::RunSettingsDialog(IDM_PAGE_SETTINGS, [act = std::move(act)](HWND dialog) {
            HWND pane = ColourPane(dialog);
            EXPECT_TRUE(pane) << "the colour pane is not there";
            if (pane) act(dialog, pane);
            if (IsWindow(dialog) && test::OpenSettingsDialog() == dialog) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    }

    // Brings the pane to a known choice of colour and mode: both outlive
    // the dialog.
    static void Choose(HWND pane, int selectId, int modeId) {
        Click(pane, selectId);
        Click(pane, modeId);
    }
};

TEST_F(ColourPaneTest, OpensOnTheBackgroundInHsbAndItsBarsEditTheChosenColourLive) {
    StartPage();
    std::u16string afterEnd, rgbCaption;
    RunOnPane([&](HWND dialog, HWND pane) {
        // Once per process the pane starts on the background in HSB: this
        // test opens it first.
        EXPECT_TRUE(Checked(pane, IDC_COLOUR_SELECT_BACK) && Checked(pane, IDC_COLOUR_MODE_HSB));
        EXPECT_EQ(Item(pane, IDC_COLOUR_CAPTION_FIRST), u"色相(&H)");
        EXPECT_EQ((std::vector<int>{Max(pane, 0), Max(pane, 1), Max(pane, 2)}), (std::vector<int>{360, 100, 100}));
        EXPECT_EQ((std::vector<int>{Pos(pane, 0), Pos(pane, 1), Pos(pane, 2)}), (std::vector<int>{0, 0, 91}));
        EXPECT_EQ(ValueText(pane), u"色相:0、彩度:0、明度:91");
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_TEXT), kText);
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_BACK), kBack);

        Scroll(pane, 2, SB_PAGELEFT);  // brightness 91 -> 86
        EXPECT_EQ(Pos(pane, 2), 86);
        EXPECT_EQ(ValueText(pane), u"色相:0、彩度:0、明度:86");
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, RGB(219, 219, 219));
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_BACK), RGB(219, 219, 219));

        // The end of a drag leaves even the text alone.
        SetDlgItemTextW(pane, IDC_COLOUR_VALUE, L"untouched");
        Scroll(pane, 2, SB_ENDSCROLL);
        afterEnd = ValueText(pane);
        EXPECT_EQ(Pos(pane, 2), 86);

        Click(pane, IDC_COLOUR_MODE_RGB);
        rgbCaption = Item(pane, IDC_COLOUR_CAPTION_FIRST);
        EXPECT_EQ((std::vector<int>{Max(pane, 0), Max(pane, 1), Max(pane, 2)}), (std::vector<int>{255, 255, 255}));
        EXPECT_EQ((std::vector<int>{Pos(pane, 0), Pos(pane, 1), Pos(pane, 2)}), (std::vector<int>{219, 219, 219}));
        EXPECT_EQ(ValueText(pane), u"赤:219、緑:219、青:219");

        Click(pane, IDC_COLOUR_SELECT_TEXT);
        EXPECT_EQ((std::vector<int>{Pos(pane, 0), Pos(pane, 1), Pos(pane, 2)}), (std::vector<int>{255, 0, 0}));
        Scroll(pane, 1, SB_PAGERIGHT);  // green 0 -> 16
        Scroll(pane, 0, SB_THUMBTRACK, 200);
        EXPECT_EQ(ValueText(pane), u"赤:200、緑:16、青:0");
        EXPECT_EQ(PageSettingsWorkingCopy().FontColor, RGB(200, 16, 0));
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_TEXT), RGB(200, 16, 0));
        PumpFor(0);  // the frame rebuilds its sample on the posted 1030
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(afterEnd, u"untouched");
    EXPECT_EQ(rgbCaption, u"赤(&R)");
    const PageRecord& page = TheApp().rec.UserPages[0];
    EXPECT_EQ(page.FontColor, RGB(200, 16, 0));
    EXPECT_EQ(page.FontColorBk, RGB(219, 219, 219));
    HWND list = GetDlgItem(CurrentPagePane(), IDC_PAGELIST);
    EXPECT_EQ(COLORREF(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), RGB(200, 16, 0));
    EXPECT_EQ(COLORREF(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), RGB(219, 219, 219));
    const Records stored = Reload();
    EXPECT_EQ(stored.UserPages[0].FontColor, RGB(200, 16, 0));
    EXPECT_EQ(stored.UserPages[0].FontColorBk, RGB(219, 219, 219));
}

TEST_F(ColourPaneTest, CancelDropsTheColoursButTheChoiceOfColourAndModeStays) {
    StartPage();
    RunOnPane([&](HWND dialog, HWND pane) {
        Choose(pane, IDC_COLOUR_SELECT_TEXT, IDC_COLOUR_MODE_RGB);
        Scroll(pane, 2, SB_RIGHT);
        EXPECT_EQ(PageSettingsWorkingCopy().FontColor, RGB(255, 0, 255));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(TheApp().rec.UserPages[0].FontColor, kText);
    RunOnPane([&](HWND, HWND pane) {
        EXPECT_TRUE(Checked(pane, IDC_COLOUR_SELECT_TEXT));
        EXPECT_TRUE(Checked(pane, IDC_COLOUR_MODE_RGB));
        EXPECT_EQ(ValueText(pane), u"赤:255、緑:0、青:0");
    });
}

TEST_F(ColourPaneTest, PickingShowsTheColourUnderThePointerAndARightClickPutsItBack) {
    StartPage();
    RunOnPane([&](HWND, HWND pane) {
        Choose(pane, IDC_COLOUR_SELECT_BACK, IDC_COLOUR_MODE_RGB);
        // Up and left of the pane: the points it gets are negative.
        ColourPatch patch(2, 2, 40, kPatchColour);
        HWND button = GetDlgItem(pane, IDC_COLOUR_PICK);
        const std::u16string idle = WindowText(button);
        Click(pane, IDC_COLOUR_PICK);
        EXPECT_FALSE(IsWindowEnabled(button));
        EXPECT_NE(WindowText(button), idle);  // says how a pick ends

        MouseAt(pane, WM_MOUSEMOVE, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kPatchColour);
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_BACK), kPatchColour);
        EXPECT_EQ(ValueText(pane), u"赤:30、緑:160、青:90");
        EXPECT_EQ(Pos(pane, 1), 160);
        // The right button's press belongs to the pick and changes nothing.
        MouseAt(pane, WM_RBUTTONDOWN, patch.Aim());
        EXPECT_FALSE(IsWindowEnabled(button));

        MouseAt(pane, WM_RBUTTONUP, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kBack);
        EXPECT_EQ(Swatch(pane, IDC_COLOUR_SWATCH_BACK), kBack);
        EXPECT_EQ(ValueText(pane), u"赤:232、緑:232、青:232");
        EXPECT_EQ(Pos(pane, 1), 232);
        EXPECT_TRUE(IsWindowEnabled(button));
        EXPECT_EQ(WindowText(button), idle);

        // Choosing the other colour in the middle of a pick ends it: the
        // colour picked from gets its own colour back, the other one stays.
        Click(pane, IDC_COLOUR_PICK);
        MouseAt(pane, WM_MOUSEMOVE, patch.Aim());
        Click(pane, IDC_COLOUR_SELECT_TEXT);
        EXPECT_TRUE(IsWindowEnabled(button));
        MouseAt(pane, WM_RBUTTONUP, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kBack);
        EXPECT_EQ(PageSettingsWorkingCopy().FontColor, kText);
        Click(pane, IDC_COLOUR_SELECT_BACK);

        // Picked again and taken with the left button: the colour stays, and
        // the pointer moving on afterwards changes nothing.
        Click(pane, IDC_COLOUR_PICK);
        MouseAt(pane, WM_LBUTTONDOWN, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kPatchColour);
        EXPECT_TRUE(IsWindowEnabled(button));
        EXPECT_EQ(WindowText(button), idle);
        RECT rc;
        GetWindowRect(button, &rc);
        MouseAt(pane, WM_MOUSEMOVE, POINT{rc.left + 5, rc.top + 5});
        MouseAt(pane, WM_RBUTTONUP, POINT{rc.left + 5, rc.top + 5});
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kPatchColour);
    });
}

TEST_F(ColourPaneTest, ARealLeftClickWhilePickingIsTakenAndOnlyItsReleaseReachesTheWindowBelow) {
    StartPage();
    bool down = true, up = false;
    COLORREF taken = 0;
    RunOnPane([&](HWND, HWND pane) {
        Choose(pane, IDC_COLOUR_SELECT_TEXT, IDC_COLOUR_MODE_HSB);
        ColourPatch patch(2, 2, 40, kPatchColour);
        Click(pane, IDC_COLOUR_PICK);
        const POINT aim = patch.Aim();
        // The pointer goes there first, and the X server's word on where it
        // is settles; each button event then names the point itself.
        SetCursorPos(aim.x, aim.y);
        PumpFor(300);  // Wine takes the X server's word later, and shows no sign of it
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        INPUT in[2] = {};
        for (INPUT& i : in) {
            i.type = INPUT_MOUSE;
            i.mi.dx = (aim.x * 65536 + w - 1) / w;
            i.mi.dy = (aim.y * 65536 + h - 1) / h;
        }
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        vc::PumpUntil([&] { return IsWindowEnabled(GetDlgItem(pane, IDC_COLOUR_PICK)) != FALSE; }, 1000);
        // The release reaches the patch after the pick has ended; a press that
        // got through would have come before it.
        vc::PumpUntil([] { return ColourPatch::gotUp; }, 1000);
        down = ColourPatch::gotDown;
        up = ColourPatch::gotUp;
        taken = PageSettingsWorkingCopy().FontColor;
    });
    EXPECT_EQ(taken, kPatchColour);
    EXPECT_FALSE(down);
    EXPECT_TRUE(up);
}

TEST_F(ColourPaneTest, APaneClosedInTheMiddleOfAPickKeepsTheColourFromBeforeIt) {
    StartPage();
    std::u16string idle;  // the pick button's caption when no pick is on
    RunOnPane([&](HWND dialog, HWND pane) {
        Choose(pane, IDC_COLOUR_SELECT_BACK, IDC_COLOUR_MODE_HSB);
        idle = WindowText(GetDlgItem(pane, IDC_COLOUR_PICK));
        ColourPatch patch(2, 2, 40, kPatchColour);
        Click(pane, IDC_COLOUR_PICK);
        MouseAt(pane, WM_MOUSEMOVE, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kPatchColour);
        SendMessageW(dialog, WM_COMMAND, PageSettingsPanes[0].buttonId, 0);  // another pane
        EXPECT_FALSE(IsWindow(pane));
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kBack);
        PumpFor(0);  // events the hook posted to the gone pane go nowhere

        // A new pane picks afresh, with its button as it should be.
        SendMessageW(dialog, WM_COMMAND, PageSettingsPanes[3].buttonId, 0);
        HWND again = ColourPane(dialog);
        ASSERT_TRUE(again);
        Click(again, IDC_COLOUR_PICK);
        MouseAt(again, WM_MOUSEMOVE, patch.Aim());
        EXPECT_EQ(PageSettingsWorkingCopy().FontColorBk, kPatchColour);
        // OK in the middle of the pick.
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(TheApp().rec.UserPages[0].FontColorBk, kBack);
    // Picking works again in a later dialog.
    RunOnPane([&](HWND, HWND pane) {
        HWND button = GetDlgItem(pane, IDC_COLOUR_PICK);
        EXPECT_EQ(WindowText(button), idle);
        Click(pane, IDC_COLOUR_PICK);
        EXPECT_FALSE(IsWindowEnabled(button));
        MouseAt(pane, WM_RBUTTONUP, POINT{0, 0});
        EXPECT_TRUE(IsWindowEnabled(button));
    });
}

TEST_F(ColourPaneTest, DefaultsTakeThePagesColoursOnYesOnly) {
    StartPage();
    const PageRecord before = TheApp().rec.DefaultPage;
    PageRecord afterNo, afterYes;
    RunOnPane([&](HWND, HWND pane) {
        Choose(pane, IDC_COLOUR_SELECT_TEXT, IDC_COLOUR_MODE_RGB);
        Scroll(pane, 2, SB_RIGHT);  // text (255, 0, 255)
        test::AnswerNextBox(IDNO);
        Click(pane, IDC_COLOUR_DEFAULTS);
        afterNo = TheApp().rec.DefaultPage;
        test::AnswerNextBox(IDYES);
        Click(pane, IDC_COLOUR_DEFAULTS);
        afterYes = TheApp().rec.DefaultPage;
    });
    EXPECT_EQ(afterNo, before);
    EXPECT_EQ(afterYes.FontColor, RGB(255, 0, 255));
    EXPECT_EQ(afterYes.FontColorBk, kBack);
    EXPECT_EQ(afterYes.FontName, before.FontName);
    EXPECT_EQ(afterYes.LabelColor, before.LabelColor);
    EXPECT_EQ(TheApp().rec.UserPages[0].FontColor, kText);  // the dialog was cancelled
    const Records stored = Reload();
    EXPECT_EQ(stored.DefaultPage.FontColor, RGB(255, 0, 255));
    EXPECT_EQ(stored.DefaultPage.FontColorBk, kBack);
}

}  // namespace
}  // namespace vc
