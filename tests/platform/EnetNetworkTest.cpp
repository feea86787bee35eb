// The ENet backend on this machine's loopback: joins and refusals, messages whole and in order
// under injected faults, machines that fall silent, the host going, and the session list. Every
// machine listens on a port the system picks, so that runs beside each other never meet.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/EnetNetwork.h"
#include "platform/EnetWire.h"

namespace {

using platform::NetEndpoint;
using platform::NetPlayerId;
using platform::NetSystemKind;

constexpr uint32_t kKeepAliveMs = 1500;
constexpr uint32_t kPatienceMs = 15000;  // a wait gives up here: the test fails, it never hangs

platform::EnetOptions LoopbackOptions(uint16_t listPort = 0, double loss = 0, uint64_t seed = 1) {
  platform::EnetOptions options;
  // Under loss a retransmission waits longer: the links are given more time before they drop.
  options.keepAliveMs = loss > 0 ? 8000 : kKeepAliveMs;
  options.bindAddress = "127.0.0.1";
  options.searchAddress = "127.0.0.1";
  options.listPort = listPort;
  options.joinTimeoutMs = 3000;
  options.impairment.loss = loss;
  options.impairment.duplicate = loss / 4;
  options.impairment.reorder = loss / 2;
  options.impairment.seed = seed;
  return options;
}

// Services machines from a thread of its own while the test thread waits in a join, as the
// other processes would. A machine taken off the list falls silent, as if its process died.
class Servicer {
 public:
  Servicer() : thread_([this] { Run(); }) {}
  ~Servicer() {
    stop_ = true;
    thread_.join();
  }
  void Add(NetEndpoint* endpoint) {
    std::lock_guard<std::mutex> lock(mutex_);
    endpoints_.push_back(endpoint);
  }
  void Silence(NetEndpoint* endpoint) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase(endpoints_, endpoint);
  }

 private:
  void Run() {
    while (!stop_) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<platform::NetPlayerInfo> players;
        for (NetEndpoint* endpoint : endpoints_) endpoint->EnumPlayers(players);
      }
      platform::SleepMs(1);
    }
  }
  std::mutex mutex_;
  std::vector<NetEndpoint*> endpoints_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct Machine {
  std::unique_ptr<NetEndpoint> endpoint;
  NetPlayerId player = 0;
};

// Asks for sessions until one is listed (each refresh returns the answers to the last query).
std::vector<platform::NetSessionDesc> ListSessions(NetEndpoint& endpoint, size_t atLeast) {
  std::vector<platform::NetSessionDesc> sessions;
  const uint32_t start = platform::TickCount();
  while (platform::TickCount() - start < kPatienceMs) {
    endpoint.EnumSessions(sessions);
    if (sessions.size() >= atLeast) break;
    platform::SleepMs(5);
  }
  return sessions;
}

class EnetNetworkTest : public ::testing::Test {
 protected:
  // The host: a session of the name, its server player and one player.
  Machine& Host(int maxPlayers = 5, double loss = 0) {
    machines_.push_back(std::make_unique<Machine>());
    Machine& host = *machines_.back();
    host.endpoint = platform::CreateEnetEndpoint(LoopbackOptions(0, loss, 7));
    EXPECT_EQ(
        host.endpoint->CreateSession("field", maxPlayers, platform::kSessionMigrateHost | platform::kSessionKeepAlive),
        platform::kNetOk);
    EXPECT_EQ(host.endpoint->CreateServerPlayer(), platform::kNetOk);
    EXPECT_EQ(host.endpoint->CreatePlayer("Host", host.player), platform::kNetOk);
    listPort_ = platform::EnetListPort(*host.endpoint);
    EXPECT_NE(listPort_, 0);
    servicer_.Add(host.endpoint.get());
    return host;
  }

  // A machine that finds the session on the list port and joins it, with no player yet and
  // serviced by nobody: it hears nothing more until it is.
  platform::NetResult JoinUnheard(Machine*& out, double loss = 0) {
    machines_.push_back(std::make_unique<Machine>());
    Machine& machine = *machines_.back();
    machine.endpoint = platform::CreateEnetEndpoint(LoopbackOptions(listPort_, loss, machines_.size()));
    std::vector<platform::NetSessionDesc> sessions = ListSessions(*machine.endpoint, 1);
    if (sessions.empty()) return platform::kNetErrNoSessions;
    out = &machine;
    return machine.endpoint->JoinSession(sessions[0].instance);
  }

  // A machine that finds the session on the list port and tries to join it.
  platform::NetResult Join(Machine*& out, const std::string& name, double loss = 0) {
    Machine* joined = nullptr;
    platform::NetResult result = JoinUnheard(joined, loss);
    if (result != platform::kNetOk) return result;
    Machine& machine = *joined;
    result = machine.endpoint->CreatePlayer(name, machine.player);
    servicer_.Add(machine.endpoint.get());
    out = &machine;
    return result;
  }

  // Waits until every machine lists the players given.
  void AwaitPlayers(size_t count) {
    const uint32_t start = platform::TickCount();
    for (;;) {
      bool all = true;
      for (auto& machine : machines_) {
        std::vector<platform::NetPlayerInfo> players;
        machine->endpoint->EnumPlayers(players);
        all = all && players.size() == count;
      }
      if (all) return;
      ASSERT_LT(platform::TickCount() - start, kPatienceMs) << "the players never all met";
      platform::SleepMs(2);
    }
  }

  uint16_t listPort_ = 0;
  std::vector<std::unique_ptr<Machine>> machines_;
  Servicer servicer_;  // declared last: stopped before the machines go
};

// Takes messages for a player until the predicate has what it wants or patience runs out.
struct Inbox {
  std::vector<std::vector<uint8_t>> messages;
  std::vector<platform::NetSystemMessage> system;
};

template <typename Done>
Inbox Collect(Machine& machine, Done done) {
  Inbox inbox;
  std::vector<uint8_t> buffer(16384);
  const uint32_t start = platform::TickCount();
  while (!done(inbox) && platform::TickCount() - start < kPatienceMs) {
    platform::NetMessageInfo info;
    platform::NetResult result = machine.endpoint->Receive(machine.player, buffer.data(), buffer.size(), info);
    if (result == platform::kNetErrNoMessages) {
      platform::SleepMs(1);
      continue;
    }
    if (result != platform::kNetOk) continue;
    if (info.system)
      inbox.system.push_back(info.systemMessage);
    else
      inbox.messages.emplace_back(buffer.begin(), buffer.begin() + static_cast<long>(info.size));
  }
  // What arrived with the last message wanted comes along.
  platform::NetMessageInfo info;
  while (machine.endpoint->Receive(machine.player, buffer.data(), buffer.size(), info) == platform::kNetOk)
    if (info.system) inbox.system.push_back(info.systemMessage);
  return inbox;
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 31 + (i >> 8));
  return bytes;
}

TEST_F(EnetNetworkTest, MessagesOfEverySizeArriveWhole) {
  Machine& host = Host();
  Machine* client = nullptr;
  ASSERT_EQ(Join(client, "Client"), platform::kNetOk);
  AwaitPlayers(3);
  const size_t sizes[] = {16, 2048, 8216};
  for (size_t size : sizes) {
    std::vector<uint8_t> bytes = Pattern(size, static_cast<uint8_t>(size));
    ASSERT_EQ(host.endpoint->Send(host.player, client->player, false, bytes.data(), bytes.size()), platform::kNetOk);
    Inbox inbox = Collect(*client, [](const Inbox& in) { return !in.messages.empty(); });
    ASSERT_EQ(inbox.messages.size(), 1u) << size;
    EXPECT_EQ(inbox.messages[0], bytes) << size;
  }
  // To the server player from the client: it reaches the host machine's server player.
  std::vector<uint8_t> request = Pattern(16, 3);
  ASSERT_EQ(client->endpoint->Send(client->player, platform::kNetServerPlayer, true, request.data(), 16),
            platform::kNetOk);
  Machine server{std::move(host.endpoint), platform::kNetServerPlayer};
  Inbox inbox = Collect(server, [](const Inbox& in) { return !in.messages.empty(); });
  host.endpoint = std::move(server.endpoint);
  ASSERT_EQ(inbox.messages.size(), 1u);
  EXPECT_EQ(inbox.messages[0], request);
}

TEST_F(EnetNetworkTest, GuaranteedMessagesAllArriveInOrderThroughLoss) {
  Machine& host = Host(5, 0.2);
  Machine* client = nullptr;
  ASSERT_EQ(Join(client, "Client", 0.2), platform::kNetOk);
  AwaitPlayers(3);
  constexpr uint32_t kCount = 100;
  for (uint32_t i = 0; i < kCount; ++i) {
    std::vector<uint8_t> bytes = Pattern(i % 3 == 0 ? 5000 : 40, static_cast<uint8_t>(i));
    std::memcpy(bytes.data(), &i, 4);
    ASSERT_EQ(host.endpoint->Send(host.player, client->player, true, bytes.data(), bytes.size()), platform::kNetOk);
  }
  Inbox inbox = Collect(*client, [](const Inbox& in) { return in.messages.size() >= kCount; });
  ASSERT_EQ(inbox.messages.size(), kCount);
  for (uint32_t i = 0; i < kCount; ++i) {
    uint32_t number;
    std::memcpy(&number, inbox.messages[i].data(), 4);
    ASSERT_EQ(number, i);
    std::vector<uint8_t> expected = Pattern(i % 3 == 0 ? 5000 : 40, static_cast<uint8_t>(i));
    std::memcpy(expected.data(), &i, 4);
    ASSERT_EQ(inbox.messages[i], expected) << i;
  }
}

TEST_F(EnetNetworkTest, AFullSessionAndAClosedOneRefuseJoiners) {
  Machine& host = Host(5);
  for (int i = 1; i <= 4; ++i) {
    Machine* client = nullptr;
    ASSERT_EQ(Join(client, "C" + std::to_string(i)), platform::kNetOk) << i;
  }
  Machine* fifth = nullptr;
  EXPECT_EQ(Join(fifth, "C5"), platform::kNetErrCantAddPlayer);

  Machine& second = Host(5);
  ASSERT_EQ(second.endpoint->SetSessionFlags(0x65), platform::kNetOk);
  Machine* late = nullptr;
  EXPECT_EQ(Join(late, "Late"), platform::kNetErrAccessDenied);
  (void)host;
}

TEST_F(EnetNetworkTest, AMachineThatFallsSilentLosesItsPlayers) {
  Machine& host = Host();
  Machine *a = nullptr, *b = nullptr;
  ASSERT_EQ(Join(a, "A"), platform::kNetOk);
  ASSERT_EQ(Join(b, "B"), platform::kNetOk);
  AwaitPlayers(4);
  servicer_.Silence(b->endpoint.get());
  for (Machine* survivor : {&host, a}) {
    Inbox inbox = Collect(*survivor, [&](const Inbox& in) {
      for (const auto& message : in.system)
        if (message.kind == NetSystemKind::kDestroyPlayer && message.player == b->player) return true;
      return false;
    });
    bool gone = false;
    for (const auto& message : inbox.system)
      gone = gone || (message.kind == NetSystemKind::kDestroyPlayer && message.shortName == "B");
    EXPECT_TRUE(gone);
  }
}

// A's player is made after B joined but before A heard of B: the host's roster gave B no player
// of A's, and A's news of it went to the host alone. The link between them carries it.
TEST_F(EnetNetworkTest, APlayerMadeWhileAnotherMachineJoinedReachesIt) {
  Host();
  Machine *a = nullptr, *b = nullptr;
  ASSERT_EQ(JoinUnheard(a), platform::kNetOk);
  ASSERT_EQ(Join(b, "B"), platform::kNetOk);
  ASSERT_EQ(a->endpoint->CreatePlayer("A", a->player), platform::kNetOk);
  servicer_.Add(a->endpoint.get());
  AwaitPlayers(4);
  std::vector<uint8_t> bytes = Pattern(41, 5);
  ASSERT_EQ(a->endpoint->Send(a->player, platform::kNetAllPlayers, true, bytes.data(), bytes.size()),
            platform::kNetOk);
  Inbox inbox = Collect(*b, [](const Inbox& in) { return !in.messages.empty(); });
  ASSERT_EQ(inbox.messages.size(), 1u);
  EXPECT_EQ(inbox.messages[0], bytes);
}

TEST_F(EnetNetworkTest, WhenTheHostGoesExactlyOneSurvivorHosts) {
  Machine& host = Host();
  Machine *a = nullptr, *b = nullptr, *c = nullptr;
  ASSERT_EQ(Join(a, "A"), platform::kNetOk);
  ASSERT_EQ(Join(b, "B"), platform::kNetOk);
  ASSERT_EQ(Join(c, "C"), platform::kNetOk);
  AwaitPlayers(5);
  servicer_.Silence(host.endpoint.get());
  int hosts = 0;
  for (Machine* survivor : {a, b, c}) {
    // Each survivor hears of the host's players going; only the first to have joined hosts.
    Inbox inbox = Collect(*survivor, [&](const Inbox& in) {
      int destroyed = 0;
      for (const auto& message : in.system) destroyed += message.kind == NetSystemKind::kDestroyPlayer;
      return destroyed >= 2;
    });
    for (const auto& message : inbox.system) hosts += message.kind == NetSystemKind::kHost;
    EXPECT_EQ(survivor->endpoint->IsHost(), survivor == a);
  }
  EXPECT_EQ(hosts, 1);
  // The new host's server player is reached as the server player by the others.
  ASSERT_EQ(a->endpoint->CreateServerPlayer(), platform::kNetOk);
  std::vector<uint8_t> bytes = Pattern(16, 9);
  std::vector<uint8_t> received;
  std::vector<uint8_t> buffer(64);
  const uint32_t start = platform::TickCount();
  while (received.empty() && platform::TickCount() - start < kPatienceMs) {
    c->endpoint->Send(c->player, platform::kNetServerPlayer, false, bytes.data(), bytes.size());
    platform::SleepMs(20);
    platform::NetMessageInfo info;
    while (a->endpoint->Receive(platform::kNetServerPlayer, buffer.data(), buffer.size(), info) == platform::kNetOk)
      if (!info.system) received.assign(buffer.begin(), buffer.begin() + static_cast<long>(info.size));
  }
  EXPECT_EQ(received, bytes);
}

TEST_F(EnetNetworkTest, ASessionIsListedAndDroppedWithinARefresh) {
  Machine& host = Host();
  platform::EnetOptions options = LoopbackOptions(listPort_);
  std::unique_ptr<NetEndpoint> looker = platform::CreateEnetEndpoint(options);
  std::vector<platform::NetSessionDesc> sessions = ListSessions(*looker, 1);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].name, "field");
  EXPECT_EQ(sessions[0].players, 1);
  EXPECT_EQ(sessions[0].maxPlayers, 5);
  servicer_.Silence(host.endpoint.get());
  host.endpoint->Leave();
  // The refresh after the host left may still hold its answer to the query before; the one after
  // that no longer lists it.
  platform::SleepMs(20);
  looker->EnumSessions(sessions);
  platform::SleepMs(20);
  looker->EnumSessions(sessions);
  EXPECT_TRUE(sessions.empty());
}

// What a peer's bytes are checked against before anything of them is kept.
TEST(EnetWireTest, MalformedMessagesAreRefused) {
  using namespace platform::enetwire;
  Roster roster;
  roster.hostMachine = 1;
  roster.yourMachine = 2;
  roster.maxPlayers = 5;
  roster.sessionName = "field";
  roster.machines = {{1, 0, 4000, {{1, true, ""}, {PlayerIdOf(1, 1), false, "Host"}}}, {2, 0x0100007f, 4001, {}}};
  Bytes good = EncodeRoster(roster);
  Roster decoded;
  ASSERT_TRUE(DecodeRoster(good.data(), good.size(), decoded));
  EXPECT_EQ(decoded.machines.size(), 2u);
  EXPECT_EQ(decoded.machines[0].players[1].name, "Host");

  struct Case {
    const char* what;
    Roster roster;
  };
  std::vector<Case> bad;
  auto mutate = [&](const char* what, auto change) {
    Roster copy = roster;
    change(copy);
    bad.push_back({what, copy});
  };
  mutate("six machines", [](Roster& r) {
    for (uint32_t m = 3; m <= 6; ++m) r.machines.push_back({m, 0, 1, {}});
  });
  mutate("a machine twice", [](Roster& r) { r.machines.push_back({2, 0, 1, {}}); });
  mutate("the receiver missing", [](Roster& r) { r.yourMachine = 9; });
  mutate("another machine's player", [](Roster& r) {
    r.machines[1].players.push_back({PlayerIdOf(1, 2), false, "X"});
  });
  mutate("a server player off the host", [](Roster& r) { r.machines[1].players.push_back({1, true, ""}); });
  for (const Case& c : bad) {
    Bytes bytes = EncodeRoster(c.roster);
    EXPECT_FALSE(DecodeRoster(bytes.data(), bytes.size(), decoded)) << c.what;
  }
  // Every cut of a good message is refused, and so is a byte too many.
  for (size_t cut = 0; cut < good.size(); ++cut) EXPECT_FALSE(DecodeRoster(good.data(), cut, decoded)) << cut;
  good.push_back(0);
  EXPECT_FALSE(DecodeRoster(good.data(), good.size(), decoded));

  // Names: a NUL inside or a length past the bound.
  Bytes hello = EncodeHello(Hello{kApplicationId, kWireVersion, HelloPurpose::kJoin, 0, 1, "ab"});
  Hello read;
  ASSERT_TRUE(DecodeHello(hello.data(), hello.size(), read));
  hello[hello.size() - 1] = 0;
  EXPECT_FALSE(DecodeHello(hello.data(), hello.size(), read));
  Bytes add = EncodePlayerAdd(PlayerChange{PlayerIdOf(2, 1), false, "abc"});
  add[6] = 200;  // the name's length byte, past the message and the bound
  PlayerChange change;
  EXPECT_FALSE(DecodePlayerAdd(add.data(), add.size(), change));
  std::string text;
  uint32_t from, to;
  Bytes chat = EncodeChat(PlayerIdOf(2, 1), 0, "hello");
  chat[9] = 9;  // says 9 bytes of text, holds 5
  EXPECT_FALSE(DecodeChat(chat.data(), chat.size(), from, to, text));
}

}  // namespace
