#pragma once
// CNetTransport: what the multiplayer set-up screens talk to the network through, so that a
// screen works the same over a direct session (the command port, NetCommandPort.h) and over
// the lobby. The screen that leads to a network screen attaches it as the handler; the
// receive loops tell the handler of what arrives through the Notify forwarders, which do
// nothing while no screen is attached.

#include <string>
#include <vector>

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"

class CNetScreen;
struct InitialiseView;

// Names passed by value: the receiving operation owns them.
using NetUserList = std::vector<std::string>;

class CNetTransport {
 public:
  virtual ~CNetTransport() = default;

  virtual void SetLogin(const char* name, const char* password) = 0;
  virtual void Connect() = 0;
  virtual void Disconnect() = 0;
  // Called every frame by the set-up screens: runs what must be received.
  virtual void Pump() = 0;
  virtual void ShowServerMessage() = 0;
  virtual bool SendChat(const char* text) = 0;
  virtual void SendPrivateChat(NetUserList users, const char* text) = 0;
  virtual void SendAction(const char* text) = 0;
  virtual void SendPrivateAction(NetUserList users, const char* text) = 0;
  virtual void ToggleIgnoreUsers(NetUserList users) = 0;
  virtual void KickUsers(NetUserList users) = 0;
  virtual void BanUsers(NetUserList users) = 0;
  virtual void ShowChatChannels() = 0;
  virtual void ShowGameChannels() = 0;
  virtual void JoinChannel(const char* channel) = 0;
  virtual bool CreateGameChannel(const char* channel) = 0;
  virtual bool IsLobby() = 0;
  virtual bool Leave() = 0;
  virtual void ToggleAway() = 0;
  virtual void RefreshPlayers() = 0;
  virtual void RequestColour(int place) = 0;
  virtual void RequestPortrait(int place) = 0;
  virtual void SetHandicap(int place, int value) = 0;
  virtual void SendPlayerSlot(int place, const CPlayerSlot& slot) = 0;
  virtual void SendGameSettings(const CGameSettings& settings) = 0;
  virtual bool SendSlotNumber(const char* playerName, int place) = 0;
  virtual void SendReady(int place) = 0;
  // The session's name on the direct road, the game channel's in the lobby.
  virtual std::string GetPlayerName() = 0;
  virtual void BeginGame() = 0;

  void NotifyPlayerAdded(const char* name);
  void NotifyPlayerRemoved(const char* name);
  // This machine was told to leave, or lost its host before the battle.
  void NotifySelfRemoved();
  void NotifyPlayerSlot(int place, const CPlayerSlot& slot);
  void NotifyGameSettings(const CGameSettings& settings);
  // Shown in the public chat format and colour.
  void NotifyChat(const char* name, const char* text);
  void NotifyReady(int place);
  void NotifySetSlot(int place);
  void NotifyColourRequest(int place);
  void NotifyPortraitRequest(int place);
  void NotifyHandicap(int place, int value);
  void NotifyInitialise(const InitialiseView& message);
  void NotifyPlayersChanged();

  CNetScreen* handler = nullptr;  // not owned
};

// The transport whose screen hears the receive loops in a phase: the command port in the
// direct set-up (phase 1), the lobby's in the set-up after it (phase 2); null for none.
CNetTransport* NetSetupTransport(int phase);
// The lobby's transport registers here while it exists.
extern CNetTransport* g_lobbyTransport;

class INetSetupEvents;
// The set-up events of the receive loops handed to NetSetupTransport's screen: the default of
// g_netHooks.setup.
INetSetupEvents& NetTransportSetupEvents();
