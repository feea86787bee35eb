#pragma once
// CAIDecision: the common base of every choice the computer player makes (what one creature
// does, what a group of a side does, which spell a wizard casts). The controller keeps one
// fresh object of every class as its candidates; for a group it prepares each, lets it score
// its candidates a slice at a time within a budget, keeps the best, executes it, then steps
// the adopted decision every tick until it finishes or its end tick passes.
//
// The contract, in calling order: Prepare binds the decision to a group and restarts its
// candidate iteration (a decision that does not apply leaves itself so that Evaluate answers
// false at once). Evaluate is called in a loop; each true answer has scored one candidate, and
// when the controller takes it, it calls KeepBest at once. False ends the loop: no candidate
// left, or the budget spent; the next frame's Evaluate resumes without a new Prepare. Execute
// acts on the kept candidate and answers the delay in ticks to its end; Step runs once per
// update while active (false: finished); OnExpire comes when the end tick is reached.

#include <cstdint>
#include <new>
#include <vector>

#include "ai/AIPositionSearch.h"
#include "map/LineWalker.h"

class CAIBudget;
class CAIGroupNode;
struct CAIPlayerMemory;

// Decision type ids.
inline constexpr int kAIDefaultDecisionType = 0;
inline constexpr int kAICreatureDecisionType = 5;
inline constexpr int kAIFirstGroupDecisionType = 6;
inline constexpr int kAIEngageGroupDecisionType = 6;
inline constexpr int kAIEngageGroupSafelyDecisionType = 7;
inline constexpr int kAIRegionDecisionType = 8;
inline constexpr int kAICollectManaDecisionType = 9;
inline constexpr int kAIRallyDecisionType = 10;
inline constexpr int kAIExploreDecisionType = 11;
inline constexpr int kAIEvadeDecisionType = 12;
inline constexpr int kAIFetchObjectDecisionType = 13;
inline constexpr int kAIGuardWizardDecisionType = 14;
inline constexpr int kAILastGroupDecisionType = 14;
inline constexpr int kAISummonDecisionType = 15;
inline constexpr int kAIFirstSpellDecisionType = 15;
inline constexpr int kAILastSpellDecisionType = 59;
inline constexpr int kAIDecisionTypeCount = 60;

class CAIDecision {
 public:
  explicit CAIDecision(int type) : type(type) {}
  virtual ~CAIDecision();
  CAIDecision(const CAIDecision&) = delete;
  CAIDecision& operator=(const CAIDecision&) = delete;

  virtual void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) = 0;
  // A freshly constructed object of the same class; null when memory is short. Never copies.
  virtual CAIDecision* NewInstance() const = 0;
  virtual bool Evaluate(float* score, CAIBudget& budget, int tick) = 0;
  virtual void KeepBest() {}
  virtual int Execute() = 0;
  virtual bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) { return true; }
  virtual void OnExpire() {}

  int32_t type;
  CAIGroupNode* group = nullptr;
  int32_t startTick = 0;
  int32_t endTick = 0;
  uint8_t finished = 0;
  int32_t evaluationEndTick = 0;  // the group and spell decisions' end of evaluation
  uint8_t committed = 0;
  float score = 0.0f;
  int32_t id = -1;
  int32_t experienceIndex = -1;
  int32_t side = 0;
  float startRatio = 0.0f;
  int32_t gain = 0;
  int32_t loss = 0;
  std::vector<CAIGroupNode*> groups;  // candidate trees the decision built and owns
  CLineWalker line;
  CAIPositionSearch search;
  CAIPositionSearch routeSearch;

  // Deletes the nodes of `groups` and empties it.
  void FreeGroups();
};

// The type id of a decision, -1 for none.
inline int DecisionType(const CAIDecision* decision) { return decision ? decision->type : -1; }

// The usual NewInstance of a class with a default constructor.
template <class Derived>
class CAIDecisionOf : public CAIDecision {
 public:
  using CAIDecision::CAIDecision;
  CAIDecision* NewInstance() const override { return new (std::nothrow) Derived(); }
};
