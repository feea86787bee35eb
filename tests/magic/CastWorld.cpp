#include "CastWorld.h"

#include <cstdio>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectCreatures.h"
#include "magic/EffectLog.h"
#include "magic/EffectParams.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleManager.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/SegmentPool.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"
#include "platform/Files.h"
#include "support/CreatureField.h"
#include "support/TestSupport.h"

namespace magic_test {

void CastWorld::SetUp() {
  ASSERT_TRUE(LoadForgedEffectTables());
  here_ = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
  ASSERT_NO_FATAL_FAILURE(testing_support::MakeCreatureField());
  CParticle::SetWorldSize(48 * 32, 44 * 32, 8 * 16);
  g_armyTable.ResetAll();
  g_creatureArray.ReleaseAll();
  ResetGlobalOptions();
  ResetSpellSightings();
  g_alignmentBalance = 0;
  g_battleRandom.Seed(1234);
  g_effectManager.Reset();
  g_effectLog.Clear();
  g_segmentPool.Clear();  // no beam of an earlier test lingers in this one's pictures
  for (int army : {0, 1}) {
    CArmy& record = g_armyTable.armies[army];
    record.inUse = 1;
    record.human = army == 0 ? 1 : 0;
    std::snprintf(record.name, sizeof record.name, "army%d", army);
    record.SetRelationToAll(0);
  }
  g_armyTable.SetActiveArmy(0);
  savedHooks_ = g_mapHooks;
  InstallCreatures();
  g_mapHooks.effects = &effectHooks_;  // thrown spells plan their arcs with the effects' gravity
  InstallEffectCreatures();
  soundScope_ = std::make_unique<HookScope<IEffectSounds>>(g_effectSounds, sounds);
  notesScope_ = std::make_unique<HookScope<ICreatureWizards>>(g_creatureWizards, notes);
}

void CastWorld::TearDown() {
  g_effectManager.Reset();
  g_particleManager.Clear();
  g_creatureArray.ReleaseAll();
  g_armyTable.ResetAll();
  notesScope_.reset();
  soundScope_.reset();
  g_effectWorld.Install(nullptr);
  g_mapHooks = savedHooks_;
  testing_support::ClearCreatureField();
  ResetGlobalOptions();
  platform::ChangeDirectory(here_);
}

int CastWorld::Place(int type, int army, int x, int y, int level) {
  return testing_support::PlaceCreature(type, army, x, y, level);
}

int CastWorld::PlaceWizard(int army, int x, int y, int mana) {
  const int slot = Place(0, army, x, y);
  g_armyTable.armies[army].wizardCreature = slot;
  C(slot).maxMana = 1000;
  C(slot).mana = mana;
  return slot;
}

void CastWorld::SeenByAll(int slot) {
  for (int army = 0; army < 8; ++army) C(slot).sightingCounters[army] = 30;
}

CEffect& CastWorld::EffectAt(int x, int y, int level, int spell) {
  namespace w = effect_word;
  CEffectParams block;
  block.SetPoint(w::kSourceX, x * 32 + 16, y * 32 + 16, level * 16);
  block.SetPoint(w::kTargetX, x * 32 + 16, y * 32 + 16, level * 16);
  block[w::kSpell] = spell;
  CEffect* e = g_effectManager.AllocateEffect();
  EXPECT_NE(e, nullptr);
  e->Activate(15, block);
  return *e;
}

}  // namespace magic_test
