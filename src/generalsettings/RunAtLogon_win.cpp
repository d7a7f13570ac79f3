#include "generalsettings/RunAtLogon_win.h"

#include <windows.h>

#include <string>

#include "common/U16.h"
#include "common/Wide_win.h"
#include "generalsettings/RunAtLogon.h"

namespace vc {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::u16string ExePath() {
    std::u16string path(32768, u'\0');
    const DWORD n = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()), DWORD(path.size()));
    path.resize(n < path.size() ? n : 0);
    return path;
}

// The value of this copy's name, if there is one of string type.
bool StoredCommand(const Records& r, std::u16string& out) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    const std::u16string name = RunValueName(r.WindowName);
    DWORD type = 0, bytes = 0;
    bool ok = RegQueryValueExW(key, AsW(name), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ) && bytes < 65536;
    if (ok) {
        std::u16string value(bytes / 2 + 1, u'\0');
        ok = RegQueryValueExW(key, AsW(name), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) ==
             ERROR_SUCCESS;
        out = std::u16string(UpToNul(value));
    }
    RegCloseKey(key);
    return ok;
}

}  // namespace

bool RunsAtLogon(const Records& r) {
    std::u16string stored;
    return StoredCommand(r, stored) && RunCommandNamesThisCopy(stored, ExePath(), r.SettingsFilePath);
}

bool SetRunAtLogon(const Records& r, bool on) {
    if (!on && !RunsAtLogon(r)) return true;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const std::u16string name = RunValueName(r.WindowName);
    LSTATUS status;
    if (on) {
        const std::u16string command = RunCommand(ExePath(), r.SettingsFilePath);
        status = RegSetValueExW(key, AsW(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                DWORD((command.size() + 1) * sizeof(char16_t)));
    } else {
        status = RegDeleteValueW(key, AsW(name));
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace vc
