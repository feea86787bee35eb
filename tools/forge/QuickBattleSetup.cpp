// cfg\QuickBattleSetup.cfg: the game settings the quick battle and multiplayer set-up screens
// start from, one section each, inside the ranges of the sliders that edit them.
#include "forge/Forge.h"
#include "forge/GameSettingRanges.h"
#include "forge/IniText.h"

namespace {

FORGE_STEP(QuickBattleSetup) {
  forge::IniText ini;
  ini.Comment("The last battle rules chosen, per kind of battle");
  for (const bool single : {true, false}) {
    ini.Section(single ? "DEFAULTS-SINGLE" : "DEFAULTS-MULTIPLAYER");
    for (const forge::GameSettingRange& setting : forge::kGameSettingRanges)
      ini.Key(setting.key, single ? setting.singleDefault : setting.multiplayerDefault);
    ini.Key("regionIndex", forge::kDefaultRegionIndex);
  }
  ctx.WriteText("cfg\\QuickBattleSetup.cfg", ini.Text());
}

}  // namespace
