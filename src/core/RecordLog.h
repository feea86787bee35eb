#pragma once
// CRecordLog: a binary file of length-prefixed records ("log\0", 32-bit length, payload),
// written through an optional memory buffer and read back record by record. Every failure
// closes the log and leaves its code in `error`.

#include <cstdint>
#include <cstdio>

class CRecordLog {
 public:
  enum Error {
    kNoError = 0,
    kReadFailed = 1,   // a read failed, or the file was empty when opened for reading
    kWriteFailed = 2,  // a write (or the flush of the buffer) failed
    kOpenFailed = 3,
    kNoBuffer = 4,
    kNotReading = 5,  // a read of a log not open for reading
    kBadRecord = 6,   // wrong tag, longer than the caller's buffer, shorter than a peek, or past the end of the file
  };

  CRecordLog() = default;
  ~CRecordLog() { Close(); }
  CRecordLog(const CRecordLog&) = delete;
  CRecordLog& operator=(const CRecordLog&) = delete;

  bool OpenForWrite(const char* name, int bufferSize);
  bool OpenForRead(const char* name, int bufferSize);
  // Flushes what the write buffer holds (a failure sets `error`) and closes.
  void Close();
  bool WriteRecord(const void* payload, uint32_t length);
  bool ReadRecord(void* destination, uint32_t capacity);
  // The first count bytes of the next record's payload; the read position stays. A record
  // shorter than count is a bad record.
  bool PeekRecord(void* destination, uint32_t count);

  uint8_t isOpen = 0;
  uint8_t isWriting = 0;
  FILE* file = nullptr;
  char fileName[256] = {};
  int readPos = 0;
  int fileLength = 0;
  uint8_t* buffer = nullptr;
  uint8_t* bufferFill = nullptr;
  int bufferSize = 0;
  int error = kNoError;
  // The payload length the last read or peek found in its record's header.
  uint32_t recordLength = 0;

 private:
  bool Fail(int code);
  // The last steps of both opens: the buffer of that size (none for 0), then open.
  bool OpenWithBuffer(int size, uint8_t writing);
  bool AppendToFile(const void* data, size_t size);
  bool ReadHeader(uint32_t& length);
  size_t BufferedBytes() const { return static_cast<size_t>(bufferFill - buffer); }
};
