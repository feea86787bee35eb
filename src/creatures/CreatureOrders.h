#pragma once
// What the creature's orders, update, animation states and order handlers share: the names
// of the order kinds and of the animation states, the battle's time and its traced rolls,
// and the creature sounds they play (through the sound cues; tests record them instead).

#include "core/Hooks.h"

class CCreature;

inline constexpr int kOrderNameCount = 15;      // NONE .. RETREAT; LIFTED and DROPPED have none
inline constexpr int kAnimStateNameCount = 22;  // NONE .. RETREAT; the four after have none
extern const char* const g_orderNames[kOrderNameCount];
extern const char* const g_animStateNames[kAnimStateNameCount];

// The name of an order kind or an animation state; "" for one without a name.
const char* OrderName(int kind);
const char* AnimStateName(int state);

// The battle frame counter: the time of every creature rule.
int BattleNow();
// One game-logic roll 0..n-1 from the battle's generator, traced (source Mapelem, the
// caller's line) while NetRandomLog is on. n below 1 rolls as 1.
int BattleRoll(int n, int line);

// The sounds of creature rules. The neutral one plays them through the sound cues at the
// creature's cell.
class ICreatureSounds {
 public:
  virtual ~ICreatureSounds() = default;
  virtual void PlayAt(int id, int x, int y);
  virtual void PlayIdle(const CCreature& creature, int sequence);
  virtual void PlayTaunt(const CCreature& creature);
  virtual void PlayDeath(const CCreature& creature);
  virtual void PlayEvent(const CCreature& creature);
  virtual void PlayAction(const CCreature& creature);
  virtual void PlayHits(const CCreature& attacker, const CCreature& target);
  // A footstep on a terrain sound kind (1-4, 0 none), below the water level or not.
  virtual void PlayFootstep(const CCreature& creature, int terrainKind, int belowWater);
  // The looped sound of a limited flight: started, moved with the creature or stopped.
  virtual void FlightLoop(const CCreature& creature, bool on);
};
extern HookSlot<ICreatureSounds> g_creatureSounds;

// Sound ids the creature rules play.
namespace creature_sound {
inline constexpr int kDisbelief = 733;
inline constexpr int kDipCap = 54;
inline constexpr int kTrollEat = 192;
inline constexpr int kCycleEvent6 = 515;
inline constexpr int kTrappedBug = 98;
inline constexpr int kBlobHit = 703;
inline constexpr int kFlightLoop = 750;
inline constexpr int kFlightEnd = 753;
}  // namespace creature_sound
