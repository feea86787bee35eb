#pragma once
// The effects' draws from the battle generator: every machine of a network battle makes
// the same draws in the same order, and each is followed by a trace point (source "effects")
// while the NETWORK option NetRandomLog is on.

// The low 31 bits of the next battle draw; line is the caller's source line.
int EffectBattleDraw(int line);
