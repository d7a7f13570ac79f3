#include "pagesettings/FontList_win.h"

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

// The item whose text is `face`, ignoring case; CB_ERR when there is none.
LRESULT FindFace(HWND combo, const wchar_t* face) {
    if (!face[0]) return CB_ERR;
    return SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(face));
}

}  // namespace

void FillFontList(HWND dialog, int comboId, const std::u16string& face) {
    HWND combo = GetDlgItem(dialog, comboId);
    if (!combo) return;
    if (HDC dc = GetDC(nullptr)) {
        // Japanese faces first; the other sets add the faces that lack Japanese.
        for (BYTE charset : {BYTE(SHIFTJIS_CHARSET), BYTE(OEM_CHARSET), BYTE(ANSI_CHARSET)}) {
            LOGFONTW want{};
            want.lfCharSet = charset;
            EnumFontFamiliesExW(dc, &want, AddFace, reinterpret_cast<LPARAM>(combo), 0);
        }
        ReleaseDC(nullptr, dc);
    }
    LRESULT item = FindFace(combo, AsW(face));
    if (item == CB_ERR) item = FindFace(combo, L"ＭＳ Ｐゴシック");
    if (item == CB_ERR) item = 0;
    SendMessageW(combo, CB_SETCURSEL, WPARAM(item), 0);
}

}  // namespace vc
