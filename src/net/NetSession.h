#pragma once
// CNetSession: one machine's network session of a battle. It owns the machine's network end
// (ENet between processes, or a loopback), finds, creates and joins sessions, creates the
// host's server player, looks players up by name and changes the session flags; it records
// whether this machine hosts and which phase the network game is in (the receive loops consult
// both), and holds the message delay.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/NetEndpoint.h"

enum NetPhase {
  kNetPhaseNone = 0,
  kNetPhaseDirectSetup = 1,  // set-up screens over the session, until MSG_INITIALISE
  kNetPhaseSetup = 2,        // from MSG_INITIALISE (or the lobby's session) until the battle
  kNetPhaseBattle = 3,
};

enum NetConnectionType {
  kConnectionNone = 0,
  kConnectionLan = 1,      // sessions searched for on the local network
  kConnectionAddress = 2,  // at the host address typed in
  kConnectionAsk = 3,      // on the local network as well (the address is not asked for here)
};

// What a receive loop hands its messages to.
class INetReceiver {
 public:
  virtual ~INetReceiver() = default;
  virtual void HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) = 0;
  virtual void HandleSystemMessage(const platform::NetSystemMessage& message) = 0;
};

// Makes a machine's network end; null when the network cannot start.
using NetEndpointFactory = std::function<std::unique_ptr<platform::NetEndpoint>()>;
// ENet, with the ports and times of the options' [NETWORK] section; tests put a loopback here.
extern NetEndpointFactory g_netEndpointFactory;

class CNetSession {
 public:
  CNetSession() = default;
  CNetSession(const CNetSession&) = delete;
  CNetSession& operator=(const CNetSession&) = delete;

  // Makes the network end from the factory, phase 0, the host flag as given. True at once,
  // changing nothing, when there is one already; a failure shows "DIRECTPLAY ERROR".
  bool CreateInterfaces(int hostFlag);
  // Takes a network end already made (a loopback): phase 0, the host flag as given, searching
  // the local network.
  void Attach(std::unique_ptr<platform::NetEndpoint> session, bool host);
  // Leaves and releases the network end; names and address emptied.
  void Release();
  bool IsOpen() const { return endpoint != nullptr; }

  // Says where sessions are searched for, by the connection type; false for type 0 or without
  // a network end, calling nothing.
  bool Connect();
  // Connects, then creates the session named sessionName (migrating host, at most 5 players); 1 or 0.
  int CreateGame();
  bool SetSessionFlags(uint32_t flags);
  // One refresh of the session list: each session found goes to the listener by name.
  bool StartSessionList(const std::function<void(const std::string& name)>& listener);
  // Nothing is left running between two refreshes: a no-op kept for the screens' symmetry.
  void StopSessionList() {}
  // Looks for the session named sessionName and joins it, trying again (window messages
  // pumped) until it succeeds, JoinTimeOut passes, Escape is down or the application quits; 1 or 0.
  int JoinGame();
  // The server player, to which clients send; 1 or 0.
  int CreateHostPlayer();
  // The first player whose short name is the one asked for; 0 when none.
  platform::NetPlayerId FindPlayerByName(const char* name);
  // Keeps at most 15 characters: an IPv4 address as text.
  void SetHostAddress(const char* text);
  // The receive loop of one of this machine's players: the messages waiting now, each into the
  // buffer and on to the receiver. Failures go to the log under the text given; a message
  // larger than the buffer is dropped and the rest still come.
  void ReceiveFor(platform::NetPlayerId player, uint8_t* buffer, size_t capacity, const char* errorText,
                  INetReceiver& receiver);

  std::unique_ptr<platform::NetEndpoint> endpoint;
  char hostAddress[16] = {};
  std::string sessionName;
  uint32_t sessionInstance = 0;
  int isHost = 1;
  int connectionType = kConnectionNone;
  int phase = kNetPhaseNone;
  // Frames between a command's frame and the frame it runs in.
  int messageDelay = 0;
  platform::NetPlayerId foundPlayer = 0;
  std::string wantedName;
};

// The name the network log gives a system message.
const char* NetSystemMessageName(platform::NetSystemKind kind);

// What one step of a wait found.
enum class NetWait { kDone, kPending, kFailed };

// A wait made of non-blocking steps: repeats the step, pumping the window messages and
// sleeping a little between two, until it is done (true) or failed, or the application is
// quitting (false).
bool WaitInSteps(const std::function<NetWait()>& step);

// How often a wait asks again for what has not arrived, in milliseconds.
constexpr uint32_t kResendIntervalMs = 500;
