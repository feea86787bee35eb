// Feeds arbitrary bytes to the world objects' block of the saved game, on the forged object
// types and effect tables and a flat map: a block the pool takes saves, loads and saves again
// to the same bytes; one it refuses changes nothing. The running pool (and the map's chains)
// hold the seed's objects, so that the seed itself loads.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "SavedBlock.h"
#include "creatures/MapObject.h"
#include "magic/CreatureEffectAnswers.h"
#include "magic/EffectManager.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace {

std::vector<uint8_t> Saved() { return fuzz::SavedBytes(g_mapObjects); }

void World() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  fuzz::Folder("world_objects_block");
  platform::ChangeDirectory(VRASK_FORGED_DATA);
  platform::FlushProfileCache();
  if (!g_effectManager.ReadEffectsCfg() || !g_effectManager.ReadEffectAniCfg()) std::abort();
  InstallCreatureEffectAnswers();
  g_mapObjects.LoadTypes("cfg\\objects.cfg");
  if (g_mapObjects.TypeCount() < 123) {
    g_mapObjects.types.assign(123, CMapObjectType{});
    g_mapObjects.typeCount = 123;
  }
  fuzz::FlatMoorland();
}

void Put(int kind, int x, int y, int level) {
  CMapObject* object = g_mapObjects.FindFree();
  object->SetPosition(x, y, level);
  object->SetKind(kind);
}

// The running state: the map's chains emptied, then two objects on one cell, a chest, a
// place of power and a glowing item.
void Running() {
  g_effectManager.Reset();
  for (int i = 0; i < g_map.cellCount; ++i) g_map.cells[i].object = kNoLink;
  g_mapObjects.Reset();
  Put(3, 10, 10, 1);
  Put(4, 10, 10, 1);
  Put(50, 11, 10, 1);
  Put(61, 12, 10, 0);
  Put(100, 13, 10, 1);
  for (int i = 0; i < 3; ++i) g_mapObjects.UpdateAnims();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  World();
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    Running();
    fuzz::WriteSeed(folder + "/objects", Saved());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World();
  Running();
  fuzz::CheckLoadOf(g_mapObjects, data, size);
  return 0;
}
