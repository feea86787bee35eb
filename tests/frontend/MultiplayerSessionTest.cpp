// The screens around a network battle's set-up, on a loopback network and a driven clock: the
// session names proposed, the join screen that needs a name, the game list that keeps its
// selection, the quick battle menu's network entries, and the load screen that waits for the
// spell lists of the players still in the session.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestSupport.h"
#include "core/PlayerSlot.h"
#include "core/Preferences.h"
#include "forge/MultiplayerSetupLayouts.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/MultiplayerSession.h"
#include "frontend/NetLoadScreen.h"
#include "frontend/QuickBattleMenu.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "platform/Clock.h"
#include "platform/LoopbackNetwork.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/TextButton.h"

using namespace frontend_test;

namespace {

struct BattleLoader : IFrontEndBattle {
  CScreen* LoadBattle(const BattleSetupRecord& setup) override {
    records.push_back(setup);
    return &battle;
  }
  std::vector<BattleSetupRecord> records;
  BottomScreen battle;
};

// Another machine of the loopback network with one player.
struct OtherMachine {
  OtherMachine(platform::LoopbackNetwork& network, const char* name, const char* session = nullptr) {
    endpoint = network.Connect();
    if (session) {
      EXPECT_EQ(endpoint->CreateSession(session, 5, platform::kSessionMigrateHost), platform::kNetOk);
      return;
    }
    std::vector<platform::NetSessionDesc> sessions;
    endpoint->EnumSessions(sessions);
    EXPECT_FALSE(sessions.empty());
    if (sessions.empty()) return;
    EXPECT_EQ(endpoint->JoinSession(sessions[0].instance), platform::kNetOk);
    EXPECT_EQ(endpoint->CreatePlayer(name, player), platform::kNetOk);
  }
  std::unique_ptr<platform::NetEndpoint> endpoint;
  platform::NetPlayerId player = 0;
};

class MultiplayerSession : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    savedFactory_ = g_netEndpointFactory;
    g_netEndpointFactory = [this] { return network_.Connect(); };
    ResetPlayerSlots();
  }
  void TearDown() override {
    while (g_screenCount > 0) PopScreen();
    g_netSession.Release();
    g_netSession.phase = kNetPhaseNone;
    g_netEndpointFactory = savedFactory_;
    FrontEnd::TearDown();
  }
  // This machine hosts a session with its player "Me".
  void HostHere() {
    g_netSession.messageDelay = 2;
    g_netSession.connectionType = kConnectionLan;
    g_netSession.sessionName = "load test";
    ASSERT_TRUE(g_netSession.CreateInterfaces(1));
    ASSERT_TRUE(g_netSession.CreateGame());
    ASSERT_TRUE(g_netSession.CreateHostPlayer());
    g_netMachine.Reset();
    ASSERT_TRUE(g_netClient.CreatePlayer("Me"));
  }

  platform::ManualClock clock_{1000};
  platform::LoopbackNetwork network_;
  NetEndpointFactory savedFactory_;
  BattleLoader battle_;
  FrontEndBattleScope battleScope_{battle_};
};

}  // namespace

TEST(SessionName, IsThePlayersNameOrGameWithTwoDigits) {
  struct Case {
    const char* player;
    int number;
    const char* proposed;
  };
  const Case cases[] = {{"Host", 7, "Host 07"}, {"", 7, "game 07"}, {"Ann", 42, "Ann 42"}, {"", 199, "game 99"}};
  for (const Case& c : cases) EXPECT_EQ(ProposeSessionName(c.player, c.number), c.proposed) << c.player << c.number;
}

TEST_F(MultiplayerSession, TheQuickBattleMenuLeadsToTheJoinScreenWhichNeedsAName) {
  g_prefs.playerName = "";
  PushScreen(&bottom_);
  PushScreen(g_quickBattleMenu);
  Frames(1);
  EXPECT_NE(g_quickBattleMenu->Button(CQuickBattleMenuScreen::kHostMultiplayer)->state, kStateGreyed);
  ClickWidget(forge::QuickBattleMenuLayout(), forge::WidgetKind::kTextButton, 2);
  ASSERT_EQ(FramesUntilChange(), g_joinMultiplayer);
  Frames(1);
  EXPECT_EQ(g_networkGame, 1);
  const forge::ScreenLayout layout = forge::JoinMultiplayerLayout();
  ClickWidget(layout, forge::WidgetKind::kTextButton, 1);
  Frames(20);
  EXPECT_EQ(g_currentScreen, g_joinMultiplayer) << "no name, no search";
  EXPECT_FALSE(g_netSession.IsOpen());
  SaveFrame("join_multiplayer.png");

  auto* name = static_cast<CEditBox*>(g_joinMultiplayer->ControlOf(kWidgetEditBox, 0));
  name->SetText("Ann");
  ClickWidget(layout, forge::WidgetKind::kTextButton, 1);
  ASSERT_EQ(FramesUntilChange(), g_multiplayerGameSelect);
  EXPECT_TRUE(g_netSession.IsOpen());
  EXPECT_EQ(g_prefs.playerName, "Ann") << "the name is kept in the preferences";
  EXPECT_EQ(g_netSession.connectionType, kConnectionLan);
}

TEST_F(MultiplayerSession, TheGameListKeepsItsSelectionWhileTheSessionIsListed) {
  OtherMachine alpha(network_, "", "alpha");
  auto beta = std::make_unique<OtherMachine>(network_, "", "beta");
  g_netSession.connectionType = kConnectionLan;
  ASSERT_TRUE(g_netSession.CreateInterfaces(0));
  PushScreen(&bottom_);
  PushScreen(g_multiplayerGameSelect);
  Frames(1);
  CListBox* list = g_multiplayerGameSelect->List(0);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->ItemCount(), 2);
  list->Select(list->FindItem("beta"));
  OtherMachine gamma(network_, "", "gamma");
  clock_.Advance(CMultiplayerGameSelectScreen::kListRefreshMs);
  Frames(1);
  EXPECT_EQ(list->ItemCount(), 3);
  EXPECT_STREQ(list->FirstSelected(), "beta");
  SaveFrame("multiplayer_game_select.png");
  beta.reset();
  Frames(1);
  EXPECT_EQ(list->ItemCount(), 3) << "the list waits half a second";
  clock_.Advance(CMultiplayerGameSelectScreen::kListRefreshMs);
  Frames(1);
  EXPECT_EQ(list->ItemCount(), 2);
  EXPECT_STREQ(list->FirstSelected(), "") << "nothing selected";
}

class NetLoad : public MultiplayerSession {
 protected:
  void Start(int players) {
    g_pendingNetBattle = BattleSetupRecord{};
    g_pendingNetBattle.region = 1;
    g_pendingNetBattle.players = players;
    g_pendingNetBattle.localArmy = 0;
    g_netLoadScreen->arrivedFrom = 0;
    PushScreen(&bottom_);
    PushScreen(g_netLoadScreen);
  }
  static WizardSpells ListOf(int player) {
    WizardSpells spells;
    spells.playerIndex = player;
    spells.count = 1;
    spells.spells[0] = kNoSpell;
    return spells;
  }
};

TEST_F(NetLoad, AloneTheBattleLoadsOnTheFirstUpdate) {
  Start(1);
  EXPECT_EQ(g_netLoadScreen->awaitedSpellLists, 0);
  Frames(1);
  ASSERT_EQ(battle_.records.size(), 1u);
  EXPECT_EQ(g_currentScreen, &battle_.battle);
  // Back from the battle, the load screen goes too.
  PopScreen();
  Frames(1);
  EXPECT_EQ(g_currentScreen, &bottom_);
}

TEST_F(NetLoad, TwoPlayersWaitForTheOthersListThenLoad) {
  HostHere();
  OtherMachine other(network_, "Other");
  g_playerSlots[0].SetName("Me");
  g_playerSlots[1].SetName("Other");
  Start(2);
  EXPECT_EQ(g_netLoadScreen->awaitedSpellLists, 1);
  Frames(3);
  EXPECT_TRUE(battle_.records.empty());
  SaveFrame("multiplayer_battle_load.png");
  g_netLoadScreen->SpellListArrived(ListOf(1));
  Frames(1);
  EXPECT_EQ(battle_.records.size(), 1u);
}

TEST_F(NetLoad, APlayerWhoLeavesIsNoLongerAwaited) {
  HostHere();
  auto other = std::make_unique<OtherMachine>(network_, "Other");
  OtherMachine third(network_, "Third");
  g_playerSlots[0].SetName("Me");
  g_playerSlots[1].SetName("Other");
  g_playerSlots[3].SetName("Third");
  Start(3);
  g_netLoadScreen->SpellListArrived(ListOf(2));
  Frames(2);
  EXPECT_TRUE(battle_.records.empty());
  other.reset();
  clock_.Advance(100);
  Frames(2);
  EXPECT_EQ(battle_.records.size(), 1u);
}
