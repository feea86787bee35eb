#pragma once
// Motions: what a figure does in each animation block, as a pose at a moment t (0 .. 1) of
// the motion. Cycles (walk, fly) also know how far the figure travels in one cycle, so
// that feet on the ground stay where they were put down while the frame's offset carries
// the body on.

#include "forge/CreatureLook.h"
#include "forge/CreaturePose.h"

namespace forge {

enum class Action {
  kStand,
  kWalk,     // a ground cycle
  kFly,      // a flight cycle
  kHover,    // flapping on the spot
  kGlide,    // type 12's own flight
  kTrapped,  // struggling against a trap
  kChop,     // the three hand-to-hand attacks: overhead, sideways, straight ahead
  kSwing,
  kThrust,
  kRetreat,  // thrown back by a blow
  kIdle,     // six idle motions, by variant
  kTaunt,
  kStunned,  // a dazed loop
  kDying,
  kDead,     // a corpse at a stage of decay (variant 0-3)
  kRanged,   // shooting, throwing, breathing or casting
  kEat,      // a troll feeding
  kRecover,  // a hero catching breath
  kDipCap,   // a redcap dipping its cap in blood
};

struct Motion {
  Action action = Action::kStand;
  int variant = 0;
  double t = 0;
  double stride = 0;  // units travelled along the facing in one whole cycle
};

CreaturePose PoseFor(const CreatureLook& look, const Motion& motion);
// The poses of figures on two legs (and the wraith), and of the beasts; PoseFor chooses.
CreaturePose HumanoidPose(const CreatureLook& look, const Motion& motion);
CreaturePose BeastPose(const CreatureLook& look, const Motion& motion);

// Keyed values: smooth steps between (time, value) keys in time order.
double Keyed(double t, std::initializer_list<std::pair<double, double>> keys);
Vec3 Keyed(double t, std::initializer_list<std::pair<double, Vec3>> keys);

// The feet of a walk cycle (two or four legs) for a stride, at phase t of the cycle.
struct Gait {
  int cycles = 1;     // steps of each foot within one animation cycle
  double duty = 0.6;  // the part of a step a foot stays on the ground
  double lift = 2;    // how high a swinging foot rises
};
Gait GaitFor(double stride, double legLength);
// A foot's forward offset and lift at phase p (0 .. 1) of its own step of length `step`.
Vec3 FootAt(double p, double step, const Gait& gait);

}  // namespace forge
