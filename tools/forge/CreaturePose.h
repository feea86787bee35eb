#pragma once
// A pose: where a figure's parts are at one moment of an animation. The motion code
// (CreatureMotion.h) makes poses; the figure builders (CreatureFigures.h) read the fields
// their body plan has. Feet are in the figure's local frame (a forward, b left, c up, map
// units); hands, the weapon and the head are in the frame of the chest, as fractions of the
// arm's reach, so that one pose suits every size.

#include <vector>

#include "forge/FigureGeometry.h"

namespace forge {

struct CreaturePose {
  // The whole figure.
  Vec3 root;            // the body moved from its place (bob, lunge, sway), local units
  double fall = 0;      // 0 upright .. 1 lying on the ground
  double fallBack = 1;  // +1 falls on its back, -1 on its face
  double lean = 0;      // chest pitched forward (radians)
  double twist = 0;     // chest turned toward its left (radians)
  double tilt = 0;      // chest rolled, left side up (radians)
  double crouch = 0;    // 0 standing .. 1 knees fully bent

  // Feet, local units: 0 left, 1 right (for four legs: 0 left fore, 1 right fore, 2 left
  // hind, 3 right hind). Unset feet stand at rest.
  bool feetSet = false;
  Vec3 foot[4];

  // Hands relative to their shoulders: forward, outward (away from the body's middle), up;
  // 1 is the arm's full reach. 0 left, 1 right (the weapon hand).
  Vec3 hand[2] = {{0.05, 0.15, -0.95}, {0.05, 0.15, -0.95}};
  // The weapon's direction from the weapon hand: forward, outward, up.
  Vec3 weaponAim{0.55, 0.0, 0.84};
  // The bow string drawn back 0 .. 1.
  double draw = 0;

  double headYaw = 0, headPitch = 0;  // radians; pitch positive looks down
  double jaw = 0;                     // mouth opened 0 .. 1
  double tailSwing = 0, tailLift = 0;
  double wingSpread = 0.1;  // 0 folded .. 1 spread
  double wingFlap = 0;      // -1 beaten down .. 1 raised
  double capeLift = 0;      // 0 hanging .. 1 blown back
  double glow = 1;          // eyes and flames 0 .. 1
  int deadStage = -1;       // -1 alive; 0-3 the stages of a corpse decaying to bones
  bool settle = false;      // a falling or fallen body: lifted so that nothing sinks below the ground

  // Every field, in order: two poses with equal keys draw the same picture.
  std::vector<double> Key() const {
    std::vector<double> key{root.x, root.y, root.z, fall, fallBack, lean, twist, tilt, crouch, feetSet ? 1.0 : 0.0};
    for (const Vec3& f : foot) key.insert(key.end(), {f.x, f.y, f.z});
    for (const Vec3& h : hand) key.insert(key.end(), {h.x, h.y, h.z});
    key.insert(key.end(), {weaponAim.x, weaponAim.y, weaponAim.z, draw, headYaw, headPitch, jaw, tailSwing, tailLift,
                           wingSpread, wingFlap, capeLift, glow, static_cast<double>(deadStage), settle ? 1.0 : 0.0});
    return key;
  }
};

}  // namespace forge
