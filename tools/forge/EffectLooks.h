#pragma once
// The looks of the effect-animation entries: each draws frame `frame` of a look, some with a
// variant (an alignment, a heading, a size, a digit, a facing). Looks in the air are drawn
// around their centre, looks on the ground around the point where they touch it.

#include "forge/EffectArt.h"

namespace forge::effect_art {

// A spell's carrier: an orb of the alignment's colour with orbiting sparks that flares into
// a ring at the end of its cycle (also the summoning flash). Large for the greater spells.
Picture CarrierOrb(const EffectPalette& p, const Ramp& ramp, bool large, int frame);
// A crackling ball of energy, for straight bolts and lightning.
Picture EnergyBall(const EffectPalette& p, const Ramp& ramp, int radius, int frame);
// An arrow seen along a heading (0-15) and pitch (0-4); dark for the centaurs'.
Picture Arrow(const EffectPalette& p, int heading, int pitch, bool dark);
Picture SlingStone(const EffectPalette& p, int frame);
Picture Spikes(const EffectPalette& p, int heading, int frame);
Picture FlySwarm(const EffectPalette& p, int frame, bool scatter);
Picture SpinningClod(const EffectPalette& p, int frame);
Picture GoldStar(const EffectPalette& p, int frame);
Picture Meteor(const EffectPalette& p, int frame);
Picture Fireball(const EffectPalette& p, int radius, int frame, int frames);
// Fire in a cell: size 0 (a full block burning) to 3 (a thin floor); frames past `frames`
// die down.
Picture Fire(const EffectPalette& p, int size, int frame, int frames);
Picture StormCloud(const EffectPalette& p, int frame);
// An explosion or impact that grows and fades over `frames`.
struct BurstStyle {
  const Ramp* glow = nullptr;
  const Ramp* ring = nullptr;    // a shock ring, or none
  const Ramp* sparks = nullptr;  // flying sparks, or none
  const Ramp* bolts = nullptr;   // jagged rays, or none
  const Ramp* smoke = nullptr;   // smoke left behind, or none
  const Ramp* debris = nullptr;  // clods thrown up that fall back, or none
  int radius = 12;
  double squash = 1.0;  // below 1: lying on the ground
  int seed = 0;
  BurstStyle& WithSmoke(const Ramp& ramp) {
    smoke = &ramp;
    return *this;
  }
  BurstStyle& WithBolts(const Ramp& ramp) {
    bolts = &ramp;
    return *this;
  }
  BurstStyle& WithDebris(const Ramp& ramp) {
    debris = &ramp;
    return *this;
  }
};
Picture Burst(const BurstStyle& style, int frame, int frames);
// Sparkles rising from the ground (healing, items appearing, glows on a creature).
Picture Rising(const EffectPalette& p, const Ramp& ramp, int height, int frame, int frames, int seed);
// The glow of a magic item lying on the map, drawn round a point half a level over the
// ground: a pulsing pool of light under the item and motes drifting up out of it; frames
// past `frames` fade it out.
Picture ItemGlow(const EffectPalette& p, const Ramp& ramp, int frame, int frames);
// Rings spreading over the ground; quarter 0-3 picks one side only, -1 the whole ring.
Picture Rings(const EffectPalette& p, const Ramp& ramp, int radius, int quarter, int frame, int frames);
// A glowing ring on the ground that pulses (markers, selection, runes).
Picture GroundRing(const EffectPalette& p, const Ramp& ramp, int radius, bool rune, int frame, int frames);
Picture FloatingChevron(const EffectPalette& p, const Ramp& ramp, int frame, int frames);
// A pit trap: stage 0 opening, 1 open and swirling (variant 0-2), 2 closing, 3 shaken.
Picture Pit(const EffectPalette& p, int stage, int variant, int frame, int frames);
// A pointer or a wave heading one of eight directions (0 north-east in the view, clockwise).
Picture Aim(const EffectPalette& p, int direction, int frame, int frames);
Picture Wave(const EffectPalette& p, int direction, int frame, int frames);
// Ice: 0 forming, 1 a block shimmering, 2 bursting upward, 3 a frost cloud, 4 shards.
Picture Ice(const EffectPalette& p, int stage, int frame, int frames);
// A creature's aura (overlays): ramp colour, motes rising around its feet, per facing.
Picture Aura(const EffectPalette& p, const Ramp& ramp, int facing, int frame, int frames, bool wings);
Picture Bubbles(const EffectPalette& p, int frame, int frames);
// Dust streaking away from a flung creature along its facing.
Picture FlingDust(const EffectPalette& p, int facing, int frame, int frames);
Picture Spiral(const EffectPalette& p, const Ramp& ramp, int frame, int frames);
// A digit of a floating number.
Picture FloatingDigit(const EffectPalette& p, int digit);

}  // namespace forge::effect_art
