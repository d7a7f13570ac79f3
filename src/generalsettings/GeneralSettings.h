// What the general settings dialog decides without windows.
#pragma once

#include <cstdint>

#include "pagesettings/PageSettings.h"
#include "settings/Records.h"

namespace vc {

constexpr int kGeneralSettingsPaneCount = 5;
extern const SettingsPaneInfo GeneralSettingsPanes[kGeneralSettingsPaneCount];

// The page the pages pane starts on: the current tab's position when it
// shows a special page, else the current user page after the special pages.
int32_t SelectedPagePosition(const Records& r);

// The special page set after the folder boxes changed: `boxes` holds the
// low byte as the boxes show it; bits 8..15 are cleared, 16..31 kept.
uint32_t FoldersFromBoxes(uint32_t spcialFolder, uint32_t boxes);

}  // namespace vc
