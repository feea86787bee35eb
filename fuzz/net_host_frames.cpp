// Host frame messages at a client: checked whole, placed, then run through RunBattleMessage
// against a sink that traps on any number that should never reach it; validation records are
// compared with the client's own.
#include <memory>

#include "NetFuzzSupport.h"
#include "net/NetMachine.h"
#include "platform/LoopbackNetwork.h"
#include "platform/MessageBox.h"

namespace {

using net_fuzz::Bytes;

struct ClientScene {
  ClientScene() {
    hostSession = network.Connect();
    hostSession->CreateSession("fuzz", 4, platform::kSessionMigrateHost);
    hostSession->CreateServerPlayer();
    client.session.Attach(network.Connect(), false);
    client.session.messageDelay = 2;
    client.session.sessionName = "fuzz";
    client.session.JoinGame();
  }

  void Begin() {
    const platform::NetPlayerId player = client.client.ownPlayer;
    client.Reset();
    if (player)
      client.client.ownPlayer = player;
    else
      client.client.CreatePlayer("C");
    client.session.phase = kNetPhaseBattle;
    client.client.framesRun = client.client.framesQueued = 2;
    client.client.BeginFrameMessage();
    client.client.AddValidateMessage(MakeValidateMessage(5, 6, 7), 0);
    client.client.AddValidateMessage(MakeValidateMessage(5, 6, 7), 1);
  }

  platform::LoopbackNetwork network;
  std::unique_ptr<platform::NetEndpoint> hostSession;
  NetMachine client;
};

Bytes HostFrame(int frame, const std::vector<std::vector<Bytes>>& clients) {
  std::vector<Bytes> nested;
  for (const std::vector<Bytes>& commands : clients)
    nested.push_back(MakeFrameMessage(frame, kFrameOriginClient, commands));
  return MakeFrameMessage(frame, kFrameOriginHost, nested);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return platform::kAnswerOk; });
  const std::vector<Bytes> every = net_fuzz::EveryCommand();
  net_fuzz::WriteSeeds(*argc, *argv,
                       {net_fuzz::Messages({HostFrame(2, {every, {every[2], every[4]}}), HostFrame(4, {{}, {}}),
                                            HostFrame(3, {{every[0]}, {every[1]}})}),
                        net_fuzz::Messages({HostFrame(2, {every, every, every, every})})});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ClientScene* scene = new ClientScene();
  net_fuzz::CheckingSink sink;
  NetHooksScope hooks(sink.Hooks());
  scene->Begin();
  CNetClient& client = scene->client.client;
  for (auto [message, length] : net_fuzz::SplitMessages(data, size)) {
    client.RunBattleMessage(message, length);
    scene->hostSession->Send(platform::kNetServerPlayer, client.ownPlayer, false, message, length);
    client.BeginRun(client.framesRun);
    client.RunStep(false);
  }
  client.Receive();
  return 0;
}
