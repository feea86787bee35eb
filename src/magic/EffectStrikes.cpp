// The targeting and strike effects: ricochets, jumping strikes, bolts and beams, the
// guardians' and totems' shots and the countdown trap's frame. Until they are built each of
// them does nothing.
#include "magic/Effect.h"

void CEffect::Ricochet(int relink) {}

void CEffect::SeekNextTarget(int hit) {}

void CEffect::StartBolt() {}

void CEffect::StartBeam(int a, int b, int c, int d, int points, int branchChance) {}

void CEffect::FireIfClear() {}

void CEffect::ChooseStrikeTarget() {}

void CEffect::ShootHostiles() {}

void CEffect::RandomStrike() {}

void CEffect::SpawnRing() {}

void CEffect::TrapOnCell() {}

int CEffect::AreaInFront() { return 0; }
