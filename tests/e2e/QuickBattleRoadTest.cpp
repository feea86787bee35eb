// The quick battle's road in the real program, driven by a script (VRASK_SCRIPT): the main
// menu, the quick battle menu, the single-player set-up, Start, the timed spell box (an item
// dragged into the Law column, then Begin Battle), the region entry screen and Go On, which
// hands the battle over; with no battle screen yet the road comes back to the quick battle
// menu. The screens come in order, each frame saved shows its screen, and two
// runs give one battle set-up record.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "forge/FrontEndLayouts.h"
#include "forge/SetupScreenLayouts.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using forge::WidgetKind;

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<int> ScreenIds(const std::string& log) {
  std::vector<int> ids;
  std::istringstream lines(log);
  int frame = 0, id = 0;
  while (lines >> frame >> id) ids.push_back(id);
  return ids;
}

std::string Point(const forge::ScreenLayout& layout, WidgetKind kind, int number, bool highRes) {
  const forge::LayoutPoint at = forge::WidgetCentre(layout, kind, number, highRes);
  return std::to_string(at.x) + " " + std::to_string(at.y);
}

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

class QuickBattleRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // Runs the road at a resolution; answers the program's stderr.
  std::string RunRoad(bool highRes, const std::string& tag) {
    if (!highRes) std::ofstream(dir_.File("cfg/prefs.cfg")) << "[VIDEO]\nIsHighRes=FALSE\nMaxFramesPerSec=20\n";
    const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                              setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout();
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
                                         << "140 png " << tag << "_back.png\n"
                                         << "141 click " << Point(quick, WidgetKind::kTextButton, 4, highRes) << "\n"
                                         << "165 click " << Point(main, WidgetKind::kTextButton, 6, highRes) << "\n"
                                         << "300 close\n";
    std::filesystem::remove(dir_.File("screens.txt"));
    const std::string command = "cd '" + dir_.Path() +
                                "' && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt "
                                "timeout 120 '" VRASK_PROGRAM "' /win 2>stderr.txt >/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    return ReadText(dir_.File("stderr.txt"));
  }
  // The frames of the road, in order: each shows something, and each differs from the last.
  void CheckFrames(const std::string& tag, int width, int height) {
    std::vector<uint8_t> last;
    for (const char* step : {"main", "quick", "setup", "spellbox", "region", "back"}) {
      const std::string name = tag + "_" + step + ".png";
      int w = 0, h = 0;
      std::vector<uint8_t> rgb;
      ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
      EXPECT_EQ(w, width) << name;
      EXPECT_EQ(h, height) << name;
      EXPECT_GT(Spread(rgb), 2000.0) << name << " is blank";
      if (!last.empty()) EXPECT_GT(Difference(rgb, last), 8.0) << name << " is like the frame before";
      last = rgb;
      if (std::string(step) == "spellbox") {
        // The drag changed the box, no more than that.
        std::vector<uint8_t> dragged;
        ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File(tag + "_dragged.png"), w, h, dragged));
        const double changed = Difference(dragged, rgb);
        EXPECT_GT(changed, 0.05) << "the drag left no trace";
        EXPECT_LT(changed, 8.0) << "the dragged frame is no longer the spell box";
        std::filesystem::copy_file(dir_.File(tag + "_dragged.png"),
                                   testing_support::TestOutputDir() + "/quick_battle_road_" + tag + "_dragged.png",
                                   std::filesystem::copy_options::overwrite_existing);
      }
      std::filesystem::copy_file(dir_.File(name), testing_support::TestOutputDir() + "/quick_battle_road_" + name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  static std::string SetUpRecord(const std::string& stderrText) {
    const size_t at = stderrText.find("battle set-up:");
    return at == std::string::npos ? std::string() : stderrText.substr(at, stderrText.find('\n', at) - at);
  }
  testing_support::TempDir dir_;
};

TEST_F(QuickBattleRoad, FromTheMainMenuToTheBattleHandOverAndBack) {
  const std::string first = RunRoad(true, "800");
  const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
  // Main menu, quick battle menu, set-up, spell box, region entry (the set-up is on top for a
  // frame between them and again as the region entry closes), then the road pops back to the
  // quick battle menu, the main menu and the end.
  EXPECT_EQ(ids, (std::vector<int>{3, 27, 17, 7, 17, 21, 17, 27, 3, 0})) << ReadText(dir_.File("screens.txt"));
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
  EXPECT_EQ(ids, (std::vector<int>{3, 27, 17, 7, 17, 21, 17, 27, 3, 0})) << ReadText(dir_.File("screens.txt"));
  CheckFrames("640", 640, 480);
}

#endif

}  // namespace
