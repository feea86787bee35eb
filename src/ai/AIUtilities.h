#pragma once
// Small functions that the decisions, the measures and the controller share: a random delay,
// the balance of a side and of a running decision, the spell cast checks from a cell, a range
// test, and the strength and mana queries on a leaf. Stateless apart from g_aiRandom.
//
// What the computer player asks the rest of the game here goes through g_aiWorld, so tests
// can record and answer it.

#include "core/Hooks.h"

class CAIDecision;
class CAIGroupNode;
class CCreature;

class IAIWorld {
 public:
  virtual ~IAIWorld() = default;
  // Whether the caster may cast the spell from the launch point at the aim point (map units),
  // at the target creature (-1 a place); inRange 0 means the target is beyond a throw. 0 when
  // it may, else the reason.
  virtual int CheckSpellTarget(int lx, int ly, int lz, int ax, int ay, int az, int spell, int caster, int target,
                               int inRange);
  // Ticks until the caster can afford one cast of the spell, as the army believes its mana.
  virtual int ManaWaitSeenBy(const CCreature& caster, int army, int spell);
  // Whether the spell's projectile, launched from one point at another (map units) by the
  // shooter, finds an arc that reaches the target creature.
  virtual bool ProjectileReaches(int x0, int y0, int z0, int x1, int y1, int z1, int shooter, int spell, int target);
};
extern HookSlot<IAIWorld> g_aiWorld;

// -mean x ln(u), u = 31 bits of g_aiRandom / 2^31; a draw of 0 counts as 1 so the result
// stays finite.
double ExponentialRandom(float mean);
// A uniform draw in [0, 1) from 31 bits of g_aiRandom.
float UniformRandom();
// 31 bits of g_aiRandom.
int RandomBits31();

// The side's balance: (threat + 1) / (strength + 1) of its wizard, 0 without a wizard.
float SideRatio(int army);
// The balance of a running decision: (gain + 1) / (loss + 1) x (start + 0.01) / (now + 0.01).
double OutcomeRatio(const CAIDecision& decision);

// Whether two cells lie within r tiles (the wrapped squared distance is at most r²).
bool WithinRange(int r, int x1, int y1, int z1, int x2, int y2, int z2);

// Whether a spell's permission table lets a caster of casterArmy cast it at a creature of
// targetArmy.
bool SpellPermits(int spell, int targetArmy, int casterArmy);

// The launch point of a caster standing at a cell and facing direction dir (map units).
void LaunchPoint(const CCreature& caster, int x, int y, int level, int dir, int& lx, int& ly, int& lz);
// The aim point at a creature and at a cell (map units).
void CreatureAimPoint(const CCreature& target, int& ax, int& ay, int& az);
void CellAimPoint(int x, int y, int level, int& ax, int& ay, int& az);
// The reason the caster cannot cast the spell from the cell at the target, 0 when it can.
int CastCheckAtCreature(CCreature& caster, int spell, int x, int y, int level, CCreature* target);
int CastCheckAtCell(CCreature& caster, int spell, int x, int y, int level, int tx, int ty, int tlevel);

// The strength of a leaf's creature against a type: hand to hand (its bonus, blood lust, lord
// and king boosts, the mighty blow) and long range (the boosts and the arcane bolt).
int LeafHthRating(const CAIGroupNode* leaf, int againstType, int asked);
int LeafLrcRating(const CAIGroupNode* leaf, int againstType, int asked);
// The mana income credited to the leaf's army by the places of power the group's members
// have records of.
int LeafManaIncome(CAIGroupNode* group, const CAIGroupNode* leaf);
