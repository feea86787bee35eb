#include "MapTestSupport.h"

#include "map/Doors.h"

namespace map_test {

std::vector<CTerrainType> ForgedTypes() {
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  CTerrainTypeTable table;
  EXPECT_TRUE(table.Assign(file.data() + 16, file.size() - 16));
  std::vector<CTerrainType> types;
  for (int i = 0; i < table.Count(); ++i) types.push_back(table.Get(i));
  return types;
}

void UseTypes(const std::vector<CTerrainType>& types) { g_terrainTypes.Assign(types); }

// The lists and tables of the one map outlive Clear: each test starts from empty ones.
void ResetMapTables() {
  g_map.deploymentZones.Clear();
  g_map.otherPlacements.Clear();
  g_map.eventAreas.Clear();
  for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
  for (auto& row : g_map.regionCounters)
    for (int32_t& counter : row) counter = 0;
  std::fill(std::begin(g_map.deploymentTable), std::end(g_map.deploymentTable), 0);
  std::fill(std::begin(g_map.mapTable), std::end(g_map.mapTable), 0);
  g_map.manaSpriteSites.clear();
  g_map.manaSpriteCount = g_map.maxManaSprites = 0;
}

void MapTest::TearDown() {
  g_map.Clear();
  ResetMapTables();
  g_map.waterLevel = 0;
  g_tileSpans.Free();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
}

void PathNetworkTest::TearDown() {
  g_pathNetwork.Clear();
  MapTest::TearDown();
}

int PathNetworkTest::Node(int x, int y, int level) {
  CPathNode& node = net.nodes[static_cast<size_t>(net.count)];
  node = CPathNode{};
  node.inUse = 1;
  node.x = x;
  node.y = y;
  node.level = level;
  return net.count++;
}

void MapTest::MakeMap(int width, int height, int levels) {
  UseTypes(ForgedTypes());
  ResetMapTables();
  ASSERT_EQ(g_map.Create(width, height, levels, 1, 1), 1);
  g_map.waterLevel = 0;
  g_tileSpans.Reset();
}

void MapTest::FillLevel(int level, int type) {
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) Set(x, y, level, type);
}

void MapTest::Set(int x, int y, int level, int type) {
  CMapCell& cell = Cell(x, y, level);
  cell.terrain = static_cast<uint16_t>(type);
  if (TerrainOf(type).IsLiquid())
    cell.state |= state_bits::kLiquid;
  else
    cell.state &= static_cast<uint16_t>(~state_bits::kLiquid);
}

int FakeCreatures::NextInUse(int after) {
  auto it = creatures.upper_bound(after);
  return it == creatures.end() ? -1 : it->first;
}

bool FakeCreatures::GetPlace(int creature, CreaturePlace& out) {
  auto it = creatures.find(creature);
  if (it == creatures.end()) return false;
  out = it->second.place;
  return true;
}

int FakeCreatures::HasRoomAt(int creature, int x, int y, int level) {
  auto it = creatures.find(creature);
  return it != creatures.end() && level <= it->second.roomUpTo ? 1 : 0;
}

bool FakeCreatures::GetBody(int creature, CreatureBody& out) {
  auto it = creatures.find(creature);
  if (it == creatures.end()) return false;
  const CreaturePlace& place = it->second.place;
  out.onMap = true;
  out.cornerX = 32 * place.x;
  out.cornerY = 32 * place.y;
  out.floorZ = 16 * place.level;
  out.shape.Init(place.height, place.size == 2);
  return true;
}

void FakeCreatures::UseStandardTypes() {
  types = {
      {1, 1, 0, 0, 4, false}, {1, 2, 0, 0, 4, false}, {1, 4, 0, 0, 4, false}, {2, 1, 0, 0, 4, false},
      {1, 1, 1, 0, 6, false}, {1, 1, 0, 2, 3, false}, {1, 2, 0, 1, 3, false}, {1, 1, 0, 3, 3, false},
  };
}

void FakeCreatures::Add(int id, int x, int y, int level, int height, int size, int army) {
  Creature& creature = creatures[id];
  creature.place = CreaturePlace{x, y, level, height, size, 0};
  creature.army = army;
  creature.query.height = height;
  creature.query.size = size;
  for (int dy = 0; dy < size; ++dy)
    for (int dx = 0; dx < size; ++dx)
      for (int z = level; z < level + height && z < g_map.levels; ++z) {
        CMapCell* cell = g_map.CellAtWrapped(x + dx, y + dy, z);
        cell->occupant = static_cast<uint16_t>(id);
        cell->state |= (dx == 0 && dy == 0 && z == level) ? state_bits::kLiquid : state_bits::kBody;
      }
}

namespace {
PathNotices* g_notices = nullptr;
void RecordNotice(int x, int y, int level, int kind) {
  if (g_notices) g_notices->notices.push_back({x, y, level, kind});
}
}  // namespace

PathNotices::PathNotices() : previous(g_pathCellChanged) {
  g_notices = this;
  g_pathCellChanged = &RecordNotice;
}

PathNotices::~PathNotices() {
  g_notices = nullptr;
  g_pathCellChanged = previous;
}

}  // namespace map_test
