// The program's own message box: the request a caller fills in and the
// arithmetic that fits the box to its text and puts it over its owner.
// Portable: no windows.h; the dialog itself is in MessageBox_win.
#pragma once

#include <cstdint>

#include "common/Placement.h"

namespace vc {

// Button sets: zero asks for OK and Cancel, anything else for Yes and No. The
// two yes/no values are those of MB_YESNO (the "make these the defaults"
// questions) and MB_YESNO | MB_DEFBUTTON2 (the delete confirmations); the
// second one's bit puts the focus on No.
constexpr int32_t kMessageBoxOkCancel = 0;
constexpr int32_t kMessageBoxYesNo = 0x4;
constexpr int32_t kMessageBoxYesNoSecond = 0x104;
constexpr int32_t kMessageBoxSecondIsDefault = 0x100;

// Results: the id of the button that ended the box. Closing it any other way
// (close button, Escape) counts as Cancel. Callers act on Yes alone.
constexpr int kMessageBoxOk = 1;
constexpr int kMessageBoxCancel = 2;
constexpr int kMessageBoxYes = 6;
constexpr int kMessageBoxNo = 7;

// The caption of every box the program shows.
inline constexpr char16_t kMessageBoxTitle[] = u"Vellumcraft";

// Passed by address as the dialog's creation parameter. The texts are the
// caller's and must outlive the box.
struct MessageBoxRequest {
    int32_t buttons = kMessageBoxOkCancel;  // 0: OK and Cancel; anything else: Yes and No
    int32_t reserved = 0;                   // always 0; not read
    const char16_t* title = nullptr;        // caption; null shows none
    const char16_t* text = nullptr;         // the message, "\n" between lines; null shows none
    // Other captions for the two buttons (the first ends the box as Yes or
    // OK, the second as No or Cancel), where the answer is not a plain yes
    // or no: "再試行(&R)" and "終了(&X)". Null keeps the template's.
    const char16_t* firstCaption = nullptr;
    const char16_t* secondCaption = nullptr;
};

inline bool ShowsYesNo(const MessageBoxRequest& r) { return r.buttons != 0; }

// The delete confirmations ask for No as the answer that Enter gives, so that
// a stray key press cannot delete a page or a registration. The other
// questions leave the focus where the dialog manager puts it.
inline bool StartsOnNo(const MessageBoxRequest& r) { return (r.buttons & kMessageBoxSecondIsDefault) != 0; }

// True for the four button ids, which are also the only results.
inline bool IsMessageBoxResult(int id) {
    return id == kMessageBoxOk || id == kMessageBoxCancel || id == kMessageBoxYes || id == kMessageBoxNo;
}

// What the box reads of itself before it moves anything, in pixels.
struct MessageBoxMeasures {
    int textWidth = 0;     // the text as drawn in the box's font
    int textHeight = 0;
    Rect text;             // the text control as the template made it, client coordinates
    Rect button;           // one of the buttons (all four are the same size), client coordinates
    int windowWidth = 0;   // the box's window as the template made it
    int windowHeight = 0;
};

// Where everything goes once the box has grown to its text.
struct MessageBoxLayout {
    int dx = 0, dy = 0;     // growth: how much the text exceeds the control
    Rect text;              // the text control
    Rect first;             // Yes or OK
    Rect second;            // No or Cancel
    int windowWidth = 0;
    int windowHeight = 0;   // includes a margin below the buttons ...
    int centringHeight = 0; // ... that is left out when the box is centred
};

// The box only ever grows: the text control widens to the text (plus a few
// pixels so the last glyph is never clipped) and deepens to it, and the two
// buttons sit right-aligned under the text's right edge.
MessageBoxLayout FitMessageBox(const MessageBoxMeasures& m);

// The top-left corner that centres the box over the owner's window rectangle,
// moved just enough to keep the whole box inside the work area (left and top
// edges win when it is larger). An empty work area (no monitor known) moves
// nothing.
Point CentreMessageBox(const Rect& owner, const MessageBoxLayout& box, const Rect& workArea);

}  // namespace vc
