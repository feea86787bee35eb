// The slider bar and the scroll bar: values from the knob's place and back, at the ends of
// the range and for an empty range, clicks, arrows, keys and dragging.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/ControlArt.h"
#include "ui/SliderBar.h"

using ui_test::Mouse;

namespace {

class Bars : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    slider_.SetSurface(&g_backBuffer);
    ASSERT_EQ(slider_.Create(4, {100, 100, 400, 120}, recorded_.Callback("slider"), 1), 1);
    list_.Add(&slider_, 1);
  }
  // Drags the knob with the mouse from its middle to x (slider) or y (scroll bar).
  void Drag(ValueBar& bar, int to, bool horizontal) {
    const int x = (bar.knob.rect.left + bar.knob.rect.right) / 2, y = (bar.knob.rect.top + bar.knob.rect.bottom) / 2;
    Mouse(x, y);
    Mouse(x, y, true);
    Mouse(horizontal ? to : x, horizontal ? y : to, true);
    Mouse(horizontal ? to : x, horizontal ? y : to);
    DispatchMouseEvents();
  }
  CSliderBar slider_;
  CControlList list_;
};

TEST_F(Bars, TheSliderIsBuiltFromItsSprite) {
  const CSprite& sprite = *SliderSprite().Sprite();
  EXPECT_EQ(slider_.knobMinPos, 100 + sprite.GetFrame(0).Width());
  EXPECT_EQ(slider_.knobMaxPos, 400 - sprite.GetFrame(2).Width() - sprite.GetFrame(5).Width());
  EXPECT_EQ(slider_.knob.rect.left, slider_.knobMinPos);
  EXPECT_EQ(slider_.lowArrow.rect.left, 100);
  EXPECT_EQ(slider_.highArrow.rect.right, 400);
  // The knob and the arrows lie over the bar.
  EXPECT_GT(slider_.knob.index, slider_.index);
  EXPECT_EQ(slider_.rect.bottom - slider_.rect.top, std::max(20, sprite.GetFrame(0).Height()));
  EXPECT_EQ(SliderSprite().Users(), 1);
  g_backBuffer.Fill(0);
  slider_.Draw();
  const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
  EXPECT_NE(drawn[110 * 800 + 250], 0);  // the track
}

TEST_F(Bars, ValuesMapOntoTheKnobsTravelAndTheEndsGiveTheEndsExactly) {
  struct Range {
    int minimum, maximum;
  };
  for (Range r : {Range{0, 100}, Range{-7, 3}, Range{0, 1}, Range{10, 1000}, Range{0, 255}, Range{3, 270}}) {
    SCOPED_TRACE(std::to_string(r.minimum) + ".." + std::to_string(r.maximum));
    slider_.SetRange(r.maximum, r.minimum);
    EXPECT_EQ(slider_.value, r.minimum);
    EXPECT_EQ(slider_.knob.rect.left, slider_.knobMinPos);
    Drag(slider_, 2000, true);
    EXPECT_EQ(slider_.knob.rect.left, slider_.knobMaxPos);
    EXPECT_EQ(slider_.value, r.maximum);
    Drag(slider_, 0, true);
    EXPECT_EQ(slider_.value, r.minimum);
    for (int v = r.minimum; v <= r.maximum; v += std::max(1, (r.maximum - r.minimum) / 7)) {
      slider_.PlaceValue(v);
      EXPECT_EQ(slider_.knob.rect.left, slider_.KnobPositionFor(v));
      EXPECT_LE(std::abs(slider_.ValueAtKnob() - v), std::max(1, (r.maximum - r.minimum) / 200 + 1)) << v;
    }
  }
}

TEST_F(Bars, AnEmptyRangeKeepsTheKnobAtItsStartAndTheValueAtItsMinimum) {
  for (auto [maximum, minimum] : {std::pair{5, 5}, {2, 9}}) {
    slider_.SetRange(maximum, minimum);
    EXPECT_EQ(slider_.maxValue, minimum);
    EXPECT_EQ(slider_.knob.rect.left, slider_.knobMinPos);
    slider_.SetValue(100);
    EXPECT_EQ(slider_.value, minimum);
    Drag(slider_, 380, true);
    EXPECT_EQ(slider_.value, minimum);
    ui_test::Click(390, 110);
    EXPECT_EQ(slider_.value, minimum);
  }
}

TEST_F(Bars, ClicksBesideTheKnobMoveAQuarterAndTheArrowKeysAStep) {
  slider_.SetRange(100, 0);
  slider_.SetValue(50);
  recorded_.clicks.clear();
  const int knobLeft = slider_.knob.rect.left;
  const int beside = slider_.knob.rect.right + 5;
  ui_test::Click(knobLeft - 20, 110);
  EXPECT_EQ(slider_.value, 25);
  slider_.SetValue(50);
  ui_test::Click(beside, 110);
  EXPECT_EQ(slider_.value, 75);
  slider_.SetValue(50);
  slider_.OnKey(nullptr, platform::WM_KEYDOWN, platform::VK_LEFT, 0);
  EXPECT_EQ(slider_.value, 49);
  slider_.arrowStep = 5;
  slider_.OnKey(nullptr, platform::WM_KEYDOWN, platform::VK_RIGHT, 0);
  EXPECT_EQ(slider_.value, 54);
  ui_test::Click(slider_.lowArrow.rect.left + 2, 110);
  EXPECT_EQ(slider_.value, 49);
  slider_.SetValue(100);
  ui_test::Click(slider_.highArrow.rect.left + 2, 110);
  EXPECT_EQ(slider_.value, 100);
  // Each change ran the callback.
  EXPECT_EQ(std::count(recorded_.clicks.begin(), recorded_.clicks.end(), "slider:4"),
            static_cast<long>(recorded_.clicks.size()));
  EXPECT_GE(recorded_.clicks.size(), 9u);
}

TEST_F(Bars, AScrollBarStepsByOneBetweenZeroAndItsMaximum) {
  CScrollBar bar;
  bar.SetSurface(&g_backBuffer);
  bar.Create(0, {600, 100, 616, 300}, recorded_.Callback("scroll"), 1);
  bar.SetRange(3, 0);
  EXPECT_EQ(bar.knob.rect.left, 602);
  EXPECT_EQ(bar.knob.rect.top, bar.knobMinPos);
  const int upX = bar.lowArrow.rect.left + 4, upY = bar.lowArrow.rect.top + 4;
  const int downX = bar.highArrow.rect.left + 4, downY = bar.highArrow.rect.top + 4;
  std::vector<int> values;
  for (int i = 0; i < 5; ++i) {
    ui_test::Click(downX, downY);
    values.push_back(bar.value);
  }
  ui_test::Click(upX, upY);
  values.push_back(bar.value);
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3, 3, 3, 2}));
  EXPECT_EQ(bar.knob.rect.top, bar.KnobPositionFor(2));
  // The keys are Left and Right, as on the slider.
  bar.OnKey(nullptr, platform::WM_KEYDOWN, platform::VK_LEFT, 0);
  EXPECT_EQ(bar.value, 1);
  // Dragging the knob to the bottom gives the maximum.
  Drag(bar, 400, false);
  EXPECT_EQ(bar.value, 3);
  EXPECT_EQ(bar.dragging, 0);
  EXPECT_EQ(recorded_.clicks.back(), "scroll:0");
}

TEST_F(Bars, GreyingOutTakesThePartsAlong) {
  slider_.GreyOut();
  for (CControl* part : {static_cast<CControl*>(&slider_.knob), static_cast<CControl*>(&slider_.lowArrow),
                         static_cast<CControl*>(&slider_.highArrow), static_cast<CControl*>(&slider_)})
    EXPECT_EQ(part->active, 0);
  slider_.Restore();
  EXPECT_EQ(slider_.knob.active, 1);
  slider_.Highlight();
  EXPECT_EQ(slider_.knob.highlight, 1);
}

TEST(SharedSprites, TheLastBarFreesTheSprite) {
  ui_test::InForgedData data;
  {
    CSliderBar a, b;
    a.Create(0, {0, 0, 100, 20}, nullptr, 1);
    b.Create(1, {0, 30, 100, 50}, nullptr, 1);
    EXPECT_EQ(SliderSprite().Users(), 2);
    EXPECT_TRUE(SliderSprite().Sprite()->IsLoaded());
  }
  EXPECT_EQ(SliderSprite().Users(), 0);
  EXPECT_FALSE(SliderSprite().Sprite()->IsLoaded());
}

}  // namespace
