#pragma once
// One machine's network objects, wired to each other: its session, its host (active while the
// machine hosts) and its client. The game has one (g_netMachine); tests and benches run several
// in one process over a loopback, each driven a step at a time on a simulated clock.

#include <vector>

#include "map/MapCommands.h"
#include "net/NetClient.h"
#include "net/NetHost.h"
#include "net/NetSession.h"

// What a battle frame does between its network calls, for the stepped road.
class INetFrameWork {
 public:
  virtual ~INetFrameWork() = default;
  // The validation record of the frame just run; false to send none.
  virtual bool Validation(CommandMessage& record) { return false; }
  // The frame's work after its message went out (the local player's commands among it).
  virtual void Work(int frame) {}
};

struct NetMachine {
  NetMachine();
  NetMachine(const NetMachine&) = delete;
  NetMachine& operator=(const NetMachine&) = delete;

  // Rebuilds host and client for the session's message delay.
  void Reset();
  // The client's and the host's frame marks at the message delay: frames 0 to delay - 1 carry
  // no message (the handling of the start message does this).
  void ApplyStartMarks();

  // The battle frame's calls (NetBattle.h) as non-blocking steps. StartSteps sends the first
  // frame message. StepFrame runs frame `frame` once its host frame is there, then the counter
  // moves on, the validation record is added, the next frame message goes out, the work is
  // done and, on the host, the host frame of the new frame is awaited: kDone after a whole
  // frame, kPending while waiting, kFailed when the battle must end.
  void StartSteps();
  NetWait StepFrame(INetFrameWork& work);
  // A machine that has finished its frames keeps answering the others' requests; it runs no
  // frame beyond its last. True while another machine may still need it: a host that left
  // before a client had its last frames would leave that client to rebuild them as their new
  // host, without the commands they held, and so to end otherwise than the others.
  bool Serve();
  // The same after the battle's frames counted elsewhere (the program's battle counts its own).
  bool Serve(int framesRun);

  CNetSession session;
  CNetHost host;
  CNetClient client;
  int frame = 0;  // the battle's frame counter on the stepped road

 private:
  bool runBegun_ = false;
  bool hostWait_ = false;
};

namespace platform {
class LoopbackNetwork;
}

// Machines of one battle on a loopback: the first creates the session and hosts, each gets a
// player ("P0", "P1", ...), the host seats them in that order, and all stand at the start of
// frame 0 (phase 3, marks at the delay, the first frame message sent).
void StartLoopbackBattle(platform::LoopbackNetwork& network, const std::vector<NetMachine*>& machines, int delay);

extern NetMachine g_netMachine;
extern CNetSession& g_netSession;
extern CNetHost& g_netHost;
extern CNetClient& g_netClient;
