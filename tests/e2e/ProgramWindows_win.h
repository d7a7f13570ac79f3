// The windows of the program under test, looked at and driven from another
// process: the end-to-end suites share these rather than each keep a copy.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

namespace vc::e2e {

// The program's control and command ids. Written out rather than taken from
// its headers: the suites see the program only from outside, as a user's
// tools would.
constexpr int kTabStripId = 1002, kPageListId = 1044;
constexpr UINT kAddPage = 1061, kDuplicatePage = 1062, kDeletePage = 1063, kSelectPage = 10000;
constexpr int kYes = 6, kNo = 7;

// A message to another process's window that cannot hang the test. A sent
// message also waits for every message posted before it to that thread, so
// once it returns the commands posted earlier have run to their end.
inline LRESULT Ask(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, 2000, &result)) return -100;
    return LRESULT(result);
}

inline HWND TabStrip(HWND tabWindow) { return GetDlgItem(tabWindow, kTabStripId); }
inline int SelectedTab(HWND tabWindow) { return int(Ask(TabStrip(tabWindow), TCM_GETCURSEL)); }
inline int TabCount(HWND tabWindow) { return int(Ask(TabStrip(tabWindow), TCM_GETITEMCOUNT)); }

// The list of the page pane that is shown now, or null between panes.
inline HWND PageList(HWND tabWindow) {
    for (HWND child = FindWindowExW(tabWindow, nullptr, L"#32770", nullptr); child;
         child = FindWindowExW(tabWindow, child, L"#32770", nullptr))
        if (HWND list = GetDlgItem(child, kPageListId)) return list;
    return nullptr;
}

// A block of memory inside the program, for the control messages that take
// a pointer: the control reads and writes it in its own address space.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size)
        : process_(process), at_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    explicit operator bool() const { return at_ != nullptr; }
    char* at(size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    LPARAM param() const { return LPARAM(at_); }
    bool Put(const void* data, size_t n, size_t offset = 0) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, at(offset), data, n, &done) && done == n;
    }
    bool Get(void* data, size_t n, size_t offset = 0) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, at(offset), data, n, &done) && done == n;
    }

private:
    HANDLE process_;
    void* at_;
};

// The text of one column of a list item, or nullopt when it cannot be read.
inline std::optional<std::u16string> ItemText(HANDLE process, HWND list, int item, int column) {
    constexpr size_t kChars = 260;
    RemoteBlock block(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof it));
    it.cchTextMax = int(kChars);
    char16_t text[kChars] = {};
    if (!block || !block.Put(&it, sizeof it) || Ask(list, LVM_GETITEMTEXTW, WPARAM(item), block.param()) < 0 ||
        !block.Get(text, sizeof text, sizeof it))
        return std::nullopt;
    text[kChars - 1] = 0;
    return std::u16string(text);
}

}  // namespace vc::e2e
