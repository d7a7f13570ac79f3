#include "pagesettings/FontList_win.h"

#include <utility>

#include "common/Handles_win.h"
#include "common/Wide_win.h"

namespace vc {
namespace {

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM lp) {
    HWND combo = reinterpret_cast<HWND>(lp);
    // Raster and vector faces cannot be scaled to every size a page asks for.
    if ((type & TRUETYPE_FONTTYPE) && font->lfFaceName[0] &&
        SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(font->lfFaceName)) == CB_ERR)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

// The item data of the item that shows a face the list lacks.
constexpr LPARAM kStandIn = 1;

// The item whose text is `face`, ignoring case; CB_ERR when there is none.
LRESULT FindFace(HWND combo, const wchar_t* face) {
    if (!face[0]) return CB_ERR;
    return SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(face));
}

std::u16string OwnFace(HWND dialog) {
    LOGFONTW lf{};
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return {};
    return U16(lf.lfFaceName);
}

}  // namespace

void FillFontList(HWND dialog, int comboId, const std::u16string& face) {
    HWND combo = GetDlgItem(dialog, comboId);
    if (!combo) return;
    if (WindowDC dc(nullptr); dc.get()) {
        // Japanese faces first; the other sets add the faces that lack Japanese.
        for (BYTE charset : {BYTE(SHIFTJIS_CHARSET), BYTE(OEM_CHARSET), BYTE(ANSI_CHARSET)}) {
            LOGFONTW want{};
            want.lfCharSet = charset;
            EnumFontFamiliesExW(dc.get(), &want, AddFace, reinterpret_cast<LPARAM>(combo), 0);
        }
    }
    LRESULT item = FindFace(combo, AsW(face));
    if (item == CB_ERR) {
        // A face of the list in its place would be taken for the user's
        // choice, and the first one in the sorted list is often a vertical
        // "@" face that no page should be drawn in.
        const std::u16string shown = face.empty() ? OwnFace(dialog) : face;
        item = FindFace(combo, AsW(shown));
        if (item == CB_ERR && !shown.empty())
            item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsW(shown)));
        if (item >= 0) SendMessageW(combo, CB_SETITEMDATA, WPARAM(item), kStandIn);
    }
    SendMessageW(combo, CB_SETCURSEL, WPARAM(item), 0);
}

bool PickedFace(HWND combo, std::u16string& face) {
    const LRESULT item = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item < 0 || SendMessageW(combo, CB_GETITEMDATA, WPARAM(item), 0) == kStandIn) return false;
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(item), 0);
    if (length < 0) return false;
    std::u16string text(size_t(length) + 1, u'\0');
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, WPARAM(item), reinterpret_cast<LPARAM>(text.data()));
    if (got < 0) return false;
    text.resize(size_t(got));
    face = std::move(text);
    return true;
}

}  // namespace vc
