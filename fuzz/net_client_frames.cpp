// Whatever a client may send reaches the host through the loopback: frame messages are
// checked whole, placed, joined into host frames and sent, or refused; nothing a client sends
// can make the host read or write out of bounds.
#include <memory>

#include "NetFuzzSupport.h"
#include "net/NetMachine.h"
#include "platform/LoopbackNetwork.h"

namespace {

using net_fuzz::Bytes;

struct HostScene {
  HostScene() {
    host.session.Attach(network.Connect(), true);
    host.session.messageDelay = 2;
    host.session.sessionName = "fuzz";
    host.session.CreateGame();
    host.session.CreateHostPlayer();
    client = network.Connect();
    std::vector<platform::NetSessionDesc> sessions;
    client->EnumSessions(sessions);
    client->JoinSession(sessions.at(0).instance);
    client->CreatePlayer("C", player);
  }

  void Begin() {
    host.Reset();
    host.host.RefreshClients();
    host.session.phase = kNetPhaseBattle;
    host.host.SetNextFrame(2);
  }

  void Drain() {
    static uint8_t buffer[kHostFrameBytes];
    platform::NetMessageInfo info;
    while (client->Receive(player, buffer, sizeof buffer, info) != platform::kNetErrNoMessages) {
    }
  }

  platform::LoopbackNetwork network;
  NetMachine host;
  std::unique_ptr<platform::NetEndpoint> client;
  platform::NetPlayerId player = 0;
};

Bytes ClientFrame(int frame, const std::vector<Bytes>& commands) {
  return MakeFrameMessage(frame, kFrameOriginClient, commands);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  uint8_t resend[kResendRequestBytes];
  WriteResendRequest(resend, 2);
  net_fuzz::WriteSeeds(
      *argc, *argv,
      {net_fuzz::Messages({ClientFrame(2, {net_fuzz::EveryCommand()[2]}), ClientFrame(3, {}),
                           ClientFrame(5, net_fuzz::EveryCommand()), Bytes(resend, resend + 16), ClientFrame(4, {}),
                           ClientFrame(3, {})}),
       net_fuzz::Messages({ClientFrame(2, net_fuzz::EveryCommand())}),
       net_fuzz::Messages({MakeSlotMessage(MSG_INIT_JOIN_READY, 1), MakeHandicapMessage(2, 30), ClientFrame(9, {})})});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HostScene* scene = new HostScene();
  net_fuzz::CheckingSink sink;
  NetHooksScope hooks(sink.Hooks());
  scene->Begin();
  for (auto [message, length] : net_fuzz::SplitMessages(data, size)) {
    scene->client->Send(scene->player, platform::kNetServerPlayer, false, message, length);
    scene->host.host.Receive();
  }
  scene->Drain();
  return 0;
}
