#include "tabwindow/PageMenus.h"

#include "common/U16.h"

namespace vc {

namespace {
int ColorIndex(const PageRecord& p) {
    return p.LabelColor >= 0 && p.LabelColor < kLabelColorCount ? p.LabelColor : 0;
}
}  // namespace

std::vector<PageMenuItem> PageListItems(const Records& r, bool all) {
    std::vector<PageMenuItem> items;
    bool mainFound = false;
    for (int k = 0; k < r.ShownSpecialCount; ++k) {
        const PageRecord& p = r.SpecialPages[r.ShownSpecialPages[size_t(k)]];
        PageMenuItem item;
        item.id = kFirstPageCommand + k;
        item.text = std::u16string(CutTo(u"[" + p.Label + u"]", 35));
        item.colorIndex = ColorIndex(p);
        if (!mainFound && (p.Flag & PageFlag::MainPage) && (all || !(p.Flag & PageFlag::Unmarked)))
            item.mainPage = mainFound = true;
        items.push_back(std::move(item));
    }
    PageMenuItem separator;
    separator.separator = true;
    items.push_back(separator);
    for (size_t i = 0; i < r.UserPages.size(); ++i) {
        const PageRecord& p = r.UserPages[i];
        if (!all && (p.Flag & PageFlag::Unmarked)) continue;
        PageMenuItem item;
        item.id = kFirstPageCommand + r.ShownSpecialCount + int(i);
        item.text = p.Label;
        item.colorIndex = ColorIndex(p);
        if (!mainFound && (p.Flag & PageFlag::MainPage)) item.mainPage = mainFound = true;
        items.push_back(std::move(item));
    }
    return items;
}

std::u16string PageCaption(const PageRecord& page, bool special) {
    std::u16string text = u"ページ " + std::u16string(special ? u"[" : u"\"") + std::u16string(CutTo(page.Label, 32)) +
                          std::u16string(special ? u"]" : u"\"");
    return std::u16string(CutTo(text, 63));
}

std::u16string LocationCaption(std::u16string_view entryName) {
    return std::u16string(CutTo(u"\"" + std::u16string(CutTo(entryName, 32)) + u"\" の場所表示(&S)...", 63));
}

std::u16string RemoveCaption(std::u16string_view entryName) {
    return std::u16string(CutTo(u"\"" + std::u16string(CutTo(entryName, 32)) + u"\" の登録削除(&F)...", 63));
}

}  // namespace vc
