#pragma once
// The options of the game: plain globals with built-in defaults, written once at start-up by
// ParseCommandLine (the command line) and ReadGlobalOptions (CDRomDrive.cfg,
// cfg\Install Type.cfg and cfg\vrask.cfg), and read by the subsystem each one tunes. They
// live here, at the bottom, so that every subsystem can read them; each keeps the default
// its owner gives it.

#include <cstdint>
#include <vector>

#include "core/Hooks.h"

// --- Command line and installation -------------------------------------------------------
extern char g_dataPath[20];    // prefix of the movie and disc files, ends in '\' or '/'
extern int g_installType;      // 0 "Full", 1 "Standard", 2 anything else
extern char g_realmFile[256];  // realm configuration file of a direct start
extern char g_realmName[256];  // its realm name, from its folder
extern int g_startRegion;
extern int g_mapSeed;
extern char g_startWizardFile[256];  // default "_start.wzd"
extern int g_difficulty;
extern int g_directStart;
extern int g_directAI;
extern int g_trainingSpells;  // 1, or 2 with "train=random"
extern int g_recordBattle;
extern int g_playBattle;
extern int g_windowed;

// --- GLOBAL_OPTIONS ----------------------------------------------------------------------
extern int g_softwareCursor;       // 1 unless UseWinCursor is TRUE
extern int g_ambientLight;         // stored negated: -108 by default
extern int g_lightRamp;            // -16
extern int g_indicatorLightLevel;  // -64, never above 0
extern int g_noLightSources;
extern int g_allowUnitTracking;
extern int g_creatureDieTime;  // frames a dying creature takes
extern int g_rateOfDrowning;
extern int g_maxNodesForRouteFinding;
enum AITimeSystem { kNotionalTime = 0, kRealTime = 1 };
extern int g_aiTimeSystem;
extern int g_aiTimeLimit;
extern int g_useNodeMap;
// EffectRadius: the radii of the circle span tables of the effects (the count is the size).
extern std::vector<int> g_effectRadii;
// What reading the options asks of the effects: to build their circle span tables from
// g_effectRadii. The effects install their own at start-up; the neutral one builds nothing.
class IEffectRadiusTables {
 public:
  virtual ~IEffectRadiusTables() = default;
  virtual void Build(const std::vector<int>& radii) {}
};
extern HookSlot<IEffectRadiusTables> g_effectRadiusTables;

// Lighting parameters of the colour tables (LightCurve ... UWColourPower).
extern int g_lightCurve;
extern int g_colourFactor;
extern double g_lightPower;
extern double g_colourPower;
extern int g_uwLightCurve;
extern int g_uwColourFactor;
extern double g_uwLightPower;
extern double g_uwColourPower;

// --- DEBUG -------------------------------------------------------------------------------
extern int g_autoUnlock;
extern int g_spoolMapGenInfo;
extern int g_showMapSeed;
extern int g_showFrameRate;
extern int g_useMallocedBackBuffer;
extern int g_showSpriteLog;
extern int g_useCSpritePrinter;
extern int g_frameSkipEvery;  // SkipFrameEvery
extern int g_skipCountdown;   // starts at g_frameSkipEvery
extern int g_frameSkipCount;  // SkipXFrames
extern int g_frameSkipMax;    // MaxSkipXFrames
extern int g_activeAI;
extern int g_creatureAnimChecks;
extern int g_seeAllGrimoire;
extern int g_validateScripts;
extern int g_battleDebugKeys;  // the battle's debug keys work (Alt+T, O, D, B, N)

// --- COMBAT_MODIFIERS (percentages stored times 5 / 2) -------------------------------------
extern int g_impetus;
extern int g_relativeHeight;
extern int g_relativeFacing[8];

// --- MANA_SYSTEM and WIZARD_LEVEL --------------------------------------------------------
extern int g_manaGeneration;
extern int g_manaRecoveryDelay;
extern int g_manaRecovery;
extern int g_lordBooster;
extern int g_kingBooster;
extern int g_spUpgradeLevel[6];

// --- BLOOD_N_GORE ------------------------------------------------------------------------
extern int g_bloodLevel;
extern int g_percentAsGore;
extern int g_goreTimeOnFloor;
extern int g_texturedGore;
extern float g_texturedGoreUpper;
extern float g_texturedGoreLower;
extern int g_goreSize;
extern int g_goreTrail;

// --- PEST_FLY ----------------------------------------------------------------------------
extern int g_pestFlyMinDist;
extern int g_pestFlyTopSpeed;
extern int g_pestFlyRandom;

// --- SPELL_CAST_EFFECT -------------------------------------------------------------------
extern int g_spellCastColour[9];  // three red, green, blue triples
extern int g_spellCastParticlesPerFrame;
extern int g_spellCastLives;
extern int g_spellCastSpeed;
extern int g_spellCastDelay;
extern int g_spellCastDecay;
extern int g_spellCastBoost;
extern int g_indirectSpellParticleLevel;
extern int g_indirectSpellParticlePeriod;

// --- EARTH_BIND_EFFECT, LEVITATE_EFFECT, SUBVERT_EFFECT ----------------------------------
struct ParticleEffectOptions {
  int colour[4];
  int size[2];
  int densityMod;
};
extern ParticleEffectOptions g_earthBindEffect;
extern ParticleEffectOptions g_levitateEffect;
extern int g_subvertFailColour[3];
extern int g_subvertFailParticleCount;

// --- NETWORK -----------------------------------------------------------------------------
extern int g_netRandomLog;
extern int g_networkLogging;
extern int g_netEffectsLog;
extern int g_numRandomSpells;
extern int g_messageDelayFrames_LAN;
extern int g_messageDelayFrames_NET;
extern int g_messageDelayFrames_SERIAL;
// Our own keys of [NETWORK]: the port a created session listens on (0: any free one), the port
// on which sessions are listed, how long a join looks for its session and how long a silent
// machine keeps its place, both in milliseconds.
extern int g_netGamePort;
extern int g_netListPort;
extern int g_netJoinTimeOut;
extern int g_netKeepAlive;
// The online lobby's chat server (host name or IPv4 address, and port), how long a wait on it
// lasts before it gives up (milliseconds), and the IPv4 address this machine's guests reach a
// game it hosts at ("" for the address its connection to the chat server has).
extern char g_lobbyServer[256];
extern int g_lobbyPort;
extern int g_lobbyTimeOut;
extern char g_lobbyGameAddress[64];

// --- SPRITE_CACHE ------------------------------------------------------------------------
extern int g_spriteCache_slotSize;
extern int g_spriteCache_numSlots;
extern int g_useSpriteCache;
extern int g_hide_HC_sprites;

// --- BATTLE_LOG --------------------------------------------------------------------------
extern int g_logBufferSize;
extern char g_logFileName[256];

// --- DIFFICULTY (indexed by the difficulty level 0..3) -------------------------------------
extern int g_healthModify[4];
extern int g_manaModify[4];
extern int g_controlModify[4];
extern int g_magicResistModify[4];
extern int g_intelligenceModify[4];
extern int g_combatModify[4];

// --- POISON_POINTS, MR_RECOVERY ----------------------------------------------------------
extern int g_poisonDelay;
extern int g_mrDelay;

// --- SPEECH_BOX (speed levels 0..2) ------------------------------------------------------
extern int g_speechMaxSpeed[3];
extern int g_speechStartSpeed[3];
extern int g_speechAccelSpeed[3];

// Reads the switches of the command line (tokens separated by '/', '-' or blanks).
void ParseCommandLine(const char* commandLine);

// Reads CDRomDrive.cfg, cfg\Install Type.cfg and cfg\vrask.cfg in that order; 0 when
// cfg\vrask.cfg does not exist (start-up then warns), else 1.
int ReadGlobalOptions();

// Puts every option back to its built-in default (start-up does not need it; tests do).
void ResetGlobalOptions();

// The current directory joined with name into destination (size bytes); an empty string
// when the result would not fit.
void MakeCurrentDirPath(const char* name, char* destination, int size);

// The program's version number: the decimal digits of its file version in order (so
// "0, 1, 9, 0" gives 190), or -1 when it has none.
int GetProgramFileVersion();
// The same for a file version string.
int FileVersionNumber(const char* version);
