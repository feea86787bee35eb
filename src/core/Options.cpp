#include "core/Options.h"

#include "core/BattleLimits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Files.h"
#include "platform/Profile.h"

char g_dataPath[20];
int g_installType;
char g_realmFile[256];
char g_realmName[256];
int g_startRegion;
int g_mapSeed;
char g_startWizardFile[256];
int g_difficulty;
int g_directStart;
int g_directAI;
int g_trainingSpells;
int g_recordBattle;
int g_playBattle;
int g_windowed;

int g_softwareCursor;
int g_ambientLight;
int g_lightRamp;
int g_indicatorLightLevel;
int g_noLightSources;
int g_allowUnitTracking;
int g_creatureDieTime;
int g_rateOfDrowning;
int g_maxNodesForRouteFinding;
int g_aiTimeSystem;
int g_aiTimeLimit;
int g_useNodeMap;
std::vector<int> g_effectRadii;
namespace {
IEffectRadiusTables g_neutralEffectRadiusTables;
}  // namespace
constinit HookSlot<IEffectRadiusTables> g_effectRadiusTables{&g_neutralEffectRadiusTables};
int g_lightCurve;
int g_colourFactor;
double g_lightPower;
double g_colourPower;
int g_uwLightCurve;
int g_uwColourFactor;
double g_uwLightPower;
double g_uwColourPower;

int g_autoUnlock;
int g_spoolMapGenInfo;
int g_showMapSeed;
int g_showFrameRate;
int g_useMallocedBackBuffer;
int g_showSpriteLog;
int g_useCSpritePrinter;
int g_frameSkipEvery;
int g_skipCountdown;
int g_frameSkipCount;
int g_frameSkipMax;
int g_activeAI;
int g_aiBattleTickLimit = kDefaultAIBattleTickLimit;
int g_creatureAnimChecks;
int g_seeAllGrimoire;
int g_validateScripts;
int g_battleDebugKeys;

int g_impetus;
int g_relativeHeight;
int g_relativeFacing[8];

int g_manaGeneration;
int g_manaRecoveryDelay;
int g_manaRecovery;
int g_lordBooster;
int g_kingBooster;
int g_spUpgradeLevel[6];

int g_bloodLevel;
int g_percentAsGore;
int g_goreTimeOnFloor;
int g_texturedGore;
float g_texturedGoreUpper;
float g_texturedGoreLower;
int g_goreSize;
int g_goreTrail;

int g_pestFlyMinDist;
int g_pestFlyTopSpeed;
int g_pestFlyRandom;

int g_spellCastColour[9];
int g_spellCastParticlesPerFrame;
int g_spellCastLives;
int g_spellCastSpeed;
int g_spellCastDelay;
int g_spellCastDecay;
int g_spellCastBoost;
int g_indirectSpellParticleLevel;
int g_indirectSpellParticlePeriod;

ParticleEffectOptions g_earthBindEffect;
ParticleEffectOptions g_levitateEffect;
int g_subvertFailColour[3];
int g_subvertFailParticleCount;

int g_netRandomLog;
int g_networkLogging;
int g_netEffectsLog;
int g_numRandomSpells;
int g_messageDelayFrames_LAN;
int g_messageDelayFrames_NET;
int g_messageDelayFrames_SERIAL;
int g_netGamePort;
int g_netListPort;
int g_netJoinTimeOut;
char g_lobbyServer[256];
int g_lobbyPort;
int g_lobbyTimeOut;
char g_lobbyGameAddress[64];
int g_netKeepAlive;

int g_spriteCache_slotSize;
int g_spriteCache_numSlots;
int g_useSpriteCache;
int g_hide_HC_sprites;

int g_logBufferSize;
char g_logFileName[256];

int g_healthModify[4];
int g_manaModify[4];
int g_controlModify[4];
int g_magicResistModify[4];
int g_intelligenceModify[4];
int g_combatModify[4];

int g_poisonDelay;
int g_mrDelay;

int g_speechMaxSpeed[3];
int g_speechStartSpeed[3];
int g_speechAccelSpeed[3];

namespace {

template <size_t N>
void SetText(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text);
}

template <size_t N>
void SetTable(int (&table)[N], std::initializer_list<int> values) {
  std::copy(values.begin(), values.end(), table);
}

}  // namespace

void ResetGlobalOptions() {
  SetText(g_dataPath, ".\\");
  g_installType = 0;
  SetText(g_realmFile, "realms\\moorland\\moorland.cfg");
  SetText(g_realmName, "moorland");
  g_startRegion = 0;
  g_mapSeed = 0;
  SetText(g_startWizardFile, "_start.wzd");
  g_difficulty = 0;
  g_directStart = g_directAI = 0;
  g_trainingSpells = 1;
  g_recordBattle = g_playBattle = 0;
  g_windowed = 0;

  g_softwareCursor = 0;
  g_ambientLight = -108;
  g_lightRamp = -16;
  g_indicatorLightLevel = -64;
  g_noLightSources = 0;
  g_allowUnitTracking = 1;
  g_creatureDieTime = 400;
  g_rateOfDrowning = 5;
  g_maxNodesForRouteFinding = 250;
  g_aiTimeSystem = kNotionalTime;
  g_aiTimeLimit = 10;
  g_useNodeMap = 0;
  g_effectRadii.clear();
  g_lightCurve = g_colourFactor = g_uwLightCurve = g_uwColourFactor = 1;
  g_lightPower = g_colourPower = g_uwLightPower = g_uwColourPower = 2.0;

  g_autoUnlock = g_spoolMapGenInfo = g_showMapSeed = g_showFrameRate = 0;
  g_useMallocedBackBuffer = g_showSpriteLog = 0;
  g_useCSpritePrinter = 1;
  g_frameSkipEvery = g_skipCountdown = 0;
  g_frameSkipCount = 1;
  g_frameSkipMax = 6;
  g_activeAI = 1;
  g_aiBattleTickLimit = kDefaultAIBattleTickLimit;
  g_creatureAnimChecks = g_seeAllGrimoire = g_validateScripts = g_battleDebugKeys = 0;

  g_impetus = 62;
  g_relativeHeight = 25;
  SetTable(g_relativeFacing, {0, 0, 25, 50, 75, 50, 25, 0});

  g_manaGeneration = g_manaRecoveryDelay = g_manaRecovery = g_lordBooster = g_kingBooster = 5;
  SetTable(g_spUpgradeLevel, {0, 0, 0, 0, 0, 0});

  g_bloodLevel = 100;
  g_percentAsGore = 50;
  g_goreTimeOnFloor = 40;
  g_texturedGore = 1;
  g_texturedGoreUpper = 1.3f;
  g_texturedGoreLower = 0.7f;
  g_goreSize = 2;
  g_goreTrail = 0;

  g_pestFlyMinDist = 18;
  g_pestFlyTopSpeed = 8;
  g_pestFlyRandom = 4;

  SetTable(g_spellCastColour, {64, 64, 128, 64, 128, 64, 128, 64, 64});
  g_spellCastParticlesPerFrame = 4;
  g_spellCastLives = 4;
  g_spellCastSpeed = 5;
  g_spellCastDelay = 5;
  g_spellCastDecay = 6;
  g_spellCastBoost = 24;
  g_indirectSpellParticleLevel = 100;
  g_indirectSpellParticlePeriod = 20;

  for (ParticleEffectOptions* effect : {&g_earthBindEffect, &g_levitateEffect}) {
    SetTable(effect->colour, {128, 128, 32, 64});
    SetTable(effect->size, {2, 4});
    effect->densityMod = 50;
  }
  SetTable(g_subvertFailColour, {255, 0, 255});
  g_subvertFailParticleCount = 25;

  g_netRandomLog = g_networkLogging = g_netEffectsLog = 0;
  g_numRandomSpells = 10;
  g_messageDelayFrames_LAN = 2;
  g_messageDelayFrames_NET = 5;
  g_messageDelayFrames_SERIAL = 2;
  g_netGamePort = 28960;
  g_netListPort = 28961;
  g_netJoinTimeOut = 10000;
  SetText(g_lobbyServer, "127.0.0.1");
  g_lobbyPort = 7000;
  g_lobbyTimeOut = 10000;
  SetText(g_lobbyGameAddress, "");
  g_netKeepAlive = 5000;

  g_spriteCache_slotSize = 2000;
  g_spriteCache_numSlots = 100;
  g_useSpriteCache = 1;
  g_hide_HC_sprites = 0;

  g_logBufferSize = 2048;
  SetText(g_logFileName, "save/event.log");

  for (int* table :
       {g_healthModify, g_manaModify, g_controlModify, g_magicResistModify, g_intelligenceModify, g_combatModify})
    std::fill(table, table + 4, 0);

  g_poisonDelay = 5;
  g_mrDelay = 30;

  SetTable(g_speechMaxSpeed, {32, 64, 128});
  SetTable(g_speechStartSpeed, {2, 4, 8});
  SetTable(g_speechAccelSpeed, {2, 4, 8});
}

// The options hold their defaults from before start-up on.
static const bool g_optionDefaultsSet = (ResetGlobalOptions(), true);

void MakeCurrentDirPath(const char* name, char* destination, int size) {
  if (!destination || size <= 0) return;
  destination[0] = '\0';
  std::string dir = platform::CurrentDirectory();
  if (dir.size() > 254) return;  // the directory is read into a 255-byte buffer
  if (static_cast<int>(dir.size()) >= size) return;
  bool needsSeparator = !dir.empty() && dir.back() != '\\' && dir.back() != '/';
  std::string full = dir + (needsSeparator ? "\\" : "") + (name ? name : "");
  if (static_cast<int>(full.size()) >= size) return;
  std::memcpy(destination, full.c_str(), full.size() + 1);
}

int FileVersionNumber(const char* version) {
  std::string digits;
  for (const char* p = version ? version : ""; *p; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  if (digits.empty()) return -1;
  return std::atoi(digits.c_str());
}

int GetProgramFileVersion() {
#ifdef VRASK_FILE_VERSION
  return FileVersionNumber(VRASK_FILE_VERSION);
#else
  return -1;
#endif
}
