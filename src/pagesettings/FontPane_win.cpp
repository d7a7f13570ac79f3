// The font pane: face, size and style of the font the page's list is drawn
// in. Every change reaches the working copy and the frame's sample at once.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "settings/AppState_win.h"
#include "common/Handles_win.h"
#include "common/U16.h"
#include "common/WindowUtil_win.h"
#include "pagesettings/FontList_win.h"
#include "pagesettings/PageSettingsPanes_win.h"
#include "pagesettings/PageSettings_win.h"
#include "pagesettings/SettingsFrame_win.h"
#include "pageview/PagePane_win.h"
#include "resources/resource.h"

namespace vc {
namespace {

constexpr int kMinFontSize = 10;
constexpr int kMaxFontSize = 32;

// The style boxes and their FontStyle bits. Each box is shown in a font with
// its own effect; one font pane exists at a time.
constexpr int kStyleBoxes[4] = {IDC_FONT_BOLD, IDC_FONT_ITALIC, IDC_FONT_UNDERLINE, IDC_FONT_STRIKEOUT};
constexpr uint32_t kStyleBits[4] = {FontStyleBit::Bold, FontStyleBit::Italic, FontStyleBit::Underline,
                                    FontStyleBit::StrikeOut};
FontPtr g_styleFonts[4];

void NotifyFrame(HWND pane) { SendMessageW(GetParent(pane), WM_COMMAND, ApplyFontAndColours, 0); }

int ShownSize(HWND pane) { return int(SendDlgItemMessageW(pane, IDC_FONT_SIZESPIN, UDM_GETPOS32, 0, 0)); }

// The pane's face, size and style into the working copy. The style takes
// all four bits from the boxes and drops any other bit.
void WriteBack(HWND pane) {
    PageRecord& page = PageSettingsWorkingCopy();
    if (std::u16string face; PickedFace(GetDlgItem(pane, IDC_FONT_FACE), face))
        page.FontName = FitField(face, kFontNameCapacity);
    page.FontSize = ShownSize(pane);
    uint32_t style = 0;
    for (int i = 0; i < 4; ++i)
        if (IsDlgButtonChecked(pane, kStyleBoxes[i]) == BST_CHECKED) style |= kStyleBits[i];
    page.FontStyle = style;
}

void CopyFont(const PageRecord& from, PageRecord& to) {
    to.FontStyle = from.FontStyle;
    to.FontSize = from.FontSize;
    to.FontName = FitField(from.FontName, kFontNameCapacity);
}

void OnInitDialog(HWND pane) {
    const App& app = TheApp();
    const PageRecord& page = PageSettingsWorkingCopy();
    FillFontList(pane, IDC_FONT_FACE, page.FontName);
    HWND edit = GetDlgItem(pane, IDC_FONT_SIZE);
    HWND spin = GetDlgItem(pane, IDC_FONT_SIZESPIN);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(spin, UDM_SETRANGE32, kMinFontSize, kMaxFontSize);
    // A size out of range shows (and is stored, when the pane closes) as
    // the nearest one the arrows offer.
    SendMessageW(spin, UDM_SETPOS32, 0, std::clamp(int(page.FontSize), kMinFontSize, kMaxFontSize));
    for (int i = 0; i < 4; ++i)
        CheckDlgButton(pane, kStyleBoxes[i], (page.FontStyle & kStyleBits[i]) ? BST_CHECKED : BST_UNCHECKED);
    g_styleFonts[0].reset(FontFromWindowFont(pane, 0, FW_BOLD, FALSE, FALSE, FALSE, u""));
    g_styleFonts[1].reset(FontFromWindowFont(pane, 0, 0, TRUE, FALSE, FALSE, u""));
    g_styleFonts[2].reset(FontFromWindowFont(pane, 0, 0, FALSE, TRUE, FALSE, u""));
    g_styleFonts[3].reset(FontFromWindowFont(pane, 0, 0, FALSE, FALSE, TRUE, u""));
    for (int i = 0; i < 4; ++i)
        if (g_styleFonts[i])
            SendDlgItemMessageW(pane, kStyleBoxes[i], WM_SETFONT, WPARAM(g_styleFonts[i].get()), FALSE);
    if (app.rec.GlobalSettings.TabStyle & TabStyleBit::Animation)
        AnimateWindow(pane, 75, AW_SLIDE | AW_ACTIVATE | AW_VER_POSITIVE);
}

void DeleteStyleFonts() {
    for (FontPtr& font : g_styleFonts) font.reset();
}

}  // namespace

INT_PTR CALLBACK FontPaneProc(HWND pane, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(pane); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_FONT_FACE:  // every notification of the combo
        case IDC_FONT_BOLD:
        case IDC_FONT_ITALIC:
        case IDC_FONT_UNDERLINE:
        case IDC_FONT_STRIKEOUT:
        case ApplyFontAndColours:
            WriteBack(pane);
            NotifyFrame(pane);
            return TRUE;
        case IDC_FONT_MAKEDEFAULT:
            if (HIWORD(wp) != BN_CLICKED) return FALSE;
            // The defaults take what the pane shows, a clamped size included.
            WriteBack(pane);
            OfferAsDefaults(pane, u"文字", CopyFont);
            return TRUE;
        }
        return FALSE;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(pane, IDC_FONT_SIZESPIN)) {
            SendDlgItemMessageW(pane, IDC_FONT_SIZE, EM_SETSEL, 0, -1);
            PageSettingsWorkingCopy().FontSize = ShownSize(pane);
            NotifyFrame(pane);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return ColourPaneControl(pane, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DESTROY: WriteBack(pane); return FALSE;
    // The boxes are gone by now, so their fonts can go.
    case WM_NCDESTROY: DeleteStyleFonts(); return FALSE;
    }
    return FALSE;
}

}  // namespace vc
