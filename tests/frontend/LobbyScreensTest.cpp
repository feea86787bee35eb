// The online lobby's screens: the main menu's entry, the login boxes (nine characters, Enter
// moves on while a box is empty), the chat screen's lists and lines, and, against a chat
// server of the test's own, the whole road from a failed and a good login through the chat to
// the host's battle set-up and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestSupport.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "forge/LobbyLayouts.h"
#include "forge/MultiplayerSetupLayouts.h"
#include "frontend/LobbyChat.h"
#include "frontend/LobbyLogin.h"
#include "frontend/MainMenu.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/ScreenTable.h"
#include "net/ChatFormats.h"
#include "net/LobbySession.h"
#include "platform/Clock.h"
#include "support/IrcServer.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/TextButton.h"

using namespace frontend_test;
using forge::WidgetKind;

namespace {

// Another user of the lobby, outside the screens: what reaches it.
struct OtherUser : CNetScreen {
  OtherUser() {
    session.handler = this;
    session.pumpWindow = nullptr;
  }
  ~OtherUser() override { session.Release(); }
  void AddConsoleLine(const char* text, int, int, int) override { lines.push_back(text); }
  bool Heard(const std::string& part) const {
    for (const std::string& line : lines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  CLobbySession session;
  std::vector<std::string> lines;
};

class LobbyScreens : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    ASSERT_TRUE(LoadChatFormats("cfg\\chatmessage.cfg"));
    ASSERT_TRUE(LoadChatStringTable("cfg\\chatmessage.cfg"));
    savedPump_ = g_lobbySession.pumpWindow;
    g_lobbySession.pumpWindow = nullptr;
    g_prefs.lobbyLoginName.clear();
    g_prefs.lobbyPassword.clear();
  }
  void TearDown() override {
    while (g_screenCount > 0) PopScreen();
    g_lobbySession.Release();
    g_lobbySession.handler = nullptr;
    g_lobbySession.pumpWindow = savedPump_;
    g_prefs.Reset();
    FrontEnd::TearDown();
  }
  void Type(const std::string& text) {
    for (char c : text) g_currentScreen->OnMessage(nullptr, platform::WM_CHAR, static_cast<uintptr_t>(c), 0);
  }
  // Frames, and the other users' components, until the condition holds (at most 20 s: the
  // server lets each connection through at about three lines a second).
  bool FramesUntil(const std::function<bool()>& condition, std::initializer_list<OtherUser*> others = {}) {
    const uint32_t start = platform::TickCount();
    while (platform::TickCount() - start < 20000) {
      Frames(1);
      for (OtherUser* other : others) other->session.Pump();
      if (condition()) return true;
      platform::SleepMs(5);
    }
    return false;
  }
  std::vector<std::string> Items(const CListBox* list) {
    std::vector<std::string> texts;
    if (list)
      for (const CListBox::Item& item : list->items) texts.push_back(item.text);
    return texts;
  }
  std::function<void()> savedPump_;
  const forge::ScreenLayout chatLayout_ = forge::LobbyChatLayout();
};

}  // namespace

TEST(LobbyLines, AUserLineMarksOperatorAndSelfAndIsUsedByItsFirstWord) {
  EXPECT_EQ(LobbyUserLine("ann", 0, 0), "ann");
  EXPECT_EQ(LobbyUserLine("ann", 1, 0), "ann +");
  EXPECT_EQ(LobbyUserLine("ann", 0, 1), "ann *");
  EXPECT_EQ(LobbyUserLine("ann", 1, 1), "ann + *");
  EXPECT_EQ(FirstWord("tavern  3"), "tavern");
  EXPECT_EQ(FirstWord("ann + *"), "ann");
  EXPECT_EQ(FirstWord("  "), "");
  EXPECT_EQ(FirstWord(nullptr), "");
}

TEST_F(LobbyScreens, TheMenusEntryOpensTheLoginWhoseBoxesTakeNineCharacters) {
  g_prefs.lobbyLoginName = "Morgana_le_Fay";  // kept longer by an older program
  Open(g_mainMenu);
  ClickWidget(forge::MainMenuLayout(), WidgetKind::kTextButton, 4);
  ASSERT_EQ(FramesUntilChange(), g_lobbyLogin);
  EXPECT_EQ(g_networkGame, 1);
  EXPECT_EQ(g_gameMode, kGameModeLobby);
  CEditBox* name = g_lobbyLogin->NameBox();
  CEditBox* password = g_lobbyLogin->PasswordBox();
  ASSERT_TRUE(name && password);
  EXPECT_EQ(g_lobbyLogin->controls.Focused(), name);
  EXPECT_STREQ(name->Text(), "Morgana_l");
  EXPECT_EQ(password->masked, 1);

  // Enter in the name box with an empty password moves the focus and sends nothing.
  Key(platform::VK_RETURN);
  EXPECT_EQ(g_lobbyLogin->controls.Focused(), password);
  EXPECT_EQ(g_lobbySession.Component(), nullptr);
  Type("abcdefghijkl");
  EXPECT_STREQ(password->Text(), "abcdefghi");
  // Enter in the password box with an empty name moves back to the name box.
  name->SetText("");
  Key(platform::VK_RETURN);
  EXPECT_EQ(g_lobbyLogin->controls.Focused(), name);
  EXPECT_EQ(g_lobbySession.Component(), nullptr);
  Frames(1);
  SaveFrame("lobby_login.png");

  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), g_mainMenu);
}

TEST_F(LobbyScreens, TheChatScreensListsKeepTheirSelectionAndShowTheChannel) {
  Open(g_lobbyChat);
  CListBox* channels = g_lobbyChat->List(CLobbyChatScreen::kChannelList);
  CListBox* users = g_lobbyChat->List(CLobbyChatScreen::kUserList);
  ASSERT_TRUE(channels && users);
  EXPECT_EQ(g_lobbySession.handler, g_lobbyChat);
  EXPECT_EQ(g_lobbyChat->controls.Focused(), g_lobbyChat->Line());
  // The two buttons with nothing to do are not there.
  EXPECT_EQ(g_lobbyChat->controls.Count(), 1 + CLobbyChatScreen::kButtonCount - 2 + 2 + 2);

  g_lobbyChat->BeginChannelList();
  for (const char* line : {"inn  2", "tavern  3", "well"}) g_lobbyChat->AddChannelLine(line);
  channels->Select(1);
  g_lobbyChat->BeginChannelList();  // a new list keeps the channel chosen, whatever its count now
  for (const char* line : {"inn  2", "well", "tavern  4"}) g_lobbyChat->AddChannelLine(line);
  EXPECT_EQ(Items(channels), (std::vector<std::string>{"inn  2", "well", "tavern  4"}));
  EXPECT_EQ(channels->items[2].selected, 1);
  g_lobbyChat->SetCurrentChannel("inn");
  EXPECT_EQ(g_lobbyChat->Label(0)->text, "Channel: inn");
  EXPECT_EQ(channels->items[0].selected, 1);

  g_lobbyChat->BeginUserList();
  g_lobbyChat->AddUser("me", 0, 1);
  g_lobbyChat->AddUser("ann", 1, 0);
  g_lobbyChat->AddUser("bob", 0, 0);
  users->items[1].selected = users->items[2].selected = 1;
  EXPECT_EQ(g_lobbyChat->SelectedUsers(), (std::vector<std::string>{"ann", "bob"}));
  g_lobbyChat->BeginUserList();  // the selected users stay selected in the new list
  g_lobbyChat->AddUser("bob", 0, 0);
  g_lobbyChat->AddUser("me", 0, 1);
  g_lobbyChat->AddUser("ann", 1, 0);
  EXPECT_EQ(g_lobbyChat->SelectedUsers(), (std::vector<std::string>{"bob", "ann"}));
  g_lobbyChat->RemoveUser("ann", 0, 0);  // not the line of an operator: stays
  g_lobbyChat->RemoveUser("bob", 0, 0);
  EXPECT_EQ(Items(users), (std::vector<std::string>{"me *", "ann +"}));

  // The lobby's own notices (black) take the console's light colour; chat keeps its own.
  g_lobbyChat->AddConsoleLine("notice", 0, 0, 0);
  g_lobbyChat->AddConsoleLine("chat", 128, 200, 255);
  const auto& lines = g_lobbyChat->Console()->lines;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines.front().red + lines.front().green + lines.front().blue, 0);
  EXPECT_EQ(lines.back().red, 128);
}

// One chat server for the road: a wrong password, a good login, a channel with two others who
// are spoken to privately at once, a game created and left again.
TEST_F(LobbyScreens, FromTheLoginThroughTheChatToTheHostsSetUpAndBack) {
  if (!testing_support::IrcServer::Installed()) GTEST_SKIP() << "ngircd is not installed";
  testing_support::IrcServer server;
  ASSERT_TRUE(server.Running()) << server.Log();
  std::snprintf(g_lobbyServer, sizeof g_lobbyServer, "127.0.0.1");
  g_lobbyPort = server.Port();
  g_lobbyTimeOut = 15000;

  Open(g_lobbyLogin);
  Type("carol");
  Key(platform::VK_TAB);
  Type("wrong");
  Key(platform::VK_RETURN);
  // The server's refusal: its box, still the login screen, everything released.
  ASSERT_TRUE(g_lobbyLogin->BoxOpen());
  EXPECT_EQ(g_lobbyLogin->dialogBox->message, g_chatStrings.Get(3));
  EXPECT_EQ(g_lobbySession.Component(), nullptr);
  Frames(8);
  EXPECT_EQ(g_currentScreen, g_lobbyLogin);
  Key(platform::VK_RETURN);  // OK
  EXPECT_FALSE(g_lobbyLogin->BoxOpen());

  g_lobbyLogin->PasswordBox()->SetText(server.Password().c_str());
  g_lobbyLogin->controls.SetFocus(g_lobbyLogin->PasswordBox());
  Key(platform::VK_RETURN);
  EXPECT_EQ(g_prefs.lobbyLoginName, "carol");
  EXPECT_EQ(g_prefs.lobbyPassword, server.Password());
  ASSERT_EQ(FramesUntilChange(), g_lobbyChat);
  EXPECT_EQ(g_lobbySession.handler, g_lobbyChat);
  EXPECT_EQ(g_lobbyChat->Console()->lines.front().text.find("Welcome to the test lobby") != std::string::npos, true);

  Type("tavern");
  ClickWidget(chatLayout_, WidgetKind::kTextButton, 3);  // join
  CListBox* users = g_lobbyChat->List(CLobbyChatScreen::kUserList);
  ASSERT_TRUE(FramesUntil([&] { return g_lobbySession.InChannel(); }));
  OtherUser dave, erin;
  for (auto [user, name] : {std::pair{&dave, "dave"}, std::pair{&erin, "erin"}}) {
    user->session.SetLogin(name, server.Password().c_str());
    user->session.Connect();
    ASSERT_TRUE(user->session.connected) << name;
    user->session.JoinChannel("tavern");
  }
  ASSERT_TRUE(FramesUntil([&] { return Items(users).size() == 3; }, {&dave, &erin})) << ::testing::PrintToString(Items(users));
  EXPECT_EQ(Items(users)[0], "carol + *");
  EXPECT_EQ(g_lobbyChat->Label(0)->text, "Channel: tavern");

  // Both others selected: the line goes to each privately, and once to the own console.
  for (CListBox::Item& item : users->items) item.selected = item.text != "carol + *";
  const size_t before = g_lobbyChat->Console()->lines.size();
  Type("meet at dawn");
  Key(platform::VK_RETURN);
  ASSERT_TRUE(FramesUntil([&] { return dave.Heard("meet at dawn") && erin.Heard("meet at dawn"); }, {&dave, &erin}));
  int shown = 0;
  for (const auto& line : g_lobbyChat->Console()->lines) shown += line.text.find("meet at dawn") != std::string::npos;
  EXPECT_EQ(shown, 1);
  EXPECT_GT(g_lobbyChat->Console()->lines.size(), before);
  SaveFrame("lobby_chat.png");

  // A refresh where the channel record says so lists only this user (no " +": this user
  // joined the chat channel, it did not create a game).
  g_lobbySession.currentChannel.fourthWord = 1;
  ClickWidget(chatLayout_, WidgetKind::kTextButton, 5);
  EXPECT_EQ(Items(users), (std::vector<std::string>{"carol *"}));
  g_lobbySession.currentChannel.fourthWord = 0;

  // A game created leads to the host's set-up over the lobby, with this user at place 0.
  Type("duel");
  ClickWidget(chatLayout_, WidgetKind::kTextButton, 12);
  ASSERT_EQ(FramesUntilChange(), g_multiplayerHost);
  EXPECT_EQ(g_multiplayerHost->transport, &g_lobbySession);
  EXPECT_EQ(g_multiplayerHost->cameFrom, kScreenLobby);
  EXPECT_EQ(g_lobbySession.handler, g_multiplayerHost);
  ASSERT_TRUE(FramesUntil([] { return std::string(g_playerSlots[0].name) == "carol"; }));
  EXPECT_TRUE(g_lobbySession.InGameChannel());

  // Back: the game channel is left and the chat screen listens again.
  ClickWidget(forge::MultiplayerSetupLayout(), WidgetKind::kTextButton, 2);
  ASSERT_TRUE(FramesUntil([] { return g_currentScreen == g_lobbyChat; }));
  EXPECT_FALSE(g_lobbySession.InChannel());
  EXPECT_EQ(g_lobbySession.handler, g_lobbyChat);

  // Leaving the lobby logs off and passes the login screen on the way back.
  ClickWidget(chatLayout_, WidgetKind::kTextButton, 2);
  ASSERT_TRUE(FramesUntil([&] { return g_currentScreen == &bottom_; }));
  EXPECT_EQ(g_lobbySession.Component(), nullptr);
}
