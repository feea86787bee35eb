#pragma once
// The messages the ENet backend's machines exchange beside the game's own bytes: the hello a
// machine opens a link with, the host's refusal, the roster of machines and players, player
// and flag changes, the envelopes of game messages and chat lines, and the session query and
// answer on the list port. All little-endian, strings as a length byte and that many bytes
// (no terminator, no NUL inside, each within its bound). Every reader checks the whole message
// against what arrived and refuses anything else: a peer's bytes never reach the session
// unchecked.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::enetwire {

// Carried by every hello, query and answer, so that other programs' traffic is refused.
constexpr uint32_t kApplicationId = 0x4B535256u;  // "VRSK"
constexpr uint16_t kWireVersion = 1;

constexpr size_t kMaxMachines = 5;            // a session's machines, host included
constexpr size_t kMaxPlayersPerMachine = 4;   // players one machine may create
constexpr size_t kMaxNameBytes = 63;          // a player's short name
constexpr size_t kMaxSessionNameBytes = 255;  // a session's name
constexpr size_t kMaxChatBytes = 1023;        // a chat line
constexpr uint32_t kServerPlayerId = 1;       // the host machine's server player

// A player id: the machine number (1-255, given by the host) and the machine's own count.
constexpr uint32_t PlayerIdOf(uint32_t machine, uint32_t local) { return (machine << 8) | local; }
constexpr uint32_t MachineOfPlayer(uint32_t id) { return id >> 8; }

enum class Kind : uint8_t {
  kHello = 1,
  kRefuse = 2,
  kRoster = 3,
  kPlayerAdd = 4,
  kPlayerRemove = 5,
  kFlags = 6,
  kData = 7,
  kChat = 8,
};

enum class HelloPurpose : uint8_t { kJoin = 0, kMesh = 1 };

enum class RefuseReason : uint8_t {
  kWrongApplication = 1,
  kFull = 2,
  kJoinDisabled = 3,
  kNoSuchSession = 4,
  kBadHello = 5,
};
const char* RefuseReasonText(RefuseReason reason);

struct Hello {
  uint32_t application = kApplicationId;
  uint16_t version = kWireVersion;
  HelloPurpose purpose = HelloPurpose::kJoin;
  uint32_t machine = 0;     // a mesh link: the machine number the host gave the sender
  uint16_t listenPort = 0;  // where the sender's other links reach it
  std::string sessionName;  // a join: the session the sender looks for
};

struct RosterPlayer {
  uint32_t id = 0;
  bool server = false;
  std::string name;
};

struct RosterMachine {
  uint32_t machine = 0;
  uint32_t address = 0;  // IPv4 in network order as ENet keeps it; 0: where the host was reached
  uint16_t port = 0;
  std::vector<RosterPlayer> players;
};

struct Roster {
  uint32_t instance = 0;
  uint32_t flags = 0;
  uint8_t maxPlayers = 0;
  uint32_t hostMachine = 0;
  uint32_t yourMachine = 0;  // the receiver's own number
  std::string sessionName;
  std::vector<RosterMachine> machines;
};

struct PlayerChange {
  uint32_t id = 0;
  bool server = false;
  std::string name;  // empty for a removal
};

// A game message or chat line: its sender, its recipient (0 all, 1 the server player, or one
// player) and its bytes (the text of a chat line).
struct Envelope {
  uint32_t from = 0;
  uint32_t to = 0;
  const uint8_t* bytes = nullptr;
  size_t size = 0;
};

struct SessionAnswer {
  uint32_t instance = 0;
  uint8_t players = 0;
  uint8_t maxPlayers = 0;
  uint32_t flags = 0;
  uint16_t port = 0;  // the game port
  std::string name;
};

using Bytes = std::vector<uint8_t>;

Bytes EncodeHello(const Hello& hello);
Bytes EncodeRefuse(RefuseReason reason);
Bytes EncodeRoster(const Roster& roster);
Bytes EncodePlayerAdd(const PlayerChange& change);
Bytes EncodePlayerRemove(uint32_t id);
Bytes EncodeFlags(uint32_t flags);
Bytes EncodeData(uint32_t from, uint32_t to, const void* data, size_t size);
Bytes EncodeChat(uint32_t from, uint32_t to, std::string_view text);
Bytes EncodeQuery();
Bytes EncodeAnswer(const SessionAnswer& answer);

// The kind byte of a message, or 0 for an empty one.
uint8_t KindOf(const uint8_t* data, size_t size);

bool DecodeHello(const uint8_t* data, size_t size, Hello& out);
bool DecodeRefuse(const uint8_t* data, size_t size, RefuseReason& out);
// Also checks the roster whole: 1-5 machines of distinct numbers 1-255, the host and the
// receiver among them, at most 4 players a machine, each id its machine's (or the server
// player on the host), no id twice, names within their bounds.
bool DecodeRoster(const uint8_t* data, size_t size, Roster& out);
bool DecodePlayerAdd(const uint8_t* data, size_t size, PlayerChange& out);
bool DecodePlayerRemove(const uint8_t* data, size_t size, uint32_t& id);
bool DecodeFlags(const uint8_t* data, size_t size, uint32_t& flags);
// The envelope points into data.
bool DecodeData(const uint8_t* data, size_t size, Envelope& out);
bool DecodeChat(const uint8_t* data, size_t size, uint32_t& from, uint32_t& to, std::string& text);
bool DecodeQuery(const uint8_t* data, size_t size);
bool DecodeAnswer(const uint8_t* data, size_t size, SessionAnswer& out);

}  // namespace platform::enetwire
