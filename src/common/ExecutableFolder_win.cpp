#include "common/ExecutableFolder_win.h"

#include <windows.h>

#include <iterator>

#include "common/Wide_win.h"

namespace vc {

std::u16string ExecutableFolder() {
    // A path longer than the classic limit is refused rather than cut.
    constexpr DWORD kCapacity = 262;
    wchar_t module[kCapacity] = {};
    DWORD n = GetModuleFileNameW(nullptr, module, kCapacity);
    if (n == 0 || n >= kCapacity) return {};
    wchar_t full[kCapacity] = {};
    DWORD m = GetFullPathNameW(module, kCapacity, full, nullptr);
    if (m == 0 || m >= kCapacity) return {};
    std::u16string path = U16(full);
    size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

}  // namespace vc
