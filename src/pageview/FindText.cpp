#include "pageview/FindText.h"

namespace vc {

namespace {

// U+FF61..U+FF9F, the half-width katakana block, in full width; the two
// marks at its end stand alone as the spacing marks.
constexpr char16_t kFullKana[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

// The kana a voiced mark (dakuten) joins with, and what they become; 0 for
// one it does not join.
char16_t Voiced(char16_t kana) {
    if (kana == u'ウ') return u'ヴ';
    if (kana >= u'カ' && kana <= u'チ' && (kana - u'カ') % 2 == 0) return char16_t(kana + 1);
    if (kana == u'ツ' || kana == u'テ' || kana == u'ト') return char16_t(kana + 1);
    if (kana >= u'ハ' && kana <= u'ホ' && (kana - u'ハ') % 3 == 0) return char16_t(kana + 1);
    return 0;
}

// And a semi-voiced mark (handakuten): only the ha row.
char16_t SemiVoiced(char16_t kana) {
    return kana >= u'ハ' && kana <= u'ホ' && (kana - u'ハ') % 3 == 0 ? char16_t(kana + 2) : 0;
}

}  // namespace

std::u16string FoldForFind(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E) c = char16_t(c - 0xFEE0);  // full-width ASCII
        else if (c == 0x3000) c = u' ';
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c >= 0xFF61 && c <= 0xFF9F) {
            const char16_t full = kFullKana[c - 0xFF61];
            const char16_t joined = out.empty() ? 0 : c == 0xFF9E ? Voiced(out.back()) : c == 0xFF9F ? SemiVoiced(out.back()) : 0;
            if (joined) out.back() = joined;
            else out += full;
            continue;
        }
        out += c;
    }
    return out;
}

bool FindsName(std::u16string_view name, std::u16string_view foldedFilter) {
    return foldedFilter.empty() || FoldForFind(name).find(foldedFilter) != std::u16string::npos;
}

}  // namespace vc
