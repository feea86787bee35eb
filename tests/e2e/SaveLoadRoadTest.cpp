// Saving and loading a campaign in the real program, led by a script: the first region's battle
// won, the realm view's mini menu saves the game as "castle", quitting returns to the main
// menu, whose Load Game lists it and loads it back into the realm view; a battle saved with F2 and
// loaded by another run goes on as the battle never saved. And the battle options switch the
// running program to 640 x 480 and back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
  void Run(const std::string& road, const std::string& environment = "") {
    std::ofstream(dir_.File("cfg/prefs.cfg")) << "[VIDEO]\nIsHighRes=TRUE\nMaxFramesPerSec=100\n";
    std::ofstream(dir_.File("road.txt")) << road;
    const int status = std::system(
        Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt " + environment, "/win", 240).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  }
  // The data folder as forged again: what a run wrote (the saved games, the traces) is gone, so
  // that each run starts alike.
  void FreshData() {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) std::filesystem::remove_all(entry.path());
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // The computer players switched off in the options file: a loaded battle starts its
  // controllers afresh (their groups and decisions are not part of a saved game), so with them
  // on a loaded battle parts from the one never saved at their first decision.
  void WithoutComputerPlayers() {
    std::string options = ReadText(dir_.File("cfg/vrask.cfg"));
    const size_t at = options.find("[DEBUG]\n");
    ASSERT_NE(at, std::string::npos);
    options.insert(at + 8, "ActiveAI=FALSE\n");
    std::ofstream(dir_.File("cfg/vrask.cfg")) << options;
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
// and the battle goes on at the new size with its panels reloaded (the sighting icons kept), then
// is won as usual.
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
  const std::vector<uint8_t> before = Frame("battle_800.png", 800, 600);
  const std::vector<uint8_t> battle = Frame("battle_640.png", 640, 480);
  // The sighting icons showing before the switch show after it, in the column of 640 x 480: their
  // creatures are still in sight, and no new sighting would bring them back.
  auto iconRims = [](const std::vector<uint8_t>& rgb, int width) {
    int n = 0;
    for (int y = 100; y < 280; ++y)
      for (int x = width - 72; x < width; ++x) {
        const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
        n += p[0] > 150 && p[1] > 110 && p[2] < 90 && p[0] > p[2] + 80;  // the icons' gold rims
      }
    return n;
  };
  ASSERT_GT(iconRims(before, 800), 500) << "no sighting icons before the switch";
  EXPECT_GT(iconRims(battle, 640), iconRims(before, 800) / 2) << "the sighting icons were lost";
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

// The frame trace's lines by battle tick, each cut to what the battle computed in the tick: the
// frame number (a run's own count) and the computer players' controllers (started afresh by a
// load, and switched off here) left out. The first tick a run traces has no earlier places to
// count moves against, so its counts are left out too.
std::map<int, std::string> TraceByTick(const std::string& trace) {
  std::map<int, std::string> byTick;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t at = line.find(" tick ");
    if (line.rfind("frame ", 0) != 0 || at == std::string::npos) continue;
    const int tick = std::atoi(line.c_str() + at + 6);
    const size_t end = line.find(byTick.empty() ? " army0 " : " ai0 ");
    byTick[tick] += line.substr(at, end == std::string::npos ? std::string::npos : end - at) + "\n";
  }
  return byTick;
}

// A campaign battle saved with F2 at tick K, then loaded from the main menu by a fresh run of the
// program, reaches tick M with the frame trace of a run that never saved; and the run that saved
// goes on as if it had not. The battle's creatures act by their own behaviour and its script.
TEST_F(SaveLoadRoad, ABattleLoadedByAnotherRunGoesOnAsOneNeverSaved) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                            load = forge::LoadGameLayout();
  std::ostringstream start;
  start << "log screens.txt\n1 seed 4242\n"
        << "4 click " << Point(main, WidgetKind::kTextButton, 1, true) << "\n"
        << "31 click " << Point(region, WidgetKind::kTextButton, 1, true) << "\n";
  // Never saved.
  WithoutComputerPlayers();
  Run(start.str() + "400 close\n", "VRASK_BATTLE_TRACE=trace.txt");
  const std::map<int, std::string> never = TraceByTick(ReadText(dir_.File("trace.txt")));
  // Saved with F2 on the way.
  FreshData();
  WithoutComputerPlayers();
  std::ostringstream saving;
  saving << start.str() << "90 key F2\n"
         << "105 click " << Point(forge::SaveGameLayout(), WidgetKind::kEditBox, 1, true) << "\n"
         << "110 key k\n"
         << "111 key RETURN\n"
         << "400 close\n";
  Run(saving.str(), "VRASK_BATTLE_TRACE=trace.txt");
  ASSERT_TRUE(std::filesystem::exists(dir_.File("Save/k.sav")));
  const std::map<int, std::string> saved = TraceByTick(ReadText(dir_.File("trace.txt")));
  const std::string savedGame = ReadText(dir_.File("Save/k.sav"));
  // Loaded by a fresh run.
  FreshData();
  WithoutComputerPlayers();
  std::filesystem::create_directories(dir_.File("Save"));
  std::ofstream(dir_.File("Save/k.sav"), std::ios::binary) << savedGame;
  std::ostringstream loading;
  loading << "log screens.txt\n"
          << "4 click " << Point(main, WidgetKind::kTextButton, 2, true) << "\n"  // Load Game
          << "25 click " << Point(load, WidgetKind::kTextButton, 1, true) << "\n"
          << "300 png battle_loaded_k.png\n"
          << "301 close\n";
  Run(loading.str(), "VRASK_BATTLE_TRACE=trace.txt");
  EXPECT_TRUE(HoldsInOrder(ScreenIds(ReadText(dir_.File("screens.txt"))), {3, 15, 3, 4, 2}))
      << ReadText(dir_.File("screens.txt"));
  const std::map<int, std::string> loaded = TraceByTick(ReadText(dir_.File("trace.txt")));
  ASSERT_FALSE(loaded.empty());
  ASSERT_FALSE(never.empty());
  const int first = loaded.begin()->first, last = loaded.rbegin()->first;
  // The battle was saved well into its run, and the loaded one went on for a good while.
  EXPECT_GT(first, 20);
  ASSERT_GT(last, first + 100);
  ASSERT_GE(never.rbegin()->first, last) << "the run never saved ran as far";
  int compared = 0;
  for (const auto& [tick, lines] : loaded) {
    ASSERT_EQ(never.count(tick), 1u) << tick;
    if (tick == first)  // traced without its counts of moves and blows
      ASSERT_EQ(never.at(tick).rfind(lines.substr(0, lines.size() - 1), 0), 0u) << lines << never.at(tick);
    else
      ASSERT_EQ(lines, never.at(tick)) << "tick " << tick << " of the loaded battle";
    ++compared;
  }
  EXPECT_EQ(compared, last - first + 1);
  // The run that saved went on as one never saved too.
  for (const auto& [tick, lines] : saved)
    if (never.count(tick)) ASSERT_EQ(lines, never.at(tick)) << "tick " << tick << " of the saving run";
  Frame("battle_loaded_k.png", 800, 600);
}

#endif

}  // namespace
