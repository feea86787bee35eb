#pragma once
// CSpellDefinition: one record per spell (0-103) from cfg\spells.cfg, in the global table
// g_spellDefs, read once at start-up by LoadSpells. The records stay constant for the run
// except their sightings block, which notes during a battle which army saw which army cast
// the spell; it is cleared when a battle loads and travels in the saved game.
//
// The table lives with the creatures because creature rules read spell records as tuning
// values (the spell_tuning numbers below); the spells, effects, AI and front end read it
// from here.

#include <cstdint>
#include <cstdio>

inline constexpr int kSpellCount = 104;
inline constexpr int kMagicItemsNeededMax = 15;
inline constexpr int kSightingArmies = 8;

// Bits of AllowedTargets.
namespace spell_targets {
inline constexpr uint8_t kPlace = 1;
inline constexpr uint8_t kOwnWizard = 2;
inline constexpr uint8_t kHostileCreature = 4;
inline constexpr uint8_t kOwnCreature = 8;
inline constexpr uint8_t kStandablePlace = 32;  // a place whose terrain type has flag 8
}  // namespace spell_targets

// LOFType values.
enum SpellLineOfFire : int32_t { kLofNone = 0, kLofStraightCast = 1, kLofThrowCast = 2, kLofParticle = 3 };

// Alignment values, of spells and (copied from the spell of the same number) creature types.
enum Alignment : int32_t { kAlignLaw = 0, kAlignNeutral = 1, kAlignVrask = 2 };

// Spell records whose fields creature and effect rules read as tuning values.
namespace spell_tuning {
inline constexpr int kFallDamage = 44;        // Damage: a forced landing
inline constexpr int kFreezeShatter = 46;     // Data1: the blow that shatters a frozen creature
inline constexpr int kProvoke = 50;           // SpellStrength: the provoke chance
inline constexpr int kRaiseDead = 52;         // Data1: health per cent of a raised creature
inline constexpr int kPestilence = 65;        // SpellStrength, Damage: the pestering flies
inline constexpr int kTotemBeam = 70;         // Damage: the totem's beam
inline constexpr int kPanic = 77;             // SpellStrength: the overlay panic constant
inline constexpr int kDrain = 79;             // Duration: drain tick; Data1, Damage, SpellStrength: the burst
inline constexpr int kLevitate = 80;          // Duration, Data1 (height), SpellStrength (line speed)
inline constexpr int kMightyBlow = 83;        // Damage: hand-to-hand bonus in spell state 1
inline constexpr int kFlight = 84;            // Duration: spell state 3; Data1: a jump or fall step's cost
inline constexpr int kIllusion = 86;          // SpellStrength: the strength an illusion is disbelieved against
inline constexpr int kPathFactorFirst = 91;   // SpellStrength: first factor of the path-node rating
inline constexpr int kPathFactorSecond = 92;  // SpellStrength: second factor
inline constexpr int kArcaneBolt = 98;        // Damage: long-range bonus in spell state 2
inline constexpr int kHoldShatter = 101;      // Data1: the blow that shatters a held creature
}  // namespace spell_tuning

struct CSpellDefinition {
  int32_t Range;           // tiles, 0-100
  int32_t RangeUnits;      // Range x 32 (map units)
  int32_t ManaCost;        // whole mana, 0-300; 0 makes a cast start nothing
  int32_t SpellStrength;   // 0-500
  int32_t MagicItemCount;  // entries of MagicItemsNeeded, 0-15
  int32_t MagicItemsNeeded[kMagicItemsNeededMax];
  int32_t NoRequired;  // 0-3
  char TextName[256];
  uint8_t AllowedTargets;  // spell_targets bits
  int32_t Speed;           // 1-32 (0 before the file is read)
  int32_t LOFType;         // SpellLineOfFire
  int32_t Damage;          // 0-255
  int32_t Duration;        // 0-20000
  int32_t Alignment;       // enum Alignment
  int32_t BalanceAmount;   // 0-100
  int32_t DoMRCheck;       // 1: the spell's effect tests magic resistance
  int32_t DoITCheck;       // 1: ... intelligence
  int32_t DoBRCheck;       // 1: ... bravery
  int32_t Radius;          // 0 small, 1 medium, 2 large
  float AI_Adjustment;     // 0 or above
  int32_t Data1;           // 0-9999, spell-specific
  // [seeing army][casting army]: 1 once the seeing army saw the casting army cast the spell
  // in the current battle.
  int32_t Sightings[kSightingArmies][kSightingArmies];
  int32_t SpellBoxSound;  // 1-9999
  // AI classification weights, 0 or above.
  int32_t AI_FlyingCreature;
  int32_t AI_UndeadCreature;
  int32_t AI_OtherCreature;
  int32_t AI_OffensivePowerUp;
  int32_t AI_DefensivePowerUp;
  int32_t AI_Missile;
  int32_t AI_Area;
  int32_t AI_AntiMR;
  int32_t AI_AntiIntelligence;
  int32_t AI_AntiUndead;
  int32_t AI_AntiBravery;
  int32_t AI_AntiFlying;
  int32_t AI_Pestilence;
  int32_t AI_Guardian;
  int32_t AI_Totemoflife;
  int32_t AI_Disenchant;
  int32_t AI_Restrictors;
  int32_t AI_Evaders;
};

extern CSpellDefinition g_spellDefs[kSpellCount];
extern int g_maxSpellCost;   // the largest ManaCost read
extern int g_maxSpellRange;  // the largest Range read

// Reads the spells from the file (named relative to the current directory) into the 104
// records of table, which are cleared first, as are the two maxima. Missing sections and keys
// keep their defaults. Answers 1, or 0 when the file is missing (start-up's fatal box).
int LoadSpells(const char* fileName, CSpellDefinition* table);

// The AllowedTargets mask of a code of the file (1-14); 0 for other codes.
uint8_t AllowedTargetsMask(int code);

// The sightings block of the saved game: the 104 Sightings blocks, in spell order, 256 bytes
// each.
inline constexpr int kSightingsBlockBytes = kSpellCount * kSightingArmies * kSightingArmies * 4;
void ResetSpellSightings();
// Answers the bytes written (26624), or -1 at the first block that could not be written.
int SaveSpellSightings(FILE* file);
// Answers 26624, or -1 on a short read or an entry other than 0 or 1; then nothing changes.
int LoadSpellSightings(FILE* file);
