#include "MapViewFixtures.h"

#include <cmath>

#include "core/Preferences.h"
#include "graphics/PrintTarget.h"
#include "map/MapUnits.h"
#include "support/TestSupport.h"

namespace map_test {

namespace {

void Put(int x, int y, int level, int type) {
  CMapCell& cell = g_map.CellAt(x, y, level);
  cell.terrain = static_cast<uint16_t>(type);
  if (TerrainOf(type).IsLiquid())
    cell.state |= state_bits::kLiquid;
  else
    cell.state &= static_cast<uint16_t>(~state_bits::kLiquid);
}

// Ground height of a column: smooth hills that repeat with the map, so that the seams do
// not show.
int GroundHeight(int x, int y) {
  const double pi2 = 6.283185307179586;
  const double u = pi2 * x / g_map.width, v = pi2 * y / g_map.height;
  const double h = 2.3 + 1.4 * std::sin(u) * std::cos(v) + 0.9 * std::sin(2 * v + 1) + 0.6 * std::cos(3 * u + 2 * v);
  return std::clamp(static_cast<int>(std::lround(h)), 0, 4);
}

}  // namespace

void BuildLandscape() {
  namespace t = forge::terrain;
  const int water = 2;
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) {
      const int h = GroundHeight(x, y);
      for (int level = 0; level < h; ++level) Put(x, y, level, t::kEarth);
      bool shore = false;
      for (int d = 0; d < 8; ++d) {
        const int nx = (x + kDirectionSteps[d].dx + g_map.width) % g_map.width;
        const int ny = (y + kDirectionSteps[d].dy + g_map.height) % g_map.height;
        shore |= GroundHeight(nx, ny) < water;
      }
      Put(x, y, h, h < water ? t::kGrass : (shore && h == water) ? t::kSand : t::kGrass);
      for (int level = h + 1; level < water; ++level) Put(x, y, level, t::kWater);
    }
  // A rock outcrop and a cliff.
  for (int y = 20; y < 24; ++y)
    for (int x = 30; x < 33; ++x) {
      const int h = GroundHeight(x, y);
      const int top = h + 1 + (x + y) % 3;
      for (int level = h; level < std::min(top, g_map.levels - 1); ++level)
        Put(x, y, level, x == 30 ? t::kCliff : t::kRock);
    }
  // A house: stone walls, a door, a roof and a stone tower at a corner.
  const int hx = 8, hy = 8, floor = GroundHeight(hx, hy) + 1;
  for (int y = hy; y < hy + 5; ++y)
    for (int x = hx; x < hx + 6; ++x) {
      for (int level = GroundHeight(x, y); level < floor; ++level)
        Put(x, y, level, level == floor - 1 ? t::kStone : t::kEarth);
      for (int level = floor; level < floor + 2; ++level) {
        if (y == hy) Put(x, y, level, t::kWallNorth);
        if (y == hy + 4) Put(x, y, level, t::kWallSouth);
        if (x == hx) Put(x, y, level, t::kWallWest);
        if (x == hx + 5) Put(x, y, level, t::kWallEast);
      }
      Put(x, y, floor + 2, t::kRoof);
    }
  Put(hx + 2, hy + 4, floor, t::kDoor);
  for (int level = floor; level < floor + 4; ++level) Put(hx + 6, hy + 5, level, t::kStone);
  // A bridge over the lake along one row, and a region of power on a knoll.
  for (int x = 0; x < g_map.width; ++x)
    if (GroundHeight(x, 30) < water) Put(x, 30, water, t::kBridge);
  const int rx = 38, ry = 10, rl = GroundHeight(rx, ry);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) Put(rx + dx, ry + dy, rl, t::kRegionPatternFirst);
  Put(rx, ry, rl, t::kRegionCentre);
  g_map.waterLevel = water;
  g_map.FinishTerrainShapes();
  LightWholeMap(0);
}

void LightWholeMap(int light) {
  g_map.ResetLight();
  std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), static_cast<int8_t>(light));
}

int FakeViewMapCreatures::NextInUse(int after) {
  auto it = view.orders.upper_bound(after);
  return it == view.orders.end() ? -1 : it->first;
}

bool FakeViewCreatures::GetDrawInfo(int creature, int, CreatureDrawInfo& out) {
  auto it = draw.find(creature);
  if (it == draw.end()) return false;
  out = it->second;
  return true;
}

bool FakeViewCreatures::GetOrderInfo(int creature, CreatureOrderInfo& out) {
  auto it = orders.find(creature);
  if (it == orders.end()) return false;
  out = it->second;
  return true;
}

void FakeViewCreatures::Select(int creature) {
  orders[creature].selected = true;
  calls.push_back("select " + std::to_string(creature));
}

void FakeViewCreatures::Deselect(int creature) {
  orders[creature].selected = false;
  orders[creature].inspected = false;
  calls.push_back("deselect " + std::to_string(creature));
}

void FakeViewCreatures::SelectGroup(int creature) { calls.push_back("group " + std::to_string(creature)); }

bool FakeViewCreatures::FindFormationCell(int creature, int x, int y, int level, CellPos& goal) {
  auto it = formationCells.find(creature);
  goal = it != formationCells.end() ? it->second : CellPos{x, y, level};
  calls.push_back("formation " + std::to_string(creature));
  return true;
}

bool FakeViewCreatures::FindNearbyFreeCell(int creature, const CellPos& place, CellPos& goal) {
  goal = CellPos{place.x + 1, place.y, place.z};
  calls.push_back("nearby " + std::to_string(creature));
  return true;
}

}  // namespace map_test
