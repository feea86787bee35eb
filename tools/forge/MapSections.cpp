// The forged map sections with their placements, event areas and path nodes, painted from
// terrain types: flat ground, hills, cliffs, lakes, rivers with bridges, a ford, a walled hut,
// a castle and a keep.
#include "forge/MapSections.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/Bytes.h"
#include "core/Random.h"
#include "forge/Forge.h"
#include "forge/TerrainTypes.h"

namespace forge {

namespace t = terrain;

namespace {

constexpr uint16_t kShallow = 0x0010;
constexpr uint16_t kDeep = 0x0020;
constexpr int kRiverFrom = 8, kRiverTo = 11;  // the cells of an edge a river crosses

const std::vector<TerrainDef>& Types() {
  static const std::vector<TerrainDef> types = ForgedTerrainTypes();
  return types;
}
bool Standable(int type) {
  const TerrainDef& def = Types()[static_cast<size_t>(type)];
  return (def.typeFlags & 0x08) != 0 && def.kind <= 15;
}
bool WalkableLiquid(int type) {
  const TerrainDef& def = Types()[static_cast<size_t>(type)];
  return (def.typeFlags & 0x08) != 0 && def.kind == 16;
}

PlacementItem Item(int x, int y, int level, int category, int type, int chance, int army) {
  return {x, y, level, category, type, chance, army, 0, 0, 0};
}

// Something to eat or drink on open ground a few steps from where a side starts, so that each
// side has a thing worth fetching within reach whatever sections the map is built from.
PlacementItem Food(int x, int y, int kind) { return Item(x, y, 3, 5, kind, 100, 0); }

// Armies as the realm configurations number them: the wandering folk, the player's (Edric)
// and the region's enemy; an enemy wizard site is keyed by its army.
constexpr int kWandering = 0, kPlayer = 1, kEnemy = 2;
// Placement kinds.
constexpr int kFriendlySite = 1, kEnemySite = 2, kMultiplayerSite = 3, kCreature = 4, kObject = 5, kArtifactZone = 6;
// Object types: an artifact, a chest, a region of power.
constexpr int kArtifact = 19, kChest = 50, kRegionOfPower = 61;
// A chest's content kind, and its lock word: -1 open to any creature that may open chests.
constexpr int kGreatHealingPotion = 4, kUnlocked = -1;
// Food and potions that lie about: creatures go and fetch them.
constexpr int kApple = 0, kLoaf = 1, kLegOfMeat = 2, kHealingPotion = 3, kCheese = 6;
// Creature types the placements use.
constexpr int kCentaur = 2, kElf = 3, kGriffin = 4, kHero = 5, kPhoenix = 6, kUnicorn = 7, kSkeleton = 11,
              kVampire = 12, kZombie = 14, kTroll = 21;

// An event area over the cells x0..x1, y0..y1, z0..z1 with its name (at most 31 characters)
// in the first 32 bytes of its script words, where the battle script finds it.
EventAreaItem Area(int x0, int y0, int z0, int x1, int y1, int z1, const char* name) {
  EventAreaItem area{};
  area[0] = x0;
  area[1] = y0;
  area[2] = z0;
  area[3] = x1;
  area[4] = y1;
  area[5] = z1;
  std::strncpy(reinterpret_cast<char*>(&area[6]), name, 31);
  return area;
}

}  // namespace

SectionCanvas::SectionCanvas(int blocksX, int blocksY)
    : width_(blocksX * kSectionBlock),
      height_(blocksY * kSectionBlock),
      cells_(static_cast<size_t>(width_) * height_ * kSectionLevels) {
  edges.fill(kEdgeGround);
}

SectionCell& SectionCanvas::At(int x, int y, int level) {
  return cells_[static_cast<size_t>(x + y * width_ + level * width_ * height_)];
}
const SectionCell& SectionCanvas::At(int x, int y, int level) const {
  return cells_[static_cast<size_t>(x + y * width_ + level * width_ * height_)];
}

void SectionCanvas::Ground(int x, int y, int groundLevel, int surface) {
  for (int z = 0; z < kSectionLevels; ++z) {
    SectionCell& cell = At(x, y, z);
    cell = SectionCell{};
    if (z == 0)
      cell.terrain = t::kRock;
    else if (z < groundLevel)
      cell.terrain = t::kEarth;
    else if (z == groundLevel)
      cell.terrain = static_cast<uint16_t>(surface);
  }
}

void SectionCanvas::GroundAll(int groundLevel, int surface) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Ground(x, y, groundLevel, surface);
}

void SectionCanvas::Basin(int x, int y, bool deep) {
  Ground(x, y, 1, t::kSand);
  for (int z = 1; z < kGroundLevel; ++z) At(x, y, z).state |= deep ? kDeep : kShallow;
}

void SectionCanvas::LineBanks() {
  constexpr int kSides[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int z = 1; z < kGroundLevel; ++z)
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        SectionCell& cell = At(x, y, z);
        if (cell.terrain != t::kEarth) continue;
        for (const auto& side : kSides) {
          const int nx = x + side[0], ny = y + side[1];
          if (Inside(nx, ny) && (At(nx, ny, z).state & (kShallow | kDeep))) {
            cell.terrain = t::kBankFill;
            break;
          }
        }
      }
}

void SectionCanvas::Wall(int x, int y, int height) {
  for (int i = 0; i < height; ++i)
    At(x, y, kGroundLevel + i).terrain = static_cast<uint16_t>(i == height - 1 ? t::kStoneTop : t::kStone);
}

void SectionCanvas::Door(int x, int y, int type, int height) {
  for (int i = 0; i < height; ++i) At(x, y, kGroundLevel + i).terrain = static_cast<uint16_t>(type);
}

void SectionCanvas::Chest(int x, int y, int side) {
  At(x, y, kGroundLevel).terrain = static_cast<uint16_t>(t::kChestBodyFirst + side);
  At(x, y, kGroundLevel + 1).terrain = static_cast<uint16_t>(t::kChestLidFirst + side);
}

int SectionCanvas::StandingLevel(int x, int y) const {
  for (int z = kSectionLevels - 1; z >= 0; --z) {
    int type = At(x, y, z).terrain;
    if (type == 0) {
      if (z > 0 && WalkableLiquid(At(x, y, z - 1).terrain)) return z;
      continue;
    }
    return Standable(type) && (z + 1 >= kSectionLevels || At(x, y, z + 1).terrain == 0) && z >= kGroundLevel - 1 ? z
                                                                                                                 : -1;
  }
  return -1;
}

std::vector<uint8_t> SectionCanvas::MapFileBytes() const {
  bytes::Writer out;
  const int count = width_ * height_ * kSectionLevels;
  for (int32_t word :
       {6, width_, height_, kSectionLevels, width_ * height_, count, width_ / kSectionBlock, height_ / kSectionBlock})
    out.I32(word);
  for (int32_t id : edges) out.I32(id);
  for (int32_t value : {512, -1, -1}) out.I32(value);
  for (const SectionCell& cell : cells_)
    for (uint16_t word : {cell.terrain, cell.effect, cell.occupant, cell.object, cell.shape, cell.state}) out.U16(word);
  return out.Data();
}

std::vector<NodeDef> SectionCanvas::Nodes() const {
  constexpr int kSpacing = 5, kFirst = 2;
  std::vector<NodeDef> nodes;
  std::vector<int> index(static_cast<size_t>(width_ * height_), -1);
  for (int y = kFirst; y < height_; y += kSpacing)
    for (int x = kFirst; x < width_; x += kSpacing) {
      int level = StandingLevel(x, y);
      if (level < 0) continue;
      index[static_cast<size_t>(x + y * width_)] = static_cast<int>(nodes.size());
      nodes.push_back({x, y, level, 1, {}});
    }
  // Neighbours on the grid joined when the ground between them is level.
  auto flat = [&](int x0, int y0, int dx, int dy, int level) {
    for (int i = 0; i <= kSpacing; ++i) {
      int x = x0 + dx * i, y = y0 + dy * i;
      if (!Inside(x, y) || StandingLevel(x, y) != level) return false;
    }
    return true;
  };
  for (NodeDef& node : nodes) {
    for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
      int nx = node.x + dx * kSpacing, ny = node.y + dy * kSpacing;
      if (!Inside(nx, ny)) continue;
      int other = index[static_cast<size_t>(nx + ny * width_)];
      if (other < 0 || nodes[static_cast<size_t>(other)].level != node.level) continue;
      if (!flat(node.x, node.y, dx, dy, node.level)) continue;
      bool wide = flat(node.x + dy, node.y + dx, dx, dy, node.level);
      NodeLinkDef link = OpenLink(other, kSpacing * 16, 4);
      if (!wide)
        for (auto& group : link.groups) group[2] = 0;
      int self = static_cast<int>(&node - nodes.data());
      node.links.push_back(link);
      link.target = self;
      nodes[static_cast<size_t>(other)].links.push_back(link);
    }
  }
  return nodes;
}

namespace {

// A river crossing the section from the north edge to the south edge.
void RiverNorthSouth(SectionCanvas& c, int fromY, int toY) {
  for (int y = fromY; y <= toY; ++y)
    for (int x = kRiverFrom; x <= kRiverTo; ++x) c.Basin(x, y, x == 9 || x == 10);
}

void RiverWestEast(SectionCanvas& c, int fromX, int toX) {
  for (int x = fromX; x <= toX; ++x)
    for (int y = kRiverFrom; y <= kRiverTo; ++y) c.Basin(x, y, y == 9 || y == 10);
}

void Hill(SectionCanvas& c, int x0, int y0, int x1, int y1, int level, int surface = t::kGrass) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) c.Ground(x, y, level, surface);
}

void WallRing(SectionCanvas& c, int x0, int y0, int x1, int y1, int height) {
  for (int x = x0; x <= x1; ++x) {
    c.Wall(x, y0, height);
    c.Wall(x, y1, height);
  }
  for (int y = y0; y <= y1; ++y) {
    c.Wall(x0, y, height);
    c.Wall(x1, y, height);
  }
}

SectionCanvas Plain(CRandom& random) {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  Hill(c, 12, 3, 15, 6, kGroundLevel + 1);
  for (int i = 0; i < 3; ++i) {
    // One draw a statement: the order a call's arguments are worked out in is the compiler's
    // own, and the section must be the same whatever built the forge.
    const int x = 3 + static_cast<int>(random.Next() % 6);
    const int y = 10 + static_cast<int>(random.Next() % 6);
    c.Wall(x, y, 2);
  }
  // The player's creatures before the wizard's site and the enemy's a few steps south of
  // them, close enough to fight: the hero and the unicorn meet the skeleton and the zombie
  // hand to hand while the centaur shoots.
  c.placements = {Item(10, 10, 3, kFriendlySite, 0, 100, kPlayer),
                  Item(8, 13, 3, kCreature, kHero, 90, kPlayer),
                  Item(12, 13, 3, kCreature, kUnicorn, 90, kPlayer),
                  Item(10, 12, 3, kCreature, kCentaur, 70, kPlayer),
                  Item(8, 17, 3, kCreature, kSkeleton, 90, kEnemy),
                  Item(11, 18, 3, kCreature, kZombie, 90, kEnemy),
                  Item(15, 12, 3, kObject, kArtifact, 50, 0),
                  Item(4, 4, 3, kArtifactZone, 0, 100, 0),
                  Item(17, 17, 3, kMultiplayerSite, 0, 100, 0),
                  Food(13, 8, kApple),
                  Food(14, 19, kCheese)};
  c.events = {Area(8, 8, 3, 12, 12, 4, "Plain Field")};
  return c;
}

SectionCanvas Hills() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  Hill(c, 4, 4, 15, 15, kGroundLevel + 1);
  Hill(c, 7, 7, 12, 12, kGroundLevel + 2);
  // A row of graves below the hill, where the vampire keeps its dead.
  for (int y = 6; y <= 12; y += 2) c.Ground(17, y, kGroundLevel, t::kGrave);
  c.placements = {Item(10, 10, 5, kObject, kRegionOfPower, 100, 1), Item(3, 16, 3, kEnemySite, 0, 100, kEnemy),
                  Item(16, 3, 3, kCreature, kVampire, 80, kEnemy), Item(2, 2, 3, kMultiplayerSite, 0, 100, 0),
                  Food(1, 18, kLoaf),  Food(3, 1, kHealingPotion)};
  c.events = {Area(4, 4, 4, 15, 15, 5, "Hill Top")};
  return c;
}

SectionCanvas Lake() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  for (int y = 4; y <= 15; ++y)
    for (int x = 4; x <= 15; ++x) {
      double d = std::hypot(x - 9.5, y - 9.5);
      if (d < 5.5)
        c.Basin(x, y, d < 2.5);
      else if (d < 6.5)
        c.Ground(x, y, kGroundLevel, t::kSand);
    }
  c.placements = {Item(2, 2, 3, kFriendlySite, 0, 100, kPlayer), Item(17, 17, 3, kCreature, kTroll, 50, kWandering),
                  Item(17, 2, 3, kArtifactZone, 0, 100, 0), Food(2, 5, kCheese)};
  return c;
}

SectionCanvas Hut() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  WallRing(c, 6, 6, 13, 13, 3);
  c.Door(9, 13, t::kDoor, 3);
  for (int y = 6; y <= 13; ++y)
    for (int x = 6; x <= 13; ++x) c.At(x, y, kGroundLevel + 3).terrain = t::kRoof;
  // A chest in the hut, its world object in the cell south of it where an opener stands.
  c.Chest(10, 9, 0);
  PlacementItem chest = Item(10, 10, 3, kObject, kChest, 100, 0);
  chest[7] = kGreatHealingPotion;
  chest[8] = kUnlocked;
  c.placements = {chest,          Item(16, 3, 3, kEnemySite, 0, 100, kEnemy), Item(3, 3, 3, kMultiplayerSite, 0, 100, 0),
                  Food(17, 1, kLegOfMeat), Food(1, 4, kApple)};
  c.events = {Area(7, 7, 3, 12, 12, 5, "Hut")};
  return c;
}

SectionCanvas Cliff() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  Hill(c, 5, 5, 14, 14, kGroundLevel + 4);
  // A stair up the west side, one level a step.
  for (int step = 0; step < 3; ++step)
    for (int y = 9; y <= 10; ++y) c.Ground(2 + step, y, kGroundLevel + 1 + step, t::kGrass);
  c.placements = {Item(10, 10, 7, kObject, kRegionOfPower, 100, 0), Item(17, 2, 3, kCreature, kSkeleton, 70, kEnemy)};
  return c;
}

SectionCanvas River() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  RiverNorthSouth(c, 0, 19);
  // The bridge lies on a row of the path nodes' grid, so that they link across it.
  for (int y = 6; y <= 7; ++y)
    for (int x = kRiverFrom - 1; x <= kRiverTo + 1; ++x) c.At(x, y, kGroundLevel).terrain = t::kBridge;
  c.edges[0] = c.edges[1] = c.edges[4] = c.edges[5] = kEdgeRiver;  // north and south
  c.placements = {Item(3, 3, 3, kCreature, kZombie, 60, kEnemy), Item(16, 16, 3, kObject, kArtifact, 40, 0)};
  return c;
}

SectionCanvas Bend() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  RiverNorthSouth(c, 0, kRiverTo);
  RiverWestEast(c, kRiverFrom, 19);
  c.edges[0] = c.edges[1] = kEdgeRiver;  // north
  c.edges[2] = c.edges[3] = kEdgeRiver;  // east
  c.placements = {Item(3, 16, 3, kCreature, kElf, 50, kPlayer), Item(16, 3, 3, kMultiplayerSite, 0, 100, 0),
                  Food(17, 1, kLoaf)};
  return c;
}

SectionCanvas Spring() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  RiverNorthSouth(c, 0, 9);
  for (int y = 8; y <= 16; ++y)
    for (int x = 6; x <= 13; ++x)
      if (std::hypot(x - 9.5, y - 12.0) < 4.0) c.Basin(x, y, std::hypot(x - 9.5, y - 12.0) < 1.5);
  c.edges[0] = c.edges[1] = kEdgeRiver;  // north only: a dead end
  c.placements = {Item(3, 3, 3, kFriendlySite, 0, 100, kPlayer), Item(16, 16, 3, kCreature, kPhoenix, 40, kPlayer),
                  Food(4, 6, kApple)};
  return c;
}

SectionCanvas Castle() {
  SectionCanvas c(2, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  WallRing(c, 5, 4, 34, 15, 4);
  c.Door(19, 15, t::kIronDoor, 3);
  c.Door(20, 15, t::kIronDoor, 3);
  c.placements = {Item(20, 9, 3, kObject, kRegionOfPower, 100, 2), Item(12, 9, 3, kFriendlySite, 0, 100, kPlayer),
                  Item(28, 9, 3, kCreature, kVampire, 90, kEnemy),    Item(2, 17, 3, kEnemySite, 0, 100, kEnemy),
                  Item(25, 10, 3, kCreature, kHero, 90, kPlayer),     Item(37, 17, 3, kMultiplayerSite, 0, 100, 0),
                  Food(10, 12, kCheese),                              Food(4, 18, kLegOfMeat),
                  Food(35, 18, kHealingPotion)};
  // The places the campaign's castle battle names: the hall within the walls, the ground
  // before the gate, the east wall that falls, the road in from the moor, the stones where
  // the wandering folk wait, the stone where the portal opens and the watch tower.
  c.events = {Area(6, 5, 3, 33, 14, 6, "Castle Keep"),   Area(16, 16, 3, 23, 18, 4, "Castle Gate"),
              Area(34, 8, 3, 34, 11, 6, "East Wall"),    Area(0, 17, 3, 13, 19, 4, "Moor Road"),
              Area(0, 0, 3, 3, 3, 4, "Standing Stones"), Area(36, 16, 3, 38, 18, 4, "Portal Stone"),
              Area(37, 0, 3, 39, 2, 5, "Watch Tower")};
  return c;
}

SectionCanvas Keep() {
  SectionCanvas c(2, 2);
  c.GroundAll(kGroundLevel, t::kGrass);
  Hill(c, 8, 8, 31, 31, kGroundLevel + 1);
  Hill(c, 12, 12, 27, 27, kGroundLevel + 2);
  // A tower on the hill top, with a wooden door on its south side.
  const int base = kGroundLevel + 2;
  for (int y = 17; y <= 22; ++y)
    for (int x = 17; x <= 22; ++x)
      if (x == 17 || x == 22 || y == 17 || y == 22)
        for (int i = 0; i < 3; ++i) c.At(x, y, base + i).terrain = i == 2 ? t::kStoneTop : t::kStone;
  for (int i = 0; i < 3; ++i) c.At(19, 22, base + i).terrain = t::kDoor;
  c.placements = {Item(14, 14, 5, kObject, kRegionOfPower, 100, 1), Item(4, 4, 3, kFriendlySite, 0, 100, kPlayer),
                  Item(35, 35, 3, kEnemySite, 0, 100, kEnemy),           Item(30, 6, 3, kCreature, kGriffin, 70, kPlayer),
                  Item(33, 8, 3, kCreature, kSkeleton, 70, kEnemy),      Item(35, 4, 3, kMultiplayerSite, 0, 100, 0),
                  Food(6, 3, kLoaf),                                     Food(37, 35, kApple),
                  Food(37, 6, kCheese)};
  c.events = {Area(12, 12, 5, 27, 27, 7, "Keep Hall")};
  return c;
}

SectionCanvas Ford() {
  SectionCanvas c(1, 1);
  c.GroundAll(kGroundLevel, t::kGrass);
  for (int x = 0; x < 20; ++x)
    for (int y = 9; y <= 10; ++y) {
      c.Ground(x, y, kGroundLevel - 1, t::kFord);
      c.At(x, y, kGroundLevel - 1).state |= kShallow;
    }
  c.placements = {Item(5, 5, 3, kCreature, kTroll, 50, kWandering), Item(14, 15, 3, kObject, kArtifact, 60, 0),
                  Item(4, 15, 3, kArtifactZone, 0, 100, 0)};
  return c;
}

}  // namespace

std::vector<SectionFile> ForgedSections() {
  std::vector<SectionFile> sections;
  CRandom random(2024);
  sections.push_back({1, "SEC_plain1", Plain(random)});
  sections.push_back({2, "SEC_hills2", Hills()});
  sections.push_back({3, "SEC_lake3", Lake()});
  sections.push_back({4, "SEC_hut4", Hut()});
  sections.push_back({5, "SEC_cliff5", Cliff()});
  sections.push_back({6, "SEC_river6", River()});
  sections.push_back({7, "SEC_bend7", Bend()});
  sections.push_back({8, "SEC_spring8", Spring()});
  sections.push_back({9, "SEC_castle9", Castle()});
  sections.push_back({10, "SEC_keep10", Keep()});
  sections.push_back({12, "SEC_hills12", Ford()});
  for (SectionFile& section : sections) section.canvas.LineBanks();
  return sections;
}

namespace {

FORGE_STEP(MapSections) {
  for (const SectionFile& section : ForgedSections()) {
    std::string base = std::string(kSectionFolder) + "\\" + section.name;
    ctx.WriteFile(base + ".map", section.canvas.MapFileBytes());
    ctx.WriteFile(base + ".mps", PlacementFileBytes(section.canvas.placements));
    if (!section.canvas.events.empty()) ctx.WriteFile(base + ".evt", EventAreaFileBytes(section.canvas.events));
    ctx.WriteFile(base + ".nod", NodeFileBytes(section.canvas.Nodes()));
  }
}

}  // namespace

}  // namespace forge
