// Radio buttons in their groups: exactly one selected, sounds, the group's capacity, and
// buttons that are not yet active or have no group.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/RadioButton.h"

namespace {

class Radios : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    group_.Reserve(3);
    for (int i = 0; i < 3; ++i) {
      auto button = std::make_unique<CRadioButton>();
      button->SetSurface(&g_backBuffer);
      button->SetFont(&g_bodyFont);
      button->Create(i, platform::Rect{100, 100 + 30 * i, 300, 124 + 30 * i});
      button->SetCaption(("Choice " + std::to_string(i)).c_str());
      button->Restore();
      EXPECT_TRUE(group_.Add(button.get()));
      list_.Add(button.get(), i == 0 ? 1 : 0);
      buttons_.push_back(std::move(button));
    }
  }
  std::string Selection() const {
    std::string out;
    for (const auto& button : buttons_) out += button->Selected() ? "x" : "-";
    return out;
  }
  void ClickButton(int i) { ui_test::Click(110, 110 + 30 * i); }
  CRadioGroup group_;
  CControlList list_;
  std::vector<std::unique_ptr<CRadioButton>> buttons_;
};

TEST_F(Radios, ClicksSwitchExactlyOneButtonOfTheGroup) {
  struct Step {
    int click;
    const char* selection;
    size_t sounds;
  };
  const Step steps[] = {{1, "-x-", 1}, {2, "--x", 2}, {2, "--x", 2}, {0, "x--", 3}, {1, "-x-", 4}};
  for (const Step& step : steps) {
    ClickButton(step.click);
    EXPECT_EQ(Selection(), step.selection) << step.click;
    EXPECT_EQ(group_.selected, step.click);
    EXPECT_EQ(recorded_.sounds.size(), step.sounds);
    EXPECT_EQ(list_.Focused(), buttons_[static_cast<size_t>(step.click)].get());
  }
  EXPECT_TRUE(recorded_.clicks.empty());  // a radio button runs no callback
}

TEST_F(Radios, EnterSelectsWithTheSound) {
  buttons_[2]->SetPressed(1);
  EXPECT_EQ(Selection(), "---");
  buttons_[2]->SetPressed(0);
  EXPECT_EQ(Selection(), "--x");
  EXPECT_EQ(recorded_.sounds, std::vector<int>{801});
  group_.Select(buttons_[0].get(), false);
  EXPECT_EQ(Selection(), "x--");
  EXPECT_EQ(recorded_.sounds.size(), 1u);
}

TEST_F(Radios, AFullGroupRefusesAndButtonsWithoutAGroupOrActivationStayAlone) {
  CRadioButton fourth;
  fourth.Create(3, {100, 200, 300, 224});
  EXPECT_FALSE(group_.Add(&fourth));
  EXPECT_EQ(fourth.group, nullptr);
  EXPECT_EQ(group_.Count(), 3);
  // Created but not activated: no mouse input.
  ui_test::Click(110, 210);
  EXPECT_EQ(fourth.state, kStateNormal);
  // Activated but in no group: a click or Enter selects nothing and touches no group.
  fourth.Restore();
  ui_test::Click(110, 210);
  fourth.SetPressed(0);
  EXPECT_EQ(fourth.state, kStateNormal);
  EXPECT_EQ(Selection(), "---");
  // A button of another group is refused by this one.
  group_.Select(&fourth, true);
  EXPECT_EQ(Selection(), "---");
  EXPECT_TRUE(recorded_.sounds.empty());
}

TEST_F(Radios, TheFocusedButtonShowsItsFocusedFrame) {
  group_.Select(buttons_[0].get(), false);
  g_backBuffer.Fill(0xFFFF);
  buttons_[0]->Unhighlight();
  buttons_[0]->Draw();
  const std::vector<uint16_t> plain = graphics_test::Pixels(g_backBuffer);
  g_backBuffer.Fill(0xFFFF);
  buttons_[0]->Highlight();
  buttons_[0]->Draw();
  const std::vector<uint16_t> focused = graphics_test::Pixels(g_backBuffer);
  EXPECT_NE(plain, focused);
  // The caption lies right of the image.
  int ink = 0;
  for (int y = 100; y < 124; ++y)
    for (int x = 130; x < 300; ++x) ink += plain[static_cast<size_t>(y) * 800 + x] != 0xFFFF;
  EXPECT_GT(ink, 0);
}

}  // namespace
