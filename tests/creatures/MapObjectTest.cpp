// World objects: the type reader's ranges and missing keys, the pool's cell chains and
// high-water count, kinds without animation, the glow of kinds above 96, the conversion into
// an effect, one-shot animations, and the saved-game block with its refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CreatureWorld.h"
#include "core/Bytes.h"
#include "creatures/CreatureHooks.h"
#include "creatures/MapObject.h"
#include "forge/AnimationWriter.h"
#include "map/Map.h"
#include "support/SavedBlock.h"
#include "support/TestSupport.h"

namespace {

namespace fa = forge;

// --- the type reader ---------------------------------------------------------------------------

struct TypeCase {
  const char* name;
  std::string file;
  int count;
  CMapObjectType first;  // expected type 0 (when count > 0)
};

CMapObjectType MakeType(int d1, int d2, int d3, int d4, int occ, int user, int anim, int weight) {
  return CMapObjectType{d1, d2, d3, d4, occ, user, anim, weight};
}

class ObjectTypeFiles : public ::testing::TestWithParam<TypeCase> {
 protected:
  void TearDown() override { g_mapObjects.LoadTypes("no such file.cfg"); }
  testing_support::TempDir dir_{true};
};

TEST_P(ObjectTypeFiles, ReadsWithinRanges) {
  const TypeCase& c = GetParam();
  dir_.Write("cfg/objects.cfg", c.file);
  ASSERT_EQ(g_mapObjects.LoadTypes("cfg\\objects.cfg"), 1);
  ASSERT_EQ(g_mapObjects.TypeCount(), c.count);
  if (c.count == 0) return;
  const CMapObjectType& t = *g_mapObjects.Type(0);
  EXPECT_EQ(t.Data1, c.first.Data1);
  EXPECT_EQ(t.Data2, c.first.Data2);
  EXPECT_EQ(t.Data3, c.first.Data3);
  EXPECT_EQ(t.Data4, c.first.Data4);
  EXPECT_EQ(t.Occurance, c.first.Occurance);
  EXPECT_EQ(t.UsedBy, c.first.UsedBy);
  EXPECT_EQ(t.AnimNum, c.first.AnimNum);
  EXPECT_EQ(t.Weighting, c.first.Weighting);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ObjectTypeFiles,
    ::testing::Values(
        TypeCase{"MissingKeysTakeTheLowestValue", "[HEADER]\nNumberOfObjects=1\n[OBJECT_0]\n", 1,
                 MakeType(0, 0, 0, 1, 1, 0, 1, 0)},
        TypeCase{"ValuesInRangeStand",
                 "[HEADER]\nNumberOfObjects=1\n[OBJECT_0]\nData1=40\nData2=7\nData3=3\nData4=4\nOccurance=20\n"
                 "UsedBy=WIZARD\nAnimNum=130\nWeighting=12\n",
                 1, MakeType(40, 7, 3, 4, 20, 1, 130, 12)},
        TypeCase{"ValuesAreHeldInTheirRanges",
                 "[HEADER]\nNumberOfObjects=1\n[OBJECT_0]\nData1=-5\nData2=4000\nData3=101\nData4=0\n"
                 "Occurance=0\nAnimNum=0\nWeighting=5000\n",
                 1, MakeType(0, 1000, 100, 1, 1, 0, 1, 999)},
        TypeCase{"HighDataFourIsSix", "[HEADER]\nNumberOfObjects=1\n[OBJECT_0]\nData4=9\nAnimNum=1200\n", 1,
                 MakeType(0, 0, 0, 6, 1, 0, 999, 0)},
        TypeCase{"CommentsAreCutAndWordsIgnoreCase",
                 "[HEADER]\nNumberOfObjects=1 ; one\n[OBJECT_0]\nData1=12;twelve\nUsedBy=creature ; may carry\n", 1,
                 MakeType(12, 0, 0, 1, 1, 2, 1, 0)},
        TypeCase{"AnUnknownUserLeavesNone", "[HEADER]\nNumberOfObjects=1\n[OBJECT_0]\nUsedBy=TROLL\n", 1,
                 MakeType(0, 0, 0, 1, 1, 0, 1, 0)},
        TypeCase{"SevenHundredReadsFiveHundred", "[HEADER]\nNumberOfObjects=700\n", 500,
                 MakeType(0, 0, 0, 1, 1, 0, 1, 0)},
        TypeCase{"ZeroReadsNone", "[HEADER]\nNumberOfObjects=0\n[OBJECT_0]\nData1=5\n", 0, {}},
        TypeCase{"NoHeaderReadsNone", "[OBJECT_0]\nData1=5\n", 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectTypeFile, AMissingFileGivesNoTypes) {
  testing_support::TempDir dir(true);
  EXPECT_EQ(g_mapObjects.LoadTypes("cfg\\objects.cfg"), 1);
  EXPECT_EQ(g_mapObjects.TypeCount(), 0);
}

// --- the pool on a flat map ----------------------------------------------------------------

constexpr int kLoopingEntry = 5;
constexpr int kOneShotEntry = 6;
constexpr int kMissingEntry = 7;
constexpr int kOneShotKind = 20;
constexpr int kSilentKind = 21;

// The global animations and the effect pool as the objects see them: two animations, and a
// record of every effect started.
struct FakeEffects : ICreatureEffects {
  struct Started {
    int kind;
    std::vector<int32_t> words;
  };
  FakeEffects() {
    fa::AniSpec spec;
    spec.spriteName = "none.spr";
    spec.sequences = {{fa::Frame(0), fa::Delay(1), fa::Frame(1), fa::Jump(-3), fa::End()},
                      {fa::Frame(2), fa::Frame(3), fa::End()}};
    dir.Write("objects.ani", fa::WriteAnimation(spec));
    loaded = animation.Load(dir.File("objects.ani").c_str());
  }
  bool GlobalAnimEntry(int entry, GlobalAnimInfo& out) override {
    if (entry != kLoopingEntry && entry != kOneShotEntry) return false;
    out.animation = &animation;
    out.firstSequence = entry == kLoopingEntry ? 0 : 1;
    out.value = entry * 10;
    return true;
  }
  int StartEffect(int kind, const int32_t words[63]) override {
    if (full) return -1;
    started.push_back({kind, std::vector<int32_t>(words, words + 63)});
    return 200 + static_cast<int>(started.size());
  }
  int EffectPoolSize() override { return 400; }

  testing_support::TempDir dir;
  CAnimation animation{0};
  bool loaded = false;
  bool full = false;
  std::vector<Started> started;
};

class ObjectPool : public creature_test::CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    ASSERT_TRUE(effects.loaded);
    g_mapObjects.types.assign(123, MakeType(5, 6, 7, 2, 1, kUsedByCreature, kLoopingEntry, 1));
    g_mapObjects.types[kOneShotKind].AnimNum = kOneShotEntry;
    g_mapObjects.types[kSilentKind].AnimNum = kMissingEntry;
    g_mapObjects.typeCount = 123;
    g_mapObjects.Reset();
  }
  void TearDown() override {
    g_mapObjects.Reset();
    g_mapObjects.types.clear();
    g_mapObjects.typeCount = 0;
    CreatureWorld::TearDown();
  }
  // Places an object of the kind at a cell the way the map deployment does; its slot.
  int Put(int kind, int x, int y, int level = 1) {
    CMapObject* object = g_mapObjects.FindFree();
    EXPECT_NE(object, nullptr);
    object->SetPosition(x, y, level);
    EXPECT_EQ(object->SetKind(kind), 1);
    return object->index;
  }
  CMapObject& O(int slot) { return *g_mapObjects.At(slot); }
  CMapCell& Cell(int x, int y, int level = 1) { return g_map.CellAt(x, y, level); }

  FakeEffects effects;
  HookScope<ICreatureEffects> effectsScope{g_creatureEffects, effects};
};

TEST_F(ObjectPool, TwoObjectsOnACellFormAChain) {
  const int a = Put(3, 10, 12);
  const int b = Put(4, 10, 12);
  EXPECT_EQ(Cell(10, 12).object, a);
  EXPECT_EQ(O(a).next, b);
  EXPECT_EQ(O(b).next, kNoNextObject);
  EXPECT_EQ(Cell(10, 12).shape & shape_bits::kOpenSky, 0);
  O(a).Remove();
  EXPECT_EQ(Cell(10, 12).object, b);
  EXPECT_EQ(O(a).inUse, 0);
  O(b).Remove();
  EXPECT_EQ(Cell(10, 12).object, kNoLink);
}

TEST_F(ObjectPool, PositionStandsOnTheCellsTerrain) {
  const int onGrass = Put(3, 4, 5, 0);
  EXPECT_EQ(O(onGrass).unitX, 4 * 32);
  EXPECT_EQ(O(onGrass).unitY, 5 * 32);
  EXPECT_EQ(O(onGrass).unitZ, TerrainOf(Cell(4, 5, 0)).groundHeight);
  const int inAir = Put(3, 4, 6, 1);
  EXPECT_EQ(O(inAir).unitZ, 16);
  EXPECT_EQ(O(inAir).data[0], 5);
  EXPECT_EQ(O(inAir).data[3], 2);
}

TEST_F(ObjectPool, HighWaterDropsPastFreeRecords) {
  const int a = Put(3, 1, 1), b = Put(3, 2, 1), c = Put(3, 3, 1);
  EXPECT_EQ(g_mapObjects.highWater, c + 1);
  O(b).Remove();
  EXPECT_EQ(g_mapObjects.highWater, c + 1);
  O(c).Remove();
  EXPECT_EQ(g_mapObjects.highWater, a + 1);
  O(a).Remove();
  EXPECT_EQ(g_mapObjects.highWater, 0);
  // The iterator walks only what is in use.
  Put(3, 1, 1);
  Put(3, 2, 1);
  O(0).Remove();
  g_mapObjects.iterIndex = 0;
  CMapObject* first = g_mapObjects.NextInUse();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->index, 1);
  EXPECT_EQ(g_mapObjects.NextInUse(), nullptr);
}

TEST_F(ObjectPool, AKindOutsideTheTableIsRefused) {
  CMapObject* object = g_mapObjects.FindFree();
  object->SetPosition(3, 3, 1);
  for (int kind : {-1, 123, 400}) EXPECT_EQ(object->SetKind(kind), 0);
  EXPECT_EQ(object->inUse, 0);
  EXPECT_EQ(object->kind, -1);
  EXPECT_EQ(Cell(3, 3).object, kNoLink);
  EXPECT_EQ(g_mapObjects.highWater, 0);
}

TEST_F(ObjectPool, KindsAndTheirLooks) {
  struct Case {
    int kind;
    bool animated;
    int glows;  // effects of kind 60 started
  } cases[] = {{3, true, 0}, {50, false, 0}, {61, false, 0}, {96, true, 0}, {97, true, 1}, {kSilentKind, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    effects.started.clear();
    const int slot = Put(c.kind, 20, 20);
    EXPECT_EQ(O(slot).anim.animation != nullptr && O(slot).anim.playing != 0, c.animated);
    if (c.animated) EXPECT_EQ(O(slot).animValue, kLoopingEntry * 10);
    ASSERT_EQ(static_cast<int>(effects.started.size()), c.glows);
    if (c.glows) {
      const FakeEffects::Started& glow = effects.started[0];
      EXPECT_EQ(glow.kind, 60);
      const std::vector<int32_t> point = {20 * 32 + 16, 20 * 32 + 16, 16 + 8};
      EXPECT_EQ(std::vector<int32_t>(glow.words.begin(), glow.words.begin() + 3), point);
      EXPECT_EQ(std::vector<int32_t>(glow.words.begin() + 3, glow.words.begin() + 6), point);
      for (int w : {6, 7, 8, 9, 11}) EXPECT_EQ(glow.words[w], -1) << w;
      EXPECT_EQ(glow.words[10], 1);
      EXPECT_EQ(glow.words[12], 1);
      EXPECT_EQ(O(slot).effect, 201);
    }
    O(slot).Remove();
  }
}

TEST_F(ObjectPool, WithoutAFreeEffectAHighKindLiesWithoutGlow) {
  effects.full = true;
  const int slot = Put(110, 8, 8);
  EXPECT_EQ(O(slot).inUse, 1);
  EXPECT_EQ(O(slot).effect, -1);
}

TEST_F(ObjectPool, CreateEffectGivesKind61WithTheDataWords) {
  const int slot = Put(19, 7, 9);
  O(slot).data[0] = 25;
  O(slot).CreateEffect();
  ASSERT_EQ(effects.started.size(), 1u);
  const FakeEffects::Started& e = effects.started[0];
  EXPECT_EQ(e.kind, 61);
  const std::vector<int32_t> point = {7 * 32 + 16, 9 * 32 + 16, 16};
  EXPECT_EQ(std::vector<int32_t>(e.words.begin(), e.words.begin() + 3), point);
  EXPECT_EQ(std::vector<int32_t>(e.words.begin() + 3, e.words.begin() + 6), point);
  EXPECT_EQ(e.words[8], 19);
  EXPECT_EQ(e.words[10], 1);
  EXPECT_EQ(e.words[12], 4);
  EXPECT_EQ(std::vector<int32_t>(e.words.begin() + 13, e.words.begin() + 17), (std::vector<int32_t>{25, 6, 7, 2}));
  for (int w : {6, 7, 9, 11}) EXPECT_EQ(e.words[w], -1) << w;
  EXPECT_EQ(O(slot).inUse, 0);
  EXPECT_EQ(Cell(7, 9).object, kNoLink);

  // No free effect: the object stays.
  effects.full = true;
  const int kept = Put(19, 7, 9);
  O(kept).CreateEffect();
  EXPECT_EQ(O(kept).inUse, 1);
}

TEST_F(ObjectPool, OneShotAnimationsTakeTheirObjectAway) {
  const int looping = Put(3, 1, 2);
  const int oneShot = Put(kOneShotKind, 2, 2);
  const int silent = Put(kSilentKind, 3, 2);
  for (int tick = 0; tick < 20; ++tick) g_mapObjects.UpdateAnims();
  EXPECT_EQ(O(looping).inUse, 1);
  EXPECT_EQ(O(oneShot).inUse, 0);
  EXPECT_EQ(Cell(2, 2).object, kNoLink);
  EXPECT_EQ(O(silent).inUse, 1);
}

// --- the saved-game block --------------------------------------------------------------------

class ObjectBlock : public ObjectPool {
 protected:
  void SetUp() override {
    ObjectPool::SetUp();
    // Slot 0: an animated kind first on its cell, slot 1 behind it; a chest and a place of
    // power (no animation state); a glowing item with its effect.
    Put(3, 10, 10);
    Put(4, 10, 10);
    Put(50, 11, 10);
    Put(61, 12, 10, 0);
    Put(100, 13, 10);
    O(0).animValue2 = 9;
    for (int i = 0; i < 4; ++i) g_mapObjects.UpdateAnims();
    saved = testing_support::SavedBytes(g_mapObjects);
  }
  std::vector<uint8_t> saved;
};

TEST_F(ObjectBlock, RoundTripsByteForByte) {
  // 4 + records + 8: free records take 8 bytes each.
  const int animated = 9 * 4 + 2 + 4 + 16 + 7 * 4, plain = animated - 16;
  EXPECT_EQ(saved.size(), static_cast<size_t>(4 + 3 * animated + 2 * plain + 495 * 8 + 8));
  g_mapObjects.Reset();
  ASSERT_EQ(testing_support::LoadFromBytes(g_mapObjects, saved), static_cast<int>(saved.size()));
  EXPECT_EQ(testing_support::SavedBytes(g_mapObjects), saved);
  EXPECT_EQ(g_mapObjects.highWater, 5);
  EXPECT_EQ(O(0).next, 1);
  EXPECT_EQ(O(0).animValue, kLoopingEntry * 10);
  EXPECT_EQ(O(4).effect, 201);
  EXPECT_EQ(O(3).anim.animation, nullptr);
}

// Offsets in the block of record 0 (animated) and of the trailer.
constexpr size_t kRecord0 = 4;
constexpr size_t kNext0 = kRecord0 + 9 * 4;
constexpr size_t kKind0 = kNext0 + 2;
constexpr size_t kEffect0 = kKind0 + 4 + 16 + 4;
constexpr size_t kNode0 = kEffect0 + 4 + 16;

struct Damage {
  const char* name;
  // Changes the saved bytes; offsets from the end when negative.
  void (*apply)(std::vector<uint8_t>& bytes);
};

void Put32(std::vector<uint8_t>& bytes, long offset, int32_t value) {
  const size_t at = offset < 0 ? bytes.size() + offset : static_cast<size_t>(offset);
  bytes::StoreI32(bytes.data() + at, value);
}

const Damage kDamages[] = {
    {"capacity 499", [](auto& b) { Put32(b, 0, 499); }},
    {"an index off its slot", [](auto& b) { Put32(b, kRecord0, 3); }},
    {"in use 2", [](auto& b) { Put32(b, kRecord0 + 4, 2); }},
    {"a cell off the map", [](auto& b) { Put32(b, kRecord0 + 8, 48); }},
    {"a level below the map", [](auto& b) { Put32(b, kRecord0 + 16, -1); }},
    {"a kind past the types", [](auto& b) { Put32(b, kKind0, 123); }},
    {"next to itself", [](auto& b) { bytes::StoreU16(b.data() + kNext0, 0); }},
    {"next to a free record", [](auto& b) { bytes::StoreU16(b.data() + kNext0, 7); }},
    {"next past the pool", [](auto& b) { bytes::StoreU16(b.data() + kNext0, 600); }},
    {"next to another cell", [](auto& b) { bytes::StoreU16(b.data() + kNext0, 2); }},
    {"an effect past the pool", [](auto& b) { Put32(b, kEffect0, 400); }},
    {"an effect below -1", [](auto& b) { Put32(b, kEffect0, -2); }},
    {"a node past the network", [](auto& b) { Put32(b, kNode0, 1000); }},
    {"another type count", [](auto& b) { Put32(b, -8, 122); }},
    {"a high water too low", [](auto& b) { Put32(b, -4, 4); }},
    {"a high water too high", [](auto& b) { Put32(b, -4, 6); }},
    {"a free record in use", [](auto& b) { Put32(b, -8 - 8 * 100 + 4, 1); }},
    {"truncated", [](auto& b) { b.resize(b.size() - 3); }},
    {"empty", [](auto& b) { b.clear(); }},
};

TEST_F(ObjectBlock, MalformedBlocksAreRefusedUnchanged) {
  // The pool that is running when the load is tried: one object of its own.
  g_mapObjects.Reset();
  Put(5, 30, 30);
  const std::vector<uint8_t> before = testing_support::SavedBytes(g_mapObjects);
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.name);
    std::vector<uint8_t> bytes = saved;
    damage.apply(bytes);
    EXPECT_EQ(testing_support::LoadFromBytes(g_mapObjects, bytes), -1);
    EXPECT_EQ(testing_support::SavedBytes(g_mapObjects), before);
  }
}

TEST_F(ObjectBlock, AnObjectMissingFromItsCellsChainIsRefused) {
  g_mapObjects.Reset();           // the map's chains still name the saved objects ...
  Cell(13, 10).object = kNoLink;  // ... but for this one
  EXPECT_EQ(testing_support::LoadFromBytes(g_mapObjects, saved), -1);
}

}  // namespace
