// The client's side of the frame protocol, with a raw host on a loopback: the first frames,
// gaps, host frames from the host only, validation, playback, set-up messages, commands that
// wait for room, the clock, chat, and what each command does.
#include <gtest/gtest.h>

#include <thread>

#include "NetProtocolSupport.h"
#include "NetRig.h"
#include "core/Options.h"
#include "core/RecordLog.h"
#include "net/NetLog.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "support/TestSupport.h"

namespace net_test {
namespace {

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto hostSession = network.Connect();
    ASSERT_EQ(hostSession->CreateSession("client test", 4, platform::kSessionMigrateHost), platform::kNetOk);
    host = std::make_unique<RawPeer>(std::move(hostSession), "", true);
    net.session.Attach(network.Connect(), false);
    net.session.messageDelay = 2;
    net.session.sessionName = "client test";
    ASSERT_TRUE(net.session.JoinGame());
    net.Reset();
    ASSERT_TRUE(net.client.CreatePlayer("C"));
    net.session.phase = kNetPhaseBattle;
    host->ReceiveAll();
  }

  void StartAt(int frame) {
    net.client.framesRun = net.client.framesQueued = frame;
    net.client.BeginFrameMessage();
  }

  RawPeer Stranger(const char* name) {
    auto session = network.Connect();
    std::vector<platform::NetSessionDesc> sessions;
    session->EnumSessions(sessions);
    session->JoinSession(sessions.at(0).instance);
    return RawPeer(std::move(session), name);
  }

  platform::ManualClock clock{1000};
  platform::LoopbackNetwork network;
  std::unique_ptr<RawPeer> host;
  NetMachine net;
  RecordingSink sink;
  NetHooksScope hooks{sink.Hooks()};
  testing_support::BoxRecorder boxes;
  testing_support::ExitTrap exitTrap;
};

TEST_F(ClientTest, WithDelayTwoTheFirstTwoFramesRunWithoutMessages) {
  StartAt(2);
  net.client.SendFrame(0);
  EXPECT_EQ(host->ReceivedFrames(), std::vector<int>{2});
  EXPECT_TRUE(net.client.RunFrame(0, false));
  net.client.SendFrame(1);
  EXPECT_EQ(host->ReceivedFrames(), std::vector<int>{3});
  EXPECT_TRUE(net.client.RunFrame(1, false));
  EXPECT_EQ(net.client.framesRun, 2);
  EXPECT_TRUE(sink.Take().empty());
}

TEST_F(ClientTest, AFrameBeforeItsPredecessorLeavesAGapAndAsksForIt) {
  StartAt(6);
  host->Send(net.client.ownPlayer, HostFrame(7, {{WalkCommand(7)}}));
  net.client.Receive();
  std::vector<Bytes> requests = host->ReceiveAll();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(MessageWord(requests[0].data(), 1), MSG_RESEND_REQUEST);
  EXPECT_EQ(MessageWord(requests[0].data(), 3), 6);
  host->Send(net.client.ownPlayer, HostFrame(6, {{WalkCommand(6)}}));
  EXPECT_TRUE(net.client.RunFrame(6, true));
  EXPECT_TRUE(net.client.RunFrame(7, true));
  EXPECT_EQ(sink.Take(), (std::vector<std::string>{"clear 6", "follow 6 -1", "walk 6 1 2 3", "clear 7", "follow 7 -1",
                                                   "walk 7 1 2 3"}));
}

TEST_F(ClientTest, AWaitingClientAsksForItsFrameEveryHalfSecond) {
  StartAt(4);
  net.client.BeginRun(4);
  EXPECT_EQ(net.client.RunStep(true), NetWait::kPending);
  clock.Advance(500);
  EXPECT_EQ(net.client.RunStep(true), NetWait::kPending);
  clock.Advance(500);
  EXPECT_EQ(net.client.RunStep(true), NetWait::kPending);
  std::vector<Bytes> requests = host->ReceiveAll();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(MessageWord(requests[1].data(), 3), 4);
  host->Send(net.client.ownPlayer, HostFrame(4, {{}}));
  EXPECT_EQ(net.client.RunStep(true), NetWait::kDone);
}

TEST_F(ClientTest, WaitsEndWithTheStartMessageOrWhenTheApplicationQuits) {
  Bytes settings(kGameSettingsBytes, 0), slot(kPlayerSlotBytes, 0);
  const uint8_t* slots[4] = {slot.data(), slot.data(), slot.data(), slot.data()};
  const uint8_t items[21] = {};
  const int32_t setup[6] = {1, 0, 0, 0, 1, 0};
  host->Send(net.client.ownPlayer, MakeInitialiseMessage(settings.data(), slots, items, setup), true);
  EXPECT_TRUE(net.client.WaitForStart());

  StartAt(4);
  platform::PostQuitMessage(0);
  EXPECT_FALSE(net.client.RunFrame(4, true));
  platform::ClearMessageQueue();
}

TEST_F(ClientTest, HostFramesComeFromTheHostOnly) {
  StartAt(6);
  RawPeer stranger = Stranger("S");
  stranger.Send(net.client.ownPlayer, HostFrame(6, {{WalkCommand(1)}}));
  uint8_t request[kResendRequestBytes];
  WriteResendRequest(request, 8);
  stranger.Send(net.client.ownPlayer, Bytes(request, request + sizeof request));
  net.client.Receive();
  EXPECT_EQ(net.client.frameQueue.count, 0);
  EXPECT_TRUE(stranger.ReceiveAll().empty());
  // Malformed host frames are dropped as lost.
  host->Send(net.client.ownPlayer, FrameOf(6, kFrameOriginHost, {WalkCommand(1)}));
  host->Send(net.client.ownPlayer, ClientFrame(6));
  net.client.Receive();
  EXPECT_EQ(net.client.frameQueue.count, 0);
}

TEST_F(ClientTest, AValidationRecordOutsideTheRingIsOnlyLogged) {
  StartAt(6);
  host->Send(net.client.ownPlayer, HostFrame(6, {{ToBytes(MakeValidateMessage(1, 2, 3))}}));
  EXPECT_TRUE(net.client.RunFrame(6, true));
  EXPECT_FALSE(net.client.Failed());
  EXPECT_EQ(net.client.validationsAgreed, 0);
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ClientTest, ADivergenceEndsTheBattleNotTheProcess) {
  testing_support::TempDir dir(true);
  const int savedRandomLog = g_netRandomLog, savedEffectsLog = g_netEffectsLog;
  g_netRandomLog = g_netEffectsLog = 1;
  struct Case {
    CommandMessage theirs;
    const char* text;
  };
  const Case cases[] = {
      {MakeValidateMessage(99, 5, 6), "message validation: random numbers out of synch"},
      {MakeValidateMessage(4, 9, 6), "message validation: number of active creatures out of synch"},
      {MakeValidateMessage(4, 5, 9), "message validation: number of active effects out of synch"},
  };
  for (const Case& c : cases) {
    net.Reset();
    ASSERT_TRUE(net.client.CreatePlayer("C"));
    StartAt(6);
    net.client.AddValidateMessage(MakeValidateMessage(4, 5, 6), 4);  // runs in frame 6
    host->Send(net.client.ownPlayer,
               HostFrame(6, {{ToBytes(MakeValidateMessage(4, 5, 6))}, {ToBytes(c.theirs), WalkCommand(1)}}));
    EXPECT_FALSE(net.client.RunFrame(6, true)) << c.text;
    EXPECT_TRUE(net.client.Failed());
    EXPECT_EQ(net.client.validationsAgreed, 1);
    std::vector<std::string> calls = sink.Take();
    EXPECT_EQ(calls.back(), std::string("end ") + c.text);
    const bool effectLog = std::count(calls.begin(), calls.end(), "effect log fx_log.txt") == 1;
    EXPECT_EQ(effectLog, &c == &cases[2]);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "walk 1 1 2 3"), 0) << "nothing after the record runs";
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_EQ(boxes.Boxes().back().text, c.text);
    EXPECT_EQ(boxes.Boxes().back().caption, "CRITICAL NETWORK ERROR");
    EXPECT_FALSE(net.client.RunFrame(7, true));
  }
  EXPECT_TRUE(platform::FileExists("rand_log.txt"));
  g_netRandomLog = savedRandomLog;
  g_netEffectsLog = savedEffectsLog;
}

TEST_F(ClientTest, PlaybackBehindTheBattleEndsItWithItsBox) {
  testing_support::TempDir dir(true);
  CRecordLog log;
  ASSERT_TRUE(log.OpenForWrite("event.log", 0));
  const Bytes recorded = HostFrame(3, {{WalkCommand(2)}});
  log.WriteRecord(recorded.data(), static_cast<uint32_t>(recorded.size()));
  log.Close();
  ASSERT_TRUE(log.OpenForRead("event.log", 0));
  sink.record = &log;
  StartAt(5);
  EXPECT_FALSE(net.client.RunFrame(5, true));
  EXPECT_TRUE(net.client.Failed());
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Battle event playback out of synch");
  EXPECT_EQ(sink.Take().back(), "end Battle event playback out of synch");
  sink.record = nullptr;
}

// A recording played back that no longer draws as it did (another map seed, changed data) is
// a fault of the playback, not of the network its frame never crossed; the same disagreement
// in a frame from the host is the network's (above).
TEST_F(ClientTest, APlaybackThatDriftsFromItsRecordIsAGeneralError) {
  testing_support::TempDir dir(true);
  CRecordLog log;
  ASSERT_TRUE(log.OpenForWrite("event.log", 0));
  const Bytes recorded = HostFrame(6, {{ToBytes(MakeValidateMessage(99, 5, 6))}});
  log.WriteRecord(recorded.data(), static_cast<uint32_t>(recorded.size()));
  log.Close();
  ASSERT_TRUE(log.OpenForRead("event.log", 0));
  sink.record = &log;
  StartAt(6);
  net.client.AddValidateMessage(MakeValidateMessage(4, 5, 6), 4);  // runs in frame 6
  EXPECT_FALSE(net.client.RunFrame(6, true));
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "message validation: random numbers out of synch");
  EXPECT_EQ(boxes.Boxes()[0].caption, "GENERAL ERROR");
  sink.record = nullptr;
}

// The start message names the players in client order; each list counts once, only from the
// player it is for, and one that overtook the start message on its way counts once it is there,
// however many lists another player sent before it: on the direct road (the session still in
// phase 1) and on the lobby's (in the set-up phase from the moment it was joined).
class ClientSpellListTest : public ClientTest, public ::testing::WithParamInterface<int> {};

INSTANTIATE_TEST_SUITE_P(BothRoads, ClientSpellListTest, ::testing::Values(kNetPhaseDirectSetup, kNetPhaseSetup));

TEST_P(ClientSpellListTest, SpellListsCountOncePerPlayerAndOnlyFromTheirOwnSender) {
  struct StartingSink : RecordingSink {
    CNetSession* session = nullptr;
    void Initialise(const InitialiseView& message) override {
      RecordingSink::Initialise(message);
      session->phase = kNetPhaseSetup;
    }
  } starting;
  starting.session = &net.session;
  NetHooksScope scope{starting.Hooks()};
  RawPeer other = Stranger("O");
  RawPeer third = Stranger("T");
  const uint8_t spells[2] = {4, 9};
  net.session.phase = GetParam();
  for (int i = 0; i < 6; ++i) third.Send(net.client.ownPlayer, MakeWizardSpellsMessage(0, nullptr, 0), true);
  other.Send(net.client.ownPlayer, MakeWizardSpellsMessage(1, spells, 2), true);
  net.client.Receive();
  EXPECT_TRUE(starting.Take().empty());

  Bytes settings(kGameSettingsBytes, 0);
  CPlayerSlot places[4];
  const char* names[4] = {"C", "O", "No Player", "T"};
  Bytes slotBytes[4];
  const uint8_t* slots[4];
  for (int i = 0; i < 4; ++i) {
    places[i].Reset();
    places[i].SetName(names[i]);
    if (i != 2) places[i].colour = places[i].portrait = places[i].handicap = i;
    slotBytes[i].resize(kPlayerSlotBytes);
    WritePlayerSlot(places[i], slotBytes[i].data());
    slots[i] = slotBytes[i].data();
  }
  const uint8_t items[21] = {};
  const int32_t setup[6] = {1, 0, 0, 0, 3, 0};
  host->Send(net.client.ownPlayer, MakeInitialiseMessage(settings.data(), slots, items, setup), true);
  net.client.Receive();
  EXPECT_EQ(starting.Take(), (std::vector<std::string>{"initialise 3 0", "spells 1 2"}));

  other.Send(net.client.ownPlayer, MakeWizardSpellsMessage(1, spells, 1), true);   // a second list
  other.Send(net.client.ownPlayer, MakeWizardSpellsMessage(2, spells, 1), true);   // T's
  third.Send(net.client.ownPlayer, MakeWizardSpellsMessage(0, nullptr, 0), true);  // this machine's
  third.Send(net.client.ownPlayer, MakeWizardSpellsMessage(2, nullptr, 0), true);
  net.client.Receive();
  EXPECT_EQ(starting.Take(), std::vector<std::string>{"spells 2 0"});
}

TEST_F(ClientTest, SetUpMessagesFromTheHostInPhaseOne) {
  net.session.phase = kNetPhaseDirectSetup;
  Bytes settings(kGameSettingsBytes, 0);
  SetMessageWord(settings.data(), 0, 3);
  Bytes slot(kPlayerSlotBytes, 0);
  std::snprintf(reinterpret_cast<char*>(slot.data()), 31, "Ann");
  host->Send(net.client.ownPlayer, MakeGameSetupMessage(settings.data()), true);
  host->Send(net.client.ownPlayer, MakeWizardSetupMessage(slot.data(), 2), true);
  host->Send(net.client.ownPlayer, MakeSlotMessage(MSG_INIT_SET_SLOT, 1), true);
  SetMessageWord(settings.data(), 3, 30);  // 30 magic items: refused
  host->Send(net.client.ownPlayer, MakeGameSetupMessage(settings.data()), true);
  host->Send(net.client.ownPlayer, MakeLeaveOrder(), true);
  net.client.Receive();
  EXPECT_EQ(sink.Take(), (std::vector<std::string>{"settings 3", "slot 2 Ann", "set slot 1", "self removed"}));

  const uint8_t* slots[4] = {slot.data(), slot.data(), slot.data(), slot.data()};
  const uint8_t items[21] = {};
  const int32_t setup[6] = {1, 0, 0, 0, 2, 1};
  host->Send(net.client.ownPlayer, MakeInitialiseMessage(settings.data(), slots, items, setup), true);
  net.client.Receive();
  EXPECT_FALSE(net.client.initialised);  // its settings hold 30 magic items
  SetMessageWord(settings.data(), 3, 2);
  host->Send(net.client.ownPlayer, MakeInitialiseMessage(settings.data(), slots, items, setup), true);
  net.client.Receive();
  EXPECT_TRUE(net.client.initialised);
  EXPECT_EQ(sink.Take(), std::vector<std::string>{"initialise 2 1"});
}

TEST_F(ClientTest, CommandsThatDoNotFitWaitForTheNextFrameInOrder) {
  StartAt(2);
  for (int i = 0; i < 100; ++i) net.client.AddMessage(MakeCellCommand(MSG_CREATURE_WALK, i, 0, 0, 0));
  net.client.AddMessage(MakeValidateMessage(0, 0, 0).bytes, 23);  // malformed: refused
  net.client.AddValidateMessage(MakeValidateMessage(1, 2, 3), 0);
  std::thread clock([this] { net.client.PostCounter(61); });
  clock.join();
  net.client.SendFrame(0);
  net.client.SendFrame(1);
  std::vector<Bytes> frames = host->ReceiveAll();
  ASSERT_EQ(frames.size(), 2u);
  // 70 walks fit beside the reserved validation record and clock message.
  const CNetFrameHeader first = ReadFrameHeader(frames[0].data());
  EXPECT_EQ(first.count, 72);
  EXPECT_EQ(first.length, 24 + 70 * 28 + 24 + 16);
  EXPECT_EQ(MessageWord(frames[0].data() + 24 + 69 * 28, 3), 69);
  EXPECT_EQ(MessageWord(frames[0].data() + 24 + 70 * 28 + 24, 3), 60);  // the counter less one
  const CNetFrameHeader second = ReadFrameHeader(frames[1].data());
  EXPECT_EQ(second.count, 30);
  EXPECT_EQ(MessageWord(frames[1].data() + 24, 3), 70);
}

TEST_F(ClientTest, ChatGoesToTheBattleOrToTheSetUpScreen) {
  RawPeer ann = Stranger("Ann");
  ann.session->SendChat(ann.player, platform::kNetAllPlayers, "hello %s");
  net.client.Receive();
  net.session.phase = kNetPhaseDirectSetup;
  ann.session->SendChat(ann.player, net.client.ownPlayer, "again");
  net.client.Receive();
  EXPECT_EQ(sink.Take(), (std::vector<std::string>{"chat line [Ann]: hello %s", "chat Ann: again"}));
  EXPECT_TRUE(net.client.SendChat("hi", "Ann"));
  EXPECT_TRUE(net.client.SendChat("hi", "nobody"));
  ann.ReceiveAll();
  EXPECT_EQ(ann.systemMessages, 1);
}

// What each command does, and what out-of-range values leave undone.
TEST_F(ClientTest, EachCommandActsOnlyOnValidValues) {
  sink.creatures = 10;
  sink.dead = {4};
  struct Case {
    Bytes command;
    std::vector<std::string> calls;
  };
  const int32_t none = -1;
  const Case cases[] = {
      {WalkCommand(3), {"clear 3", "follow 3 -1", "walk 3 1 2 3"}},
      {WalkCommand(10), {}},
      {WalkCommand(-1), {}},
      {ToBytes(MakeCellCommand(MSG_WALK_TO_CHEST, 2, 5, 6, 1)), {"clear 2", "follow 2 -1", "chest 2 5 6 1"}},
      {ToBytes(MakeCellCommand(MSG_CREATURE_ATTACK_TERRAIN, 2, 5, 6, 1)),
       {"clear 2", "follow 2 -1", "terrain 2 5 6 1"}},
      {ToBytes(MakeCreatureCommand(MSG_CREATURE_ATTACK, 1, 2)), {"clear 1", "follow 1 -1", "attack 1 2"}},
      {ToBytes(MakeCreatureCommand(MSG_CREATURE_ATTACK, 1, 4)), {}},  // the target is dead
      {ToBytes(MakeCreatureCommand(MSG_CREATURE_ATTACK, 12, 2)), {}},
      {ToBytes(MakeCreatureCommand(MSG_USE_ARTIFACT, 1, 19)), {"event 1 19"}},
      {ToBytes(MakeCreatureCommand(MSG_USE_ARTIFACT, 1, 20)), {}},
      {ToBytes(MakeCreatureCommand(MSG_USE_ARTIFACT, 1, -1)), {}},
      {ToBytes(MakeCellCommand(MSG_DROP_ARTIFACT, 2, 7, 8, 9)), {"open 2 7 8 9"}},
      {ToBytes(MakeCellCommand(MSG_DROP_ARTIFACT, 50, 7, 8, 9)), {"open -1 7 8 9"}},
      {ToBytes(MakeCreatureCommand(MSG_Q_CREATURE_ATTACK, 1, 2)), {"follow 1 -1", "queued 1 3 0 0 0 2"}},
      {ToBytes(MakeCellCommand(MSG_Q_CREATURE_WALK, 1, 4, 5, 2)), {"follow 1 -1", "queued 1 2 4 5 2 -1"}},
      {ToBytes(MakeCreatureCommand(MSG_FOLLOW_CREATURE, 1, 2)), {"clear 1", "follow 1 2"}},
      {ToBytes(MakeCreatureCommand(MSG_FOLLOW_CREATURE, 1, 4)), {}},
      {ToBytes(MakeCastSpellCommand(40, 64, 96, 16, 3, none)), {"cast 40 64 96 16 3 -1"}},
      {ToBytes(MakeCastSpellCommand(103, 64, 96, 16, 3, 5)), {"cast 103 64 96 16 3 5"}},
      {ToBytes(MakeCastSpellCommand(104, 64, 96, 16, 3, none)), {}},
      {ToBytes(MakeCastSpellCommand(255, 64, 96, 16, 3, none)), {}},
      {ToBytes(MakeCastSpellCommand(40, 64, 96, 16, 30, none)), {}},
      {ToBytes(MakeCastSpellCommand(40, 64, 96, 16, 3, 11)), {}},
      {ToBytes(MakeCounterMessage(60)), {"timer 59"}},
      {ToBytes(MakeWordCommand(MSG_PAUSE, 2)), {"pause 2"}},
      {ToBytes(MakeWordCommand(MSG_SPEECH_CLOSED, 7)), {"speech closed 7"}},
      {ToBytes(MakeWordCommand(MSG_CAMERA_BACK, 0)), {"camera back 0"}},
      {ToBytes(MakeWordCommand(MSG_INTERFACE_COMMAND, 12)), {"interface 12"}},
  };
  int frame = 0;
  for (const Case& c : cases) {
    const Bytes message = HostFrame(frame++, {{c.command}});
    EXPECT_TRUE(net.client.RunBattleMessage(message.data(), message.size()));
    EXPECT_EQ(sink.Take(), c.calls) << "type " << MessageWord(c.command.data(), 1);
  }
}

}  // namespace
}  // namespace net_test
