// A sample of the game settings record in its 312-byte form, as a peer sends it: the seed of
// the reader's fuzz target.
#include <vector>

#include "core/GameSettings.h"
#include "forge/Forge.h"
#include "forge/GameSettingRanges.h"

namespace {

FORGE_STEP(GameSettingsSample) {
  CGameSettings settings;
  settings.regionIndex = forge::kDefaultRegionIndex;
  for (int i = 0; i < kGameSettingsTuningFields; ++i)
    *GameSettingsField(settings, i + 1) = forge::kGameSettingRanges[static_cast<size_t>(i)].multiplayerDefault;
  std::vector<uint8_t> block(kGameSettingsBytes);
  WriteGameSettings(settings, block.data());
  ctx.WriteFile("samples\\settings\\game_settings.bin", block);
}

}  // namespace
