// The derived bits of the cells: closed corners under a roof, the class of the terrain
// against the cell above, open sky, and the sealing of cells enclosed under a roof.
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TileOverlay.h"

namespace {

uint8_t SideFlagsAt(const CMap& map, int x, int y, int z) {
  const CMapCell* cell = map.CellAtWrapped(x, y, z);
  return cell ? TerrainOf(*cell).sideFlags : 0;
}

}  // namespace

void CMap::ApplyCornerRule(int x, int y, int z, bool wholeMap) {
  using namespace side_flags;
  CMapCell& cell = CellAt(x, y, z);
  const CMapCell& above = CellAt(x, y, z + 1);
  uint8_t north = SideFlagsAt(*this, x, y - 1, z);
  uint8_t east = SideFlagsAt(*this, x + 1, y, z);
  uint8_t south = SideFlagsAt(*this, x, y + 1, z);
  uint8_t west = SideFlagsAt(*this, x - 1, y, z);
  bool roof = (TerrainOf(above).sideFlags & kRoof) != 0;

  uint16_t corners = 0;
  if (roof) {
    if ((east & kWest) && (south & kNorth)) corners |= shape_bits::kCornerSouthEast;
    if ((south & kNorth) && (west & kEast)) corners |= shape_bits::kCornerSouthWest;
    if ((north & kSouth) && (west & kEast)) corners |= shape_bits::kCornerNorthWest;
    if ((north & kSouth) && (east & kWest)) corners |= shape_bits::kCornerNorthEast;
  }
  cell.shape = static_cast<uint16_t>((cell.shape & ~shape_bits::kCorners) | corners);

  if (wholeMap) {
    int cls = cell.shape & shape_bits::kClassMask;
    if ((above.shape & shape_bits::kClassMask) != cls)
      cell.state |= state_bits::ClassDiffers(cls);
    else
      cell.state &= static_cast<uint16_t>(~(state_bits::ClassDiffers(cls) | state_bits::kSealed));
  }

  bool openSky = cell.IsWhollyEmpty() && (wholeMap || g_tileSpans.TestCell(&cell));
  if (openSky)
    cell.shape |= shape_bits::kOpenSky;
  else
    cell.shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
}

void CMap::UpdateCellShape(CMapCell* changed) {
  int x, y, level;
  if (!UnpackCellOffset(changed, x, y, level)) return;
  for (int z = level - 1; z <= level; ++z) {
    if (z < 0 || z > levels - 2) continue;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) ApplyCornerRule(CWrapCoord::WrapX(x + dx), CWrapCoord::WrapY(y + dy), z, false);
  }
  if (!changed->IsAnimated()) backgroundDirty = 1;
}

void CMap::FinishTerrainShapes() {
  if (!cells) return;
  for (int z = 0; z <= levels - 2; ++z)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) ApplyCornerRule(x, y, z, true);
  SealEnclosedCells();
}

void CMap::SealEnclosedCells() {
  for (int z = 0; z <= levels - 2; ++z) {
    for (int i = levelOffset[z]; i < levelOffset[z] + cellsPerLevel; ++i) {
      CMapCell& cell = cells[i];
      int cls = cell.shape & shape_bits::kClassMask;
      bool enclosed = (cell.shape & shape_bits::kCorners) == shape_bits::kCorners;
      if (!enclosed || (cell.state & state_bits::ClassDiffers(cls))) continue;
      cell.terrain = 0;
      cell.state = static_cast<uint16_t>((cell.state & ~state_bits::kOccupancy) | state_bits::kSealed);
    }
  }
}

namespace {

enum Face { kLayer, kColumnX, kRowY };

// The voxel of a face: a quarter level (i = x, j = y), an x column (i = y, j = quarter) or a
// y row (i = x, j = quarter).
int FaceVoxel(const CTerrainType& type, Face face, int fixed, int i, int j) {
  switch (face) {
    case kLayer:
      return type.TestVoxel(i, j, fixed);
    case kColumnX:
      return type.TestVoxel(fixed, i, j);
    default:
      return type.TestVoxel(i, fixed, j);
  }
}

// Pairs of solid voxels where the low face of `upper` meets the high face of `lower`.
int CountFacePairs(const CTerrainType& upper, const CTerrainType& lower, Face face) {
  int lowFixed = 0, highFixed = face == kLayer ? 3 : 7;
  int rows = face == kLayer ? 8 : 4;
  int count = 0;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < rows; ++j)
      count += FaceVoxel(upper, face, lowFixed, i, j) && FaceVoxel(lower, face, highFixed, i, j);
  return count;
}

}  // namespace

// The map wraps in x and y, so a cell on the seam leans on its neighbour across it like any
// other; only the levels end.
int CMap::CountVoxelContact(int x1, int y1, int z1, int x2, int y2, int z2) const {
  if (!cells || z1 < 0 || z1 >= levels || z2 < 0 || z2 >= levels) return 0;
  const int dx = WrappedDelta(x2, x1, width), dy = WrappedDelta(y2, y1, height), dz = z2 - z1;
  const CTerrainType& first = TerrainOf(CellAt(WrapInto(x1, width), WrapInto(y1, height), z1));
  const CTerrainType& second = TerrainOf(CellAt(WrapInto(x2, width), WrapInto(y2, height), z2));
  if (dz == -1) return CountFacePairs(first, second, kLayer);
  if (dz == 1) return CountFacePairs(second, first, kLayer);
  if (dx == 1) return CountFacePairs(second, first, kColumnX);
  if (dx == -1) return CountFacePairs(first, second, kColumnX);
  if (dy == 1) return CountFacePairs(second, first, kRowY);
  if (dy == -1) return CountFacePairs(first, second, kRowY);
  return 0;
}
