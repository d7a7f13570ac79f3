// A settings file for the page benchmarks: Page1 empty, then one page in
// details view for each list of paths.
#pragma once

#include <string>
#include <vector>

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

// The text of a settings file of `pages` labelled pages of `entries`
// entries each, every entry `units` long; `global` goes into [Vellumcraft].
// 1000 pages of 200 entries of 50 units is about the largest file the
// program holds (22 MB).
inline std::u16string ManyPagesText(int pages, int entries, int units, std::u16string_view global = u"") {
    std::u16string text = u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=" + Dec(pages) + u"\r\n" + std::u16string(global);
    for (int p = 0; p < pages; ++p) {
        text += u"[Page" + Dec(p + 1) + u"]\r\nLabel=Page" + Dec(p + 1) + u"\r\n";
        for (int k = 0; k < entries; ++k) {
            std::u16string path = u"C:\\Users\\someone\\Documents\\p" + Dec(p) + u"\\file-" + Dec(k) + u".txt";
            if (int(path.size()) < units) path.insert(path.size() - 4, std::u16string(size_t(units) - path.size(), u'x'));
            text += u"Files" + DecPadded(k, 3) + u"=" + path + u"\r\n";
        }
        if (entries) text += u"Files=" + Dec(entries) + u"\r\n";
    }
    return text;
}

}  // namespace vc::test
