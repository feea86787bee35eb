// The map view's input: clicks on what the last frame found under the pointer become
// selection changes and command messages for the network client.
#include "MapViewFixtures.h"
#include "core/Main.h"
#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "ui/Cursor.h"

namespace map_test {
namespace {

namespace t = forge::terrain;

class MapViewInput : public MapTest {
 protected:
  void SetUp() override {
    MakeMap(48, 44, 8);
    FillLevel(0, t::kGrass);
    g_mapView.Attach(&g_map, nullptr, nullptr, platform::Rect{0, 0, 800, 600}, 0);
    BattleState().mouseMode = 1;
    hooks.battle.armed = true;
    for (int id : {3, 5, 9}) {
      CreatureOrderInfo& c = hooks.creatures.orders[id];
      c.inUse = c.active = true;
      c.type = id + 1;
      c.x = id;
      c.y = 4;
    }
    g_cursorKind = 1;
  }
  void TearDown() override {
    ResetMouseInput();
    g_mapView.SetMap(nullptr);
    g_cursorKind = kCursorNormal;
    MapTest::TearDown();
  }
  void HoverCell(int x, int y, int level) {
    g_mapView.hoverKind = kHoverCell;
    g_mapView.hoverCellX = x;
    g_mapView.hoverCellY = y;
    g_mapView.hoverLevel = level;
    g_mapView.hoverCreature = -1;
  }
  void HoverCreature(int creature) {
    HoverCell(20, 21, 0);
    g_mapView.hoverKind = kHoverCreature;
    g_mapView.hoverCreature = creature;
  }
  void Click(int flags, bool shift = false, bool ctrl = false) {
    CMouseEvent event;
    event.shift = shift;
    event.ctrl = ctrl;
    g_mapView.OnMouse(flags, event);
  }
  void SelectAll() {
    for (auto& [id, c] : hooks.creatures.orders) c.selected = true;
  }
  const std::vector<CommandMessage>& Sent() const { return hooks.commands.messages; }
  FakeViewHooks hooks;
};

// The words of a message after its three header words.
std::vector<int32_t> Body(const CommandMessage& m) {
  std::vector<int32_t> words;
  for (int n = 3; 4 * n + 4 <= m.length; ++n) words.push_back(m.Word(n));
  return words;
}

TEST_F(MapViewInput, CommandMessagesHaveTheirLayoutWithEveryByteSet) {
  CommandMessage walk = MakeCellCommand(MSG_CREATURE_WALK, 3, 10, 11, 2);
  EXPECT_EQ(walk.length, 28);
  EXPECT_EQ(walk.Word(0), 0);
  EXPECT_EQ(walk.Type(), MSG_CREATURE_WALK);
  EXPECT_EQ(walk.Word(2), 28);
  EXPECT_EQ(Body(walk), (std::vector<int32_t>{3, 10, 11, 2}));
  CommandMessage queued = MakeCellCommand(MSG_Q_CREATURE_WALK, 3, 10, 11, 2);
  EXPECT_EQ(queued.length, 29);
  EXPECT_EQ(queued.Word(2), 29);
  EXPECT_EQ(queued.bytes[28], 0);
  CommandMessage attack = MakeCreatureCommand(MSG_CREATURE_ATTACK, 3, 8);
  EXPECT_EQ(attack.length, 20);
  EXPECT_EQ(Body(attack), (std::vector<int32_t>{3, 8}));
  CommandMessage spell = MakeCastSpellCommand(12, 100, 200, 48, 1, -1);
  EXPECT_EQ(spell.length, 56);
  EXPECT_EQ(Body(spell), (std::vector<int32_t>{12, 0, 0, 0, 100, 200, 48, 1, -1, 1, -1}));
}

TEST_F(MapViewInput, ARightClickOnACellWalksEverySelectedCreatureInOrder) {
  SelectAll();
  hooks.creatures.formationCells[5] = CellPos{13, 14, 0};
  HoverCell(12, 14, 0);
  g_noSkipThisFrame = 0;
  Click(MF_RIGHT_DOWN);
  EXPECT_EQ(g_noSkipThisFrame, 1);
  ASSERT_EQ(Sent().size(), 3u);
  for (const CommandMessage& m : Sent()) EXPECT_EQ(m.Type(), MSG_CREATURE_WALK);
  EXPECT_EQ(Body(Sent()[0]), (std::vector<int32_t>{3, 12, 14, 0}));
  EXPECT_EQ(Body(Sent()[1]), (std::vector<int32_t>{5, 13, 14, 0}));
  EXPECT_EQ(Body(Sent()[2]), (std::vector<int32_t>{9, 12, 14, 0}));
  // The script hears of each walk with the creature's type.
  EXPECT_EQ(hooks.battle.offers, (std::vector<std::vector<int>>{{4, 4, -1}, {4, 6, -1}, {4, 10, -1}}));
}

TEST_F(MapViewInput, RightClicksOnCellsByCursorAndKeys) {
  hooks.creatures.orders[5].selected = true;
  Set(30, 30, 1, t::kWater);
  struct Case {
    const char* name;
    int cursor;
    bool shift;
    int x, y, level;
    int type;
    std::vector<int32_t> body;
  };
  const std::vector<Case> cases = {
      {"walk", 1, false, 12, 14, 0, MSG_CREATURE_WALK, {5, 12, 14, 0}},
      {"queued walk", 1, true, 12, 14, 0, MSG_Q_CREATURE_WALK, {5, 12, 14, 0}},
      {"water: the surface above", 1, false, 30, 30, 1, MSG_CREATURE_WALK, {5, 30, 30, 2}},
      {"attack the terrain", 0, false, 12, 14, 0, MSG_CREATURE_ATTACK_TERRAIN, {5, 12, 14, 0}},
      {"to the chest", 18, false, 7, 8, 0, MSG_WALK_TO_CHEST, {5, 7, 8, 0}},
      {"near an object", 17, true, 7, 8, 0, MSG_Q_CREATURE_WALK, {5, 7, 8, 0}},
  };
  for (const Case& c : cases) {
    hooks.commands.messages.clear();
    g_cursorKind = c.cursor;
    HoverCell(c.x, c.y, c.level);
    Click(MF_RIGHT_DOWN, c.shift);
    ASSERT_EQ(Sent().size(), 1u) << c.name;
    EXPECT_EQ(Sent()[0].Type(), c.type) << c.name;
    EXPECT_EQ(Body(Sent()[0]), c.body) << c.name;
  }
}

TEST_F(MapViewInput, AClickOffTheMapOrdersNothing) {
  SelectAll();
  for (int cursor : {0, 1, 17, 18}) {
    g_cursorKind = cursor;
    HoverCell(-1, -1, -1);
    Click(MF_RIGHT_DOWN);
    HoverCell(5, 5, 8);  // above the top level
    Click(MF_RIGHT_DOWN);
  }
  Set(4, 4, 7, t::kWater);  // the surface above the top level's water is off the map too
  g_cursorKind = 1;
  HoverCell(4, 4, 7);
  Click(MF_RIGHT_DOWN);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MapViewInput, RightClicksOnCreatures) {
  hooks.creatures.orders[3].selected = true;
  hooks.creatures.orders[5].selected = true;
  HoverCreature(9);
  g_cursorKind = 0;
  Click(MF_RIGHT_DOWN);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].Type(), MSG_CREATURE_ATTACK);
  EXPECT_EQ(Body(Sent()[0]), (std::vector<int32_t>{3, 9}));
  EXPECT_EQ(Body(Sent()[1]), (std::vector<int32_t>{5, 9}));
  EXPECT_EQ(hooks.battle.offers.back(), (std::vector<int>{6, 6, -1}));

  hooks.commands.messages.clear();
  hooks.battle.offers.clear();
  Click(MF_RIGHT_DOWN, true);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].Type(), MSG_Q_CREATURE_ATTACK);
  EXPECT_TRUE(hooks.battle.offers.empty());

  hooks.commands.messages.clear();
  g_cursorKind = 21;
  Click(MF_RIGHT_DOWN);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[1].Type(), MSG_FOLLOW_CREATURE);
  EXPECT_EQ(Body(Sent()[1]), (std::vector<int32_t>{5, 9}));

  hooks.commands.messages.clear();
  hooks.creatures.orders[9].active = false;
  g_cursorKind = 0;
  Click(MF_RIGHT_DOWN);  // an inactive creature is not attacked
  EXPECT_TRUE(Sent().empty());
  g_cursorKind = 1;
  Click(MF_RIGHT_DOWN);  // any other cursor walks to the cell under it
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Body(Sent()[0]), (std::vector<int32_t>{3, 20, 21, 0}));
}

TEST_F(MapViewInput, ASecondClickOnTheGroupsGoalSpreadsTheGroup) {
  CreatureOrderInfo& c = hooks.creatures.orders[5];
  c.selected = true;
  c.group = 2;
  c.hasGoal = true;
  c.goalX = 12, c.goalY = 14, c.goalLevel = 0;
  HoverCell(12, 14, 0);
  Click(MF_RIGHT_DOWN);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].Type(), MSG_CREATURE_WALK);
  // A free place near the goal, and the creature's own cell beside it.
  const std::vector<int32_t> body = Body(Sent()[0]);
  EXPECT_EQ(body[0], 5);
  EXPECT_EQ(hooks.creatures.calls.back(), "nearby 5");
  EXPECT_EQ(hooks.battle.offers.back(), (std::vector<int>{5, 6, -1}));
}

TEST_F(MapViewInput, LeftClicksSelect) {
  BattleState().mouseMode = 0;
  hooks.creatures.orders[3].inspected = true;
  HoverCreature(5);
  Click(MF_LEFT_DOWN);
  EXPECT_FALSE(hooks.creatures.orders[3].inspected);
  EXPECT_TRUE(hooks.creatures.orders[5].selected);
  EXPECT_EQ(hooks.battle.offers.back(), (std::vector<int>{3, 6, -1}));

  BattleState().mouseMode = 1;
  HoverCreature(9);
  Click(MF_LEFT_DOWN, true);  // Shift adds to the selection
  EXPECT_TRUE(hooks.creatures.orders[5].selected);
  EXPECT_TRUE(hooks.creatures.orders[9].selected);
  EXPECT_EQ(hooks.battle.extended, 1);
  Click(MF_LEFT_DOWN);  // a selected creature after a Shift selection is selected alone
  EXPECT_FALSE(hooks.creatures.orders[5].selected);
  EXPECT_TRUE(hooks.creatures.orders[9].selected);
  EXPECT_EQ(hooks.battle.extended, 0);
  Click(MF_LEFT_DOWN);  // and a second click selects its group
  EXPECT_EQ(hooks.creatures.calls.back(), "group 9");

  HoverCell(3, 3, 0);
  Click(MF_LEFT_DOWN);  // a cell keeps the selection unless unselecting is allowed
  EXPECT_TRUE(hooks.creatures.orders[9].selected);
  g_prefs.allowUnselectMode = 1;
  Click(MF_LEFT_DOWN);
  g_prefs.allowUnselectMode = 0;
  EXPECT_FALSE(hooks.creatures.orders[9].selected);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MapViewInput, WithASpellChosenARightClickCasts) {
  BattleState().mouseMode = 2;
  hooks.creatures.wizard = 3;
  hooks.creatures.spell = 12;
  std::vector<CTerrainType> types = ForgedTypes();
  types[t::kGrass].targetOffset[0] = 16;
  types[t::kGrass].targetOffset[1] = 20;
  types[t::kGrass].targetOffset[2] = 4;
  UseTypes(types);

  g_cursorKind = 3;  // not the cast cursor: only the refusal sound
  HoverCell(10, 10, 0);
  Click(MF_RIGHT_DOWN);
  EXPECT_TRUE(Sent().empty());

  g_cursorKind = 5;
  Click(MF_RIGHT_DOWN);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].Type(), MSG_CAST_SPELL);
  EXPECT_EQ(Body(Sent()[0]), (std::vector<int32_t>{12, 0, 0, 0, 336, 340, 4, 3, -1, 1, -1}));
  EXPECT_EQ(hooks.battle.offers.back(), (std::vector<int>{2, 12, -1}));

  // A creature under the pointer is the target: directly, or in its cell for the spell
  // kinds that aim at creatures.
  CreatureDrawInfo& body = hooks.creatures.draw[9];
  body.x = 100, body.y = 200, body.z = 16;
  for (auto [hoverKind, spellKind, target] :
       std::vector<std::tuple<int, int, int>>{{kHoverCreature, 0, 9}, {kHoverCell, 8, 9}, {kHoverCell, 3, -1}}) {
    hooks.commands.messages.clear();
    hooks.battle.spellKind = spellKind;
    HoverCell(10, 10, 0);
    g_mapView.hoverCreature = 9;
    g_mapView.hoverKind = hoverKind;
    Click(MF_RIGHT_DOWN);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0].Word(11), target) << hoverKind << " " << spellKind;
  }

  // A left click on a creature selects it, leaves spell mode and clears the spell.
  HoverCreature(5);
  Click(MF_LEFT_DOWN);
  EXPECT_TRUE(hooks.creatures.orders[5].selected);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeCreatures);
  EXPECT_EQ(hooks.creatures.calls.back(), "spell 3 -1");
}

}  // namespace
}  // namespace map_test
