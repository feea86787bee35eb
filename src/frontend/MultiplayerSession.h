#pragma once
// The three screens that lead into a network battle without the lobby. The quick battle menu
// opens the join screen (a guest types a name and chooses the connection), which leads to the
// game selection (the sessions found, refreshed every half second; joining one leads to the
// guest's set-up screen), and the set-game screen (the host names the session and creates it,
// leading to the host's set-up screen). The command port is the set-up screens' transport on
// this road. The session is released whenever one of these screens is resumed or left, so
// every pass starts afresh. Each sets g_networkGame and the lobby's game mode.

#include <string>

#include "frontend/FrontEndMenu.h"

// The connection a radio button (0-2) chooses: its type and its message delay from the options.
void ChooseConnection(int radioButton);
// The session name proposed for a player: "<name> NN", or "game NN" without a name; NN is
// number modulo 100 in two digits.
std::string ProposeSessionName(const std::string& playerName, int number);

class CJoinMultiplayerScreen : public CFrontEndMenu {
 public:
  enum Button { kContinue = 0, kBack = 1 };

  CJoinMultiplayerScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void OnClick(int type, int index) override;

  // The session interfaces for a guest; false with an empty name or when they cannot be made.
  bool CreateDirectPlay();

 private:
  void KeepPlayerName();
  void ShowPlayerName();
};

class CMultiplayerGameSelectScreen : public CFrontEndMenu {
 public:
  enum Button { kJoin = 0, kBack = 1 };
  static constexpr uint32_t kListRefreshMs = 500;

  CMultiplayerGameSelectScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void AfterDraw() override;
  void OnClick(int type, int index) override;

  // Lists the sessions found now, keeping the selection while its session is listed.
  void RefreshList();
  void Join();

  bool listing = false;
  uint32_t lastRefresh = 0;
};

class CSetMultiplayerScreen : public CFrontEndMenu {
 public:
  enum Button { kCreate = 0, kBack = 1 };

  CSetMultiplayerScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void OnClick(int type, int index) override;

  bool CreateSession();

 private:
  void ShowNames();
};

extern CJoinMultiplayerScreen* g_joinMultiplayer;
extern CMultiplayerGameSelectScreen* g_multiplayerGameSelect;
extern CSetMultiplayerScreen* g_setMultiplayer;
