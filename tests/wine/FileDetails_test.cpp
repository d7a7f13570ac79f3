// Entry details from real files and folders: searching and opening them,
// the column texts of list items, and icons from the shell.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails_win.h"

namespace vc {
namespace {

const uint64_t kWritten = 132682340960000000;  // 2021-06-15 12:34:56 UTC

// Files made in a folder of the user's documents folder, so that locations
// show a bracketed name; removed again after each test.
class FileDetailsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        InitCommonControls();
    }
    void SetUp() override {
        wchar_t docs[MAX_PATH];
        ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, docs), S_OK);
        name = u"vc-details-" + Dec(int64_t(GetCurrentProcessId()));
        dir = U16(docs) + u"\\" + name;
        ASSERT_TRUE(CreateDirectoryW(AsW(dir), nullptr));
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            SetFileAttributesW(AsW(*it), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(AsW(*it))) RemoveDirectoryW(AsW(*it));
        }
        RemoveDirectoryW(AsW(dir));
    }
    // A file of `size` bytes, or a folder when size < 0, written at kWritten.
    std::u16string Make(std::u16string_view leaf, int size, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::u16string path = dir + u"\\" + std::u16string(leaf);
        if (size < 0) {
            EXPECT_TRUE(CreateDirectoryW(AsW(path), nullptr));
        }
        HANDLE h = CreateFileW(AsW(path), GENERIC_WRITE, 0, nullptr, size < 0 ? OPEN_EXISTING : CREATE_ALWAYS,
                               attributes | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        std::string bytes(size_t(size < 0 ? 0 : size), 'x');
        DWORD put = 0;
        if (size > 0) WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
        FILETIME t = {DWORD(kWritten), DWORD(kWritten >> 32)};
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &t));
        CloseHandle(h);
        made.push_back(path);
        return path;
    }
    std::u16string name, dir;
    std::vector<std::u16string> made;
};

TEST_F(FileDetailsTest, SearchFillsFilesAndAllowedFoldersOnly) {
    FileEntry e;
    std::u16string report = Make(u"report.docx", 12345);
    ASSERT_TRUE(FillFromSearch(report, false, e));
    EXPECT_EQ(e.Path, report);
    EXPECT_EQ(e.LastWriteTime, kWritten);
    EXPECT_EQ(e.Size, 12345);
    EXPECT_EQ(e.NameOffset, dir.size() + 1);
    EXPECT_EQ(e.TypeOffset, int16_t(report.size() - 4));

    std::u16string sub = Make(u"Sub.dir", -1);
    ASSERT_TRUE(FillFromSearch(sub, true, e));
    EXPECT_EQ(e.Size, 0);
    EXPECT_EQ(e.LastWriteTime, kWritten);
    EXPECT_EQ(e.TypeOffset, -1);

    const std::u16string refused[] = {
        sub, Make(u"hidden.txt", 1, FILE_ATTRIBUTE_HIDDEN), dir + u"\\missing.txt",
        dir + u"\\*.docx",  // would find report.docx
        dir + u"\\Sub.dir\\..", u"", dir + u"\\" + std::u16string(300, u'n'),
    };
    for (const std::u16string& path : refused) {
        FileEntry untouched;
        untouched.Size = 8;
        EXPECT_FALSE(FillFromSearch(path, false, untouched)) << ToUtf8(path);
        EXPECT_EQ(untouched.Size, 8);
        EXPECT_EQ(untouched.Path, u"");
    }
}

TEST_F(FileDetailsTest, FileFillsWhatCanBeOpened) {
    FileEntry hidden, sub, gone;
    hidden.Path = Make(u"hidden.bin", 10000, FILE_ATTRIBUTE_HIDDEN);
    FillFromFile(hidden);
    EXPECT_EQ(hidden.Size, 10000);
    EXPECT_EQ(hidden.LastWriteTime, kWritten);
    // A folder cannot be opened for reading: its time stays unknown.
    sub.Path = Make(u"Sub.dir", -1);
    sub.LastWriteTime = sub.Size = 5;
    FillFromFile(sub);
    EXPECT_EQ(sub.Size, 0);
    EXPECT_EQ(sub.LastWriteTime, 0u);
    EXPECT_EQ(sub.TypeOffset, -1);
    gone.Path = u"C:\\nowhere\\gone.txt";
    gone.LastWriteTime = gone.Size = 5;
    FillFromFile(gone);
    EXPECT_EQ(gone.Size, 0);
    EXPECT_EQ(gone.LastWriteTime, 0u);
    EXPECT_EQ(gone.TypeOffset, 16);
}

TEST(FileDates, UserFormatsWithoutSeconds) {
    EXPECT_EQ(DateTextOf(0, true, kDateColumnCapacity), u"-----");
    EXPECT_EQ(DateTextOf(UINT64_MAX, true, kDateColumnCapacity), u"-----");  // no calendar time
    ASSERT_EQ(LocalCalendarTime(kWritten)->Second, 56);
    std::u16string plain = DateTextOf(kWritten, false, kDateColumnCapacity);
    EXPECT_NE(plain.find(u"2021"), std::u16string::npos) << ToUtf8(plain);
    EXPECT_EQ(plain.find(u"56"), std::u16string::npos) << ToUtf8(plain);
    EXPECT_EQ(DateTextOf(kWritten, true, kDateColumnCapacity), u"更新日 : " + plain);
}

std::u16string ItemText(HWND list, int item, int column) {
    wchar_t buf[300] = L"";
    LVITEMW it = {};
    it.iSubItem = column, it.pszText = buf, it.cchTextMax = int(std::size(buf));
    SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), LPARAM(&it));
    return U16(buf);
}

TEST_F(FileDetailsTest, ItemsShowTheSixColumns) {
    std::vector<FileEntry> e(4);
    ASSERT_TRUE(FillFromSearch(Make(u"big.dat", 1234567), false, e[0]));
    ASSERT_TRUE(FillFromSearch(Make(u"README", 0), false, e[1]));
    ASSERT_TRUE(FillFromSearch(Make(u"three", -1), true, e[2]));
    e[3].Path = dir + u"\\gone.txt";  // a missing file keeps what its text says
    FillFromFile(e[3]);
    const KnownFolderPaths known = CurrentKnownFolderPaths();
    const std::u16string here = u"[Documents]  > " + name;
    using Row = std::array<std::u16string, kColumnCount>;
    const std::u16string date = DateTextOf(kWritten, false, kDateColumnCapacity);
    const Row rows[] = {{u"big", date, u"1234 kB", here, u"dat", u"0"},
                        {u"README", date, u"0 B", here, u"", u"1"},
                        {u"three", date, u"---", here, u"---", u"2"},
                        {u"gone", u"-----", u"0 B", here, u"txt", u"3"}};

    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
    LVCOLUMNW col = {LVCF_WIDTH, 0, 100};
    for (int c = 0; c < kColumnCount; ++c) SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(c), LPARAM(&col));
    // Entry 3 first: with fewer items its item goes to the end.
    EXPECT_EQ(CreateItem(list, 3, e[3], 13, rows[3][0], known), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(CreateItem(list, i, e[size_t(i)], 10 + i, rows[i][0], known), i);
    EXPECT_EQ(CreateItem(list, -1, e[0], 3, u"x", known), -1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ColumnTexts(e[size_t(i)], i, rows[i][0], known), rows[i]) << i;
        for (int c = 2; c < kColumnCount; ++c) EXPECT_EQ(ItemText(list, i, c), rows[i][size_t(c)]) << i;
        LVITEMW it = {LVIF_IMAGE | LVIF_PARAM, i};
        SendMessageW(list, LVM_GETITEMW, 0, LPARAM(&it));
        EXPECT_EQ(it.iImage, 10 + i);
        EXPECT_EQ(it.lParam, LPARAM(&e[size_t(i)]));
    }
    DestroyWindow(list);
    EXPECT_EQ(LocationTextOf(dir), here);
    EXPECT_EQ(ColumnTexts(FileEntry{}, 0, u"", known)[3], u"---");  // no full path
}

TEST_F(FileDetailsTest, EveryEntryAddsOneIconToEachList) {
    FileEntry file, sub, gone;
    ASSERT_TRUE(FillFromSearch(Make(u"run.exe", 100), false, file));
    ASSERT_TRUE(FillFromSearch(Make(u"sub", -1), true, sub));
    gone.Path = dir + u"\\gone.unknown-type";
    for (uint32_t version : {1000u, 500u}) {
        HIMAGELIST lists[3];
        for (int s = 0; s < 3; ++s) {
            lists[s] = ImageList_Create(16 << s, 16 << s, ILC_COLOR32 | ILC_MASK, 0, 4);
            for (int fixed = 0; fixed < 3; ++fixed)
                ImageList_ReplaceIcon(lists[s], -1, LoadIconW(nullptr, IDI_APPLICATION));
        }
        int n = 3;
        for (const FileEntry* e : {&file, &sub, &gone, &file}) {
            FetchIcons(*e, lists[0], lists[1], version >= 510 ? lists[2] : nullptr, version);
            ++n;
            EXPECT_EQ(ImageList_GetImageCount(lists[0]), n) << version;
            EXPECT_EQ(ImageList_GetImageCount(lists[1]), n) << version;
            EXPECT_EQ(ImageList_GetImageCount(lists[2]), version >= 510 ? n : 3) << version;
        }
        for (HIMAGELIST l : lists) ImageList_Destroy(l);
    }
    HIMAGELIST empty = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    EXPECT_TRUE(FetchIcon(FileEntry{}, IconSize::Small, empty, 1000));  // no path, no images to copy
    EXPECT_EQ(ImageList_GetImageCount(empty), 1);
    ImageList_Destroy(empty);
}

TEST_F(FileDetailsTest, EntriesWithTheSameIconShareItsImages) {
    FileEntry a, b, program, sub, gone;
    ASSERT_TRUE(FillFromSearch(Make(u"a.txt", 1), false, a));
    ASSERT_TRUE(FillFromSearch(Make(u"b.txt", 2), false, b));
    ASSERT_TRUE(FillFromSearch(Make(u"run.exe", 100), false, program));
    ASSERT_TRUE(FillFromSearch(Make(u"sub", -1), true, sub));
    gone.Path = u"Q:\\nowhere\\gone.unknown-type";
    for (uint32_t version : {1000u, 500u}) {
        HIMAGELIST lists[3];
        for (int s = 0; s < 3; ++s) {
            lists[s] = ImageList_Create(16 << s, 16 << s, ILC_COLOR32 | ILC_MASK, 0, 4);
            for (int fixed = 0; fixed < 3; ++fixed)
                ImageList_ReplaceIcon(lists[s], -1, LoadIconW(nullptr, IDI_APPLICATION));
        }
        SharedIcons icons;
        icons.Reset(lists[0], lists[1], version >= 510 ? lists[2] : nullptr, version);
        const int ia = icons.Add(a), ib = icons.Add(b), ip = icons.Add(program), is = icons.Add(sub);
        const int ig = icons.Add(gone), ia2 = icons.Add(a);
        EXPECT_EQ(ia, 3) << version;
        EXPECT_NE(is, ia) << version;
        EXPECT_NE(ig, ia) << version;
        if (version >= 510) {
            EXPECT_EQ(ib, ia);  // same type, same picture: one image
            EXPECT_EQ(ia2, ia);
        } else {
            // Without the system image list nothing tells two icons alike.
            EXPECT_EQ(std::vector<int>({ib, ip, is, ig, ia2}), std::vector<int>({4, 5, 6, 7, 8}));
        }
        // The lists grow together, so an image index means the same entry in each.
        const int count = ImageList_GetImageCount(lists[0]);
        EXPECT_EQ(ImageList_GetImageCount(lists[1]), count) << version;
        EXPECT_EQ(ImageList_GetImageCount(lists[2]), version >= 510 ? count : 3) << version;
        EXPECT_EQ(count, 1 + std::max({ia, ib, ip, is, ig, ia2})) << version;
        for (HIMAGELIST l : lists) ImageList_Destroy(l);
    }
    SharedIcons none;
    EXPECT_EQ(none.Add(a), -1);
}

}  // namespace
}  // namespace vc
