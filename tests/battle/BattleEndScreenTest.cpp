// The screens of a battle's end on the forged data: the victory and defeat screens with their
// awards, total and reason (pictured at both resolutions), a region without a title, the
// results of a quick battle ranked by score with the battle running on underneath and its
// Leave button, a campaign battle whose victory brings the end screen on its 121st frame, and
// the Experience Processing screen over a stand-in of the learning store.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "ai/Brain.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleEndExperience.h"
#include "battle/BattleEndScreen.h"
#include "battle/BattleKeys.h"
#include "battle/QuickBattleEndScreen.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "creatures/Armies.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "net/NetBattle.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/Window.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"

using namespace panel_test;

namespace {

// Nine awards (two more than the screen has rows for) and the script's total.
struct Awards : IBattleEndFacts {
  std::vector<BattleAward> awards;
  std::string realm = "moorland";
  int region = 2;
  int AwardCount() override { return static_cast<int>(awards.size()); }
  BattleAward Award(int index) override { return awards[static_cast<size_t>(index)]; }
  int TotalExperience() override { return 900; }
  std::string RealmName() override { return realm; }
  int Region() override { return region; }
};

Awards NineAwards() {
  Awards facts;
  const char* deeds[9] = {"Held the stone circle", "Slew the enemy wizard", "Lost no creature",
                          "Took the artefact",     "Won before nightfall",  "Freed the prisoners",
                          "Kept the keep",         "An eighth deed",        "A ninth deed"};
  for (int i = 0; i < 9; ++i) facts.awards.push_back({deeds[i], 10 * (i + 1), i == 3 ? 4 : -1});
  return facts;
}

void SaveScreen(const char* name, int width, int height, CSurface& surface = g_backBuffer) {
  const std::string path = testing_support::TestOutputDir() + "/" + name;
  EXPECT_TRUE(testing_support::WritePng565(path, width, height, graphics_test::Pixels(surface)));
  std::printf("%s: %s\n", name, path.c_str());
}

class EndScreens : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
    saved_ = g_battle;
    g_battle = &battle_;
  }
  void TearDown() override {
    g_battle = saved_;
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }
  InFolder data_{testing_support::ForgedDataDir()};
  CBattle battle_;
  CBattle* saved_ = nullptr;
};

TEST_F(EndScreens, VictoryShowsSevenOfNineAwardsAndTheirWholeSum) {
  Awards facts = NineAwards();
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, facts);
  CBattleEndScreen& screen = battle_.endScreen;
  screen.won = 1;
  screen.Enter();
  EXPECT_STREQ(screen.heading, "Victory  ( The Keep of Cadoc )");
  EXPECT_EQ(screen.Label(2).text, "Held the stone circle");
  EXPECT_EQ(screen.Label(3).text, "10");
  EXPECT_EQ(screen.Label(14).text, "Kept the keep");
  EXPECT_EQ(screen.Label(15).text, "70");
  EXPECT_EQ(screen.Label(16).text, "Experience gained");  // the layout's caption stays
  EXPECT_EQ(screen.Label(17).text, "450");                // all nine count
  EXPECT_EQ(screen.Label(18).text, "/ 900");
  EXPECT_FALSE(screen.LabelShown(CBattleEndScreen::kReasonLabel));
  EXPECT_EQ(screen.lastItemAward, 3);
  EXPECT_TRUE(screen.itemsSprite.IsLoaded());
  screen.Draw();
  SaveScreen("battle_end_victory.png", 800, 600);
  // The button closes the screen.
  ASSERT_NE(screen.controls.Focused(), nullptr);
  screen.controls.Focused()->onLeftClick->Invoke(CBattleEndScreen::kButtonControl);
  EXPECT_EQ(screen.closeRequested, 1);
  screen.Exit();
}

TEST_F(EndScreens, DefeatShowsNoPointsAndTheReason) {
  Awards facts = NineAwards();
  facts.awards.resize(2);
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, facts);
  char reason[256];
  std::snprintf(reason, sizeof reason, GetDefeatMessage(1), "Edric");
  SetBattleEndMessage(reason);
  CBattleEndScreen& screen = battle_.endScreen;
  screen.won = 0;
  screen.Enter();
  EXPECT_STREQ(screen.heading, "Defeat  ( The Keep of Cadoc )");
  EXPECT_EQ(screen.Label(3).text, "0");
  EXPECT_EQ(screen.Label(5).text, "0");
  EXPECT_EQ(screen.Label(6).text, "");   // no third award
  EXPECT_EQ(screen.Label(17).text, "");  // no sum on a defeat
  EXPECT_TRUE(screen.LabelShown(CBattleEndScreen::kReasonLabel));
  EXPECT_EQ(screen.Label(19).text, "Edric has been slain, and the battle is lost.");
  screen.Draw();
  SaveScreen("battle_end_defeat.png", 800, 600);
  screen.Exit();
}

TEST_F(EndScreens, ARegionWithoutATitleAndARealmWithoutTexts) {
  Awards facts;
  facts.region = 9;
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, facts);
  battle_.endScreen.won = 1;
  battle_.endScreen.Enter();
  EXPECT_STREQ(battle_.endScreen.regionTitle, "[ ERROR: title text not found ! ]");
  battle_.endScreen.Exit();
  facts.realm = "nowhere";
  battle_.endScreen.won = 0;
  battle_.endScreen.Enter();
  EXPECT_STREQ(battle_.endScreen.heading, "Defeat  ( [ ERROR: title text not found ! ] )");
  battle_.endScreen.Exit();
}

class EndScreensLowRes : public EndScreens {
 protected:
  void SetUp() override {
    highRes_ = false;
    EndScreens::SetUp();
  }
};

TEST_F(EndScreensLowRes, BothScreensAt640x480) {
  Awards facts = NineAwards();
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, facts);
  battle_.endScreen.won = 1;
  battle_.endScreen.Enter();
  battle_.endScreen.Draw();
  SaveScreen("battle_end_victory_640.png", 640, 480);
  battle_.endScreen.Exit();
}

// --- the results screen --------------------------------------------------------------------

void FillSlots() {
  ResetPlayerSlots();
  const struct {
    const char* name;
    int portrait, kills, deaths, handicap, score;
  } players[4] = {{"Morgana", 3, 4, 1, 50, 120},
                  {"No Player", -1, 0, 0, -1, 0},
                  {"Edric", 0, 7, 0, 100, 120},
                  {"Tam", 5, 2, 3, 0, 300}};
  for (int i = 0; i < 4; ++i) {
    CPlayerSlot& slot = g_playerSlots[i];
    slot.SetName(players[i].name);
    slot.portrait = players[i].portrait;
    slot.kills = players[i].kills;
    slot.deaths = players[i].deaths;
    slot.handicap = players[i].handicap;
    slot.score = players[i].score;
  }
}

// The rows rank by the score they show: a handicapped player's doubled score places it.
TEST(ResultsRows, RankedByTheScoreShownWithTiesInSlotOrderAndEmptyPlacesLeftOut) {
  FillSlots();
  ResultsRow rows[kPlayerSlotCount];
  ASSERT_EQ(RankPlayerSlots(g_playerSlots, rows), 3);
  EXPECT_EQ(rows[0].name, "Tam");
  EXPECT_EQ(rows[0].adjustedScore, 300);
  EXPECT_EQ(rows[1].name, "Edric");
  EXPECT_EQ(rows[1].adjustedScore, 240);  // a handicap of 100 doubles
  EXPECT_EQ(rows[2].name, "Morgana");
  EXPECT_EQ(rows[2].adjustedScore, 120);  // 50 / 100 + 1 = 1

  g_playerSlots[0].score = 240;  // Morgana now shows Edric's 240 and sits in the earlier slot
  ASSERT_EQ(RankPlayerSlots(g_playerSlots, rows), 3);
  EXPECT_EQ(rows[1].name, "Morgana");
  EXPECT_EQ(rows[2].name, "Edric");
  ResetPlayerSlots();
}

TEST_F(EndScreens, TheResultsShowTheRankedPlayersAndTheirButtons) {
  FillSlots();
  CQuickBattleEndScreen& screen = QuickBattleEndScreen();
  struct Case {
    int returned, hasArmy;
    bool button0, button1;
  } cases[] = {{1, 1, false, false}, {0, 1, false, true}, {0, 0, true, false}};
  for (const Case& c : cases) {
    screen.returned = static_cast<uint8_t>(c.returned);
    screen.hasArmy = static_cast<uint8_t>(c.hasArmy);
    screen.Load();
    EXPECT_EQ(screen.Button(0) != nullptr, c.button0);
    EXPECT_EQ(screen.Button(1) != nullptr, c.button1);
    ASSERT_NE(screen.Button(2), nullptr);
    EXPECT_EQ(screen.controls.Focused(), screen.Button(2));
    screen.Unload();
  }
  screen.returned = 0;
  screen.hasArmy = 1;
  screen.Load();
  const int first = CQuickBattleEndScreen::kFirstRowLabel;
  EXPECT_EQ(screen.Label(first).text, "Tam");
  EXPECT_EQ(screen.Label(first + 4).text, "300");
  EXPECT_EQ(screen.Label(first + 5).text, "Edric");
  EXPECT_EQ(screen.Label(first + 6).text, "7");
  EXPECT_EQ(screen.Label(first + 9).text, "240");
  EXPECT_EQ(screen.Label(first + 10).text, "Morgana");
  EXPECT_EQ(screen.Label(first + 15).text, "");  // the fourth row is empty
  EXPECT_EQ(screen.Picture(0).frame, 27 + 3 * 5);
  EXPECT_EQ(screen.Picture(1).frame, 27);
  EXPECT_EQ(screen.Picture(3).frame, -1);
  screen.Draw();
  SaveScreen("quick_battle_end.png", 800, 600);
  screen.OnButton(1);
  EXPECT_EQ(screen.closeRequested, 1);
  EXPECT_EQ(battle_.quitRequested, 0);
  screen.OnButton(2);
  EXPECT_EQ(battle_.quitRequested, 1);
  screen.Unload();
  ResetPlayerSlots();
}

// Once the battle is over the results offer Leave Battle alone: no plate stands where the way
// back to the battle was, and a row without a player shows no portrait's rim.
TEST_F(EndScreens, OverResultsLeaveNoEmptyButtonOrPortraitBehind) {
  FillSlots();  // three players: the fourth row is empty
  CQuickBattleEndScreen& screen = QuickBattleEndScreen();
  const struct {
    int returned;
    bool backButton;
  } cases[] = {{1, false}, {0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.returned);
    screen.returned = static_cast<uint8_t>(c.returned);
    screen.hasArmy = 1;
    screen.Load();
    screen.Draw();
    const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
    // Pixels in a rectangle of the 800 x 600 screen that pass a test of their colour.
    auto count = [&](int left, int top, int right, int bottom, auto&& test) {
      int n = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
          const uint16_t p = pixels[static_cast<size_t>(y) * 800 + x];
          n += test((p >> 11) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3);
        }
      return n;
    };
    auto pale = [](int r, int g, int b) { return r + g + b > 500; };
    const int backPlate = count(90, 530, 330, 570, pale), leavePlate = count(470, 530, 710, 570, pale);
    EXPECT_GT(leavePlate, 4000);
    if (c.backButton)
      EXPECT_GT(backPlate, 4000);
    else
      EXPECT_EQ(backPlate, 0);
    // The fourth row's portrait place: 168 + 3 x 86 = 426 down.
    const int rim = count(84, 420, 160, 496, [](int r, int g, int b) { return r > 60 && r > b + 30 && g > b; });
    EXPECT_EQ(rim, 0);
    if (c.returned) SaveScreen("quick_battle_end_over.png", 800, 600);
    screen.Unload();
  }
  ResetPlayerSlots();
}

// --- with the battle running ---------------------------------------------------------------

class EndScreensOverABattle : public EndScreens {
 protected:
  void SetUp() override {
    EndScreens::SetUp();
    ResetScreenStack();
    g_screenStack[1] = &caller_;
    g_screenStack[2] = &battle_;
    g_screenCount = 2;
    g_currentScreen = &battle_;
    InstallBattle();
    SetUpDefaultArmies();
    g_skipThisFrame = 1;
    ASSERT_TRUE(StartSinglePlayerNet("Edric"));
    battle_.loaded = 1;
    battle_.graphicsFreed = 1;
  }
  void TearDown() override {
    EndNetBattle();
    UninstallBattle();
    ResetScreenStack();
    g_skipThisFrame = 0;
    g_gameMode = 0;
    g_armyTable.ResetAll();
    BattleState().gameTick = 0;
    platform::ClearMessageQueue();
    EndScreens::TearDown();
  }
  void Frames(int n) {
    for (int i = 0; i < n && g_currentScreen; ++i) g_currentScreen->Update();
  }
  struct Caller : CScreen {
    void Update() override {}
    int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
  } caller_;
};

TEST_F(EndScreensOverABattle, TheBattleRunsOnUnderTheResultsUntilItIsLeft) {
  FillSlots();
  g_gameMode = kGameModeQuickBattle;
  Frames(3);
  battle_.OnMessage(nullptr, platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
  CQuickBattleEndScreen& results = QuickBattleEndScreen();
  ASSERT_EQ(g_currentScreen, &results);
  EXPECT_EQ(results.returned, 0);
  EXPECT_EQ(results.hasArmy, 1);
  EXPECT_NE(results.Button(1), nullptr);
  const int frame = battle_.frameNumber;
  Frames(10);
  EXPECT_EQ(g_currentScreen, &results);
  EXPECT_EQ(battle_.frameNumber, frame + 10);  // the battle went on underneath
  results.OnButton(2);                         // Leave Battle
  Frames(1);
  EXPECT_EQ(g_currentScreen, &battle_);
  Frames(1);
  EXPECT_EQ(g_currentScreen, &caller_);
  ResetPlayerSlots();
}

// A quick battle the computers finished puts its results up once before it is left (where a
// battle of another kind pops straight back): Leave Battle alone, then the battle leaves.
TEST_F(EndScreensOverABattle, AQuickBattleLeftToTheComputersShowsItsResultsBeforeItEnds) {
  FillSlots();
  g_gameMode = kGameModeQuickBattle;
  const int activeAI = g_activeAI;
  g_activeAI = 0;  // no computer player runs: nothing is left to finish
  Frames(2);
  g_aiOnlyEnd = 1;
  Frames(1);
  CQuickBattleEndScreen& results = QuickBattleEndScreen();
  ASSERT_EQ(g_currentScreen, &results);
  EXPECT_EQ(results.returned, 1);
  EXPECT_EQ(battle_.finalResultsShown, 1);
  const int frame = battle_.frameNumber;
  Frames(5);
  EXPECT_EQ(g_currentScreen, &results);
  EXPECT_EQ(battle_.frameNumber, frame);  // the battle is over: it runs no more
  results.OnButton(2);                    // Leave Battle
  Frames(1);
  EXPECT_EQ(g_currentScreen, &battle_);
  Frames(1);
  EXPECT_EQ(g_currentScreen, &caller_);
  g_aiOnlyEnd = 0;
  g_activeAI = activeAI;
  ResetPlayerSlots();
}

TEST_F(EndScreensOverABattle, ACampaignVictoryBringsTheEndScreenOnThe121stFrame) {
  Awards facts = NineAwards();
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, facts);
  g_gameMode = kGameModeCampaign;
  battle_.endCountdownEnabled = 1;
  Frames(5);
  battle_.victoryReached = 1;  // an effect saw the victory
  int frames = 0;
  while (g_currentScreen == &battle_ && frames < 200) {
    Frames(1);
    ++frames;
  }
  EXPECT_EQ(frames, 121);  // the 121st frame asks for the end and shows it
  ASSERT_EQ(g_currentScreen, &battle_.endScreen);
  EXPECT_EQ(battle_.endScreen.won, 1);
  EXPECT_EQ(battle_.endScreen.Label(17).text, "450");
  battle_.endScreen.controls.Focused()->onLeftClick->Invoke(CBattleEndScreen::kButtonControl);
  Frames(1);  // the end screen closes
  EXPECT_EQ(g_currentScreen, &battle_);
  Frames(1);  // and the battle leaves
  EXPECT_EQ(g_currentScreen, &caller_);
}

// --- Experience Processing -----------------------------------------------------------------

// The battle's complete experience, three records of one decision key.
void GatherExperience() {
  float chances[3];
  g_brain.Evaluate(7, {1, 2}, 3, chances);
  for (int outcome = 0; outcome < 3; ++outcome)
    g_brain.CompleteExperience(g_brain.AddExperience(7, {outcome, 2 * outcome}), outcome);
}

TEST_F(EndScreens, ExperienceProcessingDigestsTheBattleBehindTheProgressBar) {
  testing_support::ForgedDataCopy copy;  // the store writes its files beside the data
  char savedRealm[256];
  std::memcpy(savedRealm, g_realmName, sizeof savedRealm);
  std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");  // the progress bar's art
  g_brain.Reset();
  g_brain.SetLearning(true);
  GatherExperience();
  RunExperienceProcessing();
  SaveScreen("experience_processing.png", 800, 600, g_primary);
  EXPECT_EQ(platform::FileSize("AI/EXPERIEN.DAT"), 3 * (16 + 2 * 4));
  CBrain saved;
  ASSERT_EQ(saved.Load("AI/BRAIN.DAT"), 0);
  ASSERT_EQ(saved.Table().count(7), 1u);
  EXPECT_NEAR(saved.Table().at(7).classes[1].prior, 1.0f / 3.0f, 1e-3f);  // near: newer weighs more
  EXPECT_EQ(g_progressBar.stepsDone, kExperienceSteps);
  EXPECT_FALSE(g_progressBar.picture.IsCreated());  // finished: released
  EXPECT_FALSE(g_brain.ExperienceFileExists());

  // Nothing new to digest: no screen, the brain file stays as it is.
  const int64_t brainTime = platform::FileWriteTime("AI/BRAIN.DAT");
  g_progressBar.stepsDone = 0;
  RunExperienceProcessing();
  EXPECT_EQ(g_progressBar.stepsDone, 0);
  EXPECT_EQ(platform::FileWriteTime("AI/BRAIN.DAT"), brainTime);

  // A battle that does not learn lets its experience go and touches no file.
  g_brain.SetLearning(false);
  GatherExperience();
  RunExperienceProcessing();
  EXPECT_EQ(platform::FileSize("AI/EXPERIEN.DAT"), 3 * (16 + 2 * 4));
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceFree);
  EXPECT_EQ(g_progressBar.stepsDone, 0);
  g_brain.SetLearning(true);
  g_brain.Reset();
  std::memcpy(g_realmName, savedRealm, sizeof savedRealm);
}

}  // namespace
