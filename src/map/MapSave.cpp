// The map's block of a saved game: the header, every cell, the placement lists, the regions
// of power, the memory light buffer, the animated cells, the water and the event areas. What
// can be derived (offsets, the other light buffers, the light patterns) is rebuilt on load.
#include <memory>
#include <utility>

#include "core/Bytes.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/RegionSettings.h"

namespace {

// Writes everything or nothing of a block assembled in memory.
int Flush(FILE* file, const bytes::Writer& out) {
  if (!bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

// Reads fixed-size pieces, counting the bytes; any short read sets failed.
class BlockReader {
 public:
  explicit BlockReader(FILE* file) : file_(file) {}
  bool Read(void* data, size_t size) {
    if (failed || !bytes::ReadBlock(file_, data, size)) {
      failed = true;
      return false;
    }
    total += static_cast<int64_t>(size);
    return true;
  }
  int32_t I32() {
    uint8_t b[4] = {};
    Read(b, 4);
    return static_cast<int32_t>(bytes::LoadU32(b));
  }
  void Ints(int32_t* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = I32();
  }
  // A block read by someone else's reader.
  bool Counted(int bytesRead) {
    if (bytesRead < 0)
      failed = true;
    else
      total += bytesRead;
    return !failed;
  }
  bool failed = false;
  int64_t total = 0;

 private:
  FILE* file_;
};

// Skips an animation player's block (-1 alone, or four fields) when no animation can read it.
int SkipPlayerBlock(FILE* file) {
  uint32_t first;
  if (!bytes::ReadU32(file, first)) return -1;
  if (static_cast<int32_t>(first) == -1) return 4;
  uint8_t rest[12];
  return bytes::ReadBlock(file, rest, sizeof rest) ? 16 : -1;
}

}  // namespace

int CMap::Save(FILE* file) const {
  if (!cells) return -1;
  int64_t total = 0;
  bytes::Writer out;
  for (int32_t word : {format, width, height, levels, cellsPerLevel, cellCount, sectionsX, sectionsY}) out.I32(word);
  for (int32_t word : reserved) out.I32(word);
  for (int32_t word : sectionValues) out.I32(word);
  for (int i = 0; i < cellCount; ++i) {
    const CMapCell& cell = cells[i];
    for (uint16_t word : {cell.terrain, cell.effect, cell.occupant, cell.object, cell.shape, cell.state}) out.U16(word);
  }
  out.I32(sectionSize);
  int written = Flush(file, out);
  if (written < 0) return -1;
  total += written;
  for (const CMapPlacement* list : {&deploymentZones, &otherPlacements}) {
    written = list->Write(file);
    if (written < 0) return -1;
    total += written;
  }
  out = bytes::Writer();
  for (const CRegionOfPower& region : regions)
    for (int32_t word : {region.x, region.y, region.level, region.fourth, region.value}) out.I32(word);
  for (const auto& row : regionHolders)
    for (int32_t word : row) out.I32(word);
  for (const auto& row : regionCounters)
    for (int32_t word : row) out.I32(word);
  for (int32_t word : deploymentTable) out.I32(word);
  for (int32_t word : mapTable) out.I32(word);
  out.I32(lightBufferSize);
  out.Bytes(light[kLightMemory].data(), light[kLightMemory].size());
  out.I32(static_cast<int32_t>(animatedCells.size()));
  written = Flush(file, out);
  if (written < 0) return -1;
  total += written;
  for (const CAnimatedCell& entry : animatedCells) {
    if (!bytes::WriteU32(file, static_cast<uint32_t>(CellIndexFromPointer(entry.cell)))) return -1;
    int player = entry.player->Save(file);
    if (player < 0) return -1;
    total += 4 + player;
  }
  out = bytes::Writer();
  for (int32_t word : {waterLevel, maxRegionsOfPower, manaSpriteCount, maxWaterLevel, minWaterLevel}) out.I32(word);
  written = Flush(file, out);
  if (written < 0) return -1;
  total += written;
  written = eventAreas.Write(file);
  if (written < 0) return -1;
  return static_cast<int>(total + written);
}

int CMap::Load(FILE* file) {
  // Everything is read into a fresh map, which takes the place of this one only at the end.
  auto fresh = std::make_unique<CMap>();
  CMap& m = *fresh;
  BlockReader in(file);
  int32_t header[kHeaderWords];
  in.Ints(header, kHeaderWords);
  if (in.failed) return -1;
  m.format = header[0];
  m.width = header[1];
  m.height = header[2];
  m.levels = header[3];
  m.cellsPerLevel = header[4];
  m.cellCount = header[5];
  m.sectionsX = header[6];
  m.sectionsY = header[7];
  std::copy(header + 8, header + 16, m.reserved);
  std::copy(header + 16, header + 19, m.sectionValues);
  // The header is checked before anything is allocated for it.
  if (m.width < kMinSize || m.width > kMaxWidth || m.height < kMinSize || m.height > kMaxHeight || m.levels < 1 ||
      m.levels > kMaxLevels || m.cellsPerLevel != m.width * m.height || m.cellCount != m.cellsPerLevel * m.levels)
    return -1;
  m.FillOffsets();
  m.cells = new (std::nothrow) CMapCell[static_cast<size_t>(m.cellCount)];
  if (!m.cells) return -1;
  std::vector<uint8_t> cellBytes(static_cast<size_t>(m.cellCount) * 12);
  if (!in.Read(cellBytes.data(), cellBytes.size())) return -1;
  bytes::Reader cellReader(cellBytes);
  for (int i = 0; i < m.cellCount; ++i) {
    CMapCell& cell = m.cells[i];
    for (uint16_t* word : {&cell.terrain, &cell.effect, &cell.occupant, &cell.object, &cell.shape, &cell.state})
      *word = cellReader.U16();
  }
  m.sectionSize = in.I32();
  if (in.failed || !in.Counted(m.deploymentZones.Read(file)) || !in.Counted(m.otherPlacements.Read(file))) return -1;
  for (CRegionOfPower& region : m.regions)
    for (int32_t* word : {&region.x, &region.y, &region.level, &region.fourth, &region.value}) *word = in.I32();
  for (auto& row : m.regionHolders) in.Ints(row, kPlayers);
  for (auto& row : m.regionCounters) in.Ints(row, kPlayers);
  in.Ints(m.deploymentTable, 28);
  in.Ints(m.mapTable, 123);
  int32_t storedLightSize = in.I32();
  if (in.failed || storedLightSize != m.cellsPerLevel * ((m.levels + 1) / 2)) return -1;
  m.lightBufferSize = storedLightSize;
  m.light[kLightMemory].assign(static_cast<size_t>(storedLightSize), -127);
  if (!in.Read(m.light[kLightMemory].data(), m.light[kLightMemory].size())) return -1;
  for (int i = 0; i < kLightBuffers; ++i)
    if (i != kLightMemory) m.light[i] = m.light[kLightMemory];

  int32_t animated = in.I32();
  if (in.failed || animated < 0 || animated > m.cellCount) return -1;
  ITerrainAnimation* animation = TerrainAnimation();
  for (int32_t i = 0; i < animated; ++i) {
    int32_t index = in.I32();
    if (in.failed || index < -1 || index >= m.cellCount) return -1;
    if (!animation) {
      if (!in.Counted(SkipPlayerBlock(file))) return -1;
      continue;
    }
    CAnimatedCell entry{index == -1 ? nullptr : m.cells + index, animation->NewPlayer()};
    if (!in.Counted(entry.player->Load(file))) return -1;
    m.animatedCells.push_back(std::move(entry));
  }
  for (int32_t* word : {&m.waterLevel, &m.maxRegionsOfPower, &m.manaSpriteCount, &m.maxWaterLevel, &m.minWaterLevel})
    *word = in.I32();
  // The water level is a level of the map: every passability test reckons from it.
  if (in.failed || m.waterLevel < 0 || m.waterLevel >= m.levels) return -1;
  if (!in.Counted(m.eventAreas.Read(file))) return -1;
  m.maxManaSprites = m.mapTable[map_table::kMaxManaSprites];

  SwapContents(m);
  fullRefresh = 1;
  BuildLightPatterns();
  g_mapLevels = levels;
  g_mapTopUnits = kUnitsPerLevel * levels;
  g_mapHooks.effects->SetParticleWorldSize(kUnitsPerTile * width, kUnitsPerTile * height, kUnitsPerLevel * levels);
  return static_cast<int>(in.total);
}

void CMap::SwapContents(CMap& other) {
  using std::swap;
  swap(format, other.format);
  swap(width, other.width);
  swap(height, other.height);
  swap(levels, other.levels);
  swap(cellsPerLevel, other.cellsPerLevel);
  swap(cellCount, other.cellCount);
  swap(sectionsX, other.sectionsX);
  swap(sectionsY, other.sectionsY);
  swap(reserved, other.reserved);
  swap(sectionValues, other.sectionValues);
  swap(cells, other.cells);
  swap(sectionSize, other.sectionSize);
  swap(deploymentZones, other.deploymentZones);
  swap(otherPlacements, other.otherPlacements);
  swap(regions, other.regions);
  swap(regionHolders, other.regionHolders);
  swap(regionCounters, other.regionCounters);
  swap(deploymentTable, other.deploymentTable);
  swap(mapTable, other.mapTable);
  for (int i = 0; i < kLightBuffers; ++i) swap(light[i], other.light[i]);
  swap(lightBufferSize, other.lightBufferSize);
  swap(animatedCells, other.animatedCells);
  swap(waterLevel, other.waterLevel);
  swap(regionCursor, other.regionCursor);
  swap(maxRegionsOfPower, other.maxRegionsOfPower);
  swap(manaSpriteCount, other.manaSpriteCount);
  swap(maxManaSprites, other.maxManaSprites);
  swap(manaSpriteSites, other.manaSpriteSites);
  swap(maxWaterLevel, other.maxWaterLevel);
  swap(minWaterLevel, other.minWaterLevel);
  swap(levelOffset, other.levelOffset);
  swap(rowOffset, other.rowOffset);
  swap(eventAreas, other.eventAreas);
  swap(backgroundDirty, other.backgroundDirty);
  swap(viewFlag, other.viewFlag);
}
