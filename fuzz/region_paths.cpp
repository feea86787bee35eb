// Feeds arbitrary text to the readers of a realm's regions, from the one input: each region's
// map folder (the key "Path" of a realm file's Region<n> section) and the multiplayer realm's
// region names. A map folder is kept only when it lies inside the data folder, and within its
// buffer; every name read is terminated within its buffer.
#include <cstdint>
#include <cstring>

#include "GameDataFuzz.h"
#include "battle/Battle.h"
#include "core/DataPath.h"
#include "frontend/MultiplayerRegions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("region_paths", {"realms", "realms/multiplayer"});
  fuzz::WriteInputAs({"realms/fuzz.cfg", "realms/multiplayer/Multiplayer.cfg"}, data, size);
  static CBattle* battle = new CBattle;
  for (int region : {-1, 0, 1, 2, 7, 99}) {
    const int length = battle->ReadRegionPath("realms\\fuzz.cfg", region);
    fuzz::Expect(length >= 0 && static_cast<size_t>(length) == std::strlen(battle->mapPath));
    fuzz::Expect(length < static_cast<int>(sizeof battle->mapPath));
    fuzz::Expect(length == 0 || IsInsideDataFolder(battle->mapPath));
  }
  char name[kRegionNameSize];
  for (int n : {0, 1, 2, 50}) {
    const char* found = GetMultiplayerRegionName(n, name);
    fuzz::Expect(std::strlen(name) < kRegionNameSize && (found == nullptr) == (name[0] == '\0'));
  }
  fuzz::Expect(CountMultiplayerRegions() >= 0);
  return 0;
}
