// The step speed rules of a creature type. Integer arithmetic throughout, with the one float
// product of the gravity term truncated, and exact integer roots, so that every machine of a
// network battle moves its creatures alike.
#include <algorithm>
#include <climits>

#include "creatures/CreatureAnims.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

float g_gravityFactor = 0.969f;

namespace {

constexpr int kWalkMode = 0;
constexpr int kSwimMode = 4;
constexpr uint32_t kUnitsPerDistance = 576;  // a step's distance measure in speed units

int Sum(const int32_t (&advances)[12]) {
  int64_t sum = 0;
  for (int32_t a : advances) sum += a;
  return static_cast<int>(std::clamp<int64_t>(sum, 0, INT_MAX));
}

int StepDistance(int dx, int dy, int dz) {
  return dx == 0 && dy == 0 ? CellDistanceApprox(dz, 0, 0) : CellDistanceApprox(dx, dy, dz);
}

int GravityTerm() { return static_cast<int>(g_gravityFactor * 76.8f); }

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

uint32_t CCreatureType::GetStepBase(int mode, int dx, int dy, int dz) const {
  if (mode >= 1 && mode <= 3 && !CanFly) return static_cast<uint32_t>(g_spellDefs[spell_tuning::kFlight].Data1);
  if (mode < 0 || mode > kSwimMode) return 0;
  const bool diagonal = (DirectionFromStep(dx, dy) & 1) != 0;
  const bool flying = mode == 1 || mode == 2;
  const int32_t(&table)[12] = flying ? (diagonal ? flyAdvanceDiagonal : flyAdvanceStraight)
                                     : (diagonal ? walkAdvanceDiagonal : walkAdvanceStraight);
  const uint64_t base = static_cast<uint64_t>(Sum(table)) * static_cast<uint64_t>(StepDistance(dx, dy, dz)) / 4;
  return static_cast<uint32_t>(std::min<uint64_t>(base, UINT32_MAX));
}

void CCreatureType::UpdateStepSpeed(int divisor, int mode, int dx, int dy, int dz, uint32_t base, int& current,
                                    int& target) const {
  const uint64_t scaled = uint64_t{base} * 4 / static_cast<uint64_t>(divisor < 1 ? 1 : divisor);
  int64_t goal = static_cast<int64_t>(std::min<uint64_t>(scaled, INT_MAX));
  const bool slope = mode != kSwimMode && (dz == -1 || dz == 1);
  if (slope) goal = dz == -1 ? goal * 3 / 2 : 2 * goal / 3;
  target = ClampToInt(goal);
  int64_t a = target < current ? -int64_t{Acceleration} : Acceleration;
  if (slope) a += dz == -1 ? GravityTerm() : -GravityTerm();
  const int64_t d = int64_t{CellDistanceApprox(dx, dy, dz)} * kUnitsPerDistance;
  int64_t x = int64_t{current} * current + 4 * a * d;
  if (x < 0) x = 0;
  const int64_t next = (int64_t{current} + IntegerSqrt(static_cast<uint64_t>(x))) / 2;
  current = ClampToInt(a >= 0 ? std::min<int64_t>(target, next) : std::max<int64_t>(target, next));
}

void ComputeMaxStepSpeed(CCreatureType& type) {
  type.maxSpeed = 0;
  int current = 0, target = 0;
  for (int mode = kWalkMode; mode <= kSwimMode; ++mode) {
    const bool used =
        mode == kWalkMode || (mode <= 3 && type.CanFly) || (mode == kSwimMode && type.SwimmingAbility == 2);
    if (!used) continue;
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) {
        if (dx == 0 && dy == 0) continue;
        for (int dz = -1; dz <= 1; ++dz) {
          type.UpdateStepSpeed(4, mode, dx, dy, dz, type.GetStepBase(mode, dx, dy, dz), current, target);
          type.maxSpeed = std::max(type.maxSpeed, target);
        }
      }
    }
  }
}
