// The loading bar of a battle as the running program shows it: "vrask /win direct" in a real
// window on the virtual X display, caught between the main menu and the battle screen, with
// the realm's progress picture filling from the left over a black screen. The picture goes to
// the test output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "XScreen.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

constexpr int kWidth = 800, kHeight = 600;
// The bar's place in 800 x 600: 598 x 36 from (101, 564).
constexpr int kBarLeft = 101, kBarTop = 564, kBarWidth = 598, kBarHeight = 36;

struct ClientArea {
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[3 * (static_cast<size_t>(y) * kWidth + x)]; }
};

// Lit pixels in a rectangle of the client area.
int Lit(const ClientArea& client, int left, int top, int right, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) lit += e2e::Brightness(client.At(x, y)) > 60;
  return lit;
}

class LoadingBarWindow : public e2e::ProgramWindow {
 protected:
  void Start() { ProgramWindow::Start("/win direct mapseed=4242", 60); }
  // The window's client area in a screenshot of the display.
  bool Grab(ClientArea& client) {
    if (window_.empty()) {
      std::istringstream ids(e2e::XdoToolOutput(display_, "search --onlyvisible --name 'Realms of Vrask'"));
      ids >> window_;
      if (window_.empty()) return false;
      WindowOrigin(left_, top_);
    }
    e2e::Screenshot shot;
    if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot)) return false;
    if (shot.width < left_ + kWidth || shot.height < top_ + kHeight) return false;
    client.rgb.clear();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        client.rgb.insert(client.rgb.end(), shot.At(left_ + x, top_ + y), shot.At(left_ + x, top_ + y) + 3);
    return true;
  }
  // Screenshots as fast as they come until one shows the bar over a black screen (false when
  // the battle came first or nothing showed within 30 s).
  bool CatchTheBar(ClientArea& bar) {
    for (int attempt = 0; attempt < 600; ++attempt) {
      ClientArea client;
      if (!Grab(client)) {
        platform::SleepMs(20);
        continue;
      }
      const int barLit = Lit(client, kBarLeft, kBarTop, kBarLeft + kBarWidth, kBarTop + kBarHeight);
      const int above = Lit(client, 0, 0, kWidth, kBarTop - 4);
      if (above > kWidth * kBarTop / 5) return false;  // the battle is showing
      if (barLit > kBarWidth * kBarHeight / 2 && above < 2000) {
        bar = client;
        return true;
      }
    }
    return false;
  }
  int left_ = 0, top_ = 0;
};

TEST_F(LoadingBarWindow, TheDirectBattleShowsItsLoadingBarOverABlackScreen) {
  // The loading lasts a moment: a busy display may miss it, so up to three starts.
  ClientArea bar;
  bool caught = false;
  for (int run = 0; run < 3 && !caught; ++run) {
    Start();
    caught = CatchTheBar(bar);
    Stop();
  }
  ASSERT_TRUE(caught) << "no screenshot caught the loading bar";
  testing_support::WritePng(testing_support::TestOutputDir() + "/loading_bar_window.png", kWidth, kHeight, bar.rgb);
  // The realm's name is printed in the middle of the bar, and the screen round it is black.
  EXPECT_GT(Lit(bar, kBarLeft + kBarWidth / 2 - 40, kBarTop + 8, kBarLeft + kBarWidth / 2 + 40, kBarTop + 28), 50);
  EXPECT_LT(Lit(bar, 0, kBarTop, kBarLeft - 2, kHeight) + Lit(bar, kBarLeft + kBarWidth + 2, kBarTop, kWidth, kHeight),
            50)
      << "beside the bar";
}

#endif

}  // namespace
