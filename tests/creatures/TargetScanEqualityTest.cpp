// The target scans against plain reference choices on random scenes of the forged moorland
// map: the same choice and the same draws of the battle's generator, creature by creature;
// and lobbed shots planned between every pair of a scene, against the answers the planner
// gave when it walked every level of every column it crossed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

#include "ForgedMapScene.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/LineWalker.h"
#include "map/Map.h"

namespace creature_test {
namespace {

// Shooters (two with missiles of their own, one that throws a lobbed spell) and fighters.
constexpr int kSceneTypes[] = {1, 2, 3, 5, 8, 16, 21};
constexpr int kScenes = 6;
constexpr int kCreaturesPerScene = 40;

class TargetScans : public ForgedMapScene {
 protected:
  // A scene: creatures of two hostile armies on free standing places of a 24 x 24 patch.
  void BuildScene(uint32_t seed) {
    g_creatureArray.ReleaseAll();
    std::mt19937 draw(seed);
    const int x0 = static_cast<int>(draw() % static_cast<uint32_t>(g_map.width));
    const int y0 = static_cast<int>(draw() % static_cast<uint32_t>(g_map.height));
    for (int n = 0; n < kCreaturesPerScene; ++n) {
      const int type = kSceneTypes[draw() % std::size(kSceneTypes)];
      // One draw a statement: the order of a call's arguments is the compiler's.
      const int dx = static_cast<int>(draw() % 24);
      const int dy = static_cast<int>(draw() % 24);
      Stand(type, n % 2, x0 + dx, y0 + dy);
    }
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = draw() % 4 ? kSightingFull : 0;
      if (draw() % 3 == 0) c.health = static_cast<int>(draw() % 400) + 1;
      if (draw() % 4 == 0) c.nextActionFrame = 1000;  // not ready to shoot
    });
  }

  // On the lowest standing level of the cell, when it is free.
  static void Stand(int type, int army, int x, int y) {
    x = CWrapCoord::WrapX(x);
    y = CWrapCoord::WrapY(y);
    CCreature* creature = g_creatureArray.FindFree();
    if (!creature) return;
    creature->type = &g_creatureTypes[type];
    creature->typeNumber = type;
    const CMoveQuery query = creature->MakeMoveQuery();
    for (int z = 1; z < g_map.levels; ++z) {
      if (!g_map.CanOccupy(x, y, z, query) || !g_map.FindGroundSupport(x, y, z, query)) continue;
      const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
      if (!cell || cell->occupant != kNoOccupant) return;
      creature->Reset(creature->index);
      creature->SetPosition(x, y, z, type);
      creature->InitFromType(type, army);
      return;
    }
    creature->type = nullptr;
  }

  static bool Allied(const CCreature& a, const CCreature& b) {
    if (a.army == b.army) return true;
    const CArmy* own = g_armyTable.GetArmy(a.army);
    return own && own->IsAlliedWith(b.army);
  }

  static int Rating(const CCreature& c, const int32_t (&matrix)[kCreatureTypes], const CCreature& target) {
    const int value = matrix[target.typeNumber];
    return target.undead && !c.undead ? value / 3 : value;
  }

  static int Score(int rating, const CCreature& candidate) {
    const bool wizard = candidate.typeNumber == 0 || candidate.typeNumber >= 24;
    return 5 * rating + std::max(0, 500 - candidate.health) + (wizard ? 100 : 0) +
           static_cast<int>((g_battleRandom.Next() & 0x7FFFFFFF) % 50u);
  }

  // The plain ranged choice: every candidate in slot order, its line of fire traced.
  static int ReferenceRangedTarget(CCreature& c) {
    if (c.heldKind || c.IsAirborneWithoutFlight() || c.orderState.panicking || !c.HasUsableMissile()) return -1;
    const bool ready = c.IsReadyToShoot();
    int best = -1, bestScore = 0;
    for (int slot = 0; slot < kCreatureCapacity; ++slot) {
      CCreature* other = g_creatureArray.InUse(slot);
      if (!other || other == &c || !other->IsAlive() || Allied(c, *other) || !c.ArmySees(*other)) continue;
      if (!ready && best >= 0) continue;
      if (!c.HasLineOfFireToCreature(*other)) continue;
      if (!ready) {
        best = slot;
        continue;
      }
      const int rating = c.typeNumber == 8 || c.typeNumber == 20 ? 10 : Rating(c, c.type->LRC_Matrix, *other);
      const int score = Score(rating, *other);
      if (best < 0 || score > bestScore) best = slot, bestScore = score;
    }
    return best;
  }

  // The plain hand-to-hand choice.
  static int ReferenceAdjacentFoe(CCreature& c) {
    if (c.heldKind || c.IsAirborneWithoutFlight() || c.orderState.panicking || c.endFlight || !c.type) return -1;
    if (c.order == ORDER_ATTACK_CREATURE && c.movement[0] != 0) return -1;
    int best = -1, bestScore = 0;
    for (int slot = 0; slot < kCreatureCapacity; ++slot) {
      CCreature* other = g_creatureArray.InUse(slot);
      if (!other || other == &c || !other->IsAlive() || !c.IsEnemyOf(*other) || !c.ArmySees(*other)) continue;
      if (!c.InHandToHandContact(*other, c.cellX, c.cellY, c.level)) continue;
      const bool stepsToMe =
          other->midStep && other->target == c.index &&
          (other->order == ORDER_ATTACK_CREATURE ||
           (other->order == ORDER_BEHAVIOUR && (other->behaviourSubState == 1 || other->behaviourSubState == 5)));
      if (stepsToMe) continue;
      const int score = Score(Rating(c, c.type->HTH_Matrix, *other), *other);
      if (best < 0 || score > bestScore) best = slot, bestScore = score;
    }
    return best;
  }

  // The plain reach walk: from the creature's cell, the neighbours in their order, each that
  // comes closer than the best so far tried, until contact, a clear shot, or no way on.
  static bool ReferenceCanReach(CCreature& c, const CCreature& other) {
    int x = c.cellX, y = c.cellY, z = c.level;
    int fromX = -1, fromY = -1, fromZ = -1;
    int best = MapWrappedDistance(x, y, z, other.cellX, other.cellY, other.level);
    while (!(x == other.cellX && y == other.cellY && z == other.level)) {
      if (c.InHandToHandContact(other, x, y, z) || (c.HasUsableMissile() && c.ClearShotFrom(x, y, z, other)))
        return true;
      bool stepped = false;
      int nextX = 0, nextY = 0, nextZ = 0;
      for (const GridStep& step : kNeighbours26) {
        const int nz = z + step.dz;
        if (nz < 0 || nz >= g_map.levels) continue;
        const int nx = CWrapCoord::WrapX(x + step.dx), ny = CWrapCoord::WrapY(y + step.dy);
        if (nx == fromX && ny == fromY && nz == fromZ) continue;
        const int d = MapWrappedDistance(nx, ny, nz, other.cellX, other.cellY, other.level);
        if (d >= best || !c.CanMoveStraightTo(x, y, z, nx, ny, nz, nullptr, 0)) continue;
        best = d;
        nextX = nx, nextY = ny, nextZ = nz;
        stepped = true;
      }
      if (!stepped) return false;
      fromX = x, fromY = y, fromZ = z;
      x = nextX, y = nextY, z = nextZ;
    }
    return false;
  }

  // Runs a scan and its reference from the same generator: the same answer and draws.
  template <class Scan, class Reference>
  static void ExpectSameChoice(CCreature& c, Scan scan, Reference reference, const char* what) {
    const CRandom start = g_battleRandom;
    const int expected = reference(c);
    const CRandom afterReference = g_battleRandom;
    g_battleRandom = start;
    EXPECT_EQ(scan(c), expected) << what << " of slot " << c.index;
    EXPECT_EQ(std::memcmp(&g_battleRandom, &afterReference, sizeof(CRandom)), 0) << what << " draws of " << c.index;
  }
};

TEST_F(TargetScans, ChooseWhatThePlainSlotOrderChoiceChooses) {
  int ranged = 0, adjacent = 0;
  for (int scene = 0; scene < kScenes; ++scene) {
    BuildScene(1000u + static_cast<uint32_t>(scene));
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      ExpectSameChoice(
          c, [](CCreature& s) { return s.FindRangedTarget(); }, ReferenceRangedTarget, "ranged");
      ExpectSameChoice(
          c, [](CCreature& s) { return s.FindAdjacentFoe(); }, ReferenceAdjacentFoe, "adjacent");
      ranged += c.FindRangedTarget() >= 0;
      adjacent += c.FindAdjacentFoe() >= 0;
    });
  }
  // The scenes hold shots and contacts to choose from.
  EXPECT_GT(ranged, 20);
  EXPECT_GT(adjacent, 5);
}

// The reach test of every creature to every other of the scenes, as the plain walk answers.
TEST_F(TargetScans, ReachAnswersAsThePlainWalk) {
  int reached = 0, asked = 0;
  for (int scene = 0; scene < kScenes; ++scene) {
    BuildScene(3000u + static_cast<uint32_t>(scene));
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      g_creatureArray.ForEachInUse([&](CCreature& other) {
        if (&c == &other) return;
        const bool expected = ReferenceCanReach(c, other);
        ASSERT_EQ(c.CanReach(other), expected) << "from " << c.index << " to " << other.index;
        reached += expected;
        ++asked;
      });
    });
  }
  EXPECT_GT(reached, asked / 10);
  EXPECT_LT(reached, asked);
}

// Every pair of every scene, fine and coarse, from eye to centre: what the planner answers
// (clear or not, the aim and the apex; and the launch velocity) folded into two words,
// recorded from the planner that walked every level of each column. One record for every
// compiler: a battle must go the same way whatever built the program and forged its map.
TEST_F(TargetScans, LobbedShotsAnswerAsThePlainPlannerDid) {
  uint64_t answers = 1469598103934665603u, launches = 1, points = 1;
  const auto mix = [](uint64_t& fold, int32_t word) { fold = (fold ^ static_cast<uint32_t>(word)) * 1099511628211u; };
  int clear = 0, traced = 0;
  for (int scene = 0; scene < kScenes; ++scene) {
    BuildScene(2000u + static_cast<uint32_t>(scene));
    g_creatureArray.ForEachInUse([&](CCreature& shooter) {
      g_creatureArray.ForEachInUse([&](CCreature& target) {
        if (&shooter == &target) return;
        int ex, ey, ez, tx, ty, tz;
        shooter.EyePoint(ex, ey, ez);
        target.CentrePoint(tx, ty, tz);
        for (const int flags : {0, CLineWalker::kFineShot}) {
          CLineWalker walker;
          CProjectileResult result;
          const int hit = walker.TraceProjectile(ex, ey, ez, tx, ty, tz, shooter.index, g_spellDefs[94].Speed, 94,
                                                 target.index, flags, result);
          clear += hit;
          ++traced;
          mix(answers, hit);
          for (const int32_t a : result.aim) mix(answers, a);
          mix(answers, result.apexHeight);
          for (const float v : result.velocity) {
            int32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            mix(launches, bits);
          }
          for (const int32_t p : {ex, ey, ez, tx, ty, tz}) mix(points, p);
        }
      });
    });
  }
  EXPECT_GT(clear, traced / 4);
  EXPECT_LT(clear, traced);
  EXPECT_EQ(points, 0xdbf7f219fbb23711u);
  EXPECT_EQ(answers, 0x4fe059638f4ae17du);
  EXPECT_EQ(launches, 0x434fe8c943aa99a4u);
}

}  // namespace
}  // namespace creature_test
