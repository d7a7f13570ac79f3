#include "pagesettings/PageSettings.h"

#include "common/U16.h"

namespace vc {

const SettingsPaneInfo PageSettingsPanes[kPageSettingsPaneCount] = {
    {1011, 136, u"編集", u"ページの設定\nラベル、コメントの設定", 4},
    {1012, 139, u"表示", u"アイコンの表示\nアイコンの表示方法の設定", 5},
    {1013, 138, u"文字", u"文字の設定\nフォントの設定", 6},
    {1014, 137, u"色", u"色の指定\n文字と背景の色設定", 7},
    {1015, 140, u"情報", u"ファイルの情報\nファイルの情報の表示", 8},
};

int PaneOfButton(const SettingsPaneInfo* panes, int count, int id) {
    for (int i = 0; i < count; ++i)
        if (panes[i].buttonId == id) return i;
    return -1;
}

std::u16string PageSettingsCaption(std::u16string_view label) {
    std::u16string caption = u"Vellumcraft - ページ \"";
    caption += CutTo(label, 32);
    caption += u"\" の設定";
    return caption;
}

PageId PageIdOfCurrentTab(const Records& r) {
    const int32_t tab = r.GlobalSettings.TabNumber;
    if (tab >= 0 && tab < r.ShownSpecialCount) return SpecialPageId(r.ShownSpecialPages[size_t(tab)]);
    if (r.CurrentPage >= 0 && size_t(r.CurrentPage) < r.UserPages.size()) return r.CurrentPage;
    return -1;
}

std::u16string MakeDefaultQuestion(std::u16string_view paneName) {
    std::u16string text = u"\"";
    text += CutTo(paneName, 5);
    text += u"\" の設定\n\n現在の設定を、初期値としますか?\n以後、ページを新規に追加したとき、この設定が使用されます。";
    return CutTo(text, 199).size() == text.size() ? text : std::u16string(CutTo(text, 199));
}

int NextSampleIndex(int index, int entryCount) {
    if (entryCount <= 0) return index;
    const int next = index + 1;
    return next >= entryCount || next < 0 ? 0 : next;
}

std::u16string SampleText(std::u16string_view fileName, bool recentPage) {
    std::u16string_view text = fileName.substr(0, fileName.find(u'.'));
    if (recentPage) text = text.substr(0, text.find(u" ("));
    return std::u16string(text);
}

bool CommentFitsFile(std::u16string_view comment) { return CommentAsKept(comment).size() == comment.size(); }

std::u16string CommentAsKept(std::u16string_view comment) {
    size_t end = 0;
    for (int line = 0; line < kCommentMaxLines; ++line) {
        end = comment.find(u"\r\n", end);
        if (end == std::u16string_view::npos) return std::u16string(comment);
        if (line + 1 < kCommentMaxLines) end += 2;
    }
    return std::u16string(comment.substr(0, end));
}

}  // namespace vc
