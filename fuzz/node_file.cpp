// Feeds arbitrary bytes to the path network as a section's node file, in each rotation, onto
// a small map of our own.
#include <cstdint>

#include "FuzzFiles.h"
#include "map/Map.h"
#include "map/PathNetwork.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    fuzz::Folder("node_file");
    return g_map.Create(48, 48, 4, 2, 2) != 0;
  }();
  if (!ready) return 0;
  fuzz::WriteInput("section.nod", data, size);
  for (int rotation = 0; rotation < 4; ++rotation) {
    g_pathNetwork.Clear();
    g_pathNetwork.LoadSection(fuzz::InFolder("section.nod").c_str(), 24 * (rotation & 1), 24 * (rotation >> 1), 24, 24,
                              rotation, 1, 2, 3, 4);
  }
  return 0;
}
