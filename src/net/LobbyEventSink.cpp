// The chat component's events as the lobby's screens see them.
#include <algorithm>
#include <cstdio>

#include "net/ChatFormats.h"
#include "net/LobbySession.h"
#include "net/NetScreen.h"
#include "platform/IrcLine.h"

using platform::IrcChannel;
using platform::IrcUser;

namespace {

constexpr int kGame = platform::kIrcGameChannel;

// The connection's failures by their result: name taken, server password, name not allowed,
// anything else.
int LoginFailureText(int32_t hr) {
  if (hr == platform::kIrcNickInUse) return 2;
  if (hr == platform::kIrcBadPassword) return 3;
  if (hr == platform::kIrcBadNick) return 4;
  return 5;
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out = text;
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  return out;
}

void ShowBox(CNetScreen* screen, int n, int value) {
  if (!screen) return;
  const char* text = g_chatStrings.Get(n);
  screen->ShowMessageBox(text ? text : "", value);
}

void RemoveFromTable(std::vector<IrcUser>& table, const std::string& name) {
  table.erase(
      std::remove_if(table.begin(), table.end(), [&](const IrcUser& u) { return platform::IrcSameName(u.name, name); }),
      table.end());
}

void ChatLine(CNetScreen* screen, int kind, const std::string& name, const std::string& text) {
  if (screen) FormatChatLine(*screen, g_chatFormats.formats[kind], name.c_str(), text.c_str());
}

}  // namespace

void CLobbyEventSink::ServerList(int32_t hr, const std::vector<platform::IrcServer>& servers) {
  if (hr < 0) {
    ShowBox(session_.handler, 0, 1);
    session_.abortFlag = 1;
    return;
  }
  for (const platform::IrcServer& server : servers) {
    if (server.kind != "IRC") continue;
    session_.server = server;
    session_.server.name = session_.loginName;
    session_.server.password = session_.password;
    session_.serverFound = 1;
    return;
  }
}

void CLobbyEventSink::Connected(int32_t hr, const std::string& motd) {
  CNetScreen* screen = session_.handler;
  if (hr < 0) {
    ShowBox(screen, LoginFailureText(hr), 1);
    session_.abortFlag = 1;
    return;
  }
  session_.motd = WithoutCarriageReturns(motd);
  if (screen && !session_.motd.empty()) screen->AddConsoleLine(session_.motd.c_str(), 0, 0, 0);
  session_.shownType = platform::kIrcChatChannel;
  platform::IrcClient* component = session_.Component();
  if (component) component->SelectChannelType(0);
  const std::string users = std::to_string(component ? component->UserCount() : -1);
  LobbyConsoleLine(screen, 1, {users.c_str()});
  session_.connected = 1;
}

void CLobbyEventSink::MessageOfTheDay(int32_t hr, const std::string& text) {
  if (hr < 0) return;
  session_.motd = WithoutCarriageReturns(text);
  if (session_.handler) session_.handler->AddConsoleLine(session_.motd.c_str(), 0, 0, 0);
}

void CLobbyEventSink::ChannelList(int32_t hr, const std::vector<IrcChannel>& channels) {
  CNetScreen* screen = session_.handler;
  if (hr < 0 || !screen) return;
  screen->BeginChannelList();
  for (const IrcChannel& channel : channels) {
    if (channel.type != session_.shownType) continue;
    std::string line = channel.name;
    if (channel.userCount != -1) line += "  " + std::to_string(channel.userCount);
    screen->AddChannelLine(line.c_str());
  }
}

void CLobbyEventSink::LeftChannel() {
  session_.currentChannel = IrcChannel{};
  session_.gameUsers.clear();
  if (CNetScreen* screen = session_.handler) {
    screen->SetCurrentChannel("");
    screen->BeginUserList();
  }
  if (platform::IrcClient* component = session_.Component()) component->ListChannels(session_.shownType);
}

void CLobbyEventSink::ChannelCreated(int32_t hr, const IrcChannel& channel) {
  CNetScreen* screen = session_.handler;
  if (hr < 0) {
    ShowBox(screen, channel.type == kGame ? 15 : 14, 0);
    session_.abortFlag = 1;
    LeftChannel();
    return;
  }
  session_.currentChannel = channel;
  session_.hostFlag = 1;
  session_.gameUsers.clear();
  if (screen) {
    screen->AddChannelLine(channel.name.c_str());
    screen->SetCurrentChannel(channel.name.c_str());
  }
  LobbyConsoleLine(screen, channel.type == kGame ? 17 : 16, {channel.name.c_str()});
}

void CLobbyEventSink::UserJoined(int32_t hr, const IrcChannel& channel, const IrcUser& user) {
  CNetScreen* screen = session_.handler;
  const bool game = channel.type == kGame;
  if (hr < 0) {
    if (screen) {
      const char* format = g_chatStrings.Get(game ? 7 : 6);
      char text[kChatLineSize];
      const std::string code = std::to_string(hr);
      const char* args[] = {code.c_str()};
      FormatChatText(text, sizeof text, format ? format : "", args, 1);
      screen->ShowMessageBox(text, 0);
    }
    session_.abortFlag = 1;
    LeftChannel();
    return;
  }
  if (user.self) {
    session_.currentChannel = channel;
    session_.hostFlag = 0;
    session_.gameUsers.clear();
    if (screen) screen->SetCurrentChannel(channel.name.c_str());
  } else {
    if (screen) screen->AddUser(user.name.c_str(), user.isOperator, 0);
    if (game && session_.gameUsers.size() < platform::kIrcGameChannelUsers) session_.gameUsers.push_back(user);
  }
  LobbyConsoleLine(screen, game ? 9 : 8, {user.name.c_str(), channel.name.c_str()});
}

void CLobbyEventSink::UserLeft(int32_t hr, const IrcChannel& channel, const IrcUser& user) {
  if (hr < 0) {
    session_.abortFlag = 1;
    return;
  }
  CNetScreen* screen = session_.handler;
  if (user.self) {
    LeftChannel();
  } else {
    if (screen) screen->RemoveUser(user.name.c_str(), user.isOperator, 0);
    if (channel.type == kGame) RemoveFromTable(session_.gameUsers, user.name);
  }
  LobbyConsoleLine(screen, channel.type == kGame ? 11 : 10, {user.name.c_str(), channel.name.c_str()});
}

void CLobbyEventSink::PrivateAction(int32_t, const IrcUser& user, const std::string& text) {
  ChatLine(session_.handler, kChatPrivateAction, user.name, text);
}

void CLobbyEventSink::PublicAction(int32_t, const IrcChannel&, const IrcUser& user, const std::string& text) {
  ChatLine(session_.handler, kChatPublicAction, user.name, text);
}

void CLobbyEventSink::UserList(int32_t hr, const IrcChannel& channel, const std::vector<IrcUser>& users) {
  CNetScreen* screen = session_.handler;
  if (hr < 0) return;
  const bool game = channel.type == kGame;
  if (screen) screen->BeginUserList();
  if (game) session_.gameUsers.clear();
  for (const IrcUser& user : users) {
    if (screen) screen->AddUser(user.name.c_str(), user.isOperator, user.self);
    if (game && session_.gameUsers.size() < platform::kIrcGameChannelUsers) session_.gameUsers.push_back(user);
  }
}

void CLobbyEventSink::PublicMessage(int32_t, const IrcChannel&, const IrcUser& user, const std::string& text) {
  ChatLine(session_.handler, kChatPublicMessage, user.name, text);
}

void CLobbyEventSink::PrivateMessage(int32_t, const IrcUser& user, const std::string& text) {
  ChatLine(session_.handler, kChatPrivateMessage, user.name, text);
}

void CLobbyEventSink::SystemMessage(int32_t, const std::string& text) {
  ChatLine(session_.handler, kChatSystemMessage, "", text);
}

void CLobbyEventSink::Status(uint32_t code) {
  if (code != platform::kIrcStatusDisconnected) return;
  if (session_.connected) session_.abortFlag = 1;
  session_.connected = 0;
}

void CLobbyEventSink::UserGone(int32_t hr, const IrcUser& user) {
  if (hr < 0) return;
  CNetScreen* screen = session_.handler;
  if (screen) screen->RemoveUser(user.name.c_str(), user.isOperator, 0);
  RemoveFromTable(session_.gameUsers, user.name);
  LobbyConsoleLine(screen, 12, {user.name.c_str()});
}

void CLobbyEventSink::PrivateProtocol(int32_t hr, const IrcUser& user, const std::string& text) {
  if (hr >= 0) session_.ParseLobbyPrivateMessage(user, text.c_str());
}

void CLobbyEventSink::PublicProtocol(int32_t hr, const IrcChannel&, const IrcUser& user, const std::string& text) {
  if (hr >= 0) session_.ParseLobbyGameMessage(user, text.c_str());
}

void CLobbyEventSink::UserAddresses(const std::vector<IrcUser>& users) {
  if (session_.hostFlag || !session_.InGameChannel() || !session_.handler) return;
  for (const IrcUser& user : users) {
    if (!user.isOperator) continue;
    char address[16];
    std::snprintf(address, sizeof address, "%u.%u.%u.%u", user.address & 0xFF, (user.address >> 8) & 0xFF,
                  (user.address >> 16) & 0xFF, user.address >> 24);
    session_.handler->JoinSession(address);
  }
}

void CLobbyEventSink::UserKicked(int32_t hr, const IrcChannel& channel, const IrcUser& user, const IrcUser& by) {
  if (hr < 0) return;
  CNetScreen* screen = session_.handler;
  const bool game = channel.type == kGame;
  if (screen) screen->RemoveUser(user.name.c_str(), user.isOperator, user.self);
  RemoveFromTable(session_.gameUsers, user.name);
  if (user.self) {
    LeftChannel();
    LobbyConsoleLine(screen, game ? 24 : 23, {channel.name.c_str(), by.name.c_str()});
  } else {
    LobbyConsoleLine(screen, game ? 26 : 25, {user.name.c_str(), channel.name.c_str(), by.name.c_str()});
  }
}
