#include "frontend/MultiplayerSession.h"

#include <cstdio>

#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/ScreenTable.h"
#include "net/NetCommandPort.h"
#include "net/NetMachine.h"
#include "platform/Clock.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/RadioButton.h"

CJoinMultiplayerScreen* g_joinMultiplayer = nullptr;
CMultiplayerGameSelectScreen* g_multiplayerGameSelect = nullptr;
CSetMultiplayerScreen* g_setMultiplayer = nullptr;

namespace {

// The radio button chosen among the first three of a screen (0 when none is).
int ChosenConnection(const CFrontEndMenu& screen) {
  for (int r = 0; r < 3; ++r)
    if (auto* radio = static_cast<CRadioButton*>(screen.ControlOf(kWidgetRadioButton, r)); radio && radio->Selected())
      return r;
  return 0;
}

void SelectFirstConnection(const CFrontEndMenu& screen) {
  auto* radio = static_cast<CRadioButton*>(screen.ControlOf(kWidgetRadioButton, 0));
  if (radio && radio->group) radio->group->Select(radio, false);
}

std::string Trimmed(const char* text) {
  std::string s = text ? text : "";
  s.erase(0, s.find_first_not_of(' '));
  const size_t last = s.find_last_not_of(' ');
  s.erase(last == std::string::npos ? 0 : last + 1);
  return s;
}

void KeepName(const std::string& name) {
  if (g_prefs.playerName == name) return;
  g_prefs.playerName = name;
  g_prefs.Save();
}

void EnterNetworkRoad() {
  g_networkGame = 1;
  g_gameMode = kGameModeLobby;
}

std::vector<MenuWidget> JoinWidgets() {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= 3; ++n) widgets.push_back({kWidgetText, n, false});
  for (int n = 1; n <= 3; ++n) widgets.push_back({kWidgetRadioButton, n, true});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetTextButton, n, true});
  widgets.push_back({kWidgetEditBox, 1, true});
  return widgets;
}

std::vector<MenuWidget> SelectWidgets() {
  return {
      {kWidgetText, 1, false}, {kWidgetListBox, 1, true}, {kWidgetTextButton, 1, true}, {kWidgetTextButton, 2, true}};
}

std::vector<MenuWidget> SetWidgets() {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= 4; ++n) widgets.push_back({kWidgetText, n, false});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetEditBox, n, true});
  for (int n = 1; n <= 3; ++n) widgets.push_back({kWidgetRadioButton, n, true});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetTextButton, n, true});
  return widgets;
}

}  // namespace

void ChooseConnection(int radioButton) {
  switch (radioButton) {
    case 1:
      g_netSession.connectionType = kConnectionAddress;
      g_netSession.messageDelay = g_messageDelayFrames_NET;
      break;
    case 2:
      g_netSession.connectionType = kConnectionAsk;
      g_netSession.messageDelay = g_messageDelayFrames_SERIAL;
      break;
    default:
      g_netSession.connectionType = kConnectionLan;
      g_netSession.messageDelay = g_messageDelayFrames_LAN;
      break;
  }
}

std::string ProposeSessionName(const std::string& playerName, int number) {
  char text[64];
  const int digits = ((number % 100) + 100) % 100;
  if (playerName.empty())
    std::snprintf(text, sizeof text, "game %02d", digits);
  else
    std::snprintf(text, sizeof text, "%.30s %02d", playerName.c_str(), digits);
  return text;
}

// --- Join Multiplayer Game ------------------------------------------------------------------

CJoinMultiplayerScreen::CJoinMultiplayerScreen()
    : CFrontEndMenu(kScreenJoinMultiplayer, "Interface\\JoinMultiplayerScreen\\", "Screen (Join Multiplayer Game).cfg",
                    JoinWidgets()) {}

void CJoinMultiplayerScreen::ShowPlayerName() {
  if (auto* box = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0))) box->SetText(g_prefs.playerName.c_str());
  SelectFirstConnection(*this);
}

void CJoinMultiplayerScreen::KeepPlayerName() {
  if (auto* box = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0))) KeepName(Trimmed(box->Text()));
}

void CJoinMultiplayerScreen::Enter() {
  EnterNetworkRoad();
  CFrontEndMenu::Enter();
  ShowPlayerName();
}

void CJoinMultiplayerScreen::Suspend() {
  KeepPlayerName();
  CFrontEndMenu::Suspend();
}

void CJoinMultiplayerScreen::Resume() {
  g_netSession.Release();
  pendingPush = nullptr;
  EnterNetworkRoad();
  CFrontEndMenu::Resume();
  ShowPlayerName();
}

void CJoinMultiplayerScreen::Exit() {
  g_netSession.Release();
  CFrontEndMenu::Exit();
}

bool CJoinMultiplayerScreen::CreateDirectPlay() {
  ChooseConnection(ChosenConnection(*this));
  KeepPlayerName();
  if (g_prefs.playerName.empty()) return false;
  if (!g_netSession.CreateInterfaces(0)) {
    ShowGeneralError("could not create directplay object");
    g_netSession.Release();
    return false;
  }
  g_netMachine.Reset();
  return true;
}

void CJoinMultiplayerScreen::OnClick(int type, int index) {
  if (type == kWidgetEditBox) {
    KeepPlayerName();
  } else if (type == kWidgetTextButton && index == kContinue) {
    if (CreateDirectPlay()) LeaveTo(g_multiplayerGameSelect);
  } else if (type == kWidgetTextButton && index == kBack) {
    LeaveClosing();
  }
}

// --- Multiplayer Game Selection -------------------------------------------------------------

CMultiplayerGameSelectScreen::CMultiplayerGameSelectScreen()
    : CFrontEndMenu(kScreenMultiplayerGameSelect, "Interface\\MultiplayerGameSelect\\",
                    "Screen (Multiplayer Game Selection).cfg", SelectWidgets()) {}

void CMultiplayerGameSelectScreen::Enter() {
  CFrontEndMenu::Enter();
  pendingPopTo = nullptr;
  listing = g_netSession.Connect();
  lastRefresh = platform::TickCount() - kListRefreshMs;
}

void CMultiplayerGameSelectScreen::Exit() {
  if (listing) g_netSession.StopSessionList();
  listing = false;
  CFrontEndMenu::Exit();
}

void CMultiplayerGameSelectScreen::Suspend() {
  if (listing) g_netSession.StopSessionList();
  CFrontEndMenu::Suspend();
}

void CMultiplayerGameSelectScreen::AfterDraw() {
  if (!listing || platform::TickCount() - lastRefresh < kListRefreshMs) return;
  lastRefresh = platform::TickCount();
  RefreshList();
}

void CMultiplayerGameSelectScreen::RefreshList() {
  CListBox* list = List(0);
  if (!list) return;
  const char* selected = list->FirstSelected();
  const std::string remembered = selected ? selected : "";
  list->Clear();
  g_netSession.StartSessionList([list](const std::string& name) { list->AddItem(name.c_str()); });
  if (remembered.empty()) return;
  const int found = list->FindItem(remembered.c_str());
  if (found >= 0) list->Select(found);
}

void CMultiplayerGameSelectScreen::Join() {
  CListBox* list = List(0);
  const char* selected = list ? list->FirstSelected() : nullptr;
  if (!selected || !*selected) return;
  g_netSession.sessionName = selected;
  if (!g_netSession.JoinGame()) return;
  g_netSession.phase = kNetPhaseDirectSetup;
  if (!g_netClient.CreatePlayer(g_prefs.playerName.c_str())) {
    ShowGeneralError("could not create directplay client player");
    return;
  }
  g_multiplayerClient->transport = &g_netCommandPort;
  g_multiplayerClient->cameFrom = id;
  g_netCommandPort.handler = g_multiplayerClient;
  // Leaving the guest's set-up later leads past this screen, to the join screen.
  closeRequested = 1;
  LeaveTo(g_multiplayerClient);
}

void CMultiplayerGameSelectScreen::OnClick(int type, int index) {
  if (type == kWidgetTextButton && index == kJoin) {
    Join();
  } else if (type == kWidgetTextButton && index == kBack) {
    BeginFadeOut();
    pendingPopTo = g_quickBattleMenu;
  }
}

// --- Set Multiplayer Game -------------------------------------------------------------------

CSetMultiplayerScreen::CSetMultiplayerScreen()
    : CFrontEndMenu(kScreenSetMultiplayer, "Interface\\SetMultiplayerScreen\\", "Screen (Set Multiplayer Game).cfg",
                    SetWidgets()) {}

void CSetMultiplayerScreen::ShowNames() {
  const std::string proposal =
      ProposeSessionName(g_prefs.playerName, static_cast<int>((g_random.Next() & 0x7fffffffu) % 100u));
  if (auto* session = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0))) session->SetText(proposal.c_str());
  if (auto* player = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 1))) player->SetText(g_prefs.playerName.c_str());
  SelectFirstConnection(*this);
}

void CSetMultiplayerScreen::Enter() {
  EnterNetworkRoad();
  CFrontEndMenu::Enter();
  ShowNames();
}

void CSetMultiplayerScreen::Suspend() { CFrontEndMenu::Suspend(); }

void CSetMultiplayerScreen::Resume() {
  g_netSession.Release();
  pendingPush = nullptr;
  CFrontEndMenu::Resume();
  if (auto* player = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 1))) player->SetText(g_prefs.playerName.c_str());
}

void CSetMultiplayerScreen::Exit() {
  g_netSession.Release();
  CFrontEndMenu::Exit();
}

bool CSetMultiplayerScreen::CreateSession() {
  ChooseConnection(ChosenConnection(*this));
  auto* sessionBox = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0));
  const std::string sessionName = Trimmed(sessionBox ? sessionBox->Text() : "");
  if (sessionName.empty()) return false;
  g_netSession.sessionName = sessionName;
  const char* failure = nullptr;
  if (!g_netSession.CreateInterfaces(1)) {
    failure = "could not create directplay object";
  } else {
    g_netMachine.Reset();
    if (!g_netSession.CreateGame()) {
      failure = "could not create directplay session";
    } else if (!g_netSession.CreateHostPlayer()) {
      failure = "could not create directplay server player";
    } else {
      if (auto* player = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 1))) KeepName(Trimmed(player->Text()));
      if (!g_netClient.CreatePlayer(g_prefs.playerName.c_str())) failure = "could not create directplay client player";
    }
  }
  if (failure) {
    ShowGeneralError(failure);
    g_netSession.Release();
    return false;
  }
  g_netSession.phase = kNetPhaseDirectSetup;
  return true;
}

void CSetMultiplayerScreen::OnClick(int type, int index) {
  if (type != kWidgetTextButton) return;
  if (index == kBack) {
    LeaveClosing();
  } else if (index == kCreate) {
    // Without a session name or a player name there is nothing to create: the screen stays.
    auto* session = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0));
    auto* player = static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 1));
    if (!session || !player || Trimmed(session->Text()).empty() || Trimmed(player->Text()).empty()) return;
    LeaveClosing();
    if (!CreateSession()) return;
    g_multiplayerHost->transport = &g_netCommandPort;
    g_multiplayerHost->cameFrom = id;
    g_netCommandPort.handler = g_multiplayerHost;
    pendingPush = g_multiplayerHost;
  }
}
