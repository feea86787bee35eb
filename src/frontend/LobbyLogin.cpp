#include "frontend/LobbyLogin.h"

#include "core/Preferences.h"
#include "frontend/LobbyChat.h"
#include "frontend/ScreenTable.h"
#include "net/LobbySession.h"
#include "ui/Cursor.h"
#include "ui/EditBox.h"

CLobbyLoginScreen* g_lobbyLogin = nullptr;

namespace {

std::vector<MenuWidget> LoginWidgets() {
  // The name box first: it takes the focus when the screen loads.
  return {{kWidgetEditBox, 1, true}, {kWidgetEditBox, 2, true}, {kWidgetText, 1, false}, {kWidgetText, 2, false}};
}

bool HasText(const CEditBox* box) { return box && box->Text()[0] != '\0'; }

}  // namespace

CLobbyLoginScreen::CLobbyLoginScreen()
    : CLobbyScreen(kScreenLobby, "Interface\\LobbyLogin\\", "screen (Lobby Login).cfg", LoginWidgets()) {}

CEditBox* CLobbyLoginScreen::NameBox() const { return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, kNameBox)); }

CEditBox* CLobbyLoginScreen::PasswordBox() const {
  return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, kPasswordBox));
}

void CLobbyLoginScreen::AfterLoad() {
  if (CEditBox* name = NameBox()) {
    name->maxLength = kMaxLoginText;
    name->SetText(g_prefs.lobbyLoginName.c_str());
  }
  if (CEditBox* password = PasswordBox()) {
    password->maxLength = kMaxLoginText;
    password->masked = 1;
    password->SetText(g_prefs.lobbyPassword.c_str());
  }
}

void CLobbyLoginScreen::Enter() {
  if (loaded) return;
  abortFlag = 0;
  SetCursorKind(kCursorNormal);
  CLobbyScreen::Enter();
}

void CLobbyLoginScreen::Resume() {
  pendingPush = nullptr;
  // Back from the chat screen: the way leads on to the menu.
  if (closeRequested) return;
  CLobbyScreen::Resume();
}

void CLobbyLoginScreen::OnClick(int type, int index) {
  if (type != kWidgetEditBox || loggingIn_ || BoxOpen()) return;
  if (HasText(NameBox()) && HasText(PasswordBox())) {
    LogIn();
    return;
  }
  CEditBox* other = index == kNameBox ? PasswordBox() : NameBox();
  if (other) controls.SetFocus(other);
}

void CLobbyLoginScreen::LogIn() {
  const CEditBox* name = NameBox();
  const CEditBox* password = PasswordBox();
  if (!HasText(name) || !HasText(password)) return;
  g_prefs.lobbyLoginName = name->Text();
  g_prefs.lobbyPassword = password->Text();
  g_prefs.Save();

  loggingIn_ = true;
  abortFlag = 0;
  g_lobbySession.handler = this;
  g_lobbySession.SetLogin(g_prefs.lobbyLoginName.c_str(), g_prefs.lobbyPassword.c_str());
  g_lobbySession.Connect();
  loggingIn_ = false;

  if (!abortFlag && !BoxOpen() && g_lobbySession.connected) {
    // Leaving the chat screen later leads past this screen, to the menu below it.
    closeRequested = 1;
    LeaveTo(g_lobbyChat);
    return;
  }
  g_lobbySession.Release();
}
