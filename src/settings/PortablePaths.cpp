#include "settings/PortablePaths.h"

#include "common/U16.h"

namespace vc {

namespace {

char16_t UpperLetter(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c - u'a' + u'A');
    return c >= u'A' && c <= u'Z' ? c : 0;
}

// "X:\..." only: "X:name" is relative to that drive's current folder, and
// means something else on another machine.
char16_t LetterOfFullPath(std::u16string_view p) {
    return p.size() >= 3 && p[1] == u':' && p[2] == u'\\' ? UpperLetter(p[0]) : 0;
}

template <class Fn>
std::u16string EachLine(std::u16string_view text, Fn fn) {
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        const size_t brk = text.find(u"\r\n", pos);
        const std::u16string_view line = text.substr(pos, brk == std::u16string_view::npos ? brk : brk - pos);
        if (!fn(out, line)) break;
        if (brk == std::u16string_view::npos) break;
        out += u"\r\n";
        pos = brk + 2;
    }
    return out;
}

// What a drive-relative line stands on, taken from the settings file's own
// path: "E:" for "E:\...", "\\server\share" for a file on a share, or
// nothing for a path that is neither.
std::u16string RootOf(std::u16string_view given) {
    std::u16string unc;
    std::u16string_view path = given;
    if (path.substr(0, 8) == u"\\\\?\\UNC\\") path = unc = u"\\\\" + std::u16string(path.substr(8));
    else if (path.substr(0, 4) == u"\\\\?\\") path.remove_prefix(4);
    if (const char16_t letter = LetterOfFullPath(path)) return {letter, u':'};
    if (path.size() < 3 || path[0] != u'\\' || path[1] != u'\\' || path[2] == u'\\') return {};
    const size_t server = path.find(u'\\', 2);
    if (server == std::u16string_view::npos || server + 1 >= path.size()) return {};
    const size_t share = path.find(u'\\', server + 1);
    if (share == std::u16string_view::npos) return {};
    return std::u16string(path.substr(0, share));
}

// Whether `line` lies on `root`: the root, without regard to case, then a
// backslash.
bool OnRoot(std::u16string_view line, std::u16string_view root) {
    return line.size() > root.size() && line[root.size()] == u'\\' && EqualsNoCase(line.substr(0, root.size()), root);
}

}  // namespace

char16_t DriveLetterOf(std::u16string_view path) {
    if (path.substr(0, 4) == u"\\\\?\\") path.remove_prefix(4);
    return LetterOfFullPath(path);
}

std::u16string DriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath) {
    const std::u16string root = RootOf(settingsPath);
    if (root.empty()) return std::u16string(files);
    return EachLine(files, [&root](std::u16string& out, std::u16string_view line) {
        out += OnRoot(line, root) ? line.substr(root.size()) : line;
        return true;
    });
}

std::u16string ResolveDriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath, size_t room) {
    const std::u16string prefix = RootOf(settingsPath);
    if (prefix.empty()) return std::u16string(files);
    // Each letter put in takes room; once none is left, the remaining lines
    // stay as stored (the system reads them on the current drive) rather
    // than be dropped, and are written back as they came.
    size_t spare = room > files.size() ? room - files.size() : 0;
    return EachLine(files, [&](std::u16string& out, std::u16string_view line) {
        const bool relative = !line.empty() && line[0] == u'\\' && (line.size() == 1 || line[1] != u'\\');
        if (relative && spare >= prefix.size()) {
            out += prefix;
            spare -= prefix.size();
        }
        out += line;
        return true;
    });
}

}  // namespace vc
