#pragma once
// Section files for the map generator's fuzz targets: the 76-byte header it reads (the rest
// of a section file belongs to the map builder), for a one-block and a two-block section.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "platform/Files.h"

namespace fuzz {

inline std::vector<uint8_t> SectionHeader(int blocksX, int blocksY, int edge) {
  bytes::Writer out;
  const int32_t words[19] = {6,    20 * blocksX, 20 * blocksY, 2,    0,    0,    blocksX, blocksY, edge, edge,
                             edge, edge,         edge,         edge, edge, edge, 0,       0,       0};
  for (int32_t word : words) out.I32(word);
  return out.Data();
}

// The folder "s" with sections 1 (one block, edges 1), 2 (two blocks across) and 3 (one
// block, edges 2): prefix "SEC".
inline void WriteSections() {
  platform::MakeDirectory("s");
  const std::vector<uint8_t> files[3] = {SectionHeader(1, 1, 1), SectionHeader(2, 1, 1), SectionHeader(1, 1, 2)};
  const char* names[3] = {"s/SEC_a1.map", "s/SEC_b2.map", "s/SEC_c3.map"};
  for (int i = 0; i < 3; ++i) platform::WriteWholeFile(names[i], files[i].data(), files[i].size());
}

}  // namespace fuzz
