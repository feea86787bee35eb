// The route search that runs over several frames, saved while it is half done: it comes back
// as it stood and ends in the same calls with the same route as the search never saved, and a
// part holding what no search can be in is refused with the search as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "WalkWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureRoutes.h"
#include "map/CellRouteSearch.h"
#include "support/SavedBlock.h"

namespace creature_test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes SavedSearch() {
  return testing_support::WrittenBytes([](FILE* out) { EXPECT_GT(SavePendingRouteSearch(out), 0); });
}

int LoadSearch(Bytes bytes) {
  struct Part {
    int Load(FILE* file) { return LoadPendingRouteSearch(file); }
  } part;
  return testing_support::LoadFromBytes(part, std::move(bytes));
}

class RouteSearchSave : public WalkWorld {
 protected:
  void SetUp() override {
    WalkWorld::SetUp();
    g_useNodeMap = 0;
    Wall(12, 4, 12, 6);
    walker = Place(kBrownie, 0, 5, 5, kFloor);
    other = Place(kBrownie, 0, 5, 20, kFloor);
  }
  // One planning call of the walker with a small budget: 2 while the search goes on.
  int Plan(int slot, int x, int y) {
    int budget = 3;
    return C(slot).PlanRoute(x, y, kFloor, 0, 0, budget);
  }
  // Calls until the walker's plan is taken: their number.
  int CallsUntilPlanned() {
    for (int call = 1; call < 200; ++call)
      if (Plan(walker, 20, 5) != 2) return call;
    return -1;
  }

  int walker = -1, other = -1;
};

TEST_F(RouteSearchSave, AHalfDoneSearchComesBackAndEndsAsOneNeverSaved) {
  for (int call = 0; call < 4; ++call) ASSERT_EQ(Plan(walker, 20, 5), 2);
  ASSERT_EQ(g_creatureArray.searchPending, 1);
  const Bytes pool = testing_support::SavedBytes(g_creatureArray);
  const Bytes search = SavedSearch();
  EXPECT_GT(search.size(), 100u);  // the cells reached and the open ones

  const int calls = CallsUntilPlanned();
  ASSERT_GT(calls, 2);
  ASSERT_GT(C(walker).route.stepCount, 0);
  const CCreatureRoute planned = C(walker).route;

  // Another creature's search takes the search over; the saved battle comes back.
  ASSERT_EQ(Plan(other, 20, 20), 2);
  ASSERT_EQ(testing_support::LoadFromBytes(g_creatureArray, pool), static_cast<int>(pool.size()));
  EXPECT_EQ(g_creatureArray.searchPending, 0);  // the pool's block does not carry it
  ASSERT_EQ(LoadSearch(search), static_cast<int>(search.size()));
  EXPECT_EQ(g_creatureArray.searchPending, 1);
  EXPECT_EQ(SavedSearch(), search);
  EXPECT_EQ(CallsUntilPlanned(), calls);
  const CCreatureRoute& again = C(walker).route;
  ASSERT_EQ(again.stepCount, planned.stepCount);
  for (int i = 0; i < planned.stepCount; ++i)
    for (int w = 0; w < 7; ++w) EXPECT_EQ(again.steps[i].words[w], planned.steps[i].words[w]) << i << " " << w;

  // With no search under way the part is its flag alone.
  EXPECT_EQ(g_creatureArray.searchPending, 0);
  EXPECT_EQ(SavedSearch(), Bytes(4, 0));
}

TEST_F(RouteSearchSave, APartNoSearchCanBeInIsRefusedAndChangesNothing) {
  for (int call = 0; call < 4; ++call) ASSERT_EQ(Plan(walker, 20, 5), 2);
  const Bytes good = SavedSearch();
  const int32_t reached = bytes::LoadI32(&good[52]);
  ASSERT_GT(reached, 3);
  const size_t first = 56, open = first + 40 * static_cast<size_t>(reached);
  const int32_t openCount = bytes::LoadI32(&good[open]);
  ASSERT_GT(openCount, 1);
  auto node = [&](int i) { return bytes::LoadI32(&good[first + 40 * static_cast<size_t>(i)]); };
  const int32_t sequence = bytes::LoadI32(&good[48]);
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Bad cases[] = {
      {"pending flag", 0, 2},
      {"restart flag", 4, 2},
      {"start not reached first", 8, node(1)},
      {"best node not reached", 44, -5},
      {"no cell reached", 52, 0},
      {"more cells than the map", 52, g_map.cellCount + 1},
      {"the start reached from a cell", first + 8, node(1)},
      {"a cell off the map", first + 40, g_map.cellCount},
      {"a cell reached twice", first + 80, node(1)},
      {"a parent not reached", first + 40 + 8, -1},
      {"open count", open, -1},
      {"an open cell not reached", open + 4 + 8, g_map.cellCount - 1},
      {"an open entry numbered at the sequence", open + 4 + 12, sequence},
      {"the heap out of order", open + 4 + 4, -1},  // the front entry the latest of all
  };
  // Another creature's search stands now: what a failure must leave in place.
  ASSERT_EQ(Plan(other, 20, 20), 2);
  const Bytes live = SavedSearch();
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    Bytes bytes = good;
    bytes::StoreI32(&bytes[bad.offset], bad.value);
    EXPECT_EQ(LoadSearch(bytes), -1);
    EXPECT_EQ(SavedSearch(), live);
  }
  for (size_t cut = 0; cut < good.size(); cut += 4) {
    EXPECT_EQ(LoadSearch(Bytes(good.begin(), good.begin() + static_cast<long>(cut))), -1) << cut;
  }
  EXPECT_EQ(SavedSearch(), live);
  EXPECT_EQ(LoadSearch(good), static_cast<int>(good.size()));
}

}  // namespace
}  // namespace creature_test
