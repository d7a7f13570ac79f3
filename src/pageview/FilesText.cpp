#include "pageview/FilesText.h"

#include "common/U16.h"

namespace vc {

bool CutNextEntry(std::u16string_view text, size_t& pos, std::u16string_view& entry) {
    if (pos > text.size()) return false;
    size_t end = text.find(u"\r\n", pos);
    if (end == std::u16string_view::npos) return false;
    entry = text.substr(pos, end - pos);
    pos = end + 2;
    return true;
}

bool CutLastEntry(std::u16string_view text, size_t& pos, std::u16string_view& entry) {
    if (pos >= text.size()) return false;
    entry = text.substr(pos);
    pos = text.size();
    return true;
}

std::u16string RebuildFiles(const std::vector<FileEntry>& table, int count) {
    std::u16string files;
    for (int i = 0; i < count && size_t(i) < table.size(); ++i) {
        if (table[size_t(i)].Path.empty()) continue;
        files += table[size_t(i)].Path;
        files += u"\r\n";
    }
    return files;
}

int CountRegistered(const std::vector<FileEntry>& table, int count) {
    int n = 0;
    for (int i = 0; i < count && size_t(i) < table.size(); ++i)
        if (!table[size_t(i)].Path.empty()) ++n;
    return n;
}

NoticeRect LoadingNoticeRect(int width, int height) {
    return {width / 2 - width / 4, height / 2 - 12, width / 2, 24};
}

int SortArrowImage(int column, int pageListSort) {
    if (column == pageListSort) return 1;
    if (column + 10 == pageListSort) return 2;
    return 0;
}

}  // namespace vc

namespace vc {

std::u16string WorkingFolderOf(std::u16string_view fullPath, size_t nameStart) {
    if (nameStart == 0 || nameStart > fullPath.size()) return {};
    return std::u16string(fullPath.substr(0, nameStart - 1));
}

std::u16string ContainingFolderOf(std::u16string_view fullPath, size_t nameStart) {
    if (nameStart > fullPath.size()) return {};
    return std::u16string(fullPath.substr(0, nameStart));
}

std::u16string RemoveQuestion(std::u16string_view pageLabel, std::u16string_view displayName) {
    std::u16string q = u"ページ \"" + std::u16string(CutTo(pageLabel, 32)) + u"\" の\n\"" +
                       std::u16string(CutTo(displayName, 32)) + u"\" の登録を削除しますか？ ";
    return std::u16string(CutTo(q, 261));
}

std::u16string AddDialogTitle(std::u16string_view windowName, std::u16string_view pageLabel) {
    std::u16string t = std::u16string(CutTo(windowName, 32)) + u" - \"" + std::u16string(CutTo(pageLabel, 32)) +
                       u"\" - ファイルの追加";
    return std::u16string(CutTo(t, 99));
}

int ParseEntryIndex(std::u16string_view text) {
    if (text.empty() || text.size() > 9) return -1;
    int v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

}  // namespace vc
