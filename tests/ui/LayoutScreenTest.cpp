// A screen made from the forged test layout: every widget section makes its control with the
// rectangle of the resolution and its art.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "forge/ScreenLayout.h"
#include "graphics/GraphicsFixtures.h"
#include "graphics/PixelFormat.h"
#include "ui/Button.h"
#include "ui/ControlArt.h"
#include "ui/EditBox.h"
#include "ui/LayoutScreen.h"
#include "ui/ListBox.h"
#include "ui/RadioButton.h"
#include "ui/SliderBar.h"
#include "ui/TextButton.h"

namespace {

constexpr const char* kTestLayout = "Interface\\Test\\screen (Test).cfg";

class ClickLog : public CLayoutScreen {
 public:
  ClickLog() : CLayoutScreen(kTestLayout) {}
  void OnControl(int id) override { clicks.push_back(id); }
  std::vector<int> clicks;
};

bool Same(const platform::Rect& a, const forge::LayoutRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

CFont* FontOf(const forge::Widget& w) {
  return w.font == "LARGE" ? &g_headingFont : w.font == "TINY" ? &g_smallFont : &g_bodyFont;
}

// Checks every widget of the layout against what the screen made of it.
void CheckScreen(ClickLog& screen, bool highRes) {
  const forge::ScreenLayout layout = forge::TestScreenLayout();
  for (const forge::Widget& w : layout.Widgets()) {
    SCOPED_TRACE(std::string(forge::WidgetPrefix(w.kind)) + std::to_string(w.number));
    const forge::LayoutRect expected = highRes ? w.rect800 : forge::ScaledTo640(w.rect800);
    const int type = static_cast<int>(w.kind);
    CControl* control = screen.ControlOf(type, w.number);
    switch (w.kind) {
      case forge::WidgetKind::kTextButton: {
        auto* button = dynamic_cast<CTextButton*>(control);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(Same(button->rect, expected));
        EXPECT_EQ(button->caption, *w.text);
        EXPECT_EQ(button->font, FontOf(w));
        EXPECT_EQ(button->id, WidgetControlId(type, w.number));
        break;
      }
      case forge::WidgetKind::kStandardButton: {
        auto* button = dynamic_cast<CButton*>(control);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(Same(button->rect, expected));
        EXPECT_EQ(button->frameSprite, &g_buttonSprite);
        EXPECT_EQ(button->normalFrame, w.spriteIndexes[0]);
        EXPECT_EQ(button->pressedFrame, w.spriteIndexes[1]);
        EXPECT_EQ(button->highlightFrame, w.spriteIndexes[2]);
        break;
      }
      case forge::WidgetKind::kText: {
        CTextLabel* label = screen.LabelOf(w.number);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(Same(label->rect, expected));
        EXPECT_EQ(label->text, *w.text);
        EXPECT_EQ(label->font, FontOf(w));
        EXPECT_EQ(label->red, w.colours[0][0]);
        EXPECT_EQ(label->textFlags & (kTextLeft | kTextCentre | kTextRight),
                  w.textFlags == "CENTRE" ? kTextCentre : kTextLeft);
        break;
      }
      case forge::WidgetKind::kPictureBox: {
        CPictureBox* picture = screen.PictureOf(w.number);
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(Same(picture->rect, expected));
        EXPECT_EQ(picture->sprite, &g_buttonSprite);
        EXPECT_EQ(picture->frame, w.spriteIndexes[0]);
        break;
      }
      case forge::WidgetKind::kEditBox: {
        auto* box = dynamic_cast<CEditBox*>(control);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(Same(box->rect, expected));
        EXPECT_STREQ(box->Text(), w.text->c_str());
        EXPECT_EQ(box->font, FontOf(w));
        break;
      }
      case forge::WidgetKind::kSliderBar: {
        auto* slider = dynamic_cast<CSliderBar*>(control);
        ASSERT_NE(slider, nullptr);
        EXPECT_TRUE(Same(slider->rect, expected));
        EXPECT_EQ(slider->minValue, *w.minValue);
        EXPECT_EQ(slider->maxValue, *w.maxValue);
        EXPECT_EQ(slider->arrowStep, *w.step);
        EXPECT_EQ(slider->knob.frameSprite, SliderSprite().Sprite());
        break;
      }
      case forge::WidgetKind::kRadioButton: {
        auto* radio = dynamic_cast<CRadioButton*>(control);
        ASSERT_NE(radio, nullptr);
        EXPECT_TRUE(Same(radio->rect, expected));
        EXPECT_EQ(radio->caption, *w.text);
        EXPECT_EQ(radio->group, &screen.RadioGroup());
        EXPECT_EQ(radio->active, 1);
        EXPECT_EQ(radio->Selected(), w.number == 1);
        break;
      }
      case forge::WidgetKind::kListBox: {
        auto* list = dynamic_cast<CListBox*>(control);
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(Same(list->rect, expected));
        EXPECT_EQ(list->visibleLines, (expected.bottom - expected.top) / (FontOf(w)->GetLineHeight() + 2));
        break;
      }
      case forge::WidgetKind::kMessageListBox: {
        auto* log = dynamic_cast<CMessageListBox*>(control);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(Same(log->rect, expected));
        break;
      }
      case forge::WidgetKind::kStatBar:
      case forge::WidgetKind::kSpriteBar: {
        EXPECT_EQ(control, nullptr);  // drawn by the screen, taking no input
        CWidgetBar* bar = screen.BarOf(type, w.number);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->IsSprite(), w.kind == forge::WidgetKind::kSpriteBar);
        if (bar->IsSprite()) {
          EXPECT_EQ(bar->sprites.x, expected.left);
          EXPECT_EQ(bar->sprites.allEnd, *w.maxValue);
          EXPECT_EQ(bar->sprites.emptyFrame, w.spriteIndexes[1]);
        } else {
          EXPECT_EQ(bar->gradient.x1, expected.right);
          EXPECT_EQ(bar->gradient.minimum, *w.minValue);
          EXPECT_EQ(bar->gradient.markRed, w.colours[2][0]);
        }
        break;
      }
    }
  }
}

class LayoutScreens : public ui_test::UiScreen {};

TEST_F(LayoutScreens, EveryWidgetMakesItsControlWithTheRectangleOfTheResolution) {
  for (bool highRes : {true, false}) {
    SCOPED_TRACE(highRes ? "800 x 600" : "640 x 480");
    if (!highRes) {
      FreeSharedButtons();
      display_.reset();  // the old display closes before the new one opens
      display_ = std::make_unique<graphics_test::OpenDisplay>(true, false);
      LoadSharedFontsAndButtons();
    }
    ClickLog screen;
    PushScreen(&screen);
    EXPECT_EQ(screen.loaded, 1);
    CheckScreen(screen, highRes);
    EXPECT_EQ(screen.controls.Focused(), screen.ControlOf(kWidgetTextButton, 1));
    EXPECT_NE(screen.BackgroundPath().find(highRes ? "800x600" : "640x480"), std::string::npos);
    screen.Draw();
    ASSERT_TRUE(g_backBuffer.IsCreated());
    const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
    EXPECT_EQ(drawn[2 * static_cast<size_t>(g_backBuffer.width) + 2], PackColour(200, 160, 60));  // the frame
    PopScreen();
    EXPECT_EQ(screen.loaded, 0);
    EXPECT_EQ(g_windowCount, 0);
  }
}

TEST_F(LayoutScreens, ClicksAndEnterReachTheScreen) {
  ClickLog screen;
  PushScreen(&screen);
  ui_test::Click(100, 165);  // TEXTBUTTON_2
  ui_test::Click(310, 110);  // STANDARDBUTTON_1
  screen.OnMessage(nullptr, platform::WM_KEYDOWN, platform::VK_RETURN, 0);
  screen.OnMessage(nullptr, platform::WM_KEYUP, platform::VK_RETURN, 0);
  EXPECT_EQ(screen.clicks, (std::vector<int>{2, 301, 301}));
  PopScreen();
}

}  // namespace
