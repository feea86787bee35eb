#include "forge/CreatureFigures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/FigureParts.h"

namespace forge {

namespace {

// The lowest point of a primitive.
double Bottom(const Primitive& p) {
  switch (p.kind) {
    case Primitive::Kind::kBall:
      return p.centre.z - p.radius;
    case Primitive::Kind::kEllipsoid:
      return p.centre.z - std::sqrt(p.axis[0].z * p.axis[0].z + p.axis[1].z * p.axis[1].z + p.axis[2].z * p.axis[2].z);
    case Primitive::Kind::kTriangle:
      return std::min({p.corner[0].z, p.corner[1].z, p.corner[2].z});
  }
  return 0;
}

// A body lying down: people fall on their backs or faces, beasts roll onto their side;
// the body is moved so that it lies across its own ground point.
Frame FallenFrame(const CreatureLook& look, const CreaturePose& pose, const Frame& ground) {
  const double angle = std::clamp(pose.fall, 0.0, 1.0) * std::numbers::pi / 2;
  const bool upright = look.plan == BodyPlan::kHumanoid || look.plan == BodyPlan::kWraith;
  if (upright) {
    Frame f = ground.Pitched(-pose.fallBack * angle);
    f.origin = ground.origin + ground.forward * (pose.fallBack * pose.fall * FigureHeight(look) * 0.42);
    return f;
  }
  Frame f = ground.Rolled(angle);
  f.origin = ground.origin + ground.left * (pose.fall * FigureHeight(look) * 0.4);
  return f;
}

void BuildBody(const CreatureLook& look, const CreaturePose& pose, const Frame& ground, FigureModel& model) {
  switch (look.plan) {
    case BodyPlan::kHumanoid:
      BuildHumanoid(look, pose, ground, model);
      break;
    case BodyPlan::kQuadruped:
      BuildQuadruped(look, pose, ground, model);
      break;
    case BodyPlan::kBird:
      BuildBird(look, pose, ground, model);
      break;
    case BodyPlan::kBat:
      BuildBat(look, pose, ground, model);
      break;
    case BodyPlan::kWraith:
      BuildWraith(look, pose, ground, model);
      break;
    case BodyPlan::kEye:
      BuildEye(look, pose, ground, model);
      break;
  }
}

}  // namespace

int RotMaterial(const CreatureLook& look) { return static_cast<int>(look.materials.size()) - 2; }
int BoneMaterial(const CreatureLook& look) { return static_cast<int>(look.materials.size()) - 1; }

FigureModel BuildFigure(const CreatureLook& look, const CreaturePose& pose, int facing) {
  FigureModel model;
  Frame ground = FacingFrame(facing);
  // A two-tile figure stands at the middle of its four cells: 16 units on in x and y from
  // the centre of its first cell, which is the point it hangs from.
  if (look.large) ground.origin = {16, 16, 0};
  if (pose.deadStage >= 2) {
    BuildRemains(look, pose.deadStage, ground, model);
  } else {
    const bool lying = pose.fall > 0 || pose.deadStage >= 0;
    BuildBody(look, pose, lying ? FallenFrame(look, pose, ground) : ground, model);
    if (pose.deadStage == 1) {
      // The flesh greys and the eyes dim.
      for (int slot : {look.m.skin, look.m.belly, look.m.eyes, look.m.glow, look.m.mouth})
        if (slot >= 0 && !(look.bony && slot == look.m.skin)) model.ReplaceMaterial(slot, RotMaterial(look));
    }
    if (lying) {
      double lowest = 0;
      for (const Primitive& p : model.Primitives()) lowest = std::min(lowest, Bottom(p));
      if (lowest < 0) model.Translate({0, 0, -lowest});
    }
  }
  return model;
}

}  // namespace forge
