// The direct command port between the set-up screens and the session: what each operation sends
// on the host and on a client, and how the receive loops reach the attached screen through it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NetProtocolSupport.h"
#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "net/NetCommandPort.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "net/NetScreen.h"
#include "platform/LoopbackNetwork.h"

namespace net_test {
namespace {

// A screen that writes down every call it gets.
struct RecordingScreen : CNetScreen {
  std::vector<std::string> calls;
  CPlayerSlot slot;
  CGameSettings settings;

  void AddConsoleLine(const char* text, int r, int g, int b) override { calls.push_back(std::string("line ") + text); }
  void AddUser(const char* name, uint8_t op, uint8_t own) override {
    calls.push_back("add " + std::string(name) + " " + std::to_string(own));
  }
  void RemoveUser(const char* name, uint8_t op, uint8_t own) override {
    calls.push_back("remove " + std::string(name) + " " + std::to_string(own));
  }
  void OnRequestColour(int place, int steps) override { Call("colour", place, steps); }
  void OnRequestPortrait(int place, int steps) override { Call("portrait", place, steps); }
  void OnSetHandicap(int place, int value) override { Call("handicap", place, value); }
  void OnReady(int place) override { Call("ready", place, 0); }
  void UpdatePlayerRow(int place, const CPlayerSlot& record) override {
    slot = record;
    Call("row", place, 0);
  }
  void OnGameSettings(const CGameSettings& record) override {
    settings = record;
    calls.push_back("settings");
  }
  void OnSetSlot(int place) override { Call("set slot", place, 0); }
  // Seated as the host's screen seats them: Ann at place 1.
  int FindPlayer(const char* name) override { return std::string(name) == "Ann" ? 1 : -1; }
  bool StartGame() override {
    calls.push_back("start");
    return true;
  }
  void Call(const char* what, int a, int b) {
    calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
  }
};

// This machine (the game's own network objects, which the command port serves) and raw peers on
// a loopback.
class CommandPortTest : public ::testing::Test {
 protected:
  void SetUp() override { g_netCommandPort.handler = &screen; }
  void TearDown() override {
    g_netCommandPort.handler = nullptr;
    g_netSession.Release();
    g_netSession.phase = kNetPhaseNone;
  }

  // This machine hosts; each peer joins as a client.
  void HostWith(std::vector<const char*> names) {
    g_netSession.Attach(network.Connect(), true);
    g_netSession.sessionName = "port test";
    g_netSession.messageDelay = 2;
    ASSERT_TRUE(g_netSession.CreateGame());
    ASSERT_TRUE(g_netSession.CreateHostPlayer());
    g_netMachine.Reset();
    ASSERT_TRUE(g_netClient.CreatePlayer("Host"));
    for (const char* name : names) {
      auto session = network.Connect();
      std::vector<platform::NetSessionDesc> sessions;
      session->EnumSessions(sessions);
      session->JoinSession(sessions.at(0).instance);
      peers.push_back(std::make_unique<RawPeer>(std::move(session), name));
    }
    g_netHost.RefreshClients();
    g_netSession.phase = kNetPhaseDirectSetup;
  }

  // A raw host with its server player; this machine joins as a client.
  RawPeer& ClientOf() {
    auto session = network.Connect();
    session->CreateSession("port test", 5, platform::kSessionMigrateHost);
    peers.push_back(std::make_unique<RawPeer>(std::move(session), "", true));
    g_netSession.Attach(network.Connect(), false);
    g_netSession.sessionName = "port test";
    g_netSession.messageDelay = 2;
    EXPECT_TRUE(g_netSession.JoinGame());
    g_netMachine.Reset();
    EXPECT_TRUE(g_netClient.CreatePlayer("Guest"));
    g_netSession.phase = kNetPhaseDirectSetup;
    return *peers.back();
  }

  // The set-up messages a peer received: type and first word after the header.
  static std::vector<std::string> Received(RawPeer& peer) {
    std::vector<std::string> out;
    for (const Bytes& message : peer.ReceiveAll())
      out.push_back(std::to_string(MessageWord(message.data(), 1)) +
                    (message.size() >= 16 ? " " + std::to_string(MessageWord(message.data(), 3)) : ""));
    return out;
  }

  platform::LoopbackNetwork network;
  RecordingScreen screen;
  std::vector<std::unique_ptr<RawPeer>> peers;
  NetHooksScope hooks{DefaultNetHooks()};
};

TEST_F(CommandPortTest, TheHostOrdersLeavingAndSendsSlotsByName) {
  HostWith({"Ann", "Bob"});
  EXPECT_FALSE(g_netCommandPort.Leave());
  EXPECT_EQ(Received(*peers[0]), std::vector<std::string>{"23"});
  EXPECT_EQ(Received(*peers[1]), std::vector<std::string>{"23"});

  g_netCommandPort.KickUsers({"Bob", "nobody"});
  EXPECT_TRUE(Received(*peers[0]).empty());
  EXPECT_EQ(Received(*peers[1]), std::vector<std::string>{"23"});

  EXPECT_TRUE(g_netCommandPort.SendSlotNumber("Ann", 2));
  EXPECT_FALSE(g_netCommandPort.SendSlotNumber("nobody", 3));
  EXPECT_EQ(Received(*peers[0]), std::vector<std::string>{"22 2"});
  EXPECT_TRUE(Received(*peers[1]).empty());
  EXPECT_EQ(g_netCommandPort.GetPlayerName(), "port test");
}

TEST_F(CommandPortTest, AClientLeavesAndKicksNobody) {
  RawPeer& host = ClientOf();
  EXPECT_FALSE(g_netCommandPort.Leave());
  g_netCommandPort.KickUsers({"Host", "Guest"});
  EXPECT_TRUE(Received(host).empty());
  // Its requests go to the host's server player.
  g_netCommandPort.RequestColour(1);
  g_netCommandPort.RequestPortrait(2);
  g_netCommandPort.SetHandicap(3, 80);
  g_netCommandPort.SendReady(1);
  EXPECT_EQ(Received(host), (std::vector<std::string>{"18 1", "19 2", "21 3", "20 1"}));
}

TEST_F(CommandPortTest, RecordsTravelWholeToTheOtherScreens) {
  HostWith({"Ann"});
  CPlayerSlot slot;
  std::snprintf(slot.name, sizeof slot.name, "%s", "Ann");
  slot.portrait = 4;
  slot.handicap = 90;
  g_netCommandPort.SendPlayerSlot(3, slot);
  CGameSettings settings;
  settings.regionIndex = 2;
  settings.mana = 1234;
  g_netCommandPort.SendGameSettings(settings);
  std::vector<Bytes> messages = peers[0]->ReceiveAll();
  ASSERT_EQ(messages.size(), 2u);
  uint8_t slotBytes[kPlayerSlotBytes];
  WritePlayerSlot(slot, slotBytes);
  ASSERT_EQ(messages[0].size(), static_cast<size_t>(kWizardSetupBytes));
  EXPECT_EQ(MessageWord(messages[0].data(), 1), MSG_INIT_WIZARD_SETUP);
  EXPECT_EQ(Bytes(messages[0].begin() + 12, messages[0].begin() + 12 + kPlayerSlotBytes),
            Bytes(slotBytes, slotBytes + kPlayerSlotBytes));
  EXPECT_EQ(MessageWord(messages[0].data(), 82), 3) << "the place at 328";
  uint8_t settingsBytes[kGameSettingsBytes];
  WriteGameSettings(settings, settingsBytes);
  ASSERT_EQ(messages[1].size(), static_cast<size_t>(kGameSetupBytes));
  EXPECT_EQ(Bytes(messages[1].begin() + 12, messages[1].end()),
            Bytes(settingsBytes, settingsBytes + kGameSettingsBytes));
}

TEST_F(CommandPortTest, TheClientScreenHearsTheHostThroughThePump) {
  RawPeer& host = ClientOf();
  CPlayerSlot slot;
  std::snprintf(slot.name, sizeof slot.name, "%s", "Zed");
  slot.portrait = 2;
  slot.handicap = 100;
  uint8_t slotBytes[kPlayerSlotBytes];
  WritePlayerSlot(slot, slotBytes);
  CGameSettings settings;
  settings.regionIndex = 3;
  uint8_t settingsBytes[kGameSettingsBytes];
  WriteGameSettings(settings, settingsBytes);
  auto sendAll = [&] {
    host.Send(platform::kNetAllPlayers, MakeWizardSetupMessage(slotBytes, 1), true);
    host.Send(platform::kNetAllPlayers, MakeGameSetupMessage(settingsBytes), true);
    host.Send(platform::kNetAllPlayers, MakeSlotMessage(MSG_INIT_SET_SLOT, 1), true);
    host.Send(platform::kNetAllPlayers, MakeLeaveOrder(), true);
  };
  // Outside the direct set-up the pump runs nothing.
  g_netSession.phase = kNetPhaseSetup;
  sendAll();
  g_netCommandPort.Pump();
  EXPECT_TRUE(screen.calls.empty());
  g_netClient.Receive();  // the set-up screens' own loop of phase 2 takes (and ignores) them
  screen.calls.clear();

  g_netSession.phase = kNetPhaseDirectSetup;
  sendAll();
  g_netCommandPort.Pump();
  EXPECT_EQ(screen.calls, (std::vector<std::string>{"row 1 0", "settings", "set slot 1 0", "remove Guest 1"}));
  EXPECT_STREQ(screen.slot.name, "Zed");
  EXPECT_EQ(screen.slot.portrait, 2);
  EXPECT_EQ(screen.settings.regionIndex, 3);
}

TEST_F(CommandPortTest, TheHostScreenHearsRequestsChatAndPlayers) {
  HostWith({"Ann"});
  RawPeer& ann = *peers[0];
  ann.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 1), true);
  ann.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_PORTRAIT, 1), true);
  ann.Send(platform::kNetServerPlayer, MakeHandicapMessage(1, 70), true);
  ann.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 1), true);
  ann.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 2), true);  // not Ann's place
  ann.session->SendChat(ann.player, platform::kNetAllPlayers, "hello");
  g_netCommandPort.Pump();
  // The host machine's own player, then Ann, were waiting for the first pump: the host seats its
  // own player first.
  EXPECT_EQ(screen.calls, (std::vector<std::string>{"add Host 0", "add Ann 0", "colour 1 1", "portrait 1 1",
                                                    "handicap 1 70", "ready 1 0", "line [Ann] : hello"}));
  screen.calls.clear();

  // A player joining and leaving.
  auto late = network.Connect();
  std::vector<platform::NetSessionDesc> sessions;
  late->EnumSessions(sessions);
  late->JoinSession(sessions.at(0).instance);
  platform::NetPlayerId id;
  late->CreatePlayer("Cy", id);
  late->Leave();
  g_netCommandPort.Pump();
  EXPECT_EQ(screen.calls, (std::vector<std::string>{"add Cy 0", "remove Cy 0"}));
  screen.calls.clear();

  // Own chat shows first, whatever the send does.
  EXPECT_TRUE(g_netCommandPort.SendChat("hi all"));
  EXPECT_EQ(screen.calls, std::vector<std::string>{"line [Host] : hi all"});
  g_netCommandPort.BeginGame();
  EXPECT_EQ(screen.calls.back(), "start");

  // Without a screen every forwarder does nothing.
  g_netCommandPort.handler = nullptr;
  screen.calls.clear();
  ann.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 1), true);
  g_netCommandPort.Pump();
  g_netCommandPort.SendChat("nobody sees this");
  g_netCommandPort.BeginGame();
  EXPECT_TRUE(screen.calls.empty());
}

}  // namespace
}  // namespace net_test
