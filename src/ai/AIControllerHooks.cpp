// What the rest of the game tells the computer player while a battle runs, and what it asks:
// creatures entering the battle or changing hands, harm done and suffered, a side's gains and
// losses (mana, places of power), the value of harm.
#include <algorithm>
#include <climits>

#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "creatures/CreatureHooks.h"
#include "map/MapHooks.h"

namespace {

void Credit(int controller, int id, int value, int32_t CAIDecision::*field) {
  CAIController* ai = AIController(controller);
  CAIDecision* decision = ai ? ai->FindActiveDecision(id) : nullptr;
  if (!decision || value == 0) return;
  const int64_t sum = static_cast<int64_t>(decision->*field) + value;
  decision->*field = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

class CAICreatureLink final : public ICreatureAI {
 public:
  void RegisterCreature(int controller, int creature) override {
    CAIController* ai = AIController(controller);
    CCreature* record = CreatureInUse(creature);
    if (ai && record) ai->RegisterCreature(*record);
  }
  void NoteManaGain(int controller, int army, int amount) override {
    if (CAIController* ai = AIController(controller)) ai->ShareGain(army, amount);
  }
  int ComputeDamageValue(int type, int newValue, int change, float factor, float ratio) override {
    return ::ComputeDamageValue(type, newValue, change, factor, ratio);
  }
  void CreditHarm(int source0, int source1, int victim0, int victim1, int value) override {
    Credit(0, source0, value, &CAIDecision::gain);
    Credit(1, source1, value, &CAIDecision::gain);
    Credit(0, victim0, value, &CAIDecision::loss);
    Credit(1, victim1, value, &CAIDecision::loss);
  }
  int TopDecisionId(int controller, int creature) override {
    const CCreature* record = CreatureInUse(creature);
    if (!record || controller < 0 || controller >= kAIControllerCount) return -1;
    const CAIDecision* decision = GetGroupDecision(*record, controller);
    return decision ? decision->id : -1;
  }
  void ShareGain(int army, int value) override {
    g_aiUnitController.ShareGain(army, value);
    g_aiSideController.ShareGain(army, value);
  }
  void ShareLoss(int army, int value) override {
    g_aiUnitController.ShareLoss(army, value);
    g_aiSideController.ShareLoss(army, value);
  }
};

class CAIMapLink final : public IMapAI {
 public:
  void ShareGain(int controller, int side, int amount) override {
    if (CAIController* ai = AIController(controller)) ai->ShareGain(side, amount);
  }
  void ShareLoss(int controller, int side, int amount) override {
    if (CAIController* ai = AIController(controller)) ai->ShareLoss(side, amount);
  }
  int ComputeDamageValue(int type, int health, int damage, float d, float e) override {
    return ::ComputeDamageValue(type, health, damage, d, e);
  }
};

CAICreatureLink g_creatureLink;
CAIMapLink g_mapLink;
IMapAI* g_mapAIBefore = nullptr;

}  // namespace

void InstallAIControllers() {
  g_creatureAI.Install(&g_creatureLink);
  if (g_mapHooks.ai != &g_mapLink) g_mapAIBefore = g_mapHooks.ai;
  g_mapHooks.ai = &g_mapLink;
}

void UninstallAIControllers() {
  g_creatureAI.Install(nullptr);
  if (g_mapHooks.ai == &g_mapLink) g_mapHooks.ai = g_mapAIBefore ? g_mapAIBefore : DefaultMapHooks().ai;
  g_mapAIBefore = nullptr;
}
