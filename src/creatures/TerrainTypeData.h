#pragma once
// CTerrainTypeData: the terrain type data file (terrain.ttd) of a battle's data folder, which
// fills the map's terrain type table (g_terrainTypes). The file: a 16-byte header (a word of
// no meaning, the total size, which must equal the file's length, the version 4, another
// word of no meaning), then one 356-byte record per terrain type number; the number of types
// is the body's size over 356.

#include <cstdint>
#include <vector>

class CTerrainTypeData {
 public:
  static constexpr int kVersion = 4;
  static constexpr int kHeaderSize = 16;
  // Cells name their terrain type in 16 bits: no file holds more types than that.
  static constexpr int kMaxTypes = 65536;

  // Loads the file and hands its records to g_terrainTypes: 1, or 0 on any failure (a
  // missing, short or oversized file, a size that disagrees with the header, a part record,
  // another version, which also shows its box); a failure leaves the previous table in place.
  int Load(const char* fileName);
  void Free();

  const std::vector<uint8_t>& Header() const { return header_; }
  const std::vector<uint8_t>& Body() const { return body_; }
  int TypeCount() const;

 private:
  std::vector<uint8_t> header_;
  std::vector<uint8_t> body_;
};

extern CTerrainTypeData g_terrainTypeData;
