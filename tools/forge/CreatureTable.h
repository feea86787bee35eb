#pragma once
// The forged creature types: one row per type number 0-27, the one place that says what each
// type is. It feeds cfg\creature.cfg and cfg\hth.cfg (the stats and the rating matrices) and
// the creature art (the look fields: footprint, height, flight, markers, eye offsets, blood
// and pace), so that gauges, eyes, blood and walking speed fit the figures drawn.
//
// Fields named like a key of cfg\creature.cfg hold that key's value as written; the
// remaining fields feed the rating matrices of cfg\hth.cfg (see HthMatrices).

#include <array>
#include <string>

namespace forge {

inline constexpr int kCreatureTypes = 28;

// Alignments, as the spell of the same number as a type gives them.
inline constexpr int kLaw = 0;
inline constexpr int kNeutral = 1;
inline constexpr int kVrask = 2;

struct ScreenOffset {
  int x = 0, y = 0;
};

// Screen offsets in pixels from the point a figure stands on (the centre of its footprint at
// ground level), y growing downward: pair 0 the top of the figure, pair 1 its eyes, pair 2
// the ground at its front edge, pair 3 the point above its head where markers hang. The
// creature's health gauge is |pair 0 y| + |pair 2 y| + 1 pixels tall.
using MarkerSet = std::array<ScreenOffset, 4>;

struct CreatureRow {
  // --- names -------------------------------------------------------------------------
  const char* displayName;  // how players see the type ("Black Dog")
  const char* typeName;     // its row of the type name table ("BLACK_DOG"); "" for 24-27
  const char* animName;     // its art: creatures\<animName>.ani and creatures\16Mb Anims\<animName>.ani;
                            // "" for the wizard types, whose art is wizard1..wizard6
  int alignment;            // kLaw, kNeutral or kVrask: written as the Alignment of spell <type>

  // --- look: shared with the art --------------------------------------------------------
  int TileSizeXY;  // footprint in tiles along x and y: 1 or 2
  int TileHeight;  // height in levels (16 map units, 16 pixels each): 1-5
  bool CanFly;
  int FlyingHeight;  // levels above the ground a flier keeps
  // Markers by the way the figure moves across the screen: view facings 1 and 5 move
  // sideways (horizontally), 3 and 7 up and down the screen, the even ones diagonally.
  MarkerSet MarkerHoriz;
  MarkerSet MarkerVert;
  MarkerSet MarkerDiag;
  // The eye (where missiles and sight start), per facing 0-7: map units x, y, z from the
  // type's centre point (footprint centre, half its height up).
  std::array<std::array<int, 3>, 8> LRCOffsets;
  std::array<int, 4> BloodColour;  // red, green, blue, spread
  // Pace on the ground and in the air, 0-1000 (see CycleShift): what the art's walk and fly
  // cycles cover, and so how fast the type moves. 0 for a type that never flies.
  int GroundSpeed;
  int FlyingSpeed;

  // --- stats -------------------------------------------------------------------------
  int Acceleration;  // speed change per step; with 0 the type never starts moving
  int Intelligence;  // 1-100
  int Health;        // 1-500
  int Stamina;
  int Defense;
  int MagicResist;
  int ImmuneSystem;
  int FireRate;         // frames added to each ranged attack; only for types with a ranged attack
  int FireRange;        // tiles; non-zero only for types with a ranged attack spell
  int ViewRange;        // tiles
  int SwimmingAbility;  // 0, 1 drown under water, 2 swims at the surface, 3 never drowns
  bool IsPhysical;
  bool IsUndead;
  const char* ArtifactUse;          // words COLLECT, EAT, PICKUP, OPENCHEST or NONE
  const char* AI_CreatureCategory;  // words SCOUT, ATTACKER, DEFENDER
  int WanderDist, WanderDelay;
  int LordExperienceLevel, KingExperienceLevel;
  int BurnTime, BurnDamage;  // BurnDamage 0: fire does not harm it
  int Weight;
  int Bravery;

  // --- what the rating matrices are made from ----------------------------------------------
  int melee;    // hand-to-hand damage a blow deals to an unarmoured target
  int missile;  // ranged damage, or for the holders (8, 20) the strength of their hold
  int taunt;    // how far off it taunts enemies (twice this in cells); 0 never
};

// The 28 rows, by type number.
const std::array<CreatureRow, kCreatureTypes>& CreatureTable();

// The screen shift in pixels, along the straight view facing 0, from the first frame of a walk
// or fly cycle to its closing frame, for a speed of 0-1000: 32 covers one step per cycle (at
// speed 0), 64 two steps (at 1000). The game takes 6 x this shift as the units a straight
// cycle covers (a step is 192), so the pace follows. The diagonal facing 1 shifts twice as far
// on screen for the same pace.
int CycleShift(int speed);

// The rating matrices of cfg\hth.cfg, each [type][target type], in the order the file holds
// its sections.
struct HthMatrices {
  using Matrix = std::array<std::array<int, kCreatureTypes>, kCreatureTypes>;
  Matrix HTH;            // hand-to-hand damage rating
  Matrix Stun;           // knock-back chance of a blow, per cent
  Matrix LRC;            // long-range damage rating (holders: hold strength)
  Matrix Taunt;          // taunt distance (cells / 2)
  Matrix Assist;         // readiness to help an ally of that type
  Matrix FearHate;       // > 0 hate (attack reach), < 0 fear (flee distance / 2)
  Matrix Evasion;        // readiness to dodge
  Matrix ResponsetoLRC;  // > 0 charge a shooter, < 0 take cover
};
HthMatrices MakeHthMatrices();

// The section and key names of the matrices in cfg\hth.cfg, in file order.
inline constexpr const char* kHthSections[8] = {"HTH_Matrix",     "Stun_Matrix",         "LRC_Matrix",
                                                "Taunt_Matrix",   "Assist_Matrix",       "FearHate_Matrix",
                                                "Evasion_Matrix", "ResponsetoLRC_Matrix"};
const HthMatrices::Matrix& HthMatrixByIndex(const HthMatrices& m, int index);

}  // namespace forge
