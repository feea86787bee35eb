#pragma once
// CPlayerSlot: one of the four player places of a quick or multiplayer battle: who sits there,
// how the wizard looks (portrait, colour), the handicap, whether the player is ready, and,
// once the battle runs, the counters the battle end screen ranks by. The four records are one
// global array (g_playerSlots) that the set-up screens fill, the network carries and the
// battle reads.
//
// The 316-byte form is a wire format (four in the network's start message, one in its wizard
// set-up message): name 31 bytes at 0, portrait at 31, handicap at 35, colour at 39, ready
// (one byte) at 43, kills 44, score 48, deaths 52, lives 56, then a 256-byte text buffer at 60.
// All little-endian, read and written field by field here and nowhere else.

#include <cstddef>
#include <cstdint>

inline constexpr int kPlayerSlotCount = 4;
inline constexpr int kPlayerSlotBytes = 316;
inline constexpr size_t kPlayerNameSize = 31;  // 30 characters and the terminator
inline constexpr size_t kPlayerSlotTextSize = 256;
inline constexpr int kSlotPortraits = 12;
inline constexpr int kSlotColours = 8;
inline constexpr int kMaxHandicap = 100;
inline constexpr const char* kNoPlayerName = "No Player";

struct CPlayerSlot {
  char name[kPlayerNameSize] = {};
  int32_t portrait = -1;  // 0-11, -1 none
  int32_t handicap = -1;  // percent; -1 on an empty place
  int32_t colour = -1;    // 0-7, -1 none
  uint8_t ready = 0;
  int32_t kills = 0;
  int32_t score = 0;
  int32_t deaths = 0;
  int32_t lives = 0;
  char text[kPlayerSlotTextSize] = {};  // the text form, after FormatPlayerSlotText

  // "No Player", portrait, handicap and colour -1, ready and the counters 0; the text buffer
  // stays. Returns 0.
  int Reset();
  bool IsEmpty() const;
  // The player's name: double quotes are dropped (the text form cannot carry them) and it is
  // cut to 30 characters.
  void SetName(const char* newName);
  void AddKills(int32_t n) { kills = static_cast<int32_t>(static_cast<uint32_t>(kills) + static_cast<uint32_t>(n)); }
  void AddScore(int32_t n) { score = static_cast<int32_t>(static_cast<uint32_t>(score) + static_cast<uint32_t>(n)); }
  void AddDeaths(int32_t n) { deaths = static_cast<int32_t>(static_cast<uint32_t>(deaths) + static_cast<uint32_t>(n)); }
};

extern CPlayerSlot g_playerSlots[kPlayerSlotCount];
void ResetPlayerSlots(CPlayerSlot slots[kPlayerSlotCount] = g_playerSlots);

// The text form "\"<name>\" <portrait> <handicap> <colour> <ready>" into the slot's text
// buffer, which it returns.
const char* FormatPlayerSlotText(CPlayerSlot& slot);
// Reads the text form into the slot (name, portrait, handicap, colour, ready; the rest stays).
// The name is at most 30 characters up to the first double quote; a longer one is cut. False,
// with the slot untouched, when a quote or a field is missing or a value is out of range.
bool ParsePlayerSlotText(const char* text, CPlayerSlot& slot);

// The 316-byte form into out (kPlayerSlotBytes bytes).
void WritePlayerSlot(const CPlayerSlot& slot, uint8_t* out);
// Whether a peer's record can stand: exactly 316 bytes, the name terminated within its 31
// bytes, portrait -1..11, colour -1..7, ready 0 or 1, handicap -1 (an empty place) or 0..100.
bool CheckPlayerSlotBytes(const uint8_t* data, size_t size);
// Reads a record that passes CheckPlayerSlotBytes; false, with the slot untouched, otherwise.
bool ReadPlayerSlot(const uint8_t* data, size_t size, CPlayerSlot& slot);

// The fields the next-free rule works on.
enum class SlotLook { kColour, kPortrait };
// The next free value after current: current + 1, + 2, ... wrapping within the field's range
// (8 colours, 12 portraits), at most that many candidates; the first that none of the four
// places holds. current when none is free; -1 starts with the lowest free value. The places
// looked at are slots[0..count).
int32_t NextFreeLook(const CPlayerSlot* slots, int count, SlotLook look, int32_t current);
// The next-free step applied steps times in a row (a player's request to move k steps).
int32_t StepLook(const CPlayerSlot* slots, int count, SlotLook look, int32_t current, int steps);
