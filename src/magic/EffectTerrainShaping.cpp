// What effects do to the terrain they stand in: the terrain-shaping effects (totems, walls,
// columns) fill these in. Until they do, a totem hit by a damaging spell stays standing and
// a changed tile under an effect changes nothing of the effect.
#include "magic/Effect.h"

void CEffect::CollapseTotem() {}

void CEffect::AffectTerrainTile() {}
