// Motions of figures on two legs (and of the wraith's upper body); the beasts' are in
// BeastMotion.cpp.
#include "forge/CreatureMotion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/FigureParts.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

template <class T>
T KeyedValue(double t, std::initializer_list<std::pair<double, T>> keys) {
  const auto* first = keys.begin();
  if (t <= first->first) return first->second;
  for (const auto* k = first + 1; k != keys.end(); ++k) {
    if (t <= k->first) {
      const auto& a = *(k - 1);
      const double span = k->first - a.first;
      const double u = span > 0 ? Smooth((t - a.first) / span) : 1;
      return a.second + (k->second - a.second) * u;
    }
  }
  return (keys.end() - 1)->second;
}

// The ready stance: what the hands do with the weapon while nothing else is going on.
void ReadyArms(const CreatureLook& look, CreaturePose& pose) {
  switch (look.weapon) {
    case Weapon::kNone:
    case Weapon::kPipes:
    case Weapon::kTrumpet:
      pose.hand[0] = pose.hand[1] = {0.08, 0.18, -0.92};
      break;
    case Weapon::kBow:
      pose.hand[0] = {0.35, 0.2, -0.72};
      pose.hand[1] = {0.05, 0.18, -0.92};
      break;
    case Weapon::kStaff:
    case Weapon::kSpear:
    case Weapon::kScythe:
      pose.hand[0] = {0.08, 0.18, -0.9};
      pose.hand[1] = {0.4, 0.25, -0.45};
      pose.weaponAim = {0.05, 0.05, 1.0};
      break;
    default:
      pose.hand[0] = {0.12, 0.2, -0.88};
      pose.hand[1] = {0.38, 0.22, -0.55};
      pose.weaponAim = {0.5, 0.05, 0.86};
      break;
  }
  if (look.weapon == Weapon::kPipes) pose.hand[0] = pose.hand[1] = {0.55, -0.15, 0.55};
  if (look.weapon == Weapon::kTrumpet) pose.hand[1] = {0.55, -0.05, 0.6};
}

bool Armed(const CreatureLook& look) {
  return look.weapon != Weapon::kNone && look.weapon != Weapon::kPipes && look.weapon != Weapon::kTrumpet &&
         look.weapon != Weapon::kBow;
}

void WalkFeet(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  const double hip = Sz(look, look.hipWidth) * 0.9;
  const Gait gait = GaitFor(m.stride, Sz(look, look.legLength));
  const double step = m.stride / gait.cycles;
  pose.feetSet = true;
  for (int side = 0; side < 2; ++side) {
    const double phase = std::fmod(m.t * gait.cycles + side * 0.5, 1.0);
    const Vec3 f = FootAt(phase, step, gait);
    pose.foot[side] = {f.x, (side == 0 ? 1 : -1) * hip, f.z};
  }
  const double p = m.t * gait.cycles * 2 * kPi;
  pose.root.z = -0.35 * std::cos(2 * p) * std::min(1.0, step / 16) - (gait.duty < 0.5 ? 0.8 : 0);
  pose.lean = gait.duty < 0.5 ? 0.22 : 0.07;
  pose.tilt = 0.04 * std::sin(p);
  // Arms swing against the legs.
  const double swing = std::min(0.35, step / 60);
  ReadyArms(look, pose);
  pose.hand[0].x += swing * std::cos(p) * (look.weapon == Weapon::kBow ? 0.4 : 1);
  if (!Armed(look) && look.weapon != Weapon::kTrumpet) pose.hand[1].x -= swing * std::cos(p);
  pose.tailSwing = 0.4 * std::sin(p);
  pose.capeLift = 0.15 + 0.1 * std::sin(2 * p);
}

// The three blows of a figure with a weapon (or fists).
void Attack(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  const double t = m.t;
  ReadyArms(look, pose);
  const Vec3 ready = pose.hand[1];
  const Vec3 readyAim = pose.weaponAim;
  switch (m.action) {
    case Action::kChop:
      pose.hand[1] = KeyedValue<Vec3>(
          t,
          {{0, ready}, {0.35, {-0.05, 0.15, 1.0}}, {0.55, {0.95, 0.05, 0.15}}, {0.75, {0.7, 0.0, -0.45}}, {1, ready}});
      pose.weaponAim = KeyedValue<Vec3>(t, {{0, readyAim},
                                            {0.35, {-0.75, 0.0, 0.65}},
                                            {0.55, {0.9, 0.0, -0.2}},
                                            {0.75, {0.55, 0.0, -0.85}},
                                            {1, readyAim}});
      pose.lean = Keyed(t, {{0, 0}, {0.35, -0.12}, {0.55, 0.28}, {0.75, 0.3}, {1, 0}});
      pose.root.x = Keyed(t, {{0, 0}, {0.35, -0.8}, {0.55, 1.6}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(
          t, {{0, pose.hand[0]}, {0.35, {0.4, 0.35, -0.2}}, {0.6, {0.1, 0.3, -0.7}}, {1, pose.hand[0]}});
      break;
    case Action::kSwing:
      pose.hand[1] = KeyedValue<Vec3>(
          t,
          {{0, ready}, {0.35, {-0.15, 0.9, 0.25}}, {0.55, {0.95, 0.1, 0.1}}, {0.75, {0.45, -0.65, -0.05}}, {1, ready}});
      pose.weaponAim = KeyedValue<Vec3>(t, {{0, readyAim},
                                            {0.35, {-0.4, 0.85, 0.3}},
                                            {0.55, {0.7, -0.7, 0.1}},
                                            {0.75, {-0.1, -1.0, -0.1}},
                                            {1, readyAim}});
      pose.twist = Keyed(t, {{0, 0}, {0.35, -0.6}, {0.55, 0.25}, {0.75, 0.6}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.55, 0.15}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(
          t, {{0, pose.hand[0]}, {0.35, {0.5, 0.2, -0.3}}, {0.75, {-0.2, 0.45, -0.6}}, {1, pose.hand[0]}});
      break;
    default:  // thrust
      pose.hand[1] = KeyedValue<Vec3>(
          t, {{0, ready}, {0.35, {-0.35, 0.3, -0.15}}, {0.55, {1.0, 0.0, 0.08}}, {0.75, {0.9, 0.05, 0.0}}, {1, ready}});
      pose.weaponAim = KeyedValue<Vec3>(
          t,
          {{0, readyAim}, {0.35, {0.95, 0.1, 0.2}}, {0.55, {1.0, 0.0, 0.0}}, {0.75, {1.0, 0.0, -0.05}}, {1, readyAim}});
      pose.lean = Keyed(t, {{0, 0}, {0.35, -0.08}, {0.55, 0.32}, {0.75, 0.28}, {1, 0}});
      pose.root.x = Keyed(t, {{0, 0}, {0.35, -1.2}, {0.55, 3.0}, {0.75, 2.6}, {1, 0}});
      pose.twist = Keyed(t, {{0, 0}, {0.35, -0.35}, {0.55, 0.3}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(t, {{0, pose.hand[0]}, {0.55, {-0.3, 0.35, -0.6}}, {1, pose.hand[0]}});
      break;
  }
  // The front foot steps into the blow.
  const double hip = Sz(look, look.hipWidth) * 0.9;
  const double stepIn = std::max(0.0, pose.root.x) * 1.6;
  pose.feetSet = true;
  pose.foot[0] = {stepIn + Sz(look, 1.5) * Smooth(t * 3), hip, 0};
  pose.foot[1] = {-Sz(look, 1.5) * Smooth(t * 3) * (1 - Smooth((t - 0.8) * 5)), -hip, 0};
  pose.foot[0].x *= 1 - Smooth((t - 0.8) * 5);
  pose.crouch = 0.15 * std::sin(kPi * t);
  pose.jaw = Keyed(t, {{0, 0}, {0.5, 1}, {0.8, 0}});
  pose.capeLift = 0.3 * std::sin(kPi * t);
}

void Ranged(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  const double t = m.t;
  ReadyArms(look, pose);
  if (look.weapon == Weapon::kBow) {
    pose.hand[0] = KeyedValue<Vec3>(
        t, {{0, pose.hand[0]}, {0.2, {0.95, 0.08, 0.22}}, {0.85, {0.95, 0.08, 0.22}}, {1, pose.hand[0]}});
    pose.hand[1] = KeyedValue<Vec3>(t, {{0, pose.hand[1]},
                                        {0.2, {0.85, -0.05, 0.22}},
                                        {0.55, {0.12, 0.3, 0.38}},
                                        {0.62, {-0.12, 0.42, 0.36}},
                                        {0.85, {0.2, 0.3, -0.3}},
                                        {1, pose.hand[1]}});
    pose.draw = Keyed(t, {{0, 0}, {0.2, 0.1}, {0.55, 1}, {0.6, 0}});
    pose.twist = Keyed(t, {{0, 0}, {0.2, 0.45}, {0.85, 0.45}, {1, 0}});
    pose.headYaw = -pose.twist * 0.7;
    return;
  }
  if (look.weapon == Weapon::kSling || !Armed(look)) {
    // An overarm throw.
    pose.hand[1] = KeyedValue<Vec3>(t, {{0, pose.hand[1]},
                                        {0.4, {-0.45, 0.35, 0.65}},
                                        {0.6, {0.9, 0.1, 0.45}},
                                        {0.8, {0.7, -0.1, -0.3}},
                                        {1, pose.hand[1]}});
    pose.weaponAim =
        KeyedValue<Vec3>(t, {{0, pose.weaponAim}, {0.4, {-0.5, 0, 0.8}}, {0.6, {0.9, 0, 0.3}}, {1, pose.weaponAim}});
    pose.hand[0] =
        KeyedValue<Vec3>(t, {{0, pose.hand[0]}, {0.4, {0.7, 0.2, 0.3}}, {0.7, {0.1, 0.35, -0.6}}, {1, pose.hand[0]}});
    pose.lean = Keyed(t, {{0, 0}, {0.4, -0.2}, {0.6, 0.3}, {1, 0}});
    pose.twist = Keyed(t, {{0, 0}, {0.4, -0.5}, {0.65, 0.35}, {1, 0}});
    return;
  }
  // A spell cast: the weapon raised, then thrust toward the target.
  pose.hand[1] = KeyedValue<Vec3>(t, {{0, pose.hand[1]},
                                      {0.4, {0.25, 0.3, 0.95}},
                                      {0.6, {1.0, 0.0, 0.35}},
                                      {0.85, {0.8, 0.05, 0.2}},
                                      {1, pose.hand[1]}});
  pose.weaponAim =
      KeyedValue<Vec3>(t, {{0, pose.weaponAim}, {0.4, {0.0, 0.1, 1.0}}, {0.6, {0.9, 0.0, 0.45}}, {1, pose.weaponAim}});
  pose.hand[0] =
      KeyedValue<Vec3>(t, {{0, pose.hand[0]}, {0.4, {0.3, 0.5, 0.7}}, {0.6, {0.95, 0.15, 0.3}}, {1, pose.hand[0]}});
  pose.lean = Keyed(t, {{0, 0}, {0.4, -0.15}, {0.6, 0.2}, {1, 0}});
  pose.capeLift = Keyed(t, {{0, 0}, {0.6, 0.8}, {1, 0.1}});
}

// Idle motions go from rest (t = 0) to their fullest at t = 0.75; the sequence plays them
// out and back.
void Idle(const CreatureLook& look, const Motion& m, CreaturePose& pose) {
  const double u = Smooth(m.t / 0.75);
  ReadyArms(look, pose);
  const Vec3 left = pose.hand[0], right = pose.hand[1];
  switch (m.variant % 6) {
    case 0:  // a deep breath, a glance up
      pose.root.z = 0.5 * u;
      pose.headPitch = -0.25 * u;
      pose.hand[0].y += 0.08 * u;
      pose.capeLift = 0.1 * u;
      break;
    case 1:  // a look over the shoulder
      pose.headYaw = 0.9 * u;
      pose.twist = 0.3 * u;
      break;
    case 2:  // weight onto one foot, the weapon to the shoulder
      pose.root.y = Sz(look, 1.0) * u;
      pose.tilt = -0.1 * u;
      pose.hand[1] = Lerp(right, {0.15, 0.05, 0.45}, u);
      pose.weaponAim = Lerp(pose.weaponAim, {-0.6, -0.1, 0.8}, u);
      break;
    case 3:  // a scratch of the head
      pose.hand[0] = Lerp(left, {0.2, 0.02, 1.0}, u);
      pose.headPitch = 0.25 * u;
      pose.tilt = 0.12 * u;
      break;
    case 4:  // a stretch and a yawn
      pose.hand[0] = Lerp(left, {0.15, 0.35, 0.95}, u);
      if (!Armed(look)) pose.hand[1] = Lerp(right, {0.15, 0.35, 0.95}, u);
      pose.lean = -0.18 * u;
      pose.headPitch = -0.35 * u;
      pose.jaw = u;
      break;
    default:  // a look at the ground, a hand to the belt
      pose.headPitch = 0.45 * u;
      pose.crouch = 0.12 * u;
      pose.hand[0] = Lerp(left, {0.45, 0.05, -0.3}, u);
      pose.twist = -0.15 * u;
      break;
  }
}

void Dying(const CreatureLook& look, double t, CreaturePose& pose) {
  ReadyArms(look, pose);
  pose.lean = Keyed(t, {{0, 0}, {0.2, -0.3}, {0.45, 0.15}, {0.7, 0.05}, {1, -0.1}});
  pose.crouch = Keyed(t, {{0, 0}, {0.2, 0.1}, {0.45, 0.6}, {0.75, 0.45}, {1, 0.15}});
  pose.fall = Keyed(t, {{0, 0}, {0.45, 0.05}, {0.8, 0.75}, {1, 1}});
  pose.hand[0] =
      KeyedValue<Vec3>(t, {{0, pose.hand[0]}, {0.2, {0.5, 0.45, 0.5}}, {0.6, {0.2, 0.6, 0.1}}, {1, {-0.1, 0.85, 0.2}}});
  pose.hand[1] = KeyedValue<Vec3>(
      t, {{0, pose.hand[1]}, {0.2, {0.4, 0.5, 0.6}}, {0.6, {0.1, 0.65, 0.0}}, {1, {-0.05, 0.9, -0.1}}});
  pose.weaponAim = KeyedValue<Vec3>(t, {{0, pose.weaponAim}, {0.6, {0.4, 0.6, 0.2}}, {1, {0.1, 0.95, -0.2}}});
  pose.headPitch = Keyed(t, {{0, 0}, {0.2, -0.4}, {0.6, 0.3}, {1, -0.2}});
  pose.jaw = Keyed(t, {{0, 0}, {0.2, 1}, {1, 0.6}});
  pose.feetSet = true;
  const double hip = Sz(look, look.hipWidth) * 0.9;
  pose.foot[0] = {Sz(look, 1.0) * Smooth(t * 2), hip * (1 + 0.5 * t), 0};
  pose.foot[1] = {-Sz(look, 0.5) * Smooth(t * 2), -hip * (1 + 0.3 * t), 0};
  pose.glow = 1 - t;
  pose.capeLift = 0.2 * std::sin(kPi * t);
  pose.settle = true;
}

}  // namespace

CreaturePose HumanoidPose(const CreatureLook& look, const Motion& m) {
  CreaturePose pose;
  ReadyArms(look, pose);
  const double t = m.t;
  switch (m.action) {
    case Action::kStand:
      break;
    case Action::kWalk:
      WalkFeet(look, m, pose);
      break;
    case Action::kFly:
    case Action::kGlide:
    case Action::kHover: {
      // Borne up by magic: the legs trail, the arms and cape spread like wings.
      const double a = 2 * kPi * t;
      const bool moving = m.action != Action::kHover;
      const double hip = Sz(look, look.hipWidth);
      pose.feetSet = true;
      pose.foot[0] = {moving ? -Sz(look, 5) : -Sz(look, 1), hip, Sz(look, moving ? 6 : 1.5) + 0.8 * std::sin(a)};
      pose.foot[1] = {moving ? -Sz(look, 6) : -Sz(look, 1.5), -hip, Sz(look, moving ? 5 : 1.0) + 0.8 * std::cos(a)};
      pose.root.z = Sz(look, moving ? 3 : 2) + 0.8 * std::sin(a);
      pose.lean = moving ? (m.action == Action::kGlide ? 0.75 : 0.45) : 0.05;
      pose.hand[0] = {0.1, 0.85, 0.15 + 0.25 * std::sin(a)};
      pose.hand[1] = Armed(look) ? Vec3{0.45, 0.3, -0.3} : Vec3{0.1, 0.85, 0.15 + 0.25 * std::sin(a)};
      pose.capeLift = moving ? 0.85 + 0.15 * std::sin(a) : 0.45 + 0.2 * std::sin(a);
      pose.headPitch = moving ? -0.4 : 0;
      break;
    }
    case Action::kIdle:
      Idle(look, m, pose);
      break;
    case Action::kChop:
    case Action::kSwing:
    case Action::kThrust:
      Attack(look, m, pose);
      break;
    case Action::kRanged:
      Ranged(look, m, pose);
      break;
    case Action::kTaunt: {
      // Up with the weapon, then shaken: the frames at 0.5 and 0.75 swing it to and fro.
      const double raise = Keyed(t, {{0, 0}, {0.25, 1}, {0.5, 1}, {0.75, 1.2}});
      const double shake = t < 0.25 ? 0 : std::cos(4 * kPi * t);
      pose.hand[1] = Lerp(pose.hand[1], Vec3{0.35 + 0.1 * shake, 0.3, 0.9 + 0.05 * shake}, std::min(1.0, raise));
      pose.weaponAim = Lerp(pose.weaponAim, Vec3{0.25 + 0.25 * shake, 0.15, 0.95}, std::min(1.0, raise));
      pose.hand[0] =
          Lerp(pose.hand[0], Armed(look) ? Vec3{0.6, 0.35, 0.45 - 0.1 * shake} : Vec3{0.35, 0.3, 0.9 - 0.1 * shake},
               std::min(1.0, raise));
      pose.lean = -0.16 * raise;
      pose.headPitch = -0.25 * raise;
      pose.jaw = std::min(1.0, raise);
      pose.root.z = 0.5 * raise * (1 + shake) / 2;
      pose.capeLift = 0.35 * raise;
      if (look.weapon == Weapon::kTrumpet || look.weapon == Weapon::kPipes) {
        ReadyArms(look, pose);
        pose.lean = -0.2 * raise;
        pose.headPitch = -0.3 * raise;
      }
      break;
    }
    case Action::kStunned: {
      const double a = 2 * kPi * t;
      pose.tilt = 0.14 * std::sin(a);
      pose.lean = 0.12 + 0.08 * std::cos(a);
      pose.headYaw = 0.35 * std::cos(a);
      pose.headPitch = 0.3 + 0.15 * std::sin(a);
      pose.crouch = 0.2;
      pose.hand[0] = {0.1, 0.35, -0.85};
      pose.hand[1] = {0.15, 0.35, -0.8};
      pose.weaponAim = {0.5, 0.3, -0.8};
      pose.root.y = Sz(look, 0.8) * std::sin(a);
      break;
    }
    case Action::kTrapped: {
      const double a = 2 * kPi * t;
      pose.tilt = 0.2 * std::sin(a);
      pose.lean = 0.25;
      pose.twist = 0.3 * std::sin(a);
      pose.hand[0] = {0.4, 0.5, 0.1 + 0.3 * std::sin(a)};
      pose.hand[1] = {0.4, 0.5, 0.1 - 0.3 * std::sin(a)};
      pose.weaponAim = {0.6, 0.4, 0.2};
      pose.crouch = 0.35;
      pose.headPitch = 0.2;
      pose.jaw = 0.7;
      break;
    }
    case Action::kRetreat:
      pose.lean = Keyed(t, {{0, 0}, {0.3, -0.32}, {1, -0.05}});
      pose.root.x = Keyed(t, {{0, 0}, {0.3, -1.5}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(t, {{0, pose.hand[0]}, {0.3, {0.5, 0.3, 0.5}}, {1, pose.hand[0]}});
      pose.hand[1] = KeyedValue<Vec3>(t, {{0, pose.hand[1]}, {0.3, {0.3, 0.45, 0.3}}, {1, pose.hand[1]}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.3, -0.35}, {1, 0}});
      pose.crouch = Keyed(t, {{0, 0}, {0.3, 0.2}, {1, 0}});
      pose.jaw = Keyed(t, {{0, 0}, {0.3, 1}, {1, 0}});
      break;
    case Action::kDying:
      Dying(look, t, pose);
      break;
    case Action::kDead:
      Dying(look, 1, pose);
      pose.deadStage = m.variant;
      break;
    case Action::kEat: {
      const double a = 2 * kPi * t;
      pose.crouch = 0.25;
      pose.lean = 0.15;
      pose.hand[0] = {0.65, -0.15, 0.55 + 0.2 * std::sin(a)};
      pose.hand[1] = {0.55, 0.1, 0.2 - 0.2 * std::sin(a)};
      pose.weaponAim = {0.2, 0.9, -0.3};
      pose.jaw = 0.5 + 0.5 * std::sin(2 * a);
      pose.headPitch = 0.15;
      break;
    }
    case Action::kRecover:
      pose.lean = Keyed(t, {{0, 0}, {0.3, 0.45}, {0.7, 0.45}, {1, 0}});
      pose.crouch = Keyed(t, {{0, 0}, {0.3, 0.3}, {0.7, 0.3}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(
          t, {{0, pose.hand[0]}, {0.3, {0.75, 0.1, -0.55}}, {0.7, {0.75, 0.1, -0.55}}, {1, pose.hand[0]}});
      pose.root.z = 0.4 * std::sin(6 * kPi * t);
      pose.headPitch = Keyed(t, {{0, 0}, {0.3, 0.3}, {0.7, 0.3}, {1, 0}});
      break;
    case Action::kDipCap:
      pose.crouch = Keyed(t, {{0, 0}, {0.35, 0.85}, {0.7, 0.85}, {1, 0}});
      pose.lean = Keyed(t, {{0, 0}, {0.35, 0.55}, {0.7, 0.55}, {1, 0}});
      pose.hand[0] = KeyedValue<Vec3>(t, {{0, pose.hand[0]},
                                          {0.35, {0.85, 0.1, -0.7}},
                                          {0.55, {0.95, 0.0, -0.75}},
                                          {0.7, {0.2, 0.1, 1.0}},
                                          {0.85, {0.2, 0.1, 1.0}},
                                          {1, pose.hand[0]}});
      pose.headPitch = Keyed(t, {{0, 0}, {0.35, 0.4}, {0.7, -0.1}, {1, 0}});
      break;
  }
  return pose;
}

double Keyed(double t, std::initializer_list<std::pair<double, double>> keys) { return KeyedValue<double>(t, keys); }
Vec3 Keyed(double t, std::initializer_list<std::pair<double, Vec3>> keys) { return KeyedValue<Vec3>(t, keys); }

Gait GaitFor(double stride, double legLength) {
  Gait gait;
  const double reach = legLength * 1.25;  // the longest a foot can stay down
  for (int cycles : {1, 2, 3, 4}) {
    gait.cycles = cycles;
    if (reach * cycles / std::max(1.0, stride) >= 0.45) break;
  }
  gait.duty = std::min(0.64, reach * gait.cycles / std::max(1.0, stride));
  gait.lift = std::clamp(legLength * 0.22, 0.8, 4.0);
  return gait;
}

Vec3 FootAt(double p, double step, const Gait& gait) {
  const double half = gait.duty * step / 2;
  if (p < gait.duty) return {half - step * p, 0, 0};  // on the ground, the body passing over it
  const double s = (p - gait.duty) / (1 - gait.duty);
  return {-half + 2 * half * Smooth(s), 0, gait.lift * std::sin(kPi * s)};
}

CreaturePose PoseFor(const CreatureLook& look, const Motion& motion) {
  if (look.plan == BodyPlan::kHumanoid || look.plan == BodyPlan::kWraith) return HumanoidPose(look, motion);
  return BeastPose(look, motion);
}

}  // namespace forge
