// The program's entry point.
#include <windows.h>

#include "app/App_win.h"

// The 8-bit command line is not used: it has lost every character outside
// the ANSI code page. The program reads the UTF-16 one itself.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
    return vc::RunApplication(instance, previous);
}
