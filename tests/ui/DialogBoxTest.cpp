// The modal message box: its answers by keys and clicks, its layout, and a missing picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/DialogBox.h"
#include "ui/TextButton.h"

using ui_test::Click;

namespace {

constexpr const char* kPicture = "Interface\\Test\\MessageBox.bmp";  // 360 x 180

class MessageBox : public ui_test::UiScreen {
 protected:
  void Open(const char* second = "No", const char* picture = kPicture) {
    box_.SetSurface(&g_backBuffer);
    box_.SetFont(&g_bodyFont);
    EXPECT_EQ(box_.Open(recorded_.Callback("answer"), picture, "Leave the battle?", "Yes", second), 1);
  }
  void Key(int key, unsigned message = platform::WM_KEYDOWN) {
    box_.OnKey(nullptr, message, static_cast<uintptr_t>(key), 0);
  }
  void Enter() {
    box_.Press(1);
    box_.Press(0);
  }
  CDialogBox box_;
  ui_test::HeldKeys keys_;
};

TEST_F(MessageBox, EnterChoosesTheFocusedButtonAndTheArrowsMoveTheFocus) {
  Open();
  EXPECT_EQ(box_.buttonList.Focused(), box_.buttons[0].get());
  Enter();
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"answer:0"});
  Key(platform::VK_RIGHT);
  Enter();
  Key(platform::VK_LEFT);
  Enter();
  Key(platform::VK_TAB);
  Enter();
  keys_.Hold(platform::kKeyShift);
  Key(platform::VK_TAB);
  Enter();
  EXPECT_EQ(recorded_.clicks, (std::vector<std::string>{"answer:0", "answer:1", "answer:0", "answer:1", "answer:0"}));
  EXPECT_EQ(recorded_.sounds.size(), 5u);
}

TEST_F(MessageBox, TwoButtonsSitAtTheSidesOfThePictureAndOneInItsMiddle) {
  Open();
  const int boxX = (800 - 360) / 2, boxY = (600 - 180) / 2;
  EXPECT_EQ(box_.boxX, boxX);
  EXPECT_EQ(box_.boxY, boxY);
  const platform::Rect& yes = box_.buttons[0]->rect;
  const platform::Rect& no = box_.buttons[1]->rect;
  EXPECT_EQ(yes.left, boxX + 20);
  EXPECT_EQ(no.right, boxX + 360 - 20);
  EXPECT_EQ(yes.right - yes.left, no.right - no.left);
  EXPECT_EQ(yes.top, boxY + 180 - g_bodyFont.GetLineHeight() - 25);
  EXPECT_EQ(yes.bottom - yes.top, g_bodyFont.GetLineHeight() + 5);
  EXPECT_EQ(box_.textRect.bottom, yes.top - 20);
  Open(nullptr);
  ASSERT_EQ(box_.buttons[1], nullptr);
  const platform::Rect& ok = box_.buttons[0]->rect;
  EXPECT_LE(std::abs((ok.left + ok.right) / 2 - (boxX + 180)), 1);
  Key(platform::VK_TAB);
  EXPECT_EQ(box_.buttonList.Focused(), box_.buttons[0].get());
  Enter();
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"answer:0"});
}

TEST_F(MessageBox, OnlyItsButtonsTakeClicks) {
  CTextButton below;
  below.Create(9, {0, 0, 100, 40}, recorded_.Callback("below"), nullptr, 1);
  Open();
  Click(50, 20);    // a control of the screen under the box
  Click(400, 250);  // the box's picture
  EXPECT_TRUE(recorded_.clicks.empty());
  const platform::Rect& no = box_.buttons[1]->rect;
  Click((no.left + no.right) / 2, (no.top + no.bottom) / 2);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"answer:1"});
  box_.Close();
  Click(50, 20);
  EXPECT_EQ(recorded_.clicks, (std::vector<std::string>{"answer:1", "below:9"}));
}

TEST_F(MessageBox, TheOwnerMayCloseTheBoxFromItsAnswer) {
  box_.SetSurface(&g_backBuffer);
  box_.SetFont(&g_bodyFont);
  CFunctionCallback closer([this](int id) {
    recorded_.clicks.push_back("closed:" + std::to_string(id));
    box_.Close();
  });
  box_.Open(&closer, kPicture, "Sure?", "Yes", "No");
  const platform::Rect yes = box_.buttons[0]->rect;
  Click(yes.left + 2, yes.top + 2);
  EXPECT_FALSE(box_.IsOpen());
  EXPECT_EQ(box_.index, -1);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"closed:0"});
}

TEST_F(MessageBox, AMissingPictureIsReportedAndTheBoxStillWorks) {
  testing_support::BoxRecorder boxes;
  Open("No", "Interface\\Test\\Missing.bmp");
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: Interface\\Test\\Missing.bmp");
  EXPECT_EQ(box_.boxWidth, CDialogBox::kDefaultWidth);
  g_backBuffer.Fill(0);
  box_.Draw();
  EXPECT_NE(graphics_test::PixelAt(g_backBuffer, 400, box_.boxY + 10), 0);
  Enter();
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"answer:0"});
}

TEST_F(MessageBox, DrawingShowsThePictureTheMessageAndTheButtons) {
  Open();
  g_backBuffer.Fill(0);
  box_.Draw();
  const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
  auto at = [&](int x, int y) { return drawn[static_cast<size_t>(y) * 800 + x]; };
  // The picture's rim and stone face.
  EXPECT_NE(at(box_.boxX + 1, box_.boxY + 1), 0);
  EXPECT_EQ(at(box_.boxX - 1, box_.boxY), 0);
  const uint16_t face = at(box_.boxX + 10, box_.boxY + 10);
  int ink = 0;
  for (int y = box_.textRect.top; y < box_.textRect.bottom; ++y)
    for (int x = box_.textRect.left; x < box_.textRect.right; ++x) ink += at(x, y) != face;
  EXPECT_GT(ink, 50);
}

}  // namespace
