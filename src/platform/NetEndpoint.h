#pragma once
// A network session as the battle protocol uses it. Machines create or join a named session;
// each machine creates players (an id and a short name), and the host machine one server
// player, to which the clients send. A message goes from a player to one player, to the server
// player or to all others, either guaranteed (it arrives once, in order) or not (it may be lost,
// late, doubled or overtaken). Receiving hands over one message with its sender, or one system
// message: a player came or went, this machine became the host, a chat line arrived.
//
// Backends: the loopback (LoopbackNetwork.h: many machines in one process, for tests and single
// player) and ENet over UDP (EnetNetwork.h: machines in separate processes or on a network).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using NetPlayerId = uint32_t;
constexpr NetPlayerId kNetAllPlayers = 0;    // every player of the session but the sender
constexpr NetPlayerId kNetServerPlayer = 1;  // the host machine's server player

// Results; 0 is success. The network log writes each by its name.
enum NetResult : uint32_t {
  kNetOk = 0,
  kNetErrAccessDenied = 0x8877000Au,      // the session takes no one else
  kNetErrBufferTooSmall = 0x8877001Eu,    // a message larger than the receive buffer: dropped
  kNetErrCantAddPlayer = 0x88770028u,     // the session is full
  kNetErrCantCreatePlayer = 0x8877003Cu,  // no room, or new players disabled
  kNetErrCantCreateSession = 0x88770046u,
  kNetErrGeneric = 0x80004005u,
  kNetErrInvalidParam = 0x80070057u,
  kNetErrInvalidPlayer = 0x88770096u,  // no such player here, or nobody to send to
  kNetErrNoConnection = 0x887700AAu,   // not in a session
  kNetErrNoMessages = 0x887700BEu,
  kNetErrNoSessions = 0x887700DCu,
  kNetErrSendTooBig = 0x887700E6u,
  kNetErrTimeout = 0x887700F0u,  // the other side did not answer in time
};

// Session flags (the values the set-up code passes).
enum NetSessionFlags : uint32_t {
  kSessionNewPlayersDisabled = 0x01,
  kSessionMigrateHost = 0x04,
  kSessionJoinDisabled = 0x20,
  kSessionKeepAlive = 0x40,
};

// The longest message a backend carries.
constexpr size_t kNetMaxMessageBytes = 65536;

struct NetSessionDesc {
  uint32_t instance = 0;
  std::string name;
  int players = 0;
  int maxPlayers = 0;
  uint32_t flags = 0;
};

struct NetPlayerInfo {
  NetPlayerId id = 0;
  std::string shortName;
  bool server = false;
};

enum class NetSystemKind {
  kCreatePlayer,   // a player joined (on another machine)
  kDestroyPlayer,  // a player left
  kHost,           // this machine now hosts the session
  kChat,           // a chat line
  kSessionLost,    // this machine lost its session
};

struct NetSystemMessage {
  NetSystemKind kind = NetSystemKind::kCreatePlayer;
  NetPlayerId player = 0;  // the player created or destroyed; a chat line's sender
  bool isPlayer = true;    // a player, not a group
  std::string shortName;   // of the player created or destroyed
  std::string text;        // the chat line
};

// What Receive handed over.
struct NetMessageInfo {
  bool system = false;
  NetPlayerId from = 0;  // the sender of a protocol message
  size_t size = 0;       // its length (also when it did not fit and was dropped)
  NetSystemMessage systemMessage;
};

// One machine's end of a session.
class NetEndpoint {
 public:
  virtual ~NetEndpoint() = default;

  // Creates a session and makes this machine its host.
  virtual NetResult CreateSession(std::string_view name, int maxPlayers, uint32_t flags) = 0;
  // Where EnumSessions looks: a host's IPv4 address as text, or "" for the whole local network.
  virtual NetResult SetSearchAddress(std::string_view address) { return kNetOk; }
  // The sessions open now, in the order they were created.
  virtual NetResult EnumSessions(std::vector<NetSessionDesc>& out) = 0;
  virtual NetResult JoinSession(uint32_t instance) = 0;
  virtual NetResult GetSessionFlags(uint32_t& flags) = 0;
  // New flags bind later joiners and players.
  virtual NetResult SetSessionFlags(uint32_t flags) = 0;
  // Leaves the session: this machine's players go, and when it hosted, the surviving machine
  // that joined first becomes the host.
  virtual void Leave() = 0;
  virtual bool IsHost() const = 0;

  virtual NetResult CreatePlayer(std::string_view shortName, NetPlayerId& id) = 0;
  // The server player, id kNetServerPlayer; only the host machine has one.
  virtual NetResult CreateServerPlayer() = 0;
  virtual NetResult DestroyPlayer(NetPlayerId id) = 0;
  // Every player of the session, in the order they were created.
  virtual NetResult EnumPlayers(std::vector<NetPlayerInfo>& out) = 0;
  virtual NetResult GetPlayerName(NetPlayerId id, std::string& shortName) = 0;

  // From one of this machine's players.
  virtual NetResult Send(NetPlayerId from, NetPlayerId to, bool guaranteed, const void* data, size_t size) = 0;
  // Arrives as a kChat system message; guaranteed.
  virtual NetResult SendChat(NetPlayerId from, NetPlayerId to, std::string_view text) = 0;
  // Messages waiting for one of this machine's players.
  virtual NetResult GetMessageCount(NetPlayerId player, int& count) = 0;
  // The next message for that player. kNetErrNoMessages when there is none; a protocol
  // message longer than the capacity is dropped with kNetErrBufferTooSmall.
  virtual NetResult Receive(NetPlayerId to, void* buffer, size_t capacity, NetMessageInfo& out) = 0;
};

}  // namespace platform
