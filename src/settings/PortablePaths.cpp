#include "settings/PortablePaths.h"

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

}  // namespace

char16_t DriveLetterOf(std::u16string_view path) {
    if (path.substr(0, 4) == u"\\\\?\\") path.remove_prefix(4);
    return LetterOfFullPath(path);
}

std::u16string DriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath) {
    const char16_t drive = DriveLetterOf(settingsPath);
    if (!drive) return std::u16string(files);
    return EachLine(files, [drive](std::u16string& out, std::u16string_view line) {
        out += LetterOfFullPath(line) == drive ? line.substr(2) : line;
        return true;
    });
}

std::u16string ResolveDriveRelativeLines(std::u16string_view files, std::u16string_view settingsPath, size_t room) {
    const char16_t drive = DriveLetterOf(settingsPath);
    if (!drive) return std::u16string(files);
    const char16_t prefix[] = {drive, u':', 0};
    // Each letter put in takes room; once none is left, the remaining lines
    // stay as stored (the system reads them on the current drive) rather
    // than be dropped, and are written back as they came.
    size_t spare = room > files.size() ? room - files.size() : 0;
    return EachLine(files, [&](std::u16string& out, std::u16string_view line) {
        const bool relative = !line.empty() && line[0] == u'\\' && (line.size() == 1 || line[1] != u'\\');
        if (relative && spare >= 2) {
            out += prefix;
            spare -= 2;
        }
        out += line;
        return true;
    });
}

}  // namespace vc
