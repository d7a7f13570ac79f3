// The program's entry point.
#include <windows.h>

#include "app/App_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    return vc::RunApplication(instance, previous, commandLine);
}
