#pragma once
// CLobbyLoginScreen: the way into the online lobby from the main menu. The player types the
// lobby name and password (nine characters each, as much as the lobby server takes: nothing is
// cut unseen); Enter in a box logs in when both hold text and otherwise moves to the other box.
// A good login pushes the chat screen and leaves this one to close behind it, so that leaving
// the lobby returns to the menu; a failed one keeps the player here with the failure's box and
// the session released. Escape returns to the menu.

#include "frontend/LobbyScreen.h"

class CEditBox;

class CLobbyLoginScreen : public CLobbyScreen {
 public:
  enum Box { kNameBox = 0, kPasswordBox = 1 };
  // The longest name and password the lobby server takes.
  static constexpr size_t kMaxLoginText = 9;

  CLobbyLoginScreen();

  void Enter() override;
  void Resume() override;
  void OnClick(int type, int index) override;

  CEditBox* NameBox() const;
  CEditBox* PasswordBox() const;
  // Keeps both texts in the preferences and connects the lobby session.
  void LogIn();

 protected:
  void AfterLoad() override;

 private:
  bool loggingIn_ = false;  // the connection's wait runs the window's messages: no second login
};

extern CLobbyLoginScreen* g_lobbyLogin;
