#include "forge/CreatureSequences.h"

#include <cmath>
#include <map>
#include <tuple>

#include "forge/AnimationWriter.h"

namespace forge {

namespace {

namespace b = creature_blocks;

constexpr int kEventCycleEnd = 2, kEventSound = 3, kEventSecondSound = 4, kEventFootfall = 5, kEventHeld = 100;
// The map step of each facing, clockwise from north (y - 1).
constexpr int kFacingStep[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

// A step program for one facing, its frames still motions.
struct Step {
  int kind;
  int value = 0;
  Motion motion{};
  double travel = 0;  // the part of a cycle travelled when this frame shows
};

using Program = std::vector<Step>;

Step F(Action action, double t, int variant = 0) { return {0, 0, Motion{action, variant, t, 0}, 0}; }
Step Delay(int ticks) { return {1, ticks}; }
Step Event(int value) { return {5, value}; }
Step End() { return {6}; }

bool Floats(const CreatureLook& look) { return look.plan == BodyPlan::kWraith || look.plan == BodyPlan::kEye; }

// Twelve frames of a cycle, the closing frame a whole cycle on.
Program Cycle(Action action, bool footfall) {
  Program p;
  for (int j = 0; j < 12; ++j) {
    Step s = F(action, j / 12.0);
    s.travel = j / 12.0;
    p.push_back(s);
  }
  if (footfall) p.push_back(Event(kEventFootfall));
  p.push_back(Event(kEventCycleEnd));
  Step closing = F(action, 0);
  closing.travel = 1;
  p.push_back(closing);
  p.push_back(End());
  return p;
}

// A timed motion: frames at the given moments, events standing before the frame they go with.
Program Timed(Action action, int variant, int delay, std::initializer_list<double> moments,
              std::initializer_list<std::pair<int, int>> eventsBefore = {}) {
  Program p{Delay(delay)};
  int index = 0;
  for (double t : moments) {
    for (const auto& [at, event] : eventsBefore)
      if (at == index) p.push_back(Event(event));
    p.push_back(F(action, t, variant));
    ++index;
  }
  p.push_back(End());
  return p;
}

Program Stunned(int delay) {
  // A dazed loop that the game leaves when the hold runs out, then a last steadying frame.
  Program p{Event(kEventHeld),         Delay(delay),       F(Action::kStunned, 0),
            F(Action::kStunned, 0.25), Event(kEventSound), F(Action::kStunned, 0.5),
            F(Action::kStunned, 0.75)};
  p.push_back({4, -static_cast<int>(p.size())});
  p.push_back(F(Action::kStand, 0));
  p.push_back(End());
  return p;
}

struct Block {
  int base;
  Program program;
};

std::vector<Block> Blocks(const CreatureLook& look, const CreatureTraits& traits) {
  const int d = traits.tempo;
  std::vector<Block> blocks;
  blocks.push_back({b::kWalk, Cycle(Action::kWalk, !Floats(look))});
  blocks.push_back({b::kTrapped, Timed(Action::kTrapped, 0, d + 1, {0.25, 0.75, 0.25, 0.75}, {{2, kEventSound}})});
  // Blows: the first sound at the wind-up, the second as the blow comes, the hit at the strike.
  const std::initializer_list<double> blow = {0, 0.3, 0.45, 0.55, 0.7, 0.85};
  const std::initializer_list<std::pair<int, int>> blowEvents = {
      {1, kEventSound}, {2, kEventSecondSound}, {4, kEventCycleEnd}};
  blocks.push_back({b::kAttack1, Timed(Action::kChop, 0, d, blow, blowEvents)});
  blocks.push_back({b::kAttack2, Timed(Action::kSwing, 0, d, blow, blowEvents)});
  blocks.push_back({b::kAttack3, Timed(Action::kThrust, 0, d, blow, blowEvents)});
  blocks.push_back({b::kRetreat, Timed(Action::kRetreat, 0, d, {0.15, 0.3, 0.55, 0.8})});
  // Idle motions go out and come back: the way back shows the way out's pictures again.
  for (int v = 0; v < 6; ++v)
    blocks.push_back(
        {b::kIdle + 8 * v, Timed(Action::kIdle, v, d + 3, {0, 0.25, 0.5, 0.75, 0.5, 0.25}, {{2, kEventSound}})});
  blocks.push_back(
      {b::kTaunt, Timed(Action::kTaunt, 0, d + 1, {0, 0.25, 0.5, 0.75, 0.5, 0.75, 0.25}, {{2, kEventSound}})});
  blocks.push_back({b::kStunned, Stunned(d + 2)});
  if (traits.canFly) {
    blocks.push_back({b::kFly, Cycle(Action::kFly, false)});
    // Waiting in the air beats the wings of the flight cycle without going anywhere.
    blocks.push_back({b::kAirWait, Cycle(Action::kFly, false)});
  }
  if (traits.type == 12) {
    blocks.push_back({b::kGlide, Cycle(Action::kGlide, false)});
    blocks.push_back({b::kSwoop, Cycle(Action::kFly, false)});
  }
  Program dying = Timed(Action::kDying, 0, d + 1, {0, 0.2, 0.4, 0.6, 0.8, 1});
  dying.insert(dying.begin(), Event(kEventSound));
  blocks.push_back({b::kDying, dying});
  if (traits.type == 21)
    blocks.push_back(
        {b::kRanged, Timed(Action::kEat, 0, d + 1, {0, 0.25, 0.5, 0.75, 0, 0.25, 0.5}, {{2, kEventSound}})});
  else if (traits.type == 5)
    blocks.push_back({b::kRanged, Timed(Action::kRecover, 0, d + 2, {0, 0.25, 0.5, 0.75, 1})});
  else if (traits.ranged)
    blocks.push_back({b::kRanged, Timed(Action::kRanged, 0, d, {0, 0.25, 0.45, 0.6, 0.8}, {{3, kEventCycleEnd}})});
  if (traits.type == 10)
    blocks.push_back(
        {b::kDipCap, Timed(Action::kDipCap, 0, d + 1, {0, 0.2, 0.35, 0.5, 0.65, 0.8, 1}, {{3, kEventSound}})});
  blocks.push_back({b::kStand, Timed(Action::kStand, 0, 3, {0})});
  for (int stage = 0; stage < 4; ++stage)
    blocks.push_back({b::kDead + 8 * stage, Timed(Action::kDead, stage, 15, {1})});
  return blocks;
}

bool IsCycle(int base) {
  return base == b::kWalk || base == b::kFly || base == b::kGlide || base == b::kSwoop || base == b::kAirWait;
}

}  // namespace

Vec3 CycleTravel(int block, int facing, const CreatureTraits& traits) {
  const int* step = kFacingStep[facing & 7];
  double shift = 0;
  if (block == b::kWalk) shift = traits.groundShift;
  if (block == b::kFly) shift = traits.flyShift;
  // Type 12's own flights move 32 progress units (a sixth of a unit each) a frame on each
  // axis the facing moves along: 64 units a cycle.
  if (block == b::kGlide || block == b::kSwoop) shift = 64;
  return {step[0] * shift, step[1] * shift, 0};
}

AnimationPlan PlanCreatureAnimation(const CreatureLook& look, const CreatureTraits& traits) {
  AnimationPlan plan;
  plan.sequences.assign(b::kSequences, {PlannedStep{6}});
  std::map<std::tuple<int, int, double, double, int>, int> known;
  for (const Block& block : Blocks(look, traits)) {
    for (int facing = 0; facing < 8; ++facing) {
      const Vec3 travel = IsCycle(block.base) ? CycleTravel(block.base, facing, traits) : Vec3{};
      std::vector<PlannedStep>& out = plan.sequences[static_cast<size_t>(block.base + facing)];
      out.clear();
      for (const Step& s : block.program) {
        PlannedStep planned{s.kind, s.value};
        if (s.kind == 0) {
          Motion motion = s.motion;
          // Only feet on the ground need the stride; flights share their pictures.
          if (motion.action == Action::kWalk) motion.stride = Length(travel);
          const auto key =
              std::make_tuple(static_cast<int>(motion.action), motion.variant, motion.t, motion.stride, facing);
          auto [at, added] = known.emplace(key, static_cast<int>(plan.pictures.size()));
          if (added) plan.pictures.push_back({motion, facing});
          planned.picture = at->second;
          const Vec3 moved = travel * s.travel;
          planned.x = static_cast<int>(std::lround(ScreenX(moved)));
          planned.y = static_cast<int>(std::lround(ScreenY(moved)));
        }
        out.push_back(planned);
      }
    }
  }
  return plan;
}

}  // namespace forge
