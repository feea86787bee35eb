#include "core/DataFile.h"

#include <cstring>
#include <vector>

#include "core/Bytes.h"
#include "core/PackedData.h"
#include "platform/Files.h"

bool CDataFile::Open(const char* name, const char* mode) {
  Close();
  packedFlag = 0;
  file = platform::OpenFile(name ? name : "", mode);
  std::snprintf(fileName, sizeof fileName, "%s", name ? name : "");
  return file != nullptr;
}

void CDataFile::Close() {
  if (file) std::fclose(file);
  file = nullptr;
}

bool CDataFile::Seek(long offset, int origin) { return file && std::fseek(file, offset, origin) == 0; }

long CDataFile::Length() {
  if (!file) return 0;
  long here = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  long length = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return length < 0 ? 0 : length;
}

int CDataFile::GetSize(int raw) {
  if (!file) return 0;
  long length = Length();
  if (!packedFlag || raw == 1) return static_cast<int>(length);
  if (length <= static_cast<long>(packed::kHeaderSize)) return 0;
  long here = std::ftell(file);
  uint8_t header[packed::kHeaderSize];
  size_t got = std::fread(header, 1, sizeof header, file);
  std::fseek(file, here, SEEK_SET);  // the query leaves the position where it was
  if (got < sizeof header) return static_cast<int>(length);
  packed::Scramble(header, sizeof header);
  return static_cast<int>(bytes::LoadU32(header + 4));
}

bool CDataFile::ReadAll(void* destination) {
  int size = GetSize(0);
  return Read(destination, size);
}

bool CDataFile::Read(void* destination, int count) {
  if (!file || count < 0) return false;
  return count == 0 || std::fread(destination, 1, static_cast<size_t>(count), file) == static_cast<size_t>(count);
}

bool CDataFile::ReadPacked(void* destination, int size) {
  if (!file || size < 0) return false;
  long here = std::ftell(file);
  long length = Length() - (here < 0 ? 0 : here);
  if (length < 0) return false;
  std::vector<uint8_t> work(static_cast<size_t>(length));
  if (length > 0 && std::fread(work.data(), 1, work.size(), file) != work.size()) return false;

  uint8_t* out = static_cast<uint8_t*>(destination);
  bool unpacked = packed::Unpack(work.data(), work.size(), out, static_cast<size_t>(size));
  packedFlag = unpacked ? 1 : 0;
  if (unpacked) return true;
  // Not a packed file: delivered as read.
  if (work.size() < static_cast<size_t>(size)) return false;
  if (size > 0) std::memcpy(out, work.data(), static_cast<size_t>(size));
  return true;
}
