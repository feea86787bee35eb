// Feeds arbitrary bytes to the battle's part of a saved game over a small battle in memory
// on the forged moorland's terrain: every count, index and flag is checked before it is
// taken, and a refused block leaves the battle as it was, saving to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "SavedBlock.h"
#include "battle/Battle.h"
#include "battle/NamedList.h"
#include "map/Map.h"
#include "map/MapView.h"

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

std::vector<uint8_t> SaveBlock(CBattle& battle) {
  File file(std::tmpfile(), std::fclose);
  if (!file || battle.SaveState(file.get()) < 0) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(file.get())));
  std::rewind(file.get());
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return {};
  return bytes;
}

CBattle& SmallBattle() {
  static CBattle* battle = [] {
    fuzz::Folder("battle_block");
    chdir(VRASK_DATA_DIR);
    auto* made = new CBattle;
    std::snprintf(made->mapPath, sizeof made->mapPath, "%s", "maps\\moorland");
    made->LoadTerrain();
    g_map.Create(CMap::kMinSize, CMap::kMinSize, 2, 1, 1);
    g_mapView.SetMap(&g_map);
    GetNamedList()->Add(100, "award", -1);
    made->cellQueue.push_back(g_map.CellPointerFromIndex(9));
    g_map.manaSpriteSites.push_back(CManaSite{1, 2, 1});
    return made;
  }();
  return *battle;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    // The battle's set-up moves into the data folder: the corpus path is taken before.
    const std::string path = std::filesystem::absolute(folder).string();
    fuzz::WriteSeed(path + "/seed0", SaveBlock(SmallBattle()));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CBattle& battle = SmallBattle();
  const std::vector<uint8_t> before = SaveBlock(battle);
  File file(size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile(), std::fclose);
  if (!file) return 0;
  int read = -1;
  try {
    read = battle.LoadState(file.get());
  } catch (const fuzz::ProgramEnded&) {
    return 0;
  }
  if (read < 0 && SaveBlock(battle) != before) __builtin_trap();
  if (read >= 0 && static_cast<size_t>(read) > size) __builtin_trap();
  return 0;
}
