#include "core/SaveBlock.h"

namespace bytes {

int WriteSaveBlock(FILE* file, const Writer& block) {
  if (!WriteBlock(file, block.Data().data(), block.Size())) return -1;
  return static_cast<int>(block.Size());
}

bool ReadCountedBlock(FILE* file, int32_t minCount, int32_t maxCount, size_t recordBytes, size_t tailBytes,
                      CountedBlock& block) {
  uint32_t word;
  if (!ReadU32(file, word)) return false;
  const int32_t count = static_cast<int32_t>(word);
  if (count < minCount || count > maxCount || count < 0) return false;
  std::vector<uint8_t> data(static_cast<size_t>(count) * recordBytes + tailBytes);
  if (!ReadBlock(file, data.data(), data.size())) return false;
  block.count = count;
  block.data = std::move(data);
  return true;
}

}  // namespace bytes
