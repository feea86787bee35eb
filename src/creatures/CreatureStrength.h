#pragma once
// What a creature keeps of its combat strength estimate (CreatureStrength.cpp) and of its own
// behaviour (CreatureBehaviour*.cpp): plain values only, so a copy of a record shares nothing.
#include <cstdint>

struct CCreatureStrength {
  int32_t hthAll = 0;     // hand-to-hand strength against all types
  int32_t lrcAll = 0;     // long-range strength against all types
  int32_t hthUndead = 0;  // hand-to-hand strength against the undead types
  int32_t lrcUndead = 0;  // long-range strength against the undead types
  int32_t defence = 0;
  int32_t total = 0;        // the single number the computer player compares creatures by
  int32_t dirty = 1;        // the estimate is recomputed on the next UpdateStrength
  int32_t attackBonus = 0;  // per cent added to the creature's hand-to-hand ratings
  // The creature's values the last estimate was made from: a change to any of them (health,
  // a condition, a level) marks the estimate dirty, whoever made it.
  int32_t inputs[11] = {};
};

struct CCreatureBehaviourState {
  int32_t reach = 0;                            // map distance from the post within which the target is followed
  int32_t goalX = 0, goalY = 0, goalLevel = 0;  // where sub-behaviours 8 and 9 walk to
  int32_t itemDetour = 0;                       // a walk was turned aside to pick up an item
  int32_t stay = 0;                             // deployment's stay flag: never turned aside from a walk
  int32_t consumed = 0;                         // a corpse a REDCAP has fed on
  int32_t threatSeen = 0;                       // an effect acted on it since the last decision
  int32_t score = 0;                            // script actions add to it
  int32_t armyCount = 0;  // a wizard's: the living creatures of its army it controls
  // The three last screen positions the view drew it at, newest first, each with the sprite
  // frame it showed (-1 none).
  int32_t trailX[3] = {}, trailY[3] = {};
  int32_t trailFrame[3] = {-1, -1, -1};
};

// One order as a creature reports it (GetCurrentOrder) and a waypoint holds it: kind 2 walk
// to a cell, 3 attack a creature, 4 attack a cell.
struct COrderReport {
  int32_t kind = 2;
  int32_t x = 0, y = 0, level = 0;
  int32_t target = -1;  // the creature of kind 3, else -1
};
