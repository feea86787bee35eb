#pragma once
// CCreatureType: one of the 28 creature types (0-27), in the global table g_creatureTypes,
// read from cfg\creature.cfg (one section per type) and cfg\hth.cfg (one section per rating
// matrix) when the front end's root screen is entered. A type holds the stats, flags and
// rating matrices that creatures, the AI and the grimoire read, the per-frame movement tables
// measured from its animation set (CreatureAnims.h), and the type-level rules: wizard type
// numbers, step speed, marker offsets and the hand-to-hand and long-range ratings.

#include <cstdint>

#include "map/MoveQuery.h"

inline constexpr int kCreatureTypes = 28;  // type numbers 0-27
inline constexpr int kTypeNameCount = 24;  // types 0-23 have a row in the name table
inline constexpr int kNoRangedAttack = -1;

// Bits of artifactUse.
namespace artifact_use {
inline constexpr uint8_t kCollect = 1;
inline constexpr uint8_t kEat = 2;
inline constexpr uint8_t kPickUp = 4;
inline constexpr uint8_t kOpenChest = 8;
}  // namespace artifact_use

// Bits of aiCategory.
namespace ai_category {
inline constexpr int32_t kScout = 1;
inline constexpr int32_t kAttacker = 2;
inline constexpr int32_t kDefender = 4;
}  // namespace ai_category

// Fields named like a key of cfg\creature.cfg (or a section of cfg\hth.cfg) hold what it
// gives; a missing key leaves 0 (BloodColour: 255, 0, 0, 64).
struct CCreatureType {
  int32_t typeNumber;
  int32_t alignment;   // Alignment of the spell whose number is the type's: 0 Law, 1 Neutral, 2 Vrask
  int32_t TileSizeXY;  // footprint in tiles along x and y: 1 or 2
  int32_t TileHeight;  // levels: 1-5
  int32_t Acceleration;
  int32_t Intelligence;  // 1-100
  int32_t Health;        // 1-500
  int32_t Stamina;       // 1-100
  int32_t Defense;       // 1-100
  int32_t MagicResist;   // 1-100
  int32_t ImmuneSystem;  // 1-100
  int32_t FireRate;      // 0-1000, added to the ranged attack duration
  int32_t FireRange;     // 0-2000 tiles
  int32_t ViewRange;     // 0-100 tiles
  int32_t CanFly;
  int32_t FlyingHeight;
  int32_t SwimmingAbility;  // 0, 1 drown under water, 2 swims at the surface, 3 never drowns
  int32_t IsPhysical;
  int32_t IsUndead;
  int32_t rangedAttackSpell;  // the spell of the type's long-range attack, kNoRangedAttack for none
  // Marker offsets: four (x, y) pairs per view class (see GetMarkerOffset).
  int32_t MarkerHoriz[4][2];
  int32_t MarkerVert[4][2];
  int32_t MarkerDiag[4][2];
  // Units advanced in each of the 12 frames of a step's cycle (sum: the units of a cycle;
  // a step is 192), measured from the animation set by ComputeMoveTables.
  int32_t walkAdvanceStraight[12];
  int32_t walkAdvanceDiagonal[12];
  int32_t flyAdvanceStraight[12];
  int32_t flyAdvanceDiagonal[12];
  int32_t centreOffset;  // added to a creature's unit x and y for its centre: 16 or 32
  int32_t centreHeight;  // added to its unit z: TileHeight x 8
  // Rating matrices, entry t against target type t.
  int32_t HTH_Matrix[kCreatureTypes];            // 0-1000
  int32_t Stun_Matrix[kCreatureTypes];           // 0-1000: knock-back chance, per cent
  int32_t LRC_Matrix[kCreatureTypes];            // 0-2500
  int32_t Taunt_Matrix[kCreatureTypes];          // 0-1000
  int32_t Assist_Matrix[kCreatureTypes];         // 0-1000
  int32_t FearHate_Matrix[kCreatureTypes];       // -1000-1000: below 0 fear
  int32_t ResponsetoLRC_Matrix[kCreatureTypes];  // -1000-1000: below 0 fear
  int32_t Evasion_Matrix[kCreatureTypes];        // -1000-1000
  int32_t LRCOffsets[8][3];                      // per facing: x, y, z of the eye from the centre point, in units
  uint8_t artifactUse;                           // artifact_use bits
  int32_t WanderDist;
  int32_t WanderDelay;
  int32_t maxSpeed;  // the largest step speed, from ComputeMaxStepSpeed
  int32_t LordExperienceLevel;
  int32_t KingExperienceLevel;
  int32_t aiCategory;  // ai_category bits
  int32_t BloodColour[4];
  int32_t BurnTime;              // 0-1000
  int32_t BurnDamage;            // 0-1000
  int32_t Weight;                // 0-1000
  int32_t attackDuration;        // mean ticks of the hand-to-hand attack sequences + 3
  int32_t rangedAttackDuration;  // FireRate + mean ticks of the long-range sequences
  int32_t GroundSpeed;           // 0-1000
  int32_t FlyingSpeed;           // 0-1000
  int32_t Bravery;               // 0-1000

  // The cost of one step to a neighbouring cell in a step mode (0 walk, 1-3 kinds of flight,
  // 4 swimming): the units of the mode's advance table for the step's distance / 4. Modes
  // 1-3 of a type that cannot fly cost the Data1 of spell 84 (no step); modes above 4, 0.
  uint32_t GetStepBase(int mode, int dx, int dy, int dz) const;
  // One step's speed change: target = base x 4 / divisor (x 3/2 down a level, x 2/3 up one,
  // except in mode 4); current moves toward target by the type's Acceleration (gravity
  // helping downhill) over the step's distance.
  void UpdateStepSpeed(int divisor, int mode, int dx, int dy, int dz, uint32_t base, int& current, int& target) const;
  // Marker pair index (0-3) for a creature of this type facing `facing` in the map view's
  // current rotation; the second form takes the rotation.
  void GetMarkerOffset(int& x, int& y, int facing, int index) const;
  void GetMarkerOffset(int& x, int& y, int facing, int index, int viewRotation) const;
  // The hand-to-hand rating against a target type: a third against the undead, unless this
  // type is undead too.
  int GetHthRating(int targetType) const;
  // The long-range rating likewise; 10 for the holders, types 8 and 20.
  int GetLrcRating(int targetType) const;
  // How much the AI fears the type's shots: 2 for types 1 and 3, 1 for 2 and 10, else 0.
  int GetThreatClass() const;
  // What a free place for a creature of the type must give room to (summoning, deployment).
  CMoveQuery MakePlacementRequest() const;
};

extern CCreatureType g_creatureTypes[kCreatureTypes];

// The largest values read, which the grimoire scales its bars by.
struct CTypeMaxima {
  int32_t hth;  // largest HTH_Matrix entry
  int32_t lrc;  // largest LRC_Matrix entry of every type but 8 and 20
  int32_t Health;
  int32_t MagicResist;
  int32_t Intelligence;
  int32_t Weight;
  int32_t FireRange;
  int32_t ViewRange;
  int32_t GroundSpeed;
  int32_t FlyingSpeed;
  int32_t Bravery;
};
extern CTypeMaxima g_typeMaxima;

// The names of types 0-23 ("PLAYER_WIZARD" ... "CHAMP_OF_VRASK").
extern const char* const g_creatureTypeNames[kTypeNameCount];

// The gravity of the speed rule: a step down a level adds g_gravityFactor x 76.8 (truncated)
// to the acceleration, a step up takes it away.
extern float g_gravityFactor;

// Wizards are creatures of types 0, 24, 25 and 26 (wizard numbers 0-3).
bool IsWizardType(int type);
// Wizard number 0-3 to its type and back; any other value passes unchanged.
int WizardNumberToType(int wizardNumber);
int TypeToWizardNumber(int type);

// The spell of a type's long-range attack, kNoRangedAttack for none.
int RangedAttackSpellOfType(int type);

// Reads the 28 types from the two files (named relative to the current directory) into
// table, cleared first, as are the maxima; the alignments come from g_spellDefs, so the spells
// are read first. Missing sections and keys keep their defaults. Answers 1, or 0 when a file
// is missing.
int ReadCreatureConfig(const char* creatureFile, const char* hthFile, CCreatureType* table);

// Reads cfg\creature.cfg and cfg\hth.cfg into g_creatureTypes (the root screen's entry); a
// missing file is the fatal file-load error.
void LoadCreatureTypes();
