#pragma once
// CScriptEvent: one event of a battle map's script, 1112 bytes. The battle's saved game keeps
// the records as they are, so the layout is a file format: 32-bit little-endian integers,
// names of 32 and texts of 256 zero-terminated characters, at the offsets the asserts below
// fix. The last 432 bytes hold the part of the event's type (its action's values).

#include <cstddef>
#include <cstdint>

inline constexpr int kScriptNameSize = 32;
inline constexpr int kScriptTextSize = 256;

// The event types (EventType); 7 is never given.
enum ScriptEventType : int32_t {
  kScriptNull = 0,
  kScriptCommand = 1,
  kScriptDialogue = 2,
  kScriptDeployment = 3,
  kScriptPortal = 4,
  kScriptTrap = 5,
  kScriptDiplomacy = 6,
  kScriptExperience = 8,
  kScriptFlag = 9,
};

// The run state of an event.
enum ScriptRunState : int32_t {
  kScriptArmed = 0,
  kScriptRunning = 1,  // pre-pause, speech, command or post-pause under way
  kScriptRetired = 2,
};

struct ScriptCommandPart {
  char commandCharacter[kScriptNameSize];
  int32_t interrupt;
  float threshold, rating;  // percent weights: (v - 50) x 0.02
  int32_t destinationType;
  char destinationCharacter[kScriptNameSize];
  char destinationLocation[kScriptNameSize];
  int32_t destinationArtefact, rangeToArtefact;
  int32_t safeRoute, dropArtefact, giveArtefact;
  int32_t commandArtefact, spellToCast, spellTarget;
  char targetCharacter[kScriptNameSize];
  char targetLocation[kScriptNameSize];
  int32_t targetCreatureType, manaBoost;
};

struct ScriptDialoguePart {
  char speakingCharacter[kScriptNameSize];
  char speakerName[kScriptNameSize];
  int32_t speakerStatus;
  char speechLocation[kScriptNameSize];
  int32_t speechArtefact, dialogueIndex, scrollType;
  char portrait[kScriptNameSize];
  int32_t disembodied, illuminate, dontScrollBack, heraldWait, heraldAtCharacter;
  char speech[kScriptTextSize];
  int32_t tutorialCommand, tutorialSpell, tutorialSelected;
};

struct ScriptDeploymentPart {
  char deployedCharacter[kScriptNameSize];
  int32_t temporary;
  char deployedArmy[kScriptNameSize];
  int32_t deployedArtefact, deploymentType;
  char deployNextToCharacter[kScriptNameSize];
  char deploymentLocation[kScriptNameSize];
  int32_t deployNextToArtefact;
  int32_t wizard, creatureType, rank, equipment, illusion, undead;
  int32_t invisibility, bloodLust, ironSkin, haste, levitation, gorgonStare, earthBind;
  int32_t initialHealth, initialMana, initialPoison, unsummonDuration;
  int32_t artefact[3];
  int32_t guard, wanderRange, wanderMode, wanderDistance, wanderDelay, aggression;
  int32_t canCastOnAllies, keyCharacter;
};

struct ScriptPortalPart {
  int32_t portalPosition;
  char portalCharacter[kScriptNameSize];
  int32_t rangeFromCharacter;
  char portalLocation[kScriptNameSize];
  int32_t portalArtefact, portalCountDown;
};

struct ScriptTrapPart {
  char trapTargetCharacter[kScriptNameSize];
  char trapTargetLocation[kScriptNameSize];
  int32_t trapSpell;
  char sourceLocation[kScriptNameSize];
  int32_t trapTarget, terrainEvent, createdTerrain, poisonCharacter, promotion;
};

struct ScriptDiplomacyPart {
  char diplomacyCharacter[kScriptNameSize];
  char newArmy[kScriptNameSize];
  char diplomacyArmy[kScriptNameSize];
  char hostileArmy[kScriptNameSize];
  char friendlyArmy[kScriptNameSize];
  char viewArmy[kScriptNameSize];
  int32_t canView;
};

struct ScriptExperiencePart {
  int32_t experiencePoints;
  char experienceText[kScriptTextSize];
  int32_t itemGained, experienceType;
  char experienceCharacter[kScriptNameSize];
  char experienceLocation[kScriptNameSize];
  int32_t experienceArtefact, centre;
};

struct ScriptFlagPart {
  int32_t setFlag, clearFlag;
};

struct CScriptEvent {
  // Every field at its default: not in use, type NULL, armed, the type part zero.
  void Reset();
  // The type part of COMMAND, DIALOGUE and DEPLOYMENT at its defaults.
  void ResetCommand();
  void ResetDialogue();
  void ResetDeployment();
  // The type part at the defaults of the type (zero for NULL and unknown types).
  void ResetTypePart(int eventType);

  // --- the engine's state ---
  int32_t inUse;
  int32_t type;      // ScriptEventType
  int32_t runState;  // ScriptRunState
  int32_t actionsLeft;
  int32_t prePauseLeft, prePause;
  int32_t postPauseLeft, postPause;
  int32_t snapshotStart;  // first word of the terrain snapshot, -1 none
  int32_t artefactEventCount;
  int32_t graphic, sound;
  int32_t soundDelayLeft, soundDelay;
  // --- the conditions ---
  int32_t timeElapsed, timeLimit;
  int32_t complete[5];
  int32_t allComplete;
  int32_t inComplete[5];
  int32_t allInComplete;
  int32_t minimumDifficulty, maximumDifficulty;
  int32_t flagSet, flagClear;
  int32_t regionComplete, regionIncomplete;
  char dependentCharacter[kScriptNameSize];
  int32_t dependentCharacterStatus;
  int32_t minimumMana, maximumMana, minimumHealth, maximumHealth;
  char dependentLocation[kScriptNameSize];
  int32_t notAtLocation, characterDiscovered;
  char rangeCharacter[kScriptNameSize];
  int32_t range, outOfRange;
  int32_t charactersArtefact, dependentArtefactStatus;
  int32_t dependentArtefact, artefactStatus, artefactNumber;
  char possessingArmy[kScriptNameSize];
  char artefactLocation[kScriptNameSize];
  char changedLocation[kScriptNameSize];
  int32_t change;
  int32_t triggerTarget, triggerCreatureType, excludeCreatureType;
  char triggerCharacter[kScriptNameSize];
  char triggerLocation[kScriptNameSize];
  int32_t deathActivate;
  int32_t isAligned, notAligned;
  int32_t minMR, maxMR, minIntelligence, maxIntelligence;
  int32_t minTriggerHealth, maxTriggerHealth, minTriggerMana, maxTriggerMana;
  int32_t minWeight, maxWeight, minSpeed, maxSpeed;
  char triggerArmy[kScriptNameSize];
  char safeArmy[kScriptNameSize];
  int32_t movementState, undeadState, visibleState;
  int32_t interfaceCommand, interfaceSpell, creatureSelected;
  char firstArmy[kScriptNameSize];
  char secondArmy[kScriptNameSize];
  int32_t hostile;
  // --- the action ---
  union {
    uint8_t typeBytes[432];
    ScriptCommandPart command;
    ScriptDialoguePart dialogue;
    ScriptDeploymentPart deployment;
    ScriptPortalPart portal;
    ScriptTrapPart trap;
    ScriptDiplomacyPart diplomacy;
    ScriptExperiencePart experience;
    ScriptFlagPart flag;
  };
};

static_assert(sizeof(CScriptEvent) == 1112, "a script event record is 1112 bytes");
static_assert(offsetof(CScriptEvent, snapshotStart) == 32);
static_assert(offsetof(CScriptEvent, timeElapsed) == 56);
static_assert(offsetof(CScriptEvent, complete) == 64);
static_assert(offsetof(CScriptEvent, inComplete) == 88);
static_assert(offsetof(CScriptEvent, dependentCharacter) == 136);
static_assert(offsetof(CScriptEvent, dependentLocation) == 188);
static_assert(offsetof(CScriptEvent, rangeCharacter) == 228);
static_assert(offsetof(CScriptEvent, possessingArmy) == 288);
static_assert(offsetof(CScriptEvent, changedLocation) == 352);
static_assert(offsetof(CScriptEvent, triggerCharacter) == 400);
static_assert(offsetof(CScriptEvent, deathActivate) == 464);
static_assert(offsetof(CScriptEvent, minMR) == 476);
static_assert(offsetof(CScriptEvent, triggerArmy) == 524);
static_assert(offsetof(CScriptEvent, movementState) == 588);
static_assert(offsetof(CScriptEvent, interfaceCommand) == 600);
static_assert(offsetof(CScriptEvent, firstArmy) == 612);
static_assert(offsetof(CScriptEvent, hostile) == 676);
static_assert(offsetof(CScriptEvent, typeBytes) == 680);
static_assert(offsetof(ScriptCommandPart, manaBoost) == 892 - 680);
static_assert(offsetof(ScriptCommandPart, targetCharacter) == 824 - 680);
static_assert(offsetof(ScriptDialoguePart, speech) == 844 - 680);
static_assert(offsetof(ScriptDialoguePart, tutorialSelected) == 1108 - 680);
static_assert(offsetof(ScriptDeploymentPart, creatureType) == 828 - 680);
static_assert(offsetof(ScriptDeploymentPart, artefact) == 892 - 680);
static_assert(offsetof(ScriptDeploymentPart, keyCharacter) == 932 - 680);
static_assert(offsetof(ScriptPortalPart, portalCountDown) == 756 - 680);
static_assert(offsetof(ScriptTrapPart, promotion) == 796 - 680);
static_assert(offsetof(ScriptDiplomacyPart, canView) == 872 - 680);
static_assert(offsetof(ScriptExperiencePart, itemGained) == 940 - 680);
static_assert(offsetof(ScriptExperiencePart, centre) == 1016 - 680);
