// Feeds arbitrary bytes to the flag path reader. A file read must hold its limits (at most 8
// paths, each inside the point table) and answer every point query inside it; a refused one
// keeps no points.
#include <cstdint>
#include <cstdlib>

#include "frontend/FixPoints.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFixPoints paths;
  if (!paths.LoadBytes(data, size)) {
    if (!paths.points.empty() || paths.PathCount() != 0) std::abort();
    return 0;
  }
  if (paths.PathCount() < 0 || paths.PathCount() > CFixPoints::kMaxPaths) std::abort();
  for (int p = -1; p <= CFixPoints::kMaxPaths; ++p) {
    paths.GetPathEnd(p);
    for (int step = -1; step <= paths.GetPathLength(p) && step < 64; ++step) paths.GetPathPoint(p, step);
  }
  for (int frame = 0; frame < 8; ++frame) paths.StepDots();
  for (int i = 0; i < 5; ++i) paths.TakeStartSlot();
  paths.ReleaseStartSlot(paths.startSlots[0].x, paths.startSlots[0].y);
  return 0;
}
