// The line stepper, the clipping routines and the segment pool.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "MapTestSupport.h"
#include "core/Bytes.h"
#include "core/Random.h"
#include "graphics/PrintTarget.h"
#include "map/LineStepper.h"
#include "map/MapUnits.h"
#include "map/SegmentPool.h"

using namespace map_test;

class Lines : public MapTest {};

namespace {

struct Walk {
  int steps = 0, straight = 0, diagonal = 0, vertical = 0;
  int32_t length = 0;
  int x = 0, y = 0, z = 0;
};

// Steps a cell line until it reaches its end (wrapped), checking that every step is one grid
// step; gives up after 500 steps.
Walk StepCells(int x0, int y0, int z0, int x1, int y1, int z1) {
  CLineStepper stepper;
  Walk walk;
  stepper.StartWrapped(x0, y0, z0, x1, y1, z1, &walk.length);
  walk.x = x0;
  walk.y = y0;
  walk.z = z0;
  while (!(walk.x == CWrapCoord::WrapX(x1) && walk.y == CWrapCoord::WrapY(y1) && walk.z == z1) && walk.steps < 500) {
    int px = walk.x, py = walk.y, pz = walk.z;
    stepper.Step(walk.x, walk.y, walk.z, walk.length);
    int dx = walk.x - px, dy = walk.y - py, dz = walk.z - pz;
    EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1 && std::abs(dz) <= 1);
    if (dx && dy)
      ++walk.diagonal;
    else if (dx || dy)
      ++walk.straight;
    if (dz) ++walk.vertical;
    walk.x = CWrapCoord::WrapX(walk.x);
    walk.y = CWrapCoord::WrapY(walk.y);
    ++walk.steps;
  }
  return walk;
}

}  // namespace

TEST_F(Lines, StepperReachesItsEndInEveryOctantWithItsLength) {
  struct Case {
    int dx, dy, dz;
  };
  const Case cases[] = {{7, 3, 0},  {3, 7, 0},  {-3, 7, 0}, {-7, 3, 0}, {-7, -3, 0}, {-3, -7, 0},
                        {3, -7, 0}, {7, -3, 0}, {5, 5, 0},  {0, 6, 0},  {4, 2, 5},   {4, 2, -5},
                        {-2, 1, 6}, {0, 0, 4},  {0, 0, -3}, {9, 0, 1},  {1, 1, 1}};
  for (const Case& c : cases) {
    Walk walk = StepCells(20, 20, 10 - (c.dz > 0 ? 5 : 0), 20 + c.dx, 20 + c.dy, 10 - (c.dz > 0 ? 5 : 0) + c.dz);
    int major = std::max({std::abs(c.dx), std::abs(c.dy), std::abs(c.dz)});
    EXPECT_EQ(walk.steps, major) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_EQ(walk.vertical, std::abs(c.dz));
    EXPECT_EQ(walk.diagonal, std::min(std::abs(c.dx), std::abs(c.dy)));
    EXPECT_EQ(walk.length, 2 * walk.straight + 3 * walk.diagonal + walk.vertical);
  }
  // (0, 0, 0) to (3, 1, 0): straight, diagonal, straight.
  CLineStepper stepper;
  int32_t length;
  stepper.StartWrapped(0, 0, 0, 3, 1, 0, &length);
  int x = 0, y = 0, z = 0;
  const int expected[3][2] = {{1, 0}, {2, 1}, {3, 1}};
  for (const auto& point : expected) {
    stepper.Step(x, y, z, length);
    EXPECT_EQ(x, point[0]);
    EXPECT_EQ(y, point[1]);
  }
  EXPECT_EQ(length, 2 + 3 + 2);
}

TEST_F(Lines, StepperTakesTheShortWayAcrossTheSeams) {
  Walk west = StepCells(1, 5, 0, 46, 5, 0);
  EXPECT_EQ(west.steps, 3);  // 1 -> 0 -> 47 -> 46
  Walk north = StepCells(5, 42, 0, 5, 1, 0);
  EXPECT_EQ(north.steps, 3);  // 42 -> 43 -> 0 -> 1 on the 44-high map
  Walk both = StepCells(47, 43, 2, 1, 1, 2);
  EXPECT_EQ(both.steps, 2);
  EXPECT_EQ(both.diagonal, 2);
  // In map units: from x 10 to x 1530 (32 x 48 = 1536) is 16 units westwards.
  CLineStepper stepper;
  int32_t length;
  stepper.StartWrappedScaled(10, 0, 0, 1530, 0, 0, &length, 32);
  EXPECT_EQ(stepper.MajorSteps(), 16);
  int x = 10, y = 0, z = 0;
  stepper.Step(x, y, z, length);
  EXPECT_EQ(x, 9);
}

TEST_F(Lines, ClippingCutsAtEachFace) {
  static uint16_t pixels[200 * 100];
  SetSpriteTarget(pixels, 200, 100);
  SetSpriteClipRect(10, 20, 120, 60);  // top, left, right (exclusive), bottom (exclusive)
  struct Case {
    int x0, y0, x1, y1;
    int visible;
    int cx0, cy0, cx1, cy1;
  };
  const Case cases[] = {
      {30, 20, 100, 40, 1, 30, 20, 100, 40},                  // inside: unchanged
      {0, 30, 50, 30, 1, 20, 30, 50, 30},                     // left face
      {50, 30, 150, 30, 1, 50, 30, 119, 30},                  // right face
      {40, 0, 40, 30, 1, 40, 10, 40, 30},                     // top face
      {40, 30, 40, 90, 1, 40, 30, 40, 59},                    // bottom face
      {0, 0, 10, 100, 0, 0, 0, 0, 0},                         // left of the rectangle
      {130, 0, 0, 2, 0, 0, 0, 0, 0},                          // above it
      {-2000000000, 30, 2000000000, 30, 1, 20, 30, 119, 30},  // ends far out, differences beyond int
  };
  for (const Case& c : cases) {
    int x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
    EXPECT_EQ(ClipLineToRect(x0, y0, x1, y1), c.visible) << c.x0 << "," << c.y0;
    if (!c.visible) continue;
    EXPECT_EQ(x0, c.cx0);
    EXPECT_EQ(y0, c.cy0);
    EXPECT_EQ(x1, c.cx1);
    EXPECT_EQ(y1, c.cy1);
  }
  SetSpriteTarget(nullptr, 0, 0);

  ClipBox3D box{0, 31, 0, 31, 0, 15};
  struct Case3 {
    int p[6];
    int visible;
    int q[6];
  };
  const Case3 cases3[] = {
      {{10, 10, 5, 20, 20, 10}, 1, {10, 10, 5, 20, 20, 10}}, {{-10, 10, 5, 10, 10, 5}, 1, {0, 10, 5, 10, 10, 5}},
      {{10, 10, 5, 40, 10, 5}, 1, {10, 10, 5, 31, 10, 5}},   {{10, -6, 5, 10, 10, 5}, 1, {10, 0, 5, 10, 10, 5}},
      {{10, 10, 5, 10, 50, 5}, 1, {10, 10, 5, 10, 31, 5}},   {{10, 10, -5, 10, 10, 5}, 1, {10, 10, 0, 10, 10, 5}},
      {{10, 10, 5, 10, 10, 40}, 1, {10, 10, 5, 10, 10, 15}}, {{40, 0, 0, 50, 10, 5}, 0, {}},
  };
  for (const Case3& c : cases3) {
    int p[6];
    std::copy(c.p, c.p + 6, p);
    EXPECT_EQ(ClipLine3D(box, p[0], p[1], p[2], p[3], p[4], p[5]), c.visible) << c.p[0] << "," << c.p[1];
    if (c.visible)
      for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], c.q[i]) << i;
  }

  std::vector<std::pair<int, int>> dots;
  DrawSpriteLine(0, 0, 4, 2, [&](int x, int y) { dots.push_back({x, y}); });
  ASSERT_EQ(dots.size(), 5u);
  EXPECT_EQ(dots.front(), std::make_pair(0, 0));
  EXPECT_EQ(dots.back(), std::make_pair(4, 2));
}

TEST_F(Lines, SegmentsAgeFillThePoolAndRoundTrip) {
  CSegmentPool& pool = *new CSegmentPool;
  std::unique_ptr<CSegmentPool> owner(&pool);
  ASSERT_NE(pool.Add(0, 0, 0, 10, 10, 10, 1, 2, 3, 4), nullptr);
  EXPECT_EQ(pool.segments[0].lifetime, 2);
  pool.Tick();
  EXPECT_EQ(pool.count, 1);
  pool.Tick();
  EXPECT_EQ(pool.count, 0);

  // Removal moves the last segment into the gap; it is aged in the same pass.
  pool.Add(0, 0, 0, 1, 1, 1, 0, 0, 0, 0);
  pool.Add(0, 0, 0, 2, 2, 2, 5, 0, 0, 0);
  pool.Tick();
  ASSERT_EQ(pool.count, 1);
  EXPECT_EQ(pool.segments[0].x1, 2);
  EXPECT_EQ(pool.segments[0].lifetime, 5);

  for (int i = pool.count; i < CSegmentPool::kCapacity; ++i)
    ASSERT_NE(pool.Add(i, 0, 0, 0, 0, 0, 9, i % 4, 0, 0), nullptr);
  EXPECT_EQ(pool.Add(0, 0, 0, 0, 0, 0, 9, 0, 0, 0), nullptr);

  FILE* file = std::tmpfile();
  EXPECT_EQ(pool.Save(file), 4 + 40 * 1024);
  std::rewind(file);
  CSegmentPool& back = *new CSegmentPool;
  std::unique_ptr<CSegmentPool> backOwner(&back);
  EXPECT_EQ(back.Load(file), 4 + 40 * 1024);
  EXPECT_EQ(back.count, 1024);
  EXPECT_EQ(back.segments[700].x0, 700);
  EXPECT_EQ(back.segments[700].kind, 700 % 4);
  std::fclose(file);
  for (int32_t bad : {1025, -1}) {
    file = std::tmpfile();
    bytes::WriteU32(file, static_cast<uint32_t>(bad));
    std::rewind(file);
    EXPECT_EQ(back.Load(file), -1) << bad;
    EXPECT_EQ(back.count, 1024);
    std::fclose(file);
  }
  file = std::tmpfile();
  bytes::WriteU32(file, 2);
  std::fwrite("short", 1, 5, file);
  std::rewind(file);
  EXPECT_EQ(back.Load(file), -1);
  std::fclose(file);

  // A point far outside any map (its drawing would overflow) refuses the whole block.
  for (int32_t far : {INT32_MIN, INT32_MAX, 1 << 21}) {
    file = std::tmpfile();
    bytes::WriteU32(file, 1);
    for (int32_t v : {0, 0, 0, far, 0, 0, 5, 0, 0, 0}) bytes::WriteU32(file, static_cast<uint32_t>(v));
    std::rewind(file);
    EXPECT_EQ(back.Load(file), -1) << far;
    EXPECT_EQ(back.count, 1024);
    EXPECT_EQ(back.segments[0].x1, pool.segments[0].x1);
    std::fclose(file);
  }
}

TEST_F(Lines, ForkedBoltsAreWholeOrNotAtAll) {
  auto pool = std::make_unique<CSegmentPool>();
  CRandom random(3);
  // Depth 3 without branches: a chain of up to 8 pieces from start to end.
  ASSERT_EQ(pool->AddForkedBolt(random, 100, 100, 40, 400, 300, 80, 10, 1, 7, 8, 3, 50, -1, 0), 1);
  ASSERT_EQ(pool->count, 8);
  EXPECT_EQ(pool->segments[0].x0, 100);
  EXPECT_EQ(pool->segments[7].x1, 400);
  for (int i = 1; i < pool->count; ++i) {
    EXPECT_EQ(pool->segments[i].x0, pool->segments[i - 1].x1);  // joined end to start
    EXPECT_EQ(pool->segments[i].z0, pool->segments[i - 1].z1);
  }
  // The same seed gives the same bolt.
  auto again = std::make_unique<CSegmentPool>();
  CRandom same(3);
  again->AddForkedBolt(same, 100, 100, 40, 400, 300, 80, 10, 1, 7, 8, 3, 50, -1, 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(again->segments[i].y1, pool->segments[i].y1);
  // With branches every branch piece takes the branch kind.
  auto branched = std::make_unique<CSegmentPool>();
  ASSERT_EQ(branched->AddForkedBolt(random, 0, 0, 0, 900, 700, 100, 10, 1, 0, 0, 5, 40, 6, 100), 1);
  int branchPieces = 0;
  for (int i = 0; i < branched->count; ++i) branchPieces += branched->segments[i].kind == 6;
  EXPECT_GT(branchPieces, 0);
  EXPECT_LE(branched->count, 63);
  // A bolt that might not fit is not added at all.
  pool->count = 1024 - 8;
  EXPECT_EQ(pool->AddForkedBolt(random, 0, 0, 0, 300, 0, 0, 10, 1, 0, 0, 3, 0, -1, 0), 0);
  EXPECT_EQ(pool->count, 1024 - 8);
  EXPECT_EQ(pool->AddForkedBolt(random, 0, 0, 0, 300, 0, 0, 10, 1, 0, 0, 40, 0, -1, 0), 0);
}

TEST_F(Lines, DrawingWalksASegmentCellByCell) {
  struct View : ISegmentView {
    std::vector<std::vector<int>> cells;
    bool MapToScreen(int x, int y, int z, int& sx, int& sy) override {
      sx = x / 4;
      sy = y / 4 - z;
      return true;
    }
    void AddSegmentPiece(int cx, int cy, int level, const CScreenSegment&, const CSegment&) override {
      cells.push_back({cx, cy, level});
    }
  } view;
  static uint16_t pixels[640 * 480];
  SetSpriteTarget(pixels, 640, 480);
  SetSpriteClipRect(0, 0, 640, 480);
  auto pool = std::make_unique<CSegmentPool>();
  pool->Add(20, 40, 8, 110, 40, 8, 5, 0, 0, 0);   // along x through cells 0..3 of row 1
  pool->Add(50, 50, 8, 50, 50, 8, 5, 0, 0, 0);    // a point: one piece, then it ends
  pool->Add(1530, 40, 8, 40, 40, 8, 5, 0, 0, 0);  // across the seam the short way
  pool->Draw(view);
  ASSERT_GE(view.cells.size(), 4u + 1 + 3);
  EXPECT_EQ(view.cells[0], (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(view.cells[3], (std::vector<int>{3, 1, 0}));
  EXPECT_EQ(view.cells[4], (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(view.cells[5], (std::vector<int>{47, 1, 0}));
  EXPECT_EQ(view.cells[6], (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(view.cells[7], (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(pool->screenCount, static_cast<int>(view.cells.size()));
  SetSpriteTarget(nullptr, 0, 0);
}
