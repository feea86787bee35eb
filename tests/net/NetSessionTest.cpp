// The session object: making the network end once, where sessions are searched for, joining by
// name, giving up a join, and finding players by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Options.h"
#include "net/NetLog.h"
#include "net/NetSession.h"
#include "platform/Clock.h"
#include "platform/EnetNetwork.h"
#include "platform/KeyState.h"
#include "platform/LoopbackNetwork.h"
#include "platform/Window.h"
#include "support/TestSupport.h"

namespace {

// A loopback end that records where it was told to search.
class SearchRecorder final : public platform::NetEndpoint {
 public:
  explicit SearchRecorder(std::unique_ptr<platform::NetEndpoint> inner, std::vector<std::string>& searches)
      : inner_(std::move(inner)), searches_(searches) {}
  platform::NetResult SetSearchAddress(std::string_view address) override {
    searches_.emplace_back(address);
    return platform::kNetOk;
  }
  platform::NetResult CreateSession(std::string_view name, int maxPlayers, uint32_t flags) override {
    return inner_->CreateSession(name, maxPlayers, flags);
  }
  platform::NetResult EnumSessions(std::vector<platform::NetSessionDesc>& out) override {
    return inner_->EnumSessions(out);
  }
  platform::NetResult JoinSession(uint32_t instance) override { return inner_->JoinSession(instance); }
  platform::NetResult GetSessionFlags(uint32_t& flags) override { return inner_->GetSessionFlags(flags); }
  platform::NetResult SetSessionFlags(uint32_t flags) override { return inner_->SetSessionFlags(flags); }
  void Leave() override { inner_->Leave(); }
  bool IsHost() const override { return inner_->IsHost(); }
  platform::NetResult CreatePlayer(std::string_view name, platform::NetPlayerId& id) override {
    return inner_->CreatePlayer(name, id);
  }
  platform::NetResult CreateServerPlayer() override { return inner_->CreateServerPlayer(); }
  platform::NetResult DestroyPlayer(platform::NetPlayerId id) override { return inner_->DestroyPlayer(id); }
  platform::NetResult EnumPlayers(std::vector<platform::NetPlayerInfo>& out) override {
    return inner_->EnumPlayers(out);
  }
  platform::NetResult GetPlayerName(platform::NetPlayerId id, std::string& name) override {
    return inner_->GetPlayerName(id, name);
  }
  platform::NetResult Send(platform::NetPlayerId from, platform::NetPlayerId to, bool guaranteed, const void* data,
                           size_t size) override {
    return inner_->Send(from, to, guaranteed, data, size);
  }
  platform::NetResult SendChat(platform::NetPlayerId from, platform::NetPlayerId to, std::string_view text) override {
    return inner_->SendChat(from, to, text);
  }
  platform::NetResult GetMessageCount(platform::NetPlayerId player, int& count) override {
    return inner_->GetMessageCount(player, count);
  }
  platform::NetResult Receive(platform::NetPlayerId to, void* buffer, size_t capacity,
                              platform::NetMessageInfo& out) override {
    return inner_->Receive(to, buffer, capacity, out);
  }

 private:
  std::unique_ptr<platform::NetEndpoint> inner_;
  std::vector<std::string>& searches_;
};

class NetSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_netEndpointFactory;
    g_netEndpointFactory = [this] {
      ++made_;
      return std::make_unique<SearchRecorder>(network_.Connect(), searches_);
    };
    savedTimeOut_ = g_netJoinTimeOut;
  }
  void TearDown() override {
    g_netEndpointFactory = saved_;
    g_netJoinTimeOut = savedTimeOut_;
    platform::SetKeyStateSource(nullptr);
  }

  // A session of the name on its own machine, with one player.
  std::unique_ptr<platform::NetEndpoint> Host(const char* name) {
    std::unique_ptr<platform::NetEndpoint> host = network_.Connect();
    EXPECT_EQ(host->CreateSession(name, 5, platform::kSessionMigrateHost), platform::kNetOk);
    platform::NetPlayerId player;
    EXPECT_EQ(host->CreatePlayer(std::string("P of ") + name, player), platform::kNetOk);
    return host;
  }

  platform::LoopbackNetwork network_;
  std::vector<std::string> searches_;
  int made_ = 0;
  NetEndpointFactory saved_;
  int savedTimeOut_ = 0;
  testing_support::BoxRecorder boxes_;
};

TEST_F(NetSessionTest, ASecondCreateInterfacesChangesNothing) {
  CNetSession session;
  ASSERT_TRUE(session.CreateInterfaces(1));
  EXPECT_EQ(session.isHost, 1);
  session.phase = kNetPhaseDirectSetup;
  EXPECT_TRUE(session.CreateInterfaces(0));
  EXPECT_EQ(made_, 1);
  EXPECT_EQ(session.isHost, 1);
  EXPECT_EQ(session.phase, kNetPhaseDirectSetup);
  session.Release();
  EXPECT_FALSE(session.IsOpen());

  g_netEndpointFactory = [] { return std::unique_ptr<platform::NetEndpoint>(); };
  EXPECT_FALSE(session.CreateInterfaces(0));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "failed to initialise directplay object");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "DIRECTPLAY ERROR");
}

TEST_F(NetSessionTest, ConnectSearchesWhereTheConnectionTypeSays) {
  struct Case {
    int type;
    bool connects;
    const char* search;
  };
  const Case cases[] = {
      {0, false, nullptr}, {1, true, ""}, {2, true, "192.168.100.200"}, {3, true, ""}, {4, false, nullptr}};
  for (const Case& c : cases) {
    CNetSession session;
    EXPECT_FALSE(session.Connect()) << "no network end yet";
    ASSERT_TRUE(session.CreateInterfaces(0));
    session.connectionType = c.type;
    session.SetHostAddress("192.168.100.200:9999");  // kept to its 15 characters
    searches_.clear();
    EXPECT_EQ(session.Connect(), c.connects) << c.type;
    if (c.search) {
      ASSERT_EQ(searches_.size(), 1u) << c.type;
      EXPECT_EQ(searches_[0], c.search);
    } else {
      EXPECT_TRUE(searches_.empty()) << c.type;
    }
  }
}

TEST_F(NetSessionTest, AJoinFindsItsSessionBehindAnotherAndFindsPlayersByName) {
  auto other = Host("other");
  auto wanted = Host("wanted");
  CNetSession session;
  ASSERT_TRUE(session.CreateInterfaces(0));
  session.connectionType = kConnectionLan;
  session.sessionName = "wanted";
  ASSERT_EQ(session.JoinGame(), 1);
  std::vector<platform::NetSessionDesc> sessions;
  session.endpoint->EnumSessions(sessions);
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_EQ(session.sessionInstance, sessions[1].instance);

  EXPECT_NE(session.FindPlayerByName("P of wanted"), 0u);
  EXPECT_EQ(session.foundPlayer, session.FindPlayerByName("P of wanted"));
  EXPECT_EQ(session.FindPlayerByName("P of other"), 0u) << "a player of the other session";
  EXPECT_EQ(session.FindPlayerByName("nobody"), 0u);
  EXPECT_EQ(session.wantedName, "nobody");
  EXPECT_EQ(session.FindPlayerByName(""), 0u) << "players without a name are passed over";
}

// A join that finds nothing: over ENet at a list port where nobody answers, it gives up at the
// time-out, or at once when Escape is down or the application quits, pumping window messages
// while it waits.
TEST_F(NetSessionTest, AJoinThatFindsNothingGivesUp) {
  platform::EnetOptions options;
  options.bindAddress = "127.0.0.1";
  uint16_t silentPort = 0;
  {
    // A list port the system gave and that nobody listens on any more.
    auto probe = platform::CreateEnetEndpoint(options);
    ASSERT_EQ(probe->CreateSession("probe", 5, 0), platform::kNetOk);
    silentPort = platform::EnetListPort(*probe);
  }
  options.listPort = silentPort;
  g_netEndpointFactory = [&] { return platform::CreateEnetEndpoint(options); };

  enum class Ending { kTimeOut, kEscape, kQuit };
  for (Ending ending : {Ending::kTimeOut, Ending::kEscape, Ending::kQuit}) {
    SCOPED_TRACE(static_cast<int>(ending));
    platform::ClearMessageQueue();
    g_netLog.Clear();
    g_netJoinTimeOut = ending == Ending::kTimeOut ? 300 : 600000;
    int polls = 0;
    platform::SetKeyStateSource(
        [&](int key) { return ending == Ending::kEscape && key == platform::kKeyEscape && ++polls > 3; });
    const unsigned kPing = platform::RegisterWindowMessage("net session test ping");
    platform::PostMessage(nullptr, kPing, 0, 0);
    if (ending == Ending::kQuit) platform::PostQuitMessage(0);

    CNetSession session;
    ASSERT_TRUE(session.CreateInterfaces(0));
    session.connectionType = kConnectionAddress;
    session.SetHostAddress("127.0.0.1");
    ASSERT_TRUE(session.Connect());
    session.sessionName = "nowhere";
    EXPECT_EQ(session.JoinGame(), 0);
    platform::Message left;
    EXPECT_FALSE(platform::PeekMessage(left, false)) << "the window messages were not pumped";
    bool logged = false;
    for (const CNetLog::Entry& entry : g_netLog.entries)
      logged = logged || std::string(entry.text).rfind("could not join game", 0) == 0;
    EXPECT_TRUE(logged);
  }
  platform::ClearMessageQueue();
}

}  // namespace
