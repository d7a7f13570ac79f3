// A settings file for the page benchmarks: Page1 empty, then one page in
// details view for each list of paths.
#pragma once

#include <string>
#include <vector>

#include "LargeSettings.h"
#include "common/U16.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::test {

inline void WritePagesSettings(const std::u16string& settings, const std::vector<std::vector<std::u16string>>& pages) {
    std::u16string text = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=" + Dec(int(pages.size()) + 1) +
                          u"\r\nSpcialFolder=0\r\nTabStyle=65536\r\n";
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::u16string>& paths = pages[p];
        text += u"[Page" + Dec(int(p) + 2) + u"]\r\nListType=3\r\n";
        for (size_t n = 0; n < paths.size(); ++n) text += u"Files" + DecPadded(int(n), 3) + u"=" + paths[n] + u"\r\n";
        text += u"Files" + DecPadded(int(paths.size()), 3) + u"=\r\nFiles=" + Dec(int(paths.size()) + 1) + u"\r\n";
    }
    WriteBytes(settings, Utf16LE(text));
}

}  // namespace vc::test
