#include "pageview/FolderContents_win.h"

#include "common/Handles_win.h"

#include <windows.h>

#include <shlobj.h>

#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"

namespace vc {

std::u16string SpecialFolderPath(int csidl) {
    if (csidl < 0) return {};
    wchar_t path[MAX_PATH] = {};
    if (!shell::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
    return U16(path);
}

std::u16string SpecialFolderKey(int csidl) { return u"<special folder " + Dec(csidl) + u">"; }

int CountFolder(const std::u16string& folder, CountMode mode) {
    if (folder.empty()) return 0;
    std::u16string pattern = folder + u"\\*.*";
    if (pattern.size() > kPathCapacity - 1) return 0;
    WIN32_FIND_DATAW fd;
    FindHandle search(FindFirstFileW(AsW(pattern), &fd));
    if (!search) return 0;
    int count = 0;
    do {
        if (mode == CountMode::All) {
            ++count;
            continue;
        }
        std::u16string name = U16(fd.cFileName);
        if (name == u"." || name == u".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        ++count;
    } while (FindNextFileW(search.get(), &fd));
    return count;
}

int CountFolderContents(const PageRecord& page, CountMode mode) {
    return CountFolder(SpecialFolderPath(page.FolderId), mode) +
           CountFolder(SpecialFolderPath(page.CommonFolderId), mode);
}

}  // namespace vc
