#pragma once
// The campaign's menu screens as the forge writes them: the battle options, the load and save
// screens and the character screen, each a layout file and a background painted for it at both
// resolutions, and the message box picture the load and save screens open. Tests read the
// layouts to find the widgets.

#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\BattleOptionsScreen\screen (Battle Options).cfg": TEXTBUTTON_1 (accept) and _2
// (cancel), TEXT_1-11, SLIDERBAR_1 (music) and _2 (sound effects), RADIOBUTTON_1-12.
ScreenLayout BattleOptionsLayout();
// "Interface\LoadGame\screen (Load Game).cfg" and "Interface\SaveGame\screen (Save Game).cfg":
// TEXTBUTTON_1 (load or save), _2 (cancel), EDITBOX_1, LISTBOX_1, TEXT_1 (busy), TEXT_2.
ScreenLayout LoadGameLayout();
ScreenLayout SaveGameLayout();
// "Interface\CharacterScreen\screen (Character Screen).cfg": TEXTBUTTON_1 (accept) and _2
// (cancel), TEXT_1-16 (the VAR_ tokens among them), STATBAR_1-3 (mana, health, control),
// SPRITEBAR_1-3 (the talismans), STANDARDBUTTON_1-12 (down and up per attribute), and the
// section STEPS_COSTS.
ScreenLayout CharacterScreenLayout();

}  // namespace forge
