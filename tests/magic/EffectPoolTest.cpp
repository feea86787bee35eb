// The effect pool: handing out records, the reclaim pass of a full pool, scans, the high
// water mark, activation and deactivation with their cell chains, the effect log and the
// spawn operations.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectLog.h"
#include "map/TileOverlay.h"
#include "support/TestSupport.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace s = effect_state;

// The effect indexes of a cell's chain, first to last.
std::vector<int> Chain(const CMapCell& cell) {
  std::vector<int> out;
  for (int e = cell.effect; e != kNoLink && out.size() < 100; e = g_effectManager.At(e)->nextInCell) out.push_back(e);
  return out;
}

using EffectPoolTest = EffectTest;

TEST_F(EffectPoolTest, RequestsTakeRecordsFrom100AndMarkersFromBelow) {
  CEffect* first = manager.AllocateEffect();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->index, 100);
  CEffect* marker = manager.AllocateReservedEffect();
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->index, 0);
  marker->Activate(43, At(100, 100, 16));
  manager.At(1)->state[s::kHold] = 1;  // held records are skipped
  EXPECT_EQ(manager.AllocateReservedEffect()->index, 2);
  for (int i = 2; i < 100; ++i) manager.At(i)->active = 1;
  EXPECT_EQ(manager.AllocateReservedEffect(), nullptr);
  EXPECT_EQ(manager.AllocateEffect()->index, 100);
}

TEST_F(EffectPoolTest, AFullPoolAnswersNullAndReclaimsLongLivedKinds) {
  struct Case {
    const char* name;
    std::vector<int> kinds;  // the kinds of records 150, 151, 152; the rest are kind 1
    bool hold;               // those three are held
    int freedAfter;          // the record the next request finds, -1 none
  } cases[] = {
      {"none of the kinds", {1, 1, 1}, false, -1},
      {"fire, trap, short-lived", {14, 26, 85}, false, 152},
      {"held records are left alone", {14, 26, 85}, true, -1},
  };
  for (const Case& c : cases) {
    manager.Reset();
    for (int i = 100; i < manager.Count(); ++i) {
      const int kind = i >= 150 && i <= 152 ? c.kinds[static_cast<size_t>(i - 150)] : 1;
      manager.At(i)->Activate(15, At((i % 64) * 32 + 16, (i / 64) * 32 + 16, 16));
      manager.At(i)->kind = kind;  // the kind without its set-up
      manager.At(i)->animPlayer.loopBreak = 0;
      if (i >= 150 && i <= 152 && c.hold) manager.At(i)->state[s::kHold] = 1;
    }
    EXPECT_EQ(manager.AllocateEffect(), nullptr) << c.name;
    const bool reclaimed = c.kinds[0] == 14 && !c.hold;
    EXPECT_EQ(manager.At(150)->animPlayer.loopBreak, reclaimed ? 1 : 0) << c.name;
    EXPECT_EQ(manager.At(151)->kind, reclaimed ? 27 : c.kinds[1]) << c.name;
    EXPECT_EQ(manager.At(152)->active, reclaimed ? 0 : 1) << c.name;
    EXPECT_EQ(manager.At(149)->kind, 1) << c.name;
    CEffect* next = manager.AllocateEffect();
    EXPECT_EQ(next ? next->index : -1, c.freedAfter) << c.name;
  }
}

TEST_F(EffectPoolTest, ScansFindFreeRecordsAndActiveRecordsOfAKind) {
  Start(5, At(100, 100, 16));  // 100
  Start(7, At(200, 100, 16));  // 101
  Start(5, At(300, 100, 16));  // 102
  manager.At(103)->state[s::kHold] = 1;
  manager.BeginKindScan(5);
  EXPECT_EQ(manager.NextOfKind()->index, 100);
  EXPECT_EQ(manager.NextOfKind()->index, 102);
  EXPECT_EQ(manager.NextOfKind(), nullptr);
  manager.BeginFreeScan();
  EXPECT_EQ(manager.NextFree()->index, 104);
  EXPECT_EQ(manager.NextFree()->index, 105);
}

TEST_F(EffectPoolTest, TheHighWaterMarkFollowsTheHighestActiveRecord) {
  std::vector<CEffect*> effects;
  for (int i = 0; i < 11; ++i) effects.push_back(Start(5, At(100 + 32 * i, 100, 16)));
  EXPECT_EQ(manager.highWater, 111);
  effects[5]->Deactivate();
  effects[3]->Deactivate();
  EXPECT_EQ(manager.highWater, 111);
  effects[10]->Deactivate();
  EXPECT_EQ(manager.highWater, 110);
  for (int i : {9, 8, 7, 6}) effects[static_cast<size_t>(i)]->Deactivate();
  EXPECT_EQ(manager.highWater, 105);  // 105 and 103 were ended already
  for (int i : {0, 1, 2, 4}) effects[static_cast<size_t>(i)]->Deactivate();
  EXPECT_EQ(manager.highWater, 0);
}

TEST_F(EffectPoolTest, EffectsJoinAndLeaveTheirCellsChain) {
  CEffect* a = Start(5, At(10 * 32 + 5, 12 * 32 + 5, 16 + 3));
  CEffect* b = Start(5, At(10 * 32 + 20, 12 * 32 + 20, 16 + 9));
  CEffect* c = Start(5, At(10 * 32 + 31, 12 * 32 + 31, 16 + 15));
  CMapCell& cell = Cell(10, 12, 1);
  EXPECT_EQ(Chain(cell), (std::vector<int>{a->index, b->index, c->index}));
  b->Deactivate();
  EXPECT_EQ(Chain(cell), (std::vector<int>{a->index, c->index}));
  EXPECT_EQ(b->nextInCell, CEffect::kEndOfChain);
  a->Deactivate();
  EXPECT_EQ(Chain(cell), std::vector<int>{c->index});
  c->Deactivate();
  EXPECT_EQ(cell.effect, kNoLink);

  // A sealed cell takes no effect; the record still runs.
  Cell(20, 20, 1).state |= state_bits::kSealed;
  CEffect* sealed = Start(5, At(20 * 32, 20 * 32, 16));
  EXPECT_EQ(Cell(20, 20, 1).effect, kNoLink);
  EXPECT_EQ(sealed->active, 1);
}

TEST_F(EffectPoolTest, AnEmptiedCellUnderTheOverlayIsOpenSkyAgain) {
  CMapCell& cell = Cell(30, 30, 2);
  cell.shape |= shape_bits::kOpenSky;
  CEffect* e = Start(5, At(30 * 32, 30 * 32, 32));
  EXPECT_EQ(cell.shape & shape_bits::kOpenSky, 0);
  e->Deactivate();
  EXPECT_NE(cell.shape & shape_bits::kOpenSky, 0);  // no overlay span: TestCell answers 1
  // With a creature there it stays drawn.
  e = Start(5, At(30 * 32, 30 * 32, 32));
  cell.occupant = 3;
  e->Deactivate();
  EXPECT_EQ(cell.shape & shape_bits::kOpenSky, 0);
}

TEST_F(EffectPoolTest, ActivationWrapsPlacesAndRecordsItsOwner) {
  EffectCreature& owner = world.Place(4, 5, 5, 1);
  owner.army = 3;
  owner.carriedItems[0] = 17;
  CEffectParams block = At(-10, 2048 + 40, 37);
  block.SetPoint(w::kTargetX, 2048, -1, 50);
  block[w::kCreature] = 4;
  CEffect* e = Start(5, block);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->params[w::kSourceX], 2038);
  EXPECT_EQ(e->params[w::kSourceY], 40);
  EXPECT_EQ(e->params[w::kTargetX], 0);
  EXPECT_EQ(e->params[w::kTargetY], 2047);
  EXPECT_EQ(e->x, 2038);
  EXPECT_EQ(e->cellX, 63);
  EXPECT_EQ(e->cellLevel, 2);
  EXPECT_EQ(e->state[s::kArmy], 3);
  EXPECT_EQ(e->state[s::kItem0], 17);
  EXPECT_EQ(e->state[s::kItem1], -1);
  EXPECT_EQ(e->state[s::kSubVoxel], -1);
  EXPECT_EQ(e->state[s::kSeen], 1);
  EXPECT_EQ(e->state[s::kTrailCell], 63);
  EXPECT_EQ(e->creature, -1);

  // Kinds 9, 11, 21, 30, 31 and 32 start at their target; a word 6 naming no creature
  // counts as none.
  block[w::kCreature] = 55;
  CEffect* atTarget = Start(31, block);
  EXPECT_EQ(atTarget->x, 0);
  EXPECT_EQ(atTarget->y, 2047);
  EXPECT_EQ(atTarget->state[s::kArmy], -1);
  const int level = manager.AllocateEffect()->Activate(11, block);
  EXPECT_EQ(level, 3);
}

TEST_F(EffectPoolTest, AFallingStrikeLandsOnTheFirstSolidThingInItsColumn) {
  Set(8, 8, 2, forge::terrain::kTurf);  // a full block on level 2
  CEffectParams block = At(0, 0, 0);
  block.SetPoint(w::kTargetX, 8 * 32 + 16, 8 * 32 + 16, 0);
  CEffect* e = manager.AllocateEffect();
  EXPECT_EQ(e->Activate(21, block), 2);
  EXPECT_EQ(e->params[w::kTargetZ], 47);  // the top sub-level of the block
  EXPECT_EQ(e->params[w::kSourceZ], 8 * 16 - 1);
  EXPECT_EQ(e->active, 1);

  // A creature in the column is struck first.
  world.Place(9, 20, 20, 4);
  block.SetPoint(w::kTargetX, 20 * 32 + 12, 20 * 32 + 12, 0);
  e = manager.AllocateEffect();
  e->Activate(21, block);
  EXPECT_EQ(e->params[w::kTarget], 9);
  EXPECT_EQ(e->params[w::kTargetZ], 4 * 16 + 15);

  // Nothing solid down to the target height: the strike lands there.
  block.SetPoint(w::kTargetX, 30 * 32 + 16, 30 * 32 + 16, 40);
  e = manager.AllocateEffect();
  EXPECT_EQ(e->Activate(21, block), 2);
  EXPECT_EQ(e->params[w::kTargetZ], 40);
}

TEST_F(EffectPoolTest, APathMarkerEndsItsPartnerWithIt) {
  CEffect* partner = manager.AllocateReservedEffect();
  partner->Activate(87, At(100, 100, 16));
  CEffectParams block = At(100, 100, 16);
  block[w::kKindMode] = 2;
  block[w::kCompanion] = partner->index;
  CEffect* marker = manager.AllocateReservedEffect();
  marker->Activate(43, block);
  EXPECT_EQ(marker->Deactivate(), 43);
  EXPECT_EQ(partner->active, 0);
  // A marker naming itself ends once.
  block[w::kCompanion] = marker->index;
  marker->Activate(70, block);
  marker->Deactivate();
  EXPECT_EQ(marker->active, 0);
  EXPECT_EQ(marker->state[s::kArmy], 255);
}

TEST_F(EffectPoolTest, TheLogRingKeepsTheLast400ActivationsFrom100Up) {
  g_netEffectsLog = 1;
  CEffect* marker = manager.At(57);
  marker->Activate(43, At(100, 100, 16));
  marker->Deactivate();
  EXPECT_EQ(g_effectLog.count, 0);
  CEffect* e = manager.At(100);
  e->Activate(5, At(100, 100, 16));
  ASSERT_EQ(g_effectLog.count, 1);
  EXPECT_EQ(g_effectLog.entries[0].index, 100);
  EXPECT_EQ(g_effectLog.entries[0].kind, 5);
  EXPECT_EQ(g_effectLog.entries[0].activate, 1);
  e->Deactivate();
  EXPECT_EQ(g_effectLog.entries[1].activate, 0);
  for (int i = 2; i < 401; ++i) g_effectLog.Write(100 + i, i % 89, i % 2);
  EXPECT_EQ(g_effectLog.count, 401);
  EXPECT_EQ(g_effectLog.position, 1);
  EXPECT_EQ(g_effectLog.entries[0].serial, 400);

  testing_support::TempDir dir;
  const std::string path = dir.File("fx_log.txt");
  g_effectLog.Dump(path.c_str());
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string dump = text.str();
  EXPECT_EQ(dump.rfind("EFFECTS LOG\n", 0), 0u);
  size_t lines = 0;
  for (size_t at = dump.find("\nCOUNT: "); at != std::string::npos; at = dump.find("\nCOUNT: ", at + 1)) ++lines;
  EXPECT_EQ(lines, 400u);
  EXPECT_NE(dump.find("\nCOUNT: 400\tTYPE: 44\tINDEX: 500\t(deactivate)"), std::string::npos);
  EXPECT_NE(dump.find("\nCOUNT: 1\tTYPE: 5\tINDEX: 100\t(deactivate)"), std::string::npos);
  EXPECT_EQ(dump.substr(dump.size() - 2), "\n\n");
  g_effectLog.Dump((dir.Path() + "/missing/folder/x.txt").c_str());  // skipped quietly
}

TEST_F(EffectPoolTest, FloatingNumbersShowOneEffectPerDigit) {
  struct Case {
    int n;
    std::vector<std::pair<int, int>> digits;  // place, digit
  } cases[] = {
      {7, {{83, 7}}}, {42, {{85, 4}, {86, 2}}}, {305, {{82, 3}, {83, 0}, {84, 5}}}, {1000, {}}, {-1, {}},
  };
  for (const Case& c : cases) {
    manager.Reset();
    manager.ShowFloatingNumber(10, 11, 2, c.n);
    std::vector<std::pair<int, int>> shown;
    for (int i = 100; i < manager.highWater; ++i) {
      const CEffect& e = *manager.At(i);
      EXPECT_EQ(e.kind, 82);
      EXPECT_EQ(e.x, 10 * 32 + 16);
      EXPECT_EQ(e.z, 32);
      EXPECT_EQ(e.params[w::kKindMode], 1);
      shown.emplace_back(e.params[w::kSpell], e.params[w::kValue]);
    }
    EXPECT_EQ(shown, c.digits) << c.n;
  }
}

TEST_F(EffectPoolTest, CreatureSpawnsStandWhereTheCreatureIs) {
  EffectCreature& big = world.Place(2, 40, 40, 1, 2, 2);
  big.heightOffset = 20;
  g_map.CellAt(41, 41, 1).object = 7;  // the second of its other cells holds an object
  manager.SpawnCreatureEffect17(2);
  manager.SpawnCreatureEffect40(2);
  manager.SpawnCreatureEffect19(2);
  manager.SpawnCreatureEffect22(2);
  manager.SpawnCreatureEffect47(2);
  manager.SpawnCreatureEffect17(50);  // no such creature: nothing
  const CEffect& e17 = *manager.At(100);
  EXPECT_EQ(e17.kind, 17);
  EXPECT_EQ(e17.x, 41 * 32 + 16);
  EXPECT_EQ(e17.y, 41 * 32 + 16);
  EXPECT_EQ(e17.z, 4);  // settled onto the grass under the spawn point
  const CEffect& e40 = *manager.At(101);
  EXPECT_EQ(e40.params[w::kValue], 53);
  EXPECT_EQ(e40.x, 40 * 32 + 32);
  EXPECT_EQ(e40.z, 16 + 20);
  EXPECT_EQ(manager.At(102)->z, 16 + 32);
  EXPECT_EQ(manager.At(103)->params[w::kTarget], 2);
  const CEffect& e47 = *manager.At(104);
  EXPECT_EQ(e47.params[w::kSpell], 38);
  EXPECT_EQ(e47.params[w::kTargetZ], 16);  // it follows its creature
  EXPECT_EQ(manager.highWater, 105);

  // With no object on any other cell, the last of them.
  g_map.CellAt(41, 41, 1).object = kNoLink;
  manager.SpawnCreatureEffect17(2);
  EXPECT_EQ(manager.At(105)->x, 40 * 32 + 16);
  EXPECT_EQ(manager.At(105)->y, 41 * 32 + 16);
}

}  // namespace
}  // namespace magic_test
