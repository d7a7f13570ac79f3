// Registered as an entry by the launch test: leaves the command line it was
// given, in UTF-16, in "<its path>.args".
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH + 8] = {};
    lstrcatW((GetModuleFileNameW(nullptr, path, MAX_PATH), path), L".args");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, GetCommandLineW(), DWORD(lstrlenW(GetCommandLineW()) * sizeof(wchar_t)), &written, nullptr);
    return !CloseHandle(file);
}
