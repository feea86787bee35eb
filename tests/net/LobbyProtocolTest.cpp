// The lobby's set-up protocol: what a guest sends and when, what the host and the guests obey,
// and from whom.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LobbyRig.h"

namespace {

using lobby_test::LobbyOptions;
using lobby_test::LobbyUser;
using lobby_test::LogIn;
using lobby_test::PumpUntil;
using lobby_test::RecordingScreen;
using testing_support::IrcServer;

platform::IrcUser User(const char* name, bool isOperator) {
  platform::IrcUser user;
  user.name = name;
  user.isOperator = isOperator;
  return user;
}

// Without a server: the parsers alone, on a host and on a guest.
class LobbyParseTest : public ::testing::Test {
 protected:
  LobbyParseTest() {
    host.handler = &hostScreen;
    host.hostFlag = 1;
    hostScreen.places = {"host", "bob", "carol"};
    guest.handler = &guestScreen;
  }
  CLobbySession host, guest;
  RecordingScreen hostScreen, guestScreen;
};

TEST_F(LobbyParseTest, AGameLineYieldsItsFourteenNumbersInRecordOrder) {
  guest.ParseLobbyGameMessage(User("host", true), "GAME 3 500 400 5 30 1 2 3 10 2 4 6 1 20");
  ASSERT_EQ(guestScreen.Calls("game").size(), 1u);
  const int expected[kGameSettingsFields] = {3, 500, 400, 5, 30, 1, 2, 3, 10, 2, 4, 6, 1, 20};
  for (int i = 0; i < kGameSettingsFields; ++i)
    EXPECT_EQ(*GameSettingsField(guestScreen.lastSettings, i), expected[i]) << i;
}

TEST_F(LobbyParseTest, ASlotLineReadsANameWithBlanksWhole) {
  guest.ParseLobbyGameMessage(User("host", true), "SLOT 2 \"Big Grey Wizard\" 4 80 6 1");
  ASSERT_EQ(guestScreen.Calls("slot"), std::vector<std::string>{"slot 2"});
  EXPECT_STREQ(guestScreen.lastSlot.name, "Big Grey Wizard");
  EXPECT_EQ(guestScreen.lastSlot.portrait, 4);
  EXPECT_EQ(guestScreen.lastSlot.handicap, 80);
  EXPECT_EQ(guestScreen.lastSlot.colour, 6);
  EXPECT_EQ(guestScreen.lastSlot.ready, 1);
}

TEST_F(LobbyParseTest, NothingOutOfPlaceIsObeyed) {
  const platform::IrcUser op = User("host", true), rogue = User("mallory", false), bob = User("bob", false);
  struct Case {
    bool toHost;
    platform::IrcUser sender;
    bool isPrivate;
    const char* text;
  };
  const Case cases[] = {
      {false, rogue, false, "SLOT 0 \"Mallory\" 1 100 1 1"},  // the host's records from a guest
      {false, rogue, false, "GAME 1 1 1 1 1 1 1 1 1 1 1 1 1 1"},
      {false, rogue, true, "SNUM 0"},
      {false, op, false, "SLOT 4 \"Bob\" 1 100 1 0"},  // places 0..3
      {false, op, false, "SLOT -1 \"Bob\" 1 100 1 0"},
      {false, op, false, "SLOT 1 \"Bob\" 99 100 1 0"},          // a portrait out of range
      {false, op, false, "GAME 1 2 3"},                         // too few numbers
      {false, op, false, "GAME 1 1 1 99 1 1 1 1 1 1 1 1 1 1"},  // 99 magic items
      {false, op, false, "GAME 1 1 1 1 1 1 1 1 1 1 1 1 1 99999999999"},
      {false, op, true, "SNUM 7"},
      {false, op, false, "CHRQ COLOUR 1 1"},           // requests are the host's to hear
      {true, bob, false, "CHRQ COLOUR 2 1"},           // another's place
      {true, bob, false, "CHRQ COLOUR 1 1000000000"},  // steps beyond 12
      {true, bob, false, "CHRQ COLOUR 1 0"},
      {true, bob, false, "CHRQ HANDICAP 1 101"},
      {true, bob, false, "CHRQ HANDICAP 1 -5"},
      {true, bob, false, "CHRQ SIZE 1 1"},
      {true, bob, false, "SRDY 2"},
      {true, rogue, false, "SRDY 1"},
      {true, bob, false, "%n%s %n%s"},
      {true, op, false, "SLOT 1 \"Bob\" 1 100 1 0"},  // the host never takes records
  };
  for (const Case& c : cases) {
    CLobbySession& session = c.toHost ? host : guest;
    if (c.isPrivate)
      session.ParseLobbyPrivateMessage(c.sender, c.text);
    else
      session.ParseLobbyGameMessage(c.sender, c.text);
  }
  EXPECT_TRUE(hostScreen.calls.empty()) << hostScreen.calls.front();
  EXPECT_TRUE(guestScreen.calls.empty()) << guestScreen.calls.front();
}

TEST_F(LobbyParseTest, TheHostTakesAGuestsRequestsForItsOwnPlace) {
  const platform::IrcUser bob = User("bob", false);
  host.ParseLobbyGameMessage(bob, "CHRQ COLOUR 1 3");
  host.ParseLobbyGameMessage(bob, "CHRQ PORTRAIT 1 12");
  host.ParseLobbyGameMessage(bob, "CHRQ HANDICAP 1 100");
  host.ParseLobbyGameMessage(bob, "SRDY 1");
  EXPECT_EQ(hostScreen.calls, (std::vector<std::string>{"colour 1 3", "portrait 1 12", "handicap 1 100", "ready 1"}));
}

// Against the server: a host and a guest seated at place 1.
class LobbySetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!IrcServer::Installed()) GTEST_SKIP() << "ngircd is not installed (scripts/deps installs it)";
    server_ = std::make_unique<IrcServer>();
    ASSERT_TRUE(server_->Running()) << server_->Log();
    options_ = std::make_unique<LobbyOptions>(server_->Port());
    ASSERT_TRUE(LogIn(host_, "host", server_->Password()));
    host_.session.ShowGameChannels();
    ASSERT_TRUE(host_.session.CreateGameChannel("duel"));
    host_.screen.places = {"host", "bob"};
    ASSERT_TRUE(LogIn(guest_, "bob", server_->Password()));
    guest_.session.ShowGameChannels();
    ASSERT_TRUE(guest_.session.JoinChannelWithKey("duel", ""));
    ASSERT_TRUE(Both([&] { return host_.session.gameUsers.size() == 1; }));
  }
  bool Both(const std::function<bool()>& condition) { return PumpUntil({&host_, &guest_}, condition); }

  std::unique_ptr<IrcServer> server_;
  std::unique_ptr<LobbyOptions> options_;
  LobbyUser host_, guest_;
};

TEST_F(LobbySetupTest, ThreePressesSendOneColourRequestAfterTheThirdReturn) {
  for (int press = 0; press < 3; ++press) guest_.session.RequestColour(1);
  EXPECT_EQ(guest_.session.colourPing, 3);
  ASSERT_TRUE(Both([&] { return !host_.screen.Calls("colour").empty(); }));
  // Whatever is still on its way arrives before this.
  guest_.session.SendChat("after");
  ASSERT_TRUE(Both([&] { return host_.screen.SawConsole("after"); }));
  EXPECT_EQ(host_.screen.Calls("colour"), std::vector<std::string>{"colour 1 3"});
  EXPECT_TRUE(guest_.session.colourRequest.empty());
  EXPECT_EQ(guest_.session.colourSteps, 0);
}

TEST_F(LobbySetupTest, ReadyWithAPingOutstandingSendsTheRequestFirst) {
  guest_.session.RequestColour(1);
  guest_.session.SendReady(1);
  ASSERT_TRUE(Both([&] { return !host_.screen.Calls("ready").empty(); }));
  guest_.session.SendChat("after");
  ASSERT_TRUE(Both([&] { return host_.screen.SawConsole("after"); }));
  std::vector<std::string> order;
  for (const std::string& call : host_.screen.calls)
    if (call.rfind("colour", 0) == 0 || call.rfind("ready", 0) == 0) order.push_back(call);
  EXPECT_EQ(order, (std::vector<std::string>{"colour 1 1", "ready 1"}));
}

TEST_F(LobbySetupTest, TheHostsBurstArrivesWholeAndInOrder) {
  host_.session.SendSlotNumber("bob", 1);
  CPlayerSlot slot;
  slot.Reset();
  for (int place = 0; place < kPlayerSlotCount; ++place) {
    slot.SetName(place == 1 ? "Big Bob" : "Host");
    slot.portrait = place;
    slot.colour = place;
    slot.handicap = 100;
    host_.session.SendPlayerSlot(place, slot);
  }
  CGameSettings settings;
  for (int i = 0; i < kGameSettingsFields; ++i) *GameSettingsField(settings, i) = i % 5 + 1;  // within the limits
  host_.session.SendGameSettings(settings);
  ASSERT_TRUE(Both([&] { return !guest_.screen.Calls("game").empty(); }));
  std::vector<std::string> setup;
  for (const std::string& call : guest_.screen.calls)
    if (call.rfind("snum", 0) == 0 || call.rfind("slot", 0) == 0 || call.rfind("game", 0) == 0) setup.push_back(call);
  EXPECT_EQ(setup, (std::vector<std::string>{"snum 1", "slot 0", "slot 1", "slot 2", "slot 3", "game"}));
  EXPECT_EQ(guest_.screen.lastSettings.ControlLimit, 4);
  // The host shows its own records at once.
  EXPECT_EQ(host_.screen.Calls("slot").size(), 4u);
}

// A client of its own on a raw socket, in the game channel, tries everything a guest must not.
TEST_F(LobbySetupTest, ARogueClientIsObeyedInNothing) {
  const int rogue = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(server_->Port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(rogue, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  auto send = [&](const std::string& line) { ::send(rogue, line.data(), line.size(), MSG_NOSIGNAL); };
  send("PASS " + server_->Password() + "\r\nNICK mallory\r\nUSER m 0 * :m\r\nJOIN #game.duel\r\n");
  ASSERT_TRUE(Both([&] { return host_.session.gameUsers.size() == 2; }));
  host_.screen.places = {"host", "bob", "mallory"};
  const std::string tag = "PRIVMSG #game.duel :\x01VRASK ";
  send(tag + "SLOT 1 \"Mallory\" 1 100 1 1\x01\r\n");
  send(tag + "GAME 1 1 1 1 1 1 1 1 1 1 1 1 1 1\x01\r\n");
  send("PRIVMSG bob :\x01VRASK SNUM 0\x01\r\n");
  send("PRIVMSG bob :\x01VRASK PING COLOUR 1\x01\r\n");
  send(tag + "CHRQ COLOUR 1 1\x01\r\n");
  send(tag + "CHRQ COLOUR 2 1000000000\x01\r\n");
  send(tag + "SRDY 1\x01\r\n");
  send("PRIVMSG #game.duel :\x01VRASKSTART 10.9.8.7\x01\r\n");
  send("PRIVMSG #game.duel :%n%s%n%s\r\n");
  send("PRIVMSG #game.duel :" + std::string(600, 'x') + "\r\n");
  send("PRIVMSG #game.duel :done\r\n");
  // ngircd may take the long line as a reason to close the connection; the rest still counts.
  ASSERT_TRUE(Both([&] { return host_.screen.SawConsole("%n%s%n%s") && guest_.screen.SawConsole("%n%s%n%s"); }));
  ::close(rogue);
  for (const RecordingScreen* screen : {&host_.screen, &guest_.screen})
    for (const char* kind : {"slot", "game", "snum", "colour", "ready", "join"})
      EXPECT_TRUE(screen->Calls(kind).empty()) << kind;
  EXPECT_TRUE(guest_.session.colourRequest.empty());
}

}  // namespace
