#pragma once
// The figure builders: a look (CreatureLook.h) in a pose (CreaturePose.h), seen in a view
// facing 0-7, becomes a FigureModel whose origin is the creature's ground point. The
// builders share parts (heads, arms, weapons, wings, corpses) through FigureParts.h.

#include "forge/CreatureLook.h"
#include "forge/CreaturePose.h"
#include "forge/FigureModel.h"

namespace forge {

// The figure of a look in a pose, facing the view facing. Nothing ends below the ground.
FigureModel BuildFigure(const CreatureLook& look, const CreaturePose& pose, int facing);

// Every look ends its materials with these three: raw flesh for torn body parts, and what
// corpses turn to as they decay.
inline constexpr Material kFleshMaterial{168, 28, 30, Finish::kSkin};
inline constexpr Material kRotMaterial{96, 104, 78, Finish::kSkin};
inline constexpr Material kBoneMaterial{214, 204, 176, Finish::kBone};
int FleshMaterial(const CreatureLook& look);
int RotMaterial(const CreatureLook& look);
int BoneMaterial(const CreatureLook& look);

}  // namespace forge
