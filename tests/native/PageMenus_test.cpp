// The page lists and captions of the menus.
#include <gtest/gtest.h>

#include <utility>

#include "tabwindow/PageMenus.h"

namespace vc {
namespace {

Records TwoSpecialAndAB() {
    Records r;
    r.ShownSpecialCount = 2;
    r.ShownSpecialPages[0] = 0;
    r.ShownSpecialPages[1] = 4;
    r.SpecialPages[0].Label = u"デスクトップ";
    r.SpecialPages[4].Label = u"ドキュメント";
    r.UserPages.resize(2);
    r.UserPages[0].Label = u"A";
    r.UserPages[1].Label = u"B";
    r.UserPages[1].Flag = PageFlag::Unmarked;
    r.GlobalSettings.PageCount = 2;
    return r;
}

std::vector<int> Ids(const std::vector<PageMenuItem>& items) {
    std::vector<int> ids;
    for (auto& i : items) ids.push_back(i.separator ? -1 : i.id);
    return ids;
}

TEST(PageLists, MarkedAndAllPages) {
    Records r = TwoSpecialAndAB();
    auto marked = PageListItems(r, false);
    EXPECT_EQ(Ids(marked), (std::vector<int>{10000, 10001, -1, 10002}));
    EXPECT_EQ(marked[0].text, u"[デスクトップ]");
    EXPECT_EQ(marked[3].text, u"A");
    EXPECT_EQ(Ids(PageListItems(r, true)), (std::vector<int>{10000, 10001, -1, 10002, 10003}));
    r.ShownSpecialCount = 0;
    EXPECT_EQ(Ids(PageListItems(r, false)), (std::vector<int>{-1, 10000}));  // the list begins with a separator
}

TEST(PageLists, MainPageIsBoldOnlyWhereItIsListed) {
    Records r = TwoSpecialAndAB();
    r.UserPages[1].Flag |= PageFlag::MainPage;  // B is unmarked
    for (auto& i : PageListItems(r, false)) EXPECT_FALSE(i.mainPage);
    auto all = PageListItems(r, true);
    EXPECT_TRUE(all[4].mainPage);
    r.SpecialPages[4].Flag |= PageFlag::MainPage;  // a special main page comes first
    all = PageListItems(r, true);
    EXPECT_TRUE(all[1].mainPage);
    EXPECT_FALSE(all[4].mainPage);
    r.UserPages[0].LabelColor = 77;  // a damaged colour index shows the first colour
    EXPECT_EQ(PageListItems(r, false)[3].colorIndex, 0);
}

// What a menu shows of an item text, and its mnemonic: "&&" shows "&", a lone
// "&" underlines the next character.
std::pair<std::u16string, char16_t> Shown(std::u16string_view text) {
    std::pair<std::u16string, char16_t> shown{u"", 0};
    for (size_t i = 0; i < text.size(); shown.first += text[i++])
        if (text[i] == u'&' && i + 1 < text.size() && text[++i] != u'&') shown.second = text[i];
    return shown;
}

TEST(PageCaptions, ShowTheNameWholeUpTo32WithOnlyTheItemsOwnMnemonic) {
    PageRecord p;
    for (const std::u16string& name : {std::u16string(u"仕事"), std::u16string(u"R&D&&"), std::u16string(40, u'x')}) {
        const std::u16string cut = (p.Label = name).substr(0, 32), quoted = u"\"" + cut + u"\"";
        EXPECT_NE(Shown(PageCaption(p, false)).first.find(quoted), std::u16string::npos);
        EXPECT_EQ(Shown(PageCaption(p, false)).second, 0);
        EXPECT_NE(Shown(PageCaption(p, true)).first.find(u"[" + cut + u"]"), std::u16string::npos);
        for (auto [caption, key] : {std::pair(LocationCaption(name), u'S'), std::pair(RemoveCaption(name), u'F')}) {
            EXPECT_EQ(Shown(caption).first.find(quoted), 0u);
            EXPECT_EQ(Shown(caption).second, key);
        }
    }
}

}  // namespace
}  // namespace vc
