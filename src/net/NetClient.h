#pragma once
// CNetClient: every machine's side of a lock-step battle, the host's included. It gathers the
// local player's commands of a frame into a client frame message stamped with the frame in
// which they run (the current frame plus the message delay), sends it to the host, then waits
// for the host frame message of the current frame and runs it: the same commands in the same
// frame on every machine. Each frame carries a validation record that every machine compares
// with its own when the frame runs; when they differ the battle ends. It also carries the
// set-up messages and chat before the battle, and makes its machine the host when the host
// leaves during the battle.
//
// The battle's calls, each frame with its counter at n (single player and network alike):
//   if (!client.RunFrame(n, true)) abandon the frame (Failed() tells when the battle must end);
//   n + 1; client.AddValidateMessage(MakeValidateMessage(...), n + 1)   (see NetBattle.h);
//   client.SendFrame(n + 1);
//   the frame's work; each local input that changes the battle: client.AddMessage(command);
//   if (!host.WaitForFrame(n + 1, true)) abandon the frame.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "map/MapCommands.h"
#include "net/NetHost.h"
#include "net/NetMessageQueue.h"
#include "net/NetMessages.h"
#include "net/NetSession.h"

// The validation records this machine sent, by the frame in which they run.
class CNetFrameCheckRing {
 public:
  struct Entry {
    int frame = -1;
    uint8_t record[kValidateBytes] = {};
  };
  // Room for n records; a full ring drops its oldest before a push.
  void Create(int entries);
  void Push(int frame, const uint8_t* record);
  const Entry* Find(int frame) const;

 private:
  std::unique_ptr<Entry[]> entries_;
  int size_ = 0;
  int next_ = 0;
};

class CNetClient : public INetReceiver {
 public:
  explicit CNetClient(CNetSession& session);
  CNetClient(const CNetClient&) = delete;
  CNetClient& operator=(const CNetClient&) = delete;

  // The host of the same machine (serviced while this client waits, and made host on migration).
  void SetHost(CNetHost* host) { host_ = host; }

  // (Re)creates the queues and the check ring for the session's delay; the player, the frame
  // counters, the initialised flag, the commands waiting and the failure are cleared.
  void Reset();
  bool CreatePlayer(const char* name);
  // The local player's short name ("" when it cannot be read).
  std::string GetPlayerName();

  // Begins a new outgoing frame message; false when the out queue is full.
  bool BeginFrameMessage();
  // A command for the next frame sent. One that would not fit (the frame keeps room for its
  // validation record and a clock message) waits for the following frame, in order.
  void AddMessage(const uint8_t* message, int length);
  void AddMessage(const CommandMessage& message) { AddMessage(message.bytes, message.length); }
  // The battle clock's counter, from any thread: the next SendFrame appends MSG_COUNTER.
  void PostCounter(int counter);
  // Keeps the validation record for the frame it will run in (frame + delay), then adds it.
  void AddValidateMessage(const CommandMessage& validation, int frame);
  // Stamps the frame message for frame + delay, sends it to the host, begins the next one.
  void SendFrame(int frame);

  // Runs the host frame message of the frame, waiting for it (resend requests every half
  // second, window messages pumped) or, without waiting, one pass. While the battle's record
  // is played back, the recorded frame runs instead; without any session the frame passes
  // with nothing run. False when the battle failed or the application is quitting.
  bool RunFrame(int frame, bool wait);
  // The same as non-blocking steps: BeginRun, then RunStep until it is not pending.
  void BeginRun(int frame);
  NetWait RunStep(bool wait);
  // Waits for the start message (network only).
  bool WaitForStart();

  // The receive loop, and the handling of one message or system message.
  void Receive();
  void HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) override;
  void HandleSystemMessage(const platform::NetSystemMessage& message) override;
  void ResendFrame(int frame);

  bool SendToHost(const uint8_t* message, size_t size);
  bool SendToAll(const uint8_t* message, size_t size);
  bool SendChatToAll(const char* text);
  // To the player of that name; true without sending when there is none.
  bool SendChat(const char* text, const char* playerName);

  // Runs a frame message (host or client) after checking it whole: its validation records,
  // commands and nested client frames, in order; the outermost one goes to the playback
  // record when it carries a command. A frame that fails the check is not run. False when the
  // machines disagree: the battle has been told to end.
  bool RunBattleMessage(const uint8_t* message, size_t size);
  // The battle could not go on (the machines disagree, or the playback record broke).
  bool Failed() const { return failed_; }

  // Host migration: the host frames this client ran last (delay + 2) into a host's queue.
  void CopyRunFramesTo(CNetMessageQueue& queue);

  uint32_t lastResendTime = 0;
  CNetSession& session;
  platform::NetPlayerId ownPlayer = 0;
  CNetMessageQueue frameQueue;  // host frame messages awaited
  CNetMessageQueue outQueue;    // own frame messages, kept for resends and migration
  int wantedFrame = 0;
  CNetFrameCheckRing checkRing;
  int framesRun = 0;     // the next frame to run
  int framesQueued = 0;  // the next host frame message expected
  uint8_t initialised = 0;
  int validationsAgreed = 0;  // validation records found equal to this machine's

 private:
  bool IsNetworked() const { return session.IsOpen(); }
  bool PlayingBack();
  NetWait PlaybackStep();
  // Runs the awaited frame when it is there; answers whether it has been run.
  bool TryRunWanted();
  void RequestResendFromHost(int frame);
  bool SendSetup(platform::NetPlayerId to, const uint8_t* message, size_t size);
  void HandleHostFrame(const uint8_t* data, size_t size);
  void HandleSetupMessage(int32_t type, const uint8_t* data, size_t size);
  void HandleSpellList(platform::NetPlayerId from, const uint8_t* data, size_t size);
  void HandleSpellListOf(const std::string& sender, const uint8_t* data, size_t size);
  void BecomeHost();
  // Moves waiting commands into the newest out entry, as many as fit.
  void FlushPending();
  int RoomForCommands() const;
  void Fail(const char* text, const char* caption);
  bool RunChecked(const uint8_t* message, bool nested);
  bool CheckValidation(const uint8_t* record, int frame);
  // The caption of the box that stops a battle whose validation record disagrees.
  const char* DivergenceCaption();
  void RunCommand(const uint8_t* command);

  static constexpr int kPendingBytes = 4 * kClientFrameBytes;
  static constexpr int kNoCounter = -0x7fffffff;
  CNetHost* host_ = nullptr;
  CNetMessageQueue runFrames_;  // the host frames run last, for a new host to resend
  uint8_t pending_[kPendingBytes] = {};
  int pendingUsed_ = 0;
  std::atomic<int> postedCounter_{kNoCounter};
  uint32_t spellListsFrom_ = 0;           // players whose spell list arrived
  std::string clientNames_[kMaxClients];  // the players by client index, from the start message
  struct EarlyList {
    std::string sender;
    std::vector<uint8_t> bytes;
  };
  std::vector<EarlyList> earlyLists_;  // lists that came before the start message
  bool failed_ = false;
  bool wasPlayingBack_ = false;
  bool runningRecord_ = false;  // the frame message run comes from the playback record
  uint8_t receiveBuffer_[kHostFrameBytes] = {};
  uint8_t playbackBuffer_[kHostFrameBytes] = {};
};
