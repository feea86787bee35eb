// The spell position searches on maps built from the forged moorland: the cell found is one the
// cast check accepts, its cost is the cheapest a plain Dijkstra over the map's own successors
// finds, the path leads back to the caster's cell step by step, a search in slices ends where
// one at once does, and the caller pays exactly the steps the search used.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <queue>
#include <vector>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AIDecision.h"
#include "ai/AIPositionSearch.h"
#include "ai/AIUtilities.h"
#include "map/CellRouteSearch.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/CreatureField.h"
#include "support/TestSupport.h"

namespace {

using ai_test::AIField;

constexpr int kCasterType = 1;
constexpr int kPlaceSpell = 20;     // cast straight at a place
constexpr int kCreatureSpell = 43;  // cast straight at a creature

class Searcher final : public CAIDecisionOf<Searcher> {
 public:
  Searcher() : CAIDecisionOf<Searcher>(20) {}
  void Prepare(CAIGroupNode*, CAIPlayerMemory*, int) override {}
  bool Evaluate(float*, CAIBudget&, int) override { return false; }
  int Execute() override { return 0; }
};

CellPos PositionOfCell(int cell) {
  const int inLevel = cell % g_map.cellsPerLevel;
  return {inLevel % g_map.width, inLevel / g_map.width, cell / g_map.cellsPerLevel};
}

// The mover the searches give the map: a zeroed footprint, the caster, the start and the target.
CRouteMover SearchMover(const CCreature& caster, CellPos start, CellPos target) {
  CRouteMover mover;
  mover.queryGiven = true;
  mover.query = CMoveQuery{0, 0, 0, 0, 0, 0, 0};
  mover.creature = caster.index;
  mover.start = start;
  mover.goal = target;
  return mover;
}

std::vector<CSuccessor> SuccessorsOf(int cell, const CRouteMover& mover) {
  std::vector<CSuccessor> out;
  CBestFirstSearch::Closed data;
  int32_t plenty = 1000;
  CellSuccessors(cell, data, mover, out, plenty);
  return out;
}

// The cheapest cost of a goal reachable from the start, INT_MAX when none.
int Dijkstra(int start, const CRouteMover& mover, const std::function<bool(int)>& goal) {
  std::vector<int> dist(static_cast<size_t>(g_map.cellsPerLevel) * g_map.levels, INT_MAX);
  using Entry = std::pair<int, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
  dist[static_cast<size_t>(start)] = 0;
  open.push({0, start});
  while (!open.empty()) {
    const auto [d, cell] = open.top();
    open.pop();
    if (d > dist[static_cast<size_t>(cell)]) continue;
    if (goal(cell)) return d;
    for (const CSuccessor& next : SuccessorsOf(cell, mover)) {
      if (d + next.cost >= dist[static_cast<size_t>(next.node)]) continue;
      dist[static_cast<size_t>(next.node)] = d + next.cost;
      open.push({d + next.cost, next.node});
    }
  }
  return INT_MAX;
}

class SpellPositionsOnForgedMaps : public AIField {
 protected:
  void SetUp() override {
    AIField::SetUp();
    if (HasFatalFailure()) return;
    data_ = std::make_unique<testing_support::ForgedDataCopy>();  // building a map writes its logs
    std::vector<uint8_t> file;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
    UseArmy(1);
    UseArmy(2);
  }
  void TearDown() override {
    g_creatureArray.ReleaseAll();
    g_map.Clear();
    g_pathNetwork.Clear();
    FreeDoorsConfig();
    g_useNodeMap = 0;
    data_.reset();
    AIField::TearDown();
  }
  void Build(int region, int seed) {
    g_creatureArray.ReleaseAll();
    g_map.Clear();
    ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", region, seed), 1);
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
  }

  // A search from start toward target, for a place or (with a creature) at the creature.
  struct Query {
    int spell;
    CellPos start, target;
    CCreature* targetCreature;
  };
  bool Search(Searcher& decision, CCreature& caster, const Query& q, CAIBudget& budget, int& allowance) {
    if (q.targetCreature)
      return SearchPositions(decision, caster, q.spell, q.start.x, q.start.y, q.start.z, q.targetCreature, budget,
                             allowance);
    return SearchPositionsForSpell(decision, caster, q.spell, q.start.x, q.start.y, q.start.z, q.target.x, q.target.y,
                                   q.target.z, budget, allowance);
  }
  static bool Accepts(CCreature& caster, const Query& q, int cell) {
    const CellPos at = PositionOfCell(cell);
    if (q.targetCreature) return CastCheckAtCreature(caster, q.spell, at.x, at.y, at.z, q.targetCreature) == 0;
    return CastCheckAtCell(caster, q.spell, at.x, at.y, at.z, q.target.x, q.target.y, q.target.z) == 0;
  }

  // Runs the query at once and in slices of three steps, against the independent cost.
  // Answers the cost found.
  int Check(CCreature& caster, const Query& q) {
    const CRouteMover mover = SearchMover(caster, q.start, q.target);
    const int start = g_map.CellIndex(q.start.x, q.start.y, q.start.z);
    const int expected = Dijkstra(start, mover, [&](int cell) { return Accepts(caster, q, cell); });

    Searcher whole;
    CAIBudget budget;
    budget.Start(1000000);
    int allowance = 900000;  // below what remains: the search gets the allowance
    const bool found = Search(whole, caster, q, budget, allowance);
    EXPECT_EQ(found, expected != INT_MAX);
    EXPECT_EQ(whole.search.resultCost, expected);
    EXPECT_EQ(whole.search.restart, 1);
    const int used = 1000000 - budget.steps;
    EXPECT_EQ(used > 0, expected != 0);   // a caster that can cast where it stands expands nothing
    EXPECT_EQ(900000 - allowance, used);  // the allowance pays the same steps
    if (found) {
      const std::vector<CAIPathCell>& path = whole.search.path;
      EXPECT_TRUE(Accepts(caster, q, path.front().cell));
      EXPECT_EQ(path.back().cell, start);
      int cost = 0;
      for (size_t i = path.size() - 1; i > 0; --i) {
        bool linked = false;
        for (const CSuccessor& next : SuccessorsOf(path[i].cell, mover))
          if (next.node == path[i - 1].cell) {
            linked = true;
            cost += next.cost;
            break;
          }
        EXPECT_TRUE(linked) << "step " << i;
      }
      EXPECT_EQ(cost, expected);
    }

    Searcher sliced;
    bool slicedFound = false;
    int calls = 0;
    do {
      CAIBudget slice;
      slice.Start(3);
      int sliceAllowance = 1000;
      slicedFound = Search(sliced, caster, q, slice, sliceAllowance);
    } while (!sliced.search.restart && ++calls < 1000000);
    EXPECT_LT(calls, 1000000);
    EXPECT_EQ(slicedFound, found);
    EXPECT_EQ(sliced.search.resultCost, expected);
    return expected;
  }

 private:
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
};

TEST_F(SpellPositionsOnForgedMaps, TheCheapestCastingPlaceIsWhatDijkstraFinds) {
  struct Map {
    int region, seed;
  };
  int searched = 0, walked = 0;
  for (const Map map : {Map{0, 11}, Map{2, 77}}) {
    SCOPED_TRACE(map.seed);
    ASSERT_NO_FATAL_FAILURE(Build(map.region, map.seed));
    for (int k = 0; k < 6; ++k) {
      const int sx = 4 + 7 * k, sy = 6 + 5 * k;
      const int tx = sx + 12 - 4 * (k % 3), ty = sy + 3 * (k % 2) - 1;
      const int sl = testing_support::StandingLevel(kCasterType, sx, sy);
      const int tl = testing_support::StandingLevel(kCasterType, CWrapCoord::WrapX(tx), CWrapCoord::WrapY(ty));
      if (sl < 0 || tl < 0) continue;
      CCreature& caster = Place(kCasterType, 1, sx, sy, sl);
      CCreature& rival = Place(kCasterType, 2, CWrapCoord::WrapX(tx), CWrapCoord::WrapY(ty), tl);
      const CellPos start{sx, sy, sl}, target{rival.cellX, rival.cellY, rival.level};
      rival.sightingCounters[1] = 1;  // the caster's side sees it
      for (const Query& q :
           {Query{kPlaceSpell, start, target, nullptr}, Query{kCreatureSpell, start, target, &rival}}) {
        SCOPED_TRACE(testing::Message() << "from " << sx << "," << sy << "," << sl << " spell " << q.spell);
        const int cost = Check(caster, q);
        ++searched;
        walked += cost != INT_MAX && cost > 0;
      }
      g_creatureArray.ReleaseAll();
    }
  }
  EXPECT_GE(searched, 8);
  EXPECT_GT(walked, 0);  // some casters had to move to cast
}

// A caster already standing where it can cast finds its own cell at no cost, in one call.
TEST_F(SpellPositionsOnForgedMaps, ACasterInReachStaysWhereItIs) {
  ASSERT_NO_FATAL_FAILURE(Build(0, 11));
  for (int k = 0; k < 40; ++k) {
    const int sx = 3 + k, sy = 20;
    const int sl = testing_support::StandingLevel(kCasterType, sx, sy);
    const int tl = testing_support::StandingLevel(kCasterType, sx + 2, sy);
    if (sl < 0 || tl < 0) continue;
    CCreature& caster = Place(kCasterType, 1, sx, sy, sl);
    if (CastCheckAtCell(caster, kPlaceSpell, sx, sy, sl, sx + 2, sy, tl) != 0) {
      g_creatureArray.ReleaseAll();
      continue;
    }
    Searcher decision;
    CAIBudget budget;
    budget.Start(100);
    int allowance = 100;
    EXPECT_TRUE(SearchPositionsForSpell(decision, caster, kPlaceSpell, sx, sy, sl, sx + 2, sy, tl, budget, allowance));
    EXPECT_EQ(decision.search.resultCost, 0);
    ASSERT_EQ(decision.search.path.size(), 1u);
    EXPECT_EQ(decision.search.path[0].cell, g_map.CellIndex(sx, sy, sl));
    EXPECT_EQ(budget.steps, 100);  // nothing cheaper than nothing: no cell was expanded
    return;
  }
  FAIL() << "no caster in reach of its target on the map";
}

}  // namespace
