#pragma once
// The command messages the map view sends for the local player's orders. Each is appended to
// the outgoing frame of the network client, which runs it on every machine in the same frame.
// Layout: little-endian 32-bit words; the header is 0, the type, the length in bytes; then
// the body. Every byte of a message is written: words the map view has no value for are 0.

#include <cstdint>

enum CommandMessageType : int32_t {
  MSG_CAST_SPELL = 4,
  MSG_CREATURE_WALK = 5,
  MSG_WALK_TO_CHEST = 6,
  MSG_CREATURE_ATTACK = 7,
  MSG_CREATURE_ATTACK_TERRAIN = 10,
  MSG_Q_CREATURE_ATTACK = 11,
  MSG_Q_CREATURE_WALK = 12,
  MSG_FOLLOW_CREATURE = 13,
};

struct CommandMessage {
  static constexpr int kMaxBytes = 56;
  uint8_t bytes[kMaxBytes] = {};
  int32_t length = 0;

  int32_t Type() const;
  // Word n of the message (0 the header's first word); 0 past the length.
  int32_t Word(int n) const;
};

// MSG_CREATURE_WALK, MSG_WALK_TO_CHEST, MSG_CREATURE_ATTACK_TERRAIN and MSG_Q_CREATURE_WALK:
// a creature and a cell.
CommandMessage MakeCellCommand(int32_t type, int32_t creature, int32_t x, int32_t y, int32_t level);
// MSG_CREATURE_ATTACK, MSG_Q_CREATURE_ATTACK and MSG_FOLLOW_CREATURE: two creatures.
CommandMessage MakeCreatureCommand(int32_t type, int32_t creature, int32_t target);
// MSG_CAST_SPELL: target point in map units, the caster and the target creature (-1 none).
CommandMessage MakeCastSpellCommand(int32_t spell, int32_t x, int32_t y, int32_t z, int32_t caster,
                                    int32_t targetCreature);

// Where the messages go: the network client's outgoing frame.
class IMapCommandSink {
 public:
  virtual ~IMapCommandSink() = default;
  virtual void AddMessage(const CommandMessage& message) {}
};
