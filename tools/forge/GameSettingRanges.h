#pragma once
// The thirteen battle rules of the quick and multiplayer battle set-up screens, in the order
// of the game settings record (mana first): the range and step of the slider that edits each,
// and the values the forged settings file starts with. One table feeds the set-up screens'
// slider widgets and cfg\QuickBattleSetup.cfg, so that the file always lies in the sliders'
// ranges.

#include <array>

namespace forge {

struct GameSettingRange {
  const char* key;  // the settings file's key
  const char* caption;
  int minValue, maxValue, step;
  int singleDefault, multiplayerDefault;
};

inline constexpr std::array<GameSettingRange, 13> kGameSettingRanges = {{
    {"mana", "Starting mana", 50, 1000, 50, 300, 300},
    {"health", "Starting health", 50, 1000, 50, 250, 250},
    {"magicItems", "Magic items", 0, 21, 1, 4, 6},
    {"selectionTime", "Selection time", 10, 300, 10, 60, 60},
    {"lawTalisman", "Law talismans", 0, 7, 1, 2, 2},
    {"neutralTalisman", "Neutral talismans", 0, 7, 1, 2, 2},
    {"vraskTalisman", "Vrask talismans", 0, 7, 1, 2, 2},
    {"gameTime", "Time limit (minutes)", 0, 60, 5, 0, 20},
    {"lives", "Lives", 1, 9, 1, 1, 3},
    {"placesOfPower", "Places of power", 0, 15, 1, 4, 4},
    {"manaSprites", "Mana sprites", 0, 20, 1, 4, 6},
    {"Artefacts", "Artefacts", 0, 20, 1, 5, 8},
    {"ControlLimit", "Control limit", 5, 100, 5, 30, 30},
}};

// The region both sections start on (REGION1 of the multiplayer realm).
inline constexpr int kDefaultRegionIndex = 1;

}  // namespace forge
