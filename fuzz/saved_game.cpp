// Feeds arbitrary bytes to the saved-game loader, with a battle part that reads the map's
// block, the path network's, the tile overlay's and the segment pool's, as the battle does.
#include <cstdint>
#include <cstdio>

#include "core/SavedGame.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "map/SegmentPool.h"
#include "map/TileOverlay.h"

namespace {

struct BattleParts : ISavedGameParts {
  int ReadBattle(FILE* file) override {
    int total = 0;
    for (int part : {g_map.Load(file), g_pathNetwork.Load(file), g_tileSpans.Load(file), g_segmentPool.Load(file)}) {
      if (part < 0) return -1;
      total += part;
    }
    return total;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static BattleParts parts;
  g_savedGameParts = &parts;
  if (size == 0) return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  ReadSavedGame(file);
  std::fclose(file);
  return 0;
}
