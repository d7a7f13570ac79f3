// Libraries loaded by name come from the system folder only. The program
// runs from wherever the user unpacked it (Downloads, a USB stick), so a DLL
// that shares a system library's name and lies beside the exe must never be
// loaded in its place.
#pragma once

#include <windows.h>

namespace vc {

// Limits the DLL search of the whole process to the system folder, also for
// the libraries that system DLLs load on their own (the common controls load
// uxtheme.dll). Called first at start-up; whatever is loaded before it, the
// static imports and what their start-up code loads, is searched for in the
// exe's folder first, which is why the common controls are imported with
// delayed loading.
void RestrictDllSearchToSystem();

// The system library `name` (e.g. L"dwmapi.dll"), or nullptr.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace vc
