// Saving and loading a campaign in the real program, led by a script: the first region's battle
// won, the realm view's mini menu saves the game as "castle", quitting returns to the main
// menu, whose Load Game lists it and loads it back into the realm view. And the battle options
// switch the running program to 640 x 480 and back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "forge/BattleEndLayouts.h"
#include "forge/CampaignMenus.h"
#include "forge/FrontEndLayouts.h"
#include "forge/MiniMenuArt.h"
#include "forge/MoorlandRealm.h"
#include "forge/SetupScreenLayouts.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using e2e::ScreenIds;
using forge::WidgetKind;
using testing_support::ReadText;

// Whether the ids hold the sequence in order (other ids may lie between).
bool HoldsInOrder(const std::vector<int>& ids, const std::vector<int>& sequence) {
  size_t next = 0;
  for (int id : ids)
    if (next < sequence.size() && id == sequence[next]) ++next;
  return next == sequence.size();
}

class SaveLoadRoad : public e2e::ProgramRoad {
 protected:
  void Run(const std::string& road) {
    std::ofstream(dir_.File("cfg/prefs.cfg")) << "[VIDEO]\nIsHighRes=TRUE\nMaxFramesPerSec=100\n";
    std::ofstream(dir_.File("road.txt")) << road;
    const int status =
        std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win", 240).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  }
  std::vector<uint8_t> Frame(const std::string& name, int width, int height) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
    EXPECT_EQ(w, width) << name;
    EXPECT_EQ(h, height) << name;
    if (w > 0) KeepPicture(name, "save_load_road_" + name);
    return rgb;
  }
};

TEST_F(SaveLoadRoad, ACampaignSavedFromTheMiniMenuLoadsBackFromTheMainMenu) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                            won = forge::BattleEndLayout(true), mini = forge::MiniMenuLayout(),
                            save = forge::SaveGameLayout(), load = forge::LoadGameLayout();
  const int rx = forge::Moorland().flagPoints[4].x, ry = forge::Moorland().flagPoints[4].y + 16;
  std::ostringstream road;
  road << "log screens.txt\n1 seed 4242\n"
       << "4 click " << Point(main, WidgetKind::kTextButton, 1, true) << "\n"
       << "31 click " << Point(region, WidgetKind::kTextButton, 1, true) << "\n"
       << "61 battle won\n"
       << "201 click " << Point(won, WidgetKind::kTextButton, 1, true) << "\n";
  for (int frame = 241; frame < 261; frame += 5) road << frame << " click " << rx << " " << ry << "\n";
  road << "280 png realm_saved.png\n"
       << "281 key ESCAPE\n"
       << "290 png mini.png\n"
       << "291 click " << Point(mini, WidgetKind::kTextButton, 2, true) << "\n"  // Save Game
       << "310 click " << Point(save, WidgetKind::kEditBox, 1, true) << "\n";
  int frame = 312;
  for (char c : std::string("castle")) road << frame++ << " key " << c << "\n";
  road << "320 png save.png\n"
       << "321 key RETURN\n"
       << "360 key ESCAPE\n"
       << "370 click " << Point(mini, WidgetKind::kTextButton, 4, true) << "\n"  // Quit
       << "420 click " << Point(main, WidgetKind::kTextButton, 2, true) << "\n"  // Load Game
       << "445 png load.png\n"
       << "446 click " << Point(load, WidgetKind::kTextButton, 1, true) << "\n"
       << "500 png loaded.png\n"
       << "501 key ESCAPE\n"
       << "510 click " << Point(mini, WidgetKind::kTextButton, 4, true) << "\n"  // Quit again
       << "560 png main_again.png\n"
       << "561 close\n";
  Run(road.str());
  const std::string log = ReadText(dir_.File("screens.txt"));
  std::vector<int> ids = ScreenIds(log);
  // The mini menu (20) opens the save screen (16) and closes with it; Quit leaves the realm view
  // (4) for the main menu (3), whose Load Game (15) leads back to the realm view; quitting that
  // campaign reaches the main menu again, not the realm view once more.
  EXPECT_TRUE(HoldsInOrder(ids, {3, 4, 21, 4, 2, 6, 2, 4, 20, 16, 4, 20, 3, 15, 3, 4, 20, 3})) << log;
  while (!ids.empty() && (ids.back() == 0 || ids.back() == 1)) ids.pop_back();  // the end: the root, then none
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids.back(), 3) << log;
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Save/castle.sav")));
  for (const char* name : {"mini.png", "save.png", "load.png", "main_again.png"}) Frame(name, 800, 600);
  // The realm as it was saved: the loaded view shows the same map as the saved one, flags and all.
  const std::vector<uint8_t> saved = Frame("realm_saved.png", 800, 600), loaded = Frame("loaded.png", 800, 600);
  ASSERT_EQ(saved.size(), loaded.size());
  size_t same = 0;
  for (size_t i = 0; i < saved.size(); i += 3)
    same += std::abs(saved[i] - loaded[i]) + std::abs(saved[i + 1] - loaded[i + 1]) +
                std::abs(saved[i + 2] - loaded[i + 2]) <
            24;
  EXPECT_GT(same, saved.size() / 3 * 9 / 10) << "the loaded realm view differs from the saved one";
}

TEST_F(SaveLoadRoad, TheOptionsSwitchTheRunningProgramTo640x480AndBack) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), options = forge::BattleOptionsLayout();
  std::ostringstream road;
  road << "log screens.txt\n"
       << "4 click " << Point(main, WidgetKind::kTextButton, 5, true) << "\n"
       << "25 png options_800.png\n"
       << "26 click " << Point(options, WidgetKind::kRadioButton, 2, true) << "\n"  // 640 x 480
       << "30 click " << Point(options, WidgetKind::kTextButton, 1, true) << "\n"   // Accept
       << "55 png main_640.png\n"
       << "56 click " << Point(main, WidgetKind::kTextButton, 5, false) << "\n"
       << "80 png options_640.png\n"
       << "81 click " << Point(options, WidgetKind::kRadioButton, 1, false) << "\n"  // 800 x 600
       << "85 click " << Point(options, WidgetKind::kTextButton, 1, false) << "\n"
       << "110 png main_800.png\n"
       << "111 close\n";
  Run(road.str());
  const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
  EXPECT_TRUE(HoldsInOrder(ids, {3, 10, 3, 10, 3})) << ReadText(dir_.File("screens.txt"));
  Frame("options_800.png", 800, 600);
  Frame("main_640.png", 640, 480);
  Frame("options_640.png", 640, 480);
  Frame("main_800.png", 800, 600);
  EXPECT_NE(ReadText(dir_.File("cfg/prefs.cfg")).find("IsHighRes=TRUE"), std::string::npos);
}

// Under a running campaign battle: Escape opens the mini menu, its Options switch to 640 x 480,
// and the battle goes on at the new size with its panels reloaded, then is won as usual.
TEST_F(SaveLoadRoad, TheOptionsSwitchTheResolutionUnderARunningBattle) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                            mini = forge::MiniMenuLayout(), options = forge::BattleOptionsLayout();
  std::ostringstream road;
  road << "log screens.txt\n1 seed 4242\n"
       << "4 click " << Point(main, WidgetKind::kTextButton, 1, true) << "\n"
       << "31 click " << Point(region, WidgetKind::kTextButton, 1, true) << "\n"
       << "70 png battle_800.png\n"
       << "71 key ESCAPE\n"
       << "80 click " << Point(mini, WidgetKind::kTextButton, 3, true) << "\n"  // Options
       << "100 click " << Point(options, WidgetKind::kRadioButton, 2, true) << "\n"
       << "104 click " << Point(options, WidgetKind::kRadioButton, 11, true) << "\n"  // above the panel
       << "108 click " << Point(options, WidgetKind::kTextButton, 1, true) << "\n"
       << "150 png battle_640.png\n"
       << "151 battle won\n"
       << "290 png won_640.png\n"
       << "291 close\n";
  Run(road.str());
  const std::string log = ReadText(dir_.File("screens.txt"));
  EXPECT_TRUE(HoldsInOrder(ScreenIds(log), {3, 4, 21, 4, 2, 20, 10, 2, 6})) << log;
  Frame("battle_800.png", 800, 600);
  const std::vector<uint8_t> battle = Frame("battle_640.png", 640, 480);
  // The battle view ends above the panel: the bottom rows are the panel's, not black.
  size_t lit = 0;
  for (size_t i = 640 * 400 * 3; i < battle.size(); i += 3) lit += battle[i] + battle[i + 1] + battle[i + 2] > 60;
  EXPECT_GT(lit, 640u * 80 / 10) << "no panel under the battle view";
  Frame("won_640.png", 640, 480);
  EXPECT_NE(ReadText(dir_.File("cfg/prefs.cfg")).find("IsHighRes=FALSE"), std::string::npos);
}

// A battle saved with F2 while it runs: quitting it through the mini menu loses it (which ends
// the campaign at the first region), and Load Game on the main menu brings the battle back,
// through the realm view, at once.
TEST_F(SaveLoadRoad, ABattleSavedWithF2GoesOnWhenLoaded) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                            mini = forge::MiniMenuLayout(), lost = forge::BattleEndLayout(false),
                            load = forge::LoadGameLayout();
  std::ostringstream road;
  road << "log screens.txt\n1 seed 4242\n"
       << "4 click " << Point(main, WidgetKind::kTextButton, 1, true) << "\n"
       << "31 click " << Point(region, WidgetKind::kTextButton, 1, true) << "\n"
       << "70 key F2\n"
       << "85 click " << Point(forge::SaveGameLayout(), WidgetKind::kEditBox, 1, true) << "\n";
  int frame = 90;
  for (char c : std::string("fight")) road << frame++ << " key " << c << "\n";
  road << "100 key RETURN\n"
       << "130 png battle_saved.png\n"
       << "131 key ESCAPE\n"
       << "145 click " << Point(mini, WidgetKind::kTextButton, 4, true) << "\n"  // Quit: the battle is lost
       << "330 click " << Point(lost, WidgetKind::kTextButton, 1, true) << "\n"
       << "400 click " << Point(main, WidgetKind::kTextButton, 2, true) << "\n"  // Load Game
       << "425 png load_fight.png\n"
       << "426 click " << Point(load, WidgetKind::kTextButton, 1, true) << "\n"
       << "480 png battle_loaded.png\n"
       << "481 close\n";
  Run(road.str());
  const std::string log = ReadText(dir_.File("screens.txt"));
  // The save screen (16) over the battle, the mini menu (20), the defeat (6), the main menu
  // (3) when the campaign ends; the load screen (15), then the realm view (4) and the battle.
  EXPECT_TRUE(HoldsInOrder(ScreenIds(log), {3, 4, 21, 4, 2, 16, 2, 20, 2, 6, 3, 15, 3, 4, 2})) << log;
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Save/fight.sav")));
  for (const char* name : {"battle_saved.png", "load_fight.png", "battle_loaded.png"}) Frame(name, 800, 600);
}

#endif

}  // namespace
