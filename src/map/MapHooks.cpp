#include "map/MapHooks.h"

#include "map/TerrainAnimation.h"

namespace {

IMapCreatures g_neutralCreatures;
IMapEffects g_neutralEffects;
IMapObjects g_neutralObjects;
IMapBattle g_neutralBattle;
IMapAI g_neutralAI;

ITerrainAnimation* g_terrainAnimation = nullptr;

}  // namespace

// Constant-initialised, so that it is ready before any other global's constructor runs.
MapHooks g_mapHooks = {&g_neutralCreatures, &g_neutralEffects, &g_neutralObjects, &g_neutralBattle, &g_neutralAI};

MapHooks DefaultMapHooks() {
  return MapHooks{&g_neutralCreatures, &g_neutralEffects, &g_neutralObjects, &g_neutralBattle, &g_neutralAI};
}

ITerrainAnimation* TerrainAnimation() { return g_terrainAnimation; }
void SetTerrainAnimation(ITerrainAnimation* animation) { g_terrainAnimation = animation; }
