// One machine of a lock-step battle over ENet, as its own process: the test of many processes
// (LockstepProcessTest.cpp) and the network benches start several on this machine's loopback.
// Machine 0 creates the session and hosts; the others join it at the list port it wrote. All
// run the tests' battle model (NetRig.h) for the frames asked, then keep serving the others a
// while, and write what they ended with: the frames run, the validation records that agreed
// and the model's final words.
//
//   net_peer index=<i> machines=<n> frames=<f> out=<file> [list-port=<p>] [delay=<d>]
//            [loss=<0-1>] [kill-at=<frame>] [hostile=1] [keep-alive=<ms>] [budget=<ms>]
//   net_peer intruder=1 out=<file> list-port=<p> [budget=<ms>]
//
// The host writes "<file>.port" with its list port as soon as it listens. kill-at makes the
// host end itself abruptly at that frame, as a crash would; hostile=1 makes a machine send
// garbage, cut, oversized and deeply nested frames, set-up messages and messages under other
// players' ids beside its honest ones. intruder=1 makes a hostile guest of the real program's
// set-up (the end-to-end network road): it joins the first session listed, asks for the other
// players' places, sends places, settings, seats and a start message as if it hosted, declares
// its own place ready after a while and leaves as soon as the host's start message comes,
// before it sends its spell list; its file says "left at the start" then. Exit codes: 0 done,
// 2 the battle ended (the machines disagreed), 3 out of time, 4 could not start.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "../NetRig.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "net/NetLog.h"
#include "net/NetMessages.h"
#include "platform/Clock.h"
#include "platform/EnetNetwork.h"
#include "platform/EnetWire.h"
#include "platform/MessageBox.h"

namespace {

constexpr uint32_t kLingerMs = 2000;  // a finished machine serves the others this long

struct Settings {
  int index = 0;
  int machines = 2;
  int frames = 100;
  int delay = 3;
  double loss = 0;
  int listPort = 0;
  int killAt = -1;
  bool hostile = false;
  bool intruder = false;
  uint32_t keepAliveMs = 2000;
  uint32_t budgetMs = 120000;
  std::string out;
};

Settings ReadSettings(int argc, char** argv) {
  std::map<std::string, std::string> values;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    size_t equals = argument.find('=');
    if (equals != std::string::npos) values[argument.substr(0, equals)] = argument.substr(equals + 1);
  }
  auto number = [&](const char* key, double fallback) {
    return values.count(key) ? std::atof(values[key].c_str()) : fallback;
  };
  Settings settings;
  settings.index = static_cast<int>(number("index", 0));
  settings.machines = static_cast<int>(number("machines", 2));
  settings.frames = static_cast<int>(number("frames", 100));
  settings.delay = static_cast<int>(number("delay", 3));
  settings.loss = number("loss", 0);
  settings.listPort = static_cast<int>(number("list-port", 0));
  settings.killAt = static_cast<int>(number("kill-at", -1));
  settings.hostile = number("hostile", 0) != 0;
  settings.intruder = number("intruder", 0) != 0;
  settings.keepAliveMs = static_cast<uint32_t>(number("keep-alive", 2000));
  settings.budgetMs = static_cast<uint32_t>(number("budget", 120000));
  settings.out = values["out"];
  return settings;
}

class Peer {
 public:
  explicit Peer(const Settings& settings) : settings_(settings), rig_(settings.index, validate_) {}

  int Run() {
    if (settings_.intruder) return Intrude();
    g_networkLogging = true;  // the last of the protocol's events go beside the results
    NetHooksScope hooks(rig_.hooks);
    platform::SetMessageBoxHandler([](const platform::MessageBoxCall& call) {
      std::fprintf(stderr, "peer box: %s: %s\n", call.caption.c_str(), call.text.c_str());
      return 1;
    });
    if (!Open()) return 4;
    if (!AwaitStart()) return 4;
    NetMachine& net = rig_.net;
    net.ApplyStartMarks();
    net.session.phase = kNetPhaseBattle;
    net.StartSteps();
    battleStart_ = NowMs();
    while (net.frame < settings_.frames) {
      if (OutOfTime()) return Finish(3);
      if (net.session.isHost && settings_.index == 0 && net.frame == settings_.killAt) kill(getpid(), SIGKILL);
      const int before = net.frame;
      const NetWait step = net.StepFrame(rig_);
      if (step == NetWait::kFailed) return Finish(2);
      if (step == NetWait::kPending) std::this_thread::sleep_for(std::chrono::microseconds(100));
      if (net.frame == before) continue;
      frameTimes_.push_back(NowMs());
      if (settings_.hostile) SendHostileBytes();
    }
    // The others may still need this machine's frames or, on the host, its host frames: it
    // serves a while, and the host until every client has run the last frame.
    const uint32_t finished = platform::TickCount();
    while (!OutOfTime()) {
      const bool needed = net.Serve();
      if (!needed && platform::TickCount() - finished >= std::min<uint32_t>(settings_.keepAliveMs, kLingerMs)) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return Finish(0);
  }

 private:
  // --- the hostile guest of a real program's set-up -------------------------------------------

  // What the set-up sends this guest, taken apart here: its place, and the start message.
  class SetupListener : public INetReceiver {
   public:
    void HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) override {
      const int32_t type = CheckMessageHeader(data, size);
      int32_t slot = 0;
      if (from != platform::kNetServerPlayer) return;
      if (type == MSG_INIT_SET_SLOT && ReadSlotMessage(data, size, slot)) place = slot;
      if (type == MSG_INITIALISE) started = true;
    }
    void HandleSystemMessage(const platform::NetSystemMessage&) override {}
    int place = -1;
    bool started = false;
  };

  int Intrude() {
    g_networkLogging = true;
    NetHooksScope hooks(rig_.hooks);
    const platform::EnetOptions options = Options();
    g_netEndpointFactory = [options] { return platform::CreateEnetEndpoint(options); };
    CNetSession& session = rig_.net.session;
    if (!session.CreateInterfaces(0)) return IntruderFinish(4, "no network");
    session.connectionType = kConnectionAddress;
    session.SetHostAddress("127.0.0.1");
    if (!session.Connect()) return IntruderFinish(4, "no connection");
    while (session.sessionName.empty()) {
      if (OutOfTime()) return IntruderFinish(3, "no session listed");
      session.StartSessionList([&](const std::string& name) { session.sessionName = name; });
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!session.JoinGame()) return IntruderFinish(4, "could not join");
    rig_.net.Reset();
    if (!rig_.net.client.CreatePlayer("Intruder")) return IntruderFinish(4, "no player");
    session.phase = kNetPhaseDirectSetup;
    SetupListener listener;
    uint8_t buffer[kHostFrameBytes];
    int rounds = 0;
    while (!listener.started) {
      if (OutOfTime()) return IntruderFinish(3, "never started");
      session.ReceiveFor(rig_.net.client.ownPlayer, buffer, sizeof buffer, "intruder receive", listener);
      if (listener.place >= 0) {
        SendHostileSetup(listener.place);
        // Ready once its mischief has had time to reach every screen: the host may then start.
        if (++rounds == 15) SendToServer(MakeSlotMessage(MSG_INIT_JOIN_READY, listener.place));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // Gone in the middle of the load, its spell list never sent.
    return IntruderFinish(0, "left at the start");
  }

  void SendToServer(const NetBytes& message) {
    rig_.net.session.endpoint->Send(rig_.net.client.ownPlayer, platform::kNetServerPlayer, true, message.data(),
                                    message.size());
  }
  void SendToAll(const NetBytes& message) {
    rig_.net.session.endpoint->Send(rig_.net.client.ownPlayer, platform::kNetAllPlayers, true, message.data(),
                                    message.size());
  }

  // Requests for every other place; places, settings, a seat, a start message, a leave order
  // and another's spell list, as only the host may send them; a cut message and garbage.
  void SendHostileSetup(int ownPlace) {
    for (int place = 0; place < kMaxClients; ++place) {
      if (place == ownPlace) continue;
      for (int32_t type : {MSG_INIT_REQUEST_COLOUR, MSG_INIT_REQUEST_PORTRAIT, MSG_INIT_JOIN_READY})
        SendToServer(MakeSlotMessage(type, place));
      SendToServer(MakeHandicapMessage(place, 100));
    }
    CPlayerSlot usurper;
    usurper.SetName("Intruder");
    usurper.colour = 0;
    usurper.portrait = 0;
    usurper.ready = 1;
    uint8_t slot[kPlayerSlotBytes];
    WritePlayerSlot(usurper, slot);
    for (int place = 0; place < kMaxClients; ++place) SendToAll(MakeWizardSetupMessage(slot, place));
    CGameSettings settings;
    settings.gameTime = 60;
    settings.magicItems = 21;
    uint8_t settingBytes[kGameSettingsBytes];
    WriteGameSettings(settings, settingBytes);
    SendToAll(MakeGameSetupMessage(settingBytes));
    SendToAll(MakeSlotMessage(MSG_INIT_SET_SLOT, 3));
    SendToAll(StartMessage());
    SendToAll(MakeLeaveOrder());
    const uint8_t spells[1] = {3};
    SendToAll(MakeWizardSpellsMessage(0, spells, 1));
    NetBytes cut = StartMessage();
    cut.resize(40);
    SendToAll(cut);
    NetBytes garbage(1 + hostileRandom_.Next() % 120);
    for (uint8_t& byte : garbage) byte = static_cast<uint8_t>(hostileRandom_.Next());
    SendToAll(garbage);
  }

  int IntruderFinish(int code, const char* what) {
    g_netLog.WriteToFile((settings_.out + ".netlog").c_str());
    std::ofstream(settings_.out) << "code " << code << "\n" << what << "\n";
    rig_.net.session.Release();
    return code;
  }

  static double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }

  bool OutOfTime() const { return platform::TickCount() - start_ > settings_.budgetMs; }

  platform::EnetOptions Options() const {
    platform::EnetOptions options;
    options.bindAddress = "127.0.0.1";
    options.searchAddress = "127.0.0.1";
    options.listPort = static_cast<uint16_t>(settings_.listPort);
    options.joinTimeoutMs = 5000;
    options.keepAliveMs = settings_.keepAliveMs;
    options.impairment.loss = settings_.loss;
    options.impairment.duplicate = settings_.loss / 4;
    options.impairment.reorder = settings_.loss / 2;
    options.impairment.seed = 100 + static_cast<uint64_t>(settings_.index);
    options.forgeSenders = settings_.hostile;
    options.log = [](const std::string& line) { std::fprintf(stderr, "peer net: %s\n", line.c_str()); };
    return options;
  }

  bool Open() {
    const platform::EnetOptions options = Options();
    g_netEndpointFactory = [options] { return platform::CreateEnetEndpoint(options); };
    CNetSession& session = rig_.net.session;
    const bool host = settings_.index == 0;
    if (!session.CreateInterfaces(host ? 1 : 0)) return false;
    session.connectionType = kConnectionAddress;
    session.SetHostAddress("127.0.0.1");
    session.messageDelay = settings_.delay;
    session.sessionName = "peer battle";
    if (host) {
      if (!session.CreateGame() || !session.CreateHostPlayer()) return false;
      std::ofstream(settings_.out + ".port") << platform::EnetListPort(*session.endpoint) << "\n";
    } else if (!session.Connect() || !session.JoinGame()) {
      return false;
    }
    rig_.net.Reset();
    if (!rig_.net.client.CreatePlayer(("P" + std::to_string(settings_.index)).c_str())) return false;
    session.phase = kNetPhaseDirectSetup;
    return true;
  }

  // The host seats everyone, closes the session and sends the start message; everyone waits
  // for it (the host's own client too).
  bool AwaitStart() {
    NetMachine& net = rig_.net;
    bool sent = false;
    while (!net.client.initialised) {
      if (OutOfTime()) return false;
      // Once the start message is out, the host's loop waits for the battle: a client's first
      // frame must not reach it before its marks stand at the delay.
      if (net.session.isHost && !sent) net.host.Receive();
      net.client.Receive();
      if (net.session.isHost && !sent) {
        net.host.RefreshClients();
        if (net.host.clientCount == settings_.machines) {
          // Seated by name, as the set-up screens do: the order in which the processes joined
          // must not decide the order of the commands.
          std::vector<std::string> names;
          for (int i = 0; i < settings_.machines; ++i) names.push_back("P" + std::to_string(i));
          net.host.SetClients(names);
          net.session.SetSessionFlags(0x65);
          NetBytes start = StartMessage();
          net.host.SendInitialise(start.data());
          sent = true;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  static NetBytes StartMessage() {
    uint8_t settings[kGameSettingsBytes];
    WriteGameSettings(CGameSettings{}, settings);
    uint8_t slots[kMaxClients][kPlayerSlotBytes];
    const uint8_t* slotPointers[kMaxClients];
    for (int i = 0; i < kMaxClients; ++i) {
      WritePlayerSlot(CPlayerSlot{}, slots[i]);
      slotPointers[i] = slots[i];
    }
    const uint8_t items[kMaxWizardSpells] = {};
    const int32_t setup[kBattleSetupWords] = {1, 0, 77, 0, 0, 0};
    return MakeInitialiseMessage(settings, slotPointers, items, setup);
  }

  // Everything a peer's bytes must never do harm with, sent to the host and to all.
  void SendHostileBytes() {
    NetMachine& net = rig_.net;
    platform::NetEndpoint& endpoint = *net.session.endpoint;
    const platform::NetPlayerId self = net.client.ownPlayer;
    const int frame = net.frame + settings_.delay;
    std::vector<NetBytes> messages;
    NetBytes garbage(1 + hostileRandom_.Next() % 120);
    for (uint8_t& byte : garbage) byte = static_cast<uint8_t>(hostileRandom_.Next());
    messages.push_back(garbage);
    NetBytes honest = MakeFrameMessage(frame + 40, kFrameOriginClient, {});
    messages.push_back(NetBytes(honest.begin(), honest.begin() + 13));  // cut short
    NetBytes oversized = MakeFrameMessage(frame + 41, kFrameOriginClient, {});
    oversized.resize(9000);
    SetMessageWord(oversized.data(), 2, 9000);
    messages.push_back(oversized);
    NetBytes nested = MakeFrameMessage(frame + 42, kFrameOriginClient, {});
    for (int depth = 0; depth < 3; ++depth) nested = MakeFrameMessage(frame + 42, kFrameOriginClient, {nested});
    messages.push_back(nested);
    messages.push_back(MakeSlotMessage(MSG_INIT_JOIN_READY, 1));
    messages.push_back(MakeHandicapMessage(1, 5));
    messages.push_back(MakeSlotMessage(MSG_INIT_SET_SLOT, 3));
    messages.push_back(MakeLeaveOrder());
    messages.push_back(StartMessage());
    for (const NetBytes& message : messages) {
      endpoint.Send(self, platform::kNetServerPlayer, false, message.data(), message.size());
      endpoint.Send(self, platform::kNetAllPlayers, false, message.data(), message.size());
    }
    // A frame with commands, under the ids of the host's player and of the server player.
    const CommandMessage walk = MakeCellCommand(MSG_CREATURE_WALK, 1, 5, 5, 1);
    const NetBytes forged =
        MakeFrameMessage(frame, kFrameOriginClient, {NetBytes(walk.bytes, walk.bytes + walk.length)});
    for (platform::NetPlayerId other : {platform::enetwire::PlayerIdOf(1, 1), platform::kNetServerPlayer})
      endpoint.Send(other, platform::kNetAllPlayers, false, forged.data(), forged.size());
  }

  int Finish(int code) {
    g_netLog.WriteToFile((settings_.out + ".netlog").c_str());
    std::ofstream out(settings_.out);
    out << "code " << code << "\n";
    out << "frames " << rig_.net.frame << "\n";
    out << "agreed " << rig_.net.client.validationsAgreed << "\n";
    // Timings for the benches: the battle's wall time, how long a command takes from the frame
    // it is given in to the frame it runs in (the delay's frames later), and the longest wait
    // between two frames.
    double latency = 0, stall = 0;
    const size_t delay = static_cast<size_t>(settings_.delay);
    for (size_t i = 0; i + delay < frameTimes_.size(); ++i) latency += frameTimes_[i + delay] - frameTimes_[i];
    if (frameTimes_.size() > delay) latency /= static_cast<double>(frameTimes_.size() - delay);
    for (size_t i = 1; i < frameTimes_.size(); ++i) stall = std::max(stall, frameTimes_[i] - frameTimes_[i - 1]);
    out << "battle-ms " << (frameTimes_.empty() ? 0 : frameTimes_.back() - battleStart_) << "\n";
    out << "latency-ms " << latency << "\n";
    out << "stall-ms " << stall << "\n";
    out << "words";
    for (uint32_t word : rig_.model.FinalWords()) out << " " << word;
    out << "\n";
    out.close();
    rig_.net.session.Release();
    return code;
  }

  Settings settings_;
  bool validate_ = true;
  net_test::RigMachine rig_;
  CRandom hostileRandom_{99};
  uint32_t start_ = platform::TickCount();
  double battleStart_ = 0;
  std::vector<double> frameTimes_;  // when each frame was done
};

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = ReadSettings(argc, argv);
  if (settings.out.empty()) {
    std::fprintf(stderr, "net_peer: out=<file> is needed\n");
    return 4;
  }
  return Peer(settings).Run();
}
