// The list box and the message list box: scrolling a list longer than its box, selection by
// mouse and keys, removals, iteration, and messages wrapped at the box's width.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/Font.h"
#include "ui/ListBox.h"

namespace {

class Lists : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    line_ = g_bodyFont.GetLineHeight() + 2;
    list_.SetFont(&g_bodyFont);
    list_.SetSurface(&g_backBuffer);
    // Four lines and a half: four show.
    list_.Create(6, {100, 100, 400, 100 + 4 * line_ + line_ / 2}, recorded_.Callback("list"), 1);
    controls_.Add(&list_, 1);
  }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) list_.AddItem(("item " + std::to_string(i)).c_str());
  }
  // The texts of the items, with the cursor line in brackets and selected ones starred.
  std::string Shown() const {
    std::string out;
    for (int i = 0; i < list_.ItemCount(); ++i) {
      std::string text = list_.items[static_cast<size_t>(i)].text.substr(5);
      if (list_.items[static_cast<size_t>(i)].selected) text += "*";
      if (i == list_.cursor) text = "[" + text + "]";
      out += (out.empty() ? "" : " ") + text;
    }
    return out;
  }
  void ClickLine(int row) { ui_test::Click(150, 100 + row * line_ + line_ / 2); }
  void Key(int key) { list_.OnKey(nullptr, platform::WM_KEYDOWN, static_cast<uintptr_t>(key), 0); }
  int line_ = 0;
  CListBox list_;
  CControlList controls_;
  ui_test::HeldKeys keys_;
};

TEST_F(Lists, TheScrollBarComesWithTheFifthItemAndGoesWhenTheItemsFitAgain) {
  EXPECT_EQ(list_.visibleLines, 4);
  Fill(4);
  EXPECT_EQ(list_.scrollBar, nullptr);
  list_.AddItem("item 4");
  ASSERT_NE(list_.scrollBar, nullptr);
  EXPECT_EQ(list_.scrollBar->maxValue, 1);
  EXPECT_EQ(list_.scrollBar->rect.left, 400 - 16);
  Fill(3);
  EXPECT_EQ(list_.scrollBar->maxValue, 4);
  // The bar scrolls the list.
  list_.scrollBar->ChangeValue(3);
  EXPECT_EQ(list_.topIndex, 3);
  for (int i = 0; i < 4; ++i) list_.RemoveAt(0);
  EXPECT_EQ(list_.scrollBar, nullptr);
  EXPECT_EQ(list_.topIndex, 0);
}

TEST_F(Lists, AnItemAddedWhileScrolledKeepsTheViewAndTheKnobWhereTheyAre) {
  Fill(8);
  list_.scrollBar->ChangeValue(3);
  ASSERT_EQ(list_.topIndex, 3);
  list_.AddItem("item 8");
  EXPECT_EQ(list_.topIndex, 3);
  EXPECT_EQ(list_.scrollBar->maxValue, 5);
  EXPECT_EQ(list_.scrollBar->value, 3);
  EXPECT_EQ(list_.scrollBar->knob.rect.top, list_.scrollBar->KnobPositionFor(3));
  // The down arrow scrolls on from the line shown.
  const platform::Rect down = list_.scrollBar->highArrow.rect;
  ui_test::Click((down.left + down.right) / 2, (down.top + down.bottom) / 2);
  EXPECT_EQ(list_.topIndex, 4);
}

TEST_F(Lists, ClicksSelectTheLineUnderThePointer) {
  Fill(3);
  ClickLine(1);
  EXPECT_EQ(Shown(), "0 [1*] 2");
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"list:0"});  // a new selection reports 0
  ClickLine(3);                                                     // below the last item: the last item
  EXPECT_EQ(Shown(), "0 1 [2*]");
  list_.SetMultiSelect(1);
  keys_.Hold(platform::kKeyShift);
  ClickLine(0);
  EXPECT_EQ(Shown(), "[0*] 1 2*");
  keys_.Release(platform::kKeyShift);
  ClickLine(1);
  EXPECT_EQ(Shown(), "0 [1*] 2");
  list_.toggleSelect = 1;
  ClickLine(1);
  EXPECT_EQ(Shown(), "0 1 2");
  EXPECT_EQ(recorded_.clicks.size(), 4u);
}

TEST_F(Lists, TheArrowsMoveTheCursorAndScrollAtTheEdges) {
  Fill(6);
  ClickLine(0);
  for (int i = 0; i < 4; ++i) Key(platform::VK_DOWN);
  EXPECT_EQ(list_.cursor, 4);
  EXPECT_EQ(list_.topIndex, 1);  // the cursor went just below the shown lines
  EXPECT_EQ(list_.scrollBar->value, 1);
  EXPECT_EQ(list_.items[0].selected, 0);  // the arrows leave the selection to the cursor
  for (int i = 0; i < 3; ++i) Key(platform::VK_DOWN);
  EXPECT_EQ(list_.cursor, 5);
  for (int i = 0; i < 4; ++i) Key(platform::VK_UP);
  EXPECT_EQ(list_.cursor, 1);
  EXPECT_EQ(list_.topIndex, 1);
  Key(platform::VK_UP);
  EXPECT_EQ(list_.cursor, 0);
  EXPECT_EQ(list_.topIndex, 0);
  Key(platform::VK_UP);
  EXPECT_EQ(list_.cursor, 0);
  EXPECT_STREQ(list_.FirstSelected(), "item 0");
  // Enter's release runs the callback with the list's id.
  list_.SetPressed(0);
  EXPECT_EQ(recorded_.clicks.back(), "list:6");
}

TEST_F(Lists, ARemovalKeepsTheCursorOnItsItemOrMovesItBackOneLine) {
  struct Case {
    int cursor, removed;
    const char* shown;
  };
  const Case cases[] = {
      {2, 0, "1 [2*] 3 4"},  // above the cursor: it keeps its item
      {2, 2, "0 [1] 3 4"},   // the cursor's own: the line above
      {2, 4, "0 1 [2*] 3"},  // below: nothing moves
      {0, 0, "[1] 2 3 4"},   // the first: the new first line
      {4, 4, "0 1 2 [3]"},   // the last: the new last line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.cursor) + " " + std::to_string(c.removed));
    list_.Clear();
    Fill(5);
    list_.Select(c.cursor);
    list_.RemoveAt(c.removed);
    EXPECT_EQ(Shown(), c.shown);
  }
  list_.Clear();
  list_.AddItem("twin");
  list_.AddItem("other");
  list_.AddItem("twin");
  list_.RemoveItem("twin");
  EXPECT_EQ(list_.ItemCount(), 1);
  EXPECT_EQ(list_.FindItem("other"), 0);
  EXPECT_EQ(list_.FindItem("twin"), -1);
  list_.RemoveAt(5);  // out of range: nothing
  list_.RemoveAt(0);
  EXPECT_EQ(list_.cursor, -1);
}

TEST_F(Lists, IterationOverTheSelectionAndTheCursorLine) {
  EXPECT_STREQ(list_.FirstSelected(), "");
  EXPECT_EQ(list_.NextSelected(), nullptr);
  Fill(5);
  list_.SetMultiSelect(1);
  keys_.Hold(platform::kKeyShift);
  list_.Select(1);
  list_.Select(3);
  std::vector<std::string> seen{list_.FirstSelected()};
  for (const char* next = list_.NextSelected(); next && *next; next = list_.NextSelected()) seen.push_back(next);
  EXPECT_EQ(seen, (std::vector<std::string>{"item 1", "item 3"}));
  EXPECT_EQ(list_.Select(-1), 0);
  EXPECT_STREQ(list_.FirstSelected(), "");
  // Many items, and texts longer than a slot, stay within the list.
  for (int i = 0; i < 500; ++i) list_.AddItem(std::string(400, 'x').c_str());
  EXPECT_EQ(list_.ItemCount(), 505);
  EXPECT_EQ(list_.items.back().text.size(), 255u);
}

class MessageLog : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    log_.SetFont(&g_bodyFont);
    log_.SetSurface(&g_backBuffer);
    log_.Create({100, 100, 300, 100 + 5 * (g_bodyFont.GetLineHeight() + 2)}, 1);
  }
  CMessageListBox log_;
};

TEST_F(MessageLog, AMessageWrapsAtTheBoxsWidthIntoLinesOfOneNumber) {
  log_.AddMessage("Short", 255, 255, 255);
  log_.AddMessage("A message long enough to wrap over three lines of this narrow box at least", 255, 220, 40);
  ASSERT_GE(log_.LineCount(), 4);
  std::vector<int> numbers;
  for (const auto& line : log_.lines) {
    numbers.push_back(line.message);
    const TextRect wide{0, 0, 10000, 100};
    EXPECT_LE(g_bodyFont.MeasureText(line.text.c_str(), wide, kTextLeft), 200 - 16) << line.text;
  }
  EXPECT_EQ(numbers.front(), 0);
  EXPECT_EQ(numbers.back(), 1);
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1), log_.LineCount() - 1);
  EXPECT_EQ(log_.lines.back().green, 220);
  EXPECT_EQ(log_.messageCount, 2);
}

TEST_F(MessageLog, TheListScrollsToEachNewMessageAndDropsTheOldestAsAWhole) {
  for (int i = 0; i < 4; ++i) log_.AddMessage(("line " + std::to_string(i)).c_str(), 0, 0, 0);
  EXPECT_EQ(log_.scrollBar, nullptr);
  log_.AddMessage("five", 0, 0, 0);
  log_.AddMessage("six", 0, 0, 0);
  ASSERT_NE(log_.scrollBar, nullptr);
  EXPECT_EQ(log_.topIndex, 1);  // the list ends with the newest
  for (int i = 0; i < 200; ++i) log_.AddMessage(("message " + std::to_string(i) + " of the long log").c_str(), 0, 0, 0);
  EXPECT_LE(log_.LineCount(), CMessageListBox::kMaxLines);
  // Whole messages went: the first line left starts a message.
  const int first = log_.lines.front().message;
  EXPECT_EQ(log_.lines.front().text.rfind("message", 0), 0u);
  EXPECT_GT(first, 0);
  EXPECT_EQ(log_.topIndex, log_.scrollBar->maxValue);
  log_.Clear();
  EXPECT_EQ(log_.LineCount(), 0);
  EXPECT_EQ(log_.scrollBar, nullptr);
  log_.AddMessage("", 0, 0, 0);  // an empty message is one empty line
  EXPECT_EQ(log_.LineCount(), 1);
}

}  // namespace
