// The map renderer: which cells it walks, the depth order across the wrap seams, picking,
// turning, the occlusion marks and creatures under the pointer.
#include <algorithm>
#include <array>
#include <climits>
#include <memory>

#include "MapViewFixtures.h"
#include "core/Random.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "support/TestSupport.h"

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

// A block n levels high over a cell's floor, drawn as the forge draws blocks: the floor's
// centre is the hotspot, the top face's diamond 16 n pixels above it.
forge::Canvas TallBlock(int levels, int colour) {
  forge::Canvas canvas(64, 32 + 16 * levels);
  for (int row = 0; row < canvas.Height(); ++row)
    for (int column = 0; column < 64; ++column) {
      const double sx = column - 32 + 0.5, sy = row - (16 + 16 * levels) + 0.5;
      if (sy >= -16.0 * levels - 16 + std::abs(sx) / 2 && sy <= 16 - std::abs(sx) / 2) canvas.Set(column, row, colour);
    }
  return canvas;
}

// The last cell walked under the pointer is the hovered cell: a block a level high sitting on
// level 1 is walked after a pillar four levels high on level 0 in front of it, which hides
// it, and is hovered; the pillar, drawn in front, is the hovered entry. (With blocks a level
// high, as the forged art has, a cell walked later is never hidden by one walked earlier.)
TEST_F(MapRenderer, TheLastCellWalkedUnderThePointerIsHovered) {
  testing_support::TempDir dir;
  {
    forge::SpriteFileWriter file;
    std::array<uint8_t, 768> palette{};
    for (int i = 0; i < 768; ++i) palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i / 3);
    file.AddPalette(palette);
    file.AddFrame(forge::EncodeFrame(forge::Canvas(0, 0), 0, 0, 0));
    for (int levels : {1, 4}) {
      const forge::Canvas block = TallBlock(levels, 100 + levels);
      file.AddFrame(forge::EncodeFrame(block, 32, block.Height() - 16, 0));
    }
    dir.Write("blocks.spr", file.Bytes());
  }
  std::vector<CTerrainType> types = ForgedTypes();
  for (int r = 0; r < 4; ++r) {
    types[static_cast<size_t>(t::kStone)].blockFrame[r] = 1;
    types[static_cast<size_t>(t::kCliff)].blockFrame[r] = 2;
  }
  UseTypes(types);
  MakeMap(48, 44, 8);
  UseTypes(types);
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  scene.terrain.Free();
  ASSERT_TRUE(scene.terrain.Load(dir.File("blocks.spr").c_str(), 256));
  ASSERT_TRUE(scene.terrain.BuildColourTables(1, 256));
  // One block and its pillar for each rotation, far apart: the pillar stands in front of the
  // block in that rotation.
  auto blockAt = [](int rotation) { return std::array<int, 2>{8 + 10 * rotation, 20}; };
  auto pillarAt = [&](int rotation) {
    const std::array<int, 2> b = blockAt(rotation);
    return std::array<int, 2>{b[0] + kStepP[rotation][0] + kStepQ[rotation][0],
                              b[1] + kStepP[rotation][1] + kStepQ[rotation][1]};
  };
  for (int rotation = 0; rotation < 4; ++rotation) {
    Set(blockAt(rotation)[0], blockAt(rotation)[1], 1, t::kStone);
    Set(pillarAt(rotation)[0], pillarAt(rotation)[1], 0, t::kCliff);
  }
  g_map.FinishTerrainShapes();
  LightWholeMap(0);
  for (int rotation = 0; rotation < 4; ++rotation) {
    const int bx = blockAt(rotation)[0], by = blockAt(rotation)[1];
    const int fx = pillarAt(rotation)[0], fy = pillarAt(rotation)[1];
    scene.Attach(rotation);
    g_mapView.SetCameraCell(bx, by, 1);
    const ScreenPoint top = g_mapView.MapToScreen(bx * 32 + 16, by * 32 + 16, 2 * 16);
    QueueMouseEvent(0, top.x, top.y + 2);
    g_mapView.Update();
    EXPECT_EQ(g_mapView.hoverKind, kHoverCell) << rotation;
    EXPECT_EQ(g_mapView.hoverCellX, bx) << rotation;
    EXPECT_EQ(g_mapView.hoverCellY, by) << rotation;
    EXPECT_EQ(g_mapView.hoverLevel, 1) << rotation;
    // Once more without the frame's end, which empties the draw list.
    g_mapView.creatureHoverKey = g_mapView.terrainHoverKey = g_mapView.objectHoverKey = INT32_MIN;
    g_mapView.hoverEntry = -1;
    QueueMouseEvent(0, top.x, top.y + 2);
    g_mapView.DrawView(g_mapView.rect);
    EXPECT_EQ(g_mapView.hoverLevel, 1) << rotation;
    ASSERT_GT(KeyOfCell(fx, fy, 0), KeyOfCell(bx, by, 1)) << rotation;
    ASSERT_GE(g_mapView.hoverEntry, 0) << rotation;
    EXPECT_EQ(g_mapView.drawList.Entry(g_mapView.hoverEntry).cell, &g_map.CellAt(fx, fy, 0)) << rotation;
  }
  g_map.Clear();
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
