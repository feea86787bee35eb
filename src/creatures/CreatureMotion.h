#pragma once
// The movement state of a creature: where it stands within the route step it walks, its pace
// and the drawing offsets of the walk cycle, and what the re-planning and pushing rules keep.
// Named fields in place of the spare slots of the route block, so that a search resumed over
// several frames never restores a stale step progress. Plain values only.

#include <cstdint>

struct CCreatureMotion {
  // --- the step in progress ---
  int32_t stepProgress = 0;              // 0 .. 191 within a step of 192 units
  int32_t progressX = 0, progressY = 0;  // signed, in sixths of a map unit
  int32_t zChange = 0, zOffset = 0, baseZ = 0;
  int32_t stepCost = 1;      // accumulator units per animation frame
  int32_t accumulator = 0;   // carries speed from frame to frame
  int32_t advanceTable = 0;  // 0 walk straight, 1 walk diagonal, 2 fly straight, 3 fly diagonal, 4 the one entry
  int32_t advanceIndex = 0, advanceStart = 0;
  int32_t singleAdvance = 0;  // the one entry of a jump or fall step
  // The walking flag and the drawing offsets of the walk cycle are the record's three walking
  // counters (CCreature::movement), which every state but WALK clears: a creature that stops
  // walking has no route ready. The offsets' start values and the cycle's frame count:
  int32_t drawStartX = 0, drawStartY = 0;
  int32_t frameCount = 0;
  int32_t fromX = 0, fromY = 0, fromLevel = 0;  // the cell the step started from
  // --- requests of the attack set-up and re-planning ---
  int32_t walkRestart = 0;
  int32_t continuing = 0;
  int32_t approachSpeed = 0;  // the speed the attack set-up stored for its approach
  int32_t avoid = 0;          // plan with the map's step test alone
  int32_t routeWait = 0;
  // --- blocking and pushing ---
  int32_t blocker = 0;  // slot + 1 of the creature that blocked the last refused step
  int32_t pushRank = 0;
  int32_t pushedBy = -1;
  int32_t pushed = 0;
  int32_t bargeMark = 0;  // set by the push: the first stop after the side step rests 20 frames
  int32_t returnX = 0, returnY = 0, returnLevel = 0;
};
