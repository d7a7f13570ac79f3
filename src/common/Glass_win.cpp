#include "common/Glass_win.h"

#include "common/SystemLibrary_win.h"

namespace vc {
namespace {

// The desktop window manager, looked up on first use: it does not exist
// before Windows Vista.
struct Dwm {
    using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
    using ExtendFn = HRESULT(WINAPI*)(HWND, const int*);  // MARGINS: left, right, top, bottom
    IsEnabledFn isEnabled = nullptr;
    ExtendFn extend = nullptr;

    static const Dwm& Get() {
        static const Dwm dwm = [] {
            Dwm d;
            if (HMODULE lib = LoadSystemLibrary(L"dwmapi.dll")) {
                d.isEnabled = reinterpret_cast<IsEnabledFn>(
                    reinterpret_cast<void*>(GetProcAddress(lib, "DwmIsCompositionEnabled")));
                d.extend = reinterpret_cast<ExtendFn>(
                    reinterpret_cast<void*>(GetProcAddress(lib, "DwmExtendFrameIntoClientArea")));
            }
            return d;
        }();
        return dwm;
    }
};

}  // namespace

void ExtendGlassFrame(HWND dialog) {
    const Dwm& dwm = Dwm::Get();
    const int margins[4] = {0, 0, kGlassHeight, kGlassHeight};
    if (dwm.extend) dwm.extend(dialog, margins);
}

bool GlassAvailable(uint32_t windowsVersion) {
    if (windowsVersion < 600) return false;
    const Dwm& dwm = Dwm::Get();
    BOOL on = FALSE;
    return dwm.isEnabled && SUCCEEDED(dwm.isEnabled(&on)) && on;
}

}  // namespace vc
