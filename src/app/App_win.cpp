#include "app/App_win.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/HostWindow_win.h"
#include "app/SettingsLock_win.h"
#include "app/Startup.h"
#include "common/ExecutableFolder_win.h"
#include "common/Handles_win.h"
#include "common/MessageBox_win.h"
#include "common/SystemLibrary_win.h"
#include "common/Wide_win.h"
#include "pageview/Lookups_win.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

namespace vc {

App& TheApp() {
    static App app;
    return app;
}

uint32_t DetermineWindowsVersion() {
    std::optional<RtlVersion> rtl;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
        if (fn && fn(&v) >= 0) rtl = RtlVersion{v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber};
    }
    return WindowsVersionFrom(rtl, [](uint32_t major, uint32_t minor) {
        OSVERSIONINFOEXW v{};
        v.dwOSVersionInfoSize = sizeof v;
        v.dwMajorVersion = major;
        v.dwMinorVersion = minor;
        v.wServicePackMajor = 0;
        ULONGLONG mask = 0;
        mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
        mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        return VerifyVersionInfoW(&v, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
    });
}

uint16_t DetermineCommonControlsVersion() {
    uint16_t version = 0;
    HMODULE lib = LoadSystemLibrary(L"comctl32.dll");
    if (!lib) return 0;
    auto fn = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(lib, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (fn && fn(&info) >= 0) version = CommonControlsVersionFrom(info.dwMajorVersion, info.dwMinorVersion);
    // Not freed: every window of the program needs the library moments
    // later, and freeing it here would unload it and load it all over again.
    return version;
}


namespace {
struct InstanceSearch {
    const std::u16string* caption;
    HWND found;
};

BOOL CALLBACK CheckTopLevel(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<InstanceSearch*>(lp);
    wchar_t title[128] = {};
    GetWindowTextW(w, title, int(std::size(title)));
    if (U16(title).find(*s->caption) != std::u16string::npos) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindRunningInstance(const std::u16string& caption) {
    InstanceSearch s{&caption, nullptr};
    EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void ActivateRunningInstance(HWND w) {
    if (IsIconic(w)) {
        OpenIcon(w);
        return;
    }
    // Hidden with the hotkey: starting the program again means "show it".
    if (!IsWindowVisible(w)) ShowWindow(w, SW_SHOW);
    BringWindowToTop(w);
    SetForegroundWindow(w);
    SetActiveWindow(w);
}

void LoadAllSettings(App& app) {
    ProfileBatch batch(app.store);  // one read of the file for both
    app.rec.DefaultPage = BuiltInDefaultPage();
    LoadDefaultPage(app.rec, app.store);
    LoadSettings(app.rec, app.store);
}

void DispatchOneMessage(App& app, MSG& msg) {
    if (app.HostWindow && app.accelerators && TranslateAcceleratorW(app.HostWindow, app.accelerators, &msg)) return;
    if (app.TabWindow && IsDialogMessageW(app.TabWindow, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void MeasurePlatform(Records& r) {
    r.WindowsVersion = DetermineWindowsVersion();
    r.CommonControlsVersion = DetermineCommonControlsVersion();
    if (r.WindowsVersion >= 600) SetProcessDPIAware();
}

void OpenSettingsFile(App& app, const SettingsFileChoice& choice) {
    Records& r = app.rec;
    r.SettingsFilePath = AbsoluteSettingsPath(choice.path);
    r.WindowName = choice.windowName;
    {
        WindowDC screen(nullptr);
        r.DpiX = float(GetDeviceCaps(screen.get(), LOGPIXELSX));
        r.DpiY = float(GetDeviceCaps(screen.get(), LOGPIXELSY));
    }
    app.store.SetPath(r.SettingsFilePath);
    LoadAllSettings(app);
}

void CreateProgramWindows(App& app, bool registerClass) {
    if (registerClass) RegisterHostClass(app.instance);
    app.HostWindow = CreateHostWindow(app);
    app.accelerators = LoadAcceleratorsW(app.instance, MAKEINTRESOURCEW(IDR_ACCEL));
}

int RunMessageLoop(App& app) {
    MSG msg{};
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return int(msg.wParam);
        if (got == -1) return 0;
        DispatchOneMessage(app, msg);
    }
}

namespace {

// A file another run holds: brought forward where it runs beside this one;
// from another session or computer, the user may open it without writing
// (true) or not at all (false). nullopt: the other run was brought forward.
std::optional<bool> OpenHeldFile(const SettingsHolder& holder, const std::u16string& path) {
    const SettingsHolder here = SettingsLock::Here();
    HWND window = reinterpret_cast<HWND>(uintptr_t(holder.window));
    DWORD process = 0;
    if (SameSeat(holder, here.machine, here.session) && IsWindow(window) &&
        GetWindowThreadProcessId(window, &process) && process == holder.process) {
        ActivateRunningInstance(window);
        return std::nullopt;
    }
    const std::u16string who = holder.machine.empty() ? u"" : u" (" + holder.machine + u")";
    const std::u16string text = u"設定ファイル \"" + path + u"\" は、ほかのセッションかコンピューターの Vellumcraft" + who +
                                u" が使用中です。\n開いても変更は保存されません。開きますか？";
    return ShowMessageBox(nullptr, kMessageBoxOkCancel, text) == kMessageBoxOk;
}

// A file that is there but cannot be read (another program holds it, a
// denial) is said once: the user may try again, or end here. Going on with
// defaults would show none of the user's pages.
bool ReadOrGiveUp(App& app) {
    while (app.store.ShutOut()) {
        const std::u16string text = u"設定ファイル \"" + app.rec.SettingsFilePath +
                                    u"\" を読み込めません。\nほかのプログラムが使用中か、読み取りが許可されていません。";
        if (!AskBetween(nullptr, text, u"再試行(&R)", u"終了(&X)")) return false;
        app.store.Retry();
        LoadAllSettings(app);
    }
    return true;
}

// Changes a close could not write were kept beside the file: the user may
// take them back before anything is read.
void OfferUnsavedChanges(App& app, const std::u16string& path) {
    FileSystem& fs = app.store.fs();
    const std::u16string unsaved = CompanionPathOf(path, u"_Unsaved");
    // Asked of the folder first: a read of a file that is not there looks
    // for a link gone astray, which is no work for every start.
    if (GetFileAttributesW(AsW(unsaved)) == INVALID_FILE_ATTRIBUTES) return;
    std::string bytes;
    if (fs.ReadAll(unsaved, bytes) != ReadResult::Ok || bytes.empty()) return;
    const std::u16string text = u"前回の終了時に保存できなかった変更が \"" + unsaved +
                                u"\" に残っています。\nこの内容を設定ファイルに戻しますか？\n(今の設定ファイルはバックアップとして残ります)";
    if (!AskBetween(nullptr, text, u"戻す(&R)", u"戻さない(&N)")) return;
    // The file as it is now is kept first, under the next free backup name.
    std::string current;
    if (fs.ReadAll(path, current) == ReadResult::Ok && !current.empty() && !KeepBackupOf(fs, path, current)) return;
    if (fs.ReplaceAtomically(path, bytes)) DeleteFileW(AsW(unsaved));
}

}  // namespace

int RunApplication(HINSTANCE instance, HINSTANCE previous) {
    // Before anything loads a library, so that none comes from beside the exe.
    RestrictDllSearchToSystem();
    App& app = TheApp();
    app.instance = instance;
    MeasurePlatform(app.rec);

    const std::u16string exeFolder = ExecutableFolder();
    const std::u16string commandLine = U16(GetCommandLineW());
    const std::u16string_view argument = ArgumentText(commandLine);
    // Without the executable's folder the default file would be found
    // wherever the current folder happens to be.
    if (argument.empty() && exeFolder.empty()) return 0;
    std::optional<SettingsFileChoice> choice = ChooseSettingsFile(argument, exeFolder);
    // A name that does not fit is refused whole rather than cut to another
    // file's name.
    if (!choice) return 0;
    // Named once: no later read or write depends on the current folder, and
    // every name of the file leads to the same lock.
    choice->path = AbsoluteSettingsPath(choice->path);
    SettingsLock lock;
    bool lookOnly = false;
    if (lock.Acquire(FinalSettingsPath(choice->path)) == SettingsLock::State::Elsewhere) {
        std::optional<bool> open = OpenHeldFile(lock.Holder(), choice->path);
        if (!open || !*open) return 0;
        lookOnly = true;
    }
    if (HWND running = FindRunningInstance(TabWindowCaption(choice->windowName))) {
        ActivateRunningInstance(running);
        return 0;
    }

    app.store.SetReadOnly(lookOnly);
    if (!lookOnly) OfferUnsavedChanges(app, choice->path);
    OpenSettingsFile(app, *choice);
    if (!ReadOrGiveUp(app)) return 0;
    CreateProgramWindows(app, !previous);
    lock.Publish(app.TabWindow);
    const int code = RunMessageLoop(app);
    // An entry opened just before the window closed still opens; look-ups
    // still out are not waited for.
    WaitForLaunches();
    app.rec.UserPages.clear();
    app.rec.UserPages.shrink_to_fit();
    return code;
}

}  // namespace vc
