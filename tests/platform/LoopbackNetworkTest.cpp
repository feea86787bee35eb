// The loopback network: sessions, players and messages between machines in one process, on
// the manual clock, with the losses a test sets.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LoopbackNetwork.h"

namespace {

using platform::NetPlayerId;

struct Machine {
  std::unique_ptr<platform::NetEndpoint> session;
  NetPlayerId player = 0;
};

// Machine 0 creates the session and its server player; each machine has one player.
std::vector<Machine> MakeSession(platform::LoopbackNetwork& network, int count,
                                 uint32_t flags = platform::kSessionMigrateHost) {
  std::vector<Machine> machines(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    machines[i].session = network.Connect();
    if (i == 0) {
      EXPECT_EQ(machines[0].session->CreateSession("game", 4, flags), platform::kNetOk);
      EXPECT_EQ(machines[0].session->CreateServerPlayer(), platform::kNetOk);
    } else {
      std::vector<platform::NetSessionDesc> sessions;
      machines[i].session->EnumSessions(sessions);
      EXPECT_EQ(machines[i].session->JoinSession(sessions.at(0).instance), platform::kNetOk);
    }
    EXPECT_EQ(machines[i].session->CreatePlayer("P" + std::to_string(i), machines[i].player), platform::kNetOk);
  }
  return machines;
}

void SendNumber(Machine& from, NetPlayerId to, uint32_t number, bool guaranteed) {
  EXPECT_EQ(from.session->Send(from.player, to, guaranteed, &number, sizeof number), platform::kNetOk);
}

// The numbers waiting for a player, in arrival order; system messages are skipped.
std::vector<uint32_t> Numbers(Machine& machine, NetPlayerId player = 0) {
  std::vector<uint32_t> out;
  uint8_t buffer[64];
  platform::NetMessageInfo info;
  while (machine.session->Receive(player ? player : machine.player, buffer, sizeof buffer, info) == platform::kNetOk) {
    if (info.system || info.size != 4) continue;
    uint32_t number;
    std::memcpy(&number, buffer, 4);
    out.push_back(number);
  }
  return out;
}

std::vector<platform::NetSystemMessage> SystemMessages(Machine& machine, NetPlayerId player) {
  std::vector<platform::NetSystemMessage> out;
  uint8_t buffer[64];
  platform::NetMessageInfo info;
  while (machine.session->Receive(player, buffer, sizeof buffer, info) == platform::kNetOk)
    if (info.system) out.push_back(info.systemMessage);
  return out;
}

platform::LoopbackConditions Harsh() {
  platform::LoopbackConditions conditions;
  conditions.loss = 0.3;
  conditions.duplicate = 0.3;
  conditions.reorder = 0.3;
  conditions.minDelayMs = 0;
  conditions.maxDelayMs = 50;
  conditions.heldBackMs = 80;
  return conditions;
}

TEST(LoopbackNetwork, GuaranteedMessagesArriveOnceAndInOrder) {
  platform::ManualClock clock;
  platform::LoopbackNetwork network(3);
  network.SetConditions(Harsh());
  std::vector<Machine> machines = MakeSession(network, 2);
  for (uint32_t i = 0; i < 300; ++i) SendNumber(machines[1], platform::kNetServerPlayer, i, true);
  std::vector<uint32_t> received;
  for (int step = 0; step < 100; ++step) {
    clock.Advance(5);
    for (uint32_t n : Numbers(machines[0], platform::kNetServerPlayer)) received.push_back(n);
  }
  ASSERT_EQ(received.size(), 300u);
  for (uint32_t i = 0; i < 300; ++i) EXPECT_EQ(received[i], i);
}

TEST(LoopbackNetwork, OtherMessagesAreLostDoubledAndOvertakenFromOneSeed) {
  auto run = [](uint64_t seed) {
    platform::ManualClock clock;
    platform::LoopbackNetwork network(seed);
    network.SetConditions(Harsh());
    std::vector<Machine> machines = MakeSession(network, 2);
    for (uint32_t i = 0; i < 2000; ++i) SendNumber(machines[1], machines[0].player, i, false);
    std::vector<uint32_t> received;
    for (int step = 0; step < 40; ++step) {
      clock.Advance(5);
      for (uint32_t n : Numbers(machines[0])) received.push_back(n);
    }
    platform::LoopbackStats stats = network.Stats();
    EXPECT_EQ(stats.sent, 2000u);
    EXPECT_NEAR(static_cast<double>(stats.lost) / 2000, 0.3, 0.05);
    EXPECT_EQ(received.size(), 2000 - stats.lost + stats.duplicated);
    int overtaken = 0;
    for (size_t i = 1; i < received.size(); ++i) overtaken += received[i] < received[i - 1];
    EXPECT_GT(overtaken, 100);
    return received;
  };
  EXPECT_EQ(run(7), run(7));
  EXPECT_NE(run(7), run(8));
}

TEST(LoopbackNetwork, MessagesWaitForTheirDelayOnTheClock) {
  platform::ManualClock clock;
  platform::LoopbackNetwork network;
  platform::LoopbackConditions slow;
  slow.minDelayMs = slow.maxDelayMs = 30;
  network.SetConditions(slow);
  std::vector<Machine> machines = MakeSession(network, 2);
  SendNumber(machines[1], machines[0].player, 5, false);
  // Between two players of one machine nothing waits.
  SendNumber(machines[0], platform::kNetServerPlayer, 6, false);
  EXPECT_EQ(Numbers(machines[0], platform::kNetServerPlayer), std::vector<uint32_t>{6});
  clock.Advance(29);
  EXPECT_TRUE(Numbers(machines[0]).empty());
  clock.Advance(1);
  EXPECT_EQ(Numbers(machines[0]), std::vector<uint32_t>{5});
}

TEST(LoopbackNetwork, WhenTheHostLeavesTheFirstSurvivorHosts) {
  platform::ManualClock clock;
  platform::LoopbackNetwork network;
  std::vector<Machine> machines = MakeSession(network, 3);
  SystemMessages(machines[1], machines[1].player);
  SystemMessages(machines[2], machines[2].player);
  EXPECT_TRUE(machines[0].session->IsHost());
  EXPECT_FALSE(machines[1].session->IsHost());
  machines[0].session->Leave();

  std::vector<platform::NetSystemMessage> toFirst = SystemMessages(machines[1], machines[1].player);
  ASSERT_EQ(toFirst.size(), 3u);
  EXPECT_EQ(toFirst[0].kind, platform::NetSystemKind::kDestroyPlayer);
  EXPECT_EQ(toFirst[0].player, platform::kNetServerPlayer);
  EXPECT_EQ(toFirst[1].kind, platform::NetSystemKind::kDestroyPlayer);
  EXPECT_EQ(toFirst[1].shortName, "P0");
  EXPECT_EQ(toFirst[2].kind, platform::NetSystemKind::kHost);
  std::vector<platform::NetSystemMessage> toSecond = SystemMessages(machines[2], machines[2].player);
  EXPECT_EQ(toSecond.size(), 2u);

  EXPECT_TRUE(machines[1].session->IsHost());
  EXPECT_EQ(machines[2].session->CreateServerPlayer(), platform::kNetErrAccessDenied);
  ASSERT_EQ(machines[1].session->CreateServerPlayer(), platform::kNetOk);
  SendNumber(machines[2], platform::kNetServerPlayer, 9, true);
  EXPECT_EQ(Numbers(machines[1], platform::kNetServerPlayer), std::vector<uint32_t>{9});
  std::vector<platform::NetPlayerInfo> players;
  machines[2].session->EnumPlayers(players);
  EXPECT_EQ(players.size(), 3u);
}

TEST(LoopbackNetwork, SessionFlagsKeepLateComersOut) {
  platform::LoopbackNetwork network;
  std::vector<Machine> machines = MakeSession(network, 2);
  auto late = network.Connect();
  std::vector<platform::NetSessionDesc> sessions;
  late->EnumSessions(sessions);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].players, 2);
  EXPECT_EQ(machines[1].session->SetSessionFlags(0x65), platform::kNetErrAccessDenied);  // not the host
  ASSERT_EQ(machines[0].session->SetSessionFlags(0x65), platform::kNetOk);
  EXPECT_EQ(late->JoinSession(sessions[0].instance), platform::kNetErrAccessDenied);
  NetPlayerId id = 0;
  EXPECT_EQ(machines[1].session->CreatePlayer("second", id), platform::kNetErrCantCreatePlayer);
  EXPECT_EQ(late->JoinSession(99), platform::kNetErrNoSessions);
}

TEST(LoopbackNetwork, SendsReachTheRightPlayers) {
  platform::ManualClock clock;
  platform::LoopbackNetwork network;
  std::vector<Machine> machines = MakeSession(network, 3);
  for (Machine& machine : machines) SystemMessages(machine, machine.player);
  SendNumber(machines[0], platform::kNetAllPlayers, 1, false);  // the server player too, not the sender
  EXPECT_EQ(Numbers(machines[0], platform::kNetServerPlayer), std::vector<uint32_t>{1});
  EXPECT_TRUE(Numbers(machines[0]).empty());
  EXPECT_EQ(Numbers(machines[1]), std::vector<uint32_t>{1});
  EXPECT_EQ(Numbers(machines[2]), std::vector<uint32_t>{1});

  uint32_t word = 0;
  EXPECT_EQ(machines[1].session->Send(machines[1].player, 4242, false, &word, 4), platform::kNetErrInvalidPlayer);
  EXPECT_EQ(machines[1].session->Send(machines[2].player, machines[0].player, false, &word, 4),
            platform::kNetErrInvalidPlayer);  // not its player
  std::vector<uint8_t> huge(platform::kNetMaxMessageBytes + 1);
  EXPECT_EQ(machines[1].session->Send(machines[1].player, machines[0].player, false, huge.data(), huge.size()),
            platform::kNetErrSendTooBig);

  // A message larger than the buffer is dropped; the next still comes.
  std::vector<uint8_t> big(100, 7);
  machines[1].session->Send(machines[1].player, machines[0].player, true, big.data(), big.size());
  SendNumber(machines[1], machines[0].player, 3, true);
  uint8_t small[16];
  platform::NetMessageInfo info;
  EXPECT_EQ(machines[0].session->Receive(machines[0].player, small, sizeof small, info),
            platform::kNetErrBufferTooSmall);
  EXPECT_EQ(info.size, 100u);
  EXPECT_EQ(Numbers(machines[0]), std::vector<uint32_t>{3});
  EXPECT_EQ(machines[0].session->Receive(machines[0].player, small, sizeof small, info), platform::kNetErrNoMessages);

  machines[2].session->SendChat(machines[2].player, machines[0].player, "hello");
  std::vector<platform::NetSystemMessage> chat = SystemMessages(machines[0], machines[0].player);
  ASSERT_EQ(chat.size(), 1u);
  EXPECT_EQ(chat[0].kind, platform::NetSystemKind::kChat);
  EXPECT_EQ(chat[0].player, machines[2].player);
  EXPECT_EQ(chat[0].text, "hello");
}

}  // namespace
