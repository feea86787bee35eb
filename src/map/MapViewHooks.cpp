#include "map/MapViewHooks.h"

namespace {

IMapViewCreatures g_neutralCreatures;
IMapViewWorld g_neutralWorld;
IMapViewBattle g_neutralBattle;
IMapCommandSink g_neutralCommands;

}  // namespace

MapViewHooks g_mapViewHooks = {&g_neutralCreatures, &g_neutralWorld, &g_neutralBattle, &g_neutralCommands};

MapViewHooks DefaultMapViewHooks() {
  return MapViewHooks{&g_neutralCreatures, &g_neutralWorld, &g_neutralBattle, &g_neutralCommands};
}
