#include "ai/AIController.h"

#include <algorithm>

#include "ai/AIDecision.h"
#include "ai/AIDefaultDecision.h"
#include "ai/AIPrototypes.h"
#include "creatures/CreatureType.h"
#include "map/MapUnits.h"

CAIController g_aiUnitController(CAIController::kUnitMode);
CAIController g_aiSideController(CAIController::kSideMode);

namespace {

template <class Container>
void EraseAll(Container& container, const CAIGroupNode* node) {
  container.erase(std::remove(container.begin(), container.end(), node), container.end());
}

}  // namespace

CAIController* AIController(int mode) {
  if (mode == CAIController::kUnitMode) return &g_aiUnitController;
  if (mode == CAIController::kSideMode) return &g_aiSideController;
  return nullptr;
}

CAIController::CAIController(int mode) : mode(mode), scratchA(mode), scratchB(mode) { Reset(); }

// At exit the creature pool may be gone before the controllers: no creature is touched.
CAIController::~CAIController() { FreeContents(false); }

void CAIController::Reset() {
  decisions.clear();
  groups.clear();
  sideQueue.clear();
  unitQueue.clear();
  active.clear();
  schedule.clear();
  pendingGroups.clear();
  groupsCopy.clear();
  partners.clear();
  partnersByDistance.clear();
  scratchA.RemoveAllChildren();
  scratchB.RemoveAllChildren();
  nextDecisionId = 0;
  if (CAIDecision* fallback = new (std::nothrow) CAIDefaultDecision()) decisions.push_back(fallback);
  for (int i = 0; g_aiPrototypes[i]; ++i)
    if (CAIDecision* fresh = g_aiPrototypes[i]->NewInstance()) decisions.push_back(fresh);
  for (int p = 0; p < kArmyCount; ++p) {
    players[p].Clear();
    newEnemyCount[p] = 0;
  }
  prevSweepTick = sweepTick = 0;
  tick = 0;
  windDown = 0;
  windDownTick = 0;
  liveView = 1;
  queueStage = 0;
  currentGroup = partnerGroup = mergePartner = nullptr;
  refillPending = restartEvaluation = restartCursor = 1;
  restartMemorySweep = restartDangerSweep = restartStrengthSweep = 1;
  memoryPlayer = dangerPlayer = strengthPlayer = -1;
  memoryPlayerDone = 1;
  dangerWizard = strengthCursor = nullptr;
  threatSum = strengthSum = 0;
}

void CAIController::FreeContents(bool unlinkCreatures) {
  for (CAIDecision* decision : decisions) delete decision;
  decisions.clear();
  scratchA.RemoveAllChildren();
  scratchB.RemoveAllChildren();
  for (CAIGroupNode* node : partners)
    if (std::find(groups.begin(), groups.end(), node) == groups.end()) delete node;
  partners.clear();
  for (CAIGroupNode* node : groups) {
    if (unlinkCreatures && node->creature && node->creature->aiGroupNode[mode] == node)
      node->creature->aiGroupNode[mode] = nullptr;
    delete node;
  }
  groups.clear();
  for (auto& [id, decision] : active) delete decision;
  active.clear();
  schedule.clear();
  for (CAIPlayerMemory& player : players) player.FreeGroups();
}

bool CAIController::Handles(const CCreature& creature) const {
  return mode == kUnitMode || IsWizardType(creature.typeNumber);
}

void CAIController::Start() {
  FreeContents();
  Reset();
  g_creatureArray.ForEachInUse([this](CCreature& creature) {
    if (creature.IsAlive() && Handles(creature)) RegisterCreature(creature);
  });
}

void CAIController::BeginWindDown() {
  if (windDown) return;
  windDown = 1;
  windDownTick = tick;
}

bool CAIController::LeafIsLive(const CAIGroupNode* leaf) const {
  const CCreature* creature = leaf->creature;
  return creature && creature->inUse && creature->IsAlive() && creature->aiGroupNode[mode] == leaf;
}

bool CAIController::GroupHasLiveMember(CAIGroupNode* group) const {
  const int cursor = GroupFirstMember(group);
  bool found = false;
  while (CAIGroupNode* leaf = NextLeaf(group, cursor))
    if (!found && LeafIsLive(leaf)) found = true;
  return found;
}

CAIGroupNode* CAIController::NewLeaf(CCreature& creature) {
  CAIGroupNode* leaf = new (std::nothrow) CAIGroupNode(mode);
  if (!leaf) return nullptr;
  leaf->learns = mode == kUnitMode ? 1 : 0;
  leaf->creature = &creature;
  leaf->owner = creature.army;  // the army the creature had when it joined
  leaf->level = kGroupLevelNew;
  groups.push_back(leaf);
  creature.aiGroupNode[mode] = leaf;
  return leaf;
}

CAIGroupNode* CAIController::NewInner() {
  CAIGroupNode* node = new (std::nothrow) CAIGroupNode(mode);
  if (!node) return nullptr;
  node->learns = mode == kUnitMode ? 1 : 0;
  groups.push_back(node);
  return node;
}

void CAIController::DropLeafOf(CCreature& creature) {
  CAIGroupNode* leaf = creature.aiGroupNode[mode];
  if (!leaf) return;
  // The leaf leaves its group at once and is no member anywhere; pruning deletes it once no
  // decision runs on it.
  leaf->level = kGroupLevelDropped;
  if (leaf->parent) leaf->parent->RemoveChild(leaf);
  creature.aiGroupNode[mode] = nullptr;
}

CAIGroupNode* CAIController::NearestGroupFor(const CCreature& creature) {
  CAIGroupNode* nearest = nullptr;
  uint32_t best = 0;
  GroupLevelScope active(kGroupLevelActive);
  for (CAIGroupNode* node : groups) {
    if (!node->creature) continue;
    CCreature* member = FirstMember(node);
    if (!member || !LeafIsLive(node) || member->army != creature.army) continue;
    CAIGroupNode* top = TopGroup(node);
    if (top == currentGroup || top == partnerGroup || top == &scratchA || top == &scratchB) continue;
    const uint32_t distance =
        WrappedDistanceSq(creature.cellX, creature.cellY, creature.level, member->cellX, member->cellY, member->level);
    if (!nearest || distance < best) {
      nearest = top;
      best = distance;
    }
  }
  return nearest;
}

void CAIController::RegisterCreature(CCreature& creature) {
  if (!Handles(creature) || creature.index < 0 || creature.index >= kAISlots) return;
  if (CAIGroupNode* existing = creature.aiGroupNode[mode]) {
    if (existing->creature == &creature && existing->owner == creature.army) return;  // already handled
    DropLeafOf(creature);
  }
  if (creature.army < 0 || creature.army >= kArmyCount) return;
  const CArmy& army = g_armyTable.armies[creature.army];
  const bool hasWizard = g_armyTable.GetWizard(creature.army) != nullptr;
  if ((!hasWizard && creature.scriptCommand == 0) || army.human || creature.independent ||
      creature.typeNumber == creature_kind::kStatic)
    return;

  CAIGroupNode* nearest = hasWizard ? NearestGroupFor(creature) : nullptr;
  CAIGroupNode* leaf = NewLeaf(creature);
  if (!leaf) return;
  CAIGroupNode* chosen = leaf;
  if (nearest && nearest->IsLeaf()) {
    if (CAIGroupNode* inner = NewInner()) {
      inner->AddChild(nearest);
      inner->AddChild(leaf);
      // The group the first creature formed keeps its decision, now for both.
      if (CAIDecision* decision = nearest->decision) {
        decision->group = inner;
        inner->decision = decision;
        nearest->decision = nullptr;
      }
      chosen = inner;
    }
  } else if (nearest) {
    nearest->AddChild(leaf);
    chosen = nearest;
  }
  QueueGroup(chosen);
}

void CAIController::QueueGroup(CAIGroupNode* group) {
  if (!group) return;
  std::deque<CAIGroupNode*>& queue = GroupHasWizard(group) ? sideQueue : unitQueue;
  if (std::find(queue.begin(), queue.end(), group) != queue.end()) return;
  queue.push_front(group);
}

void CAIController::ForgetGroup(CAIGroupNode* group) {
  EraseAll(sideQueue, group);
  EraseAll(unitQueue, group);
  EraseAll(pendingGroups, group);
  EraseAll(groupsCopy, group);
  EraseAll(partners, group);
  if (group->creature && group->creature->aiGroupNode[mode] == group) group->creature->aiGroupNode[mode] = nullptr;
  delete group;
}

void CAIController::PruneEmptyGroups() {
  // A leaf whose creature is gone, dead or no longer names it stands for nobody: it leaves its
  // group first, so the group's walks no longer meet it.
  for (CAIGroupNode* node : groups)
    if (node->creature && !LeafIsLive(node) && node->level != kGroupLevelDropped) {
      node->level = kGroupLevelDropped;
      if (node->parent) node->parent->RemoveChild(node);
    }
  GroupLevelScope scope(kGroupLevelNew);
  for (size_t i = 0; i < groups.size();) {
    CAIGroupNode* group = groups[i];
    bool keep = IsAncestorOrSelf(group, currentGroup) || IsAncestorOrSelf(group, partnerGroup);
    for (CAIGroupNode* up = group; up && !keep; up = up->parent)
      if (up->decision) keep = true;
    if (!keep) keep = GroupHasLiveMember(group);
    if (keep) {
      ++i;
      continue;
    }
    groups[i] = groups.back();
    groups.pop_back();
    ForgetGroup(group);
  }
}
