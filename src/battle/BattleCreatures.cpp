// The battle's calls on the creature pool: the creatures of the deployment and the wizards'
// stand-ins (a creature of the wizard type for each army, until wizards are built), their
// frame (the markers, the scheduler, the water), their sight and their end, and the hash of
// their battle fields for the frame trace.
#include "battle/BattleCreatures.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "battle/BattleArmies.h"
#include "battle/BattleComputerWizards.h"
#include "battle/BattleWizards.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/MapObject.h"
#include "creatures/Mapelem.h"
#include "creatures/WizardTable.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"

namespace {

constexpr int kWizardSight = 33;  // the widest light pattern

// FNV-1a over 32-bit words.
void Mix(uint32_t& hash, int32_t value) {
  for (int b = 0; b < 4; ++b) {
    hash ^= static_cast<uint32_t>(value >> (8 * b)) & 0xFFu;
    hash *= 16777619u;
  }
}

// Blows struck this frame, by army.
int g_blowsThisFrame[kArmyCount] = {};

}  // namespace

void CBattleCreatures::SetObjectData(int object, int data1, int data2) {
  if (CMapObject* record = g_mapObjects.InUse(object)) {
    record->data[0] = data1;
    record->data[1] = data2;
  }
}

int CBattleCreatures::ObjectWeight(int type) {
  const CMapObjectType* record = g_mapObjects.Type(type);
  return record ? record->Weighting : 0;
}

void CountBattleBlow(int army) {
  if (army >= 0 && army < kArmyCount) ++g_blowsThisFrame[army];
}

void ForgetBattleBlows() { std::fill(std::begin(g_blowsThisFrame), std::end(g_blowsThisFrame), 0); }

void CBattleCreatures::ResetCreatures() {
  g_creatureArray.ReleaseAll();
  g_wizardTable.FreeWizardNumbers();
  g_creatureArray.InitMarkerAnim1();
  g_creatureArray.InitMarkerAnim2();
  g_creatureArray.InitMarkerAnim3();
  // The trace counts this battle's creatures from their first frame: no place or blow of the
  // battle before is compared or counted.
  std::fill(std::begin(seen_), std::end(seen_), Seen{});
  ForgetBattleBlows();
}

int CBattleCreatures::CreaturesInUse() {
  int count = 0;
  g_creatureArray.ForEachInUse([&](CCreature&) { ++count; });
  return count;
}

int CBattleCreatures::CreateCreature(int type, int army, int x, int y, int level) {
  CCreature* creature = g_creatureArray.FindFree();
  if (!creature) return -1;
  creature->SetPosition(x, y, level, type);
  creature->InitFromType(type, army);
  return creature->index;
}

int CBattleCreatures::CreateWizard(int army, int x, int y, int level) { return DeployArmyWizard(army, x, y, level); }

bool CBattleCreatures::FindPlayerWizard(const char* name) { return FindPlayerWizardForWinnings(name); }

void CBattleCreatures::AddWizardQueuedEntry(int kind, const int32_t values[4]) { AddWinningsEntry(kind, values); }

void CBattleCreatures::AddWizardMagicItem(int item) { AddWinningsMagicItem(item); }

void CBattleCreatures::RewardPlayerWizard(const char* name, int experience) { RewardWinner(name, experience); }

bool CBattleCreatures::LoadCreatureAnims(int type) {
  if (type < 0 || type >= kCreatureTypes) return false;
  return LoadCreatureTypeAnims(g_creatureTypes[type], type, ChooseCreatureAnimFile(type, 0));
}

void CBattleCreatures::UpdateCreatures() {
  // Last frame's attached draw objects go first; then every creature carries out its order
  // for this frame, in slot order, before the scheduler plans and decides.
  g_creatureArray.ReleaseAnimObjects();
  ForgetBattleBlows();
  g_creatureArray.ForEachInUse([](CCreature& creature) { creature.Update(); });
  g_creatureArray.AdvanceMarkerAnims();
  g_creatureArray.ThinkAll();
  g_creatureArray.ApplyWater();
}

void CBattleCreatures::StartAI() {
  g_aiUnitController.Start();
  g_aiSideController.Start();
}

void CBattleCreatures::UpdateAI(int controller, int budget) {
  if (CAIController* ai = AIController(controller)) ai->Update(budget);
  if (controller == 1) RunComputerWizards(BattleState().gameTick);
}

bool CBattleCreatures::ArmyKeepsWizard(int army) {
  const CCreature* wizard = g_armyTable.GetWizard(army);
  return wizard && wizard->inUse && wizard->IsAlive();
}

int64_t CBattleCreatures::ArmyHealth(int army) {
  int64_t health = 0;
  g_creatureArray.ForEachInUse([&](const CCreature& c) {
    if (c.army == army && c.IsAlive()) health += c.health;
  });
  return health;
}

bool CBattleCreatures::AIFinished() { return g_aiUnitController.Finished() && g_aiSideController.Finished(); }

int CBattleCreatures::TopDecisionType(int creature) {
  const CCreature* record = CreatureInUse(creature);
  return record ? DecisionType(GetGroupDecision(*record, 0)) : -1;
}

void CBattleCreatures::DropTopDecision(int creature) {
  const CCreature* record = CreatureInUse(creature);
  CAIDecision* decision = record ? GetGroupDecision(*record, 0) : nullptr;
  if (!decision) return;
  CAIGroupNode* group = decision->group;
  g_aiUnitController.RemoveDecision(decision);
  if (group) g_aiUnitController.QueueGroup(group);
}

void CBattleCreatures::UpdateCreatureVisibility() {
  g_creatureArray.UpdateVisibility();
  // Until the creatures light the map themselves, the player sees around their wizard.
  const CCreature* wizard = g_armyTable.GetWizard(g_localArmy);
  if (wizard && wizard->inUse && g_map.HasCells())
    g_map.RevealAround(wizard->cellX, wizard->cellY, wizard->level, kWizardSight);
  else
    IBattleSystems::UpdateCreatureVisibility();
}

void CBattleCreatures::KillAllCreatures() { g_creatureArray.KillAll(); }

void CBattleCreatures::ReleaseAllCreatures() {
  // Off the map first, so that no cell keeps a creature that is gone.
  g_creatureArray.ForEachInUse([](CCreature& creature) { creature.Detach(); });
  g_creatureArray.ReleaseAll();
}

ArmyFrameCounts CBattleCreatures::ArmyCounts(int army) {
  ArmyFrameCounts counts;
  if (army >= 0 && army < kArmyCount) counts.blows = std::exchange(g_blowsThisFrame[army], 0);
  const int slots = std::min(g_creatureArray.Capacity(), static_cast<int>(std::size(seen_)));
  for (int slot = 0; slot < slots; ++slot) {
    const CCreature* creature = g_creatureArray.At(slot);
    if (!creature || creature->army != army) continue;
    Seen& seen = seen_[slot];
    const bool here = creature->inUse != 0;
    if (here && seen.inUse && (seen.x != creature->cellX || seen.y != creature->cellY || seen.level != creature->level))
      ++counts.moved;
    seen = Seen{here ? 1 : 0, creature->cellX, creature->cellY, creature->level};
  }
  return counts;
}

uint32_t CBattleCreatures::CreatureStateHash() {
  uint32_t hash = 2166136261u;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    for (int32_t word :
         {c.index,       c.typeNumber, c.army,   c.cellX,       c.cellY,       c.level,           c.unitX,
          c.unitY,       c.unitZ,      c.health, c.mana,        c.order,       c.pendingOrder,    c.behaviourSubState,
          c.animState,   c.target,     c.facing, c.midStep,     c.heldKind,    c.heldTime,        c.tracking,
          c.engagedWith, c.experience, c.rank,   c.route.goalX, c.route.goalY, c.route.goalLevel, c.airborne,
          c.spellState})
      Mix(hash, word);
  });
  return hash;
}
