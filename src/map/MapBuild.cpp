// Building a battle map from its sections: the generator chooses the grid, and each section's
// cells are turned and copied into place with its placements, event areas and path nodes;
// then the doors, the terrain animations, the derived cell bits and the light follow.
#include <algorithm>
#include <memory>

#include "core/Bytes.h"
#include "core/Options.h"
#include "map/CellRouteSearch.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapFiles.h"
#include "map/MapHooks.h"
#include "map/MapMaker.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {

constexpr int kHeaderBytes = 76;
constexpr int kOldHeaderBytes = 64;  // formats 4 and 5 keep their cells from here
constexpr int64_t kMaxSectionCells = int64_t{CMap::kMaxWidth} * CMap::kMaxHeight * CMap::kMaxLevels;

// The log of a build, written only while spooling.
class BuildLog {
 public:
  explicit BuildLog(bool on) : on_(on) {
    if (on_) AppendMapLog("mapgen.log", "Map Generation Log\n------------------\n\n\n", true);
  }
  void Write(const std::string& text) const {
    if (on_) AppendMapLog("mapgen.log", text);
  }

 private:
  bool on_;
};

std::string WithExtension(const std::string& path, const char* extension) {
  size_t dot = path.rfind('.');
  size_t slash = path.find_last_of("\\/");
  std::string stem =
      dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path;
  return stem + extension;
}

// A point of a W x H section turned by quarter turns clockwise (y grows southwards). Wide
// integers: points read from a file may lie anywhere.
void TurnPoint(int64_t& x, int64_t& y, int width, int height, int turn) {
  int64_t lx = x, ly = y;
  switch (turn & 3) {
    case 1:
      x = height - 1 - ly;
      y = lx;
      break;
    case 2:
      x = width - 1 - lx;
      y = height - 1 - ly;
      break;
    case 3:
      x = ly;
      y = width - 1 - lx;
      break;
    default:
      break;
  }
}

uint16_t TurnSides(uint16_t shape, int turn) {
  uint16_t sides = shape & shape_bits::kSideConnections;
  for (int i = 0; i < (turn & 3); ++i) {
    uint16_t turned = static_cast<uint16_t>((sides << 1) & shape_bits::kSideConnections);
    if (sides & shape_bits::kConnectWest) turned |= shape_bits::kConnectNorth;
    sides = turned;
  }
  return static_cast<uint16_t>((shape & ~shape_bits::kSideConnections) | sides);
}

// The terrain type a cell shows: its animation's first frame for an animated cell.
int ShownType(const CMapCell& cell) {
  if (!cell.IsAnimated()) return cell.terrain;
  ITerrainAnimation* animation = TerrainAnimation();
  return animation ? animation->FirstFrame(cell.terrain) : 0;
}

}  // namespace

int ParseSectionFile(const uint8_t* data, size_t size, CSectionImage& image) {
  if (size < kHeaderBytes) return 0;
  bytes::Reader in(data, size);
  for (int32_t& word : image.header) word = in.I32();
  const int32_t format = image.header[0], width = image.header[1], height = image.header[2], levels = image.header[3];
  if (format != 4 && format != 5 && format != 6) {
    ShowMapWarning("Invalid map version", "MAP ERROR");
    platform::ExitProcess(1);
  }
  // A section is no larger than the largest map.
  if (width <= 0 || height <= 0 || levels <= 0 || width > CMap::kMaxWidth || height > CMap::kMaxHeight ||
      levels > CMap::kMaxLevels)
    return 0;
  const int64_t count = int64_t{width} * height * levels;
  if (count > kMaxSectionCells) return 0;
  size_t recordBytes = format == 4 ? 16 : 12;
  size_t start = format == 6 ? kHeaderBytes : kOldHeaderBytes;
  if (format == 6) {
    if (static_cast<uint64_t>(size) != kHeaderBytes + static_cast<uint64_t>(count) * 12) return 0;
  } else if ((static_cast<uint64_t>(size) - kOldHeaderBytes) / recordBytes != static_cast<uint64_t>(count)) {
    return 0;
  }
  if (format != 6) {
    image.header[16] = 512;
    image.header[17] = -1;
    image.header[18] = -1;
  }
  image.cells.assign(static_cast<size_t>(count), CMapCell{});
  in.Seek(start);
  for (CMapCell& cell : image.cells) {
    if (format == 4) {
      const uint8_t* r = in.Current();
      in.Skip(16);
      cell.terrain = bytes::LoadU16(r);
      cell.effect = bytes::LoadU16(r + 2);
      cell.state = r[5];
      cell.occupant = bytes::LoadU16(r + 6);
      cell.object = bytes::LoadU16(r + 8);
      cell.shape = r[10];
    } else {
      cell.terrain = in.U16();
      cell.effect = in.U16();
      cell.occupant = in.U16();
      cell.object = in.U16();
      cell.shape = in.U16();
      cell.state = in.U16();
    }
  }
  return in.Ok() ? 1 : 0;
}

int CMap::ReadSectionFile(const char* name, CSectionImage& image) const {
  std::vector<uint8_t> data;
  if (!ReadMapDataFile(name, data)) return 0;
  return ParseSectionFile(data.data(), data.size(), image);
}

void CMap::PasteSection(const CMapCell* block, int blockLevels, int x0, int y0, int turn) {
  const int size = sectionSize;
  ITerrainAnimation* animation = TerrainAnimation();
  turn &= 3;
  for (int z = 0; z < std::min(blockLevels, levels); ++z) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        CMapCell cell = block[x + y * size + z * size * size];
        int64_t tx = x, ty = y;
        TurnPoint(tx, ty, size, size, turn);
        if (cell.IsAnimated()) {
          int sequence = cell.terrain;
          if (!animation || !animation->HasSequence(sequence)) {
            cell.state &= static_cast<uint16_t>(~state_bits::kAnimated);
            cell.terrain = 0;
          } else if (turn) {
            // The sequence whose first frame is the turned first frame, near its own number.
            int wanted = TerrainOf(animation->FirstFrame(sequence)).RotatedType(turn);
            for (int candidate = sequence - 3; candidate <= sequence + 3; ++candidate) {
              if (animation->HasSequence(candidate) && animation->FirstFrame(candidate) == wanted) {
                cell.terrain = static_cast<uint16_t>(candidate);
                break;
              }
            }
          }
        } else if (turn && cell.terrain != 0) {
          int turned = TerrainOf(cell.terrain).RotatedType(turn);
          if (g_terrainTypes.IsValid(turned)) cell.terrain = static_cast<uint16_t>(turned);
        }
        cell.shape = TurnSides(cell.shape, turn);
        CellAt(WrapInto(x0 + tx, width), WrapInto(y0 + ty, height), z) = cell;
      }
    }
  }
}

void CMap::CheckSectionPlacements(const CMapPlacement& list, const CMapCell* cells, int perLevel, int sectionWidth,
                                  int sectionCells) const {
  for (const auto& item : list.items) {
    if (item[0] < 0 || item[1] < 0 || item[2] < 0 || item[0] >= sectionWidth) continue;
    int64_t index = int64_t{item[0]} + int64_t{item[1]} * sectionWidth + int64_t{item[2]} * perLevel;
    if (index >= sectionCells) continue;  // outside the section: nothing to check
    if (TerrainOf(cells[index].terrain).IsLiquid()) {
      ShowMapWarning("Object deployed in terrain, map data error", "DEPLOYMENT ERROR");
      platform::ExitProcess(1);
    }
  }
}

void CMap::AddSectionPlacements(const CMapPlacement& section, int x0, int y0, int turn, int width, int height) {
  static bool logStarted = false;
  std::string log;
  if (g_spoolMapGenInfo) {
    if (!logStarted) log += "Section Placement log\n------------------\n\n\n";
    log += "** New Section List **\n";
  }
  for (auto item : section.items) {
    if (item[0] < 0 || item[1] < 0) continue;
    int64_t turnedX = item[0], turnedY = item[1];
    TurnPoint(turnedX, turnedY, width, height, turn);
    int x = WrapInto(turnedX + x0, this->width);
    int y = WrapInto(turnedY + y0, this->height);
    if (item[2] >= 0 && item[2] < levels && TerrainOf(ShownType(CellAt(x, y, item[2]))).IsLiquid()) {
      ShowMapWarning("Deployment Rotation error, Object ignored", "DEPLOYMENT ERROR");
      continue;
    }
    static const int kShifted[] = {2, 4, 7, 8, 9, 17, 18};
    if (item[3] == kPlacementCreature &&
        std::find(std::begin(kShifted), std::end(kShifted), item[4]) != std::end(kShifted)) {
      if (turn == 1 || turn == 2) x = CWrapCoord::WrapX(x - 1);
      if (turn == 2 || turn == 3) y = CWrapCoord::WrapY(y - 1);
    }
    item[0] = x;
    item[1] = y;
    if (g_spoolMapGenInfo && (item[3] == kPlacementFriendlyWizard || item[3] == kPlacementEnemyWizard))
      log += item[3] == kPlacementFriendlyWizard ? "Friendly Wizard Site\n" : "Enemy Wizard Site\n";
    deploymentZones.AddItem(item);
  }
  if (g_spoolMapGenInfo) {
    AppendMapLog("Section.plc", log, !logStarted);
    logStarted = true;
  }
}

void CMap::AddSectionEventAreas(const CEventAreas& section, int x0, int y0, int turn, int width, int height) {
  static bool logStarted = false;
  std::string log;
  if (g_spoolMapGenInfo) {
    if (!logStarted) log += "Events Placement log\n------------------\n\n\n";
    log += "** New Event List **\n";
  }
  for (auto area : section.items) {
    int64_t ax = area[0], ay = area[1], bx = area[3], by = area[4];
    TurnPoint(ax, ay, width, height, turn);
    if (!(bx == -1 && by == -1)) TurnPoint(bx, by, width, height, turn);
    ax += x0;
    ay += y0;
    bx += x0;
    by += y0;
    const int32_t lowLevel = std::min(area[2], area[5]), highLevel = std::max(area[2], area[5]);
    area[0] = WrapInto(std::min(ax, bx), this->width);
    area[1] = WrapInto(std::min(ay, by), this->height);
    area[2] = lowLevel;
    area[3] = WrapInto(std::max(ax, bx), this->width);
    area[4] = WrapInto(std::max(ay, by), this->height);
    area[5] = highLevel;
    if (g_spoolMapGenInfo) {
      log += Format("Point 1 X1 : %i Y1 : %i Z1 %i\n", area[0], area[1], area[2]);
      log += Format("Point 2 X2 : %i Y2 : %i Z2 %i\n", area[3], area[4], area[5]);
    }
    eventAreas.AddItem(area);
  }
  if (g_spoolMapGenInfo) {
    AppendMapLog("events.plc", log, !logStarted);
    logStarted = true;
  }
}

void CMap::WriteDeploymentLog(int region) const {
  FILE* file = platform::OpenFile("deploy.plc", "w");
  if (!file) return;
  int counts[6] = {};
  for (const auto& item : deploymentZones.items)
    if (item[3] >= 0 && item[3] <= 5) ++counts[item[3]];
  std::fprintf(file, "Deployment Data log\n------------------\n\n\n");
  std::fprintf(file, "Region Num                           : %i\n", region);
  std::fprintf(file, "Num Undefined deployment zones       : %i\n", counts[0]);
  std::fprintf(file, "Num Friendly Wizard deployemt  zones : %i\n", counts[1]);
  std::fprintf(file, "Num Enemy Wizard deployement zones   : %i\n", counts[2]);
  std::fprintf(file, "Num Multi-player deployement zones   : %i\n", counts[3]);
  std::fprintf(file, "Num Creature zones                   : %i\n", counts[4]);
  std::fprintf(file, "Num artifact zones                   : %i\n", counts[5]);
  std::fclose(file);
}

namespace {

// Everything Build needs of one section, read once at the square of its first block.
struct LoadedSection {
  std::string path;
  CSectionImage image;
  CMapPlacement placements;
  CEventAreas events;
  bool eventsLoaded = false;
};

}  // namespace

int CMap::Build(const char* configFile, int region, int seed) {
  const BuildLog log(g_spoolMapGenInfo != 0);
  auto maker = std::make_unique<CMapMaker>();
  if (!maker->Generate(configFile, region, seed)) return 0;

  deploymentZones.Clear();
  eventAreas.Clear();
  const int size = maker->blockX;
  if (size <= 0 || maker->blockY != size || maker->levels <= 0) return 0;
  const int newLevels = std::min(maker->levels, static_cast<int>(kMaxLevels));
  std::vector<CMapCell> scratch(static_cast<size_t>(size) * size * newLevels);
  if (!Create(maker->sizeX * size, maker->sizeY * size, newLevels, maker->sizeX, maker->sizeY)) return 0;
  sectionSize = size;
  log.Write(Format("map gen. config filename : %s\n", configFile) + Format("region number            : %d\n", region) +
            Format("map gen. seed number     : %d\n\n", seed) +
            Format("Map Size (tiles)      : %2d,%2d\n", width, height) +
            Format("Map Size (sections)   : %2d,%2d\n", maker->sizeX, maker->sizeY) +
            Format("Section Size (tiles)  : %2d\n", size) + Format("Map Height            : %2d\n\n", levels));

  bool filled[CMapMaker::kMaxGrid][CMapMaker::kMaxGrid] = {};
  std::string lastSection;
  for (int k = 0; k < maker->sizeY; ++k) {
    for (int j = 0; j < maker->sizeX; ++j) {
      const CMapMaker::MapGridSquare& square = maker->grid[j][k];
      std::string path;
      if (!square.occupied || !maker->FindSectionFile(square.secNo, path)) return 0;
      log.Write(Format("\nSegment [%d,%d]\n", j, k) + "-------------\n" +
                Format("section number      : %2d\n", square.secNo) +
                Format("section filename    : %s\n", path.c_str()) + Format("rotation            : %2d\n", square.rot) +
                Format("section segment pos : %2d,%2d\n", square.column, square.row));
      if (square.column != 0 || square.row != 0) continue;
      lastSection = path;
      LoadedSection section;
      if (!ReadSectionFile(path.c_str(), section.image)) return 0;
      const int blocksX = std::max(section.image.header[6], 1), blocksY = std::max(section.image.header[7], 1);
      const int sectionWidth = section.image.header[1], sectionHeight = section.image.header[2];
      const int sectionLevels = section.image.header[3];
      // The section's blocks must be the grid's squares.
      if (sectionWidth != blocksX * size || sectionHeight != blocksY * size || sectionLevels > newLevels) return 0;
      std::string placements = WithExtension(path, ".mps");
      if (!section.placements.Load(placements.c_str())) {
        ShowMapWarning((placements + " could not be loaded").c_str(), "MAP LOAD ERROR");
        platform::ExitProcess(1);
      }
      section.eventsLoaded = section.events.Load(WithExtension(path, ".evt").c_str()) != 0;

      std::string copied = "segments copied     : ";
      const int turn = square.rot & 3;
      const int perLevel = sectionWidth * sectionHeight;
      for (int m = 0; m < blocksY; ++m) {
        for (int l = 0; l < blocksX; ++l) {
          // The grid square this block of this section landed on.
          int gx = -1, gy = -1;
          for (int y = 0; y < maker->sizeY && gx < 0; ++y)
            for (int x = 0; x < maker->sizeX && gx < 0; ++x) {
              const CMapMaker::MapGridSquare& other = maker->grid[x][y];
              bool first = l == 0 && m == 0;
              if (!filled[x][y] && other.occupied && other.secNo == square.secNo && other.rot == square.rot &&
                  other.column == l && other.row == m && (!first || (x == j && y == k))) {
                gx = x;
                gy = y;
              }
            }
          if (gx < 0) return 0;
          for (int z = 0; z < sectionLevels; ++z)
            for (int y = 0; y < size; ++y)
              for (int x = 0; x < size; ++x)
                scratch[static_cast<size_t>(x + y * size + z * size * size)] =
                    section.image
                        .cells[static_cast<size_t>(l * size + x + (m * size + y) * sectionWidth + z * perLevel)];
          PasteSection(scratch.data(), sectionLevels, size * gx, size * gy, turn);
          filled[gx][gy] = true;
          copied += blocksX * blocksY == 1 ? "(0,0)\n" : Format("(%d,%d) ", l, m);
        }
      }
      log.Write(blocksX * blocksY == 1 ? copied : copied + "\n");

      // The section's own origin: its turned footprint's first square.
      int ox = j, oy = k;
      if (turn == 1) ox = j - blocksY + 1;
      if (turn == 2) {
        ox = j - blocksX + 1;
        oy = k - blocksY + 1;
      }
      if (turn == 3) oy = k - blocksX + 1;
      ox = ((ox % maker->sizeX) + maker->sizeX) % maker->sizeX;
      oy = ((oy % maker->sizeY) + maker->sizeY) % maker->sizeY;
      CheckSectionPlacements(section.placements, section.image.cells.data(), perLevel, sectionWidth,
                             static_cast<int>(section.image.cells.size()));
      AddSectionPlacements(section.placements, size * ox, size * oy, turn, sectionWidth, sectionHeight);
      if (section.eventsLoaded)
        AddSectionEventAreas(section.events, size * ox, size * oy, turn, sectionWidth, sectionHeight);
      if (g_useNodeMap)
        g_pathNetwork.LoadSection(WithExtension(path, ".nod").c_str(), size * ox, size * oy, sectionWidth,
                                  sectionHeight, turn, square.secNo, section.image.header[16], section.image.header[17],
                                  section.image.header[18]);
    }
  }
  size_t cut = lastSection.find_last_of('\\');
  LoadDoorsConfig(((cut == std::string::npos ? std::string() : lastSection.substr(0, cut + 1)) + "doors.cfg").c_str());
  log.Write("\n\n---- end of log ----\n");

  animatedCells.clear();
  for (int i = 0; i < cellCount; ++i) {
    CMapCell& cell = cells[i];
    cell.effect = kNoLink;
    cell.occupant = kNoLink;
    cell.state &= static_cast<uint16_t>(~state_bits::kCreatureMark);
    if (cell.IsAnimated() && !StartCellAnimation(&cell, cell.terrain)) {
      cell.state &= static_cast<uint16_t>(~state_bits::kAnimated);
      cell.terrain = 0;
    }
    if (TerrainOf(cell.terrain).IsLiquid())
      cell.state |= state_bits::kLiquid;
    else
      cell.state &= static_cast<uint16_t>(~state_bits::kLiquid);
  }
  ResetLight();
  g_mapHooks.effects->SetParticleWorldSize(kUnitsPerTile * width, kUnitsPerTile * height, kUnitsPerLevel * levels);
  FinishTerrainShapes();
  g_mapLevels = levels;
  g_mapTopUnits = kUnitsPerLevel * levels;
  g_routeSearchFloor = 0;
  WriteDeploymentLog(region);
  g_mapHooks.battle->DeployAfterBuild(seed);
  return 1;
}
