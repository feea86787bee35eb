#pragma once
// The fixture of the order, update and animation-state tests: the creature world with two
// hostile armies (0 the local one), a seeded battle generator, and fakes that record the
// sounds, effects and messages the creature rules start.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "CreatureWorld.h"
#include "core/Random.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"

namespace creature_test {

constexpr int kBrownie = 1;  // 1 x 1, walks, no missile
constexpr int kCentaur = 2;  // shoots
constexpr int kGriffin = 4;  // flies
constexpr int kPoisoner = 16;
constexpr int kDragon = 18;  // 2 x 2, flies
constexpr int kTroll = 21;   // 2 x 2, walks
constexpr int kStatic = 22;
constexpr int kUnseen = 27;

struct RecordingSounds : ICreatureSounds {
  std::vector<std::string> played;
  void PlayAt(int id, int, int) override { played.push_back("sound " + std::to_string(id)); }
  void PlayIdle(const CCreature&, int) override { played.push_back("idle"); }
  void PlayTaunt(const CCreature&) override { played.push_back("taunt"); }
  void PlayDeath(const CCreature&) override { played.push_back("death"); }
  void PlayEvent(const CCreature&) override { played.push_back("event"); }
  void PlayAction(const CCreature&) override { played.push_back("action"); }
  void PlayHits(const CCreature&, const CCreature&) override { played.push_back("hits"); }
  void FlightLoop(const CCreature&, bool) override {}
  // Footsteps apart: walks make many.
  std::vector<std::string> footsteps;
  void PlayFootstep(const CCreature&, int kind, int belowWater) override {
    footsteps.push_back(std::to_string(kind) + (belowWater ? " below water" : ""));
  }
};

struct RecordingEffects : ICreatureEffects {
  struct Spawned {
    int kind, source;
  };
  std::vector<Spawned> spawned;
  std::vector<std::tuple<int, int>> casts;                    // spell, target creature
  std::map<std::tuple<int, int, int, int>, int> cellEffects;  // x, y, level, kind -> effect
  std::map<int, int> strength;
  int SpawnEffect(int kind, int, int, int, int source) override {
    spawned.push_back({kind, source});
    return 100 + static_cast<int>(spawned.size());
  }
  void CastSpell(int spell, int, int, int, int, int targetCreature) override {
    casts.emplace_back(spell, targetCreature);
  }
  int FindEffectAt(int x, int y, int level, int kind) override {
    auto found = cellEffects.find({x, y, level, kind});
    return found == cellEffects.end() ? -1 : found->second;
  }
  // The bursts' body parts, and the trace blocks the last one threw them along.
  int bursts = 0;
  std::vector<std::vector<uint8_t>> burstTraces;
  void SpawnBurstBodyParts(int, int, int, int, const uint8_t* traces, int count) override {
    ++bursts;
    burstTraces.clear();
    for (int i = 0; i < count; ++i)
      burstTraces.emplace_back(traces + i * kBurstTraceBytes, traces + (i + 1) * kBurstTraceBytes);
  }
  int EffectStrength(int effect) override { return strength[effect]; }
  void SetEffectStrength(int effect, int value) override { strength[effect] = value; }
};

struct MessageBattle : RecordingBattle {
  std::vector<int> messages;
  void ShowMessage(int message) override { messages.push_back(message); }
  void ShowNamedMessage(int message, const char*) override { messages.push_back(message); }
};

class OrdersWorld : public CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    UseArmy(0, true);
    UseArmy(1);
    g_battleRandom.Seed(4242);
  }
  // One battle frame for every creature in use, in slot order.
  void Frame() {
    ++board.frame;
    g_creatureArray.ForEachInUse([](CCreature& creature) { creature.Update(); });
  }
  // A copy of the battle generator's state, to work rolls out by hand.
  static CRandom Generator() { return g_battleRandom; }
  static int Roll(CRandom& random, int n) { return static_cast<int>((random.Next() & 0x7FFFFFFF) % n); }

  MessageBattle board;  // the battle as the creatures see it in these tests
  HookScope<ICreatureBattle> boardScope{g_creatureBattle, board};
  RecordingSounds sounds;
  RecordingEffects effects;
  HookScope<ICreatureSounds> soundsScope{g_creatureSounds, sounds};
  HookScope<ICreatureEffects> effectsScope{g_creatureEffects, effects};
};

}  // namespace creature_test
