// The flag paths of a realm region: the .FP file the forge writes and the game reads, its
// start slots and the marching dots.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "core/Bytes.h"
#include "core/Random.h"
#include "forge/FlagPathWriter.h"
#include "frontend/FixPoints.h"

namespace {

std::vector<forge::PathPoint> Line(int x, int y, int count) {
  std::vector<forge::PathPoint> points;
  for (int i = 0; i < count; ++i) points.push_back({x + i, y});
  return points;
}

forge::FlagPathFile TwoPaths() {
  forge::FlagPathFile file;
  file.flag = {400, 300};
  file.paths = {Line(400, 300, 5), Line(100, 50, 3)};
  file.slots = {{{10, 11}, {20, 21}, {30, 31}, {40, 41}}};
  return file;
}

TEST(FixPoints, AWrittenFileReadsBackWhole) {
  const std::vector<uint8_t> bytes = forge::FlagPathBytes(TwoPaths());
  ASSERT_EQ(bytes.size(), static_cast<size_t>(CFixPoints::kHeaderBytes + CFixPoints::kSlotBytes + 8 * 8));
  CFixPoints paths;
  ASSERT_TRUE(paths.LoadBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(paths.flagPoint, (RealmPoint{400, 300}));
  EXPECT_EQ(paths.PathCount(), 2);
  EXPECT_EQ(paths.GetPathLength(0), 5);
  EXPECT_EQ(paths.GetPathLength(1), 3);
  EXPECT_EQ(paths.GetPathEnd(0), (RealmPoint{404, 300}));
  EXPECT_EQ(paths.GetPathEnd(1), (RealmPoint{102, 50}));
  EXPECT_EQ(paths.GetPathPoint(1, 1), (RealmPoint{101, 50}));
  EXPECT_EQ(paths.GetPathPoint(1, 3), RealmPoint{});  // past its end
  EXPECT_EQ(paths.GetPathEnd(2), RealmPoint{});       // past the count
  EXPECT_EQ(paths.startSlots[3], (RealmPoint{40, 41}));
}

TEST(FixPoints, NoPathsLoadsWithNoPoints) {
  forge::FlagPathFile file = TwoPaths();
  file.paths.clear();
  const std::vector<uint8_t> bytes = forge::FlagPathBytes(file);
  CFixPoints paths;
  ASSERT_TRUE(paths.LoadBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(paths.PathCount(), 0);
  EXPECT_EQ(paths.GetPathEnd(0), RealmPoint{});
  EXPECT_TRUE(paths.StepDots().empty());
}

TEST(FixPoints, AnUnsoundFileIsRefusedAndKeepsNoPoints) {
  struct Case {
    const char* name;
    size_t offset;  // a word to change; SIZE_MAX cuts the file to `value` bytes instead
    int32_t value;
  };
  const Case cases[] = {
      {"version 1", 4, 1},
      {"another magic", 0, 0x00504647},
      {"nine paths", 16, 9},
      {"a negative count", 16, -1},
      {"a negative length", 20, -1},
      {"a negative start", 52, -1},
      {"a start past the table", 52 + 4, 6},
      {"a length past the table", 20 + 4, 4},
      {"lengths whose sum overflows", 20, INT_MAX},
      {"a short header", SIZE_MAX, 80},
      {"no start slots", SIZE_MAX, 100},
      {"a short point table", SIZE_MAX, 116 + 8 * 8 - 1},
  };
  const std::vector<uint8_t> good = forge::FlagPathBytes(TwoPaths());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = good;
    if (c.offset == SIZE_MAX)
      bytes.resize(static_cast<size_t>(c.value));
    else
      bytes::StoreU32(bytes.data() + c.offset, static_cast<uint32_t>(c.value));
    CFixPoints paths;
    ASSERT_TRUE(paths.LoadBytes(good.data(), good.size()));
    paths.slotTaken[2] = 1;
    EXPECT_FALSE(paths.LoadBytes(bytes.data(), bytes.size()));
    EXPECT_TRUE(paths.points.empty());
    EXPECT_EQ(paths.PathCount(), 0);
    EXPECT_EQ(paths.slotTaken[2], 0);
    EXPECT_EQ(paths.GetPathEnd(0), RealmPoint{});
  }
  CFixPoints missing;
  EXPECT_FALSE(missing.Load("no such file.FP"));
}

TEST(FixPoints, StartSlotsAreTakenUntilNoneIsFree) {
  const std::vector<uint8_t> bytes = forge::FlagPathBytes(TwoPaths());
  CFixPoints paths;
  ASSERT_TRUE(paths.LoadBytes(bytes.data(), bytes.size()));
  g_random.Seed(77);
  // Each take draws one word of the game's generator and starts looking at that slot.
  CRandom words(77);
  std::set<int> taken;
  for (int i = 0; i < 4; ++i) {
    const int first = static_cast<int>((words.Next() & 0x7fffffffu) % 4);
    const RealmPoint slot = paths.TakeStartSlot();
    ASSERT_NE(slot, RealmPoint{});
    if (i == 0) EXPECT_EQ(slot.x, 10 * (first + 1));
    taken.insert(slot.x);
  }
  EXPECT_EQ(taken, (std::set<int>{10, 20, 30, 40}));
  EXPECT_EQ(paths.TakeStartSlot(), RealmPoint{});
  // Releasing a point no slot holds changes nothing; releasing a slot's frees it.
  paths.ReleaseStartSlot(11, 10);
  EXPECT_EQ(paths.TakeStartSlot(), RealmPoint{});
  paths.ReleaseStartSlot(30, 31);
  EXPECT_EQ(paths.TakeStartSlot(), (RealmPoint{30, 31}));
}

TEST(FixPoints, DotsMarchOnePointAFrame) {
  forge::FlagPathFile file = TwoPaths();
  file.paths = {Line(0, 0, 20)};
  const std::vector<uint8_t> bytes = forge::FlagPathBytes(file);
  CFixPoints paths;
  ASSERT_TRUE(paths.LoadBytes(bytes.data(), bytes.size()));
  paths.frameCounter = 2;  // the next frame is phase 3
  std::vector<int> dots;
  for (RealmPoint p : paths.StepDots()) dots.push_back(p.x);
  EXPECT_EQ(dots, (std::vector<int>{3, 11, 19}));
  dots.clear();
  for (RealmPoint p : paths.StepDots()) dots.push_back(p.x);
  EXPECT_EQ(dots, (std::vector<int>{4, 12}));
}

}  // namespace
