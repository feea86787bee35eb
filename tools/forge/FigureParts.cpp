// Parts several body plans share: heads and headgear, weapons, wings and tails.
#include "forge/FigureParts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

// A point on a circle of radius r round a frame's up axis, at an angle from its forward.
Vec3 OnCircle(const Basis& f, double r, double angle, double c) {
  return f.Point(r * std::cos(angle), r * std::sin(angle), c);
}

void BuildHeadgear(const CreatureLook& look, const Basis& head, double r, FigureModel& model) {
  const int hat = look.m.hat;
  const double size = look.hatSize;
  switch (look.headgear) {
    case Headgear::kNone:
      return;
    case Headgear::kCap: {
      // A tall soft cap that flops backward.
      model.Ellipsoid(head.At(-r * 0.05, 0, r * 0.45), r * 1.05, r * 1.02, r * 0.62, hat);
      model.Chain({head.Point(-r * 0.1, 0, r * 0.7), head.Point(-r * 0.45, 0, r * (1.2 + 0.7 * size)),
                   head.Point(-r * (1.0 + 0.5 * size), 0, r * (1.45 + 0.8 * size)),
                   head.Point(-r * (1.6 + 0.7 * size), 0, r * (1.0 + 0.6 * size))},
                  r * 0.85, r * 0.22, hat);
      return;
    }
    case Headgear::kPointedHat:
    case Headgear::kWideHat: {
      const bool wide = look.headgear == Headgear::kWideHat;
      std::vector<Vec3> rim;
      const double brim = r * (wide ? 2.3 : 1.65) * std::max(1.0, size * 0.85);
      for (int k = 0; k <= 16; ++k) rim.push_back(OnCircle(head, brim, 2 * kPi * k / 16, r * 0.5));
      model.Fan(head.Point(0, 0, r * 0.5), rim, hat);
      if (wide) {
        model.Ellipsoid(head.At(0, 0, r * 0.75), r * 1.0, r * 1.0, r * 0.6, hat);
      } else {
        model.Chain({head.Point(0, 0, r * 0.55), head.Point(-r * 0.15, 0, r * (1.2 + 0.6 * size)),
                     head.Point(-r * (0.5 + 0.5 * size), 0, r * (1.6 + 1.0 * size))},
                    r * 1.0, r * 0.18, hat);
      }
      if (look.m.trim >= 0) {
        model.SetDetail(true);
        model.Ellipsoid(head.At(0, 0, r * 0.62), r * 1.02, r * 1.02, r * 0.16, look.m.trim);
        model.SetDetail(false);
      }
      return;
    }
    case Headgear::kHood:
      model.Ellipsoid(head.At(-r * 0.42, 0, r * 0.12), r * 1.22, r * 1.2, r * 1.28, hat);
      model.Ellipsoid(head.At(-r * 0.5, 0, -r * 0.9), r * 1.2, r * 1.45, r * 0.7, hat);
      model.Chain(
          {head.Point(-r * 0.9, 0, r * 0.7), head.Point(-r * 1.6, 0, r * 0.1), head.Point(-r * 1.8, 0, -r * 0.7)},
          r * 0.5, r * 0.15, hat);
      return;
    case Headgear::kHelmet:
    case Headgear::kPlumedHelm:
    case Headgear::kHornedHelm:
    case Headgear::kCrown: {
      if (look.headgear != Headgear::kCrown) {
        model.Ellipsoid(head.At(-r * 0.08, 0, r * 0.42), r * 1.06, r * 1.04, r * 0.78, hat);
        // A nasal guard and a rim.
        model.SetDetail(true);
        model.Limb(head.Point(r * 0.92, 0, r * 0.45), r * 0.16, head.Point(r * 1.0, 0, -r * 0.15), r * 0.14, hat);
        model.SetDetail(false);
      }
      if (look.headgear == Headgear::kPlumedHelm) {
        const int plume = look.m.cape >= 0 ? look.m.cape : look.m.trim;
        model.Chain({head.Point(0, 0, r * 1.1), head.Point(-r * 0.7, 0, r * 1.9 * size),
                     head.Point(-r * 1.8, 0, r * 1.6), head.Point(-r * 2.4, 0, r * 0.6)},
                    r * 0.45, r * 0.2, plume);
      }
      if (look.headgear == Headgear::kHornedHelm) {
        const int horn = look.m.horn >= 0 ? look.m.horn : look.m.trim;
        for (double s : {1.0, -1.0})
          model.Chain({head.Point(0, s * r * 0.85, r * 0.65), head.Point(r * 0.1, s * r * 1.6, r * 1.0),
                       head.Point(r * 0.35, s * r * 1.9, r * 1.8 * size)},
                      r * 0.36, r * 0.08, horn);
      }
      if (look.headgear == Headgear::kCrown) {
        const int gold = look.m.trim >= 0 ? look.m.trim : hat;
        model.Ellipsoid(head.At(0, 0, r * 0.62), r * 0.98, r * 0.98, r * 0.2, gold);
        for (int k = 0; k < 6; ++k) {
          const double angle = 2 * kPi * k / 6;
          model.Limb(OnCircle(head, r * 0.92, angle, r * 0.7), r * 0.2, OnCircle(head, r * 0.95, angle, r * 1.25),
                     r * 0.08, gold);
        }
      }
      return;
    }
  }
}

}  // namespace

void BuildHead(const CreatureLook& look, const CreaturePose& pose, const Basis& head, FigureModel& model) {
  const double r = Sz(look, look.headRadius);
  const int skin = look.m.skin;
  if (look.bony) {
    // A skull: round dome, narrow jaw, dark sockets.
    model.Ellipsoid(head.At(0, 0, r * 0.1), r * 0.95, r * 0.85, r * 0.9, skin);
    model.Ellipsoid(head.At(r * 0.35, 0, -r * 0.55 - pose.jaw * r * 0.3), r * 0.55, r * 0.55, r * 0.35, skin);
    model.SetDetail(true);
    for (double s : {1.0, -1.0}) model.Ball(head.Point(r * 0.72, s * r * 0.36, r * 0.05), r * 0.26, look.m.mouth);
    model.SetDetail(false);
  } else {
    model.Ellipsoid(head, r * 0.95, r * 0.88, r * 1.02, skin);
    if (look.m.hair >= 0 && look.headgear != Headgear::kHelmet && look.headgear != Headgear::kHood)
      model.Ellipsoid(head.At(-r * 0.2, 0, r * 0.25), r * 0.92, r * 0.95, r * 0.88, look.m.hair);
    model.SetDetail(true);
    for (double s : {1.0, -1.0}) model.Ball(head.Point(r * 0.8, s * r * 0.36, r * 0.12), r * 0.2, look.m.eyes);
    model.Ball(head.Point(r * 0.95, 0, -r * 0.15), r * (look.tusks ? 0.38 : 0.24), skin);
    model.SetDetail(false);
    if (look.pointedEars)
      for (double s : {1.0, -1.0})
        model.Triangle(head.Point(-r * 0.1, s * r * 0.8, r * 0.25), head.Point(-r * 0.35, s * r * 0.8, -r * 0.2),
                       head.Point(-r * 0.7, s * r * 1.9, r * 0.8), skin);
    if (look.tusks) {
      const int horn = look.m.horn >= 0 ? look.m.horn : look.m.claw;
      for (double s : {1.0, -1.0})
        model.Limb(head.Point(r * 0.75, s * r * 0.4, -r * 0.55), r * 0.18, head.Point(r * 1.05, s * r * 0.5, -r * 0.05),
                   r * 0.07, horn);
    }
    if (look.beard) {
      const int hair = look.m.hair >= 0 ? look.m.hair : skin;
      model.Ellipsoid(head.At(r * 0.55, 0, -r * 0.55), r * 0.5, r * 0.62, r * 0.6, hair);
      model.Limb(head.Point(r * 0.7, 0, -r * 0.8), r * 0.5, head.Point(r * 0.8, 0, -r * 1.9), r * 0.12, hair);
    }
  }
  if (look.hornLength > 0) {
    const int horn = look.m.horn >= 0 ? look.m.horn : skin;
    const double h = Sz(look, look.hornLength);
    for (double s : {1.0, -1.0})
      model.Chain(
          {head.Point(r * 0.1, s * r * 0.55, r * 0.7), head.Point(-h * 0.2, s * (r * 0.8 + h * 0.3), r * 0.8 + h * 0.5),
           head.Point(-h * 0.6, s * (r * 0.8 + h * 0.45), r * 0.7 + h * 0.7)},
          r * 0.3, r * 0.08, horn);
  }
  BuildHeadgear(look, head, r, model);
}

void BuildWeapon(const CreatureLook& look, const CreaturePose& pose, Vec3 hand, Vec3 d, const Basis& chest,
                 FigureModel& model) {
  const double size = look.weaponSize * look.scale;
  const int blade = look.m.blade, haft = look.m.haft >= 0 ? look.m.haft : blade;
  const int trim = look.m.trim >= 0 ? look.m.trim : blade;
  // The side of a flat blade: across the weapon, in the plane of its swing.
  Vec3 edge = Cross(d, chest.left);
  if (Length(edge) < 0.2) edge = Cross(d, chest.forward);
  edge = Normalised(edge);
  switch (look.weapon) {
    case Weapon::kNone:
      return;
    case Weapon::kSword:
    case Weapon::kGreatSword:
    case Weapon::kDagger: {
      const double length = size * (look.weapon == Weapon::kGreatSword ? 16
                                    : look.weapon == Weapon::kDagger   ? 4.5
                                                                       : 11);
      const double width = size * (look.weapon == Weapon::kGreatSword ? 1.1 : 0.8);
      model.Limb(hand - d * (size * 1.4), size * 0.45, hand + d * (size * 0.9), size * 0.45, haft);
      model.Limb(hand + d * (size * 1.1) + edge * (size * 2.0), size * 0.42,
                 hand + d * (size * 1.1) - edge * (size * 2.0), size * 0.42, trim);
      const Vec3 base = hand + d * (size * 1.3), tip = hand + d * (size * 1.3 + length);
      model.Quad(base + edge * width, tip - d * width + edge * width * 0.6, tip, base - edge * width, blade);
      model.Triangle(base - edge * width, tip - d * width - edge * width * 0.6, tip, blade);
      model.Limb(base, size * 0.35, tip - d * width, size * 0.2, blade);
      return;
    }
    case Weapon::kAxe: {
      const double length = size * 13;
      model.Limb(hand - d * (size * 3), size * 0.5, hand + d * length, size * 0.45, haft);
      const Vec3 top = hand + d * (length - size * 0.8);
      // A crescent blade on one side, a spike on the other.
      model.Fan(top + edge * (size * 0.8),
                {top + d * (size * 2.6) + edge * (size * 2.2), top + d * (size * 1.4) + edge * (size * 4.0),
                 top + edge * (size * 4.4), top - d * (size * 1.4) + edge * (size * 4.0),
                 top - d * (size * 2.6) + edge * (size * 2.2)},
                blade);
      model.Limb(top, size * 0.6, top - edge * (size * 2.2), size * 0.15, blade);
      return;
    }
    case Weapon::kClub: {
      const double length = size * 12;
      model.Limb(hand - d * (size * 1.5), size * 0.6, hand + d * length, size * 1.9, haft);
      model.SetDetail(true);
      for (int k = 0; k < 4; ++k) {
        const double along = length * (0.55 + 0.12 * k);
        const Vec3 side = Normalised(edge * std::cos(k * 2.1) + Cross(d, edge) * std::sin(k * 2.1));
        model.Ball(hand + d * along + side * (size * (1.1 + 0.15 * k)), size * 0.55, haft);
      }
      model.SetDetail(false);
      return;
    }
    case Weapon::kSpear: {
      const double length = size * 20;
      model.Limb(hand - d * (size * 7), size * 0.42, hand + d * length, size * 0.38, haft);
      model.Limb(hand + d * length, size * 0.8, hand + d * (length + size * 3.5), size * 0.1, blade);
      return;
    }
    case Weapon::kStaff: {
      const double length = size * 9;
      model.Limb(hand - d * (size * 11), size * 0.45, hand + d * length, size * 0.5, haft);
      const Vec3 top = hand + d * (length + size * 1.0);
      model.Ball(top, size * 1.25 * (0.8 + 0.2 * pose.glow), look.m.glow >= 0 ? look.m.glow : trim);
      model.SetDetail(true);
      model.Limb(top - d * (size * 1.2) + edge * (size * 1.0), size * 0.3, top + d * (size * 0.6) + edge * (size * 1.2),
                 size * 0.2, trim);
      model.Limb(top - d * (size * 1.2) - edge * (size * 1.0), size * 0.3, top + d * (size * 0.6) - edge * (size * 1.2),
                 size * 0.2, trim);
      model.SetDetail(false);
      return;
    }
    case Weapon::kScythe: {
      const double length = size * 14;
      model.Limb(hand - d * (size * 8), size * 0.42, hand + d * length, size * 0.4, haft);
      const Vec3 top = hand + d * length;
      model.Chain({top, top + edge * (size * 3) + d * (size * 0.8), top + edge * (size * 6.5) - d * (size * 0.5),
                   top + edge * (size * 8.5) - d * (size * 3)},
                  size * 0.75, size * 0.12, blade);
      return;
    }
    case Weapon::kBow: {
      // Held upright in the hand; d is the bow's axis.
      const double half = size * 7;
      std::vector<Vec3> arc;
      for (int k = -4; k <= 4; ++k) {
        const double t = k / 4.0;
        arc.push_back(hand + d * (half * t) + chest.forward * (size * (0.8 + 1.8 * (1 - t * t))));
      }
      model.Chain(arc, size * 0.42, size * 0.42, haft);
      return;
    }
    case Weapon::kSling: {
      model.Limb(hand, size * 0.2, hand - chest.up * (size * 3.5) + d * (size * 1.5), size * 0.2, haft);
      model.Ball(hand - chest.up * (size * 3.5) + d * (size * 1.5), size * 0.7, haft);
      return;
    }
    case Weapon::kPipes:
    case Weapon::kTrumpet: {
      if (pose.fall > 0.3) return;  // dropped as the figure falls
      const Vec3 mouth = chest.Point(Sz(look, look.headRadius) * 1.1 + Sz(look, look.headForward), 0,
                                     Sz(look, look.torsoLength + look.neck + look.headRadius * 0.6));
      if (look.weapon == Weapon::kTrumpet) {
        const Vec3 dir = Normalised(chest.forward + chest.up * 0.15);
        model.Limb(mouth, size * 0.3, mouth + dir * (size * 6.5), size * 0.4, trim);
        model.Limb(mouth + dir * (size * 6.5), size * 0.45, mouth + dir * (size * 8.5), size * 1.6, trim);
        model.SetDetail(true);
        if (look.m.cape >= 0)
          model.Quad(mouth + dir * (size * 3), mouth + dir * (size * 6),
                     mouth + dir * (size * 6) - chest.up * (size * 3.5),
                     mouth + dir * (size * 3) - chest.up * (size * 3.5), look.m.cape);
        model.SetDetail(false);
      } else {
        for (int k = 0; k < 5; ++k) {
          const Vec3 top = mouth + chest.left * (size * (k - 2) * 0.7);
          model.Limb(top, size * 0.33, top - chest.up * (size * (2.8 - 0.35 * k)), size * 0.33, haft);
        }
      }
      return;
    }
  }
}

void BuildTail(const CreatureLook& look, const CreaturePose& pose, const Basis& root, double length, double radius,
               int material, FigureModel& model) {
  if (look.scorpionTail) {
    // Up over the back and forward, ending in a sting.
    std::vector<Vec3> points;
    for (int k = 0; k <= 8; ++k) {
      const double t = k / 8.0;
      const double angle = kPi * (1.1 * t) + pose.tailLift * 0.5;
      const double sway = pose.tailSwing * std::sin(t * kPi) * length * 0.2;
      points.push_back(root.Point(-length * 0.42 * std::sin(angle * 0.9) - length * 0.05, sway,
                                  length * 0.5 * (1 - std::cos(angle)) * 0.95));
    }
    model.Chain(points, radius * 1.2, radius * 0.65, material);
    const Vec3 end = points.back();
    model.Limb(end, radius * 0.9, end + root.forward * (length * 0.16) - root.up * (length * 0.12), radius * 0.15,
               look.m.claw >= 0 ? look.m.claw : material);
    return;
  }
  std::vector<Vec3> points;
  for (int k = 0; k <= 6; ++k) {
    const double t = k / 6.0;
    const double sway = pose.tailSwing * t * t * length * 0.35;
    const double rise = (pose.tailLift * 0.6 - 0.35) * t * length * 0.6;
    Vec3 point = root.Point(-length * t * 0.9, sway, rise * (1 - 0.3 * t));
    // A drooping tail drags along the ground, never through it.
    point.z = std::max(point.z, radius * (1 - 0.7 * t));
    points.push_back(point);
  }
  model.Chain(points, radius, radius * 0.3, material);
}

void BuildWings(const CreatureLook& look, const CreaturePose& pose, const Basis& shoulders, double span,
                FigureModel& model) {
  const int wing = look.m.wing >= 0 ? look.m.wing : look.m.skin;
  const int bone = look.featherWings ? wing : (look.m.claw >= 0 ? look.m.claw : wing);
  const double spread = std::clamp(pose.wingSpread, 0.0, 1.0);
  const double flap = std::clamp(pose.wingFlap, -1.0, 1.0);
  for (double s : {1.0, -1.0}) {
    // The arm: out to the side and up by the flap; folded wings lie back along the body,
    // their tips over the haunches.
    const double out = span * (0.09 + 0.91 * spread);
    const double lift = flap * span * 0.45 * spread + span * (0.03 + 0.05 * spread);
    const double back = span * (0.3 * (1 - spread) + 0.08);
    const Vec3 root = shoulders.Point(0, s * span * 0.05, 0);
    const Vec3 elbow = shoulders.Point(-back * 0.45 + span * 0.05 * spread, s * out * 0.45, lift * 0.45 + span * 0.05);
    const Vec3 wrist = shoulders.Point(-back * 0.75 + span * 0.08 * spread, s * out * 0.8, lift * 0.85 + span * 0.04);
    const Vec3 tip = shoulders.Point(-back * 1.25 - span * 0.04, s * out, lift - span * 0.05 * spread);
    const Vec3 trailing =
        shoulders.Point(-back - span * (0.1 + 0.22 * spread), s * out * 0.6, lift * 0.55 - span * 0.04);
    const Vec3 rootBack = shoulders.Point(-span * (0.12 + 0.18 * spread), s * span * 0.04, -span * 0.02);
    const double bar = std::max(0.45, span * 0.022);
    model.Chain({root, elbow, wrist, tip}, bar * 1.5, bar * 0.5, bone);
    if (look.featherWings) {
      model.Fan(root, {elbow, wrist, tip, trailing, rootBack}, wing);
      model.SetDetail(true);
      // Long flight feathers fanned behind the wrist.
      for (int k = 0; k < 4; ++k) {
        const double t = (k + 1) / 5.0;
        const Vec3 from = Lerp(wrist, elbow, t * 0.8);
        model.Limb(from, bar * 0.9, Lerp(tip, trailing, t) + (Lerp(tip, trailing, t) - from) * 0.15, bar * 0.3, wing);
      }
      model.SetDetail(false);
    } else {
      // Membrane between the fingers: scalloped by the finger bones.
      const Vec3 finger1 = Lerp(tip, trailing, 0.5) + (trailing - tip) * 0.05 - shoulders.up * (span * 0.04);
      model.Fan(wrist, {tip, finger1, trailing}, wing);
      model.Fan(root, {elbow, wrist, trailing, rootBack}, wing);
      model.SetDetail(true);
      model.Limb(wrist, bar * 0.7, finger1, bar * 0.35, bone);
      model.Limb(wrist, bar * 0.7, trailing, bar * 0.35, bone);
      model.SetDetail(false);
    }
  }
}

}  // namespace forge
