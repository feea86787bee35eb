#pragma once
// The region-of-power decision (type 8): which region of power the acting group goes to take
// or to hold. The regions are scored in turn, each against the nearest remembered enemy
// cluster within ten tiles of it (or an empty group when none is that near). A region a member
// of the group is tied to stays the group's; one another group of the side goes for, and one
// a friend already watches, is no candidate. While it runs, the group fights the enemies it
// sees near the region and sends its weakest fighter onto it, or else walks there; it gives up
// when a friend watches the region or the ground turns more dangerous than the plan accepted.

#include <cstdint>

#include "ai/AIGroupDecision.h"

class CAIRegionDecision final : public CAIGroupDecision {
 public:
  static constexpr int kNearRange2 = 100;  // squared tiles within which enemies are near

  CAIRegionDecision() : CAIGroupDecision(kAIRegionDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIRegionDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  int32_t candidateIndex = -1;  // the region in work
  int32_t workRegion = -1, keptRegion = -1;
  int32_t regionNode = -1;
  CAIGroupNode* targetTree = nullptr;
  CAIGroupNode* emptyGroup = nullptr;
  CAIGroupNode* nearestEnemies = nullptr;
  int64_t nearestDistance2 = kNearRange2;

 protected:
  void AppendInputs(int members) override;
  CAIGroupNode* MeasuredAgainst() const override { return nearestEnemies; }
  int DelayBase() const override { return 0; }
  float DelayMean() const override { return 500.0f; }

 private:
  // Whether the region is one to score now; its node and place then stand in the work block.
  bool IsCandidate(int region);
  // The cluster of the tree nearest the place closer than ten tiles, its squared distance out.
  static CAIGroupNode* NearestCluster(CAIGroupNode* tree, int x, int y, int z, int64_t& distance2);
  // The group fights the enemies near the region, its weakest fighter taking the region.
  void FightNearRegion(CAIGroupNode* enemies);
  // The group walks to the region, members far ahead waiting for the others.
  void Approach();
};
