// Both controllers with the real group decisions (types 6-14) over thousands of frames of a
// restless little battle on the grid of path nodes: creatures hop from node to node, die, change
// sides and come back in reused slots, while the sides' groups engage, take a region of power,
// go for a mana sprite and food, explore, evade, rally and guard, and now and then a wizard
// falls and stands again. After every frame the controllers' books must still balance; each
// kind of decision ends through its own Step and at its end tick; once the battle is decided
// nothing stays in force.
#include <map>
#include <random>

#include "AIControllerWorld.h"
#include "AIObjectSeekScene.h"
#include "ControllerBooks.h"
#include "ai/AICastLog.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AIExperienceStore.h"
#include "core/Random.h"
#include "map/Map.h"

namespace ai_test {
namespace {

constexpr int kWizardSlots = 2, kFirstFighter = 2, kFighters = 16;
// Fighters of both kinds: close combat (hero, skeleton, zombie) and missiles (centaur).
constexpr int kFighterTypes[] = {2, 5, 11, 14};

class GroupDecisionSoak : public ObjectSeekScene {
 protected:
  void SetUp() override {
    ObjectSeekScene::SetUp();
    savedTraining_ = g_trainingSpells;
    savedDirect_ = g_directAI;
    g_trainingSpells = 0;
    g_directAI = 0;
    for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
  }
  void TearDown() override {
    EndBattle();
    TakeAIAdoptionNotes();
    TakeAIEndNotes();
    for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
    for (auto& row : g_map.regionHolders) std::fill(std::begin(row), std::end(row), -1);
    for (auto& row : g_map.regionCounters) std::fill(std::begin(row), std::end(row), 0);
    g_trainingSpells = savedTraining_;
    g_directAI = savedDirect_;
    ObjectSeekScene::TearDown();
  }

  // A fresh battle: the two sides' wizards in opposite corners of the grid, sixteen fighters
  // on random nodes, a region of power, a mana sprite and food between them; controllers
  // that keep only the group decisions among their candidates.
  void StartBattle(uint32_t seed) {
    EndBattle();
    world_.seed(seed);
    g_aiRandom.Seed(seed);
    g_creatureArray.ReleaseAll();
    g_mapObjects.Reset();
    WizardOnGrid(1, 0, 0);
    WizardOnGrid(2, kGridSide - 1, kGridSide - 1);
    for (int slot = kFirstFighter; slot < kFirstFighter + kFighters; ++slot) PlaceFighter(slot);
    g_map.regions[0] = CRegionOfPower{2 + 4 * 5, 2 + 4 * 4, 0, 0, GridNode(5, 4)};
    Lay(0, 19, 3, 6);  // a mana sprite
    Lay(1, 0, 6, 3);   // an apple
    Lay(2, 6, 4, 4);   // cheese
    unit = std::make_unique<CAIController>(CAIController::kUnitMode);
    side = std::make_unique<CAIController>(CAIController::kSideMode);
    for (CAIController* ai : {unit.get(), side.get()}) {
      ai->Start();
      for (CAIDecision*& d : ai->decisions)
        if (d->type < kAIFirstGroupDecisionType || d->type > kAILastGroupDecisionType) {
          delete d;
          d = nullptr;
        }
      std::erase(ai->decisions, nullptr);
    }
  }
  void EndBattle() {
    for (CAIController* ai : {unit.get(), side.get()})
      if (ai) ai->FreeContents();
    unit.reset();
    side.reset();
  }
  // A fighter of a random type and side on a random node, in the slot.
  void PlaceFighter(int slot) {
    const int type = kFighterTypes[world_() % std::size(kFighterTypes)];
    const int army = 1 + static_cast<int>(world_() % 2);
    const int i = static_cast<int>(world_() % kGridSide), j = static_cast<int>(world_() % kGridSide);
    CCreature& c = *g_creatureArray.At(slot);
    c.Reset(slot);
    c.SetPosition(2 + 4 * i, 2 + 4 * j, 0, type);
    c.InitFromType(type, army);
    c.nodeRoute.NearestNode() = GridNode(i, j);
    if (unit) unit->RegisterCreature(c);
  }
  // One frame of the world, then both controllers.
  void Frame() {
    const int slot = kFirstFighter + static_cast<int>(world_() % kFighters);
    CCreature& c = *g_creatureArray.At(slot);
    switch (world_() % 12) {
      case 0:  // dies
        c.health = 0;
        break;
      case 1:  // its slot is freed and taken by another
        PlaceFighter(slot);
        break;
      case 2:  // changes sides
        if (c.inUse && c.IsAlive()) {
          c.army = 3 - c.army;
          unit->RegisterCreature(c);
        }
        break;
      case 3:
        if (!c.inUse || !c.IsAlive()) PlaceFighter(slot);
        break;
      default:  // hops to a neighbouring node
        Hop(c);
        break;
    }
    CCreature& wizard = *g_creatureArray.At(static_cast<int>(world_() % kWizardSlots));
    if (world_() % 4 == 0) Hop(wizard);
    // Now and then a wizard falls, and later stands again in its slot.
    if (world_() % 700 == 0) wizard.health = 0;
    if (!wizard.IsAlive() && world_() % 100 == 0) RaiseWizard(wizard);
    unit->Update(2 + static_cast<int>(world_() % 40));
    side->Update(2 + static_cast<int>(world_() % 40));
  }
  void RaiseWizard(CCreature& wizard) {
    const int slot = wizard.index, army = wizard.army;
    const int node = wizard.nodeRoute.NearestNode();
    wizard.Reset(slot);
    wizard.SetPosition(2 + 4 * (node % kGridSide), 2 + 4 * (node / kGridSide), 0, 0);
    wizard.InitFromType(0, army);
    wizard.nodeRoute.NearestNode() = node;
    unit->RegisterCreature(wizard);
    side->RegisterCreature(wizard);
  }
  void Hop(CCreature& c) {
    if (!c.inUse || !c.IsAlive()) return;
    const int node = c.nodeRoute.NearestNode();
    int i = node % kGridSide + static_cast<int>(world_() % 3) - 1;
    int j = node / kGridSide + static_cast<int>(world_() % 3) - 1;
    i = std::clamp(i, 0, kGridSide - 1);
    j = std::clamp(j, 0, kGridSide - 1);
    c.cellX = 2 + 4 * i;
    c.cellY = 2 + 4 * j;
    c.nodeRoute.NearestNode() = GridNode(i, j);
  }
  // The battle is decided: both controllers wind down; true once nothing is left in force.
  bool WindDown() {
    unit->BeginWindDown();
    side->BeginWindDown();
    for (int frame = 0; frame < 10 && !(unit->Finished() && side->Finished()); ++frame) {
      unit->Update(40);
      side->Update(40);
    }
    return unit->Finished() && side->Finished() && unit->active.empty() && side->active.empty();
  }

  std::unique_ptr<CAIController> unit, side;
  RecordingExperience experience;
  HookScope<IAIExperienceStore> experienceScope{g_aiExperience, experience};

 private:
  std::mt19937 world_;
  int savedTraining_ = 0, savedDirect_ = 0;
};

TEST_F(GroupDecisionSoak, TwentySeedsOfThreeThousandFramesKeepTheBooksAndEndWithNothingInForce) {
  std::map<int, int> adopted;
  std::map<int, std::map<char, int>> endedBy;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    StartBattle(seed);
    long innerGroups = 0;
    for (int frame = 0; frame < 3000; ++frame) {
      Frame();
      CheckControllerBooks(*unit, frame, innerGroups);
      CheckControllerBooks(*side, frame, innerGroups);
      if (HasFatalFailure()) return;
      for (const CAIAdoptionNote& note : TakeAIAdoptionNotes()) ++adopted[note.type];
      for (const CAIEndNote& note : TakeAIEndNotes()) ++endedBy[note.type][note.how];
    }
    EXPECT_GT(innerGroups, 0);
    EXPECT_TRUE(WindDown()) << "decisions still in force after the wind-down";
  }
  // The real decisions were at work: every group type won somewhere, and each type's decisions
  // ended both ways, through their own Step and at their end ticks.
  std::string table;
  for (int type = kAIFirstGroupDecisionType; type <= kAILastGroupDecisionType; ++type) {
    EXPECT_GT(adopted[type], 0) << "type " << type;
    EXPECT_GT(endedBy[type][kAIEndedByStep], 0) << "type " << type;
    EXPECT_GT(endedBy[type][kAIEndedByExpiry], 0) << "type " << type;
    table += " t" + std::to_string(type) + "=" + std::to_string(adopted[type]) + "(step " +
             std::to_string(endedBy[type][kAIEndedByStep]) + " expiry " +
             std::to_string(endedBy[type][kAIEndedByExpiry]) + ")";
  }
  RecordProperty("adopted", table);
}

}  // namespace
}  // namespace ai_test
