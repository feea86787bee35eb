#pragma once
// CNetCommandPort: the transport of the set-up screens over a direct session. It keeps no
// state beyond its handler: the set-up requests of a client go guaranteed to the host, the
// host's records and orders guaranteed to all or to one player, and while the direct set-up
// lasts (phase 1) its Pump runs the host's and the client's receive loops. What only the lobby
// has (logins, channels, private chat) does nothing here.

#include "net/NetTransport.h"

class CNetCommandPort : public CNetTransport {
 public:
  void SetLogin(const char* name, const char* password) override {}
  void Connect() override {}
  void Disconnect() override {}
  void Pump() override;
  void ShowServerMessage() override {}
  // Shows the line on the attached screen first, whatever the send does.
  bool SendChat(const char* text) override;
  void SendPrivateChat(NetUserList users, const char* text) override {}
  void SendAction(const char* text) override {}
  void SendPrivateAction(NetUserList users, const char* text) override {}
  void ToggleIgnoreUsers(NetUserList users) override {}
  // On the host: each named player gets the leave order.
  void KickUsers(NetUserList users) override;
  void BanUsers(NetUserList users) override {}
  void ShowChatChannels() override {}
  void ShowGameChannels() override {}
  void JoinChannel(const char* channel) override {}
  bool CreateGameChannel(const char* channel) override { return false; }
  bool IsLobby() override { return false; }
  // On the host: the leave order to all. Always false.
  bool Leave() override;
  void ToggleAway() override {}
  void RefreshPlayers() override;
  void RequestColour(int place) override;
  void RequestPortrait(int place) override;
  void SetHandicap(int place, int value) override;
  void SendPlayerSlot(int place, const CPlayerSlot& slot) override;
  void SendGameSettings(const CGameSettings& settings) override;
  // False, sending nothing, when no player has the name.
  bool SendSlotNumber(const char* playerName, int place) override;
  void SendReady(int place) override;
  std::string GetPlayerName() override;
  void BeginGame() override;
};

extern CNetCommandPort g_netCommandPort;
