#pragma once
// CNetSession: one machine's network session of a battle. It owns the platform session (the
// loopback, or a real network), records whether this machine hosts and which phase the network
// game is in (the receive loops consult both), and holds the message delay.

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

// What a receive loop hands its messages to.
class INetReceiver {
 public:
  virtual ~INetReceiver() = default;
  virtual void HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) = 0;
  virtual void HandleSystemMessage(const platform::NetSystemMessage& message) = 0;
};

class CNetSession {
 public:
  CNetSession() = default;
  CNetSession(const CNetSession&) = delete;
  CNetSession& operator=(const CNetSession&) = delete;

  // Takes a machine's end of a platform session; phase 0, host flag as given.
  void Attach(std::unique_ptr<platform::NetEndpoint> session, bool host);
  // Leaves and releases the platform session; names emptied.
  void Release();
  bool IsOpen() const { return transport != nullptr; }

  // Creates the session named sessionName (migrating host, at most 5 players); 1 or 0.
  int CreateGame();
  // Joins the first session named sessionName; 1 or 0.
  int JoinGame();
  // The server player, to which clients send; 1 or 0.
  int CreateHostPlayer();
  // The first player whose short name is the one asked for; 0 when none.
  platform::NetPlayerId FindPlayerByName(const char* name);
  bool SetSessionFlags(uint32_t flags);
  // The receive loop of one of this machine's players: the messages waiting now, each into the
  // buffer and on to the receiver. Failures go to the log under the text given; a message
  // larger than the buffer is dropped and the rest still come.
  void ReceiveFor(platform::NetPlayerId player, uint8_t* buffer, size_t capacity, const char* errorText,
                  INetReceiver& receiver);

  std::unique_ptr<platform::NetEndpoint> transport;
  std::string sessionName;
  int isHost = 1;
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
