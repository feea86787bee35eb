#pragma once
// The parts the figure builders share, and each body plan's builder. Frames passed in are
// already placed and turned; sizes come from the look (times its scale).

#include "forge/CreatureFigures.h"

namespace forge {

// A look's size scaled.
inline double Sz(const CreatureLook& look, double size) { return size * look.scale; }

// The humanoid above the hips: chest, arms, head, headgear, weapon, shield and cape. The
// pelvis frame stands at the hip joint's centre.
void BuildUpperBody(const CreatureLook& look, const CreaturePose& pose, const Basis& pelvis, const Basis& ground,
                    FigureModel& model);
// A head whose frame stands at the head's centre, looking along its forward axis.
void BuildHead(const CreatureLook& look, const CreaturePose& pose, const Basis& head, FigureModel& model);
// The weapon held in a hand, pointing along a direction; `chest` orients flat blades.
void BuildWeapon(const CreatureLook& look, const CreaturePose& pose, Vec3 hand, Vec3 direction, const Basis& chest,
                 FigureModel& model);
// A pair of wings from a shoulder frame (forward along the body, up its back): membranes
// or feathers by the look, spread and flapped by the pose.
void BuildWings(const CreatureLook& look, const CreaturePose& pose, const Basis& shoulders, double span,
                FigureModel& model);
// A tail: a chain from its root, down and back along the frame, swinging with the pose.
void BuildTail(const CreatureLook& look, const CreaturePose& pose, const Basis& root, double length, double radius,
               int material, FigureModel& model);

// A beast's leg from its shoulder or hip joint to a foot (local to the ground basis); legs
// 0 and 1 are the fore legs.
void BuildBeastLeg(const CreatureLook& look, const Basis& ground, Vec3 joint, Vec3 footLocal, int leg,
                   FigureModel& model);
// A beast's head round its basis, looking along its forward axis.
void BuildBeastHead(const CreatureLook& look, const CreaturePose& pose, const Basis& head, FigureModel& model);

void BuildHumanoid(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
void BuildQuadruped(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
void BuildBird(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
void BuildBat(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
void BuildWraith(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
void BuildEye(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model);
// What is left of a body at a late stage of decay (2: bones with rags, 3: bones).
void BuildRemains(const CreatureLook& look, int stage, const Basis& ground, FigureModel& model);

// The figure's standing height in units (for falls and corpses).
double FigureHeight(const CreatureLook& look);
// Its length along its facing (for falls of long bodies).
double FigureLength(const CreatureLook& look);

}  // namespace forge
