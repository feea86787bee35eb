#pragma once
// CNetHost: the host of a lock-step battle. It collects each client's frame message for a
// frame, joins them (client slot order 0-3) into one host frame message once every active
// client's has arrived, and sends that to all players. It asks clients to resend what is
// missing, answers their resend requests from its own queue, passes the set-up requests on,
// and sends the start message. When the host machine leaves during a battle, another machine's
// client makes its own host take over (TakeOverFromClient).

#include <cstdint>
#include <string>
#include <vector>

#include "net/NetMessageQueue.h"
#include "net/NetMessages.h"
#include "net/NetSession.h"

class CNetClient;

class CNetHost : public INetReceiver {
 public:
  explicit CNetHost(CNetSession& session);
  CNetHost(const CNetHost&) = delete;
  CNetHost& operator=(const CNetHost&) = delete;

  // The client of the same machine (run while the host waits).
  void SetLocalClient(CNetClient* client) { localClient_ = client; }

  // (Re)creates the five queues for the session's delay, empties the slots, zeroes the marks.
  void Reset();
  // Sets the four client marks and the host frame mark.
  void SetNextFrame(int frame);
  // Re-reads the players: the server player, and the others into the client slots (slots
  // keep their players; new ones fill the empty slots in order). Answers 1.
  int RefreshClients();
  // Orders the client slots by a list of player names; unmatched players follow.
  void SetClients(const std::vector<std::string>& names);
  // Sends the start message (1633 bytes) to each client, with the client count and each
  // recipient's index written into it. Answers 1.
  int SendInitialise(uint8_t* message);
  // Joins and sends the host frame message of the frame when every active client's message
  // for it is there; false (nothing changed) when one is missing.
  bool SendFrame(int frame);
  // Guaranteed set-up messages.
  bool SendToAll(const uint8_t* message, size_t size);
  bool SendTo(const uint8_t* message, size_t size, platform::NetPlayerId to);
  void ResendFrame(platform::NetPlayerId requester, int frame);
  void RequestResend(platform::NetPlayerId client, int frame);

  // The receive loop: every message waiting for the server player.
  void Receive();
  // One message from a peer, and one system message.
  void HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) override;
  void HandleSystemMessage(const platform::NetSystemMessage& message) override;

  // Waits until the host frame message of the frame has gone out; false only when the
  // application is quitting. Repeats WaitStep, pumping window messages and sleeping briefly.
  bool WaitForFrame(int frame, bool runLocalClient);
  // The wait as non-blocking steps, for battles driven a step at a time: BeginWait, then
  // WaitStep until it is done.
  void BeginWait(int frame);
  NetWait WaitStep(bool runLocalClient);
  // Receives, and asks lagging clients to resend when half a second has passed since the last
  // request (while this machine's own client waits for a frame).
  void Service(int frame);

  // Host migration: the local client's sent frames (from its slot's mark on) and the host
  // frames it has run become this host's, then the frames that are complete go out.
  void TakeOverFromClient();
  // While taking over: a survivor that ran frames the departed host sent it and this machine
  // never had answers the request for its own message of such a frame with the host frame it
  // ran; that frame goes out as it was run, never rebuilt without the departed machine's
  // commands. Until this host has joined a frame of its own.
  void AdoptRunFrame(platform::NetPlayerId from, const uint8_t* data, size_t size);

  // Sends the host frames that are complete, from nextHostFrame on.
  void SendReadyFrames();
  // The slot of a player, or -1.
  int SlotOf(platform::NetPlayerId player) const;

  uint32_t lastResendTime = 0;
  CNetSession& session;
  platform::NetPlayerId hostPlayer = 0;
  platform::NetPlayerId clients[kMaxClients] = {};
  int clientCount = 0;
  platform::NetPlayerId enumList[kMaxClients] = {};
  int enumCount = 0;
  CNetMessageQueue clientQueues[kMaxClients];
  CNetMessageQueue frameQueue;
  int nextFrame[kMaxClients] = {};
  int nextHostFrame = 0;

 private:
  bool IsNetworked() const { return session.IsOpen(); }
  void RequestLaggingResends(int frame);
  void HandleClientFrame(int slot, platform::NetPlayerId from, const uint8_t* data, size_t size);
  void HandleSetupRequest(platform::NetPlayerId from, int32_t type, const uint8_t* data, size_t size);

  CNetClient* localClient_ = nullptr;
  int waitFrame_ = 0;
  bool takingOver_ = false;
  // A client's frame fits in far less, but a survivor's run host frame comes here too.
  uint8_t receiveBuffer_[kHostFrameBytes] = {};
};
