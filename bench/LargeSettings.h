// The text of the large settings files the benchmarks read. Portable: no
// windows.h, so that the native benchmarks share it.
#pragma once

#include <string>
#include <string_view>

#include "common/U16.h"

namespace vc::test {

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
