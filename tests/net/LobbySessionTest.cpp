// The lobby session against a real chat server on this machine's loopback: logging in,
// channels, chat, the channel operator's tools, and waits that end.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LobbyRig.h"
#include "platform/KeyState.h"

namespace {

using lobby_test::LobbyOptions;
using lobby_test::LobbyUser;
using lobby_test::LogIn;
using lobby_test::PumpUntil;
using testing_support::IrcServer;

class LobbySessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!IrcServer::Installed()) GTEST_SKIP() << "ngircd is not installed (scripts/deps installs it)";
    server_ = std::make_unique<IrcServer>();
    ASSERT_TRUE(server_->Running()) << server_->Log();
    options_ = std::make_unique<LobbyOptions>(server_->Port());
  }

  std::unique_ptr<IrcServer> server_;
  std::unique_ptr<LobbyOptions> options_;
};

TEST_F(LobbySessionTest, LogsInWithTheMessageOfTheDayAndTheUserCount) {
  LobbyUser alice;
  ASSERT_TRUE(LogIn(alice, "alice", server_->Password()));
  EXPECT_TRUE(alice.screen.SawConsole("Welcome to the test lobby"));
  EXPECT_TRUE(alice.screen.SawConsole("STR_01 1"));
  EXPECT_NE(alice.session.motd.find("Welcome"), std::string::npos);
  EXPECT_TRUE(alice.screen.boxes.empty());
  alice.session.Release();
  EXPECT_EQ(alice.session.connected, 0);
}

TEST_F(LobbySessionTest, EachLoginFailureShowsItsTextAndAborts) {
  LobbyUser alice;
  ASSERT_TRUE(LogIn(alice, "alice", server_->Password()));
  struct Case {
    const char* name;
    const char* password;
    const char* box;
  };
  const Case cases[] = {
      {"alice", server_->Password().c_str(), "STR_02"},  // the name is taken
      {"bob", "wrong", "STR_03"},                        // the server's password
      {"1bob", server_->Password().c_str(), "STR_04"},   // a name the server refuses
  };
  for (const Case& c : cases) {
    LobbyUser user;
    EXPECT_FALSE(LogIn(user, c.name, c.password)) << c.name;
    ASSERT_EQ(user.screen.boxes.size(), 1u) << c.name;
    EXPECT_EQ(user.screen.boxes[0].rfind(c.box, 0), 0u) << c.name << ": " << user.screen.boxes[0];
    EXPECT_EQ(user.screen.boxValues[0], 1);
    EXPECT_EQ(user.screen.aborts, 1) << c.name;
  }
}

TEST_F(LobbySessionTest, ASilentPortTimesOutWithTheFailureBox) {
  // Takes connections (the kernel's backlog) and never says a word.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  LobbyOptions silent(ntohs(address.sin_port), 300);
  LobbyUser user;
  EXPECT_FALSE(LogIn(user, "alice", "x"));
  ::close(listener);
  ASSERT_EQ(user.screen.boxes.size(), 1u);
  EXPECT_EQ(user.screen.boxes[0].rfind("STR_05", 0), 0u);
  EXPECT_EQ(user.screen.aborts, 1);
}

TEST_F(LobbySessionTest, EscapeDuringTheConnectionAborts) {
  platform::SetKeyStateSource([](int key) { return key == platform::kKeyEscape; });
  LobbyUser user;
  EXPECT_FALSE(LogIn(user, "alice", server_->Password()));
  platform::SetKeyStateSource(nullptr);
  EXPECT_EQ(user.screen.aborts, 1);
  EXPECT_TRUE(user.screen.boxes.empty());
}

TEST_F(LobbySessionTest, ChannelsOfBothKindsAreListedWithTheirCounts) {
  LobbyUser alice, bob;
  ASSERT_TRUE(LogIn(alice, "alice", server_->Password()));
  ASSERT_TRUE(LogIn(bob, "bob", server_->Password()));
  alice.session.JoinChannel("tavern");
  ASSERT_TRUE(PumpUntil({&alice}, [&] { return alice.session.currentChannel.name == "tavern"; }));
  EXPECT_EQ(alice.session.hostFlag, 0);
  ASSERT_TRUE(bob.session.CreateGameChannel("duel"));
  EXPECT_EQ(bob.session.hostFlag, 1);
  EXPECT_TRUE(bob.screen.SawConsole("STR_17 duel"));

  alice.screen.channels.clear();
  alice.session.RefreshPlayers();
  ASSERT_TRUE(PumpUntil({&alice, &bob}, [&] { return !alice.screen.channels.empty(); }));
  EXPECT_EQ(alice.screen.channels, std::vector<std::string>{"tavern  1"});
  alice.session.ShowGameChannels();  // leaves the tavern
  ASSERT_TRUE(PumpUntil({&alice, &bob}, [&] { return alice.screen.channels == std::vector<std::string>{"duel  1"}; }));
  EXPECT_FALSE(alice.session.InChannel());

  // A game channel that exists cannot be created again.
  EXPECT_FALSE(alice.session.CreateGameChannel("duel"));
  ASSERT_EQ(alice.screen.boxes.size(), 1u);
  EXPECT_EQ(alice.screen.boxes[0].rfind("STR_15", 0), 0u);
  EXPECT_FALSE(alice.session.InChannel());
}

TEST_F(LobbySessionTest, LeaveOutsideAChannelIsTrueAtOnce) {
  LobbyUser alice;
  EXPECT_TRUE(alice.session.Leave());
  ASSERT_TRUE(LogIn(alice, "alice", server_->Password()));
  EXPECT_TRUE(alice.session.Leave());
}

// Three users in a chat channel.
class LobbyChatTest : public LobbySessionTest {
 protected:
  void SetUp() override {
    LobbySessionTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (auto [user, name] : {std::pair{&a_, "alice"}, {&b_, "bob"}, {&c_, "carol"}}) {
      ASSERT_TRUE(LogIn(*user, name, server_->Password()));
      user->session.JoinChannel("tavern");
    }
    ASSERT_TRUE(PumpUntil({&a_, &b_, &c_}, [&] {
      return a_.session.InChannel() && b_.session.InChannel() && c_.session.InChannel() &&
             a_.screen.SawConsole("STR_08 carol");
    }));
  }
  bool Everybody(const std::function<bool()>& condition) { return PumpUntil({&a_, &b_, &c_}, condition); }

  LobbyUser a_, b_, c_;
};

TEST_F(LobbyChatTest, PublicAndPrivateLinesAndActionsReachTheirReaders) {
  a_.session.SendChat("hello all");
  ASSERT_TRUE(Everybody([&] { return b_.screen.SawConsole("hello all") && c_.screen.SawConsole("hello all"); }));
  EXPECT_TRUE(a_.screen.SawConsole("hello all"));

  const size_t before = a_.screen.consoles.size();
  a_.session.SendPrivateChat({"bob", "carol"}, "just us two");
  ASSERT_TRUE(Everybody([&] { return b_.screen.SawConsole("just us two") && c_.screen.SawConsole("just us two"); }));
  EXPECT_EQ(a_.screen.consoles.size(), before + 1);  // one line on the sender's console

  b_.session.SendAction("waves");
  c_.session.SendPrivateAction({"alice"}, "nods");
  ASSERT_TRUE(Everybody([&] { return a_.screen.SawConsole("waves") && a_.screen.SawConsole("nods"); }));
  EXPECT_FALSE(b_.screen.SawConsole("nods"));
}

TEST_F(LobbyChatTest, PeersTextsAreNeverFormatsAndLoseTheirControlCharacters) {
  b_.session.SendChat(
      "%n%s%d \x03"
      "4red\x02 bold");
  ASSERT_TRUE(Everybody([&] { return a_.screen.SawConsole("bold"); }));
  EXPECT_TRUE(a_.screen.SawConsole("%n%s%d 4red bold"));
}

TEST_F(LobbyChatTest, AnIgnoredUserIsNotHeardUntilHeardAgain) {
  a_.session.ToggleIgnoreUsers({"bob"});
  b_.session.SendChat("first");
  c_.session.SendChat("second");
  ASSERT_TRUE(Everybody([&] { return a_.screen.SawConsole("second") && c_.screen.SawConsole("first"); }));
  // The server wrote bob's line to alice when it wrote it to carol: one more read takes it in.
  PumpUntil({&a_}, [] { return false; }, 200);
  EXPECT_FALSE(a_.screen.SawConsole("first"));
  a_.session.ToggleIgnoreUsers({"bob"});
  b_.session.SendChat("third");
  EXPECT_TRUE(Everybody([&] { return a_.screen.SawConsole("third"); }));
}

TEST_F(LobbyChatTest, TheAwayFlagFollowsTheToggle) {
  a_.session.ToggleAway();
  EXPECT_EQ(a_.session.awayFlag, 1);
  a_.session.ToggleAway();
  EXPECT_EQ(a_.session.awayFlag, 0);
  a_.session.SendChat("still here");
  EXPECT_TRUE(Everybody([&] { return b_.screen.SawConsole("still here"); }));
}

// A host's game channel with guests.
class LobbyGameChannelTest : public LobbySessionTest {
 protected:
  void Join(LobbyUser& user, const char* name) {
    ASSERT_TRUE(LogIn(user, name, server_->Password()));
    user.session.ShowGameChannels();
    ASSERT_TRUE(user.session.JoinChannelWithKey("duel", "")) << name;
  }
  bool All(std::initializer_list<LobbyUser*> users, const std::function<bool()>& condition) {
    return PumpUntil(users, condition);
  }
};

TEST_F(LobbyGameChannelTest, ALeaverIsTakenFromTheTableAndTheOthersKeepTheirOrder) {
  LobbyUser host, b, c, d;
  ASSERT_TRUE(LogIn(host, "host", server_->Password()));
  host.session.ShowGameChannels();
  ASSERT_TRUE(host.session.CreateGameChannel("duel"));
  Join(b, "bob");
  Join(c, "carol");
  Join(d, "dave");
  auto names = [&] {
    std::vector<std::string> out;
    for (const auto& user : host.session.gameUsers) out.push_back(user.name);
    return out;
  };
  ASSERT_TRUE(All({&host, &b, &c, &d}, [&] { return names().size() == 3; }));
  EXPECT_EQ(names(), (std::vector<std::string>{"bob", "carol", "dave"}));
  EXPECT_TRUE(c.session.Leave());
  ASSERT_TRUE(All({&host, &b, &d}, [&] { return names().size() == 2; }));
  EXPECT_EQ(names(), (std::vector<std::string>{"bob", "dave"}));
}

TEST_F(LobbyGameChannelTest, TheHostKicksAndBans) {
  LobbyUser host, guest;
  ASSERT_TRUE(LogIn(host, "host", server_->Password()));
  host.session.ShowGameChannels();
  ASSERT_TRUE(host.session.CreateGameChannel("duel"));
  Join(guest, "bob");
  ASSERT_TRUE(All({&host, &guest}, [&] { return host.session.gameUsers.size() == 1; }));

  host.session.KickUsers({"bob"});
  ASSERT_TRUE(All({&host, &guest}, [&] { return !guest.session.InChannel() && host.session.gameUsers.empty(); }));
  EXPECT_TRUE(guest.screen.SawConsole("STR_24 duel host"));
  EXPECT_TRUE(host.screen.SawConsole("STR_26 bob duel host"));

  host.session.BanUsers({"bob"});
  // The server takes the host's lines in order: the ban stands once this one has arrived.
  host.session.SendPrivateChat({"bob"}, "banned now");
  ASSERT_TRUE(All({&host, &guest}, [&] { return guest.screen.SawConsole("banned now"); }));
  EXPECT_FALSE(guest.session.JoinChannelWithKey("duel", ""));
  EXPECT_FALSE(guest.session.InChannel());
  ASSERT_FALSE(guest.screen.boxes.empty());
  EXPECT_EQ(guest.screen.boxes.back().rfind("STR_07", 0), 0u);
}

TEST_F(LobbyGameChannelTest, BeginGameAnnouncesTheHostsAddressToItsGuests) {
  LobbyUser host, guest;
  ASSERT_TRUE(LogIn(host, "host", server_->Password()));
  host.session.ShowGameChannels();
  ASSERT_TRUE(host.session.CreateGameChannel("duel"));
  Join(guest, "bob");
  host.session.BeginGame();
  EXPECT_EQ(host.screen.Calls("create").size(), 1u);
  ASSERT_TRUE(All({&host, &guest}, [&] { return !guest.screen.Calls("join").empty(); }));
  EXPECT_EQ(guest.screen.Calls("join"), std::vector<std::string>{"join 127.0.0.1"});
}

}  // namespace
