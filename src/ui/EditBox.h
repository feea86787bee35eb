#pragma once
// CEditBox: the one-line text entry of the menu screens (player names, saved-game names,
// chat). It takes characters from WM_CHAR, which the menu screen hands only to a focused edit
// box, shows a blinking caret while focused, and can mask its text with asterisks. The text
// is the control's caption, 255 characters at most, or fewer where the box is given a limit.

#include "ui/Control.h"

class CEditBox : public CControl {
 public:
  static constexpr size_t kMaxText = 255;

  void OnMouse(int flags, CMouseEvent event) override;
  int GetType() override { return kControlEditBox; }
  void Draw() override;
  void Erase() override {}
  // Enter released while focused runs the click callback; a press does nothing (no sound).
  void SetPressed(int down) override;
  void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;
  void SetRect(const platform::Rect& area) override { rect = area; }

  // Copies the text, cut to the box's limit.
  void SetText(const char* text);
  const char* Text() const { return caption.c_str(); }
  // Appends a character from blank to 'z' while the text fits the box and its limit; false
  // when refused.
  bool AddChar(int code);

  // The caret blinks with the edit boxes' draws: every tenth draw of any of them toggles it.
  static bool CaretOn() { return caretOn_; }
  static void ResetCaret() {
    drawCount_ = 0;
    caretOn_ = false;
  }

  int bevel = 20;
  uint8_t masked = 0;
  size_t maxLength = kMaxText;  // at most kMaxText
  // Where the caret stood at the last draw (surface pixels), for the tests.
  platform::Rect caretRect{};

 private:
  static int drawCount_;
  static bool caretOn_;
};
