// The quick battle's road in the real program, driven by a script (VRASK_SCRIPT): the main
// menu, the quick battle menu, the single-player set-up, Start, the timed spell box (an item
// dragged into the Law column, then Begin Battle), the region entry screen and Go On, which
// hands the battle over to the battle screen; Escape leaves the battle and the road comes back
// to the quick battle menu. The screens come in order, each frame saved shows its screen, and
// two runs give one battle set-up record. Then the same road in a real window on the virtual X
// display, worked with xdotool at the rectangles of the forged layouts.
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

// The spread of a picture's brightness: a blank (or faded out) frame has next to none.
double Spread(const std::vector<uint8_t>& rgb) {
  double sum = 0, squares = 0;
  const size_t pixels = rgb.size() / 3;
  for (size_t i = 0; i < pixels; ++i) {
    const double v = rgb[3 * i] + rgb[3 * i + 1] + rgb[3 * i + 2];
    sum += v;
    squares += v * v;
  }
  const double mean = sum / pixels;
  return squares / pixels - mean * mean;
}

// The mean difference of two pictures of one size, per channel.
double Difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double total = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) total += std::abs(static_cast<int>(a[i]) - b[i]);
  return total / static_cast<double>(a.size());
}

class QuickBattleRoad : public e2e::ProgramRoad {
 protected:
  // Runs the road at a resolution; answers the program's stderr.
  std::string RunRoad(bool highRes, const std::string& tag) {
    if (!highRes) UseLowResolution();
    const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                              setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout(),
                              results = forge::QuickBattleEndLayout();
    std::ofstream(dir_.File("road.txt")) << "log screens.txt\n"
                                         << "1 seed 4242\n"
                                         << "3 png " << tag << "_main.png\n"
                                         << "4 click " << Point(main, WidgetKind::kTextButton, 3, highRes) << "\n"
                                         << "24 png " << tag << "_quick.png\n"
                                         << "25 click " << Point(quick, WidgetKind::kTextButton, 3, highRes) << "\n"
                                         << "45 png " << tag << "_setup.png\n"
                                         << "46 click " << Point(setUp, WidgetKind::kTextButton, 2, highRes) << "\n"
                                         << "70 png " << tag << "_spellbox.png\n"
                                         << "71 press " << (highRes ? "338 136" : "272 107") << "\n"    // pool slot 0
                                         << "73 release " << (highRes ? "235 549" : "188 438") << "\n"  // Law slot 0
                                         << "80 png " << tag << "_dragged.png\n"
                                         << "81 click " << (highRes ? "754 51" : "600 37") << "\n"  // Begin Battle
                                         << "110 png " << tag << "_region.png\n"
                                         << "111 click " << Point(region, WidgetKind::kTextButton, 1, highRes) << "\n"
                                         << "200 png " << tag << "_battle.png\n"
                                         << "201 key ESCAPE\n"  // the results, over the battle
                                         << "215 click " << Point(results, WidgetKind::kTextButton, 3, highRes)
                                         << "\n"  // Leave Battle
                                         << "240 png " << tag << "_back.png\n"
                                         << "241 click " << Point(quick, WidgetKind::kTextButton, 4, highRes) << "\n"
                                         << "265 click " << Point(main, WidgetKind::kTextButton, 6, highRes) << "\n"
                                         << "400 close\n";
    std::filesystem::remove(dir_.File("screens.txt"));
    const int status =
        std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    return ReadText(dir_.File("stderr.txt"));
  }
  // The frames of the road, in order: each shows something, and each differs from the last.
  void CheckFrames(const std::string& tag, int width, int height) {
    std::vector<uint8_t> last;
    for (const char* step : {"main", "quick", "setup", "spellbox", "region", "battle", "back"}) {
      const std::string name = tag + "_" + step + ".png";
      int w = 0, h = 0;
      std::vector<uint8_t> rgb;
      ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
      EXPECT_EQ(w, width) << name;
      EXPECT_EQ(h, height) << name;
      EXPECT_GT(Spread(rgb), 2000.0) << name << " is blank";
      if (!last.empty()) EXPECT_GT(Difference(rgb, last), 8.0) << name << " is like the frame before";
      last = rgb;
      if (std::string(step) == "battle") {
        // The scanner's diamond in the top-right corner, outlined in gold.
        int gold = 0;
        for (int y = 0; y < 120; ++y)
          for (int x = width - 200; x < width; ++x) {
            const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
            gold += p[0] > 175 && p[0] < 215 && p[1] > 135 && p[1] < 170 && p[2] < 40;
          }
        EXPECT_GT(gold, 100) << name << " shows no scanner";
        // The empty column of sighting icons under the scanner lets the map show through (at
        // 640 x 480 the map fills that corner; at 800 x 600 the void beyond it is black too).
        int black = 0, all = 0;
        for (int y = 100; y < 280; ++y)
          for (int x = width - 72; x < width; ++x, ++all) {
            const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
            black += p[0] < 8 && p[1] < 8 && p[2] < 8;
          }
        if (width == 640) EXPECT_LT(black, all / 2) << name << " covers the map with an opaque panel";
      }
      if (std::string(step) == "spellbox") {
        // The drag changed the box, no more than that.
        std::vector<uint8_t> dragged;
        ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File(tag + "_dragged.png"), w, h, dragged));
        const double changed = Difference(dragged, rgb);
        EXPECT_GT(changed, 0.05) << "the drag left no trace";
        EXPECT_LT(changed, 8.0) << "the dragged frame is no longer the spell box";
        KeepPicture(tag + "_dragged.png", "quick_battle_road_" + tag + "_dragged.png");
      }
      KeepPicture(name, "quick_battle_road_" + name);
    }
  }
  static std::string SetUpRecord(const std::string& stderrText) {
    const size_t at = stderrText.find("battle set-up:");
    return at == std::string::npos ? std::string() : stderrText.substr(at, stderrText.find('\n', at) - at);
  }
};

TEST_F(QuickBattleRoad, FromTheMainMenuToTheBattleHandOverAndBack) {
  const std::string first = RunRoad(true, "800");
  const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
  // Main menu, quick battle menu, set-up, spell box, region entry (the set-up is on top for a
  // frame between them), the battle (2); Escape shows the results (31) over it, Leave Battle
  // leaves it, the region entry closes, and the road pops back through the set-up to the quick
  // battle menu, the main menu and the end.
  EXPECT_EQ(ids, (std::vector<int>{3, 27, 17, 7, 17, 21, 2, 31, 2, 21, 17, 27, 3, 0}))
      << ReadText(dir_.File("screens.txt"));
  CheckFrames("800", 800, 600);
  const std::string record = SetUpRecord(first);
  EXPECT_NE(record.find("region 1 "), std::string::npos) << first;
  EXPECT_NE(record.find("players 1 local army 0"), std::string::npos) << first;

  const std::string second = RunRoad(true, "800");
  EXPECT_EQ(SetUpRecord(second), record) << "one seed, one set-up record";
}

TEST_F(QuickBattleRoad, AtTheLowResolutionToo) {
  RunRoad(false, "640");
  const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
  EXPECT_EQ(ids, (std::vector<int>{3, 27, 17, 7, 17, 21, 2, 31, 2, 21, 17, 27, 3, 0}))
      << ReadText(dir_.File("screens.txt"));
  CheckFrames("640", 640, 480);
}

// A quick battle with a time limit of one minute (the shortest the saved rules hold; the set-up's
// slider steps by five) ends when the clock runs out: the results come over the battle by
// themselves, their one button labelled, every row's portrait drawn. It runs as long as the
// battle's clock, a minute of real time.
TEST_F(QuickBattleRoad, ATimeLimitEndsTheBattleOnItsLabelledResults) {
  std::string rules = ReadText(dir_.File("cfg/QuickBattleSetup.cfg"));
  const size_t at = rules.find("gameTime=0");  // the single-player section's, the first
  ASSERT_NE(at, std::string::npos) << rules;
  rules.replace(at, 10, "gameTime=1");
  std::ofstream(dir_.File("cfg/QuickBattleSetup.cfg")) << rules;
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout(),
                            results = forge::QuickBattleEndLayout();
  // The battle starts near frame 120; at most 20 frames a second, its minute is over by frame
  // 1320 or so.
  std::ofstream(dir_.File("timed.txt")) << "log screens.txt\n1 seed 4242\n"
                                        << "4 click " << Point(main, WidgetKind::kTextButton, 3, true) << "\n"
                                        << "25 click " << Point(quick, WidgetKind::kTextButton, 3, true) << "\n"
                                        << "46 click " << Point(setUp, WidgetKind::kTextButton, 2, true) << "\n"
                                        << "81 click 754 51\n"  // Begin Battle
                                        << "111 click " << Point(region, WidgetKind::kTextButton, 1, true) << "\n"
                                        << "1420 png results.png\n1421 close\n";
  const int status =
      std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=timed.txt", "/win", 280).c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  // The results (31) come over the battle (2) by themselves, once the minute is over.
  std::istringstream log(ReadText(dir_.File("screens.txt")));
  int frame = 0, id = 0, battleFrame = -1, resultsFrame = -1;
  while (log >> frame >> id) {
    if (id == 2 && battleFrame < 0) battleFrame = frame;
    if (id == 31 && resultsFrame < 0) resultsFrame = frame;
  }
  ASSERT_GT(battleFrame, 0) << ReadText(dir_.File("screens.txt"));
  ASSERT_GT(resultsFrame, 0) << "the time limit never ended the battle";
  EXPECT_GE(resultsFrame - battleFrame, 60 * 20 - 40) << "the battle ended before its minute";

  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File("results.png"), width, height, rgb));
  KeepPicture("results.png", "quick_battle_road_time_limit_results.png");
  auto count = [&](const forge::LayoutPoint& centre, int halfWidth, int halfHeight, auto test) {
    int n = 0;
    for (int y = centre.y - halfHeight; y < centre.y + halfHeight; ++y)
      for (int x = centre.x - halfWidth; x < centre.x + halfWidth; ++x) {
        const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
        n += test(p[0], p[1], p[2]) ? 1 : 0;
      }
    return n;
  };
  auto plate = [](int r, int g, int b) { return r > 200 && g > 180 && b > 140; };
  auto ink = [](int r, int g, int b) { return r < 100 && g < 100 && b < 100; };
  auto dark = [](int r, int g, int b) { return r + g + b < 60; };
  // Leave Battle stands on its plate with its label; no plate stands where the battle can no
  // longer be gone back to.
  const forge::LayoutPoint leave = forge::WidgetCentre(results, WidgetKind::kTextButton, 3, true),
                           back = forge::WidgetCentre(results, WidgetKind::kTextButton, 1, true);
  EXPECT_GT(count(leave, 110, 16, plate), 3000) << "no Leave Battle plate";
  EXPECT_GT(count(leave, 110, 16, ink), 300) << "the button is not labelled";
  EXPECT_LT(count(back, 110, 16, plate), 100) << "a button stands where nothing can be done";
  // Every row holds a player here (the player and three computer wizards): each portrait's
  // circle shows a face, not an empty black ring.
  for (int row = 1; row <= 4; ++row) {
    const forge::LayoutPoint portrait = forge::WidgetCentre(results, WidgetKind::kPictureBox, row, true);
    EXPECT_LT(count(portrait, 20, 20, dark), 400) << "row " << row << " shows an empty portrait circle";
  }
}

// The road in a real window on the virtual X display.
class QuickBattleWindow : public e2e::ProgramWindow {
 protected:
  bool FindWindow() { return ProgramWindow::FindWindow(100); }
  // The window's client area (800 x 600) in a screenshot of the display.
  bool Client(std::vector<uint8_t>& client) {
    e2e::Screenshot shot;
    if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot)) return false;
    client = ProgramWindow::Client(shot, 800, 600);
    return !client.empty();
  }
  // Screenshots until the window shows a settled picture unlike the last screen's (at most
  // 15 s); saved under the name.
  bool NextScreen(const std::string& name) {
    std::vector<uint8_t> before;
    for (int attempt = 0; attempt < 75; ++attempt) {
      platform::SleepMs(200);
      std::vector<uint8_t> now;
      if (!Client(now)) continue;
      const bool settled = !before.empty() && Difference(now, before) < 1.0;
      before = now;
      if (!settled || Spread(now) < 2000.0 || (!last_.empty() && Difference(now, last_) < 8.0)) continue;
      last_ = now;
      testing_support::WritePng(testing_support::TestOutputDir() + "/quick_battle_window_" + name, 800, 600, now);
      return true;
    }
    return false;
  }
  void Xdo(const std::string& arguments) { e2e::XdoTool(display_, arguments); }
  void Click(const forge::ScreenLayout& layout, WidgetKind kind, int number) {
    ClickAt(forge::WidgetCentre(layout, kind, number, true));
  }

  std::vector<uint8_t> last_;
};

TEST_F(QuickBattleWindow, FromTheMainMenuThroughTheSpellBoxIntoTheBattleAndBack) {
  Start();
  ASSERT_TRUE(FindWindow()) << ReadText(dir_.File("stderr.txt"));
  ASSERT_TRUE(NextScreen("main.png"));
  Click(forge::MainMenuLayout(), WidgetKind::kTextButton, 3);
  ASSERT_TRUE(NextScreen("quick.png"));
  Click(forge::QuickBattleMenuLayout(), WidgetKind::kTextButton, 3);
  ASSERT_TRUE(NextScreen("setup.png"));
  Click(forge::SinglePlayerBattleLayout(), WidgetKind::kTextButton, 2);
  ASSERT_TRUE(NextScreen("spellbox.png"));
  // An item dragged from the pool into the Law column, then Begin Battle.
  Xdo("mousemove --window " + window_ + " 338 136 mousedown 1 mousemove --window " + window_ +
      " 290 300 mousemove --window " + window_ + " 235 549 mouseup 1");
  platform::SleepMs(400);
  ClickAt({754, 51});
  ASSERT_TRUE(NextScreen("region.png"));
  Click(forge::RegionEntryLayout(), WidgetKind::kTextButton, 1);
  ASSERT_TRUE(NextScreen("battle.png")) << "the battle screen";
  Xdo("key --window " + window_ + " Escape");
  ASSERT_TRUE(NextScreen("results.png")) << "the results over the battle";
  Click(forge::QuickBattleEndLayout(), WidgetKind::kTextButton, 3);  // Leave Battle
  ASSERT_TRUE(NextScreen("back.png")) << "the road comes back to the quick battle menu";
  for (int attempt = 0; attempt < 50 && ReadText(dir_.File("stderr.txt")).find("battle set-up:") == std::string::npos;
       ++attempt)
    platform::SleepMs(100);
  EXPECT_NE(ReadText(dir_.File("stderr.txt")).find("battle set-up: region 1 "), std::string::npos)
      << ReadText(dir_.File("stderr.txt"));
}

#endif

}  // namespace
