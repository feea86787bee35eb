#include "map/TerrainType.h"

#include <bit>
#include <cstdint>

CTerrainTypeTable g_terrainTypes;

namespace {

constexpr int kMaxQuarterLevels = static_cast<int>(terrain_layout::kSolidMaskBytes / 8);

// Quarter levels the mask holds for this type, within the mask's 16.
int QuarterLevels(const CTerrainType& type) {
  // The height comes from the terrain file as it stands: reckoned wide, so any value is safe.
  const int64_t quarters = int64_t{type.height} * 4;
  if (quarters < 0) return 0;
  return quarters > kMaxQuarterLevels ? kMaxQuarterLevels : static_cast<int>(quarters);
}

int BitsInQuarterLevel(const CTerrainType& type, int q) {
  int count = 0;
  for (int y = 0; y < 8; ++y) count += std::popcount(static_cast<unsigned>(type.solidMask[y + 8 * q]));
  return count;
}

}  // namespace

int CTerrainType::TestVoxel(int x, int y, int q) const {
  if (x < 0 || x > 7 || y < 0 || y > 7 || q < 0 || q >= kMaxQuarterLevels) return 0;
  return (solidMask[y + 8 * q] & (0x80 >> x)) != 0 ? 1 : 0;
}

int CTerrainType::CountVoxels() const {
  int count = 0;
  for (int q = 0; q < QuarterLevels(*this); ++q) count += BitsInQuarterLevel(*this, q);
  return count;
}

int CTerrainType::MaxVoxelsPerLevel() const {
  int best = 0;
  for (int q = 0; q < QuarterLevels(*this); ++q) {
    int count = BitsInQuarterLevel(*this, q);
    if (count > best) best = count;
  }
  return best;
}

int CTerrainType::RotatedType(int turns) const {
  switch (turns & 3) {
    case 1:
      return rotated90;
    case 2:
      return rotated180;
    case 3:
      return rotated270;
    default:
      return baseIndex;
  }
}

namespace {

void ReadInts(bytes::Reader& in, int32_t* values, int count) {
  for (int i = 0; i < count; ++i) values[i] = in.I32();
}

}  // namespace

bool CTerrainType::Read(bytes::Reader& in) {
  if (!in.Has(terrain_layout::kRecordSize)) {
    in.Skip(in.Remaining() + 1);  // marks the reader failed
    return false;
  }
  size_t start = in.Position();
  in.Bytes(solidMask, sizeof solidMask);
  height = in.I32();
  baseIndex = in.I32();
  rotated270 = in.I32();
  rotated180 = in.I32();
  rotated90 = in.I32();
  groundHeight = in.I32();
  kind = in.I32();
  damageThreshold = in.I32();
  afterDestruction = in.I32();
  sideFlags = in.U8();
  in.Skip(3);
  doorIndex = in.I32();
  typeFlags = in.U8();
  in.Skip(3);
  ReadInts(in, blockFrame, 4);
  ReadInts(in, firstSideFrame, 4);
  ReadInts(in, secondSideFrame, 4);
  ReadInts(in, targetOffset, 3);
  ignition = in.I32();
  burnValue = in.I32();
  supportValue = in.I32();
  stepOnType = in.I32();
  scannerClass = in.I32();
  in.Seek(start + terrain_layout::kRecordSize);
  return in.Ok();
}

bool CTerrainTypeTable::Assign(const uint8_t* body, size_t size) {
  types_.clear();
  if (size % terrain_layout::kRecordSize != 0) return false;
  bytes::Reader in(body, size);
  std::vector<CTerrainType> types(size / terrain_layout::kRecordSize);
  for (CTerrainType& type : types) {
    if (!type.Read(in)) return false;
  }
  types_ = std::move(types);
  return true;
}

const CTerrainType& CTerrainTypeTable::Empty() {
  static const CTerrainType empty;
  return empty;
}
