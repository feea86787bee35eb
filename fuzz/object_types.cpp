// Feeds arbitrary text to the reader of cfg\objects.cfg: the table holds what the header
// counts, never more than its capacity.
#include <cstdint>

#include "GameDataFuzz.h"
#include "creatures/MapObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("object_types", {"cfg"});
  fuzz::WriteInputAs({"cfg/objects.cfg"}, data, size);
  fuzz::Expect(g_mapObjects.LoadTypes("cfg\\objects.cfg") == 1);
  fuzz::Expect(g_mapObjects.typeCount >= 0 && g_mapObjects.typeCount <= kMapObjectCapacity);
  fuzz::Expect(g_mapObjects.types.size() == static_cast<size_t>(g_mapObjects.typeCount));
  return 0;
}
