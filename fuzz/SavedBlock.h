#pragma once
// What the fuzz targets of the saved game's blocks share: a block's bytes as its own writer
// saves them, a load from bytes that tells how far it read, the save-load-save check and the
// check of what a load of fuzzed bytes left, seeds
// written into an empty corpus folder, and the flat moorland map the pools load over.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "map/Map.h"
#include "map/TerrainType.h"
#include "platform/Files.h"

namespace fuzz {

// What the block's Save writes; a count that differs from the bytes written is a fault.
template <class Block>
std::vector<uint8_t> SavedBytes(Block& block) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  if (!out) std::abort();
  const int written = block.Save(out);
  std::fclose(out);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  if (written != static_cast<int>(bytes.size())) __builtin_trap();
  return bytes;
}

struct Loaded {
  int result;     // what Load returned
  long consumed;  // how far it read
};

// Loads the block from the bytes (no bytes: an empty file). The file is closed even when a
// fatal end throws out of Load.
template <class Block>
Loaded LoadBytes(Block& block, const uint8_t* data, size_t size) {
  std::unique_ptr<FILE, int (*)(FILE*)> in(size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile(),
                                           std::fclose);
  if (!in) std::abort();
  const int result = block.Load(in.get());
  return {result, std::ftell(in.get())};
}

// What the block took saves, loads whole and saves again to the same bytes.
template <class Block>
void CheckSaveLoadSave(Block& block) {
  const std::vector<uint8_t> once = SavedBytes(block);
  if (LoadBytes(block, once.data(), once.size()).result != static_cast<int>(once.size())) __builtin_trap();
  if (SavedBytes(block) != once) __builtin_trap();
}

// What one load of fuzzed bytes must leave: a block the pool refuses (Load's -1) changes
// nothing of what it held (its bytes before); one it takes is read to the end of what Load
// counted, and saves, loads and saves again to the same bytes.
template <class Block>
void CheckLoadResult(Block& block, const Loaded& loaded, const std::vector<uint8_t>& before) {
  if (loaded.result == -1) {
    if (SavedBytes(block) != before) __builtin_trap();
    return;
  }
  if (loaded.result != loaded.consumed) __builtin_trap();
  CheckSaveLoadSave(block);
}

// Loads the fuzzed bytes into the block as it stands, and checks what the load left.
template <class Block>
void CheckLoadOf(Block& block, const uint8_t* data, size_t size) {
  const std::vector<uint8_t> before = SavedBytes(block);
  const Loaded loaded = LoadBytes(block, data, size);
  CheckLoadResult(block, loaded, before);
}

// Calls write(folder) for the first corpus folder named on the command line, when it is
// still empty: the seeds are written by the block's own writer.
template <class Write>
void SeedEmptyCorpus(int argc, char** argv, Write write) {
  for (int i = 1; i < argc; ++i) {
    const std::string folder = argv[i];
    if (folder.empty() || folder[0] == '-' || !platform::DirectoryExists(folder)) continue;
    if (platform::ListDirectory(folder).empty()) write(folder);
    return;
  }
}

inline void WriteSeed(const std::string& path, const std::vector<uint8_t>& seed) {
  platform::WriteWholeFile(path, seed.data(), seed.size());
}

// The forged moorland's terrain types and a flat 48 x 44 map of its first terrain; run in
// the forged data folder.
inline void FlatMoorland() {
  std::vector<uint8_t> terrain;
  if (!platform::ReadWholeFile("maps/moorland/terrain.ttd", terrain) || terrain.size() < 16) std::abort();
  g_terrainTypes.Assign(terrain.data() + 16, terrain.size() - 16);
  if (g_map.Create(48, 44, 8, 1, 1) != 1) std::abort();
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = 1;
}

}  // namespace fuzz
