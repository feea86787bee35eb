#pragma once
// Situation measures: whole numbers that describe the acting group (A), the group it is judged
// against (B, as a rule an enemy group) and A's wizard: how many creatures, how healthy, how
// strong hand to hand and at long range, how much mana, which spells the wizard could cast.
// They are the inputs of every certainty (AICertainty.h) and of the learning store's
// experience vectors. Ids 1-123 as AIMeasureIds.h numbers them; any other id measures 0.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

class CAIGroupNode;

// Empties out, then appends one measure per id, in order, over the two groups; horizon is the
// number of ticks within which a spell must be castable to count in the spell ratings.
// Answers the number of ids. Sums are taken in 64 bits and held within the whole numbers.
int ComputeGroupMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, int horizon, std::vector<int32_t>& out,
                         std::span<const int> ids);
int ComputeGroupMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, int horizon, std::vector<int32_t>& out,
                         std::initializer_list<int> ids);

// One measure over the two groups (horizon 0 unless given).
int32_t GroupMeasure(CAIGroupNode* groupA, CAIGroupNode* groupB, int id, int horizon = 0);

// One term of a list of measures to fold: its weight and its signed measure id.
struct MeasureTerm {
  double weight;
  int id;
};

// Folds each term's measure over the two groups into the certainty, in order (FoldMeasure),
// taking the certainty and total weight as they stand; answers the certainty.
float EvaluateMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, float& totalWeight, float& certainty,
                       std::span<const MeasureTerm> terms);
float EvaluateMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, float& totalWeight, float& certainty,
                       std::initializer_list<MeasureTerm> terms);
