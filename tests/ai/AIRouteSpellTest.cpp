// The narrowest place of a route, and the decision that lays spell 33 there across the way an
// enemy group would come to the wizard.
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "AISpellScene.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIRouteCell.h"
#include "ai/AIRouteSpellDecision.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"

namespace {

using ai_test::SpellScene;

// A straight route along row 5 from x 0 to x 9, with a width for each x.
struct Widths {
  std::map<int, int> byX;
  std::vector<int> asked;
  int operator()(const CAICell& at, const CAICell&, int cap) {
    asked.push_back(at.x);
    const auto known = byX.find(at.x);
    const int width = known == byX.end() ? 100 : known->second;
    return std::min(width, cap);
  }
};

std::vector<CAICell> Row(int from, int to) {
  std::vector<CAICell> route;
  for (int x = from; x <= to; ++x) route.push_back({x, 5, 0});
  return route;
}

class RouteCell : public SpellScene {};

TEST_F(RouteCell, TheNarrowestCellFromTheRoutesEndWinsTheFirstOnTies) {
  const int cap = (g_map.width + g_map.height) / 2;
  struct Case {
    const char* what;
    std::map<int, int> widths;
    int halfDistance;
    bool found;
    int x, width;
  } cases[] = {
      {"one narrow place", {{6, 3}}, 0, true, 6, 3},
      {"the narrowest of two", {{7, 5}, {3, 2}}, 0, true, 3, 2},
      {"ties: the first from the end", {{7, 2}, {3, 2}}, 0, true, 7, 2},
      {"never nearer the reference than the half distance", {{1, 1}, {6, 4}}, 3, true, 6, 4},
      {"nowhere narrower than the cap", {}, 0, false, 0, cap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Widths widths{c.widths, {}};
    const std::vector<CAICell> route = Row(0, 9);
    CAICell out{-1, -1, -1};
    int width = 0;
    EXPECT_EQ(ChooseRouteCell(route, {0, 5, 0}, c.halfDistance, std::ref(widths), out, width), c.found);
    EXPECT_EQ(width, c.width);
    if (c.found) EXPECT_EQ(out.x, c.x);
    // The last cell has no step to measure across.
    for (int x : widths.asked) EXPECT_NE(x, 9);
  }
  CAICell out;
  int width = 0;
  Widths widths;
  EXPECT_FALSE(ChooseRouteCell({}, {0, 5, 0}, 0, std::ref(widths), out, width));
  EXPECT_EQ(width, cap);
}

TEST_F(RouteCell, AStepThatOnlyClimbsIsNoPassage) {
  std::vector<CAICell> route = {{0, 5, 0}, {1, 5, 0}, {1, 5, 1}, {2, 5, 1}};
  Widths widths{{{1, 1}}, {}};
  CAICell out;
  int width = 0;
  ASSERT_TRUE(ChooseRouteCell(route, {0, 5, 0}, 0, std::ref(widths), out, width));
  EXPECT_EQ(out.z, 1);
  // The cell the route climbs from is never measured.
  EXPECT_EQ(widths.asked, (std::vector<int>{1, 0}));
}

TEST_F(RouteCell, ACellWithATrapOrASealIsRejected) {
  EXPECT_FALSE(RejectTargetCell(20, 20, 1));
  g_map.CellAt(20, 20, 1).state |= 0x0020;
  EXPECT_TRUE(RejectTargetCell(20, 20, 1));
  g_map.CellAt(20, 20, 1).state = state_bits::kSealed;
  EXPECT_TRUE(RejectTargetCell(20, 20, 1));
  g_map.CellAt(20, 20, 1).state = 0;
  EXPECT_TRUE(RejectTargetCell(20, 20, g_map.levels));  // outside the map
}

// A wall of stone across the field at x 13, open only at rows 9-11: an enemy group east of it
// must come through the gap to reach the wizard.
class RouteSpell : public SpellScene {
 protected:
  void SetUp() override {
    SpellScene::SetUp();
    Knows({CAIRouteSpellDecision::kSpell});
    g_spellDefs[CAIRouteSpellDecision::kSpell].Range = 20;
    g_spellDefs[CAIRouteSpellDecision::kSpell].SpellStrength = 1;
    for (int y = 0; y < g_map.height; ++y) {
      if (y >= 9 && y <= 11) continue;
      for (int level = 0; level < 4; ++level) g_map.CellAt(13, y, level).terrain = forge::terrain::kStone;
    }
    // The side remembers the enemy: its record lists the enemy's cluster.
    CCreature& enemy = Enemy(17, 10);
    players[1].enemies[0] = CAIRememberedEnemy{0, 0, enemy};
  }
  // Evaluates with fresh budgets until the decision has nothing left: the cells chosen.
  std::vector<CAICell> Places(CAIRouteSpellDecision& d) {
    d.Prepare(node, players, 0);
    std::vector<CAICell> places;
    for (int call = 0; call < 400; ++call) {
      CAIBudget budget;
      budget.Start(1000);
      float score = 0.0f;
      while (d.Evaluate(&score, budget, 0)) {
        d.KeepBest();
        places.push_back({d.Best().targetX, d.Best().targetY, d.Best().targetLevel});
      }
    }
    return places;
  }

  CAIPlayerMemory players[kArmyCount];
};

TEST_F(RouteSpell, ThePlaceIsTheGapInTheWallWhenTheSpellSpansIt) {
  g_spellDefs[CAIRouteSpellDecision::kSpell].Duration = 4;  // spacing 4: the gap of 3 is spanned
  CAIRouteSpellDecision d;
  const std::vector<CAICell> places = Places(d);
  ASSERT_EQ(places.size(), 1u);
  EXPECT_EQ(places[0].x, 13);
  EXPECT_GE(places[0].y, 9);
  EXPECT_LE(places[0].y, 11);
  // A place that holds a trap already is passed over.
  g_map.CellAt(places[0].x, places[0].y, places[0].z).state |= 0x0020;
  for (const CAICell& place : Places(d))
    EXPECT_FALSE(place.x == places[0].x && place.y == places[0].y && place.z == places[0].z);
}

// The record's groups are made from what the side remembers once a memory pass, and made
// again after the controller frees them; a side that remembers nothing lists none.
TEST_F(RouteSpell, TheSidesRecordListsTheClustersOfTheEnemiesItRemembers) {
  const std::vector<CAIGroupNode*>& groups = GetPlayerRecordGroups(players[1], 1, 0);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(FirstMember(groups[0]), g_creatureArray.At(players[1].enemies[0].copy.index));
  EXPECT_EQ(&GetPlayerRecordGroups(players[1], 1, 0), &groups);
  EXPECT_EQ(groups.size(), 1u);
  players[1].FreeGroups();
  EXPECT_EQ(GetPlayerRecordGroups(players[1], 1, 0).size(), 1u);
  EXPECT_TRUE(GetPlayerRecordGroups(players[2], 2, 0).empty());
  // The enemy's own side does not count itself.
  players[2].enemies[0] = players[1].enemies[0];
  players[2].FreeGroups();
  EXPECT_TRUE(GetPlayerRecordGroups(players[2], 2, 0).empty());
}

TEST_F(RouteSpell, APassageWiderThanTheSpacingOrASpellWithoutStrengthGivesNoPlace) {
  g_spellDefs[CAIRouteSpellDecision::kSpell].Duration = 2;  // spacing 2: the gap is wider
  CAIRouteSpellDecision d;
  EXPECT_TRUE(Places(d).empty());
  g_spellDefs[CAIRouteSpellDecision::kSpell].Duration = 4;
  g_spellDefs[CAIRouteSpellDecision::kSpell].SpellStrength = 0;
  EXPECT_TRUE(Places(d).empty());
}

}  // namespace
