// Where the running program lives.
#pragma once

#include <string>

namespace vc {

// The executable's folder with its trailing backslash, or empty when its
// path cannot be had whole.
std::u16string ExecutableFolder();

}  // namespace vc
