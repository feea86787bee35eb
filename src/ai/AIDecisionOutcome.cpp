// The end of decisions: the review that rates a finished or expired decision against the
// side's balance at its start and hands the rating to the learning store, the harm credited
// to running decisions, the script's removal, and the value of harm done.
#include <algorithm>
#include <cmath>

#include "ai/AICastLog.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AIExperienceStore.h"
#include "ai/AIUtilities.h"
#include "ai/Brain.h"
#include "core/Options.h"
#include "creatures/CreatureType.h"

namespace {

// The learning store keeps what the decisions teach.
class CBrainExperience : public IAIExperienceStore {
 public:
  void ClearExperience(int index) override { g_brain.ClearExperience(index); }
  void CompleteExperience(int index, int outcome) override { g_brain.CompleteExperience(index, outcome); }
};
CBrainExperience g_brainExperience;

constexpr float kBadOutcome = 0.58f;
constexpr float kGoodOutcome = 1.71f;

int Saturated(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// Decisions run to their end ticks in the direct-AI runs (training is one of them).
bool DecisionsRunOut() { return g_directAI != 0; }

}  // namespace

constinit HookSlot<IAIExperienceStore> g_aiExperience(&g_brainExperience);

int RateOutcome(float ratio) {
  if (ratio <= kBadOutcome) return 0;
  return ratio <= kGoodOutcome ? 1 : 2;
}

void CAIController::EndDecision(CAIDecision* decision, char how) {
  const bool recordOutcome = how != kAIEndedRemoved;
  NoteAIDecisionEnd({decision->side, decision->type, how});
  const int id = decision->id;
  active.erase(id);
  for (auto it = schedule.begin(); it != schedule.end();)
    it = it->second == decision || it->first == id ? schedule.erase(it) : std::next(it);
  CAIGroupNode* group = decision->group;
  if (recordOutcome && group && group->learns && decision->experienceIndex >= 0) {
    const float now = SideRatio(decision->side);
    const float r = (static_cast<float>(decision->gain) + 1.0f) / (static_cast<float>(decision->loss) + 1.0f) *
                    (decision->startRatio + 0.01f) / (now + 0.01f);
    g_aiExperience->CompleteExperience(decision->experienceIndex, RateOutcome(r));
  } else if (!recordOutcome && decision->experienceIndex >= 0) {
    g_aiExperience->ClearExperience(decision->experienceIndex);
  }
  if (group && group->decision == decision) group->decision = nullptr;
  if (recordOutcome && group && HasMemberAtLevel(group, kGroupLevelActive) && GroupHasLiveMember(group))
    QueueGroup(group);
  delete decision;
}

void CAIController::ReviewActiveDecisions() {
  // The wind-down ends every decision at once, except in the runs where decisions run to their
  // end ticks; there it lasts at most kWindDownTicks.
  const bool endAll = windDown && (!DecisionsRunOut() || static_cast<int64_t>(tick) - windDownTick >= kWindDownTicks);
  for (auto it = active.begin(); it != active.end();) {
    CAIDecision* decision = it->second;
    ++it;  // the entry is erased when the decision ends
    char how = decision->finished ? kAIEndedByStep : endAll ? kAIEndedByWindDown : 0;
    if (!how && tick >= decision->endTick) {
      decision->OnExpire();
      how = kAIEndedByExpiry;
    }
    if (how) EndDecision(decision, how);
  }
}

CAIDecision* CAIController::FindActiveDecision(int id) const {
  if (id < 0) return nullptr;
  const auto found = active.find(id);
  return found == active.end() ? nullptr : found->second;
}

namespace {

template <class Field>
void Share(std::map<int, CAIDecision*>& active, int side, int value, Field field) {
  int count = 0;
  for (const auto& [id, decision] : active)
    if (decision->side == side) ++count;
  if (count == 0) return;
  const int share = std::max(value / count, 1);
  for (const auto& [id, decision] : active)
    if (decision->side == side) decision->*field = Saturated(static_cast<int64_t>(decision->*field) + share);
}

}  // namespace

void CAIController::ShareGain(int side, int value) { Share(active, side, value, &CAIDecision::gain); }

void CAIController::ShareLoss(int side, int value) { Share(active, side, value, &CAIDecision::loss); }

void CAIController::RemoveDecision(CAIDecision* decision) {
  if (!decision) return;
  const auto found = active.find(decision->id);
  if (found == active.end() || found->second != decision) {
    // Not in force: only its group's link goes.
    if (decision->group && decision->group->decision == decision) decision->group->decision = nullptr;
    return;
  }
  EndDecision(decision, kAIEndedRemoved);
}

int ComputeDamageValue(int type, int health, int damage, float d, float e) {
  if (type < 0 || type >= kCreatureTypes) return 0;
  double value;
  if (IsWizardType(type)) {
    // Single precision, as the rating has always been reckoned.
    const float remaining = static_cast<float>(std::max<int64_t>(static_cast<int64_t>(health) - damage + 1, 1));
    const float before = static_cast<float>(std::max<int64_t>(static_cast<int64_t>(health) + 1, 1));
    const float h = static_cast<float>(std::max(g_creatureTypes[0].Health, 0)) + 1.0f;
    const float harm = (1.0f / remaining - 1.0f / before) * (h * h);
    value = std::trunc(static_cast<double>(harm));
  } else {
    const CCreatureType& record = g_creatureTypes[type];
    int64_t sum = 0;
    for (int t = 0; t < kCreatureTypes && t < 28; ++t)
      sum += static_cast<int64_t>(record.HTH_Matrix[t]) + record.LRC_Matrix[t];
    const int64_t typeHealth = std::max(record.Health, 1);
    const int64_t harm = static_cast<int64_t>(std::max(damage, 0)) * (sum / 28) * 20 / typeHealth;
    value = static_cast<double>(harm);
  }
  value += 200.0 * static_cast<double>(d) + 1000000.0 * static_cast<double>(e);
  if (!(value == value)) return 0;
  return Saturated(static_cast<int64_t>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0)));
}
