// The campaign's road in the real program. Led by a script: New Campaign opens the realm
// view, which opens the first region's entry at once (its guardian waits there); Go On enters
// the battle, which the script decides as won; the end screen's Continue returns to the realm
// view with the guardian's region taken; the tutorial's boxes are clicked away, a neighbour's
// region is opened and marched on, the marker walks, the battle there is lost, and the marker
// walks back. The screens come in order at both resolutions, and one seed gives one set-up
// record. Then the same in a real window on the virtual X display, worked with xdotool.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "XScreen.h"
#include "forge/BattleEndLayouts.h"
#include "forge/FrontEndLayouts.h"
#include "forge/MoorlandRealm.h"
#include "forge/SetupScreenLayouts.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using e2e::ScreenIds;
using forge::WidgetKind;
using testing_support::ReadText;

constexpr int kTutorialBoxes = 4;

// A region's point on the screen: just below its flag.
std::string RegionPoint(int region, bool highRes) {
  int x = forge::Moorland().flagPoints[region - 1].x, y = forge::Moorland().flagPoints[region - 1].y + 16;
  if (!highRes) {
    x = x * 640 / 800;
    y = y * 480 / 600;
  }
  return std::to_string(x) + " " + std::to_string(y);
}

// The set-up records the program reported, in order.
std::vector<std::string> SetUpRecords(const std::string& stderrText) {
  std::vector<std::string> records;
  std::istringstream lines(stderrText);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("battle set-up:", 0) == 0) records.push_back(line);
  return records;
}

int PixelsLike(const std::vector<uint8_t>& rgb, bool (*test)(const uint8_t*)) {
  int count = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) count += test(&rgb[i]);
  return count;
}

class CampaignRoad : public e2e::ProgramRoad {
 protected:
  std::string RunRoad(bool highRes, const std::string& tag) {
    // The script counts frames, so the road is the same at any pace: a quicker one keeps the
    // test short on a busy machine.
    std::ofstream(dir_.File("cfg/prefs.cfg"))
        << "[VIDEO]\nIsHighRes=" << (highRes ? "TRUE" : "FALSE") << "\nMaxFramesPerSec=100\n";
    const forge::ScreenLayout main = forge::MainMenuLayout(), region = forge::RegionEntryLayout(),
                              won = forge::BattleEndLayout(true), lost = forge::BattleEndLayout(false);
    std::ostringstream road;
    road << "log screens.txt\n1 seed 4242\n3 png " << tag << "_main.png\n"
         << "4 click " << Point(main, WidgetKind::kTextButton, 1, highRes) << "\n"
         << "30 png " << tag << "_region1.png\n"
         << "31 click " << Point(region, WidgetKind::kTextButton, 1, highRes) << "\n"  // Go On
         << "60 png " << tag << "_battle.png\n"
         << "61 battle won\n"
         << "200 png " << tag << "_won.png\n"
         << "201 click " << Point(won, WidgetKind::kTextButton, 1, highRes) << "\n"  // Continue
         << "240 png " << tag << "_tutorial.png\n";
    int frame = 241;
    for (int box = 0; box < kTutorialBoxes; ++box, frame += 5)
      road << frame << " click " << RegionPoint(5, highRes) << "\n";
    road << frame << " move " << RegionPoint(2, highRes) << "\n"
         << frame + 10 << " png " << tag << "_hover.png\n"
         << frame + 11 << " click " << RegionPoint(2, highRes) << "\n"
         << frame + 40 << " png " << tag << "_region2.png\n"
         << frame + 41 << " click " << Point(region, WidgetKind::kTextButton, 1, highRes) << "\n"
         << frame + 65 << " png " << tag << "_walk.png\n"
         << frame + 160 << " png " << tag << "_battle2.png\n"
         << frame + 161 << " battle lost\n"
         << frame + 300 << " png " << tag << "_lost.png\n"
         << frame + 301 << " click " << Point(lost, WidgetKind::kTextButton, 1, highRes) << "\n"
         << frame + 330 << " png " << tag << "_back.png\n"
         << frame + 420 << " png " << tag << "_home.png\n"
         << frame + 430 << " close\n";
    std::ofstream(dir_.File("road.txt")) << road.str();
    std::filesystem::remove(dir_.File("screens.txt"));
    const int status =
        std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win", 240).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    return ReadText(dir_.File("stderr.txt"));
  }

  std::vector<uint8_t> Frame(const std::string& name, int width, int height) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
    EXPECT_EQ(w, width) << name;
    EXPECT_EQ(h, height) << name;
    KeepPicture(name, "campaign_road_" + name);
    return rgb;
  }

  void CheckRoad(const std::string& tag, int width, int height) {
    const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
    // Main menu; the realm view, which at once opens region 1's entry (21); Go On: the view for
    // the frame that enters the battle (2); the victory screen (6), the battle for the frame it
    // leaves, the view; the neighbour's entry, the view, that battle, the defeat screen, the
    // battle, the view again.
    const std::vector<int> expected = {3, 4, 21, 4, 2, 6, 2, 4, 21, 4, 2, 6, 2, 4};
    ASSERT_GE(ids.size(), expected.size()) << ReadText(dir_.File("screens.txt"));
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + static_cast<long>(expected.size())), expected)
        << ReadText(dir_.File("screens.txt"));

    // The map, with the player's region taken (blue flag) and the dots of its roads (yellow).
    auto yellow = [](const uint8_t* p) { return p[0] > 230 && p[1] > 230 && p[2] < 40; };
    auto gold = [](const uint8_t* p) { return p[0] > 235 && p[1] > 200 && p[1] < 240 && p[2] > 100 && p[2] < 150; };
    const std::vector<uint8_t> tutorial = Frame(tag + "_tutorial.png", width, height);
    EXPECT_GT(PixelsLike(tutorial, yellow), 20) << "no road dots";
    const std::vector<uint8_t> hover = Frame(tag + "_hover.png", width, height);
    EXPECT_GT(PixelsLike(hover, gold), 200) << "no lit border";
    const std::vector<uint8_t> walk = Frame(tag + "_walk.png", width, height);
    EXPECT_GT(PixelsLike(walk, yellow), 20) << "the roads of the region walked from";
    for (const char* step : {"main", "region1", "battle", "won", "region2", "battle2", "lost", "back", "home"})
      Frame(tag + "_" + step + ".png", width, height);
  }
};

TEST_F(CampaignRoad, WinTheFirstRegionThenLoseANeighboursBattleAndWalkBack) {
  const std::string first = RunRoad(true, "800");
  CheckRoad("800", 800, 600);
  const std::vector<std::string> records = SetUpRecords(first);
  ASSERT_EQ(records.size(), 2u) << first;
  EXPECT_NE(records[0].find("region 1 "), std::string::npos);
  EXPECT_NE(records[1].find("region 2 "), std::string::npos);
  EXPECT_NE(records[0].find("players 1 local army 0"), std::string::npos);

  // Again from the forged data as it was: the first road's battles taught the computer players
  // (their experience is processed, and the realm's next seeds drawn, after each battle).
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) std::filesystem::remove_all(entry.path());
  std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  const std::string second = RunRoad(true, "800");
  EXPECT_EQ(SetUpRecords(second), records) << "one seed, one set-up record";
}

TEST_F(CampaignRoad, AtTheLowResolutionToo) {
  RunRoad(false, "640");
  CheckRoad("640", 640, 480);
}

// The road in a real window on the virtual X display. The battle is decided by a script that
// declares it won every few frames (nothing happens while no battle runs).
class CampaignWindow : public e2e::ProgramWindow {
 protected:
  void StartAt(bool highRes) {
    highRes_ = highRes;
    if (!highRes) UseLowResolution();
    std::ofstream script(dir_.File("win.txt"));
    script << "log screens.txt\n1 seed 4242\n";
    for (int frame = 50; frame < 6000; frame += 40) script << frame << " battle won\n";
    script.close();
    // The program inherits the test's environment.
    setenv("VRASK_SCRIPT", "win.txt", 1);
    Start("/win", 240);
  }
  void TearDown() override {
    unsetenv("VRASK_SCRIPT");
    ProgramWindow::TearDown();
  }
  int Width() const { return highRes_ ? 800 : 640; }
  int Height() const { return highRes_ ? 600 : 480; }
  bool Client(std::vector<uint8_t>& client) {
    e2e::Screenshot shot;
    if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot)) return false;
    client = ProgramWindow::Client(shot, Width(), Height());
    return !client.empty();
  }
  // Waits (at most 90 s: a battle's end takes its countdown, slow in a busy checked build) until
  // the screen log's newest screen is the one asked for, then saves what the window shows.
  bool WaitForScreen(int id, const std::string& name) {
    for (int attempt = 0; attempt < 450; ++attempt) {
      const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
      if (!ids.empty() && ids.back() == id) {
        platform::SleepMs(800);
        std::vector<uint8_t> now;
        if (!Client(now)) return false;
        testing_support::WritePng(
            testing_support::TestOutputDir() + "/campaign_window_" + std::to_string(Width()) + "_" + name, Width(),
            Height(), now);
        return true;
      }
      platform::SleepMs(200);
    }
    return false;
  }
  void ClickAt(const std::string& point) {
    platform::SleepMs(600);
    e2e::XdoTool(display_, "mousemove --window " + window_ + " " + point + " click 1");
  }
  // The newest screen in the screen log, -1 before any.
  int TopScreen() {
    const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
    return ids.empty() ? -1 : ids.back();
  }
  // Clicks a point of the screen on top, `from`, until another screen comes on top, then waits
  // for the one asked for. A click made while a loaded machine still settles the screen can be
  // lost; clicking again on the same screen is what a player would do.
  bool ClickOn(int from, const std::string& point, int id, const std::string& name) {
    for (int click = 0; click < 3; ++click) {
      ClickAt(point);
      for (int wait = 0; wait < 75 && TopScreen() == from; ++wait) platform::SleepMs(200);
      if (TopScreen() != from) return WaitForScreen(id, name);
    }
    return false;
  }
  // What to read when a step fails: the screens the program went through and its messages.
  std::string Story() {
    return "screens:\n" + ReadText(dir_.File("screens.txt")) + "stderr:\n" + ReadText(dir_.File("stderr.txt"));
  }
  void Road() {
    ASSERT_TRUE(FindWindow(100)) << ReadText(dir_.File("stderr.txt"));
    ASSERT_TRUE(WaitForScreen(3, "main.png")) << Story();
    ASSERT_TRUE(ClickOn(3, Point(forge::MainMenuLayout(), WidgetKind::kTextButton, 1, highRes_), 21, "region1.png"))
        << "region 1's entry\n"
        << Story();
    ASSERT_TRUE(ClickOn(21, Point(forge::RegionEntryLayout(), WidgetKind::kTextButton, 1, highRes_), 2, "battle.png"))
        << "the battle\n"
        << Story();
    ASSERT_TRUE(WaitForScreen(6, "won.png")) << "the battle won: the victory screen\n" << Story();
    ASSERT_TRUE(
        ClickOn(6, Point(forge::BattleEndLayout(true), WidgetKind::kTextButton, 1, highRes_), 4, "tutorial.png"))
        << "back on the realm view\n"
        << Story();
    for (int box = 0; box < kTutorialBoxes; ++box) {
      ClickAt(RegionPoint(5, highRes_));
      platform::SleepMs(300);
    }
    e2e::XdoTool(display_, "mousemove --window " + window_ + " " + RegionPoint(2, highRes_));
    ASSERT_TRUE(WaitForScreen(4, "hover.png")) << "the neighbour's border lit\n" << Story();
    ASSERT_TRUE(ClickOn(4, RegionPoint(2, highRes_), 21, "region2.png")) << "the neighbour's entry\n" << Story();
    ASSERT_TRUE(ClickOn(21, Point(forge::RegionEntryLayout(), WidgetKind::kTextButton, 1, highRes_), 4, "walk.png"))
        << "the marker walks\n"
        << Story();
    const std::vector<std::string> records = SetUpRecords(ReadText(dir_.File("stderr.txt")));
    ASSERT_GE(records.size(), 1u);
    EXPECT_NE(records[0].find("region 1 "), std::string::npos);
  }
  bool highRes_ = true;
};

TEST_F(CampaignWindow, WinTheFirstRegionAndMarchOnANeighbour) {
  StartAt(true);
  Road();
}

TEST_F(CampaignWindow, AtTheLowResolutionToo) {
  StartAt(false);
  Road();
}

#endif

}  // namespace
