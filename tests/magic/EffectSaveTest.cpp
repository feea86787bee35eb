// The effect pool in the saved game: byte-for-byte round trips of effects in flight, the
// sizes of an empty pool, and malformed or short blocks refused with the pool as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "MagicTestSupport.h"
#include "core/Bytes.h"
#include "creatures/CreatureArray.h"
#include "map/MapView.h"
#include "map/TerrainType.h"
#include "support/SavedBlock.h"

namespace magic_test {
namespace {

namespace w = effect_word;

std::vector<uint8_t> Saved() { return testing_support::SavedBytes(g_effectManager); }

int LoadBytes(std::vector<uint8_t> bytes) { return testing_support::LoadFromBytes(g_effectManager, std::move(bytes)); }

class EffectSaveTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ASSERT_TRUE(LoadForgedEffectTables());
  }
  void TearDown() override {
    g_mapView.rotation = 0;
    EffectTest::TearDown();
  }
  // Three carriers at different points of their flights, one with an animation, and an
  // effect in the lists.
  void FillPool() {
    for (int i = 0; i < 3; ++i) {
      CEffectParams block;
      block.SetPoint(w::kSourceX, 100 + 40 * i, 200, 20);
      block.SetPoint(w::kTargetX, 900, 1200 - 100 * i, 40);
      block[w::kSpeed] = 2 + i;
      block[w::kSpell] = 10 + i;
      CEffect* e = Start(1, block);
      ASSERT_NE(e, nullptr);
      e->StartTrajectory(100 + 40 * i, 200, 20, 900, 1200 - 100 * i, 40);
      for (int step = 0; step <= i; ++step) e->Travel(1);
      if (i == 1) {
        e->StartEntry(3, 0);
        e->animPlayer.Advance();
      }
      e->state[5] = 77 + i;
      e->creature = i == 2 ? 4 : -1;
    }
    manager.PushFront(kListSpell34, 101);
    manager.PushFront(kListSpell34, 100);
    manager.PushFront(kListTotems, 102);
    manager.BeginKindScan(1);
    g_mapView.rotation = 2;
  }
};

TEST_F(EffectSaveTest, AnEmptyPoolIsItsHeaderEightBytesARecordAndItsTail) {
  const std::vector<uint8_t> bytes = Saved();
  EXPECT_EQ(bytes.size(), 8u + 8u * manager.Count() + 12u + 16u);
  ASSERT_EQ(LoadBytes(bytes), static_cast<int>(bytes.size()));
  EXPECT_EQ(Saved(), bytes);
}

TEST_F(EffectSaveTest, EffectsInFlightComeBackByteForByte) {
  FillPool();
  const std::vector<uint8_t> first = Saved();
  const CEffect before = *manager.At(101);
  manager.Reset();
  g_mapView.rotation = 0;
  ASSERT_EQ(LoadBytes(first), static_cast<int>(first.size()));
  EXPECT_EQ(Saved(), first);
  const CEffect& after = *manager.At(101);
  EXPECT_EQ(after.active, 1);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.cell, before.cell);
  EXPECT_EQ(after.terrainType, before.terrainType);
  EXPECT_EQ(after.animPlayer.animation, before.animPlayer.animation);
  EXPECT_EQ(after.animPlayer.CurrentFrame(), before.animPlayer.CurrentFrame());
  EXPECT_EQ(after.sound, nullptr);
  EXPECT_EQ(manager.At(102)->creature, 4);
  EXPECT_EQ(manager.List(kListSpell34), (std::vector<int32_t>{100, 101}));
  EXPECT_EQ(g_mapView.rotation, 2);
  EXPECT_TRUE(manager.CheckCellChains());
  // The effects travel on from where they were.
  CEffect& again = *manager.At(100);
  EXPECT_EQ(again.Travel(1), kMotionGoing);
}

TEST_F(EffectSaveTest, BadOrShortBlocksLeaveThePoolAsItWas) {
  FillPool();
  const std::vector<uint8_t> good = Saved();
  manager.At(150)->active = 1;  // live state the failed loads must keep
  manager.At(150)->kind = 3;
  const std::vector<uint8_t> live = Saved();
  // Record 100 starts after the header and 100 free records.
  const size_t r = 8 + 8 * 100;
  const size_t params = r + 8 + 24 + 4 + 4, stepper = params + 252, anim = stepper + 56;
  const size_t tail = good.size() - (12 + 4 * 4 + 4 * 3);
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Bad cases[] = {
      {"pool size", 0, 1999},
      {"rotation", 4, 4},
      {"index", r, 101},
      {"active", r + 4, 2},
      {"spare word", r + 32, 1},
      {"kind", r + 36, 89},
      {"animation", anim, 1000},
      {"player", anim + 4, 1 << 20},  // a sequence the player's file lacks
      {"scan cursor", tail + 4, 2001},
      {"high water", tail + 8, -1},
      {"list count", tail + 12, 2001},
      {"list entry", tail + 12 + 4, 2000},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = good;
    bytes::StoreI32(bytes.data() + bad.offset, bad.value);
    EXPECT_EQ(LoadBytes(bytes), -1);
    EXPECT_EQ(Saved(), live);
  }
  for (size_t cut : {size_t{0}, size_t{4}, r, r + 8, params, stepper, anim, anim + 4, tail, good.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(LoadBytes(std::vector<uint8_t>(good.begin(), good.begin() + cut)), -1);
  }
  EXPECT_EQ(Saved(), live);
}

// The numbers after a record's animation player, each made bad, and a record cut at any of
// its fields (the two-byte chain word among them).
TEST_F(EffectSaveTest, ARecordsLinksMadeBadOrCutAnywhereAreRefused) {
  FillPool();
  const std::vector<uint8_t> good = Saved();
  const size_t r = 8 + 8 * 100;  // record 100
  const size_t size = testing_support::WrittenBytes([&](FILE* out) { manager.At(100)->Save(out); }).size();
  const size_t terrain = r + size - 140 - 2 - 12, cell = terrain + 4, creature = cell + 4, next = creature + 4;
  ASSERT_EQ(bytes::LoadI32(&good[cell]), g_map.CellToNumber(manager.At(100)->cell));
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Bad cases[] = {
      {"terrain type", terrain, g_terrainTypes.Count()},
      {"terrain type", terrain, -2},
      {"cell", cell, g_map.cellCount},
      {"cell", cell, -2},
      {"creature", creature, kCreatureCapacity},
      {"creature", creature, -2},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = good;
    bytes::StoreI32(bytes.data() + bad.offset, bad.value);
    EXPECT_EQ(LoadBytes(bytes), -1);
    EXPECT_EQ(Saved(), good);
  }
  std::vector<uint8_t> bytes = good;
  bytes::StoreU16(bytes.data() + next, static_cast<uint16_t>(manager.Count()));  // a chain off the pool
  EXPECT_EQ(LoadBytes(bytes), -1);
  for (size_t cut = r; cut < r + size; cut += 2)
    EXPECT_EQ(LoadBytes(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))), -1) << cut;
  EXPECT_EQ(Saved(), good);
}

TEST_F(EffectSaveTest, CellChainsAreCheckedAgainstTheMap) {
  FillPool();
  EXPECT_TRUE(manager.CheckCellChains());
  CEffect& e = *manager.At(100);
  ASSERT_NE(e.cell, nullptr);
  e.nextInCell = static_cast<uint16_t>(e.index);  // a chain that loops
  EXPECT_FALSE(manager.CheckCellChains());
  e.nextInCell = CEffect::kEndOfChain;
  e.active = 0;  // a chain naming a free record
  EXPECT_FALSE(manager.CheckCellChains());
}

}  // namespace
}  // namespace magic_test
