#pragma once
// CAIGroupDecision: the shared frame of the decisions that move a whole group of a computer
// side (types 6-14): which enemy group to engage, where to rally, and so on. Prepare checks
// that the decision applies to the acting group and collects its candidates; Evaluate scores
// them one at a time, routing every member of the group to the candidate's path node, a slice
// of one member's route search per call as far as the budget goes, and resumes next frame
// exactly where it stopped. A scored candidate is described by a situation vector (the
// measures of the group against the candidate plus the type's own inputs), which the learning
// store turns into a certainty; the wizard's personality then biases it. Execute records the
// kept vector as open experience, and Step leads the group every tick while it runs.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ai/AIDecision.h"
#include "ai/AIGroupNode.h"
#include "ai/AIGroupRoute.h"

class CCreature;

class CAIGroupDecision : public CAIDecision {
 public:
  static constexpr int kMemberAllowance = 20;  // budget steps per member's route search
  static constexpr int kStepCharge = 8;        // what one Step costs the budget

  // What a scored candidate leaves: the candidate, the highest node rating on the members'
  // routes (the danger the plan accepts), the ticks until the group decides again, and the
  // situation vector.
  struct Block {
    CAIGroupNode* candidate = nullptr;
    int32_t resultA = 0;
    int32_t delay = 0;
    std::vector<int32_t> vector;
  };
  // A place a decision leads its group to (tiles and level).
  struct Place {
    int32_t x = 0, y = 0, z = 0;
  };

  explicit CAIGroupDecision(int type) : CAIDecision(type) {}

  // The checks every engage-like type makes, then the enemy clusters the side remembers as
  // the candidates.
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;
  // Records the kept vector as open experience (-1 when the store has no room) and answers
  // the kept delay.
  int Execute() override;

  uint8_t prepared = 0;
  CAIGroupNode* candidateRoot = nullptr;
  int32_t candidateCursor = kNoWalkCursor;
  uint8_t wizardInGroup = 0;
  Block work, kept;
  Place workPlace, keptPlace;  // the candidate's place, for the types that go to one
  uint8_t restart = 0;
  CAIGroupNode* currentCandidate = nullptr;
  int32_t memberCursor = kNoWalkCursor;
  CCreature* currentMember = nullptr;
  int32_t stage = 0;        // 0 start the candidate, 1 work through the members
  int32_t memberStage = 0;  // 0 start the member, 1 search its route
  int32_t memberAllowance = 0;
  CAIGroupRoute route;

  // The accumulators of a candidate, folded member by member.
  float wizardDistanceSum = 0.0f;
  int32_t longestTravel = 0;
  int64_t routeRatingSum = 0;
  int64_t nodeRatingSum = 0;

 protected:
  // What one member's slice of a route search came to.
  enum class SearchOutcome { kReached, kUnreached, kBudgetSpent };

  // Whether the routes weigh the danger of the nodes they enter.
  virtual bool DangerRoutes() const { return false; }
  // The ticks added to the longest travel time and the random delay, and that delay's mean.
  virtual int DelayBase() const { return 600; }
  virtual float DelayMean() const { return 100.0f; }
  // Appends the type's own inputs to the work vector after the measures.
  virtual void AppendInputs(int members) {}
  // The group the measures judge the acting group against.
  virtual CAIGroupNode* MeasuredAgainst() const { return work.candidate; }

  // The checks every type makes first: the type enabled for the side, a top group, every
  // member on a path node, no member tied to a place unless the wizard leads, a side with a
  // wizard. Clears prepared and takes the group and the sides' records.
  bool PassesGroupChecks(CAIGroupNode* node, CAIPlayerMemory* players);
  // Routes the current member and those after it in the walk to the goal node, folding each
  // that reaches it. Every member gets its own allowance unless a shared one is given. Ends
  // the call (kBudgetSpent, state kept) when the budget is spent or a member stands on no
  // node; kUnreached when a member cannot reach the goal.
  SearchOutcome RouteMembers(int goalNode, CAIBudget& budget, int* sharedAllowance = nullptr);
  // Takes a walk over the acting group and its first member.
  void StartMembers();

  // One member's slice of its route search to the goal node, paid from the allowance and the
  // budget. The member must stand on a node.
  SearchOutcome SearchMemberRoute(CCreature& member, int goalNode, int& allowance, CAIBudget& budget);
  // Folds a member whose route reached the goal node into the accumulators and the work
  // block's danger ceiling.
  void FoldMember(const CCreature& member, int goalNode);
  // The highest rating the member gives a node of the route found.
  int RouteDanger(const CCreature& member) const;
  // The delay, the measures, the type's inputs and the certainty of the work block.
  float FinishCandidate();
  // The certainty of the work vector: the learning store's good less bad, then the bias.
  float Certainty();
  void ZeroAccumulators();
  // Drops the current candidate and moves to the next one (stage 0); false when none is left.
  bool NextCandidate();

  CAIPlayerMemory* sides_ = nullptr;
};

// The 67 measures of the acting group against a candidate that open a situation vector.
std::span<const int> GroupDecisionMeasureIds();

// --- shared by the group decisions' Step ---

// Whether any member stands on a node it rates above the ceiling; if so every member holds
// where it is going.
bool HaltOnDanger(CAIGroupNode* group, int ceiling);
// A member a group decision gives no order: one whose side-level group runs another decision
// than the mana reserve, a troop in combat, one waiting for a way.
bool LeftAlone(const CCreature& member);
// Holds the creature: it walks on to where it is going or stays where it is.
void HoldMember(CCreature& member);
// The ticks the member needs for a route of this length.
int RouteTravelTime(const CCreature& member, int length);
// The member's distance to the side's wizard from the node, in the wizard's view ranges (0
// for the wizard itself).
float DistanceRatioToWizard(const CCreature& member, int node);
// The wizard-distance input: trunc(-100 S u² / (S u + 1)).
int32_t WizardDistanceInput(float sum, float ratio);
// Whether a creature of the group, or a living creature of the side, belongs to a unit-level
// group that runs a decision of the type for which the test holds: the one-per-side rules
// (one fetcher an object, one guard a wizard) look at the whole side.
bool GroupRunsUnitDecision(CAIGroupNode* group, int type, const std::function<bool(const CAIDecision&)>& test);
bool SideRunsUnitDecision(int side, int type, const std::function<bool(const CAIDecision&)>& test);
// Whole-number division of a sum by the member count, 0 for no members.
int32_t PerMember(int64_t sum, int members);
