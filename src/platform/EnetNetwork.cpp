#include "platform/EnetNetwork.h"

#include <enet/enet.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <random>

#include "platform/Clock.h"
#include "platform/EnetWire.h"

namespace platform {

namespace {

using namespace enetwire;

constexpr size_t kPeerSlots = 16;  // links of one machine: the mesh and joiners being refused
constexpr enet_uint8 kReliableChannel = 0;
constexpr enet_uint8 kUnreliableChannel = 1;
constexpr uint32_t kMaxHeldBackMs = 20;      // injected faults hold a message this long at most
constexpr uint32_t kStartRoundTripMs = 100;  // the first retransmission's guess, before one is measured
constexpr size_t kMaxPendingPerMachine = 256;
constexpr uint32_t kPingIntervalMs = 250;
constexpr size_t kListDatagramBytes = 512;

std::once_flag g_enetStarted;
bool g_enetReady = false;

bool StartEnet() {
  std::call_once(g_enetStarted, [] {
    g_enetReady = enet_initialize() == 0;
    if (g_enetReady) std::atexit(enet_deinitialize);
  });
  return g_enetReady;
}

struct Player {
  std::string name;
  bool server = false;
  uint32_t machine = 0;
  std::deque<std::pair<NetMessageInfo, Bytes>> inbox;  // own players only
};

struct Machine {
  uint32_t address = 0;  // network order
  uint16_t port = 0;
  ENetPeer* peer = nullptr;                    // null until the link is up
  std::deque<std::pair<bool, Bytes>> pending;  // (guaranteed, message) waiting for the link
};

struct Link {
  uint32_t machine = 0;  // 0 until its hello was accepted
  bool hasMeshHello = false;
  Hello meshHello;           // a mesh hello from a machine the roster does not hold yet
  std::vector<Bytes> early;  // what came after it
  uint32_t openedAt = 0;
};

struct FoundSession {
  SessionAnswer answer;
  uint32_t address = 0;
};

class EnetEndpoint;
thread_local EnetEndpoint* t_servicing = nullptr;

int ENET_CALLBACK InterceptDatagram(ENetHost* host, ENetEvent* event);

class EnetEndpoint final : public NetEndpoint {
 public:
  explicit EnetEndpoint(const EnetOptions& options) : options_(options), random_(options.impairment.seed) {
    std::random_device seed;
    instanceSeed_ = seed();
  }
  ~EnetEndpoint() override {
    Leave();
    CloseSocket(querySocket_);
  }

  NetResult CreateSession(std::string_view name, int maxPlayers, uint32_t flags) override {
    Lock lock(mutex_);
    if (name.empty() || maxPlayers < 0) return kNetErrInvalidParam;
    if (host_) return kNetErrCantCreateSession;
    if (!OpenHost(options_.gamePort)) return kNetErrCantCreateSession;
    sessionName_ = std::string(name.substr(0, kMaxSessionNameBytes));
    maxPlayers_ = static_cast<uint8_t>(std::min<int>(maxPlayers ? maxPlayers : kMaxMachines, kMaxMachines));
    flags_ = flags;
    instance_ = instanceSeed_ | 1;
    ownMachine_ = hostMachine_ = 1;
    nextMachine_ = 2;
    machines_[ownMachine_] = Machine{0, listenPort_, nullptr, {}};
    OpenListSocket();
    return kNetOk;
  }

  NetResult SetSearchAddress(std::string_view address) override {
    Lock lock(mutex_);
    ENetAddress parsed{};
    std::string text(address.empty() ? "255.255.255.255" : address);
    if (enet_address_set_host_ip(&parsed, text.c_str()) != 0) return kNetErrInvalidParam;
    options_.searchAddress = text;
    return kNetOk;
  }

  NetResult EnumSessions(std::vector<NetSessionDesc>& out) override {
    Lock lock(mutex_);
    out.clear();
    if (!OpenQuerySocket()) return kNetErrGeneric;
    Service();
    CollectAnswers();
    found_ = std::move(collecting_);
    collecting_.clear();
    for (const FoundSession& session : found_)
      out.push_back(NetSessionDesc{session.answer.instance, session.answer.name, session.answer.players,
                                   session.answer.maxPlayers, session.answer.flags});
    SendQuery();
    return kNetOk;
  }

  NetResult JoinSession(uint32_t instance) override {
    Lock lock(mutex_);
    if (host_) return kNetErrCantCreateSession;
    auto session = std::find_if(found_.begin(), found_.end(),
                                [&](const FoundSession& found) { return found.answer.instance == instance; });
    if (session == found_.end()) return kNetErrNoSessions;
    if (!OpenHost(0)) return kNetErrGeneric;
    ENetAddress address{session->address, session->answer.port};
    ENetPeer* peer = enet_host_connect(host_, &address, 2, kApplicationId);
    if (!peer) return CloseHost(kNetErrGeneric);
    ConfigurePeer(peer);
    links_[peer].openedAt = TickCount();
    joinPeer_ = peer;
    joinState_ = JoinState::kWaiting;
    wantedSession_ = session->answer.name;
    const uint32_t start = TickCount();
    while (joinState_ == JoinState::kWaiting) {
      Service();
      if (joinState_ != JoinState::kWaiting) break;
      if (TickCount() - start >= options_.joinTimeoutMs) {
        Log("no answer from the host in time");
        return CloseHost(kNetErrTimeout);
      }
      mutex_.unlock();
      SleepMs(1);
      mutex_.lock();
    }
    if (joinState_ == JoinState::kRefused) return CloseHost(refusal_);
    return kNetOk;
  }

  NetResult GetSessionFlags(uint32_t& flags) override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    flags = flags_;
    return kNetOk;
  }

  NetResult SetSessionFlags(uint32_t flags) override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    if (hostMachine_ != ownMachine_) return kNetErrAccessDenied;
    flags_ = flags;
    Broadcast(EncodeFlags(flags), true);
    return kNetOk;
  }

  void Leave() override {
    Lock lock(mutex_);
    if (!host_) return;
    for (auto& [peer, link] : links_) enet_peer_disconnect_now(peer, 0);
    CloseHost(kNetOk);
  }

  bool IsHost() const override {
    Lock lock(mutex_);
    return InSession() && hostMachine_ == ownMachine_;
  }

  NetResult CreatePlayer(std::string_view shortName, NetPlayerId& id) override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    if ((flags_ & kSessionNewPlayersDisabled) || (maxPlayers_ && PlayerCount() >= maxPlayers_) ||
        nextLocalPlayer_ > 255 || OwnPlayerCount() >= kMaxPlayersPerMachine)
      return kNetErrCantCreatePlayer;
    id = PlayerIdOf(ownMachine_, nextLocalPlayer_++);
    AddOwnPlayer(id, shortName, false);
    return kNetOk;
  }

  NetResult CreateServerPlayer() override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    if (hostMachine_ != ownMachine_) return kNetErrAccessDenied;
    if (players_.count(kServerPlayerId)) return kNetErrCantCreatePlayer;
    AddOwnPlayer(kServerPlayerId, "", true);
    return kNetOk;
  }

  NetResult DestroyPlayer(NetPlayerId id) override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    auto it = players_.find(id);
    if (it == players_.end() || it->second.machine != ownMachine_) return kNetErrInvalidPlayer;
    players_.erase(it);
    Broadcast(EncodePlayerRemove(id), true);
    return kNetOk;
  }

  NetResult EnumPlayers(std::vector<NetPlayerInfo>& out) override {
    Lock lock(mutex_);
    out.clear();
    if (!InSession()) return kNetErrNoConnection;
    Service();
    for (const auto& [id, player] : players_) out.push_back(NetPlayerInfo{id, player.name, player.server});
    return kNetOk;
  }

  NetResult GetPlayerName(NetPlayerId id, std::string& shortName) override {
    Lock lock(mutex_);
    if (!InSession()) return kNetErrNoConnection;
    auto it = players_.find(id);
    if (it == players_.end()) return kNetErrInvalidPlayer;
    shortName = it->second.name;
    return kNetOk;
  }

  NetResult Send(NetPlayerId from, NetPlayerId to, bool guaranteed, const void* data, size_t size) override {
    if (size > kNetMaxMessageBytes) return kNetErrSendTooBig;
    if (size && !data) return kNetErrInvalidParam;
    Lock lock(mutex_);
    NetMessageInfo info;
    info.from = from;
    info.size = size;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return Dispatch(from, to, guaranteed, info, Bytes(bytes, bytes + size), EncodeData(from, to, data, size));
  }

  NetResult SendChat(NetPlayerId from, NetPlayerId to, std::string_view text) override {
    Lock lock(mutex_);
    NetMessageInfo info;
    info.system = true;
    info.from = from;
    info.systemMessage.kind = NetSystemKind::kChat;
    info.systemMessage.player = from;
    info.systemMessage.text = std::string(text.substr(0, kMaxChatBytes));
    return Dispatch(from, to, true, info, {}, EncodeChat(from, to, text));
  }

  NetResult GetMessageCount(NetPlayerId player, int& count) override {
    Lock lock(mutex_);
    count = 0;
    if (!InSession()) return kNetErrNoConnection;
    Service();
    Player* own = OwnPlayer(player);
    if (!own) return kNetErrInvalidPlayer;
    count = static_cast<int>(own->inbox.size());
    return kNetOk;
  }

  NetResult Receive(NetPlayerId to, void* buffer, size_t capacity, NetMessageInfo& out) override {
    Lock lock(mutex_);
    out = NetMessageInfo{};
    if (!InSession()) return kNetErrNoConnection;
    Service();
    Player* own = OwnPlayer(to);
    if (!own) return kNetErrInvalidPlayer;
    if (own->inbox.empty()) return kNetErrNoMessages;
    auto [info, bytes] = std::move(own->inbox.front());
    own->inbox.pop_front();
    out = std::move(info);
    if (out.system) return kNetOk;
    if (bytes.size() > capacity || (!buffer && !bytes.empty())) return kNetErrBufferTooSmall;
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    return kNetOk;
  }

  uint16_t GamePort() const {
    Lock lock(mutex_);
    return hostMachine_ == ownMachine_ && host_ ? listenPort_ : 0;
  }
  uint16_t ListPort() const {
    Lock lock(mutex_);
    return listSocket_ != ENET_SOCKET_NULL ? listSocketPort_ : 0;
  }

  // Called by ENet for every datagram that arrives while this endpoint services its host.
  int Intercept(ENetHost* host);

 private:
  using Lock = std::lock_guard<std::recursive_mutex>;
  enum class JoinState { kNone, kWaiting, kJoined, kRefused };

  bool InSession() const { return host_ && ownMachine_ != 0; }

  void Log(const std::string& line) const {
    if (options_.log) options_.log(line);
  }

  // --- the ENet host and its sockets ---------------------------------------------------------
  bool OpenHost(uint16_t port) {
    if (!StartEnet()) return false;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    if (!options_.bindAddress.empty() && enet_address_set_host_ip(&address, options_.bindAddress.c_str()) != 0)
      return false;
    address.port = port;
    host_ = enet_host_create(&address, kPeerSlots, 2, 0, 0);
    if (!host_) return false;
    host_->intercept = InterceptDatagram;
    ENetAddress bound{};
    enet_socket_get_address(host_->socket, &bound);
    listenPort_ = bound.port;
    return true;
  }

  NetResult CloseHost(NetResult result) {
    if (host_) {
      enet_host_flush(host_);
      enet_host_destroy(host_);
    }
    host_ = nullptr;
    CloseSocket(listSocket_);
    links_.clear();
    machines_.clear();
    players_.clear();
    heldBack_.clear();
    heldBackTo_.clear();
    ownMachine_ = hostMachine_ = 0;
    nextLocalPlayer_ = 1;
    meshTargets_.clear();
    deferredServer_.reset();
    joinPeer_ = nullptr;
    joinState_ = JoinState::kNone;
    return result;
  }

  static void CloseSocket(ENetSocket& socket) {
    if (socket != ENET_SOCKET_NULL) enet_socket_destroy(socket);
    socket = ENET_SOCKET_NULL;
  }

  static ENetSocket OpenDatagramSocket(const ENetAddress& address, bool reuse) {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (socket == ENET_SOCKET_NULL) return socket;
    enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1);
    enet_socket_set_option(socket, ENET_SOCKOPT_BROADCAST, 1);
    if (reuse) enet_socket_set_option(socket, ENET_SOCKOPT_REUSEADDR, 1);
    if (enet_socket_bind(socket, &address) < 0) CloseSocket(socket);
    return socket;
  }

  ENetAddress BindAddress(uint16_t port) const {
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    if (!options_.bindAddress.empty()) enet_address_set_host_ip(&address, options_.bindAddress.c_str());
    address.port = port;
    return address;
  }

  void OpenListSocket() {
    listSocket_ = OpenDatagramSocket(BindAddress(options_.listPort), true);
    if (listSocket_ == ENET_SOCKET_NULL) {
      Log("the session list port is taken: this session cannot be listed");
      return;
    }
    ENetAddress bound{};
    enet_socket_get_address(listSocket_, &bound);
    listSocketPort_ = bound.port;
  }

  bool OpenQuerySocket() {
    if (querySocket_ == ENET_SOCKET_NULL) querySocket_ = OpenDatagramSocket(BindAddress(0), false);
    return querySocket_ != ENET_SOCKET_NULL;
  }

  void SendQuery() {
    ENetAddress to{};
    if (enet_address_set_host_ip(&to, options_.searchAddress.c_str()) != 0) return;
    to.port = options_.listPort;
    Bytes query = EncodeQuery();
    ENetBuffer buffer{query.data(), query.size()};
    enet_socket_send(querySocket_, &to, &buffer, 1);
  }

  void CollectAnswers() {
    uint8_t bytes[kListDatagramBytes];
    for (;;) {
      ENetAddress from{};
      ENetBuffer buffer{bytes, sizeof bytes};
      int received = enet_socket_receive(querySocket_, &from, &buffer, 1);
      if (received <= 0) return;
      SessionAnswer answer;
      if (!DecodeAnswer(bytes, static_cast<size_t>(received), answer)) {
        Log("a malformed session answer was refused");
        continue;
      }
      bool known = std::any_of(collecting_.begin(), collecting_.end(),
                               [&](const FoundSession& found) { return found.answer.instance == answer.instance; });
      if (!known) collecting_.push_back(FoundSession{std::move(answer), from.host});
    }
  }

  void AnswerQueries() {
    if (listSocket_ == ENET_SOCKET_NULL) return;
    uint8_t bytes[kListDatagramBytes];
    for (;;) {
      ENetAddress from{};
      ENetBuffer buffer{bytes, sizeof bytes};
      int received = enet_socket_receive(listSocket_, &from, &buffer, 1);
      if (received <= 0) return;
      if (!DecodeQuery(bytes, static_cast<size_t>(received)) || hostMachine_ != ownMachine_) continue;
      SessionAnswer answer{instance_,   static_cast<uint8_t>(PlayerCount()), maxPlayers_, flags_, listenPort_,
                           sessionName_};
      Bytes reply = EncodeAnswer(answer);
      ENetBuffer out{reply.data(), reply.size()};
      enet_socket_send(listSocket_, &from, &out, 1);
    }
  }

  void ConfigurePeer(ENetPeer* peer) const {
    // ENet's first guess of the round trip is half a second: on a local network the first
    // retransmissions would wait far too long.
    peer->roundTripTime = std::min<enet_uint32>(peer->roundTripTime, kStartRoundTripMs);
    peer->roundTripTimeVariance = std::min<enet_uint32>(peer->roundTripTimeVariance, kStartRoundTripMs / 4);
    enet_peer_ping_interval(peer, kPingIntervalMs);
    // A link drops only when a message has gone unanswered for the whole keep-alive time: with
    // a shorter floor, a few losses in a row on a lossy network dropped a machine still there,
    // and the session split in two.
    enet_peer_timeout(peer, 0, options_.keepAliveMs, options_.keepAliveMs);
  }

  // --- servicing -------------------------------------------------------------------------------
  void Service() {
    if (host_) {
      EnetEndpoint* outer = t_servicing;
      t_servicing = this;
      ENetEvent event;
      while (host_ && enet_host_service(host_, &event, 0) > 0) HandleEvent(event);
      t_servicing = outer;
      DropSilentLinks();
      ReleaseHeldBack();
      if (host_) enet_host_flush(host_);
    }
    AnswerQueries();
  }

  void HandleEvent(ENetEvent& event) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (!links_.count(event.peer)) {
          ConfigurePeer(event.peer);
          links_[event.peer] = Link{};
          links_[event.peer].openedAt = TickCount();
        } else {
          LinkOpened(event.peer);
        }
        break;
      case ENET_EVENT_TYPE_RECEIVE:
        reliableArrival_ = event.channelID == kReliableChannel;
        HandlePacket(event.peer, event.packet->data, event.packet->dataLength);
        enet_packet_destroy(event.packet);
        break;
      case ENET_EVENT_TYPE_DISCONNECT:
        LinkLost(event.peer);
        break;
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }

  // A link we opened is up: a join to the host, or a mesh link to a machine of the roster,
  // which from now on carries what waited for it.
  void LinkOpened(ENetPeer* peer) {
    Hello hello;
    hello.listenPort = listenPort_;
    if (peer == joinPeer_) {
      hello.sessionName = wantedSession_;
      SendOn(peer, EncodeHello(hello), true);
      return;
    }
    auto target = meshTargets_.find(peer);
    if (target == meshTargets_.end()) return;
    auto machine = machines_.find(target->second);
    hello.purpose = HelloPurpose::kMesh;
    hello.machine = ownMachine_;
    SendOn(peer, EncodeHello(hello), true);
    if (machine == machines_.end()) return;
    links_[peer].machine = target->second;
    machine->second.peer = peer;
    IntroduceOwnPlayers(peer);
    FlushPending(machine->second);
  }

  // Links that opened but said nothing acceptable are closed after the join time-out.
  void DropSilentLinks() {
    const uint32_t now = TickCount();
    std::vector<ENetPeer*> silent;
    for (const auto& [peer, link] : links_)
      if (link.machine == 0 && peer != joinPeer_ && now - link.openedAt >= options_.joinTimeoutMs)
        silent.push_back(peer);
    for (ENetPeer* peer : silent) {
      Log("a link that said no hello was closed");
      links_.erase(peer);
      enet_peer_disconnect_now(peer, 0);
    }
  }

  void Refuse(ENetPeer* peer, RefuseReason reason) {
    Log(std::string("a joining machine was refused: ") + RefuseReasonText(reason));
    SendOn(peer, EncodeRefuse(reason), true);
    links_.erase(peer);
    enet_peer_disconnect_later(peer, 0);
  }

  void HandlePacket(ENetPeer* peer, const uint8_t* data, size_t size) {
    auto link = links_.find(peer);
    if (link == links_.end()) return;
    const Kind kind = static_cast<Kind>(KindOf(data, size));
    if (link->second.machine == 0) {
      if (peer == joinPeer_)
        HandleJoinAnswer(peer, kind, data, size);
      else if (link->second.hasMeshHello && link->second.early.size() < kMaxPendingPerMachine)
        link->second.early.emplace_back(data, data + size);  // replayed once the roster holds it
      else if (!link->second.hasMeshHello)
        HandleHello(peer, data, size);
      return;
    }
    HandleFromMachine(link->second.machine, kind, data, size);
  }

  void HandleFromMachine(uint32_t machine, Kind kind, const uint8_t* data, size_t size) {
    bool accepted = false;
    switch (kind) {
      case Kind::kRoster:
        accepted = HandleRosterUpdate(machine, data, size);
        break;
      case Kind::kPlayerAdd:
        accepted = HandlePlayerAdd(machine, data, size);
        break;
      case Kind::kPlayerRemove:
        accepted = HandlePlayerRemove(machine, data, size);
        break;
      case Kind::kFlags:
        accepted = machine == hostMachine_ && DecodeFlags(data, size, flags_);
        break;
      case Kind::kData:
        accepted = HandleData(machine, data, size);
        break;
      case Kind::kChat:
        accepted = HandleChat(machine, data, size);
        break;
      default:
        break;
    }
    if (!accepted) Log("refused a malformed or misaddressed message from machine " + std::to_string(machine));
  }

  // --- joining ---------------------------------------------------------------------------------
  void HandleJoinAnswer(ENetPeer* peer, Kind kind, const uint8_t* data, size_t size) {
    RefuseReason reason;
    Roster roster;
    if (kind == Kind::kRefuse && DecodeRefuse(data, size, reason)) {
      Log(std::string("the host refused the join: ") + RefuseReasonText(reason));
      refusal_ = reason == RefuseReason::kFull           ? kNetErrCantAddPlayer
                 : reason == RefuseReason::kJoinDisabled ? kNetErrAccessDenied
                                                         : kNetErrNoSessions;
      joinState_ = JoinState::kRefused;
    } else if (kind == Kind::kRoster && DecodeRoster(data, size, roster) && roster.yourMachine != roster.hostMachine) {
      TakeRoster(peer, roster);
      joinState_ = JoinState::kJoined;
    } else {
      Log("the host's answer to the join was malformed");
      refusal_ = kNetErrGeneric;
      joinState_ = JoinState::kRefused;
    }
  }

  void TakeRoster(ENetPeer* hostPeer, const Roster& roster) {
    instance_ = roster.instance;
    flags_ = roster.flags;
    maxPlayers_ = roster.maxPlayers;
    hostMachine_ = roster.hostMachine;
    ownMachine_ = roster.yourMachine;
    sessionName_ = roster.sessionName;
    links_[hostPeer].machine = hostMachine_;
    for (const RosterMachine& entry : roster.machines) {
      Machine machine{entry.address ? entry.address : hostPeer->address.host, entry.port, nullptr, {}};
      if (entry.machine == hostMachine_) machine.peer = hostPeer;
      machines_[entry.machine] = machine;
      for (const RosterPlayer& player : entry.players)
        players_[player.id] = Player{player.name, player.server, entry.machine, {}};
    }
    // The newcomer opens the links to every other machine.
    for (auto& [number, machine] : machines_) {
      if (number == ownMachine_ || number == hostMachine_) continue;
      ENetAddress address{machine.address, machine.port};
      ENetPeer* peer = enet_host_connect(host_, &address, 2, kApplicationId);
      if (!peer) continue;
      ConfigurePeer(peer);
      links_[peer].openedAt = TickCount();
      meshTargets_[peer] = number;
    }
  }

  void HandleHello(ENetPeer* peer, const uint8_t* data, size_t size) {
    if (meshTargets_.count(peer)) return;  // our own mesh link: the other side says nothing first
    Hello hello;
    if (!DecodeHello(data, size, hello)) return Refuse(peer, RefuseReason::kBadHello);
    if (hello.application != kApplicationId || hello.version != kWireVersion)
      return Refuse(peer, RefuseReason::kWrongApplication);
    if (hello.purpose == HelloPurpose::kMesh) {
      links_[peer].meshHello = hello;
      links_[peer].hasMeshHello = true;
      ResolveMeshHellos();
      return;
    }
    if (hostMachine_ != ownMachine_ || hello.sessionName != sessionName_)
      return Refuse(peer, RefuseReason::kNoSuchSession);
    if (flags_ & kSessionJoinDisabled) return Refuse(peer, RefuseReason::kJoinDisabled);
    if (machines_.size() >= std::max<size_t>(maxPlayers_, 1) || nextMachine_ > 255)
      return Refuse(peer, RefuseReason::kFull);
    const uint32_t number = nextMachine_++;
    machines_[number] = Machine{peer->address.host, hello.listenPort, peer, {}};
    links_[peer].machine = number;
    for (const auto& [other, machine] : machines_)
      if (other != ownMachine_) SendTo(other, EncodeRoster(MakeRoster(other)), true);
  }

  // A mesh hello is taken when the roster holds its machine at the address it came from.
  void ResolveMeshHellos() {
    for (auto& [peer, link] : links_) {
      if (!link.hasMeshHello || link.machine) continue;
      auto machine = machines_.find(link.meshHello.machine);
      if (machine == machines_.end()) continue;
      link.hasMeshHello = false;
      if (machine->first == ownMachine_ || machine->second.peer || machine->second.address != peer->address.host ||
          machine->second.port != peer->address.port) {
        Log("a mesh link from an unknown address was refused");
        enet_peer_disconnect_later(peer, 0);
        continue;
      }
      link.machine = machine->first;
      machine->second.peer = peer;
      IntroduceOwnPlayers(peer);
      FlushPending(machine->second);
      std::vector<Bytes> early = std::move(link.early);
      for (const Bytes& bytes : early)
        HandleFromMachine(link.machine, static_cast<Kind>(KindOf(bytes.data(), bytes.size())), bytes.data(),
                          bytes.size());
    }
  }

  Roster MakeRoster(uint32_t forMachine) const {
    Roster roster;
    roster.instance = instance_;
    roster.flags = flags_;
    roster.maxPlayers = maxPlayers_;
    roster.hostMachine = hostMachine_;
    roster.yourMachine = forMachine;
    roster.sessionName = sessionName_;
    for (const auto& [number, machine] : machines_) {
      RosterMachine entry{number, number == ownMachine_ ? 0 : machine.address, machine.port, {}};
      for (const auto& [id, player] : players_)
        if (player.machine == number) entry.players.push_back(RosterPlayer{id, player.server, player.name});
      roster.machines.push_back(std::move(entry));
    }
    return roster;
  }

  // Later rosters from the host tell of machines that joined since: they open links to us.
  bool HandleRosterUpdate(uint32_t machine, const uint8_t* data, size_t size) {
    Roster roster;
    if (machine != hostMachine_ || !DecodeRoster(data, size, roster) || roster.yourMachine != ownMachine_) return false;
    for (const RosterMachine& entry : roster.machines)
      if (!machines_.count(entry.machine) && entry.machine != ownMachine_)
        machines_[entry.machine] = Machine{entry.address, entry.port, nullptr, {}};
    ResolveMeshHellos();
    return true;
  }

  // --- players and messages ----------------------------------------------------------------------
  int PlayerCount() const {
    int count = 0;
    for (const auto& entry : players_) count += entry.second.server ? 0 : 1;
    return count;
  }
  size_t OwnPlayerCount() const {
    size_t count = 0;
    for (const auto& entry : players_) count += entry.second.machine == ownMachine_ && !entry.second.server;
    return count;
  }

  // A new mesh link first carries this machine's players. The other machine may know none of
  // them: the host's roster holds only the players the host had heard of when that machine
  // joined, and a player made here before this machine heard of that one was announced to the
  // others only. Without its players, what this machine sends there would be refused.
  void IntroduceOwnPlayers(ENetPeer* peer) {
    for (const auto& [id, player] : players_)
      if (player.machine == ownMachine_) SendOn(peer, EncodePlayerAdd(PlayerChange{id, player.server, player.name}), true);
  }

  Player* OwnPlayer(NetPlayerId id) {
    auto it = players_.find(id);
    return it != players_.end() && it->second.machine == ownMachine_ ? &it->second : nullptr;
  }

  void AddOwnPlayer(NetPlayerId id, std::string_view name, bool server) {
    std::string shortName(name.substr(0, kMaxNameBytes));
    // This machine's other players hear of the new one as the other machines' do (the host's
    // server player seats its own machine's player so); it is not told of itself.
    NetSystemMessage joined;
    joined.kind = NetSystemKind::kCreatePlayer;
    joined.player = id;
    joined.shortName = shortName;
    Announce(joined);
    players_[id] = Player{shortName, server, ownMachine_, {}};
    Broadcast(EncodePlayerAdd(PlayerChange{id, server, shortName}), true);
  }

  // A system message for every player of this machine.
  void Announce(const NetSystemMessage& message) {
    for (auto& [id, player] : players_)
      if (player.machine == ownMachine_) {
        NetMessageInfo info;
        info.system = true;
        info.systemMessage = message;
        player.inbox.emplace_back(std::move(info), Bytes{});
      }
  }

  bool HandlePlayerAdd(uint32_t machine, const uint8_t* data, size_t size) {
    PlayerChange change;
    if (!DecodePlayerAdd(data, size, change)) return false;
    if (change.server && machine != hostMachine_ && machines_.count(hostMachine_)) {
      // A new host that saw the old one go before we did: its server player waits for that.
      deferredServer_ = std::make_pair(machine, Bytes(data, data + size));
      return true;
    }
    // A player heard of twice (in a roster, then from its machine) is the same player.
    if (auto known = players_.find(change.id); known != players_.end()) return known->second.machine == machine;
    const bool belongs = change.server ? change.id == kServerPlayerId && machine == hostMachine_
                                       : MachineOfPlayer(change.id) == machine && (change.id & 0xff) != 0;
    size_t ofMachine = 0;
    for (const auto& entry : players_) ofMachine += entry.second.machine == machine;
    if (!belongs || ofMachine > kMaxPlayersPerMachine) return false;
    players_[change.id] = Player{change.name, change.server, machine, {}};
    NetSystemMessage joined;
    joined.kind = NetSystemKind::kCreatePlayer;
    joined.player = change.id;
    joined.shortName = change.name;
    Announce(joined);
    return true;
  }

  void RemovePlayer(NetPlayerId id) {
    auto it = players_.find(id);
    if (it == players_.end()) return;
    NetSystemMessage gone;
    gone.kind = NetSystemKind::kDestroyPlayer;
    gone.player = id;
    gone.shortName = it->second.name;
    players_.erase(it);
    Announce(gone);
  }

  bool HandlePlayerRemove(uint32_t machine, const uint8_t* data, size_t size) {
    uint32_t id = 0;
    if (!DecodePlayerRemove(data, size, id)) return false;
    auto it = players_.find(id);
    if (it == players_.end() || it->second.machine != machine) return false;
    RemovePlayer(id);
    return true;
  }

  // The sender is the machine of the link the message came on, never a field: a message whose
  // sender is not one of that machine's players is refused.
  bool SenderBelongs(uint32_t machine, uint32_t from) const {
    auto it = players_.find(from);
    return it != players_.end() && it->second.machine == machine;
  }

  void DeliverLocally(NetPlayerId from, NetPlayerId to, const NetMessageInfo& info, const Bytes& bytes) {
    for (auto& [id, player] : players_) {
      if (player.machine != ownMachine_ || id == from) continue;
      if (to != kNetAllPlayers && id != to) continue;
      player.inbox.emplace_back(info, bytes);
    }
  }

  bool HandleData(uint32_t machine, const uint8_t* data, size_t size) {
    Envelope envelope;
    if (!DecodeData(data, size, envelope) || !SenderBelongs(machine, envelope.from)) return false;
    NetMessageInfo info;
    info.from = envelope.from;
    info.size = envelope.size;
    Bytes bytes(envelope.bytes, envelope.bytes + envelope.size);
    if (!reliableArrival_ && Impair(envelope.to, info, bytes)) return true;
    DeliverLocally(envelope.from, envelope.to, info, bytes);
    return true;
  }

  // Injected faults of an unreliable message as it arrives: a second copy a moment later, or the
  // message held back behind later ones. True when the message was held back.
  bool Impair(NetPlayerId to, const NetMessageInfo& info, const Bytes& bytes) {
    const EnetImpairment& faults = options_.impairment;
    const bool duplicate = Chance(faults.duplicate);
    const bool hold = !duplicate && Chance(faults.reorder);
    if (!duplicate && !hold) return false;
    const uint32_t due = TickCount() + 1 + static_cast<uint32_t>(random_ % kMaxHeldBackMs);
    heldBack_.emplace_back(due, std::make_pair(info, bytes));
    heldBackTo_.push_back(to);
    return hold;
  }

  void ReleaseHeldBack() {
    const uint32_t now = TickCount();
    for (size_t i = 0; i < heldBack_.size();) {
      if (static_cast<int32_t>(now - heldBack_[i].first) < 0) {
        ++i;
        continue;
      }
      const auto& [info, bytes] = heldBack_[i].second;
      if (players_.count(info.from)) DeliverLocally(info.from, heldBackTo_[i], info, bytes);
      heldBack_.erase(heldBack_.begin() + static_cast<long>(i));
      heldBackTo_.erase(heldBackTo_.begin() + static_cast<long>(i));
    }
  }

  bool HandleChat(uint32_t machine, const uint8_t* data, size_t size) {
    uint32_t from = 0, to = 0;
    std::string text;
    if (!DecodeChat(data, size, from, to, text) || !SenderBelongs(machine, from)) return false;
    NetMessageInfo info;
    info.system = true;
    info.from = from;
    info.systemMessage.kind = NetSystemKind::kChat;
    info.systemMessage.player = from;
    info.systemMessage.text = std::move(text);
    DeliverLocally(from, to, info, {});
    return true;
  }

  NetResult Dispatch(NetPlayerId from, NetPlayerId to, bool guaranteed, const NetMessageInfo& info, const Bytes& local,
                     const Bytes& wire) {
    if (!InSession()) return kNetErrNoConnection;
    if (!OwnPlayer(from) && !options_.forgeSenders) return kNetErrInvalidPlayer;
    bool anyone = false;
    if (to == kNetAllPlayers) {
      std::map<uint32_t, bool> remote;
      for (const auto& [id, player] : players_)
        if (id != from) {
          anyone = true;
          if (player.machine != ownMachine_) remote[player.machine] = true;
        }
      for (const auto& entry : remote) SendTo(entry.first, wire, guaranteed);
    } else {
      auto it = players_.find(to);
      if (it != players_.end()) {
        anyone = true;
        if (it->second.machine != ownMachine_) SendTo(it->second.machine, wire, guaranteed);
      }
    }
    if (!anyone) return kNetErrInvalidPlayer;
    DeliverLocally(from, to, info, local);
    if (host_) enet_host_flush(host_);
    return kNetOk;
  }

  void SendOn(ENetPeer* peer, const Bytes& bytes, bool guaranteed) {
    const enet_uint32 flags =
        guaranteed ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED | ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), flags);
    if (packet && enet_peer_send(peer, guaranteed ? kReliableChannel : kUnreliableChannel, packet) != 0)
      enet_packet_destroy(packet);
  }

  // To one machine: on its link, or held until the link is up (a new machine's links open
  // while the first messages are already on their way).
  void SendTo(uint32_t number, const Bytes& bytes, bool guaranteed) {
    auto it = machines_.find(number);
    if (it == machines_.end() || number == ownMachine_) return;
    Machine& machine = it->second;
    if (machine.peer) return SendOn(machine.peer, bytes, guaranteed);
    if (machine.pending.size() < kMaxPendingPerMachine) machine.pending.emplace_back(guaranteed, bytes);
  }

  void Broadcast(const Bytes& bytes, bool guaranteed) {
    for (const auto& entry : machines_) SendTo(entry.first, bytes, guaranteed);
    if (host_) enet_host_flush(host_);
  }

  void FlushPending(Machine& machine) {
    while (!machine.pending.empty()) {
      SendOn(machine.peer, machine.pending.front().second, machine.pending.front().first);
      machine.pending.pop_front();
    }
  }

  // --- links going ---------------------------------------------------------------------------------
  void LinkLost(ENetPeer* peer) {
    auto link = links_.find(peer);
    if (peer == joinPeer_ && joinState_ == JoinState::kWaiting) {
      refusal_ = kNetErrNoConnection;
      joinState_ = JoinState::kRefused;
    }
    meshTargets_.erase(peer);
    if (link == links_.end()) return;
    const uint32_t machine = link->second.machine;
    links_.erase(link);
    if (!machine) return;
    Log("the link to machine " + std::to_string(machine) + " dropped");
    MachineGone(machine);
  }

  void MachineGone(uint32_t machine) {
    std::vector<NetPlayerId> gone;
    for (const auto& [id, player] : players_)
      if (player.machine == machine) gone.push_back(id);
    for (NetPlayerId id : gone) RemovePlayer(id);
    machines_.erase(machine);
    if (machine != hostMachine_) return;
    hostMachine_ = machines_.empty() ? ownMachine_ : machines_.begin()->first;
    if (hostMachine_ != ownMachine_) {
      if (deferredServer_ && deferredServer_->first == hostMachine_) {
        Bytes add = std::move(deferredServer_->second);
        deferredServer_.reset();
        HandlePlayerAdd(hostMachine_, add.data(), add.size());
      }
      return;
    }
    NetSystemMessage news;
    news.kind = NetSystemKind::kHost;
    Announce(news);
  }

  std::recursive_mutex mutable mutex_;
  EnetOptions options_;
  uint64_t random_;
  uint32_t instanceSeed_ = 0;
  ENetHost* host_ = nullptr;
  uint16_t listenPort_ = 0;
  ENetSocket listSocket_ = ENET_SOCKET_NULL;
  uint16_t listSocketPort_ = 0;
  ENetSocket querySocket_ = ENET_SOCKET_NULL;
  std::vector<FoundSession> found_, collecting_;

  uint32_t instance_ = 0;
  std::string sessionName_;
  uint8_t maxPlayers_ = 0;
  uint32_t flags_ = 0;
  uint32_t ownMachine_ = 0;
  uint32_t hostMachine_ = 0;
  uint32_t nextMachine_ = 2;
  uint32_t nextLocalPlayer_ = 1;
  std::map<uint32_t, Machine> machines_;  // by number; the lowest survivor hosts
  std::map<NetPlayerId, Player> players_;
  std::map<ENetPeer*, Link> links_;
  std::map<ENetPeer*, uint32_t> meshTargets_;  // links we opened to machines of the roster

  std::optional<std::pair<uint32_t, Bytes>> deferredServer_;
  bool reliableArrival_ = true;  // the channel of the message being handled
  ENetPeer* joinPeer_ = nullptr;
  JoinState joinState_ = JoinState::kNone;
  NetResult refusal_ = kNetOk;
  std::string wantedSession_;

  // Unreliable messages held back or doubled, with the tick they are due (injected faults).
  std::deque<std::pair<uint32_t, std::pair<NetMessageInfo, Bytes>>> heldBack_;
  std::deque<NetPlayerId> heldBackTo_;

 public:
  bool Chance(double p) {
    if (p <= 0) return false;
    uint64_t z = (random_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53 < p;
  }
  const EnetImpairment& impairment() const { return options_.impairment; }
};

int EnetEndpoint::Intercept(ENetHost*) { return Chance(impairment().loss) ? 1 : 0; }

int ENET_CALLBACK InterceptDatagram(ENetHost* host, ENetEvent*) {
  return t_servicing ? t_servicing->Intercept(host) : 0;
}

}  // namespace

std::unique_ptr<NetEndpoint> CreateEnetEndpoint(const EnetOptions& options) {
  if (!StartEnet()) return nullptr;
  return std::make_unique<EnetEndpoint>(options);
}

uint16_t EnetGamePort(const NetEndpoint& endpoint) {
  const auto* enet = dynamic_cast<const EnetEndpoint*>(&endpoint);
  return enet ? enet->GamePort() : 0;
}

uint16_t EnetListPort(const NetEndpoint& endpoint) {
  const auto* enet = dynamic_cast<const EnetEndpoint*>(&endpoint);
  return enet ? enet->ListPort() : 0;
}

}  // namespace platform
