// The files start-up reads: the installation files, the options file, the player's
// preferences, and the game data files start-up checks (their contents arrive with the
// subsystems that read them; until then each holds a valid, empty shape).
#include <stdexcept>
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "platform/Files.h"

namespace {

FORGE_STEP(InstallationFiles) {
  forge::IniText drive;
  drive.Section("CDROM Drive Letter With Colon").Key("CDROMDrive", ".\\");
  ctx.WriteText("CDRomDrive.cfg", drive.Text());
  forge::IniText type;
  type.Section("Installation Type").Key("Type", "Full");
  ctx.WriteText("cfg\\Install Type.cfg", type.Text());
}

// The computer player's knowledge folder, empty: its knowledge starts from nothing and grows
// with the battles it fights.
FORGE_STEP(KnowledgeFolder) {
  if (!platform::MakeDirectory(ctx.PathOf("AI"))) throw std::runtime_error("cannot make folder AI");
}

// The options at the values the game is tuned for (its built-in defaults), with the game's
// own (software) cursor.
FORGE_STEP(OptionsFile) {
  forge::IniText ini;
  ini.Comment("Realms of Vrask: options");
  ini.Section("GLOBAL_OPTIONS")
      .Flag("UseWinCursor", false)
      .Key("AmbientLight", 108)
      // A positive ramp, so that the creatures' sight lights the map; with the built-in
      // -16 every light pattern is black.
      .Key("LightRamp", 16)
      .Key("IndicatorLightLevel", -64)
      .Key("CreatureDieTime", 400)
      .Key("RateOfDrowning", 5)
      .Key("MaxNodesForRouteFinding", 250)
      // Long walks are planned over the path nodes first, then cell by cell toward each node.
      .Flag("UseNodeMap", true)
      // Counted steps, not the clock: every machine and every replay runs the same battle.
      .Key("AI_timesystem", "NOTIONAL_TIME")
      // The computer players' steps a frame, half to each controller. Measured over 150 frames
      // of the forged moorland's unattended battle of a hundred creatures (bench ai_battle,
      // Release build): 0 to 2 adopt no decision at all, 4 and 6 adopt 323 and fight another
      // battle, and every amount from 10 to 400 fights the same battle, 321 decisions at the
      // same cost, about 0.8 ms a frame. 10 is the least amount that more does not change.
      .Key("AI_timelimit", 10)
      // The circle tables of the area spells: three radii, for spell Radius 0, 1 and 2.
      .Key("EffectRadius", "3, 2, 4, 6");
  ini.Section("DEBUG")
      .Flag("ShowFrameRate", false)
      .Flag("UseMallocedBackBuffer", false)
      // The processor's own printers: they print the same pixels as the portable one, faster.
      .Flag("UseCSpritePrinter", false)
      .Key("SkipFrameEvery", 0)
      .Key("SkipXFrames", 1)
      .Key("MaxSkipXFrames", 6);
  // Blows vary by height, by the side they strike and by the attacker's charge (per cent,
  // the game keeps them x 5 / 2); poison and magic resistance act at their delays in frames.
  ini.Section("COMBAT_MODIFIERS")
      .Key("Impetus", 25)
      .Key("RelativeHeight", 10)
      .Key("RelativeFacing", "0, 0, 10, 20, 30, 20, 10, 0");
  // A wizard file's DifficultyModifier scales these per-cent changes of its creature's values
  // at each difficulty level (0 the easiest).
  ini.Section("DIFFICULTY");
  const int modify[4] = {-40, 0, 40, 80};
  for (const char* key :
       {"HealthModify", "ManaModify", "ControlModify", "MagicResistModify", "IntelligenceModify", "CombatModify"})
    for (int level = 0; level < 4; ++level) ini.Key(std::string(key) + std::to_string(level), modify[level]);
  // The player's wizard rises a rank at these counts of battles won (ranks 2-6).
  ini.Section("WIZARD_LEVEL").Key("SPUpgradeLevel", "2, 4, 7, 11, 16").Key("MPUpgradeLevel", "3, 6, 10, 15, 21");
  ini.Section("POISON_POINTS").Key("PoisonDelay", 5);
  ini.Section("MR_RECOVERY").Key("MRDelay", 20);
  // The auras of two spells: a levitated creature rises in pale blue motes, an earth-bound
  // one sinks in brown dust.
  ini.Section("LEVITATE_EFFECT").Key("Colour", "160, 210, 255, 48").Key("Size", "2, 4").Key("DensityMod", 50);
  ini.Section("EARTH_BIND_EFFECT").Key("Colour", "170, 110, 50, 40").Key("Size", "2, 4").Key("DensityMod", 50);
  ini.Section("NETWORK").Flag("NetRandomLog", false).Key("NumRandomSpells", 10);
  ini.Section("SPRITE_CACHE").Key("g_spriteCache_slotSize", 2000).Key("g_spriteCache_numSlots", 100);
  ini.Section("BATTLE_LOG").Key("logBufferSize", 2048).Key("logFileName", "save/event.log");
  ctx.WriteText("cfg\\vrask.cfg", ini.Text());
}

FORGE_STEP(PlayerPreferences) {
  forge::IniText ini;
  ini.Section("MOUSE").Key("MouseScrollBtn", "RIGHT").Key("MouseScrollSpeed", 32);
  ini.Section("VIDEO")
      .Flag("IsHighRes", true)
      .Key("WindowSize", 0)
      // The battle's panels keyed over the map view: their empty parts show the map.
      .Flag("TransParentBlits", true)
      .Flag("PlayFMV", false)
      .Key("MaxFramesPerSec", 20)
      .Key("DialogSpeed", 1);
  // The name the set-up screens give the player until they choose their own.
  ini.Section("NETGAME").Key("PlayerName", "Player");
  ini.Section("TOOLTIP").Key("TooltipQuickDelay", 200).Key("TooltipLongDelay", 600);
  ctx.WriteText("cfg\\prefs.cfg", ini.Text());
}

}  // namespace
