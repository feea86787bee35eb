#pragma once
// CTextButton: a bevelled rectangle with a centred caption (the menu items of the screens,
// the buttons of the message box). It behaves as a sprite button, except that a release
// clicks only with the pointer over it.

#include "ui/Button.h"

class CTextButton : public CControl {
 public:
  void OnMouse(int flags, CMouseEvent event) override;
  void Draw() override;
  void Erase() override;
  void SetRect(const platform::Rect& area) override { rect = area; }

  int bevel = 20;  // percent
};
