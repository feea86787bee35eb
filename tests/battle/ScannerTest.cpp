// The scanner: the projection and its click inverse in every rotation and across the seams,
// the backgrounds of the three map sizes, the colour table of both layouts, the fog of war,
// blinking wizards, the marker pulse, the 255-dot limit, the walk orders of a right click, and
// pictures of the scanner over forged battlefields.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/PanelBattle.h"
#include "battle/PanelSounds.h"
#include "battle/Scanner.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "forge/TerrainTypes.h"
#include "graphics/PixelFormat.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/Png.h"
#include "support/TestSupport.h"

using namespace panel_test;

namespace {

struct SoundLog : IPanelSounds {
  void Play(int id, int, CSoundInstance** out) override {
    if (out) *out = nullptr;
    sounds.push_back(id);
  }
  std::vector<int> sounds;
};

struct FogBattle : IPanelBattle {
  int LocalArmy() override { return 0; }
  bool FogOfWar() override { return fog; }
  bool fog = false;
};

struct CommandLog : IMapCommandSink {
  void AddMessage(const CommandMessage& message) override { messages.push_back(message); }
  std::vector<CommandMessage> messages;
};

struct Walkers : IMapCreatures {
  bool GetMoveQuery(int, CMoveQuery& out) override {
    out = CMoveQuery::MinimalWalker();
    return true;
  }
};

class Scanner : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    std::vector<uint8_t> types;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", types));
    ASSERT_TRUE(g_terrainTypes.Assign(types.data() + 16, types.size() - 16));
    for (int army = 0; army < kArmyCount; ++army) g_armyTable.armies[army].colour = army;
  }
  void TearDown() override {
    g_scanner.Release();
    g_scanner.SetRotation(0);
    g_mapView.rotation = 0;
    g_mapView.camCellX = g_mapView.camCellY = 0;
    for (int slot = 0; slot < 8; ++slot) {
      CCreature* c = g_creatureArray.At(slot);
      c->inUse = c->health = c->selected = c->army = c->typeNumber = c->heldTime = 0;
    }
    g_selectionCount = 0;
    for (CArmy& army : g_armyTable.armies) army.colour = 0;
    g_map.Clear();
    g_terrainTypes.Clear();
    PanelDisplay::TearDown();
  }
  // A map of grass on earth, three levels, with a lake of water (the water level 1).
  void MakeMap(int size) {
    ASSERT_EQ(g_map.Create(size, size, 4, 1, 1), 1);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        g_map.CellAt(x, y, 0).terrain = forge::terrain::kEarth;
        const bool lake = x >= 10 && x < 20 && y >= 10 && y < 20;
        g_map.CellAt(x, y, 1).terrain = lake ? 0 : forge::terrain::kGrass;
      }
    g_map.waterLevel = 1;
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightMemory].begin(), g_map.light[CMap::kLightMemory].end(), int8_t{0});
  }
  void PutCreature(int slot, int army, int x, int y, int type = 5) {
    CCreature* c = g_creatureArray.At(slot);
    c->index = slot;
    c->inUse = 1;
    c->health = 10;
    c->army = army;
    c->cellX = x;
    c->cellY = y;
    c->level = 1;
    c->typeNumber = type;
    g_creatureArray.NoteInUse(slot);
  }
  uint16_t Pixel(CScanner::Point p) { return graphics_test::PixelAt(g_backBuffer, p.x, p.y); }
  void DrawFrame() {
    g_backBuffer.Fill(0);
    g_scanner.Draw();
  }
  int CountPixels(uint16_t colour) {
    const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
  }

  InFolder data_{testing_support::ForgedDataDir()};
  DisplayPrefs prefs_{1, 0};
  SoundLog sounds_;
  HookScope<IPanelSounds> soundScope_{g_panelSounds, sounds_};
  FogBattle battle_;
  HookScope<IPanelBattle> battleScope_{g_panelBattle, battle_};
};

TEST_F(Scanner, CellsRoundTripThroughTheProjectionInEveryRotationAcrossTheSeams) {
  MakeMap(80);
  g_scanner.Load();
  const int cells[][2] = {{0, 0}, {79, 79}, {1, 78}, {78, 1}, {40, 41}, {39, 0}, {0, 39}, {13, 57}};
  const int centres[][2] = {{40, 40}, {0, 0}, {79, 3}, {5, 77}};
  for (int rotation = 0; rotation < 4; ++rotation)
    for (const auto& centre : centres) {
      g_mapView.rotation = rotation;
      g_mapView.camCellX = centre[0];
      g_mapView.camCellY = centre[1];
      DrawFrame();
      ASSERT_EQ(g_scanner.Rotation(), rotation);
      for (const auto& cell : cells) {
        SCOPED_TRACE(testing::Message() << "rotation " << rotation << " centre " << centre[0] << "," << centre[1]
                                        << " cell " << cell[0] << "," << cell[1]);
        const CScanner::Point p = g_scanner.Project(cell[0], cell[1]);
        const CScanner::Point back = g_scanner.CellAtPixel(p.x, p.y);
        EXPECT_EQ(back.x, cell[0]);
        EXPECT_EQ(back.y, cell[1]);
      }
      // The camera centre sits at the diamond's middle; the top vertex is half the map away.
      const CScanner::Point middle = g_scanner.Project(centre[0], centre[1]);
      EXPECT_EQ(middle.x, (g_scanner.rect.left + g_scanner.rect.right) / 2);
      EXPECT_EQ(middle.y, (g_scanner.rect.top + g_scanner.rect.bottom) / 2);
      const CScanner::Point far = g_scanner.CellAtPixel(g_scanner.OriginX(), g_scanner.OriginY());
      EXPECT_EQ(far.x, (centre[0] + 40) % 80);
      EXPECT_EQ(far.y, (centre[1] + 40) % 80);
    }
}

// A click answers the cell drawn under the pointer, on the odd columns too: on a 60 x 60 map
// with the camera at (29, 46), cell (11, 39) is drawn on an odd column and a click there answers
// (11, 39), not its neighbour (10, 39) along the row.
TEST_F(Scanner, AClickOnAnOddColumnAnswersTheCellDrawnThere) {
  MakeMap(60);
  g_scanner.Load();
  g_mapView.camCellX = 29;
  g_mapView.camCellY = 46;
  DrawFrame();
  const CScanner::Point p = g_scanner.Project(11, 39);
  ASSERT_EQ((p.x - g_scanner.OriginX()) & 1, 1);
  const CScanner::Point cell = g_scanner.CellAtPixel(p.x, p.y);
  EXPECT_EQ(cell.x, 11);
  EXPECT_EQ(cell.y, 39);
  int odd = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const CScanner::Point at = g_scanner.Project(x, y);
      const CScanner::Point back = g_scanner.CellAtPixel(at.x, at.y);
      ASSERT_TRUE(back.x == x && back.y == y) << x << "," << y;
      odd += (at.x - g_scanner.OriginX()) & 1;
    }
  EXPECT_EQ(odd, 1800);
}

TEST_F(Scanner, ALeftClickAtTheTopVertexCentresTheViewHalfTheMapAway) {
  MakeMap(80);
  g_scanner.Load();
  g_mapView.camCellX = 10;
  g_mapView.camCellY = 70;
  DrawFrame();
  CMouseEvent event;
  event.x = g_scanner.OriginX();
  event.y = g_scanner.OriginY();
  ASSERT_EQ(g_scanner.IsTransparentAt(event.x, event.y + 1), 0);
  EXPECT_EQ(g_scanner.IsTransparentAt(g_scanner.rect.left + 1, g_scanner.rect.top + 1), 1);
  g_scanner.OnMouse(MF_LEFT_DOWN, event);
  EXPECT_EQ(g_mapView.camCellX, 50);
  EXPECT_EQ(g_mapView.camCellY, 30);
  EXPECT_EQ(sounds_.sounds, std::vector<int>{kScannerClickSound});
}

TEST_F(Scanner, PreparedBackgroundsForEightyAndAHundredTheTiledOneWithAGoldOutlineElsewhere) {
  struct Case {
    int size;
    bool prepared;
  };
  const uint16_t gold = CScanner::PackScannerColour(192, 154, 0, g_is555 != 0);
  for (const Case& c : {Case{80, true}, Case{100, true}, Case{60, false}}) {
    SCOPED_TRACE(c.size);
    MakeMap(c.size);
    g_scanner.Load();
    EXPECT_EQ(g_scanner.PreparedBackground(), c.prepared);
    EXPECT_EQ(g_scanner.HasEdgeSprite(), c.prepared);
    EXPECT_EQ(g_scanner.rect.right - g_scanner.rect.left, 2 * c.size);
    DrawFrame();
    if (c.prepared)
      EXPECT_EQ(CountPixels(gold), 0);
    else
      EXPECT_GT(CountPixels(gold), 4 * 2 * c.size);
    g_scanner.Release();
    g_map.Clear();
  }
  // A map beyond the tables leaves the scanner hidden.
  ASSERT_EQ(g_map.Create(120, 120, 2, 1, 1), 1);
  g_scanner.Load();
  EXPECT_FALSE(g_scanner.Shown());
  DrawFrame();
}

TEST_F(Scanner, TheColourTableInBothLayouts) {
  EXPECT_EQ(CScanner::PackScannerColour(132, 255, 0, false), (16 << 11) | (63 << 5));
  EXPECT_EQ(CScanner::PackScannerColour(132, 255, 0, true), (16 << 10) | (31 << 5));
  EXPECT_EQ(CScanner::PackScannerColour(300, 39, -4, false), (31 << 11) | (9 << 5));
  EXPECT_EQ(CScanner::PackScannerColour(71, 189, 254, true), (8 << 10) | (23 << 5) | 31);
  MakeMap(80);
  const int saved = g_is555;
  for (int is555 : {0, 1}) {
    SCOPED_TRACE(is555);
    g_is555 = is555;
    g_scanner.Load();
    EXPECT_EQ(g_scanner.Colour(8), is555 ? 0x7FFF : 0xFFFF);
    EXPECT_EQ(g_scanner.CellColour(30, 30), is555 ? 7559 : 15111);  // grass
    EXPECT_EQ(g_scanner.CellColour(12, 12), is555 ? 2228 : 4436);   // the lake
  }
  g_is555 = saved;
}

TEST_F(Scanner, FogHidesUnseenCellsAndUnsightedEnemiesNeverTheLocalArmy) {
  MakeMap(80);
  g_scanner.Load();
  g_mapView.camCellX = g_mapView.camCellY = 40;
  PutCreature(0, 0, 40, 40);  // the local army
  PutCreature(1, 1, 44, 40);  // an enemy nobody sighted
  PutCreature(2, 2, 40, 44);  // an enemy the local army sighted
  g_creatureArray.At(2)->sightingCounters[0] = 3;
  // The cells round the local creature were never seen.
  for (int y = 38; y <= 46; ++y)
    for (int x = 38; x <= 46; ++x)
      g_map.light[CMap::kLightMemory][static_cast<size_t>(g_map.LightIndex(x, y, 1))] = -127;
  battle_.fog = false;
  DrawFrame();
  EXPECT_EQ(Pixel(g_scanner.Project(44, 40)), g_scanner.Colour(1));
  EXPECT_EQ(Pixel(g_scanner.Project(46, 46)), g_scanner.CellColour(46, 46));
  battle_.fog = true;
  DrawFrame();
  EXPECT_EQ(Pixel(g_scanner.Project(40, 40)), g_scanner.Colour(0));
  EXPECT_EQ(Pixel(g_scanner.Project(40, 44)), g_scanner.Colour(2));
  EXPECT_NE(Pixel(g_scanner.Project(44, 40)), g_scanner.Colour(1));
  // An unseen cell shows the background; a seen one its terrain.
  EXPECT_NE(Pixel(g_scanner.Project(46, 46)), g_scanner.CellColour(46, 46));
  EXPECT_EQ(Pixel(g_scanner.Project(50, 50)), g_scanner.CellColour(50, 50));
}

// A creature's dot has the colour its army's player chose, not the army's number.
TEST_F(Scanner, ADotHasTheColourOfItsArmysChoice) {
  MakeMap(80);
  g_scanner.Load();
  g_mapView.camCellX = g_mapView.camCellY = 40;
  g_armyTable.armies[1].colour = 5;
  PutCreature(1, 1, 44, 40);
  battle_.fog = false;
  DrawFrame();
  EXPECT_EQ(Pixel(g_scanner.Project(44, 40)), g_scanner.Colour(5));
}

TEST_F(Scanner, WizardsBlinkEveryFiveFramesAndTheMarkerPulsesFromOneToFifteen) {
  MakeMap(80);
  g_scanner.Load();
  g_mapView.camCellX = g_mapView.camCellY = 40;
  PutCreature(0, 0, 30, 30, 0);
  g_scanner.AddMarker(50, 50);
  g_scanner.AddMarker(51, 50);
  g_scanner.RemoveMarker(51, 50);
  ASSERT_EQ(g_scanner.Markers().size(), 1u);
  std::vector<int> radii, crossed;
  for (int frame = 0; frame < 20; ++frame) {
    radii.push_back(g_scanner.MarkerRadius());
    DrawFrame();
    // The cross's upper-left point lies outside the plain block.
    const CScanner::Point p = g_scanner.Project(30, 30);
    crossed.push_back(Pixel({p.x - 1, p.y}) == g_scanner.Colour(0) ? 1 : 0);
  }
  std::vector<int> expectedRadii;
  for (int frame = 0; frame < 20; ++frame) expectedRadii.push_back(frame % 15 + 1);
  EXPECT_EQ(radii, expectedRadii);
  EXPECT_EQ(crossed, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));
}

TEST_F(Scanner, ThreeHundredCreaturesGiveTwoHundredAndFiftyFiveDots) {
  MakeMap(80);
  g_scanner.Load();
  int listed = 0;
  for (int i = 0; i < 300; ++i) listed += g_scanner.NoteCreature({static_cast<uint16_t>(i % 8), i % 80, i / 80});
  EXPECT_EQ(listed, kScannerMaxDots);
  EXPECT_EQ(g_scanner.DotCount(), kScannerMaxDots);
  // A second creature on a noted cell is left out.
  g_scanner.Release();
  g_scanner.Load();
  EXPECT_TRUE(g_scanner.NoteCreature({1, 5, 5}));
  EXPECT_FALSE(g_scanner.NoteCreature({2, 5, 5}));
  DrawFrame();
  // The grid is clean again after the draw.
  EXPECT_EQ(g_scanner.DotCount(), 0);
  EXPECT_TRUE(g_scanner.NoteCreature({2, 5, 5}));
}

TEST_F(Scanner, ARightClickSendsAWalkForEverySelectedCreatureNotHeld) {
  MakeMap(80);
  g_scanner.Load();
  g_mapView.camCellX = g_mapView.camCellY = 40;
  DrawFrame();
  PutCreature(0, 0, 30, 30);
  PutCreature(1, 0, 31, 30);
  PutCreature(2, 0, 32, 30);
  PutCreature(3, 1, 33, 30);
  for (int slot : {0, 1, 2, 3}) g_creatureArray.At(slot)->selected = 1;
  g_creatureArray.At(1)->heldTime = 20;
  g_selectionCount = 3;
  Walkers walkers;
  MapHooks hooks = g_mapHooks;
  hooks.creatures = &walkers;
  MapHooksScope hooksScope(hooks);
  CommandLog log;
  HookScope<IMapCommandSink> commandScope(g_panelCommands, log);

  const CScanner::Point target = g_scanner.Project(45, 35);
  for (int shift : {0, 1}) {
    SCOPED_TRACE(shift);
    log.messages.clear();
    CMouseEvent event;
    event.x = target.x;
    event.y = target.y;
    event.shift = shift;
    g_scanner.OnMouse(MF_RIGHT_DOWN, event);
    ASSERT_EQ(log.messages.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const CommandMessage& m = log.messages[i];
      const int creature = i == 0 ? 0 : 2;
      int x = 45, y = 35, level = 1;
      CMoveQuery query = CMoveQuery::MinimalWalker();
      ASSERT_EQ(g_map.FindFreePositionNear(creature, query, x, y, level), 1);
      EXPECT_EQ(m.Type(), shift ? MSG_Q_CREATURE_WALK : MSG_CREATURE_WALK);
      EXPECT_EQ(m.length, shift ? 29 : 28);
      EXPECT_EQ(m.Word(2), shift ? 29 : 28);
      EXPECT_EQ(m.Word(3), creature);
      EXPECT_EQ(m.Word(4), x);
      EXPECT_EQ(m.Word(5), y);
      EXPECT_EQ(m.Word(6), level);
      if (shift) EXPECT_EQ(m.bytes[28], 0);
    }
  }
  // Nothing selected: no orders.
  g_selectionCount = 0;
  log.messages.clear();
  CMouseEvent event;
  event.x = target.x;
  event.y = target.y;
  g_scanner.OnMouse(MF_RIGHT_DOWN, event);
  EXPECT_TRUE(log.messages.empty());
}

// The scanner over forged battlefields of each size, in each rotation, for a person to look at.
TEST_F(Scanner, PicturesOverForgedBattlefields) {
  testing_support::ForgedDataCopy data;
  std::set<int> sizes;
  for (int region = 1; region <= 12 && sizes.size() < 3; ++region) {
    if (g_map.Build("realms\\multiplayer\\Multiplayer.cfg", region, 4242) != 1) break;
    const int size = g_map.width;
    if (sizes.count(size) || (size != 60 && size != 80 && size != 100)) continue;
    sizes.insert(size);
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
    g_map.ResetLight();
    PutCreature(0, 0, size / 2, size / 2, 0);
    PutCreature(1, 1, size / 2 + 9, size / 2 - 4, 0);
    PutCreature(2, 2, size / 2 - 12, size / 2 + 6, 7);
    g_creatureArray.At(0)->selected = 1;
    g_scanner.Load();
    g_scanner.AddMarker(size / 2 + 5, size / 2 + 5);
    for (int rotation = 0; rotation < 4; ++rotation) {
      g_mapView.rotation = rotation;
      g_mapView.camCellX = size / 2;
      g_mapView.camCellY = size / 2;
      for (int frame = 0; frame < 6; ++frame) {
        g_backBuffer.FillGradientV(0, 0, 800, 600, 70, 120, 60, 40, 80, 35);
        g_scanner.Draw();
      }
      const std::string path = testing_support::TestOutputDir() + "/scanner-" + std::to_string(size) + "-" +
                               std::to_string(rotation) + ".png";
      EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, graphics_test::Pixels(g_backBuffer)));
      // The local wizard at the middle, in the selection's white.
      const CScanner::Point middle = g_scanner.Project(size / 2, size / 2);
      EXPECT_EQ(Pixel({middle.x, middle.y + 1}), g_scanner.Colour(8));
    }
    g_scanner.Release();
  }
  EXPECT_EQ(sizes, (std::set<int>{60, 80, 100}));
  g_map.Clear();
  FreeDoorsConfig();
}

}  // namespace
