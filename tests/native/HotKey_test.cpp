// The hot-key control's word turned into RegisterHotKey's arguments.
#include <gtest/gtest.h>

#include "generalsettings/HotKey.h"

namespace vc {

TEST(HotKeyRegistration, ControlModifiersMapToRegistrationModifiersWithoutRepeats) {
    const HotKeyParts ctrlAltSpace = HotKeyRegistration(0x0620);
    EXPECT_EQ(ctrlAltSpace.virtualKey, 0x20u);
    EXPECT_EQ(ctrlAltSpace.modifiers, HotKeyMod::Control | HotKeyMod::Alt | HotKeyMod::NoRepeat);
    // Shift+F5 from the extended keys: that bit has no counterpart.
    const HotKeyParts shiftF5 = HotKeyRegistration(0x0974);
    EXPECT_EQ(shiftF5.virtualKey, 0x74u);
    EXPECT_EQ(shiftF5.modifiers, HotKeyMod::Shift | HotKeyMod::NoRepeat);
}

}  // namespace vc
