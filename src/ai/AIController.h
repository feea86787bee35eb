#pragma once
// CAIController: everything the computer player keeps between frames. The candidate
// decisions (one fresh object per class), the tree of creature groups it plans for, the
// queues of groups waiting for a decision, the decisions being carried out, each side's memory
// of enemy creatures, a frozen copy of the creature records for evaluations that span frames,
// and the cursors of its resumable sweeps. Nothing of it is saved: Start rebuilds it at every
// battle start and after a saved battle loads.
//
// Two exist for the whole run: g_aiUnitController (mode 0) works over every creature;
// g_aiSideController (mode 1) over the wizards only, and alone runs the per-side danger and
// strength sweeps. Time is counted in AI ticks: Update calls since the controller's reset.
//
// The work of one frame (Update), the evaluation of one group and the end of decisions live in
// AIControllerUpdate.cpp, AIGroupEvaluation.cpp and AIDecisionOutcome.cpp.

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

class CAIBudget;
class CAIDecision;

// The creature fields an evaluation sees frozen, one record per creature slot.
struct CAICreatureSnapshot {
  int32_t inUse = 0;
  int32_t cellX = 0, cellY = 0, level = 0;
  int32_t typeNumber = 0;
  const CCreatureType* type = nullptr;
  int32_t health = 0;
  int32_t army = 0;
  int32_t order = 0;
  int32_t animState = 0;  // exchanged by the swap only
  int32_t behaviourSubState = 0;
  int32_t stepIndex = 0, stepCount = 0;
  CRouteStep stepAt, stepBefore;
  int32_t nodePosition = 0;
};

// Slots of the per-slot tables: the creature pool's capacity.
inline constexpr int kAISlots = 100;
static_assert(kAISlots == kCreatureCapacity, "the AI's per-slot tables cover the creature pool");

class CAIController {
 public:
  static constexpr int kUnitMode = 0;
  static constexpr int kSideMode = 1;
  static constexpr int kForgetTicks = 513;  // an enemy unseen this long is forgotten
  static constexpr int kWindDownTicks = 2000;

  explicit CAIController(int mode);
  ~CAIController();
  CAIController(const CAIController&) = delete;
  CAIController& operator=(const CAIController&) = delete;

  // --- the controller and its groups (AIController.cpp) ---
  // Empties the containers (their objects freed before by FreeContents), makes fresh
  // candidates, forgets the sides' memories and restarts every sweep.
  void Reset();
  // Deletes the candidates, the group nodes (clearing the creatures' links to them, unless
  // the creatures are gone already, at program exit), the active decisions and the sides'
  // groups. Containers are left for Reset.
  void FreeContents(bool unlinkCreatures = true);
  // Battle start: FreeContents, Reset, then every living creature this controller handles.
  void Start();
  // Takes a creature into the controller's groups (see the rules in the source); once only
  // while its army is unchanged.
  void RegisterCreature(CCreature& creature);
  // Puts a group in the side queue when it holds a wizard, else in the unit queue; once.
  void QueueGroup(CAIGroupNode* group);
  // Deletes the groups without members and without an active decision above them.
  void PruneEmptyGroups();
  // Whether the controller handles creatures of this type (mode 1: wizards only).
  bool Handles(const CCreature& creature) const;
  // The battle is decided: only the active decisions are reviewed from now on.
  void BeginWindDown();
  // Wound down with nothing left running.
  bool Finished() const { return windDown && active.empty(); }

  // --- one frame (AIControllerUpdate.cpp) ---
  void Update(int budget);
  void UpdateMemory(int pass);
  void SweepDanger();
  void SweepStrength();
  void TakeSnapshot();
  void SwapSnapshot();
  int SnapshotDistanceSq(CAIGroupNode* a, CAIGroupNode* b);

  // --- the evaluation of a group (AIGroupEvaluation.cpp) ---
  void EvaluateGroup(CAIGroupNode* group, CAIBudget& budget);
  bool StepCandidates(CAIGroupNode* group, CAIBudget& budget, float base, CAIDecision* partnerDecision, bool keep,
                      bool skipPerfect);
  void AdoptBestDecision(CAIGroupNode* group);

  // --- the end of decisions (AIDecisionOutcome.cpp) ---
  void ReviewActiveDecisions();
  CAIDecision* FindActiveDecision(int id) const;
  void ShareGain(int side, int value);
  void ShareLoss(int side, int value);
  // Ends a decision at once: no outcome is recorded.
  void RemoveDecision(CAIDecision* decision);

  // --- state, in the order the controller keeps it ---
  int32_t mode;
  std::vector<CAIDecision*> decisions;  // owned candidates, one per class
  int32_t tick = 0;
  uint8_t windDown = 0;
  int32_t windDownTick = 0;  // the tick the wind-down began
  uint8_t liveView = 1;
  std::vector<CAIGroupNode*> groups;  // owned
  std::deque<CAIGroupNode*> sideQueue;
  std::deque<CAIGroupNode*> unitQueue;
  std::map<int, CAIDecision*> active;  // owned, by id
  int32_t nextDecisionId = 0;
  CAICreatureSnapshot snapshot[kAISlots];
  CAIPlayerMemory players[kArmyCount];
  int32_t newEnemyCount[kArmyCount] = {};
  int32_t prevSweepTick = 0, sweepTick = 0;
  uint8_t refillPending = 1;
  int32_t queueStage = 0;  // 0 idle, 1 side queue, 2 unit queue, 3 pending groups
  CAIGroupNode* currentGroup = nullptr;
  std::vector<CAIGroupNode*> pendingGroups;
  std::map<int, CAIDecision*> schedule;

  // The evaluation of one group.
  uint8_t restartEvaluation = 1;
  int32_t evalStage = 0;
  int32_t resultKind = -1;  // -1 none, 0 own decision, 2 merge, 4 split
  uint8_t explore = 0;
  float bestScore = -2.0f;
  int32_t bestTies = 0;
  std::vector<CAIGroupNode*> groupsCopy;
  std::multimap<int, CAIGroupNode*> partnersByDistance;
  std::vector<CAIGroupNode*> partners;
  uint8_t splitPattern[kAISlots] = {};
  int32_t patternCount = 0;
  CAIGroupNode scratchA;
  CAIGroupNode scratchB;
  float savedBest = 0.0f;
  int32_t subStage = 0;
  CAIGroupNode* partnerGroup = nullptr;
  int32_t patternIndex = 0;
  CAIGroupNode* mergePartner = nullptr;
  int32_t chosenPattern = 0;
  float partnerScore = 0.0f;
  uint8_t restartCursor = 1;
  size_t cursor = 0;
  size_t bestSlot = 0;
  float weightSum = 0.0f;
  float halfScore = 0.0f;

  // The memory sweep.
  uint8_t restartMemorySweep = 1;
  int32_t memoryPlayer = -1;
  CAIEnemyMap::iterator memoryEntry;
  uint8_t memoryPlayerDone = 1;
  uint8_t matched[kAISlots] = {};

  // The danger sweep.
  uint8_t restartDangerSweep = 1;
  int32_t dangerPlayer = -1;
  int32_t dangerKey = 0;
  CCreature* dangerWizard = nullptr;
  int32_t threatSum = 0;
  std::set<int> dangerNodes;

  // The strength sweep.
  uint8_t restartStrengthSweep = 1;
  int32_t strengthPlayer = -1;
  int32_t strengthIndex = 0;
  CCreature* strengthCursor = nullptr;
  int32_t strengthSum = 0;

 private:
  CAIGroupNode* NewLeaf(CCreature& creature);
  CAIGroupNode* NewInner();
  CAIGroupNode* NearestGroupFor(const CCreature& creature);
  void DropLeafOf(CCreature& creature);
  // Whether a leaf still stands for its creature: the slot in use and naming the leaf.
  bool LeafIsLive(const CAIGroupNode* leaf) const;
  bool GroupHasLiveMember(CAIGroupNode* group) const;
  void ForgetGroup(CAIGroupNode* group);
  void BeginCycle(bool swap);
  void RunGroupLoop(CAIBudget& budget);
  bool EvaluateQueued(CAIGroupNode* group, CAIBudget& budget);
  void StepSchedule(CAIBudget& budget);
  void StepOneMemoryEntry();
  void RememberNewEnemies();
  bool MoveToNextMemoryPlayer();
  void PrepareCandidate(CAIDecision* decision, CAIGroupNode* group);
  void ResetMemberWalks(CAIGroupNode* group);
  bool StageMerge(CAIGroupNode* group, CAIBudget& budget);
  bool StageSplit(CAIGroupNode* group, CAIBudget& budget);
  void FinishEvaluation(CAIGroupNode* group);
  void CarryOutResult(CAIGroupNode* group);
  void CleanUpEvaluation();
  // `how` is one of the kAIEnded* marks of AICastLog.h; a removal records no outcome.
  void EndDecision(CAIDecision* decision, char how);
};

extern CAIController g_aiUnitController;
extern CAIController g_aiSideController;

// The controller of a mode (0 units, 1 sides), null for any other.
CAIController* AIController(int mode);

// Whether a decision may replace the group's current one (null: always).
bool ShouldReplace(const CAIDecision* current, float certainty);

// The rating of a finished decision: 0 bad (at most 0.58), 1 even (up to 1.71), 2 good.
int RateOutcome(float ratio);

// The value of harm done to a creature of a type, for the gain and loss of decisions.
int ComputeDamageValue(int type, int health, int damage, float d, float e);

// The controllers' per-frame entry for the battle, and their link to the rest of the game:
// registration, harm credits, a side's gain and loss, the script's removal.
void InstallAIControllers();
void UninstallAIControllers();
