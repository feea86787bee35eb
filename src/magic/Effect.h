#pragma once
// CEffect: one record of the effect pool. Everything a spell, an artifact, a script, a blast
// or a creature puts on the battle map (missiles, explosions, clouds, markers, floating
// numbers, lights) is an effect with a kind 0-88 that decides its look and update. The
// record is plain: the manager builds the pool once, CEffect::Activate starts a record from
// a parameter block and CEffect::Deactivate frees it. Records link to cells, creatures and
// each other by number, never by pointer into another pool.

#include <cstdint>
#include <cstdio>

#include "graphics/Animation.h"
#include "magic/EffectParams.h"
#include "map/LineStepper.h"

class CEffectManager;
class CSoundInstance;
struct CMapCell;
struct CTerrainType;

// Results of the motion primitives (Travel, StepBallistic, Fall).
enum EffectMotion : int {
  kMotionHitCreature = 0,  // a creature was reached (params word 7)
  kMotionBlocked = 1,      // solid terrain (or, falling, the ground)
  kMotionLeftMap = 2,      // above the top or below the floor
  kMotionGoing = 3,        // the steps of this tick are used, or the target is reached
  kMotionOutOfRange = 4,
};

// Working words of the effect frame; the other words of `state` belong to the kinds.
namespace effect_state {
inline constexpr int kViewHeading = 0;  // heading relative to the view, 0-15
inline constexpr int kHeading = 1;      // absolute heading, 0-15 (0-7 for kind 81)
inline constexpr int kSubVoxel = 2;     // 2, 3, 4: last sub-voxel tested while travelling
inline constexpr int kReachedCell = 8;  // 8, 9, 10: cell of the last travel step
inline constexpr int kDistance = 11;    // length travelled along the line
inline constexpr int kCounter = 12;     // 12, 13, 14: the kinds' counters
inline constexpr int kCounter2 = 13;
inline constexpr int kCounter3 = 14;
inline constexpr int kTrajectoryStart = 15;  // 15, 16, 17
inline constexpr int kLastPosition = 18;     // 18, 19, 20: before the last step
inline constexpr int kTrailCell = 21;        // 21, 22, 23
inline constexpr int kPreviousCell = 24;     // 24, 25, 26
inline constexpr int kHold = 27;
inline constexpr int kArmy = 28;
inline constexpr int kItem0 = 29, kItem1 = 30;
inline constexpr int kPrintType = 31;
inline constexpr int kMotionMode = 32;
inline constexpr int kMotionCounter = 33;  // the fall speed while falling
inline constexpr int kSeen = 34;
}  // namespace effect_state

// Kinds the effect core treats by name.
namespace effect_kind {
inline constexpr int kMaxKind = 88;
inline constexpr int kObscuresFire = 10;
inline constexpr int kFire = 14;
inline constexpr int kFallingBlock = 23;
inline constexpr int kTrap = 26;
inline constexpr int kTrapEnding = 27;
inline constexpr int kAffectsTile = 33;
inline constexpr int kCreatureEcho = 52;
inline constexpr int kDigit = 82;
inline constexpr int kShortLived = 85;
}  // namespace effect_kind

class CEffect {
 public:
  static constexpr int kStateWords = 35;
  static constexpr uint16_t kEndOfChain = 0xFFFF;

  // --- activation (one record's life) -----------------------------------------------------
  // Starts the effect: 0 when a kind-21 effect finds no place to land (the record stays
  // free), otherwise the effect's cell level.
  int Activate(int kind, const CEffectParams& block);
  // Ends the effect (and a path marker's partner); answers the kind.
  int Deactivate();
  // Appends the effect to the cell's chain unless the cell takes no effects.
  void LinkToCell(CMapCell* target);
  // Takes the effect out of the cell's chain; marks a cell left wholly empty under the tile
  // overlay as open sky again.
  void UnlinkFromCell(CMapCell* target);
  // Stores the kind and gives the effect that kind's initial state.
  void SetKind(int newKind);

  // --- motion -------------------------------------------------------------------------------
  // Moves along the line stepper (EffectMotion). With link 1 the cell chains follow.
  int Travel(int link);
  void StartTrajectory(int x0, int y0, int z0, int x1, int y1, int z1);
  // One tick of a thrown effect: Travel's result, or kMotionLeftMap.
  int StepBallistic();
  // One tick of falling (EffectMotion 0-3).
  int Fall();
  void FollowCreature(int c);
  void FollowCreatureTop(int c);
  void FollowCreatureAt(int c, int drop);
  // 1 when the effect stands above solid ground; climbs one level out of a full block.
  int RiseThroughSolid();
  // Drops the effect onto the first ground below it (or ends it above the top).
  void SettleOnGround();
  // Whether the cell can carry a fire; moves the effect down onto terrain first.
  int CheckSupport();
  void SpawnKind25Nearby();
  // Spreads a trap over the other cells of a large creature's footprint.
  void AttachCompanions(bool atRouteNode);
  // Stores the heading from source to target (0-15) in state word 1.
  void ComputeHeading16();
  // The 8-way heading from source to target.
  int ComputeHeading8() const;

  // --- animation ------------------------------------------------------------------------------
  // Picks the sequence to draw; called by the map view each time it draws the effect. It
  // never restarts a playing sequence, so drawing cannot change how long an effect lives.
  void UpdateAnimation();
  // The effect-animation table entry of the effect's spell and kind.
  int GetAniIndex() const;
  // Plays entry n of the effect-animation table from its sequence + offset; an entry or
  // file past the tables leaves the player stopped.
  void StartEntry(int entry, int offset);
  void AnchorToCreature();
  int RestartKind26Anim(int value);
  void SetSequence(int n);

  // --- what the effect does to its target ------------------------------------------------
  void DamageTarget(int amount);
  int PassesSpellChecks(int a, int b);
  void Fizzle();
  void SpawnCreatureParticles(int c);
  // A totem hit by a damaging spell collapses (the terrain-shaping effects fill it).
  void CollapseTotem();
  // The effect's tile changed under it (the terrain-shaping effects fill it).
  void AffectTerrainTile();

  // --- the per-tick update ----------------------------------------------------------------
  // One battle frame of the effect: what its kind does, then the fall of the tail.
  void Update();
  // A fire passes to a burnable neighbour; answers the terrain index of the cell looked at.
  int TrySpread();
  // Carries out the spell the effect holds (word 8) at what it reached.
  void DeliverSpell();

  // --- summoning ---------------------------------------------------------------------------
  // 1 when a place for a creature of the type was found (the effect now stands there).
  int PlaceSummon(int type);
  int CreateSummonedCreature(int type, int illusion);
  int SummonWizard();
  // A failed summoning of a script event tells the script (EffectScript.h).
  void ReportFailedSummon();

  // --- terrain shaping -------------------------------------------------------------------------
  // 1 when a kind-26 effect was found and fed.
  int FeedFlame();
  void SettleWall(int relink);
  void WobbleLinked();
  void SpawnCornerEffects();
  void SpawnWallSegment(int direction);
  void MoveToFreeCell();
  // Totems: 1 when the totem may grow where the effect now stands (it may have moved).
  int FindTotemSite();
  // 1 when the effect's cell and the cells above it are free for the totem's tiles.
  int CanGrowTotem();
  // 1 when the effect was moved down onto standable ground.
  int DropToGround();
  // One level of a growing totem: 0 when a world object or a creature is in the way (the
  // caller plays sound 1011), else 1; the grown totem becomes kind 33.
  int GrowTotem();
  // One frame of a standing totem: pests, repelling or attracting; shooting; healing.
  void TotemAura();
  void TotemShoot();
  void TotemHeal();
  // One frame of a growing wall (spell 35) and the side walls of its first step.
  void GrowWall();
  void StartSideWalls();
  // Spell 75's shaking: the corner columns sway and creatures near them are thrown.
  void Shockwave();
  void RiseOneLevel();

  // --- targeting and strikes -------------------------------------------------------------------
  // Continues a travelling effect after a hit.
  void Ricochet(int relink);
  void SeekNextTarget(int hit);
  void StartBolt();
  void StartBeam(int a, int b, int c, int d, int points, int branchChance);
  void FireIfClear();
  void ChooseStrikeTarget();
  void ShootHostiles();
  void RandomStrike();
  void SpawnRing();
  void TrapOnCell();
  // Slows the creatures in a cone in front of the caster; the cone query's result.
  int AreaInFront();

  // --- light and small accessors ---------------------------------------------------------
  bool PassesLightFilter() const;
  bool IsLightSourceAffected() const;
  bool IsClippedToHeight() const;
  int GetNextInCell() const { return nextInCell; }
  int GetKind() const { return kind; }
  CEffectParams& GetParams() { return params; }
  // The creature of a parameter word when it names one in use, else -1.
  int CreatureOfWord(int word) const;

  // --- the saved game (EffectSave.cpp) ---
  // One record: the bytes moved, -1 on a short write or read or a number the writer never
  // writes (the record may then be half read: the manager reads into a copy).
  int Save(FILE* file) const;
  int Load(FILE* file);

  // --- the record ---------------------------------------------------------------------------
  int32_t index = 0;
  int32_t active = 0;
  int32_t cellX = 0, cellY = 0, cellLevel = 0;
  int32_t x = 0, y = 0, z = 0;
  int32_t spare = 0;  // kept for the saved-game layout
  CEffectManager* owner = nullptr;
  int32_t kind = 0;
  CEffectParams params;
  CLineStepper stepper;
  CAnimPlayer animPlayer;
  const CTerrainType* terrainType = nullptr;
  CMapCell* cell = nullptr;  // null while the effect stands outside the map
  int32_t creature = -1;     // the creature the kind anchored on, -1 none
  CSoundInstance* sound = nullptr;
  uint16_t nextInCell = kEndOfChain;
  int32_t state[kStateWords] = {};

 private:
  // Creatures standing in the 27 cells around the effect, in the table's order, without the
  // creature of word 6 and without repeats.
  struct Gathered {
    int count = 0;
    int creatures[27] = {};
  };
  void GatherCreatures(Gathered& out) const;
  // The first gathered creature whose body holds the point, or -1.
  int CreatureAtPoint(const Gathered& around, int px, int py, int pz) const;
  int TravelStep(int link, Gathered& around, int& result);
  int TravelRange() const;
  // Moves the record to the cell of its position (x, y, z), relinking when asked.
  void MoveToPositionCell(bool relink);
  void PlaceInCell(int cx, int cy, int level, bool relink);
  int FindDropPoint();

  // The kinds' set-up (EffectKinds.cpp).
  void SetUpKind();
  void TrajectoryStart();
  void LineStart();
  void HeadingAnimation();
  void AnchorOn(int word);
  void CellCentre(bool onGround);
  void GroundLevel();
  void ReactCreature();
  void CompanionOnReservedRecord(int entry, int marker);
  void StartObjectLook(bool atDataWord);
  void SetUpFire();
  void SetUpTrap();
  void SetUpCountdown();
  void SetUpSummoning(bool wizard);
  // The kinds' update (EffectUpdate.cpp).
  void UpdateKind();
  void UpdateTail();
  void Trail(const int colour[3]);
  void TrailByAlignment();
  void Watch(int c);
  bool EndUnlessAlive(int c);
  void StartCopy(int kind);
  int LoopAnimation();
  void EndCompanion(int effect, bool byKind);
  void BurnOut();
  void UpdateFire();
  void UpdateCountdown();
  void UpdateThrown();
  void UpdateRicochet();
  void UpdateFollower();
  void UpdateHealingBeam();
  void UpdateBlast();
  void UpdateThrownObject();
  void UpdateAttached();
  void UpdateHold();
};

// b when a equals b, else b + a battle draw modulo (a - b).
int RandomRange(int a, int b);
