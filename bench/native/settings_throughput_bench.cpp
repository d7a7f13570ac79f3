// The settings engine on the largest file the program holds (1000 pages of
// 200 entries), natively: reading it into the engine's index of sections
// and keys, and decoding every page's records from it, as the find box
// over every page needs them.
#include <cstdio>
#include <string>

#include "LargeSettings.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsFile.h"
#include "support/BenchReport.h"
#include "support/MemoryFileSystem.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

int Run() {
    const std::string bytes =
        test::Utf16LE(test::ManyPagesText(kMaxPageCount, 200, 50, u"SpcialFolder=0\r\nBackupGenerations=0\r\n"));
    const double mb = double(bytes.size()) / 1e6;
    std::printf("settings file: %d pages of 200 entries, %.1f MB\n", kMaxPageCount, mb);
    size_t sections = 0;
    const double indexMs = bench::MedianMs(5, [&] { sections += ProfileDocument::FromBytes(bytes).SectionNames().size(); });
    test::MemoryFileSystem fs;
    fs.files[u"C:\\large.vcset"] = bytes;
    size_t pages = 0;
    const double decodeMs = bench::MedianMs(5, [&] {
        ProfileStore store(fs, u"C:\\large.vcset");
        Records r;
        ProfileBatch batch(store);
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
        pages += r.UserPages.size();
    });
    std::printf("settings: index %.1f ms (%zu sections), index and decode %.1f ms (%zu pages), medians of 5\n",
                indexMs, sections / 5, decodeMs, pages / 5);
    const bool index = bench::Verdict("settings-index-throughput", mb / (indexMs / 1000), "MB/s", ">=", 1000);
    const bool decode = bench::Verdict("settings-decode-throughput", mb / (decodeMs / 1000), "MB/s", ">=", 200);
    return index && decode ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main() { return vc::Run(); }
