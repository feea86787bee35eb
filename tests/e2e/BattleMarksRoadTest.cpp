// The marks of a running quick battle in the real program, driven by a script (VRASK_SCRIPT):
// the player's wizard stands under its owner's gem, a click selects it and it shows its
// brackets and health gauge instead, and keeps them when the view turns; the frames and the
// results screen behind Escape are kept for a person to look at, at both resolutions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "forge/BattleEndLayouts.h"
#include "forge/FrontEndLayouts.h"
#include "forge/SetupScreenLayouts.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using forge::WidgetKind;
using testing_support::ReadText;

struct Box {
  int left, top, right, bottom;
};

// Pixels within a box whose colour passes a test.
template <class Test>
int Count(const std::vector<uint8_t>& rgb, int width, const Box& box, Test test) {
  int n = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
      n += test(p[0], p[1], p[2]) ? 1 : 0;
    }
  return n;
}

bool GemRed(int r, int g, int b) { return r > 170 && g < 110 && b < 110; }
bool BracketGreen(int r, int g, int b) { return g > 230 && r > 90 && r < 160 && b > 90 && b < 160; }
bool GaugeFill(int r, int g, int b) { return r > 230 && b < 40; }

class BattleMarksRoad : public e2e::ProgramRoad {
 protected:
  // The road into the battle; the wizard (at its place at the view's middle) clicked.
  void Run(bool highRes, const std::string& tag) {
    if (!highRes) UseLowResolution();
    const std::string wizard = highRes ? "400 282" : "320 222";
    std::ofstream(dir_.File("road.txt"))
        << "log screens.txt\n"
        << "1 seed 4242\n"
        << "4 click " << Point(forge::MainMenuLayout(), WidgetKind::kTextButton, 3, highRes) << "\n"
        << "25 click " << Point(forge::QuickBattleMenuLayout(), WidgetKind::kTextButton, 3, highRes) << "\n"
        << "46 click " << Point(forge::SinglePlayerBattleLayout(), WidgetKind::kTextButton, 2, highRes) << "\n"
        << "81 click " << (highRes ? "754 51" : "600 37") << "\n"  // Begin Battle
        << "111 click " << Point(forge::RegionEntryLayout(), WidgetKind::kTextButton, 1, highRes) << "\n"
        << "250 png " << tag << "_gem.png\n"
        << "300 move " << wizard << "\n"
        << "310 click " << wizard << "\n"
        << "330 png " << tag << "_selected.png\n"
        << "331 key .\n"  // the view turns right
        << "340 png " << tag << "_turned.png\n"
        << "341 key ESCAPE\n"
        << "370 png " << tag << "_results.png\n"
        << "371 close\n";
    const int status =
        std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  }
  std::vector<uint8_t> Frame(const std::string& name, int width, int height) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), w, h, rgb)) << name;
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    KeepPicture(name, "battle_marks_road_" + name);
    return rgb;
  }
  void Check(bool highRes) {
    const std::string tag = highRes ? "800" : "640";
    const int width = highRes ? 800 : 640, height = highRes ? 600 : 480;
    ASSERT_NO_FATAL_FAILURE(Run(highRes, tag));
    // Around the wizard in the middle of the view: its red gem, then, selected, the green
    // brackets and the gauge instead of the gem.
    const int cx = width / 2, cy = highRes ? 282 : 222;
    const Box around{cx - 60, cy - 80, cx + 60, cy + 40};
    const std::vector<uint8_t> gem = Frame(tag + "_gem.png", width, height);
    const std::vector<uint8_t> selected = Frame(tag + "_selected.png", width, height);
    const std::vector<uint8_t> turned = Frame(tag + "_turned.png", width, height);
    Frame(tag + "_results.png", width, height);
    if (gem.size() != static_cast<size_t>(3 * width * height) || selected.size() != gem.size() ||
        turned.size() != gem.size())
      return;
    EXPECT_GT(Count(gem, width, around, GemRed), 20);
    EXPECT_EQ(Count(gem, width, around, BracketGreen), 0);
    EXPECT_GT(Count(selected, width, around, BracketGreen), 20);
    EXPECT_GT(Count(selected, width, around, GaugeFill), 10);
    // Turned, the wizard (the view turns about the middle) keeps its brackets and gauge, and
    // the map around it shows another face.
    EXPECT_GT(Count(turned, width, around, BracketGreen), 20);
    EXPECT_GT(Count(turned, width, around, GaugeFill), 10);
    EXPECT_NE(turned, selected);
  }
};

TEST_F(BattleMarksRoad, TheWizardWearsItsGemAndSelectedItsBracketsAndGauge) { Check(true); }

TEST_F(BattleMarksRoad, AtTheLowResolutionToo) { Check(false); }

#endif

}  // namespace
