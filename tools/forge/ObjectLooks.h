#pragma once
// The looks of the world objects lying on the map: each kind's item figure (the same
// drawing as its select-bar icon) made smaller and painted in the effect palette, standing
// on a soft shadow, with a glint that runs over it. They are entries of the effect-animation
// table in EFFECTS2, at numbers the effects leave free.

#include "forge/EffectArt.h"

namespace forge::effect_art {

inline constexpr int kObjectKinds = 123;
// The entry of a kind's look: 100-179 for kinds 0-79, 193-235 for kinds 80-122.
inline constexpr int ObjectLookEntry(int kind) { return kind < 80 ? 100 + kind : 193 + kind - 80; }
// The entry a taken mana sprite plays once before it disappears.
inline constexpr int kManaSpriteTakenEntry = 37;
inline constexpr int kObjectLookFrames = 6;

// Frame `frame` of the kind's look, its hotspot where it touches the ground.
Picture ObjectLook(const EffectPalette& p, int kind, int frame);

}  // namespace forge::effect_art
