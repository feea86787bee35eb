// Feeds arbitrary bytes to the creature pool's block of the saved game, on the forged creature
// types and a flat map: a block the pool takes saves, loads and saves again to the same bytes;
// one it refuses changes nothing. Seeds, a pool with a few creatures, a body and a wizard, are
// written by the pool's own writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "SavedBlock.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"

namespace {

std::vector<uint8_t> Saved() { return fuzz::SavedBytes(g_creatureArray); }

// The forged types and terrain, a flat map and two armies; once.
void World() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  fuzz::Folder("creature_block");  // quiet boxes, fatal ends caught
  platform::ChangeDirectory(VRASK_FORGED_DATA);
  LoadSpells("cfg/spells.cfg", g_spellDefs);
  ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes);
  fuzz::FlatMoorland();
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
  g_creatureArray.At(a)->spellState = 3;  // attachment 2 written
  // A body fading on the map: the dead rows and the bodies list.
  CCreature& body = *g_creatureArray.At(Place(5, 2, 14, 10));
  body.health = 0;
  body.orderState.deathStage = 2;
  body.orderState.bodyCountdown = 40;
  g_creatureArray.AddBody(body.index);
  const std::vector<uint8_t> seed = Saved();
  g_creatureArray.ReleaseAll();
  return seed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  World();
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) { fuzz::WriteSeed(folder + "/battle", Seed()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World();
  g_creatureArray.ReleaseAll();
  Place(3, 1, 20, 20);  // live state a refused block must keep
  const std::vector<uint8_t> before = Saved();
  fuzz::Loaded loaded{};
  try {
    loaded = fuzz::LoadBytes(g_creatureArray, data, size);
  } catch (const fuzz::ProgramEnded&) {
    return 0;
  }
  // Queued orders come back wrapped into the map, so the first save may differ from the input.
  fuzz::CheckLoadResult(g_creatureArray, loaded, before);
  return 0;
}
