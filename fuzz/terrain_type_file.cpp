// Feeds arbitrary bytes to the terrain type data reader: it loads whole records or nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "creatures/TerrainTypeData.h"
#include "map/TerrainType.h"
#include "platform/MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vrask-fuzz-terrain-" + std::to_string(::getpid()) + ".ttd";
  static const bool quiet = (platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return 1; }), true);
  (void)quiet;
  // A plain write: the whole-file helper syncs to disk, which would slow every run.
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  const int before = g_terrainTypes.Count();
  if (g_terrainTypeData.Load(path.c_str())) {
    if (size < 16 || g_terrainTypes.Count() != static_cast<int>((size - 16) / terrain_layout::kRecordSize) ||
        (size - 16) % terrain_layout::kRecordSize != 0)
      __builtin_trap();
  } else if (g_terrainTypes.Count() != before) {
    __builtin_trap();  // a refused file leaves the table it found
  }
  return 0;
}
