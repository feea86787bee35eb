#pragma once
// Path-node files (.nod): one per map section, the nodes in the section's own frame with
// their links by record index within the file.

#include <array>
#include <cstdint>
#include <vector>

namespace forge {

struct NodeLinkDef {
  int32_t cost = 0;  // 0: no link
  int32_t target = 0;
  // Per group (any, airborne, kind 2, kind 3, kind 1): flag and tallest height for sizes 1, 2.
  std::array<std::array<int8_t, 3>, 5> groups{};
  std::array<int8_t, 2> smallest{};  // group kind 1
};

struct NodeDef {
  int32_t x = 0, y = 0, level = 0;
  int32_t topOfColumn = 0;
  std::vector<NodeLinkDef> links;  // at most 18
};

// A link every creature may take, both ways.
NodeLinkDef OpenLink(int target, int cost, int8_t height = 4);

// Header (12 bytes not read, the count), 494-byte records, 8 bytes not read.
std::vector<uint8_t> NodeFileBytes(const std::vector<NodeDef>& nodes);

}  // namespace forge
