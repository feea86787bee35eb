#pragma once
// The main menu's stand-in until the front end exists: an empty screen that Escape closes.

#include "ui/Screen.h"

class CPlaceholderMenu : public CScreen {
 public:
  CPlaceholderMenu() { id = 3; }
  void Update() override;
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;
};
