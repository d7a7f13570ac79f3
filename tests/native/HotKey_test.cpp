// The hot-key control's word turned into RegisterHotKey's arguments.
#include <gtest/gtest.h>

#include "generalsettings/HotKey.h"

namespace vc {

TEST(HotKeyRegistration, ControlModifiersMapToRegistrationModifiersWithoutRepeats) {
    const HotKeyParts ctrlAltSpace = HotKeyRegistration(0x0620, 601);
    EXPECT_EQ(ctrlAltSpace.virtualKey, 0x20u);
    EXPECT_EQ(ctrlAltSpace.modifiers, HotKeyMod::Control | HotKeyMod::Alt | HotKeyMod::NoRepeat);
    // Ctrl+Shift+F5 from the extended keys: that bit has no counterpart.
    const HotKeyParts ctrlShiftF5 = HotKeyRegistration(0x0B74, 600);
    EXPECT_EQ(ctrlShiftF5.virtualKey, 0x74u);
    EXPECT_EQ(ctrlShiftF5.modifiers, HotKeyMod::Shift | HotKeyMod::Control);  // Vista refuses the repeat flag
    for (uint16_t none : {0x0074, 0x0174, 0x0900}) EXPECT_EQ(HotKeyRegistration(none, 1000), HotKeyParts{}) << none;
    EXPECT_EQ(RuledHotKey(0x0120), 0x0620);  // Shift+Space in the box
    EXPECT_EQ(HotKeyWord(HotKeyMod::Control | HotKeyMod::Shift, 0x4B), 0x034B);
}

}  // namespace vc
