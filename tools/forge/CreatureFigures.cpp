#include "forge/CreatureFigures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/FigureParts.h"

namespace forge {

namespace {

// A body lying down: people fall on their backs or faces, beasts roll onto their side;
// the body is moved so that it lies across its own ground point.
Basis FallenBasis(const CreatureLook& look, const CreaturePose& pose, const Basis& ground) {
  const double angle = std::clamp(pose.fall, 0.0, 1.0) * std::numbers::pi / 2;
  const bool upright = look.plan == BodyPlan::kHumanoid || look.plan == BodyPlan::kWraith;
  if (upright) {
    Basis f = ground.Pitched(-pose.fallBack * angle);
    f.origin = ground.origin + ground.forward * (pose.fallBack * pose.fall * FigureHeight(look) * 0.42);
    return f;
  }
  Basis f = ground.Rolled(angle);
  f.origin = ground.origin + ground.left * (pose.fall * FigureHeight(look) * 0.4);
  return f;
}

void BuildBody(const CreatureLook& look, const CreaturePose& pose, const Basis& ground, FigureModel& model) {
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

int FleshMaterial(const CreatureLook& look) { return static_cast<int>(look.materials.size()) - 3; }
int RotMaterial(const CreatureLook& look) { return static_cast<int>(look.materials.size()) - 2; }
int BoneMaterial(const CreatureLook& look) { return static_cast<int>(look.materials.size()) - 1; }

FigureModel BuildFigure(const CreatureLook& look, const CreaturePose& pose, int facing) {
  FigureModel model;
  Basis ground = FacingBasis(facing);
  // A two-tile figure stands at the middle of its four cells: 16 units on in x and y from
  // the centre of its first cell, which is the point it hangs from.
  if (look.large) ground.origin = {16, 16, 0};
  if (pose.deadStage >= 2) {
    BuildRemains(look, pose.deadStage, ground, model);
  } else {
    const bool lying = pose.fall > 0 || pose.deadStage >= 0;
    BuildBody(look, pose, lying ? FallenBasis(look, pose, ground) : ground, model);
    if (pose.settle) {
      Vec3 low, high;
      model.Extent(low, high);
      if (low.z < 0) model.Translate({0, 0, -low.z});
    }
    if (pose.deadStage == 1) {
      // The flesh greys and the eyes dim.
      for (int slot : {look.m.skin, look.m.belly, look.m.eyes, look.m.glow, look.m.mouth})
        if (slot >= 0 && !(look.bony && slot == look.m.skin)) model.ReplaceMaterial(slot, RotMaterial(look));
    }
  }
  return model;
}

}  // namespace forge
