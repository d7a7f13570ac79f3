// Starts the program's real windows in the test process on a settings file
// the test writes, and pumps their messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>

#include "app/App_win.h"
#include "app/HostWindow_win.h"
#include "settings/SettingsFile.h"
#include "support/StartProgram_win.h"
#include "support/TempDir_win.h"
#include "support/Utf16File.h"

namespace vc::test {

// Answers the program's next question box with `button` (IDYES, IDNO, ...)
// as soon as it shows; call it just before the command that asks.
inline int& PendingAnswer() {
    static int answer = 0;
    return answer;
}
inline void CALLBACK AnswerWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Vellumcraft");
    if (!box) return;
    KillTimer(nullptr, id);
    SendMessageW(GetDlgItem(box, PendingAnswer()), BM_CLICK, 0, 0);
}
inline void AnswerNextBox(int button) {
    PendingAnswer() = button;
    SetTimer(nullptr, 0, 50, AnswerWhenShown);
}

class AppFixture : public ::testing::Test {
protected:
    TempDir dir;
    std::u16string path = dir.File(u"Host.vcset");

    // Starts the program's windows on a settings file holding `text`.
    App& Start(std::u16string_view text = u"") {
        if (!text.empty()) WriteBytes(path, Utf16LE(text));
        return StartProgram(path, u"Host");
    }

    void Close() {
        App& app = TheApp();
        if (app.HostWindow) SendMessageW(app.HostWindow, WM_CLOSE, 0, 0);
        Pump();
    }

    void TearDown() override { Close(); }

    // Runs the queue dry; true when the quit message came.
    static bool Pump() {
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quit = true;
            else DispatchOneMessage(TheApp(), msg);
        }
        return quit;
    }

    // Pumps until `done` holds, for about ten seconds at most: a page loads,
    // a worker's look-up comes back.
    template <class Done>
    static bool PumpUntil(Done done) {
        for (int i = 0; i < 200 && !done(); ++i)
            if (!Pump() && !done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        return done();
    }

    // The settings as a fresh start would read them from the file.
    Records Reload() {
        App fresh;
        fresh.store.SetPath(path);
        LoadAllSettings(fresh);
        return fresh.rec;
    }
};

}  // namespace vc::test
