// Feeds arbitrary bytes to the creature pool's block of the saved game, on the forged creature
// types and a flat map: a block the pool takes saves, loads and saves again to the same bytes;
// one it refuses changes nothing. Seeds, a pool with a few creatures and a wizard, are written by the pool's
// own writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "map/Map.h"
#include "map/TerrainType.h"
#include "platform/Files.h"

namespace {

std::vector<uint8_t> Saved() {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  if (!out) std::abort();
  const int written = g_creatureArray.Save(out);
  std::fclose(out);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  if (written != static_cast<int>(bytes.size())) __builtin_trap();
  return bytes;
}

// The forged types and terrain, a flat map and two armies; once.
void World() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  fuzz::Folder("creature_block");  // quiet boxes, fatal ends caught
  platform::ChangeDirectory(VRASK_FORGED_DATA);
  LoadSpells("cfg/spells.cfg", g_spellDefs);
  ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes);
  std::vector<uint8_t> terrain;
  if (!platform::ReadWholeFile("maps/moorland/terrain.ttd", terrain) || terrain.size() < 16) std::abort();
  g_terrainTypes.Assign(terrain.data() + 16, terrain.size() - 16);
  if (g_map.Create(48, 44, 8, 1, 1) != 1) std::abort();
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = 1;
  g_armyTable.InitDefault();
  InstallWizards();
}

int Place(int type, int army, int x, int y) {
  CCreature* creature = g_creatureArray.FindFree();
  creature->Reset(creature->index);
  creature->SetPosition(x, y, 0, type);
  creature->InitFromType(type, army);
  return creature->index;
}

std::vector<uint8_t> Seed() {
  g_creatureArray.ReleaseAll();
  g_wizardTable.Clear();
  CWizard& wizard = g_wizardTable.records[0];
  wizard.inUse = 1;
  std::snprintf(wizard.name, kWizardNameSize, "Edric");
  std::snprintf(wizard.animFile, kWizardAnimNameSize, "wizard2");
  wizard.SpawnCreature(1, 5, 5, 0);
  const int a = Place(3, 1, 10, 10), b = Place(11, 2, 11, 10);
  g_creatureArray.At(a)->AttackCreature(b);
  g_creatureArray.At(a)->queuedOrders.entries.push_back(CQueuedOrder{3, 4, 0, 2, -1});
  g_creatureArray.At(a)->queuedOrders.current = 0;
  const std::vector<uint8_t> seed = Saved();
  g_creatureArray.ReleaseAll();
  return seed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  World();
  for (int i = 1; i < *argc; ++i) {
    const std::string folder = (*argv)[i];
    if (folder.empty() || folder[0] == '-' || !platform::DirectoryExists(folder)) continue;
    if (!platform::ListDirectory(folder).empty()) break;
    const std::vector<uint8_t> seed = Seed();
    platform::WriteWholeFile(folder + "/battle", seed.data(), seed.size());
    break;
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World();
  g_creatureArray.ReleaseAll();
  Place(3, 1, 20, 20);  // live state a refused block must keep
  const std::vector<uint8_t> before = Saved();
  FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile();
  if (!in) return 0;
  int result = -1;
  try {
    result = g_creatureArray.Load(in);
  } catch (const fuzz::ProgramEnded&) {
    std::fclose(in);
    return 0;
  }
  const long consumed = std::ftell(in);
  std::fclose(in);
  if (result == -1) {
    if (Saved() != before) __builtin_trap();
    return 0;
  }
  if (result != consumed) __builtin_trap();
  // What was taken saves, loads and saves again to the same bytes (queued orders come back
  // wrapped into the map, so the first save may differ from the input).
  std::vector<uint8_t> once = Saved();
  FILE* again = fmemopen(once.data(), once.size(), "rb");
  if (!again) return 0;
  if (g_creatureArray.Load(again) != static_cast<int>(once.size())) __builtin_trap();
  std::fclose(again);
  if (Saved() != once) __builtin_trap();
  return 0;
}
