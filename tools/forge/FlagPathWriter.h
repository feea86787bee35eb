#pragma once
// Writes the flag path files (.FP) of a realm's regions: the region's flag point, up to eight
// paths of points out of the region, and its four start slots.

#include <array>
#include <cstdint>
#include <vector>

namespace forge {

struct PathPoint {
  int32_t x = 0, y = 0;
};

struct FlagPathFile {
  PathPoint flag;
  std::vector<std::vector<PathPoint>> paths;  // at most 8
  std::array<PathPoint, 4> slots{};
};

// The file's bytes: magic ".FP", the version, the flag point, the path count, eight lengths and
// eight starts (the paths' points follow each other in the table), the slots, the points.
std::vector<uint8_t> FlagPathBytes(const FlagPathFile& file, int32_t version = 2);

}  // namespace forge
