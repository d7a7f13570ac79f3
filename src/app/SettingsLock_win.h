// One program per settings file. The file is named in many ways (a relative
// path, another case, a short name, a link, a subst drive), so its path is
// made final once at start; the run then holds a lock beside that final
// path, which another start finds whatever name it was given, in another
// session and from another computer on a share too.
#pragma once

#include <windows.h>

#include <string>

#include "app/SettingsLock.h"
#include "common/Handles_win.h"

namespace vc {

// The settings path made absolute, once at start: a relative name must not
// follow the current folder, which a file dialog may change.
std::u16string AbsoluteSettingsPath(const std::u16string& path);
// The name every spelling of the file shares, for its lock: links, short
// names and subst drives resolved, the case as the disk has it; for a file
// that does not exist yet, its folder's final path and its name. The file
// itself keeps the name it was given: its drive is the one drive-relative
// entries take.
std::u16string FinalSettingsPath(const std::u16string& absolutePath);

class SettingsLock {
public:
    enum class State {
        Held,       // this run holds it
        Elsewhere,  // another run does: see Holder()
        None,       // no lock can be made beside the file (a folder without create rights)
    };
    // Takes the lock of the settings file `finalPath`.
    State Acquire(const std::u16string& finalPath);
    // The run that holds the lock, as its lock says; waits a moment for a
    // run still starting to name its window.
    SettingsHolder Holder() const;
    // Names this run's window in the lock, for a later start to bring forward.
    void Publish(HWND window);
    // This computer and session, as a lock names them.
    static SettingsHolder Here();

private:
    std::u16string path_;
    FilePtr file_;  // deleted when it is closed: at exit, or when the process ends any way
};

}  // namespace vc
