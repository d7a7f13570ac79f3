#include "settings/FileSystem.h"

namespace vc {

namespace {
BeforeReplaceHook g_hook = nullptr;
}

void SetBeforeReplaceHook(BeforeReplaceHook hook) { g_hook = hook; }
BeforeReplaceHook GetBeforeReplaceHook() { return g_hook; }

std::u16string TempPathFor(const std::u16string& path) { return path + u".saving"; }

}  // namespace vc
