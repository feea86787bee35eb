#pragma once
// The quick battle's set-up screens as the forge writes them: their layout files, which the
// tests read to find the controls, and the frames of their shared button sprite.

#include "forge/FrontEndLayouts.h"
#include "forge/Painting.h"
#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\SinglePlayerBattle\screen (Single Player Battle).cfg": TEXT_1-40,
// TEXTBUTTON_1 (back), _2 (start), _3 (choose the map), STANDARDBUTTON_1 (portrait), _2
// (colour), _3 and _4 (remove rows 2 and 3), PICTUREBOX_1-3 (portraits of rows 1-3), _4-6
// (their colours), SLIDERBAR_1-13 (the rules), _14-17 (the handicaps of rows 0-3).
ScreenLayout SinglePlayerBattleLayout();
// "Interface\RegionEntry\screen (Region Entry).cfg": TEXTBUTTON_1 (go on), _2 (back),
// STANDARDBUTTON_1-3 (grimoire, spell box, character), RADIOBUTTON_1-4 (difficulty), TEXT_1.
ScreenLayout RegionEntryLayout();

// The eight army colours, as the set-up screens show them.
Colour ArmyColour(int colour);

}  // namespace forge
