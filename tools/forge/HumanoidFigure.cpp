// Figures on two legs: folk, undead, wizards, champions, trolls and fauns.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/FigureParts.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

// A leg from the hip to the ground: thigh, shin and foot; goat legs bend twice.
void BuildLeg(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, Vec3 hip, Vec3 foot,
              FigureModel& model) {
  const double legR = Sz(look, look.legRadius);
  const double ankleHeight = std::max(0.6, legR * 0.7);
  const Vec3 ankle = ground.Point(foot.x, foot.y, foot.z + ankleHeight);
  const double length = Sz(look, look.legLength) - ankleHeight;
  const int legs = look.m.legs, feet = look.m.feet >= 0 ? look.m.feet : legs;
  if (look.goatLegs) {
    // Thigh forward and down, a long shank back to the hock, a short cannon to the hoof.
    const Vec3 knee =
        SolveJoint(hip, ankle + ground.forward * (length * 0.12), length * 0.42, length * 0.5, ground.forward);
    const Vec3 hock = knee + Normalised(ankle - knee + ground.forward * (-length * 0.3)) * (length * 0.38);
    model.Limb(hip, legR * 1.3, knee, legR * 1.05, legs);
    model.Limb(knee, legR * 1.0, hock, legR * 0.7, legs);
    model.Limb(hock, legR * 0.65, ankle, legR * 0.55, legs);
    model.Ellipsoid(ground.At(foot.x + legR * 0.2, foot.y, foot.z + ankleHeight * 0.5), legR * 0.75, legR * 0.6,
                    ankleHeight * 0.6, feet);
    return;
  }
  const Vec3 knee = SolveJoint(hip, ankle, length * 0.5, length * 0.52, ground.forward + ground.up * 0.1);
  const double thigh = look.bony ? legR * 0.55 : legR * 1.15;
  model.Limb(hip, thigh, knee, look.bony ? legR * 0.5 : legR, legs);
  // Boots (the feet's material) reach halfway up the shin.
  const Vec3 bootTop = Lerp(knee, ankle, 0.45);
  model.Limb(knee, look.bony ? legR * 0.5 : legR * 0.95, bootTop, look.bony ? legR * 0.45 : legR * 0.9,
             look.bony ? legs : legs);
  model.Limb(bootTop, look.bony ? legR * 0.45 : legR * 0.95, ankle, look.bony ? legR * 0.4 : legR * 0.8, feet);
  const double footLength = std::max(1.2, Sz(look, look.legLength) * 0.16);
  Basis sole = ground.At(foot.x + footLength * 0.35, foot.y, foot.z + ankleHeight * 0.55);
  model.Ellipsoid(sole, footLength * 0.62, legR * 0.75, ankleHeight * 0.6, feet);
  (void)pose;
}

// A robe from the hips to the ground, its hem swaying after the feet: a bell whose rim
// rests on the ground.
void BuildRobe(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, const Basis& pelvis,
               FigureModel& model) {
  const Vec3 a = pose.feetSet ? pose.foot[0] : Vec3{0, 0, 0};
  const Vec3 b = pose.feetSet ? pose.foot[1] : Vec3{0, 0, 0};
  const double hip = Sz(look, look.hipWidth), hem = hip * 1.85 * look.robeFlare;
  const Vec3 top = pelvis.Point(0, 0, Sz(look, 1.5));
  const Vec3 bottom =
      ground.Point((a.x + b.x) / 2 + pose.root.x * 0.3, (a.y + b.y) / 2 * 0.3, std::max(0.0, std::min(a.z, b.z)) + hem);
  model.Limb(top, hip * 1.35, bottom, hem, look.m.torso, 0.3);
}

}  // namespace

double FigureHeight(const CreatureLook& look) {
  switch (look.plan) {
    case BodyPlan::kHumanoid:
    case BodyPlan::kWraith:
      return Sz(look, look.legLength + look.torsoLength + look.neck + 2 * look.headRadius) + Sz(look, look.hover);
    case BodyPlan::kEye:
      return Sz(look, look.hover + 2 * look.headSize);
    default:
      return Sz(look, std::max(look.shoulderHeight + look.chestRadius, look.hipHeight + look.hipRadius));
  }
}

double FigureLength(const CreatureLook& look) {
  switch (look.plan) {
    case BodyPlan::kHumanoid:
    case BodyPlan::kWraith:
    case BodyPlan::kEye:
      return FigureHeight(look);
    default:
      return Sz(look, look.bodyLength + look.neckLength + look.snout + look.tailLength * 0.5);
  }
}

void BuildHumanoid(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
  const double legLength = Sz(look, look.legLength);
  const double hipHeight = legLength * (1 - 0.38 * pose.crouch) * (look.goatLegs ? 0.96 : 1.0);
  Basis pelvis = ground.At(pose.root.x, pose.root.y, hipHeight + pose.root.z).Yawed(pose.twist * 0.35);
  const double hip = Sz(look, look.hipWidth);
  for (int side = 0; side < 2; ++side) {
    const double s = side == 0 ? 1 : -1;
    const Vec3 foot = pose.feetSet ? pose.foot[side] : Vec3{0, s * hip, 0};
    BuildLeg(look, pose, ground, pelvis.Point(0, s * hip, 0), foot, model);
  }
  if (look.robe) BuildRobe(look, pose, ground, pelvis, model);
  if (look.tailLength > 0) {
    const int material = look.m.hair >= 0 ? look.m.hair : look.m.legs;
    BuildTail(look, pose, pelvis.At(-Sz(look, look.chestDepth) * 0.8, 0, Sz(look, 0.5)), Sz(look, look.tailLength),
              Sz(look, 0.6), material, model);
  }
  BuildUpperBody(look, pose, pelvis, ground, model);
}

void BuildUpperBody(const CreatureLook& look, const CreaturePose& pose, const Basis& pelvis, const Basis& ground,
                    FigureModel& model) {
  const double torso = Sz(look, look.torsoLength), depth = Sz(look, look.chestDepth);
  const double shoulderWidth = Sz(look, look.shoulderWidth), hip = Sz(look, look.hipWidth);
  const Basis chest = pelvis.Pitched(pose.lean + look.hunch).Yawed(pose.twist * 0.65).Rolled(pose.tilt);
  // Hands are placed in the chest's frame without its hunch, so that a stooping figure's
  // arms still hang toward the ground.
  const Basis arms = pelvis.Pitched(pose.lean).Yawed(pose.twist * 0.65).Rolled(pose.tilt);
  const int torsoMaterial = look.m.torso;

  if (look.bony) {
    // Spine, ribs and a small pelvis.
    const int bone = look.m.skin;
    model.Limb(chest.Point(-depth * 0.4, 0, 0), Sz(look, 0.5), chest.Point(-depth * 0.4, 0, torso), Sz(look, 0.45),
               bone);
    model.Ellipsoid(pelvis.At(0, 0, Sz(look, 0.3)), depth * 0.6, hip * 1.1, Sz(look, 1.0), bone);
    for (int rib = 0; rib < 4; ++rib) {
      const double c = torso * (0.45 + 0.14 * rib);
      const double w = shoulderWidth * (0.62 + 0.07 * rib), d = depth * (0.8 + 0.05 * rib);
      std::vector<Vec3> hoop;
      for (int k = 0; k <= 8; ++k) {
        const double angle = kPi * (k / 8.0) - kPi / 2;
        hoop.push_back(chest.Point(-depth * 0.4 + d * std::cos(angle) * 1.1, w * std::sin(angle), c));
      }
      model.Chain(hoop, Sz(look, 0.42), Sz(look, 0.42), bone);
    }
  } else {
    model.Ellipsoid(pelvis.At(0, 0, torso * 0.12), depth * 0.92, hip * 1.3, torso * 0.32, torsoMaterial);
    Basis ribs = chest.At(0, 0, torso * 0.6);
    model.Ellipsoid(ribs, depth, shoulderWidth * 0.92, torso * 0.46, torsoMaterial);
    if (look.belly > 0)
      model.Ellipsoid(chest.At(depth * 0.35, 0, torso * 0.3), depth * (0.75 + look.belly), shoulderWidth * 0.82,
                      torso * 0.36, torsoMaterial);
    if (look.m.trim >= 0) {
      // A belt.
      model.SetDetail(true);
      model.Ellipsoid(pelvis.At(0, 0, torso * 0.24), depth * 0.96, hip * 1.34, torso * 0.07, look.m.trim);
      model.SetDetail(false);
    }
  }

  // Arms: the hands go where the pose puts them, the elbows bend out and back.
  const double reach = torso * 1.22 * look.armLength;
  Vec3 hands[2];
  for (int side = 0; side < 2; ++side) {
    const double s = side == 0 ? 1 : -1;
    const Vec3 shoulder = chest.Point(0, s * shoulderWidth, torso * 0.9);
    const Vec3 h = pose.hand[side];
    const Vec3 hand = shoulder + arms.Direction(h.x, s * h.y, h.z) * reach;
    const Vec3 elbow = SolveJoint(shoulder, hand, reach * 0.52, reach * 0.5, arms.Direction(-0.5, s * 0.45, -0.2));
    const double armR = Sz(look, look.armRadius);
    const int sleeve = look.bony ? look.m.skin : torsoMaterial;
    const int forearm = look.robe || look.m.skin < 0 ? sleeve : look.m.skin;
    model.Limb(shoulder, look.bony ? armR * 0.5 : armR * 1.15, elbow, look.bony ? armR * 0.45 : armR, sleeve);
    model.Limb(elbow, look.bony ? armR * 0.45 : armR * (look.robe ? 1.1 : 0.95), hand,
               look.bony ? armR * 0.4 : armR * 0.8, forearm);
    model.Ball(hand, armR * 1.05, look.m.skin >= 0 ? look.m.skin : sleeve);
    hands[side] = hand;
  }

  // Head on its neck.
  const double headR = Sz(look, look.headRadius);
  const Vec3 neckBase = chest.Point(Sz(look, look.headForward) * 0.4, 0, torso * 0.95);
  Basis head = chest.At(Sz(look, look.headForward), 0, torso + Sz(look, look.neck) + headR * 0.85)
                   .Yawed(pose.headYaw)
                   .Pitched(pose.headPitch - look.hunch * 0.6);
  model.Limb(neckBase, headR * (look.bony ? 0.18 : 0.42), head.origin, headR * 0.35,
             look.m.skin >= 0 ? look.m.skin : torsoMaterial);
  BuildHead(look, pose, head, model);

  // What the hands hold.
  const Vec3 aim = Normalised(arms.Direction(pose.weaponAim.x, -pose.weaponAim.y, pose.weaponAim.z));
  if (look.weapon == Weapon::kBow) {
    BuildWeapon(look, pose, hands[0], chest.up, chest, model);
    // The string runs from the bow's tips to the drawing hand.
    const double half = Sz(look, 7) * look.weaponSize;
    const Vec3 top = hands[0] + chest.up * half + chest.forward * Sz(look, 0.8);
    const Vec3 bottom = hands[0] - chest.up * half + chest.forward * Sz(look, 0.8);
    const Vec3 nock = pose.draw > 0.05 ? hands[1] : Lerp(top, bottom, 0.5);
    model.SetDetail(true);
    model.Limb(top, 0.3, nock, 0.3, look.m.trim >= 0 ? look.m.trim : look.m.haft);
    model.Limb(nock, 0.3, bottom, 0.3, look.m.trim >= 0 ? look.m.trim : look.m.haft);
    model.SetDetail(false);
  } else if (look.weapon != Weapon::kNone) {
    BuildWeapon(look, pose, hands[1], aim, chest, model);
  }
  if (look.shield != Shield::kNone) {
    Basis face = chest.At(0, 0, 0);
    face.origin = hands[0] + chest.left * Sz(look, 0.9);
    face.forward = Normalised(chest.left * 0.8 + chest.forward * 0.6);
    face.left = Normalised(Cross(chest.up, face.forward));
    face.up = Cross(face.forward, face.left);
    const double r = Sz(look, 4.2);
    if (look.shield == Shield::kRound) {
      model.Ellipsoid(face, Sz(look, 0.7), r, r, look.m.shield);
      model.SetDetail(true);
      model.Ball(face.Point(Sz(look, 0.5), 0, 0), Sz(look, 1.0), look.m.trim >= 0 ? look.m.trim : look.m.blade);
      model.SetDetail(false);
    } else {
      const Vec3 top = face.Point(0, 0, r * 1.1), left = face.Point(0, r * 0.9, r * 0.5);
      const Vec3 right = face.Point(0, -r * 0.9, r * 0.5), tip = face.Point(0, 0, -r * 1.4);
      model.Quad(top, left, tip, right, look.m.shield);
      model.SetDetail(true);
      model.Limb(face.Point(Sz(look, 0.2), 0, r * 0.9), 0.45, face.Point(Sz(look, 0.2), 0, -r * 1.1), 0.45,
                 look.m.trim >= 0 ? look.m.trim : look.m.blade);
      model.SetDetail(false);
    }
  }
  if (look.collar && look.m.cape >= 0) {
    // A stiff collar fanned up behind the head, wider than the shoulders.
    const Vec3 base = chest.Point(-depth * 0.6, 0, torso * 0.95);
    std::vector<Vec3> rim;
    for (int k = 0; k <= 8; ++k) {
      const double a = std::numbers::pi * k / 8;
      rim.push_back(chest.Point(-depth * 1.1, std::cos(a) * shoulderWidth * 1.25,
                                torso * 0.95 + std::sin(a) * Sz(look, look.headRadius) * 2.2));
    }
    model.Fan(base, rim, look.m.cape);
  }
  if (look.cape && look.m.cape >= 0) {
    // Two strips hung from the shoulders' backs, reaching toward the heels.
    const double lift = pose.capeLift;
    const double low = std::max(Sz(look, 1.5), Dot(pelvis.origin - ground.origin, ground.up) * 0.15);
    const double along = Dot(pelvis.origin - ground.origin, ground.forward);
    for (int side = 0; side < 2; ++side) {
      const double s = side == 0 ? 1 : -1;
      const Vec3 top = chest.Point(-depth * 0.95, s * shoulderWidth * 0.9, torso * 0.95);
      const Vec3 topMid = chest.Point(-depth * 1.05, 0, torso * 0.95);
      const Vec3 mid = Lerp(chest.Point(-depth * 1.25, s * shoulderWidth * 1.05, torso * 0.2),
                            chest.Point(-depth * 2.5, s * shoulderWidth * 1.1, torso * 0.6), lift);
      const Vec3 midMid =
          Lerp(chest.Point(-depth * 1.35, 0, torso * 0.2), chest.Point(-depth * 2.7, 0, torso * 0.6), lift);
      const Vec3 groundBack = ground.Point(along - depth * 1.6, s * shoulderWidth * 1.2, low);
      const Vec3 bottom = Lerp(groundBack, chest.Point(-depth * 4.2, s * shoulderWidth * 1.2, torso * 0.2), lift);
      const Vec3 bottomMid =
          Lerp(ground.Point(along - depth * 1.8, 0, low), chest.Point(-depth * 4.4, 0, torso * 0.2), lift);
      model.Quad(topMid, top, mid, midMid, look.m.cape);
      model.Quad(midMid, mid, bottom, bottomMid, look.m.cape);
    }
  }
}

}  // namespace forge
