// The realm view: on small hand-made realms, which regions the player sees, how wizards walk,
// meet and fight, and what a battle's end changes; on the forged Moorland, the screen itself:
// its art, its clicks, the end of the realm and the tutorial.
#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

#include "FrontEndTestSupport.h"
#include "battle/BattleCampaign.h"
#include "core/Random.h"
#include "creatures/WizardTable.h"
#include "forge/FlagPathWriter.h"
#include "forge/MoorlandRealm.h"
#include "forge/Pictures.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/RealmView.h"
#include "map/Map.h"
#include "frontend/RegionEntry.h"

namespace {

using frontend_test::FrontEnd;

// A realm of regions side by side, each a column 100 wide; region r's flag at (100 r - 50,
// 300); a path of `length` points from flag to flag for each link (one way).
void MakeRealm(CRealmView& view, int regions, const std::vector<std::pair<int, int>>& links, int length = 10) {
  view.regionCount = regions;
  for (int y = 0; y < kRealmMapHeight; ++y)
    for (int x = 0; x < kRealmMapWidth; ++x)
      view.regionMap[static_cast<size_t>(y) * kRealmMapWidth + x] =
          static_cast<uint8_t>(x / 100 < regions ? x / 100 + 1 : 0);
  for (int r = 1; r <= regions; ++r) {
    forge::FlagPathFile file;
    file.flag = {100 * r - 50, 300};
    file.slots = {{{100 * r - 70, 320}, {100 * r - 30, 320}, {100 * r - 70, 280}, {100 * r - 30, 280}}};
    for (auto [from, to] : links) {
      if (from != r) continue;
      std::vector<forge::PathPoint> path;
      for (int i = 0; i < length; ++i) path.push_back({100 * from - 50 + (100 * (to - from)) * (i + 1) / length, 300});
      file.paths.push_back(path);
    }
    const std::vector<uint8_t> bytes = forge::FlagPathBytes(file);
    ASSERT_TRUE(view.flagPaths[r - 1].LoadBytes(bytes.data(), bytes.size()));
  }
  view.ComputeAdjacency();
}

std::vector<std::pair<int, int>> BothWays(const std::vector<std::pair<int, int>>& links) {
  std::vector<std::pair<int, int>> both;
  for (auto [a, b] : links) {
    both.push_back({a, b});
    both.push_back({b, a});
  }
  return both;
}

// Wizards standing in regions; wizard w owns the regions listed for it.
void PlaceWizards(CRealmState& s, const std::vector<int>& locations, const std::vector<std::vector<int>>& owned) {
  s.wizardCount = static_cast<int>(locations.size());
  s.playerWizard = 0;
  for (int w = 0; w < s.wizardCount; ++w) {
    s.active[w] = 1;
    s.locations[w] = s.destinations[w] = s.movement[w].oldRegion = locations[w];
    s.movement[w].countdown = 0;
    s.icons[w] = w;
    s.flags[w] = w;
    std::snprintf(s.wizardNames[w], sizeof s.wizardNames[w], "W%d", w);
    for (int r : owned[w]) s.regionOwners[r - 1] = w;
  }
}

TEST(RealmViewCampaign, ThePlayerSeesItsRegionsAndThoseItCanReach) {
  CRealmView view;
  MakeRealm(view, 5, BothWays({{1, 2}, {2, 3}, {3, 4}, {4, 5}}));
  PlaceWizards(view.realmState, {2, 5}, {{1, 2}, {3, 4, 5}});
  struct Case {
    int region;
    bool visible;
  };
  for (Case c : {Case{1, true}, Case{2, true}, Case{3, true}, Case{4, false}, Case{0, false}, Case{6, false}})
    EXPECT_EQ(view.IsRegionVisible(c.region, 0), c.visible) << c.region;
  // While walking out of 2 towards 3 the player still sees from 2.
  view.StartWizardMove(0, 3);
  EXPECT_TRUE(view.IsRegionVisible(1, 0));
  EXPECT_FALSE(view.IsRegionVisible(4, 0));
  // A defeated player sees what its own regions reach.
  view.realmState.active[0] = 0;
  EXPECT_TRUE(view.IsRegionVisible(3, 0));
  EXPECT_FALSE(view.IsRegionVisible(4, 0));
}

TEST(RealmViewCampaign, ConfirmingARegionOffersBattleSetsTheWayOrIsRefused) {
  struct Case {
    const char* name;
    int region;
    int visitors;  // wizards standing there besides the owner
    int state, pending, destination, sound;
  };
  const Case cases[] = {
      {"the owner waits where the player stands: battle", 1, 0, CRealmView::kEnterChosenBattle, 1, 1, 0},
      {"another region: the player heads there", 3, 0, CRealmView::kMap, 0, 3, 0},
      {"a region of four wizards: refused", 3, 3, CRealmView::kMap, 0, 1, kRealmRefusedSound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRealmView view;
    MakeRealm(view, 3, BothWays({{1, 2}, {2, 3}}));
    std::vector<int> locations = {1, 1, 3};
    std::vector<std::vector<int>> owned = {{}, {1, 2}, {3}};
    for (int v = 0; v < c.visitors; ++v) {
      locations.push_back(c.region);
      owned.push_back({});
    }
    PlaceWizards(view.realmState, locations, owned);
    view.ChooseRegion(c.region);
    EXPECT_EQ(view.state, c.state);
    EXPECT_EQ(view.battlePending, c.pending);
    EXPECT_EQ(view.realmState.destinations[0], c.destination);
    EXPECT_EQ(view.lastSound, c.sound);
    if (c.pending) {
      EXPECT_EQ(view.attacker, 0);
      EXPECT_EQ(view.defender, 1);
      EXPECT_EQ(view.battleRegion, 1);
    }
  }
}

TEST(RealmViewCampaign, RoutesGoThroughFreeRegionsOnly) {
  // 1 - 2 - 3 and 1 - 4 - 3: the player in 1 heads for 3.
  CRealmView view;
  MakeRealm(view, 4, BothWays({{1, 2}, {2, 3}, {1, 4}, {4, 3}}));
  PlaceWizards(view.realmState, {1, 2, 4}, {{1}, {2}, {4}});
  EXPECT_EQ(view.FindNextStep(1, 3), -1);  // both ways blocked
  view.realmState.locations[2] = 3;        // the third wizard moves to the goal itself
  EXPECT_EQ(view.FindNextStep(1, 3), 4);
  view.realmState.destinations[0] = 3;
  view.TickWizards();
  EXPECT_EQ(view.realmState.locations[0], 4);
  EXPECT_EQ(view.realmState.movement[0].oldRegion, 1);
  EXPECT_GT(view.realmState.movement[0].countdown, 0);
  // Blocked again: the player stays.
  CRealmView blocked;
  MakeRealm(blocked, 4, BothWays({{1, 2}, {2, 3}, {1, 4}, {4, 3}}));
  PlaceWizards(blocked.realmState, {1, 2, 4}, {{1}, {2}, {4}});
  blocked.realmState.destinations[0] = 3;
  blocked.TickWizards();
  EXPECT_EQ(blocked.realmState.locations[0], 1);
  EXPECT_EQ(blocked.realmState.movement[0].countdown, 0);
}

TEST(RealmViewCampaign, AWalkOfTenPointsTakesThreeFramesAndAMeetingStartsTheBattle) {
  CRealmView view;
  MakeRealm(view, 3, BothWays({{1, 2}, {2, 3}}), 10);
  PlaceWizards(view.realmState, {1, 2}, {{1}, {2, 3}});
  view.realmState.destinations[0] = 2;
  view.TickWizards();  // the walk starts
  std::vector<int> countdowns = {view.realmState.movement[0].countdown};
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(view.battlePending, 0);
    view.TickWizards();
    countdowns.push_back(view.realmState.movement[0].countdown);
  }
  EXPECT_EQ(countdowns, (std::vector<int>{10, 6, 2, 0}));
  EXPECT_EQ(view.battlePending, 1);
  EXPECT_EQ(view.attacker, 0);
  EXPECT_EQ(view.defender, 1);
  EXPECT_EQ(view.battleRegion, 2);
  // The visitor stands on one of region 2's start slots.
  const CRealmMovement& m = view.realmState.movement[0];
  EXPECT_EQ(view.RegionAt(m.x, m.y), 2);
}

// A meeting's battle takes its map seed and battle seed from the game's generator, one word
// each: the map seed with its top bit cleared (never negative), the battle seed below 9999.
TEST(RealmViewCampaign, AMeetingsBattleDrawsItsSeedsFromTheGamesGenerator) {
  const CRandom kept = g_random;
  g_map.Clear();  // with a battle's map still built the view would go back into that battle
  // A seed whose first word has its top bit set, and one whose first word has it clear.
  std::vector<uint32_t> seeds;
  for (uint32_t seed = 1; seeds.size() < 2; ++seed) {
    const bool topBit = (CRandom(seed).Next() & 0x80000000u) != 0;
    if (topBit == seeds.empty()) seeds.push_back(seed);
  }
  for (uint32_t seed : seeds) {
    SCOPED_TRACE(seed);
    CRealmView view;
    MakeRealm(view, 3, BothWays({{1, 2}, {2, 3}}));
    view.battleRegion = 2;
    g_random.Seed(seed);
    CRandom expected(seed);
    view.EnterBattle();
    EXPECT_EQ(g_lastBattleSetup.region, 2);
    EXPECT_EQ(g_lastBattleSetup.mapSeed, static_cast<int32_t>(expected.Next() & 0x7fffffffu));
    EXPECT_GE(g_lastBattleSetup.mapSeed, 0);
    EXPECT_EQ(g_lastBattleSetup.battleSeed, static_cast<int32_t>((expected.Next() & 0x7fffffffu) % 9999u));
    EXPECT_EQ(g_random.Next(), expected.Next()) << "two words drawn, no more";
  }
  g_random = kept;
}

TEST(RealmViewCampaign, AWinTakesTheLosersRegionsAndALossWalksBack) {
  // The player (0) came from 1 into 2, where wizard 1 stands; wizard 1 owns 2 and 4.
  auto setUp = [](CRealmView& view) {
    MakeRealm(view, 5, BothWays({{1, 2}, {2, 3}, {4, 5}}), 8);
    PlaceWizards(view.realmState, {1, 2, 5}, {{1}, {2, 4}, {3, 5}});
    view.realmState.movement[0].oldRegion = 1;
    view.realmState.locations[0] = 2;
  };
  g_wizardTable.Clear();
  CWizard& player = g_wizardTable.records[0];
  player.inUse = 1;
  player.computer = 0;
  player.textBlock.assign(kWizardTextBlockBytes, 0);

  CRealmView won;
  setUp(won);
  std::snprintf(won.realmState.currentRealmName, kRealmNameSize, "Moorland");
  won.battleResult = 1;
  won.ApplyBattleResult();
  EXPECT_EQ(won.realmState.active[1], 0);
  EXPECT_EQ(won.realmState.active[2], 1);
  EXPECT_EQ(won.realmState.OwnerOf(2), 0);
  EXPECT_EQ(won.realmState.OwnerOf(4), 0);
  EXPECT_EQ(won.realmState.OwnerOf(3), 2);
  // The neighbours of the regions won are noted in the player's knowledge (the realm's chapter).
  EXPECT_TRUE(player.HasSeen(1, 1));
  EXPECT_TRUE(player.HasSeen(1, 3));
  EXPECT_TRUE(player.HasSeen(1, 5));
  EXPECT_FALSE(player.HasSeen(1, 2));

  CRealmView lost;
  setUp(lost);
  lost.battleResult = 2;
  lost.ApplyBattleResult();
  EXPECT_EQ(lost.realmState.active[1], 1);
  EXPECT_EQ(lost.realmState.OwnerOf(2), 1);
  EXPECT_EQ(lost.realmState.destinations[0], 1);
  EXPECT_EQ(lost.realmState.locations[0], 1);
  EXPECT_EQ(lost.realmState.movement[0].oldRegion, 2);
  EXPECT_EQ(lost.realmState.movement[0].countdown, 8);
  g_wizardTable.Clear();
}

TEST(RealmViewCampaign, TheBattleSetsTheResultAndALossInRegionOneLeavesTheCampaign) {
  CRealmView view;
  CRealmView* saved = g_realmView;
  g_realmView = &view;
  InstallRealmView();
  g_battleCampaign->SetBattleResult(kBattleResultRunning);
  EXPECT_EQ(view.battleResult, 2);
  g_battleCampaign->SetBattleResult(kBattleResultWon);
  EXPECT_EQ(view.battleResult, 1);
  view.battlePending = 1;
  g_battleCampaign->LeaveCampaign();
  EXPECT_EQ(view.leaveRequested, 1);
  EXPECT_EQ(view.battlePending, 0);
  g_battleCampaign.Install(nullptr);
  g_realmView = saved;
}

TEST(RealmViewCampaign, PointsScaleBetweenTheScreenAndTheMap) {
  CRealmView view;
  MakeRealm(view, 5, {});
  graphics_test::OpenDisplay low(true, false);
  int x = 400, y = 300;
  CRealmView::MapToScreen(x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  CRealmView::ScreenToMap(x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  EXPECT_EQ(view.RegionAt(x, y), 5);
}

class RealmViewScreen : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    g_wizardTable.Clear();
  }
  void TearDown() override {
    g_wizardTable.Clear();
    FrontEnd::TearDown();
  }
  // The forged Moorland with the guardian of region 1 beaten: the player owns region 1.
  void OpenMoorland() {
    StartCampaign(*g_realmView, "Moorland");
    CRealmState& s = g_realmView->realmState;
    s.active[1] = 0;
    s.regionOwners[0] = 0;
    g_realmTutorialStep = -1;
    Open(g_realmView);
    Frames(2);
  }
  // A click as the window delivers it: the button down and up again before the next frame.
  static void QueueClick(int x, int y) {
    QueueMouseEvent(0, x, y);
    QueueMouseEvent(platform::MK_LBUTTON, x, y);
    QueueMouseEvent(0, x, y);
  }
  // A region's flag on the screen.
  static std::pair<int, int> FlagOnScreen(int region) {
    int x = forge::Moorland().flagPoints[region - 1].x, y = forge::Moorland().flagPoints[region - 1].y + 20;
    CRealmView::MapToScreen(x, y);
    return {x, y};
  }
  void WritePcx(const std::string& name, int width, int height) {
    forge::IndexedPicture picture(width, height);
    picture.palette[0][2] = 255;
    picture.palette[1][0] = 255;
    for (int i = 0; i < width * 10; ++i) picture.indices[static_cast<size_t>(i)] = 1;
    const std::vector<uint8_t> bytes = forge::MakePcx(picture);
    std::ofstream("Interface/RealmViewer/Generic/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(RealmViewScreen, TheRegionsAreTheSilhouettesThatFollowEachOther) {
  for (int n : {1, 2, 3, 4, 5, 7}) WritePcx("Test_Silhouette_0" + std::to_string(n) + ".PCX", 800, 600);
  EXPECT_EQ(g_realmView->LoadRealm("Test"), 5);
  g_realmView->Unload();
  WritePcx("Test_Silhouette_03.PCX", 640, 480);  // not a whole map: as good as missing
  EXPECT_EQ(g_realmView->LoadRealm("Test"), 2);
  g_realmView->Unload();
  EXPECT_EQ(g_realmView->LoadRealm("Nowhere"), 0);
  EXPECT_FALSE(g_realmView->ArtLoaded());
}

TEST_F(RealmViewScreen, TheForgedMoorlandIsSevenRegionsWithRoadsBothWays) {
  ASSERT_EQ(g_realmView->LoadRealm("Moorland"), forge::kMoorlandRegions);
  const CRealmView& view = *g_realmView;
  for (int a = 1; a <= 7; ++a) {
    int neighbours = 0;
    for (int b = 1; b <= 7; ++b) {
      EXPECT_EQ(view.Adjacent(a, b), view.Adjacent(b, a)) << a << " " << b;
      neighbours += view.Adjacent(a, b);
    }
    EXPECT_GE(neighbours, 1) << a;
    EXPECT_EQ(view.RegionAt(view.flagPaths[a - 1].flagPoint.x, view.flagPaths[a - 1].flagPoint.y), a);
    for (const RealmPoint& slot : view.flagPaths[a - 1].startSlots) EXPECT_EQ(view.RegionAt(slot.x, slot.y), a);
  }
  // The last region lies beyond the first's neighbours.
  EXPECT_FALSE(view.Adjacent(1, forge::kMoorlandLastRegion));
  EXPECT_GE(view.FindNextStep(1, forge::kMoorlandLastRegion), 1);
}

TEST_F(RealmViewScreen, ANewCampaignOpensTheFirstRegionsEntryAtOnce) {
  StartCampaign(*g_realmView, "Moorland");
  Open(g_realmView);
  EXPECT_EQ(FramesUntilChange(), g_regionEntry);
  EXPECT_EQ(g_regionEntry->region, 1);
  EXPECT_EQ(g_regionEntry->elsewhere, 0);
  EXPECT_EQ(g_regionEntry->mode, CRegionEntryScreen::kFromRealmView);
  EXPECT_EQ(g_regionEntry->regionName, forge::MoorlandRegions()[0].name);
}

TEST_F(RealmViewScreen, ClickingAnothersRegionOpensItsEntryAndAnOwnOneSetsTheWay) {
  OpenMoorland();
  SaveFrame("realm_view_800.png");
  // Region 2, Cadoc's, beside the player's.
  auto [x, y] = FlagOnScreen(2);
  QueueClick(x, y);
  EXPECT_EQ(FramesUntilChange(), g_regionEntry);
  EXPECT_EQ(g_regionEntry->region, 2);
  EXPECT_EQ(g_regionEntry->elsewhere, 1);
  PopScreen();
  Frames(1);  // the art back
  // An own region: the player's destination, no screen.
  g_realmView->realmState.regionOwners[2] = 0;
  auto [ox, oy] = FlagOnScreen(3);
  QueueClick(ox, oy);
  Frames(1);
  EXPECT_EQ(g_currentScreen, g_realmView);
  EXPECT_EQ(g_realmView->realmState.destinations[0], 3);
}

TEST_F(RealmViewScreen, TheRealmEndsAtItsLastRegionAndTheNextOneLoads) {
  OpenMoorland();
  CRealmState& s = g_realmView->realmState;
  s.locations[0] = s.destinations[0] = forge::kMoorlandLastRegion;
  s.regionOwners[forge::kMoorlandLastRegion - 1] = 0;
  Frames(3);
  EXPECT_EQ(g_realmView->state, CRealmView::kRealmFinished);
  Frames(3);
  EXPECT_EQ(g_realmView->state, CRealmView::kRealmFinished);  // no next realm: it waits
  std::snprintf(s.nextRealm, sizeof s.nextRealm, "realms\\moorland\\moorland.cfg");
  Frames(1);
  EXPECT_EQ(g_realmView->state, CRealmView::kMap);
  EXPECT_STREQ(g_realmName, "moorland");
  EXPECT_EQ(s.locations[0], 1);  // the realm's start file again
  EXPECT_FALSE(g_realmView->ArtLoaded());
}

TEST_F(RealmViewScreen, TheTutorialShowsItsBoxesAndEndsAtTheFirstIncompleteOne) {
  OpenMoorland();
  g_realmTutorialStep = 0;
  Frames(1);
  ASSERT_TRUE(g_realmView->tutorialBox);
  SaveFrame("realm_view_tutorial_800.png");
  QueueClick(400, 300);
  Frames(1);
  // The click closed the first box, and the second came up.
  EXPECT_EQ(g_realmTutorialStep, 1);
  EXPECT_TRUE(g_realmView->tutorialBox);
  // A first dialogue without its speech ends the tutorial.
  std::ofstream("Interface/RealmViewer/tutorial.cfg") << "[DIALOG_0]\nName=Edric\n";
  g_realmTutorialStep = 0;
  Frames(2);
  EXPECT_EQ(g_realmTutorialStep, -1);
  EXPECT_FALSE(g_realmView->tutorialBox);
}

}  // namespace
