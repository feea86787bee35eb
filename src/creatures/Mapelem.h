#pragma once
// CCreature: one creature on the battle map, the unit that orders, movement, behaviour,
// combat, spells, the computer player, the scripts and the network act on. Wizards are
// creatures of the wizard types (0, 24, 25, 26). Every record lives in a slot of the creature
// pool (CreatureArray.h) and is named everywhere by its slot number: map cells, targets,
// followers, spotters and saved games hold slot numbers, never pointers, so a copy of a record
// shares nothing it must free.
//
// This file holds the record and its record-level rules: reset, placement from a type,
// position and occupied cells, removal, selection, facing, health and mana, the event queue,
// the spell list and the sighting marks. The behaviour behind most fields (orders, movement,
// combat, behaviour) lives in the files of those rules.

#include <cstdint>
#include <cstdio>
#include <list>

#include "creatures/CreatureAnims.h"
#include "creatures/CreatureCombatState.h"
#include "creatures/CreatureMotion.h"
#include "creatures/CreatureOrderQueue.h"
#include "creatures/CreatureOrderState.h"
#include "creatures/CreatureStrength.h"
#include "creatures/CreatureType.h"
#include "graphics/Animation.h"
#include "graphics/BarGauge.h"
#include "graphics/PrintFX.h"
#include "map/CreatureShape.h"
#include "map/MoveQuery.h"

class CAIGroupNode;

inline constexpr int kCreatureEvents = 20;
// The computer player's two controllers: 0 works over every creature, 1 over the wizards.
inline constexpr int kAIControllerCount = 2;
inline constexpr int kCreatureSpells = 30;
inline constexpr int kSightingArmyCount = 8;
inline constexpr int kSightingFull = 30;  // a sighting counter's value while seen
inline constexpr int kNoCreature = -1;
inline constexpr uint16_t kNoOccupant = 0xFFFF;

// Order kinds.
enum CreatureOrder : int32_t {
  ORDER_NONE = 0,
  ORDER_WAIT,
  ORDER_WALK_TO_POS,
  ORDER_ATTACK_CREATURE,
  ORDER_ATTACK_TERRAIN,
  ORDER_DEAD,
  ORDER_TRAPPED,
  ORDER_TAUNT,
  ORDER_STUNNED,
  ORDER_REACTION_HTH,
  ORDER_REACTION_LRC,
  ORDER_BEHAVIOUR,
  ORDER_DYING,
  ORDER_BARGED,
  ORDER_RETREAT,
  ORDER_LIFTED,
  ORDER_DROPPED,
};

// Animation states.
enum CreatureAnimState : int32_t {
  ANIM_NONE = 0,
  ANIM_WAIT,
  ANIM_WALK,
  ANIM_DEAD,
  ANIM_PICKUP,
  ANIM_FLINCH,
  ANIM_TAUNT,
  ANIM_VICTORY,
  ANIM_LRC_ATTACK_CREAT,
  ANIM_LRC_ATTACK_TERRAIN,
  ANIM_HTH_ATTACK,
  ANIM_TRACKING,
  ANIM_EXPLORING,
  ANIM_TRAPPED,
  ANIM_STUNNED,
  ANIM_STAND,
  ANIM_DIP_CAP,
  ANIM_TROLL_EAT,
  ANIM_BLOB_ATTACK,
  ANIM_DYING,
  ANIM_ENGAGED,
  ANIM_RETREAT,
  ANIM_RISING,
  ANIM_LIFTED,
  ANIM_DROPPED,
  ANIM_HTH_RECOVER,
};

// Type numbers with rules of their own.
// The words of a creature's post and wandering (CCreature::placementWords), set when a script
// deploys it without a wizard or as a guard.
namespace wander_block {
inline constexpr int kHomeX = 0, kHomeY = 1, kHomeLevel = 2;
inline constexpr int kRange = 3;  // wander destinations keep at least this far from the creature
inline constexpr int kMode = 4;
inline constexpr int kDistance = 5;  // destinations lie within twice this of home
inline constexpr int kDelay = 6;     // frames between wanders
inline constexpr int kCountdown = 7;
inline constexpr int kAggression = 8;
}  // namespace wander_block

namespace creature_kind {
inline constexpr int kPoisonedTotem = 13;  // type 13 pushes its own print effects
inline constexpr int kStatic = 22;         // cannot be selected; sees the invisible
inline constexpr int kUnseen = 27;         // never selected, never sighted
}  // namespace creature_kind

// One entry of the event queue: the kinds of the artifact and item events.
struct CCreatureEvent {
  int32_t kind = 0;
  int32_t value1 = 0, value2 = 0, value3 = 0;
  int32_t remaining = 0;  // value 4: the event's remaining amount
  int32_t active = 0;
};

// A step of a creature's route: seven words, kept by the route rules.
struct CLineMoveParams;

struct CRouteStep {
  int32_t words[7] = {0, 0, 0, 0, 0, 0, -1};
};

// The creature's cell route: goal, progress and at most 16 steps. In the saved block the
// route takes 18 step slots; the space of the last two carries the step in progress
// (CCreatureMotion).
inline constexpr int kCreatureRouteSteps = 16;
struct CCreatureRoute {
  int32_t goalX = 0, goalY = 0, goalLevel = 0;
  int32_t stepIndex = 0;
  int32_t stepCount = 0;
  CRouteStep steps[kCreatureRouteSteps];
};

// The creature's route over the path-node network.
struct CNodeRoute {
  int32_t header[2] = {};  // the second: node route active
  int32_t nodes[50] = {};  // path-node indexes, -1 ends
  int32_t position = 0;
  // Goal x, y, level, two more words, and the nearest path node to the creature (looked up
  // every 20 frames by the scheduler).
  int32_t goal[6] = {0, 0, 0, 0, 0, -1};
  int32_t& NearestNode() { return goal[5]; }
};

// An animation played over or attached to the creature, with its in-use mark.
struct CAttachedAnim {
  CAnimPlayer player;
  int32_t inUse = 0;
};

// The small bar over a creature. A copy builds a gauge of its own with the same size and
// values, so that copies of a record share no pixels.
struct CCreatureGauge {
  CCreatureGauge() = default;
  CCreatureGauge(const CCreatureGauge& other) { CopyFrom(other); }
  CCreatureGauge& operator=(const CCreatureGauge& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  // Width 4, the height given, the maximum and value; drawn at once.
  void Build(int height, int maximum, int value);
  void SetValue(int value);
  void CopyFrom(const CCreatureGauge& other);
  CBarGauge bar;
};

// A creature owns its print-effect player: the effects that end with a callback come back
// to OnPrintEffectEnd.
class CCreature final : public CPrintFXOwner {
 public:
  CCreature();

  // --- life on the map ---
  // Empties the record for slot index: no order, animation state, behaviour or level; step
  // kind 5.
  void Reset(int slot);
  // Places the creature of a type for an army at its current cell position (set beforehand
  // with SetPosition). A type whose animations cannot be loaded ends the program.
  void InitFromType(int typeNumber, int army);
  // Returns every condition and transient value to its start: full health, conditions off,
  // the armies' sighting counters, facing.
  void ResetState();
  // Cell and unit position; the unit height stands on the cell's terrain (2 x 2 types on the
  // lowest of their four cells).
  void SetPosition(int x, int y, int level, int typeNumber);
  // Marks the cells the creature fills (wrapped at the map's seam) as its own; UnmarkCells
  // frees them again.
  void MarkCells(int x, int y, int level);
  void UnmarkCells(int x, int y, int level);
  // Moves to another cell, then meets what lies there.
  void Relocate(int x, int y, int level);
  // Takes the creature off the map: its slot becomes free.
  void Detach();

  // --- ownership and selection ---
  bool IsLocalPlayers() const;
  bool IsAlive() const { return health > 0; }
  bool IsWizard() const { return IsWizardType(typeNumber); }
  void Select();
  void Deselect();
  // Whether the local player may select it (of the local army, alive, not type 22 or 27).
  bool IsSelectable() const;

  // --- health and mana ---
  int GetMaxHealth() const;
  // A change of health by an army's creature (-1 none): damage when negative. Answers 0 for a
  // dead creature, else 1.
  int AdjustHealth(int amount, int attackerArmy, int* out, int flag);
  void AddMana(int amount);
  void SetMaxMana(int value);
  void AddSpellMana(int army, int amount);
  void RecoverWizardMana();

  // --- facing ---
  void FaceCell(int x, int y);
  void FacePoint(int x, int y);
  // 1 when turned toward a creature at most two cells away.
  int FaceAdjacentCreature(const CCreature& other);
  void UpdateViewFacing();
  void SetFacing(int newFacing);

  // --- targets and sighting ---
  void DropTarget(int slot);
  void SetSeenByArmy(int on, int army, int spotter);
  // The creature the current action is aimed at, null when none.
  CCreature* GetTargetCreature() const;

  // --- events and spells ---
  CCreatureEvent* GetEvent(int i);
  int AddEvent(int kind, int value1, int value2, int value3, int value4, int notify);
  void RemoveEvent(int i);
  void ProcessEventAt(int i);
  void AddSpell(int spell);
  void ClearSpellsAndEvents();
  void SelectSpell(int spell);

  // --- drawing ---
  // The body's current frame (null when there is none) and its offsets.
  CSpriteFrame GetCurrentFrame(int& offsetX, int& offsetY);
  void GetFrameOffsetA(int& x, int& y) const;
  void GetFrameOffsetB(int& x, int& y) const;
  // Rebuilds the health gauge for the current maximum and value.
  void RebuildHealthGauge();
  // The rank badge plays the sequence of the creature's rank (none for rank 0).
  void StartRankBadge();

  // --- the saved game (CreatureSave.cpp) ---
  // One creature's block: the bytes moved, -1 on a short write or read or a block that breaks
  // the record's rules (the record may then be half read: the pool reads into a copy).
  int Save(FILE* file) const;
  int Load(FILE* file);

  // --- sight ---
  // 1 when the cell lies within ViewRange in x and in y, the short way round.
  int IsWithinViewRange(int x, int y) const;
  // 1 when the point (map units) is in view range and the eye sees it unobscured.
  int CanSeePoint(int x, int y, int z) const;
  int HasLineOfSightTo(const CCreature& other) const;
  // The eye (by facing) and the centre, in map units.
  void EyePoint(int& x, int& y, int& z) const;
  void CentrePoint(int& x, int& y, int& z) const;

  // --- conditions ---
  void PestStep();
  // Starts the flies that pester the creature (nothing when they do already): its flag.
  int StartPestFlies();
  void StopPestFlies();
  // --- damage and experience (CreatureDamage.cpp) ---
  // 1 when a creature held in kind 1 or 2 was shattered by the blow and removed.
  int ShatterHeld(int blow);
  // The hit of this creature's missile or effect on another.
  void ResolveMissileHit(int victimSlot);
  void SetInvisibility(int n);
  void SetIronSkin(int n);
  void SetBloodLust(int n);
  void SetIllusion(int n) { illusion = n; }
  // Blood for a blow and a glow for an absorbed one: seen only, drawn from the view's generator.
  void EmitBlood(int amount);
  void EmitGlowBurst(int amount);
  // --- dispatch, reach and explosions (CreatureDispatch.cpp) ---
  // An order another creature reports (GetCurrentOrder's kinds: 2 walk, 3 attack a creature,
  // 4 attack a place) given to this one.
  void IssueOrder(int kind, int x, int y, int z, int targetSlot);
  // Whether walking greedily toward another creature comes to a cell it can be attacked from.
  bool CanReach(const CCreature& other);
  // --- reactions and conditions (CreatureReactions.cpp) ---
  void SetHaste(int n) { haste = n; }
  // Slow cancels haste; ending it takes its colour away.
  void SetSlow(int n);
  // Stores a teleport's destination and starts its fading; with the flag set the creature
  // may arrive in the air (and then falls).
  void StartTeleport(int x, int y, int z, int flag);
  // Finishes what a print effect started: 9 lands a teleport, 8 takes a faded illusion away.
  void OnPrintEffectEnd(int effect) override;
  // Starts the fading that takes the creature out of play when it ends.
  void StartPrintEffect8();
  // Another army takes the creature over.
  void ChangeOwner(int newArmy);
  // The creatures of its (new) army engaged with it let go; those attacking it are freed.
  void ReleaseEngagements();
  // --- challenges and engagement (CreatureSight.cpp) ---
  // The first enemy in contact becomes the challenger; 1 when found.
  int FindChallenger();
  int HasValidChallenge();
  // Engages a valid challenger (or waits a frame for it); 0 when the challenge was not valid.
  int AnswerChallenge();
  int IsThreatened();
  // Ends the creature's own tracking engagement; answers the partner (-1 none).
  int ReleaseTracking();
  // Ends every engagement with the creature: its own, and those of the creatures tracking it.
  void ReleaseAllEngagements();
  // Room for the creature's body at a cell (its own cells count as free).
  bool HasRoomAt(int x, int y, int level) const;
  // What passability tests and route searches know of the creature.
  CMoveQuery MakeMoveQuery() const;
  void SlowIfInCone(int ox, int oy, int ol, int dx, int dy, int dz, int range);

  // --- steps of the rules built elsewhere (kept small until their rules fill them) ---
  // Takes damage (items: the source's two carried item ids, or null); answers whether the
  // creature survived.
  bool LoseHealth(int amount, int attackerArmy, const int* items, int flag);
  void UpdatePanic();
  // The idle decision (every 20 frames): the distance to its target while attacking, the
  // sub-behaviour under BEHAVIOUR, else the order.
  int DecideBehaviour();
  void UpdateStrength();
  void CountArmyCreatures();
  void ReactToEnemies();
  // Spends route-search budget; 1 when a search stopped unfinished.
  int RunPlanningStep(int& budget);
  void TouchObjectsHere();
  void TriggerCellObjects();
  void ApplyCellEffects();
  // Part of the cell effects: a cell of the footprint marked for the battle script.
  void OfferTriggerCell();

  // --- orders, update and animation states (CreatureOrders.h has the rest) ---
  using OrderHandler = int (CCreature::*)();
  using AnimStateHandler = void (CCreature::*)();
#include "creatures/CreatureBehaviourMembers.inc"
#include "creatures/CreatureOrderMembers.inc"
#include "creatures/CreatureRouteMembers.inc"

  // --- the record ---
  int32_t index = 0;
  int32_t inUse = 0;
  int32_t cellX = 0, cellY = 0, level = 0;
  int32_t unitX = 0, unitY = 0, unitZ = 0;
  int32_t spare = 0;
  int32_t sightingCounters[kSightingArmyCount] = {};
  int32_t seenBefore = 0;  // the local army saw it at the start of this frame's scan
  int32_t spottedBy[kSightingArmyCount] = {-1, -1, -1, -1, -1, -1, -1, -1};  // slots
  int32_t selected = 0;
  int32_t healthStep = 0;  // 0-14
  int32_t inspected = 0;
  int32_t placementZero = 0, placementMinusOne = -1;
  int32_t illusion = 0;
  int32_t magicResistance = 0;
  int32_t intelligence = 0;
  int32_t invisible = 0;
  int32_t ironSkin = 0;
  int32_t bloodLust = 0;
  int32_t heldTime = 0, heldKind = 0;
  int32_t typeNumber = 0;
  const CCreatureType* type = nullptr;
  CAnimPlayer bodyAnim;
  CreatureAnimSetPtr animSet;  // the set the body plays, held while it plays it
  int32_t animationBase = 0;
  int32_t health = 0;
  int32_t mana = 0;  // 8.8
  int32_t maxMana = 0;
  int32_t deadState[3] = {};  // the third is kept; the block's first two carry the death stage
  int32_t undead = 0;
  int32_t manaSource = 0;
  int32_t nextManaGain = 0;
  int32_t mayFly = 0;
  int32_t stepAirborne = 0, stepKind = 5;
  int32_t earthBind = 0;
  int32_t pestered = 0, pestTimer = 0;
  int32_t rank = 0;  // level: 0 ordinary, 1 Lord, 2 King
  int32_t experience = 0;
  CAnimPlayer overlayAnim;
  // The crown over a Lord or a King: started by a promotion (and by a loaded game), advanced
  // each frame; not part of the saved block, which keeps the rank it follows from.
  CAnimPlayer rankBadge;
  int32_t nextActionFrame = 0;
  int32_t rangedAttack = 0;
  int32_t movement[3] = {};  // walking flag and speed among them
  int32_t army = 0;
  int32_t eventCount = 0;
  CCreatureEvent events[kCreatureEvents];
  int32_t spellCount = 0;
  int32_t spells[kCreatureSpells] = {};
  int32_t selectedSpell = -1;
  int32_t order = ORDER_NONE, pendingOrder = ORDER_NONE;
  OrderHandler orderHandler = nullptr;
  int32_t animState = ANIM_NONE;
  int32_t transient[2] = {};
  int32_t facing = 0;
  int32_t viewFacing = 0;
  int32_t stepLevelChange = 0, previousFacing = 0, midStep = 0;
  // The current attack: spell, three words, target point (units), attacker, target slot
  // (-1 a terrain target), and two words 1 and -1.
  int32_t attack[11] = {0, 0, 0, 0, 0, 0, 0, 0, -1, 1, -1};
  int32_t target = -1;
  int32_t tracking = 0;
  int32_t carriedItems[2] = {-1, -1};  // artifacts carried
  int32_t behaviourSubState = 0;
  int32_t engagedWith = -1;
  CCreatureGauge healthGauge;
  int32_t viewMark = 0;
  // How many selected creatures of the player attack this one this map-view frame (counted
  // before the view walks its cells; the target arrow shows while it is above 0).
  int32_t targetMarks = 0;
  int32_t goalMarker = -1;  // effect
  int32_t independent = 0;
  int32_t teleportX = 0, teleportY = 0, teleportLevel = 0;
  int32_t teleportInAir = 0;  // the teleport may arrive in the air
  uint8_t falling = 0, endFlight = 0;
  int32_t stepSpeed = 0;
  uint8_t stepBytes[2] = {};
  uint8_t mirrored = 0, attackApproach = 0;
  int32_t moveWords[7] = {};  // the stepped straight move: its target cell and line shape
  int32_t haste = 0, slow = 0;
  int32_t provokeTimer = 0, provoked = 0;
  int32_t attachedObject = -1;
  int32_t airborne = 0;
  CAttachedAnim attachAnim1;
  // The spell-held state: 1 a mighty blow (the overlay of the states plays), 2 an effect held
  // with it (turned with it), 3 a flight of limited duration (attachment anim 2 shows it).
  int32_t spellState = 0;
  int32_t attachedEffect = -1;
  CAnimPlayer attachAnim2;
  int32_t secondAttachedObject = -1;
  int32_t sightTimer = 0;  // item kind 15: the local wizard's sight runs
  CAttachedAnim attachAnims[3];
  int32_t ownMaxHealth = 0;  // a wizard's own maximum health, 0 takes the army wizard's
  int32_t aiWords[12] = {};
  // The creature's leaf in each computer-player controller, null when it has none there. The
  // controller owns the node; a reset record names none, so a leaf whose slot was reused is
  // known by the creature no longer naming it.
  CAIGroupNode* aiGroupNode[kAIControllerCount] = {nullptr, nullptr};
  // What the computer player's strength and danger sweeps write: on every creature its
  // strength toward its wizard; on a wizard also the threat against its side and its side's
  // summed strength (the side's balance is (threat + 1) / (strength + 1)).
  int32_t aiStrength = 0;
  int32_t aiThreat = 0;
  int32_t aiSideStrength = 0;
  int32_t scriptCommand = 0;  // a live COMMAND event of the battle script names it
  // A script deployment let this wizard cast its helping spells on its allies' creatures as
  // on its own (cleared when the creature is set up, kept in a saved battle).
  int32_t mayCastOnAllies = 0;
  COrderQueue queuedOrders;
  int32_t followed = -1;
  int32_t changed = 0;  // health, mana or placement changed
  int32_t group = -1;   // the number key's group, -1 none
  CCreatureRoute route;
  CCreatureShape shape;
  int32_t shapeSize = 8;           // 8 for TileSizeXY 1, else 64
  int32_t placementWords[9] = {};  // the post and wandering of a creature left alone (wander_block)
  CPrintFXPlayer printFX;
  int32_t transient2[2] = {};
  CNodeRoute nodeRoute;
  int32_t manaStores[kSightingArmyCount] = {};  // 8.8, the creature's mana as army n believes it
  CCreatureStrength strength;                   // the combat strength estimate
  CCreatureBehaviourState behaviour;            // autonomous behaviour
  CCreatureOrderState orderState;               // orders and animation states
  CCreatureCombatState combat;                  // damage, protections and experience
  // Three marks the computer player's group builders test and nothing sets yet (0 from
  // InitFromType): a creature the reachable-group builders pass over, one the watching
  // builders pass over, and the marker the filtered troop builder requires to be 0.
  int32_t aiUnreachable = 0;
  int32_t aiNotWatching = 0;
  int32_t aiTroopMarker = 0;
  // Set by the computer player's cautious engagements: the creature's routes over the path
  // nodes weigh the danger of every node they enter.
  int32_t aiDangerRoute = 0;
};

// One 36-byte queued-order entry of a creature's block: the bytes moved or -1. Loading wraps
// the cell into the current map.
int SaveQueuedOrderEntry(FILE* file, const CQueuedOrder& entry);
int LoadQueuedOrderEntry(FILE* file, CQueuedOrder& entry);

// --- selection globals ---
extern CCreature* g_selectedCreature;
extern int g_selectionCount;
// The view rotation the creature code turns facings by (0-3).
extern int g_creatureViewRotation;
// The last events of the local player's wizard, copied when it leaves the map.
extern CCreatureEvent g_lastWizardEvents[kCreatureEvents];
extern int g_lastWizardEventCount;

// Clears the selected creature, the count and the rotation (battle start and end).
void ResetCreatureSelection();
CCreature* GetSelectedCreature();
// Sets the count and the battle's mouse mode: 1 with creatures selected, else 0.
void SetSelectionCount(int count);
// The battle's mouse mode as the creatures set it: 0 nothing selected, 1 creatures, 2 a spell
// being aimed.
int HasSelection();
void SetHasSelection(int mode);
