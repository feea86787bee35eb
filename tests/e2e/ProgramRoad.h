#pragma once
// The real program on a copy of the forged data, as the road tests drive it: headless, led by a
// script (VRASK_SCRIPT) that clicks, saves frames and logs the screens; or in a real window on
// the virtual X display, worked with xdotool as a user would.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "XScreen.h"
#include "forge/FrontEndLayouts.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

#ifdef VRASK_PROGRAM

namespace e2e {

// A UDP port no one holds now, on the loopback.
inline int FreeUdpPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// The lines of a text, as a trace file holds them.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The ids in the screen log, in order.
inline std::vector<int> ScreenIds(const std::string& log) {
  std::vector<int> ids;
  std::istringstream lines(log);
  int frame = 0, id = 0;
  while (lines >> frame >> id) ids.push_back(id);
  return ids;
}

// A widget's centre in a forged layout, as a script's "x y".
inline std::string Point(const forge::ScreenLayout& layout, forge::WidgetKind kind, int number, bool highRes) {
  const forge::LayoutPoint at = forge::WidgetCentre(layout, kind, number, highRes);
  return std::to_string(at.x) + " " + std::to_string(at.y);
}

// A fresh copy of the forged data for each test, where the program runs.
class ProgramRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // The forged preferences at 640x480: every other setting (keyed panels, the player's name)
  // stays as a player who switched resolution would have it.
  void UseLowResolution() {
    std::string prefs = testing_support::ReadText(dir_.File("cfg/prefs.cfg"));
    const std::string high = "IsHighRes=TRUE";
    const size_t at = prefs.find(high);
    ASSERT_NE(at, std::string::npos) << prefs;
    prefs.replace(at, high.size(), "IsHighRes=FALSE");
    std::ofstream(dir_.File("cfg/prefs.cfg")) << prefs;
  }
  // The shell command that runs the program in the data's copy for at most the seconds given (a
  // bound for a hung run, generous for a machine busy with other tests),
  // its stderr kept in stderr.txt.
  std::string Program(const std::string& environment, const std::string& arguments, int seconds = 240) const {
    // exec: the shell becomes the program's timeout, which passes a signal on to the program.
    return "cd '" + dir_.Path() + "' && exec env " + environment + " timeout " + std::to_string(seconds) + " '" +
           VRASK_PROGRAM + "' " + arguments + " 2>'" + dir_.File("stderr.txt") + "' >/dev/null";
  }
  // Copies a saved frame to the test output folder, for a person to look at.
  void KeepPicture(const std::string& name, const std::string& as) {
    std::filesystem::copy_file(dir_.File(name), testing_support::TestOutputDir() + "/" + as,
                               std::filesystem::copy_options::overwrite_existing);
  }
  testing_support::TempDir dir_;
};

// The program in a window on the virtual X display; the test skips itself without one.
class ProgramWindow : public ProgramRoad {
 protected:
  void SetUp() override {
    const char* display = std::getenv("VRASK_X_DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
    if (!HaveXdoTool()) GTEST_SKIP() << "no xdotool";
    display_ = display;
    ProgramRoad::SetUp();
  }
  void TearDown() override { Stop(); }
  void Start(const std::string& arguments = "/win", int seconds = 240) {
    pid_ = fork();
    if (pid_ == 0) {
      // The X libraries, unloaded when the video system shuts down at the end, leave their
      // allocations without a name the leak checker's suppressions could match: the headless
      // runs check the program's own leaks.
      const std::string command =
          Program("DISPLAY=" + display_ + " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0",
                  arguments, seconds);
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  // Ends the program when it runs, and forgets its window.
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    window_.clear();
  }
  // The game window's id, once it is mapped (tries of 100 ms each). Of several windows with the
  // game's title the newest is taken: it is this test's program's.
  bool FindWindow(int tries) {
    for (int attempt = 0; attempt < tries && window_.empty(); ++attempt) {
      std::istringstream ids(XdoToolOutput(display_, "search --onlyvisible --name 'Realms of Vrask'"));
      for (std::string id; ids >> id;) window_ = id;
      if (window_.empty()) platform::SleepMs(100);
    }
    return !window_.empty();
  }
  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
  };
  // Where the window lies on the screen and its size; all 0 when the window is gone.
  Geometry WindowGeometry() {
    Geometry geometry;
    std::istringstream lines(XdoToolOutput(display_, "getwindowgeometry --shell " + window_));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind("X=", 0) == 0) geometry.x = std::atoi(line.c_str() + 2);
      if (line.rfind("Y=", 0) == 0) geometry.y = std::atoi(line.c_str() + 2);
      if (line.rfind("WIDTH=", 0) == 0) geometry.width = std::atoi(line.c_str() + 6);
      if (line.rfind("HEIGHT=", 0) == 0) geometry.height = std::atoi(line.c_str() + 7);
    }
    return geometry;
  }
  // The window's client area on the screen.
  void WindowOrigin(int& x, int& y) {
    const Geometry geometry = WindowGeometry();
    x = geometry.x;
    y = geometry.y;
  }
  // The window's client area in a screenshot: empty while the window is not yet of the size
  // asked for or not on the screen (the next screenshot may hold it). A window that has gone
  // (the program replaced it) is looked for again.
  std::vector<uint8_t> Client(const Screenshot& shot, int width, int height) {
    Geometry geometry = WindowGeometry();
    if (geometry.width == 0) {
      window_.clear();
      if (!FindWindow(10)) return {};
      geometry = WindowGeometry();
    }
    std::vector<uint8_t> client;
    lastGeometry_ = std::to_string(geometry.width) + "x" + std::to_string(geometry.height) + " at " +
                    std::to_string(geometry.x) + "," + std::to_string(geometry.y) + " (window " + window_ + ")";
    if (geometry.width != width || geometry.height != height) return client;
    if (shot.width < geometry.x + width || shot.height < geometry.y + height) return client;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        client.insert(client.end(), shot.At(geometry.x + x, geometry.y + y),
                      shot.At(geometry.x + x, geometry.y + y) + 3);
    return client;
  }
  // A left click at a point of the window's client area.
  void ClickAt(const forge::LayoutPoint& at) {
    XdoTool(display_,
            "mousemove --window " + window_ + " " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1");
  }
  // The program's exit code once it ends (tries of 100 ms each); -1 for a signal, -2 when it
  // is still running.
  int WaitForExit(int tries) {
    int status = 0;
    for (int attempt = 0; attempt < tries; ++attempt) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      platform::SleepMs(100);
    }
    return -2;
  }

  std::string display_, window_;
  std::string lastGeometry_;  // the window as the last Client() found it, for a failure's message
  pid_t pid_ = -1;
};

}  // namespace e2e

#endif
