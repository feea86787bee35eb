// The single-player road: a loopback session in which this machine is host and only client,
// with no delay; the map view's orders reach the creatures only through frames; a recorded
// battle plays back with every validation agreeing and goes on live when its record ends.
#include <gtest/gtest.h>

#include <functional>

#include "NetRig.h"
#include "core/Main.h"
#include "core/RecordLog.h"
#include "map/MapViewHooks.h"
#include "net/NetBattle.h"
#include "net/NetStartup.h"
#include "support/TestSupport.h"

namespace net_test {
namespace {

struct RecordedModel : BattleModel {
  RecordedModel() : BattleModel(&g_netClient) {}
  CRecordLog* log = nullptr;
  CRecordLog* RecordLog() override { return log; }
};

// The game's start-up hooks of the network, put back afterwards.
class InstalledNet {
 public:
  InstalledNet() : mapHooks_(g_mapViewHooks) { InstallNet(); }

 private:
  MapViewHooksScope mapHooks_;
};

// The battle frame's calls, as the battle makes them, for frames [from, to).
void RunFrames(int from, int to, BattleModel& model, const std::function<void(int)>& input) {
  for (int n = from; n < to; ++n) {
    ASSERT_TRUE(g_netClient.RunFrame(n, true)) << n;
    const int next = n + 1;
    if (NetBattleValidates()) g_netClient.AddValidateMessage(model.Validation(), next);
    g_netClient.SendFrame(next);
    model.Work();
    input(n);
    ASSERT_TRUE(g_netHost.WaitForFrame(next, true)) << next;
  }
}

TEST(SinglePlayerNet, OrdersOfTheMapViewRunTwoFramesLaterThroughFrames) {
  InstalledNet installed;
  RecordingSink sink;
  NetHooksScope hooks(sink.Hooks());
  ASSERT_TRUE(StartSinglePlayerNet("Player"));
  EXPECT_TRUE(IsSinglePlayerNet());
  EXPECT_EQ(g_netSession.messageDelay, 0);
  EXPECT_FALSE(NetBattleValidates());
  std::vector<int> ranAt;
  BattleModel unused(&g_netClient);
  for (int n = 0; n < 8; ++n) {
    ASSERT_TRUE(g_netClient.RunFrame(n, true));
    if (!sink.Take().empty()) ranAt.push_back(n);
    g_netClient.SendFrame(n + 1);
    if (n == 2) g_mapViewHooks.commands->AddMessage(MakeCellCommand(MSG_CREATURE_WALK, 1, 4, 5, 0));
    if (n == 3) {
      g_mapViewHooks.commands->AddMessage(MakeWordCommand(MSG_PAUSE, 1));
      g_mapViewHooks.commands->AddMessage(MakeWordCommand(MSG_CAMERA_BACK, 1));
    }
    ASSERT_TRUE(g_netHost.WaitForFrame(n + 1, true));
  }
  EXPECT_EQ(ranAt, (std::vector<int>{4, 5}));
  EndNetBattle();
  EXPECT_FALSE(IsSinglePlayerNet());
  EXPECT_FALSE(g_netSession.IsOpen());
}

TEST(SinglePlayerNet, ARecordedBattlePlaysBackAndGoesOnLiveAtItsEnd) {
  testing_support::TempDir dir(true);
  testing_support::BoxRecorder boxes;
  auto orders = [](int n) {
    if (n == 5 || n == 12 || n == 20) g_netClient.AddMessage(MakeCellCommand(MSG_CREATURE_WALK, n % 7, n, 3, 0));
    if (n == 12) g_netClient.AddMessage(MakeCastSpellCommand(7, 32, 32, 0, 2, -1));
  };

  CRecordLog recording;
  ASSERT_TRUE(recording.OpenForWrite("event.log", 4096));
  RecordedModel recorded;
  recorded.log = &recording;
  std::vector<uint32_t> recordedWords;
  {
    NetHooksScope hooks(NetHooks{&recorded, &recorded, DefaultNetHooks().setup, DefaultNetHooks().records});
    ASSERT_TRUE(StartSinglePlayerNet("Player"));
    EXPECT_TRUE(NetBattleValidates());
    RunFrames(0, 40, recorded, orders);
    recordedWords = recorded.FinalWords();
    EndNetBattle();
  }
  recording.Close();
  EXPECT_EQ(recorded.commandsRun, 4);

  CRecordLog playback;
  ASSERT_TRUE(playback.OpenForRead("event.log", 0));
  RecordedModel played;
  played.log = &playback;
  NetHooksScope hooks(NetHooks{&played, &played, DefaultNetHooks().setup, DefaultNetHooks().records});
  ASSERT_TRUE(StartSinglePlayerNet("Player"));
  RunFrames(0, 40, played, [](int) {});
  EXPECT_EQ(played.FinalWords(), recordedWords);
  EXPECT_EQ(played.commandsRun, 4);
  EXPECT_GE(g_netClient.validationsAgreed, 38);
  EXPECT_EQ(boxes.Count(), 0u);

  // The record has ended: the battle goes on live, with the player's orders.
  EXPECT_FALSE(playback.isOpen);
  RunFrames(40, 50, played, [](int n) {
    if (n == 42) g_netClient.AddMessage(MakeCellCommand(MSG_CREATURE_WALK, 1, 2, 3, 0));
  });
  EXPECT_EQ(played.commandsRun, 5);
  EXPECT_FALSE(g_netClient.Failed());
  EndNetBattle();
}

}  // namespace
}  // namespace net_test
