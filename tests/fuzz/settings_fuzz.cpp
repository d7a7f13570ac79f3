// Feeds arbitrary bytes as a settings file to the loader, then writes a page
// and the global settings back and loads the result again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/SettingsFile.h"
#include "support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vc;
    test::MemoryFileSystem fs;
    const std::u16string path = u"C:\\fuzz\\Vellumcraft.vcset";
    fs.files[path] = std::string(reinterpret_cast<const char*>(data), size);
    ProfileStore store(fs, path);
    Records r;
    r.WindowsVersion = size % 2 ? 500 : 1000;
    LoadDefaultPage(r, store);
    LoadSettings(r, store);
    if (r.UserPages.empty()) __builtin_trap();
    r.UserPages[0].Files += u"C:\\x\r\n";
    WritePage(r, store, 0, WriteGroup::All);
    WritePage(r, store, SpecialPageId(1), WriteGroup::All);
    WritePage(r, store, kDefaultPageId, WriteGroup::All);
    WriteGlobalSettings(r, store);
    DeletePageSection(store, r.GlobalSettings.PageCount - 1);
    Records again;
    LoadDefaultPage(again, store);
    LoadSettings(again, store);
    if (again.UserPages.empty()) __builtin_trap();
    return 0;
}
