// The choice of a group's next decision: every candidate scored for the group as it is, for
// the group merged with a nearby friendly group, and for the group split in two; the best is
// adopted when it beats what the group already does. The work runs in five stages and stops
// at any candidate when the budget is spent; the next call goes on where it stopped.
#include <algorithm>

#include "ai/AIBudget.h"
#include "ai/AICastLog.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AIUtilities.h"
#include "core/Options.h"

namespace {

constexpr int kMostTopGroupsForSplits = 20;
constexpr size_t kMostQueuedForSplits = 3;
constexpr int kMostPatternBits = 30;

int FirstArmy(CAIGroupNode* group) {
  const CCreature* first = FirstMember(group);
  return first ? first->army : -1;
}

// The random mode of evaluations: 0 never explores, 1 one evaluation in five (learning groups),
// 2 every learning group with equal weights.
int AIRandomMode() { return g_trainingSpells; }

}  // namespace

bool ShouldReplace(const CAIDecision* current, float c) {
  if (!current) return true;
  const float s = current->score;
  if (current->committed && c != 1.0f) return false;
  const float denominator = 1.0f - c * s;
  if (denominator > 0.0f && (c - s) / denominator > 0.9f) return true;
  return s < 1.0f && OutcomeRatio(*current) < 0.05 && c > 0.0f;
}

void CAIController::ResetMemberWalks(CAIGroupNode* group) {
  GroupLevelScope all(0);
  ResetWalks(group);
}

void CAIController::PrepareCandidate(CAIDecision* decision, CAIGroupNode* group) {
  decision->group = group;
  decision->side = FirstArmy(group);
  ResetMemberWalks(group);
  decision->Prepare(group, players, tick);
}

bool CAIController::StepCandidates(CAIGroupNode* group, CAIBudget& budget, float base, CAIDecision* partnerDecision,
                                   bool keep, bool skipPerfect) {
  if (decisions.empty()) return false;
  if (restartCursor) {
    restartCursor = 0;
    cursor = 0;
    weightSum = 0.0f;
    PrepareCandidate(decisions[0], group);
  }
  bool result = false;
  bool prepared = true;  // the decision at the cursor was prepared before (or just now)
  for (; cursor < decisions.size(); ++cursor) {
    CAIDecision* decision = decisions[cursor];
    if (!prepared) PrepareCandidate(decision, group);
    prepared = false;
    float c = 0.0f;
    while (decision->Evaluate(&c, budget, tick)) {
      if (partnerDecision && !ShouldReplace(partnerDecision, c)) continue;
      if (skipPerfect && c == 1.0f) continue;
      const float denominator = c * base + 1.0f;
      const float s = denominator > 0.0f ? (c + base) / denominator : 0.0f;
      if (explore && s != 1.0f && bestScore != 1.0f) {
        const float w = AIRandomMode() == 2 ? 1.0f : s + 1.0f;
        weightSum += w;
        const bool taken = weightSum <= 0.0f || w / weightSum > UniformRandom();
        if (!taken) continue;
        bestScore = std::max(bestScore, s);
        if (keep) {
          decision->KeepBest();
          bestSlot = cursor;
          result = true;
        }
      } else if (s >= bestScore) {
        if (s > bestScore) bestTies = 0;
        ++bestTies;
        if (RandomBits31() % bestTies != 0) continue;  // each of equal scores wins alike
        bestScore = s;
        if (keep) {
          decision->KeepBest();
          bestSlot = cursor;
          result = true;
        }
      }
    }
    if (budget.Remaining() < 1) return result;  // resumed at this decision, without a new Prepare
  }
  cursor = 0;
  ResetMemberWalks(group);
  restartCursor = 1;
  return result;
}

void CAIController::EvaluateGroup(CAIGroupNode* group, CAIBudget& budget) {
  if (!HasMemberAtLevel(group, kGroupLevelActive)) {
    CleanUpEvaluation();
    return;
  }
  if (restartEvaluation) {
    restartEvaluation = 0;
    groupsCopy = groups;
    evalStage = 0;
    resultKind = -1;
    switch (AIRandomMode()) {
      case 0:
        explore = 0;
        break;
      case 1:
        explore = group->learns && UniformRandom() > 0.8f ? 1 : 0;
        break;
      default:
        explore = group->learns;
        break;
    }
    bestScore = -2.0f;
    bestTies = 0;
  }
  // A stage whose candidates are all scored moves on before the budget is looked at, so a
  // stage is never scored twice.
  if (evalStage == 0) {
    if (StepCandidates(group, budget, 0.0f, nullptr, true, false)) resultKind = 0;
    if (!restartCursor) return;
    evalStage = group->parent ? 5 : 1;
    if (budget.Remaining() < 1 && evalStage != 5) return;
  }
  if (evalStage == 1 || evalStage == 2) {
    if (!StageMerge(group, budget)) return;
  }
  if (evalStage == 3 || evalStage == 4) {
    if (!StageSplit(group, budget)) return;
  }
  FinishEvaluation(group);
  CleanUpEvaluation();
}

bool CAIController::StageMerge(CAIGroupNode* group, CAIBudget& budget) {
  if (evalStage == 1) {
    scratchA.RemoveAllChildren();
    partnersByDistance.clear();
    const int army = FirstArmy(group);
    for (CAIGroupNode* other : groupsCopy) {
      if (other == group || other->parent || !HasMemberAtLevel(other, kGroupLevelActive)) continue;
      if (FirstArmy(other) != army) continue;
      partnersByDistance.emplace(SnapshotDistanceSq(group, other), other);
    }
    partners.clear();
    for (auto it = partnersByDistance.begin(); it != partnersByDistance.end() && partners.size() < 2; ++it)
      partners.push_back(it->second);
    for (size_t i = partners.size(); i > 1; --i)
      std::swap(partners[i - 1], partners[static_cast<size_t>(RandomBits31()) % i]);
    if (partners.size() > 1) partners.resize(1);
    if (partners.empty()) {
      evalStage = 3;
      return true;
    }
    partnerGroup = partners[0];
    partnerScore = partnerGroup->decision ? -partnerGroup->decision->score : 0.0f;
    evalStage = 2;
    if (budget.Remaining() < 1) return false;
  }
  if (!group->parent) scratchA.AddChild(group);
  if (!partnerGroup->parent) scratchA.AddChild(partnerGroup);
  if (StepCandidates(&scratchA, budget, partnerScore, partnerGroup->decision, true, true)) {
    resultKind = 2;
    mergePartner = partnerGroup;
  }
  if (!restartCursor) return false;  // the merged group stays together until resumed
  scratchA.RemoveAllChildren();
  partners.erase(std::remove(partners.begin(), partners.end(), partnerGroup), partners.end());
  evalStage = 3;
  return budget.Remaining() >= 1;
}

bool CAIController::StageSplit(CAIGroupNode* group, CAIBudget& budget) {
  if (evalStage == 3) {
    int topGroups = 0;
    for (CAIGroupNode* node : groups)
      if (!node->parent) ++topGroups;
    if (topGroups >= kMostTopGroupsForSplits || sideQueue.size() >= kMostQueuedForSplits ||
        unitQueue.size() >= kMostQueuedForSplits)
      return true;
    std::vector<CCreature*> members;
    const int walk = GroupFirstMember(group);
    while (CCreature* member = GroupNextMember(group, walk)) members.push_back(member);
    const int n = std::min(static_cast<int>(members.size()), kAISlots);
    patternCount = n < 1 ? 0 : std::min((1 << std::min(n - 1, kMostPatternBits)) - 1, 1);
    if (patternCount == 0) return true;
    for (bool uniform = true; uniform;) {
      for (int i = 0; i < n; ++i) splitPattern[i] = static_cast<uint8_t>(RandomBits31() & 1);
      uniform = std::all_of(splitPattern + 1, splitPattern + n, [&](uint8_t bit) { return bit == splitPattern[0]; });
    }
    for (int i = 0; i < n; ++i) {
      CAIGroupNode* leaf = new (std::nothrow) CAIGroupNode(mode);
      if (!leaf) continue;
      leaf->creature = members[static_cast<size_t>(i)];
      leaf->level = kGroupLevelActive;
      partners.push_back(leaf);
      (splitPattern[i] ? scratchB : scratchA).AddChild(leaf);
    }
    savedBest = bestScore;
    bestScore = -2.0f;
    subStage = 0;
    patternIndex = 0;
    evalStage = 4;
  }
  if (subStage == 0) {
    StepCandidates(&scratchA, budget, 0.0f, nullptr, false, false);
    if (!restartCursor) return false;
    halfScore = bestScore;
    bestScore = savedBest;
    subStage = 1;
    if (budget.Remaining() < 1) return false;
  }
  if (StepCandidates(&scratchB, budget, halfScore, nullptr, true, false)) {
    resultKind = 4;
    chosenPattern = patternIndex;
  }
  if (!restartCursor) return false;
  scratchA.RemoveAllChildren();
  scratchB.RemoveAllChildren();
  ++patternIndex;
  return true;
}

void CAIController::FinishEvaluation(CAIGroupNode* group) {
  scratchA.RemoveAllChildren();
  scratchB.RemoveAllChildren();
  ResetMemberWalks(group);
  if (resultKind == -1) return;
  if (!liveView) SwapSnapshot();
  g_aiMinGroupLevel = kGroupLevelActive;
  CarryOutResult(group);
  if (!liveView) SwapSnapshot();
  g_aiMinGroupLevel = 2;
}

void CAIController::CarryOutResult(CAIGroupNode* group) {
  switch (resultKind) {
    case 0:
      if (!ShouldReplace(group->decision, bestScore)) return;
      if (group->decision) RemoveDecision(group->decision);
      AdoptBestDecision(group);
      return;
    case 2: {
      CAIGroupNode* partner = mergePartner;
      if (!partner || !GroupHasLiveMember(partner) || FirstArmy(partner) != FirstArmy(group)) return;
      const float denominator = 1.0f - bestScore * partnerScore;
      bestScore = denominator > 0.0f ? (bestScore - partnerScore) / denominator : 0.0f;
      if (!ShouldReplace(group->decision, bestScore)) return;
      if (group->decision) RemoveDecision(group->decision);
      if (partner->decision) RemoveDecision(partner->decision);
      for (auto* queue : {&sideQueue, &unitQueue})
        queue->erase(std::remove(queue->begin(), queue->end(), partner), queue->end());
      pendingGroups.erase(std::remove(pendingGroups.begin(), pendingGroups.end(), partner), pendingGroups.end());
      CAIGroupNode* merged = NewInner();
      if (!merged) return;
      // Both groups gave up their decisions: an inner one hands its members over rather than
      // becoming a level of the new group, so that groups merged again and again (with splits
      // between) do not grow into ever deeper chains. It is pruned once empty.
      for (CAIGroupNode* part : {group, partner}) {
        if (part->parent) continue;
        if (part->IsLeaf() || part->decision) {
          merged->AddChild(part);
          continue;
        }
        const std::vector<CAIGroupNode*> members = part->children;
        for (CAIGroupNode* child : members) {
          part->RemoveChild(child);
          merged->AddChild(child);
        }
      }
      AdoptBestDecision(merged);
      return;
    }
    case 4: {
      // Each split leaf stands for one member; a child of the group goes with its first member.
      auto bitOf = [this](const CCreature* creature) -> int {
        for (size_t i = 0; i < partners.size(); ++i)
          if (partners[i]->creature == creature) return splitPattern[i];
        return 0;
      };
      bool oneSideLives = false;
      for (CAIGroupNode* leaf : partners)
        if (bitOf(leaf->creature) == 1 && leaf->creature->aiGroupNode[mode] &&
            IsAncestorOrSelf(group, leaf->creature->aiGroupNode[mode]) && LeafIsLive(leaf->creature->aiGroupNode[mode]))
          oneSideLives = true;
      if (!oneSideLives || !ShouldReplace(group->decision, bestScore)) return;
      if (group->decision) RemoveDecision(group->decision);
      CAIGroupNode* other = NewInner();
      if (!other) return;
      const std::vector<CAIGroupNode*> children = group->children;
      for (CAIGroupNode* child : children) {
        const CCreature* first = FirstMember(child);
        if (bitOf(first) == 0) {
          group->RemoveChild(child);
          other->AddChild(child);
        }
      }
      AdoptBestDecision(group);
      QueueGroup(other);
      return;
    }
    default:
      return;
  }
}

void CAIController::CleanUpEvaluation() {
  mergePartner = nullptr;
  partnerGroup = nullptr;
  scratchA.RemoveAllChildren();
  scratchB.RemoveAllChildren();
  for (CAIGroupNode* node : partners)
    if (std::find(groups.begin(), groups.end(), node) == groups.end()) delete node;
  partners.clear();
  for (CAIDecision* decision : decisions) decision->FreeGroups();
  restartCursor = 1;
  restartEvaluation = 1;
}

void CAIController::AdoptBestDecision(CAIGroupNode* group) {
  if (bestSlot >= decisions.size()) return;
  CAIDecision* decision = decisions[bestSlot];
  const int id = nextDecisionId++;
  decision->group = group;
  group->decision = decision;
  active[id] = decision;
  const int delay = decision->Execute();
  const int army = FirstArmy(group);
  decision->startTick = tick;
  decision->endTick = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(tick) + delay, INT32_MIN, INT32_MAX));
  decision->finished = 0;
  decision->committed = explore;
  decision->score = bestScore;
  decision->id = id;
  decision->side = army;
  decision->startRatio = SideRatio(army);
  decision->gain = decision->loss = 0;
  NoteAIAdoption({army, decision->type});
  // The list keeps one fresh candidate of every class.
  if (CAIDecision* fresh = decision->NewInstance())
    decisions[bestSlot] = fresh;
  else
    decisions.erase(decisions.begin() + static_cast<std::ptrdiff_t>(bestSlot));
}
