#pragma once
// What the online lobby's two screens share: a menu screen that is also the lobby session's
// network screen, with the lobby's message box (a text and "OK" on the dialog picture) and the
// abort flag that the session's failed waits set.

#include <memory>
#include <string>

#include "frontend/FrontEndMenu.h"
#include "net/NetScreen.h"
#include "ui/DialogBox.h"

class CLobbyScreen : public CNetScreen, public CFrontEndMenu {
 public:
  CLobbyScreen(int screenId, std::string folder, std::string layoutName, std::vector<MenuWidget> widgets);
  ~CLobbyScreen() override;

  void Unload() override;
  void ShowMessageBox(const char* text, int value) override;
  void Abort() override { abortFlag = 1; }

  bool BoxOpen() const { return dialogBox != nullptr; }

  uint8_t abortFlag = 0;
  int boxValue = 0;  // the value the open box was shown with

 private:
  CDialogBox box_;
  std::unique_ptr<CCallback> boxCallback_;
};
