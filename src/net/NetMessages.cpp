#include "net/NetMessages.h"

#include <cstring>

#include "core/Bytes.h"
#include "net/NetHooks.h"

namespace {

struct TypeInfo {
  const char* name;
  int commandLength;  // in a client frame message; 0 where it may not stand
};

// Names as the network log writes them; commands with their fixed lengths.
constexpr TypeInfo kTypes[kNetMessageTypes] = {
    {"MSG_RESEND_REQUEST", 0},
    {"[MSG_COMPOUND]", 0},
    {"MSG_INITIALISE", 0},
    {"MSG_VALIDATE_FRAME", kValidateBytes},
    {"MSG_CAST_SPELL", 56},
    {"MSG_CREATURE_WALK", 28},
    {"MSG_WALK_TO_CHEST", 28},
    {"MSG_CREATURE_ATTACK", 20},
    {"MSG_USE_ARTIFACT", 20},
    {"MSG_DROP_ARTIFACT", 28},
    {"MSG_CREATURE_ATTACK_TERRAIN", 28},
    {"MSG_Q_CREATURE_ATTACK", 20},
    {"MSG_Q_CREATURE_WALK", 29},
    {"MSG_FOLLOW_CREATURE", 20},
    {"MSG_INIT_USER_LIST", 0},
    {"MSG_INIT_GAME_SETUP", 0},
    {"MSG_INIT_WIZARD_SETUP", 0},
    {"MSG_INIT_WIZARD_SPELLS", 0},
    {"MSG_INIT_REQUEST_COLOUR", 0},
    {"MSG_INIT_REQUEST_PORTRAIT", 0},
    {"MSG_INIT_JOIN_READY", 0},
    {"MSG_INIT_SET_HANDICAP", 0},
    {"MSG_INIT_SET_SLOT", 0},
    {"***TOLD TO LEAVE CHANNEL***", 0},
    {"MSG_COUNTER", kCounterBytes},
    {"MSG_PAUSE", kWordCommandBytes},
    {"MSG_SPEECH_CLOSED", kWordCommandBytes},
    {"MSG_CAMERA_BACK", kWordCommandBytes},
    {"MSG_INTERFACE_COMMAND", kWordCommandBytes},
};

void WriteHeader(bytes::Writer& out, int32_t type, int32_t length) {
  out.I32(0);
  out.I32(type);
  out.I32(length);
}

CommandMessage Finish(const bytes::Writer& out) {
  CommandMessage message;
  message.length = static_cast<int32_t>(out.Size());
  std::memcpy(message.bytes, out.Data().data(), out.Size());
  return message;
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// A set-up message of exactly its size and type.
bool IsMessage(const uint8_t* data, size_t size, int32_t type, int expected) {
  return static_cast<int>(size) == expected && CheckMessageHeader(data, size) == type;
}

bool CheckClientFrame(const uint8_t* data, int length);

// Walks the sub-messages of a frame whose header has been checked; each must pass `accept`
// (given its bytes and length) and the walk must end exactly at the end in `count` steps.
template <typename Accept>
bool WalkSubMessages(const uint8_t* data, int length, int count, Accept accept) {
  int position = kFrameHeaderBytes;
  for (int i = 0; i < count; ++i) {
    if (length - position < kMessageHeaderBytes) return false;
    const uint8_t* sub = data + position;
    const int32_t subLength = MessageWord(sub, 2);
    if (MessageWord(sub, 0) != 0 || subLength < kMessageHeaderBytes || subLength > length - position) return false;
    if (!accept(sub, subLength)) return false;
    position += subLength;
  }
  return position == length;
}

// The frame header: type 1, the length the bytes given, the origin, a frame not below 0.
bool CheckFrameHeader(const uint8_t* data, size_t size, int32_t origin, int capacity, CNetFrameHeader& header) {
  if (size < static_cast<size_t>(kFrameHeaderBytes) || size > static_cast<size_t>(capacity)) return false;
  if (MessageWord(data, 0) != 0 || MessageWord(data, 1) != MSG_COMPOUND) return false;
  header = ReadFrameHeader(data);
  return header.length == static_cast<int32_t>(size) && header.origin == origin && header.frame >= 0 &&
         header.count >= 0 && header.count <= (header.length - kFrameHeaderBytes) / kMessageHeaderBytes;
}

bool CheckClientFrame(const uint8_t* data, int length) {
  CNetFrameHeader header;
  if (!CheckFrameHeader(data, static_cast<size_t>(length), kFrameOriginClient, kClientFrameBytes, header)) return false;
  return WalkSubMessages(data, header.length, header.count, [](const uint8_t* sub, int32_t subLength) {
    const int expected = CommandLength(MessageWord(sub, 1));
    return expected != 0 && subLength == expected;
  });
}

}  // namespace

const char* NetMessageName(int32_t type) {
  return InRange(type, 0, kNetMessageTypes - 1) ? kTypes[type].name : nullptr;
}

int CommandLength(int32_t type) { return InRange(type, 0, kNetMessageTypes - 1) ? kTypes[type].commandLength : 0; }

void SetMessageWord(uint8_t* message, int n, int32_t value) {
  bytes::StoreU32(message + 4 * n, static_cast<uint32_t>(value));
}

int32_t CheckMessageHeader(const uint8_t* data, size_t size) {
  if (!data || size < static_cast<size_t>(kMessageHeaderBytes)) return -1;
  if (MessageWord(data, 0) != 0 || MessageWord(data, 2) != static_cast<int32_t>(size)) return -1;
  const int32_t type = MessageWord(data, 1);
  return type < 0 ? -1 : type;
}

void WriteEmptyFrameHeader(uint8_t* buffer, int32_t frame, int32_t origin) {
  const int32_t words[6] = {0, MSG_COMPOUND, kFrameHeaderBytes, frame, origin, 0};
  for (int i = 0; i < 6; ++i) SetMessageWord(buffer, i, words[i]);
}

CNetFrameHeader ReadFrameHeader(const uint8_t* frame) {
  CNetFrameHeader header;
  header.length = MessageWord(frame, 2);
  header.frame = MessageWord(frame, 3);
  header.origin = MessageWord(frame, 4);
  header.count = MessageWord(frame, 5);
  return header;
}

bool CheckFrameMessage(const uint8_t* data, size_t size, int32_t origin) {
  if (!data) return false;
  if (origin == kFrameOriginClient)
    return size <= static_cast<size_t>(kClientFrameBytes) && CheckClientFrame(data, static_cast<int>(size));
  CNetFrameHeader header;
  if (origin != kFrameOriginHost || !CheckFrameHeader(data, size, kFrameOriginHost, kHostFrameBytes, header))
    return false;
  if (header.count > kMaxClients) return false;
  return WalkSubMessages(data, header.length, header.count,
                         [](const uint8_t* sub, int32_t subLength) { return CheckClientFrame(sub, subLength); });
}

bool FrameHasCommands(const uint8_t* frame) {
  const CNetFrameHeader header = ReadFrameHeader(frame);
  if (header.origin != kFrameOriginHost) return header.count > 0;
  int position = kFrameHeaderBytes;
  for (int i = 0; i < header.count; ++i) {
    if (MessageWord(frame + position, 5) > 0) return true;
    position += MessageWord(frame + position, 2);
  }
  return false;
}

void WriteResendRequest(uint8_t out[kResendRequestBytes], int32_t frame) {
  const int32_t words[4] = {0, MSG_RESEND_REQUEST, kResendRequestBytes, frame};
  for (int i = 0; i < 4; ++i) SetMessageWord(out, i, words[i]);
}

CommandMessage MakeValidateMessage(int32_t randomCheck, int32_t activeCreatures, int32_t activeEffects) {
  bytes::Writer out;
  WriteHeader(out, MSG_VALIDATE_FRAME, kValidateBytes);
  for (int32_t word : {randomCheck, activeCreatures, activeEffects}) out.I32(word);
  return Finish(out);
}

CommandMessage MakeCounterMessage(int32_t counter) {
  bytes::Writer out;
  WriteHeader(out, MSG_COUNTER, kCounterBytes);
  out.I32(counter > 0 ? counter - 1 : -1);
  return Finish(out);
}

CommandMessage MakeWordCommand(int32_t type, int32_t word) {
  bytes::Writer out;
  WriteHeader(out, type, kWordCommandBytes);
  out.I32(word);
  return Finish(out);
}

NetBytes MakeFrameMessage(int32_t frame, int32_t origin, const std::vector<NetBytes>& subs) {
  NetBytes out(kFrameHeaderBytes);
  WriteEmptyFrameHeader(out.data(), frame, origin);
  for (const NetBytes& sub : subs) out.insert(out.end(), sub.begin(), sub.end());
  SetMessageWord(out.data(), 2, static_cast<int32_t>(out.size()));
  SetMessageWord(out.data(), 5, static_cast<int32_t>(subs.size()));
  return out;
}

NetBytes MakeInitialiseMessage(const uint8_t* settings, const uint8_t* const slots[kMaxClients],
                               const uint8_t items[kMaxWizardSpells], const int32_t setup[kBattleSetupWords]) {
  bytes::Writer out;
  WriteHeader(out, MSG_INITIALISE, kInitialiseBytes);
  out.Bytes(settings, kGameSettingsBytes);
  for (int i = 0; i < kMaxClients; ++i) out.Bytes(slots[i], kPlayerSlotBytes);
  out.Bytes(items, kMaxWizardSpells);
  for (int i = 0; i < kBattleSetupWords; ++i) out.I32(setup[i]);
  return out.Data();
}

NetBytes MakeGameSetupMessage(const uint8_t* settings) {
  bytes::Writer out;
  WriteHeader(out, MSG_INIT_GAME_SETUP, kGameSetupBytes);
  out.Bytes(settings, kGameSettingsBytes);
  return out.Data();
}

NetBytes MakeWizardSetupMessage(const uint8_t* slot, int32_t slotIndex) {
  bytes::Writer out;
  WriteHeader(out, MSG_INIT_WIZARD_SETUP, kWizardSetupBytes);
  out.Bytes(slot, kPlayerSlotBytes);
  out.I32(slotIndex);
  return out.Data();
}

NetBytes MakeWizardSpellsMessage(int32_t playerIndex, const uint8_t* spells, int count) {
  if (count < 0) count = 0;
  if (count > kMaxWizardSpells) count = kMaxWizardSpells;
  bytes::Writer out;
  WriteHeader(out, MSG_INIT_WIZARD_SPELLS, kWizardSpellsBytes);
  out.I32(playerIndex);
  out.I32(count ? count : 1);
  uint8_t list[kMaxWizardSpells] = {};
  if (count)
    std::memcpy(list, spells, static_cast<size_t>(count));
  else
    list[0] = kNoSpell;
  out.Bytes(list, sizeof list);
  return out.Data();
}

NetBytes MakeSlotMessage(int32_t type, int32_t slotIndex) {
  bytes::Writer out;
  WriteHeader(out, type, 16);
  out.I32(slotIndex);
  return out.Data();
}

NetBytes MakeHandicapMessage(int32_t slotIndex, int32_t handicap) {
  bytes::Writer out;
  WriteHeader(out, MSG_INIT_SET_HANDICAP, 20);
  out.I32(slotIndex);
  out.I32(handicap);
  return out.Data();
}

NetBytes MakeLeaveOrder() {
  bytes::Writer out;
  WriteHeader(out, MSG_LEAVE_CHANNEL, kMessageHeaderBytes);
  return out.Data();
}

bool ReadInitialise(const uint8_t* data, size_t size, const INetSetupRecords& records, InitialiseView& out) {
  if (!IsMessage(data, size, MSG_INITIALISE, kInitialiseBytes)) return false;
  InitialiseView view;
  view.settings = data + kInitSettingsAt;
  if (!records.CheckGameSettings(view.settings)) return false;
  for (int i = 0; i < kMaxClients; ++i) {
    view.slots[i] = data + kInitSlotsAt + i * kPlayerSlotBytes;
    if (!records.CheckPlayerSlot(view.slots[i])) return false;
  }
  view.items = data + kInitItemsAt;
  for (int i = 0; i < kBattleSetupWords; ++i)
    view.setup[i] = static_cast<int32_t>(bytes::LoadU32(data + kInitSetupAt + 4 * i));
  const int32_t clients = view.setup[kSetupClientCount];
  if (!InRange(clients, 1, kMaxClients) || !InRange(view.setup[kSetupOwnIndex], 0, clients - 1)) return false;
  out = view;
  return true;
}

bool ReadGameSetup(const uint8_t* data, size_t size, const INetSetupRecords& records, const uint8_t*& settings) {
  if (!IsMessage(data, size, MSG_INIT_GAME_SETUP, kGameSetupBytes) || !records.CheckGameSettings(data + 12))
    return false;
  settings = data + 12;
  return true;
}

bool ReadWizardSetup(const uint8_t* data, size_t size, const INetSetupRecords& records, const uint8_t*& slot,
                     int32_t& slotIndex) {
  if (!IsMessage(data, size, MSG_INIT_WIZARD_SETUP, kWizardSetupBytes)) return false;
  const int32_t index = static_cast<int32_t>(bytes::LoadU32(data + 12 + kPlayerSlotBytes));
  if (!InRange(index, 0, kMaxClients - 1) || !records.CheckPlayerSlot(data + 12)) return false;
  slot = data + 12;
  slotIndex = index;
  return true;
}

bool ReadWizardSpells(const uint8_t* data, size_t size, WizardSpells& out) {
  if (!IsMessage(data, size, MSG_INIT_WIZARD_SPELLS, kWizardSpellsBytes)) return false;
  WizardSpells spells;
  spells.playerIndex = MessageWord(data, 3);
  const int32_t count = MessageWord(data, 4);
  if (!InRange(spells.playerIndex, 0, kMaxClients - 1) || !InRange(count, 1, kMaxWizardSpells)) return false;
  const uint8_t* list = data + 20;
  if (count == 1 && list[0] == kNoSpell) {
    out = spells;  // a wizard without spells
    return true;
  }
  for (int i = 0; i < count; ++i) {
    if (list[i] >= kSpellCount) return false;
    spells.spells[i] = list[i];
  }
  spells.count = count;
  out = spells;
  return true;
}

bool ReadSlotMessage(const uint8_t* data, size_t size, int32_t& slotIndex) {
  const int32_t type = CheckMessageHeader(data, size);
  const bool slotType = type == MSG_INIT_REQUEST_COLOUR || type == MSG_INIT_REQUEST_PORTRAIT ||
                        type == MSG_INIT_JOIN_READY || type == MSG_INIT_SET_SLOT;
  if (!slotType || size != 16 || !InRange(MessageWord(data, 3), 0, kMaxClients - 1)) return false;
  slotIndex = MessageWord(data, 3);
  return true;
}

bool ReadHandicapMessage(const uint8_t* data, size_t size, int32_t& slotIndex, int32_t& handicap) {
  if (!IsMessage(data, size, MSG_INIT_SET_HANDICAP, 20) || !InRange(MessageWord(data, 3), 0, kMaxClients - 1))
    return false;
  slotIndex = MessageWord(data, 3);
  handicap = MessageWord(data, 4);
  return true;
}

bool ReadResendRequest(const uint8_t* data, size_t size, int32_t& frame) {
  if (!IsMessage(data, size, MSG_RESEND_REQUEST, kResendRequestBytes)) return false;
  frame = MessageWord(data, 3);
  return true;
}
