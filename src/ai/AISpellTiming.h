#pragma once
// How long the sight of a spell takes to reach its target, for the delays of the spell
// decisions that cast from where the caster stands: the ticks an effect animation plays from
// its start to its end, and the fall of a particle from the top of the map onto a creature.

class CCreature;

// An effect animation that loops is cut off after this many ticks.
inline constexpr int kAIEffectAnimTickLimit = 1000;

// The ticks entry n of the effect-animation table takes to play forward from its start to its
// end, counted once per battle by stepping it off screen and then kept; 0 for an entry
// without an animation.
int EffectAnimTicks(int entry);
// Forgets the counts, so that the next battle counts its animations afresh.
void ResetEffectAnimTicks();

// The ticks a particle falls from the top of the map onto the creature's centre, 12 map units
// a tick, and half the indirect spell particles' period. A creature above the top level falls
// no distance.
int ParticleFallTicks(const CCreature& target);
