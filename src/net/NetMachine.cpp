#include "net/NetMachine.h"

#include <string>

#include "platform/LoopbackNetwork.h"

NetMachine::NetMachine() : host(session), client(session) {
  host.SetLocalClient(&client);
  client.SetHost(&host);
}

void NetMachine::Reset() {
  host.Reset();
  client.Reset();
}

void NetMachine::ApplyStartMarks() {
  client.framesRun = client.framesQueued = session.messageDelay;
  host.SetNextFrame(session.messageDelay);
}

void NetMachine::StartSteps() {
  frame = 0;
  runBegun_ = false;
  client.BeginFrameMessage();
  client.SendFrame(0);
  hostWait_ = session.isHost != 0;
  if (hostWait_) host.BeginWait(0);
}

NetWait NetMachine::StepFrame(INetFrameWork& work) {
  if (hostWait_) {
    if (host.WaitStep(true) == NetWait::kPending) return NetWait::kPending;
    hostWait_ = false;
  }
  if (!runBegun_) {
    client.BeginRun(frame);
    runBegun_ = true;
  }
  const NetWait run = client.RunStep(true);
  if (run == NetWait::kPending) return run;
  runBegun_ = false;
  if (run == NetWait::kFailed) return run;
  ++frame;
  CommandMessage record;
  if (work.Validation(record)) client.AddValidateMessage(record, frame);
  client.SendFrame(frame);
  work.Work(frame);
  hostWait_ = session.isHost != 0;
  if (hostWait_) host.BeginWait(frame);
  return NetWait::kDone;
}

bool NetMachine::Serve() { return Serve(frame); }

bool NetMachine::Serve(int framesRun) {
  // No wait for the next host frame here: a wait that runs the local client would run that
  // frame on this machine alone, after the battle's last one, when it comes in while the wait
  // drains the client's queue. Serving only receives, answers and asks.
  hostWait_ = false;
  client.Receive();
  if (!session.isHost) return false;
  // A client has run the last frame once its message stamped with the frame after it is here;
  // the host asks for those messages as for any it lacks.
  const int acknowledging = framesRun + session.messageDelay;
  host.Service(acknowledging);
  for (int i = 0; i < kMaxClients; ++i)
    if (host.clients[i] && host.nextFrame[i] <= acknowledging) return true;
  return false;
}

void StartLoopbackBattle(platform::LoopbackNetwork& network, const std::vector<NetMachine*>& machines, int delay) {
  for (size_t i = 0; i < machines.size(); ++i) {
    NetMachine& machine = *machines[i];
    machine.session.Attach(network.Connect(), i == 0);
    machine.session.messageDelay = delay;
    machine.session.sessionName = "loopback battle";
    if (i == 0) {
      machine.session.CreateGame();
      machine.session.CreateHostPlayer();
    } else {
      machine.session.JoinGame();
    }
    machine.Reset();
    machine.client.CreatePlayer(("P" + std::to_string(i)).c_str());
  }
  for (NetMachine* machine : machines) {
    if (machine->session.isHost) machine->host.RefreshClients();
    machine->session.phase = kNetPhaseBattle;
    machine->ApplyStartMarks();
    machine->StartSteps();
  }
}

NetMachine g_netMachine;
CNetSession& g_netSession = g_netMachine.session;
CNetHost& g_netHost = g_netMachine.host;
CNetClient& g_netClient = g_netMachine.client;
