#include "common/CommonDialogs_win.h"

#include "common/SystemLibrary_win.h"

namespace vc::dialogs {
namespace {

template <class Fn>
Fn Resolve(const char* name) {
    static HMODULE lib = LoadSystemLibrary(L"comdlg32.dll");
    return lib ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name))) : nullptr;
}

}  // namespace

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) {
    static auto fn = Resolve<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    return fn ? fn(ofn) : FALSE;
}

BOOL ChooseColorW(CHOOSECOLORW* cc) {
    static auto fn = Resolve<BOOL(WINAPI*)(CHOOSECOLORW*)>("ChooseColorW");
    return fn ? fn(cc) : FALSE;
}

BOOL ChooseFontW(CHOOSEFONTW* cf) {
    static auto fn = Resolve<BOOL(WINAPI*)(CHOOSEFONTW*)>("ChooseFontW");
    return fn ? fn(cf) : FALSE;
}

}  // namespace vc::dialogs
