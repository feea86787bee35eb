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
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/MultiplayerSession.h"
#include "frontend/NetLoadScreen.h"
#include "frontend/QuickBattleMenu.h"
#include "net/NetCommandPort.h"
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

namespace {

// Sends a message from another machine's player.
void SendFrom(OtherMachine& machine, platform::NetPlayerId to, const NetBytes& message) {
  EXPECT_EQ(machine.endpoint->Send(machine.player, to, true, message.data(), message.size()), platform::kNetOk);
}

}  // namespace

// The host's set-up over the real command port on the loopback: Ann and Eve join; Eve asks for
// Ann's and the host's places and sends records and orders as if she hosted. Nothing of it
// reaches a place, the rules or the start; her request for her own place does.
TEST_F(MultiplayerSession, AHostileGuestChangesNothingButItsOwnPlace) {
  HostHere();
  g_netSession.phase = kNetPhaseDirectSetup;
  g_multiplayerHost->transport = &g_netCommandPort;
  g_netCommandPort.handler = g_multiplayerHost;
  PushScreen(&bottom_);
  PushScreen(g_multiplayerHost);
  OtherMachine ann(network_, "Ann");
  OtherMachine eve(network_, "Eve");
  Frames(3);
  ASSERT_EQ(g_multiplayerHost->FindPlayer("Me"), 0);
  ASSERT_EQ(g_multiplayerHost->FindPlayer("Ann"), 1);
  ASSERT_EQ(g_multiplayerHost->FindPlayer("Eve"), 2);
  CPlayerSlot places[kPlayerSlotCount];
  std::copy(std::begin(g_playerSlots), std::end(g_playerSlots), places);
  const CGameSettings rules = g_gameSettings;

  SendFrom(eve, platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 1));
  SendFrom(eve, platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_JOIN_READY, 1));
  SendFrom(eve, platform::kNetServerPlayer, MakeHandicapMessage(0, 100));
  uint8_t slot[kPlayerSlotBytes];
  CPlayerSlot forged = places[1];
  forged.SetName("Eve");
  WritePlayerSlot(forged, slot);
  uint8_t settings[kGameSettingsBytes];
  CGameSettings other = rules;
  other.mana = 50;
  WriteGameSettings(other, settings);
  const uint8_t* slots[4] = {slot, slot, slot, slot};
  const uint8_t items[kMaxWizardSpells] = {};
  const int32_t setup[6] = {1, 0, 0, 0, 2, 1};
  for (const NetBytes& message :
       {MakeWizardSetupMessage(slot, 1), MakeGameSetupMessage(settings), MakeSlotMessage(MSG_INIT_SET_SLOT, 3),
        MakeLeaveOrder(), MakeInitialiseMessage(settings, slots, items, setup)})
    SendFrom(eve, platform::kNetAllPlayers, message);
  Frames(3);
  for (int place = 0; place < kPlayerSlotCount; ++place) {
    EXPECT_STREQ(g_playerSlots[place].name, places[place].name) << place;
    EXPECT_EQ(g_playerSlots[place].colour, places[place].colour) << place;
    EXPECT_EQ(g_playerSlots[place].handicap, places[place].handicap) << place;
    EXPECT_EQ(g_playerSlots[place].ready, places[place].ready) << place;
  }
  EXPECT_EQ(g_gameSettings.mana, rules.mana);
  EXPECT_EQ(g_multiplayerHost->ownPlace, 0);
  EXPECT_EQ(g_multiplayerHost->startedGame, 0);
  EXPECT_EQ(g_netSession.phase, kNetPhaseDirectSetup);
  EXPECT_EQ(g_currentScreen, g_multiplayerHost);

  SendFrom(eve, platform::kNetServerPlayer, MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 2));
  Frames(3);
  EXPECT_NE(g_playerSlots[2].colour, places[2].colour) << "her own place answers her";
  g_netCommandPort.handler = nullptr;
  g_multiplayerHost->transport = nullptr;
}
