// The layering check (scripts/check-layers) on small planted source trees: it passes a tree
// that keeps the order and fails, naming file and line, on an upward include, on a platform
// header outside src/platform, on a folder with no place in the order, and on libraries
// declared out of order.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TestSupport.h"

namespace {

constexpr const char* kOrderedLibraries =
    "vrask_subsystem(platform)\nvrask_subsystem(core DEPS vrask_platform)\n"
    "vrask_subsystem(graphics DEPS vrask_core)\nvrask_subsystem(sound DEPS vrask_graphics)\n"
    "vrask_subsystem(ui DEPS vrask_sound)\nvrask_subsystem(map DEPS vrask_ui)\n"
    "vrask_subsystem(creatures DEPS vrask_map)\nvrask_subsystem(magic DEPS vrask_creatures)\n"
    "vrask_subsystem(ai DEPS vrask_magic)\nvrask_subsystem(net DEPS vrask_ai)\n"
    "vrask_subsystem(battle DEPS vrask_net)\nvrask_subsystem(frontend DEPS vrask_battle)\n"
    "vrask_subsystem(game DEPS vrask_frontend)\n";

struct CheckRun {
  int exitCode = -1;
  std::string report;
};

// A tree that keeps its layers: each folder includes its own and lower headers.
class LayeringCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.Write("src/CMakeLists.txt", kOrderedLibraries);
    tree_.Write("src/platform/Window.cpp", "#include <SDL.h>\n#include <unistd.h>\n#include \"platform/Window.h\"\n");
    tree_.Write("src/platform/Window.h", "#pragma once\n#include <cstdint>\n");
    tree_.Write("src/core/Options.h", "#pragma once\n#include \"platform/Window.h\"\n");
    tree_.Write("src/ui/Screen.cpp", "#include \"ui/Screen.h\"\n#include \"core/Options.h\"\n#include <vector>\n");
    tree_.Write("src/ui/Screen.h", "#pragma once\n#include \"Local.h\"\n");
    tree_.Write("src/map/MapView.h", "#pragma once\n#include \"ui/Screen.h\"\n");
    tree_.Write("src/game/WinMain.cpp", "#include \"map/MapView.h\"\n#include \"ui/Screen.h\"\n");
    tree_.Write("src/main.cpp", "#include \"game/WinMain.h\"\n");
  }
  CheckRun Check() {
    const std::string output = tree_.File("report.txt");
    const std::string command =
        std::string("'") + VRASK_SOURCE_DIR + "/scripts/check-layers' '" + tree_.Path() + "' >'" + output + "' 2>&1";
    const int status = std::system(command.c_str());
    CheckRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(output);
    std::stringstream text;
    text << in.rdbuf();
    run.report = text.str();
    return run;
  }
  testing_support::TempDir tree_;
};

TEST_F(LayeringCheck, PassesATreeThatKeepsItsLayers) {
  const CheckRun run = Check();
  EXPECT_EQ(run.exitCode, 0) << run.report;
  EXPECT_EQ(run.report, "");
}

TEST_F(LayeringCheck, FailsOnAPlantedUpwardIncludeAndNamesItsFileAndLine) {
  tree_.Write("src/ui/Screen.cpp", "#include \"ui/Screen.h\"\n  #  include \"map/MapView.h\"\n");
  const CheckRun run = Check();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.report.find("src/ui/Screen.cpp:2: ui includes map/MapView.h, of map, a layer above it"),
            std::string::npos)
      << run.report;
}

TEST_F(LayeringCheck, FailsOnEveryUpwardStepAndNotOnSidewaysOrDownwardOnes) {
  struct Case {
    const char* file;
    const char* include;
    bool fails;
  };
  const Case cases[] = {
      {"src/core/Random.cpp", "graphics/Surface.h", true}, {"src/graphics/Font.cpp", "sound/Wave.h", true},
      {"src/sound/Cues.cpp", "ui/Screen.h", true},         {"src/map/Map.cpp", "creatures/Creature.h", true},
      {"src/creatures/C.cpp", "magic/Spell.h", true},      {"src/magic/S.cpp", "ai/Brain.h", true},
      {"src/ai/Brain.cpp", "net/Frame.h", true},           {"src/net/Frame.cpp", "battle/Battle.h", true},
      {"src/battle/B.cpp", "frontend/MainMenu.h", true},   {"src/frontend/M.cpp", "game/WinMain.h", true},
      {"src/platform/Files.cpp", "core/Options.h", true},  {"src/battle/B.cpp", "net/Frame.h", false},
      {"src/frontend/M.cpp", "battle/Battle.h", false},    {"src/map/Map.cpp", "map/Cell.h", false},
      {"src/main.cpp", "game/WinMain.h", false},           {"src/core/Random.cpp", "support/TestSupport.h", false},
  };
  for (const Case& c : cases) {
    SetUp();
    tree_.Write(c.file, std::string("#include \"") + c.include + "\"\n");
    const CheckRun run = Check();
    EXPECT_EQ(run.exitCode, c.fails ? 1 : 0) << c.file << " including " << c.include << "\n" << run.report;
    tree_.Write(c.file, "\n");
  }
}

TEST_F(LayeringCheck, OnlyThePlatformIncludesSdlSocketOrPosixHeaders) {
  for (const char* header : {"SDL.h", "SDL2/SDL_video.h", "sys/socket.h", "netinet/in.h", "arpa/inet.h", "unistd.h",
                             "strings.h", "pthread.h", "enet/enet.h", "jpeglib.h"}) {
    SCOPED_TRACE(header);
    tree_.Write("src/ui/Screen.cpp", std::string("#include <") + header + ">\n");
    CheckRun run = Check();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.report.find(std::string("src/ui/Screen.cpp:1: includes ") + header +
                              ", which only src/platform may include"),
              std::string::npos)
        << run.report;
    tree_.Write("src/ui/Screen.cpp", "\n");
    tree_.Write("src/platform/Net.cpp", std::string("#include <") + header + ">\n");
    run = Check();
    EXPECT_EQ(run.exitCode, 0) << run.report;
  }
  // The standard library and the compiler's intrinsics are everyone's.
  tree_.Write("src/graphics/Printers.cpp", "#include <immintrin.h>\n#include <cstring>\n#include <thread>\n");
  EXPECT_EQ(Check().exitCode, 0);
}

TEST_F(LayeringCheck, AFolderOutsideTheOrderOrLibrariesOutOfOrderFail) {
  tree_.Write("src/tools/Helper.cpp", "\n");
  CheckRun run = Check();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.report.find("src/tools/Helper.cpp: src/tools has no place in the layer order"), std::string::npos)
      << run.report;
  std::remove(tree_.File("src/tools/Helper.cpp").c_str());

  std::string swapped = kOrderedLibraries;
  const std::string battle = "vrask_subsystem(battle DEPS vrask_net)\n";
  swapped.erase(swapped.find(battle), battle.size());
  swapped.insert(swapped.find("vrask_subsystem(ai"), battle);
  tree_.Write("src/CMakeLists.txt", swapped);
  run = Check();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.report.find("src/CMakeLists.txt: subsystems declared as"), std::string::npos) << run.report;
}

}  // namespace
