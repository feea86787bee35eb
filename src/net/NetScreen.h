#pragma once
// CNetScreen: how a transport talks back to the network screen in front of the player. A
// transport (the command port, or later the lobby session) holds one attached screen and calls
// it when a message, an event or a request arrives. The interface serves two worlds, the
// lobby's chat (console lines, channel and user lists, boxes) and a battle's set-up (player
// places, game settings, the start); every operation does nothing (or answers a neutral value)
// until a screen overrides it, so each screen serves only what it shows.

#include <cstdint>

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "net/ChatFormats.h"

struct InitialiseView;

class CNetScreen : public IChatConsole {
 public:
  ~CNetScreen() override = default;

  // 0: a console line in its colour (IChatConsole::AddConsoleLine).
  // 1-5: the lobby's channel and user lists.
  virtual void BeginChannelList() {}
  virtual void AddChannelLine(const char* text) {}
  virtual void RemoveChannelLine(const char* text) {}
  virtual void SetCurrentChannel(const char* channel) {}
  virtual void BeginUserList() {}
  // 6, 7: a player came or went; own is set for the local player.
  virtual void AddUser(const char* name, uint8_t isOperator, uint8_t own) {}
  virtual void RemoveUser(const char* name, uint8_t isOperator, uint8_t own) {}
  virtual void ShowMessageBox(const char* text, int value) {}
  virtual void Abort() {}
  // 10-14: a client's requests as they reach the host's screen.
  virtual void OnRequestColour(int place, int steps) {}
  virtual void OnRequestPortrait(int place, int steps) {}
  virtual void OnSetHandicap(int place, int value) {}
  // The place that holds the name, -1 for none; 0 on a screen that holds no places.
  virtual int FindPlayer(const char* name) { return 0; }
  virtual void OnReady(int place) {}
  // 15, 16: the host's records, checked before they arrive here.
  virtual void UpdatePlayerRow(int place, const CPlayerSlot& slot) {}
  virtual void OnGameSettings(const CGameSettings& settings) {}
  // 17, 18: slots no screen serves.
  virtual void Unused17(int) {}
  virtual void Unused18(int) {}
  virtual void OnSetSlot(int ownPlace) {}
  virtual void SetStatusText(const char* text) {}
  // The start message, checked whole; its records point into the receive buffer for the call.
  virtual void OnInitialise(const InitialiseView& message) {}
  virtual void CreateSession() {}
  virtual void JoinSession(const char* hostAddress) {}
  // True when the game may start (a screen that does not start games lets it).
  virtual bool StartGame() { return true; }
  virtual bool TryStartGame() { return false; }
  virtual void LockControls() {}
};
