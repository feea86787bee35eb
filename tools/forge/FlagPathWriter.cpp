#include "forge/FlagPathWriter.h"

#include "core/Bytes.h"

namespace forge {

std::vector<uint8_t> FlagPathBytes(const FlagPathFile& file, int32_t version) {
  bytes::Writer out;
  out.Bytes(".FP", 4);
  out.I32(version);
  out.I32(file.flag.x);
  out.I32(file.flag.y);
  const int count = static_cast<int>(file.paths.size());
  out.I32(count);
  for (int p = 0; p < 8; ++p) out.I32(p < count ? static_cast<int32_t>(file.paths[p].size()) : 0);
  int32_t start = 0;
  for (int p = 0; p < 8; ++p) {
    out.I32(p < count ? start : 0);
    if (p < count) start += static_cast<int32_t>(file.paths[p].size());
  }
  for (const PathPoint& slot : file.slots) {
    out.I32(slot.x);
    out.I32(slot.y);
  }
  for (const auto& path : file.paths)
    for (const PathPoint& point : path) {
      out.I32(point.x);
      out.I32(point.y);
    }
  return out.Data();
}

}  // namespace forge
