#include "settings/FileSystem.h"

#include <atomic>
#include <cstdint>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "common/U16.h"

namespace vc {

namespace {
BeforeReplaceHook g_hook = nullptr;

int64_t ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}
}  // namespace

void SetBeforeReplaceHook(BeforeReplaceHook hook) { g_hook = hook; }
BeforeReplaceHook GetBeforeReplaceHook() { return g_hook; }

// Each call names a file of its own, by process and by count: two programs
// (or two threads) writing one file at once never write into each other's
// temporary file, and a file left by a run that crashed is in no one's way.
std::u16string TempPathFor(const std::u16string& path) {
    static std::atomic<uint32_t> serial{0};
    return path + u"." + Dec(ProcessId()) + u"-" + Dec(++serial) + u".saving";
}

}  // namespace vc
