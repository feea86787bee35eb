#include "core/PlayerSlot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Bytes.h"

CPlayerSlot g_playerSlots[kPlayerSlotCount];

namespace {

constexpr size_t kPortraitAt = 31, kHandicapAt = 35, kColourAt = 39, kReadyAt = 43, kKillsAt = 44, kScoreAt = 48,
                 kDeathsAt = 52, kLivesAt = 56, kTextAt = 60;

bool InRange(long value, long low, long high) { return value >= low && value <= high; }

bool LooksValid(int32_t portrait, int32_t handicap, int32_t colour, long ready) {
  return InRange(portrait, -1, kSlotPortraits - 1) && InRange(colour, -1, kSlotColours - 1) && InRange(ready, 0, 1) &&
         (handicap == -1 || InRange(handicap, 0, kMaxHandicap));
}

// One decimal int of the text form after optional blanks; false when there is none or it
// leaves the int range.
bool ReadNumber(const char*& at, int32_t& value) {
  char* end = nullptr;
  const long number = std::strtol(at, &end, 10);
  if (end == at || !InRange(number, INT32_MIN, INT32_MAX)) return false;
  value = static_cast<int32_t>(number);
  at = end;
  return true;
}

bool Holds(const CPlayerSlot& slot, SlotLook look, int32_t value) {
  return (look == SlotLook::kColour ? slot.colour : slot.portrait) == value;
}

}  // namespace

int CPlayerSlot::Reset() {
  std::memset(name, 0, sizeof name);
  std::memcpy(name, kNoPlayerName, std::strlen(kNoPlayerName));
  portrait = handicap = colour = -1;
  ready = 0;
  kills = score = deaths = lives = 0;
  return 0;
}

bool CPlayerSlot::IsEmpty() const { return std::strcmp(name, kNoPlayerName) == 0; }

void CPlayerSlot::SetName(const char* newName) {
  std::memset(name, 0, sizeof name);
  size_t length = 0;
  for (const char* c = newName ? newName : ""; *c && length + 1 < sizeof name; ++c)
    if (*c != '"') name[length++] = *c;
}

void ResetPlayerSlots(CPlayerSlot slots[kPlayerSlotCount]) {
  for (int i = 0; i < kPlayerSlotCount; ++i) slots[i].Reset();
}

const char* FormatPlayerSlotText(CPlayerSlot& slot) {
  char name[kPlayerNameSize];
  std::memcpy(name, slot.name, sizeof name);
  name[sizeof name - 1] = '\0';
  std::snprintf(slot.text, sizeof slot.text, "\"%s\" %d %d %d %d", name, slot.portrait, slot.handicap, slot.colour,
                static_cast<int>(slot.ready));
  return slot.text;
}

bool ParsePlayerSlotText(const char* text, CPlayerSlot& slot) {
  if (!text || *text != '"') return false;
  const char* at = text + 1;
  const char* close = std::strchr(at, '"');
  if (!close || close == at) return false;  // no closing quote, or no name
  char name[kPlayerNameSize] = {};
  std::memcpy(name, at, std::min<size_t>(static_cast<size_t>(close - at), kPlayerNameSize - 1));
  at = close + 1;
  int32_t portrait = 0, handicap = 0, colour = 0, ready = 0;
  if (!ReadNumber(at, portrait) || !ReadNumber(at, handicap) || !ReadNumber(at, colour) || !ReadNumber(at, ready))
    return false;
  if (!LooksValid(portrait, handicap, colour, ready)) return false;
  std::memcpy(slot.name, name, sizeof name);
  slot.portrait = portrait;
  slot.handicap = handicap;
  slot.colour = colour;
  slot.ready = static_cast<uint8_t>(ready);
  return true;
}

void WritePlayerSlot(const CPlayerSlot& slot, uint8_t* out) {
  std::memcpy(out, slot.name, kPlayerNameSize);
  out[kPlayerNameSize - 1] = '\0';
  bytes::StoreI32(out + kPortraitAt, slot.portrait);
  bytes::StoreI32(out + kHandicapAt, slot.handicap);
  bytes::StoreI32(out + kColourAt, slot.colour);
  out[kReadyAt] = slot.ready;
  bytes::StoreI32(out + kKillsAt, slot.kills);
  bytes::StoreI32(out + kScoreAt, slot.score);
  bytes::StoreI32(out + kDeathsAt, slot.deaths);
  bytes::StoreI32(out + kLivesAt, slot.lives);
  std::memcpy(out + kTextAt, slot.text, kPlayerSlotTextSize);
}

bool CheckPlayerSlotBytes(const uint8_t* data, size_t size) {
  if (!data || size != static_cast<size_t>(kPlayerSlotBytes)) return false;
  if (!std::memchr(data, 0, kPlayerNameSize)) return false;
  return LooksValid(bytes::LoadI32(data + kPortraitAt), bytes::LoadI32(data + kHandicapAt),
                    bytes::LoadI32(data + kColourAt), data[kReadyAt]);
}

bool ReadPlayerSlot(const uint8_t* data, size_t size, CPlayerSlot& slot) {
  if (!CheckPlayerSlotBytes(data, size)) return false;
  std::memcpy(slot.name, data, kPlayerNameSize);
  slot.portrait = bytes::LoadI32(data + kPortraitAt);
  slot.handicap = bytes::LoadI32(data + kHandicapAt);
  slot.colour = bytes::LoadI32(data + kColourAt);
  slot.ready = data[kReadyAt];
  slot.kills = bytes::LoadI32(data + kKillsAt);
  slot.score = bytes::LoadI32(data + kScoreAt);
  slot.deaths = bytes::LoadI32(data + kDeathsAt);
  slot.lives = bytes::LoadI32(data + kLivesAt);
  std::memcpy(slot.text, data + kTextAt, kPlayerSlotTextSize);
  slot.text[kPlayerSlotTextSize - 1] = '\0';
  return true;
}

int32_t NextFreeLook(const CPlayerSlot* slots, int count, SlotLook look, int32_t current) {
  const int32_t range = look == SlotLook::kColour ? kSlotColours : kSlotPortraits;
  int32_t candidate = current;
  for (int32_t tries = 0; tries < range; ++tries) {
    candidate = candidate + 1 >= range || candidate + 1 < 0 ? 0 : candidate + 1;
    bool held = false;
    for (int i = 0; i < count && !held; ++i) held = Holds(slots[i], look, candidate);
    if (!held) return candidate;
  }
  return current;
}

int32_t StepLook(const CPlayerSlot* slots, int count, SlotLook look, int32_t current, int steps) {
  for (int k = 0; k < steps; ++k) current = NextFreeLook(slots, count, look, current);
  return current;
}
