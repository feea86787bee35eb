// The host's side of the frame protocol, with raw clients on a loopback: joining frames,
// gaps and resends, late, early and doubled frames, departures, set-up requests, the start
// message and the wait.
#include <gtest/gtest.h>

#include "NetProtocolSupport.h"
#include "NetRig.h"
#include "core/Options.h"
#include "net/NetLog.h"

namespace net_test {
namespace {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net.session.Attach(network.Connect(), true);
    net.session.messageDelay = 2;
    net.session.sessionName = "host test";
    ASSERT_TRUE(net.session.CreateGame());
    ASSERT_TRUE(net.session.CreateHostPlayer());
    net.Reset();
  }

  // A raw client that joins and takes the next client slot.
  RawPeer& Join(const char* name) {
    auto session = network.Connect();
    std::vector<platform::NetSessionDesc> sessions;
    session->EnumSessions(sessions);
    session->JoinSession(sessions.at(0).instance);
    peers.push_back(std::make_unique<RawPeer>(std::move(session), name));
    net.host.RefreshClients();
    net.session.phase = kNetPhaseBattle;
    return *peers.back();
  }

  bool LogHas(const char* text) {
    for (const CNetLog::Entry& entry : g_netLog.entries)
      if (entry.kind == 1 && std::string(entry.text) == text) return true;
    return false;
  }

  platform::ManualClock clock{1000};
  platform::LoopbackNetwork network;
  NetMachine net;
  RecordingSink sink;
  NetHooksScope hooks{sink.Hooks()};
  std::vector<std::unique_ptr<RawPeer>> peers;
};

TEST_F(HostTest, AHostFrameGoesOutOnlyWhenEveryClientsFrameIsThere) {
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.host.SetNextFrame(5);
  a.Send(platform::kNetServerPlayer, ClientFrame(5, {WalkCommand(1)}));
  a.Send(platform::kNetServerPlayer, ClientFrame(6));
  b.Send(platform::kNetServerPlayer, ClientFrame(5, {WalkCommand(2)}));
  net.host.Receive();
  EXPECT_EQ(net.host.nextHostFrame, 6);
  EXPECT_FALSE(net.host.SendFrame(6));
  EXPECT_EQ(net.host.clientQueues[0].count, 1);
  EXPECT_EQ(net.host.nextHostFrame, 6);
  // Both get frame 5, joined in slot order.
  const Bytes expected = HostFrame(5, {{WalkCommand(1)}, {WalkCommand(2)}});
  EXPECT_EQ(a.ReceiveAll(), std::vector<Bytes>{expected});
  EXPECT_EQ(b.ReceiveAll(), std::vector<Bytes>{expected});
}

TEST_F(HostTest, AnEarlyFrameLeavesAwaitedGapsThatLateFramesFill) {
  g_networkLogging = 1;
  RawPeer& a = Join("A");
  net.host.SetNextFrame(7);
  a.Send(platform::kNetServerPlayer, ClientFrame(9));
  net.host.Receive();
  std::vector<Bytes> requests = a.ReceiveAll();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(MessageWord(requests[0].data(), 1), MSG_RESEND_REQUEST);
  EXPECT_EQ(MessageWord(requests[0].data(), 3), 7);
  EXPECT_EQ(MessageWord(requests[1].data(), 3), 8);
  EXPECT_EQ(net.host.clientQueues[0].count, 3);
  EXPECT_EQ(net.host.nextFrame[0], 10);

  a.Send(platform::kNetServerPlayer, ClientFrame(7));
  net.host.Receive();
  EXPECT_EQ(a.ReceivedFrames(), std::vector<int>{7});
  a.Send(platform::kNetServerPlayer, ClientFrame(8));
  net.host.Receive();
  EXPECT_EQ(a.ReceivedFrames(), (std::vector<int>{8, 9}));
  EXPECT_EQ(net.host.nextHostFrame, 10);

  // A second copy of a frame is dropped.
  g_netLog.Clear();
  a.Send(platform::kNetServerPlayer, ClientFrame(9));
  net.host.Receive();
  EXPECT_TRUE(a.ReceivedFrames().empty());
  EXPECT_TRUE(LogHas("frame message already received: message ignored"));
  g_networkLogging = 0;
  g_netLog.Clear();
}

TEST_F(HostTest, AClientLeavingReleasesTheFramesThatWaitedForIt) {
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.host.SetNextFrame(5);
  a.Send(platform::kNetServerPlayer, ClientFrame(5));
  net.host.Receive();
  EXPECT_TRUE(a.ReceivedFrames().empty());
  b.session->Leave();
  net.host.Receive();
  EXPECT_EQ(a.ReceivedFrames(), std::vector<int>{5});
  EXPECT_EQ(net.host.clientCount, 1);
}

TEST_F(HostTest, SetUpRequestsReachTheScreenOnlyInPhaseOne) {
  RawPeer& a = Join("A");
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 2), true);
  net.host.Receive();
  EXPECT_TRUE(sink.Take().empty());
  net.session.phase = kNetPhaseDirectSetup;
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 2), true);
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 1), true);
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_PORTRAIT, 3), true);
  a.Send(platform::kNetServerPlayer, MakeHandicapMessage(1, 25), true);
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 7), true);  // no such slot
  net.host.Receive();
  EXPECT_EQ(sink.Take(), (std::vector<std::string>{"ready 2", "colour 1", "portrait 3", "handicap 1 25"}));
}

// The host's screen seats A at place 1 and B at place 2: each may ask only for its own place.
TEST_F(HostTest, APlayersRequestsCountOnlyForItsOwnPlace) {
  struct SeatingSink : RecordingSink {
    bool SpeaksFor(const char* name, int slotIndex) override {
      return (std::string(name) == "A" && slotIndex == 1) || (std::string(name) == "B" && slotIndex == 2);
    }
  } seating;
  NetHooksScope scope{seating.Hooks()};
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.session.phase = kNetPhaseDirectSetup;
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 1), true);
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 2), true);
  a.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 0), true);
  a.Send(platform::kNetServerPlayer, MakeHandicapMessage(2, 90), true);
  b.Send(platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_PORTRAIT, 1), true);
  b.Send(platform::kNetServerPlayer, MakeHandicapMessage(2, 30), true);
  net.host.Receive();
  EXPECT_EQ(seating.Take(), (std::vector<std::string>{"added A", "added B", "colour 1", "handicap 2 30"}));
}

TEST_F(HostTest, ResendsComeFromItsQueueToTheOneWhoAsked) {
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.host.SetNextFrame(5);
  a.Send(platform::kNetServerPlayer, ClientFrame(5));
  b.Send(platform::kNetServerPlayer, ClientFrame(5));
  net.host.Receive();
  a.ReceiveAll();
  b.ReceiveAll();
  uint8_t request[kResendRequestBytes];
  for (int frame : {5, 9, -1}) {
    WriteResendRequest(request, frame);
    a.Send(platform::kNetServerPlayer, Bytes(request, request + sizeof request));
  }
  net.host.Receive();
  EXPECT_EQ(a.ReceivedFrames(), std::vector<int>{5});
  EXPECT_TRUE(b.ReceiveAll().empty());
}

TEST_F(HostTest, StrangersAndMalformedFramesAreDropped) {
  RawPeer& a = Join("A");
  net.host.SetNextFrame(5);
  auto session = network.Connect();
  std::vector<platform::NetSessionDesc> sessions;
  session->EnumSessions(sessions);
  session->JoinSession(sessions[0].instance);
  RawPeer stranger(std::move(session), "X");  // joined in the battle: no slot
  stranger.Send(platform::kNetServerPlayer, ClientFrame(5));
  a.Send(platform::kNetServerPlayer, FrameOf(5, kFrameOriginClient, {ClientFrame(5)}));  // nested
  a.Send(platform::kNetServerPlayer, HostFrame(5, {{}}));                                // a host frame
  Bytes shortFrame = ClientFrame(5, {WalkCommand(1)});
  shortFrame.resize(40);
  a.Send(platform::kNetServerPlayer, shortFrame);
  Bytes big(3000, 0);  // larger than the host's receive buffer
  a.Send(platform::kNetServerPlayer, big);
  net.host.Receive();
  EXPECT_EQ(net.host.clientQueues[0].count, 0);
  EXPECT_EQ(net.host.nextFrame[0], 5);
  // The host still works.
  a.Send(platform::kNetServerPlayer, ClientFrame(5));
  net.host.Receive();
  EXPECT_EQ(a.ReceivedFrames(), std::vector<int>{5});
}

TEST_F(HostTest, TheWaitAsksLaggingClientsAgainEveryHalfSecond) {
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.host.SetNextFrame(7);
  a.Send(platform::kNetServerPlayer, ClientFrame(9));  // leaves gaps 7 and 8
  b.Send(platform::kNetServerPlayer, ClientFrame(7));
  net.host.Receive();
  a.ReceiveAll();
  net.host.BeginWait(8);
  EXPECT_EQ(net.host.WaitStep(false), NetWait::kPending);
  clock.Advance(499);
  EXPECT_EQ(net.host.WaitStep(false), NetWait::kPending);
  EXPECT_TRUE(a.ReceiveAll().empty());
  clock.Advance(1);
  EXPECT_EQ(net.host.WaitStep(false), NetWait::kDone);
  // Both gaps are asked for again (their first requests may have been lost); b, whose frame
  // 7 is there, is asked for its next one.
  std::vector<int> asked;
  for (const Bytes& message : a.ReceiveAll()) asked.push_back(MessageWord(message.data(), 3));
  EXPECT_EQ(asked, (std::vector<int>{7, 8}));
  std::vector<Bytes> toB = b.ReceiveAll();
  ASSERT_EQ(toB.size(), 1u);
  EXPECT_EQ(MessageWord(toB[0].data(), 3), 8);
}

TEST_F(HostTest, TheStartMessageCarriesTheCountAndEachClientsIndex) {
  RawPeer& a = Join("A");
  RawPeer& b = Join("B");
  net.host.SetClients({"B", "A"});
  EXPECT_EQ(net.host.clients[0], b.player);
  EXPECT_EQ(net.host.clients[1], a.player);
  Bytes message(kInitialiseBytes, 0);
  SetMessageWord(message.data(), 1, MSG_INITIALISE);
  SetMessageWord(message.data(), 2, kInitialiseBytes);
  EXPECT_EQ(net.host.SendInitialise(message.data()), 1);
  for (auto [peer, index] : {std::pair<RawPeer*, int>{&b, 0}, std::pair<RawPeer*, int>{&a, 1}}) {
    std::vector<Bytes> received = peer->ReceiveAll();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(MessageWord(received[0].data() + kInitSetupAt, kSetupClientCount), 2);
    EXPECT_EQ(MessageWord(received[0].data() + kInitSetupAt, kSetupOwnIndex), index);
  }
}

}  // namespace
}  // namespace net_test
