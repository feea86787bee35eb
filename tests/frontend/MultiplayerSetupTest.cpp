// The network battle's set-up screens on a recording transport: the host seats players and
// answers their requests, the rows show what the host decided and whose buttons work, Start
// waits for every guest, the start message sends each player to the spell box or the load
// screen with its share of the items; the network screen's neutral answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestSupport.h"
#include "MagicFakes.h"
#include "core/PlayerSlot.h"
#include "forge/MultiplayerSetupLayouts.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/NetLoadScreen.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/SpellBox.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "net/NetTransport.h"
#include "platform/Profile.h"
#include "ui/Button.h"
#include "ui/DialogBox.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/SliderBar.h"

using namespace frontend_test;

namespace {

// A transport that writes down what the screen asks of it and, as the host's messages would,
// hands the host's records straight back to the attached screen.
struct RecordingTransport : CNetTransport {
  void SetLogin(const char*, const char*) override {}
  void Connect() override {}
  void Disconnect() override {}
  void Pump() override {}
  void ShowServerMessage() override {}
  bool SendChat(const char* text) override {
    calls.push_back(std::string("chat ") + text);
    return true;
  }
  void SendPrivateChat(NetUserList, const char*) override {}
  void SendAction(const char*) override {}
  void SendPrivateAction(NetUserList, const char*) override {}
  void ToggleIgnoreUsers(NetUserList) override {}
  void KickUsers(NetUserList users) override {
    for (const std::string& user : users) calls.push_back("kick " + user);
  }
  void BanUsers(NetUserList) override {}
  void ShowChatChannels() override {}
  void ShowGameChannels() override {}
  void JoinChannel(const char*) override {}
  bool CreateGameChannel(const char*) override { return false; }
  bool IsLobby() override { return lobby; }
  bool Leave() override {
    calls.push_back("leave");
    return false;
  }
  void ToggleAway() override {}
  void RefreshPlayers() override {}
  void RequestColour(int place) override { calls.push_back("colour " + std::to_string(place)); }
  void RequestPortrait(int place) override { calls.push_back("portrait " + std::to_string(place)); }
  void SetHandicap(int place, int value) override {
    calls.push_back("handicap " + std::to_string(place) + " " + std::to_string(value));
  }
  void SendPlayerSlot(int place, const CPlayerSlot& slot) override {
    calls.push_back("slot " + std::to_string(place) + " " + slot.name + " c" + std::to_string(slot.colour) + " p" +
                    std::to_string(slot.portrait) + " h" + std::to_string(slot.handicap) + " r" +
                    std::to_string(slot.ready));
    if (echo && handler) handler->UpdatePlayerRow(place, slot);
  }
  void SendGameSettings(const CGameSettings& settings) override {
    calls.push_back("settings " + std::to_string(settings.regionIndex));
    if (echo && handler) handler->OnGameSettings(settings);
  }
  bool SendSlotNumber(const char* name, int place) override {
    calls.push_back(std::string("number ") + name + " " + std::to_string(place));
    return true;
  }
  void SendReady(int place) override { calls.push_back("ready " + std::to_string(place)); }
  std::string GetPlayerName() override { return "Battle 07"; }
  void BeginGame() override { calls.push_back("begin"); }

  std::vector<std::string> Take() { return std::exchange(calls, {}); }
  std::vector<std::string> calls;
  bool echo = true;
  bool lobby = false;
};

struct BattleLoader : IFrontEndBattle {
  CScreen* LoadBattle(const BattleSetupRecord& setup) override {
    records.push_back(setup);
    return screen;
  }
  std::vector<BattleSetupRecord> records;
  CScreen* screen = nullptr;
};

class MultiplayerSetup : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    ResetPlayerSlots();
  }
  void TearDown() override {
    g_netSession.phase = kNetPhaseNone;
    g_netHost.clientCount = 0;
    FrontEnd::TearDown();
  }
  // The host's set-up over the quick battle menu, its transport recording.
  void OpenHost() {
    transport_.handler = g_multiplayerHost;
    g_multiplayerHost->transport = &transport_;
    PushScreen(&bottom_);
    PushScreen(g_quickBattleMenu);
    PushScreen(g_multiplayerHost);
    Frames(1);
  }
  void OpenClient() {
    transport_.handler = g_multiplayerClient;
    g_multiplayerClient->transport = &transport_;
    PushScreen(&bottom_);
    PushScreen(g_quickBattleMenu);
    PushScreen(g_multiplayerClient);
    Frames(1);
  }
  // The host with players seated in order, their records back on its screen.
  void Seat(const std::vector<std::string>& players) {
    for (const std::string& name : players) g_multiplayerHost->AddPlayer(name.c_str());
    transport_.Take();
  }

  RecordingTransport transport_;
  MagicWizards wizards_;
  FrontEndWizardsScope wizardScope_{wizards_};
  NumberedItems magic_;
  FrontEndMagicScope magicScope_{magic_};
  BattleLoader battle_;
  FrontEndBattleScope battleScope_{battle_};
};

}  // namespace

TEST_F(MultiplayerSetup, TheNetworkScreenAnswersNeutrallyWhatAScreenDoesNotServe) {
  CNetScreen plain;
  EXPECT_EQ(plain.FindPlayer("anyone"), 0);
  EXPECT_TRUE(plain.StartGame());
  EXPECT_FALSE(plain.TryStartGame());
  OpenClient();
  // A channel list and host-only requests reach a guest's screen: nothing changes.
  transport_.handler->BeginChannelList();
  transport_.handler->AddChannelLine("#battles");
  transport_.NotifyColourRequest(0);
  transport_.NotifyPlayerAdded("Eve");
  EXPECT_EQ(g_multiplayerClient->FindPlayer("Eve"), 0);
  EXPECT_TRUE(g_multiplayerClient->StartGame());
  EXPECT_TRUE(transport_.Take().empty());
  for (const CPlayerSlot& slot : g_playerSlots) EXPECT_TRUE(slot.IsEmpty());
  EXPECT_EQ(g_multiplayerClient->Label(12)->text, "Battle 07");
}

TEST_F(MultiplayerSetup, TheHostSeatsEachNameOnceAndFourAtMost) {
  OpenHost();
  transport_.Take();  // the rules, sent as the screen loads
  g_multiplayerHost->AddPlayer("Host");
  EXPECT_EQ(transport_.Take(), (std::vector<std::string>{"number Host 0", "slot 0 Host c0 p0 h0 r0",
                                                         "settings " + std::to_string(g_gameSettings.regionIndex)}));
  g_multiplayerHost->AddPlayer("Host");
  EXPECT_TRUE(transport_.Take().empty()) << "a second AddPlayer of a seated name";
  Seat({"Ann", "Bob", "Cid"});
  g_multiplayerHost->AddPlayer("Eve");
  EXPECT_TRUE(transport_.Take().empty()) << "a fifth player";
  EXPECT_EQ(g_multiplayerHost->FindPlayer("Eve"), -1);
  EXPECT_EQ(g_multiplayerHost->FindPlayer("Cid"), 3);
  EXPECT_EQ(g_playerSlots[3].colour, 3);
  EXPECT_EQ(g_playerSlots[3].portrait, 3);
  // A player who leaves frees the place for the next.
  g_multiplayerHost->RemovePlayer("Bob");
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"slot 2 No Player c-1 p-1 h-1 r0"});
  g_multiplayerHost->AddPlayer("Eve");
  EXPECT_EQ(g_multiplayerHost->FindPlayer("Eve"), 2);
  EXPECT_EQ(g_playerSlots[2].colour, 2);
}

// The lobby's server may tell of a guest before it names the host itself: the guest is seated
// from place 1, and place 0 waits for the host. On the direct road users are seated in turn.
TEST_F(MultiplayerSetup, InTheLobbyPlaceZeroWaitsForTheHost) {
  for (bool lobby : {true, false}) {
    SCOPED_TRACE(lobby ? "lobby" : "direct");
    transport_.lobby = lobby;
    OpenHost();
    g_multiplayerHost->AddUser("Ann", 0, 0);
    g_multiplayerHost->AddUser("Host", 1, 1);
    g_multiplayerHost->AddUser("Bob", 0, 0);
    EXPECT_EQ(g_multiplayerHost->FindPlayer("Host"), lobby ? 0 : 1);
    EXPECT_EQ(g_multiplayerHost->FindPlayer("Ann"), lobby ? 1 : 0);
    EXPECT_EQ(g_multiplayerHost->FindPlayer("Bob"), 2);
    while (g_screenCount > 0) PopScreen();
    ResetPlayerSlots();
  }
}

TEST_F(MultiplayerSetup, RequestsMoveToFreeLooksAndStayInTheirBounds) {
  OpenHost();
  Seat({"Host", "Ann"});
  struct Case {
    const char* what;
    void (CMultiplayerBattleHostScreen::*request)(int, int);
    int place, value;
    const char* sent;  // null: nothing goes out
  };
  const Case cases[] = {
      {"colour past the host's", &CMultiplayerBattleHostScreen::OnRequestColour, 1, 1, "slot 1 Ann c2 p1 h0 r0"},
      {"portrait two steps", &CMultiplayerBattleHostScreen::OnRequestPortrait, 1, 2, "slot 1 Ann c2 p3 h0 r0"},
      {"handicap", &CMultiplayerBattleHostScreen::OnSetHandicap, 1, 40, "slot 1 Ann c2 p3 h40 r0"},
      {"handicap beyond 100", &CMultiplayerBattleHostScreen::OnSetHandicap, 1, 900, "slot 1 Ann c2 p3 h100 r0"},
      {"an empty place", &CMultiplayerBattleHostScreen::OnRequestColour, 2, 1, nullptr},
      {"no such place", &CMultiplayerBattleHostScreen::OnSetHandicap, 7, 10, nullptr},
      {"a negative place", &CMultiplayerBattleHostScreen::OnRequestPortrait, -1, 1, nullptr},
  };
  for (const Case& c : cases) {
    (g_multiplayerHost->*c.request)(c.place, c.value);
    EXPECT_EQ(transport_.Take(), c.sent ? std::vector<std::string>{c.sent} : std::vector<std::string>{}) << c.what;
  }
  g_multiplayerHost->OnReady(1);
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"slot 1 Ann c2 p3 h100 r1"});
}

TEST_F(MultiplayerSetup, ARowShowsItsRecordAndOnlyTheOwnUnreadyPlaceCanChange) {
  OpenClient();
  // Ready before the host has given a place sends nothing and locks nothing.
  transport_.Take();
  g_multiplayerClient->OnClick(kWidgetTextButton, CMultiplayerBattleClientScreen::kReady);
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{});
  EXPECT_NE(g_multiplayerClient->Button(CMultiplayerBattleClientScreen::kReady)->state, kStateGreyed);
  g_multiplayerClient->OnSetSlot(1);
  ASSERT_NE(g_multiplayerClient->HandicapSlider(), nullptr);
  EXPECT_EQ(g_multiplayerClient->Label(9)->text, "") << "the slider stands over the place's label";
  struct Case {
    const char* what;
    int place, colour;
    uint8_t ready;
    bool buttonsWork;
    bool red;
  };
  const Case cases[] = {
      {"own place, not ready", 1, 3, 0, true, false},
      {"own place, ready", 1, 3, 1, false, true},
      {"own place, no colour", 1, -1, 0, false, false},
      {"another guest", 2, 4, 0, false, false},
      {"the host", 0, 0, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPlayerSlot slot;
    slot.SetName("Ann");
    slot.colour = c.colour;
    slot.portrait = c.colour < 0 ? -1 : 5;
    slot.handicap = 20;
    slot.ready = c.ready;
    g_multiplayerClient->UpdatePlayerRow(c.place, slot);
    const CTextLabel* name = g_multiplayerClient->Label(c.place);
    EXPECT_EQ(name->text, "Ann");
    EXPECT_EQ(name->red, c.red ? 180 : 0);
    EXPECT_EQ(g_multiplayerClient->Label(4 + c.place)->text, "20");
    for (int button : {c.place, 4 + c.place})
      EXPECT_EQ(g_multiplayerClient->RowButton(button)->state != kStateDisabled, c.buttonsWork) << button;
    if (c.place == 1) EXPECT_EQ(g_multiplayerClient->HandicapSlider()->state == kStateNormal, c.buttonsWork);
  }
  g_multiplayerClient->UpdatePlayerRow(-1, CPlayerSlot{});  // ignored
  // The own buttons ask the host; the shown look moves to the next free one at once.
  CPlayerSlot own;
  own.SetName("Me");
  own.colour = 3;
  own.portrait = 5;
  own.handicap = 0;
  g_multiplayerClient->UpdatePlayerRow(1, own);
  transport_.Take();
  g_multiplayerClient->OnClick(kWidgetStandardButton, 5);
  g_multiplayerClient->OnClick(kWidgetStandardButton, 1);
  g_multiplayerClient->OnClick(kWidgetStandardButton, 2);  // another's portrait: nothing
  EXPECT_EQ(transport_.Take(), (std::vector<std::string>{"colour 1", "portrait 1"}));
  EXPECT_EQ(g_multiplayerClient->shownColour, 5) << "colour 4 is another guest's";
  g_multiplayerClient->OnClick(kWidgetTextButton, CMultiplayerBattleClientScreen::kReady);
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"ready 1"});
  EXPECT_EQ(g_multiplayerClient->RowButton(5)->state, kStateDisabled) << "locked once ready";
  Frames(1);
  SaveFrame("multiplayer_client_setup.png");
}

TEST_F(MultiplayerSetup, RemoveKicksTheRecordedNameAndStartWaitsForEveryGuest) {
  OpenHost();
  Seat({"Host", "Ann", "Bob"});
  g_multiplayerHost->OnClick(kWidgetStandardButton, CMultiplayerBattleHostScreen::kFirstRemoveButton + 1);
  g_multiplayerHost->OnClick(kWidgetStandardButton, CMultiplayerBattleHostScreen::kFirstRemoveButton + 2);  // empty
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"kick Bob"});

  g_multiplayerHost->OnReady(1);
  transport_.Take();
  g_multiplayerHost->Start();
  EXPECT_TRUE(transport_.Take().empty()) << "Bob is not ready";
  g_multiplayerHost->OnReady(2);
  transport_.Take();
  g_multiplayerHost->Start();
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"begin"});
  EXPECT_EQ(g_multiplayerHost->SettingSlider(0)->state, kStateGreyed);
  // The rules are kept for the next battle hosted here.
  EXPECT_EQ(platform::ReadProfileInt("DEFAULTS-MULTIPLAYER", "mana", -1, "cfg\\QuickBattleSetup.cfg"),
            g_gameSettings.mana);
}

TEST_F(MultiplayerSetup, TryStartGameStartsOnceEverySeatedPlayerIsInTheSession) {
  struct Case {
    int seated, clients;
    bool starts;
  };
  const Case cases[] = {{2, 1, false}, {2, 2, true}, {3, 2, false}, {3, 3, true}, {4, 3, false}, {4, 4, true}};
  const std::vector<std::string> players = {"Host", "Ann", "Bob", "Cid"};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.seated) + " seated, " + std::to_string(c.clients) + " in the session");
    OpenHost();
    Seat(std::vector<std::string>(players.begin(), players.begin() + c.seated));
    g_netHost.clientCount = c.clients;
    EXPECT_EQ(g_multiplayerHost->TryStartGame(), c.starts);
    EXPECT_EQ(g_multiplayerHost->startedGame, c.starts ? 1 : 0);
    if (c.starts) {
      for (int place = 0; place < c.seated; ++place) EXPECT_EQ(g_playerSlots[place].lives, g_gameSettings.lives);
      g_multiplayerHost->AddPlayer("Late");
      EXPECT_EQ(g_multiplayerHost->FindPlayer("Late"), -1) << "no one is seated after the start";
    }
    while (g_screenCount > 0) PopScreen();
    g_netHost.clientCount = 0;
  }
}

TEST_F(MultiplayerSetup, TheHostsRulesComeFromItsDefaultsWithinTheSlidersAndANamedMap) {
  platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "mana", "99999", "cfg\\QuickBattleSetup.cfg");
  platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "lives", "-4", "cfg\\QuickBattleSetup.cfg");
  platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "regionIndex", "999", "cfg\\QuickBattleSetup.cfg");
  OpenHost();
  EXPECT_EQ(g_gameSettings.mana, g_multiplayerHost->SettingSlider(0)->maxValue);
  EXPECT_EQ(g_gameSettings.lives, g_multiplayerHost->SettingSlider(8)->minValue);
  EXPECT_EQ(g_gameSettings.regionIndex, 0);
  EXPECT_EQ(g_multiplayerHost->Label(13)->text, "No Map");
  EXPECT_EQ(g_multiplayerHost->Label(27)->text, std::to_string(g_gameSettings.mana));
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"settings 0"});
  // A slider's change reaches the rules, the label and the others.
  g_multiplayerHost->SettingSlider(2)->ChangeValue(5);
  EXPECT_EQ(g_gameSettings.magicItems, 5);
  EXPECT_EQ(g_multiplayerHost->Label(29)->text, "5");
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"settings 0"});
  SaveFrame("multiplayer_host_setup.png");
}

namespace {

// A start message with the places and settings given, as a guest receives it.
struct StartMessage {
  StartMessage(const CGameSettings& settings, const CPlayerSlot places[4], int clients, int own) {
    uint8_t settingsBytes[kGameSettingsBytes];
    WriteGameSettings(settings, settingsBytes);
    uint8_t slotBytes[4][kPlayerSlotBytes];
    const uint8_t* slots[4];
    for (int i = 0; i < 4; ++i) {
      WritePlayerSlot(places[i], slotBytes[i]);
      slots[i] = slotBytes[i];
    }
    uint8_t items[kMaxWizardSpells];
    for (int i = 0; i < kMaxWizardSpells; ++i) items[i] = static_cast<uint8_t>(i + 1);
    const int32_t setup[6] = {settings.regionIndex, 77, 1234, clients, clients, own};
    bytes = MakeInitialiseMessage(settingsBytes, slots, items, setup);
    EXPECT_TRUE(ReadInitialise(bytes.data(), bytes.size(), *g_netHooks.records, view));
  }
  NetBytes bytes;
  InitialiseView view;
};

}  // namespace

TEST_F(MultiplayerSetup, TheStartGivesTheOwnShareOfTheOfferThenTheSpellBoxOrTheLoadScreen) {
  struct Case {
    const char* what;
    int items, handicap, law;
    size_t learnt;
    bool spellBox;
  };
  const Case cases[] = {
      {"handicap 50 of 5 items", 5, 50, 1, 3, true},
      {"no handicap", 5, 0, 2, 5, true},
      {"all talismans 0", 5, 0, 0, 0, false},
      {"no items", 0, 0, 3, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenClient();
    CGameSettings settings;
    settings.regionIndex = 1;
    settings.magicItems = c.items;
    settings.lawTalisman = c.law;
    settings.selectionTime = 30;
    settings.lives = 2;
    CPlayerSlot places[4];
    for (CPlayerSlot& place : places) place.Reset();
    places[0].SetName("Host");
    places[2].SetName("Me");
    for (int i : {0, 2}) places[i].colour = places[i].portrait = places[i].handicap = 0;
    places[2].handicap = c.handicap;
    const StartMessage start(settings, places, 2, 1);  // the second client sits at place 2
    wizards_.items[1].clear();
    g_multiplayerClient->OnInitialise(start.view);
    EXPECT_EQ(g_netSession.phase, kNetPhaseSetup);
    EXPECT_EQ(g_networkGame, 1);
    EXPECT_EQ(wizards_.items[1].size(), c.learnt);
    if (c.learnt) EXPECT_EQ(wizards_.items[1][0], 1);
    EXPECT_EQ(g_pendingNetBattle.battleSeed, 1234);
    EXPECT_EQ(g_pendingNetBattle.localArmy, 1);
    EXPECT_STREQ(g_playerSlots[2].name, "Me");
    CScreen* next = FramesUntilChange();
    EXPECT_EQ(next, c.spellBox ? static_cast<CScreen*>(g_spellBox) : static_cast<CScreen*>(g_netLoadScreen));
    EXPECT_EQ(g_multiplayerClient->magicItemsPending, c.spellBox ? 1 : 0);
    while (g_screenCount > 0) PopScreen();
    g_netSession.phase = kNetPhaseNone;
  }
}

TEST_F(MultiplayerSetup, ChatGoesToTheTransportAndTheBoxShowsItsOneText) {
  OpenClient();
  CEditBox* line = g_multiplayerClient->ChatLine();
  ASSERT_NE(line, nullptr);
  line->SetText("well met");
  g_multiplayerClient->OnClick(kWidgetTextButton, CMultiplayerBattleSetupScreen::kSend);
  g_multiplayerClient->OnClick(kWidgetTextButton, CMultiplayerBattleSetupScreen::kSend);  // empty: nothing
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"chat well met"});
  EXPECT_STREQ(line->Text(), "");
  g_multiplayerClient->AddConsoleLine("[Ann]: hello", 255, 255, 0);
  EXPECT_EQ(g_multiplayerClient->ChatList()->LineCount(), 1);
  g_multiplayerClient->ShowMessageBox("the host has gone", 3);
  ASSERT_NE(g_multiplayerClient->dialogBox, nullptr);
  EXPECT_EQ(g_multiplayerClient->dialogBox->message, "Refer to refrenece manual");
  Frames(1);
  SaveFrame("multiplayer_client_box.png");
  // Back leaves for the quick battle menu and tells the transport.
  g_multiplayerClient->dialogBox->Close();
  g_multiplayerClient->dialogBox = nullptr;
  g_multiplayerClient->OnClick(kWidgetTextButton, CMultiplayerBattleSetupScreen::kBack);
  EXPECT_EQ(transport_.Take(), std::vector<std::string>{"leave"});
  EXPECT_EQ(FramesUntilChange(), g_quickBattleMenu);
}
