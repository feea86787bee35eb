#pragma once
// The lobby's chat component: our own small client of a chat server (IRC). The lobby session
// calls its operations and implements IrcEvents; the client talks to the server over one
// non-blocking socket and reports what happened through the events, only from within Pump, so
// the caller always knows when its state may change. Every operation returns at once.
//
// Channels are of two kinds, told apart by their name on the server: chat channels ("#name")
// and game channels ("#game.name"), which the creator runs as operator for at most four users.
// The battle set-up protocol and the start of a game travel as our own CTCP tags, so no chat
// line passes for them and other clients show none of them. Texts that reach the events have
// their control characters dropped; no text we send can hold one.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Event results (hr): 0 success, negative (as 32-bit) a failure.
inline constexpr int32_t kIrcOk = 0;
inline constexpr int32_t kIrcNickInUse = static_cast<int32_t>(0x80040064u);    // the name is taken
inline constexpr int32_t kIrcBadPassword = static_cast<int32_t>(0x80040065u);  // the server's password
inline constexpr int32_t kIrcBadNick = static_cast<int32_t>(0x80040072u);      // the name is not allowed
inline constexpr int32_t kIrcFailed = static_cast<int32_t>(0x80004005u);       // anything else
// The status code of a connection that ended.
inline constexpr uint32_t kIrcStatusDisconnected = 0x4012f;
inline constexpr int kIrcChatChannel = 0;
inline constexpr int kIrcGameChannel = 16;
inline constexpr int kIrcGameChannelUsers = 4;

struct IrcServer {
  std::string kind = "IRC";
  std::string host;
  uint16_t port = 7000;
  std::string name;  // the login
  std::string password;
};

struct IrcChannel {
  int type = kIrcChatChannel;
  int userCount = -1;  // -1 not known
  std::string name;    // as the user sees it, without the server's prefix
  std::string key;
  int fourthWord = 0;  // never set by this client
};

struct IrcUser {
  std::string name;
  bool isOperator = false;  // of the current channel
  bool self = false;
  uint32_t address = 0;  // IPv4, first number in the low byte (the start of a game only)
};

class IrcEvents {
 public:
  virtual ~IrcEvents() = default;
  virtual void ServerList(int32_t hr, const std::vector<IrcServer>& servers) {}
  virtual void Connected(int32_t hr, const std::string& motd) {}
  virtual void MessageOfTheDay(int32_t hr, const std::string& text) {}
  virtual void ChannelList(int32_t hr, const std::vector<IrcChannel>& channels) {}
  virtual void ChannelCreated(int32_t hr, const IrcChannel& channel) {}
  virtual void UserJoined(int32_t hr, const IrcChannel& channel, const IrcUser& user) {}
  virtual void UserLeft(int32_t hr, const IrcChannel& channel, const IrcUser& user) {}
  virtual void PrivateAction(int32_t hr, const IrcUser& user, const std::string& text) {}
  virtual void PublicAction(int32_t hr, const IrcChannel& channel, const IrcUser& user, const std::string& text) {}
  virtual void UserList(int32_t hr, const IrcChannel& channel, const std::vector<IrcUser>& users) {}
  virtual void PublicMessage(int32_t hr, const IrcChannel& channel, const IrcUser& user, const std::string& text) {}
  virtual void PrivateMessage(int32_t hr, const IrcUser& user, const std::string& text) {}
  virtual void SystemMessage(int32_t hr, const std::string& text) {}
  virtual void Status(uint32_t code) {}
  // Another user of the current channel left the server.
  virtual void UserGone(int32_t hr, const IrcUser& user) {}
  virtual void PrivateProtocol(int32_t hr, const IrcUser& user, const std::string& text) {}
  virtual void PublicProtocol(int32_t hr, const IrcChannel& channel, const IrcUser& user, const std::string& text) {}
  // The start of a game: the announcing user with its address.
  virtual void UserAddresses(const std::vector<IrcUser>& users) {}
  virtual void UserKicked(int32_t hr, const IrcChannel& channel, const IrcUser& user, const IrcUser& by) {}
};

class IrcClient {
 public:
  explicit IrcClient(IrcEvents& events);
  ~IrcClient();
  IrcClient(const IrcClient&) = delete;
  IrcClient& operator=(const IrcClient&) = delete;

  // Sends what waits, reads what arrived and delivers the events.
  void Pump();
  // The servers to choose from: the one configured (answered by ServerList in the next Pump).
  void RequestServerList(const std::string& host, uint16_t port, const std::string& name, const std::string& password);
  // Opens the connection and logs in (answered by Connected). False when no socket opens.
  bool Connect(const IrcServer& server);
  // Answered by ChannelList with the channels of both kinds.
  void ListChannels(int type);
  // A chat channel is joined (UserJoined); a game channel is created (ChannelCreated), failing
  // when it exists. False when the name cannot be sent.
  bool JoinChannel(const IrcChannel& channel);
  bool JoinChannelWithKey(const IrcChannel& channel);
  // Answered by UserLeft for this user.
  void LeaveChannel();
  // Answered by UserList.
  void ListUsers();
  void SendPublic(const std::string& text);
  void SendPrivate(const std::string& user, const std::string& text);
  void SendPublicAction(const std::string& text);
  void SendPrivateAction(const std::string& user, const std::string& text);
  void SendPublicProtocol(const std::string& text);
  void SendPrivateProtocol(const std::string& user, const std::string& text);
  // The start of a game: this user's reachable IPv4 address ("a.b.c.d") to the channel.
  void AnnounceGame(const std::string& address);
  void Logoff();
  void Kick(const std::string& user);
  void Ban(const std::string& user);
  void SetAway(bool away);
  // The ignore list, kept here: an ignored user's chat and actions are not delivered.
  void SetIgnore(const std::string& user, bool ignore);
  bool IsIgnored(const std::string& user) const;
  void SelectChannelType(int type);
  // Users on the server when it was last told (at login); -1 not known.
  int UserCount() const;
  // This end of the connection, "a.b.c.d"; empty when not connected.
  std::string LocalAddress() const;
  bool IsConnected() const;

  // For fuzzing and tests: takes the bytes as if the server had sent them to a connection
  // logged in as nick (nothing is sent anywhere) and delivers their events.
  void ReceiveForTest(const std::string& nick, const char* data, size_t size);

  // The longest text a chat line of ours may carry, so that the server's relay stays within
  // its line limit whatever our name and address are.
  static constexpr size_t kMaxTextBytes = 380;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
