#pragma once
// The step programs of a creature animation file: which sequences exist, their frames,
// delays, events and offsets, each frame named by the motion it shows and the view facing it
// is seen in. The pictures are drawn afterwards (CreatureArt.h); both animation sets (the
// normal one and the cut-down one) carry the same programs.
//
// Sequence bases (a base plus the view facing 0-7 is the sequence played): walk 0, trapped
// 16, hand-to-hand attacks 24, 32 and 40, retreat 56, six idle blocks 64-104, taunt 112,
// stunned 144, fly 176, type 12's flights 208 and 216, dying 232, air wait 248, long-range
// attack (troll: eating, hero: recovering) 256, dip cap 264, stand 288, dead 296 + 8 x stage
// (0-3). Blocks a type does not use hold empty sequences (an end step only).
//
// Cycles (walk, fly, type 12's flights, air wait) are twelve frames, an event 5 (footfall;
// walkers' walk only), event 2, the first frame again and the end. Their frames carry the
// figure's travel within the cycle in their offsets, along the view facing's screen
// direction, the closing frame a whole cycle on: the game measures the pace from the first
// and the closing frame's x offsets (6 x the shift for a straight facing, 3 x for a diagonal
// one). Even facings share one step structure and odd ones another.

#include <vector>

#include "forge/CreatureLook.h"
#include "forge/CreatureMotion.h"

namespace forge {

namespace creature_blocks {
inline constexpr int kWalk = 0, kTrapped = 16, kAttack1 = 24, kAttack2 = 32, kAttack3 = 40, kRetreat = 56;
inline constexpr int kIdle = 64, kTaunt = 112, kStunned = 144, kFly = 176, kGlide = 208, kSwoop = 216;
inline constexpr int kDying = 232, kAirWait = 248, kRanged = 256, kDipCap = 264, kStand = 288, kDead = 296;
inline constexpr int kSequences = kDead + 32;  // four dead stages of eight facings
}  // namespace creature_blocks

// What a type's art must know of the type.
struct CreatureTraits {
  int type = 0;        // type number; 0 for the wizard looks
  bool large = false;  // a 2 x 2 tile footprint
  bool canFly = false;
  int groundShift = 32;  // screen shift of a straight walk cycle (pixels = units)
  int flyShift = 32;     // the same for a fly cycle
  bool ranged = false;   // a long-range attack (or, for wizards, a spell cast)
  int tempo = 1;         // ticks a frame lasts beyond the first, in the timed blocks
};

// One step: a frame step names a picture (an index into the plan's pictures).
struct PlannedStep {
  int kind = 0;  // 0 frame, 1 delay, 3 loop back, 4 jump, 5 event, 6 end (as AniStep)
  int value = 0;
  int picture = -1;
  int x = 0, y = 0;
};

struct PlannedPicture {
  Motion motion;
  int facing = 0;
};

struct AnimationPlan {
  std::vector<std::vector<PlannedStep>> sequences;  // creature_blocks::kSequences of them
  std::vector<PlannedPicture> pictures;             // each distinct picture once, in first use
};

AnimationPlan PlanCreatureAnimation(const CreatureLook& look, const CreatureTraits& traits);

// The whole-cycle travel of a cycle block in a view facing, in world units (x, y).
Vec3 CycleTravel(int block, int facing, const CreatureTraits& traits);

}  // namespace forge
