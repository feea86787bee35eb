#pragma once
// What the battle drives of the subsystems that are not built yet, in one interface: the
// creature array, the armies and their wizards, the computer players and the script. The
// battle calls these at their places in its loading, its frame and its exit; the neutral
// implementation is the stand-in of a battle without them: no creatures, armies that are
// merely marked, computer players that do nothing and report themselves finished, and no
// script. Tests install fakes with HookScope<IBattleSystems>(g_battleSystems, fake).

#include <cstdint>

#include "core/Hooks.h"

// What a frame trace records of one army.
struct ArmyFrameCounts {
  int moved = 0;  // creatures of the army that moved this frame
  int blows = 0;  // blows its creatures struck this frame
};

class IBattleSystems {
 public:
  virtual ~IBattleSystems() = default;

  // --- creatures -------------------------------------------------------------------------
  // The creature array before a battle: records allocated, every one released, counters 0.
  virtual void ResetCreatures() {}
  // The creature records in use.
  virtual int CreaturesInUse() { return 0; }
  // A new creature of the type for the army standing at the cell (already a free place for
  // it); its number, or -1 when no record is free.
  virtual int CreateCreature(int type, int army, int x, int y, int level) { return -1; }
  // The wizard creature of an army at the cell (its wizard record's type and values); -1 none.
  virtual int CreateWizard(int army, int x, int y, int level) { return -1; }
  // Loads a creature type's animations; false when its file cannot be read.
  virtual bool LoadCreatureAnims(int type) { return true; }
  // Gives a deployed creature its home: the position, two behaviour words and a guard word.
  virtual void SetCreatureHome(int creature, int behaviour1, int behaviour2, int guard) {}
  // One frame of every creature in array order, the selection markers, ThinkAll, ApplyWater.
  virtual void UpdateCreatures() {}
  // The creatures' sight of the map. The stand-in: the local player sees around the place
  // its wizard was deployed.
  virtual void UpdateCreatureVisibility();
  // Time is up: every creature dies.
  virtual void KillAllCreatures() {}
  // The end of a battle: every creature off the map and released.
  virtual void ReleaseAllCreatures() {}
  // A hash of every in-use creature's battle fields (position, health, mana, order; not its
  // selection), and this frame's counts of an army, for the frame trace.
  virtual uint32_t CreatureStateHash() { return 0; }
  virtual ArmyFrameCounts ArmyCounts(int army) { return {}; }

  // --- computer players ------------------------------------------------------------------
  // Both controllers made ready for a battle (the unit controller, then the side controller).
  virtual void StartAI() {}
  virtual void UpdateAI(int controller, int budget) {}
  // Both controllers have finished and wait for nothing.
  virtual bool AIFinished() { return true; }
  // Whether the army's wizard stands on the map, alive; and the health its living creatures
  // hold (the measure that decides a battle no one plays when its time runs out).
  virtual bool ArmyKeepsWizard(int army) { return false; }
  virtual int64_t ArmyHealth(int army) { return 0; }
  // The type of the decision at the top of the creature's group chain (controller 0), -1
  // when none; and that decision removed with its group queued to be decided again.
  virtual int TopDecisionType(int creature) { return -1; }
  virtual void DropTopDecision(int creature) {}

  // --- effects ---------------------------------------------------------------------------
  // One frame of an effect slot (nothing for a free one): what its kind does, then its fall.
  virtual void UpdateEffect(int slot);

  // --- world objects -----------------------------------------------------------------------
  // A placed object's two data words.
  virtual void SetObjectData(int object, int data1, int data2) {}
  // The Weighting of a world-object type (0-96): how often random artifacts are of it.
  virtual int ObjectWeight(int type) { return 0; }

  // --- wizards ---------------------------------------------------------------------------
  // The player's wizard record of that name is there (its queued items cleared).
  virtual bool FindPlayerWizard(const char* name) { return false; }
  // A won item for the player's wizard's list, with its four values.
  virtual void AddWizardQueuedEntry(int kind, const int32_t values[4]) {}
  // A won magic item (0-24) for the player's wizard.
  virtual void AddWizardMagicItem(int item) {}
  // A won campaign battle: the player's wizard record of that name counts one more victory
  // toward its rank and gains the experience (nothing when there is no such record).
  virtual void RewardPlayerWizard(const char* name, int experience) {}

  // --- the script ------------------------------------------------------------------------
  virtual void ResetScript() {}
  // The per-tick event and the script's tick.
  virtual void ScriptTick() {}
};

// Never null: the stand-in until the subsystems install themselves.
extern HookSlot<IBattleSystems> g_battleSystems;
inline IBattleSystems& BattleSystems() { return *g_battleSystems; }
