// Figures on four legs: horses, hounds, lions, lizards, griffins and dragons, and the
// centaur's horse half.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/FigureParts.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

int Fur(const CreatureLook& look) { return look.m.torso; }
int Belly(const CreatureLook& look) { return look.m.belly >= 0 ? look.m.belly : look.m.torso; }

// Where a leg's foot rests: under its shoulder or hip, set out sideways for lizards.
Vec3 RestFoot(const CreatureLook& look, int leg) {
  const bool fore = leg < 2;
  const double side = leg % 2 == 0 ? 1 : -1;
  const double width = Sz(look, (fore ? look.chestRadius : look.hipRadius) * 0.55 + look.sprawl);
  const double along = Sz(look, look.bodyLength) * (fore ? 0.5 : -0.5);
  return {along, side * width, 0};
}

}  // namespace

void BuildBeastLeg(const CreatureLook& look, const Basis& ground, Vec3 joint, Vec3 footLocal, int leg,
                   FigureModel& model) {
  const bool fore = leg < 2;
  const double side = leg % 2 == 0 ? 1 : -1;
  const double r = Sz(look, look.quadLegRadius) * (fore ? 1.0 : 1.12);
  const int material = look.m.legs >= 0 ? look.m.legs : Fur(look);
  const Vec3 foot = ground.Point(footLocal);
  const double height = Dot(joint - foot, ground.up);
  if (look.sprawl > 0) {
    // A lizard's leg: out to the side to the elbow, then down to the foot.
    const Vec3 elbow = joint + ground.left * (side * Sz(look, look.sprawl) * 0.9) + ground.up * (height * 0.15);
    model.Limb(joint, r * 1.3, elbow, r, material);
    model.Limb(elbow, r, foot + ground.up * (r * 0.6), r * 0.8, material);
    model.Ellipsoid(ground.At(footLocal.x + r * 0.6, footLocal.y, footLocal.z + r * 0.4), r * 1.3, r * 0.9, r * 0.5,
                    material);
    return;
  }
  const double length = std::max(2.0, height);
  if (fore && look.eagleFront) {
    // A bird's leg with talons.
    const Vec3 ankle = foot + ground.up * (length * 0.18);
    const Vec3 knee = SolveJoint(joint, ankle, length * 0.48, length * 0.45, -ground.forward);
    model.Limb(joint, r * 1.5, knee, r * 0.9, Fur(look));
    model.Limb(knee, r * 0.75, ankle, r * 0.6, look.m.feet >= 0 ? look.m.feet : material);
    for (double spread : {-0.6, 0.0, 0.6})
      model.Limb(ankle, r * 0.45, foot + ground.Direction(std::cos(spread), std::sin(spread), 0) * (r * 2.2), r * 0.18,
                 look.m.claw >= 0 ? look.m.claw : material);
    return;
  }
  if (fore) {
    // Shoulder to elbow back, forearm down to the fetlock, pastern to the hoof or paw.
    const Vec3 fetlock = foot + ground.up * (length * 0.14) - ground.forward * (length * 0.03);
    const Vec3 elbow = SolveJoint(joint, fetlock, length * 0.45, length * 0.48, -ground.forward + ground.up * 0.3);
    model.Limb(joint, r * 1.45, elbow, r * 1.0, material);
    model.Limb(elbow, r * 0.95, fetlock, r * 0.7, material);
    model.Limb(fetlock, r * 0.7, foot + ground.up * (r * 0.75), r * 0.75, look.hoofs ? look.m.feet : material);
  } else {
    // Hip to stifle forward, gaskin back to the hock, cannon down to the foot.
    const Vec3 hock = foot + ground.up * (length * 0.32) - ground.forward * (length * 0.1);
    const Vec3 stifle = SolveJoint(joint, hock, length * 0.48, length * 0.42, ground.forward);
    model.Limb(joint, r * 1.7, stifle, r * 1.15, material);
    model.Limb(stifle, r * 1.05, hock, r * 0.75, material);
    model.Limb(hock, r * 0.72, foot + ground.up * (r * 0.72), r * 0.72, look.hoofs ? look.m.feet : material);
  }
  if (look.hoofs) {
    model.Ellipsoid(ground.At(footLocal.x + r * 0.15, footLocal.y, footLocal.z + r * 0.45), r * 0.95, r * 0.85,
                    r * 0.55, look.m.feet);
  } else {
    model.Ellipsoid(ground.At(footLocal.x + r * 0.45, footLocal.y, footLocal.z + r * 0.45), r * 1.2, r * 0.9, r * 0.55,
                    material);
    if (look.m.claw >= 0) {
      model.SetDetail(true);
      for (double b : {-0.5, 0.0, 0.5})
        model.Limb(ground.Point(footLocal.x + r * 1.2, footLocal.y + b * r, footLocal.z + r * 0.35), r * 0.22,
                   ground.Point(footLocal.x + r * 1.9, footLocal.y + b * r * 1.2, footLocal.z), r * 0.1, look.m.claw);
      model.SetDetail(false);
    }
  }
}

void BuildBeastHead(const CreatureLook& look, const CreaturePose& pose, const Basis& head, FigureModel& model) {
  const double s = Sz(look, look.headSize), snout = Sz(look, look.snout);
  const int skin = look.m.skin >= 0 ? look.m.skin : Fur(look);
  const double jaw = std::clamp(pose.jaw, 0.0, 1.0) * 0.6;
  if (look.eagleFront) {
    // A bird's head: round, with a hooked beak.
    model.Ellipsoid(head, s * 1.05, s * 0.9, s * 0.95, skin);
    const int beak = look.m.horn >= 0 ? look.m.horn : skin;
    model.Chain({head.Point(s * 0.7, 0, s * 0.1), head.Point(s * 1.5, 0, s * 0.05), head.Point(s * 1.9, 0, -s * 0.35)},
                s * 0.5, s * 0.12, beak);
    model.Limb(head.Point(s * 0.7, 0, -s * 0.25), s * 0.35, head.Point(s * 1.3 + jaw * s * 0.2, 0, -s * 0.45 - jaw * s),
               s * 0.12, beak);
  } else if (look.leonine) {
    // A lion's broad face under a great mane.
    model.Ellipsoid(head, s * 0.9, s * 0.95, s * 0.95, skin);
    model.Ellipsoid(head.At(s * 0.75, 0, -s * 0.25), s * 0.55, s * 0.55, s * 0.45, skin);
    model.Ellipsoid(head.At(s * 0.55, 0, -s * 0.7 - jaw * s * 0.6), s * 0.45, s * 0.45, s * 0.25,
                    look.m.mouth >= 0 ? look.m.mouth : skin);
  } else {
    // A skull and a snout, with a lower jaw that opens.
    model.Ellipsoid(head, s, s * 0.85, s * 0.85, skin);
    const Basis muzzle = head.Pitched(0.12);
    model.Limb(muzzle.Point(s * 0.4, 0, s * 0.05), s * 0.72, muzzle.Point(s * 0.4 + snout, 0, -s * 0.05), s * 0.45,
               skin);
    // The jaw hangs open less the longer it is, so that its tip keeps clear of the ground.
    const Basis lower = head.Pitched((0.25 + jaw) * std::clamp(4 / std::max(0.5, look.snout), 0.2, 1.0));
    model.Limb(lower.Point(s * 0.3, 0, -s * 0.45), s * 0.5, lower.Point(s * 0.2 + snout * 0.95, 0, -s * 0.5), s * 0.3,
               look.m.belly >= 0 && look.crest ? look.m.belly : skin);
    if (jaw > 0.05 && look.m.mouth >= 0)
      model.Ellipsoid(head.Pitched(0.18 + jaw * 0.5).At(s * 0.4 + snout * 0.5, 0, -s * 0.32), snout * 0.45, s * 0.35,
                      s * 0.2, look.m.mouth);
    if (look.m.mouth >= 0 && look.m.claw >= 0 && snout > s) {
      // Teeth along the jaws.
      model.SetDetail(true);
      for (int k = 0; k < 3; ++k)
        for (double b : {0.3, -0.3})
          model.Ball(muzzle.Point(s * 0.6 + snout * (0.3 + 0.25 * k), b * s, -s * 0.38), s * 0.15, look.m.claw);
      model.SetDetail(false);
    }
  }
  // Eyes: glowing or glossy.
  model.SetDetail(look.m.eyes >= 0 && look.materials[static_cast<size_t>(look.m.eyes)].finish != Finish::kGlow);
  for (double b : {0.45, -0.45}) model.Ball(head.Point(s * 0.55, b * s, s * 0.38), s * 0.22, look.m.eyes);
  model.SetDetail(false);
  if (look.earSize > 0) {
    const double e = Sz(look, look.earSize);
    for (double b : {1.0, -1.0})
      model.Triangle(head.Point(-s * 0.2, b * s * 0.35, s * 0.6), head.Point(-s * 0.6, b * s * 0.6, s * 0.5),
                     head.Point(-s * 0.5, b * s * 0.6, s * 0.6 + e), skin);
  }
  if (look.horn) {
    const int horn = look.m.horn >= 0 ? look.m.horn : skin;
    if (look.hornLength > 0) {
      // Two horns swept back.
      const double h = Sz(look, look.hornLength);
      for (double b : {1.0, -1.0})
        model.Chain({head.Point(-s * 0.1, b * s * 0.45, s * 0.6),
                     head.Point(-s * 0.5 - h * 0.45, b * s * 0.65, s * 0.7 + h * 0.3),
                     head.Point(-s * 0.6 - h, b * s * 0.6, s * 0.5 + h * 0.5)},
                    s * 0.28, s * 0.06, horn);
    } else {
      // One long spiral horn from the forehead.
      model.Limb(head.Point(s * 0.55, 0, s * 0.7), s * 0.3, head.Point(s * 1.2 + snout * 0.3, 0, s * 2.6), s * 0.05,
                 horn);
    }
  }
  if (look.crest) {
    const int crest = look.m.trim >= 0 ? look.m.trim : skin;
    for (int k = 0; k < 3; ++k)
      model.Triangle(head.Point(s * (0.5 - 0.45 * k), 0, s * 0.6), head.Point(s * (0.1 - 0.45 * k), 0, s * 0.7),
                     head.Point(s * (0.2 - 0.5 * k), 0, s * (1.6 - 0.25 * k)), crest);
  }
}

void BuildQuadruped(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  const double length = Sz(look, look.bodyLength);
  const double shoulderH = Sz(look, look.shoulderHeight), hipH = Sz(look, look.hipHeight);
  const double chestR = Sz(look, look.chestRadius), hipR = Sz(look, look.hipRadius);
  // The spine, from the hips to the withers, lowered by a crouch and tipped by the lean
  // (a negative lean rears up onto the hind legs).
  const double drop = pose.crouch * std::min(shoulderH, hipH) * 0.45;
  Basis body = ground.At(pose.root.x, pose.root.y, (shoulderH + hipH) / 2 - drop + pose.root.z);
  body.forward = Normalised(ground.forward * length + ground.up * (shoulderH - hipH));
  body.up = Normalised(Cross(ground.left, body.forward));
  body = body.Pitched(pose.lean).Rolled(pose.tilt).Yawed(pose.twist * 0.3);

  // A lizard crouching (as it dies) slumps flat on its belly.
  const double flat = look.sprawl > 0 ? 1 - 0.35 * std::clamp(pose.crouch, 0.0, 1.0) : 1;
  model.Ellipsoid(body.At(length * 0.5, 0, -chestR * 0.15), chestR * 1.05, chestR * 0.82, chestR * flat, Fur(look));
  model.Ellipsoid(body.At(-length * 0.5, 0, -hipR * 0.1), hipR * 1.05, hipR * 0.85, hipR * flat, Fur(look));
  // The barrel between them takes the hide; a paler belly shows only along its underside,
  // reaching no lower than the barrel.
  const double girth = chestR + hipR;
  model.Ellipsoid(body.At(0, 0, -girth * 0.2 * flat), length * 0.55, girth * 0.38, girth * 0.42 * flat,
                  look.m.belly >= 0 ? Fur(look) : Belly(look));
  if (look.m.belly >= 0)
    model.Ellipsoid(body.At(0, 0, -girth * 0.29 * flat), length * 0.5, girth * 0.35, girth * 0.33 * flat, look.m.belly);
  if (look.spikes) {
    const int spike = look.m.horn >= 0 ? look.m.horn : Fur(look);
    model.SetDetail(true);
    for (int k = 0; k < 6; ++k) {
      const double a = length * (0.55 - 0.22 * k);
      const double r = (k < 3 ? chestR : hipR) * 0.3;
      model.Limb(body.Point(a, 0, (k < 3 ? chestR : hipR) * 0.8 * flat), r,
                 body.Point(a - r, 0, (k < 3 ? chestR : hipR) * 0.8 * flat + r * 2.4), 0.15, spike);
    }
    model.SetDetail(false);
  }

  // Legs.
  for (int leg = 0; leg < 4; ++leg) {
    const bool fore = leg < 2;
    const double side = leg % 2 == 0 ? 1 : -1;
    const Vec3 joint = fore ? body.Point(length * 0.5, side * chestR * 0.5, -chestR * 0.45)
                            : body.Point(-length * 0.5, side * hipR * 0.55, -hipR * 0.35);
    const Vec3 foot = pose.feetSet ? pose.foot[leg] : RestFoot(look, leg);
    BuildBeastLeg(look, ground, joint, foot, leg, model);
  }

  // Tail.
  if (look.tailLength > 0)
    BuildTail(look, pose, body.At(-length * 0.5 - hipR * 0.8, 0, hipR * 0.3), Sz(look, look.tailLength),
              hipR * (look.sprawl > 0 || look.spikes ? 0.55 : 0.18),
              look.m.hair >= 0 && !look.scorpionTail ? look.m.hair : Fur(look), model);

  // Neck and head, or the rider's body of a centaur.
  if (look.humanTorso) {
    Basis waist = ground;
    waist.origin = body.Point(length * 0.55 + chestR * 0.2, 0, chestR * 0.55);
    BuildUpperBody(look, pose, waist.Yawed(pose.twist * 0.5), ground, model);
  } else {
    const double neck = Sz(look, look.neckLength);
    const double raise = look.neckRaise - pose.headPitch * 0.6;
    Basis neckFrame = body.At(length * 0.5 + chestR * 0.55, 0, chestR * 0.35).Yawed(pose.headYaw * 0.5);
    const Vec3 neckTop = neckFrame.Point(neck * std::cos(raise), 0, neck * std::sin(raise));
    const Vec3 neckMid = neckFrame.Point(neck * 0.5 * std::cos(raise * 1.15), 0, neck * 0.5 * std::sin(raise * 1.15));
    model.Chain({neckFrame.origin, neckMid, neckTop}, chestR * 0.6, Sz(look, look.headSize) * 0.6, Fur(look));
    if (look.mane && look.m.hair >= 0) {
      model.SetDetail(false);
      model.Chain(
          {neckFrame.Point(-chestR * 0.2, 0, chestR * 0.5), Lerp(neckMid, neckTop, 0.1) + body.up * (chestR * 0.35),
           neckTop + body.up * (Sz(look, look.headSize) * 0.6)},
          chestR * (look.leonine ? 0.9 : 0.35), Sz(look, look.headSize) * (look.leonine ? 1.15 : 0.3), look.m.hair);
    }
    Basis head = ground;
    head.origin = neckTop + body.forward * (Sz(look, look.headSize) * 0.4);
    // A raised neck bows its head; a low one holds it level.
    head = head.Yawed(pose.headYaw * 0.5).Pitched(0.28 * std::clamp(look.neckRaise, 0.0, 1.0) + pose.headPitch);
    BuildBeastHead(look, pose, head, model);
  }

  if (look.wingSpan > 0)
    BuildWings(look, pose, body.At(length * 0.25, 0, chestR * 0.75), Sz(look, look.wingSpan), model);
}

void BuildBird(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  const double legH = Sz(look, look.hipHeight), bodyR = Sz(look, look.chestRadius);
  const double length = Sz(look, look.bodyLength);
  Basis body = ground.At(pose.root.x, pose.root.y, legH + bodyR * 0.6 + pose.root.z).Pitched(-0.25 + pose.lean);
  const int plumage = look.m.torso, glow = look.m.glow >= 0 ? look.m.glow : plumage;
  model.Ellipsoid(body, length * 0.5, bodyR * 0.8, bodyR, plumage);
  model.Ellipsoid(body.At(length * 0.15, 0, -bodyR * 0.35), length * 0.35, bodyR * 0.7, bodyR * 0.7, glow);
  // Legs, tucked back in flight.
  for (int side = 0; side < 2; ++side) {
    const double s = side == 0 ? 1 : -1;
    const Vec3 hip = body.Point(-length * 0.05, s * bodyR * 0.45, -bodyR * 0.6);
    const Vec3 foot = ground.Point(pose.feetSet ? pose.foot[side] : Vec3{0, s * bodyR * 0.5, 0});
    const Vec3 knee = SolveJoint(hip, foot + ground.up * (legH * 0.1), legH * 0.55, legH * 0.6, -ground.forward);
    const int leg = look.m.legs >= 0 ? look.m.legs : plumage;
    model.Limb(hip, bodyR * 0.28, knee, bodyR * 0.16, leg);
    model.Limb(knee, bodyR * 0.15, foot + ground.up * 0.4, bodyR * 0.12, leg);
    for (double spread : {-0.6, 0.0, 0.6})
      model.Limb(foot + ground.up * 0.4, 0.35,
                 foot + ground.Direction(std::cos(spread), std::sin(spread), 0) * (bodyR * 0.6), 0.2, leg);
  }
  // A long tail of plumes, with flame at the tips.
  const Vec3 tailRoot = body.Point(-length * 0.45, 0, bodyR * 0.1);
  for (double b : {-0.35, 0.0, 0.35}) {
    const Vec3 tip = tailRoot + body.Direction(-length * 0.9, b * length * (0.5 + pose.tailSwing * 0.3),
                                               -length * 0.15 + pose.tailLift * length * 0.3);
    model.Limb(tailRoot, bodyR * 0.35, tip, bodyR * 0.1, plumage);
    if (look.flames) {
      model.SetDetail(true);
      model.Ball(tip, bodyR * 0.3, glow);
      model.SetDetail(false);
    }
  }
  // Neck, head, beak and crest.
  const Vec3 neckTop = body.Point(length * 0.45, 0, bodyR * 1.3) + ground.Direction(0, 0, -pose.headPitch * bodyR);
  model.Limb(body.Point(length * 0.35, 0, bodyR * 0.4), bodyR * 0.5, neckTop, bodyR * 0.35, plumage);
  Basis head = ground;
  head.origin = neckTop + ground.forward * (bodyR * 0.3);
  head = head.Yawed(pose.headYaw).Pitched(pose.headPitch);
  const double hs = Sz(look, look.headSize);
  model.Ellipsoid(head, hs, hs * 0.8, hs * 0.85, plumage);
  model.Chain({head.Point(hs * 0.7, 0, 0), head.Point(hs * 1.6, 0, -hs * 0.15), head.Point(hs * 1.9, 0, -hs * 0.5)},
              hs * 0.35, hs * 0.08, look.m.horn >= 0 ? look.m.horn : plumage);
  model.SetDetail(true);
  for (double b : {0.45, -0.45}) model.Ball(head.Point(hs * 0.5, b * hs, hs * 0.25), hs * 0.2, look.m.eyes);
  model.SetDetail(false);
  for (int k = 0; k < 3; ++k)
    model.Limb(head.Point(-hs * 0.2, 0, hs * 0.6), hs * 0.3,
               head.Point(-hs * (0.9 + 0.5 * k), 0, hs * (1.6 - 0.35 * k)), hs * 0.1, glow);
  BuildWings(look, pose, body.At(length * 0.15, 0, bodyR * 0.5), Sz(look, look.wingSpan), model);
}

void BuildBat(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  const double bodyR = Sz(look, look.chestRadius);
  Basis body = ground.At(pose.root.x, pose.root.y, Sz(look, look.hipHeight) + pose.root.z).Pitched(pose.lean - 0.2);
  const int fur = look.m.torso;
  model.Ellipsoid(body, bodyR * 1.3, bodyR * 0.9, bodyR, fur);
  Basis head = body.At(bodyR * 1.3, 0, bodyR * 0.5).Yawed(pose.headYaw).Pitched(0.2 + pose.headPitch);
  const double hs = Sz(look, look.headSize);
  model.Ellipsoid(head, hs, hs * 0.9, hs * 0.85, fur);
  model.Limb(head.Point(hs * 0.6, 0, -hs * 0.1), hs * 0.5, head.Point(hs * 1.4, 0, -hs * 0.3), hs * 0.3, fur);
  const double ear = Sz(look, look.earSize);
  for (double b : {1.0, -1.0})
    model.Triangle(head.Point(0, b * hs * 0.3, hs * 0.5), head.Point(-hs * 0.4, b * hs * 0.8, hs * 0.3),
                   head.Point(-hs * 0.2, b * hs * 0.7, hs * 0.5 + ear), look.m.wing);
  for (double b : {0.4, -0.4}) model.Ball(head.Point(hs * 0.75, b * hs, hs * 0.2), hs * 0.2, look.m.eyes);
  if (pose.jaw > 0.2)
    model.Ellipsoid(head.At(hs * 1.0, 0, -hs * 0.5), hs * 0.4, hs * 0.3, hs * 0.25 * pose.jaw, look.m.mouth);
  // Hind feet hang below.
  for (double b : {1.0, -1.0})
    model.Limb(body.Point(-bodyR * 0.9, b * bodyR * 0.4, -bodyR * 0.5), bodyR * 0.22,
               body.Point(-bodyR * 1.5, b * bodyR * 0.5, -bodyR * 1.6), bodyR * 0.12,
               look.m.claw >= 0 ? look.m.claw : fur);
  BuildWings(look, pose, body.At(bodyR * 0.4, 0, bodyR * 0.5), Sz(look, look.wingSpan), model);
}

void BuildWraith(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  // The robe hangs from the hips and frays to nothing above the ground.
  const double hover = Sz(look, look.hover);
  const double hipHeight = Sz(look, look.legLength) + hover;
  Basis pelvis = ground.At(pose.root.x, pose.root.y, hipHeight + pose.root.z);
  const double hip = Sz(look, look.hipWidth);
  const Vec3 sway = ground.Direction(-pose.root.x * 0.3 - 1.5 - pose.capeLift * 3, pose.tailSwing * 2, 0);
  const Vec3 hem = ground.Point(0, 0, hover) + sway;
  model.Limb(pelvis.Point(0, 0, Sz(look, 1)), hip * 1.4, Lerp(pelvis.Point(0, 0, 0), hem, 0.6), hip * 1.6,
             look.m.torso);
  // Rags trailing behind and below.
  for (int k = 0; k < 5; ++k) {
    const double angle = 2 * kPi * k / 5 + 0.4;
    const Vec3 from =
        Lerp(pelvis.Point(0, 0, 0), hem, 0.55) + ground.Direction(std::cos(angle), std::sin(angle), 0) * (hip * 1.2);
    const Vec3 to = hem + ground.Direction(std::cos(angle) * hip * 0.9 - 1.5, std::sin(angle) * hip * 0.9,
                                           -hover * 0.6 + (k % 2) * 1.5);
    model.Limb(from, hip * 0.9, to, 0.3, look.m.torso);
  }
  BuildUpperBody(look, pose, pelvis, ground, model);
}

void BuildEye(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  const double r = Sz(look, look.headSize);
  const double hover = Sz(look, look.hover);
  Basis eye = ground.At(pose.root.x, pose.root.y, hover + r + pose.root.z)
                  .Pitched(pose.lean + pose.headPitch * 0.5)
                  .Yawed(pose.headYaw);
  model.Ellipsoid(eye, r, r, r, look.m.skin);
  // The iris and pupil face forward; the lid half closes as it weakens.
  const double open = std::clamp(pose.glow, 0.2, 1.0);
  model.Ellipsoid(eye.At(r * 0.78, 0, 0), r * 0.3, r * 0.55, r * 0.55 * open, look.m.eyes);
  model.Ellipsoid(eye.At(r * 0.92, 0, 0), r * 0.2, r * 0.25, r * 0.25 * open, look.m.mouth);
  // The lid: a cap over the back and top that closes down over the eye as it weakens.
  model.Ellipsoid(eye.At(-r * 0.35, 0, r * (0.45 - 0.3 * (1 - open))), r * 0.8, r * 0.9, r * 0.62, look.m.torso);
  // Veins over the white.
  model.SetDetail(true);
  for (int k = 0; k < 5; ++k) {
    const double a = k * 1.3 + 0.5;
    const Vec3 from = eye.Point(r * 0.55 * std::cos(a), r * 0.85 * std::sin(a), r * 0.2 * std::cos(a * 2));
    model.Limb(from, 0.3, eye.Point(-r * 0.5, r * 0.95 * std::sin(a + 0.4), -r * 0.3), 0.2, look.m.trim);
  }
  model.SetDetail(false);
  // Stalks hanging below, swaying as it moves.
  const int stalk = look.m.legs >= 0 ? look.m.legs : look.m.torso;
  for (int k = 0; k < 5; ++k) {
    const double a = 2 * kPi * k / 5;
    const double sway = pose.tailSwing * 2 + std::sin(a * 2 + pose.tailLift * 3) * 1.2;
    const Vec3 root = eye.Point(r * 0.5 * std::cos(a), r * 0.5 * std::sin(a), -r * 0.7);
    Vec3 mid = root + ground.Direction(-1.2 - pose.root.x * 0.2, sway * 0.5, -hover * 0.45);
    Vec3 tip = mid + ground.Direction(-1.5 + std::cos(a), sway + std::sin(a), -hover * 0.4);
    // Stalks that reach the ground lie along it.
    mid.z = std::max(mid.z, r * 0.2);
    tip.z = std::max(tip.z, r * 0.1);
    model.Chain({root, mid, tip}, r * 0.2, r * 0.06, stalk);
  }
}

void BuildRemains(const CreatureLook& look, int stage, const Basis& ground, FigureModel& model) {
  // A heap of bones the size of the body (rags of flesh at stage 2).
  const double size = std::clamp(FigureLength(look) / 30.0, 0.35, 2.5);
  const int bone = BoneMaterial(look);
  const auto at = [&](double a, double b) { return ground.Point(a * size, b * size, 0.6 * size); };
  if (look.plan == BodyPlan::kEye || look.plan == BodyPlan::kWraith) {
    // No bones: a dark stain that dries away.
    const int stain = look.plan == BodyPlan::kEye ? RotMaterial(look) : look.m.torso;
    model.Ellipsoid(ground.At(0, 0, 0), 7 * size * (stage == 2 ? 1.0 : 0.7), 6 * size * (stage == 2 ? 1.0 : 0.7), 0.6,
                    stain);
    return;
  }
  model.Ellipsoid(ground.At(-6 * size, 0.5 * size, 1.4 * size), 1.8 * size, 1.6 * size, 1.5 * size, bone);  // skull
  model.Ball(ground.Point(-5 * size, 1.2 * size, 1.3 * size), 0.5 * size,
             look.m.mouth >= 0 ? look.m.mouth : RotMaterial(look));
  for (int k = 0; k < 4; ++k) {
    const double a = -2.5 * size + k * 1.6 * size;
    std::vector<Vec3> rib;
    for (int j = 0; j <= 6; ++j) {
      const double angle = kPi * j / 6;
      rib.push_back(
          ground.Point(a, 2.8 * size * std::cos(angle), 0.5 + 1.8 * size * std::sin(angle) * (stage == 2 ? 1 : 0.6)));
    }
    model.Chain(rib, 0.4 * size, 0.3 * size, bone);
  }
  model.Limb(at(-3, 0), 0.45 * size, at(5, 0), 0.4 * size, bone);  // spine
  model.Limb(at(4, 2), 0.45 * size, at(10, 3.5), 0.4 * size, bone);
  model.Limb(at(4, -2), 0.45 * size, at(9.5, -4.5), 0.4 * size, bone);
  model.Limb(at(-1, 3.5), 0.4 * size, at(3, 6), 0.35 * size, bone);
  model.Limb(at(-2, -3.5), 0.4 * size, at(2.5, -6.5), 0.35 * size, bone);
  if (stage == 2) {
    const int rot = RotMaterial(look);
    model.Ellipsoid(ground.At(0.5 * size, 0, 0.9 * size), 5 * size, 3 * size, 1.1 * size, rot);
    if (look.m.torso >= 0 && look.m.torso != look.m.skin)
      model.Ellipsoid(ground.At(-1 * size, 1 * size, 0.6 * size), 3 * size, 3.5 * size, 0.7 * size, look.m.torso);
  }
}

}  // namespace forge
