#pragma once
// CMoveQuery: the creature a passability test or route search is for, and the kinds of
// steps the step test reports.

#include <cstdint>

struct CMoveQuery {
  int32_t height = 1;        // levels
  int32_t size = 1;          // footprint 1, or 2 for 2 x 2 columns
  int32_t airborne = 0;      // non-zero: may leave the ground by one level
  int32_t movementKind = 0;  // 0-3, how it may be in water; 2 the swimmer
  uint8_t deepWater = 0;     // non-zero: deep-water cells are allowed
  int32_t typeIndex = 0;     // type 22 stands anywhere and never steps
  uint8_t flying = 0;

  // Height 1, size 1, a walker that may enter deep water.
  static CMoveQuery MinimalWalker() {
    CMoveQuery query;
    query.deepWater = 1;
    return query;
  }
  // The fixed test creatures of the path network: everything not given is 0.
  static CMoveQuery TestCreature(int height, int size, int movementKind, int airborne = 0, uint8_t deepWater = 0) {
    CMoveQuery query;
    query.height = height;
    query.size = size;
    query.movementKind = movementKind;
    query.airborne = airborne;
    query.deepWater = deepWater;
    return query;
  }
};

inline constexpr int kMovementSwimmer = 2;
inline constexpr int kSpecialCreatureType = 22;

// Step kinds reported by CMap::CanStepBetween.
enum StepKind : int {
  kStepGround = 0,
  kStepFlying = 1,
  kStepTakeOff = 2,
  kStepLanding = 3,
  kStepSwimming = 4,
  kStepRefused = 5,
};
