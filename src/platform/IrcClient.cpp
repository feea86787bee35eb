#include "platform/IrcClient.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/IrcLine.h"

namespace platform {

namespace {

constexpr const char* kChatPrefix = "#";
constexpr const char* kGamePrefix = "#game.";
constexpr const char* kProtocolTag = "VRASK";
constexpr const char* kStartTag = "VRASKSTART";
constexpr size_t kReadBudgetBytes = 65536;  // per Pump, so that a flood cannot hold the frame

enum class Phase { kIdle, kConnecting, kRegistering, kConnected, kClosed };
enum class Pending { kNone, kJoin, kCreate };

struct Member {
  std::string name;
  bool isOperator = false;
};

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsChannelName(std::string_view name) {
  return !name.empty() && (name[0] == '#' || name[0] == '&' || name[0] == '+');
}

// The server's name of a channel the user names; empty when the name cannot be one.
std::string WireName(const IrcChannel& channel) {
  if (!IrcWordOk(channel.name) || channel.name.size() > 40) return {};
  return (channel.type == kIrcGameChannel ? kGamePrefix : kChatPrefix) + channel.name;
}

// The channel as the user sees it; false for a channel of neither kind.
bool UserChannel(std::string_view wire, IrcChannel& out) {
  if (StartsWith(wire, kGamePrefix) && wire.size() > std::strlen(kGamePrefix)) {
    out.type = kIrcGameChannel;
    out.name = std::string(wire.substr(std::strlen(kGamePrefix)));
    return true;
  }
  if (StartsWith(wire, kChatPrefix) && wire.size() > 1) {
    out.type = kIrcChatChannel;
    out.name = std::string(wire.substr(1));
    return true;
  }
  return false;
}

// "a.b.c.d" as a 32-bit value with a in the low byte; false for anything else.
bool ParseAddress(const std::string& text, uint32_t& out) {
  in_addr address{};
  if (text.size() > 15 || inet_pton(AF_INET, text.c_str(), &address) != 1) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&address.s_addr);
  out = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  return true;
}

int FirstNumber(std::string_view text) {
  const size_t at = text.find_first_of("0123456789");
  if (at == std::string_view::npos) return -1;
  long value = 0;
  for (size_t i = at; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1000000000; ++i)
    value = value * 10 + (text[i] - '0');
  return static_cast<int>(value);
}

}  // namespace

struct IrcClient::State {
  explicit State(IrcEvents& e) : events(e) {}
  ~State() { Close(); }

  IrcEvents& events;
  int socket = -1;
  Phase phase = Phase::kIdle;
  IrcLineSplitter splitter;
  std::string outgoing;
  std::string nick;
  std::string motd;
  int userCount = -1;
  int32_t loginFailure = 0;  // found before any byte was sent, told in the next Pump
  bool serverListPending = false;
  IrcServer listed;
  std::string channelWire;  // the current channel; empty for none
  IrcChannel channel;
  std::vector<Member> members;
  Pending pending = Pending::kNone;
  std::string pendingWire;
  IrcChannel pendingChannel;
  std::vector<Member> names;  // a NAMES reply being gathered
  bool namesRequested = false;
  std::vector<IrcChannel> listing;
  std::vector<std::string> ignored;
  int shownType = kIrcChatChannel;

  bool registered = false;
  bool away = false;
  bool listPending = false;

  void Close() {
    if (socket >= 0) ::close(socket);
    socket = -1;
  }

  // Back to not connected, forgetting the last connection's channel, lists and texts.
  void Reset() {
    Close();
    phase = Phase::kIdle;
    splitter = IrcLineSplitter();
    outgoing.clear();
    nick.clear();
    motd.clear();
    userCount = -1;
    loginFailure = 0;
    LeaveCurrent();
    pending = Pending::kNone;
    names.clear();
    namesRequested = false;
    listing.clear();
    registered = false;
    away = false;
    listPending = false;
  }

  // --- sending ------------------------------------------------------------------------------
  void Flush() {
    while (socket >= 0 && phase != Phase::kConnecting && !outgoing.empty()) {
      const ssize_t sent = ::send(socket, outgoing.data(), outgoing.size(), MSG_NOSIGNAL);
      if (sent <= 0) return;  // full (or broken: the read side will tell)
      outgoing.erase(0, static_cast<size_t>(sent));
    }
  }

  // words: command and middle parameters, each checked by the caller; trailing: free text.
  void SendLine(const std::string& words, const std::string* trailing = nullptr) {
    if (socket < 0 || phase == Phase::kClosed) return;
    std::string line = words;
    if (trailing) line += " :" + *trailing;
    line = CutUtf8(line, kIrcMaxLineBytes - 2) + "\r\n";
    outgoing += line;
    Flush();
  }

  void SendText(const std::string& target, const std::string& text) {
    const std::string clean = CutUtf8(DropControlCharacters(text), kMaxTextBytes);
    SendLine("PRIVMSG " + target, &clean);
  }

  void SendTagged(const std::string& target, const char* tag, const std::string& text) {
    const std::string tagged =
        std::string("\x01") + tag + " " + CutUtf8(DropControlCharacters(text), kMaxTextBytes) + "\x01";
    SendLine("PRIVMSG " + target, &tagged);
  }

  // --- members of the current channel ---------------------------------------------------------
  Member* FindMember(std::string_view name) {
    for (Member& member : members)
      if (IrcSameName(member.name, name)) return &member;
    return nullptr;
  }

  IrcUser UserOf(const std::string& name) {
    IrcUser user;
    user.name = name;
    user.self = IrcSameName(name, nick);
    if (const Member* member = FindMember(name)) user.isOperator = member->isOperator;
    return user;
  }

  bool Ignored(std::string_view name) const {
    return std::any_of(ignored.begin(), ignored.end(), [&](const std::string& n) { return IrcSameName(n, name); });
  }

  void LeaveCurrent() {
    channelWire.clear();
    channel = IrcChannel{};
    members.clear();
  }

  // --- receiving ------------------------------------------------------------------------------
  void FinishConnect() {
    pollfd poll{socket, POLLOUT, 0};
    if (::poll(&poll, 1, 0) <= 0) return;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
      FailLogin(kIrcFailed);
      return;
    }
    phase = Phase::kRegistering;
    Flush();
  }

  void FailLogin(int32_t hr) {
    Close();
    phase = Phase::kClosed;
    events.Connected(hr, std::string());
  }

  void ConnectionEnded() {
    const Phase was = phase;
    Close();
    phase = Phase::kClosed;
    LeaveCurrent();
    if (was == Phase::kRegistering || was == Phase::kConnecting)
      events.Connected(kIrcFailed, std::string());
    else if (was == Phase::kConnected)
      events.Status(kIrcStatusDisconnected);
  }

  void Read() {
    char buffer[4096];
    size_t total = 0;
    while (socket >= 0 && total < kReadBudgetBytes) {
      const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
      if (got > 0) {
        splitter.Add(buffer, static_cast<size_t>(got));
        total += static_cast<size_t>(got);
        continue;
      }
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) break;
      DeliverLines();  // what came before the end still counts
      ConnectionEnded();
      return;
    }
    DeliverLines();
  }

  void DeliverLines() {
    std::string line;
    IrcMessage message;
    while (splitter.Next(line))
      if (ParseIrcLine(line, message)) Handle(message);
  }

  static const std::string& Param(const IrcMessage& m, size_t i) {
    static const std::string empty;
    return i < m.params.size() ? m.params[i] : empty;
  }

  void Handle(const IrcMessage& m) {
    const std::string& c = m.command;
    if (c == "PING") {
      const std::string token = DropControlCharacters(Param(m, 0));
      SendLine("PONG", &token);
    } else if (c == "ERROR") {
      if (phase == Phase::kRegistering) {
        std::string text = Param(m, 0);
        for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        FailLogin(text.find("password") != std::string::npos ? kIrcBadPassword : kIrcFailed);
      }
    } else if (c.size() == 3 && std::all_of(c.begin(), c.end(), [](char d) { return d >= '0' && d <= '9'; })) {
      HandleNumeric(std::stoi(c), m);
    } else if (phase == Phase::kConnected) {
      HandleCommand(m);
    }
  }

  void HandleNumeric(int code, const IrcMessage& m) {
    if (phase == Phase::kRegistering) {
      HandleLoginNumeric(code, m);
      return;
    }
    if (phase != Phase::kConnected) return;
    switch (code) {
      case 322:
        ListedChannel(m);
        break;
      case 323: {
        listPending = false;
        const std::vector<IrcChannel> channels = std::move(listing);
        listing.clear();
        events.ChannelList(kIrcOk, channels);
        break;
      }
      case 353:
        NamesLine(m);
        break;
      case 366:
        NamesEnd(Param(m, 1));
        break;
      case 403:
      case 405:
      case 471:
      case 473:
      case 474:
      case 475:
      case 476:
      case 479:
        JoinRefused();
        break;
      default:
        break;
    }
  }

  void HandleLoginNumeric(int code, const IrcMessage& m) {
    switch (code) {
      case 1:
        nick = Param(m, 0);
        registered = true;
        break;
      case 251:
        userCount = FirstNumber(Param(m, m.params.size() - 1));
        break;
      case 372:
        motd += DropControlCharacters(Param(m, 1)) + "\n";
        break;
      case 376:
      case 422:
        phase = Phase::kConnected;
        events.Connected(kIrcOk, motd);
        break;
      case 433:
      case 436:
        FailLogin(kIrcNickInUse);
        break;
      case 464:
        FailLogin(kIrcBadPassword);
        break;
      case 432:
      case 431:
        FailLogin(kIrcBadNick);
        break;
      default:
        if (code >= 400 && code < 600 && !registered) FailLogin(kIrcFailed);
        break;
    }
  }

  void ListedChannel(const IrcMessage& m) {
    IrcChannel listed;
    if (!UserChannel(Param(m, 1), listed) || listing.size() >= 1000) return;
    listed.userCount = FirstNumber(Param(m, 2));
    listing.push_back(listed);
  }

  void NamesLine(const IrcMessage& m) {
    std::string_view rest = Param(m, m.params.size() - 1);
    while (!rest.empty() && names.size() < 1000) {
      const size_t end = rest.find(' ');
      std::string_view word = rest.substr(0, end);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
      if (word.empty()) continue;
      Member member;
      while (!word.empty() && std::strchr("~&@%+", word.front())) {
        if (word.front() == '@' || word.front() == '&' || word.front() == '~') member.isOperator = true;
        word.remove_prefix(1);
      }
      member.name = DropControlCharacters(word);
      if (!member.name.empty()) names.push_back(member);
    }
  }

  void NamesEnd(const std::string& wire) {
    std::vector<Member> gathered = std::move(names);
    names.clear();
    if (pending != Pending::kNone && IrcSameName(wire, pendingWire)) {
      FinishJoin(std::move(gathered));
      return;
    }
    if (!IrcSameName(wire, channelWire)) return;
    members = std::move(gathered);
    if (!namesRequested) return;
    namesRequested = false;
    std::vector<IrcUser> users;
    for (const Member& member : members) users.push_back(UserOf(member.name));
    const IrcChannel current = channel;
    events.UserList(kIrcOk, current, users);
  }

  void FinishJoin(std::vector<Member> gathered) {
    const Pending kind = pending;
    pending = Pending::kNone;
    channelWire = pendingWire;
    channel = pendingChannel;
    members = std::move(gathered);
    const Member* self = FindMember(nick);
    const bool alone = members.size() == 1 && self && self->isOperator;
    const IrcChannel joined = channel;
    if (kind == Pending::kCreate) {
      if (!alone) {
        RefuseJoined();
        events.ChannelCreated(kIrcFailed, joined);
        return;
      }
      SendLine("MODE " + channelWire + " +l " + std::to_string(kIrcGameChannelUsers));
      events.ChannelCreated(kIrcOk, joined);
      return;
    }
    // A game channel that nobody runs is not a game to join.
    if (joined.type == kIrcGameChannel && alone) {
      RefuseJoined();
      events.UserJoined(kIrcFailed, joined, UserOf(nick));
      return;
    }
    events.UserJoined(kIrcOk, joined, UserOf(nick));
  }

  void RefuseJoined() {
    SendLine("PART " + channelWire);
    LeaveCurrent();
  }

  void JoinRefused() {
    if (pending == Pending::kNone) return;
    const Pending kind = pending;
    pending = Pending::kNone;
    const IrcChannel refused = pendingChannel;
    if (kind == Pending::kCreate)
      events.ChannelCreated(kIrcFailed, refused);
    else
      events.UserJoined(kIrcFailed, refused, UserOf(nick));
  }

  void HandleCommand(const IrcMessage& m) {
    const std::string sender = IrcPrefixNick(m.prefix);
    const std::string& c = m.command;
    if (c == "PRIVMSG")
      Privmsg(sender, Param(m, 0), Param(m, 1));
    else if (c == "JOIN")
      Joined(sender, Param(m, 0));
    else if (c == "PART")
      Parted(sender, Param(m, 0));
    else if (c == "QUIT")
      Quit(sender);
    else if (c == "KICK")
      Kicked(sender, Param(m, 0), Param(m, 1));
    else if (c == "MODE")
      Mode(m);
    else if (c == "NICK")
      Renamed(sender, Param(m, 0));
  }

  void Joined(const std::string& who, const std::string& wire) {
    if (IrcSameName(who, nick)) return;  // our own join is settled by its names list
    if (!IrcSameName(wire, channelWire) || FindMember(who) || members.size() >= 1000) return;
    members.push_back({DropControlCharacters(who), false});
    const IrcChannel current = channel;
    events.UserJoined(kIrcOk, current, UserOf(who));
  }

  void Parted(const std::string& who, const std::string& wire) {
    if (!IrcSameName(wire, channelWire)) return;
    const IrcChannel current = channel;
    const IrcUser user = UserOf(who);
    if (user.self)
      LeaveCurrent();
    else
      RemoveMember(who);
    events.UserLeft(kIrcOk, current, user);
  }

  void Quit(const std::string& who) {
    if (!FindMember(who) || IrcSameName(who, nick)) return;
    const IrcUser user = UserOf(who);
    RemoveMember(who);
    events.UserGone(kIrcOk, user);
  }

  void Kicked(const std::string& by, const std::string& wire, const std::string& victim) {
    if (!IrcSameName(wire, channelWire)) return;
    const IrcChannel current = channel;
    const IrcUser user = UserOf(victim);
    const IrcUser kicker = UserOf(by);
    if (user.self)
      LeaveCurrent();
    else
      RemoveMember(victim);
    events.UserKicked(kIrcOk, current, user, kicker);
  }

  void RemoveMember(const std::string& name) {
    members.erase(
        std::remove_if(members.begin(), members.end(), [&](const Member& m) { return IrcSameName(m.name, name); }),
        members.end());
  }

  void Renamed(const std::string& from, const std::string& to) {
    if (IrcSameName(from, nick)) nick = to;
    if (Member* member = FindMember(from)) member->name = DropControlCharacters(to);
  }

  // Only operator changes matter here; the other modes are walked past with their arguments.
  void Mode(const IrcMessage& m) {
    if (!IrcSameName(Param(m, 0), channelWire) || m.params.size() < 2) return;
    bool adding = true;
    size_t argument = 2;
    for (char mode : m.params[1]) {
      if (mode == '+' || mode == '-') {
        adding = mode == '+';
        continue;
      }
      const bool takesArgument = std::strchr("ovhaqbeIk", mode) || (mode == 'l' && adding);
      if (!takesArgument) continue;
      const std::string& target = Param(m, argument++);
      if (mode == 'o' || mode == 'a' || mode == 'q')
        if (Member* member = FindMember(target)) member->isOperator = adding;
    }
  }

  void Privmsg(const std::string& sender, const std::string& target, const std::string& text) {
    const bool isPublic = IsChannelName(target);
    if (isPublic && !IrcSameName(target, channelWire)) return;
    if (!isPublic && !IrcSameName(target, nick)) return;
    const IrcUser user = UserOf(sender);
    const IrcChannel current = channel;
    if (text.size() >= 2 && text.front() == '\x01') {
      std::string_view body(text);
      body.remove_prefix(1);
      if (!body.empty() && body.back() == '\x01') body.remove_suffix(1);
      const size_t blank = body.find(' ');
      const std::string tag(body.substr(0, blank));
      const std::string rest = DropControlCharacters(blank == std::string_view::npos ? "" : body.substr(blank + 1));
      Tagged(isPublic, current, user, tag, rest);
      return;
    }
    if (Ignored(sender)) return;
    const std::string clean = DropControlCharacters(text);
    if (isPublic)
      events.PublicMessage(kIrcOk, current, user, clean);
    else
      events.PrivateMessage(kIrcOk, user, clean);
  }

  void Tagged(bool isPublic, const IrcChannel& current, IrcUser user, const std::string& tag, const std::string& rest) {
    if (tag == "ACTION") {
      if (Ignored(user.name)) return;
      if (isPublic)
        events.PublicAction(kIrcOk, current, user, rest);
      else
        events.PrivateAction(kIrcOk, user, rest);
    } else if (tag == kProtocolTag) {
      if (isPublic)
        events.PublicProtocol(kIrcOk, current, user, rest);
      else
        events.PrivateProtocol(kIrcOk, user, rest);
    } else if (tag == kStartTag && isPublic) {
      if (!ParseAddress(rest, user.address)) return;
      events.UserAddresses({user});
    }
  }
};

IrcClient::IrcClient(IrcEvents& events) : state_(std::make_unique<State>(events)) {}

IrcClient::~IrcClient() = default;

void IrcClient::Pump() {
  State& s = *state_;
  if (s.serverListPending) {
    s.serverListPending = false;
    s.events.ServerList(kIrcOk, {s.listed});
  }
  if (s.loginFailure != 0) {
    const int32_t failure = s.loginFailure;
    s.loginFailure = 0;
    s.events.Connected(failure, std::string());
    return;
  }
  if (s.socket < 0) return;
  if (s.phase == Phase::kConnecting) s.FinishConnect();
  if (s.socket < 0 || s.phase == Phase::kConnecting) return;
  s.Flush();
  s.Read();
}

void IrcClient::RequestServerList(const std::string& host, uint16_t port, const std::string& name,
                                  const std::string& password) {
  IrcServer server;
  server.host = host;
  server.port = port;
  server.name = name;
  server.password = password;
  state_->listed = server;
  state_->serverListPending = true;
}

bool IrcClient::Connect(const IrcServer& server) {
  State& s = *state_;
  s.Reset();
  s.nick = server.name;
  if (!IrcWordOk(server.name) || server.name.find_first_of("!@#&+") == 0) {
    s.loginFailure = kIrcBadNick;
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(server.host.c_str(), std::to_string(server.port).c_str(), &hints, &found) != 0 || !found) {
    s.loginFailure = kIrcFailed;
    return true;
  }
  s.socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s.socket < 0) {
    freeaddrinfo(found);
    return false;
  }
  const int result = ::connect(s.socket, found->ai_addr, found->ai_addrlen);
  freeaddrinfo(found);
  if (result != 0 && errno != EINPROGRESS) {
    s.Close();
    s.loginFailure = kIrcFailed;
    return true;
  }
  s.phase = Phase::kConnecting;
  const std::string password = DropControlCharacters(server.password);
  const std::string realName = server.name;
  if (!password.empty()) s.SendLine("PASS", &password);
  s.SendLine("NICK " + server.name);
  s.SendLine("USER " + server.name + " 0 *", &realName);
  return true;
}

void IrcClient::ListChannels(int type) {
  // The server makes a connection wait a while after every list it asks for: while one is on
  // its way, its answer serves this request too.
  if (state_->listPending) return;
  state_->listPending = true;
  state_->listing.clear();
  state_->SendLine("LIST");
}

bool IrcClient::JoinChannel(const IrcChannel& channel) {
  State& s = *state_;
  const std::string wire = WireName(channel);
  if (wire.empty() || s.phase != Phase::kConnected) return false;
  s.pending = channel.type == kIrcGameChannel ? Pending::kCreate : Pending::kJoin;
  s.pendingWire = wire;
  s.pendingChannel = channel;
  s.pendingChannel.key.clear();
  s.names.clear();
  s.SendLine("JOIN " + wire);
  return true;
}

bool IrcClient::JoinChannelWithKey(const IrcChannel& channel) {
  State& s = *state_;
  const std::string wire = WireName(channel);
  if (wire.empty() || s.phase != Phase::kConnected) return false;
  s.pending = Pending::kJoin;
  s.pendingWire = wire;
  s.pendingChannel = channel;
  s.pendingChannel.key.clear();
  s.names.clear();
  if (IrcWordOk(channel.key))
    s.SendLine("JOIN " + wire + " " + channel.key);
  else
    s.SendLine("JOIN " + wire);
  return true;
}

void IrcClient::LeaveChannel() {
  if (!state_->channelWire.empty()) state_->SendLine("PART " + state_->channelWire);
}

void IrcClient::ListUsers() {
  if (state_->channelWire.empty()) return;
  state_->namesRequested = true;
  state_->SendLine("NAMES " + state_->channelWire);
}

void IrcClient::SendPublic(const std::string& text) {
  if (!state_->channelWire.empty()) state_->SendText(state_->channelWire, text);
}

void IrcClient::SendPrivate(const std::string& user, const std::string& text) {
  if (IrcWordOk(user) && !IsChannelName(user)) state_->SendText(user, text);
}

void IrcClient::SendPublicAction(const std::string& text) {
  if (!state_->channelWire.empty()) state_->SendTagged(state_->channelWire, "ACTION", text);
}

void IrcClient::SendPrivateAction(const std::string& user, const std::string& text) {
  if (IrcWordOk(user) && !IsChannelName(user)) state_->SendTagged(user, "ACTION", text);
}

void IrcClient::SendPublicProtocol(const std::string& text) {
  if (!state_->channelWire.empty()) state_->SendTagged(state_->channelWire, kProtocolTag, text);
}

void IrcClient::SendPrivateProtocol(const std::string& user, const std::string& text) {
  if (IrcWordOk(user) && !IsChannelName(user)) state_->SendTagged(user, kProtocolTag, text);
}

void IrcClient::AnnounceGame(const std::string& address) {
  uint32_t parsed = 0;
  if (!state_->channelWire.empty() && ParseAddress(address, parsed))
    state_->SendTagged(state_->channelWire, kStartTag, address);
}

void IrcClient::Logoff() {
  const std::string reason = "Leaving";
  state_->SendLine("QUIT", &reason);
}

void IrcClient::Kick(const std::string& user) {
  if (!state_->channelWire.empty() && IrcWordOk(user)) state_->SendLine("KICK " + state_->channelWire + " " + user);
}

void IrcClient::Ban(const std::string& user) {
  if (!state_->channelWire.empty() && IrcWordOk(user) && user.find_first_of("!@*") == std::string::npos)
    state_->SendLine("MODE " + state_->channelWire + " +b " + user + "!*@*");
}

void IrcClient::SetAway(bool away) {
  // A new connection is not away: only a change goes to the server.
  if (away == state_->away) return;
  state_->away = away;
  const std::string text = "Away";
  if (away)
    state_->SendLine("AWAY", &text);
  else
    state_->SendLine("AWAY");
}

void IrcClient::SetIgnore(const std::string& user, bool ignore) {
  auto& list = state_->ignored;
  list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& n) { return IrcSameName(n, user); }),
             list.end());
  if (ignore && list.size() < 1000) list.push_back(user);
}

bool IrcClient::IsIgnored(const std::string& user) const { return state_->Ignored(user); }

void IrcClient::SelectChannelType(int type) { state_->shownType = type; }

int IrcClient::UserCount() const { return state_->userCount; }

std::string IrcClient::LocalAddress() const {
  if (state_->socket < 0) return {};
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(state_->socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
  char text[INET_ADDRSTRLEN] = {};
  if (!inet_ntop(AF_INET, &address.sin_addr, text, sizeof text)) return {};
  return text;
}

void IrcClient::ReceiveForTest(const std::string& nick, const char* data, size_t size) {
  State& s = *state_;
  if (s.phase != Phase::kConnected) {
    s.Reset();
    s.nick = nick;
    s.registered = true;
    s.phase = Phase::kConnected;
  }
  s.splitter.Add(data, size);
  s.DeliverLines();
}

bool IrcClient::IsConnected() const { return state_->phase == Phase::kConnected; }

}  // namespace platform
