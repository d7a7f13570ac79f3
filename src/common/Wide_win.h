// The one place where the portable UTF-16 text meets the W functions.
#pragma once

#include <windows.h>

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

namespace vc {

inline const wchar_t* AsW(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline const wchar_t* AsW(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const char16_t* AsU16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline std::u16string U16(const wchar_t* s) { return s ? std::u16string(AsU16(s)) : std::u16string(); }

inline std::u16string WindowText(HWND h) {
    std::u16string s(size_t(GetWindowTextLengthW(h)) + 1, u'\0');
    s.resize(size_t(GetWindowTextW(h, reinterpret_cast<wchar_t*>(s.data()), int(s.size()))));
    return s;
}

}  // namespace vc
