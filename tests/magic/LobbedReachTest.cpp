// Every forged spell thrown in an arc carries its whole range: at the edge of its Range, on
// level ground and two levels up, the game's own arc planner finds a launch within the
// spell's Speed. (A throw that cannot reach is refused, and a paid one refunded.)
#include <gtest/gtest.h>

#include <cmath>

#include "CastWorld.h"
#include "creatures/SpellDefinition.h"
#include "map/LineWalker.h"
#include "map/MapUnits.h"

namespace magic_test {
namespace {

using LobbedReach = CastWorld;

TEST_F(LobbedReach, EveryThrownSpellReachesTheEdgeOfItsRange) {
  constexpr int kThrowCast = 2;
  constexpr int kGround = 4;          // the top of the field's grass
  constexpr int kEye = kGround + 24;  // a caster's hands over it
  const int sx = 6 * 32 + 16, sy = 20 * 32 + 16;
  int thrown = 0;
  for (int spell = 0; spell < kSpellCount; ++spell) {
    const CSpellDefinition& def = g_spellDefs[spell];
    if (def.LOFType != kThrowCast) continue;
    ++thrown;
    struct Case {
      const char* name;
      double dx, dy;  // the direction of the throw
      int rise;       // the target's height over the ground
    } cases[] = {{"east, level", 1, 0, 0}, {"south-east, level", 1, 1, 0}, {"east, two levels up", 1, 0, 32}};
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << def.TextName << " (" << spell << "), " << c.name);
      // The farthest point of the direction the range check lets through.
      const int tz = kGround + c.rise;
      const double reach = std::sqrt(std::pow(def.RangeUnits - 1.0, 2) - std::pow(tz - kEye, 2));
      const double length = std::hypot(c.dx, c.dy);
      const int tx = sx + static_cast<int>(reach * c.dx / length), ty = sy + static_cast<int>(reach * c.dy / length);
      ASSERT_TRUE(PointsWithinRange(sx, sy, kEye, tx, ty, tz, def.RangeUnits));
      CLineWalker walker;
      CProjectileResult arc;
      EXPECT_TRUE(
          walker.TraceProjectile(sx, sy, kEye, tx, ty, tz, -1, def.Speed, spell, -1, CLineWalker::kFineShot, arc))
          << "speed " << def.Speed << " for range " << def.Range;
    }
  }
  EXPECT_GE(thrown, 5);
}

}  // namespace
}  // namespace magic_test
