#pragma once
// The part of a creature's record that the damage, experience and combat rules keep:
// protections, the stored burst, the remembered attacker and what each army last saw it take.
// Plain values only, so a copy of a record shares nothing.
#include <cstdint>

inline constexpr int kCombatArmies = 8;

struct CCreatureCombatState {
  int32_t shielded = 0;          // a hit is quartered while non-zero
  int32_t invulnerable = 0;      // a saved word of the record; an item's invulnerability is its timer
  int32_t blastValue = 0;        // a creature with one bursts on death
  int32_t illusionFading = 0;    // an illusion whose health ran out: immune while it fades
  int32_t damageCredit = 0;      // its death is valued with its mana and the AI's credit ratio
  int32_t hurtPause = 0;         // frames until the next "hurt" notice to the local player
  int32_t attacker = 0;          // slot + 1 of the creature that last hit it with a missile, 0 none
  int32_t attackerMemory = 0;    // frames the attacker is remembered
  int32_t raised = 0;            // raised as undead once already
  int32_t challenger = 0;        // slot + 1 of an enemy in contact that challenged it, 0 none
  int32_t tauntedBy = 0;         // slot + 1 of the creature taunting it, 0 none
  int32_t reactionModifier = 0;  // added to the type's fear or hate of an enemy
  int32_t fleeDistance = 0;      // how far it runs from a feared enemy
  // Per army that saw it: the last damage it saw the creature take, and the frames since.
  int32_t lastSeenDamage[kCombatArmies] = {};
  int32_t lastSeenCounter[kCombatArmies] = {};
};
