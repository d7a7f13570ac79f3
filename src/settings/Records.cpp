#include "settings/Records.h"

#include "common/U16.h"

namespace vc {

uint32_t& GlobalRecord::LabelColorN(int n) {
    switch (n) {
    case 1: return LabelColor1;
    case 2: return LabelColor2;
    case 3: return LabelColor3;
    case 4: return LabelColor4;
    default: return LabelColor5;
    }
}

uint32_t GlobalRecord::LabelColorN(int n) const { return const_cast<GlobalRecord*>(this)->LabelColorN(n); }

std::u16string SectionNameOf(PageId id) {
    switch (KindOf(id)) {
    case PageKind::Default: return u"Page-Default";
    case PageKind::Special: return u"SpcialPage" + Dec(int64_t(SpecialIndexOf(id)) + 1);
    case PageKind::User: break;
    }
    return u"Page" + Dec(int64_t(id) + 1);
}

const std::array<SpecialFolderEntry, kSpecialPageCount> SpecialFolderTable = {{
    {0, 25, 0x1, u"デスクトップ", u"デスクトップ"},
    {8, -1, 0x2, u"最近", u"最近使ったもの"},
    {-1, -1, 0x4, u"コンピューター", u"コンピューター"},
    {7, 24, 0x8, u"スタートアップ", u"スタートアップ"},
    {5, 46, 0x10, u"ドキュメント", u"ドキュメント"},
    {39, 54, 0x20, u"ピクチャ", u"ピクチャ"},
    {13, 53, 0x40, u"音楽", u"音楽"},
    {14, 55, 0x80, u"ビデオ", u"ビデオ"},
}};

uint32_t LabelColorTable(const GlobalRecord& g, int index) {
    static const uint32_t kFixed[kFirstCustomLabelColor] = {
        0x000000, 0x404040, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x0080FF, 0x80C000,
        0xFF8000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF,
    };
    if (index >= 0 && index < kFirstCustomLabelColor) return kFixed[index];
    if (index >= kFirstCustomLabelColor && index < kLabelColorCount)
        return g.LabelColorN(index - kFirstCustomLabelColor + 1);
    return kFixed[0];
}

PageRecord BuiltInDefaultPage() {
    PageRecord p;
    p.LabelColor = 6;
    p.Flag = 0;
    p.ListType = 0;
    p.FontName = u"MS UI Gothic";
    p.FontSize = 13;
    p.FontStyle = 0;
    p.FontColor = 0x002020;
    p.FontColorBk = 0xE8E8E8;
    p.PageColumnWidth = {190, 160, 75, 95, 75, 0};
    p.PageListSort = 1;
    return p;
}

PageRecord* Records::Page(PageId id) {
    switch (KindOf(id)) {
    case PageKind::Default: return &DefaultPage;
    case PageKind::Special: {
        int i = SpecialIndexOf(id);
        return i >= 0 && i < kSpecialPageCount ? &SpecialPages[size_t(i)] : nullptr;
    }
    case PageKind::User: break;
    }
    return id >= 0 && size_t(id) < UserPages.size() ? &UserPages[size_t(id)] : nullptr;
}

void RecountShownSpecialPages(Records& r) {
    r.ShownSpecialCount = 0;
    r.ShownSpecialPages.fill(0);
    for (int i = 0; i < kSpecialPageCount; ++i)
        if (r.GlobalSettings.SpcialFolder & SpecialFolderTable[size_t(i)].Bit)
            r.ShownSpecialPages[r.ShownSpecialCount++] = uint16_t(i);
}

int32_t PageOfTab(const Records& r, int32_t tabNumber) {
    if (tabNumber < int32_t(r.ShownSpecialCount)) return -1;
    if (r.UserPages.empty()) return 0;
    int32_t k = tabNumber - int32_t(r.ShownSpecialCount);
    if (r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu) return k;
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        if (r.UserPages[i].Flag & PageFlag::Unmarked) continue;
        if (k-- == 0) return int32_t(i);
    }
    return 0;
}

int32_t TabOfPage(const Records& r, int32_t page) {
    if (r.UserPages.empty()) return 0;
    if (r.GlobalSettings.TabStyle & TabStyleBit::MarkedPagesMenu) return int32_t(r.ShownSpecialCount) + page;
    if (page < 0 || page >= r.GlobalSettings.PageCount || size_t(page) >= r.UserPages.size()) return 0;
    if (r.UserPages[size_t(page)].Flag & PageFlag::Unmarked) return 0;
    int32_t before = 0;
    for (int32_t i = 0; i < page; ++i)
        if (!(r.UserPages[size_t(i)].Flag & PageFlag::Unmarked)) ++before;
    return int32_t(r.ShownSpecialCount) + before;
}

}  // namespace vc
