// The settings file on a real Windows file system: every write replaces the
// file whole, and a file that cannot be written or read stays as it was.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include "common/Wide_win.h"
#include "e2e/AppProcess_win.h"
#include "settings/SettingsFile.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc {
namespace {

// The Linux name of a Windows path under Wine; empty elsewhere.
std::string UnixNameOf(const std::u16string& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(AsW(path)) : nullptr;
    if (!name) return {};
    std::string s = name;
    HeapFree(GetProcessHeap(), 0, name);
    return s;
}

// A symbolic link at `link` to the file `name` beside it. The links Wine
// makes itself cannot be opened, so under Wine it is a link of the Linux
// side; it is removed the same way, since Wine would delete its target.
bool MakeLink(const std::u16string& link, const std::u16string& name) {
    const std::string unix = UnixNameOf(link);
    if (unix.empty()) return CreateSymbolicLinkW(AsW(link), AsW(link.substr(0, link.rfind(u'\\') + 1) + name), 0);
    return e2e::RunLinuxCommand("ln -s '" + test::Narrow(name) + "' '" + unix + "'") == 0;
}

bool RemoveLink(const std::u16string& link) {
    const std::string unix = UnixNameOf(link);
    if (unix.empty()) return DeleteFileW(AsW(link));
    return e2e::RunLinuxCommand("rm -f '" + unix + "'") == 0;
}

// Whether a temporary file of a write (each named after the file) is left.
bool TemporaryFileBeside(const std::u16string& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(AsW(path + u"*.saving"), &found);
    return find != INVALID_HANDLE_VALUE && FindClose(find);
}

class SettingsFileWin : public ::testing::Test {
protected:
    test::TempDir dir;
    std::u16string path = dir.File(u"Vellumcraft.vcset");
    ProfileStore store{PlatformFileSystem(), path};
    Records r;

    void Load() {
        r = Records{};
        LoadDefaultPage(r, store);
        LoadSettings(r, store);
    }
    void ChangeSomething() {
        r.UserPages[0].Files = u"C:\\Windows\\notepad.exe\r\n";
        r.GlobalSettings.xPosi += 10;
    }
    void WriteAll() {
        ProfileBatch batch(store);
        WritePage(r, store, 0, WriteGroup::All);
        WriteGlobalSettings(r, store);
    }
};

TEST_F(SettingsFileWin, FirstStartWritesTheFileAndLeavesNoTemporaryFile) {
    Load();
    std::string bytes = test::ReadBytes(path);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::u16string text = test::TextOf(bytes);
    EXPECT_EQ(text.rfind(u";Vellumcraft\r\n\r\n[Vellumcraft]\r\nxPosi=230\r\n", 0), 0u);
    EXPECT_NE(text.find(u"\r\n\r\n[Page5]\r\nLabel=Page5\r\n"), std::u16string::npos);
    EXPECT_FALSE(TemporaryFileBeside(path));
    EXPECT_FALSE(test::FileExists(BackupPathOf(path)));
    EXPECT_EQ(store.WriteCount(), 1);
}

TEST_F(SettingsFileWin, ReadOnlyFileIsNotChanged) {
    Load();
    std::string before = test::ReadBytes(path);
    ASSERT_TRUE(SetFileAttributesW(AsW(path), FILE_ATTRIBUTE_READONLY));
    ChangeSomething();
    WriteAll();
    EXPECT_TRUE(store.LastWriteFailed());
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_FALSE(TemporaryFileBeside(path));
    SetFileAttributesW(AsW(path), FILE_ATTRIBUTE_NORMAL);
    WriteAll();
    EXPECT_FALSE(store.LastWriteFailed());
    EXPECT_NE(test::ReadBytes(path), before);
}

TEST_F(SettingsFileWin, FileHeldOpenByAnotherHandle) {
    Load();
    std::string before = test::ReadBytes(path);
    HANDLE other = CreateFileW(AsW(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ChangeSomething();
    WriteAll();
    EXPECT_FALSE(TemporaryFileBeside(path));
    CloseHandle(other);
    EXPECT_EQ(test::ReadBytes(path), before);
    WriteAll();
    EXPECT_NE(test::ReadBytes(path), before);
}

// A reader that shares everything (as scanners and indexers open files)
// still keeps the file from being replaced while it has it open.
TEST_F(SettingsFileWin, AReaderHoldingTheFileDelaysTheWriteWithoutLosingIt) {
    Load();
    const std::string before = test::ReadBytes(path);
    auto openReader = [&] {
        return CreateFileW(AsW(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    };
    HANDLE reader = openReader();
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(
        nullptr, 0,
        [](void* h) -> DWORD {
            Sleep(150);
            CloseHandle(h);
            return 0;
        },
        reader, 0, nullptr);
    ASSERT_TRUE(closer);
    ChangeSomething();
    WriteAll();
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_FALSE(store.LastWriteFailed());
    const std::string after = test::ReadBytes(path);
    EXPECT_NE(after, before);
    EXPECT_FALSE(TemporaryFileBeside(path));

    // One that never lets go: the write fails after a while, and the file is
    // the one before it, whole.
    reader = openReader();
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    r.GlobalSettings.xPosi += 10;
    WriteAll();
    EXPECT_TRUE(store.LastWriteFailed());
    CloseHandle(reader);
    EXPECT_EQ(test::ReadBytes(path), after);
    EXPECT_FALSE(TemporaryFileBeside(path));
}

TEST_F(SettingsFileWin, FileHeldOpenAtStartUpIsNeverOverwrittenWithDefaults) {
    std::string users = test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=12\r\n[Page12]\r\nLabel=Mine\r\n");
    ASSERT_TRUE(test::WriteBytes(path, users));
    HANDLE other = CreateFileW(AsW(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    Load();
    CloseHandle(other);
    EXPECT_EQ(r.GlobalSettings.PageCount, 5);  // defaults for this run
    ChangeSomething();
    WriteAll();
    EXPECT_EQ(test::ReadBytes(path), users);
    EXPECT_FALSE(test::FileExists(BackupPathOf(path)));
}

TEST_F(SettingsFileWin, FileHeldOpenForWritingIsReadAndABriefLockIsWaitedFor) {
    std::string users = test::Utf16LE(u";Vellumcraft\r\n[Vellumcraft]\r\nPageCount=12\r\n[Page12]\r\nLabel=Mine\r\n");
    ASSERT_TRUE(test::WriteBytes(path, users));
    // An editor or a sync tool with the file open for writing.
    HANDLE writer = CreateFileW(AsW(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Load();
    CloseHandle(writer);
    EXPECT_EQ(r.UserPages[11].Label, u"Mine");
    // A program that holds it exclusively for a moment.
    HANDLE exclusive = CreateFileW(AsW(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    HANDLE release = CreateThread(
        nullptr, 0, [](void* h) -> DWORD { return Sleep(150), CloseHandle(h), 0; }, exclusive, 0, nullptr);
    Load();
    WaitForSingleObject(release, INFINITE);
    CloseHandle(release);
    EXPECT_EQ(r.UserPages[11].Label, u"Mine");
    EXPECT_FALSE(store.ReadOnly());
}

TEST_F(SettingsFileWin, LongPathsLinksAndAttributesSurviveAWrite) {
    // A settings path of 260 characters: its temporary file is longer.
    std::u16string folder = dir.path();
    while (folder.size() < 230) {
        folder += u"\\" + std::u16string(std::min<size_t>(230 - folder.size(), 40) + 1, u'd');
        ASSERT_TRUE(CreateDirectoryW(AsW(folder), nullptr)) << test::Narrow(folder);
    }
    const std::u16string longPath = folder + u"\\" + std::u16string(259 - folder.size() - 6, u'n') + u".vcset";
    ASSERT_EQ(longPath.size(), 260u);
    for (const std::u16string& p : {longPath}) {
        store.SetPath(p);
        Load();
        ChangeSomething();
        WriteAll();
        EXPECT_FALSE(store.LastWriteFailed());
        Load();
        EXPECT_EQ(r.UserPages[0].Files, u"C:\\Windows\\notepad.exe\r\n");
    }

    // A hidden file stays hidden.
    store.SetPath(path);
    Load();
    ASSERT_TRUE(SetFileAttributesW(AsW(path), FILE_ATTRIBUTE_HIDDEN));
    ChangeSomething();
    WriteAll();
    EXPECT_FALSE(store.LastWriteFailed());
    EXPECT_TRUE(GetFileAttributesW(AsW(path)) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(SetFileAttributesW(AsW(path), FILE_ATTRIBUTE_NORMAL));

    // A link to the file: the file it points at gets the new text.
    const std::u16string link = dir.File(u"Link.vcset");
    ASSERT_TRUE(MakeLink(link, u"Vellumcraft.vcset"));
    store.SetPath(link);
    Load();
    r.GlobalSettings.xPosi = 4321;
    WriteAll();
    EXPECT_FALSE(store.LastWriteFailed());
    EXPECT_NE(test::TextOf(test::ReadBytes(path)).find(u"xPosi=4321"), std::u16string::npos);
    EXPECT_TRUE(RemoveLink(link));
}

TEST_F(SettingsFileWin, InterruptedReplaceLeavesTheOldFileWhole) {
    Load();
    std::string before = test::ReadBytes(path);
    static bool tempWritten;
    tempWritten = false;
    SetBeforeReplaceHook([](const std::u16string& temp) {
        tempWritten = test::FileExists(temp);
        return false;
    });
    ChangeSomething();
    WriteAll();
    SetBeforeReplaceHook(nullptr);
    EXPECT_TRUE(tempWritten);
    EXPECT_TRUE(store.LastWriteFailed());
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_FALSE(TemporaryFileBeside(path));
}

// A link to a USB stick or a share that is not there is the user's file out
// of reach, not a missing one: nothing takes the link's place. A name that
// is denied for good (here a folder's) is not waited for.
TEST_F(SettingsFileWin, FilesOutOfReachAreUnreadableAndKept) {
    const std::u16string link = dir.File(u"Away.vcset");
    ASSERT_TRUE(MakeLink(link, u"Unplugged.vcset"));
    store.SetPath(link);
    Load();
    EXPECT_TRUE(store.FileUnreadable());
    ChangeSomething();
    WriteAll();
    EXPECT_EQ(e2e::RunLinuxCommand("test -L '" + UnixNameOf(link) + "'"), 0);
    EXPECT_FALSE(test::FileExists(dir.File(u"Unplugged.vcset")));
    EXPECT_TRUE(RemoveLink(link));
    store.SetPath(dir.path());
    const ULONGLONG start = GetTickCount64();
    Load();
    EXPECT_TRUE(store.FileUnreadable());
    EXPECT_LT(GetTickCount64() - start, 1000u);
}

// Two programs writing at the same moment each write a temporary file of
// their own, and the last one's file is whole. A temporary file a crash left
// long ago is cleared away, none of a write still going on.
TEST_F(SettingsFileWin, TwoWritersAtOnceKeepApartAndLeaveNoTemporaryFiles) {
    Load();
    HANDLE f = CreateFileW(AsW(path + u".1-1.saving"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, 0);
    const FILETIME longAgo{0, 0x01D00000};
    ASSERT_TRUE(SetFileTime(f, nullptr, nullptr, &longAgo) && CloseHandle(f));
    static std::u16string settings;
    static bool otherWrote;
    settings = path;
    SetBeforeReplaceHook([](const std::u16string&) {
        SetBeforeReplaceHook(nullptr);
        return otherWrote = PlatformFileSystem().ReplaceAtomically(settings, test::Utf16LE(u";other\r\n"));
    });
    ChangeSomething();
    WriteAll();
    EXPECT_TRUE(otherWrote && !store.LastWriteFailed());
    Load();
    EXPECT_EQ(r.UserPages[0].Files, u"C:\\Windows\\notepad.exe\r\n");
    EXPECT_FALSE(TemporaryFileBeside(path));
}

// A folder the user may not create files in, with a grant on the file alone
// (here made immutable on the Linux side): the file is written in place, its
// old bytes kept elsewhere and put back on failure or at a read after a crash.
TEST_F(SettingsFileWin, AFolderWithoutCreateRightsHasTheFileWrittenInPlace) {
    Load();
    const std::string before = test::ReadBytes(path);
    static std::string folder, file;
    folder = UnixNameOf(dir.path());
    if (folder.empty() || e2e::RunLinuxCommand("chattr +i '" + folder + "'") != 0) GTEST_SKIP() << "no such folder";
    static std::u16string copy;
    static bool newBytesIn;
    file = UnixNameOf(path);
    // Stopped with the new bytes in (asked of the Linux side: the file is held), the copy as a crash leaves it.
    SetBeforeReplaceHook([](const std::u16string& kept) {
        copy = kept;
        newBytesIn = e2e::RunLinuxCommand("grep -qa 'n.o.t.e.p.a.d' '" + file + "'") == 0;
        return !CopyFileW(AsW(kept), AsW(kept + u".crash"), FALSE);
    });
    ChangeSomething();
    WriteAll();
    SetBeforeReplaceHook(nullptr);
    EXPECT_TRUE(store.LastWriteFailed() && newBytesIn);
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_FALSE(test::FileExists(copy));
    EXPECT_TRUE(MoveFileW(AsW(copy + u".crash"), AsW(copy)));
    EXPECT_TRUE(test::WriteBytes(path, before.substr(0, before.size() / 2)));
    std::string read;
    EXPECT_EQ(PlatformFileSystem().ReadAll(path, read), ReadResult::Ok);
    EXPECT_EQ(read, before);
    EXPECT_FALSE(test::FileExists(copy));
    WriteAll();
    EXPECT_FALSE(store.LastWriteFailed());
    EXPECT_NE(test::ReadBytes(path).find(test::Utf16LE(u"notepad.exe", false)), std::string::npos);
    EXPECT_FALSE(test::FileExists(copy));
    e2e::RunLinuxCommand("chattr -i '" + folder + "'");
}

TEST_F(SettingsFileWin, MissingFolderStartsOnDefaultsAndWritesNothing) {
    std::u16string gone = dir.File(u"no-such-folder\\Vellumcraft.vcset");
    store.SetPath(gone);
    Load();
    EXPECT_EQ(r.UserPages.size(), 5u);
    EXPECT_EQ(r.UserPages[4].Label, u"Page5");
    EXPECT_TRUE(store.LastWriteFailed());
    EXPECT_FALSE(test::FileExists(gone));
}

TEST_F(SettingsFileWin, ConversionKeepsTheFirstBackup) {
    std::string old = "[Vellumcraft]\r\nPageCount=1\r\n[Page1]\r\nLabel=Old\r\n";
    std::string earlier = "an earlier backup";
    ASSERT_TRUE(test::WriteBytes(path, old));
    Load();
    EXPECT_EQ(test::ReadBytes(BackupPathOf(path)), old);
    EXPECT_EQ(r.UserPages[0].Label, u"Old");
    ASSERT_TRUE(test::WriteBytes(path, old));
    ASSERT_TRUE(test::WriteBytes(BackupPathOf(path), earlier));
    Load();
    EXPECT_EQ(test::ReadBytes(BackupPathOf(path)), earlier);
    EXPECT_EQ(test::ReadBytes(path).substr(0, 2), "\xFF\xFE");
}

}  // namespace
}  // namespace vc
