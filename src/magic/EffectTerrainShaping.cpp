// What effects do to the terrain they stand in: the terrain-shaping effects (totems, walls,
// columns) fill these in. Until they do, a totem hit by a damaging spell stays standing, a
// changed tile under an effect changes nothing of the effect, and the walls, flames and
// corner effects do nothing.
#include "magic/Effect.h"

void CEffect::CollapseTotem() {}

void CEffect::AffectTerrainTile() {}

int CEffect::FeedFlame() { return 0; }

void CEffect::SettleWall(int relink) {}

void CEffect::WobbleLinked() {}

void CEffect::SpawnCornerEffects() {}

void CEffect::SpawnWallSegment(int direction) {}

void CEffect::MoveToFreeCell() {}

int CEffect::FindTotemSite() { return 0; }

int CEffect::CanGrowTotem() { return 0; }

int CEffect::DropToGround() { return 0; }

int CEffect::GrowTotem() { return 0; }

void CEffect::TotemAura() {}

void CEffect::TotemShoot() {}

void CEffect::TotemHeal() {}

void CEffect::GrowWall() {}

void CEffect::StartSideWalls() {}

void CEffect::Shockwave() {}

void CEffect::RiseOneLevel() {}
