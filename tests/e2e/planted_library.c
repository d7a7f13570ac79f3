/* Planted beside a copy of the program by the launch test: whoever loads it
   leaves an empty file "<its path>.loaded" behind. It exports nothing. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    wchar_t path[MAX_PATH + 8] = {0};
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(self, path, MAX_PATH) < MAX_PATH) {
        lstrcatW(path, L".loaded");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }
    return TRUE;
}
