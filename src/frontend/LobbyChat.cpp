#include "frontend/LobbyChat.h"

#include <algorithm>

#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/ScreenTable.h"
#include "net/LobbySession.h"
#include "ui/Cursor.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/RadioButton.h"
#include "ui/TextButton.h"

CLobbyChatScreen* g_lobbyChat = nullptr;

namespace {

std::vector<MenuWidget> ChatWidgets() {
  // The line first: it takes the focus, so the player can type at once.
  std::vector<MenuWidget> widgets{{kWidgetEditBox, 1, true}};
  for (int n = 1; n <= CLobbyChatScreen::kButtonCount; ++n) widgets.push_back({kWidgetTextButton, n, true});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetRadioButton, n, true});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetListBox, n, true});
  widgets.push_back({kWidgetMessageListBox, 1, false});
  widgets.push_back({kWidgetText, 1, false});
  return widgets;
}

// The text of the first selected line ("" for none).
std::string SelectedLine(const CListBox* list) {
  if (!list) return "";
  for (const CListBox::Item& item : list->items)
    if (item.selected) return item.text;
  return "";
}

int FindByFirstWord(const CListBox* list, const std::string& word) {
  if (!list || word.empty()) return -1;
  for (size_t n = 0; n < list->items.size(); ++n)
    if (FirstWord(list->items[n].text.c_str()) == word) return static_cast<int>(n);
  return -1;
}

}  // namespace

std::string LobbyUserLine(const char* name, uint8_t isOperator, uint8_t own) {
  std::string line = name ? name : "";
  if (isOperator) line += " +";
  if (own) line += " *";
  return line;
}

std::string FirstWord(const char* line) {
  std::string text = line ? line : "";
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  const size_t end = text.find(' ', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

CLobbyChatScreen::CLobbyChatScreen()
    : CLobbyScreen(kScreenLobby, "Interface\\LobbyChat\\", "screen (Lobby Chat).cfg", ChatWidgets()) {}

CMessageListBox* CLobbyChatScreen::Console() const {
  return static_cast<CMessageListBox*>(ControlOf(kWidgetMessageListBox, 0));
}

CEditBox* CLobbyChatScreen::Line() const { return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0)); }

void CLobbyChatScreen::AfterLoad() {
  WithdrawControl(kWidgetTextButton, kUnused10);
  WithdrawControl(kWidgetTextButton, kUnused11);
  if (!channelChosen_) channelChosen_ = std::make_unique<CFunctionCallback>([this](int) { ChooseChannel(); });
  // A click in the channel list chooses the channel; one in the user list only selects.
  if (CListBox* channels = List(kChannelList)) channels->onLeftClick = channelChosen_.get();
  if (CListBox* users = List(kUserList)) {
    users->onLeftClick = nullptr;
    users->SetMultiSelect(1);
    users->toggleSelect = 1;
  }
  SelectRadio(g_lobbySession.shownType == platform::kIrcGameChannel ? kGameChannels : kChatChannels);
}

void CLobbyChatScreen::Enter() {
  if (loaded) return;
  abortFlag = 0;
  setupNext_ = nullptr;
  rememberedChannel_.clear();
  rememberedUsers_.clear();
  SetCursorKind(kCursorNormal);
  CLobbyScreen::Enter();
  g_lobbySession.handler = this;
  g_lobbySession.ShowServerMessage();
}

void CLobbyChatScreen::Exit() {
  g_lobbySession.Release();
  if (g_lobbySession.handler == this) g_lobbySession.handler = nullptr;
  setupNext_ = nullptr;
  CLobbyScreen::Exit();
}

void CLobbyChatScreen::Suspend() {
  CLobbyScreen::Suspend();
  if (setupNext_) {
    setupNext_->transport = &g_lobbySession;
    setupNext_->cameFrom = kScreenLobby;
    g_lobbySession.handler = setupNext_;
  }
}

void CLobbyChatScreen::Resume() {
  pendingPush = nullptr;
  setupNext_ = nullptr;
  CLobbyScreen::Resume();
  g_lobbySession.handler = this;
  g_lobbySession.abortFlag = 0;
  if (g_lobbySession.InChannel())
    g_lobbySession.Leave();  // Escape during a game channel's wait: Abort, and the screen closes
  else
    g_lobbySession.RefreshPlayers();
  SelectRadio(g_lobbySession.shownType == platform::kIrcGameChannel ? kGameChannels : kChatChannels);
}

void CLobbyChatScreen::AfterDraw() {
  // A lost connection ends the lobby as an abort does, once its box has been read.
  if (!g_lobbySession.connected) abortFlag = 1;
  if (abortFlag) {
    if (!BoxOpen() && !closeRequested) LeaveClosing();
    return;
  }
  // While a set-up screen is on its way, what arrives waits for it: the host's first places
  // and settings must reach the screen that shows them.
  if (pendingPush) return;
  g_lobbySession.Pump();
  FollowRadioButtons();
}

void CLobbyChatScreen::FollowRadioButtons() {
  auto* chat = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, kChatChannels));
  auto* games = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, kGameChannels));
  if (chat && chat->Selected() && g_lobbySession.shownType != platform::kIrcChatChannel)
    g_lobbySession.ShowChatChannels();
  else if (games && games->Selected() && g_lobbySession.shownType != platform::kIrcGameChannel)
    g_lobbySession.ShowGameChannels();
}

void CLobbyChatScreen::SelectRadio(int radio) {
  auto* button = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, radio));
  if (button && button->group && !button->Selected()) button->group->Select(button, false);
}

void CLobbyChatScreen::OnClick(int type, int index) {
  if (!loaded || BoxOpen() || pendingPush) return;
  if (type == kWidgetEditBox) {
    SendLine(false);
    return;
  }
  if (type != kWidgetTextButton) return;
  switch (index) {
    case kAction:
      SendLine(true);
      break;
    case kLeaveLobby:
      LeaveClosing();  // Exit logs off; the login screen below closes behind this one
      break;
    case kJoin:
      JoinTypedChannel();
      break;
    case kLeaveChannel:
      g_lobbySession.Leave();
      break;
    case kRefresh:
      Refresh();
      break;
    case kIgnore:
      g_lobbySession.ToggleIgnoreUsers(SelectedUsers());
      break;
    case kBan:
      g_lobbySession.BanUsers(SelectedUsers());
      break;
    case kKick:
      g_lobbySession.KickUsers(SelectedUsers());
      break;
    case kAway:
      g_lobbySession.ToggleAway();
      break;
    case kCreateGame:
      CreateGame();
      break;
    default:
      break;
  }
  // Typing is what the lobby is for: after a button the keys go to the line again.
  if (loaded && !pendingPush && Line()) controls.SetFocus(Line());
}

std::string CLobbyChatScreen::TakeLine() {
  CEditBox* line = Line();
  if (!line) return "";
  std::string text = line->Text();
  line->SetText("");
  return text;
}

std::vector<std::string> CLobbyChatScreen::SelectedUsers() {
  std::vector<std::string> names;
  if (const CListBox* users = List(kUserList))
    for (const CListBox::Item& item : users->items)
      if (item.selected) names.push_back(FirstWord(item.text.c_str()));
  return names;
}

void CLobbyChatScreen::SendLine(bool action) {
  const std::string text = TakeLine();
  if (text.empty()) return;
  NetUserList users = SelectedUsers();
  if (!users.empty()) {
    if (action)
      g_lobbySession.SendPrivateAction(std::move(users), text.c_str());
    else
      g_lobbySession.SendPrivateChat(std::move(users), text.c_str());
  } else if (action) {
    g_lobbySession.SendAction(text.c_str());
  } else {
    g_lobbySession.SendChat(text.c_str());
  }
}

void CLobbyChatScreen::JoinTypedChannel() {
  const std::string name = TakeLine();
  if (name.empty()) return;
  SelectRadio(kChatChannels);
  g_lobbySession.ShowChatChannels();
  g_lobbySession.JoinChannel(name.c_str());
}

void CLobbyChatScreen::Refresh() {
  if (CListBox* users = List(kUserList)) users->Clear();
  g_lobbySession.RefreshPlayers();
}

void CLobbyChatScreen::CreateGame() {
  const std::string name = TakeLine();
  if (name.empty()) return;
  SelectRadio(kGameChannels);
  g_lobbySession.ShowGameChannels();
  if (g_lobbySession.CreateGameChannel(name.c_str())) GoToSetup(g_multiplayerHost);
}

void CLobbyChatScreen::ChooseChannel() {
  if (!loaded || BoxOpen() || pendingPush) return;
  const std::string name = FirstWord(SelectedLine(List(kChannelList)).c_str());
  if (name.empty()) return;
  auto* games = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, kGameChannels));
  const bool game = games && games->Selected();
  if (g_lobbySession.JoinChannelWithKey(name.c_str(), "") && game) GoToSetup(g_multiplayerClient);
}

void CLobbyChatScreen::GoToSetup(CMultiplayerBattleSetupScreen* setup) {
  if (!setup) return;
  setupNext_ = setup;
  setup->transport = &g_lobbySession;
  setup->cameFrom = kScreenLobby;
  g_lobbySession.handler = setup;
  LeaveTo(setup);
}

// --- the console and the lists ----------------------------------------------------------------

void CLobbyChatScreen::AddConsoleLine(const char* text, int red, int green, int blue) {
  if (CMessageListBox* console = Console()) console->AddMessage(text ? text : "", red, green, blue);
}

void CLobbyChatScreen::BeginChannelList() {
  CListBox* channels = List(kChannelList);
  if (!channels) return;
  rememberedChannel_ = FirstWord(SelectedLine(channels).c_str());
  channels->Clear();
}

void CLobbyChatScreen::AddChannelLine(const char* text) {
  CListBox* channels = List(kChannelList);
  if (!channels) return;
  channels->AddItem(text ? text : "");
  if (!rememberedChannel_.empty() && FirstWord(text) == rememberedChannel_) channels->Select(channels->ItemCount() - 1);
}

void CLobbyChatScreen::RemoveChannelLine(const char* text) {
  if (CListBox* channels = List(kChannelList)) channels->RemoveItem(text ? text : "");
}

void CLobbyChatScreen::SetCurrentChannel(const char* channel) {
  const std::string name = channel ? channel : "";
  if (CTextLabel* label = Label(0)) {
    const CWidgetConfig* config = WidgetConfig(kWidgetText, 0);
    const std::string caption = config ? config->text : "";
    label->SetText((caption + " " + name).c_str());
  }
  CListBox* channels = List(kChannelList);
  if (!channels) return;
  const int line = FindByFirstWord(channels, name);
  if (line >= 0) channels->Select(line);
  // The server names a joined channel's users only when asked: the list shows who is there at
  // once. (A game channel's users are the set-up screen's to ask for.)
  if (!name.empty() && g_lobbySession.InChannel() && !g_lobbySession.InGameChannel()) g_lobbySession.RefreshPlayers();
}

void CLobbyChatScreen::BeginUserList() {
  CListBox* users = List(kUserList);
  if (!users) return;
  rememberedUsers_ = SelectedUsers();
  users->Clear();
}

void CLobbyChatScreen::AddUser(const char* name, uint8_t isOperator, uint8_t own) {
  CListBox* users = List(kUserList);
  if (!users) return;
  users->AddItem(LobbyUserLine(name, isOperator, own).c_str());
  const std::string word = name ? name : "";
  auto remembered = std::find(rememberedUsers_.begin(), rememberedUsers_.end(), word);
  if (remembered == rememberedUsers_.end()) return;
  users->items.back().selected = 1;
  rememberedUsers_.erase(remembered);
}

void CLobbyChatScreen::RemoveUser(const char* name, uint8_t isOperator, uint8_t own) {
  if (CListBox* users = List(kUserList)) users->RemoveItem(LobbyUserLine(name, isOperator, own).c_str());
}
