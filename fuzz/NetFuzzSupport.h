#pragma once
// Shared by the network fuzz targets. An input is a run of messages, each behind a 16-bit
// little-endian length, as they would arrive one after another. Seeds are made by the game's
// own writers and written into the corpus folder when it is empty. The sink traps on any
// creature, spell or item event number that should never have reached it.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "map/MapCommands.h"
#include "net/NetHooks.h"
#include "net/NetMessages.h"
#include "platform/Files.h"

namespace net_fuzz {

using Bytes = std::vector<uint8_t>;

inline std::vector<std::pair<const uint8_t*, size_t>> SplitMessages(const uint8_t* data, size_t size) {
  std::vector<std::pair<const uint8_t*, size_t>> out;
  size_t at = 0;
  while (at + 2 <= size) {
    size_t length = static_cast<size_t>(data[at] | (data[at + 1] << 8));
    at += 2;
    if (length > size - at) length = size - at;
    out.emplace_back(data + at, length);
    at += length;
  }
  return out;
}

inline Bytes Messages(const std::vector<Bytes>& messages) {
  Bytes input;
  for (const Bytes& message : messages) {
    input.push_back(static_cast<uint8_t>(message.size()));
    input.push_back(static_cast<uint8_t>(message.size() >> 8));
    input.insert(input.end(), message.begin(), message.end());
  }
  return input;
}

inline Bytes ToBytes(const CommandMessage& message) { return Bytes(message.bytes, message.bytes + message.length); }

// One of every command a client frame may carry.
inline std::vector<Bytes> EveryCommand() {
  return {ToBytes(MakeValidateMessage(5, 6, 7)),
          ToBytes(MakeCastSpellCommand(12, 64, 64, 16, 2, -1)),
          ToBytes(MakeCellCommand(MSG_CREATURE_WALK, 1, 3, 4, 0)),
          ToBytes(MakeCellCommand(MSG_WALK_TO_CHEST, 2, 3, 4, 0)),
          ToBytes(MakeCreatureCommand(MSG_CREATURE_ATTACK, 1, 2)),
          ToBytes(MakeCreatureCommand(MSG_USE_ARTIFACT, 1, 4)),
          ToBytes(MakeCellCommand(MSG_DROP_ARTIFACT, 1, 3, 4, 0)),
          ToBytes(MakeCellCommand(MSG_CREATURE_ATTACK_TERRAIN, 1, 3, 4, 0)),
          ToBytes(MakeCreatureCommand(MSG_Q_CREATURE_ATTACK, 3, 2)),
          ToBytes(MakeCellCommand(MSG_Q_CREATURE_WALK, 3, 8, 9, 1)),
          ToBytes(MakeCreatureCommand(MSG_FOLLOW_CREATURE, 3, 1)),
          ToBytes(MakeCounterMessage(30)),
          ToBytes(MakeWordCommand(MSG_PAUSE, 1)),
          ToBytes(MakeWordCommand(MSG_SPEECH_CLOSED, 1)),
          ToBytes(MakeWordCommand(MSG_CAMERA_BACK, 1)),
          ToBytes(MakeWordCommand(MSG_INTERFACE_COMMAND, 1))};
}

// Writes the seeds into the corpus folder (the first argument that is not a flag) when it
// holds nothing yet.
inline void WriteSeeds(int argc, char** argv, const std::vector<Bytes>& seeds) {
  for (int i = 1; i < argc; ++i) {
    const std::string folder = argv[i];
    if (folder.empty() || folder[0] == '-' || !platform::DirectoryExists(folder)) continue;
    if (!platform::ListDirectory(folder).empty()) return;
    for (size_t n = 0; n < seeds.size(); ++n)
      platform::WriteWholeFile(folder + "/seed" + std::to_string(n), seeds[n].data(), seeds[n].size());
    return;
  }
}

inline void Require(bool condition) {
  if (!condition) __builtin_trap();
}

class CheckingSink : public INetCommandSink, public INetBattle {
 public:
  int CreatureCount() override { return 8; }
  bool IsAlive(int creature) override { return Valid(creature) && creature != 5; }
  void ClearPathMarkers(int creature) override { Require(Valid(creature)); }
  void SetFollowTarget(int creature, int target) override {
    Require(Valid(creature) && (target == -1 || Valid(target)));
  }
  void WalkTo(int creature, int, int, int) override { Require(Valid(creature)); }
  void WalkToCell(int creature, int, int, int) override { Require(Valid(creature)); }
  void AttackTerrain(int creature, int, int, int) override { Require(Valid(creature)); }
  void AttackCreature(int creature, int target) override { Require(Valid(creature) && Valid(target)); }
  void ApplyQueuedOrder(int creature, int kind, int, int, int, int d) override {
    Require(Valid(creature) && (kind == 2 || (kind == 3 && Valid(d))));
  }
  void ProcessEventAt(int creature, int eventIndex) override {
    Require(Valid(creature) && eventIndex >= 0 && eventIndex < kItemEvents);
  }
  void OpenChestAt(int creature, int, int, int) override { Require(creature == -1 || Valid(creature)); }
  void CastSpell(const int32_t record[11]) override {
    Require(record[0] >= 0 && record[0] < kSpellCount && Valid(record[7]) && (record[8] == -1 || Valid(record[8])));
  }
  void SetBattleTimer(int value) override { Require(value >= -1); }

  NetHooks Hooks() {
    NetHooks hooks = DefaultNetHooks();
    hooks.commands = this;
    hooks.battle = this;
    return hooks;
  }

 private:
  bool Valid(int creature) { return creature >= 0 && creature < 8; }
};

}  // namespace net_fuzz
