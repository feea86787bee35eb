// The grimoire's road in the real program, led by a script: New Campaign opens region 1's
// entry, whose grimoire button opens the book at that region; Escape returns. The battle there
// is won, and on the realm view (its tutorial clicked away) the grimoire button opens the book
// at the Moorland; a tab goes to the bestiary, the page-turn button turns a page, and Escape
// returns to the realm view. Headless, and in a real window on the virtual X display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "forge/BattleEndLayouts.h"
#include "forge/FrontEndLayouts.h"
#include "forge/GrimoireBook.h"
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

constexpr int kTutorialBoxes = 4;
constexpr int kGrimoireScreen = 8, kRealmViewScreen = 4, kRegionEntryScreen = 21;

int Scaled(int v, bool highRes) { return highRes ? v : v * 8 / 10; }

std::string At(int x, int y, bool highRes) {
  return std::to_string(Scaled(x, highRes)) + " " + std::to_string(Scaled(y, highRes));
}

// Region 5's point below its flag, where a click only turns the tutorial's pages.
std::string RegionPoint(int region, bool highRes) {
  const auto& flag = forge::Moorland().flagPoints[static_cast<size_t>(region - 1)];
  return At(flag.x, flag.y + 16, highRes);
}

std::string Road(bool highRes, const std::string& tag) {
  using namespace forge::grimoire;
  const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                            won = forge::BattleEndLayout(true);
  // The realm view's grimoire button: second of its row from the right.
  const std::string realmButton = highRes ? "720 28" : "560 28";
  const std::string bestiaryTab =
      At(kRightTabX + kTabWidth / 2, kTabTop + kBestiaryChapter * kTabStep + kTabHeight / 2, highRes);
  const std::string forward = At(kTurnForwardX + kTurnWidth / 2, kTurnY + kTurnHeight / 2, highRes);
  std::ostringstream road;
  road << "log screens.txt\n1 seed 4242\n"
       << "4 click " << Point(main, WidgetKind::kTextButton, 1, highRes) << "\n"
       << "30 click " << Point(region, WidgetKind::kStandardButton, 1, highRes) << "\n"  // the grimoire
       << "60 png " << tag << "_region.png\n"
       << "61 key ESCAPE\n"
       << "90 click " << Point(region, WidgetKind::kTextButton, 1, highRes) << "\n"  // Go On
       << "121 battle won\n"
       << "260 click " << Point(won, WidgetKind::kTextButton, 1, highRes) << "\n";  // Continue
  int frame = 300;
  for (int box = 0; box < kTutorialBoxes; ++box, frame += 5)
    road << frame << " click " << RegionPoint(5, highRes) << "\n";
  road << frame + 10 << " click " << realmButton << "\n"
       << frame + 50 << " png " << tag << "_moorland.png\n"
       << frame + 51 << " click " << bestiaryTab << "\n"
       << frame + 90 << " png " << tag << "_bestiary.png\n"
       << frame + 91 << " click " << forward << "\n"
       << frame + 130 << " png " << tag << "_turned.png\n"
       << frame + 131 << " key ESCAPE\n"
       << frame + 170 << " png " << tag << "_back.png\n"
       << frame + 180 << " close\n";
  return road.str();
}

class GrimoireRoad : public e2e::ProgramRoad {
 protected:
  void Write(bool highRes, const std::string& tag) {
    if (!highRes) UseLowResolution();
    std::ofstream(dir_.File("road.txt")) << Road(highRes, tag);
    std::filesystem::remove(dir_.File("screens.txt"));
  }
  std::vector<uint8_t> Frame(const std::string& name, int width, int height) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
    EXPECT_EQ(w, width) << name;
    EXPECT_EQ(h, height) << name;
    if (!rgb.empty()) KeepPicture(name, "grimoire_road_" + name);
    return rgb;
  }
  void Check(const std::string& tag, int width, int height) {
    const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
    // The main menu, the realm view and region 1's entry; the book and back; the battle, the
    // victory screen, the battle, the realm view; the book and back.
    const std::vector<int> expected = {3, 4, kRegionEntryScreen, kGrimoireScreen, kRegionEntryScreen, 4, 2,
                                       6, 2, kRealmViewScreen,   kGrimoireScreen, kRealmViewScreen};
    EXPECT_EQ(ids, expected) << ReadText(dir_.File("screens.txt")) << ReadText(dir_.File("stderr.txt"));
    const std::vector<uint8_t> moorland = Frame(tag + "_moorland.png", width, height);
    const std::vector<uint8_t> bestiary = Frame(tag + "_bestiary.png", width, height);
    const std::vector<uint8_t> turned = Frame(tag + "_turned.png", width, height);
    Frame(tag + "_region.png", width, height);
    Frame(tag + "_back.png", width, height);
    EXPECT_NE(moorland, bestiary) << "the tab turned to another chapter";
    EXPECT_NE(bestiary, turned) << "the page turned";
  }
};

TEST_F(GrimoireRoad, TheRealmViewsButtonOpensTheBookAtTheMoorland) {
  Write(true, "800");
  const int status =
      std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win", 240).c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  Check("800", 800, 600);
}

TEST_F(GrimoireRoad, AtTheLowResolutionToo) {
  Write(false, "640");
  const int status =
      std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win", 240).c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  Check("640", 640, 480);
}

// The same road in a real window on the virtual X display.
class GrimoireWindow : public e2e::ProgramWindow {};

TEST_F(GrimoireWindow, TheRealmViewsButtonOpensTheBookInAWindow) {
  std::ofstream(dir_.File("road.txt")) << Road(true, "window");
  setenv("VRASK_SCRIPT", "road.txt", 1);
  Start("/win", 240);
  ASSERT_TRUE(FindWindow(300)) << ReadText(dir_.File("stderr.txt"));
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  unsetenv("VRASK_SCRIPT");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
  ASSERT_GE(ids.size(), 3u);
  EXPECT_EQ(ids[ids.size() - 2], kGrimoireScreen) << ReadText(dir_.File("screens.txt"));
  EXPECT_EQ(ids.back(), kRealmViewScreen);
  KeepPicture("window_moorland.png", "grimoire_window_moorland.png");
}

#endif

}  // namespace
