// A page in a file of its own (".vcpage"), to take to another copy of the
// program: UTF-16LE with its mark and one [Page1] section holding the page's
// keys exactly as the settings file holds a page, written and read by the
// settings file's own code. Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>

#include "settings/FileSystem.h"
#include "settings/Records.h"

namespace vc {

// Why a file was not taken as a page.
enum class PageFileProblem {
    None,
    Unreadable,     // missing, locked, too large
    NotUtf16,       // no UTF-16LE mark: not a file this program wrote
    NoPageSection,  // not one page section alone (another kind of file)
    Damaged,        // cut short: a key or a line of the page is missing
};

// Writes user page `page` of `r` to `path`, replacing the file atomically as
// the settings file is. The entries keep their drive letters whatever the
// settings file does: a copy of the program on another drive must find
// them. False when the file could not be written (the old one stays).
bool WritePageFile(const Records& r, int32_t page, FileSystem& fs, const std::u16string& path);

// Reads the page of a page file into `page`, with the template of `r` for
// anything the file leaves out. The page comes as one more tab: it is
// neither the main page nor unmarked, whatever it was where it was written.
PageFileProblem ReadPageFile(const Records& r, FileSystem& fs, const std::u16string& path, PageRecord& page);

// What the user is told when a file is refused.
std::u16string PageFileProblemText(PageFileProblem problem);

// The file name the save dialog proposes: the page's label, the characters
// a file name cannot hold made "_".
std::u16string PageFileNameOf(std::u16string_view label);

}  // namespace vc
