#include "net/LobbySession.h"

#include "core/Options.h"
#include "net/ChatFormats.h"
#include "net/NetScreen.h"
#include "platform/Clock.h"
#include "platform/IrcLine.h"
#include "platform/KeyState.h"
#include "ui/Screen.h"

CLobbySession g_lobbySession;

namespace {

constexpr uint32_t kWaitSliceMs = 5;
// Chat strings of the failures the waits show.
constexpr int kStrServerList = 0;
constexpr int kStrLoginFailed = 5;
constexpr int kStrJoinFailed = 27;
constexpr int kStrCreateFailed = 28;

void PumpWindowMessages() { PumpMessages(); }

}  // namespace

void LobbyConsoleLine(CNetScreen* screen, int n, std::initializer_list<const char*> args) {
  if (!screen) return;
  const char* format = g_chatStrings.Get(n);
  char line[kChatLineSize];
  FormatChatText(line, sizeof line, format ? format : "", args.begin(), static_cast<int>(args.size()));
  screen->AddConsoleLine(line, 0, 0, 0);
}

CLobbySession::CLobbySession() : pumpWindow(PumpWindowMessages), sink_(*this) {}

CLobbySession::~CLobbySession() {
  if (g_lobbyTransport == this) g_lobbyTransport = nullptr;
}

bool CLobbySession::WaitFor(const std::function<bool()>& done, int failureText) {
  const uint32_t start = platform::TickCount();
  for (;;) {
    if (abortFlag) return false;
    // Escape is looked at before the component runs, so that a held key ends the wait before
    // anything more happens, however fast the server answers.
    if (platform::IsKeyDownNow(platform::kKeyEscape)) {
      abortFlag = 1;
      return false;
    }
    if (pumpWindow) pumpWindow();
    if (component_) component_->Pump();
    if (done()) return true;
    if (abortFlag) return false;
    if (platform::TickCount() - start >= static_cast<uint32_t>(g_lobbyTimeOut)) {
      if (handler && failureText >= 0) {
        const char* text = g_chatStrings.Get(failureText);
        handler->ShowMessageBox(text ? text : "", 1);
      }
      abortFlag = 1;
      return false;
    }
    platform::SleepMs(kWaitSliceMs);
  }
}

void CLobbySession::SetLogin(const char* name, const char* newPassword) {
  loginName = name ? name : "";
  password = newPassword ? newPassword : "";
}

void CLobbySession::Connect() {
  component_ = std::make_unique<platform::IrcClient>(sink_);
  g_lobbyTransport = this;
  abortFlag = serverFound = connected = 0;
  component_->RequestServerList(g_lobbyServer, static_cast<uint16_t>(g_lobbyPort), loginName, password);
  if (!WaitFor([this] { return serverFound != 0; }, kStrServerList)) {
    if (handler) handler->Abort();
    return;
  }
  if (!component_->Connect(server)) abortFlag = 1;
  if (!WaitFor([this] { return connected != 0; }, kStrLoginFailed)) {
    if (handler) handler->Abort();
    return;
  }
  component_->SetAway(awayFlag != 0);
  component_->ListChannels(shownType);
}

void CLobbySession::Release() {
  motd.clear();
  if (component_ && connected) {
    component_->Logoff();
    abortFlag = 0;
    WaitFor([this] { return connected == 0; }, -1);
  }
  component_.reset();
  connected = 0;
  currentChannel = platform::IrcChannel{};
  gameUsers.clear();
  if (g_lobbyTransport == this) g_lobbyTransport = nullptr;
}

void CLobbySession::Disconnect() { Release(); }

void CLobbySession::Pump() {
  if (component_) component_->Pump();
}

void CLobbySession::ShowServerMessage() {
  if (handler && !motd.empty()) handler->AddConsoleLine(motd.c_str(), 0, 0, 0);
}

void CLobbySession::ConsoleOwnLine(int kind, const char* text) {
  if (!handler) return;
  const std::string clean = platform::DropControlCharacters(text ? text : "");
  FormatChatLine(*handler, g_chatFormats.formats[kind], loginName.c_str(), clean.c_str());
}

bool CLobbySession::SendChat(const char* text) {
  if (component_) component_->SendPublic(text ? text : "");
  ConsoleOwnLine(kChatPublicMessage, text);
  return true;
}

void CLobbySession::SendPrivateChat(NetUserList users, const char* text) {
  if (component_)
    for (const std::string& user : users) component_->SendPrivate(user, text ? text : "");
  ConsoleOwnLine(kChatPrivateMessage, text);
}

void CLobbySession::SendAction(const char* text) {
  if (component_) component_->SendPublicAction(text ? text : "");
  ConsoleOwnLine(kChatPublicAction, text);
}

void CLobbySession::SendPrivateAction(NetUserList users, const char* text) {
  if (component_)
    for (const std::string& user : users) component_->SendPrivateAction(user, text ? text : "");
  ConsoleOwnLine(kChatPrivateAction, text);
}

void CLobbySession::ToggleIgnoreUsers(NetUserList users) {
  if (!component_) return;
  for (const std::string& user : users) component_->SetIgnore(user, !component_->IsIgnored(user));
}

void CLobbySession::KickUsers(NetUserList users) {
  if (component_)
    for (const std::string& user : users) component_->Kick(user);
}

void CLobbySession::BanUsers(NetUserList users) {
  if (component_)
    for (const std::string& user : users) component_->Ban(user);
}

void CLobbySession::LeaveIfInChannel() {
  if (component_ && InChannel()) component_->LeaveChannel();
}

void CLobbySession::ShowChatChannels() {
  if (shownType == platform::kIrcChatChannel || !component_) return;
  LeaveIfInChannel();
  shownType = platform::kIrcChatChannel;
  component_->SelectChannelType(shownType);
  component_->ListChannels(shownType);
}

void CLobbySession::ShowGameChannels() {
  if (shownType == platform::kIrcGameChannel || !component_) return;
  LeaveIfInChannel();
  shownType = platform::kIrcGameChannel;
  component_->SelectChannelType(shownType);
  component_->ListChannels(shownType);
}

void CLobbySession::JoinChannel(const char* channel) {
  if (!component_) return;
  LeaveIfInChannel();
  platform::IrcChannel record;
  record.type = platform::kIrcChatChannel;
  record.name = channel ? channel : "";
  if (!component_->JoinChannel(record) && handler) {
    const char* text = g_chatStrings.Get(kStrJoinFailed);
    handler->ShowMessageBox(text ? text : "", 0);
  }
}

bool CLobbySession::CreateGameChannel(const char* channel) {
  if (!component_) return false;
  const std::string name = channel ? channel : "";
  LeaveIfInChannel();
  platform::IrcChannel record;
  record.type = platform::kIrcGameChannel;
  record.name = name;
  if (!component_->JoinChannel(record)) {
    if (handler) {
      const char* text = g_chatStrings.Get(kStrCreateFailed);
      handler->ShowMessageBox(text ? text : "", 0);
    }
    return false;
  }
  abortFlag = 0;
  if (WaitFor([this, &name] { return currentChannel.name == name; }, kStrCreateFailed)) return true;
  if (component_) component_->LeaveChannel();
  return false;
}

bool CLobbySession::JoinChannelWithKey(const char* channel, const char* key) {
  if (!component_) return false;
  const std::string name = channel ? channel : "";
  if (InChannel() && currentChannel.name == name) return true;
  LeaveIfInChannel();
  platform::IrcChannel record;
  record.type = shownType;
  record.name = name;
  record.key = key ? key : "";
  if (!component_->JoinChannelWithKey(record)) {
    if (handler) {
      const char* text = g_chatStrings.Get(kStrJoinFailed);
      handler->ShowMessageBox(text ? text : "", 0);
    }
    return false;
  }
  if (shownType != platform::kIrcGameChannel) return true;
  abortFlag = 0;
  if (WaitFor([this, &name] { return currentChannel.name == name; }, kStrJoinFailed)) return true;
  if (component_) component_->LeaveChannel();
  return false;
}

bool CLobbySession::Leave() {
  abortFlag = 0;
  if (!component_ || !InChannel()) return true;
  const bool game = InGameChannel();
  component_->LeaveChannel();
  if (!game) return true;
  if (WaitFor([this] { return !InChannel(); }, -1)) return true;
  if (handler) handler->Abort();
  return false;
}

void CLobbySession::ToggleAway() {
  awayFlag = awayFlag ? 0 : 1;
  if (component_) component_->SetAway(awayFlag != 0);
}

void CLobbySession::RefreshPlayers() {
  if (!component_) return;
  component_->ListChannels(shownType);
  if (!InChannel()) return;
  if (currentChannel.fourthWord != 1) {
    component_->ListUsers();
    return;
  }
  if (!handler) return;
  handler->BeginUserList();
  handler->AddUser(loginName.c_str(), hostFlag, 1);
  if (InGameChannel()) {
    platform::IrcUser self;
    self.name = loginName;
    self.isOperator = hostFlag != 0;
    self.self = true;
    gameUsers = {self};
  }
}

std::string CLobbySession::GetPlayerName() { return currentChannel.name; }

void CLobbySession::BeginGame() {
  if (component_) {
    const std::string address = g_lobbyGameAddress[0] ? std::string(g_lobbyGameAddress) : component_->LocalAddress();
    component_->AnnounceGame(address);
  }
  if (handler) handler->CreateSession();
}
