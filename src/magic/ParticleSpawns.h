#pragma once
// The particles the creature code asks for (through ICreatureEffects): blood sprays, glow
// bursts, flies and body parts. All are seen only and draw from g_viewRandom; a particle the
// manager refuses is dropped.

#include <cstdint>

// A spray of blood from the creature's centre in its type's blood colour; a living
// creature's lasts 10 frames losing one drop a frame, a dead one's 5 frames losing two.
void SpawnCreatureBlood(int creature, int vx, int vy, int vz, int size, bool alive);
// n glows about the creature's centre, blue for a frozen creature.
void SpawnCreatureGlowBurst(int creature, int count, bool blue);
void SpawnCreatureFly(int creature, int x, int y, int z);
// Body parts of a type at a point: parameter 0 a body torn apart (trailing its type's blood),
// otherwise a shattered body (trailing grey) printed with that parameter.
void SpawnCreatureBodyParts(int type, int x, int y, int z, int parameter);
// A burst body of a type at a point, trailing its blood, its parts thrown along the burst's
// trace blocks (28 bytes each, velocities at 12-23) while they last.
void SpawnCreatureBurstParts(int type, int x, int y, int z, const uint8_t* traces, int traceCount);
