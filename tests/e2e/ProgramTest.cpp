// The real program on the forged data, headless (SDL's dummy drivers): it starts, runs its
// frames, ends when its window is closed, and reports missing files in its boxes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "XScreen.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

struct Outcome {
  int exitCode = -1;
  std::string errors;
};

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    fs::copy(testing_support::ForgedDataDir(), dir_.Path(), fs::copy_options::recursive);
  }
  // Starts the program in the data copy; the window is closed as by the user once `frames`
  // frames have been shown.
  Outcome Start(const std::string& arguments, int frames) {
    return Run(dir_.Path(), "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy", VRASK_PROGRAM, arguments, frames);
  }
  // Runs `program` in `folder` with the environment settings given (`env` words).
  Outcome Run(const std::string& folder, const std::string& env, const std::string& program,
              const std::string& arguments, int frames) {
    std::string command = "cd '" + folder + "' && env " + env + " VRASK_CLOSE_AFTER_FRAMES=" + std::to_string(frames) +
                          " timeout 120 '" + program + "' " + arguments + " 2>'" + dir_.File("stderr.txt") +
                          "' >/dev/null";
    int status = std::system(command.c_str());
    Outcome run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(dir_.File("stderr.txt"));
    std::stringstream text;
    text << in.rdbuf();
    run.errors = text.str();
    return run;
  }
  void Remove(const std::string& name) { std::filesystem::remove(dir_.File(name)); }
  testing_support::TempDir dir_;
};

TEST_F(Program, RunsInAWindowUntilTheWindowIsClosed) {
  Outcome run = Start("/win", 5);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors.find('['), std::string::npos) << run.errors;  // no box
}

TEST_F(Program, RunsFullScreenAtTheLowResolutionToo) {
  std::ofstream(dir_.File("cfg/prefs.cfg")) << "[VIDEO]\nIsHighRes=FALSE\nMaxFramesPerSec=50\n";
  Outcome run = Start("", 5);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
}

TEST_F(Program, PlaysTheIntroMoviesAndTheTitleMusicWithSoundOn) {
  std::ofstream(dir_.File("cfg/prefs.cfg"))
      << "[VIDEO]\nIsHighRes=TRUE\nPlayFMV=TRUE\n[SOUND]\nSoundEnabled=TRUE\nCDMusicEnabled=TRUE\nMusicVolume=15\n";
  Outcome run = Start("/win", 10);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors.find("Sound Manager Error"), std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find("CD Player Error"), std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find('['), std::string::npos) << run.errors;  // no box at all
}

TEST_F(Program, WithoutItsOptionsFileItWarnsAndRuns) {
  Remove("cfg/vrask.cfg");
  Outcome run = Start("/win", 3);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("[NO CONFIGURATION FILE] The configuration file 'VRASK.CFG' could not be found."),
            std::string::npos)
      << run.errors;
}

TEST_F(Program, AMissingEffectSpriteEndsItWithTheEffectTablesBox) {
  Remove("sprites/EFFECTS1.spr");
  Outcome run = Start("/win", 3);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("[ERROR] Failed in effectsani.cfg"), std::string::npos) << run.errors;
}

TEST_F(Program, AMissingGameDataFileEndsItWithAnError) {
  Remove("cfg/spells.cfg");
  Outcome run = Start("/win", 3);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.errors.find("[FILE LOAD ERROR] Unable to load file: cfg\\spells.cfg, Exiting Program"),
            std::string::npos)
      << run.errors;
}

// A core data file that holds nothing the game can use, or only its first part, is refused as
// a missing one is: the program names it and ends with a failure.
TEST_F(Program, AGarbledOrTruncatedCoreDataFileEndsItNamingTheFile) {
  const struct {
    const char* file;
    const char* named;
    bool truncated;
  } cases[] = {
      {"cfg/spells.cfg", "cfg\\spells.cfg", false},
      {"cfg/creature.cfg", "cfg\\creature.cfg", true},
      {"cfg/objects.cfg", "cfg\\objects.cfg", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string whole = testing_support::ReadText(dir_.File(c.file));
    std::ofstream(dir_.File(c.file), std::ios::binary | std::ios::trunc)
        << (c.truncated ? whole.substr(0, whole.size() / 3) : std::string("\x89PNG garbage\n[\n==\n"));
    Outcome run = Start("/win", 3);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find(std::string("[FILE LOAD ERROR] Unable to load file: ") + c.named + ", Exiting Program"),
              std::string::npos)
        << run.errors;
    std::ofstream(dir_.File(c.file), std::ios::binary | std::ios::trunc) << whole;
  }
}

// A battle the command line asks for that cannot be set up ends the program with a failure,
// after its message.
TEST_F(Program, ADirectBattleThatCannotLoadEndsItWithAFailure) {
  Outcome run = Start("/win direct region=100", 200);
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_NE(run.errors.find("[GENERAL ERROR] failed to load or initialise map."), std::string::npos) << run.errors;
}

// The processor time of a process so far, in seconds (user and system).
double ProcessorSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(in, line);
  // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  unsigned long long ticks[2] = {0, 0};
  for (int i = 1; i <= 13 && fields >> field; ++i)
    if (i >= 12) ticks[i - 12] = std::stoull(field);
  return static_cast<double>(ticks[0] + ticks[1]) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The creature types load as the root screen is entered: without either of their files the
// program cannot go on.
TEST_F(Program, AMissingCreatureFileEndsItWithAnError) {
  for (const char* name : {"creature.cfg", "hth.cfg"}) {
    std::filesystem::copy_file(dir_.File(std::string("cfg/") + name), dir_.File("kept.cfg"),
                               std::filesystem::copy_options::overwrite_existing);
    Remove(std::string("cfg/") + name);
    Outcome run = Start("/win", 3);
    EXPECT_NE(run.exitCode, 0) << name;
    EXPECT_NE(run.errors.find(std::string("[FILE LOAD ERROR] Unable to load file: cfg\\") + name + ", Exiting Program"),
              std::string::npos)
        << run.errors;
    std::filesystem::rename(dir_.File("kept.cfg"), dir_.File(std::string("cfg/") + name));
  }
}

// An idle main menu waits for each frame asleep: well under half a core, where a loop that
// spun would take all of one. (A check of what the program takes, not of its speed: the
// checked build takes some 5-11 % here, up to a fifth of a core on a machine busy with tests.)
TEST_F(Program, AnIdleGameLeavesTheProcessorFree) {
  const std::string errors = dir_.File("stderr.txt");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (chdir(dir_.Path().c_str()) != 0 || !std::freopen(errors.c_str(), "w", stderr)) _exit(127);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VRASK_CLOSE_AFTER_FRAMES", "1200", 1);  // ends by itself after a minute at most
    execl(VRASK_PROGRAM, VRASK_PROGRAM, "/win", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::seconds(5));  // past the start, even when checked
  const auto start = std::chrono::steady_clock::now();
  const double before = ProcessorSeconds(pid);
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const double used = ProcessorSeconds(pid) - before;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int status = 0;
  const bool running = waitpid(pid, &status, WNOHANG) == 0;
  if (running) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(running) << "the program ended early";
  EXPECT_LT(used / wall, 0.5) << used << " s of processor time in " << wall << " s";
}

TEST_F(Program, OnAnXDisplayAFailedStartStillLeavesItsTextOnStderr) {
  // Whether or not the desktop can show the box, its text reaches stderr and the program
  // ends with a non-zero code; a box that is shown is answered with Return.
  const char* display = std::getenv("VRASK_X_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  Remove("cfg/spells.cfg");
  const std::string command = "(cd '" + dir_.Path() + "' && DISPLAY=" + display +
                              " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy timeout 120 '" + VRASK_PROGRAM +
                              "' /win 2>stderr.txt >/dev/null; echo $? >rc.txt) &";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string expected = "[FILE LOAD ERROR] Unable to load file: cfg\\spells.cfg, Exiting Program";
  std::string errors, rc;
  for (int tries = 0; tries < 600 && rc.empty(); ++tries) {
    std::ifstream(dir_.File("rc.txt")) >> rc;
    std::ifstream in(dir_.File("stderr.txt"));
    std::stringstream text;
    text << in.rdbuf();
    errors = text.str();
    if (rc.empty() && errors.find(expected) != std::string::npos && tries % 10 == 9 && e2e::HaveXdoTool())
      e2e::XdoTool(display, "search --name 'FILE LOAD ERROR' key --window %1 Return");
    if (rc.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_FALSE(rc.empty()) << "the program did not end: " << errors;
  EXPECT_NE(rc, "0");
  EXPECT_NE(rc, "124");  // not ended by the timeout
  EXPECT_NE(errors.find(expected), std::string::npos) << errors;
}

// With no display at all and no dummy driver asked for, the program says why it cannot show
// itself and ends with a failure, whatever else is wrong, instead of running unseen.
TEST_F(Program, WithNoDisplayAtAllItSaysSoAndEnds) {
  Remove("cfg/spells.cfg");
  // No display named, or one named that no server answers: the message says which, and it
  // is the first thing on stderr.
  const struct {
    const char* unset;
    const char* set;
    const char* says;
  } cases[] = {
      {"-u DISPLAY -u WAYLAND_DISPLAY", "",
       "[ERROR] There is no display to show the game on (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
      {"-u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR", "DISPLAY=:7391",
       "[ERROR] There is no display to show the game on (DISPLAY=:7391 names no display that answers)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unset);
    Outcome run = Run(dir_.Path(), std::string(c.unset) + " -u SDL_VIDEODRIVER " + c.set + " SDL_AUDIODRIVER=dummy",
                      VRASK_PROGRAM, "/win", 3);
    EXPECT_NE(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.exitCode, 124) << "ended by the timeout";
    EXPECT_EQ(run.errors.find(c.says), 0u) << run.errors;
  }
}

// The program as installed, in <root>/bin, beside <root>/data when `data` is given; started
// from an empty folder elsewhere. The copy is a hard link where the file system allows it.
class InstalledProgram : public Program {
 protected:
  std::string Install(bool withData) {
    namespace fs = std::filesystem;
    fs::create_directories(root_.File("bin"));
    fs::create_directories(root_.File("elsewhere"));
    const std::string program = root_.File("bin/vrask");
    std::error_code linked;
    fs::create_hard_link(VRASK_PROGRAM, program, linked);
    if (linked) fs::copy_file(VRASK_PROGRAM, program);
    if (withData) fs::create_directory_symlink(dir_.Path(), root_.File("data"));
    return program;
  }
  testing_support::TempDir root_;
};

TEST_F(InstalledProgram, StartedFromAnotherFolderItFindsTheDataBesideIt) {
  const std::string program = Install(true);
  Outcome run = Run(root_.File("elsewhere"), "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy", program, "/win", 5);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors.find('['), std::string::npos) << run.errors;  // no box
}

TEST_F(InstalledProgram, WithNoDataAnywhereItSaysSoInOneLine) {
  const std::string program = Install(false);
  Outcome run = Run(root_.File("elsewhere"), "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy", program, "/win", 5);
  EXPECT_NE(run.exitCode, 0);
  const std::string expected = "[NO GAME DATA] No game data was found (a folder holding cfg): looked in " +
                               root_.File("elsewhere") + ", " + root_.File("data") + ", " + root_.File("share/vrask") +
                               ".\n";
  EXPECT_EQ(run.errors, expected);
}

#endif

}  // namespace
