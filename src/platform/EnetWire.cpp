#include "platform/EnetWire.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/NetEndpoint.h"

namespace platform::enetwire {

namespace {

constexpr uint32_t kQueryMagic = 0x51535256u;   // "VRSQ"
constexpr uint32_t kAnswerMagic = 0x41535256u;  // "VRSA"

class Writer {
 public:
  explicit Writer(Kind kind) { bytes_.push_back(static_cast<uint8_t>(kind)); }
  Writer() = default;
  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  // Cut to the bound: a writer never produces what a reader refuses.
  void Text(std::string_view text, size_t bound) {
    text = text.substr(0, std::min({text.size(), bound, text.find('\0')}));
    U8(static_cast<uint8_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  void Raw(const void* data, size_t size) {
    const uint8_t* from = static_cast<const uint8_t*>(data);
    if (size) bytes_.insert(bytes_.end(), from, from + size);
  }
  Bytes Take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
  // Reads the kind byte and answers whether it is the one expected.
  bool Expect(Kind kind) { return U8() == static_cast<uint8_t>(kind) && ok_; }
  uint8_t U8() {
    if (!Need(1)) return 0;
    return data_[position_++];
  }
  uint16_t U16() {
    uint16_t low = U8();
    return static_cast<uint16_t>(low | (U8() << 8));
  }
  uint32_t U32() {
    uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  bool Text(std::string& out, size_t bound) {
    size_t length = U8();
    if (!ok_ || length > bound || !Need(length)) return Fail();
    const char* text = reinterpret_cast<const char*>(data_ + position_);
    if (std::memchr(text, '\0', length)) return Fail();
    out.assign(text, length);
    position_ += length;
    return true;
  }
  const uint8_t* Rest(size_t& size) {
    size = ok_ ? size_ - position_ : 0;
    const uint8_t* at = data_ + position_;
    position_ = size_;
    return at;
  }
  // Everything read, nothing left over.
  bool Done() const { return ok_ && position_ == size_; }
  bool ok() const { return ok_; }

 private:
  bool Need(size_t bytes) {
    if (!ok_ || size_ - position_ < bytes) return Fail();
    return true;
  }
  bool Fail() {
    ok_ = false;
    return false;
  }
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  bool ok_ = true;
};

void WritePlayer(Writer& out, uint32_t id, bool server, std::string_view name) {
  out.U32(id);
  out.U8(server ? 1 : 0);
  out.Text(name, kMaxNameBytes);
}

bool ReadPlayer(Reader& in, PlayerChange& out) {
  out.id = in.U32();
  uint8_t server = in.U8();
  if (!in.ok() || server > 1) return false;
  out.server = server == 1;
  return in.Text(out.name, kMaxNameBytes);
}

// A player id that a machine may announce: one of its own (local part 1-255), or the server
// player when the machine hosts.
bool PlayerBelongs(uint32_t id, bool server, uint32_t machine, uint32_t hostMachine) {
  if (server) return id == kServerPlayerId && machine == hostMachine;
  return MachineOfPlayer(id) == machine && (id & 0xff) != 0;
}

bool CheckRoster(const Roster& roster) {
  if (roster.machines.empty() || roster.machines.size() > kMaxMachines) return false;
  std::set<uint32_t> machines, players;
  for (const RosterMachine& machine : roster.machines) {
    if (machine.machine == 0 || machine.machine > 255 || !machines.insert(machine.machine).second) return false;
    if (machine.players.size() > kMaxPlayersPerMachine + 1) return false;
    for (const RosterPlayer& player : machine.players) {
      if (!PlayerBelongs(player.id, player.server, machine.machine, roster.hostMachine)) return false;
      if (!players.insert(player.id).second) return false;
    }
  }
  return machines.count(roster.hostMachine) && machines.count(roster.yourMachine) && roster.maxPlayers <= kMaxMachines;
}

}  // namespace

const char* RefuseReasonText(RefuseReason reason) {
  switch (reason) {
    case RefuseReason::kWrongApplication:
      return "not a session of this game";
    case RefuseReason::kFull:
      return "the session is full";
    case RefuseReason::kJoinDisabled:
      return "the session takes no one else";
    case RefuseReason::kNoSuchSession:
      return "no session of that name here";
    case RefuseReason::kBadHello:
      return "a malformed hello";
  }
  return "refused";
}

Bytes EncodeHello(const Hello& hello) {
  Writer out(Kind::kHello);
  out.U32(hello.application);
  out.U16(hello.version);
  out.U8(static_cast<uint8_t>(hello.purpose));
  out.U32(hello.machine);
  out.U16(hello.listenPort);
  out.Text(hello.sessionName, kMaxSessionNameBytes);
  return out.Take();
}

bool DecodeHello(const uint8_t* data, size_t size, Hello& out) {
  Reader in(data, size);
  if (!in.Expect(Kind::kHello)) return false;
  out.application = in.U32();
  out.version = in.U16();
  uint8_t purpose = in.U8();
  out.machine = in.U32();
  out.listenPort = in.U16();
  if (!in.ok() || purpose > 1) return false;
  out.purpose = static_cast<HelloPurpose>(purpose);
  return in.Text(out.sessionName, kMaxSessionNameBytes) && in.Done();
}

Bytes EncodeRefuse(RefuseReason reason) {
  Writer out(Kind::kRefuse);
  out.U8(static_cast<uint8_t>(reason));
  return out.Take();
}

bool DecodeRefuse(const uint8_t* data, size_t size, RefuseReason& out) {
  Reader in(data, size);
  if (!in.Expect(Kind::kRefuse)) return false;
  uint8_t reason = in.U8();
  if (!in.Done() || reason < 1 || reason > 5) return false;
  out = static_cast<RefuseReason>(reason);
  return true;
}

Bytes EncodeRoster(const Roster& roster) {
  Writer out(Kind::kRoster);
  out.U32(roster.instance);
  out.U32(roster.flags);
  out.U8(roster.maxPlayers);
  out.U32(roster.hostMachine);
  out.U32(roster.yourMachine);
  out.Text(roster.sessionName, kMaxSessionNameBytes);
  out.U8(static_cast<uint8_t>(roster.machines.size()));
  for (const RosterMachine& machine : roster.machines) {
    out.U32(machine.machine);
    out.U32(machine.address);
    out.U16(machine.port);
    out.U8(static_cast<uint8_t>(machine.players.size()));
    for (const RosterPlayer& player : machine.players) WritePlayer(out, player.id, player.server, player.name);
  }
  return out.Take();
}

bool DecodeRoster(const uint8_t* data, size_t size, Roster& out) {
  Reader in(data, size);
  if (!in.Expect(Kind::kRoster)) return false;
  out = Roster{};
  out.instance = in.U32();
  out.flags = in.U32();
  out.maxPlayers = in.U8();
  out.hostMachine = in.U32();
  out.yourMachine = in.U32();
  if (!in.Text(out.sessionName, kMaxSessionNameBytes)) return false;
  size_t machines = in.U8();
  if (!in.ok() || machines > kMaxMachines) return false;
  for (size_t i = 0; i < machines; ++i) {
    RosterMachine machine;
    machine.machine = in.U32();
    machine.address = in.U32();
    machine.port = in.U16();
    size_t players = in.U8();
    if (!in.ok() || players > kMaxPlayersPerMachine + 1) return false;
    for (size_t p = 0; p < players; ++p) {
      PlayerChange player;
      if (!ReadPlayer(in, player)) return false;
      machine.players.push_back(RosterPlayer{player.id, player.server, std::move(player.name)});
    }
    out.machines.push_back(std::move(machine));
  }
  return in.Done() && CheckRoster(out);
}

Bytes EncodePlayerAdd(const PlayerChange& change) {
  Writer out(Kind::kPlayerAdd);
  WritePlayer(out, change.id, change.server, change.name);
  return out.Take();
}

bool DecodePlayerAdd(const uint8_t* data, size_t size, PlayerChange& out) {
  Reader in(data, size);
  return in.Expect(Kind::kPlayerAdd) && ReadPlayer(in, out) && in.Done() && out.id != 0;
}

namespace {

// The messages of one word after their kind.
Bytes EncodeWord(Kind kind, uint32_t value) {
  Writer out(kind);
  out.U32(value);
  return out.Take();
}

bool DecodeWord(Kind kind, const uint8_t* data, size_t size, uint32_t& value) {
  Reader in(data, size);
  if (!in.Expect(kind)) return false;
  value = in.U32();
  return in.Done();
}

}  // namespace

Bytes EncodePlayerRemove(uint32_t id) { return EncodeWord(Kind::kPlayerRemove, id); }

bool DecodePlayerRemove(const uint8_t* data, size_t size, uint32_t& id) {
  return DecodeWord(Kind::kPlayerRemove, data, size, id) && id != 0;
}

Bytes EncodeFlags(uint32_t flags) { return EncodeWord(Kind::kFlags, flags); }

bool DecodeFlags(const uint8_t* data, size_t size, uint32_t& flags) {
  return DecodeWord(Kind::kFlags, data, size, flags);
}

Bytes EncodeData(uint32_t from, uint32_t to, const void* data, size_t size) {
  Writer out(Kind::kData);
  out.U32(from);
  out.U32(to);
  out.Raw(data, size);
  return out.Take();
}

bool DecodeData(const uint8_t* data, size_t size, Envelope& out) {
  Reader in(data, size);
  if (!in.Expect(Kind::kData)) return false;
  out.from = in.U32();
  out.to = in.U32();
  out.bytes = in.Rest(out.size);
  return in.ok() && out.from != 0 && out.size <= kNetMaxMessageBytes;
}

Bytes EncodeChat(uint32_t from, uint32_t to, std::string_view text) {
  Writer out(Kind::kChat);
  out.U32(from);
  out.U32(to);
  text = text.substr(0, std::min(text.size(), kMaxChatBytes));
  out.U16(static_cast<uint16_t>(text.size()));
  out.Raw(text.data(), text.size());
  return out.Take();
}

bool DecodeChat(const uint8_t* data, size_t size, uint32_t& from, uint32_t& to, std::string& text) {
  Reader in(data, size);
  if (!in.Expect(Kind::kChat)) return false;
  from = in.U32();
  to = in.U32();
  size_t length = in.U16();
  size_t rest = 0;
  const uint8_t* bytes = in.Rest(rest);
  if (!in.ok() || from == 0 || length > kMaxChatBytes || rest != length) return false;
  if (std::memchr(bytes, '\0', length)) return false;
  text.assign(reinterpret_cast<const char*>(bytes), length);
  return true;
}

Bytes EncodeQuery() {
  Writer out;
  out.U32(kQueryMagic);
  out.U32(kApplicationId);
  out.U16(kWireVersion);
  return out.Take();
}

bool DecodeQuery(const uint8_t* data, size_t size) {
  Reader in(data, size);
  return in.U32() == kQueryMagic && in.U32() == kApplicationId && in.U16() == kWireVersion && in.Done();
}

Bytes EncodeAnswer(const SessionAnswer& answer) {
  Writer out;
  out.U32(kAnswerMagic);
  out.U32(kApplicationId);
  out.U32(answer.instance);
  out.U8(answer.players);
  out.U8(answer.maxPlayers);
  out.U32(answer.flags);
  out.U16(answer.port);
  out.Text(answer.name, kMaxSessionNameBytes);
  return out.Take();
}

bool DecodeAnswer(const uint8_t* data, size_t size, SessionAnswer& out) {
  Reader in(data, size);
  if (in.U32() != kAnswerMagic || in.U32() != kApplicationId) return false;
  out.instance = in.U32();
  out.players = in.U8();
  out.maxPlayers = in.U8();
  out.flags = in.U32();
  out.port = in.U16();
  if (!in.Text(out.name, kMaxSessionNameBytes) || !in.Done()) return false;
  return out.port != 0 && out.players <= kMaxMachines && out.maxPlayers <= kMaxMachines;
}

uint8_t KindOf(const uint8_t* data, size_t size) { return data && size ? data[0] : 0; }

}  // namespace platform::enetwire
