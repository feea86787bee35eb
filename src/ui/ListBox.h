#pragma once
// The selectable list of the menu screens (CListBox: saves, maps, players) and the scrolling,
// word-wrapped, coloured message log of the chat and lobby screens (CMessageListBox). Both
// make a scroll bar of their own, 16 pixels wide at their right edge, as soon as they hold
// more lines than they show, and drop it when the lines fit again.

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "ui/SliderBar.h"

class CListBox : public CControl {
 public:
  static constexpr int kFirstSlots = 10;
  static constexpr int kMoreSlots = 5;
  static constexpr size_t kMaxText = 255;

  struct Item {
    std::string text;
    uint8_t selected = 0;
  };

  ~CListBox() override;

  void OnMouse(int flags, CMouseEvent event) override;
  int IsTransparentAt(int, int) override { return 0; }
  int GetType() override { return kControlListBox; }
  void Draw() override;
  void Erase() override {}
  // Enter released while focused runs the click callback with the id.
  void SetPressed(int down) override;
  void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // The font must be set before. Answers the registration's result.
  int Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled);
  // Appends an item (its text cut to 255 characters).
  void AddItem(const char* text);
  void RemoveAt(int n);
  // Removes every item whose text equals this one (case counts).
  void RemoveItem(const char* text);
  void Clear();
  // Makes n the cursor line and selects it (unselects it with toggleSelect when it was
  // selected), then unselects the others unless Shift adds to a multiple selection; -1
  // clears every selection. Answers 1 when n ends selected.
  int Select(int n);
  int FindItem(const char* text) const;
  void SetMultiSelect(int flag) { multiSelect = flag ? 1 : 0; }
  // The items that are selected or are the cursor line: the first ("" for none), then the
  // next after it ("" at the end, null for an empty list).
  const char* FirstSelected();
  const char* NextSelected();

  int ItemCount() const { return static_cast<int>(items.size()); }
  int LineHeight() const;

  std::vector<Item> items;
  int visibleLines = 0;
  int topIndex = 0;
  uint8_t multiSelect = 0;
  uint8_t toggleSelect = 0;
  int cursor = -1;
  int bevel = 20;
  std::unique_ptr<CScrollBar> scrollBar;

 private:
  void AfterRemoval(int removed);
  void ScrollBy(int lines);
  int iterator_ = 0;
  std::unique_ptr<CCallback> scrollCallback_;
};

class CMessageListBox : public CPlainControl {
 public:
  static constexpr int kMaxLines = 150;

  struct Line {
    std::string text;
    int message = 0;  // the number of the message it belongs to
    int red = 0, green = 0, blue = 0;
  };

  ~CMessageListBox() override;

  void OnMouse(int, CMouseEvent) override {}
  int GetType() override { return kControlMessageListBox; }
  void Draw() override;
  void Erase() override {}
  void OnKey(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override {}

  // In place of registering: the font must be set before.
  int Create(const platform::Rect& area, int isActive);
  // Wraps the text at the box's width less the scroll bar's and appends its lines in the
  // colour; past 150 lines the oldest message goes as a whole. The new message shows from its
  // first line, or the list ends with it.
  void AddMessage(const char* text, int red, int green, int blue);
  void Clear();

  int LineCount() const { return static_cast<int>(lines.size()); }
  int LineHeight() const;

  std::list<Line> lines;
  int visibleLines = 0;
  int topIndex = 0;
  int messageCount = 0;  // the number the next message gets
  int bevel = 20;
  // The colour a message in black is shown in (the layout's first colour): the lobby's own
  // notices come in black, which the dark consoles of the forged screens would swallow.
  int blackAs[3] = {0, 0, 0};
  std::unique_ptr<CScrollBar> scrollBar;

 private:
  void UpdateScrollBar();
  void RemoveOldestMessage();
  std::unique_ptr<CCallback> scrollCallback_;
};
