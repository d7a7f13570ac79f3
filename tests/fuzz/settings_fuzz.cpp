// Arbitrary bytes as a settings file. Whatever they hold, the loader must
// give records that survive the program's own writes: load, store
// everything, load again gives the same records, and storing those again
// changes no byte. Between the two, another program changes a label, which
// the next store of the first run keeps. The odd byte of the input picks a Japanese system, where
// a file without mark is Shift_JIS.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/SettingsFile.h"
#include "support/Cp932.h"
#include "support/MemoryFileSystem.h"

// A native build of this file with a main of its own may say what differed.
#ifndef VC_FUZZ_FAIL
#define VC_FUZZ_FAIL(a, b) __builtin_trap()
#endif

namespace {

using namespace vc;

// The store keeps a reference to the records it loads: they stay in place.
void Load(ProfileStore& store, uint32_t version, Records& r) {
    r = Records{};
    r.WindowsVersion = version;
    ProfileBatch batch(store);
    LoadDefaultPage(r, store);
    LoadSettings(r, store);
}

// What is read but never stored: the sixth width (the hidden index column),
// and the template's own label, comment and entries, which nothing uses.
void DropUnstored(Records& r) {
    r.DefaultPage.PageColumnWidth[5] = 0;
    r.DefaultPage.Label.clear();
    r.DefaultPage.Comment.clear();
    r.DefaultPage.Files.clear();
    for (PageRecord& p : r.UserPages) p.PageColumnWidth[5] = 0;
    for (PageRecord& p : r.SpecialPages) p.PageColumnWidth[5] = 0;
}

bool Same(Records& a, Records& b) {
    DropUnstored(a);
    DropUnstored(b);
    const GlobalRecord &g = a.GlobalSettings, &h = b.GlobalSettings;
    return a.UserPages == b.UserPages && a.SpecialPages == b.SpecialPages && a.DefaultPage == b.DefaultPage &&
           g.xPosi == h.xPosi && g.yPosi == h.yPosi && g.xSize == h.xSize && g.ySize == h.ySize &&
           g.TabStyle == h.TabStyle && g.TabNumber == h.TabNumber && g.PageCount == h.PageCount &&
           g.LayerWindowLevel == h.LayerWindowLevel && g.TabFontName == h.TabFontName &&
           g.TabFontSize == h.TabFontSize && g.LabelColor1 == h.LabelColor1 && g.LabelColor2 == h.LabelColor2 &&
           g.LabelColor3 == h.LabelColor3 && g.LabelColor4 == h.LabelColor4 && g.LabelColor5 == h.LabelColor5 &&
           g.SpcialFolder == h.SpcialFolder && g.SpcialRecentFileNum == h.SpcialRecentFileNum && g.HotKey == h.HotKey &&
           a.CurrentPage == b.CurrentPage;
}

// Another program changes the first page's label while this run moves its
// window: a write of that page and of the window's place puts this run's
// change into their file and keeps theirs.
void ChangedOnBothSides(test::MemoryFileSystem& fs, const std::u16string& path, Records& r, ProfileStore& store) {
    ProfileDocument theirs = ProfileDocument::FromBytes(fs.files[path]);
    theirs.Put(u"Page1", u"Label", u"outside");
    fs.files[path] = theirs.ToBytes();
    r.GlobalSettings.xPosi += 1;
    {
        ProfileBatch batch(store);
        WritePage(r, store, 0, WriteGroup::All);
        WriteGlobalSettings(r, store);
    }
    r.UserPages[0].Label = u"outside";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::MemoryFileSystem fs;
    if (size % 2) fs.ansi = test::DecodeCp932;
    const std::u16string path = u"C:\\fuzz\\Vellumcraft.vcset";
    fs.files[path] = std::string(reinterpret_cast<const char*>(data), size);
    const uint32_t version = size % 3 ? 1000 : 500;

    // Each load and store share one batch: one read and at most one write.
    ProfileStore first(fs, path);
    Records a;
    {
        ProfileBatch batch(first);
        Load(first, version, a);
        if (a.UserPages.empty()) __builtin_trap();
        if (first.ReadOnly()) return 0;  // unreadable: never written
        // A thousand pages take the same road as a dozen, a hundred times
        // over: their round trip would take the time of hundreds of inputs.
        if (a.UserPages.size() > 16) return 0;
        StoreEverything(a, first);
    }
    // For a quarter of the inputs, of either parity: every input would cost
    // a fifth of the runs a second.
    if (size / 2 % 4 == 0) ChangedOnBothSides(fs, path, a, first);
    const std::string written = fs.files[path];

    ProfileStore second(fs, path);
    Records b;
    {
        ProfileBatch batch(second);
        Load(second, version, b);
        if (!Same(a, b)) VC_FUZZ_FAIL(a, b);
        StoreEverything(b, second);
    }
    if (fs.files[path] != written) VC_FUZZ_FAIL(a, b);
    return 0;
}
