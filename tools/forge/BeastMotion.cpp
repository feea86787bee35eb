// Motions of the beasts: four-legged figures, birds, bats and the floating eye.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/CreatureMotion.h"
#include "forge/FigureParts.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

double LegLength(const CreatureLook& look) {
  switch (look.plan) {
    case BodyPlan::kQuadruped:
      return Sz(look, std::min(look.shoulderHeight, look.hipHeight));
    case BodyPlan::kBird:
      return Sz(look, look.hipHeight);
    default:
      return Sz(look, 4);
  }
}

Vec3 Rest(const CreatureLook& look, int leg) {
  if (look.plan != BodyPlan::kQuadruped) {
    const double side = leg % 2 == 0 ? 1 : -1;
    return {0, side * Sz(look, look.chestRadius) * 0.5, 0};
  }
  const bool fore = leg < 2;
  const double side = leg % 2 == 0 ? 1 : -1;
  const double width = Sz(look, (fore ? look.chestRadius : look.hipRadius) * 0.55 + look.sprawl);
  return {Sz(look, look.bodyLength) * (fore ? 0.5 : -0.5), side * width, 0};
}

void RestFeet(const CreatureLook& look, CreaturePose& pose) {
  pose.feetSet = true;
  for (int leg = 0; leg < 4; ++leg) pose.foot[leg] = Rest(look, leg);
}

bool Winged(const CreatureLook& look) { return look.wingSpan > 0; }

// Wings folded on the ground, half open when the body needs balance.
void GroundWings(const CreatureLook& look, CreaturePose& pose, double open) {
  if (!Winged(look)) return;
  pose.wingSpread = 0.12 + open * 0.5;
  pose.wingFlap = open * 0.3;
}

void Walk(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  RestFeet(look, pose);
  const Gait gait = GaitFor(m.stride, LegLength(look));
  const double step = m.stride / gait.cycles;
  // Four feet in the walk's order: left hind, left fore, right hind, right fore.
  static constexpr double kPhase[4] = {0.25, 0.75, 0.0, 0.5};
  const int legs = look.plan == BodyPlan::kQuadruped ? 4 : 2;
  for (int leg = 0; leg < legs; ++leg) {
    const double phase = legs == 4 ? kPhase[leg] : leg * 0.5;
    const Vec3 f = FootAt(std::fmod(m.t * gait.cycles + phase, 1.0), step, gait);
    pose.foot[leg] = Rest(look, leg) + Vec3{f.x, 0, f.z};
  }
  const double p = 2 * kPi * m.t * gait.cycles;
  pose.root.z = -0.3 * std::cos(2 * p) * std::min(1.0, step / 16);
  pose.headPitch = 0.06 * std::sin(2 * p);
  pose.tailSwing = 0.35 * std::sin(p);
  pose.tilt = 0.03 * std::sin(p);
  GroundWings(look, pose, 0);
}

// Flight: the legs drawn up, the wings beating (twice a cycle for small flyers).
void Fly(const CreatureLook& look, const Motion& m, CreaturePose& pose, bool moving) {
  RestFeet(look, pose);
  const double leg = LegLength(look);
  const int beats = look.plan == BodyPlan::kBat || look.scale * look.wingSpan < 30 ? 2 : 1;
  const double a = 2 * kPi * m.t * beats;
  for (int k = 0; k < 4; ++k) {
    const bool fore = k < 2;
    pose.foot[k] = Rest(look, k) + Vec3{fore ? leg * 0.35 : -leg * 0.45, 0, leg * (fore ? 0.55 : 0.45)};
  }
  // The down stroke is quicker than the up stroke: a beat's two halves look apart.
  pose.wingSpread = 1;
  pose.wingFlap = std::cos(a + 0.45 * std::sin(a));
  pose.root.z = leg * 0.35 - 0.9 * std::cos(a - 0.6) * std::min(1.0, leg / 6);
  pose.lean = moving ? 0.1 : -0.1;
  pose.tailSwing = 0.2 * std::sin(a);
  pose.tailLift = 0.3;
  pose.headPitch = moving ? -0.1 : 0.05;
}

void Attack(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  RestFeet(look, pose);
  const double t = m.t, leg = LegLength(look);
  switch (m.action) {
    case Action::kChop:  // a bite
      pose.root.x = Keyed(t, {{0, 0}, {0.35, -Sz(look, 1.5)}, {0.55, Sz(look, 3)}, {0.8, Sz(look, 1)}, {1, 0}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.35, -0.35}, {0.55, 0.35}, {1, 0}});
      pose.jaw = Keyed(t, {{0, 0}, {0.4, 1}, {0.55, 0.1}, {0.8, 0.3}, {1, 0}});
      pose.crouch = Keyed(t, {{0, 0}, {0.35, 0.2}, {0.55, 0}, {1, 0}});
      break;
    case Action::kSwing:  // a swipe of a fore leg, reared up
      pose.lean = Keyed(t, {{0, 0}, {0.35, -0.35}, {0.55, -0.1}, {1, 0}});
      pose.foot[0] = Keyed(t, {{0, Rest(look, 0)},
                               {0.35, Rest(look, 0) + Vec3{leg * 0.4, -leg * 0.1, leg * 0.9}},
                               {0.55, Rest(look, 0) + Vec3{leg * 0.9, -leg * 0.3, leg * 0.3}},
                               {0.8, Rest(look, 0) + Vec3{leg * 0.3, 0, 0}},
                               {1, Rest(look, 0)}});
      pose.foot[1] =
          Keyed(t, {{0, Rest(look, 1)}, {0.35, Rest(look, 1) + Vec3{leg * 0.1, 0, leg * 0.6}}, {0.6, Rest(look, 1)}});
      pose.jaw = Keyed(t, {{0, 0}, {0.35, 1}, {0.7, 0.2}, {1, 0}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.35, -0.3}, {0.6, 0.2}, {1, 0}});
      break;
    default:  // a charge, head down
      pose.root.x = Keyed(t, {{0, 0}, {0.35, -Sz(look, 2)}, {0.55, Sz(look, 4.5)}, {0.8, Sz(look, 2)}, {1, 0}});
      pose.crouch = Keyed(t, {{0, 0}, {0.35, 0.35}, {0.55, 0.05}, {1, 0}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.35, 0.2}, {0.55, 0.6}, {0.8, 0.3}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.55, 0.12}, {1, 0}});
      pose.foot[0].x += Keyed(t, {{0, 0}, {0.55, Sz(look, 3)}, {1, 0}});
      pose.foot[1].x += Keyed(t, {{0, 0}, {0.55, Sz(look, 2)}, {1, 0}});
      pose.tailLift = Keyed(t, {{0, 0}, {0.55, 1}, {1, 0}});
      break;
  }
  pose.tailSwing = 0.5 * std::sin(2 * kPi * t);
  GroundWings(look, pose, std::sin(kPi * t));
}

void Ranged(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  RestFeet(look, pose);
  const double t = m.t;
  if (look.scorpionTail) {
    // The tail draws back over the body and flicks its spines forward.
    pose.tailLift = Keyed(t, {{0, 0}, {0.4, -0.8}, {0.6, 1.4}, {1, 0}});
    pose.lean = Keyed(t, {{0, 0}, {0.4, -0.1}, {0.6, 0.12}, {1, 0}});
    pose.jaw = Keyed(t, {{0, 0}, {0.55, 1}, {1, 0}});
    return;
  }
  // Breath or a spit: the head drawn back, then thrust out with the mouth open.
  pose.root.x = Keyed(t, {{0, 0}, {0.4, -Sz(look, 1.5)}, {0.6, Sz(look, 1.5)}, {1, 0}});
  pose.headPitch = Keyed(t, {{0, 0}, {0.4, -0.5}, {0.6, 0.1}, {1, 0}});
  pose.jaw = Keyed(t, {{0, 0}, {0.4, 0.3}, {0.55, 1}, {0.85, 1}, {1, 0}});
  pose.crouch = Keyed(t, {{0, 0}, {0.6, 0.15}, {1, 0}});
  GroundWings(look, pose, Keyed(t, {{0, 0}, {0.5, 0.8}, {1, 0}}));
}

// Idle motions reach their fullest at t = 0.75; the sequence plays them out and back.
void Idle(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  RestFeet(look, pose);
  const double u = Keyed(m.t / 0.75, {{0, 0}, {1, 1}}), leg = LegLength(look);
  switch (m.variant % 6) {
    case 0:  // a deep breath
      pose.root.z = 0.45 * u;
      pose.tailSwing = 0.3 * u;
      pose.headPitch = -0.15 * u;
      break;
    case 1:  // a look aside
      pose.headYaw = 0.9 * u;
      break;
    case 2:  // a sniff at the ground
      pose.headPitch = 0.9 * u;
      pose.root.x = Sz(look, 0.8) * u;
      break;
    case 3:  // a hind foot raised to scratch
      pose.foot[2] = Rest(look, 2) + Vec3{leg * 0.6 * u, 0, leg * 0.55 * u};
      pose.headYaw = 0.6 * u;
      pose.tilt = 0.1 * u;
      break;
    case 4:  // a yawn
      pose.headPitch = -0.5 * u;
      pose.jaw = u;
      GroundWings(look, pose, u);
      return;
    default:  // a swish of the tail, a glance back
      pose.tailSwing = -0.9 * u;
      pose.tailLift = 0.5 * u;
      pose.headYaw = -0.5 * u;
      pose.tilt = -0.06 * u;
      break;
  }
  GroundWings(look, pose, 0);
}

CreaturePose FourLegsPose(const CreatureLook& look, const Motion& m) {
  CreaturePose pose;
  RestFeet(look, pose);
  const double t = m.t;
  switch (m.action) {
    case Action::kStand:
      GroundWings(look, pose, 0);
      break;
    case Action::kWalk:
      Walk(look, m, pose);
      break;
    case Action::kFly:
    case Action::kGlide:
      Fly(look, m, pose, true);
      break;
    case Action::kHover:
      Fly(look, m, pose, false);
      break;
    case Action::kChop:
    case Action::kSwing:
    case Action::kThrust:
      Attack(look, m, pose);
      break;
    case Action::kRanged:
      Ranged(look, m, pose);
      break;
    case Action::kIdle:
      Idle(look, m, pose);
      break;
    case Action::kTaunt:  // reared up, roaring
      pose.lean = Keyed(t, {{0, 0}, {0.3, -0.45}, {0.75, -0.45}, {1, 0}});
      pose.foot[0] =
          Rest(look, 0) +
          Vec3{0, 0, Keyed(t, {{0, 0}, {0.3, LegLength(look) * 0.8}, {0.75, LegLength(look) * 0.8}, {1, 0}})};
      pose.foot[1] =
          Rest(look, 1) +
          Vec3{0, 0, Keyed(t, {{0, 0}, {0.35, LegLength(look) * 0.7}, {0.75, LegLength(look) * 0.7}, {1, 0}})};
      pose.jaw = Keyed(t, {{0, 0}, {0.3, 1}, {0.8, 1}, {1, 0}});
      pose.headPitch = -0.4 * std::sin(kPi * t);
      pose.tailLift = std::sin(kPi * t);
      GroundWings(look, pose, std::sin(kPi * t));
      break;
    case Action::kStunned: {
      const double a = 2 * kPi * t;
      pose.tilt = 0.12 * std::sin(a);
      pose.headPitch = 0.45 + 0.15 * std::sin(a);
      pose.headYaw = 0.4 * std::cos(a);
      pose.crouch = 0.25;
      pose.root.y = Sz(look, 0.8) * std::sin(a);
      GroundWings(look, pose, 0.3);
      break;
    }
    case Action::kTrapped: {
      const double a = 2 * kPi * t;
      pose.tilt = 0.15 * std::sin(a);
      pose.lean = 0.15 * std::cos(a);
      pose.headYaw = 0.6 * std::sin(a);
      pose.crouch = 0.35;
      pose.jaw = 0.6 + 0.4 * std::sin(a);
      pose.tailSwing = std::sin(2 * a);
      GroundWings(look, pose, 0.6 + 0.4 * std::sin(a));
      break;
    }
    case Action::kRetreat:
      pose.root.x = Keyed(t, {{0, 0}, {0.3, -Sz(look, 2)}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.3, -0.2}, {1, 0}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.3, -0.4}, {1, 0}});
      pose.jaw = Keyed(t, {{0, 0}, {0.3, 1}, {1, 0}});
      GroundWings(look, pose, Keyed(t, {{0, 0}, {0.3, 1}, {1, 0}}));
      break;
    case Action::kDying:
    case Action::kDead: {
      const double d = m.action == Action::kDead ? 1.0 : t;
      pose.crouch = Keyed(d, {{0, 0}, {0.4, 0.7}, {1, 0.2}});
      pose.fall = Keyed(d, {{0, 0}, {0.4, 0.05}, {1, 1}});
      // The head sinks; a long snout only a little, or it would dig into the ground.
      const double reach = std::clamp(4 / look.snout, 0.0, 1.0);
      pose.headPitch = Keyed(d, {{0, 0}, {0.25, -0.5}, {1, 0.6}}) * reach * reach - (1 - reach) * 0.25 * d;
      pose.jaw = Keyed(d, {{0, 0}, {0.25, 1}, {1, 0.5}});
      pose.glow = 1 - d;
      pose.settle = true;
      // Wings fold as the body rolls, or one would point at the sky.
      pose.wingSpread = Keyed(d, {{0, 0.1}, {0.5, 0}});
      pose.wingFlap = -d;
      for (int leg = 0; leg < 4; ++leg)
        pose.foot[leg] = Rest(look, leg) + Vec3{(leg < 2 ? 1 : -1) * d * LegLength(look) * 0.3, 0, 0};
      if (look.plan == BodyPlan::kBat || look.plan == BodyPlan::kBird) {
        // A flier drops onto its breast, wings spread on the ground.
        pose.fall = 0;
        pose.root.z = -LegLength(look) * d;
        pose.wingSpread = Keyed(d, {{0, 0.4}, {1, 1}});
        pose.wingFlap = Keyed(d, {{0, 0.6}, {1, -0.1}});
        pose.lean = 0.4 * d;
      }
      if (look.sprawl > 0) {
        // A lizard does not roll over: it sinks flat, legs splayed, chin on the ground.
        pose.fall = 0;
        pose.crouch = Keyed(d, {{0, 0}, {0.4, 0.5}, {1, 0.9}});
        for (int leg = 0; leg < 4; ++leg) pose.foot[leg].y *= 1 + 0.6 * d;
      }
      if (m.action == Action::kDead) pose.deadStage = m.variant;
      break;
    }
    default:
      break;
  }
  return pose;
}

CreaturePose EyePose(const CreatureLook& look, const Motion& m) {
  CreaturePose pose;
  const double t = m.t, a = 2 * kPi * t;
  pose.root.z = 0.8 * std::sin(a);
  pose.tailLift = t;
  switch (m.action) {
    case Action::kWalk:
    case Action::kFly:
    case Action::kGlide:
      pose.lean = 0.15;
      pose.tailSwing = 0.5 * std::sin(a);
      pose.root.x = 0;
      break;
    case Action::kChop:
    case Action::kSwing:
    case Action::kThrust:
      pose.root.x = Keyed(t, {{0, 0}, {0.35, -Sz(look, 2)}, {0.55, Sz(look, 4)}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.35, -0.3}, {0.55, 0.3}, {1, 0}});
      pose.glow = Keyed(t, {{0, 1}, {0.35, 0.4}, {0.55, 1}, {1, 1}});
      pose.tailSwing = m.action == Action::kSwing ? std::sin(a) * 1.5 : 0.3 * std::sin(a);
      break;
    case Action::kIdle: {
      const double u = Keyed(t / 0.75, {{0, 0}, {1, 1}});
      pose.headYaw = m.variant % 2 ? 0.8 * u : 0;
      pose.headPitch = m.variant % 3 == 2 ? 0.5 * u : 0;
      pose.glow = m.variant % 3 == 0 ? 1 - 0.8 * u : 1;
      pose.root.z = 0.6 * u;
      break;
    }
    case Action::kTaunt: {
      const double raise = Keyed(t, {{0, 0}, {0.25, 1}, {0.75, 1.1}});
      const double shake = t < 0.25 ? 0 : std::cos(4 * kPi * t);
      pose.lean = -0.3 * raise;
      pose.root.z = 2 * raise;
      pose.tailSwing = 1.5 * shake;
      break;
    }
    case Action::kStunned:
    case Action::kTrapped:
      pose.headYaw = 0.5 * std::sin(a);
      pose.tilt = 0.2 * std::cos(a);
      pose.glow = 0.5;
      pose.root.z = -Sz(look, look.hover) * 0.3;
      break;
    case Action::kRetreat:
      pose.root.x = Keyed(t, {{0, 0}, {0.3, -Sz(look, 2.5)}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.3, -0.4}, {1, 0}});
      break;
    case Action::kDying:
    case Action::kDead: {
      const double d = m.action == Action::kDead ? 1.0 : t;
      pose.settle = true;
      pose.root.z = -Sz(look, look.hover) * Keyed(d, {{0, 0}, {0.3, 0.1}, {1, 1}});
      pose.glow = 1 - d;
      pose.lean = d * 0.8;
      pose.tailSwing = 0;
      if (m.action == Action::kDead) pose.deadStage = m.variant;
      break;
    }
    default:
      break;
  }
  return pose;
}

}  // namespace

CreaturePose BeastPose(const CreatureLook& look, const Motion& m) {
  if (look.plan == BodyPlan::kEye) return EyePose(look, m);
  CreaturePose pose = FourLegsPose(look, m);
  if (look.humanTorso && m.action != Action::kDying && m.action != Action::kDead) {
    // The centaur's arms and weapon do what a rider's would.
    const CreaturePose upper = HumanoidPose(look, m);
    for (int side = 0; side < 2; ++side) pose.hand[side] = upper.hand[side];
    pose.weaponAim = upper.weaponAim;
    pose.draw = upper.draw;
    pose.twist = upper.twist;
    pose.capeLift = upper.capeLift;
    if (m.action == Action::kIdle) {
      pose.headYaw = upper.headYaw;
      pose.headPitch = upper.headPitch;
    }
  }
  return pose;
}

}  // namespace forge
