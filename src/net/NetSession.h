#pragma once
// CNetSession: one machine's network session of a battle. It owns the platform session (the
// loopback, or a real network), records whether this machine hosts and which phase the network
// game is in (the receive loops consult both), and holds the message delay.

#include <memory>
#include <string>

#include "platform/NetSession.h"

enum NetPhase {
  kNetPhaseNone = 0,
  kNetPhaseDirectSetup = 1,  // set-up screens over the session, until MSG_INITIALISE
  kNetPhaseSetup = 2,        // from MSG_INITIALISE (or the lobby's session) until the battle
  kNetPhaseBattle = 3,
};

class CNetSession {
 public:
  CNetSession() = default;
  CNetSession(const CNetSession&) = delete;
  CNetSession& operator=(const CNetSession&) = delete;

  // Takes a machine's end of a platform session; phase 0, host flag as given.
  void Attach(std::unique_ptr<platform::NetSession> session, bool host);
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

  std::unique_ptr<platform::NetSession> transport;
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

// Between two steps of a wait: pumps the window messages and sleeps a little. False when the
// application is quitting.
bool PauseWhileWaiting();

// How often a wait asks again for what has not arrived, in milliseconds.
constexpr uint32_t kResendIntervalMs = 500;
