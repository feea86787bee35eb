#pragma once
// CLobbySession: the online lobby's transport. It drives the chat component (our IRC client)
// to log in, list and join channels, chat, and carry the battle set-up protocol as tagged chat
// lines; CLobbyEventSink turns the component's events into calls on the attached network
// screen. Every wait on the component pumps the window's messages and the component, and ends
// on Escape, on a failure event or at the lobby time-out (g_lobbyTimeOut), the last with the
// wait's failure box.
//
// The set-up protocol trusts nobody by name alone: the host's records and orders (SLOT, GAME,
// SNUM, a returned PING, the start address) count only from the game channel's operator, and
// the host takes a guest's requests and readiness only for the place that guest holds.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/NetTransport.h"
#include "platform/IrcClient.h"

class CLobbySession;

// The chat screen's and the protocol's view of the component's events.
class CLobbyEventSink final : public platform::IrcEvents {
 public:
  explicit CLobbyEventSink(CLobbySession& session) : session_(session) {}
  void ServerList(int32_t hr, const std::vector<platform::IrcServer>& servers) override;
  void Connected(int32_t hr, const std::string& motd) override;
  void MessageOfTheDay(int32_t hr, const std::string& text) override;
  void ChannelList(int32_t hr, const std::vector<platform::IrcChannel>& channels) override;
  void ChannelCreated(int32_t hr, const platform::IrcChannel& channel) override;
  void UserJoined(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user) override;
  void UserLeft(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user) override;
  void PrivateAction(int32_t hr, const platform::IrcUser& user, const std::string& text) override;
  void PublicAction(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user,
                    const std::string& text) override;
  void UserList(int32_t hr, const platform::IrcChannel& channel, const std::vector<platform::IrcUser>& users) override;
  void PublicMessage(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user,
                     const std::string& text) override;
  void PrivateMessage(int32_t hr, const platform::IrcUser& user, const std::string& text) override;
  void SystemMessage(int32_t hr, const std::string& text) override;
  void Status(uint32_t code) override;
  void UserGone(int32_t hr, const platform::IrcUser& user) override;
  void PrivateProtocol(int32_t hr, const platform::IrcUser& user, const std::string& text) override;
  void PublicProtocol(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user,
                      const std::string& text) override;
  void UserAddresses(const std::vector<platform::IrcUser>& users) override;
  void UserKicked(int32_t hr, const platform::IrcChannel& channel, const platform::IrcUser& user,
                  const platform::IrcUser& by) override;

 private:
  void LeftChannel();
  CLobbySession& session_;
};

class CLobbySession : public CNetTransport {
 public:
  CLobbySession();
  ~CLobbySession() override;
  CLobbySession(const CLobbySession&) = delete;
  CLobbySession& operator=(const CLobbySession&) = delete;

  void SetLogin(const char* name, const char* password) override;
  void Connect() override;
  void Disconnect() override;
  void Pump() override;
  void ShowServerMessage() override;
  bool SendChat(const char* text) override;
  void SendPrivateChat(NetUserList users, const char* text) override;
  void SendAction(const char* text) override;
  void SendPrivateAction(NetUserList users, const char* text) override;
  void ToggleIgnoreUsers(NetUserList users) override;
  void KickUsers(NetUserList users) override;
  void BanUsers(NetUserList users) override;
  void ShowChatChannels() override;
  void ShowGameChannels() override;
  void JoinChannel(const char* channel) override;
  bool CreateGameChannel(const char* channel) override;
  bool IsLobby() override { return true; }
  bool Leave() override;
  void ToggleAway() override;
  void RefreshPlayers() override;
  void RequestColour(int place) override;
  void RequestPortrait(int place) override;
  void SetHandicap(int place, int value) override;
  void SendPlayerSlot(int place, const CPlayerSlot& slot) override;
  void SendGameSettings(const CGameSettings& settings) override;
  bool SendSlotNumber(const char* playerName, int place) override;
  void SendReady(int place) override;
  std::string GetPlayerName() override;
  void BeginGame() override;

  // The chat screen's join of a listed channel, with a key when it has one.
  bool JoinChannelWithKey(const char* channel, const char* key);
  // Logs off (when connected), waits for the server to let go and drops the component.
  void Release();

  // The set-up protocol as it arrives (public: from the channel; private: to this user).
  void ParseLobbyGameMessage(const platform::IrcUser& sender, const char* text);
  void ParseLobbyPrivateMessage(const platform::IrcUser& sender, const char* text);

  bool InChannel() const { return !currentChannel.name.empty(); }
  bool InGameChannel() const { return InChannel() && currentChannel.type == platform::kIrcGameChannel; }
  platform::IrcClient* Component() { return component_.get(); }

  // Pumps the component until done answers true; false when the wait was aborted (the abort
  // flag set by an event or by Escape) or timed out (then failureText, a chat string number,
  // is shown in the screen's box first; -1 for none).
  bool WaitFor(const std::function<bool()>& done, int failureText);

  uint8_t abortFlag = 0;
  uint8_t serverFound = 0;
  uint8_t connected = 0;
  int32_t colourSteps = 0;
  int32_t portraitSteps = 0;
  std::string colourRequest, portraitRequest, handicapRequest;  // queued CHRQ texts
  int32_t colourPing = 0, portraitPing = 0, handicapPing = 0;

  std::string motd;  // without carriage returns
  std::string loginName, password;
  platform::IrcServer server;
  platform::IrcChannel currentChannel;  // empty name: in no channel
  int shownType = platform::kIrcChatChannel;
  uint8_t hostFlag = 0;
  uint8_t awayFlag = 0;
  std::vector<platform::IrcUser> gameUsers;  // the game channel's first four users, in order
  // Called on every turn of a wait (the window's messages); tests replace it.
  std::function<void()> pumpWindow;

 private:
  void ConsoleOwnLine(int kind, const char* text);
  void LeaveIfInChannel();
  void SendProtocol(const std::string& text);
  void ParseRequest(const platform::IrcUser& sender, const char* rest);
  void ParsePingReturn(const char* rest);

  CLobbyEventSink sink_;
  std::unique_ptr<platform::IrcClient> component_;
};

extern CLobbySession g_lobbySession;

// A console line of the chat string table: the string n filled with the arguments in turn.
void LobbyConsoleLine(CNetScreen* screen, int n, std::initializer_list<const char*> args);
