#pragma once
// What effects ask of the creatures and artifacts (the subsystem below that does not know
// effects). The creature code installs its own implementation at start-up
// (g_effectWorld.Install(&...)); until then, and in tests that need no creatures, the
// neutral one answers that there is no creature. Tests install fakes with HookScope.

#include <cstdint>

#include "core/Hooks.h"

// Creatures are slots 0-99 of the creature array; an index outside it names none.
inline constexpr int kEffectCreatureCount = 100;

// A creature as the effects see it.
struct EffectCreature {
  int x = 0, y = 0, z = 0;              // map units: the corner of its footprint and its floor
  int cellX = 0, cellY = 0, level = 0;  // the cell it stands in
  int type = 0;
  int army = -1;
  int health = 0;
  int halfWidth = 16;    // map units: half the width of its type's footprint
  int heightLevels = 1;  // its type's height in levels
  int heightOffset = 0;  // map units: its type's height offset (where a glow sits)
  int footprint = 1;     // 1 or 2 tiles square
  int sizeW = 1;         // its type's two size values, which scale a cloud of particles
  int sizeH = 1;
  int carriedItems[2] = {-1, -1};  // ids of the items in its two carry slots
  int animation = 0;               // its current animation sequence
  bool localPlayers = false;       // of the local player's army
  bool wizardType = false;         // type 0 or 24-26
  // The cell of the node of its route it heads for now; its own cell when it has none.
  int routeX = 0, routeY = 0, routeLevel = 0;
  bool seenByLocal = false;  // the local player's army sees it
  bool moving = false;       // its moving flag: a route step is in progress
  bool illusion = false;
  int viewFacing = 0;
  int pestered = 0;
  int magicResistance = 1;  // its value against holding spells
  int pestResistance = 0;   // its type's value against the flies
};

class IEffectWorld {
 public:
  virtual ~IEffectWorld() = default;
  // False when the index names no creature in use.
  virtual bool GetCreature(int creature, EffectCreature& out) { return false; }
  // Damage dealt by an effect of an army (-1 none) carrying the caster's two item ids.
  virtual void TakeDamage(int creature, int amount, int army, int item0, int item1) {}
  // Holds the creature in place for a time.
  virtual void Immobilise(int creature, int time, int kind) {}
  // Mana in 8.8 fixed point.
  virtual void AddMana(int creature, int amount) {}
  // A value of an artifact definition (field 0 its first value).
  virtual int ArtifactValue(int definition, int field) { return 0; }

  // --- what effects do to creatures ---
  virtual void Ignite(int creature) {}
  virtual void Trap(int creature) {}
  // The creature shows that an effect reached it.
  virtual void PlayEffectReaction(int creature) {}
  // A change of health (damage when negative) by an army's effect carrying two item ids.
  virtual void AdjustHealth(int creature, int amount, int army, int item0, int item1) {}
  // The creature notes who hurt it last (the attacker's slot + 1) with a value.
  virtual void SetLastAttacker(int creature, int attackerPlusOne, int value) {}
  // Blood for a blow; seen only.
  virtual void EmitBlood(int creature, int amount) {}
  virtual void StopPestFlies(int creature) {}
  // The flag of its extra record that the totem's beam sets.
  virtual void MarkBeamed(int creature) {}
  // Whether it may fly and no ground holds it up where it is going.
  virtual bool FliesWithoutSupport(int creature) { return false; }
  // The wizard creature of an army, -1 none.
  virtual int WizardOf(int army) { return -1; }
  // The count of an effect kind's condition on the creature (kind 74 finishes below 1).
  virtual int ConditionCount(int creature, int kind) { return 0; }
  // Raises the creature (living, or a body) as an undead of an army: 1 when it rises or starts
  // rising, 0 when something fills the column it would stand in.
  virtual int RaiseAsUndead(int creature, int army) { return 0; }
  // Throws the creature along a stepped straight line toward a cell; the four shape words go
  // to the map's line stepper. 1 when the throw started.
  virtual int StartLineMove(int creature, int x, int y, int level, const int32_t shape[4]) { return 0; }
  // The spell-held state of a creature (1 mighty blow, 2 held with an effect, 3 a limited
  // flight): 1 when it changed, 0 when refused.
  virtual int SetSpellState(int creature, int state, int effect) { return 0; }
  // Primes the creature to burst, with its ticking sound.
  virtual void StartSpellSound(int creature) {}
  // The levitation spell's overlay on the creature (or its levitation renewed).
  virtual void ShowSpellOverlay(int creature) {}
  // Whether fire does the creature no harm.
  virtual bool IsFireImmune(int creature) { return false; }

  // --- world objects ---
  virtual int ObjectTypeCount() { return 0; }
  // The effect-animation entry of a world object type's look.
  virtual int ObjectAniEntry(int type) { return -1; }
  // The world object in a cell goes to the creature (it picked it up).
  virtual void GiveCellObject(int creature, int x, int y, int level) {}
  // A world object of a type at a cell carrying four words; false when none was made.
  virtual bool CreateObject(int type, int x, int y, int level, const int32_t words[4]) { return false; }
  // A carried world object is put back on the map near a cell.
  virtual void DropObjectNear(int x, int y, int level, const int32_t words[4]) {}
  // The object kind of the first world object in a cell, -1 none.
  virtual int CellObjectKind(int x, int y, int level) { return -1; }
  // A free cell near the creature for an object; false when there is none.
  virtual bool FindFreeCellNearby(int creature, int& x, int& y, int& level) { return false; }
};

extern HookSlot<IEffectWorld> g_effectWorld;
