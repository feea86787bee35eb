#pragma once
// The battle messages: every byte two machines exchange in a network battle. Each message is
// little-endian 32-bit words behind a 12-byte header {0, type, length in bytes}. A frame
// message (type 1) carries, after its 24-byte header {0, 1, length, frame, origin, count},
// sub-messages back to back: a client frame message (origin 0) holds commands, a host frame
// message (origin -1) holds whole client frame messages, in client slot order. Buffers are
// built and read in place. The map view writes its commands (map/MapCommands.h); the writers
// of the rest are here, with one checked reader per type.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "creatures/SpellDefinition.h"  // kSpellCount: spell numbers 0-103
#include "map/MapCommands.h"

// The types beside the map view's commands (4-7, 10-13).
enum NetMessageType : int32_t {
  MSG_RESEND_REQUEST = 0,
  MSG_COMPOUND = 1,
  MSG_INITIALISE = 2,
  MSG_VALIDATE_FRAME = 3,
  MSG_USE_ARTIFACT = 8,
  MSG_DROP_ARTIFACT = 9,
  MSG_INIT_USER_LIST = 14,
  MSG_INIT_GAME_SETUP = 15,
  MSG_INIT_WIZARD_SETUP = 16,
  MSG_INIT_WIZARD_SPELLS = 17,
  MSG_INIT_REQUEST_COLOUR = 18,
  MSG_INIT_REQUEST_PORTRAIT = 19,
  MSG_INIT_JOIN_READY = 20,
  MSG_INIT_SET_HANDICAP = 21,
  MSG_INIT_SET_SLOT = 22,
  MSG_LEAVE_CHANNEL = 23,
  MSG_COUNTER = 24,
  // The battle's own inputs, each 16 bytes: one word after the header whose meaning is the
  // battle's.
  MSG_PAUSE = 25,
  MSG_SPEECH_CLOSED = 26,
  MSG_CAMERA_BACK = 27,
  MSG_INTERFACE_COMMAND = 28,
};
constexpr int kNetMessageTypes = 29;

constexpr int kMessageHeaderBytes = 12;
constexpr int kFrameHeaderBytes = 24;
constexpr int kClientFrameBytes = 2048;  // a client frame message's buffer
constexpr int kHostFrameBytes = 4 * kClientFrameBytes + kFrameHeaderBytes;
constexpr int kMaxClients = 4;
constexpr int kFrameOriginClient = 0;
constexpr int kFrameOriginHost = -1;

// Message sizes.
constexpr int kResendRequestBytes = 16;
constexpr int kValidateBytes = 24;
constexpr int kCounterBytes = 16;
constexpr int kWordCommandBytes = 16;
constexpr int kInitialiseBytes = 1633;
constexpr int kGameSetupBytes = 12 + static_cast<int>(kGameSettingsBytes);
constexpr int kWizardSetupBytes = 12 + kPlayerSlotBytes + 4;
constexpr int kWizardSpellsBytes = 41;
constexpr int kMaxWizardSpells = 21;
constexpr int kNoSpell = 255;    // the only byte of the list of a wizard without spells
constexpr int kItemEvents = 20;  // a creature's item events 0-19

// MSG_INITIALISE offsets.
constexpr int kInitSettingsAt = 12;
constexpr int kInitSlotsAt = 324;
constexpr int kInitItemsAt = 1588;
constexpr int kInitExtraItemAt = 1608;
constexpr int kInitSetupAt = 1609;
constexpr int kBattleSetupWords = 6;
constexpr int kSetupClientCount = 4;  // word 4: number of client players
constexpr int kSetupOwnIndex = 5;     // word 5: the receiving client's index

// The name the network log gives a type ("MSG_CREATURE_WALK"); null for a type outside the table.
const char* NetMessageName(int32_t type);
// The fixed length of a command that a client frame message may carry; 0 for a type it may not.
int CommandLength(int32_t type);

// Word n of a message (no bounds check: callers check lengths first).
inline int32_t MessageWord(const uint8_t* message, int n) {
  return static_cast<int32_t>(static_cast<uint32_t>(message[4 * n]) | (static_cast<uint32_t>(message[4 * n + 1]) << 8) |
                              (static_cast<uint32_t>(message[4 * n + 2]) << 16) |
                              (static_cast<uint32_t>(message[4 * n + 3]) << 24));
}
void SetMessageWord(uint8_t* message, int n, int32_t value);

// A received message's header: the first word 0, its length word equal to the bytes received.
// Answers the type, or -1 for a message that is not one of ours.
int32_t CheckMessageHeader(const uint8_t* data, size_t size);

struct CNetFrameHeader {
  int32_t length = 0;
  int32_t frame = 0;
  int32_t origin = 0;
  int32_t count = 0;
};

// Writes an empty frame header (length 24, count 0) with the frame and origin given.
void WriteEmptyFrameHeader(uint8_t* buffer, int32_t frame, int32_t origin);
CNetFrameHeader ReadFrameHeader(const uint8_t* frame);

// Checks a frame message whole before any of it is stored or run: a header of type 1 whose
// length is the bytes given and fits the buffer of its origin; a frame number not below 0;
// sub-messages each with a length from 12 to what is left, walked in the count the header
// gives and ending exactly at the end; a client frame (origin 0) of commands only, each of its
// type's exact length; a host frame (origin -1) of at most four client frames only.
bool CheckFrameMessage(const uint8_t* data, size_t size, int32_t origin);
// Whether a checked frame message carries any command, at any depth.
bool FrameHasCommands(const uint8_t* frame);

// --- writers -----------------------------------------------------------------------------
void WriteResendRequest(uint8_t out[kResendRequestBytes], int32_t frame);
// The validation record: the random check, active creatures, active effects from slot 100.
CommandMessage MakeValidateMessage(int32_t randomCheck, int32_t activeCreatures, int32_t activeEffects);
// The battle clock's counter less one, never below -1.
CommandMessage MakeCounterMessage(int32_t counter);
// MSG_PAUSE, MSG_SPEECH_CLOSED, MSG_CAMERA_BACK and MSG_INTERFACE_COMMAND.
CommandMessage MakeWordCommand(int32_t type, int32_t word);

using NetBytes = std::vector<uint8_t>;
// A frame message of the frame and origin holding the sub-messages given, in order.
NetBytes MakeFrameMessage(int32_t frame, int32_t origin, const std::vector<NetBytes>& subs);
// MSG_INITIALISE: settings (312 bytes), four slot records (316 bytes each), 21 magic item
// numbers, the six words of the battle set-up record.
NetBytes MakeInitialiseMessage(const uint8_t* settings, const uint8_t* const slots[kMaxClients],
                               const uint8_t items[kMaxWizardSpells], const int32_t setup[kBattleSetupWords]);
NetBytes MakeGameSetupMessage(const uint8_t* settings);
NetBytes MakeWizardSetupMessage(const uint8_t* slot, int32_t slotIndex);
// The list of spell numbers (at most 21; none gives the lone 255).
NetBytes MakeWizardSpellsMessage(int32_t playerIndex, const uint8_t* spells, int count);
// MSG_INIT_REQUEST_COLOUR, _PORTRAIT, _JOIN_READY and MSG_INIT_SET_SLOT: one slot index.
NetBytes MakeSlotMessage(int32_t type, int32_t slotIndex);
NetBytes MakeHandicapMessage(int32_t slotIndex, int32_t handicap);
NetBytes MakeLeaveOrder();

// --- readers of the set-up messages (each checks the whole message) ------------------------
class INetSetupRecords;

struct InitialiseView {
  const uint8_t* settings = nullptr;
  const uint8_t* slots[kMaxClients] = {};
  const uint8_t* items = nullptr;  // 21 bytes
  int32_t setup[kBattleSetupWords] = {};
};
bool ReadInitialise(const uint8_t* data, size_t size, const INetSetupRecords& records, InitialiseView& out);
bool ReadGameSetup(const uint8_t* data, size_t size, const INetSetupRecords& records, const uint8_t*& settings);
bool ReadWizardSetup(const uint8_t* data, size_t size, const INetSetupRecords& records, const uint8_t*& slot,
                     int32_t& slotIndex);

struct WizardSpells {
  int32_t playerIndex = 0;
  int count = 0;  // 0 for a wizard without spells
  uint8_t spells[kMaxWizardSpells] = {};
};
bool ReadWizardSpells(const uint8_t* data, size_t size, WizardSpells& out);
// Types 18, 19, 20, 22: the slot index, 0-3.
bool ReadSlotMessage(const uint8_t* data, size_t size, int32_t& slotIndex);
bool ReadHandicapMessage(const uint8_t* data, size_t size, int32_t& slotIndex, int32_t& handicap);
bool ReadResendRequest(const uint8_t* data, size_t size, int32_t& frame);
