// The edit box: typing, backspace, the length cap, the box's width, the caret and masking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/EditBox.h"

namespace {

class EditBoxes : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    CEditBox::ResetCaret();
    Make(box_, {100, 100, 700, 130});
  }
  void Make(CEditBox& box, const platform::Rect& area) {
    box.SetFont(&g_bodyFont);
    box.SetSurface(&g_backBuffer);
    box.Create(3, area, recorded_.Callback("entered"), nullptr, 1);
  }
  static void Char(CEditBox& box, int code) { box.OnKey(nullptr, platform::WM_CHAR, static_cast<uintptr_t>(code), 0); }
  static void KeyDown(CEditBox& box, int key) {
    box.OnKey(nullptr, platform::WM_KEYDOWN, static_cast<uintptr_t>(key), 0);
  }
  CEditBox box_;
};

TEST_F(EditBoxes, TypingTakesBlankToZAndBackspaceTakesTheLastCharacter) {
  struct Step {
    int code;  // a character, or a key when negative
    const char* text;
  };
  const Step steps[] = {
      {'a', "a"},
      {' ', "a "},
      {'Z', "a Z"},
      {'{', "a Z"},
      {'~', "a Z"},
      {0xE9, "a Z"},
      {13, "a Z"},
      {9, "a Z"},
      {'z', "a Zz"},
      {-platform::VK_BACK, "a Z"},
      {-platform::VK_DELETE, "a "},
      {-platform::VK_BACK, "a"},
      {-platform::VK_BACK, ""},
      {-platform::VK_BACK, ""},
      {'!', "!"},
  };
  for (const Step& step : steps) {
    if (step.code < 0)
      KeyDown(box_, -step.code);
    else
      Char(box_, step.code);
    EXPECT_STREQ(box_.Text(), step.text) << step.code;
  }
}

TEST_F(EditBoxes, TheTextStopsAt255CharactersAndAtTheBoxsEdge) {
  CEditBox wide;
  Make(wide, {0, 0, 100000, 30});
  wide.SetText(std::string(300, 'x').c_str());
  EXPECT_EQ(std::string(wide.Text()).size(), 255u);
  EXPECT_FALSE(wide.AddChar('y'));
  wide.SetText(std::string(254, 'x').c_str());
  EXPECT_TRUE(wide.AddChar('y'));
  EXPECT_FALSE(wide.AddChar('y'));
  // A narrow box fills before that, and still takes Backspace.
  CEditBox narrow;
  Make(narrow, {0, 40, 80, 70});
  int typed = 0;
  while (narrow.AddChar('m')) ++typed;
  EXPECT_GT(typed, 0);
  EXPECT_LT(typed, 20);
  KeyDown(narrow, platform::VK_BACK);
  EXPECT_EQ(std::string(narrow.Text()).size(), static_cast<size_t>(typed - 1));
  EXPECT_TRUE(narrow.AddChar('m'));
}

TEST_F(EditBoxes, TheCaretFollowsTheTextAndBlinksWithEveryTenthDrawOfAnyBox) {
  box_.Highlight();
  box_.SetText("Merlin");
  std::vector<bool> caret;
  for (int draw = 0; draw < 20; ++draw) {
    box_.Draw();
    caret.push_back(CEditBox::CaretOn());
  }
  // Off for the first nine draws, on from the tenth, off again from the twentieth.
  EXPECT_FALSE(caret[8]);
  EXPECT_TRUE(caret[9]);
  EXPECT_TRUE(caret[18]);
  EXPECT_FALSE(caret[19]);
  const platform::Rect after = box_.caretRect;
  box_.SetText("Merlin the Wise");
  box_.Draw();
  EXPECT_GT(box_.caretRect.left, after.left);
  EXPECT_EQ(box_.caretRect.right - box_.caretRect.left, g_bodyFont.GetCharWidth(' ', false));
  // Two boxes blink at the rate of the sum of their draws.
  CEditBox other;
  Make(other, {100, 200, 300, 230});
  CEditBox::ResetCaret();
  for (int draw = 0; draw < 5; ++draw) {
    box_.Draw();
    other.Draw();
  }
  EXPECT_TRUE(CEditBox::CaretOn());
}

TEST_F(EditBoxes, AMaskedBoxShowsOneAsteriskPerCharacter) {
  CEditBox plain;
  Make(plain, box_.rect);
  plain.SetText("***");
  g_backBuffer.Fill(0);
  plain.Draw();
  const std::vector<uint16_t> stars = graphics_test::Pixels(g_backBuffer);
  box_.masked = 1;
  box_.SetText("abc");
  g_backBuffer.Fill(0);
  box_.Draw();
  EXPECT_EQ(graphics_test::Pixels(g_backBuffer), stars);
}

TEST_F(EditBoxes, EnterRunsTheCallbackOnItsReleaseOnlyAndAClickFocuses) {
  box_.SetPressed(1);
  EXPECT_TRUE(recorded_.clicks.empty());
  EXPECT_TRUE(recorded_.sounds.empty());
  box_.SetPressed(0);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"entered:3"});
  CControlList list;
  CEditBox other;
  Make(other, {100, 200, 300, 230});
  list.Add(&other, 1);
  list.Add(&box_, 0);
  ui_test::Click(150, 110);
  EXPECT_EQ(list.Focused(), &box_);
  EXPECT_EQ(recorded_.clicks.size(), 1u);
  KeyDown(box_, platform::VK_TAB);
  EXPECT_EQ(list.Focused(), &other);
}

}  // namespace
