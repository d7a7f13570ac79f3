// Page management on a large settings file: 100 user pages of 200 entries.
// Adding, duplicating and deleting a page in the middle, each as one batch
// (one read, one atomic write), timed; and the text each one changes in the
// file against writing the pages in full the way the commands are defined.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "common/U16.h"
#include "settings/SettingsFile.h"
#include "support/BenchReport.h"
#include "support/TempDir_win.h"
#include "tabwindow/PageManagement.h"

namespace vc {
namespace {

constexpr int kPages = 100;
constexpr int kEntries = 200;

std::u16string Entries(int page) { return bench::HundredUnitEntries(page, kEntries); }

struct Figures {
    double ms;
    size_t changedBytes;
    size_t fullBytes;
    size_t fileBytes;
};

int Run() {
    test::TempDir dir;
    const std::u16string path = dir.File(u"pages.vcset");
    ProfileStore store(PlatformFileSystem(), path);
    Records r;
    {
        ProfileBatch batch(store);
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
        r.UserPages.resize(kPages, r.UserPages[0]);
        r.GlobalSettings.PageCount = kPages;
        for (int i = 0; i < kPages; ++i) {
            r.UserPages[size_t(i)].Label = u"Page" + Dec(i + 1);
            r.UserPages[size_t(i)].Files = Entries(i);
            WritePage(r, store, i, WriteGroup::All);
        }
        WriteGlobalSettings(r, store);
    }
    const std::string original = test::ReadBytes(path);
    std::printf("settings file: %d pages of %d entries, %zu bytes\n", kPages, kEntries, original.size());

    // The text of the sections a command writes in full, in bytes.
    auto sectionsBytes = [&](int from, int to) {
        size_t n = 0;
        for (int i = from; i < to; ++i) n += store.Doc().SectionText(SectionNameOf(i)).size() * 2;
        return n;
    };

    auto measure = [&](const char* name, auto&& command, auto&& fullSections) {
        std::vector<double> times;
        Figures f{};
        for (int run = 0; run < 5; ++run) {
            test::WriteBytes(path, original);
            Records fresh;
            LoadDefaultPage(fresh, store);
            LoadSettings(fresh, store);
            auto a = std::chrono::steady_clock::now();
            {
                ProfileBatch batch(store);
                f.fullBytes = fullSections();
                command(fresh);
                WriteGlobalSettings(fresh, store);
                f.changedBytes = store.Doc().ChangedUnits() * 2;
            }
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
        }
        std::sort(times.begin(), times.end());
        f.ms = times[times.size() / 2];
        f.fileBytes = test::ReadBytes(path).size();
        std::printf("%s: %.1f ms, %zu bytes of text changed, %zu bytes when written in full, file %zu bytes\n", name,
                    f.ms, f.changedBytes, f.fullBytes, f.fileBytes);
        return f;
    };

    Figures add = measure("add", [&](Records& x) { AddPage(x, store); }, [&] { return sectionsBytes(0, kPages); });
    Figures dup = measure(
        "duplicate page 50", [&](Records& x) { DuplicatePage(x, store, 49); },
        [&] { return sectionsBytes(0, kPages) + sectionsBytes(49, kPages); });
    Figures del = measure(
        "delete page 50", [&](Records& x) { DeletePage(x, store, 49); }, [&] { return sectionsBytes(50, kPages); });

    bool ok = true;
    ok &= bench::Verdict("pages-add-time", add.ms, "ms", "<=", 100);
    ok &= bench::Verdict("pages-duplicate-time", dup.ms, "ms", "<=", 100);
    ok &= bench::Verdict("pages-delete-time", del.ms, "ms", "<=", 100);
    ok &= bench::Verdict("pages-add-written", double(add.fullBytes) / double(std::max<size_t>(add.changedBytes, 1)), "x less",
                         ">=", 10);
    ok &= bench::Verdict("pages-duplicate-written",
                         double(dup.fullBytes) / double(std::max<size_t>(dup.changedBytes, 1)), "x less", ">=", 10);
    ok &= bench::Verdict("pages-delete-written", double(del.fullBytes) / double(std::max<size_t>(del.changedBytes, 1)),
                         "x less", ">=", 10);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace vc

int main() { return vc::Run(); }
