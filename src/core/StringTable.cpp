#include "core/StringTable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace {
constexpr size_t kHeaderSize = 16;
constexpr int kSlotSize = 256;

// Header: "STR\0", total size, 1, number of offsets (texts + 1).
void WriteHeader(uint8_t* block, uint32_t totalSize, uint32_t offsetCount) {
  std::memcpy(block, "STR", 4);
  bytes::StoreU32(block + 4, totalSize);
  bytes::StoreU32(block + 8, 1);
  bytes::StoreU32(block + 12, offsetCount);
}
}  // namespace

CStringTable::CStringTable() { std::snprintf(badIndexText, sizeof badIndexText, "%s", "Invaild Index Passed"); }

int CStringTable::Load(const char* fileName) {
  Free();
  std::string dir = platform::CurrentDirectory();
  bool endsInSeparator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
  std::string path = dir + (endsInSeparator ? "" : "\\") + (fileName ? fileName : "");

  // One pass over the file: the texts up to the first missing (empty) key, each cut at ';'.
  std::vector<std::string> found;
  size_t textBytes = 0;
  for (int i = 0;; ++i) {
    char keyName[32];
    std::snprintf(keyName, sizeof keyName, "STR_%02d", i);
    char text[256];
    if (platform::ReadProfileString("STRINGS", keyName, "", text, sizeof text, path) == 0) break;
    if (char* comment = std::strchr(text, ';')) *comment = '\0';
    found.emplace_back(text);
    textBytes += found.back().size() + 1;
  }

  const size_t count = found.size();
  const size_t total = kHeaderSize + 4 * (count + 1) + textBytes;
  uint8_t* memory = static_cast<uint8_t*>(std::calloc(1, total));
  if (!memory) return 0;
  block = memory;
  offsets = reinterpret_cast<int*>(memory + kHeaderSize);
  texts = reinterpret_cast<char*>(memory + kHeaderSize + 4 * (count + 1));
  int end = 0;
  offsets[0] = 0;
  for (size_t i = 0; i < count; ++i) {
    std::memcpy(texts + end, found[i].c_str(), found[i].size() + 1);
    end += static_cast<int>(found[i].size() + 1);
    offsets[i + 1] = end;
  }
  WriteHeader(memory, static_cast<uint32_t>(total), static_cast<uint32_t>(count + 1));
  return 1;
}

int CStringTable::Allocate(int count) {
  Free();
  if (count < 0) return 0;
  const size_t total = static_cast<size_t>(count) * (kSlotSize + 4) + 20;
  uint8_t* memory = static_cast<uint8_t*>(std::calloc(1, total));
  if (!memory) return 0;
  block = memory;
  offsets = reinterpret_cast<int*>(memory + kHeaderSize);
  texts = reinterpret_cast<char*>(memory + kHeaderSize + 4 * (static_cast<size_t>(count) + 1));
  for (int i = 0; i <= count; ++i) offsets[i] = i * kSlotSize;
  WriteHeader(memory, static_cast<uint32_t>(total), static_cast<uint32_t>(count + 1));
  return 1;
}

int CStringTable::Count() const {
  if (!block) return 0;
  return static_cast<int>(bytes::LoadU32(static_cast<const uint8_t*>(block) + 12)) - 1;
}

const char* CStringTable::Get(int index) const {
  if (!block || index < 0 || index >= Count()) return badIndexText;
  return texts + offsets[index];
}

char* CStringTable::GetSlot(int index) {
  if (!block || index < 0 || index >= Count()) return nullptr;
  return texts + offsets[index];
}

void CStringTable::Free() {
  std::free(block);
  block = nullptr;
  offsets = nullptr;
  texts = nullptr;
}
