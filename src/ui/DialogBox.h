#pragma once
// CDialogBox: the in-game message box of the menu screens, a picture centred on the screen
// with a wrapped message and one or two text buttons. It is modal by construction: it
// registers a window object over the whole screen that ignores the mouse, and its buttons
// lie above it, so they are all that can be clicked. While it is open the owning screen
// hands it the keys; the chosen button's id (0 or 1) goes to the owner callback.

#include <memory>
#include <string>

#include "graphics/Pictures.h"
#include "ui/Control.h"
#include "ui/TextButton.h"

class CDialogBox : public CFlatWin {
 public:
  CDialogBox() = default;
  ~CDialogBox() override { Close(); }

  void OnMouse(int, CMouseEvent) override {}
  int IsTransparentAt(int, int) override { return 0; }

  // Both must be set before Open.
  void SetSurface(CSurface* target) { surface = target; }
  void SetFont(CFont* textFont) { font = textFont; }
  // Builds the box; the second caption may be null. A picture that cannot be loaded is
  // reported and the box is drawn as a plain panel of the default size. Answers 1.
  int Open(CCallback* ownerCallback, const char* pictureFile, const char* text, const char* firstCaption,
           const char* secondCaption);
  void Draw();
  // Enter down (1) or up (0): presses the focused button, then chooses it.
  void Press(int down);
  void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
  void Close();
  bool IsOpen() const { return buttons[0] != nullptr; }

  static constexpr int kDefaultWidth = 320;  // the panel without its picture
  static constexpr int kDefaultHeight = 160;

  std::string message;
  std::unique_ptr<CTextButton> buttons[2];
  CCallback* owner = nullptr;
  CControlList buttonList;
  CSurface* surface = nullptr;
  CFont* font = nullptr;
  platform::Rect textRect{};
  CDibBitmap picture;
  bool hasPicture = false;
  int boxX = 0;
  int boxY = 0;
  int boxWidth = 0;
  int boxHeight = 0;
};
