#pragma once
// Every spell of a battle, whoever casts it (a wizard, a creature's ranged attack, an
// artifact, a script, a peer's frame), goes through CSpellCast::Execute: it notes who saw the
// cast, takes the caster's mana, works out where the spell starts and where it goes, plays
// the cast sound and starts the spell's effect. CheckSpellTarget answers beforehand whether
// a spell may be cast at a target; it changes nothing.

#include <cstdint>

struct CProjectileResult;

// The cast request: eleven words in this order (a frame carries them whole).
struct CSpellCast {
  static constexpr int kWords = 11;

  int32_t spell = -1;
  int32_t sourceX = 0, sourceY = 0, sourceZ = 0;  // map units, used without a caster creature
  int32_t targetX = 0, targetY = 0, targetZ = 0;  // map units, used without a target creature
  int32_t caster = -1;                            // creature, -1 none
  int32_t target = -1;                            // creature, -1 none
  // 1 a wizard's own cast, paid in mana; 2 from an item; 0 and 4 free (4 also sends the
  // teleport's target creature to the target place).
  int32_t mode = 1;
  int32_t extra = -1;  // handed unchanged to the effect

  static CSpellCast FromWords(const int32_t words[kWords]);
  void ToWords(int32_t words[kWords]) const;

  // Carries the request out. A spell outside the table, or a caster or target naming no
  // creature in use, is refused before anything changes.
  void Execute() const;
};

// Battle-wide balance of the alignments: paid Law casts lower it, paid Vrask casts raise it.
// Cleared with the spell sightings when a battle loads.
extern int32_t g_alignmentBalance;

// At battle load: no army has seen a spell cast and the balance is level.
void ResetSpellCasting();

// Result codes of CheckSpellTarget.
enum SpellTargetResult : int {
  kTargetValid = 0,
  kTargetWantsPlace = 1,
  kTargetFriendInLine = 2,
  kTargetEnemyInLine = 3,
  kTargetNotAllowed = 4,
  kTargetOutOfSight = 5,  // out of range, unseen by the caster's army, or obscured
  kTargetTerrainInLine = 6,
  kTargetUnreachable = 7,  // a thrown spell cannot reach it
};

// Whether the spell may be cast from the source at the target (map units), by the caster at
// the target creature (-1 a place). trace receives the projectile trace of thrown spells.
// A caster outside the armies gives kTargetOutOfSight.
int CheckSpellTarget(int sx, int sy, int sz, int tx, int ty, int tz, int spell, int caster, int target,
                     CProjectileResult& trace);

// The places a cast of the caster at a target would start from and go to: the caster's
// launch point, and the target creature's centre (the cell's centre when it is dead) or the
// given point. False when the caster names no creature in use.
bool CastSourcePoint(int caster, int& x, int& y, int& z);
void CastTargetPoint(int target, int& x, int& y, int& z);

// The map cursor's question: may the caster cast the spell at the creature (-1 none) or the
// point (map units) under the pointer? Answers CheckSpellTarget's code.
int TestSpellTargetFrom(int caster, int spell, int target, int x, int y, int z);
