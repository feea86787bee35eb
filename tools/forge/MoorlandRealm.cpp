#include "forge/MoorlandRealm.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "forge/Painting.h"

namespace forge {

namespace {

// Two regions are neighbours when their shores meet along at least this many pixels.
constexpr int kMinSharedEdge = 30;
constexpr uint32_t kCoastSeed = 7101, kWarpSeedX = 7202, kWarpSeedY = 7303;

bool IsLand(float x, float y) {
  const float dx = (x - 400.0f) / 368.0f, dy = (y - 318.0f) / 248.0f;
  const float reach = 1.0f + 0.42f * (FractalNoise(x / 110.0f, y / 110.0f, kCoastSeed, 4) - 0.5f);
  return dx * dx + dy * dy < reach * reach;
}

int NearestSeed(float x, float y) {
  // The borders wander: the point is moved by smooth noise before the nearest seed is taken.
  const float wx = x + 70.0f * (FractalNoise(x / 110.0f, y / 110.0f, kWarpSeedX, 3) - 0.5f);
  const float wy = y + 70.0f * (FractalNoise(x / 110.0f, y / 110.0f, kWarpSeedY, 3) - 0.5f);
  int best = 0;
  float bestDistance = 1e30f;
  for (int r = 0; r < kMoorlandRegions; ++r) {
    const float dx = wx - MoorlandRegions()[r].seedX, dy = wy - MoorlandRegions()[r].seedY;
    const float d = dx * dx + dy * dy;
    if (d < bestDistance) {
      bestDistance = d;
      best = r + 1;
    }
  }
  return best;
}

std::vector<uint8_t> EdgeDistances(const std::vector<uint8_t>& map) {
  std::vector<uint8_t> distance(map.size(), 255);
  std::deque<int> queue;
  auto differs = [&](int x, int y, uint8_t value) {
    return x < 0 || y < 0 || x >= kRealmWidth || y >= kRealmHeight || map[y * kRealmWidth + x] != value;
  };
  for (int y = 0; y < kRealmHeight; ++y)
    for (int x = 0; x < kRealmWidth; ++x) {
      const uint8_t v = map[y * kRealmWidth + x];
      if (differs(x - 1, y, v) || differs(x + 1, y, v) || differs(x, y - 1, v) || differs(x, y + 1, v)) {
        distance[y * kRealmWidth + x] = 0;
        queue.push_back(y * kRealmWidth + x);
      }
    }
  while (!queue.empty()) {
    const int at = queue.front();
    queue.pop_front();
    const int x = at % kRealmWidth, y = at / kRealmWidth;
    const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
    for (const auto& n : next) {
      if (n[0] < 0 || n[1] < 0 || n[0] >= kRealmWidth || n[1] >= kRealmHeight) continue;
      const int to = n[1] * kRealmWidth + n[0];
      if (map[to] != map[at] || distance[to] <= distance[at] + 1 || distance[at] >= 254) continue;
      distance[to] = static_cast<uint8_t>(distance[at] + 1);
      queue.push_back(to);
    }
  }
  return distance;
}

// The region's flag point: its middle when that lies inside it, else its pixel nearest there.
PathPoint FlagPoint(const MoorlandGeometry& g, int region) {
  double sx = 0, sy = 0;
  int count = 0;
  for (int y = 0; y < kRealmHeight; ++y)
    for (int x = 0; x < kRealmWidth; ++x)
      if (g.RegionAt(x, y) == region) {
        sx += x;
        sy += y;
        ++count;
      }
  const int cx = static_cast<int>(sx / std::max(count, 1)), cy = static_cast<int>(sy / std::max(count, 1));
  if (g.RegionAt(cx, cy) == region && g.edgeDistance[cy * kRealmWidth + cx] > 20) return {cx, cy};
  // The deepest inland pixel near the middle: a flag away from the shore reads best.
  PathPoint best{cx, cy};
  double bestScore = -1e30;
  for (int y = 0; y < kRealmHeight; y += 2)
    for (int x = 0; x < kRealmWidth; x += 2) {
      if (g.RegionAt(x, y) != region) continue;
      const double depth = std::min<int>(g.edgeDistance[y * kRealmWidth + x], 40);
      const double score = depth * 4 - std::hypot(x - cx, y - cy);
      if (score > bestScore) {
        bestScore = score;
        best = {x, y};
      }
    }
  return best;
}

// Four places beside the flag for visitors, each pulled towards the flag until it lies well
// inside the region.
std::array<PathPoint, 4> StartSlots(const MoorlandGeometry& g, int region) {
  static constexpr int kOffsets[4][2] = {{-34, 20}, {34, 20}, {-30, -14}, {32, -12}};
  const PathPoint flag = g.flagPoints[region - 1];
  std::array<PathPoint, 4> slots{};
  for (int s = 0; s < 4; ++s) {
    PathPoint at = flag;
    for (int shrink = 10; shrink >= 3; --shrink) {
      const PathPoint tried{flag.x + kOffsets[s][0] * shrink / 10, flag.y + kOffsets[s][1] * shrink / 10};
      if (g.RegionAt(tried.x, tried.y) == region && g.edgeDistance[tried.y * kRealmWidth + tried.x] >= 6) {
        at = tried;
        break;
      }
    }
    slots[s] = at;
  }
  return slots;
}

// A gently bent path from one flag to the other, a point each pixel of the way, that stays in
// the two regions; the bend is tried one way, then the other, then straight.
std::vector<PathPoint> PathBetween(const MoorlandGeometry& g, int from, int to) {
  const PathPoint a = g.flagPoints[from - 1], b = g.flagPoints[to - 1];
  const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
  // Both directions bend to the same side of the line between the flags, so that the paths
  // there and back lie side by side.
  const double side = from < to ? 1.0 : -1.0;
  for (double bend : {0.12, -0.12, 0.0}) {
    const double cx = (a.x + b.x) / 2.0 - dy * bend * side, cy = (a.y + b.y) / 2.0 + dx * bend * side;
    std::vector<PathPoint> points;
    double travelled = 0, nextAt = 0;
    double px = a.x, py = a.y;
    bool inside = true;
    const int samples = static_cast<int>(length * 8) + 8;
    for (int i = 0; i <= samples; ++i) {
      const double t = static_cast<double>(i) / samples, u = 1 - t;
      const double x = u * u * a.x + 2 * u * t * cx + t * t * b.x, y = u * u * a.y + 2 * u * t * cy + t * t * b.y;
      travelled += std::hypot(x - px, y - py);
      px = x;
      py = y;
      if (travelled + 1e-9 < nextAt && i != samples) continue;
      const PathPoint p{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
      const int region = g.RegionAt(p.x, p.y);
      if (region != from && region != to) inside = false;
      points.push_back(p);
      nextAt += 1.0;
    }
    if (inside || bend == 0.0) return points;
  }
  return {};
}

MoorlandGeometry Build() {
  MoorlandGeometry g;
  g.regionMap.assign(static_cast<size_t>(kRealmWidth) * kRealmHeight, 0);
  for (int y = 0; y < kRealmHeight; ++y)
    for (int x = 0; x < kRealmWidth; ++x)
      if (IsLand(x + 0.5f, y + 0.5f)) g.regionMap[y * kRealmWidth + x] = static_cast<uint8_t>(NearestSeed(x, y));
  g.edgeDistance = EdgeDistances(g.regionMap);
  for (int r = 1; r <= kMoorlandRegions; ++r) g.flagPoints[r - 1] = FlagPoint(g, r);
  for (int r = 1; r <= kMoorlandRegions; ++r) g.startSlots[r - 1] = StartSlots(g, r);

  int shared[kMoorlandRegions + 1][kMoorlandRegions + 1] = {};
  for (int y = 0; y + 1 < kRealmHeight; ++y)
    for (int x = 0; x + 1 < kRealmWidth; ++x) {
      const int here = g.RegionAt(x, y);
      for (int there : {g.RegionAt(x + 1, y), g.RegionAt(x, y + 1)})
        if (here && there && here != there) {
          ++shared[here][there];
          ++shared[there][here];
        }
    }
  for (int a = 1; a <= kMoorlandRegions; ++a)
    for (int b = 1; b <= kMoorlandRegions; ++b)
      if (a != b && shared[a][b] >= kMinSharedEdge) {
        g.neighbours[a - 1].push_back(b);
        g.paths[a - 1].push_back(PathBetween(g, a, b));
      }
  return g;
}

}  // namespace

const std::array<MoorlandRegion, kMoorlandRegions>& MoorlandRegions() {
  static const std::array<MoorlandRegion, kMoorlandRegions> regions = {{
      {"The Standing Stones", 160, 430, 1},
      {"The Keep of Cadoc", 250, 250, 2},
      {"The Great Moor", 370, 450, 3},
      {"The Barrows", 420, 190, 3},
      {"The Northern Fells", 560, 330, 4},
      {"Sallow Marsh", 620, 490, 5},
      {"The High Crags", 660, 190, 5},
  }};
  return regions;
}

const std::vector<MoorlandWizard>& MoorlandWizards() {
  static const std::vector<MoorlandWizard> wizards = {
      {"Edric", 1, {{60, 110, 235}}, {{250, 210, 80}}},  {"Ysbail", 1, {{200, 40, 50}}, {{250, 230, 220}}},
      {"Cadoc", 2, {{230, 140, 30}}, {{60, 30, 20}}},    {"Morvane", 3, {{140, 60, 170}}, {{230, 220, 250}}},
      {"Tarran", 5, {{50, 150, 70}}, {{240, 240, 200}}}, {"Gwyndor", 7, {{30, 160, 170}}, {{20, 40, 60}}},
  };
  return wizards;
}

const MoorlandGeometry& Moorland() {
  static const MoorlandGeometry geometry = Build();
  return geometry;
}

FlagPathFile MoorlandFlagPathFile(int region) {
  const MoorlandGeometry& g = Moorland();
  FlagPathFile file;
  file.flag = g.flagPoints[region - 1];
  file.paths = g.paths[region - 1];
  file.slots = g.startSlots[region - 1];
  return file;
}

}  // namespace forge
