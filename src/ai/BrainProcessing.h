#pragma once
// The work of experience processing on records already read, for the store, the fuzz target
// and the bench.

#include <vector>

#include "ai/Brain.h"
#include "ai/ExperienceFile.h"

// Builds a table from the records, oldest first, calling progress after each of its six
// stages: 0, or -5 when a matrix cannot be inverted (the table then holds part of the work).
int BuildBrainTable(const std::vector<ExperienceRecord>& records, BrainTable& table,
                    const BrainProgress& progress = {});

// Turns a bin's ten recency weights into normal scores: each tenth gets the inverse normal of
// the weight below it plus half its own, over the bin's whole weight; empty tenths at either
// end take the score of the nearest tenth with weight.
void WeightsToScores(CBrainBin& bin);
