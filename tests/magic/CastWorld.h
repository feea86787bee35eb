#pragma once
// The fixture of the casting tests: a flat forged map, the forged spells, creature types and
// effect tables, two hostile armies (0 local) with real creatures that both the map and the
// effects see, an empty effect pool, and recorders of the sounds and notes a cast makes.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "MagicTestSupport.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "magic/EffectManager.h"
#include "magic/MagicHooks.h"
#include "map/MapHooks.h"

namespace magic_test {

struct RecordingNotes : ICreatureWizards {
  std::vector<std::pair<int, int>> notes;  // kind, number
  void NoteSeen(int kind, int number) override { notes.emplace_back(kind, number); }
};

class CastWorld : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A creature of a type for an army at a cell, placed as deployment places it.
  int Place(int type, int army, int x, int y, int level = 0);
  // The army's wizard with the mana given (8.8), recorded as its wizard creature.
  int PlaceWizard(int army, int x, int y, int mana);
  CCreature& C(int slot) { return *g_creatureArray.At(slot); }
  // Both armies see the creature.
  void SeenByAll(int slot);
  CEffect& Effect(int i) { return *g_effectManager.At(i); }
  // An effect of a kind with no set-up of its own at a cell's centre, carrying a spell.
  CEffect& EffectAt(int x, int y, int level, int spell);

  RecordingSounds sounds;
  RecordingNotes notes;

 private:
  std::string here_;
  MapHooks savedHooks_{};
  CEffectMapHooks effectHooks_;
  std::unique_ptr<HookScope<IEffectSounds>> soundScope_;
  std::unique_ptr<HookScope<ICreatureWizards>> notesScope_;
};

}  // namespace magic_test
