// The map renderer: which cells it walks, the depth order across the wrap seams, picking,
// turning, the occlusion marks and creatures under the pointer.
#include <algorithm>
#include <memory>

#include "MapViewFixtures.h"
#include "core/Random.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"

namespace map_test {
namespace {

namespace t = forge::terrain;

// Right-down (P) and left-down (Q) cell steps of each rotation.
constexpr int kStepP[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
constexpr int kStepQ[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};

class MapRenderer : public MapTest {
 protected:
  // Ground of grass on earth, 0 to 2 levels high at random.
  void RandomGround(uint32_t seed) {
    CRandom random(seed);
    heights.assign(static_cast<size_t>(g_map.width * g_map.height), 0);
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x) {
        const int h = static_cast<int>(random.Next() % 3);
        heights[static_cast<size_t>(x + y * g_map.width)] = h;
        for (int level = 0; level < h; ++level) Set(x, y, level, t::kEarth);
        Set(x, y, h, t::kGrass);
      }
    g_map.FinishTerrainShapes();
    LightWholeMap(0);
  }
  int Height(int x, int y) const {
    x = (x % g_map.width + g_map.width) % g_map.width;
    y = (y % g_map.height + g_map.height) % g_map.height;
    return heights[static_cast<size_t>(x + y * g_map.width)];
  }
  // The levels of the cells whose terrain the draw list holds.
  std::vector<int> TerrainLevels() {
    std::vector<int> levels;
    for (int i = 0; i < g_mapView.drawList.Count(); ++i) {
      const DrawListEntry& e = g_mapView.drawList.Entry(i);
      int x, y, level;
      if (e.cell && g_map.UnpackCellOffset(e.cell, x, y, level)) levels.push_back(level);
    }
    return levels;
  }
  int KeyOfCell(int x, int y, int level) {
    for (int i = 0; i < g_mapView.drawList.Count(); ++i)
      if (g_mapView.drawList.Entry(i).cell == &g_map.CellAt(x, y, level)) return g_mapView.drawList.Entry(i).key;
    ADD_FAILURE() << "no entry for cell " << x << "," << y << "," << level;
    return 0;
  }
  std::vector<int> heights;
};

// Also on a map higher than wide, whose far corner has keys below -(64 W) in the turned views.
TEST_F(MapRenderer, PickingFindsTheCellWhoseTopIsUnderThePointer) {
  struct Camera {
    int x, y;
  };
  for (const Camera size : {Camera{48, 44}, Camera{44, 96}}) {
    MakeMap(size.x, size.y, 8);
    RandomGround(5);
    ViewScene scene;
    ASSERT_TRUE(scene.ready);
    for (int rotation = 0; rotation < 4; ++rotation) {
      for (const Camera camera : {Camera{0, 0}, Camera{size.x / 2, size.y - 22}}) {
        scene.Attach(rotation);
        g_mapView.SetCameraCell(camera.x, camera.y, 1);
        int checked = 0;
        for (int dy = -6; dy <= 6; dy += 2)
          for (int dx = -6; dx <= 6; dx += 3) {
            const int x = (camera.x + dx + g_map.width) % g_map.width,
                      y = (camera.y + dy + g_map.height) % g_map.height;
            const int h = Height(x, y);
            // Only cells whose nearer neighbours are not higher show their whole top.
            const int* p = kStepP[rotation];
            const int* q = kStepQ[rotation];
            if (Height(x + p[0], y + p[1]) > h || Height(x + q[0], y + q[1]) > h ||
                Height(x + p[0] + q[0], y + p[1] + q[1]) > h)
              continue;
            const ScreenPoint top = g_mapView.MapToScreen(x * 32 + 16, y * 32 + 16, h * 16 + 4);
            QueueMouseEvent(0, top.x, top.y + 2);
            g_mapView.Update();
            EXPECT_EQ(g_mapView.hoverKind, kHoverCell);
            EXPECT_EQ(g_mapView.hoverCellX, x) << "rotation " << rotation;
            EXPECT_EQ(g_mapView.hoverCellY, y) << "rotation " << rotation;
            EXPECT_EQ(g_mapView.hoverLevel, h) << "rotation " << rotation;
            ++checked;
          }
        EXPECT_GT(checked, 5);
      }
    }
    g_map.Clear();
  }
}

// The levels drawn follow one rule in every rotation: 0 .. levelsShown - 1 while the view
// cuts by level, every level while it cuts by terrain class.
TEST_F(MapRenderer, TheSameLevelsAreDrawnInEveryRotation) {
  FillLevel(0, t::kGrass);
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x)
      for (int level = 1; level < 4; ++level) Set(x, y, level, t::kStone);
  LightWholeMap(0);
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  struct Case {
    int levelMode, levelsShown, topLevel;
  };
  for (const Case c : {Case{0, 1, 0}, Case{0, 2, 1}, Case{0, 8, 3}, Case{1, 1, 3}}) {
    for (int rotation = 0; rotation < 4; ++rotation) {
      scene.Attach(rotation);
      g_mapView.SetCameraCell(20, 20, 1);
      g_mapView.levelMode = c.levelMode;
      g_mapView.levelsShown = c.levelsShown;
      g_mapView.drawList.Reset();
      g_mapView.DrawView(g_mapView.rect);
      const std::vector<int> levels = TerrainLevels();
      ASSERT_FALSE(levels.empty());
      EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), c.topLevel)
          << "mode " << c.levelMode << " shown " << c.levelsShown << " rotation " << rotation;
    }
  }
}

TEST_F(MapRenderer, CellsPastTheSeamKeepTheirPlaceInTheDepthOrder) {
  FillLevel(0, t::kGrass);
  LightWholeMap(0);
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  const int w = g_map.width, y = 2;
  for (int rotation : {0, 2}) {
    scene.Attach(rotation);
    g_mapView.SetCameraCell(0, y, 0);
    g_mapView.drawList.Reset();
    g_mapView.DrawView(g_mapView.rect);
    // Cell 0 follows cell W - 1 in the first view's walk and precedes it in the opposite one;
    // either way the two are neighbours in depth.
    const int edge = KeyOfCell(w - 1, y, 0), first = KeyOfCell(0, y, 0);
    EXPECT_EQ(rotation == 0 ? first - edge : edge - first, 32) << "rotation " << rotation;
  }
}

TEST_F(MapRenderer, TurnsApplyAfterTheFrameAndFourReturnToTheStart) {
  FillLevel(0, t::kGrass);
  LightWholeMap(0);
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  scene.Attach(0);
  std::vector<std::vector<uint16_t>> frames;
  for (int turn = 0; turn < 4; ++turn) {
    g_mapView.RequestTurnRight();
    EXPECT_EQ(g_mapView.rotation, turn);
    frames.push_back(scene.DrawFrame());
    EXPECT_EQ(g_mapView.rotation, (turn + 1) & 3);
    EXPECT_EQ(g_mapView.drawnOnce, 0);
    EXPECT_EQ(g_mapView.drawList.rotation, g_mapView.rotation);
  }
  g_mapView.RequestTurnLeft();
  scene.DrawFrame();
  EXPECT_EQ(g_mapView.rotation, 3);
}

// The occlusion pass only leaves out what is covered: the picture is the same with it off,
// on its first frame and on the next frames, when hidden terrain is no longer even added.
TEST_F(MapRenderer, OcclusionLeavesThePictureAsItIs) {
  BuildLandscape();
  g_map.waterLevel = 0;  // the water printer reads pixels beside it; keep the test exact
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  FakeViewHooks hooks;
  for (int rotation = 0; rotation < 4; ++rotation) {
    scene.Attach(rotation);
    g_mapView.SetCameraCell(12, 12, 2);
    hooks.battle.occlusion = 0;
    const std::vector<uint16_t> plain = scene.DrawFrame();
    hooks.battle.occlusion = 2;
    g_mapView.drawList.addCalls = 0;
    const std::vector<uint16_t> first = scene.DrawFrame();
    const int firstAdds = g_mapView.drawList.addCalls;
    g_mapView.drawList.addCalls = 0;
    const std::vector<uint16_t> next = scene.DrawFrame();
    const int nextAdds = g_mapView.drawList.addCalls;
    EXPECT_EQ(first, plain) << "rotation " << rotation;
    EXPECT_EQ(next, plain) << "rotation " << rotation;
    EXPECT_LT(nextAdds, firstAdds) << "rotation " << rotation;
    EXPECT_EQ(g_map.viewFlag, 1);
    // A map change rebuilds everything once.
    g_map.backgroundDirty = 1;
    g_mapView.drawList.addCalls = 0;
    EXPECT_EQ(scene.DrawFrame(), plain);
    EXPECT_EQ(g_mapView.drawList.addCalls, firstAdds);
  }
}

// A creature on a cell is drawn over the terrain and found under the pointer, by its pixels
// or, near it, by distance.
TEST_F(MapRenderer, ACreatureIsDrawnAndHoveredByItsPixels) {
  FillLevel(0, t::kGrass);
  LightWholeMap(0);
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  forge::PaletteBuilder palette;
  const int red = palette.AddRamp(220, 30, 30, 8);
  forge::SpriteFileWriter file;
  file.AddPalette(palette.Bytes());
  forge::Canvas body(16, 40);
  body.Fill(red + 5);
  file.AddFrame(forge::EncodeFrame(body, 8, 38, 0));
  CSprite sprite;
  ASSERT_TRUE(sprite.LoadImage(file.Bytes(), 16, "creature"));

  FakeViewHooks hooks;
  CreatureDrawInfo& info = hooks.creatures.draw[7];
  info.x = info.anchorX = 20 * 32 + 16;
  info.y = info.anchorY = 20 * 32 + 16;
  info.z = info.anchorZ = 4;
  info.body.frame = sprite.GetFrame(0);
  hooks.creatures.orders[7].inUse = true;
  CMapCell& cell = g_map.CellAt(20, 20, 0);
  cell.occupant = 7;
  cell.state |= state_bits::kLiquid;

  scene.Attach(0);
  g_mapView.SetCameraCell(20, 20, 0);
  const ScreenPoint feet = g_mapView.MapToScreen(info.x, info.y, info.z);
  QueueMouseEvent(0, feet.x, feet.y - 20);
  const std::vector<uint16_t> pixels = scene.DrawFrame();
  EXPECT_EQ(g_mapView.hoverKind, kHoverCreature);
  EXPECT_EQ(g_mapView.hoverCreature, 7);
  // The creature's red over the green grass, brightened while hovered.
  const uint16_t p = pixels[static_cast<size_t>((feet.y - 20) * 800 + feet.x)];
  EXPECT_GT(p >> 11, (p >> 5) & 31);

  QueueMouseEvent(0, feet.x + 20, feet.y - 20);  // beside it, within 25 pixels of its middle
  scene.DrawFrame();
  EXPECT_EQ(g_mapView.hoverCreature, 7);
  QueueMouseEvent(0, feet.x + 60, feet.y);  // far from it: the cell
  scene.DrawFrame();
  EXPECT_EQ(g_mapView.hoverKind, kHoverCell);
  cell.occupant = kNoLink;
}

}  // namespace
}  // namespace map_test
