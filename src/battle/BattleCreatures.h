#pragma once
// The battle's subsystems as far as they are built: the creature pool and the script.
// Installed as the battle's IBattleSystems by InstallBattle, with the computer players'
// controllers.

#include "battle/BattleSystems.h"

// Clears the script and reads and prepares the region's (not in the training runs).
void ResetBattleScript();
// A blow struck by a creature of the army this frame (the frame trace counts them).
void CountBattleBlow(int army);
// Forgets the blows counted and not yet read (the battle's answers are taken away).
void ForgetBattleBlows();

class CBattleCreatures : public IBattleSystems {
 public:
  void ResetCreatures() override;
  int CreaturesInUse() override;
  int CreateCreature(int type, int army, int x, int y, int level) override;
  int CreateWizard(int army, int x, int y, int level) override;
  bool FindPlayerWizard(const char* name) override;
  void AddWizardQueuedEntry(int kind, const int32_t values[4]) override;
  void AddWizardMagicItem(int item) override;
  void RewardPlayerWizard(const char* name, int experience) override;
  bool LoadCreatureAnims(int type) override;
  void UpdateCreatures() override;
  void UpdateCreatureVisibility() override;
  void KillAllCreatures() override;
  void ReleaseAllCreatures() override;
  uint32_t CreatureStateHash() override;
  // The creatures of the army whose cell changed since the last frame's count, and the blows
  // they struck since the last count (at most this frame's).
  ArmyFrameCounts ArmyCounts(int army) override;
  // The script (ScriptBattle.cpp): read and prepared, and its tick.
  // A placed world object's first two data words, and a type's weight among random artifacts.
  void SetObjectData(int object, int data1, int data2) override;
  int ObjectWeight(int type) override;
  void ResetScript() override;
  void ScriptTick() override;
  // The computer players: both controllers started at battle start and after a load, one
  // controller's frame, and the script's questions about a creature's top decision. The side
  // controller's share also gives the computer wizards their turn, until their decisions are
  // built.
  void StartAI() override;
  void UpdateAI(int controller, int budget) override;
  bool AIFinished() override;
  bool ArmyKeepsWizard(int army) override;
  int64_t ArmyHealth(int army) override;
  int TopDecisionType(int creature) override;
  void DropTopDecision(int creature) override;

 private:
  struct Seen {
    int inUse = 0, x = 0, y = 0, level = 0;
  };
  Seen seen_[100];
};
