#include "core/RecordLog.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/Bytes.h"
#include "platform/Files.h"

namespace {
constexpr char kTag[4] = {'l', 'o', 'g', '\0'};
constexpr size_t kHeaderSize = 8;

void MakeHeader(uint8_t header[kHeaderSize], uint32_t length) {
  std::memcpy(header, kTag, 4);
  bytes::StoreU32(header + 4, length);
}
}  // namespace

bool CRecordLog::Fail(int code) {
  Close();
  error = code;
  return false;
}

// Appends to the file, opening it when no stream is open; the stream is left open.
bool CRecordLog::AppendToFile(const void* data, size_t size) {
  if (!file) file = platform::OpenFile(fileName, "ab+");
  if (!file) {
    error = kOpenFailed;
    return false;
  }
  if (size && std::fwrite(data, 1, size, file) != size) {
    error = kWriteFailed;
    return false;
  }
  return true;
}

bool CRecordLog::OpenWithBuffer(int size, uint8_t writing) {
  bufferSize = size < 0 ? 0 : size;
  if (bufferSize) {
    buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bufferSize)));
    if (!buffer) return Fail(kNoBuffer);
  }
  bufferFill = buffer;
  isOpen = 1;
  isWriting = writing;
  error = kNoError;
  return true;
}

bool CRecordLog::OpenForWrite(const char* name, int size) {
  Close();
  std::snprintf(fileName, sizeof fileName, "%s", name);
  platform::RemoveFile(fileName);
  return OpenWithBuffer(size, 1);
}

bool CRecordLog::OpenForRead(const char* name, int size) {
  Close();
  std::snprintf(fileName, sizeof fileName, "%s", name);
  // Read mode: a missing file is not created, and counts as empty.
  if (!platform::FileExists(fileName)) return Fail(kReadFailed);
  FILE* probe = platform::OpenFile(fileName, "rb");
  if (!probe) return Fail(kOpenFailed);
  std::fseek(probe, 0, SEEK_END);
  long length = std::ftell(probe);
  std::fclose(probe);
  if (length <= 0 || length > INT32_MAX) return Fail(kReadFailed);
  fileLength = static_cast<int>(length);
  return OpenWithBuffer(size, 0);  // reading never uses the buffer, but it is made all the same
}

void CRecordLog::Close() {
  if (buffer) {
    if (isOpen && isWriting && BufferedBytes() > 0) AppendToFile(buffer, BufferedBytes());
    std::free(buffer);
    buffer = nullptr;
    bufferFill = nullptr;
  }
  if (file) {
    if (std::fclose(file) != 0 && isWriting) error = kWriteFailed;
    file = nullptr;
  }
  isOpen = 0;
  readPos = 0;
  fileLength = 0;
}

bool CRecordLog::WriteRecord(const void* payload, uint32_t length) {
  if (!isOpen || !isWriting) return true;
  uint8_t header[kHeaderSize];
  MakeHeader(header, length);
  const uint64_t recordSize = static_cast<uint64_t>(length) + kHeaderSize;

  if (bufferSize == 0) {
    if (!AppendToFile(header, kHeaderSize) || !AppendToFile(payload, length)) return Fail(error);
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    return closed ? true : Fail(kWriteFailed);
  }

  const uint64_t freeSpace = static_cast<uint64_t>(bufferSize) - BufferedBytes();
  if (freeSpace >= recordSize) {
    std::memcpy(bufferFill, header, kHeaderSize);
    if (length) std::memcpy(bufferFill + kHeaderSize, payload, length);
    bufferFill += recordSize;
    return true;
  }

  if (BufferedBytes() > 0) {
    if (!AppendToFile(buffer, BufferedBytes())) return Fail(error);
    bufferFill = buffer;
  }
  if (recordSize <= static_cast<uint64_t>(bufferSize)) {
    std::memcpy(bufferFill, header, kHeaderSize);
    if (length) std::memcpy(bufferFill + kHeaderSize, payload, length);
    bufferFill += recordSize;
  } else if (!AppendToFile(header, kHeaderSize) || !AppendToFile(payload, length)) {
    return Fail(error);
  }
  if (file) {
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!closed) return Fail(kWriteFailed);
  }
  return true;
}

// Opens the file at readPos and reads the next record's header; the stream stays open.
bool CRecordLog::ReadHeader(uint32_t& length) {
  if (!isOpen || isWriting) return Fail(kNotReading);
  file = platform::OpenFile(fileName, "rb");
  if (!file) return Fail(kOpenFailed);
  uint8_t header[kHeaderSize];
  if (std::fseek(file, readPos, SEEK_SET) != 0 || std::fread(header, 1, kHeaderSize, file) != kHeaderSize)
    return Fail(kReadFailed);
  if (std::memcmp(header, kTag, 4) != 0) return Fail(kBadRecord);
  length = bytes::LoadU32(header + 4);
  recordLength = length;
  return true;
}

bool CRecordLog::ReadRecord(void* destination, uint32_t capacity) {
  uint32_t length = 0;
  if (!ReadHeader(length)) return false;
  if (length > capacity) return Fail(kBadRecord);
  if (length && std::fread(destination, 1, length, file) != length) return Fail(kReadFailed);
  std::fclose(file);
  file = nullptr;
  const uint64_t next = static_cast<uint64_t>(readPos) + kHeaderSize + length;
  if (next > static_cast<uint64_t>(fileLength)) return Fail(kBadRecord);
  readPos = static_cast<int>(next);
  if (readPos == fileLength) Close();  // the last record has been read
  return true;
}

bool CRecordLog::PeekRecord(void* destination, uint32_t count) {
  uint32_t length = 0;
  if (!ReadHeader(length)) return false;
  // A record shorter than the peek would hand over the next record's header as its payload.
  if (count > length) return Fail(kBadRecord);
  if (count && std::fread(destination, 1, count, file) != count) return Fail(kReadFailed);
  std::fclose(file);
  file = nullptr;
  return true;
}
