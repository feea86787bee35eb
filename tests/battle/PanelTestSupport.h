#pragma once
// Shared by the panel tests: the display open with a back buffer, the display preferences set
// for a scope, and small sprites of flat-coloured frames built in memory.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/Preferences.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/GraphicsFixtures.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/Flatwin.h"

namespace panel_test {

// 5-6-5 colours the test frames use; none of them is the key colour.
constexpr uint16_t kRed = 0xF800;
constexpr uint16_t kGreen = 0x07E0;
constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kYellow = 0xFFE0;
constexpr uint16_t kGrey = 0x8410;
constexpr uint16_t kBlue = 31;

// One frame of the test sprites: a rectangle of one colour at an offset from the hotspot.
struct FlatFrame {
  int width = 1, height = 1;
  uint16_t colour = kRed;
  int dx = 0, dy = 0;  // where the rectangle starts, from the hotspot
};

// A sprite of 16-bit frames; an empty FlatFrame list entry of width 0 gives a 1 x 1 frame.
inline std::unique_ptr<CSprite> MakeFlatSprite(const std::vector<FlatFrame>& frames) {
  forge::SpriteFileWriter writer;
  for (const FlatFrame& f : frames) {
    forge::Canvas canvas(f.width, f.height);
    canvas.Fill(f.colour);
    writer.AddFrame(forge::EncodeFrame(canvas, -f.dx, -f.dy, -1));
  }
  auto sprite = std::make_unique<CSprite>();
  EXPECT_TRUE(sprite->LoadImage(writer.Bytes(), 0, "test.spr"));
  return sprite;
}

// The display preferences that decide the panels' drawing, put back at the end.
class DisplayPrefs {
 public:
  DisplayPrefs(int transparentBlits, int windowSize, int deferBlits = 0)
      : blits_(g_prefs.transparentBlits), size_(g_prefs.windowSize), defer_(g_deferBlits) {
    g_prefs.transparentBlits = transparentBlits;
    g_prefs.windowSize = windowSize;
    g_deferBlits = deferBlits;
  }
  ~DisplayPrefs() {
    g_prefs.transparentBlits = blits_;
    g_prefs.windowSize = size_;
    g_deferBlits = defer_;
  }

 private:
  int blits_, size_, defer_;
};

// The display open in a window at 800 x 600 (or 640 x 480), with an empty window table.
class PanelDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMouseInput();
    display_ = std::make_unique<graphics_test::OpenDisplay>(true, highRes_);
    // Without a window there is no back buffer to look at (outside ctest, set the dummy drivers).
    ASSERT_NE(display_->window, nullptr) << "no window: run with SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy";
  }
  void TearDown() override {
    ResetMouseInput();
    display_.reset();
  }
  bool highRes_ = true;
  std::unique_ptr<graphics_test::OpenDisplay> display_;
};

}  // namespace panel_test
