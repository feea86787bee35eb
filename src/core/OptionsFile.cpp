// Reading the options file cfg\vrask.cfg and the two installation files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/BattleLimits.h"
#include "core/Options.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace {

// One options file, read key by key; a key counts as present only when its text is not empty.
class OptionsReader {
 public:
  explicit OptionsReader(const std::string& path) : path_(path) {}

  void Section(const char* name) { section_ = name; }

  // The key's text, cut to 255 characters; false when missing or empty.
  template <size_t N>
  bool Text(const char* key, char (&out)[N]) const {
    return platform::ReadProfileString(section_, key, "", out, sizeof out, path_) > 0;
  }

  bool Int(const char* key, int& out) const {
    char text[256];
    if (!Text(key, text)) return false;
    out = platform::TextToInt(text);
    return true;
  }

  void Clamped(const char* key, int& field, int low, int high) const {
    int value;
    if (Int(key, value)) field = std::clamp(value, low, high);
  }

  void AtLeast(const char* key, int& field, int low) const {
    int value;
    if (Int(key, value)) field = std::max(value, low);
  }

  // A real limited to [0, 1000]; "nan" and the like read as 0.
  void Power(const char* key, double& field) const {
    char text[256];
    if (!Text(key, text)) return;
    double value = platform::TextToReal(text);
    field = value >= 1000.0 ? 1000.0 : (value <= 0.0 ? 0.0 : value);
  }

  bool Is(const char* key, const char* word) const {
    char text[256];
    return Text(key, text) && platform::EqualNoCase(text, word);
  }
  bool Present(const char* key) const {
    char text[256];
    return Text(key, text);
  }

  // "TRUE" sets, any other present value clears.
  void FlagTrueSets(const char* key, int& field) const {
    if (Present(key)) field = Is(key, "TRUE") ? 1 : 0;
  }
  // "TRUE" sets, anything else leaves it.
  void FlagTrueSetsOnly(const char* key, int& field) const {
    if (Is(key, "TRUE")) field = 1;
  }
  // "FALSE" clears, anything else leaves it.
  void FlagFalseClears(const char* key, int& field) const {
    if (Is(key, "FALSE")) field = 0;
  }

  // A comma-separated list into a table, item by item; each item is cut at its first '='.
  // At most the table is filled; a short list leaves the rest as it was.
  int List(const char* key, int* table, int size) const {
    char text[256];
    if (!Text(key, text)) return 0;
    int count = 0;
    for (const std::string& item : platform::SplitTokens(text, ",")) {
      if (count == size) break;
      table[count++] = platform::TextToInt(item.substr(0, item.find('=')));
    }
    return count;
  }

 private:
  std::string path_;
  const char* section_ = "";
};

std::string JoinCurrentDirectory(const std::string& dir, const char* name) {
  bool endsInSeparator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
  return dir + (endsInSeparator ? "" : "\\") + name;
}

void ReadDataPath(const std::string& dir) {
  char text[256];
  platform::ReadProfileString("CDROM Drive Letter With Colon", "CDROMDrive", ".\\", text, sizeof text,
                              JoinCurrentDirectory(dir, "CDRomDrive.cfg"));
  text[19] = '\0';
  size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] != '\\' && text[length - 1] != '/') {
    if (length == 19) --length;  // keep room for the separator
    text[length] = '\\';
    text[length + 1] = '\0';
  }
  std::snprintf(g_dataPath, sizeof g_dataPath, "%.19s", text);
}

void ReadInstallType(const std::string& dir) {
  char text[256];
  platform::ReadProfileString("Installation Type", "Type", "Full", text, sizeof text,
                              JoinCurrentDirectory(dir, "cfg\\Install Type.cfg"));
  if (platform::EqualNoCase(text, "Full"))
    g_installType = 0;
  else if (platform::EqualNoCase(text, "Standard"))
    g_installType = 1;
  else
    g_installType = 2;
}

void ReadGlobalSection(OptionsReader& in) {
  in.Section("GLOBAL_OPTIONS");
  if (in.Present("UseWinCursor")) g_softwareCursor = in.Is("UseWinCursor", "TRUE") ? 0 : 1;
  int value;
  if (in.Int("AmbientLight", value)) g_ambientLight = -std::clamp(value, -127, 127);
  in.Clamped("LightRamp", g_lightRamp, -127, 127);
  in.Clamped("IndicatorLightLevel", g_indicatorLightLevel, -127, 0);
  in.FlagTrueSetsOnly("NoLightSources", g_noLightSources);
  in.FlagFalseClears("AllowUnitTracking", g_allowUnitTracking);
  in.Clamped("LightCurve", g_lightCurve, 1, 1000);
  in.Clamped("ColourFactor", g_colourFactor, 1, 1000);
  in.Power("LightPower", g_lightPower);
  in.Power("ColourPower", g_colourPower);
  in.Clamped("UWLightCurve", g_uwLightCurve, 1, 1000);
  in.Clamped("UWColourFactor", g_uwColourFactor, 1, 1000);
  in.Power("UWLightPower", g_uwLightPower);
  in.Power("UWColourPower", g_uwColourPower);
  in.AtLeast("CreatureDieTime", g_creatureDieTime, 1);
  in.AtLeast("RateOfDrowning", g_rateOfDrowning, 0);
  in.AtLeast("MaxNodesForRouteFinding", g_maxNodesForRouteFinding, 0);
  if (in.Is("AI_timesystem", "NOTIONAL_TIME")) g_aiTimeSystem = kNotionalTime;
  if (in.Is("AI_timesystem", "REAL_TIME")) g_aiTimeSystem = kRealTime;
  in.AtLeast("AI_timelimit", g_aiTimeLimit, 0);
  in.FlagTrueSetsOnly("UseNodeMap", g_useNodeMap);

  // A count, then that many radii.
  int list[64];
  int items = in.List("EffectRadius", list, 64);
  if (items > 0) {
    int count = std::clamp(list[0], 0, items - 1);
    g_effectRadii.assign(list + 1, list + 1 + count);
    g_effectRadiusTables->Build(g_effectRadii);
  }
}

void ReadDebugSection(OptionsReader& in) {
  in.Section("DEBUG");
  in.FlagTrueSets("autounlock", g_autoUnlock);
  in.FlagTrueSetsOnly("SpoolMapGenInfo", g_spoolMapGenInfo);
  in.FlagTrueSetsOnly("g_showMapSeed", g_showMapSeed);
  in.FlagTrueSetsOnly("ShowFrameRate", g_showFrameRate);
  in.FlagTrueSets("UseMallocedBackBuffer", g_useMallocedBackBuffer);
  in.FlagTrueSets("ShowSpriteLog", g_showSpriteLog);
  if (in.Is("UseCSpritePrinter", "TRUE")) g_useCSpritePrinter = 1;
  if (in.Is("UseCSpritePrinter", "FALSE")) g_useCSpritePrinter = 0;
  int value;
  if (in.Int("SkipFrameEvery", value)) {
    g_frameSkipEvery = std::clamp(value, 0, 10);
    g_skipCountdown = g_frameSkipEvery;
  }
  if (in.Int("SkipXFrames", value)) g_frameSkipCount = std::min(std::max(value, g_frameSkipEvery), 11);
  in.Clamped("MaxSkipXFrames", g_frameSkipMax, 0, 16);
  in.FlagFalseClears("ActiveAI", g_activeAI);
  if (in.Int("AIBattleTickLimit", value)) g_aiBattleTickLimit = std::max(value, 1);
  in.FlagTrueSetsOnly("CreatureAnimChecks", g_creatureAnimChecks);
  in.FlagTrueSetsOnly("SeeAllGrimoire", g_seeAllGrimoire);
  in.FlagTrueSetsOnly("ValidateScripts", g_validateScripts);
  in.FlagTrueSets("BattleDebugKeys", g_battleDebugKeys);
}

int Percent(int value) { return std::clamp(value, 0, 500) * 5 / 2; }

void ReadCombatAndMana(OptionsReader& in) {
  in.Section("COMBAT_MODIFIERS");
  int value;
  if (in.Int("Impetus", value)) g_impetus = Percent(value);
  if (in.Int("RelativeHeight", value)) g_relativeHeight = Percent(value);
  int facing[8];
  int items = in.List("RelativeFacing", facing, 8);
  for (int i = 0; i < items; ++i) g_relativeFacing[i] = Percent(facing[i]);

  in.Section("MANA_SYSTEM");
  in.Clamped("ManaGeneration", g_manaGeneration, 1, 100);
  in.Clamped("ManaRecoveryDelay", g_manaRecoveryDelay, 1, 100);
  in.Clamped("ManaRecovery", g_manaRecovery, 1, 1000);
  in.Clamped("LordBooster", g_lordBooster, 1, 100);
  in.Clamped("KingBooster", g_kingBooster, 1, 100);

  in.Section("WIZARD_LEVEL");
  in.List("SPUpgradeLevel", g_spUpgradeLevel, 6);
}

void ReadEffects(OptionsReader& in) {
  in.Section("BLOOD_N_GORE");
  in.Clamped("BloodLevel", g_bloodLevel, 1, 200);
  in.Clamped("PercentAsGore", g_percentAsGore, 1, 100);
  in.Clamped("GoreTimeOnFloor", g_goreTimeOnFloor, 1, 1200);
  in.FlagFalseClears("TexturedGore", g_texturedGore);
  int value;
  if (in.Int("TexturedGoreUpper", value)) g_texturedGoreUpper = static_cast<float>(std::clamp(value, -200, 200) * 0.01);
  if (in.Int("TexturedGoreLower", value)) g_texturedGoreLower = static_cast<float>(std::clamp(value, -200, 200) * 0.01);
  in.Clamped("Size", g_goreSize, 1, 10);
  in.Clamped("Trail", g_goreTrail, 0, 5);

  in.Section("PEST_FLY");
  in.Clamped("MinDist", g_pestFlyMinDist, 1, 128);
  in.Clamped("TopSpeed", g_pestFlyTopSpeed, 1, 32);
  in.Clamped("Random", g_pestFlyRandom, 0, g_pestFlyTopSpeed / 2);

  in.Section("SPELL_CAST_EFFECT");
  in.List("Colour", g_spellCastColour, 9);
  in.Clamped("ParticlesPerFrame", g_spellCastParticlesPerFrame, 0, 10);
  in.Clamped("Lives", g_spellCastLives, 0, 10);
  in.Clamped("Speed", g_spellCastSpeed, 1, 32);
  in.Clamped("Delay", g_spellCastDelay, 1, 12);
  in.Clamped("Decay", g_spellCastDecay, -100, 100);
  in.Clamped("Boost", g_spellCastBoost, -100, 100);
  in.Clamped("IndirectSpellParticleLevel", g_indirectSpellParticleLevel, 0, 200);
  in.Clamped("IndirectSpellParticlePeriod", g_indirectSpellParticlePeriod, 1, 100);

  const std::pair<const char*, ParticleEffectOptions*> effects[] = {{"EARTH_BIND_EFFECT", &g_earthBindEffect},
                                                                    {"LEVITATE_EFFECT", &g_levitateEffect}};
  for (const auto& [section, effect] : effects) {
    in.Section(section);
    in.List("Colour", effect->colour, 4);
    int size[2];
    int items = in.List("Size", size, 2);
    for (int i = 0; i < items; ++i) effect->size[i] = std::clamp(size[i], 1, 5);
    in.Clamped("DensityMod", effect->densityMod, 1, 100);
  }

  in.Section("SUBVERT_EFFECT");
  in.List("FailColour", g_subvertFailColour, 3);
  in.Clamped("FailParticleCount", g_subvertFailParticleCount, 1, 100);
}

// Our own keys of [NETWORK] for the online lobby.
void ReadLobbyOptions(OptionsReader& in) {
  char text[256];
  if (in.Text("LobbyServer", text)) std::snprintf(g_lobbyServer, sizeof g_lobbyServer, "%s", text);
  in.Clamped("LobbyPort", g_lobbyPort, 1, 65535);
  in.Clamped("LobbyTimeOut", g_lobbyTimeOut, 100, 600000);
  char address[sizeof g_lobbyGameAddress];
  if (in.Text("LobbyGameAddress", address)) std::snprintf(g_lobbyGameAddress, sizeof g_lobbyGameAddress, "%s", address);
}

void ReadNetworkAndCache(OptionsReader& in) {
  in.Section("NETWORK");
  in.FlagTrueSetsOnly("NetRandomLog", g_netRandomLog);
  in.FlagTrueSetsOnly("NetworkLogging", g_networkLogging);
  in.FlagTrueSetsOnly("NetEffectsLog ", g_netEffectsLog);
  in.Clamped("NumRandomSpells", g_numRandomSpells, 0, 25);
  in.Clamped("messageDelayFrames_LAN", g_messageDelayFrames_LAN, 1, 10);
  in.Clamped("messageDelayFrames_NET", g_messageDelayFrames_NET, 0, 10);
  in.Clamped("messageDelayFrames_SERIAL", g_messageDelayFrames_SERIAL, 0, 10);
  in.Clamped("GamePort", g_netGamePort, 0, 65535);
  in.Clamped("ListPort", g_netListPort, 1, 65535);
  in.Clamped("JoinTimeOut", g_netJoinTimeOut, 100, 600000);
  in.Clamped("KeepAliveTimeOut", g_netKeepAlive, 500, 600000);
  ReadLobbyOptions(in);

  in.Section("SPRITE_CACHE");
  in.Clamped("g_spriteCache_slotSize", g_spriteCache_slotSize, 1, 100000);
  in.Clamped("g_spriteCache_numSlots", g_spriteCache_numSlots, 1, 100000);
  in.FlagTrueSets("g_useSpriteCache", g_useSpriteCache);
  in.FlagTrueSets("g_hide_HC_sprites", g_hide_HC_sprites);

  in.Section("BATTLE_LOG");
  in.AtLeast("logBufferSize", g_logBufferSize, 0);
  char text[256];
  if (in.Text("logFileName", text)) std::snprintf(g_logFileName, sizeof g_logFileName, "%s", text);
}

void ReadDifficultyAndDelays(OptionsReader& in) {
  in.Section("DIFFICULTY");
  int* tables[] = {g_healthModify,      g_manaModify,         g_controlModify,
                   g_magicResistModify, g_intelligenceModify, g_combatModify};
  const char* names[] = {"HealthModify",      "ManaModify",         "ControlModify",
                         "MagicResistModify", "IntelligenceModify", "CombatModify"};
  for (int level = 0; level < 4; ++level) {
    for (int t = 0; t < 6; ++t) {
      char key[64];
      std::snprintf(key, sizeof key, "%s%d", names[t], level);
      in.Int(key, tables[t][level]);
    }
  }

  in.Section("POISON_POINTS");
  int value;
  g_poisonDelay = in.Int("PoisonDelay", value) ? std::clamp(value, 0, 25) : 5;
  in.Section("MR_RECOVERY");
  g_mrDelay = in.Int("MRDelay", value) ? std::clamp(value, 0, 25) : 30;
}

void ReadSpeechBox(OptionsReader& in) {
  in.Section("SPEECH_BOX");
  const std::pair<const char*, int*> keys[] = {
      {"Maxspeed_", g_speechMaxSpeed}, {"Startspeed_", g_speechStartSpeed}, {"Accelspeed_", g_speechAccelSpeed}};
  const int levelZeroDefaults[] = {32, 2, 2};
  for (int level = 0; level < 3; ++level) {
    for (int k = 0; k < 3; ++k) {
      char key[64];
      std::snprintf(key, sizeof key, "%s%d", keys[k].first, level);
      int* table = keys[k].second;
      if (!in.Int(key, table[level]))
        table[level] = level == 0 ? levelZeroDefaults[k] : platform::SaturatingMultiply(table[level - 1], 2);
    }
  }
}

}  // namespace

int ReadGlobalOptions() {
  std::string dir = platform::CurrentDirectory();
  ReadDataPath(dir);
  ReadInstallType(dir);

  std::string path = JoinCurrentDirectory(dir, "cfg\\vrask.cfg");
  if (!platform::FileExists(path)) return 0;
  OptionsReader in(path);
  ReadGlobalSection(in);
  ReadDebugSection(in);
  ReadCombatAndMana(in);
  ReadEffects(in);
  ReadNetworkAndCache(in);
  ReadDifficultyAndDelays(in);
  ReadSpeechBox(in);
  return 1;
}
