#pragma once
// The empirical decision data: for every situation measure (AIMeasureIds.h) a reference value,
// at which the measure counts as neutral, and a range, the distance from the reference at
// which it counts as half-way to certain. Read once at start-up from section
// EMPIRICAL_DECISION_DATA of cfg\ai.cfg, each key "reference ,range"; nothing writes them.

#include "ai/AIMeasureIds.h"

// Indexed by measure id; slot 0 stays 0. Zero for every key the file lacks.
extern float g_aiMeasureReference[kAIMeasureCount];
extern float g_aiMeasureRange[kAIMeasureCount];

// Reads the file named relative to the current directory into both tables. A missing file,
// section or key leaves its entries as they were (zero from the start): the file never fails
// to load, so the answer is always 1.
int LoadAIDecisionData(const char* path);

// Sets the entries of one id from a key's value, read as "%f ,%f": the first number is the
// reference, the second the range; with one number only the reference is set, with none
// nothing. A number that is not finite or lies beyond the whole-number range sets nothing of
// its own (a bad first number sets nothing at all). Answers how many entries were set, 0-2.
int ApplyAIDecisionValue(int id, const char* value);

// Clears both tables (what a run starts with).
void ClearAIDecisionData();
