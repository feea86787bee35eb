// One frame of a controller: its memory of enemies, the side controller's danger and
// strength sweeps, the frozen world, the evaluation of waiting groups and the stepping of the
// decisions in force. Every piece resumes where the budget stopped it.
#include <algorithm>
#include <cmath>

#include "ai/AIBudget.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AIUtilities.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kMemoryStepsPerCall = 8;
constexpr int kSweepItemsPerCall = 4;
constexpr float kMemoryBoundFactor = 0.00019290124f;  // about 1/5184

CCreature* Slot(int slot) { return g_creatureArray.At(slot); }

template <class Visit>
void ForEachSlot(Visit&& visit) {
  const int slots = std::min(g_creatureArray.Capacity(), kAISlots);
  for (int s = 0; s < slots; ++s) visit(s, *Slot(s));
}

bool SideTakesPart(int army) {
  const CArmy* record = g_armyTable.GetArmy(army);
  return record && record->inUse && !record->human && g_armyTable.GetWizard(army);
}

}  // namespace

void CAIController::Update(int budget) {
  ++tick;
  UpdateMemory(1);
  if (mode == kSideMode) {
    SweepDanger();
    SweepStrength();
  }
  CAIBudget work;
  work.Start(budget / 2);
  g_aiMinGroupLevel = 2;
  if (queueStage == 0) {
    BeginCycle(false);
    liveView = 1;
  } else {
    SwapSnapshot();  // the frozen world of the interrupted evaluation comes back
    liveView = 0;
  }
  if (windDown) {
    ReviewActiveDecisions();
  } else {
    if (refillPending || pendingGroups.empty()) pendingGroups = groups;
    RunGroupLoop(work);
  }
  work.Start(budget - budget / 2);
  if (!liveView) {
    SwapSnapshot();
    liveView = 1;
  }
  g_aiMinGroupLevel = kGroupLevelActive;
  if (refillPending || schedule.empty()) schedule = active;
  StepSchedule(work);
  PruneEmptyGroups();
  refillPending = 0;
}

bool CAIController::EvaluateQueued(CAIGroupNode* group, CAIBudget& budget) {
  currentGroup = group;
  EvaluateGroup(group, budget);
  return budget.Remaining() >= 1;
}

void CAIController::RunGroupLoop(CAIBudget& budget) {
  auto finishGroup = [this](auto& container) {
    container.erase(std::remove(container.begin(), container.end(), currentGroup), container.end());
    queueStage = 0;
    currentGroup = nullptr;
    if (!liveView) {
      BeginCycle(true);
      liveView = 1;
    }
  };
  while (!sideQueue.empty() || !unitQueue.empty() || !pendingGroups.empty()) {
    if (queueStage != 2 && queueStage != 3) {
      while (!sideQueue.empty()) {
        queueStage = 1;
        if (!EvaluateQueued(queueStage == 1 && currentGroup ? currentGroup : sideQueue.back(), budget)) return;
        finishGroup(sideQueue);
      }
    }
    if (queueStage != 3) {
      while (!unitQueue.empty()) {
        queueStage = 2;
        if (!EvaluateQueued(currentGroup ? currentGroup : unitQueue.back(), budget)) return;
        finishGroup(unitQueue);
      }
    }
    if (!pendingGroups.empty()) {
      queueStage = 3;
      if (!EvaluateQueued(currentGroup ? currentGroup : pendingGroups.back(), budget)) return;
      finishGroup(pendingGroups);
    }
  }
}

void CAIController::StepSchedule(CAIBudget& budget) {
  while (!schedule.empty() && budget.Remaining() >= 1) {
    const auto first = schedule.begin();
    CAIDecision* decision = first->second;
    schedule.erase(first);
    if (tick < decision->endTick && !decision->finished && decision->group && GroupHasLiveMember(decision->group))
      if (!decision->Step(players, tick, budget)) decision->finished = 1;
  }
}

void CAIController::BeginCycle(bool swap) {
  ReviewActiveDecisions();
  for (CAIGroupNode* node : groups) {
    if (!node->creature) continue;
    if (node->level == kGroupLevelNew)
      node->level = kGroupLevelActive;
    else if (node->level == 2)
      node->level = kGroupLevelDropped;
  }
  PruneEmptyGroups();
  if (swap) SwapSnapshot();
  TakeSnapshot();
  UpdateMemory(2);
}

// --- the frozen world ---------------------------------------------------------------------

namespace {

void Capture(const CCreature& c, CAICreatureSnapshot& s) {
  s.inUse = c.inUse;
  s.cellX = c.cellX;
  s.cellY = c.cellY;
  s.level = c.level;
  s.typeNumber = c.typeNumber;
  s.type = c.type;
  s.health = c.health;
  s.army = c.army;
  s.order = c.order;
  s.animState = c.animState;
  s.behaviourSubState = c.behaviourSubState;
  s.stepIndex = c.route.stepIndex;
  s.stepCount = c.route.stepCount;
  const int at = std::clamp(c.route.stepIndex, 0, kCreatureRouteSteps - 1);
  s.stepAt = c.route.steps[at];
  s.nodePosition = c.nodeRoute.position;
}

void Exchange(CCreature& c, CAICreatureSnapshot& s) {
  std::swap(s.inUse, c.inUse);
  std::swap(s.cellX, c.cellX);
  std::swap(s.cellY, c.cellY);
  std::swap(s.level, c.level);
  std::swap(s.typeNumber, c.typeNumber);
  std::swap(s.type, c.type);
  std::swap(s.health, c.health);
  std::swap(s.army, c.army);
  std::swap(s.order, c.order);
  std::swap(s.animState, c.animState);
  std::swap(s.behaviourSubState, c.behaviourSubState);
  // The route step of each side goes back to the index it was saved at.
  const int liveAt = std::clamp(c.route.stepIndex, 0, kCreatureRouteSteps - 1);
  const int frozenAt = std::clamp(s.stepIndex, 0, kCreatureRouteSteps - 1);
  s.stepBefore = c.route.steps[liveAt];
  c.route.steps[frozenAt] = s.stepAt;
  s.stepAt = s.stepBefore;
  std::swap(s.stepIndex, c.route.stepIndex);
  std::swap(s.stepCount, c.route.stepCount);
  std::swap(s.nodePosition, c.nodeRoute.position);
}

// A dead creature that is no longer dying holds no cells.
bool HoldsCells(const CCreature& c) {
  return c.inUse && c.type && !(c.order == ORDER_DEAD && c.animState != ANIM_DYING);
}

}  // namespace

void CAIController::TakeSnapshot() {
  ForEachSlot([this](int s, CCreature& c) { Capture(c, snapshot[s]); });
}

void CAIController::SwapSnapshot() {
  const bool onMap = g_map.HasCells();
  ForEachSlot([this, onMap](int s, CCreature& c) {
    if (onMap && HoldsCells(c)) c.UnmarkCells(c.cellX, c.cellY, c.level);
    Exchange(c, snapshot[s]);
    if (onMap && HoldsCells(c)) c.MarkCells(c.cellX, c.cellY, c.level);
  });
}

int CAIController::SnapshotDistanceSq(CAIGroupNode* a, CAIGroupNode* b) {
  const CCreature* first = FirstMember(a);
  const CCreature* second = FirstMember(b);
  if (!first || !second) return 0;
  const int64_t dx = WrapDeltaX(first->cellX, second->cellX);
  const int64_t dy = WrapDeltaY(first->cellY, second->cellY);
  const int64_t dz = second->level - first->level;
  return static_cast<int>(std::min<int64_t>(dx * dx + dy * dy + dz * dz, INT32_MAX));
}

// --- the memory of enemies ----------------------------------------------------------------

void CAIController::UpdateMemory(int pass) {
  for (CAIPlayerMemory& player : players) player.FreeGroups();
  if (pass == 1) {
    for (CAIPlayerMemory& player : players)
      for (auto& [key, enemy] : player.enemies)
        if (enemy.lastSeenTick >= prevSweepTick) enemy.currentTick = tick;
    return;
  }
  if (restartMemorySweep) {
    restartMemorySweep = 0;
    memoryPlayer = -1;
    memoryPlayerDone = 1;
  }
  for (int step = 0; step < kMemoryStepsPerCall; ++step) {
    if (memoryPlayer < 0 || memoryPlayerDone) {
      if (!MoveToNextMemoryPlayer()) return;
    } else if (memoryEntry != players[memoryPlayer].enemies.end()) {
      StepOneMemoryEntry();
    } else {
      RememberNewEnemies();
      memoryPlayerDone = 1;
    }
  }
}

bool CAIController::MoveToNextMemoryPlayer() {
  for (int moves = 0; moves < kArmyCount; ++moves) {
    if (++memoryPlayer > kArmyCount - 1) {
      memoryPlayer = 0;
      prevSweepTick = sweepTick;
      sweepTick = tick;
    }
    const CArmy* army = g_armyTable.GetArmy(memoryPlayer);
    if (!army || !army->inUse) continue;
    memoryEntry = players[memoryPlayer].enemies.begin();
    memoryPlayerDone = 0;
    std::fill(std::begin(matched), std::end(matched), 0);
    return true;
  }
  memoryPlayerDone = 1;
  return false;
}

void CAIController::StepOneMemoryEntry() {
  CAIEnemyMap& enemies = players[memoryPlayer].enemies;
  CAIRememberedEnemy& enemy = memoryEntry->second;
  const CCreature& copy = enemy.copy;
  const int64_t elapsed = static_cast<int64_t>(tick) - enemy.lastSeenTick;
  const int speed = copy.type ? copy.type->maxSpeed : 0;
  const float reach = static_cast<float>(elapsed) * static_cast<float>(speed) * 3.0f;
  const float boundF = reach * reach * kMemoryBoundFactor;
  const int64_t bound = boundF >= 9.0e18f ? INT64_MAX : static_cast<int64_t>(boundF);
  int found = -1;
  int64_t best = 0;
  ForEachSlot([&](int s, CCreature& c) {
    if (!c.inUse || !c.IsAlive() || matched[s] || !c.sightingCounters[memoryPlayer]) return;
    if (c.army != copy.army || c.typeNumber != copy.typeNumber) return;
    const int64_t distance = WrappedDistanceSqUnits(c.unitX, c.unitY, c.unitZ, copy.unitX, copy.unitY, copy.unitZ);
    if (distance > bound || (found >= 0 && distance >= best)) return;
    found = s;
    best = distance;
  });
  if (found >= 0) {
    enemy.lastSeenTick = tick;
    enemy.copy = *Slot(found);
    matched[found] = 1;
  }
  if (static_cast<int64_t>(tick) - enemy.lastSeenTick >= kForgetTicks)
    memoryEntry = enemies.erase(memoryEntry);
  else
    ++memoryEntry;
}

void CAIController::RememberNewEnemies() {
  const CArmy& army = g_armyTable.armies[memoryPlayer];
  CAIEnemyMap& enemies = players[memoryPlayer].enemies;
  ForEachSlot([&](int s, CCreature& c) {
    if (!c.inUse || !c.IsAlive() || matched[s] || !c.sightingCounters[memoryPlayer]) return;
    if (c.army == memoryPlayer || army.IsAlliedWith(c.army)) return;
    CAIRememberedEnemy& enemy = enemies[newEnemyCount[memoryPlayer]++];
    enemy.lastSeenTick = enemy.currentTick = tick;
    enemy.copy = c;
  });
}

// --- the side controller's sweeps -----------------------------------------------------------

void CAIController::SweepStrength() {
  if (restartStrengthSweep) {
    restartStrengthSweep = 0;
    strengthPlayer = -1;
    strengthSum = 0;
    strengthIndex = kAISlots;  // move to the first side at once
  }
  int items = 0;
  while (items < kSweepItemsPerCall) {
    if (strengthPlayer < 0 || strengthIndex >= kAISlots) {
      if (strengthPlayer >= 0) {
        if (CCreature* wizard = g_armyTable.GetWizard(strengthPlayer)) wizard->aiSideStrength = strengthSum;
        strengthSum = 0;
      }
      bool moved = false;
      for (int moves = 0; moves < kArmyCount && !moved; ++moves) {
        strengthPlayer = (strengthPlayer + 1) % kArmyCount;
        moved = SideTakesPart(strengthPlayer);
      }
      strengthIndex = 0;
      if (!moved) return;
      continue;
    }
    CCreature* c = Slot(strengthIndex++);
    ++items;
    strengthCursor = c;
    if (!c || !c->inUse || !c->IsAlive() || c->army != strengthPlayer || c->nodeRoute.NearestNode() < 0) continue;
    c->aiStrength = c->strength.total;
    strengthSum =
        static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(strengthSum) + c->aiStrength, 0, INT32_MAX));
  }
}

void CAIController::SweepDanger() {
  if (restartDangerSweep) {
    restartDangerSweep = 0;
    dangerPlayer = -1;
    threatSum = 0;
    g_pathNetwork.ClearNodeCounters();
  }
  if (dangerPlayer < 0 || dangerWizard == nullptr) {
    bool moved = false;
    for (int moves = 0; moves < kArmyCount && !moved; ++moves) {
      dangerPlayer = (dangerPlayer + 1) % kArmyCount;
      moved = SideTakesPart(dangerPlayer);
    }
    if (!moved) {
      dangerPlayer = -1;
      return;
    }
    dangerWizard = g_armyTable.GetWizard(dangerPlayer);
    dangerKey = INT32_MIN;
    threatSum = 0;
  }
  CAIEnemyMap& enemies = players[dangerPlayer].enemies;
  auto entry = enemies.lower_bound(dangerKey);
  for (int handled = 0; handled < kSweepItemsPerCall && entry != enemies.end(); ++entry) {
    const CCreature& copy = entry->second.copy;
    const int node = copy.nodeRoute.goal[5];
    if (node < 0 || node >= g_pathNetwork.count) continue;
    ++handled;
    const int64_t age = static_cast<int64_t>(tick) - entry->second.lastSeenTick;
    const int64_t speed = copy.type ? copy.type->maxSpeed : 0;
    const int64_t threat = static_cast<int64_t>(std::max(copy.strength.total, 0)) * 20 / (speed * age + 10000);
    const int64_t distance = IntegerSqrt(WrappedDistanceSq(copy.cellX, copy.cellY, copy.level, dangerWizard->cellX,
                                                           dangerWizard->cellY, dangerWizard->level));
    CPathNode& at = g_pathNetwork.nodes[static_cast<size_t>(node)];
    for (int b = 0; b < 2; ++b)
      at.currentMark[b] = static_cast<uint8_t>(std::min<int64_t>(at.currentMark[b] + threat, 255));
    threatSum = static_cast<int>(std::min<int64_t>(threatSum + threat * 10 / (distance + 1), INT32_MAX));
  }
  if (entry != enemies.end()) {
    dangerKey = entry->first;
    return;
  }
  g_pathNetwork.StoreMarks(dangerPlayer);
  dangerWizard->aiThreat = threatSum;
  g_pathNetwork.ClearVisitMarks();
  g_pathNetwork.ClearNodeCounters();
  threatSum = 0;
  dangerWizard = nullptr;
}
