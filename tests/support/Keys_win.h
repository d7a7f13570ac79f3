// Keys pressed for real, through the system's input: Windows decides which
// window gets them, as it does for the user.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace vc::test {

inline void Keys(std::initializer_list<BYTE> keys, DWORD up = 0) {
    for (BYTE k : keys) keybd_event(k, BYTE(MapVirtualKeyW(k, MAPVK_VK_TO_VSC)), up, 0);
}
// Each key down in order, then each up: a combination such as Ctrl+Alt+Space.
inline void Press(std::initializer_list<BYTE> keys) { Keys(keys), Keys(keys, KEYEVENTF_KEYUP); }

}  // namespace vc::test
