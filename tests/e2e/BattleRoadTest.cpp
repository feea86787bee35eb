// The battle as a player sees it, in the real program driven by a script (VRASK_SCRIPT) with
// the frame trace (VRASK_BATTLE_TRACE): an unattended battle ("directAI", no army of the
// player's own) shows the map lit and its armies fighting.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

// What the frame trace says of one army over the whole run.
struct ArmyTotals {
  int moved = 0, blows = 0;
};

// The trace's totals per army; lines counts the frames traced.
std::map<int, ArmyTotals> TraceTotals(const std::string& trace, int& lines) {
  std::map<int, ArmyTotals> totals;
  std::istringstream in(trace);
  std::string line;
  lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    for (size_t at = line.find(" army"); at != std::string::npos; at = line.find(" army", at + 1)) {
      int army = 0, moved = 0, blows = 0;
      if (std::sscanf(line.c_str() + at, " army%d moved %d blows %d", &army, &moved, &blows) != 3) continue;
      totals[army].moved += moved;
      totals[army].blows += blows;
    }
  }
  return totals;
}

// The share of the picture's pixels, outside the top-right corner (the scanner), that are
// not near black.
double LitShare(const std::vector<uint8_t>& rgb, int width, int height) {
  int lit = 0, counted = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (y < 120 && x > width - 220) continue;
      const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
      ++counted;
      lit += p[0] + p[1] + p[2] > 60;
    }
  return counted ? static_cast<double>(lit) / counted : 0.0;
}

class BattleRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // Runs the program headless with the script and the trace; its exit status.
  int Run(const std::string& arguments, const std::string& script) {
    std::ofstream(dir_.File("road.txt")) << script;
    const std::string command = "cd '" + dir_.Path() +
                                "' && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt "
                                "VRASK_BATTLE_TRACE=trace.txt timeout 200 '" VRASK_PROGRAM "' " +
                                arguments + " 2>stderr.txt >/dev/null";
    return std::system(command.c_str());
  }
  // The saved frame, kept in the test output for a person to look at.
  std::vector<uint8_t> Picture(const std::string& name, int& width, int& height) {
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), width, height, rgb)) << name;
    if (!rgb.empty())
      std::filesystem::copy_file(dir_.File(name), testing_support::TestOutputDir() + "/battle_road_" + name,
                                 std::filesystem::copy_options::overwrite_existing);
    return rgb;
  }
  testing_support::TempDir dir_;
};

// With no army of the player's the battle has no one to see by: the view is lit all over
// (light sources are off), and both computer sides are seen walking and striking.
TEST_F(BattleRoad, AnUnattendedBattleShowsTheMapAndTheFight) {
  const int status = Run("/win directAI", "120 png unattended.png\n250 close\n");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(dir_.File("stderr.txt"));
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = Picture("unattended.png", width, height);
  ASSERT_FALSE(rgb.empty());
  EXPECT_GT(LitShare(rgb, width, height), 0.8) << "the view is dark";

  int lines = 0;
  const std::map<int, ArmyTotals> totals = TraceTotals(ReadText(dir_.File("trace.txt")), lines);
  EXPECT_GE(lines, 200);
  int fightingSides = 0;
  for (const auto& [army, total] : totals) fightingSides += total.moved > 0 && total.blows > 0;
  EXPECT_GE(fightingSides, 2) << ReadText(dir_.File("trace.txt")).substr(0, 400);
}

#endif

}  // namespace
