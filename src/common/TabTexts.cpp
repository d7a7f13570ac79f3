#include "common/TabTexts.h"

#include <algorithm>

#include "common/U16.h"

namespace vc {

std::u16string FileCountText(int count) { return u"ファイル数 : " + Dec(count); }

std::u16string EntryDetailsText(std::u16string_view dateText, int64_t size) {
    std::u16string text = u"更新日 : " + std::u16string(dateText) + u"、";
    static const char16_t* const kUnits[] = {u"B", u"kB", u"MB", u"GB", u"TB"};
    int64_t v = size;
    size_t unit = 0;
    while (v >= 10000 && unit + 1 < std::size(kUnits)) {
        v /= 1000;
        ++unit;
    }
    if (v < 10000) text += u"サイズ : " + Dec(v) + u" " + kUnits[unit];
    return std::u16string(CutTo(text, 266));
}

std::u16string TabTooltipText(std::u16string_view comment, int count) {
    std::u16string text(CutTo(comment, 200));
    text += u"\nファイル数 : " + (count >= 0 ? Dec(count) : std::u16string(u"-----")) + u", ";
    return std::u16string(CutTo(text, 200));
}

int CountEntries(std::u16string_view files) { return int(std::count(files.begin(), files.end(), u'\n')); }

std::u16string TabItemText(std::u16string_view label) {
    std::u16string text;
    text.reserve(label.size() + 2);
    for (char16_t c : label) {
        text += c;
        if (c == u'&') text += u'&';
    }
    return text;
}

std::u16string TabWindowCaption(std::u16string_view windowName) {
    // The program's own name is well inside its 15 units.
    return std::u16string(CutTo(UpToNul(windowName), 64)) + u" - Vellumcraft";
}

}  // namespace vc
