#include "tabwindow/PageMenus.h"

#include "common/U16.h"
#include "common/TabTexts.h"

namespace vc {

namespace {
int ColorIndex(const PageRecord& p) {
    return p.LabelColor >= 0 && p.LabelColor < kLabelColorCount ? p.LabelColor : 0;
}

// An entry's name in quotation marks, then `tail`.
std::u16string QuotedName(std::u16string_view name, std::u16string_view tail) {
    std::u16string text = u"\"";
    text += TabItemText(CutTo(name, 32));
    text += u"\"";
    text += tail;
    return text;
}
}  // namespace

std::vector<PageMenuItem> PageListItems(const Records& r, bool all) {
    std::vector<PageMenuItem> items;
    bool mainFound = false;
    for (int k = 0; k < r.ShownSpecialCount; ++k) {
        const PageRecord& p = r.SpecialPages[r.ShownSpecialPages[size_t(k)]];
        PageMenuItem item;
        item.id = kFirstPageCommand + k;
        item.text = TabItemText(CutTo(u"[" + p.Label + u"]", 35));
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
        item.text = TabItemText(p.Label);
        item.colorIndex = ColorIndex(p);
        if (!mainFound && (p.Flag & PageFlag::MainPage)) item.mainPage = mainFound = true;
        items.push_back(std::move(item));
    }
    return items;
}

std::u16string PageCaption(const PageRecord& page, bool special) {
    std::u16string text = u"ページ ";
    text += special ? u"[" : u"\"";
    text += TabItemText(CutTo(page.Label, 32));
    text += special ? u"]" : u"\"";
    return text;
}

std::u16string LocationCaption(std::u16string_view entryName) { return QuotedName(entryName, u" の場所表示(&S)..."); }

std::u16string RemoveCaption(std::u16string_view entryName) { return QuotedName(entryName, u" の登録削除(&F)..."); }

}  // namespace vc
