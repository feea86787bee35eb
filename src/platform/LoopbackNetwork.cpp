#include "platform/LoopbackNetwork.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "platform/Clock.h"

namespace platform {

namespace {

constexpr NetPlayerId kFirstPlayerId = 0x100;

struct Packet {
  NetPlayerId to = 0;
  NetPlayerId from = 0;
  bool system = false;
  NetSystemMessage systemMessage;
  std::vector<uint8_t> data;
};

struct Player {
  NetPlayerId id = 0;
  std::string name;
  bool server = false;
  int machine = 0;
  std::deque<Packet> inbox;
};

struct Session {
  uint32_t instance = 0;
  std::string name;
  int maxPlayers = 0;
  uint32_t flags = 0;
  std::vector<int> machines;  // in the order they joined
  int hostMachine = 0;
  std::map<NetPlayerId, Player> players;  // by id: the order they were created
};

// Where a message in flight waits: its due time on the medium's clock, then its sequence.
using FlightKey = std::pair<uint64_t, uint64_t>;

struct InFlight {
  uint32_t session = 0;
  Packet packet;
};

}  // namespace

struct LoopbackNetwork::Medium {
  std::mutex mutex;
  uint64_t randomState;
  LoopbackConditions conditions;
  LoopbackStats stats;
  uint32_t nextInstance = 1;
  NetPlayerId nextPlayer = kFirstPlayerId;
  int nextMachine = 1;
  uint64_t nextSequence = 0;
  std::map<uint32_t, Session> sessions;
  std::map<int, uint32_t> machineSession;  // machine -> session instance
  std::map<FlightKey, InFlight> inFlight;
  std::map<std::pair<int, int>, uint64_t> lastGuaranteedDue;  // per link (from, to machine)
  uint64_t now = 0;
  uint32_t lastTick = 0;
  bool clockStarted = false;

  explicit Medium(uint64_t seed) : randomState(seed) {}

  // splitmix64: the medium's own draws, apart from every generator of the game.
  uint64_t NextRandom() {
    uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  bool Chance(double p) { return p > 0 && static_cast<double>(NextRandom() >> 11) * 0x1.0p-53 < p; }

  // The platform tick count, widened so that wrapping never reorders what is in flight.
  uint64_t Now() {
    uint32_t tick = TickCount();
    if (!clockStarted) {
      clockStarted = true;
      lastTick = tick;
    }
    uint32_t elapsed = tick - lastTick;
    if (static_cast<int32_t>(elapsed) > 0) now += elapsed;
    lastTick = tick;
    return now;
  }

  Session* SessionOf(int machine) {
    auto it = machineSession.find(machine);
    if (it == machineSession.end()) return nullptr;
    auto session = sessions.find(it->second);
    return session == sessions.end() ? nullptr : &session->second;
  }

  Player* OwnPlayer(Session& session, int machine, NetPlayerId id) {
    auto it = session.players.find(id);
    return it != session.players.end() && it->second.machine == machine ? &it->second : nullptr;
  }

  // Hands a message to one player: at once on its own machine, through the conditions
  // between machines.
  void Post(Session& session, int fromMachine, Player& to, Packet packet, bool guaranteed) {
    packet.to = to.id;
    if (to.machine == fromMachine) {
      to.inbox.push_back(std::move(packet));
      return;
    }
    ++stats.sent;
    int copies = 1;
    if (!guaranteed) {
      if (Chance(conditions.loss)) {
        ++stats.lost;
        return;
      }
      if (Chance(conditions.duplicate)) {
        ++stats.duplicated;
        copies = 2;
      }
    }
    for (int copy = 0; copy < copies; ++copy) {
      uint64_t delay = conditions.minDelayMs;
      if (conditions.maxDelayMs > conditions.minDelayMs)
        delay += NextRandom() % (conditions.maxDelayMs - conditions.minDelayMs + 1);
      if (!guaranteed && Chance(conditions.reorder)) {
        ++stats.heldBack;
        delay += conditions.heldBackMs;
      }
      uint64_t due = Now() + delay;
      if (guaranteed) {
        uint64_t& last = lastGuaranteedDue[{fromMachine, to.machine}];
        due = std::max(due, last);
        last = due;
      }
      inFlight.emplace(FlightKey{due, nextSequence++},
                       InFlight{session.instance, copy + 1 < copies ? packet : std::move(packet)});
    }
  }

  // Every player but the sender when to is kNetAllPlayers, else the one player.
  std::vector<Player*> Recipients(Session& session, NetPlayerId from, NetPlayerId to) {
    std::vector<Player*> out;
    if (to == kNetAllPlayers) {
      for (auto& [id, player] : session.players)
        if (id != from) out.push_back(&player);
    } else if (auto it = session.players.find(to); it != session.players.end()) {
      out.push_back(&it->second);
    }
    return out;
  }

  // A system message to every player of the machines other than `except` (0: all machines).
  // To every player but the one the message is about, this machine's own included.
  void AnnounceNewPlayer(Session& session, const NetSystemMessage& message) {
    for (auto& [id, player] : session.players) {
      if (id == message.player) continue;
      Packet packet;
      packet.to = id;
      packet.system = true;
      packet.systemMessage = message;
      player.inbox.push_back(std::move(packet));
    }
  }

  void Announce(Session& session, int except, const NetSystemMessage& message) {
    for (auto& [id, player] : session.players) {
      if (player.machine == except) continue;
      Packet packet;
      packet.to = id;
      packet.system = true;
      packet.systemMessage = message;
      player.inbox.push_back(std::move(packet));
    }
  }

  // Moves what is due into the players' inboxes; messages for players gone are dropped.
  void Deliver() {
    uint64_t current = Now();
    while (!inFlight.empty() && inFlight.begin()->first.first <= current) {
      InFlight flight = std::move(inFlight.begin()->second);
      inFlight.erase(inFlight.begin());
      auto session = sessions.find(flight.session);
      if (session == sessions.end()) continue;
      auto player = session->second.players.find(flight.packet.to);
      if (player != session->second.players.end()) player->second.inbox.push_back(std::move(flight.packet));
    }
  }

  void RemovePlayer(Session& session, NetPlayerId id) {
    auto it = session.players.find(id);
    if (it == session.players.end()) return;
    NetSystemMessage gone;
    gone.kind = NetSystemKind::kDestroyPlayer;
    gone.player = id;
    gone.shortName = it->second.name;
    int machine = it->second.machine;
    session.players.erase(it);
    Announce(session, machine, gone);
  }

  void Leave(int machine) {
    Session* session = SessionOf(machine);
    machineSession.erase(machine);
    if (!session) return;
    std::vector<NetPlayerId> own;
    for (auto& [id, player] : session->players)
      if (player.machine == machine) own.push_back(id);
    for (NetPlayerId id : own) RemovePlayer(*session, id);
    session->machines.erase(std::remove(session->machines.begin(), session->machines.end(), machine),
                            session->machines.end());
    if (session->machines.empty()) {
      sessions.erase(session->instance);
      return;
    }
    if (session->hostMachine != machine) return;
    NetSystemMessage news;
    if (session->flags & kSessionMigrateHost) {
      session->hostMachine = session->machines.front();
      news.kind = NetSystemKind::kHost;
      for (auto& [id, player] : session->players)
        if (player.machine == session->hostMachine) {
          Packet packet;
          packet.to = id;
          packet.system = true;
          packet.systemMessage = news;
          player.inbox.push_back(std::move(packet));
        }
    } else {
      news.kind = NetSystemKind::kSessionLost;
      Announce(*session, 0, news);
      for (int other : session->machines) machineSession.erase(other);
      sessions.erase(session->instance);
    }
  }
};

namespace {

class LoopbackSession final : public NetEndpoint {
 public:
  LoopbackSession(std::shared_ptr<LoopbackNetwork::Medium> medium, int machine)
      : medium_(std::move(medium)), machine_(machine) {}
  ~LoopbackSession() override { Leave(); }

  NetResult CreateSession(std::string_view name, int maxPlayers, uint32_t flags) override {
    Lock lock(medium_->mutex);
    if (name.empty() || maxPlayers < 0) return kNetErrInvalidParam;
    if (medium_->SessionOf(machine_)) return kNetErrCantCreateSession;
    Session session;
    session.instance = medium_->nextInstance++;
    session.name = std::string(name);
    session.maxPlayers = maxPlayers;
    session.flags = flags;
    session.machines.push_back(machine_);
    session.hostMachine = machine_;
    medium_->machineSession[machine_] = session.instance;
    medium_->sessions.emplace(session.instance, std::move(session));
    return kNetOk;
  }

  NetResult EnumSessions(std::vector<NetSessionDesc>& out) override {
    Lock lock(medium_->mutex);
    out.clear();
    for (auto& [instance, session] : medium_->sessions) {
      NetSessionDesc desc;
      desc.instance = instance;
      desc.name = session.name;
      desc.players = PlayerCount(session);
      desc.maxPlayers = session.maxPlayers;
      desc.flags = session.flags;
      out.push_back(desc);
    }
    return kNetOk;
  }

  NetResult JoinSession(uint32_t instance) override {
    Lock lock(medium_->mutex);
    if (medium_->SessionOf(machine_)) return kNetErrCantCreateSession;
    auto it = medium_->sessions.find(instance);
    if (it == medium_->sessions.end()) return kNetErrNoSessions;
    if (it->second.flags & kSessionJoinDisabled) return kNetErrAccessDenied;
    it->second.machines.push_back(machine_);
    medium_->machineSession[machine_] = instance;
    return kNetOk;
  }

  NetResult GetSessionFlags(uint32_t& flags) override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    flags = session->flags;
    return kNetOk;
  }

  NetResult SetSessionFlags(uint32_t flags) override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    if (session->hostMachine != machine_) return kNetErrAccessDenied;
    session->flags = flags;
    return kNetOk;
  }

  void Leave() override {
    Lock lock(medium_->mutex);
    medium_->Leave(machine_);
  }

  bool IsHost() const override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    return session && session->hostMachine == machine_;
  }

  NetResult CreatePlayer(std::string_view shortName, NetPlayerId& id) override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    if ((session->flags & kSessionNewPlayersDisabled) ||
        (session->maxPlayers > 0 && PlayerCount(*session) >= session->maxPlayers))
      return kNetErrCantCreatePlayer;
    id = medium_->nextPlayer++;
    AddPlayer(*session, id, shortName, false);
    return kNetOk;
  }

  NetResult CreateServerPlayer() override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    if (session->hostMachine != machine_) return kNetErrAccessDenied;
    if (session->players.count(kNetServerPlayer)) return kNetErrCantCreatePlayer;
    AddPlayer(*session, kNetServerPlayer, "", true);
    return kNetOk;
  }

  NetResult DestroyPlayer(NetPlayerId id) override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    if (!medium_->OwnPlayer(*session, machine_, id)) return kNetErrInvalidPlayer;
    medium_->RemovePlayer(*session, id);
    return kNetOk;
  }

  NetResult EnumPlayers(std::vector<NetPlayerInfo>& out) override {
    Lock lock(medium_->mutex);
    out.clear();
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    for (auto& [id, player] : session->players) out.push_back(NetPlayerInfo{id, player.name, player.server});
    return kNetOk;
  }

  NetResult GetPlayerName(NetPlayerId id, std::string& shortName) override {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    auto it = session->players.find(id);
    if (it == session->players.end()) return kNetErrInvalidPlayer;
    shortName = it->second.name;
    return kNetOk;
  }

  NetResult Send(NetPlayerId from, NetPlayerId to, bool guaranteed, const void* data, size_t size) override {
    if (size > kNetMaxMessageBytes) return kNetErrSendTooBig;
    if (size && !data) return kNetErrInvalidParam;
    Packet packet;
    packet.from = from;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    packet.data.assign(bytes, bytes + size);
    return Dispatch(from, to, guaranteed, std::move(packet));
  }

  NetResult SendChat(NetPlayerId from, NetPlayerId to, std::string_view text) override {
    Packet packet;
    packet.from = from;
    packet.system = true;
    packet.systemMessage.kind = NetSystemKind::kChat;
    packet.systemMessage.player = from;
    packet.systemMessage.text = std::string(text);
    return Dispatch(from, to, true, std::move(packet));
  }

  NetResult GetMessageCount(NetPlayerId playerId, int& count) override {
    Lock lock(medium_->mutex);
    count = 0;
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    medium_->Deliver();
    Player* player = medium_->OwnPlayer(*session, machine_, playerId);
    if (!player) return kNetErrInvalidPlayer;
    count = static_cast<int>(player->inbox.size());
    return kNetOk;
  }

  NetResult Receive(NetPlayerId to, void* buffer, size_t capacity, NetMessageInfo& out) override {
    Lock lock(medium_->mutex);
    out = NetMessageInfo{};
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    medium_->Deliver();
    Player* player = medium_->OwnPlayer(*session, machine_, to);
    if (!player) return kNetErrInvalidPlayer;
    if (player->inbox.empty()) return kNetErrNoMessages;
    Packet packet = std::move(player->inbox.front());
    player->inbox.pop_front();
    out.from = packet.from;
    out.size = packet.data.size();
    if (packet.system) {
      out.system = true;
      out.systemMessage = std::move(packet.systemMessage);
      return kNetOk;
    }
    if (packet.data.size() > capacity || (!buffer && !packet.data.empty())) return kNetErrBufferTooSmall;
    if (!packet.data.empty()) std::memcpy(buffer, packet.data.data(), packet.data.size());
    return kNetOk;
  }

 private:
  using Lock = std::lock_guard<std::mutex>;

  static int PlayerCount(const Session& session) {
    int count = 0;
    for (const auto& entry : session.players) count += entry.second.server ? 0 : 1;
    return count;
  }

  void AddPlayer(Session& session, NetPlayerId id, std::string_view name, bool server) {
    Player player;
    player.id = id;
    player.name = std::string(name);
    player.server = server;
    player.machine = machine_;
    session.players.emplace(id, std::move(player));
    NetSystemMessage joined;
    joined.kind = NetSystemKind::kCreatePlayer;
    joined.player = id;
    joined.shortName = std::string(name);
    medium_->AnnounceNewPlayer(session, joined);
  }

  NetResult Dispatch(NetPlayerId from, NetPlayerId to, bool guaranteed, Packet packet) {
    Lock lock(medium_->mutex);
    Session* session = medium_->SessionOf(machine_);
    if (!session) return kNetErrNoConnection;
    if (!medium_->OwnPlayer(*session, machine_, from)) return kNetErrInvalidPlayer;
    std::vector<Player*> recipients = medium_->Recipients(*session, from, to);
    if (recipients.empty()) return kNetErrInvalidPlayer;
    for (size_t i = 0; i < recipients.size(); ++i)
      medium_->Post(*session, machine_, *recipients[i], i + 1 < recipients.size() ? packet : std::move(packet),
                    guaranteed);
    return kNetOk;
  }

  std::shared_ptr<LoopbackNetwork::Medium> medium_;
  int machine_;
};

}  // namespace

LoopbackNetwork::LoopbackNetwork(uint64_t seed) : medium_(std::make_shared<Medium>(seed)) {}

LoopbackNetwork::~LoopbackNetwork() = default;

void LoopbackNetwork::SetConditions(const LoopbackConditions& conditions) {
  std::lock_guard<std::mutex> lock(medium_->mutex);
  medium_->conditions = conditions;
}

LoopbackStats LoopbackNetwork::Stats() const {
  std::lock_guard<std::mutex> lock(medium_->mutex);
  return medium_->stats;
}

std::unique_ptr<NetEndpoint> LoopbackNetwork::Connect() {
  std::lock_guard<std::mutex> lock(medium_->mutex);
  return std::make_unique<LoopbackSession>(medium_, medium_->nextMachine++);
}

}  // namespace platform
