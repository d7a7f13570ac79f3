#include "app/SettingsLock_win.h"

#include <chrono>
#include <thread>

#include "common/Wide_win.h"

namespace vc {

namespace {

// The path GetFinalPathNameByHandleW gives, without the prefix that lifts
// the length limit (the program keeps classic paths).
std::u16string FinalPathOf(HANDLE h) {
    wchar_t buf[1024];
    const DWORD n = GetFinalPathNameByHandleW(h, buf, DWORD(std::size(buf)), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= std::size(buf)) return {};
    std::u16string p = U16(buf);
    if (p.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + p.substr(8);
    if (p.rfind(u"\\\\?\\", 0) == 0) return p.substr(4);
    return p;
}

}  // namespace

std::u16string AbsoluteSettingsPath(const std::u16string& path) {
    const DWORD need = GetFullPathNameW(AsW(path), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::u16string full(need, u'\0');
    const DWORD got = GetFullPathNameW(AsW(path), need, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    return full;
}

namespace {

// Opens a file or a folder only to ask for its final path.
FilePtr OpenToName(const std::u16string& path) {
    return OwnedFile(CreateFileW(AsW(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::string ReadSmallFile(HANDLE h) {
    char buf[1024];
    DWORD got = 0;
    if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(h, buf, DWORD(sizeof buf), &got, nullptr))
        return {};
    return std::string(buf, got);
}

}  // namespace

std::u16string FinalSettingsPath(const std::u16string& full) {
    if (FilePtr f = OpenToName(full)) {
        const std::u16string final = FinalPathOf(f.get());
        return final.empty() ? full : final;
    }
    const size_t slash = full.rfind(u'\\');
    if (slash == std::u16string::npos) return full;
    FilePtr folder = OpenToName(full.substr(0, slash));
    const std::u16string finalFolder = folder ? FinalPathOf(folder.get()) : std::u16string();
    return finalFolder.empty() ? full : finalFolder + full.substr(slash);
}

SettingsHolder SettingsLock::Here() {
    SettingsHolder h;
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = DWORD(std::size(name));
    if (GetComputerNameW(name, &size)) h.machine = U16(name);
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session)) h.session = session;
    h.process = GetCurrentProcessId();
    return h;
}

SettingsLock::State SettingsLock::Acquire(const std::u16string& finalPath) {
    path_ = LockPathFor(finalPath);
    // Others may read who holds it, but none may hold it too. The system
    // deletes it when the handle closes, however the program ends.
    file_ = OwnedFile(CreateFileW(AsW(path_), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file_) return GetLastError() == ERROR_SHARING_VIOLATION ? State::Elsewhere : State::None;
    Publish(nullptr);
    return State::Held;
}

SettingsHolder SettingsLock::Holder() const {
    // A run still starting names its window once the window exists.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    const SettingsHolder here = Here();
    std::optional<SettingsHolder> h;
    for (;;) {
        FilePtr f = OwnedFile(CreateFileW(AsW(path_), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        if (f) h = ParseHolder(ReadSmallFile(f.get()));
        const bool waiting = !h || (h->window == 0 && SameSeat(*h, here.machine, here.session));
        if (!waiting || std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return h.value_or(SettingsHolder{});
}

void SettingsLock::Publish(HWND window) {
    if (!file_) return;
    SettingsHolder h = Here();
    h.window = uint64_t(reinterpret_cast<uintptr_t>(window));
    const std::string text = HolderText(h);
    DWORD put = 0;
    if (SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return;
    WriteFile(file_.get(), text.data(), DWORD(text.size()), &put, nullptr);
    SetEndOfFile(file_.get());
    FlushFileBuffers(file_.get());
}

}  // namespace vc
