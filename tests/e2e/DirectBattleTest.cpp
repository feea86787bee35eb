// The direct road into a battle in the real program: "vrask /win direct mapseed=N" loads the
// forged moorland, shows the loading bar and then the battle screen over the map. Headless
// with a script and the frame trace (the frames advance, the same seed gives the same trace,
// no box is shown and the program ends with 0); and in a real window on the virtual X display,
// from which a screenshot of the battle goes to the test output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "XScreen.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

// Pixels of the moorland's grass: green well above red and blue.
int GrassPixels(const std::vector<uint8_t>& rgb) {
  int grass = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    grass += rgb[i + 1] > 60 && rgb[i + 1] > rgb[i] + 20 && rgb[i + 1] > rgb[i + 2] + 20;
  return grass;
}

// Grass-coloured pixels of the scanner's diamond, in the top-right corner of the 800 x 600
// window, which the program centres on the display.
int ScannerGrass(const e2e::Screenshot& shot) {
  const int left = (shot.width - 800) / 2, top = (shot.height - 600) / 2;
  int grass = 0;
  for (int y = top; y < top + 110; ++y)
    for (int x = left + 580; x < left + 800; ++x) {
      const unsigned char* p = shot.At(x, y);
      grass += p[1] > 40 && p[1] > p[0] + 15 && p[1] > p[2] + 15;
    }
  return grass;
}

class DirectBattle : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  std::string Program(const std::string& environment, const std::string& arguments, const std::string& errors) const {
    return "cd '" + dir_.Path() + "' && exec env " + environment + " timeout 120 '" + VRASK_PROGRAM + "' " + arguments +
           " 2>'" + dir_.File(errors) + "' >/dev/null";
  }
  // A headless run of the direct battle with a script and a trace; the program's exit status.
  int RunHeadless(int seed, const std::string& trace, const std::string& script) {
    std::ofstream(dir_.File("battle.txt")) << script;
    return std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=battle.txt "
                               "VRASK_BATTLE_TRACE=" +
                                   trace,
                               "/win direct mapseed=" + std::to_string(seed), "stderr.txt")
                           .c_str());
  }
  testing_support::TempDir dir_;
};

TEST_F(DirectBattle, HeadlessTheBattleRunsItsFramesAndEndsCleanly) {
  const std::string script = "log screens.txt\n40 png battle.png\n90 close\n";
  const int status = RunHeadless(4242, "trace1.txt", script);
  ASSERT_TRUE(WIFEXITED(status));
  const std::string errors = ReadText(dir_.File("stderr.txt"));
  EXPECT_EQ(WEXITSTATUS(status), 0) << errors;
  // Every box also writes its caption to stderr: none was shown.
  EXPECT_EQ(errors.find("ERROR"), std::string::npos) << errors;

  // The battle screen (id 2) came on top at once, over the main menu.
  std::istringstream log(ReadText(dir_.File("screens.txt")));
  int frame = 0, id = 0;
  ASSERT_TRUE(log >> frame >> id);
  EXPECT_EQ(id, 2);

  // One trace line a frame: frames and ticks count up from 1 together. The realm's armies
  // are there (the wandering folk, the player's and the enemy's), and the player's creatures
  // and the enemy's, placed close, go for each other and trade blows.
  std::istringstream trace(ReadText(dir_.File("trace1.txt")));
  std::string line;
  int lines = 0;
  int moved[3] = {}, blows[3] = {};
  while (std::getline(trace, line)) {
    ++lines;
    int traced = 0, tick = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "frame %d tick %d", &traced, &tick), 2) << line;
    EXPECT_EQ(traced, lines);
    EXPECT_EQ(tick, lines);
    for (int army = 0; army < 3; ++army) {
      const std::string key = " army" + std::to_string(army) + " ";
      const size_t at = line.find(key);
      ASSERT_NE(at, std::string::npos) << line;
      int movedNow = 0, blowsNow = 0;
      ASSERT_EQ(std::sscanf(line.c_str() + at + key.size(), "moved %d blows %d", &movedNow, &blowsNow), 2) << line;
      moved[army] += movedNow;
      blows[army] += blowsNow;
    }
    // Both computer-player controllers report their groups and decisions, and their generator
    // word; the second run below must give the same.
    for (int controller = 0; controller < 2; ++controller) {
      const std::string key = " ai" + std::to_string(controller) + " ";
      const size_t at = line.find(key);
      ASSERT_NE(at, std::string::npos) << line;
      int groups = 0, decisions = 0;
      ASSERT_EQ(std::sscanf(line.c_str() + at + key.size(), "groups %d decisions %d", &groups, &decisions), 2) << line;
    }
    unsigned word = 0;
    const size_t at = line.find(" airandom ");
    ASSERT_NE(at, std::string::npos) << line;
    ASSERT_EQ(std::sscanf(line.c_str() + at, " airandom %x", &word), 1) << line;
  }
  EXPECT_GE(lines, 80);
  for (int army : {1, 2}) {
    EXPECT_GT(moved[army], 0) << "army " << army;
    EXPECT_GT(blows[army], 0) << "army " << army;
  }

  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File("battle.png"), width, height, rgb));
  EXPECT_EQ(width, 800);
  EXPECT_GT(GrassPixels(rgb), 800 * 600 / 5);
  std::filesystem::copy_file(dir_.File("battle.png"), testing_support::TestOutputDir() + "/direct_battle_headless.png",
                             std::filesystem::copy_options::overwrite_existing);

  // The same seed: the same battle, frame for frame.
  ASSERT_EQ(RunHeadless(4242, "trace2.txt", "60 close\n"), 0);
  const std::string first = ReadText(dir_.File("trace1.txt")), second = ReadText(dir_.File("trace2.txt"));
  const size_t common = std::min(first.size(), second.size());
  ASSERT_GT(common, 0u);
  const size_t cut = second.rfind('\n', common - 1);
  EXPECT_EQ(first.substr(0, cut), second.substr(0, cut));
}

TEST_F(DirectBattle, InAWindowTheBattleShowsTheMap) {
  const char* display = std::getenv("VRASK_X_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  std::ofstream(dir_.File("battle.txt")) << "200 close\n";
  // The map seed on the message panel's first line.
  std::string options = ReadText(dir_.File("cfg/vrask.cfg"));
  const size_t debug = options.find("[DEBUG]");
  ASSERT_NE(debug, std::string::npos);
  options.insert(options.find('\n', debug) + 1, "g_showMapSeed=TRUE\n");
  std::ofstream(dir_.File("cfg/vrask.cfg")) << options;
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string command = Program(std::string("DISPLAY=") + display +
                                            " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "
                                            "VRASK_SCRIPT=battle.txt",
                                        "/win direct mapseed=4242", "stderr.txt");
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  e2e::Screenshot shot;
  bool shown = false;
  for (int attempt = 0; attempt < 60 && !shown; ++attempt) {
    platform::SleepMs(250);
    if (!e2e::TakeScreenshot(display, dir_.File("shot.ppm"), shot)) continue;
    shown = GrassPixels(shot.rgb) > 800 * 600 / 5;
  }
  if (shown)
    testing_support::WritePng(testing_support::TestOutputDir() + "/direct_battle_window.png", shot.width, shot.height,
                              shot.rgb);
  int status = 0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (attempt == 199) {
      kill(pid, SIGTERM);
      waitpid(pid, &status, 0);
    }
    platform::SleepMs(100);
  }
  EXPECT_TRUE(shown) << ReadText(dir_.File("stderr.txt"));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  // The scanner in the window's top-right corner: the terrain of the map in its diamond.
  if (shown) EXPECT_GT(ScannerGrass(shot), 400);
}

#endif

}  // namespace
