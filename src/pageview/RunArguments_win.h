// The dialog that asks for the arguments an entry is started with.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vc {

// Asks for the arguments to start `path` with, offering those confirmed for
// the same path earlier in this run; nothing when the user cancels. What the
// user confirms is offered the next time.
std::optional<std::u16string> AskRunArguments(HWND owner, const std::u16string& path);

}  // namespace vc
