// A drop of files as the shell hands it to a window (WM_DROPFILES).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vc::test {

inline HDROP MakeDrop(const std::vector<std::u16string>& names) {
    size_t chars = 1;
    for (auto& n : names) chars += n.size() + 1;
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    auto* p = reinterpret_cast<char16_t*>(df + 1);
    for (auto& n : names) {
        std::copy(n.begin(), n.end(), p);
        p += n.size() + 1;
    }
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

}  // namespace vc::test
