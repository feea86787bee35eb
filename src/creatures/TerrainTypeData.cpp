#include "creatures/TerrainTypeData.h"

#include <cstdio>
#include <memory>

#include "core/Bytes.h"
#include "core/ErrorBox.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

CTerrainTypeData g_terrainTypeData;

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

long FileLength(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(file);
  return std::fseek(file, 0, SEEK_SET) == 0 ? length : -1;
}

void ShowVersionError(int versionRead) {
  char text[128];
  std::snprintf(text, sizeof text, "Incorrect terrain type data version:\ncurrent version: %d\nversion loaded: %d",
                CTerrainTypeData::kVersion, versionRead);
  platform::ShowMessageBox(text, "TERRAIN DATA LOAD ERROR", WarningBoxFlags());
}

}  // namespace

int CTerrainTypeData::Load(const char* fileName) {
  FileHandle file(platform::OpenFile(fileName, "rb"));
  if (!file) return 0;
  const long length = FileLength(file.get());
  constexpr long kMaxLength = kHeaderSize + static_cast<long>(kMaxTypes) * terrain_layout::kRecordSize;
  if (length <= kHeaderSize || length > kMaxLength) return 0;

  std::vector<uint8_t> header(kHeaderSize);
  if (!bytes::ReadBlock(file.get(), header.data(), header.size())) return 0;
  const int32_t version = static_cast<int32_t>(bytes::LoadU32(header.data() + 8));
  if (version != kVersion) {
    ShowVersionError(version);
    return 0;
  }
  std::vector<uint8_t> body(static_cast<size_t>(length - kHeaderSize));
  if (!bytes::ReadBlock(file.get(), body.data(), body.size())) return 0;
  if (bytes::LoadU32(header.data() + 4) != static_cast<uint32_t>(length)) return 0;
  if (body.size() % terrain_layout::kRecordSize != 0) return 0;

  CTerrainTypeTable table;
  if (!table.Assign(body.data(), body.size())) return 0;
  g_terrainTypes = std::move(table);
  header_ = std::move(header);
  body_ = std::move(body);
  return 1;
}

void CTerrainTypeData::Free() {
  header_.clear();
  body_.clear();
}

int CTerrainTypeData::TypeCount() const { return static_cast<int>(body_.size() / terrain_layout::kRecordSize); }
