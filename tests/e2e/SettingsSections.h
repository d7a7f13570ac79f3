// Settings files as the end-to-end tests see them: sections of
// "key=value" lines, read from the program's file and written for it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "support/Utf16File.h"

namespace vc::e2e {

// Section name -> its "key=value" lines (each with CR LF), blank lines left
// out. Key order counts: the program rewrites sections in place.
using Sections = std::map<std::u16string, std::u16string>;

inline Sections SectionsOf(std::u16string_view text) {
    Sections out;
    std::u16string* current = nullptr;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find(u"\r\n", from);
        std::u16string line(text.substr(from, end == std::u16string_view::npos ? end : end - from));
        from = end == std::u16string_view::npos ? text.size() : end + 2;
        if (line.size() > 1 && line.front() == u'[' && line.back() == u']')
            current = &out[line.substr(1, line.size() - 2)];
        else if (current && !line.empty())
            *current += line + u"\r\n";
    }
    return out;
}

// Where the value of `key` starts among `lines`, or npos.
inline size_t ValueAt(std::u16string_view lines, std::u16string_view key) {
    for (size_t line = 0; line < lines.size();) {
        if (lines.substr(line, key.size()) == key && lines.substr(line + key.size(), 1) == u"=")
            return line + key.size() + 1;
        size_t end = lines.find(u"\r\n", line);
        if (end == std::u16string_view::npos) break;
        line = end + 2;
    }
    return std::u16string_view::npos;
}

// `lines` with the value of `key` replaced; the key must be there.
inline std::u16string WithKey(std::u16string lines, std::u16string_view key, std::u16string_view value) {
    size_t from = ValueAt(lines, key);
    if (from == std::u16string::npos) {
        ADD_FAILURE() << "no key " << test::Narrow(key);
        return lines;
    }
    lines.replace(from, lines.find(u"\r\n", from) - from, value);
    return lines;
}

// The value of `key` among `lines`, or "(missing)".
inline std::string ValueOf(std::u16string_view lines, std::u16string_view key) {
    size_t from = ValueAt(lines, key);
    if (from == std::u16string_view::npos) return "(missing)";
    return test::Narrow(lines.substr(from, lines.find(u"\r\n", from) - from));
}

inline std::u16string TextOfSections(const Sections& s) {
    std::u16string t = u";Vellumcraft\r\n\r\n[Vellumcraft]\r\n" + s.at(u"Vellumcraft");
    for (const auto& [name, keys] : s)
        if (name != u"Vellumcraft") t += u"\r\n[" + name + u"]\r\n" + keys;
    return t;
}

}  // namespace vc::e2e
